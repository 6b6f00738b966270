// What a test fixture's script wrote of the loopback peers it started, in the
// file an environment variable names: name=value lines (ports, users, and the
// certificate of the fixture's own authority under "ca").
#pragma once

#include <map>
#include <string>

class CPeerFile {
public:
    // Null when the variable is not set (the program was run by hand). The
    // authority named under "ca" is trusted from then on.
    static const CPeerFile* Load(const char* variable);

    int Port(const std::string& name) const;
    std::wstring Text(const std::string& name) const;

private:
    std::map<std::string, std::string> m_values;
};
