// The account's rules for the program's context menus, and its status menu.
#include "AccountRegistry.h"
#include "MenuInfo.h"
#include "icqaccount/AccountFixture.h"
#include "icqaccount/FakeModel.h"
#include "support/AllocationWatch.h"
#include "support/GuardedRoom.h"

namespace {

typedef void (*MenuCallback)(unsigned int subjectId, uintptr_t param);

CMenuInfo ProgramMenu(std::initializer_list<unsigned int> ids)
{
    CMenuInfo menu;
    for (unsigned int id : ids)
        menu.Append(CMenuItemInfo(CJOVString(L"item"), id, 0));
    return menu;
}

std::vector<unsigned int> Ids(const CMenuInfo& menu)
{
    std::vector<unsigned int> ids;
    for (int i = 0; i < menu.Count(); ++i)
        ids.push_back(menu[i].type == CMenuItemInfo::MenuItemSeparator ? 1u : menu[i].commandId);
    return ids;
}

std::wstring Caption(const CMenuItemInfo& item)
{
    return std::wstring(item.caption.Data(), item.caption.GetLength());
}

// As the program calls a chosen item: with the id of the menu's subject.
void Choose(const CMenuItemInfo& item, unsigned int subjectId)
{
    reinterpret_cast<MenuCallback>(item.handler)(subjectId, item.param);
}

// The fixture's helpers drive an account that someone else owns for a while.
class CBorrowedAccount {
public:
    CBorrowedAccount(std::unique_ptr<CICQProtocol>& slot, CICQProtocol* account) : m_slot(slot)
    {
        m_slot.reset(account);
    }
    ~CBorrowedAccount() { Return(); }
    CBorrowedAccount(const CBorrowedAccount&) = delete;
    CBorrowedAccount& operator=(const CBorrowedAccount&) = delete;

    void Return() { (void)m_slot.release(); }

private:
    std::unique_ptr<CICQProtocol>& m_slot;
};

} // namespace

TEST_F(AccountTest, TheRootMenuOfflineLosesGroupCreation)
{
    CMenuInfo menu = ProgramMenu({1000, 1001, 1002, 1003, 1004, 1005});
    EXPECT_EQ(Manager(L"Init root menu", nullptr, new CEventArg_Data<CMenuInfo*>(&menu)), 1);
    EXPECT_EQ(Ids(menu), (std::vector<unsigned int>{1000, 1001, 1004, 1005}));
}

TEST_F(AccountTest, TheRootMenuOnlineOffersAddingAContact)
{
    LoginWithRoster(1);  // "Load cl" on
    CMenuInfo menu = ProgramMenu({1000, 1001, 1002, 1003, 1004, 1005});
    Manager(L"Init root menu", nullptr, new CEventArg_Data<CMenuInfo*>(&menu));
    ASSERT_EQ(menu.Count(), 7);
    EXPECT_EQ(Caption(menu[5]), L"Add contact");
    EXPECT_EQ(menu[6].commandId, 1005u);

    m_settings.SetByte(L"Load cl", 0);
    CMenuInfo manual = ProgramMenu({1004, 1005});
    Manager(L"Init root menu", nullptr, new CEventArg_Data<CMenuInfo*>(&manual));
    ASSERT_EQ(manual.Count(), 4);
    EXPECT_EQ(Caption(manual[1]), L"Update contact list");
    EXPECT_EQ(Caption(manual[2]), L"Add contact");
}

TEST_F(AccountTest, TheGroupMenuFollowsStatusAndGroup)
{
    CMenuInfo offline = ProgramMenu({2000, 2001, 2002, 2003, 2004, 2005, 2099});
    Manager(L"Init group menu", new CEventArg_Data<unsigned int>(5), new CEventArg_Data<CMenuInfo*>(&offline));
    EXPECT_EQ(Ids(offline), (std::vector<unsigned int>{2000, 2001}));

    LoginToOnline();
    CMenuInfo root = ProgramMenu({2000, 2001, 2002, 2003, 2004, 2005});
    Manager(L"Init group menu", new CEventArg_Data<unsigned int>(0), new CEventArg_Data<CMenuInfo*>(&root));
    EXPECT_EQ(Ids(root), (std::vector<unsigned int>{2000, 2001, 2002, 2003, 2005, 1, 0}));
}

TEST_F(AccountTest, TheContactMenuOfflineKeepsOnlyWhatNeedsNoServer)
{
    LoginWithRoster(1);
    m_account->SetContactIdForTest(1, 0x80000001);
    SetStatus(Protocols::StatusOffline);
    CMenuInfo menu = ProgramMenu({4001, 4003, 4004, 4005, 4007, 4008, 4009, 4010, 4011, 4099});
    Manager(L"Init contact menu", new CEventArg_Data<unsigned int>(0x80000001), new CEventArg_Data<CMenuInfo*>(&menu));
    EXPECT_EQ(Ids(menu), (std::vector<unsigned int>{4001, 4003, 4004, 4005, 4007}));
}

TEST_F(AccountTest, TheContactMenuOnlineAddsThePrivacyLists)
{
    LoginWithRoster(1);
    m_account->SetContactIdForTest(2, 0x80000002);  // 222, in the visible list
    CMenuInfo menu = ProgramMenu({4001, 4003, 4004, 4005, 4007, 4008, 4009, 4010, 4011});
    Manager(L"Init contact menu", new CEventArg_Data<unsigned int>(0x80000002), new CEventArg_Data<CMenuInfo*>(&menu));
    ASSERT_EQ(menu.Count(), 13);
    EXPECT_EQ(Caption(menu[10]), L"Remove from visible list");
    EXPECT_EQ(Caption(menu[11]), L"Add to invisible list");
    EXPECT_EQ(Caption(menu[12]), L"Add to ignore list");
}

TEST_F(AccountTest, TheStatusMenuListsTheStatusesPrivacyAndXStatus)
{
    SetAccountEnvironment(&m_settings, FastTimings());
    unsigned int clientId = CreateICQAccount(m_bus.get(), 42, m_hostId);
    CICQProtocol* account = FindAccount(42);
    ASSERT_NE(account, nullptr);
    CMenuInfo menu;
    m_bus->SendEventToClient(clientId, GUID_ProtocolsManager, CJOVString(L"Get status menu info"),
                             new CEventArg_Data<CMenuInfo*>(&menu), nullptr, true);
    ASSERT_EQ(menu.Count(), 20);  // fourteen statuses (not Connecting), four separators
    std::vector<int> statuses;
    for (int i = 0; i < 18; ++i)
        statuses.push_back(menu[i].type == CMenuItemInfo::MenuItemSeparator ? -1 : static_cast<int>(menu[i].param));
    EXPECT_EQ(statuses, (std::vector<int>{5, 6, 7, 8, 9, -1, 10, 11, 12, 13, 14, -1, 2, 3, 4, -1, 0, -1}));
    ASSERT_NE(menu[18].GetSubmenu(), nullptr);
    EXPECT_EQ(menu[18].GetSubmenu()->Count(), 5);
    EXPECT_EQ(Caption(menu[19]), L"X status");

    // Choosing a status goes the way of any status request.
    reinterpret_cast<MenuCallback>(menu[0].handler)(42, menu[0].param);
    EXPECT_TRUE(WaitUntil([&] { return account->GetStatus() == Protocols::StatusConnecting; }));
    EXPECT_EQ(account->GetWantedStatus(), Protocols::StatusFreeForChat);
    DestroyICQAccount(clientId);
    SetAccountEnvironment(nullptr, ICQTimings());
}

TEST_F(AccountTest, AnAuthorizationRequestIsAnsweredFromTheMessageWindow)
{
    CFakeModel model;
    unsigned int modelId = m_bus->RegisterService(GUID_ContactList, &model);
    LoginWithRoster(1);
    unsigned int contact = model.Find(L"111", true);
    CMenuInfo plain;
    Manager(L"Init message window menu", new CEventArg_Data<unsigned int>(contact),
            new CEventArg_Data<CMenuInfo*>(&plain));
    EXPECT_EQ(plain.Count(), 0);

    Deliver(OscarWire::SnacFrame(0x13, 0x19, OscarWire::Builder().U8(3).Text("111").U16(4).Text("mine").U16(0)));
    ASSERT_EQ(model.messages.size(), 1u);
    CMenuInfo menu;
    Manager(L"Init message window menu", new CEventArg_Data<unsigned int>(contact),
            new CEventArg_Data<CMenuInfo*>(&menu));
    ASSERT_EQ(menu.Count(), 1);
    ASSERT_NE(menu[0].GetSubmenu(), nullptr);
    EXPECT_EQ(menu[0].GetSubmenu()->Count(), 3);
    EXPECT_NE(menu[0].GetSubmenu()->At(0).handler, nullptr);

    m_sockets.ClearSent();
    m_bus->SendEventToClient(m_account->GetClientId(), GUID_ICQProtocol, CJOVString(L"Accept"),
                             new CEventArg_Data<unsigned int>(contact), nullptr, true);
    EXPECT_TRUE(SentSnac(0x13, 0x1A));
    m_sockets.ClearSent();
    // Answered once: the flag is gone.
    m_bus->SendEventToClient(m_account->GetClientId(), GUID_ICQProtocol, CJOVString(L"Accept"),
                             new CEventArg_Data<unsigned int>(contact), nullptr, true);
    EXPECT_FALSE(SentSnac(0x13, 0x1A));
    m_account.reset();
    m_bus->UnregisterService(modelId);
}

TEST_F(AccountTest, TheContactMenuOfAStrangerOffersAddingIt)
{
    CFakeModel model;
    unsigned int modelId = m_bus->RegisterService(GUID_ContactList, &model);
    LoginWithRoster(1);
    Deliver(OscarWire::MessageChannel1(1, 2, "777", "hello"));
    unsigned int stranger = model.Find(L"777", true);
    ASSERT_NE(stranger, 0u);
    CMenuInfo menu = ProgramMenu({4001, 4003, 4004, 4005, 4007, 4008, 4009, 4010, 4011});
    Manager(L"Init contact menu", new CEventArg_Data<unsigned int>(stranger), new CEventArg_Data<CMenuInfo*>(&menu));
    std::vector<unsigned int> ids = Ids(menu);
    ASSERT_GE(ids.size(), 8u);
    EXPECT_EQ(std::vector<unsigned int>(ids.begin(), ids.begin() + 8),
              (std::vector<unsigned int>{4001, 4003, 4004, 4005, 4007, 4008, 0, 4010}));
    EXPECT_EQ(Caption(menu[6]), L"Add to contact list");
    m_account.reset();
    m_bus->UnregisterService(modelId);
}

TEST_F(AccountTest, PrivacyItemsOfTheContactMenuReachTheirAccount)
{
    SetAccountEnvironment(&m_settings, FastTimings());
    const unsigned int clientId = CreateICQAccount(m_bus.get(), 42, m_hostId);
    {
        CBorrowedAccount borrowed(m_account, FindAccount(42));
        ASSERT_NE(m_account, nullptr);
        LoginWithRoster(1);
        m_account->SetContactIdForTest(2, 0x80000002);  // 222, visible only
        CMenuInfo menu = ProgramMenu({4001, 4003, 4004, 4005, 4007, 4008, 4009, 4010, 4011});
        Manager(L"Init contact menu", new CEventArg_Data<unsigned int>(0x80000002),
                new CEventArg_Data<CMenuInfo*>(&menu));
        ASSERT_EQ(Caption(menu[11]), L"Add to invisible list");
        Choose(menu[11], 0x80000002);
        EXPECT_TRUE(WaitUntil([&] { return SentSnac(0x13, 0x08); })) << "no item added to the server's list";
    }
    DestroyICQAccount(clientId);
    SetAccountEnvironment(nullptr, ICQTimings());
}

// A menu stays open while its account is deleted, then an item is chosen.
TEST_F(AccountTest, AnItemChosenAfterItsAccountWentReadsNothingOfIt)
{
    CGuardedRoom<CICQProtocol> room;
    CBorrowedAccount borrowed(m_account,
                              room.Make(m_bus.get(), kAccountId, m_hostId, &m_settings, FastTimings()));
    LoginWithRoster(1);
    m_account->SetContactIdForTest(2, 0x80000002);
    CMenuInfo contact = ProgramMenu({4001, 4003, 4004, 4005, 4007, 4008, 4009, 4010, 4011});
    Manager(L"Init contact menu", new CEventArg_Data<unsigned int>(0x80000002),
            new CEventArg_Data<CMenuInfo*>(&contact));
    ASSERT_EQ(contact.Count(), 13);
    m_settings.SetByte(L"Load cl", 0);
    CMenuInfo root = ProgramMenu({1004, 1005});
    Manager(L"Init root menu", nullptr, new CEventArg_Data<CMenuInfo*>(&root));
    ASSERT_EQ(Caption(root[1]), L"Update contact list");

    borrowed.Return();
    room.Destroy();
    for (int item : {10, 11, 12})
        Choose(contact[item], 0x80000002);
    Choose(root[1], kAccountId);
    EXPECT_EQ(room.TouchesAfterDestroy(), 0);
}

TEST_F(AccountTest, AStatusChosenForAnAccountThatIsGoneLeavesNoArgumentBehind)
{
    CMenuInfo menu;
    Manager(L"Get status menu info", new CEventArg_Data<CMenuInfo*>(&menu));
    ASSERT_GT(menu.Count(), 0);
    CAllocationWatch watch;
    Choose(menu[0], 4242);  // no account of that id
    EXPECT_EQ(watch.Live(), 0u);
}
