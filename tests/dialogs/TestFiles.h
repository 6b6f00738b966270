// A folder tree for one test under the temporary folder: folders and files
// made by path, everything removed at the end.
#pragma once

#include <windows.h>

#include <string>

#include "JOVString.h"
#include "support/TestFolders.h"

class CTestTree {
public:
    CTestTree() : m_root(MakeTempFolder(L"tree")) {}
    ~CTestTree() { RemoveTree(m_root); }
    CTestTree(const CTestTree&) = delete;
    CTestTree& operator=(const CTestTree&) = delete;

    // The tree's folder with its trailing backslash.
    std::wstring Folder() const { return m_root + L"\\"; }
    std::wstring Path(const std::wstring& relative) const { return Folder() + relative; }
    CJOVString Jov(const std::wstring& relative = L"") const { return CJOVString(Path(relative).c_str()); }

    bool MakeFolder(const std::wstring& relative) const
    {
        return CreateDirectoryW(Path(relative).c_str(), nullptr) != 0;
    }
    bool Write(const std::wstring& relative, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        return WriteWholeFile(Path(relative), bytes.data(), bytes.size(), attributes);
    }
    bool Exists(const std::wstring& relative) const
    {
        return GetFileAttributesW(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::wstring m_root;
};
