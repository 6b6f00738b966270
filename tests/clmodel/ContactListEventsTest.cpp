// What the model does on its own thread: account events from the protocol
// manager, deletions, moves and relayed messages, and the events they fire.
#include <atomic>
#include <chrono>
#include <thread>

#include "ModelFixture.h"

namespace {

const unsigned int kAlice = 0x10000001;
const unsigned int kBob = 0x10000002;

using Names = std::vector<std::wstring>;
using Pairs = std::vector<std::pair<unsigned int, unsigned int>>;

} // namespace

class ModelEventsTest : public ModelTest {
protected:
    // Alice: group g with contacts c1, c2; contact c3 in no group.
    void MakeAlice()
    {
        AddAccount(kAlice, L"alice");
        FireAdded(kAlice);
        g = m_model->CreateGroup(kAlice);
        c1 = m_model->CreateContact(kAlice, g);
        c2 = m_model->CreateContact(kAlice, g);
        c3 = m_model->CreateContact(kAlice, 0);
        Clear();
    }
    unsigned int g = 0, c1 = 0, c2 = 0, c3 = 0;
};

TEST_F(ModelEventsTest, DeletingAContactTellsItsGroupAndForgetsIt)
{
    MakeAlice();
    m_model->DeleteContact(c1);
    m_model->DeleteContact(c3);
    m_model->DeleteContact(g) ;  // a group is not deleted as a contact
    m_model->DeleteContact(0x80FFFFFF);
    Settle();
    auto seen = SeenEvents();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, L"Contact delete");
    EXPECT_EQ(seen[0].id, c1);
    EXPECT_EQ(seen[0].group, g);
    EXPECT_EQ(seen[1].id, c3);
    EXPECT_EQ(seen[1].group, 0u);
    EXPECT_EQ(Items(kAlice), (Pairs{{g, 0}, {g, c2}}));
    EXPECT_EQ(m_model->GetItemKey(c1), 0u);
}

TEST_F(ModelEventsTest, DeletingAGroupDeletesItsContactsFirst)
{
    MakeAlice();
    m_model->DeleteGroup(g);
    m_model->DeleteGroup(c3);  // a contact is not deleted as a group
    Settle();
    auto seen = SeenEvents();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].name, L"Contact delete");
    EXPECT_EQ(seen[0].id, c1);
    EXPECT_FALSE(seen[0].hasArg2);
    EXPECT_EQ(seen[1].id, c2);
    EXPECT_EQ(seen[2].name, L"Group delete");
    EXPECT_EQ(seen[2].id, g);
    EXPECT_EQ(Items(kAlice), (Pairs{{0, c3}}));
}

TEST_F(ModelEventsTest, AccountDeletedEmptiesItBetweenOneTransaction)
{
    MakeAlice();
    FireDeleted(kAlice);
    EXPECT_EQ(SeenNames(), (Names{L"Transaction begin", L"Contact delete", L"Contact delete", L"Group delete",
                                  L"Contact delete", L"Transaction end"}));
    EXPECT_FALSE(m_model->GetItems(kAlice, nullptr));
    EXPECT_EQ(m_model->GetItemKey(c3), 0u);

    // Its stored part is gone at the next save.
    m_model->Save();
    EXPECT_EQ(StoredLevel1().Find(Key(L"alice")), nullptr);
}

TEST_F(ModelEventsTest, AccountChangedKeepsTheAccountEmpty)
{
    MakeAlice();
    FireChanged(kAlice);
    EXPECT_EQ(SeenNames(), (Names{L"Transaction begin", L"Contact delete", L"Contact delete", L"Group delete",
                                  L"Contact delete", L"Transaction end"}));
    EXPECT_TRUE(Items(kAlice).empty());
    EXPECT_NE(m_model->CreateGroup(kAlice), 0u) << "the account is still known";
}

TEST_F(ModelEventsTest, MoveIntoAGroupOfTheSameAccount)
{
    MakeAlice();
    unsigned int g2 = m_model->CreateGroup(kAlice);
    EXPECT_EQ(Request(EVENT_ContactMove, c3, new CEventArg_Data<unsigned int>(g2)), 1);
    EXPECT_EQ(Request(EVENT_ContactMove, c1, new CEventArg_Data<unsigned int>(g2)), 1);
    auto seen = SeenEvents();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].name, L"Contact delete");
    EXPECT_FALSE(seen[0].hasArg2) << "it was in no group";
    EXPECT_EQ(seen[1].name, L"Contact added");
    EXPECT_EQ(seen[1].group, g2);
    EXPECT_EQ(seen[2].group, g) << "its old group";
    EXPECT_EQ(Items(kAlice), (Pairs{{g, 0}, {g, c2}, {g2, 0}, {g2, c1}, {g2, c3}}));
    EXPECT_EQ(m_model->GetContactGroup(c3), g2);

    // Into its own group: taken out and put back.
    Clear();
    EXPECT_EQ(Request(EVENT_ContactMove, c2, new CEventArg_Data<unsigned int>(g)), 1);
    EXPECT_EQ(SeenNames(), (Names{L"Contact delete", L"Contact added"}));
    EXPECT_EQ(m_model->GetContactGroup(c2), g);
}

TEST_F(ModelEventsTest, MoveNowhereLeavesTheContactAndSaysNothing)
{
    MakeAlice();
    m_model->CreateContact(kBob, 0);
    unsigned int bobGroup = m_model->CreateGroup(kBob);
    EXPECT_EQ(Request(EVENT_ContactMove, c1, new CEventArg_Data<unsigned int>(0)), 0);
    EXPECT_EQ(Request(EVENT_ContactMove, c1, new CEventArg_Data<unsigned int>(bobGroup)), 0);
    EXPECT_EQ(Request(EVENT_ContactMove, c1, new CEventArg_Data<unsigned int>(c3)), 0) << "a contact is no group";
    EXPECT_EQ(Request(EVENT_ContactMove, 0x80FFFFFF, new CEventArg_Data<unsigned int>(g)), 0);
    EXPECT_TRUE(SeenEvents().empty());
    EXPECT_EQ(m_model->GetContactGroup(c1), g);

    // The posted request answers true before it is carried out.
    EXPECT_TRUE(m_model->MoveContact(c1, 0));
}

TEST_F(ModelEventsTest, MessagesAreRelayedForKnownContactsOnly)
{
    MakeAlice();
    std::wstring text;
    SetHook([&](const Seen& seen, CEventArg* arg2) {
        if (seen.name == L"Message received")
            if (auto* data = dynamic_cast<CEventArg_Data<Protocols::MessageInfo>*>(arg2))
                text = Text(data->m_data.text);
    });
    Protocols::MessageInfo message;
    message.contactId = c3;
    message.text = CJOVString(L"hello");
    m_model->MessageReceived(c3, &message);
    m_model->DeleteContact(c1);
    m_model->MessageReceived(c1, &message);  // deleted before it is relayed
    m_model->MessageReceived(g, &message);
    Settle();
    auto seen = SeenEvents();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, L"Message received");
    EXPECT_EQ(seen[0].id, c3);
    EXPECT_EQ(seen[1].name, L"Contact delete");
    EXPECT_EQ(text, L"hello");
}

// Whatever waits for its subscribers, and a relayed message, comes after what
// an open transaction holds: the subscriber sees the model's order.
TEST_F(ModelEventsTest, InsideATransactionHeldNotificationsGoFirst)
{
    MakeAlice();
    Protocols::MessageInfo message;
    message.contactId = c1;
    message.text = CJOVString(L"hello");
    m_model->BeginTransaction();
    m_model->NotifyContactAdded(c3);
    Request(EVENT_ContactDelete, c2);
    m_model->NotifyContactChanged(c3);
    m_model->MessageReceived(c1, &message);
    Settle();
    m_model->NotifyContactChanged(c1);
    m_model->EndTransaction();
    Settle();
    auto seen = SeenEvents();
    EXPECT_EQ(SeenNames(), (Names{L"Transaction begin", L"Contact added", L"Contact delete", L"Contact changed",
                                  L"Message received", L"Contact changed", L"Transaction end"}));
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[2].id, c2);
    EXPECT_EQ(seen[4].id, c1);
    EXPECT_EQ(seen[5].id, c1);
}

// Each contact of a deleted group leaves the group before its record is
// freed: a subscriber that walks the list during the notifications sees the
// contacts not yet deleted and nothing else.
TEST_F(ModelEventsTest, GroupDeletionNeverShowsFreedContacts)
{
    MakeAlice();
    std::vector<Pairs> walks;
    SetHook([&](const Seen& seen, CEventArg*) {
        if (seen.name == L"Contact delete" || seen.name == L"Group delete")
            walks.push_back(Items(kAlice));
    });
    m_model->DeleteGroup(g);
    Settle();
    ASSERT_EQ(walks.size(), 3u);
    EXPECT_EQ(walks[0], (Pairs{{g, 0}, {g, c1}, {g, c2}, {0, c3}}));
    EXPECT_EQ(walks[1], (Pairs{{g, 0}, {g, c2}, {0, c3}}));
    EXPECT_EQ(walks[2], (Pairs{{g, 0}, {0, c3}}));
}

TEST_F(ModelEventsTest, GroupDeletionWhileOtherThreadsWalkAndAdd)
{
    MakeAlice();
    std::vector<unsigned int> groups;
    for (int i = 0; i < 20; ++i) {
        unsigned int group = m_model->CreateGroup(kAlice);
        groups.push_back(group);
        for (int k = 0; k < 10; ++k)
            SetAlias(m_model->CreateContact(kAlice, group), L"member");
    }
    std::atomic<bool> stop{false};
    std::atomic<int> walks{0};
    std::atomic<bool> adding{false};
    std::vector<unsigned int> added;
    std::thread walker([&] {
        while (!stop) {
            for (const auto& item : Items(kAlice))
                if (item.second)
                    Alias(item.second);
            ++walks;
        }
    });
    std::thread adder([&] {
        adding = true;
        for (int i = 0; i < 200 && !stop; ++i)
            added.push_back(m_model->CreateContact(kAlice, groups[static_cast<size_t>(i) % groups.size()]));
    });
    // Both threads at work before the deletions start, however busy the machine.
    for (int i = 0; i < 1000 && (walks == 0 || !adding); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(walks > 0 && adding) << "the threads did not start";
    for (unsigned int group : groups)
        m_model->DeleteGroup(group);
    Settle();
    adder.join();
    // Contacts added to a group after its deletion finished stay nowhere.
    for (unsigned int group : groups)
        m_model->DeleteGroup(group);
    Settle();
    stop = true;
    walker.join();
    EXPECT_EQ(Items(kAlice), (Pairs{{g, 0}, {g, c1}, {g, c2}, {0, c3}}));
    for (unsigned int contact : added)
        EXPECT_EQ(m_model->GetContactGroup(contact), 0u) << "contact " << contact << " outlived its group";
}

// A subscriber that adds a contact to the group it hears deleted gets none:
// the contact would outlive its group, in no list and never deleted.
TEST_F(ModelEventsTest, AGroupBeingDeletedTakesNoContact)
{
    MakeAlice();
    unsigned int late = 1;
    SetHook([&](const Seen& seen, CEventArg*) {
        if (seen.name == L"Group delete")
            late = m_model->CreateContact(kAlice, seen.id);
    });
    m_model->DeleteGroup(g);
    Settle();
    EXPECT_EQ(late, 0u);
    EXPECT_EQ(Items(kAlice), (Pairs{{0, c3}}));
}
