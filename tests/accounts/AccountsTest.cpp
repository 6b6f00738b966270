// Accounts: their ids, their settings, "Accounts data" across a restart, and deletion.
#include "accounts/AccountsFixture.h"

TEST_F(AccountsTest, IdsStartAt0x10000001AndRiseOnlyWithCreatedAccounts)
{
    EXPECT_EQ(m_manager->AddAccount(kGood), 0x10000001u);
    EXPECT_EQ(m_manager->AddAccount(TestProtocol(0x77)), 0u);  // not registered
    EXPECT_EQ(m_manager->AddAccount(kOther), 0x10000002u);
    EXPECT_EQ(m_manager->AddAccount(kGood), 0x10000003u);

    EXPECT_EQ(m_manager->GetAccountCount(), 3);
    EXPECT_EQ(m_manager->GetAccountId(0), 0x10000001u);
    EXPECT_EQ(m_manager->GetAccountId(2), 0x10000003u);
    EXPECT_EQ(m_manager->GetAccountId(3), 0u);
    EXPECT_EQ(m_manager->GetAccountId(-1), 0u);
    EXPECT_EQ(Str(m_manager->GetAccountProtocol(0x10000002).name), L"Other");

    // Each account is told its id and the manager's client, gets "Create"
    // before anything else, then the current language, and is announced.
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Added 10000003"));
    ASSERT_TRUE(CPluginLog::WaitFor(L"10000003 Lang change 'Testish'"));
    const std::wstring owner = L" owner " + std::to_wstring(m_manager->GetClientId());
    EXPECT_GE(CPluginLog::Find(L"10000001 CreateAccount Good client"), 0);
    EXPECT_GE(CPluginLog::Find(owner), 0);
    const int created = CPluginLog::FindLine(L"10000001 Create");
    EXPECT_LT(CPluginLog::Find(L"10000001 CreateAccount"), created);
    EXPECT_LT(created, CPluginLog::Find(L"10000001 Lang change"));
    // The account's own library stays loaded for it.
    EXPECT_NE(GetModuleHandleW(L"Other.dll"), nullptr);
}

TEST_F(AccountsTest, AccountRefusedByItsPluginTakesNoIdAndLeavesNothingLoaded)
{
    SetEnvironmentVariableW(L"JOV_TEST_REFUSE_ACCOUNT", L"1");
    EXPECT_EQ(m_manager->AddAccount(kGood), 0u);
    SetEnvironmentVariableW(L"JOV_TEST_REFUSE_ACCOUNT", nullptr);

    EXPECT_EQ(m_manager->GetAccountCount(), 0);
    EXPECT_EQ(GetModuleHandleW(L"Good.dll"), nullptr);
    EXPECT_EQ(m_manager->AddAccount(kGood), 0x10000001u);
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Added 10000001"));
    EXPECT_EQ(CPluginLog::Count(L"observer Added"), 1);
}

TEST_F(AccountsTest, SettingsAreTypedByTheirLength)
{
    const unsigned int id = m_manager->AddAccount(kGood);
    const CJOVString port(L"Port"), name(L"Account name");
    WORD word = 5190;
    m_manager->SetWord(id, port, &word);
    DWORD dword = 0;
    WORD readWord = 0;
    BYTE byte = 0;
    EXPECT_FALSE(m_manager->GetDWord(id, port, &dword));
    EXPECT_FALSE(m_manager->GetByte(id, port, &byte));
    ASSERT_TRUE(m_manager->GetWord(id, port, &readWord));
    EXPECT_EQ(readWord, 5190);

    // A setter replaces the value of that name.
    dword = 0xDEADBEEF;
    m_manager->SetDWord(id, port, &dword);
    dword = 0;
    ASSERT_TRUE(m_manager->GetDWord(id, port, &dword));
    EXPECT_EQ(dword, 0xDEADBEEFu);

    m_manager->SetString(id, name, CJOVString(L"\x0416\x0443\x043A"));
    CJOVString text;
    ASSERT_TRUE(m_manager->GetString(id, name, text));
    EXPECT_EQ(Str(text), L"\x0416\x0443\x043A");
    unsigned size = 0;
    ASSERT_TRUE(m_manager->GetValueSize(id, name, &size));
    EXPECT_EQ(size, 6u);  // UTF-8

    unsigned char buffer[8] = {};
    unsigned small = 5;
    EXPECT_FALSE(m_manager->GetData(id, name, buffer, &small));
    EXPECT_EQ(small, 5u);
    unsigned enough = sizeof(buffer);
    ASSERT_TRUE(m_manager->GetData(id, name, buffer, &enough));
    EXPECT_EQ(enough, 6u);

    // Another account, or none, sees nothing.
    m_manager->SetString(id + 1, name, CJOVString(L"ghost"));
    EXPECT_FALSE(m_manager->GetString(id + 1, name, text));
    EXPECT_FALSE(m_manager->GetValueSize(0, name, &size));
}

TEST_F(AccountsTest, AccountsAndTheirSettingsSurviveARestart)
{
    const unsigned int alice = m_manager->AddAccount(kGood);
    const unsigned int bob = m_manager->AddAccount(kOther);
    const unsigned int carol = m_manager->AddAccount(kGood);
    m_manager->SetString(alice, CJOVString(L"Account name"), CJOVString(L"alice"));
    m_manager->SetString(bob, CJOVString(L"Account name"), CJOVString(L"bob"));
    m_manager->SetString(carol, CJOVString(L"Account name"), CJOVString(L"carol"));

    Stop();
    // Every account had "Destroy" before its settings were saved, then went
    // through its plug-in's DestroyAccount; no library stays loaded.
    for (unsigned int id : {alice, bob, carol})
        EXPECT_EQ(CPluginLog::CountLines(Hex(id) + L" Destroy"), 1);
    EXPECT_EQ(CPluginLog::Count(L"DestroyAccount"), 3);
    EXPECT_EQ(GetModuleHandleW(L"Good.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"Other.dll"), nullptr);
    CPluginLog::Clear();
    Start(L"two");

    // Recreated in the order of their item names: both Good ones, then Other.
    ASSERT_EQ(m_manager->GetAccountCount(), 3);
    const wchar_t* expected[] = {L"alice", L"carol", L"bob"};
    for (int i = 0; i < 3; ++i) {
        const unsigned int id = m_manager->GetAccountId(i);
        EXPECT_EQ(id, 0x10000001u + i);
        CJOVString name;
        ASSERT_TRUE(m_manager->GetString(id, CJOVString(L"Account name"), name));
        EXPECT_EQ(Str(name), expected[i]);
        // Written during "Destroy", saved all the same.
        DWORD saved = 0;
        EXPECT_TRUE(m_manager->GetDWord(id, CJOVString(L"Saved on destroy"), &saved));
        // The account had its settings when "Create" reached it.
        EXPECT_GE(CPluginLog::Find(Hex(id) + L" read name '" + expected[i] + L"'"), 0);
    }
    EXPECT_EQ(Str(m_manager->GetAccountProtocol(0x10000003).name), L"Other");
}

TEST_F(AccountsTest, ItemNamesOrderAsTextSoTheTenthAccountComesSecond)
{
    for (int i = 1; i <= 11; ++i) {
        const unsigned int id = m_manager->AddAccount(kGood);
        m_manager->SetString(id, CJOVString(L"Account name"), CJOVString(std::to_wstring(i).c_str()));
    }
    Restart();
    // Items 1, 10, 11, 2, 3, ...
    const wchar_t* expected[] = {L"1", L"10", L"11", L"2"};
    for (int i = 0; i < 4; ++i) {
        CJOVString name;
        m_manager->GetString(m_manager->GetAccountId(i), CJOVString(L"Account name"), name);
        EXPECT_EQ(Str(name), expected[i]);
    }
}

TEST_F(AccountsTest, DeletingAnnouncesFirstThenDestroysAndDiscardsTheSettings)
{
    const unsigned int keep = m_manager->AddAccount(kGood);
    const unsigned int gone = m_manager->AddAccount(kOther);
    m_manager->SetString(gone, CJOVString(L"Account name"), CJOVString(L"gone"));
    EXPECT_EQ(m_manager->DeleteAccount(gone), 0);
    ASSERT_TRUE(CPluginLog::WaitFor(Hex(gone) + L" DestroyAccount"));

    const int deleted = CPluginLog::Find(L"observer Deleted " + Hex(gone));
    ASSERT_GE(deleted, 0);
    EXPECT_LT(deleted, CPluginLog::Find(Hex(gone) + L" Destroy"));
    EXPECT_EQ(m_manager->GetAccountCount(), 1);
    EXPECT_EQ(m_manager->GetAccountId(0), keep);
    CJOVString name;
    EXPECT_FALSE(m_manager->GetString(gone, CJOVString(L"Account name"), name));
    EXPECT_TRUE(WaitUnloaded(L"Other.dll"));

    // Announced even for an id no account has; nothing is destroyed.
    m_manager->DeleteAccount(0x10000099);
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Deleted 10000099"));

    Restart();
    ASSERT_EQ(m_manager->GetAccountCount(), 1);
    EXPECT_TRUE(m_manager->GetAccountProtocol(m_manager->GetAccountId(0)).guid == kGood);
}

TEST_F(AccountsTest, DeletingAnAccountTakesItsContactListOutOfTheFileInTheSameWrite)
{
    Stop();
    Start(L"two", true);
    const unsigned int keep = m_manager->AddAccount(kGood);
    const unsigned int gone = m_manager->AddAccount(kOther);
    // The model has learnt both names.
    m_bus->SendEventToClient(m_model->GetClientId(), kGood, CJOVString(L"sync"), nullptr, nullptr, true);
    m_model->CreateContact(keep, 0);
    m_model->CreateContact(gone, 0);
    m_model->Save();
    m_manager->DeleteAccount(gone);

    // The file as the deletion left it.
    Database::CJOVDatabase file{Database::CSettingsFile(m_folder.Path(L"settings.jov"))};
    auto stored = [&file](const JOV_GUID& section, const wchar_t* name) {
        NamedValueMap map;
        unsigned size = 0;
        if (file.GetValueSize(section, CJOVString(name), &size) && size) {
            std::vector<unsigned char> bytes(size);
            if (file.GetData(section, CJOVString(name), bytes.data(), &size))
                map.Unpack(bytes.data(), size);
        }
        return map;
    };
    auto listKey = [](const JOV_GUID& protocol, unsigned int accountId) {
        return protocol.GetString() + CJOVString((L"Test" + Hex(accountId)).c_str());
    };
    NamedValueMap lists = stored(GUID_ContactList, L"CL data");
    EXPECT_NE(lists.Find(listKey(kGood, keep)), nullptr);
    EXPECT_EQ(lists.Find(listKey(kOther, gone)), nullptr);
    EXPECT_EQ(stored(GUID_ProtocolsManager, L"Accounts data").GetCount(), 1);
}

TEST_F(AccountsTest, ConnectingStoresTheLogonDate)
{
    const unsigned int id = m_manager->AddAccount(kGood);
    CTime date;
    EXPECT_FALSE(m_manager->GetLogonDate(id, &date));
    EXPECT_EQ(date.GetUnixTime(), 0u);

    Report(id, Protocols::StatusOnline);
    DWORD stored = 0;
    EXPECT_FALSE(m_manager->GetDWord(id, CJOVString(L"Logon date"), &stored));

    const unsigned long before = CTime().GetUnixTime();
    Report(id, Protocols::StatusConnecting);
    ASSERT_TRUE(m_manager->GetLogonDate(id, &date));
    EXPECT_GE(date.GetUnixTime(), before);
    EXPECT_LE(date.GetUnixTime(), CTime().GetUnixTime());
}

TEST_F(AccountsTest, TheModelFindsALiveAccountsProtocolAndClient)
{
    const unsigned int id = m_manager->AddAccount(kGood);
    ASSERT_TRUE(CPluginLog::WaitFor(L"observer Added 10000001"));
    CL::CAccountDirectory* directory = m_manager.get();
    JOV_GUID protocol = {};
    unsigned int client = 0;
    ASSERT_TRUE(directory->FindAccount(id, &protocol, &client));
    EXPECT_EQ(protocol, kGood);
    EXPECT_NE(client, 0u);
    EXPECT_FALSE(directory->FindAccount(id + 1, &protocol, &client));
}
