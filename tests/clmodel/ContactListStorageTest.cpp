// "CL data": save and load round trips, the stored layout, damaged data, and
// accounts that cannot be named at the time.
#include "ModelFixture.h"
#include "common/TestGate.h"

namespace {

const unsigned int kAlice = 0x10000001;
const unsigned int kBob = 0x10000002;

using Names = std::vector<std::wstring>;

} // namespace

class ModelStorageTest : public ModelTest {
protected:
    explicit ModelStorageTest(unsigned long sendTimeoutMs = kTimeoutMs) : ModelTest(sendTimeoutMs) {}

    // Alice: "Friends" (Ann, Ben), "Work" (empty), and Cy in no group.
    void MakeAlice()
    {
        AddAccount(kAlice, L"alice");
        FireAdded(kAlice);
        unsigned int friends = m_model->CreateGroup(kAlice);
        SetAlias(friends, L"Friends");
        const BYTE open = 1;
        m_model->SetByte(friends, CJOVString(L"CLCtrl group open"), &open);
        SetAlias(m_model->CreateContact(kAlice, friends), L"Ann");
        unsigned int ben = m_model->CreateContact(kAlice, friends);
        SetAlias(ben, L"Ben");
        const DWORD uin = 123456;
        m_model->SetDWord(ben, CJOVString(L"UIN"), &uin);
        SetAlias(m_model->CreateGroup(kAlice), L"Work");
        SetAlias(m_model->CreateContact(kAlice, 0), L"Cy");
        Clear();
    }

    // Bob, on Jabber: Dee in no group.
    void MakeBob()
    {
        AddAccount(kBob, L"bob", GUID_JabberProtocol);
        FireAdded(kBob);
        SetAlias(m_model->CreateContact(kBob, 0), L"Dee");
    }

    // The aliases of the account's items as GetItems walks them.
    std::vector<std::wstring> Aliases(unsigned int accountId)
    {
        std::vector<std::wstring> aliases;
        for (const auto& item : Items(accountId))
            aliases.push_back(Alias(item.second ? item.second : item.first));
        return aliases;
    }

    // A new run: the model saves, a new one starts, the account comes again.
    void Restart()
    {
        NewModel();
        FireAdded(kAlice);
    }
};

TEST_F(ModelStorageTest, SaveThenLoadRecreatesEveryItemInOrder)
{
    MakeAlice();
    auto before = Items(kAlice);
    Restart();

    EXPECT_EQ(SeenNames(), (Names{L"Transaction begin", L"Group added", L"Contact added", L"Contact added",
                                  L"Group added", L"Contact added", L"Transaction end"}));
    EXPECT_EQ(Aliases(kAlice), (Names{L"Friends", L"Ann", L"Ben", L"Work", L"Cy"}));
    auto after = Items(kAlice);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_NE(after[0].first, before[0].first) << "fresh ids";

    unsigned int friends = after[0].first, ben = after[2].second;
    BYTE open = 0;
    DWORD uin = 0;
    EXPECT_TRUE(m_model->GetByte(friends, CJOVString(L"CLCtrl group open"), &open));
    EXPECT_EQ(open, 1);
    EXPECT_TRUE(m_model->GetDWord(ben, CJOVString(L"UIN"), &uin));
    EXPECT_EQ(uin, 123456u);
    EXPECT_EQ(m_model->GetContactGroup(ben), friends);
}

TEST_F(ModelStorageTest, AnnouncesEachItemAfterItsPropertiesAreSet)
{
    MakeAlice();
    std::vector<std::wstring> announced;
    SetHook([&](const Seen& seen, CEventArg*) {
        if (seen.name == L"Group added" || seen.name == L"Contact added")
            announced.push_back(Alias(seen.id));
    });
    Restart();
    EXPECT_EQ(announced, (Names{L"Friends", L"Ann", L"Ben", L"Work", L"Cy"}));
}

TEST_F(ModelStorageTest, StoredLayoutIsThreeLevelsByPosition)
{
    MakeAlice();
    m_model->Save();
    NamedValueMap level1 = StoredLevel1();
    ASSERT_EQ(level1.GetCount(), 1);
    const NamedValue* alice = level1.Find(Key(L"alice"));
    ASSERT_NE(alice, nullptr);
    NamedValueMap level2;
    level2.Unpack(alice->GetData(), alice->GetSize());
    ASSERT_EQ(level2.GetCount(), 3);
    NamedValueMap friends, cy;
    friends.Unpack(level2.Find(CJOVString(L"0"))->GetData(), level2.Find(CJOVString(L"0"))->GetSize());
    cy.Unpack(level2.Find(CJOVString(L"2"))->GetData(), level2.Find(CJOVString(L"2"))->GetSize());
    EXPECT_NE(friends.Find(CJOVString(L"Group settings")), nullptr);
    EXPECT_NE(friends.Find(CJOVString(L"0")), nullptr);
    EXPECT_NE(friends.Find(CJOVString(L"1")), nullptr);
    EXPECT_EQ(friends.Find(CJOVString(L"2")), nullptr);
    EXPECT_EQ(Text(cy.Find(CJOVString(L"CL Alias"))->AsString()), L"Cy");
}

TEST_F(ModelStorageTest, TwelveItemsComeBackInTheirSavedOrder)
{
    AddAccount(kAlice, L"alice");
    FireAdded(kAlice);
    Names expected;
    for (int i = 0; i < 12; ++i) {
        std::wstring alias = L"group " + std::to_wstring(i);
        SetAlias(m_model->CreateGroup(kAlice), alias.c_str());
        expected.push_back(alias);
    }
    Restart();
    EXPECT_EQ(Aliases(kAlice), expected) << "position 10 is not loaded before position 2";
}

TEST_F(ModelStorageTest, AContactWithAGroupSettingsPropertyLoadsAsAGroup)
{
    AddAccount(kAlice, L"alice");
    FireAdded(kAlice);
    unsigned int c = m_model->CreateContact(kAlice, 0);
    SetAlias(c, L"odd");
    const BYTE one = 1;
    m_model->SetByte(c, CJOVString(L"Group settings"), &one);
    Restart();
    auto items = Items(kAlice);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].second, 0u) << "the stored form cannot tell them apart";
}

TEST_F(ModelStorageTest, DamagedDataLoadsNothingAndDoesNotCrash)
{
    AddAccount(kAlice, L"alice");
    StoreBlob({0xFF, 'x', 'y'});
    FireAdded(kAlice);
    EXPECT_TRUE(Items(kAlice).empty());
    EXPECT_TRUE(SeenNames().empty());

    // A sound level 1 whose account part is cut.
    NamedValueMap level1;
    const unsigned char cut[] = {1, '0', 50, 0, 0, 0, 1, 2};
    level1.Set(NamedValue(Key(L"alice"), cut, sizeof(cut)));
    StoreBlob(Packed(level1));
    NewModel();
    FireAdded(kAlice);
    EXPECT_TRUE(Items(kAlice).empty());
}

TEST_F(ModelStorageTest, AccountsNotHereKeepTheirStoredLists)
{
    MakeAlice();
    m_model->Save();
    // Bob's plug-in did not load this run: his part was stored earlier.
    NamedValueMap level1 = StoredLevel1();
    const unsigned char bobPart[] = {1, '0', 0, 0, 0, 0};
    level1.Set(NamedValue(Key(L"bob"), bobPart, sizeof(bobPart)));
    StoreBlob(Packed(level1));

    NewModel();
    FireAdded(kAlice);
    m_model->Save();
    NamedValueMap saved = StoredLevel1();
    ASSERT_NE(saved.Find(Key(L"bob")), nullptr);
    EXPECT_EQ(saved.Find(Key(L"bob"))->GetSize(), sizeof(bobPart));
    EXPECT_NE(saved.Find(Key(L"alice")), nullptr);
}

TEST_F(ModelStorageTest, WithoutTheManagerTheStoredListIsKept)
{
    MakeAlice();
    m_model->Save();
    std::vector<unsigned char> stored = Packed(StoredLevel1());

    NewModel(false);
    m_model->CreateContact(kAlice, 0);
    m_model->Save();
    EXPECT_EQ(Packed(StoredLevel1()), stored);
}

class ModelStorageTimeoutTest : public ModelStorageTest {
protected:
    ModelStorageTimeoutTest() : ModelStorageTest(kShortTimeoutMs) {}
};

TEST_F(ModelStorageTimeoutTest, AnAccountThatDoesNotAnswerKeepsItsStoredList)
{
    MakeAlice();
    m_model->Save();
    std::vector<unsigned char> stored = Packed(StoredLevel1());

    NewModel();
    // Alice is busy for longer than anyone waits: nothing is loaded under a
    // wrong key ...
    CTestGate busy;
    static CJOVString sink;
    SetAccountName(kAlice, L"alice", [&] { busy.Wait(); });
    m_bus->SendEventToClient(m_accounts[kAlice].clientId, kTestSenderId, CJOVString(L"Get account name"),
                             new CEventArg_Data<CJOVString*>(&sink), nullptr, false);
    FireAdded(kAlice);
    EXPECT_TRUE(Items(kAlice).empty());
    // ... and what she creates meanwhile does not replace her stored list.
    m_model->CreateContact(kAlice, 0);
    m_model->Save();
    busy.Open();
    EXPECT_EQ(Packed(StoredLevel1()), stored);
    Settle();
}

TEST_F(ModelStorageTest, AnAccountMayUseTheModelWhileItIsAskedForItsName)
{
    MakeAlice();
    // Were the model locked while it asks, this account would wait for the
    // lock, the question would time out and nothing would be saved or loaded.
    SetAccountName(kAlice, L"alice", [this] { Items(kAlice); });
    NewModel();
    FireAdded(kAlice);
    EXPECT_EQ(Aliases(kAlice), (Names{L"Friends", L"Ann", L"Ben", L"Work", L"Cy"}));
}

TEST_F(ModelStorageTest, ASaveAsAnAccountsListIsAboutToBeReadKeepsThatList)
{
    MakeAlice();
    NewModel();
    // OK in a settings dialog once Alice's name is known, as her list is about to be read.
    m_model->SetBeforeListReadHook([this](unsigned int) { m_model->Save(); });
    FireAdded(kAlice);
    m_model->SetBeforeListReadHook(nullptr);
    EXPECT_EQ(Aliases(kAlice), (Names{L"Friends", L"Ann", L"Ben", L"Work", L"Cy"}));
    Restart();
    EXPECT_EQ(Aliases(kAlice), (Names{L"Friends", L"Ann", L"Ben", L"Work", L"Cy"}));
}

TEST_F(ModelStorageTest, TwoAccountsAreStoredApart)
{
    MakeAlice();
    MakeBob();
    NewModel();
    FireAdded(kBob);
    FireAdded(kAlice);
    EXPECT_EQ(Aliases(kBob), (Names{L"Dee"}));
    EXPECT_EQ(Aliases(kAlice).size(), 5u);
    EXPECT_NE(StoredLevel1().Find(Key(L"bob", GUID_JabberProtocol)), nullptr);
}

TEST_F(ModelStorageTest, SavingWaitsForNoAccountAndStoresEveryList)
{
    MakeAlice();
    MakeBob();
    // Bob's thread is busy for 3 s (a login, a large roster) as OK saves.
    CTestGate done;
    m_accounts[kBob].client->SetHandler([&done](const CJOVString& event, CEventArg*, CEventArg*) {
        if (event == CJOVString(L"busy"))
            done.Wait(3000);
        return 0;
    });
    m_bus->SendEventToClient(m_accounts[kBob].clientId, kTestSenderId, CJOVString(L"busy"), nullptr, nullptr, false);

    const DWORD start = GetTickCount();
    m_model->Save();
    const DWORD took = GetTickCount() - start;
    done.Open();
    m_bus->SendEventToClient(m_accounts[kBob].clientId, kTestSenderId, CJOVString(L"sync"), nullptr, nullptr, true);

    EXPECT_LT(took, 200u);
    NamedValueMap stored = StoredLevel1();
    EXPECT_NE(stored.Find(Key(L"alice")), nullptr);
    const NamedValue* bob = stored.Find(Key(L"bob", GUID_JabberProtocol));
    ASSERT_NE(bob, nullptr);
    NamedValueMap bobItems;
    bobItems.Unpack(bob->GetData(), bob->GetSize());
    EXPECT_EQ(bobItems.GetCount(), 1);
}

TEST_F(ModelStorageTest, ARenamedAccountDropsTheListUnderItsOldName)
{
    MakeAlice();
    m_model->Save();
    SetAccountName(kAlice, L"alicia");
    FireChanged(kAlice);
    SetAlias(m_model->CreateContact(kAlice, 0), L"Eve");
    m_model->Save();

    NamedValueMap stored = StoredLevel1();
    EXPECT_EQ(stored.Find(Key(L"alice")), nullptr);
    EXPECT_NE(stored.Find(Key(L"alicia")), nullptr);
    NewModel();
    FireAdded(kAlice);
    EXPECT_EQ(Aliases(kAlice), (Names{L"Eve"}));
}

TEST_F(ModelStorageTest, AnAccountAddedWithoutANameIsStoredOnceItIsNamed)
{
    // As the preferences add one: nameless, then named on its options page.
    AddAccount(kBob, L"", GUID_JabberProtocol);
    FireAdded(kBob);
    SetAccountName(kBob, L"bob");
    FireChanged(kBob);
    SetAlias(m_model->CreateContact(kBob, 0), L"Dee");
    m_model->Save();

    NewModel();
    FireAdded(kBob);
    EXPECT_EQ(Aliases(kBob), (Names{L"Dee"}));
}

TEST_F(ModelStorageTest, AnAccountNamedAfterItWasAddedReadsTheListStoredUnderItsName)
{
    // Alice's list is stored; her account comes back nameless and is given
    // her name on its options page.
    MakeAlice();
    SetAccountName(kAlice, L"");
    NewModel();
    FireAdded(kAlice);
    SetAccountName(kAlice, L"alice");
    FireChanged(kAlice);
    EXPECT_EQ(Aliases(kAlice), (Names{L"Friends", L"Ann", L"Ben", L"Work", L"Cy"}));
}

TEST_F(ModelStorageTest, DroppingADeletedAccountsListLeavesNoPartOfItStored)
{
    MakeAlice();
    MakeBob();
    m_model->Save();

    // Renamed to a name a list is stored under, then deleted before any save:
    // the parts under both names go.
    NamedValueMap level1 = StoredLevel1();
    const NamedValue* alice = level1.Find(Key(L"alice"));
    ASSERT_NE(alice, nullptr);
    level1.Set(NamedValue(Key(L"alicia"), alice->GetData(), alice->GetSize()));
    StoreBlob(Packed(level1));
    SetAccountName(kAlice, L"alicia");
    FireChanged(kAlice);
    m_model->DropStoredList(kAlice);
    NamedValueMap stored = StoredLevel1();
    EXPECT_EQ(stored.Find(Key(L"alice")), nullptr);
    EXPECT_EQ(stored.Find(Key(L"alicia")), nullptr);
    FireDeleted(kAlice);

    // The manager posts "Deleted" before it drops the list: it may be handled first.
    FireDeleted(kBob);
    m_model->DropStoredList(kBob);
    EXPECT_EQ(StoredLevel1().Find(Key(L"bob", GUID_JabberProtocol)), nullptr);
}

TEST_F(ModelStorageTest, AnotherAccountGivenADeletedAccountsNameDoesNotReadItsList)
{
    MakeAlice();
    NewModel();
    // Deleted before her "Added" was handled: the drop found no key, so her
    // part stays stored until the next save.
    m_model->DropStoredList(kAlice);
    FireAdded(kAlice);
    FireDeleted(kAlice);

    AddAccount(kBob, L"");
    FireAdded(kBob);
    SetAccountName(kBob, L"alice");
    FireChanged(kBob);
    EXPECT_TRUE(Items(kBob).empty());
}
