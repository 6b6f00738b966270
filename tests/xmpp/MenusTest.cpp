// The account's part of the menus: which of the program's items stay in each
// state, the subscription items by subscription, the answers to a request in
// the message window, and the callbacks, which the program runs on its own
// thread, handing the work to the account's thread.
#include "xmpp/JabberContactsFixture.h"

#include <set>

#include "AccountRegistry.h"
#include "JabberImageTable.h"
#include "MenuInfo.h"

namespace {

typedef void (*MenuCallback)(unsigned int subjectId, uintptr_t param);

const char kRoster[] = "<item jid='bob@localhost' name='Bob' subscription='both'><group>Friends</group></item>"
                       "<item jid='carol@localhost' subscription='to'><group>Friends</group></item>"
                       "<item jid='dave@localhost' subscription='from'><group>Friends</group></item>"
                       "<item jid='eve@localhost' subscription='none'><group>Friends</group></item>";

CMenuInfo MenuOf(std::initializer_list<unsigned int> ids)
{
    CMenuInfo menu;
    for (unsigned int id : ids)
        menu.Append(CMenuItemInfo(CJOVString(L"item"), id, 0));
    return menu;
}

std::set<unsigned int> Ids(const CMenuInfo& menu)
{
    std::set<unsigned int> ids;
    for (int i = 0; i < menu.Count(); ++i) {
        if (menu[i].commandId)
            ids.insert(menu[i].commandId);
    }
    return ids;
}

std::vector<std::wstring> Captions(const CMenuInfo& menu)
{
    std::vector<std::wstring> captions;
    for (int i = 0; i < menu.Count(); ++i) {
        if (menu[i].type != CMenuItemInfo::MenuItemSeparator && menu[i].commandId == 0)
            captions.emplace_back(menu[i].caption.Data(), menu[i].caption.GetLength());
    }
    return captions;
}

// The account made by the plug-in's registry, as the program makes it, so
// that the menus' callbacks find it.
class MenusTest : public JabberContactsTest {
protected:
    void SetUp() override
    {
        JabberContactsTest::SetUp();
        m_account.reset();
        JabberTimings timings;
        timings.queueScanMs = 10;
        SetAccountEnvironment(&m_settings, timings);
        m_clientId = CreateJabberAccount(m_bus.get(), kAccountId, m_hostId);
        ASSERT_NE(m_clientId, 0u);
        m_account.reset(FindAccount(kAccountId));
        Manager(L"Create");
    }
    void TearDown() override
    {
        m_account.release();
        DestroyJabberAccount(m_clientId);
        SetAccountEnvironment(nullptr, JabberTimings());
        JabberContactsTest::TearDown();
    }

    CMenuInfo Filled(const wchar_t* event, unsigned int id, CMenuInfo menu)
    {
        Manager(event, new CEventArg_Data<unsigned int>(id), new CEventArg_Data<CMenuInfo*>(&menu));
        return menu;
    }

    unsigned int m_clientId = 0;
};

const std::initializer_list<unsigned int> kContactItems = {4001, 4002, 4003, 4004, 4005, 4006,
                                                           4007, 4008, 4009, 4010, 4011};
const std::initializer_list<unsigned int> kGroupItems = {2000, 2001, 2002, 2003, 2004, 2005, 2006};

} // namespace

TEST_F(MenusTest, TheRootMenuLosesItsGroupItemsUntilTheAccountIsOnline)
{
    CMenuInfo menu = MenuOf({1000, 1001, 1002, 1003, 1005});
    Manager(L"Init root menu", nullptr, new CEventArg_Data<CMenuInfo*>(&menu));
    EXPECT_EQ(Ids(menu), (std::set<unsigned int>{1000, 1001, 1005}));
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    menu = MenuOf({1000, 1001, 1002, 1003, 1005});
    Manager(L"Init root menu", nullptr, new CEventArg_Data<CMenuInfo*>(&menu));
    EXPECT_EQ(Ids(menu).size(), 5u);
}

TEST_F(MenusTest, TheGroupMenuKeepsWhatTheStateAllows)
{
    // Offline: opening and closing; for the contacts outside the roster also 2002 and 2005.
    EXPECT_EQ(Ids(Filled(L"Init group menu", 4, MenuOf(kGroupItems))), (std::set<unsigned int>{2000, 2001}));
    EXPECT_EQ(Ids(Filled(L"Init group menu", 0, MenuOf(kGroupItems))),
              (std::set<unsigned int>{2000, 2001, 2002, 2005}));
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    EXPECT_EQ(Ids(Filled(L"Init group menu", 4, MenuOf(kGroupItems))),
              (std::set<unsigned int>{2000, 2001, 2002, 2003, 2004, 2005}));
    EXPECT_EQ(Ids(Filled(L"Init group menu", 0, MenuOf(kGroupItems))),
              (std::set<unsigned int>{2000, 2001, 2002, 2003, 2005}));
}

TEST_F(MenusTest, TheContactMenuKeepsWhatTheStateAllowsAndOffersTheSubscriptionsMissing)
{
    const unsigned int kept = m_model.AddContact(kAccountId, m_model.AddGroup(kAccountId, L"Friends"),
                                                 L"bob@localhost");
    CMenuInfo offline = Filled(L"Init contact menu", kept, MenuOf(kContactItems));
    EXPECT_EQ(Ids(offline), (std::set<unsigned int>{4001, 4003, 4004, 4005, 4007}));
    EXPECT_TRUE(Captions(offline).empty()) << "no subscription items offline";

    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    EXPECT_EQ(Ids(Filled(L"Init contact menu", Contact(L"bob@localhost"), MenuOf(kContactItems))),
              (std::set<unsigned int>{4001, 4003, 4004, 4005, 4007, 4008, 4009, 4010, 4011}));
    const struct {
        const wchar_t* jid;
        std::vector<std::wstring> items;
    } kBySubscription[] = {
        {L"bob@localhost", {L"Revoke authorization"}},
        {L"carol@localhost", {L"Grant authorization"}},
        {L"dave@localhost", {L"Request authorization", L"Revoke authorization"}},
        {L"eve@localhost", {L"Request authorization", L"Grant authorization"}},
    };
    for (const auto& contact : kBySubscription) {
        CMenuInfo menu = Filled(L"Init contact menu", Contact(contact.jid), MenuOf(kContactItems));
        EXPECT_EQ(Captions(menu), contact.items) << contact.jid;
    }
    CMenuInfo eve = Filled(L"Init contact menu", Contact(L"eve@localhost"), MenuOf(kContactItems));
    EXPECT_EQ(eve[eve.Count() - 2].images[0], GetJabberImageId(kJabberImageRequest));
    EXPECT_EQ(eve[eve.Count() - 1].images[0], GetJabberImageId(kJabberImageGrant));

    // A stranger under the account: deleting it stays offline too; renaming does not.
    Deliver("<message from='mallory@elsewhere/x'><body>hi</body></message>");
    const unsigned int stranger = Contact(L"mallory@elsewhere");
    EXPECT_EQ(Ids(Filled(L"Init contact menu", stranger, MenuOf(kContactItems))),
              (std::set<unsigned int>{4001, 4003, 4004, 4005, 4007, 4008, 4010}));
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    EXPECT_EQ(Ids(Filled(L"Init contact menu", stranger, MenuOf(kContactItems))),
              (std::set<unsigned int>{4001, 4003, 4004, 4005, 4007, 4008, 4010}));
}

TEST_F(MenusTest, TheMessageWindowOffersTheAnswersOnlyWhileARequestIsOpen)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const unsigned int eve = Contact(L"eve@localhost");
    EXPECT_EQ(Filled(L"Init message window menu", eve, CMenuInfo()).Count(), 0);
    Deliver("<presence from='eve@localhost' type='subscribe'/>");
    CMenuInfo menu = Filled(L"Init message window menu", eve, MenuOf({1}));
    ASSERT_EQ(menu.Count(), 2);
    EXPECT_EQ(std::wstring(menu[0].caption.Data(), menu[0].caption.GetLength()), L"Authorization");
    EXPECT_EQ(menu[0].images[0], GetJabberImageId(kJabberImageRequest));
    ASSERT_NE(menu[0].GetSubmenu(), nullptr);
    EXPECT_EQ(Captions(*menu[0].GetSubmenu()), (std::vector<std::wstring>{L"Accept", L"Decline", L"Ignore"}));
    ASSERT_EQ(SetStatus(Protocols::StatusOffline), 0);
    EXPECT_EQ(Filled(L"Init message window menu", eve, CMenuInfo()).Count(), 0) << "nothing to send offline";
}

TEST_F(MenusTest, TheItemsWorkOnTheAccountsThreadWhenTheProgramRunsThem)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const unsigned int eve = Contact(L"eve@localhost");
    CMenuInfo menu = Filled(L"Init contact menu", eve, MenuOf({4001}));
    ASSERT_EQ(menu.Count(), 4);
    // Run as the program runs them: from this thread, with the contact id and the item's word.
    reinterpret_cast<MenuCallback>(menu[2].handler)(eve, menu[2].param);
    reinterpret_cast<MenuCallback>(menu[3].handler)(eve, menu[3].param);
    EXPECT_TRUE(WaitUntil([&] { return Sent().size() == 2; }));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"<presence type='subscribe' to='eve@localhost'/>",
                                                "<presence type='subscribed' to='eve@localhost'/>"}));
    m_sockets.ClearSent();
    const unsigned int bob = Contact(L"bob@localhost");
    menu = Filled(L"Init contact menu", bob, MenuOf({4001}));
    reinterpret_cast<MenuCallback>(menu[2].handler)(bob, menu[2].param);
    EXPECT_TRUE(WaitUntil([&] { return AllSent() == "<presence type='unsubscribed' to='bob@localhost'/>"; }))
        << AllSent();
    m_sockets.ClearSent();

    // Accept, then Decline of the same request: the first answers it.
    Deliver("<presence from='eve@localhost' type='subscribe'/>");
    menu = Filled(L"Init message window menu", eve, CMenuInfo());
    const CMenuInfo answers = *menu[0].GetSubmenu();
    reinterpret_cast<MenuCallback>(answers[0].handler)(eve, answers[0].param);
    reinterpret_cast<MenuCallback>(answers[1].handler)(eve, answers[1].param);
    EXPECT_TRUE(WaitUntil([&] { return !Sent().empty(); }));
    Manager(L"Get status");  // behind both on the account's queue
    EXPECT_EQ(Sent(), std::vector<std::string>{"<presence type='subscribed' to='eve@localhost'/>"});
    EXPECT_EQ(Filled(L"Init message window menu", eve, CMenuInfo()).Count(), 0);
    m_sockets.ClearSent();
    // Ignore only closes the request.
    Deliver("<presence from='eve@localhost' type='subscribe'/>");
    menu = Filled(L"Init message window menu", eve, CMenuInfo());
    reinterpret_cast<MenuCallback>((*menu[0].GetSubmenu())[2].handler)(eve, (*menu[0].GetSubmenu())[2].param);
    Manager(L"Get status");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Filled(L"Init message window menu", eve, CMenuInfo()).Count(), 0);

    // The status menu's items too.
    CMenuInfo statuses;
    Manager(L"Get status menu info", new CEventArg_Data<CMenuInfo*>(&statuses));
    for (int i = 0; i < statuses.Count(); ++i) {
        if (statuses[i].param == Protocols::StatusAway && statuses[i].handler)
            reinterpret_cast<MenuCallback>(statuses[i].handler)(kAccountId, statuses[i].param);
    }
    EXPECT_TRUE(WaitUntil([&] { return Has(AllSent(), "<show>away</show>"); })) << AllSent();
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusAway);
}
