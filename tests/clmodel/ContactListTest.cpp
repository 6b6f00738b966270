// The model's operations called directly: ids, the creation rules, the item
// walk, typed properties, transactions and the events they fire.
#include "ModelFixture.h"

namespace {

const unsigned int kAlice = 0x10000001;
const unsigned int kBob = 0x10000002;
const unsigned int kContactBit = 0x80000000u;

using Pairs = std::vector<std::pair<unsigned int, unsigned int>>;

} // namespace

TEST_F(ModelTest, IdsCountUpPerKindAndAreNeverReused)
{
    m_model->CreateContact(kAlice, 0);
    m_model->CreateContact(kBob, 0);
    unsigned int g1 = m_model->CreateGroup(kAlice);
    unsigned int g2 = m_model->CreateGroup(kBob);
    unsigned int g3 = m_model->CreateGroup(kAlice);
    unsigned int c1 = m_model->CreateContact(kBob, g2);
    unsigned int c2 = m_model->CreateContact(kAlice, 0);
    EXPECT_NE(g1, 0u);
    EXPECT_EQ(g1 & kContactBit, 0u);
    EXPECT_EQ(g2, g1 + 1);
    EXPECT_EQ(g3, g1 + 2);
    EXPECT_NE(c1 & kContactBit, 0u);
    EXPECT_EQ(c2, c1 + 1);

    // A new model (a new load) goes on counting.
    NewModel();
    m_model->CreateContact(kAlice, 0);
    EXPECT_EQ(m_model->CreateGroup(kAlice), g3 + 1);
    EXPECT_EQ(m_model->CreateContact(kAlice, 0), c2 + 2);
}

TEST_F(ModelTest, CreationRulesForUnknownAccountsAndForeignGroups)
{
    EXPECT_EQ(m_model->CreateGroup(kAlice), 0u) << "a group needs a known account";
    EXPECT_FALSE(m_model->GetItems(kAlice, nullptr));

    unsigned int contact = m_model->CreateContact(kAlice, 0);
    ASSERT_NE(contact, 0u) << "a contact in no group brings its account in";
    EXPECT_EQ(Items(kAlice), (Pairs{{0, contact}}));
    unsigned int group = m_model->CreateGroup(kAlice);
    EXPECT_NE(group, 0u);

    m_model->CreateContact(kBob, 0);
    EXPECT_EQ(m_model->CreateContact(kBob, group), 0u) << "a group of another account";
    EXPECT_EQ(m_model->CreateContact(kAlice, contact), 0u) << "a contact is no group";
    EXPECT_EQ(m_model->CreateContact(kAlice, 12345), 0u);
    EXPECT_EQ(Items(kAlice), (Pairs{{group, 0}, {0, contact}}));
    EXPECT_EQ(Items(kBob).size(), 1u);
    EXPECT_TRUE(SeenNames().empty()) << "creating fires nothing";
}

TEST_F(ModelTest, GetItemsAppendsGroupsWithTheirContactsThenUngroupedContacts)
{
    unsigned int c3 = m_model->CreateContact(kAlice, 0);
    unsigned int g1 = m_model->CreateGroup(kAlice);
    unsigned int g2 = m_model->CreateGroup(kAlice);
    unsigned int c1 = m_model->CreateContact(kAlice, g1);
    unsigned int c2 = m_model->CreateContact(kAlice, g1);

    CJOVArray<CL::CLItemInfo> items;
    items.Append(CL::CLItemInfo{7, 7});
    ASSERT_TRUE(m_model->GetItems(kAlice, &items));
    Pairs got;
    for (int i = 0; i < items.Count(); ++i)
        got.emplace_back(items[i].groupId, items[i].contactId);
    EXPECT_EQ(got, (Pairs{{7, 7}, {g1, 0}, {g1, c1}, {g1, c2}, {g2, 0}, {0, c3}}));

    EXPECT_EQ(m_model->GetItemKey(c1), kAlice) << "the account, not the group";
    EXPECT_EQ(m_model->GetItemKey(g2), kAlice);
    EXPECT_EQ(m_model->GetItemKey(0x80FFFFFF), 0u);
    EXPECT_EQ(m_model->GetContactGroup(c2), g1);
    EXPECT_EQ(m_model->GetContactGroup(c3), 0u);
}

TEST_F(ModelTest, TypedGettersWantTheExactWidth)
{
    unsigned int c = m_model->CreateContact(kAlice, 0);
    const WORD word = 0x1234;
    const DWORD dword = 0xA1B2C3D4;
    const BYTE byte = 7;
    m_model->SetWord(c, CJOVString(L"w"), &word);
    m_model->SetDWord(c, CJOVString(L"d"), &dword);
    m_model->SetByte(c, CJOVString(L"b"), &byte);

    DWORD d = 0;
    WORD w = 0;
    BYTE b = 0;
    EXPECT_FALSE(m_model->GetDWord(c, CJOVString(L"w"), &d));
    EXPECT_FALSE(m_model->GetByte(c, CJOVString(L"w"), &b));
    EXPECT_FALSE(m_model->GetWord(c, CJOVString(L"d"), &w));
    EXPECT_TRUE(m_model->GetWord(c, CJOVString(L"w"), &w));
    EXPECT_TRUE(m_model->GetDWord(c, CJOVString(L"d"), &d));
    EXPECT_TRUE(m_model->GetByte(c, CJOVString(L"b"), &b));
    EXPECT_EQ(w, word);
    EXPECT_EQ(d, dword);
    EXPECT_EQ(b, byte);

    // Replacing a value changes its width.
    m_model->SetWord(c, CJOVString(L"d"), &word);
    EXPECT_FALSE(m_model->GetDWord(c, CJOVString(L"d"), &d));
    EXPECT_TRUE(m_model->GetWord(c, CJOVString(L"d"), &w));
}

TEST_F(ModelTest, GetDataCopiesOnlyWhatFitsAndTellsTheSize)
{
    unsigned int c = m_model->CreateContact(kAlice, 0);
    const DWORD dword = 0x04030201;
    m_model->SetDWord(c, CJOVString(L"d"), &dword);

    unsigned char buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    unsigned int size = 3;
    EXPECT_FALSE(m_model->GetData(c, CJOVString(L"d"), buffer, &size));
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(buffer[0], 9) << "nothing copied";

    size = sizeof(buffer);
    ASSERT_TRUE(m_model->GetData(c, CJOVString(L"d"), buffer, &size));
    EXPECT_EQ(size, 4u) << "the caller learns how many bytes it got";
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_EQ(buffer[4], 9);

    EXPECT_FALSE(m_model->GetData(c, CJOVString(L"missing"), buffer, &size));
    EXPECT_FALSE(m_model->GetData(c, CJOVString(L"d"), buffer, nullptr));
}

TEST_F(ModelTest, StringsAreUtf8AndEmptyReadsAsMissing)
{
    unsigned int c = m_model->CreateContact(kAlice, 0);
    m_model->SetString(c, CJOVString(L"CL Alias"), CJOVString(L"\u00C5sa"));
    unsigned char bytes[8] = {};
    unsigned int size = sizeof(bytes);
    ASSERT_TRUE(m_model->GetData(c, CJOVString(L"CL Alias"), bytes, &size));
    EXPECT_EQ(size, 4u) << "UTF-8, no terminator";
    EXPECT_EQ(Alias(c), L"\u00C5sa");

    CJOVString out(L"kept");
    m_model->SetString(c, CJOVString(L"empty"), CJOVString(L""));
    EXPECT_FALSE(m_model->GetString(c, CJOVString(L"empty"), out));
    EXPECT_EQ(Text(out), L"kept");

    // Unknown items: setters change nothing, getters fail.
    m_model->SetString(0x80FFFFFF, CJOVString(L"CL Alias"), CJOVString(L"x"));
    EXPECT_FALSE(m_model->GetString(0x80FFFFFF, CJOVString(L"CL Alias"), out));
    // A name the stored form cannot hold is refused.
    std::wstring longName(300, L'n');
    m_model->SetString(c, CJOVString(longName.c_str()), CJOVString(L"x"));
    EXPECT_FALSE(m_model->GetString(c, CJOVString(longName.c_str()), out));
}

TEST_F(ModelTest, NestedTransactionsFireBeginAndEndOnce)
{
    m_model->BeginTransaction();
    m_model->BeginTransaction();
    m_model->EndTransaction();
    m_model->EndTransaction();
    // An unmatched end must not break the next pair.
    m_model->EndTransaction();
    m_model->BeginTransaction();
    m_model->EndTransaction();
    Settle();
    EXPECT_EQ(SeenNames(), (std::vector<std::wstring>{L"Transaction begin", L"Transaction end",
                                                      L"Transaction begin", L"Transaction end"}));
}

TEST_F(ModelTest, ATransactionReachesSubscribersWholeAtItsEndAsSingleNotificationsWould)
{
    unsigned int g = m_model->CreateGroup((m_model->CreateContact(kAlice, 0), kAlice));
    unsigned int c1 = m_model->CreateContact(kAlice, g);
    unsigned int c2 = m_model->CreateContact(kAlice, 0);
    Protocols::ContactStatusInfo status;
    status.status = Protocols::StatusAway;
    auto notify = [&] {
        m_model->NotifyGroupAdded(g);
        m_model->NotifyContactAdded(c1);
        m_model->NotifyContactAdded(c2);
        m_model->SetContactStatus(c1, &status);
        m_model->NotifyContactChanged(c2);
        m_model->NotifyGroupChanged(g);
    };
    notify();
    Settle();
    std::vector<Seen> single = SeenEvents();
    ASSERT_EQ(single.size(), 6u);
    Clear();

    m_model->BeginTransaction();
    notify();
    m_model->BeginTransaction();  // nested: one transaction still
    m_model->NotifyContactAdded(c1);
    m_model->EndTransaction();
    Settle();
    EXPECT_TRUE(SeenEvents().empty()) << "held while the transaction is open";
    m_model->EndTransaction();
    Settle();

    std::vector<Seen> batched = SeenEvents();
    ASSERT_EQ(batched.size(), single.size() + 3);
    EXPECT_EQ(batched.front().name, L"Transaction begin");
    EXPECT_EQ(batched.back().name, L"Transaction end");
    for (size_t i = 0; i < single.size(); ++i) {
        EXPECT_EQ(batched[i + 1].name, single[i].name) << i;
        EXPECT_EQ(batched[i + 1].id, single[i].id) << i;
        EXPECT_EQ(batched[i + 1].group, single[i].group) << i;
        EXPECT_EQ(batched[i + 1].hasArg2, single[i].hasArg2) << i;
    }
    EXPECT_EQ(batched[single.size() + 1].name, L"Contact added");
    EXPECT_EQ(batched[single.size() + 1].id, c1);
}

TEST_F(ModelTest, NotifiersFireOnlyForKnownItems)
{
    unsigned int g = m_model->CreateGroup((m_model->CreateContact(kAlice, 0), kAlice));
    unsigned int c = m_model->CreateContact(kAlice, g);
    m_model->NotifyGroupAdded(g);
    m_model->NotifyContactAdded(c);
    m_model->NotifyContactChanged(c);
    m_model->NotifyGroupChanged(g);
    m_model->NotifyContactAdded(0x80FFFFFF);
    m_model->NotifyGroupChanged(0x00FFFFFF);
    m_model->NotifyGroupAdded(c);  // each notifier names its own kind
    m_model->NotifyContactChanged(g);
    Settle();
    auto seen = SeenEvents();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].name, L"Group added");
    EXPECT_EQ(seen[0].id, g);
    EXPECT_EQ(seen[1].name, L"Contact added");
    EXPECT_EQ(seen[1].group, g) << "out: the contact's group";
    EXPECT_EQ(seen[2].name, L"Contact changed");
    EXPECT_EQ(seen[3].name, L"Group changed");
}

TEST_F(ModelTest, StatusReachesSubscribersAsTheirOwnCopy)
{
    unsigned int c = m_model->CreateContact(kAlice, 0);
    Protocols::ContactStatusInfo received;
    SetHook([&](const Seen& seen, CEventArg* arg2) {
        if (seen.name == L"Contact status changed")
            if (auto* data = dynamic_cast<CEventArg_Data<Protocols::ContactStatusInfo>*>(arg2))
                received = data->m_data;
    });
    {
        Protocols::ContactStatusInfo status;
        status.status = Protocols::StatusAway;
        CJOVArray<unsigned int> images;
        images.Append(42);
        status.statusImages.Append(images);
        m_model->SetContactStatus(0x80FFFFFF, &status);
        m_model->SetContactStatus(c, &status);
        m_model->SetContactStatus(c, nullptr);
    }  // the caller's record is gone before the subscriber looks
    Settle();
    ASSERT_EQ(SeenNames(), (std::vector<std::wstring>{L"Contact status changed"}));
    EXPECT_EQ(received.status, Protocols::StatusAway);
    ASSERT_EQ(received.statusImages.Count(), 1);
    EXPECT_EQ(received.statusImages[0][0], 42u);
}
