#include "core/settings/SettingsFile.h"

#include <cstdlib>

namespace Database {

namespace {

const wchar_t kFileName[] = L"settings.jov";
const wchar_t kNewFileSuffix[] = L".new";

bool ReadAll(HANDLE file, unsigned char* bytes, unsigned count)
{
    while (count > 0) {
        DWORD got = 0;
        if (!ReadFile(file, bytes, count, &got, nullptr) || got == 0)
            return false;
        bytes += got;
        count -= got;
    }
    return true;
}

class CFileHandle {
public:
    explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool Close()
    {
        bool closed = true;
        if (IsOpen())
            closed = CloseHandle(m_handle) != FALSE;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

} // namespace

CJOVString CSettingsFile::DefaultPath()
{
    CJOVString folder = GetAppDir();
    if (folder.GetLength() == 0)
        return CJOVString();
    return folder + CJOVString(kFileName);
}

CSettingsFile::CSettingsFile(const CJOVString& path, WriteFileFn writeFile)
    : m_path(path), m_writeFile(writeFile ? writeFile : ::WriteFile)
{
}

bool CSettingsFile::Load(SectionMap& sections) const
{
    if (m_path.GetLength() == 0)
        return false;
    CJOVString path(m_path);
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return false;
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file.Get(), &fileSize))
        return false;
    unsigned long long left = static_cast<unsigned long long>(fileSize.QuadPart);
    unsigned char header[NamedValue::kMaxNameBytes + 4];
    for (;;) {
        unsigned char nameBytes = 0;
        if (!ReadAll(file.Get(), &nameBytes, 1))
            break;
        if (!ReadAll(file.Get(), header, nameBytes + 4u))
            break;
        const unsigned dataBytes = static_cast<unsigned>(header[nameBytes]) |
                                   static_cast<unsigned>(header[nameBytes + 1]) << 8 |
                                   static_cast<unsigned>(header[nameBytes + 2]) << 16 |
                                   static_cast<unsigned>(header[nameBytes + 3]) << 24;
        left = left > 5u + nameBytes ? left - (5u + nameBytes) : 0;
        // A length beyond the file's end is a cut record: nothing to allocate for it.
        if (dataBytes > left)
            break;
        unsigned char* data = static_cast<unsigned char*>(std::malloc(dataBytes ? dataBytes : 1));
        if (!data)
            break;
        if (!ReadAll(file.Get(), data, dataBytes)) {
            std::free(data);
            break;
        }
        left -= dataBytes;
        const CJOVString key(header, nameBytes, CP_UTF8);
        sections[key].Unpack(data, dataBytes);
        std::free(data);
    }
    return true;
}

bool CSettingsFile::WriteAll(HANDLE file, const unsigned char* bytes, unsigned count) const
{
    while (count > 0) {
        DWORD written = 0;
        if (!m_writeFile(file, bytes, count, &written, nullptr) || written == 0 || written > count)
            return false;
        bytes += written;
        count -= written;
    }
    return true;
}

bool CSettingsFile::Save(const SectionMap& sections) const
{
    if (m_path.GetLength() == 0)
        return false;
    CJOVString path(m_path);
    CJOVString newPath = m_path + CJOVString(kNewFileSuffix);
    CFileHandle file(CreateFileW(newPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!file.IsOpen())
        return false;
    bool written = true;
    for (auto it = sections.begin(); written && it != sections.end(); ++it) {
        // A section that cannot be packed (memory, or beyond 32 bits) is left out.
        const unsigned size = it->second.GetPackedSize();
        unsigned char* packed = static_cast<unsigned char*>(std::malloc(size ? size : 1));
        if (!packed)
            continue;
        if (it->second.Pack(packed, size) == size) {
            const NamedValue section(it->first, packed, size);
            const unsigned recordSize = section.GetPackedSize();
            unsigned char* record =
                recordSize && section.GetSize() == size ? static_cast<unsigned char*>(std::malloc(recordSize)) : nullptr;
            if (record && section.Pack(record, recordSize) == recordSize)
                written = WriteAll(file.Get(), record, recordSize);
            std::free(record);
        }
        std::free(packed);
    }
    written = written && FlushFileBuffers(file.Get());
    written = file.Close() && written;
    if (!written || !MoveFileExW(newPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(newPath);
        return false;
    }
    return true;
}

} // namespace Database
