// One-shot callbacks for the answers to the account's own requests, by stanza
// number. Used on the account's event thread only, so it has no lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "JOVString.h"
#include "JabberTimings.h"
#include "xml/XmlNode.h"

class CJabberProtocol;
class CIqSenders;
struct IqCallbackEntry;

// iq is null when the entry expired (only for entries that asked to be told).
typedef void (*IqCallback)(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry);

struct IqCallbackEntry {
    int number = 0;
    int key = 0;  // 0: none
    IqCallback callback = nullptr;
    uintptr_t words[3] = {};
    DWORD tick = 0;
    CJOVString asked;  // the entity the request went to; empty: our server
    bool callWhenExpired = false;
};

class IqCallbackTable {
public:
    // account: what the callbacks of expired entries get.
    explicit IqCallbackTable(const JabberTimings& timings = JabberTimings(), CJabberProtocol* account = nullptr)
        : m_timings(timings), m_account(account)
    {
    }

    // With a key, an entry of the same key is replaced; else one is added.
    // callWhenExpired: its callback also runs, with no iq, when the entry is
    // dropped for its age.
    void Add(int number, int key, IqCallback callback, uintptr_t word1 = 0, uintptr_t word2 = 0,
             uintptr_t word3 = 0, const CJOVString& asked = CJOVString(), bool callWhenExpired = false);
    // Drops the entries past their time, then takes the one of that number
    // when the answer's sender (null: none) is the entity asked.
    bool Take(int number, const CJOVString* from, CIqSenders& senders, IqCallbackEntry& out);
    void Clear() { m_entries.clear(); }
    // A new connection starts with no entry.
    void Reset() { m_entries.clear(); }
    int Count() const { return static_cast<int>(m_entries.size()); }

private:
    // Each Add and Take drops what is past its time.
    void DropExpired();

    JabberTimings m_timings;
    CJabberProtocol* m_account;
    std::vector<IqCallbackEntry> m_entries;
};
