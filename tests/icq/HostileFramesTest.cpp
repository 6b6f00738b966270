// Every server packet against cut and damaged frames. Each variant of a valid
// frame ends right before an inaccessible page, so any read past the frame
// crashes the test; the parse must answer "not this packet" or empty texts.
#include <gtest/gtest.h>

#include <functional>

#include "IcqTestHelpers.h"
#include "packets/CLI_SEND_ICBM_CH1.h"
#include "packets/CLI_SEND_ICBM_CH2.h"
#include "packets/CLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE.h"
#include "packets/SRV_AUTH_FAILED.h"
#include "packets/SRV_AUTH_KEY_RESPONSE.h"
#include "packets/SRV_CLIENT_ICBM.h"
#include "packets/SRV_CLIENT_ICBMxACK_CH2.h"
#include "packets/SRV_FAMILIES.h"
#include "packets/SRV_FAMILIES_VERSIONS.h"
#include "packets/SRV_HELLO.h"
#include "packets/SRV_LOGIN_REPLY.h"
#include "packets/SRV_META_BASIC_USERINFO.h"
#include "packets/SRV_META_INTERESTS_USERINFO.h"
#include "packets/SRV_META_MORE_USERINFO.h"
#include "packets/SRV_META_NOTES_USERINFO.h"
#include "packets/SRV_META_WORK_USERINFO.h"
#include "packets/SRV_OFFLINE_MESSAGE.h"
#include "packets/SRV_ONLINExINFO.h"
#include "packets/SRV_RATE_LIMIT_INFO.h"
#include "packets/SRV_SSI_AUTHxREPLY.h"
#include "packets/SRV_SSI_AUTHxREQUEST.h"
#include "packets/SRV_SSIxMODxACK.h"
#include "packets/SRV_SSIxREPLY.h"
#include "packets/SRV_USER_ONLINE.h"

using OscarWire::Builder;

namespace {

typedef std::function<void(const unsigned char*, int)> Parse;

template <class Packet>
Parse ParseWith(std::function<void(Packet&)> query = nullptr)
{
    return [query](const unsigned char* bytes, int n) {
        Packet packet;
        if (packet.Unpack(bytes, n) && query)
            query(packet);
    };
}

// Feeds every cut of the frame and every frame with one byte set to 0xFF or 0x00.
void Batter(const Bytes& frame, const Parse& parse)
{
    CGuardedBytes area(frame);
    for (size_t n = 0; n <= frame.size(); ++n) {
        Bytes cut(frame.begin(), frame.begin() + static_cast<long>(n));
        parse(area.Place(cut), static_cast<int>(n));
    }
    for (size_t at = 0; at < frame.size(); ++at) {
        for (unsigned char value : {0xFF, 0x00, 0x80}) {
            Bytes damaged = frame;
            damaged[at] = value;
            parse(area.Place(damaged), static_cast<int>(damaged.size()));
        }
    }
}

} // namespace

TEST(HostileFrames, LoginAndServicePacketsStayInsideTheFrame)
{
    Batter(ServerFrame(OscarWire::Hello()), ParseWith<CSRV_HELLO>());
    Batter(ServerFrame(OscarWire::AuthKeyResponse("0123456789")), ParseWith<CSRV_AUTH_KEY_RESPONSE>());
    Batter(ServerFrame(OscarWire::LoginReply("1234", "1.2.3.4:5190", B({1, 2, 3}))),
           ParseWith<CSRV_LOGIN_REPLY>([](CSRV_LOGIN_REPLY& reply) { reply.GetErrorText(); }));
    Batter(ServerFrame(OscarWire::LoginError("1234", 5)), ParseWith<CSRV_LOGIN_REPLY>());
    Batter(OscarWire::FlapBytes(4, 1, Builder().Tlv16(8, 5).Tlv16(9, 1)),
           ParseWith<CSRV_AUTH_FAILED>([](CSRV_AUTH_FAILED& failed) {
               failed.GetErrorText();
               failed.GetDisconnectText();
           }));
    Batter(ServerFrame(OscarWire::Families({1, 2, 3})), ParseWith<CSRV_FAMILIES>());
    Batter(ServerFrame(OscarWire::FamilyVersions({{1, 4}, {2, 1}})), ParseWith<CSRV_FAMILIES_VERSIONS>());
    Batter(ServerFrame(OscarWire::RateInfo(2, 1)), ParseWith<CSRV_RATE_LIMIT_INFO>());
    Batter(ServerSnac(0x01, 0x0F, Builder().U8(2).Text("12").U16(0).U16(1).Tlv16(6, 0)),
           ParseWith<CSRV_ONLINExINFO>());
}

TEST(HostileFrames, MessagePacketsStayInsideTheFrame)
{
    auto message = ParseWith<CSRV_CLIENT_ICBM>([](CSRV_CLIENT_ICBM& icbm) {
        icbm.GetText();
        icbm.IsXStatusRequest();
        icbm.IsOffline();
        icbm.GetTime();
    });
    CCLI_SEND_ICBM_CH1 plain(1, 2, 3, 4, CJOVString(L"99"), CJOVString(L"hi"), true);
    Batter(Relayed(plain, 0x07), message);
    CCLI_SEND_ICBM_CH2 relayed(CJOVString(L"1"), 1, 2, 3, 4, CJOVString(L"99"), CJOVString(L"hi"), true, 0);
    Batter(Relayed(relayed, 0x07), message);
    CCLI_SEND_ICBM_CH2 question(CJOVString(L"1"), 1, 2, 3, 4, CJOVString(L"99"), CJOVString(), false, 3);
    Batter(Relayed(question, 0x07), message);
    Batter(ServerSnac(0x04, 0x07, Builder().U32(1).U32(2).U16(4).U8(1).Text("9").U16(0).U16(0)
                                      .Tlv(5, Builder().U32LE(9).U8(1).U8(0).U16LE(3).Text("hi").U8(0).Get())),
           message);

    CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE answer(1, 2, 3, 4, CJOVString(L"1"), CJOVString(L"99"), 2,
                                                 CJOVString(L"t"), CJOVString(L"d"), 5);
    Batter(Relayed(answer, 0x0B), ParseWith<CSRV_CLIENT_ICBMxACK_CH2>());
}

TEST(HostileFrames, ListPresenceAndDetailsStayInsideTheFrame)
{
    Batter(ServerFrame(OscarWire::SsiReply({{"g", 1, 0, 1, Builder().Tlv16(0xC8, 1)}, {"12", 1, 2, 0, Bytes()}}, 5)),
           ParseWith<CSRV_SSIxREPLY>());
    Batter(ServerSnac(0x13, 0x0E, B({0, 0})), ParseWith<CSRV_SSIxMODxACK>());
    Batter(ServerSnac(0x13, 0x19, Builder().U8(2).Text("12").U16(2).Text("hi")), ParseWith<CSRV_SSI_AUTHxREQUEST>());
    Batter(ServerSnac(0x13, 0x1B, Builder().U8(2).Text("12").U8(1).U16(2).Text("hi")),
           ParseWith<CSRV_SSI_AUTHxREPLY>());
    Batter(ServerFrame(OscarWire::UserOnline("12", {{6, B({0, 0, 0, 1})}, {0x0D, Bytes(16, 9)}})),
           ParseWith<CSRV_USER_ONLINE>([](CSRV_USER_ONLINE& online) { online.GetStatus(); }));

    Batter(Meta(2010, Strings(0x00C8, 12)), ParseWith<CSRV_META_BASIC_USERINFO>());
    Batter(Meta(2010, Strings(0x00D2, 6)), ParseWith<CSRV_META_WORK_USERINFO>());
    Batter(Meta(2010, Strings(0x00DC, 5)), ParseWith<CSRV_META_MORE_USERINFO>());
    Batter(Meta(2010, Strings(0x00E6, 1)), ParseWith<CSRV_META_NOTES_USERINFO>());
    Batter(Meta(2010, Builder().U16LE(0xF0).U8(0x0A).U8(2).U16LE(100).U16LE(2).Text("a").U8(0).U16LE(101)
                          .U16LE(1).U8(0)),
           ParseWith<CSRV_META_INTERESTS_USERINFO>());
    Batter(Meta(0x41, Builder().U32LE(5).U16LE(2000).Raw(Bytes(6, 1)).U16LE(3).Text("hi").U8(0)),
           ParseWith<CSRV_OFFLINE_MESSAGE>([](CSRV_OFFLINE_MESSAGE& offline) { offline.GetSender(); }));
}
