// A fresh folder under the temporary folder for one test, removed with its files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "JOVString.h"
#include "support/TestFolders.h"

class CTempFolder {
public:
    CTempFolder() : m_path(MakeTempFolder(L"core")) {}
    ~CTempFolder() { RemoveTree(m_path); }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    std::wstring File(const wchar_t* name) const { return m_path + L"\\" + name; }
    CJOVString Path(const wchar_t* name) const { return CJOVString(File(name).c_str()); }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    static std::vector<unsigned char> Read(const std::wstring& path) { return ReadWholeFile(path); }
    static void Write(const std::wstring& path, const std::vector<unsigned char>& bytes)
    {
        WriteWholeFile(path, bytes.data(), bytes.size());
    }

private:
    std::wstring m_path;
};
