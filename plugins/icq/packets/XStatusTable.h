// The 35 x-statuses of one account: each x-status capability with the title
// and description the user gave it. Owned by its account and changed only on
// the account's thread.
#pragma once

#include <vector>

#include "Capability.h"

class XStatusEntry : public CCapability {
public:
    XStatusEntry() {}
    explicit XStatusEntry(const CCapability& capability) : CCapability(capability) {}

    CJOVString title;
    CJOVString description;
};

// Index n - 1 holds x-status n; x-status 0 (none) has no entry.
typedef std::vector<XStatusEntry> XStatusTable;

const int kXStatusCount = 35;

// Empties the table and fills it from the module's capability registry.
void BuildXStatusTable(XStatusTable& table);
// The x-status number (1-35) of the first of count 16-byte GUIDs that some
// entry has, taking the lowest such entry; 0 when none matches.
int FindXStatusByCapability(const XStatusTable& table, const unsigned char* guids, int count);
// 1 with the entry's texts copied out, or 0 (outputs untouched) for an index
// outside the table.
int GetXStatusText(const XStatusTable& table, int index, CJOVString& title, CJOVString& description);
int SetXStatusText(XStatusTable& table, int index, const CJOVString& title, const CJOVString& description);
