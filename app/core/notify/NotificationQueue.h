// The waiting notices, always in this order: warnings and the program's news
// (in arrival order), then status notices, then messages, then messages
// already shown once. Not locked: the notifications manager holds its lock
// around every call.
#pragma once

#include <list>
#include <memory>

#include "core/notify/NotificationItem.h"

class CNotificationQueue {
public:
    // Warnings and news go after the waiting warnings and news; status notices
    // after the status notices; messages after the messages; a shown message
    // at the very end.
    void Add(std::unique_ptr<NotificationItem> item);
    // A shown message giving way to a new notice: first among the shown messages.
    void PutBackFirstShown(std::unique_ptr<NotificationItem> item);
    // Null when empty.
    std::unique_ptr<NotificationItem> TakeHead();
    // Deletes every notice of the contact; answers how many.
    int RemoveContact(unsigned int contactId);
    bool IsEmpty() const { return m_items.empty(); }
    int GetCount() const { return static_cast<int>(m_items.size()); }
    const NotificationItem* GetAt(int index) const;

private:
    // Where an item of that rank goes: before the first item of a higher rank.
    static int Rank(const NotificationItem& item);
    void InsertBeforeRank(std::unique_ptr<NotificationItem> item, int rank);

    std::list<std::unique_ptr<NotificationItem>> m_items;
};
