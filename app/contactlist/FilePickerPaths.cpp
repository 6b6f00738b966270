#include "contactlist/FilePickerPaths.h"

#include <cstdio>

namespace {

const size_t kDriveRootLength = 3;

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

std::wstring FileSizeText(unsigned long bytes)
{
    wchar_t text[32];
    if (bytes <= 1024)
        swprintf(text, 32, L"%lu", bytes);
    else if (bytes <= 1048576)
        swprintf(text, 32, L"%.2fK", static_cast<double>(static_cast<float>(bytes) / 1024.0f));
    else
        swprintf(text, 32, L"%.2fM", static_cast<double>(static_cast<float>(bytes) / 1048576.0f));
    return text;
}

std::wstring FileDateText(int year, int month, int day, int hour, int minute)
{
    wchar_t text[32];
    swprintf(text, 32, L"%04d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
    return text;
}

size_t RootLength(const std::wstring& folder)
{
    if (folder.size() >= kDriveRootLength && IsDriveLetter(folder[0]) && folder[1] == L':' && folder[2] == L'\\')
        return kDriveRootLength;
    return 0;
}

std::wstring RootOf(const std::wstring& programFolder)
{
    return RootLength(programFolder) ? programFolder.substr(0, kDriveRootLength) : std::wstring(L"C:\\");
}

std::wstring NormalizeFolder(const std::wstring& folder, const std::wstring& programFolder)
{
    std::wstring result = folder;
    if (!result.empty() && result[0] == L'\\' && (result.size() == 1 || result[1] != L'\\'))
        result = RootOf(programFolder).substr(0, 2) + result;
    if (!RootLength(result))
        return std::wstring();
    if (result.back() != L'\\')
        result += L'\\';
    return result.size() < kMaxPathChars ? result : std::wstring();
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t last = path.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

std::vector<std::wstring> PathBoxEntries(const std::wstring& folder)
{
    std::vector<std::wstring> entries(1, L"\\");
    const size_t root = RootLength(folder);
    size_t start = root;
    int depth = 0;
    while (root && start < folder.size()) {
        const size_t end = folder.find(L'\\', start);
        if (end == std::wstring::npos)
            break;
        ++depth;
        entries.push_back(std::wstring(2 * static_cast<size_t>(depth), L' ') + folder.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

std::wstring FolderAtEntry(const std::wstring& folder, int index)
{
    // Cut after the (index + 1)-th backslash; the root's is the first.
    size_t at = 0;
    for (int seen = 0; seen <= index; ++seen) {
        at = folder.find(L'\\', seen == 0 ? 0 : at + 1);
        if (at == std::wstring::npos)
            return folder;
    }
    return folder.substr(0, at + 1);
}

std::wstring ParentFolder(const std::wstring& folder)
{
    const size_t root = RootLength(folder);
    if (folder.size() <= root)
        return folder;
    const size_t last = folder.rfind(L'\\', folder.size() - 2);
    if (last == std::wstring::npos || last + 1 < root)
        return folder.substr(0, root);
    return folder.substr(0, last + 1);
}

bool ChildFolder(const std::wstring& folder, const std::wstring& name, std::wstring* out)
{
    if (folder.size() + name.size() + 1 >= kMaxPathChars)
        return false;
    *out = folder + name + L"\\";
    return true;
}

bool JoinFileName(const std::wstring& folder, const std::wstring& name, std::wstring* out)
{
    if (folder.size() + name.size() >= kMaxPathChars)
        return false;
    *out = folder + name;
    return true;
}

std::vector<std::wstring> SplitFilters(const std::wstring& list)
{
    std::vector<std::wstring> filters;
    size_t start = 0;
    for (size_t end = list.find(L';'); end != std::wstring::npos; end = list.find(L';', start)) {
        filters.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return filters;
}

std::wstring NameWithExtension(const std::wstring& name, const std::wstring& filter)
{
    if (filter.size() < 2)
        return name;
    const std::wstring extension = filter.substr(1);
    const size_t size = extension.size();
    if (name.size() >= size && name.compare(name.size() - size, size, extension) == 0)
        return name;
    return name + extension;
}

bool IsValidFileName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..")
        return false;
    for (wchar_t c : name) {
        if (c < 32 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos)
            return false;
    }
    return true;
}

bool NameBefore(const std::wstring& a, const std::wstring& b)
{
    return a.compare(b) < 0;
}
