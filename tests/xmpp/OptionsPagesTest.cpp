// The "Account" and "Expert" pages in the program's account options, with the
// Jabber module loaded by the protocols manager as the program loads it: what
// they show, what their controls do, what OK stores and what it refuses; and
// a picture of each page for a person to look at.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "ServiceIds.h"
#include "app/FakeGuiServices.h"
#include "common/RecordingClient.h"
#include "chat/Screenshot.h"
#include "contactlist/OptionsDlg.h"
#include "core/AppGlobals.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "dialogs/DialogScript.h"

namespace {

const wchar_t kOptions[] = L"Network settings";

std::wstring Str(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", s.GetLength());
}

class OptionsPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_App.hInstance = GetModuleHandleW(nullptr);
        g_App.pServices = &m_services;
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
        manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get(), nullptr,
                                                                     GetAppDir() + CJOVString(L"Protos\\"));
        m_bus->FireLoaded();
        g_App.pProtocolsManager = manager.get();
        account = manager->AddAccount(GUID_JabberProtocol);
        ASSERT_NE(account, 0u);
        m_listenerId = m_bus->RegisterEventsClient(&listener, CJOVString(L"listener"));
        m_bus->Subscribe(GUID_ProtocolsManager, CJOVString(L"Account changed"), m_listenerId);
    }

    void TearDown() override
    {
        g_App.pProtocolsManager = nullptr;
        manager.reset();
        m_bus->UnregisterEventsClient(m_listenerId);
        m_bus->UnregisterService(m_storeId);
        m_store.reset();
        m_bus.reset();
        g_App.pServices = nullptr;
    }

    void Store(const wchar_t* name, const wchar_t* value)
    {
        manager->SetString(account, CJOVString(name), CJOVString(value));
    }
    std::wstring Setting(const wchar_t* name)
    {
        CJOVString value;
        manager->GetString(account, CJOVString(name), value);
        return Str(value);
    }
    DWORD Number(const wchar_t* name)
    {
        DWORD value = 0;
        manager->GetDWord(account, CJOVString(name), &value);
        return value;
    }
    int Flag(const wchar_t* name)
    {
        BYTE value = 0;
        return manager->GetByte(account, CJOVString(name), &value) ? value : -1;
    }

    std::unique_ptr<Protocols::CProtocolsManagerImpl> manager;
    unsigned int account = 0;
    // Told when an account's name changes.
    CRecordingClient listener;

private:
    unsigned int m_listenerId = 0;
    CFakeGuiServices m_services;
    CTempFolder m_folder;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>(3000);
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
};

std::wstring Text(HWND page, int id)
{
    return CDialogScript::Text(GetDlgItem(page, id));
}

bool Checked(HWND page, int id)
{
    return SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND page, int id)
{
    return IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
}

// The options with a page chosen as a tap on its tab would choose it.
class CShownOptions : public COptionsDlg {
public:
    using COptionsDlg::COptionsDlg;
    using CTabsDialog::SelectPage;
};

// A tap on a check box: it changes and tells its page.
void Tap(HWND page, int id)
{
    SendDlgItemMessageW(page, id, BM_CLICK, 0, 0);
}

// The window with everything in it drawn now, for its picture.
HWND Painted(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    return window;
}

void Type(HWND page, int id, const wchar_t* text)
{
    SetDlgItemTextW(page, id, text);
}

} // namespace

TEST_F(OptionsPagesTest, BothPagesShowTheSettingsTheirControlsActAndOkStoresThem)
{
    Store(L"Account name", L"alice");
    Store(L"Account password", L"alice-pw1");
    Store(L"Account server", L"localhost");
    COptionsDlg options(nullptr, account);
    std::wstring titles, name, password, server, port, resource, portAfterSsl, portAfterNoSsl, manualServer;
    bool saveChecked = false, showEnabled = true, showEnabledWhenCleared = false, manualChecked = true;
    bool hostEnabled = true, hostEnabledAfterTap = false, compressionChecked = false;
    CDialogScript script;
    script.When(kOptions, [&](HWND window) {
        titles = Str(options.GetTabTitle(0)) + L"|" + Str(options.GetTabTitle(1));
        HWND page = options.GetPageWnd(0);
        name = Text(page, 1015);
        password = Text(page, 1016);
        saveChecked = Checked(page, 1018);
        showEnabled = Enabled(page, 1017);
        resource = Text(page, 1019);
        server = Text(page, 1020);
        port = Text(page, 1021);
        Tap(page, 1022);
        portAfterSsl = Text(page, 1021);
        Tap(page, 1022);
        portAfterNoSsl = Text(page, 1021);
        Tap(page, 1022);
        // A new password typed over the mask; emptied first, "Show password" comes back.
        Type(page, 1016, L"");
        showEnabledWhenCleared = Enabled(page, 1017);
        Type(page, 1016, L"a-new-password");
        Type(page, 1015, L"bob");

        HWND expert = options.GetPageWnd(1);
        manualChecked = Checked(expert, 1006);
        hostEnabled = Enabled(expert, 1020);
        manualServer = Text(expert, 1020);
        compressionChecked = Checked(expert, 1007);
        Tap(expert, 1006);
        hostEnabledAfterTap = Enabled(expert, 1020);
        Tap(expert, 1006);
        PostCommand(window, IDOK);
    });
    script.Start();
    EXPECT_EQ(options.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());

    EXPECT_EQ(titles, L"Account|Expert");
    EXPECT_EQ(name, L"alice");
    EXPECT_EQ(password, L"**************") << "a saved password never reaches the page";
    EXPECT_TRUE(saveChecked);
    EXPECT_FALSE(showEnabled);
    EXPECT_TRUE(showEnabledWhenCleared);
    EXPECT_EQ(resource, L"JOV PDA");
    EXPECT_EQ(server, L"localhost");
    EXPECT_EQ(port, L"5222");
    EXPECT_EQ(portAfterSsl, L"5223");
    EXPECT_EQ(portAfterNoSsl, L"5222");
    EXPECT_FALSE(manualChecked);
    EXPECT_FALSE(hostEnabled);
    EXPECT_EQ(manualServer, L"");
    EXPECT_TRUE(compressionChecked);
    EXPECT_TRUE(hostEnabledAfterTap);

    EXPECT_EQ(Setting(L"Account name"), L"bob");
    EXPECT_EQ(Setting(L"Account password"), L"a-new-password");
    EXPECT_EQ(Flag(L"SSL"), 1);
    EXPECT_EQ(Number(L"Account port"), 5223u);
    // The "Expert" page, stored after the "Account" page, follows it.
    EXPECT_EQ(Flag(L"Manual connection settings"), 0);
    EXPECT_EQ(Setting(L"Manual connection server"), L"localhost");
    EXPECT_EQ(Number(L"Manual connection port"), 5223u);
    EXPECT_EQ(Flag(L"Compression"), 1);
    // A new user name: the program hears of it.
    for (int i = 0; i < 100 && listener.Names().empty(); ++i)
        Sleep(20);
    EXPECT_EQ(listener.Names(), std::vector<std::wstring>{L"Account changed"});
}

TEST_F(OptionsPagesTest, APortOutOfRangeKeepsTheDialogOpenWithTheWarning)
{
    Store(L"Account name", L"alice");
    COptionsDlg options(nullptr, account);
    std::wstring message;
    HWND focused = nullptr, portEdit = nullptr;
    CDialogScript script;
    script
        .When(kOptions,
              [&](HWND window) {
                  HWND page = options.GetPageWnd(0);
                  portEdit = GetDlgItem(page, 1021);
                  Type(page, 1015, L"carol");
                  Type(page, 1021, L"70000");
                  PostCommand(window, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  message = CDialogScript::MessageText(box);
                  PostCommand(box, IDOK);
              })
        .When(kOptions, [&](HWND window) {
            focused = GetFocus();
            PostCommand(window, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(options.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(message, L"The port must be a number from 1 to 65535");
    EXPECT_EQ(focused, portEdit) << "the port is what to mend";
    EXPECT_EQ(Setting(L"Account name"), L"alice") << "nothing stored";
}

TEST_F(OptionsPagesTest, ScreenshotsOfBothPages)
{
    Store(L"Account name", L"alice");
    Store(L"Account password", L"alice-pw1");
    Store(L"Account server", L"example.org");
    BYTE on = 1;
    manager->SetByte(account, CJOVString(L"SSL"), &on);
    DWORD port = 5223;
    manager->SetDWord(account, CJOVString(L"Account port"), &port);
    CShownOptions options(nullptr, account);
    bool accountShot = false, expertShot = false;
    CDialogScript script;
    script.When(kOptions, [&](HWND window) {
        accountShot = SaveWindowPicture(Painted(window), L"xmpp-account");
        options.SelectPage(1);
        expertShot = options.GetCurrentPage() == 1 && SaveWindowPicture(Painted(window), L"xmpp-expert");
        PostCommand(window, IDCANCEL);
    });
    script.Start();
    options.DoModal();
    EXPECT_TRUE(accountShot);
    EXPECT_TRUE(expertShot);
}
