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

typedef void (*IqCallback)(CJabberProtocol* account, XmlNode* iq, const IqCallbackEntry& entry);

struct IqCallbackEntry {
    int number = 0;
    int key = 0;  // 0: none
    IqCallback callback = nullptr;
    uintptr_t words[3] = {};
    DWORD tick = 0;
    CJOVString asked;  // the entity the request went to; empty: our server
};

class IqCallbackTable {
public:
    explicit IqCallbackTable(const JabberTimings& timings = JabberTimings()) : m_timings(timings) {}

    // With a key, an entry of the same key is replaced; else one is added.
    void Add(int number, int key, IqCallback callback, uintptr_t word1 = 0, uintptr_t word2 = 0,
             uintptr_t word3 = 0, const CJOVString& asked = CJOVString());
    // Drops the entries past their time, then takes the one of that number
    // when the answer's sender (null: none) is the entity asked.
    bool Take(int number, const CJOVString* from, CIqSenders& senders, IqCallbackEntry& out);
    void Clear() { m_entries.clear(); }
    // A new connection starts with no entry.
    void Reset() { m_entries.clear(); }
    int Count() const { return static_cast<int>(m_entries.size()); }

private:
    JabberTimings m_timings;
    std::vector<IqCallbackEntry> m_entries;
};
