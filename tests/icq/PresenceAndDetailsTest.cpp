// Presence notices, the meta service's requests and its replies.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/CLI_FULLINFO_REQUEST2.h"
#include "packets/CLI_META_INFO_REQ.h"
#include "packets/SRV_META_BASIC_USERINFO.h"
#include "packets/SRV_META_INTERESTS_USERINFO.h"
#include "packets/SRV_META_MORE_USERINFO.h"
#include "packets/SRV_META_NOTES_USERINFO.h"
#include "packets/SRV_META_WORK_USERINFO.h"
#include "packets/SRV_OFFLINE_MESSAGE.h"
#include "packets/SRV_USER_ONLINE.h"

using OscarWire::Builder;

namespace {

int DataLength(const Bytes& frame)
{
    return (frame[4] << 8) | frame[5];
}

CSRV_USER_ONLINE Online(const std::string& uin, const std::vector<OscarWire::Tlv>& tlvs)
{
    CSRV_USER_ONLINE online;
    CGuardedBytes frame(ServerFrame(OscarWire::UserOnline(uin, tlvs)));
    EXPECT_GT(online.Unpack(frame.Data(), frame.Size()), 0);
    return online;
}

// A meta reply 0x15/0x03 of the given type carrying `data`.
Bytes MetaReply(unsigned int metaType, const Bytes& data)
{
    Builder chunk;
    chunk.U32LE(123456).U16LE(metaType).U16LE(7).Raw(data);
    Builder body;
    body.U16(0x0001).U16(static_cast<unsigned int>(chunk.Get().size()) + 2)
        .U16LE(static_cast<unsigned int>(chunk.Get().size())).Raw(chunk.Get());
    return ServerSnac(0x15, 0x03, body);
}

Builder& MetaString(Builder& builder, const std::string& text)
{
    return builder.U16LE(static_cast<unsigned int>(text.size()) + 1).Text(text).U8(0);
}

} // namespace

TEST(Presence, ScreenNamesAreNormalisedNumbersKept)
{
    EXPECT_EQ(L"somename", W(Online("Some Name", {}).GetUIN()));
    EXPECT_EQ(L"123456789", W(Online("123456789", {}).GetUIN()));
}

TEST(Presence, StatusComesFromTlvSixOrTheUserClass)
{
    EXPECT_EQ(0x0100, Online("1", {{0x0006, B({0x00, 0x00, 0x00, 0x01})}}).GetStatus());
    EXPECT_EQ(0x0120, Online("1", {{0x0006, B({0x10, 0x00, 0x20, 0x01})}}).GetStatus());
    EXPECT_EQ(0x0100, Online("1", {{0x0001, B({0x00, 0x20})}}).GetStatus());
    EXPECT_EQ(0, Online("1", {{0x0001, B({0x00, 0x00})}}).GetStatus());
    // A status item too short for its word falls back to the user class.
    EXPECT_EQ(0x0100, Online("1", {{0x0006, B({0x00, 0x01})}, {0x0001, B({0x00, 0x20})}}).GetStatus());
    EXPECT_EQ(0, Online("1", {{0x0006, B({0x00})}}).GetStatus());
}

TEST(Presence, ACutTlvEndsTheListAndAnEmptyLastOneIsKept)
{
    Bytes frame = ServerSnac(0x03, 0x0B, Builder().U8(1).Text("1").U16(0).U16(3).Tlv16(0x0001, 0x20)
                                             .U16(0x000D).U16(40).Text("short"));
    CSRV_USER_ONLINE online;
    CGuardedBytes guarded(frame);
    ASSERT_GT(online.Unpack(guarded.Data(), guarded.Size()), 0);
    EXPECT_EQ(1u, online.GetTLVs().size());

    Bytes emptyLast = ServerSnac(0x03, 0x0C, Builder().U8(1).Text("1").U16(0).U16(2).Tlv16(0x0001, 0)
                                                 .Tlv(0x001D, Bytes()));
    CSRV_USER_OFFLINE offline;
    ASSERT_GT(offline.Unpack(emptyLast.data(), static_cast<int>(emptyLast.size())), 0);
    EXPECT_EQ(2u, offline.GetTLVs().size());
}

TEST(MetaRequest, FullDetailsOfATarget)
{
    CCLI_FULLINFO_REQUEST2 request(1, 2, 0x11223344, 9, 123456);
    Bytes frame = Packed(request);
    EXPECT_EQ(30, DataLength(frame));
    EXPECT_EQ(B({0x00, 0x01, 0x00, 0x10, 0x0E, 0x00, 0x44, 0x33, 0x22, 0x11, 0xD0, 0x07, 0x09, 0x00,
                 0xD0, 0x04, 0x40, 0xE2, 0x01, 0x00}),
              SnacBody(frame));

    CCLI_META_REQ offlineMessages(1, 2, 10, 0x11223344, 60, 3);
    Bytes plain = Packed(offlineMessages);
    EXPECT_EQ(24, DataLength(plain));
    EXPECT_EQ(B({0x3C, 0x00, 0x03, 0x00}), Bytes(plain.end() - 4, plain.end()));
}

TEST(MetaRequest, ChangedFieldsGoLittleEndian)
{
    CTLVCol fields;
    fields.push_back(CTLV(0x0154, 3, "Ann"));
    CCLI_META_INFO_REQ change(1, 2, 1, 5, fields);
    Bytes body = SnacBody(Packed(change));
    EXPECT_EQ(B({0x00, 0x01, 0x00, 0x13}), Bytes(body.begin(), body.begin() + 4));
    EXPECT_EQ(B({0x3A, 0x0C, 0x54, 0x01, 0x03, 0x00, 'A', 'n', 'n'}), Bytes(body.begin() + 14, body.end()));
}

TEST(MetaReply, BasicDetails)
{
    Builder data;
    data.U16LE(0x00C8).U8(0x0A);
    MetaString(data, "nick");
    MetaString(data, "\xCF\xE5\xF2\xF0");  // code page 1251
    for (int i = 0; i < 9; ++i)
        MetaString(data, "");
    data.U16LE(7).U8(0xFD).U8(1).U8(0).U8(2).U8(1);
    CSRV_META_BASIC_USERINFO basic;
    Bytes frame = MetaReply(2010, data);
    ASSERT_GT(basic.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_EQ(1, basic.IsSuccess());
    EXPECT_EQ(L"nick", W(basic.GetInfo().nickname));
    EXPECT_EQ(L"\x041F\x0435\x0442\x0440", W(basic.GetInfo().firstName));
    EXPECT_EQ(7, basic.GetInfo().homeCountry);
    EXPECT_EQ(0xFD, basic.GetInfo().gmtOffset);
    EXPECT_EQ(1, basic.GetInfo().publishEmail);
    EXPECT_EQ(2010, basic.GetMetaType());
    EXPECT_EQ(123456u, basic.GetOwnerUIN());
}

TEST(MetaReply, AFailedResultOrAForeignSubtype)
{
    CSRV_META_BASIC_USERINFO basic;
    Bytes failed = MetaReply(2010, Builder().U16LE(0x00C8).U8(0x14));
    ASSERT_GT(basic.Unpack(failed.data(), static_cast<int>(failed.size())), 0);
    EXPECT_EQ(0, basic.IsSuccess());
    EXPECT_EQ(L"", W(basic.GetInfo().nickname));

    Bytes work = MetaReply(2010, Builder().U16LE(0x00D2).U8(0x0A));
    EXPECT_EQ(0, basic.Unpack(work.data(), static_cast<int>(work.size())));
    CSRV_META_USERINFO any;
    EXPECT_GT(any.Unpack(work.data(), static_cast<int>(work.size())), 0);
    EXPECT_EQ(1, any.IsSuccess());
    Bytes unknown = MetaReply(2010, Builder().U16LE(0x0104).U8(0x0A));
    EXPECT_EQ(0, any.Unpack(unknown.data(), static_cast<int>(unknown.size())));
    Bytes notMeta = ServerSnac(0x15, 0x03, B({0x00, 0x02, 0x00, 0x00}));
    EXPECT_EQ(0, any.Unpack(notMeta.data(), static_cast<int>(notMeta.size())));
}

TEST(MetaReply, AStringLongerThanTheFrameEndsThePartEmpty)
{
    Builder data;
    data.U16LE(0x00D2).U8(0x0A);
    MetaString(data, "Brno");
    data.U16LE(0x7000).Text("state");
    CSRV_META_WORK_USERINFO work;
    CGuardedBytes frame(MetaReply(2010, data));
    ASSERT_GT(work.Unpack(frame.Data(), frame.Size()), 0);
    EXPECT_EQ(L"Brno", W(work.GetInfo().city));
    EXPECT_EQ(L"", W(work.GetInfo().state));
    EXPECT_EQ(L"", W(work.GetInfo().webPage));
}

TEST(MetaReply, MoreNotesAndInterests)
{
    Builder more;
    more.U16LE(0x00DC).U8(0x0A).U16LE(33).U8(2);
    MetaString(more, "http://x");
    more.U16LE(1990).U8(12).U8(24).U8(9).U8(12).U8(0).U16LE(0);
    MetaString(more, "Praha");
    MetaString(more, "");
    more.U16LE(42).U8(20).U32LE(0);
    MetaString(more, "cs");
    more.Raw(Bytes(8, 0));
    MetaString(more, "a@b");
    CSRV_META_MORE_USERINFO moreInfo;
    Bytes moreFrame = MetaReply(2010, more);
    ASSERT_GT(moreInfo.Unpack(moreFrame.data(), static_cast<int>(moreFrame.size())), 0);
    EXPECT_EQ(1990, moreInfo.GetInfo().birthYear);
    EXPECT_EQ(12, moreInfo.GetInfo().language2);
    EXPECT_EQ(L"Praha", W(moreInfo.GetInfo().city));
    EXPECT_EQ(42, moreInfo.GetInfo().country);
    EXPECT_EQ(20, moreInfo.GetInfo().maritalStatus);
    EXPECT_EQ(L"a@b", W(moreInfo.GetInfo().localizationEmail));

    Builder notes;
    notes.U16LE(0x00E6).U8(0x0A);
    MetaString(notes, "about me");
    CSRV_META_NOTES_USERINFO notesInfo;
    Bytes notesFrame = MetaReply(2010, notes);
    ASSERT_GT(notesInfo.Unpack(notesFrame.data(), static_cast<int>(notesFrame.size())), 0);
    EXPECT_EQ(L"about me", W(notesInfo.GetNotes()));

    Builder interests;
    interests.U16LE(0x00F0).U8(0x0A).U8(6);
    for (unsigned int i = 0; i < 6; ++i)
        MetaString(interests.U16LE(100 + i), "k" + std::to_string(i));
    CSRV_META_INTERESTS_USERINFO interestsInfo;
    Bytes interestsFrame = MetaReply(2010, interests);
    ASSERT_GT(interestsInfo.Unpack(interestsFrame.data(), static_cast<int>(interestsFrame.size())), 0);
    EXPECT_EQ(6, interestsInfo.GetCount());
    ASSERT_EQ(4u, interestsInfo.GetInterests().size());
    EXPECT_EQ(103, interestsInfo.GetInterests()[3].category);
    EXPECT_EQ(L"k3", W(interestsInfo.GetInterests()[3].keywords));
}

TEST(MetaReply, OfflineMessage)
{
    Builder data;
    data.U32LE(123456789).U16LE(2008).U8(3).U8(14).U8(15).U8(9).U8(1).U8(0);
    MetaString(data, "\xEF\xF0\xE8\xE2\xE5\xF2");
    CSRV_OFFLINE_MESSAGE message;
    Bytes frame = MetaReply(0x41, data);
    ASSERT_GT(message.Unpack(frame.data(), static_cast<int>(frame.size())), 0);
    EXPECT_EQ(L"123456789", W(message.GetSender()));
    EXPECT_EQ(2008, message.GetYear());
    EXPECT_EQ(9, message.GetMinute());
    EXPECT_EQ(L"\x043F\x0440\x0438\x0432\x0435\x0442", W(message.GetText()));
}
