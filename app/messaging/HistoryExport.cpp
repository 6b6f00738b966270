#include "messaging/HistoryExport.h"

#include <windows.h>

#include <vector>

int SaveTextAsUtf8(const CJOVString& path, const wchar_t* text, int length)
{
    std::vector<char> bytes = {'\xEF', '\xBB', '\xBF'};
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            bytes.resize(3 + static_cast<size_t>(size));
            WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data() + 3, size, nullptr, nullptr);
        }
    }
    CJOVString name = path;
    HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kExportCannotCreate;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const BOOL closed = CloseHandle(file);
    return wrote && closed && written == bytes.size() ? kExportOk : kExportShortWrite;
}
