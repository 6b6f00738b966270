// The loopback peers that the test fixture started (peers/peers.sh): their
// ports and credentials, read from the file named by JOV_PEERS.
#pragma once

#include <gtest/gtest.h>

#include "support/PeerFile.h"

// Null when the peers were not started (the program was run by hand).
inline const CPeerFile* LoopbackPeers()
{
    static const CPeerFile* peers = CPeerFile::Load("JOV_PEERS");
    return peers;
}

// Skips the test when the peers are not there; `peers` names them.
#define REQUIRE_PEERS(peers)                                                                      \
    const CPeerFile* peers = LoopbackPeers();                                                     \
    if (!peers)                                                                                   \
        GTEST_SKIP() << "loopback peers not started: run through ctest (JOV_PEERS is not set)";
