// Every request of the program reaches the account as its event, with its
// arguments; account 0 is the manager itself.
#include "accounts/AccountsFixture.h"

class RequestsTest : public AccountsTest {
protected:
    explicit RequestsTest(unsigned long sendTimeoutMs = kTimeoutMs) : AccountsTest(sendTimeoutMs) {}

    void SetUp() override
    {
        AccountsTest::SetUp();
        m_id = m_manager->AddAccount(kGood);
        ASSERT_TRUE(CPluginLog::WaitFor(Hex(m_id) + L" Lang change"));
    }

    bool Logged(const std::wstring& line) { return CPluginLog::WaitFor(Hex(m_id) + L" " + line); }

    unsigned int m_id = 0;
};

TEST_F(RequestsTest, SentRequestsAnswerWithWhatTheHandlerFilledIn)
{
    EXPECT_EQ(Str(m_manager->GetAccountName(m_id, false)), L"Test10000001");
    EXPECT_EQ(Str(m_manager->GetAccountName(m_id, true)), L"{33333333-3333-3333-3333-333333333333}Test10000001");

    CJOVArray<unsigned int> images;
    EXPECT_TRUE(m_manager->GetImages(m_id, &images));
    ASSERT_EQ(images.Count(), 1);
    EXPECT_EQ(images[0], 70u);

    Protocols::ContactStatusInfo info;
    EXPECT_TRUE(m_manager->GetContactStatusInfo(m_id, 0x80000001, &info));
    EXPECT_EQ(info.status, Protocols::StatusAway);
    EXPECT_TRUE(Logged(L"Get contact status info 2147483649"));

    CMenuInfo root, group, contact, chat;
    EXPECT_TRUE(m_manager->InitRootMenu(m_id, &root));
    EXPECT_TRUE(m_manager->InitGroupMenu(m_id, 4, &group));
    EXPECT_TRUE(m_manager->InitContactMenu(m_id, 0x80000002, &contact));
    EXPECT_TRUE(m_manager->InitMessageWindowMenu(m_id, 0x80000003, &chat));
    EXPECT_EQ(Str(root[0].caption), L"Init root menu");
    EXPECT_EQ(Str(group[0].caption), L"Init group menu");
    EXPECT_EQ(Str(contact[0].caption), L"Init contact menu");
    EXPECT_EQ(Str(chat[0].caption), L"Init message window menu");
    EXPECT_TRUE(Logged(L"Init group menu 4"));
    EXPECT_TRUE(Logged(L"Init message window menu 2147483651"));

    EXPECT_TRUE(m_manager->RenameGroup(m_id, 4, CJOVString(L"Pals")));
    EXPECT_TRUE(Logged(L"Rename group 4 'Pals'"));

    CJOVArray<CPanelInfo> pages;
    EXPECT_EQ(m_manager->GetAccountDetailsDlgInfo(m_id, &pages), 7);
    EXPECT_EQ(m_manager->GetContactDetailsDlgInfo(m_id, 0x80000002, &pages), 7);
    EXPECT_EQ(m_manager->GetOptionsDlgInfo(m_id, &pages), 7);
    EXPECT_TRUE(Logged(L"Get contact details dlg info 2147483650"));

    Protocols::StatusInfo statusInfo;
    EXPECT_EQ(m_manager->GetStatusInfo(m_id, Protocols::StatusOnline, &statusInfo), 0);
    EXPECT_EQ(Str(statusInfo.name), L"Test status");
    EXPECT_TRUE(Logged(L"Get status info status 2"));
    CMenuInfo statusMenu;
    EXPECT_EQ(m_manager->GetStatusMenuInfo(m_id, &statusMenu), 0);
    EXPECT_EQ(Str(statusMenu[0].caption), L"Get status menu info");
}

TEST_F(RequestsTest, PostedRequestsArriveInOrder)
{
    EXPECT_TRUE(m_manager->CreateGroup(m_id, CJOVString(L"Friends")));
    EXPECT_TRUE(m_manager->DeleteGroup(m_id, 5));
    EXPECT_TRUE(m_manager->RenameContact(m_id, 0x80000002, CJOVString(L"Bob")));
    EXPECT_TRUE(m_manager->MoveContact(m_id, 0x80000002, 5));
    EXPECT_TRUE(m_manager->DeleteContact(m_id, 0x80000002));
    Protocols::MessageInfo message;
    message.contactId = 0x80000002;
    message.text = CJOVString(L"hi");
    EXPECT_TRUE(m_manager->SendMessage(m_id, &message));
    EXPECT_EQ(m_manager->SetStatus(m_id, Protocols::StatusAway), 1);

    ASSERT_TRUE(Logged(L"Set status status 11"));
    const wchar_t* expected[] = {L"Create group 'Friends'", L"Delete group 5", L"Rename contact 2147483650 'Bob'",
                                 L"Move contact 2147483650 5", L"Delete contact 2147483650",
                                 L"Send message to 2147483650 'hi'", L"Set status status 11"};
    int last = -1;
    for (const wchar_t* line : expected) {
        const int at = CPluginLog::Find(Hex(m_id) + L" " + line);
        EXPECT_GT(at, last) << Str(CJOVString(line));
        last = at;
    }
    // "Message sent" means handed to the account.
    EXPECT_TRUE(CPluginLog::WaitFor(L"observer Message sent " + Hex(m_id)));

    // Sent after the posted "Set status": answered with the new status.
    Protocols::Status status = Protocols::StatusOffline;
    EXPECT_EQ(m_manager->GetStatus(m_id, &status), 0);
    EXPECT_EQ(status, Protocols::StatusAway);
}

TEST_F(RequestsTest, MissingAccountGetsNothingSent)
{
    const unsigned int missing = 0x10000050;
    CJOVArray<unsigned int> images;
    CMenuInfo menu;
    CJOVArray<CPanelInfo> pages;
    Protocols::MessageInfo message;
    Protocols::Status status = Protocols::StatusEvil;
    Protocols::StatusInfo info;
    EXPECT_EQ(m_manager->GetAccountName(missing, true).GetLength(), 0);
    EXPECT_FALSE(m_manager->GetImages(missing, &images));
    EXPECT_FALSE(m_manager->InitRootMenu(missing, &menu));
    EXPECT_FALSE(m_manager->CreateGroup(missing, CJOVString(L"x")));
    EXPECT_FALSE(m_manager->RenameGroup(missing, 1, CJOVString(L"x")));
    EXPECT_FALSE(m_manager->MoveContact(missing, 1, 2));
    EXPECT_FALSE(m_manager->SendMessage(missing, &message));
    EXPECT_EQ(m_manager->GetOptionsDlgInfo(missing, &pages), Services::kNotFound);
    EXPECT_EQ(m_manager->SetStatus(missing, Protocols::StatusOnline), Services::kNotFound);
    EXPECT_EQ(m_manager->GetStatus(missing, &status), Services::kNotFound);
    EXPECT_EQ(status, Protocols::StatusEvil);
    EXPECT_EQ(m_manager->GetStatusInfo(missing, Protocols::StatusOnline, &info), Services::kNotFound);
    EXPECT_EQ(m_manager->GetStatusMenuInfo(missing, &menu), Services::kNotFound);
    // Account 0 has no dialog pages.
    EXPECT_EQ(m_manager->GetAccountDetailsDlgInfo(0, &pages), 0);
    EXPECT_EQ(m_manager->GetContactDetailsDlgInfo(0, 1, &pages), 0);

    Sleep(50);
    EXPECT_EQ(CPluginLog::Find(L"10000050"), -1);
    EXPECT_EQ(CPluginLog::Find(L"Get account details dlg info"), -1);
    EXPECT_EQ(CPluginLog::Find(L"observer Message sent"), -1);
}

class ShortTimeoutRequestsTest : public RequestsTest {
protected:
    ShortTimeoutRequestsTest() : RequestsTest(kShortTimeoutMs) {}
};

TEST_F(ShortTimeoutRequestsTest, TimedOutGetStatusIsNoStatus)
{
    Tell(m_id, L"Test stall", 3 * kShortTimeoutMs);
    Protocols::Status status = Protocols::StatusEvil;
    EXPECT_EQ(m_manager->GetStatus(m_id, &status), kEventNoAnswer);
    EXPECT_EQ(status, Protocols::StatusEvil);
}

TEST_F(RequestsTest, AccountZeroIsTheManagerItself)
{
    Protocols::Status status = Protocols::StatusEvil;
    EXPECT_EQ(m_manager->GetStatus(0, &status), 0);
    EXPECT_EQ(status, Protocols::StatusOffline);

    // Names from the language, else the English ones.
    Protocols::StatusInfo info;
    EXPECT_EQ(m_manager->GetStatusInfo(0, Protocols::StatusAway, &info), 0);
    EXPECT_EQ(Str(info.name), L"Abwesend");
    ASSERT_EQ(info.images.Count(), 1);
    EXPECT_EQ(info.images[0], 2u);
    EXPECT_EQ(m_manager->GetStatusInfo(0, Protocols::StatusAtHome, &info), 0);
    EXPECT_EQ(Str(info.name), L"@ Home");
    EXPECT_EQ(CPluginLog::Find(L"Get status"), -1);

    CMenuInfo menu;
    EXPECT_EQ(m_manager->GetStatusMenuInfo(0, &menu), 0);
    const wchar_t* expected[] = {L"Free for Chat", L"Evil", L"Depression", L"@ Home", L"@ Work", nullptr,
                                 L"Lunch", L"Abwesend", L"Not Available", L"Occupied", L"Do not Disturb", nullptr,
                                 L"Online", L"Invisible", L"Invisible for All", nullptr, L"Offline"};
    ASSERT_EQ(menu.Count(), 17);
    for (int i = 0; i < 17; ++i) {
        if (!expected[i]) {
            EXPECT_EQ(menu[i].type, CMenuItemInfo::MenuItemSeparator) << i;
            continue;
        }
        EXPECT_EQ(Str(menu[i].caption), expected[i]);
        EXPECT_EQ(menu[i].handler, reinterpret_cast<void*>(&Protocols::SetStatusViaManager));
        EXPECT_EQ(menu[i].checked != 0, i == 16) << i;
    }
    EXPECT_EQ(menu[7].param, static_cast<uintptr_t>(Protocols::StatusAway));
    EXPECT_EQ(menu[7].images[0], 2u);

    // Choosing an item sets the status of the menu's account (0: all).
    Protocols::SetStatusViaManager(0, menu[12].param);
    EXPECT_TRUE(Logged(L"Set status status 2"));
}

TEST_F(RequestsTest, LanguageChangeRenamesStatusesAndReachesEveryAccount)
{
    const unsigned int other = m_manager->AddAccount(kOther);
    m_bus->FireEvent(m_languageEvent, new CEventArg_Data<CJOVString>(CJOVString(L"Czech")), nullptr, false);
    EXPECT_TRUE(Logged(L"Lang change 'Czech'"));
    EXPECT_TRUE(CPluginLog::WaitFor(Hex(other) + L" Lang change 'Czech'"));
}

TEST_F(RequestsTest, AccountReportsAreRelayedOnlyForTheirOwnProtocol)
{
    // A report names the account by id and comes under its protocol's id.
    m_bus->SendEventToClient(m_manager->GetClientId(), kOther, CJOVString(EVENT_AccountChanged),
                             new CEventArg_Data<unsigned int>(m_id), nullptr, false);
    m_bus->SendEventToClient(m_manager->GetClientId(), kGood, CJOVString(EVENT_AccountChanged),
                             new CEventArg_Data<unsigned int>(0x10000077), nullptr, false);
    m_bus->SendEventToClient(m_manager->GetClientId(), kGood, CJOVString(EVENT_ContactDetailsReceived),
                             new CEventArg_Data<unsigned int>(m_id), new CEventArg_Data<unsigned int>(9), true);
    m_bus->SendEventToClient(m_manager->GetClientId(), kGood, CJOVString(EVENT_AccountChanged),
                             new CEventArg_Data<unsigned int>(m_id), nullptr, false);
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Account changed " + Hex(m_id)));
    EXPECT_EQ(CPluginLog::Count(L"observer Account changed"), 1);
    EXPECT_GE(CPluginLog::Find(L"observer Contact details received " + Hex(m_id)), 0);

    Tell(m_id, L"Test warning");
    EXPECT_TRUE(CPluginLog::WaitFor(L"warning " + Hex(m_id) + L" 'careful'"));
}

TEST_F(RequestsTest, DetailsSentByABusyAccountAreAnsweredAtOnce)
{
    // The account reports a status, then tells its details synchronously from
    // its own queue, as a real account does. The manager must not be waiting
    // on that queue meanwhile.
    for (int i = 0; i < 3; ++i) {
        Tell(m_id, L"Test report", Protocols::StatusOnline);
        Tell(m_id, L"Test details");
    }
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Details received " + Hex(m_id)));
    const DWORD start = GetTickCount();
    while (CPluginLog::Count(L"details answered") < 3 && GetTickCount() - start < 10000)
        Sleep(2);
    EXPECT_EQ(CPluginLog::Count(L"details answered 0 "), 3);
    EXPECT_EQ(CPluginLog::Find(L" Get status"), -1);
}
