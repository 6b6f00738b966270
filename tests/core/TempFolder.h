// A fresh folder under the temporary folder for one test, removed with its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "JOVString.h"

class CTempFolder {
public:
    CTempFolder()
    {
        static int counter = 0;
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"jov_core_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                 std::to_wstring(++counter);
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CTempFolder()
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((m_path + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(m_path.c_str());
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }
    CJOVString Path(const wchar_t* name) const { return CJOVString(File(name).c_str()); }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    static std::vector<unsigned char> Read(const std::wstring& path)
    {
        std::vector<unsigned char> bytes;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return bytes;
        unsigned char chunk[4096];
        DWORD got = 0;
        while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        CloseHandle(file);
        return bytes;
    }

    static void Write(const std::wstring& path, const std::vector<unsigned char>& bytes)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (!bytes.empty())
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

private:
    std::wstring m_path;
};
