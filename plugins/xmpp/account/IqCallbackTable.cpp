#include "IqCallbackTable.h"

#include <algorithm>

#include "IqSenders.h"

void IqCallbackTable::Add(int number, int key, IqCallback callback, uintptr_t word1, uintptr_t word2,
                          uintptr_t word3, const CJOVString& asked)
{
    IqCallbackEntry entry;
    entry.number = number;
    entry.key = key;
    entry.callback = callback;
    entry.words[0] = word1;
    entry.words[1] = word2;
    entry.words[2] = word3;
    entry.tick = m_timings.tick();
    entry.asked = asked;
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

bool IqCallbackTable::Take(int number, const CJOVString* from, CIqSenders& senders, IqCallbackEntry& out)
{
    DWORD now = m_timings.tick();
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const IqCallbackEntry& entry) {
                                       return MoreThanElapsed(now, entry.tick, m_timings.oneShotExpiryMs);
                                   }),
                    m_entries.end());
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->number == number && senders.IsAnswerFrom(entry->asked, from)) {
            out = *entry;
            m_entries.erase(entry);
            return true;
        }
    }
    return false;
}
