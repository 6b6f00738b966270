// The loopback peers that the test fixture started (peers/peers.sh): their
// ports and credentials, read from the file named by JOV_PEERS.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

class CPeers {
public:
    // Null when the peers were not started (the program was run by hand).
    static const CPeers* Get();

    int Port(const std::string& name) const;
    std::wstring Text(const std::string& name) const;

private:
    std::map<std::string, std::string> m_values;
};

// Skips the test when the peers are not there; `peers` names them.
#define REQUIRE_PEERS(peers)                                                                      \
    const CPeers* peers = CPeers::Get();                                                          \
    if (!peers)                                                                                   \
        GTEST_SKIP() << "loopback peers not started: run through ctest (JOV_PEERS is not set)";
