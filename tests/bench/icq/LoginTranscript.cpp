#include "LoginTranscript.h"

using OscarWire::Frame;

void CLoginTranscript::Add(bool fromServer, const Frame& frame)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_exchanges.push_back({fromServer, frame});
}

CScriptedOscarServer::FrameMaker CLoginTranscript::Sent(const Frame& frame, std::function<void()> then)
{
    return [this, frame, then] {
        Add(true, frame);
        if (then)
            then();
        return frame;
    };
}

CScriptedOscarServer::FrameCheck CLoginTranscript::Read(unsigned int channel, unsigned int family,
                                                         unsigned int subtype)
{
    return [this, channel, family, subtype](const Frame& frame, std::string& why) {
        Add(false, frame);
        const bool right = family ? frame.IsSnac(family, subtype) : frame.channel == channel;
        if (!right)
            why = "not the frame of this step";
        return right;
    };
}

void CLoginTranscript::RecordRead(const Frame& frame)
{
    Add(false, frame);
}

void CLoginTranscript::EndAtLastServerFrame()
{
    std::lock_guard<std::mutex> hold(m_lock);
    while (!m_exchanges.empty() && !m_exchanges.back().fromServer)
        m_exchanges.pop_back();
}

void CLoginTranscript::Replay(CScriptedOscarServer& server, std::function<void()> started) const
{
    server.Accept();
    bool first = true;
    for (const Exchange& exchange : m_exchanges) {
        if (exchange.fromServer) {
            const Frame frame = exchange.frame;
            std::function<void()> onSend = first ? started : nullptr;
            server.Send([frame, onSend] {
                if (onSend)
                    onSend();
                return frame;
            });
            first = false;
        } else {
            server.Expect("a client frame", [](const Frame&, std::string&) { return true; });
        }
    }
    server.ExpectClosed();
}
