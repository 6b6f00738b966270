#include "ClientIdentification.h"

#include <cstring>

#include "CapabilityRegistry.h"

namespace {

void AppendCapability(const unsigned char guid[16], std::vector<CCapability>& list)
{
    const CCapability* known = FindCapabilityByGuid(GetCapabilityRegistry(), guid);
    list.push_back(known ? *known : CCapability(guid, CJOVString(), CJOVString()));
}

struct KindRow {
    unsigned char kind;
    const wchar_t* shortName;
    int bytes;
};

// The full rows come first: the pocket-device and mobile GUIDs share the
// desktop client's first 10 bytes, so the desktop prefix would hide them.
const KindRow kKindRows[] = {
    {kClientJOVPDA, L"caJOVPDA", 16},
    {kClientJOVPDASymbian, L"caJOVPDASymbian", 16},
    {kClientJOVMobile, L"caJOVMobile", 16},
    {kClientJOVTarsel, L"caJOVTarsel", 16},
    {kClientJOV, L"caJOV", 10},
};

} // namespace

void GetContactCapabilities(const CTLVCol& onlineInfo, std::vector<CCapability>& list)
{
    const CTLV* full = onlineInfo.GetTLV(0x000D);
    if (full && full->GetData()) {
        for (int i = 0; i + 16 <= full->GetDataLength(); i += 16)
            AppendCapability(full->GetData() + i, list);
    }
    const CTLV* brief = onlineInfo.GetTLV(0x0019);
    if (brief && brief->GetData()) {
        unsigned char guid[16] = {0x09, 0x46, 0x00, 0x00, 0x4C, 0x7F, 0x11, 0xD1,
                                  0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
        for (int i = 0; i + 2 <= brief->GetDataLength(); i += 2) {
            guid[2] = brief->GetData()[i];
            guid[3] = brief->GetData()[i + 1];
            AppendCapability(guid, list);
        }
    }
}

unsigned char DetectClientKind(const CTLVCol& onlineInfo)
{
    std::vector<CCapability> list;
    GetContactCapabilities(onlineInfo, list);
    for (const KindRow& row : kKindRows) {
        if (HasCapability(GetCapabilityRegistry(), list, CJOVString(row.shortName), row.bytes))
            return row.kind;
    }
    return kClientOther;
}
