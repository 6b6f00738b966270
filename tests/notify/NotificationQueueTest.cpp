// The order of the waiting notices for any mix of kinds, warnings and news
// among them.
#include <gtest/gtest.h>

#include "core/notify/NotificationQueue.h"
#include "notify/NotifyFixture.h"

namespace {

std::unique_ptr<NotificationItem> Item(int kind, const wchar_t* title, unsigned int contact = 0, bool news = false)
{
    auto item = std::make_unique<NotificationItem>();
    item->kind = kind;
    item->title = CJOVString(title);
    item->contactId = contact;
    item->news = news;
    return item;
}

std::wstring Order(const CNotificationQueue& queue)
{
    std::wstring order;
    for (int i = 0; i < queue.GetCount(); ++i)
        order += (i ? L" " : L"") + Str(queue.GetAt(i)->title);
    return order;
}

} // namespace

TEST(NotificationQueue, KindsKeepTheirPlacesWhateverTheArrivalOrder)
{
    CNotificationQueue queue;
    queue.Add(Item(kNoticeMessage, L"m1"));
    queue.Add(Item(kNoticeMessageShown, L"t1"));
    queue.Add(Item(kNoticeStatus, L"s1"));
    queue.Add(Item(kNoticeWarning, L"w1"));
    queue.Add(Item(kNoticeMessage, L"m2"));
    queue.Add(Item(kNoticeStatus, L"n1", 0, true));
    queue.Add(Item(kNoticeStatus, L"s2"));
    queue.Add(Item(kNoticeWarning, L"w2"));
    queue.Add(Item(kNoticeMessageShown, L"t2"));
    EXPECT_EQ(Order(queue), L"w1 n1 w2 s1 s2 m1 m2 t1 t2");
}

TEST(NotificationQueue, TakingTheNewsLeavesTheStatusNoticesInPlace)
{
    CNotificationQueue queue;
    queue.Add(Item(kNoticeStatus, L"s1"));
    queue.Add(Item(kNoticeStatus, L"s2"));
    queue.Add(Item(kNoticeMessage, L"m1"));
    queue.Add(Item(kNoticeStatus, L"news", 0, true));
    EXPECT_EQ(Str(queue.TakeHead()->title), L"news");
    queue.Add(Item(kNoticeStatus, L"s3"));
    queue.Add(Item(kNoticeWarning, L"w"));
    queue.Add(Item(kNoticeStatus, L"news2", 0, true));
    EXPECT_EQ(Order(queue), L"w news2 s1 s2 s3 m1");
    EXPECT_EQ(Str(queue.TakeHead()->title), L"w");
    EXPECT_EQ(Str(queue.TakeHead()->title), L"news2");
    EXPECT_EQ(Str(queue.TakeHead()->title), L"s1");
    queue.Add(Item(kNoticeStatus, L"s4"));
    EXPECT_EQ(Order(queue), L"s2 s3 s4 m1");
}

TEST(NotificationQueue, AShownMessageGivesWayToTheFrontOfTheShownOnes)
{
    CNotificationQueue queue;
    queue.Add(Item(kNoticeMessageShown, L"t1"));
    queue.Add(Item(kNoticeMessage, L"m1"));
    queue.PutBackFirstShown(Item(kNoticeMessageShown, L"t0"));
    EXPECT_EQ(Order(queue), L"m1 t0 t1");
    queue.Add(Item(kNoticeMessageShown, L"t2"));
    EXPECT_EQ(Order(queue), L"m1 t0 t1 t2") << "timed out: at the very end";
}

TEST(NotificationQueue, RemovingAContactDropsItsNoticesOfEveryKind)
{
    CNotificationQueue queue;
    queue.Add(Item(kNoticeWarning, L"w"));
    queue.Add(Item(kNoticeStatus, L"a-on", 7));
    queue.Add(Item(kNoticeMessage, L"a-msg", 7));
    queue.Add(Item(kNoticeMessage, L"b-msg", 8));
    queue.Add(Item(kNoticeMessageShown, L"a-old", 7));
    EXPECT_EQ(queue.RemoveContact(7), 3);
    EXPECT_EQ(Order(queue), L"w b-msg");
    EXPECT_EQ(queue.RemoveContact(7), 0);
    queue.Add(Item(kNoticeStatus, L"b-on", 8));
    EXPECT_EQ(Order(queue), L"w b-on b-msg");
    while (queue.TakeHead())
        ;
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.TakeHead(), nullptr);
}
