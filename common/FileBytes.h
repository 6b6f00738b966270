// Reading a small file whole, as the skins, the smiley packs and the pictures
// are read: a file larger than the caller allows is refused rather than read
// into memory.
#pragma once

#include <windows.h>

#include <vector>

enum class FileBytesResult { Read, NotOpened, NotRead };

// Reads the file at path into bytes when it holds at most maxBytes.
inline FileBytesResult ReadFileBytes(const wchar_t* path, DWORD maxBytes, std::vector<unsigned char>& bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FileBytesResult::NotOpened;
    DWORD size = GetFileSize(file, nullptr);
    DWORD got = 0;
    bool ok = size != INVALID_FILE_SIZE && size <= maxBytes;
    if (ok) {
        bytes.resize(size);
        ok = size == 0 || (ReadFile(file, bytes.data(), size, &got, nullptr) && got == size);
    }
    CloseHandle(file);
    return ok ? FileBytesResult::Read : FileBytesResult::NotRead;
}
