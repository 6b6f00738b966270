#include "XStatusTable.h"

#include <cwchar>

#include "CapabilityRegistry.h"

void BuildXStatusTable(XStatusTable& table)
{
    table.clear();
    const CapabilityRegistry& registry = GetCapabilityRegistry();
    for (int n = 1; n <= kXStatusCount; ++n) {
        wchar_t name[32];
        std::swprintf(name, sizeof(name) / sizeof(name[0]), L"capXS%dpic", n);
        const CCapability* row = FindCapabilityByName(registry, CJOVString(name));
        table.push_back(row ? XStatusEntry(*row) : XStatusEntry());
    }
}

int FindXStatusByCapability(const XStatusTable& table, const unsigned char* guids, int count)
{
    if (!guids)
        return 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char* guid = guids + 16 * i;
        for (size_t index = 0; index < table.size(); ++index) {
            if (table[index].HasGuidPrefix(guid, 16))
                return static_cast<int>(index) + 1;
        }
    }
    return 0;
}

int GetXStatusText(const XStatusTable& table, int index, CJOVString& title, CJOVString& description)
{
    if (index < 0 || index >= static_cast<int>(table.size()))
        return 0;
    title = table[index].title;
    description = table[index].description;
    return 1;
}

int SetXStatusText(XStatusTable& table, int index, const CJOVString& title, const CJOVString& description)
{
    if (index < 0 || index >= static_cast<int>(table.size()))
        return 0;
    table[index].title = title;
    table[index].description = description;
    return 1;
}
