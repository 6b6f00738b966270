// The file picker's work on names and paths, apart from its window. A folder
// always ends with a backslash and begins with its drive's root ("C:\"); the
// root of the drive that holds the program stands for the device's single
// root "\", so every path the picker hands out opens as it is.
#pragma once

#include <string>
#include <vector>

// What a full path may hold, its terminating zero included.
inline constexpr size_t kMaxPathChars = 260;

// 1024 bytes "1024", 1025 "1.00K", 1048576 "1024.00K", one more "1.00M".
std::wstring FileSizeText(unsigned long bytes);
// "2024/03/09 07:05".
std::wstring FileDateText(int year, int month, int day, int hour, int minute);

// Length of the folder's root ("C:\" is 3); 0 when it has none.
size_t RootLength(const std::wstring& folder);
// The program's drive root, "C:\" for a program in C:\Program Files\JOV\.
std::wstring RootOf(const std::wstring& programFolder);
// A folder as the picker keeps it: a device-style "\a\b" goes onto the
// program's drive; a trailing backslash is added. Empty when the result has
// no root or would not fit kMaxPathChars.
std::wstring NormalizeFolder(const std::wstring& folder, const std::wstring& programFolder);
// Everything up to and including the last backslash; empty when there is none.
std::wstring FolderOf(const std::wstring& path);

// The path box: "\" for the root, then each folder below it at depth d
// after 2 x d spaces.
std::vector<std::wstring> PathBoxEntries(const std::wstring& folder);
// The folder of path box entry index (0 the root).
std::wstring FolderAtEntry(const std::wstring& folder, int index);
// One level up; the root stays.
std::wstring ParentFolder(const std::wstring& folder);
// folder + name + "\"; false when that would not fit kMaxPathChars.
bool ChildFolder(const std::wstring& folder, const std::wstring& name, std::wstring* out);
// folder + name; false when that would not fit kMaxPathChars.
bool JoinFileName(const std::wstring& folder, const std::wstring& name, std::wstring* out);

// The pieces of "*.wav;*.mp3;" that end with ";".
std::vector<std::wstring> SplitFilters(const std::wstring& list);
// name, with the filter's extension (".txt" of "*.txt") added unless it
// already ends with it.
std::wstring NameWithExtension(const std::wstring& name, const std::wstring& filter);
// False for an empty name, wildcards, path separators and the other
// characters no file name may hold.
bool IsValidFileName(const std::wstring& name);
// Case-sensitive by code units: "B" before "a".
bool NameBefore(const std::wstring& a, const std::wstring& b);
