#include "icqpages/LoginScript.h"

#include "OscarLogin.h"

using OscarWire::Frame;

void AppendLogin(CScriptedOscarServer& login, CScriptedOscarServer& bos, const std::string& uin,
                 const std::string& password, const std::vector<OscarWire::SsiItem>& roster, LoginSession& session)
{
    ScriptIcqLogin(login, bos.GetPort(), uin, password);
    LoginSession* state = &session;
    CScriptedOscarServer* server = &bos;
    if (!session.scripted)
        bos.Ignore([state](const Frame&) { return state->afterRoster.load(); });
    session.scripted = true;
    ScriptIcqBosToList(bos, [state] { state->afterRoster = false; })
        .Send([state, server, roster]() {
            state->rosterFrames = server->Received().size();
            state->afterRoster = true;
            return OscarWire::SsiReply(roster, 1234);
        })
        .Send(OscarWire::OwnInfo(uin))
        .ExpectClosed();
}

OscarWire::SsiItem OnlinePrivacyItem()
{
    OscarWire::Builder tlvs;
    tlvs.Tlv(0x00CA, OscarWire::Bytes{4}).Tlv32(0x00CB, 0xFFFFFFFF);
    return {"", 0, 77, 4, tlvs.Get()};
}
