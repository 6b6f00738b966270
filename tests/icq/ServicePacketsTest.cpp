// Bringing a BOS connection into service: families, versions, rates, ready,
// own online information, status and capabilities.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/CLI_FAMILIES_VERSIONS.h"
#include "packets/CLI_RATES_ACK.h"
#include "packets/CLI_RATES_REQUEST.h"
#include "packets/CLI_READY.h"
#include "packets/CLI_SETUSERINFO.h"
#include "packets/CLI_SETxSTATUS.h"
#include "packets/CapabilityRegistry.h"
#include "packets/SRV_FAMILIES.h"
#include "packets/SRV_FAMILIES_VERSIONS.h"
#include "packets/SRV_ONLINExINFO.h"
#include "packets/SRV_RATE_LIMIT_INFO.h"

using OscarWire::Builder;

namespace {

int DataLength(const Bytes& frame)
{
    return frame.size() < 6 ? -1 : (frame[4] << 8) | frame[5];
}

Bytes CapabilityGuids(std::initializer_list<const wchar_t*> names)
{
    Bytes guids;
    for (const wchar_t* name : names) {
        const CCapability* row = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(name));
        EXPECT_NE(nullptr, row) << "no registry row " << name;
        if (row)
            guids.insert(guids.end(), row->GetGuid(), row->GetGuid() + 16);
    }
    return guids;
}

} // namespace

TEST(Families, ServerListAndClientVersions)
{
    CSRV_FAMILIES families;
    Bytes offer = ServerFrame(OscarWire::Families({0x01, 0x13, 0x02}));
    offer.push_back(0x04);  // an odd byte outside the stated frame is not read
    ASSERT_GT(families.Unpack(offer.data(), static_cast<int>(offer.size())), 0);
    EXPECT_EQ((std::vector<unsigned short>{0x01, 0x13, 0x02}), families.GetFamilies());
    Bytes wrong = ServerSnac(0x01, 0x18, B({0, 1}));
    EXPECT_EQ(0, families.Unpack(wrong.data(), static_cast<int>(wrong.size())));

    CCLI_FAMILIES_VERSIONS versions(1, 2);
    versions.AddFamily(0x0001, 4);
    versions.AddFamily(0x0013, 4);
    Bytes frame = Packed(versions);
    EXPECT_EQ(18, DataLength(frame));
    EXPECT_EQ(B({0, 1, 0, 4, 0, 0x13, 0, 4}), SnacBody(frame));

    CSRV_FAMILIES_VERSIONS agreed;
    // Three stray bytes short of a pair are ignored.
    CGuardedBytes guarded(ServerSnac(0x01, 0x18, B({0, 1, 0, 4, 0, 0x13, 0, 4, 0x77, 0x77, 0x77})));
    ASSERT_GT(agreed.Unpack(guarded.Data(), guarded.Size()), 0);
    ASSERT_EQ(2u, agreed.GetPairs().size());
    EXPECT_EQ(0x13, agreed.GetPairs()[1].family);
}

TEST(Rates, TheAcknowledgementNamesEveryGroupUnderTheRepliesRequestId)
{
    CCLI_RATES_REQUEST request(1, 2);
    EXPECT_EQ(10, DataLength(Packed(request)));

    CSRV_RATE_LIMIT_INFO rates;
    Bytes reply = ServerFrame(OscarWire::RateInfo(5, 0xABCD));
    ASSERT_GT(rates.Unpack(reply.data(), static_cast<int>(reply.size())), 0);
    ASSERT_EQ(5u, rates.GetClasses().size());
    EXPECT_EQ(300u, rates.GetClasses()[2].windowSize);
    EXPECT_EQ(307u, rates.GetClasses()[2].lastTime);
    EXPECT_EQ((std::vector<unsigned int>{0x00040006}), rates.GetClasses()[4].pairs);

    CCLI_RATES_ACK ack(rates, 9);
    Bytes frame = Packed(ack);
    EXPECT_EQ(0xABCDu, ack.GetRequestId());
    EXPECT_EQ(B({0, 1, 0, 2, 0, 3, 0, 4, 0, 5}), SnacBody(frame));
    EXPECT_EQ(20, DataLength(frame));
}

TEST(Rates, ACutClassOrGroupSectionFailsAsAWhole)
{
    Bytes reply = ServerFrame(OscarWire::RateInfo(2, 1));
    // The last group claims three pairs where the frame holds one.
    Bytes claim = reply;
    claim[claim.size() - 5] = 3;
    CSRV_RATE_LIMIT_INFO rates;
    CGuardedBytes guarded(claim);
    EXPECT_EQ(0, rates.Unpack(guarded.Data(), guarded.Size()));
    EXPECT_TRUE(rates.GetClasses().empty());

    // More classes stated than the frame holds.
    Bytes classes = ServerSnac(0x01, 0x07, Builder().U16(0x0400).U16(1));
    CGuardedBytes guardedClasses(classes);
    EXPECT_EQ(0, rates.Unpack(guardedClasses.Data(), guardedClasses.Size()));

    Bytes none = ServerSnac(0x01, 0x07, Builder().U16(0));
    EXPECT_GT(rates.Unpack(none.data(), static_cast<int>(none.size())), 0);
    EXPECT_TRUE(rates.GetClasses().empty());
}

TEST(Ready, ListsTenFamiliesWithTheirTool)
{
    CCLI_READY ready(1, 2);
    Bytes frame = Packed(ready);
    EXPECT_EQ(90, DataLength(frame));
    Bytes body = SnacBody(frame);
    EXPECT_EQ(B({0x00, 0x01, 0x00, 0x04, 0x01, 0x10, 0x08, 0xE4}), Bytes(body.begin(), body.begin() + 8));
    EXPECT_EQ(B({0x00, 0x0B, 0x00, 0x01, 0x01, 0x10, 0x08, 0xE4}), Bytes(body.end() - 8, body.end()));
}

TEST(OwnOnlineInfo, KeepsUinAndTlvs)
{
    Bytes body = Builder().U8(3).Text("123").U16(0).U16(1).Tlv16(0x0006, 0x0001).Get();
    CSRV_ONLINExINFO info;
    Bytes frame = ServerSnac(0x01, 0x0F, body);
    ASSERT_GT(info.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_EQ(L"123", W(info.GetUIN()));
    ASSERT_NE(nullptr, info.GetTLVs().GetTLV(0x0006));

    CGuardedBytes cut(ServerSnac(0x01, 0x0F, B({40, '1', '2'})));
    EXPECT_EQ(0, info.Unpack(cut.Data(), cut.Size()));
}

TEST(SetStatus, WritesTheHeldWordBackInWireOrder)
{
    CCLI_SETxSTATUS away(1, 2, 0x1000, 0x0100, true);
    Bytes frame = Packed(away);
    EXPECT_EQ(71, DataLength(frame));
    Bytes body = SnacBody(frame);
    EXPECT_EQ(B({0x00, 0x06, 0x00, 0x04, 0x10, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x02, 0x00, 0x00,
                 0x00, 0x0C, 0x00, 0x25}),
              Bytes(body.begin(), body.begin() + 18));
    EXPECT_EQ(B({0x00, 0x00, 0x33, 0x8B}), Bytes(body.begin() + 18 + 15, body.begin() + 18 + 19));
    EXPECT_EQ(B({0x00, 0x1F, 0x00, 0x02, 0x00, 0x00}), Bytes(body.end() - 6, body.end()));

    CCLI_SETxSTATUS plain(1, 2, 0, 0x2000, false);
    Bytes short_ = Packed(plain);
    EXPECT_EQ(59, DataLength(short_));
    EXPECT_EQ(0x20, short_[16 + 7]);
}

TEST(SetUserInfo, AnnouncesTheCapabilitiesOfTheRegistry)
{
    CCLI_SETUSERINFO basic(1, 2, false);
    Bytes body = SnacBody(Packed(basic));
    ASSERT_EQ(100u, body.size());
    EXPECT_EQ(B({0x00, 0x05, 0x00, 0x60}), Bytes(body.begin(), body.begin() + 4));
    EXPECT_EQ(CapabilityGuids({L"caShortSupport", L"caRouteFinder", L"caICQRelay", L"caUTF8support", L"caXtraz",
                               L"caJOVPDA"}),
              Bytes(body.begin() + 4, body.end()));

    CCLI_SETUSERINFO full(1, 2, true);
    Bytes fullFrame = Packed(full);
    EXPECT_EQ(206, DataLength(fullFrame));
    EXPECT_EQ(CapabilityGuids({L"caTyping", L"caICQRelay", L"caICQBI", L"caUnification", L"caUTF8support",
                               L"caRTFsupport", L"caShortSupport", L"capXSStatuses", L"caFTSend", L"caRouteFinder",
                               L"caICQVoiceChat", L"caXtraz"}),
              Bytes(fullFrame.begin() + 20, fullFrame.end()));

    const CCapability* beer = FindCapabilityByName(GetCapabilityRegistry(), CJOVString(L"capXS5pic"));
    ASSERT_NE(nullptr, beer);
    CCLI_SETUSERINFO withXStatus(1, 2, *beer);
    Bytes xFrame = Packed(withXStatus);
    EXPECT_EQ(126, DataLength(xFrame));
    EXPECT_EQ(Bytes(beer->GetGuid(), beer->GetGuid() + 16), Bytes(xFrame.end() - 16, xFrame.end()));
}
