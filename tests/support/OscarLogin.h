// The steps every ICQ login takes on the scripted servers, written once: the
// login server's MD5 login that sends the client on to the BOS server, and the
// BOS server's negotiation up to the client's request for its list. A test
// goes on from there with its own list, statuses and messages.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ScriptedOscarServer.h"

// Accepts the client, checks that it logs in as uin with the MD5 digest of
// password, and sends it on to the BOS server on 127.0.0.1:bosPort.
CScriptedOscarServer& ScriptIcqLogin(CScriptedOscarServer& login, unsigned short bosPort,
                                     const std::string& uin = "123456", const std::string& password = "secret");

// Accepts the client, checks the login's cookie and negotiates families, rates
// and rights up to the list rights (0x13/0x03). onHello runs as the first frame
// goes out, where a server that plays several logins resets its state; onRights
// as the rights go out.
CScriptedOscarServer& ScriptIcqBosToRights(CScriptedOscarServer& bos, std::function<void()> onHello = {},
                                           std::function<void()> onRights = {});

// The same, then the list request (0x13/0x04).
CScriptedOscarServer& ScriptIcqBosToList(CScriptedOscarServer& bos, std::function<void()> onHello = {});

// The same, then on to Online: the list, the client's ready (whatever else it
// sends meanwhile is skipped) and its own information, online. online is false
// from the hello and true once that went out; what the client sends from then
// on is the caller's to skip or expect.
CScriptedOscarServer& ScriptIcqBosToOnline(CScriptedOscarServer& bos, const std::vector<OscarWire::SsiItem>& list,
                                           std::atomic<bool>& online, const std::string& uin = "123456");

// On to Online for a client that keeps its list itself ("Load cl" off): after
// the rights it asks for no list, and its ready is awaited as above.
CScriptedOscarServer& ScriptIcqBosToOnlineWithOwnList(CScriptedOscarServer& bos, std::atomic<bool>& online,
                                                      const std::string& uin = "123456");
