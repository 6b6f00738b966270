// The fake sockets service reading what the ICQ account sent as FLAP frames.
#pragma once

#include "OscarWire.h"
#include "support/FakeSockets.h"

class CFakeOscarSockets : public CFakeSockets {
public:
    // Every frame sent, in order (the account sends one frame a call).
    std::vector<OscarWire::Frame> Sent()
    {
        std::vector<OscarWire::Frame> frames;
        for (const Bytes& bytes : SentBytes()) {
            OscarWire::Frame frame;
            if (bytes.size() >= 6) {
                frame.channel = bytes[1];
                frame.sequence = (bytes[2] << 8) | bytes[3];
                frame.payload.assign(bytes.begin() + 6, bytes.end());
            }
            frames.push_back(frame);
        }
        return frames;
    }
};
