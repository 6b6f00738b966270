// Folders and files the tests make, copy and remove: temporary folders of
// their own, copies of the runnable tree, whole files read and written.
// Paths go without a trailing backslash.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder of this test program (the runnable tree).
inline std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// A new folder under the temporary folder, named for the tag, this process
// and a count, so that tests and test programs running at once never share one.
inline std::wstring MakeTempFolder(const wchar_t* tag)
{
    static int counter = 0;
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"jov_" + tag + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                          std::to_wstring(++counter);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

inline bool IsDotsEntry(const WIN32_FIND_DATAW& found)
{
    return lstrcmpW(found.cFileName, L".") == 0 || lstrcmpW(found.cFileName, L"..") == 0;
}

// The folder with everything in it, read-only files too.
inline void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotsEntry(found))
                continue;
            std::wstring path = folder + L"\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A folder with everything below it.
inline bool CopyFolder(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool copied = true;
    do {
        if (IsDotsEntry(found))
            continue;
        std::wstring source = from + L"\\" + found.cFileName, target = to + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copied = CopyFolder(source, target) && copied;
        else
            copied = CopyFileW(source.c_str(), target.c_str(), FALSE) && copied;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copied;
}

// JOV.exe and the libraries beside it, into an existing folder; without
// "Protos" the program has no plug-ins.
inline bool CopyProgram(const std::wstring& from, const std::wstring& to)
{
    std::vector<std::wstring> names = {L"JOV.exe"};
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*.dll").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const std::wstring& name : names) {
        if (!CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE))
            return false;
    }
    return true;
}

// The whole file; empty when it cannot be read.
inline std::vector<unsigned char> ReadWholeFile(const std::wstring& path)
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

// Makes or replaces the file with exactly these bytes.
inline bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size,
                           DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = size == 0 || (WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
    CloseHandle(file);
    return ok;
}
