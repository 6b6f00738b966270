#include "IqCallbackTable.h"

#include <algorithm>

#include "IqSenders.h"

void IqCallbackTable::Add(int number, int key, IqCallback callback, uintptr_t word1, uintptr_t word2,
                          uintptr_t word3, const CJOVString& asked, bool callWhenExpired)
{
    DropExpired();
    IqCallbackEntry entry;
    entry.number = number;
    entry.key = key;
    entry.callback = callback;
    entry.words[0] = word1;
    entry.words[1] = word2;
    entry.words[2] = word3;
    entry.tick = m_timings.tick();
    entry.asked = asked;
    entry.callWhenExpired = callWhenExpired;
    if (key != 0) {
        for (IqCallbackEntry& existing : m_entries) {
            if (existing.key == key) {
                existing = entry;
                return;
            }
        }
    }
    m_entries.push_back(entry);
}

void IqCallbackTable::DropExpired()
{
    DWORD now = m_timings.tick();
    auto expired = std::stable_partition(m_entries.begin(), m_entries.end(), [&](const IqCallbackEntry& entry) {
        return !MoreThanElapsed(now, entry.tick, m_timings.oneShotExpiryMs);
    });
    std::vector<IqCallbackEntry> told;
    for (auto entry = expired; entry != m_entries.end(); ++entry) {
        if (entry->callWhenExpired && entry->callback)
            told.push_back(*entry);
    }
    m_entries.erase(expired, m_entries.end());
    // Off the table first: a callback may add entries.
    for (const IqCallbackEntry& entry : told)
        entry.callback(m_account, nullptr, entry);
}

bool IqCallbackTable::Take(int number, const CJOVString* from, CIqSenders& senders, IqCallbackEntry& out)
{
    DropExpired();
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->number == number && senders.IsAnswerFrom(entry->asked, from)) {
            out = *entry;
            m_entries.erase(entry);
            return true;
        }
    }
    return false;
}
