#include "sockets/Peers.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "SecureSocket.h"

const CPeers* CPeers::Get()
{
    static const CPeers* peers = []() -> const CPeers* {
        char path[1024];
        DWORD n = GetEnvironmentVariableA("JOV_PEERS", path, sizeof path);
        if (n == 0 || n >= sizeof path)
            return nullptr;
        std::ifstream file(path);
        // Started by ctest but missing: a fault of the fixture, not a reason to skip.
        EXPECT_TRUE(file.good()) << "no peers file at " << path;
        CPeers* loaded = new CPeers();
        std::string line;
        while (std::getline(file, line)) {
            size_t eq = line.find('=');
            if (eq != std::string::npos)
                loaded->m_values[line.substr(0, eq)] = line.substr(eq + 1);
        }
        // The TLS peers' certificates come from the fixture's own authority.
        std::ifstream ca(loaded->m_values["ca"], std::ios::binary);
        std::vector<char> der((std::istreambuf_iterator<char>(ca)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(!der.empty() && SecureSockets::AddTrustedRoot(reinterpret_cast<const BYTE*>(der.data()),
                                                                  static_cast<DWORD>(der.size())))
            << "the test authority is not trusted";
        return loaded;
    }();
    return peers;
}

int CPeers::Port(const std::string& name) const
{
    auto found = m_values.find(name);
    EXPECT_NE(found, m_values.end()) << "no peer " << name;
    return found == m_values.end() ? 0 : std::stoi(found->second);
}

std::wstring CPeers::Text(const std::string& name) const
{
    auto found = m_values.find(name);
    EXPECT_NE(found, m_values.end()) << "no value " << name;
    return found == m_values.end() ? std::wstring() : std::wstring(found->second.begin(), found->second.end());
}
