// The menus of accounts, groups and contacts: which entries each offers and
// with which commands, the accounts' entries beside them, the popup and what
// the entries do (dialogs answered as a user would), and the clipboard.
#include "clwindow/ListWindowFixture.h"

#include "CriticalSectionLock.h"
#include "contactlist/Clipboard.h"
#include "contactlist/DialogIds.h"
#include "core/MainMenu.h"
#include "dialogs/DialogScript.h"

namespace {

struct HandlerCall {
    unsigned int ownerId;
    uintptr_t param;
};
std::vector<HandlerCall> s_calls;

void RecordCall(unsigned int ownerId, uintptr_t param)
{
    s_calls.push_back({ownerId, param});
}

CMenuItemInfo AccountEntry(const wchar_t* caption, uintptr_t param)
{
    CMenuItemInfo entry(CJOVString(caption), reinterpret_cast<void*>(RecordCall), 0);
    entry.param = param;
    return entry;
}

// "command caption" of every entry, "-" for separators, sub-menus indented.
std::vector<std::wstring> Describe(const CMenuInfo& menu, const std::wstring& indent = L"")
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < menu.Count(); ++i) {
        const CMenuItemInfo& entry = menu[i];
        if (entry.type == CMenuItemInfo::MenuItemSeparator) {
            lines.push_back(indent + std::to_wstring(entry.commandId) + L" -");
            continue;
        }
        lines.push_back(indent + std::to_wstring(entry.commandId) + L" " + Text(entry.caption));
        if (const CMenuInfo* submenu = entry.GetSubmenu()) {
            for (const std::wstring& line : Describe(*submenu, indent + L"  "))
                lines.push_back(line);
        }
    }
    return lines;
}

class ItemMenusTest : public ListWindowTest {
protected:
    void SetUp() override
    {
        ListWindowTest::SetUp();
        s_calls.clear();
    }

    CMenuInfo MenuOf(CTreeItem* item, unsigned int* ownerId = nullptr)
    {
        CMenuInfo menu;
        EXPECT_TRUE(m_control->FillItemMenu(item, menu, ownerId));
        return menu;
    }

    // Runs the entry with that command as the popup would.
    void Choose(CTreeItem* item, unsigned int commandId)
    {
        unsigned int ownerId = 0;
        CMenuInfo menu = MenuOf(item, &ownerId);
        for (int i = 0; i < menu.Count(); ++i) {
            if (menu[i].commandId == commandId && menu[i].handler) {
                reinterpret_cast<MenuItemHandlerFn>(menu[i].handler)(ownerId, menu[i].param);
                return;
            }
        }
        ADD_FAILURE() << "no entry " << commandId;
    }

    std::vector<std::wstring> Requests() { return m_protocols.Requests(); }

    static std::wstring Field(HWND dialog) { return CDialogScript::Text(GetDlgItem(dialog, IDC_GROUP_NAME)); }
};

TEST_F(ItemMenusTest, EachKindOffersItsOwnEntriesAsItsStateAllows)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int work = AddGroup(L"Work");
    const unsigned int family = AddGroup(L"Family");
    const unsigned int bob = AddContact(L"bob", friends);
    const unsigned int alone = AddContact(L"alone", 0);

    CMenuInfo account = MenuOf(Account());
    EXPECT_EQ(Text(account.title), L"Account");
    EXPECT_EQ(Describe(account), (std::vector<std::wstring>{L"1000 Open groups", L"1001 Close groups", L"1002 -",
                                                            L"1003 Create new group", L"1004 -",
                                                            L"1005 Network settings"}));
    CMenuInfo group = MenuOf(Group(work));
    EXPECT_EQ(Text(group.title), L"Group");
    EXPECT_EQ(Describe(group),
              (std::vector<std::wstring>{L"2000 Open groups", L"2001 Close groups", L"2002 -",
                                         L"2003 Create new group", L"2004 Rename group", L"2005 Delete group"}));
    // "Not in list" can be neither renamed nor deleted.
    EXPECT_EQ(Describe(MenuOf(NotInList())),
              (std::vector<std::wstring>{L"2000 Open groups", L"2001 Close groups", L"2002 -",
                                         L"2003 Create new group"}));

    // A contact in a group may move to the account's other groups, in order.
    CMenuInfo contact = MenuOf(Contact(bob));
    EXPECT_EQ(Text(contact.title), L"Contact");
    EXPECT_EQ(Describe(contact),
              (std::vector<std::wstring>{L"4001 Send message", L"4003 -", L"4004 Contact details",
                                         L"4005 Message history", L"4007 Copy contact name", L"4008 -",
                                         L"4009 Rename contact", L"4010 Delete contact", L"4011 Move to group",
                                         L"  4012 Work", L"  4013 Family"}));
    EXPECT_EQ((*contact[8].GetSubmenu())[1].param, family);
    // In no group: neither rename nor move.
    EXPECT_EQ(Describe(MenuOf(Contact(alone))),
              (std::vector<std::wstring>{L"4001 Send message", L"4003 -", L"4004 Contact details",
                                         L"4005 Message history", L"4007 Copy contact name", L"4008 -",
                                         L"4010 Delete contact"}));
    // The status tree's item of a contact offers the same.
    CContactItem* statusBob = nullptr;
    m_control->FindStatusContactItem(bob, nullptr, &statusBob);
    EXPECT_EQ(Describe(MenuOf(statusBob)), Describe(contact));

    // The main window's soft key gets the current item's menu; a section has none.
    m_control->EnsureVisible(Contact(bob));
    CMenuInfo selected;
    m_control->FillSelectedItemMenu(selected);
    EXPECT_EQ(Describe(selected), Describe(contact));
    m_control->SetMode(0);
    CMenuInfo none;
    m_control->FillSelectedItemMenu(none);
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(ItemMenusTest, TheAccountsEntriesAreNumberedAfterEveryCommandInUseAndRunFromThePopup)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    m_protocols.accountMenu = [&](unsigned int, unsigned int, CMenuInfo* menu) {
        for (uintptr_t i = 1; i <= 5; ++i)
            menu->Append(AccountEntry((L"p" + std::to_wstring(i)).c_str(), i));
        CMenuInfo more;
        more.Append(AccountEntry(L"m1", 11));
        more.Append(AccountEntry(L"m2", 12));
        menu->Append(CMenuItemInfo(CJOVString(L"more"), more));
    };
    std::vector<std::wstring> lines = Describe(MenuOf(Account()));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[6], L"1006 p1");
    EXPECT_EQ(lines[10], L"1010 p5");
    EXPECT_EQ(lines[11], L"1011 more");
    EXPECT_EQ(lines[12], L"  0 m1");  // numbered by the popup, from 1012
    // A group's: after its own entries.
    lines = Describe(MenuOf(Group(friends)));
    EXPECT_EQ(lines[6], L"2006 p1");

    // From the popup: up to "more", into it, m1. Its own handler runs with
    // the account's id, though p5 took the number the popup used to give it.
    CDialogScript script;
    script.WhenMenu([](HWND menu) {
        for (WPARAM key : {VK_UP, VK_RIGHT, VK_HOME, VK_RETURN})
            PostMessageW(menu, WM_KEYDOWN, key, 0);
    });
    script.Start();
    m_control->ShowContextMenu(Account(), m_list, 10, 10);
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(s_calls.size(), 1u);
    EXPECT_EQ(s_calls[0].ownerId, kAccount);
    EXPECT_EQ(s_calls[0].param, 11u);

    // Tapping outside (cancelling) runs nothing.
    CDialogScript cancel;
    cancel.WhenMenu([](HWND menu) { PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0); });
    cancel.Start();
    m_control->ShowContextMenu(Group(friends), m_list, 10, 10);
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(s_calls.size(), 1u);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(ItemMenusTest, GroupsAreCreatedRenamedAndDeletedThroughTheirAccount)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    AddGroup(L"Work");

    // The account's "Create new group": named, then the account closes,
    // whether the name was given or not.
    CDialogScript create;
    create.When(L"Group", [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Pals");
        PostCommand(dialog, IDOK);
    });
    create.Start();
    Choose(Account(), 1003);
    EXPECT_TRUE(create.Done());
    EXPECT_EQ(Requests(), (std::vector<std::wstring>{L"create 1 Pals"}));
    EXPECT_FALSE(Account()->IsOpen());
    EXPECT_FALSE(Group(friends)->IsOpen());
    Choose(Account(), 1000);
    EXPECT_TRUE(Account()->IsOpen());
    EXPECT_TRUE(Group(friends)->IsOpen());
    CDialogScript cancelled;
    cancelled.When(L"Group", [](HWND dialog) { PostCommand(dialog, IDCANCEL); });
    cancelled.Start();
    Choose(Account(), 1003);
    EXPECT_TRUE(cancelled.Done());
    EXPECT_EQ(Requests().size(), 1u);
    EXPECT_FALSE(Account()->IsOpen());
    Choose(Account(), 1000);

    // Renaming shows the group's name.
    std::wstring shown;
    CDialogScript rename;
    rename.When(L"Group", [&](HWND dialog) {
        shown = Field(dialog);
        SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Buddies");
        PostCommand(dialog, IDOK);
    });
    rename.Start();
    Choose(Group(friends), 2004);
    EXPECT_EQ(shown, L"Friends");
    EXPECT_EQ(Requests().back(), L"rename group 1 " + std::to_wstring(friends) + L" Buddies");

    // Deleting asks first.
    std::wstring question;
    CDialogScript no;
    no.When(L"Delete group", [&](HWND box) {
        question = CDialogScript::MessageText(box);
        PostCommand(box, IDNO);
    });
    no.Start();
    Choose(Group(friends), 2005);
    EXPECT_TRUE(no.Done());
    EXPECT_NE(question.find(L"Friends"), std::wstring::npos);
    EXPECT_EQ(Requests().size(), 2u);
    CDialogScript yes;
    yes.When(L"Delete group", [](HWND box) { PostCommand(box, IDYES); });
    yes.Start();
    Choose(Group(friends), 2005);
    EXPECT_EQ(Requests().back(), L"delete group 1 " + std::to_wstring(friends));

    // Closing a group's siblings leaves the account open.
    Choose(Group(friends), 2001);
    EXPECT_FALSE(Group(friends)->IsOpen());
    EXPECT_FALSE(NotInList()->IsOpen());
    EXPECT_TRUE(Account()->IsOpen());
    Choose(Group(friends), 2000);
    EXPECT_TRUE(Group(friends)->IsOpen());
}

TEST_F(ItemMenusTest, ContactsAreRenamedMovedDeletedAndCopied)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int work = AddGroup(L"Work");
    const unsigned int bob = AddContact(L"Bob Smith", friends);

    CDialogScript rename;
    rename.When(L"Group", [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_GROUP_NAME, L"Robert");
        PostCommand(dialog, IDOK);
    });
    rename.Start();
    Choose(Contact(bob), 4009);
    EXPECT_EQ(Requests().back(), L"rename contact 1 " + std::to_wstring(bob) + L" Robert");

    // "Move to group": the entry's data is the target group.
    unsigned int ownerId = 0;
    CMenuInfo menu = MenuOf(Contact(bob), &ownerId);
    const CMenuItemInfo& target = (*menu[8].GetSubmenu())[0];
    reinterpret_cast<MenuItemHandlerFn>(target.handler)(ownerId, target.param);
    EXPECT_EQ(Requests().back(), L"move 1 " + std::to_wstring(bob) + L" " + std::to_wstring(work));

    CDialogScript yes;
    yes.When(L"Delete contact", [](HWND box) { PostCommand(box, IDYES); });
    yes.Start();
    Choose(Contact(bob), 4010);
    EXPECT_EQ(Requests().back(), L"delete contact 1 " + std::to_wstring(bob));

    Choose(Contact(bob), 4007);
    ASSERT_TRUE(IsClipboardTextAvailable());
    ASSERT_TRUE(OpenClipboard(m_list));
    HGLOBAL copied = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(copied, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(copied)), L"Bob Smith");
    GlobalUnlock(copied);
    CloseClipboard();

    Choose(Contact(bob), 4001);
    EXPECT_EQ(m_chat.m_calls.back(), L"open " + std::to_wstring(bob) + L" 0");
}

TEST_F(ItemMenusTest, AnEntryWhoseItemIsGoneDoesNothing)
{
    StartList();
    AddAccount();
    const unsigned int friends = AddGroup(L"Friends");
    const unsigned int bob = AddContact(L"bob", friends);
    unsigned int ownerId = 0;
    CMenuInfo menu = MenuOf(Contact(bob), &ownerId);
    m_model->DeleteContact(bob);
    Settle();
    ASSERT_EQ(Contact(bob), nullptr);

    CDialogScript script(1000);
    script.When(L"Delete contact", [](HWND box) { PostCommand(box, IDYES); });
    script.Start();
    for (int i = 0; i < menu.Count(); ++i) {
        if (menu[i].commandId == 4010 || menu[i].commandId == 4007)
            reinterpret_cast<MenuItemHandlerFn>(menu[i].handler)(ownerId, menu[i].param);
    }
    EXPECT_FALSE(script.Done());
    EXPECT_TRUE(Requests().empty());
    CMenuInfo gone;
    EXPECT_FALSE(m_control->FillItemMenu(menu[0].param ? reinterpret_cast<CTreeItem*>(menu[0].param) : nullptr,
                                         gone));
}

TEST(Clipboard, TextIsCopiedWithItsOwnerAndOnlyTextCounts)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(CopyTextToClipboard(owner, L"Пётр"));
    EXPECT_TRUE(IsClipboardTextAvailable());
    ASSERT_TRUE(OpenClipboard(owner));
    HGLOBAL copied = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(copied, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(copied)), L"Пётр");
    GlobalUnlock(copied);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_FALSE(IsClipboardTextAvailable());
    EXPECT_FALSE(CopyTextToClipboard(owner, nullptr));
    DestroyWindow(owner);
}

} // namespace
