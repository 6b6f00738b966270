// The baseline of the login benchmark: a client that plays its side of a
// recorded login on plain blocking sockets, reading every server frame whole
// and sending the recorded client frames, and does nothing with what it reads.
#pragma once

#include <utility>
#include <vector>

#include "LoginTranscript.h"

class CRawOscarClient {
public:
    typedef std::vector<std::pair<unsigned short, const CLoginTranscript*>> Connections;

    // Plays the connections in turn, each against the server on its port of
    // 127.0.0.1. Answers when the last server frame was read (NowMs), or a
    // negative value when a connection failed.
    static double Play(const Connections& connections);
};
