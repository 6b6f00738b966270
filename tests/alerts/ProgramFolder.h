// A program folder of its own for one test, under the temporary folder, with
// sound schemes written into "Sounds"; removed with everything in it.
#pragma once

#include <windows.h>

#include <string>

#include "JOVString.h"

class CProgramFolder {
public:
    CProgramFolder()
    {
        static int counter = 0;
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"jov_alerts_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                 std::to_wstring(++counter) + L"\\";
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
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
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (!bytes.empty())
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring path = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
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
