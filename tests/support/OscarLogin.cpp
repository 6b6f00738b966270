#include "OscarLogin.h"

#include <memory>

using OscarWire::Frame;

namespace {

const char kKey[] = "0987654321";

const OscarWire::Bytes& Cookie()
{
    static const OscarWire::Bytes cookie(64, 0x5A);
    return cookie;
}

} // namespace

CScriptedOscarServer& ScriptIcqLogin(CScriptedOscarServer& login, unsigned short bosPort, const std::string& uin,
                                     const std::string& password)
{
    return login.Accept()
        .Send(OscarWire::Hello())
        .Expect("version", [](const Frame& frame, std::string&) { return frame.channel == 1; })
        .ExpectSnac(0x17, 0x06)
        .Send(OscarWire::AuthKeyResponse(kKey))
        .ExpectSnac(0x17, 0x02,
                    [uin, password](const OscarWire::Snac& snac, std::string& why) {
                        auto tlvs = OscarWire::ParseTlvs(snac.body);
                        const OscarWire::Tlv* name = OscarWire::FindTlv(tlvs, 0x01);
                        const OscarWire::Tlv* digest = OscarWire::FindTlv(tlvs, 0x25);
                        why = "not the MD5 login of " + uin;
                        return name && std::string(name->value.begin(), name->value.end()) == uin && digest &&
                               digest->value == OscarWire::LoginDigest(kKey, password);
                    })
        .Send(OscarWire::LoginReply(uin, "127.0.0.1:" + std::to_string(bosPort), Cookie()))
        .ExpectClosed();
}

CScriptedOscarServer& ScriptIcqBosToRights(CScriptedOscarServer& bos, std::function<void()> onHello,
                                           std::function<void()> onRights)
{
    return bos.Accept()
        .Send([onHello] {
            if (onHello)
                onHello();
            return OscarWire::Hello();
        })
        .Expect("cookie",
                [](const Frame& frame, std::string& why) {
                    auto tlvs = OscarWire::ParseTlvs(frame.payload, 4);
                    const OscarWire::Tlv* sent = OscarWire::FindTlv(tlvs, 0x06);
                    why = "no cookie";
                    return frame.channel == 1 && sent && sent->value == Cookie();
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
        .Send([onRights] {
            if (onRights)
                onRights();
            return OscarWire::SnacFrame(0x13, 0x03, {});
        });
}

CScriptedOscarServer& ScriptIcqBosToList(CScriptedOscarServer& bos, std::function<void()> onHello)
{
    return ScriptIcqBosToRights(bos, onHello).ExpectSnac(0x13, 0x04);
}

CScriptedOscarServer& ScriptIcqBosToOnline(CScriptedOscarServer& bos, const std::vector<OscarWire::SsiItem>& list,
                                           std::atomic<bool>& online, const std::string& uin)
{
    auto awaitingReady = std::make_shared<std::atomic<bool>>(false);
    bos.Ignore([awaitingReady](const Frame& frame) { return *awaitingReady && !frame.IsSnac(0x01, 0x02); });
    std::atomic<bool>* isOnline = &online;
    return ScriptIcqBosToList(bos, [isOnline] { *isOnline = false; })
        .Send([awaitingReady, list] {
            *awaitingReady = true;
            return OscarWire::SsiReply(list, 1234);
        })
        .ExpectSnac(0x01, 0x02)
        .Send([awaitingReady, isOnline, uin] {
            *awaitingReady = false;
            *isOnline = true;
            return OscarWire::OwnInfo(uin);
        });
}

CScriptedOscarServer& ScriptIcqBosToOnlineWithOwnList(CScriptedOscarServer& bos, std::atomic<bool>& online,
                                                      const std::string& uin)
{
    auto awaitingReady = std::make_shared<std::atomic<bool>>(false);
    bos.Ignore([awaitingReady](const Frame& frame) { return *awaitingReady && !frame.IsSnac(0x01, 0x02); });
    std::atomic<bool>* isOnline = &online;
    return ScriptIcqBosToRights(bos, [isOnline] { *isOnline = false; }, [awaitingReady] { *awaitingReady = true; })
        .ExpectSnac(0x01, 0x02)
        .Send([awaitingReady, isOnline, uin] {
            *awaitingReady = false;
            *isOnline = true;
            return OscarWire::OwnInfo(uin);
        });
}
