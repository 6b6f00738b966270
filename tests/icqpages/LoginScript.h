// One ICQ login as the scripted OSCAR servers play it: the login server
// checks the MD5 login of the UIN and sends the client on to the BOS server,
// which brings it up to the roster and then records every frame until the
// client closes. Appended to the servers' scripts, so that one pair of
// servers can play several logins in turn.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "ScriptedOscarServer.h"

// One per pair of servers, for all the logins they play.
struct LoginSession {
    bool scripted = false;
    // Set once the roster is sent: the BOS server then takes whatever comes.
    std::atomic<bool> afterRoster{false};
    // How many client frames the BOS server had when the roster went out.
    std::atomic<size_t> rosterFrames{0};
};

void AppendLogin(CScriptedOscarServer& login, CScriptedOscarServer& bos, const std::string& uin,
                 const std::string& password, const std::vector<OscarWire::SsiItem>& roster, LoginSession& session);
// The privacy item the account wants for Online, so that it adds none.
OscarWire::SsiItem OnlinePrivacyItem();
