// A folder tree for one test under the temporary folder: folders and files
// made by path, everything removed at the end.
#pragma once

#include <windows.h>

#include <string>

#include "JOVString.h"

class CTestTree {
public:
    CTestTree()
    {
        static int counter = 0;
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, temp);
        m_root = std::wstring(temp) + L"jov_tree_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                 std::to_wstring(++counter);
        CreateDirectoryW(m_root.c_str(), nullptr);
    }
    ~CTestTree() { Remove(m_root); }
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
        HANDLE file = CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
        CloseHandle(file);
        return ok;
    }
    bool Exists(const std::wstring& relative) const
    {
        return GetFileAttributesW(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    static void Remove(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring path = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Remove(path);
                } else {
                    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

private:
    std::wstring m_root;
};
