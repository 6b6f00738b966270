#include "PeerFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "SecureSocket.h"

const CPeerFile* CPeerFile::Load(const char* variable)
{
    char path[1024];
    DWORD n = GetEnvironmentVariableA(variable, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return nullptr;
    std::ifstream file(path);
    // Started by ctest but missing: a fault of the fixture, not a reason to skip.
    EXPECT_TRUE(file.good()) << "no peers file at " << path;
    auto* loaded = new CPeerFile();
    std::string line;
    while (std::getline(file, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            loaded->m_values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    std::ifstream ca(loaded->m_values["ca"], std::ios::binary);
    std::vector<char> der((std::istreambuf_iterator<char>(ca)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(!der.empty() && SecureSockets::AddTrustedRoot(reinterpret_cast<const BYTE*>(der.data()),
                                                              static_cast<DWORD>(der.size())))
        << "the authority of " << path << " is not trusted";
    return loaded;
}

int CPeerFile::Port(const std::string& name) const
{
    auto found = m_values.find(name);
    EXPECT_NE(found, m_values.end()) << "no peer " << name;
    return found == m_values.end() ? 0 : std::stoi(found->second);
}

std::wstring CPeerFile::Text(const std::string& name) const
{
    auto found = m_values.find(name);
    EXPECT_NE(found, m_values.end()) << "no value " << name;
    return found == m_values.end() ? std::wstring() : std::wstring(found->second.begin(), found->second.end());
}
