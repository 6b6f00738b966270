// Messages on channels 1, 2 and 4, acknowledgements and the x-status exchange.
// Where the client writes a form and also reads it (as the server relays it to
// the peer), the tests send one through the other.
#include <gtest/gtest.h>

#include "IcqTestHelpers.h"
#include "packets/CLI_SEND_ICBM_ACK_CH2.h"
#include "packets/CLI_SEND_ICBM_CH1.h"
#include "packets/CLI_SEND_ICBM_CH2.h"
#include "packets/CLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE.h"
#include "packets/CLI_SETICBM.h"
#include "packets/SRV_CLIENT_ICBM.h"
#include "packets/SRV_CLIENT_ICBMxACK_CH2.h"
#include "packets/XtrazPlugin.h"

using OscarWire::Builder;

namespace {

int DataLength(const Bytes& frame)
{
    return (frame[4] << 8) | frame[5];
}

// The message TLVs of a sent 0x04/0x06 (after cookie, channel and UIN).
Bytes SentTlvs(const Bytes& frame)
{
    Bytes body = SnacBody(frame);
    size_t uinLength = body[10];
    return Bytes(body.begin() + 11 + static_cast<long>(uinLength), body.end());
}

// What the server delivers to the peer for a sent message: 0x04/0x07 with the
// sender's UIN, a warning level, no user TLVs, then the message TLVs.
Bytes Relayed(const Bytes& sent, const std::string& from, Bytes extraTlvs = Bytes())
{
    Bytes body = SnacBody(sent);
    Builder relay;
    relay.Raw(body.data(), 10).U8(static_cast<unsigned int>(from.size())).Text(from).U16(0).U16(0);
    relay.Raw(SentTlvs(sent)).Raw(extraTlvs);
    return ServerSnac(0x04, 0x07, relay);
}

CSRV_CLIENT_ICBM Received(const Bytes& frame)
{
    CSRV_CLIENT_ICBM message;
    CGuardedBytes guarded(frame);
    EXPECT_GT(message.Unpack(guarded.Data(), guarded.Size()), 0);
    return message;
}

// A channel-2 rendezvous value with a type-1 message and the given capability text.
Bytes Channel2Type1(const Bytes& message, const std::string& capability)
{
    Builder extended;
    extended.U16LE(27).U16LE(9).Raw(Bytes(16, 0)).U16LE(0).U32LE(0).U8(0).U16LE(0x4242);
    extended.U16LE(14).U16LE(0x4242).Raw(Bytes(12, 0));
    extended.U8(0x01).U8(0).U16LE(0).U16LE(0).U16LE(static_cast<unsigned int>(message.size())).Raw(message);
    extended.U32LE(0).U32LE(0xFFFFFF00).U32LE(static_cast<unsigned int>(capability.size())).Text(capability);
    Builder rendezvous;
    rendezvous.U16(0).U32(1).U32(2).Raw(B({0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1, 0x82, 0x22, 0x44, 0x45,
                                             0x53, 0x54, 0x00, 0x00}));
    rendezvous.Tlv16(0x000A, 1).Tlv(0x2711, extended.Get());
    Builder body;
    body.U32(1).U32(2).U16(2).U8(3).Text("555").U16(0).U16(0).Tlv(0x0005, rendezvous.Get());
    return ServerSnac(0x04, 0x07, body);
}

const char kUTF8Capability[] = "{0946134E-4C7F-11D1-8222-444553540000}";

} // namespace

TEST(Channel1, UnicodeTextGoesAsBigEndianUnitsWithParagraphsAsLineFeeds)
{
    CCLI_SEND_ICBM_CH1 message(1, 2, 0x11111111, 0x22222222, CJOVString(L"777"), CJOVString(L"a\x2029" L"b"), true);
    Bytes frame = Packed(message);
    EXPECT_EQ(47 + 3 + 8, DataLength(frame));
    Bytes tlvs = SentTlvs(frame);
    EXPECT_EQ(B({0x00, 0x02, 0x00, 0x16, 0x05, 0x01, 0x00, 0x02, 0x01, 0x06, 0x01, 0x01, 0x00, 0x0C, 0x00, 0x02,
                 0x00, 0x00, 0x00, 0x61, 0x00, 0x0A, 0x00, 0x62, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x06,
                 0x00, 0x00}),
              tlvs);
}

TEST(Channel1, WrittenAndReadBackInBothEncodings)
{
    CCLI_SEND_ICBM_CH1 unicode(1, 2, 3, 4, CJOVString(L"777"), CJOVString(L"Hi \x263A \x0416"), true);
    EXPECT_EQ(L"Hi \x263A \x0416", W(Received(Relayed(Packed(unicode), "123")).GetText()));

    CCLI_SEND_ICBM_CH1 cyrillic(1, 2, 3, 4, CJOVString(L"777"), CJOVString(L"\x041F\x0440\x0438\x0432\x0435\x0442"),
                                false);
    Bytes frame = Packed(cyrillic);
    EXPECT_EQ(47 + 3 + 7, DataLength(frame));
    CSRV_CLIENT_ICBM read = Received(Relayed(frame, "Some Name"));
    EXPECT_EQ(L"\x041F\x0440\x0438\x0432\x0435\x0442", W(read.GetText()));
    EXPECT_EQ(L"somename", W(read.GetSenderUIN()));
    EXPECT_EQ(3u, read.GetCookie1());
    EXPECT_EQ(1, read.GetChannel());
}

TEST(Channel1, AFragmentLengthBelowItsHeaderOrPastTheItemGivesNoText)
{
    for (unsigned int length : {0u, 3u, 200u}) {
        Builder fragments;
        fragments.U8(5).U8(1).U16(1).U8(1).U8(1).U8(1).U16(length).U16(0).U16(0).Text("hey");
        Builder body;
        body.U32(1).U32(2).U16(1).U8(1).Text("9").U16(0).U16(0).Tlv(0x0002, fragments.Get());
        EXPECT_EQ(L"", W(Received(ServerSnac(0x04, 0x07, body)).GetText())) << length;
    }
}

TEST(IncomingMessage, NeedsASenderAndSplitsUserFromMessageTlvs)
{
    CSRV_CLIENT_ICBM message;
    Bytes noSender = ServerSnac(0x04, 0x07, Builder().U32(1).U32(2).U16(1).U8(1).Text(" ").U16(0).U16(0));
    EXPECT_EQ(0, message.Unpack(noSender.data(), static_cast<int>(noSender.size())));

    Bytes stored = ServerSnac(0x04, 0x07, Builder().U32(1).U32(2).U16(1).U8(1).Text("9").U16(0).U16(2)
                                              .Tlv16(0x0006, 1).Tlv32(0x0016, 0).Tlv32(0x0016, 1234567890)
                                              .Tlv(0x0006, Bytes()));
    CSRV_CLIENT_ICBM offline = Received(stored);
    EXPECT_EQ(4u, offline.GetAllTLVs().size());
    EXPECT_EQ(2u, offline.GetMessageTLVs().size());
    EXPECT_TRUE(offline.IsOffline());
    EXPECT_EQ(1234567890u, offline.GetTime());

    CSRV_CLIENT_ICBM live = Received(ServerFrame(OscarWire::MessageChannel1(1, 2, "42", "hello")));
    EXPECT_FALSE(live.IsOffline());
    EXPECT_EQ(0u, live.GetTime());
    EXPECT_EQ(L"hello", W(live.GetText()));
}

TEST(LongMessages, AUnicodeTextTooLongForOneFrameIsCutAtACharacter)
{
    // Smileys outside the basic plane are surrogate pairs; with and without a
    // leading unit one of the two cuts falls inside a pair.
    std::wstring pairs;
    for (int i = 0; i < 20000; ++i)
        pairs += L"\xD83D\xDE00";
    for (const std::wstring& text : {pairs, L"a" + pairs}) {
        CCLI_SEND_ICBM_CH1 message(1, 2, 3, 4, CJOVString(L"7777777"), CJOVString(text.c_str()), true);
        Bytes frame = Packed(message);
        ASSERT_GE(static_cast<int>(frame.size()), kMaxFrameSize - 3);
        EXPECT_EQ(static_cast<int>(frame.size()) - 6, DataLength(frame));
        size_t end = frame.size() - 8;  // before the empty TLVs 3 and 6
        EXPECT_EQ(0, frame[end - 2] | frame[end - 1]);  // the zero character
        unsigned int last = (frame[end - 4] << 8) | frame[end - 3];
        EXPECT_FALSE(last >= 0xD800 && last <= 0xDBFF) << std::hex << last;

        std::wstring read = W(Received(Relayed(frame, "7")).GetText());
        EXPECT_GT(read.size(), 30000u);
        EXPECT_EQ(0u, text.find(read));
    }
}

TEST(LongMessages, AUTF8TextTooLongForOneFrameIsCutAtACharacter)
{
    std::wstring text(40000, L'\x0416');  // two bytes each in UTF-8
    text = L"a" + text;
    CCLI_SEND_ICBM_CH2 message(CJOVString(L"111"), 1, 2, 3, 4, CJOVString(L"7777777"), CJOVString(text.c_str()),
                               true, 0);
    Bytes frame = Packed(message);
    ASSERT_GE(static_cast<int>(frame.size()), kMaxFrameSize - 3);
    std::wstring read = W(Received(Relayed(frame, "7")).GetText());
    EXPECT_GT(read.size(), 30000u);
    EXPECT_EQ(0u, text.find(read));  // no broken last character

    std::wstring single(70000, L'\x0416');  // one byte each in code page 1251
    CCLI_SEND_ICBM_CH2 cyrillic(CJOVString(L"111"), 1, 2, 3, 4, CJOVString(L"7777777"),
                                CJOVString(single.c_str()), false, 0);
    EXPECT_GE(static_cast<int>(Packed(cyrillic).size()), kMaxFrameSize - 3);
}

TEST(Channel2, PlainMessagesWrittenAndReadBack)
{
    CCLI_SEND_ICBM_CH2 utf8(CJOVString(L"111"), 1, 2, 0xAAAA1234, 5, CJOVString(L"777"),
                            CJOVString(L"\x0416 \x00E9"), true, 0);
    Bytes frame = Packed(utf8);
    CSRV_CLIENT_ICBM read = Received(Relayed(frame, "777"));
    EXPECT_EQ(L"\x0416 \x00E9", W(read.GetText()));
    // The sequence is the cookie's low half, copied into acknowledgements;
    // read before any x-status check, which must not be what sets it.
    EXPECT_EQ(0x1234, read.GetMessageSequence());
    EXPECT_FALSE(read.IsXStatusRequest());

    CCLI_SEND_ICBM_CH2 cyrillic(CJOVString(L"111"), 1, 2, 3, 5, CJOVString(L"777"), CJOVString(L"\x0416"), false, 0);
    EXPECT_EQ(L"\x0416", W(Received(Relayed(Packed(cyrillic), "777")).GetText()));
}

TEST(Channel2, TheCapabilityTextChoosesTheEncoding)
{
    const Bytes utf8Bytes = B({0xD0, 0x96, 0x00});  // U+0416 in UTF-8, as code page 1251 two other letters
    EXPECT_EQ(L"\x0416", W(Received(Channel2Type1(utf8Bytes, kUTF8Capability)).GetText()));
    EXPECT_EQ(L"\x0420\x2013", W(Received(Channel2Type1(utf8Bytes, "{0946134E-4C7F-11D1-8222-444553540001}")).GetText()));
    EXPECT_EQ(L"", W(Received(Channel2Type1(utf8Bytes, "{97B12751-243C-4334-AD22-D6ABF73F1492}")).GetText()));
}

TEST(Channel2, HostileLengthsStayInsideTheFrame)
{
    Bytes frame = Channel2Type1(Text("hi"), kUTF8Capability);
    // Where TLV 0x2711's value starts: headers, body to the TLVs, TLV 5 header,
    // rendezvous head, TLV 0x0A, TLV 0x2711 header.
    const size_t v = 16 + 18 + 4 + 26 + 6 + 4;
    // The first chunk's length, the message length and the capability length
    // each set to a huge value.
    for (size_t at : {v, v + 45 + 6, frame.size() - 42}) {
        Bytes hostile = frame;
        hostile[at] = 0xFF;
        hostile[at + 1] = 0xFF;
        CSRV_CLIENT_ICBM message;
        CGuardedBytes guarded(hostile);
        if (message.Unpack(guarded.Data(), guarded.Size())) {
            EXPECT_EQ(L"", W(message.GetText()));
        }
    }
}

TEST(XStatus, RequestCarriesTheQueryAndIsRecognised)
{
    CCLI_SEND_ICBM_CH2 request(CJOVString(L"123456789"), 1, 2, 0x00000777, 5, CJOVString(L"777"), CJOVString(), false,
                               7);
    Bytes frame = Packed(request);
    // LE32 X + 4 and LE32 X stand right before the query text of X = 273 bytes, then TLV 3.
    Bytes tail(frame.end() - 4 - 273 - 8, frame.end() - 4 - 273);
    EXPECT_EQ(B({0x15, 0x01, 0, 0, 0x11, 0x01, 0, 0}), tail);
    Bytes query(frame.end() - 4 - 273, frame.end() - 4);
    EXPECT_EQ(0u, std::string(query.begin(), query.end()).find("<N><QUERY>"));
    EXPECT_NE(std::string::npos, std::string(query.begin(), query.end()).find("&lt;trans&gt;7&lt;/trans&gt;"));

    CSRV_CLIENT_ICBM read = Received(Relayed(frame, "777"));
    EXPECT_EQ(L"", W(read.GetText()));
    EXPECT_TRUE(read.IsXStatusRequest());
    EXPECT_EQ(0x0777, read.GetMessageSequence());
}

TEST(XStatus, AnswerWrittenAndReadBackWithTitleAndDescription)
{
    CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE answer(1, 11, 7, 8, CJOVString(L"111"), CJOVString(L"222"), 5,
                                                 CJOVString(L"Beer \x0416"), CJOVString(L"cold"), 0x0102);
    Bytes frame = Packed(answer);
    Bytes body = SnacBody(frame);
    EXPECT_EQ(B({0x02, 0x01}), Bytes(body.begin() + 16 + 27, body.begin() + 16 + 29));  // sequence bytes
    // The server relays the body as it is to the asker.
    CSRV_CLIENT_ICBMxACK_CH2 read;
    Bytes relayed = ServerSnac(0x04, 0x0B, body);
    CGuardedBytes guarded(relayed);
    ASSERT_GT(read.Unpack(guarded.Data(), guarded.Size()), 0);
    EXPECT_EQ(L"222", W(read.GetSenderUIN()));
    EXPECT_EQ(L"Beer \x0416", W(read.GetTitle()));
    EXPECT_EQ(L"cold", W(read.GetDescription()));

    CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE empty(1, 11, 7, 8, CJOVString(L"111"), CJOVString(L"222"), 5, CJOVString(),
                                                CJOVString(), 0);
    std::wstring text = W(empty.GetAnswerText());
    EXPECT_NE(std::wstring::npos, text.find(L"&lt;title&gt;&lt;/title&gt;&lt;desc&gt;&lt;/desc&gt;"));
    Bytes emptyFrame = Packed(empty);
    EXPECT_EQ(166 + 3 + static_cast<int>(text.size()), DataLength(emptyFrame));
}

TEST(XStatus, TextsAreEscapedTwiceAndReadBackAsUTF8)
{
    // The texts are content of the inner XML, which travels escaped itself.
    CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE answer(1, 11, 7, 8, CJOVString(L"111"), CJOVString(L"222"), 5,
                                                 CJOVString(L"Fish & <chips> \"x\" 'y'"),
                                                 CJOVString(L"\x041F\x0438\x0432\x043E \x2265 5 &lt;"), 0x0102);
    std::wstring text = W(answer.GetAnswerText());
    EXPECT_NE(std::wstring::npos,
              text.find(L"&lt;title&gt;Fish &amp;amp; &amp;lt;chips&amp;gt; &amp;quot;x&amp;quot; "
                        L"&amp;apos;y&amp;apos;&lt;/title&gt;"));
    EXPECT_NE(std::wstring::npos, text.find(L"\x2265 5 &amp;amp;lt;&lt;/desc&gt;"));
    EXPECT_EQ(std::wstring::npos, text.find(L"<chips>"));

    CSRV_CLIENT_ICBMxACK_CH2 read;
    Bytes relayed = ServerSnac(0x04, 0x0B, SnacBody(Packed(answer)));
    CGuardedBytes guarded(relayed);
    ASSERT_GT(read.Unpack(guarded.Data(), guarded.Size()), 0);
    EXPECT_EQ(L"Fish & <chips> \"x\" 'y'", W(read.GetTitle()));
    EXPECT_EQ(L"\x041F\x0438\x0432\x043E \x2265 5 &lt;", W(read.GetDescription()));
}

TEST(XStatus, AnAnswerArrivingAsAMessageIsReadAsUTF8)
{
    std::string xml = "<NR><RES>&lt;title&gt;Caf\xC3\xA9 &amp;amp; bar&lt;/title&gt;&lt;desc&gt;"
                      "\xD0\x96 &amp;lt;3&lt;/desc&gt;</RES></NR>";
    Builder extended;
    extended.U16LE(27).U16LE(9).Raw(Bytes(16, 0)).U16LE(0).U32LE(0).U8(0).U16LE(0x4242);
    extended.U16LE(14).U16LE(0x4242).Raw(Bytes(12, 0));
    extended.U8(0x1A).U8(0).U16LE(0).U16LE(0).U16LE(1).U8(0);
    extended.Raw(Bytes(XtrazPlugin::kHeader, XtrazPlugin::kHeader + XtrazPlugin::kHeaderSize)).Text(xml);
    Builder rendezvous;
    rendezvous.U16(0).U32(1).U32(2).Raw(B({0x09, 0x46, 0x13, 0x49, 0x4C, 0x7F, 0x11, 0xD1, 0x82, 0x22, 0x44, 0x45,
                                             0x53, 0x54, 0x00, 0x00}));
    rendezvous.Tlv16(0x000A, 1).Tlv(0x2711, extended.Get());
    Builder body;
    body.U32(1).U32(2).U16(2).U8(3).Text("555").U16(0).U16(0).Tlv(0x0005, rendezvous.Get());
    EXPECT_EQ(L"Caf\x00E9 & bar\x0416 <3", W(Received(ServerSnac(0x04, 0x07, body)).GetText()));
}

TEST(XStatus, AnAnswerWithoutThePluginHeaderHasNoTexts)
{
    CCLI_SEND_ICBM_ACK_CH2 ack(1, 11, 7, 8, CJOVString(L"222"), 0x0102);
    CSRV_CLIENT_ICBMxACK_CH2 read;
    Bytes relayed = ServerSnac(0x04, 0x0B, SnacBody(Packed(ack)));
    ASSERT_GT(read.Unpack(relayed.data(), static_cast<int>(relayed.size())), 0);
    EXPECT_EQ(L"", W(read.GetTitle()));
    EXPECT_EQ(L"", W(read.GetDescription()));
}

TEST(Acknowledgement, EchoesCookieAndSequence)
{
    CCLI_SEND_ICBM_ACK_CH2 ack(1, 11, 0x01020304, 0x05060708, CJOVString(L"4321"), 0xBBAA);
    Bytes frame = Packed(ack);
    EXPECT_EQ(85 + 4, DataLength(frame));
    Bytes body = SnacBody(frame);
    EXPECT_EQ(B({1, 2, 3, 4, 5, 6, 7, 8, 0, 2, 4, '4', '3', '2', '1', 0, 3, 0x1B, 0x00, 0x09, 0x00}),
              Bytes(body.begin(), body.begin() + 21));
    EXPECT_EQ(B({0xAA, 0xBB, 0x0E, 0x00, 0xAA, 0xBB}), Bytes(body.begin() + 17 + 27, body.begin() + 17 + 33));
    EXPECT_EQ(B({0x00, 0xFF, 0xFF, 0xFF}), Bytes(body.end() - 4, body.end()));
}

TEST(Channel4, ReadsTheLittleEndianMessage)
{
    Bytes value = Builder().U32LE(42).U8(1).U8(0).U16LE(4).Text("hey").U8(0);
    Bytes frame = ServerSnac(0x04, 0x07, Builder().U32(1).U32(2).U16(4).U8(2).Text("42").U16(0).U16(0)
                                             .Tlv(0x0005, value));
    EXPECT_EQ(L"hey", W(Received(frame).GetText()));
    Bytes cut = value;
    cut[6] = 0x40;
    Bytes hostile = ServerSnac(0x04, 0x07, Builder().U32(1).U32(2).U16(4).U8(2).Text("42").U16(0).U16(0)
                                               .Tlv(0x0005, cut));
    EXPECT_EQ(L"", W(Received(hostile).GetText()));
}

TEST(IcbmParameters, TwentySixBytesOfData)
{
    CCLI_SETICBM parameters(1, 2, 1, 0x0B, 8000, 999, 999, 0);
    Bytes frame = Packed(parameters);
    EXPECT_EQ(26, DataLength(frame));
    EXPECT_EQ(B({0, 1, 0, 0, 0, 0x0B, 0x1F, 0x40, 0x03, 0xE7, 0x03, 0xE7, 0, 0, 0, 0}), SnacBody(frame));
}
