// The account's list of JIDs: one item per bare JID whatever the case,
// resources kept by name, the resource a message goes to, and the indexes
// that must follow a resource that leaves.
#include <gtest/gtest.h>

#include "JabberList.h"

namespace {

CJOVString S(const wchar_t* text)
{
    return CJOVString(text);
}

} // namespace

TEST(JabberList, AJidIsOneItemWithoutResourceAndWithoutCase)
{
    CJabberList list;
    EXPECT_TRUE(list.ListAdd(kListRoster, S(L"Bob@Localhost/phone")));
    EXPECT_FALSE(list.ListAdd(kListRoster, S(L"bob@localhost")));
    EXPECT_FALSE(list.ListAdd(kListRoster, S(L"BOB@LOCALHOST/pc")));
    EXPECT_EQ(list.ListCount(), 1);
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"bob@localhost/other"), item));
    EXPECT_TRUE(item.jid == S(L"Bob@Localhost")) << "stored as first seen, without the resource";
    // Another kind is another item; a domain with a resource keeps it.
    EXPECT_TRUE(list.ListAdd(kListWithResource8, S(L"bob@localhost/phone")));
    EXPECT_EQ(list.ListFindIndex(kListWithResource8, S(L"bob@localhost/pc")), 0) << "kind 8 compares resources";
    EXPECT_EQ(list.ListFindIndex(kListWithResource8, S(L"bob@localhost/phone")), 2);
    list.ListRemove(kListRoster, S(L"BOB@localhost"));
    EXPECT_EQ(list.ListFindIndex(kListRoster, S(L"bob@localhost")), 0);
    EXPECT_EQ(list.ListFindIndex(kListWithResource8, S(L"bob@localhost/phone")), 1);
    list.ListClear();
    EXPECT_EQ(list.ListCount(), 0);
}

TEST(JabberList, AConferenceMakesItsParticipantsKeepTheirResource)
{
    CJabberList list;
    list.ListAdd(kListKeepsResource, S(L"room@conference.localhost/me"));
    JABBER_LIST_ITEM room;
    ASSERT_TRUE(list.ListGetItem(kListKeepsResource, S(L"room@conference.localhost"), room));
    EXPECT_TRUE(room.jid == S(L"room@conference.localhost"));
    list.ListAdd(kListRoster, S(L"room@conference.localhost/alice"));
    list.ListAdd(kListRoster, S(L"room@conference.localhost/bob"));
    EXPECT_EQ(list.ListCount(), 3);
    JABBER_LIST_ITEM alice;
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"ROOM@conference.localhost/alice"), alice));
    EXPECT_TRUE(alice.keptResource);
    JABBER_LIST_ITEM bob;
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"room@conference.localhost/bob"), bob));
    EXPECT_NE(CJabberList::CompareListItems(alice, bob), 0);
    JABBER_LIST_ITEM plain;
    plain.jid = S(L"BOB@localhost/x");
    JABBER_LIST_ITEM other;
    other.jid = S(L"bob@LOCALHOST/y");
    EXPECT_EQ(CJabberList::CompareListItems(plain, other), 0);
    other.kind = kListKeepsResource;
    EXPECT_LT(CJabberList::CompareListItems(plain, other), 0);
}

TEST(JabberList, ResourcesAreKeptByNameAndABareJidHasItsOwnStatus)
{
    CJabberList list;
    EXPECT_FALSE(list.ListSetResource(kListRoster, S(L"bob@localhost/phone"), Protocols::StatusAway, S(L"x"), 1))
        << "nothing for a JID not listed";
    list.ListAdd(kListRoster, S(L"bob@localhost"));
    EXPECT_TRUE(list.ListSetResource(kListRoster, S(L"bob@localhost/phone"), Protocols::StatusAway, S(L"out"), 1));
    EXPECT_FALSE(list.ListSetResource(kListRoster, S(L"bob@localhost/phone"), Protocols::StatusOnline, S(L""), 2));
    EXPECT_TRUE(list.ListSetResource(kListRoster, S(L"bob@localhost/Phone"), Protocols::StatusOnline, S(L""), 0))
        << "resources compare with their case";
    EXPECT_FALSE(list.ListSetResource(kListRoster, S(L"bob@localhost"), Protocols::StatusNotAvailable, S(L"bare"), 0));
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"bob@localhost"), item));
    ASSERT_EQ(item.resources.size(), 2u);
    EXPECT_EQ(item.resources[0].status, Protocols::StatusOnline);
    EXPECT_EQ(item.resources[0].priority, 2);
    EXPECT_EQ(item.inlineStatus, Protocols::StatusNotAvailable);
    EXPECT_TRUE(item.inlineStatusText == S(L"bare"));
}

TEST(JabberList, AMessageGoesToTheLastTheChosenOrTheFirstOfTheHighestPriority)
{
    CJabberList list;
    EXPECT_EQ(list.ListGetBestResource(S(L"bob@localhost")).GetLength(), 0);
    list.ListAdd(kListRoster, S(L"bob@localhost"));
    EXPECT_EQ(list.ListGetBestResource(S(L"bob@localhost")).GetLength(), 0) << "no resource: the bare JID";
    list.ListSetResource(kListRoster, S(L"bob@localhost/a"), Protocols::StatusOnline, S(L""), -3);
    EXPECT_TRUE(list.ListGetBestResource(S(L"bob@localhost")) == S(L"a")) << "the only one, whatever its priority";
    list.ListSetResource(kListRoster, S(L"bob@localhost/b"), Protocols::StatusOnline, S(L""), 5);
    list.ListSetResource(kListRoster, S(L"bob@localhost/c"), Protocols::StatusOnline, S(L""), 5);
    list.ListSetResource(kListRoster, S(L"bob@localhost/d"), Protocols::StatusOnline, S(L""), 1);
    EXPECT_TRUE(list.ListGetBestResource(S(L"bob@localhost")) == S(L"b"));
    list.ListEdit(kListRoster, S(L"bob@localhost"), [](JABBER_LIST_ITEM& item) { item.lastResource = 3; });
    EXPECT_TRUE(list.ListGetBestResource(S(L"bob@localhost")) == S(L"d"));
    list.ListEdit(kListRoster, S(L"bob@localhost"), [](JABBER_LIST_ITEM& item) {
        item.resourceMode = 2;
        item.manualResource = 2;
    });
    EXPECT_TRUE(list.ListGetBestResource(S(L"bob@localhost")) == S(L"c"));

    // A resource that leaves takes its index with it; later ones move up.
    list.ListRemoveResource(kListRoster, S(L"bob@localhost/b"));
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"bob@localhost"), item));
    EXPECT_EQ(item.lastResource, 2);
    EXPECT_EQ(item.manualResource, 1);
    EXPECT_EQ(item.resourceMode, 2);
    EXPECT_TRUE(list.ListGetBestResource(S(L"bob@localhost")) == S(L"c"));
    list.ListRemoveResource(kListRoster, S(L"bob@localhost/c"));
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"bob@localhost"), item));
    EXPECT_EQ(item.manualResource, -1);
    EXPECT_EQ(item.resourceMode, 1) << "the chosen one gone: back to the last";
    EXPECT_EQ(item.lastResource, 1);
    EXPECT_TRUE(list.ListGetBestResource(S(L"bob@localhost")) == S(L"d"));
    list.ListRemoveResource(kListRoster, S(L"bob@localhost/d"));
    list.ListRemoveResource(kListRoster, S(L"bob@localhost/nobody"));
    ASSERT_TRUE(list.ListGetItem(kListRoster, S(L"bob@localhost"), item));
    EXPECT_EQ(item.lastResource, -1);
    EXPECT_EQ(item.resources.size(), 1u);
}
