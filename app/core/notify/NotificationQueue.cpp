#include "core/notify/NotificationQueue.h"

int CNotificationQueue::Rank(const NotificationItem& item)
{
    if (item.news)
        return kNoticeWarning;
    return item.kind;
}

void CNotificationQueue::InsertBeforeRank(std::unique_ptr<NotificationItem> item, int rank)
{
    auto at = m_items.begin();
    while (at != m_items.end() && Rank(**at) < rank)
        ++at;
    m_items.insert(at, std::move(item));
}

void CNotificationQueue::Add(std::unique_ptr<NotificationItem> item)
{
    if (!item)
        return;
    int rank = Rank(*item);
    InsertBeforeRank(std::move(item), rank + 1);
}

void CNotificationQueue::PutBackFirstShown(std::unique_ptr<NotificationItem> item)
{
    if (item)
        InsertBeforeRank(std::move(item), kNoticeMessageShown);
}

std::unique_ptr<NotificationItem> CNotificationQueue::TakeHead()
{
    if (m_items.empty())
        return nullptr;
    std::unique_ptr<NotificationItem> head = std::move(m_items.front());
    m_items.pop_front();
    return head;
}

int CNotificationQueue::RemoveContact(unsigned int contactId)
{
    int removed = 0;
    for (auto it = m_items.begin(); it != m_items.end();) {
        if ((*it)->contactId == contactId) {
            it = m_items.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

const NotificationItem* CNotificationQueue::GetAt(int index) const
{
    if (index < 0)
        return nullptr;
    for (const auto& item : m_items) {
        if (index-- == 0)
            return item.get();
    }
    return nullptr;
}
