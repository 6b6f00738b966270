#include "core/alerts/SoundSchemes.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

const char kHeader[] = "[Sounds]\r\n";
const int kHeaderLength = 10;

// One byte at a time, read from the file in blocks.
class CByteReader {
public:
    explicit CByteReader(HANDLE file) : m_file(file), m_next(0), m_filled(0) {}

    // False at the end of the file or on a read error.
    bool Next(unsigned char* byte)
    {
        if (m_next == m_filled) {
            DWORD got = 0;
            if (!ReadFile(m_file, m_block, sizeof(m_block), &got, nullptr) || got == 0)
                return false;
            m_next = 0;
            m_filled = got;
        }
        *byte = m_block[m_next++];
        return true;
    }

private:
    HANDLE m_file;
    unsigned char m_block[512];
    DWORD m_next;
    DWORD m_filled;
};

bool ReadEntries(CByteReader& reader, const CJOVString& schemeFolder, std::vector<CJOVString>* paths)
{
    for (int i = 0; i < kSchemeAlertCount; ++i) {
        unsigned char byte = 0;
        do {
            if (!reader.Next(&byte))
                return false;
        } while (byte != '=');
        if (!reader.Next(&byte))
            return false;
        std::wstring value;
        // Each byte is one character; the value ends before a CR or an LF.
        while (byte != '\r' && byte != '\n') {
            if (value.size() >= static_cast<size_t>(kMaxSchemeValueLength))
                return false;
            value += static_cast<wchar_t>(byte);
            if (!reader.Next(&byte))
                return false;
        }
        paths->push_back(schemeFolder + CJOVString(value.c_str()));
    }
    return true;
}

wchar_t* NewCopy(const CJOVString& text)
{
    int length = text.GetLength();
    wchar_t* copy = new wchar_t[length + 1];
    if (length > 0)
        wmemcpy(copy, text.Data(), length);
    copy[length] = 0;
    return copy;
}

} // namespace

CJOVString SoundSchemeFolder(const CJOVString& programFolder, const CJOVString& scheme)
{
    return programFolder + CJOVString(L"Sounds\\") + scheme + CJOVString(L"\\");
}

bool ReadSchemeFile(const CJOVString& schemeFolder, std::vector<CJOVString>* paths)
{
    CJOVString iniPath = schemeFolder + CJOVString(L"_sounds.ini");
    HANDLE file = CreateFileW(static_cast<wchar_t*>(iniPath), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CByteReader reader(file);
    bool headerOk = true;
    for (int i = 0; i < kHeaderLength && headerOk; ++i) {
        unsigned char byte = 0;
        headerOk = reader.Next(&byte) && byte == static_cast<unsigned char>(kHeader[i]);
    }
    bool read = headerOk && ReadEntries(reader, schemeFolder, paths);
    CloseHandle(file);
    return read;
}

bool ListSoundSchemes(CJOVArray<wchar_t*>* out)
{
    return ListSoundSchemes(out, GetAppDir());
}

bool ListSoundSchemes(CJOVArray<wchar_t*>* out, const CJOVString& programFolder)
{
    if (!out)
        return false;
    out->RemoveAll();
    CJOVString sounds = programFolder + CJOVString(L"Sounds\\");
    CJOVString pattern = sounds + CJOVString(L"*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(static_cast<wchar_t*>(pattern), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        bool dots = wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0;
        if (dots || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        CJOVString folder = sounds + CJOVString(found.cFileName);
        if (SoundSchemeExists(static_cast<wchar_t*>(folder)))
            out->Append(NewCopy(CJOVString(found.cFileName)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

bool ReadSoundScheme(const wchar_t* schemeName, CJOVArray<wchar_t*>* out)
{
    return ReadSoundScheme(schemeName, out, GetAppDir());
}

bool ReadSoundScheme(const wchar_t* schemeName, CJOVArray<wchar_t*>* out, const CJOVString& programFolder)
{
    if (!out)
        return false;
    out->RemoveAll();
    if (!schemeName)
        return false;
    std::vector<CJOVString> paths;
    bool read = ReadSchemeFile(SoundSchemeFolder(programFolder, CJOVString(schemeName)), &paths);
    for (const CJOVString& path : paths)
        out->Append(NewCopy(path));
    return read;
}

bool SoundSchemeExists(const wchar_t* folder)
{
    if (!folder)
        return false;
    std::wstring pattern = std::wstring(folder) + L"\\_sounds.ini";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}
