// The name=value lines the XMPP servers' script wrote of what it started
// (ports, users, the authority's certificate), read by the benchmarks that
// log in to them.
#pragma once

#include <fstream>
#include <map>
#include <string>

inline std::map<std::string, std::string> ReadServers(const wchar_t* path)
{
    std::map<std::string, std::string> values;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}
