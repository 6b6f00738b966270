// A program folder of its own for one test, under the temporary folder, with
// sound schemes written into "Sounds"; removed with everything in it.
#pragma once

#include <windows.h>

#include <string>

#include "JOVString.h"
#include "support/TestFolders.h"

class CProgramFolder {
public:
    CProgramFolder() : m_path(MakeTempFolder(L"alerts") + L"\\") {}
    ~CProgramFolder() { RemoveTree(m_path.substr(0, m_path.size() - 1)); }
    CProgramFolder(const CProgramFolder&) = delete;
    CProgramFolder& operator=(const CProgramFolder&) = delete;

    // With its trailing backslash, as GetAppDir gives it.
    CJOVString Path() const { return CJOVString(m_path.c_str()); }
    std::wstring Str() const { return m_path; }
    std::wstring SchemeFolder(const std::wstring& scheme) const { return m_path + L"Sounds\\" + scheme + L"\\"; }

    // Writes "Sounds\<scheme>\_sounds.ini" with exactly these bytes.
    void AddScheme(const std::wstring& scheme, const std::string& ini) const
    {
        CreateDirectoryW((m_path + L"Sounds").c_str(), nullptr);
        CreateDirectoryW(SchemeFolder(scheme).c_str(), nullptr);
        WriteFile(SchemeFolder(scheme) + L"_sounds.ini", ini);
    }

    static void WriteFile(const std::wstring& path, const std::string& bytes)
    {
        WriteWholeFile(path, bytes.data(), bytes.size());
    }

private:
    std::wstring m_path;
};

// The usual scheme: four entries with CR LF line ends.
inline std::string SchemeIni(const char* a = "start.wav", const char* b = "in.wav", const char* c = "out.wav",
                             const char* d = "online.wav")
{
    return std::string("[Sounds]\r\nStartup=") + a + "\r\nIncoming=" + b + "\r\nSent=" + c + "\r\nOnline=" + d +
           "\r\n";
}
