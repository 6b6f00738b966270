// One connection of a login as the scripted server saw it: the frames it sent
// and, in the order it read them, the frames the client sent. Recorded while
// the account logs in, then played to the raw client, so that both read the
// same frames.
//
// Recorded on the server's thread; read once the server has ended.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "ScriptedOscarServer.h"

class CLoginTranscript {
public:
    struct Exchange {
        bool fromServer;
        OscarWire::Frame frame;
    };

    // Script steps that record: a frame sent, and a client frame read that
    // must be this SNAC (family 0: any frame of that channel).
    CScriptedOscarServer::FrameMaker Sent(const OscarWire::Frame& frame, std::function<void()> then = nullptr);
    CScriptedOscarServer::FrameCheck Read(unsigned int channel, unsigned int family = 0, unsigned int subtype = 0);
    // For a client frame the script lets pass (an Ignore match).
    void RecordRead(const OscarWire::Frame& frame);

    // What the client sent after the server's last frame is no part of the
    // login: dropped, so the raw client stops where the login ends.
    void EndAtLastServerFrame();
    const std::vector<Exchange>& Exchanges() const { return m_exchanges; }

    // Scripts the server to play this connection again: accept, the same
    // frames in the same order, any client frame where one was read, then
    // wait for the close. started runs as the first frame goes out.
    void Replay(CScriptedOscarServer& server, std::function<void()> started = nullptr) const;

private:
    void Add(bool fromServer, const OscarWire::Frame& frame);

    std::mutex m_lock;
    std::vector<Exchange> m_exchanges;
};
