// JOV.exe's preferences as the user meets them: one value changed on each of
// the program's own pages (on "Messaging" through one of its dialogs) and
// applied stands under its key in "settings.jov" after quitting, and the page
// shows it again after a restart; the preferences that open before the
// messaging window is made keep what is stored.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "RunningProgram.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"

namespace {

// A control each page has and no other page has.
const int kGeneralTray = 1141;
const int kListColumns = 1026;
const int kEventsTurnOff = 1057;
const int kEventsSignOn = 1058;
const int kHistoryShow = 1034;
const int kHistoryNotInList = 1033;
const int kHistoryCount = 1056;
const int kSoundsOffText = 1111;
const int kSoundsNoVibrate = 1028;
const int kInterfaceMaxSmilies = 1045;
const int kProxyType = 1008;
const int kProxyHost = 1009;
const int kProxyPort = 1010;
const int kMessagingText = 1127;
const int kMessagingHistory = 1019;
const int kChatShowTime = 1015;

// The page of the preferences that holds control id.
HWND PageWith(HWND preferences, int id)
{
    for (HWND page = FindWindowExW(preferences, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(preferences, page, L"#32770", nullptr)) {
        if (GetDlgItem(page, id))
            return page;
    }
    return nullptr;
}

// "History..." on the "Messaging" page: the chat view's settings, whose
// "Show timestamp" is set or read, then OK.
bool ChatShowsTime(const CRunningProgram& program, HWND preferences, int set)
{
    HWND page = PageWith(preferences, kMessagingText);
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(kMessagingHistory, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, kMessagingHistory)));
    HWND dialog = program.WaitForWindow(nullptr, L"History");
    if (!dialog)
        return false;
    if (set >= 0)
        SendDlgItemMessageW(dialog, kChatShowTime, BM_SETCHECK, set ? BST_CHECKED : BST_UNCHECKED, 0);
    const bool shown = SendDlgItemMessageW(dialog, kChatShowTime, BM_GETCHECK, 0, 0) == BST_CHECKED;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return CRunningProgram::WaitUntilGone(dialog) && shown;
}

bool Checked(HWND page, int id)
{
    return SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND page, int id, bool on)
{
    SendDlgItemMessageW(page, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring Text(HWND page, int id)
{
    wchar_t text[256] = {};
    SendDlgItemMessageW(page, id, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

int ComboSelection(HWND page, int id)
{
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

class Settings {
public:
    explicit Settings(const std::wstring& path) : m_store(Database::CSettingsFile(CJOVString(path.c_str()))) {}

    int Byte(const JOV_GUID& section, const wchar_t* name)
    {
        unsigned char value = 0;
        return m_store.GetByte(section, CJOVString(name), &value) ? value : -1;
    }
    long long DWord(const JOV_GUID& section, const wchar_t* name)
    {
        unsigned int value = 0;
        return m_store.GetDWord(section, CJOVString(name), &value) ? value : -1;
    }
    std::wstring String(const JOV_GUID& section, const wchar_t* name)
    {
        CJOVString value;
        if (!m_store.GetString(section, CJOVString(name), &value))
            return L"<missing>";
        return std::wstring(value.Data() ? value.Data() : L"", static_cast<size_t>(value.GetLength()));
    }
    // Written to the file when this goes.
    void PutByte(const JOV_GUID& section, const wchar_t* name, unsigned char value)
    {
        m_store.SetByte(section, CJOVString(name), &value);
    }
    void PutDWord(const JOV_GUID& section, const wchar_t* name, unsigned int value)
    {
        m_store.SetDWord(section, CJOVString(name), &value);
    }

private:
    Database::CJOVDatabase m_store;
};

// Ends the preferences with the button, then the program from its window.
void CloseAndQuit(CRunningProgram& program, HWND preferences, WPARAM button)
{
    PostMessageW(preferences, WM_COMMAND, button, 0);
    ASSERT_TRUE(CRunningProgram::WaitUntilGone(preferences));
    HWND main = program.WaitForWindow(L"JOV", L"JOV");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(10000));
}

} // namespace

TEST(PreferencesRun, AValueChangedOnEachPageIsStoredAndShownAgainAfterARestart)
{
    CRunningProgram program;
    ASSERT_TRUE(program.Start());
    // No account yet: the preferences open by themselves, on "Accounts".
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    for (int id : {kGeneralTray, kListColumns, kEventsTurnOff, kMessagingText, kHistoryShow, kSoundsOffText,
                   kInterfaceMaxSmilies, kProxyType})
        ASSERT_NE(PageWith(preferences, id), nullptr) << id;

    HWND general = PageWith(preferences, kGeneralTray);
    EXPECT_TRUE(Checked(general, kGeneralTray)) << "the tray icon is on at first";
    SetChecked(general, 1028, true);  // "Full screen"
    HWND list = PageWith(preferences, kListColumns);
    EXPECT_EQ(ComboSelection(list, kListColumns), 1) << "two columns at first";
    SendDlgItemMessageW(list, kListColumns, CB_SETCURSEL, 2, 0);
    HWND events = PageWith(preferences, kEventsTurnOff);
    SetChecked(events, kEventsSignOn, true);
    // The messaging window's dialogs change it at once, whatever the preferences do.
    EXPECT_TRUE(ChatShowsTime(program, preferences, 1));
    HWND history = PageWith(preferences, kHistoryShow);
    EXPECT_TRUE(Checked(history, kHistoryNotInList));
    SetChecked(history, kHistoryNotInList, false);
    HWND sounds = PageWith(preferences, kSoundsOffText);
    SetChecked(sounds, kSoundsNoVibrate, true);
    HWND look = PageWith(preferences, kInterfaceMaxSmilies);
    EXPECT_EQ(Text(look, kInterfaceMaxSmilies), L"10");
    SendDlgItemMessageW(look, kInterfaceMaxSmilies, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"25"));
    HWND connection = PageWith(preferences, kProxyType);
    EXPECT_EQ(ComboSelection(connection, kProxyType), 0);
    SendDlgItemMessageW(connection, kProxyType, CB_SETCURSEL, 3, 0);
    SendDlgItemMessageW(connection, kProxyHost, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"127.0.0.1"));
    SendDlgItemMessageW(connection, kProxyPort, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1080"));

    ASSERT_NO_FATAL_FAILURE(CloseAndQuit(program, preferences, IDOK));

    {
        Settings stored(program.File(L"settings.jov"));
        EXPECT_EQ(stored.Byte(GUID_GUI, L"Full screen"), 1);
        EXPECT_EQ(stored.Byte(GUID_GUI, L"CLCtrl columns"), 3);
        EXPECT_EQ(stored.Byte(GUID_GUI, L"Sign on"), 1);
        EXPECT_EQ(stored.Byte(GUID_GUI, L"Show time"), 1);
        EXPECT_EQ(stored.Byte(GUID_History, L"Hist Save Not in list"), 0);
        EXPECT_EQ(stored.Byte(GUID_AlertManager, L"Disable Vibrate"), 1);
        EXPECT_EQ(stored.DWord(GUID_SkinManager, L"Smailes Num"), 25);
        EXPECT_EQ(stored.Byte(GUID_SocketsManager, L"Proxy type"), 3);
        EXPECT_EQ(stored.String(GUID_SocketsManager, L"Proxy hostname"), L"127.0.0.1");
        EXPECT_EQ(stored.DWord(GUID_SocketsManager, L"Proxy port"), 1080);
    }

    // Still no account: the preferences open again by themselves.
    ASSERT_TRUE(program.Restart());
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(Checked(PageWith(preferences, kGeneralTray), 1028));
    EXPECT_EQ(ComboSelection(PageWith(preferences, kListColumns), kListColumns), 2);
    EXPECT_TRUE(Checked(PageWith(preferences, kEventsTurnOff), kEventsSignOn));
    EXPECT_TRUE(ChatShowsTime(program, preferences, -1));
    EXPECT_FALSE(Checked(PageWith(preferences, kHistoryShow), kHistoryNotInList));
    EXPECT_TRUE(Checked(PageWith(preferences, kSoundsOffText), kSoundsNoVibrate));
    EXPECT_EQ(Text(PageWith(preferences, kInterfaceMaxSmilies), kInterfaceMaxSmilies), L"25");
    connection = PageWith(preferences, kProxyType);
    EXPECT_EQ(ComboSelection(connection, kProxyType), 3);
    EXPECT_EQ(Text(connection, kProxyPort), L"1080");
    ASSERT_NO_FATAL_FAILURE(CloseAndQuit(program, preferences, IDCANCEL));
}

// The messaging window is made after the preferences that open by themselves,
// so the "History" page must show what is stored, and OK keep it.
TEST(PreferencesRun, TheFirstPreferencesShowAndKeepTheStoredHistoryView)
{
    CRunningProgram program;
    ASSERT_TRUE(program.Start());
    HWND preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    ASSERT_NO_FATAL_FAILURE(CloseAndQuit(program, preferences, IDCANCEL));
    {
        Settings stored(program.File(L"settings.jov"));
        stored.PutByte(GUID_GUI, L"ShowHist", 0);
        stored.PutDWord(GUID_GUI, L"ShowHistNum", 9);
    }

    ASSERT_TRUE(program.Restart());
    preferences = program.WaitForWindow(nullptr, L"Preferences");
    ASSERT_NE(preferences, nullptr);
    HWND history = PageWith(preferences, kHistoryShow);
    ASSERT_NE(history, nullptr);
    EXPECT_FALSE(Checked(history, kHistoryShow));
    EXPECT_EQ(Text(history, kHistoryCount), L"9");
    ASSERT_NO_FATAL_FAILURE(CloseAndQuit(program, preferences, IDOK));

    Settings stored(program.File(L"settings.jov"));
    EXPECT_EQ(stored.Byte(GUID_GUI, L"ShowHist"), 0);
    EXPECT_EQ(stored.DWord(GUID_GUI, L"ShowHistNum"), 9);
}
