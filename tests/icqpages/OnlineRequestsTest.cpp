// What the pages and dialogs make an online account send, seen by the
// scripted OSCAR server: an own-details change, a contact added, an
// authorization asked for, an x-status picked; and a changed login dropping
// the old login's list.
#include <gtest/gtest.h>

#include <windows.h>

#include "EventArgData.h"
#include "MenuInfo.h"
#include "VerdelResource.h"
#include "cl/CLItemInfo.h"
#include "contactlist/DialogIds.h"
#include "contactlist/OptionsDlg.h"
#include "contactlist/UserDetailsDlg.h"
#include "dialogs/DialogScript.h"
#include "icqpages/PluginWorld.h"
#include "packets/CapabilityRegistry.h"

namespace {

using OscarWire::Bytes;
using OscarWire::Frame;

const char kUin[] = "123456789";
const char kPassword[] = "secret";

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::vector<OscarWire::SsiItem> Roster(bool awaitingAuthorization = false)
{
    OscarWire::Builder buddy;
    buddy.Tlv(0x0131, std::string("Buddy"));
    if (awaitingAuthorization)
        buddy.Tlv(0x0066, Bytes());
    return {{"Friends", 1, 0, 1, {}}, {"Work", 2, 0, 1, {}}, {"111222333", 1, 10, 0, buddy.Get()}, OnlinePrivacyItem()};
}

// Contact-list adds of buddies (item type 0).
std::vector<Frame> BuddyAdds(const std::vector<Frame>& frames)
{
    std::vector<Frame> found;
    for (const Frame& frame : frames) {
        if (!frame.IsSnac(0x13, 0x08))
            continue;
        OscarWire::Snac snac = frame.GetSnac();
        OscarWire::Cursor item(snac.body);
        item.Take(item.U16());
        item.U16();
        item.U16();
        if (item.U16() == 0)
            found.push_back(frame);
    }
    return found;
}

std::vector<Frame> Snacs(const std::vector<Frame>& frames, unsigned int family, unsigned int subtype)
{
    std::vector<Frame> found;
    for (const Frame& frame : frames) {
        if (frame.IsSnac(family, subtype))
            found.push_back(frame);
    }
    return found;
}

// Meta requests of type 2000 with that subtype; the cursor stands after it.
std::vector<Bytes> MetaRequests(const std::vector<Frame>& frames, unsigned int subtype)
{
    std::vector<Bytes> found;
    for (const Frame& frame : Snacs(frames, 0x15, 0x02)) {
        OscarWire::Snac snac = frame.GetSnac();
        OscarWire::Cursor body(snac.body, 6);
        const unsigned int owner = body.U32LE();
        const unsigned int type = body.U16LE();
        body.U16LE();
        if (owner == 123456789u && type == 2000 && body.U16LE() == subtype)
            found.push_back(body.Take(body.Left()));
    }
    return found;
}

const CMenuItemInfo* FindCaption(const CMenuInfo& menu, const wchar_t* caption)
{
    for (int i = 0; i < menu.Count(); ++i) {
        if (Str(menu[i].caption) == caption)
            return &menu[i];
    }
    return nullptr;
}

class OnlineRequestsTest : public PluginWorldTest {
protected:
    unsigned int LogIn(const std::vector<OscarWire::SsiItem>& roster)
    {
        unsigned int account = AddIcqAccount();
        SetLogin(account, L"123456789", kPassword);
        ScriptLogin(kUin, kPassword, roster);
        EXPECT_TRUE(GoOnline(account)) << login->Report() << bos->Report();
        return account;
    }

    bool WaitForFrames(const std::function<bool(const std::vector<Frame>&)>& done)
    {
        return WaitUntil([&] { return done(AfterRoster()); }, 5000);
    }
};

} // namespace

TEST_F(OnlineRequestsTest, AnOwnDetailsChangeReachesTheServerAsOneMetaRequest)
{
    const unsigned int account = LogIn(Roster());
    manager->SetString(account, CJOVString(L"ICQ: nick name"), CJOVString(L"Old"));
    CUserDetailsDlg details(nullptr, account);
    bool editable = false;
    CDialogScript script;
    script.When(L"View/change my details", [&](HWND window) {
        HWND general = details.GetPageWnd(0);
        editable = !(GetWindowLongPtrW(GetDlgItem(general, IDC_D_NICK), GWL_STYLE) & ES_READONLY);
        SetDlgItemTextW(general, IDC_D_NICK, L"Nick");
        PostCommand(window, IDOK);
    });
    script.Start();
    EXPECT_EQ(details.DoModal(), IDOK);
    EXPECT_TRUE(editable) << "online, the own fields are editable";
    EXPECT_EQ(Setting(account, L"ICQ: nick name"), L"Nick");

    ASSERT_TRUE(WaitForFrames([](const std::vector<Frame>& frames) { return !MetaRequests(frames, 0x0C3A).empty(); }))
        << bos->Report();
    std::vector<Bytes> changes = MetaRequests(AfterRoster(), 0x0C3A);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(OscarWire::Hex(changes[0]), OscarWire::Hex(Bytes{0x54, 0x01, 0x07, 0x00, 0x05, 0x00, 'N', 'i', 'c', 'k', 0x00}));
    EXPECT_EQ(MetaRequests(AfterRoster(), 0x04D0).size(), 1u) << "opening asked for the own details";

    // Unchanged pages send nothing more.
    CUserDetailsDlg again(nullptr, account);
    CDialogScript unchanged;
    unchanged.When(L"View/change my details", [](HWND window) { PostCommand(window, IDOK); });
    unchanged.Start();
    EXPECT_EQ(again.DoModal(), IDOK);
    WaitUntil([&] { return MetaRequests(AfterRoster(), 0x04D0).size() == 2; });
    Sleep(300);
    EXPECT_EQ(MetaRequests(AfterRoster(), 0x0C3A).size(), 1u);
    GoOffline(account);
    EXPECT_TRUE(bos->Wait(5000)) << bos->Report();
}

TEST_F(OnlineRequestsTest, TheAddContactDialogAddsToTheChosenGroupAndSaysWhatIsMissing)
{
    const unsigned int account = LogIn(Roster());
    CMenuInfo menu = RootMenu();
    ASSERT_TRUE(manager->InitRootMenu(account, &menu));
    const CMenuItemInfo* add = FindCaption(menu, L"Add contact");
    ASSERT_NE(add, nullptr);

    std::vector<std::wstring> groups;
    std::wstring refusal;
    CDialogScript script;
    script
        .When(L"Add contact",
              [&](HWND dialog) {
                  HWND list = GetDlgItem(dialog, IDC_ADD_GROUP);
                  for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
                      wchar_t text[64] = {};
                      SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                      groups.push_back(text);
                  }
                  PostCommand(dialog, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  refusal = CDialogScript::MessageText(box);
                  PostCommand(box, IDOK);
              })
        .When(L"Add contact", [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_ADD_ACCOUNT, L"555666777");
            SetDlgItemTextW(dialog, IDC_ADD_NAME, L"Pal");
            SendDlgItemMessageW(dialog, IDC_ADD_GROUP, CB_SETCURSEL, 1, 0);
            PostCommand(dialog, IDOK);
        });
    script.Start();
    Choose(*add, account);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(groups, (std::vector<std::wstring>{L"Friends", L"Work"})) << "the roster's groups, in its order";
    EXPECT_NE(refusal.find(L"ICQ number"), std::wstring::npos) << "an empty number is refused with a word";

    ASSERT_TRUE(WaitForFrames([](const std::vector<Frame>& frames) { return !BuddyAdds(frames).empty(); }))
        << bos->Report();
    OscarWire::Snac added = BuddyAdds(AfterRoster())[0].GetSnac();
    OscarWire::Cursor item(added.body);
    EXPECT_EQ(item.TakeText(item.U16()), "555666777");
    EXPECT_EQ(item.U16(), 2u) << "the group chosen, Work";
    item.U16();
    EXPECT_EQ(item.U16(), 0u) << "a buddy";
    auto tlvs = OscarWire::ParseTlvs(item.Take(item.U16()));
    const OscarWire::Tlv* name = OscarWire::FindTlv(tlvs, 0x0131);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->value, Text("Pal"));
    GoOffline(account);
}

TEST_F(OnlineRequestsTest, AddContactInTheNotInListGroupOpensTheAccountsDialog)
{
    const unsigned int account = LogIn(Roster());
    // "Not in list" is group 0: the menu's subject names no account.
    CMenuInfo menu = GroupMenu();
    ASSERT_TRUE(manager->InitGroupMenu(account, 0, &menu));
    const CMenuItemInfo* add = FindCaption(menu, L"Add contact");
    ASSERT_NE(add, nullptr);
    std::vector<std::wstring> groups;
    CDialogScript script;
    script.When(L"Add contact", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_ADD_GROUP);
        for (int i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            groups.push_back(text);
        }
        SetDlgItemTextW(dialog, IDC_ADD_ACCOUNT, L"555666777");
        PostCommand(dialog, IDOK);
    });
    script.Start();
    Choose(*add, 0);
    EXPECT_TRUE(script.Done()) << "the add-contact dialog did not open";
    EXPECT_EQ(groups, (std::vector<std::wstring>{L"Friends", L"Work"})) << "the account's own groups";
    if (script.Done()) {
        ASSERT_TRUE(WaitForFrames([](const std::vector<Frame>& frames) { return !BuddyAdds(frames).empty(); }))
            << bos->Report();
        OscarWire::Snac added = BuddyAdds(AfterRoster())[0].GetSnac();
        OscarWire::Cursor item(added.body);
        EXPECT_EQ(item.TakeText(item.U16()), "555666777");
    }
    GoOffline(account);
}

TEST_F(OnlineRequestsTest, WithoutAGroupTheAddContactDialogSaysSo)
{
    const unsigned int account = LogIn({OnlinePrivacyItem()});
    CMenuInfo menu = RootMenu();
    manager->InitRootMenu(account, &menu);
    const CMenuItemInfo* add = FindCaption(menu, L"Add contact");
    ASSERT_NE(add, nullptr);
    std::wstring refusal;
    int code = 0;
    CDialogScript script;
    script
        .When(L"Add contact",
              [&](HWND dialog) {
                  SetDlgItemTextW(dialog, IDC_ADD_ACCOUNT, L"555666777");
                  PostCommand(dialog, IDOK);
              })
        .When(L"Warning",
              [&](HWND box) {
                  refusal = CDialogScript::MessageText(box);
                  PostCommand(box, IDOK);
              })
        .When(L"Add contact", [&](HWND dialog) {
            code = GetFocus() == GetDlgItem(dialog, IDC_ADD_GROUP) ? 1 : 0;
            PostCommand(dialog, IDCANCEL);
        });
    script.Start();
    Choose(*add, account);
    EXPECT_TRUE(script.Done());
    EXPECT_NE(refusal.find(L"group"), std::wstring::npos) << std::string(refusal.begin(), refusal.end());
    EXPECT_EQ(code, 1) << "the group list has the focus";
    Sleep(300);
    EXPECT_TRUE(BuddyAdds(AfterRoster()).empty());
    GoOffline(account);
}

TEST_F(OnlineRequestsTest, AnAuthorizationRequestCarriesTheReason)
{
    const unsigned int account = LogIn(Roster(true));
    const unsigned int buddy = ContactOf(account, L"111222333");
    ASSERT_NE(buddy, 0u);
    CMenuInfo menu = ContactMenu();
    ASSERT_TRUE(manager->InitContactMenu(account, buddy, &menu));
    // Asked for at the second place of the menu.
    ASSERT_GE(menu.Count(), 2);
    const CMenuItemInfo* ask = &menu[1];
    ASSERT_NE(ask->handler, nullptr);
    std::wstring offered;
    CDialogScript script;
    script.When(L"Authorization request", [&](HWND dialog) {
        offered = CDialogScript::Text(GetDlgItem(dialog, IDC_AUTH_REASON));
        SetDlgItemTextW(dialog, IDC_AUTH_REASON, L"It is me, Bob");
        PostCommand(dialog, IDOK);
    });
    script.Start();
    Choose(*ask, buddy);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(offered, L"Please authorize my request.");

    ASSERT_TRUE(WaitForFrames([](const std::vector<Frame>& frames) { return !Snacs(frames, 0x13, 0x18).empty(); }))
        << bos->Report();
    OscarWire::Snac request = Snacs(AfterRoster(), 0x13, 0x18)[0].GetSnac();
    OscarWire::Cursor body(request.body);
    EXPECT_EQ(body.TakeText(body.U8()), "111222333");
    EXPECT_EQ(body.TakeText(body.U16()), "It is me, Bob");
    GoOffline(account);
}

TEST_F(OnlineRequestsTest, TheXStatusDialogSetsThePickedOneWithItsTexts)
{
    const unsigned int account = LogIn(Roster());
    CMenuInfo status;
    ASSERT_EQ(manager->GetStatusMenuInfo(account, &status), 0);
    // The last item of the status menu.
    ASSERT_GT(status.Count(), 0);
    const CMenuItemInfo* xStatus = &status.Last();
    ASSERT_NE(xStatus->handler, nullptr);

    CDialogScript script;
    script.When(L"Status picture", [&](HWND dialog) {
        HWND grid = FindWindowExW(dialog, nullptr, L"JOV Wnd Class", nullptr);
        for (int i = 0; i < 3; ++i)
            SendMessageW(grid, WM_KEYDOWN, VK_RIGHT, 1);
        SetDlgItemTextW(dialog, IDC_XS_NAME, L"Coffee");
        SetDlgItemTextW(dialog, IDC_XS_DESC, L"black, no sugar");
        PostCommand(dialog, IDOK);
    });
    script.Start();
    Choose(*xStatus, account);
    ASSERT_TRUE(script.Done());

    const CCapability* picture = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(L"capXS3pic"));
    ASSERT_NE(picture, nullptr);
    const Bytes guid(picture->GetGuid(), picture->GetGuid() + 16);
    auto carries = [&](const std::vector<Frame>& frames) {
        for (const Frame& frame : Snacs(frames, 0x02, 0x04)) {
            auto tlvs = OscarWire::ParseTlvs(frame.GetSnac().body);
            const OscarWire::Tlv* capabilities = OscarWire::FindTlv(tlvs, 0x0005);
            if (capabilities && capabilities->value.size() >= 16 &&
                Bytes(capabilities->value.end() - 16, capabilities->value.end()) == guid)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(WaitForFrames(carries)) << bos->Report();

    // Opened again: x-status 3 with its texts; edits of a cancelled dialog are dropped.
    std::wstring name, description;
    CDialogScript again;
    again.When(L"Status picture", [&](HWND dialog) {
        name = CDialogScript::Text(GetDlgItem(dialog, IDC_XS_NAME));
        description = CDialogScript::Text(GetDlgItem(dialog, IDC_XS_DESC));
        SetDlgItemTextW(dialog, IDC_XS_NAME, L"Tea");
        PostCommand(dialog, IDCANCEL);
    });
    again.Start();
    Choose(*xStatus, account);
    EXPECT_EQ(name, L"Coffee");
    EXPECT_EQ(description, L"black, no sugar");
    CDialogScript third;
    third.When(L"Status picture", [&](HWND dialog) {
        name = CDialogScript::Text(GetDlgItem(dialog, IDC_XS_NAME));
        PostCommand(dialog, IDCANCEL);
    });
    third.Start();
    Choose(*xStatus, account);
    EXPECT_EQ(name, L"Coffee");

    GoOffline(account);
}

TEST_F(OnlineRequestsTest, ANewLoginDropsTheOldLoginsList)
{
    const unsigned int account = LogIn(Roster());
    ASSERT_NE(ContactOf(account, L"111222333"), 0u);
    GoOffline(account);
    unsigned cached = 0;
    // The list is cached when the account goes; here an earlier run's cache stands in.
    const unsigned char cache[] = {0, 0, 0};
    unsigned size = sizeof(cache);
    manager->SetData(account, CJOVString(L"CL data"), cache, &size);

    COptionsDlg options(nullptr, account);
    CDialogScript script;
    script.When(L"Network settings", [&](HWND window) {
        SetDlgItemTextW(options.GetPageWnd(0), IDC_LOGIN, L"987654321");
        PostCommand(window, IDOK);
    });
    script.Start();
    EXPECT_EQ(options.DoModal(), IDOK);
    EXPECT_EQ(Setting(account, L"Account name"), L"987654321");
    EXPECT_TRUE(WaitUntil([&] {
        CJOVArray<CL::CLItemInfo> items;
        model->GetItems(account, &items);
        return items.Count() == 0;
    })) << "the old login's groups and contacts leave the list";
    EXPECT_TRUE(manager->GetValueSize(account, CJOVString(L"CL data"), &cached));
    EXPECT_EQ(cached, 0u);
}
