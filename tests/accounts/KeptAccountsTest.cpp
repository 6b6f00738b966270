// "Accounts data" items that become no account (no plug-in serves them, or
// the plug-in refuses them) and damaged "Accounts data": nothing stored is
// lost, and a deleted account still goes.
#include "accounts/AccountsFixture.h"

#include <cstring>
#include <map>

#include "core/clmodel/ContactListImpl.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const JOV_GUID kUnserved = TestProtocol(0x55);  // no plug-in of the "two" tree serves it

// One account's packed settings.
Bytes Settings(std::initializer_list<std::pair<const wchar_t*, const char*>> values)
{
    NamedValueMap map;
    for (const auto& [name, text] : values)
        map.Set(NamedValue(CJOVString(name), text, static_cast<unsigned>(std::strlen(text))));
    Bytes bytes(map.GetPackedSize());
    map.Pack(bytes.data(), static_cast<unsigned>(bytes.size()));
    return bytes;
}

struct Item {
    std::wstring name;
    Bytes value;
};

Bytes Pack(const std::vector<Item>& items)
{
    Bytes bytes;
    for (const Item& item : items) {
        NamedValue value(CJOVString(item.name.c_str()), item.value.data(), static_cast<unsigned>(item.value.size()));
        Bytes packed(value.GetPackedSize());
        value.Pack(packed.data(), static_cast<unsigned>(packed.size()));
        bytes.insert(bytes.end(), packed.begin(), packed.end());
    }
    return bytes;
}

std::wstring ItemName(const JOV_GUID& protocol, int position)
{
    return Str(protocol.GetString()) + std::to_wstring(position);
}

class KeptAccountsTest : public AccountsTest {
protected:
    void TearDown() override
    {
        SetEnvironmentVariableW(L"JOV_TEST_REFUSE_ACCOUNT", nullptr);
        AccountsTest::TearDown();
    }

    // Values of the settings file as it stands on disk (the store is stopped).
    void Write(const JOV_GUID& section, const wchar_t* name, const Bytes& bytes)
    {
        Database::CJOVDatabase file{Database::CSettingsFile(m_folder.Path(L"settings.jov"))};
        unsigned size = static_cast<unsigned>(bytes.size());
        file.SetData(section, CJOVString(name), bytes.data(), &size);
    }

    bool Read(const JOV_GUID& section, const wchar_t* name, Bytes* bytes)
    {
        Database::CJOVDatabase file{Database::CSettingsFile(m_folder.Path(L"settings.jov"))};
        unsigned size = 0;
        if (!file.GetValueSize(section, CJOVString(name), &size))
            return false;
        bytes->assign(size, 0);
        return size == 0 || file.GetData(section, CJOVString(name), bytes->data(), &size);
    }

    // The stored "Accounts data" items, in their order.
    std::vector<Item> StoredAccounts()
    {
        Bytes bytes;
        std::vector<Item> items;
        if (!Read(GUID_ProtocolsManager, L"Accounts data", &bytes))
            return items;
        NamedValueMap map;
        EXPECT_EQ(map.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())), bytes.size());
        for (int i = 0; i < map.GetCount(); ++i) {
            const NamedValue* value = map.GetAt(i);
            items.push_back({Str(value->GetName()), Bytes(value->GetData(), value->GetData() + value->GetSize())});
        }
        return items;
    }

    std::map<std::wstring, Bytes> StoredByName()
    {
        std::map<std::wstring, Bytes> items;
        for (Item& item : StoredAccounts())
            items[item.name] = item.value;
        return items;
    }

    std::wstring AccountName(int index)
    {
        CJOVString name;
        m_manager->GetString(m_manager->GetAccountId(index), CJOVString(L"Account name"), name);
        return Str(name);
    }

    int Warnings() { return CPluginLog::Count(L"warning 00000000 "); }
};

} // namespace

TEST_F(KeptAccountsTest, AccountsWithoutAPluginOrRefusedComeBackUnchangedInTheirPlace)
{
    Stop();
    const Bytes alice = Settings({{L"Account name", "alice"}});
    const Bytes unserved = Settings({{L"Account name", "zed"}, {L"Secret", "\x01\x02\x03"}});
    const Bytes bob = Settings({{L"Account name", "bob"}, {L"Server port", "\x14\x46"}});
    Write(GUID_ProtocolsManager, L"Accounts data",
          Pack({{ItemName(kGood, 1), alice}, {ItemName(kUnserved, 2), unserved}, {ItemName(kOther, 3), bob}}));

    // Other's plug-in refuses its account this time.
    SetEnvironmentVariableW(L"JOV_TEST_REFUSE_ACCOUNT", L"Other");
    Start(L"two");
    ASSERT_EQ(m_manager->GetAccountCount(), 1);
    EXPECT_EQ(AccountName(0), L"alice");
    EXPECT_GE(CPluginLog::Find(L"CreateAccount refused"), 0);
    Stop();

    std::vector<Item> stored = StoredAccounts();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].name, ItemName(kGood, 1));
    EXPECT_EQ(stored[1].name, ItemName(kUnserved, 2));
    EXPECT_EQ(stored[1].value, unserved);
    EXPECT_EQ(stored[2].name, ItemName(kOther, 3));
    EXPECT_EQ(stored[2].value, bob);
    EXPECT_EQ(Warnings(), 0);

    // Its plug-in takes it again: the account is back with its settings, and
    // the unserved one stays between the two live ones.
    SetEnvironmentVariableW(L"JOV_TEST_REFUSE_ACCOUNT", nullptr);
    Start(L"two");
    ASSERT_EQ(m_manager->GetAccountCount(), 2);
    EXPECT_EQ(AccountName(1), L"bob");
    WORD port = 0;
    EXPECT_TRUE(m_manager->GetWord(m_manager->GetAccountId(1), CJOVString(L"Server port"), &port));
    EXPECT_EQ(port, 0x4614);
    // An account added now comes after everything read.
    m_manager->SetString(m_manager->AddAccount(kGood), CJOVString(L"Account name"), CJOVString(L"new"));
    Stop();
    std::map<std::wstring, Bytes> byName = StoredByName();
    ASSERT_EQ(byName.size(), 4u);
    EXPECT_EQ(byName[ItemName(kUnserved, 2)], unserved);
    EXPECT_EQ(byName.count(ItemName(kOther, 3)), 1u);
    EXPECT_EQ(byName.count(ItemName(kGood, 4)), 1u);

    // Deleting still removes an account. Read in name order ({33..}1 alice,
    // {33..}4 new, {55..}2, {66..}3), the rest are numbered again.
    Start(L"two");
    const unsigned int first = m_manager->GetAccountId(0);
    ASSERT_EQ(AccountName(0), L"alice");
    m_manager->DeleteAccount(first);
    ASSERT_TRUE(CPluginLog::WaitFor(Hex(first) + L" DestroyAccount"));
    Stop();
    byName = StoredByName();
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName[ItemName(kUnserved, 2)], unserved);
    EXPECT_EQ(byName.count(ItemName(kGood, 1)), 1u);
    EXPECT_EQ(byName.count(ItemName(kOther, 3)), 1u);
}

TEST_F(KeptAccountsTest, AKeptAccountKeepsItsContactList)
{
    Stop();
    const Bytes unserved = Settings({{L"Account name", "zed"}});
    Write(GUID_ProtocolsManager, L"Accounts data", Pack({{ItemName(kUnserved, 1), unserved}}));
    // The model's list of that account, under its key (protocol id + name).
    const Bytes list = Pack({{L"0", Settings({{L"Account name", "friend"}})}});
    Write(GUID_ContactList, L"CL data", Pack({{Str(kUnserved.GetString()) + L"zed", list}}));

    // As the program starts: the model before the manager, both before "Loaded".
    m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
    m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
    auto model = std::make_unique<CL::CContactListImpl>(*m_bus);
    m_manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get(), &m_host, Protos(L"two"));
    model->SetAccountDirectory(m_manager.get());
    m_bus->FireLoaded();
    const unsigned int alice = m_manager->AddAccount(kGood);
    ASSERT_TRUE(CPluginLog::WaitFor(Hex(alice) + L" Lang change"));
    model.reset();  // saves while the accounts still answer
    Stop();

    Bytes stored;
    ASSERT_TRUE(Read(GUID_ContactList, L"CL data", &stored));
    NamedValueMap lists;
    lists.Unpack(stored.data(), static_cast<unsigned>(stored.size()));
    const NamedValue* kept = lists.Find(kUnserved.GetString() + CJOVString(L"zed"));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(Bytes(kept->GetData(), kept->GetData() + kept->GetSize()), list);
    // The kept account read first keeps the first place; the new one follows.
    const std::vector<Item> accounts = StoredAccounts();
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts[1].name, ItemName(kUnserved, 1));
    EXPECT_EQ(accounts[1].value, unserved);
    EXPECT_EQ(accounts[0].name, ItemName(kGood, 2));
}

TEST_F(KeptAccountsTest, DamagedAccountsDataIsKeptUnderItsOwnNameAndTheUserWarnedOnce)
{
    const Bytes alice = Settings({{L"Account name", "alice"}});
    const Bytes bob = Settings({{L"Account name", "bob"}, {L"Account password", "secret"}});
    Bytes cutSettings = bob;
    cutSettings.resize(bob.size() - 3);
    const Bytes whole = Pack({{ItemName(kGood, 1), alice}, {ItemName(kOther, 2), bob}});
    Bytes cutShort = whole;
    cutShort.resize(whole.size() - 4);
    struct Case {
        const char* what;
        Bytes stored;
        std::vector<std::wstring> created;
    } cases[] = {
        {"collection cut short", cutShort, {L"alice"}},
        {"an account's settings cut short", Pack({{ItemName(kGood, 1), alice}, {ItemName(kOther, 2), cutSettings}}),
         {L"alice", L"bob"}},
        {"an item named twice", Pack({{ItemName(kGood, 1), alice}, {ItemName(kGood, 1), bob}}), {L"alice"}},
        {"an item not named after a protocol",
         Pack({{L"alice", alice}, {ItemName(kOther, 2), bob}}), {L"bob"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Stop();
        DeleteFileW(Str(m_folder.Path(L"settings.jov")).c_str());
        Write(GUID_ProtocolsManager, L"Accounts data (damaged)", Bytes{'o', 'l', 'd'});
        Write(GUID_ProtocolsManager, L"Accounts data", c.stored);
        CPluginLog::Clear();
        Start(L"two");

        ASSERT_EQ(m_manager->GetAccountCount(), static_cast<int>(c.created.size()));
        for (size_t i = 0; i < c.created.size(); ++i)
            EXPECT_EQ(AccountName(static_cast<int>(i)), c.created[i]);
        EXPECT_EQ(Warnings(), 1);
        Stop();

        Bytes kept;
        ASSERT_TRUE(Read(GUID_ProtocolsManager, L"Accounts data (damaged)", &kept));
        EXPECT_EQ(kept, c.stored);
        // The next save writes what was read; read whole next time, no warning.
        EXPECT_EQ(StoredAccounts().size(), c.created.size());
        CPluginLog::Clear();
        Start(L"two");
        EXPECT_EQ(Warnings(), 0);
        EXPECT_EQ(m_manager->GetAccountCount(), static_cast<int>(c.created.size()));
    }
}

TEST_F(KeptAccountsTest, AManagerClosedBeforeItReadTheAccountsKeepsThemAll)
{
    Stop();
    const Bytes stored = Pack({{ItemName(kGood, 1), Settings({{L"Account name", "alice"}})},
                               {ItemName(kUnserved, 2), Settings({{L"Account name", "zed"}})}});
    Write(GUID_ProtocolsManager, L"Accounts data", stored);

    // Closed before "Loaded" came: nothing read, nothing lost.
    m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
    m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
    m_manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get(), &m_host, Protos(L"two"));
    Stop();

    Bytes after;
    ASSERT_TRUE(Read(GUID_ProtocolsManager, L"Accounts data", &after));
    EXPECT_EQ(after, stored);
    EXPECT_EQ(Warnings(), 0);
}
