#include "icqpages/LoginScript.h"

using OscarWire::Frame;

void AppendLogin(CScriptedOscarServer& login, CScriptedOscarServer& bos, const std::string& uin,
                 const std::string& password, const std::vector<OscarWire::SsiItem>& roster, LoginSession& session)
{
    const OscarWire::Bytes cookie(64, 0x5A);
    const std::string key = "1234567890";
    login.Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const Frame& frame, std::string&) { return frame.channel == 1; })
        .ExpectSnac(0x17, 0x06)
        .Send(OscarWire::AuthKeyResponse(key))
        .ExpectSnac(0x17, 0x02,
                    [uin, key, password](const OscarWire::Snac& snac, std::string& why) {
                        auto tlvs = OscarWire::ParseTlvs(snac.body);
                        const OscarWire::Tlv* name = OscarWire::FindTlv(tlvs, 0x01);
                        const OscarWire::Tlv* digest = OscarWire::FindTlv(tlvs, 0x25);
                        why = "not the MD5 login of " + uin;
                        return name && std::string(name->value.begin(), name->value.end()) == uin && digest &&
                               digest->value == OscarWire::LoginDigest(key, password);
                    })
        .Send(OscarWire::LoginReply(uin, "127.0.0.1:" + std::to_string(bos.GetPort()), cookie))
        .ExpectClosed();

    OscarWire::Builder ownInfo;
    ownInfo.U8(static_cast<unsigned int>(uin.size())).Text(uin).U16(0).U16(1).Tlv32(0x0006, 0x10000000);
    LoginSession* state = &session;
    CScriptedOscarServer* server = &bos;
    if (!session.scripted)
        bos.Ignore([state](const Frame&) { return state->afterRoster.load(); });
    session.scripted = true;
    bos.Accept()
        .Send([state]() {
            state->afterRoster = false;
            return OscarWire::Hello();
        })
        .Expect("cookie",
                [cookie](const Frame& frame, std::string& why) {
                    auto tlvs = OscarWire::ParseTlvs(frame.payload, 4);
                    const OscarWire::Tlv* sent = OscarWire::FindTlv(tlvs, 0x06);
                    why = "no cookie";
                    return frame.channel == 1 && sent && sent->value == cookie;
                })
        .Send(OscarWire::Families({0x01, 0x02, 0x03, 0x04, 0x13, 0x15}))
        .ExpectSnac(0x01, 0x17)
        .Send(OscarWire::FamilyVersions({{0x01, 4}, {0x13, 4}}))
        .ExpectSnac(0x01, 0x06)
        .Send(OscarWire::RateInfo(3, 0))
        .ExpectSnac(0x01, 0x08)
        .ExpectSnac(0x13, 0x02)
        .ExpectSnac(0x02, 0x02)
        .ExpectSnac(0x03, 0x02)
        .ExpectSnac(0x04, 0x04)
        .ExpectSnac(0x09, 0x02)
        .Send(OscarWire::SnacFrame(0x02, 0x03, {}))
        .ExpectSnac(0x02, 0x04)
        .Send(OscarWire::SnacFrame(0x13, 0x03, {}))
        .ExpectSnac(0x13, 0x04)
        .Send([state, server, roster]() {
            state->rosterFrames = server->Received().size();
            state->afterRoster = true;
            return OscarWire::SsiReply(roster, 1234);
        })
        .Send(OscarWire::SnacFrame(0x01, 0x0F, ownInfo))
        .ExpectClosed();
}

OscarWire::SsiItem OnlinePrivacyItem()
{
    OscarWire::Builder tlvs;
    tlvs.Tlv(0x00CA, OscarWire::Bytes{4}).Tlv32(0x00CB, 0xFFFFFFFF);
    return {"", 0, 77, 4, tlvs.Get()};
}
