#include <new>

#include "core/skins/SkinFolders.h"

#include <windows.h>

#include <cwchar>

namespace Skins {

namespace {

const wchar_t* CopyName(const wchar_t* name, size_t length)
{
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy) {
        std::wmemcpy(copy, name, length);
        copy[length] = 0;
    }
    return copy;
}

void Append(CJOVArray<const wchar_t*>& out, const wchar_t* name, size_t length)
{
    const wchar_t* copy = CopyName(name, length);
    if (copy && out.Append(copy) < 0)
        delete[] copy;
}

// Every sub-folder of folder that holds the file marker.
BOOL ListFoldersWith(CJOVArray<const wchar_t*>& out, const CJOVString& folder, const wchar_t* marker)
{
    CJOVString pattern = folder + CJOVString(L"*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !std::wcscmp(found.cFileName, L".") ||
            !std::wcscmp(found.cFileName, L".."))
            continue;
        if (FileExists(folder + CJOVString(found.cFileName) + CJOVString(L"\\") + CJOVString(marker)))
            Append(out, found.cFileName, std::wcslen(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return TRUE;
}

} // namespace

bool FileExists(const CJOVString& path)
{
    CJOVString name(path);
    DWORD attributes = GetFileAttributesW(name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL ListSkins(CJOVArray<const wchar_t*>& out, const CJOVString& appDir)
{
    return ListFoldersWith(out, appDir + CJOVString(L"Skins\\"), L"icolors.ini");
}

BOOL ListSmiliesPacks(CJOVArray<const wchar_t*>& out, const CJOVString& appDir)
{
    return ListFoldersWith(out, appDir + CJOVString(L"Smilies\\"), L"_define.ini");
}

BOOL ListLanguages(CJOVArray<const wchar_t*>& out, const CJOVString& appDir)
{
    CJOVString pattern = appDir + CJOVString(L"Langs\\JOV_*.dll");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL any = FALSE;
    const size_t prefix = 4, suffix = 4;  // "JOV_", ".dll"
    do {
        size_t length = std::wcslen(found.cFileName);
        // The pattern also matches short names and "*.dllx"; take the exact shape only.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY || length <= prefix + suffix ||
            _wcsnicmp(found.cFileName, L"JOV_", prefix) != 0 ||
            _wcsicmp(found.cFileName + length - suffix, L".dll") != 0)
            continue;
        Append(out, found.cFileName + prefix, length - prefix - suffix);
        any = TRUE;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return any;
}

void FreeNameList(CJOVArray<const wchar_t*>& names)
{
    for (int i = 0; i < names.Count(); ++i)
        delete[] names[i];
    names.RemoveAll();
}

} // namespace Skins
