// The server-stored contact list: the list itself, its cached copy, changes
// and authorization.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/CLI_SSI_AUTHxREPLY.h"
#include "packets/CLI_SSI_SEND_AUTHxREQUEST.h"
#include "packets/CLI_SSIxITEM.h"
#include "packets/SRV_SSI_AUTHxREPLY.h"
#include "packets/SRV_SSI_AUTHxREQUEST.h"
#include "packets/SRV_SSIxMODxACK.h"
#include "packets/SRV_SSIxREPLY.h"

using OscarWire::Builder;

namespace {

int DataLength(const Bytes& frame)
{
    return (frame[4] << 8) | frame[5];
}

const std::vector<OscarWire::SsiItem> kList = {
    {"Friends", 0x0001, 0x0000, 0x0001, Builder().Tlv(0x00C8, B({0x12, 0x34}))},
    {"123456789", 0x0001, 0x0BCD, 0x0000, Builder().Tlv(0x0131, std::string("Ann")).Tlv(0x0066, Bytes())},
};

} // namespace

TEST(SSIList, ReadsItemsAndTheLastChangeTime)
{
    CSRV_SSIxREPLY reply;
    Bytes frame = ServerFrame(OscarWire::SsiReply(kList, 0x5A5A5A5A));
    ASSERT_GT(reply.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    ASSERT_EQ(2u, reply.GetItems().size());
    const SSIItem& contact = reply.GetItems()[1];
    EXPECT_EQ(L"123456789", W(contact.name));
    EXPECT_EQ(0x0BCD, contact.itemId);
    ASSERT_EQ(2u, contact.tlvs.size());
    EXPECT_EQ(0x0066, contact.tlvs[1].GetType());
    EXPECT_EQ(0x5A5A5A5Au, reply.GetLastChangeTime());
}

TEST(SSIList, APartWithMoreToComeHasNoTime)
{
    CSRV_SSIxREPLY reply;
    Bytes frame = ServerFrame(OscarWire::SsiReply(kList, 0, true));
    ASSERT_GT(reply.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_EQ(2u, reply.GetItems().size());
    EXPECT_EQ(0u, reply.GetLastChangeTime());

    CSRV_SSIxREPLY empty;
    Bytes none = ServerFrame(OscarWire::SsiReply({}, 0x01020304));
    EXPECT_EQ(16 + 7, empty.Unpack(none.data(), static_cast<int>(none.size())));
    EXPECT_EQ(0x01020304u, empty.GetLastChangeTime());
}

TEST(SSIList, TheCachedBodyParsesAgainAndACutOneKeepsNothing)
{
    Bytes frame = ServerFrame(OscarWire::SsiReply(kList, 77));
    Bytes body(frame.begin() + 16, frame.end());
    CSRV_SSIxREPLY cache;
    EXPECT_EQ(static_cast<int>(body.size()), cache.UnpackItems(body.data(), static_cast<int>(body.size())));
    EXPECT_EQ(2u, cache.GetItems().size());

    // Every cut of the stored bytes, including inside names and TLV runs, is refused whole.
    for (size_t n = 0; n < body.size(); ++n) {
        CSRV_SSIxREPLY cut;
        CGuardedBytes guarded(Bytes(body.begin(), body.begin() + static_cast<long>(n)));
        EXPECT_EQ(0, cut.UnpackItems(guarded.Data(), guarded.Size())) << n;
        EXPECT_TRUE(cut.GetItems().empty());
    }
}

TEST(SSIChange, AddAGroupItem)
{
    CCLI_SSIxADD add(1, 2, CJOVString(L"Friends"), 0x1234, 0, 1, CTLVCol());
    Bytes frame = Packed(add);
    EXPECT_EQ(27, DataLength(frame));
    EXPECT_EQ(0x08, frame[9]);
    EXPECT_EQ(B({0x00, 0x07, 'F', 'r', 'i', 'e', 'n', 'd', 's', 0x12, 0x34, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}),
              SnacBody(frame));
}

TEST(SSIChange, AnItemWrittenByTheClientReadsBackAsTheServerListsIt)
{
    CTLVCol tlvs;
    tlvs.push_back(CTLV(0x0131, 3, "Ann"));
    tlvs.push_back(CTLV(0x0066, 0, nullptr));
    CCLI_SSIxUPDATE update(1, 2, CJOVString(L"\x0416uk"), 3, 4, 0, tlvs);
    Bytes frame = Packed(update);
    EXPECT_EQ(0x09, frame[9]);
    EXPECT_EQ(20 + 4 + 11, DataLength(frame));  // the name is 4 bytes of UTF-8
    Bytes list = Builder().U8(0).U16(1).Raw(SnacBody(frame)).U32(9);
    CSRV_SSIxREPLY reply;
    ASSERT_GT(reply.UnpackItems(list.data(), static_cast<int>(list.size())), 0);
    const SSIItem& item = reply.GetItems()[0];
    EXPECT_EQ(L"\x0416uk", W(item.name));
    EXPECT_EQ(4, item.itemId);
    EXPECT_EQ(2u, item.tlvs.size());

    CCLI_SSIxDELETE remove(1, 2, CJOVString(L"x"), 0, 0, 0, CTLVCol());
    EXPECT_EQ(0x0A, Packed(remove)[9]);
}

TEST(SSIChange, TheResultCodeOfTheAcknowledgement)
{
    CSRV_SSIxMODxACK ack;
    Bytes frame = ServerSnac(0x13, 0x0E, B({0x00, 0x0E, 0x00, 0x00}));
    ASSERT_GT(ack.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_EQ(0x000E, ack.GetResult());
    Bytes empty = ServerSnac(0x13, 0x0E, Bytes());
    EXPECT_EQ(0, ack.Unpack(empty.data(), static_cast<int>(empty.size())));
}

TEST(Authorization, RequestsAndRepliesBothWays)
{
    CCLI_SSI_SEND_AUTHxREQUEST ask(1, 2, CJOVString(L"4321"), CJOVString(L"please"));
    Bytes askFrame = Packed(ask);
    EXPECT_EQ(15 + 4 + 6, DataLength(askFrame));
    EXPECT_EQ(B({4, '4', '3', '2', '1', 0, 6, 'p', 'l', 'e', 'a', 's', 'e', 0, 0}), SnacBody(askFrame));

    CCLI_SSI_AUTHxREPLY decline(1, 2, CJOVString(L"4321"), false);
    Bytes declineFrame = Packed(decline);
    EXPECT_EQ(14 + 4, DataLength(declineFrame));
    EXPECT_EQ(B({4, '4', '3', '2', '1', 0x00, 0x00, 0x00}), SnacBody(declineFrame));

    CSRV_SSI_AUTHxREQUEST asked;
    Bytes askedFrame = ServerSnac(0x13, 0x19, Builder().U8(3).Text("555").U16(2).Text("hi"));
    ASSERT_GT(asked.Unpack(askedFrame.data(), static_cast<int>(askedFrame.size())), 0);
    EXPECT_EQ(L"555", W(asked.GetUIN()));
    EXPECT_EQ(L"hi", W(asked.GetReason()));

    CSRV_SSI_AUTHxREPLY granted;
    Bytes grantedFrame = ServerSnac(0x13, 0x1B, Builder().U8(3).Text("555").U8(1).U16(0));
    ASSERT_GT(granted.Unpack(grantedFrame.data(), static_cast<int>(grantedFrame.size())), 0);
    EXPECT_EQ(1, granted.GetAccept());
    EXPECT_EQ(L"", W(granted.GetReason()));
}

TEST(Authorization, ACutReasonIsEmptyACutUinIsNoPacket)
{
    CSRV_SSI_AUTHxREQUEST asked;
    CGuardedBytes cutReason(ServerSnac(0x13, 0x19, Builder().U8(3).Text("555").U16(50).Text("hi")));
    ASSERT_GT(asked.Unpack(cutReason.Data(), cutReason.Size()), 0);
    EXPECT_EQ(L"", W(asked.GetReason()));
    CGuardedBytes cutUin(ServerSnac(0x13, 0x19, Builder().U8(30).Text("555")));
    EXPECT_EQ(0, asked.Unpack(cutUin.Data(), cutUin.Size()));
}
