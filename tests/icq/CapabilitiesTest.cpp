// The capability registry, the x-status table and client identification.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/CapabilityRegistry.h"
#include "packets/ClientIdentification.h"
#include "packets/XStatusTable.h"

namespace {

const CapabilityRegistry& Registry()
{
    return GetCapabilityRegistry();
}

Bytes Guid(const wchar_t* name)
{
    const CCapability* row = FindCapabilityByName(Registry(), CJOVString(name));
    EXPECT_NE(nullptr, row) << "no registry row " << name;
    return row ? Bytes(row->GetGuid(), row->GetGuid() + 16) : Bytes(16, 0);
}

std::vector<CCapability> Announced(std::initializer_list<Bytes> guids)
{
    std::vector<CCapability> list;
    for (const Bytes& guid : guids)
        list.push_back(CCapability(guid.data(), CJOVString(), CJOVString()));
    return list;
}

CTLVCol OnlineInfo(const Bytes& full, const Bytes& brief = Bytes())
{
    CTLVCol tlvs;
    if (!full.empty())
        tlvs.push_back(CTLV(0x000D, static_cast<unsigned short>(full.size()), full.data()));
    if (!brief.empty())
        tlvs.push_back(CTLV(0x0019, static_cast<unsigned short>(brief.size()), brief.data()));
    return tlvs;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

TEST(CapabilityRegistry, HoldsEveryRowOnceAndFindsByGuidAndName)
{
    EXPECT_EQ(103u, Registry().size());
    const Bytes relay = B({0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1, 0x82, 0x22, 0x44, 0x45, 0x53, 0x54, 0, 0});
    const CCapability* found = FindCapabilityByGuid(Registry(), relay.data());
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(L"caICQRelay", W(found->GetShortName()));
    EXPECT_EQ(L"ICQ ServerRelay", W(found->GetDescription()));

    EXPECT_EQ(nullptr, FindCapabilityByName(Registry(), CJOVString(L"caNoSuchThing")));
    EXPECT_EQ(nullptr, FindCapabilityByName(Registry(), CJOVString(L"caicqrelay")));  // names are exact
    Bytes unknown = relay;
    unknown[15] = 1;
    EXPECT_EQ(nullptr, FindCapabilityByGuid(Registry(), unknown.data()));

    // Rows that differ only in a byte order within a field stay apart.
    EXPECT_NE(Guid(L"caGames"), Guid(L"caGames2"));
    EXPECT_EQ(L"", W(FindCapabilityByName(Registry(), CJOVString(L"caRQ"))->GetDescription()));
}

TEST(CapabilityRegistry, PrefixMatchingFindsAFamilyOfClients)
{
    std::vector<CCapability> pocket = Announced({Guid(L"caUTF8support"), Guid(L"caJOVPDA")});
    EXPECT_EQ(1, HasCapability(Registry(), pocket, CJOVString(L"caJOV"), 10));
    EXPECT_EQ(0, HasCapability(Registry(), pocket, CJOVString(L"caJOV"), 16));
    EXPECT_EQ(1, HasCapability(Registry(), pocket, CJOVString(L"caJOVPDA"), 16));
    EXPECT_EQ(1, HasCapability(Registry(), Announced({Guid(L"caJOVMobile")}), CJOVString(L"caJOV"), 10));
    EXPECT_EQ(0, HasCapability(Registry(), pocket, CJOVString(L"caNoSuchThing"), 0));
    EXPECT_EQ(0, HasCapability(Registry(), std::vector<CCapability>(), CJOVString(L"caJOV"), 10));
}

TEST(XStatusTable, PairsEachXStatusWithItsPicture)
{
    XStatusTable table;
    BuildXStatusTable(table);
    ASSERT_EQ(35u, table.size());
    EXPECT_EQ(L"capXS1pic", W(table[0].GetShortName()));
    EXPECT_EQ(L"XStatus(RuJournal)", W(table[34].GetDescription()));

    Bytes guids = Join({Guid(L"capXtZers"), Guid(L"capXS3pic"), Guid(L"capXS1pic")});
    EXPECT_EQ(3, FindXStatusByCapability(table, guids.data(), 3));
    Bytes none = Join({Guid(L"caICQRelay"), Guid(L"capXSStatuses")});
    EXPECT_EQ(0, FindXStatusByCapability(table, none.data(), 2));
    EXPECT_EQ(0, FindXStatusByCapability(table, nullptr, 0));
}

TEST(XStatusTable, TextsByIndex)
{
    XStatusTable table;
    BuildXStatusTable(table);
    EXPECT_EQ(1, SetXStatusText(table, 34, CJOVString(L"Diary"), CJOVString(L"writing")));
    CJOVString title(L"keep");
    CJOVString description(L"keep");
    EXPECT_EQ(0, GetXStatusText(table, 35, title, description));
    EXPECT_EQ(0, GetXStatusText(table, -1, title, description));
    EXPECT_EQ(0, SetXStatusText(table, -1, title, description));
    EXPECT_EQ(L"keep", W(title));
    EXPECT_EQ(1, GetXStatusText(table, 34, title, description));
    EXPECT_EQ(L"Diary", W(title));
    EXPECT_EQ(L"writing", W(description));
}

TEST(ClientIdentification, ListsFullThenShortCapabilities)
{
    Bytes unknown(16, 0xEE);
    // Two whole GUIDs and 8 bytes that make no third; one short capability.
    CTLVCol info = OnlineInfo(Join({Guid(L"caXtraz"), unknown, Bytes(8, 1)}), B({0x13, 0x4E}));
    std::vector<CCapability> list;
    list.push_back(CCapability());  // what the list held before stays
    GetContactCapabilities(info, list);
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ(L"caXtraz", W(list[1].GetShortName()));
    EXPECT_EQ(L"", W(list[2].GetShortName()));
    EXPECT_EQ(unknown, Bytes(list[2].GetGuid(), list[2].GetGuid() + 16));
    EXPECT_EQ(L"caUTF8support", W(list[3].GetShortName()));

    std::vector<CCapability> none;
    GetContactCapabilities(OnlineInfo(Bytes(15, 1)), none);
    EXPECT_TRUE(none.empty());
}

TEST(ClientIdentification, TellsTheProductsOwnClients)
{
    Bytes desktop = Guid(L"caJOV");
    std::fill(desktop.begin() + 10, desktop.end(), 0x37);  // a version suffix
    EXPECT_EQ(kClientJOV, DetectClientKind(OnlineInfo(desktop)));
    // The pocket-device and mobile GUIDs begin with the desktop prefix: the
    // full rows must win over it.
    EXPECT_EQ(kClientJOVPDA, DetectClientKind(OnlineInfo(Guid(L"caJOVPDA"))));
    EXPECT_EQ(kClientJOVMobile, DetectClientKind(OnlineInfo(Guid(L"caJOVMobile"))));
    EXPECT_EQ(kClientJOVPDA, DetectClientKind(OnlineInfo(Join({desktop, Guid(L"caJOVPDA")}))));
    EXPECT_EQ(kClientJOVPDASymbian, DetectClientKind(OnlineInfo(Guid(L"caJOVPDASymbian"))));
    EXPECT_EQ(kClientJOVTarsel, DetectClientKind(OnlineInfo(Guid(L"caJOVTarsel"))));
    EXPECT_EQ(kClientOther, DetectClientKind(OnlineInfo(Guid(L"caICQRelay"), B({0x13, 0x49}))));
    EXPECT_EQ(kClientOther, DetectClientKind(CTLVCol()));
}
