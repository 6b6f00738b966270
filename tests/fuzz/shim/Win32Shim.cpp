// The Win32 calls of windows.h and bcrypt.h, and the C library's wide-string
// functions for 16-bit wchar_t: glibc's own count 32-bit units, so these
// definitions take their place in every target (the build checks that no
// other wide function is left to glibc).
#include <windows.h>
#include <bcrypt.h>

#include <cctype>
#include <clocale>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MemoryFiles.h"

extern "C" {
long _dstbias = -3600;
}

namespace {

// Classification (iswalpha, towlower) by Unicode, as on Windows, and the
// time texts in a fixed form.
struct LocaleSetUp {
    LocaleSetUp()
    {
        std::setlocale(LC_ALL, "C.UTF-8");
        setenv("TZ", "UTC0", 1);
        tzset();
    }
} g_locale;

thread_local DWORD g_lastError = 0;

// ---- Code pages ----

const wchar_t kReplacement = 0xFFFD;

const unsigned short kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// 0x80-0x9F; the rest of the upper half is Latin-1.
const unsigned short kCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const unsigned short* SingleByteTable(UINT codePage)
{
    if (codePage == 1251)
        return kCp1251;
    if (codePage == 1252 || codePage == CP_ACP)
        return nullptr;  // Latin-1 with kCp1252 for 0x80-0x9F
    return nullptr;
}

bool KnownCodePage(UINT codePage)
{
    return codePage == CP_UTF8 || codePage == CP_ACP || codePage == 1251 || codePage == 1252;
}

wchar_t SingleByteUnit(UINT codePage, unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (const unsigned short* table = SingleByteTable(codePage))
        return static_cast<wchar_t>(table[byte - 0x80]);
    return static_cast<wchar_t>(byte < 0xA0 ? kCp1252[byte - 0x80] : byte);
}

// The byte of the unit in a single-byte code page, or '?' without one.
char SingleByteOf(UINT codePage, wchar_t unit, bool* defaulted)
{
    unsigned short u = static_cast<unsigned short>(unit);
    if (u < 0x80)
        return static_cast<char>(u);
    for (int b = 0x80; b < 0x100; ++b) {
        if (static_cast<unsigned short>(SingleByteUnit(codePage, static_cast<unsigned char>(b))) == u)
            return static_cast<char>(b);
    }
    *defaulted = true;
    return '?';
}

// UTF-8 into UTF-16; an ill-formed sequence gives one U+FFFD for its longest
// valid beginning. False (with the units so far) on the first one when strict.
bool DecodeUtf8(const unsigned char* bytes, size_t n, std::u16string& out, bool strict)
{
    size_t i = 0;
    while (i < n) {
        unsigned char b = bytes[i];
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        int need = 0;
        unsigned int cp = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            cp = b & 0x0F;
            if (b == 0xE0)
                low = 0xA0;
            if (b == 0xED)
                high = 0x9F;  // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            cp = b & 0x07;
            if (b == 0xF0)
                low = 0x90;
            if (b == 0xF4)
                high = 0x8F;
        } else {
            if (strict)
                return false;
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        size_t j = i + 1;
        int got = 0;
        for (; got < need && j < n; ++got, ++j) {
            unsigned char c = bytes[j];
            unsigned char lo = got == 0 ? low : 0x80;
            unsigned char hi = got == 0 ? high : 0xBF;
            if (c < lo || c > hi)
                break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (got < need) {
            if (strict)
                return false;
            out += static_cast<char16_t>(kReplacement);
            i = j;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i = j;
    }
    return true;
}

void EncodeUtf8(const wchar_t* units, size_t n, std::string& out)
{
    for (size_t i = 0; i < n; ++i) {
        unsigned int cp = static_cast<unsigned short>(units[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && static_cast<unsigned short>(units[i + 1]) >= 0xDC00 &&
            static_cast<unsigned short>(units[i + 1]) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<unsigned short>(units[i + 1]) - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
}

// ---- Files ----

std::u16string Key(const wchar_t* path)
{
    std::u16string key;
    for (; path && *path; ++path) {
        char16_t c = static_cast<char16_t>(*path);
        if (c == u'/')
            c = u'\\';
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        key += c;
    }
    return key;
}

// A file's bytes and the tick of its last change (its last write time).
struct FileData {
    std::vector<unsigned char> bytes;
    unsigned long long written = 0;
};
typedef std::shared_ptr<FileData> Content;

unsigned long long g_clock = 0;

Content NewContent()
{
    auto content = std::make_shared<FileData>();
    content->written = ++g_clock;
    return content;
}

struct OpenFile {
    std::u16string key;
    Content content;
    unsigned long long position = 0;
    bool canRead = false;
    bool canWrite = false;
};

struct Files {
    std::recursive_mutex lock;
    std::map<std::u16string, Content> byPath;
    std::map<HANDLE, std::unique_ptr<OpenFile>> open;
    intptr_t nextHandle = 0x1000;
};

Files& TheFiles()
{
    static Files files;
    return files;
}

OpenFile* FindOpen(Files& files, HANDLE handle)
{
    auto found = files.open.find(handle);
    return found == files.open.end() ? nullptr : found->second.get();
}

bool IsOpen(Files& files, const std::u16string& key)
{
    for (const auto& entry : files.open) {
        if (entry.second->key == key)
            return true;
    }
    return false;
}

BOOL Fail(DWORD error)
{
    g_lastError = error;
    return FALSE;
}

// ---- Pictures ----

struct DibSection {
    BITMAP shape;
    unsigned char* bits;
};

// ---- Wide formatting ----

// Formats one conversion into out; answers false for one it does not know.
bool FormatOne(std::u16string& out, const std::string& flags, char conversion, bool wide, va_list& args)
{
    char buffer[512];
    switch (conversion) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        // flags: the flags, width, precision and length as written.
        std::string narrow = "%" + flags + conversion;
        bool longLong = flags.find("ll") != std::string::npos || flags.find('z') != std::string::npos ||
                        flags.find('j') != std::string::npos;
        bool isLong = !longLong && flags.find('l') != std::string::npos;
        if (longLong)
            std::snprintf(buffer, sizeof buffer, narrow.c_str(), va_arg(args, long long));
        else if (isLong)
            std::snprintf(buffer, sizeof buffer, narrow.c_str(), va_arg(args, long));
        else
            std::snprintf(buffer, sizeof buffer, narrow.c_str(), va_arg(args, int));
        break;
    }
    case 'p':
        std::snprintf(buffer, sizeof buffer, "%p", va_arg(args, void*));
        break;
    case 'c':
        out += static_cast<char16_t>(wide ? va_arg(args, int) & 0xFFFF : va_arg(args, int) & 0xFF);
        return true;
    case 's': {
        if (wide) {
            const wchar_t* text = va_arg(args, const wchar_t*);
            for (; text && *text; ++text)
                out += static_cast<char16_t>(*text);
        } else {
            const char* text = va_arg(args, const char*);
            for (; text && *text; ++text)
                out += static_cast<char16_t>(static_cast<unsigned char>(*text));
        }
        return true;
    }
    default:
        return false;
    }
    for (const char* c = buffer; *c; ++c)
        out += static_cast<char16_t>(static_cast<unsigned char>(*c));
    return true;
}

int FormatWide(wchar_t* target, size_t size, const wchar_t* format, va_list args)
{
    std::u16string out;
    va_list ap;
    va_copy(ap, args);
    for (const wchar_t* f = format; f && *f; ++f) {
        if (*f != L'%') {
            out += static_cast<char16_t>(*f);
            continue;
        }
        ++f;
        if (*f == L'%') {
            out += u'%';
            continue;
        }
        std::string flags;
        while (*f && std::strchr("-+ #0123456789.*hlLqjzt", static_cast<int>(*f))) {
            if (*f == L'*')
                flags += std::to_string(va_arg(ap, int));
            else
                flags += static_cast<char>(*f);
            ++f;
        }
        if (!*f)
            break;
        char conversion = static_cast<char>(*f);
        bool wide = flags.find('l') != std::string::npos || conversion == 'S' || conversion == 'C';
        if (conversion == 'S' || conversion == 'C')
            conversion = static_cast<char>(conversion - 'A' + 'a');
        std::string numeric;
        for (char c : flags) {
            if (conversion == 's' || conversion == 'c') {
                if (c == 'l' || c == 'h')
                    continue;
            }
            numeric += c;
        }
        if (!FormatOne(out, numeric, conversion, wide, ap)) {
            va_end(ap);
            return -1;
        }
    }
    va_end(ap);
    if (!target || size == 0)
        return -1;
    if (out.size() >= size) {
        // C99: a text that does not fit is an error, with what fits written.
        std::memcpy(target, out.data(), (size - 1) * sizeof(wchar_t));
        target[size - 1] = 0;
        return -1;
    }
    std::memcpy(target, out.data(), out.size() * sizeof(wchar_t));
    target[out.size()] = 0;
    return static_cast<int>(out.size());
}

} // namespace

// ---- Text conversions ----

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int byteCount, wchar_t* units, int unitCount)
{
    if (!bytes || byteCount == 0 || unitCount < 0 || !KnownCodePage(codePage)) {
        g_lastError = 87;  // ERROR_INVALID_PARAMETER
        return 0;
    }
    size_t n = byteCount < 0 ? std::strlen(bytes) + 1 : static_cast<size_t>(byteCount);
    const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes);
    std::u16string out;
    if (codePage == CP_UTF8) {
        if (!DecodeUtf8(in, n, out, (flags & MB_ERR_INVALID_CHARS) != 0)) {
            g_lastError = 1113;  // ERROR_NO_UNICODE_TRANSLATION
            return 0;
        }
    } else {
        for (size_t i = 0; i < n; ++i)
            out += static_cast<char16_t>(SingleByteUnit(codePage, in[i]));
    }
    if (unitCount == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(unitCount)) {
        g_lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    std::memcpy(units, out.data(), out.size() * sizeof(wchar_t));
    return static_cast<int>(out.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, const wchar_t* units, int unitCount, char* bytes, int byteCount,
                        const char*, BOOL* usedDefault)
{
    if (!units || unitCount == 0 || byteCount < 0 || !KnownCodePage(codePage)) {
        g_lastError = 87;
        return 0;
    }
    size_t n = unitCount < 0 ? std::wcslen(units) + 1 : static_cast<size_t>(unitCount);
    std::string out;
    bool defaulted = false;
    if (codePage == CP_UTF8) {
        EncodeUtf8(units, n, out);
    } else {
        for (size_t i = 0; i < n; ++i)
            out += SingleByteOf(codePage, units[i], &defaulted);
    }
    if (usedDefault)
        *usedDefault = defaulted ? TRUE : FALSE;
    if (byteCount == 0)
        return static_cast<int>(out.size());
    if (out.size() > static_cast<size_t>(byteCount)) {
        g_lastError = 122;
        return 0;
    }
    std::memcpy(bytes, out.data(), out.size());
    return static_cast<int>(out.size());
}

DWORD CharLowerBuffW(wchar_t* text, DWORD length)
{
    for (DWORD i = 0; text && i < length; ++i)
        text[i] = static_cast<wchar_t>(towlower(static_cast<wint_t>(static_cast<unsigned short>(text[i]))));
    return length;
}

DWORD CharUpperBuffW(wchar_t* text, DWORD length)
{
    for (DWORD i = 0; text && i < length; ++i)
        text[i] = static_cast<wchar_t>(towupper(static_cast<wint_t>(static_cast<unsigned short>(text[i]))));
    return length;
}

// ---- Files ----

namespace MemoryFiles {

void Put(const wchar_t* path, const unsigned char* bytes, size_t length)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    Content content = NewContent();
    content->bytes.assign(bytes, bytes + length);
    files.byPath[Key(path)] = content;
}

void Put(const wchar_t* path, const std::vector<unsigned char>& bytes)
{
    Put(path, bytes.data(), bytes.size());
}

bool Get(const wchar_t* path, std::vector<unsigned char>* bytes)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    auto found = files.byPath.find(Key(path));
    if (found == files.byPath.end())
        return false;
    *bytes = found->second->bytes;
    return true;
}

bool Exists(const wchar_t* path)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    return files.byPath.count(Key(path)) != 0;
}

int Clear()
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    int leaked = static_cast<int>(files.open.size());
    files.open.clear();
    files.byPath.clear();
    return leaked;
}

std::vector<std::u16string> List()
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    std::vector<std::u16string> paths;
    for (const auto& entry : files.byPath)
        paths.push_back(entry.first);
    return paths;
}

} // namespace MemoryFiles

HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD, HANDLE)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    std::u16string key = Key(path);
    if (key.empty()) {
        Fail(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto found = files.byPath.find(key);
    bool exists = found != files.byPath.end();
    Content content;
    switch (creation) {
    case CREATE_NEW:
        if (exists) {
            Fail(ERROR_FILE_EXISTS);
            return INVALID_HANDLE_VALUE;
        }
        content = NewContent();
        break;
    case CREATE_ALWAYS:
        content = exists ? found->second : NewContent();
        content->bytes.clear();
        content->written = ++g_clock;
        break;
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
        if (!exists) {
            Fail(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        content = found->second;
        if (creation == TRUNCATE_EXISTING) {
            content->bytes.clear();
            content->written = ++g_clock;
        }
        break;
    case OPEN_ALWAYS:
        content = exists ? found->second : NewContent();
        break;
    default:
        Fail(87);
        return INVALID_HANDLE_VALUE;
    }
    files.byPath[key] = content;
    auto open = std::make_unique<OpenFile>();
    open->key = key;
    open->content = content;
    open->canRead = (access & GENERIC_READ) != 0;
    open->canWrite = (access & GENERIC_WRITE) != 0;
    HANDLE handle = reinterpret_cast<HANDLE>(files.nextHandle++);
    files.open[handle] = std::move(open);
    // Windows answers ERROR_ALREADY_EXISTS for an opened existing file.
    g_lastError = exists && (creation == OPEN_ALWAYS || creation == CREATE_ALWAYS) ? ERROR_ALREADY_EXISTS : 0;
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID bytes, DWORD count, LPDWORD got, LPOVERLAPPED)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    OpenFile* open = FindOpen(files, file);
    if (got)
        *got = 0;
    if (!open || !open->canRead)
        return Fail(open ? ERROR_ACCESS_DENIED : 6);
    const std::vector<unsigned char>& content = open->content->bytes;
    unsigned long long left = open->position < content.size() ? content.size() - open->position : 0;
    DWORD n = left < count ? static_cast<DWORD>(left) : count;
    if (n > 0)
        std::memcpy(bytes, content.data() + open->position, n);
    open->position += n;
    if (got)
        *got = n;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    OpenFile* open = FindOpen(files, file);
    if (written)
        *written = 0;
    if (!open || !open->canWrite)
        return Fail(open ? ERROR_ACCESS_DENIED : 6);
    std::vector<unsigned char>& content = open->content->bytes;
    if (content.size() < open->position + count)
        content.resize(open->position + count);
    if (count > 0)
        std::memcpy(content.data() + open->position, bytes, count);
    open->position += count;
    open->content->written = ++g_clock;
    if (written)
        *written = count;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    return files.open.erase(handle) ? TRUE : Fail(6);
}

DWORD GetFileSize(HANDLE file, LPDWORD high)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return INVALID_FILE_SIZE;
    if (high)
        *high = static_cast<DWORD>(size.QuadPart >> 32);
    return static_cast<DWORD>(size.QuadPart);
}

BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    OpenFile* open = FindOpen(files, file);
    if (!open || !size)
        return Fail(6);
    size->QuadPart = static_cast<LONGLONG>(open->content->bytes.size());
    return TRUE;
}

BOOL GetFileTime(HANDLE file, FILETIME* created, FILETIME* accessed, FILETIME* written)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    OpenFile* open = FindOpen(files, file);
    if (!open)
        return Fail(6);
    for (FILETIME* time : {created, accessed, written}) {
        if (time) {
            time->dwLowDateTime = static_cast<DWORD>(open->content->written);
            time->dwHighDateTime = static_cast<DWORD>(open->content->written >> 32);
        }
    }
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    OpenFile* open = FindOpen(files, file);
    if (!open)
        return Fail(6);
    long long base = method == FILE_BEGIN   ? 0
                     : method == FILE_END   ? static_cast<long long>(open->content->bytes.size())
                                            : static_cast<long long>(open->position);
    long long at = base + distance.QuadPart;
    if (at < 0)
        return Fail(131);  // ERROR_NEGATIVE_SEEK
    open->position = static_cast<unsigned long long>(at);
    if (position)
        position->QuadPart = at;
    return TRUE;
}

BOOL SetEndOfFile(HANDLE file)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    OpenFile* open = FindOpen(files, file);
    if (!open || !open->canWrite)
        return Fail(open ? ERROR_ACCESS_DENIED : 6);
    open->content->bytes.resize(open->position);
    open->content->written = ++g_clock;
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    return FindOpen(files, file) ? TRUE : Fail(6);
}

BOOL MoveFileExW(const wchar_t* from, const wchar_t* to, DWORD flags)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    std::u16string source = Key(from), target = Key(to);
    auto found = files.byPath.find(source);
    if (found == files.byPath.end())
        return Fail(ERROR_FILE_NOT_FOUND);
    if (IsOpen(files, source) || IsOpen(files, target))
        return Fail(32);  // ERROR_SHARING_VIOLATION
    if (files.byPath.count(target) && !(flags & MOVEFILE_REPLACE_EXISTING))
        return Fail(ERROR_ALREADY_EXISTS);
    Content content = found->second;
    files.byPath.erase(found);
    files.byPath[target] = content;
    return TRUE;
}

BOOL MoveFileW(const wchar_t* from, const wchar_t* to)
{
    return MoveFileExW(from, to, 0);
}

BOOL DeleteFileW(const wchar_t* path)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    std::u16string key = Key(path);
    if (!files.byPath.count(key))
        return Fail(ERROR_FILE_NOT_FOUND);
    if (IsOpen(files, key))
        return Fail(32);
    files.byPath.erase(key);
    return TRUE;
}

DWORD GetFileAttributesW(const wchar_t* path)
{
    Files& files = TheFiles();
    std::lock_guard<std::recursive_mutex> hold(files.lock);
    if (!files.byPath.count(Key(path))) {
        Fail(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return FILE_ATTRIBUTE_NORMAL;
}

DWORD GetFullPathNameW(const wchar_t* path, DWORD room, wchar_t* full, wchar_t** namePart)
{
    DWORD length = 0;
    while (path[length])
        ++length;
    if (namePart)
        *namePart = nullptr;
    if (room <= length)
        return length + 1;
    for (DWORD i = 0; i <= length; ++i)
        full[i] = path[i];
    return length;
}

BOOL CreateDirectoryW(const wchar_t*, LPSECURITY_ATTRIBUTES)
{
    return Fail(ERROR_ALREADY_EXISTS);
}

HANDLE FindFirstFileW(const wchar_t*, WIN32_FIND_DATAW*)
{
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL FindNextFileW(HANDLE, WIN32_FIND_DATAW*)
{
    return Fail(18);  // ERROR_NO_MORE_FILES
}

BOOL FindClose(HANDLE)
{
    return TRUE;
}

FILE* _wfopen(const wchar_t* path, const wchar_t* mode)
{
    if (!mode || mode[0] != L'r' || std::wcschr(mode, L'+') || std::wcschr(mode, L'w'))
        return nullptr;  // only reading is needed
    std::vector<unsigned char> bytes;
    if (!MemoryFiles::Get(path, &bytes))
        return nullptr;
    if (bytes.empty())
        return std::fopen("/dev/null", "rb");
    // A stream over its own buffer, freed when the stream is closed.
    FILE* stream = fmemopen(nullptr, bytes.size(), "w+b");
    if (!stream)
        return nullptr;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) {
        std::fclose(stream);
        return nullptr;
    }
    std::rewind(stream);
    return stream;
}

DWORD GetLastError()
{
    return g_lastError;
}

DWORD GetModuleFileNameW(HMODULE, wchar_t* path, DWORD size)
{
    static const wchar_t kPath[] = L"C:\\JOV\\JOV.exe";
    const DWORD length = static_cast<DWORD>(std::wcslen(kPath));
    if (!path || size == 0)
        return 0;
    DWORD n = length < size ? length : size - 1;
    std::memcpy(path, kPath, n * sizeof(wchar_t));
    path[n] = 0;
    return length < size ? length : size;
}

void OutputDebugStringA(const char*) {}
void OutputDebugStringW(const wchar_t*) {}

// ---- Locks ----

void InitializeCriticalSection(CRITICAL_SECTION* section)
{
    section->lock = new std::recursive_mutex;
}

void DeleteCriticalSection(CRITICAL_SECTION* section)
{
    delete static_cast<std::recursive_mutex*>(section->lock);
    section->lock = nullptr;
}

void EnterCriticalSection(CRITICAL_SECTION* section)
{
    static_cast<std::recursive_mutex*>(section->lock)->lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* section)
{
    static_cast<std::recursive_mutex*>(section->lock)->unlock();
}

// ---- Pictures ----

HDC GetDC(HWND)
{
    return reinterpret_cast<HDC>(static_cast<intptr_t>(0x2000));
}

int ReleaseDC(HWND, HDC)
{
    return 1;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info || info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0 || info->bmiHeader.biBitCount == 0)
        return nullptr;
    const long long width = info->bmiHeader.biWidth;
    const long long height = info->bmiHeader.biHeight < 0 ? -static_cast<long long>(info->bmiHeader.biHeight)
                                                           : info->bmiHeader.biHeight;
    const long long stride = (width * info->bmiHeader.biBitCount + 31) / 32 * 4;
    auto* section = new DibSection();
    section->bits = static_cast<unsigned char*>(std::calloc(static_cast<size_t>(stride * height), 1));
    if (!section->bits) {
        delete section;
        return nullptr;
    }
    section->shape.bmWidth = static_cast<LONG>(width);
    section->shape.bmHeight = info->bmiHeader.biHeight;
    section->shape.bmWidthBytes = static_cast<LONG>(stride);
    section->shape.bmPlanes = 1;
    section->shape.bmBitsPixel = info->bmiHeader.biBitCount;
    section->shape.bmBits = section->bits;
    if (bits)
        *bits = section->bits;
    return reinterpret_cast<HBITMAP>(section);
}

BOOL DeleteObject(HGDIOBJ object)
{
    auto* section = static_cast<DibSection*>(object);
    if (!section)
        return FALSE;
    std::free(section->bits);
    delete section;
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID out)
{
    auto* section = static_cast<DibSection*>(object);
    if (!section || !out || size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    std::memcpy(out, &section->shape, sizeof(BITMAP));
    return sizeof(BITMAP);
}

BOOL GdiFlush() { return TRUE; }
HBRUSH CreatePatternBrush(HBITMAP) { return nullptr; }
int FillRect(HDC, const RECT*, HBRUSH) { return 0; }
HDC CreateCompatibleDC(HDC) { return nullptr; }
BOOL DeleteDC(HDC) { return FALSE; }
HGDIOBJ SelectObject(HDC, HGDIOBJ) { return nullptr; }
BOOL AlphaBlend(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION) { return FALSE; }

// ---- Random source ----

// Reproducible: a finding replays the same way.
NTSTATUS BCryptGenRandom(BCRYPT_ALG_HANDLE, unsigned char* buffer, ULONG count, ULONG)
{
    static unsigned int state = 0x4A4F56u;
    for (ULONG i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        buffer[i] = static_cast<unsigned char>(state >> 16);
    }
    return 0;
}

// ---- The C library's wide-string functions, for 16-bit units ----

extern "C" {

size_t wcslen(const wchar_t* s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

size_t wcsnlen(const wchar_t* s, size_t max)
{
    size_t n = 0;
    while (n < max && s[n])
        ++n;
    return n;
}

int wcscmp(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        unsigned short x = static_cast<unsigned short>(*a), y = static_cast<unsigned short>(*b);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
}

int wcsncmp(const wchar_t* a, const wchar_t* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        unsigned short x = static_cast<unsigned short>(a[i]), y = static_cast<unsigned short>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
        if (!x)
            return 0;
    }
    return 0;
}

wchar_t* wcschr(const wchar_t* s, wchar_t c)
{
    for (;; ++s) {
        if (*s == c)
            return const_cast<wchar_t*>(s);
        if (!*s)
            return nullptr;
    }
}

wchar_t* wcsrchr(const wchar_t* s, wchar_t c)
{
    const wchar_t* last = nullptr;
    for (;; ++s) {
        if (*s == c)
            last = s;
        if (!*s)
            return const_cast<wchar_t*>(last);
    }
}

wchar_t* wcsstr(const wchar_t* haystack, const wchar_t* needle)
{
    size_t n = wcslen(needle);
    for (; *haystack; ++haystack) {
        if (wcsncmp(haystack, needle, n) == 0)
            return const_cast<wchar_t*>(haystack);
    }
    return n == 0 ? const_cast<wchar_t*>(haystack) : nullptr;
}

wchar_t* wcscpy(wchar_t* to, const wchar_t* from)
{
    std::memcpy(to, from, (wcslen(from) + 1) * sizeof(wchar_t));
    return to;
}

wchar_t* wcsncpy(wchar_t* to, const wchar_t* from, size_t n)
{
    size_t i = 0;
    for (; i < n && from[i]; ++i)
        to[i] = from[i];
    for (; i < n; ++i)
        to[i] = 0;
    return to;
}

wchar_t* wcscat(wchar_t* to, const wchar_t* from)
{
    wcscpy(to + wcslen(to), from);
    return to;
}

int wmemcmp(const wchar_t* a, const wchar_t* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        unsigned short x = static_cast<unsigned short>(a[i]), y = static_cast<unsigned short>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

wchar_t* wmemcpy(wchar_t* to, const wchar_t* from, size_t n)
{
    if (n)
        std::memcpy(to, from, n * sizeof(wchar_t));
    return to;
}

wchar_t* wmemmove(wchar_t* to, const wchar_t* from, size_t n)
{
    if (n)
        std::memmove(to, from, n * sizeof(wchar_t));
    return to;
}

wchar_t* wmemset(wchar_t* to, wchar_t c, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        to[i] = c;
    return to;
}

wchar_t* wmemchr(const wchar_t* s, wchar_t c, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (s[i] == c)
            return const_cast<wchar_t*>(s + i);
    }
    return nullptr;
}

int vswprintf(wchar_t* target, size_t size, const wchar_t* format, va_list args)
{
    return FormatWide(target, size, format, args);
}

int swprintf(wchar_t* target, size_t size, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = FormatWide(target, size, format, args);
    va_end(args);
    return n;
}

size_t wcsftime(wchar_t* target, size_t size, const wchar_t* format, const struct tm* time)
{
    std::string narrow;
    for (const wchar_t* f = format; *f; ++f)
        narrow += static_cast<char>(*f < 0x80 ? *f : '?');
    char text[512];
    size_t n = std::strftime(text, sizeof text, narrow.c_str(), time);
    if (n == 0 || n >= size)
        return 0;
    int units = MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(n), target, static_cast<int>(size) - 1);
    if (units <= 0)
        return 0;
    target[units] = 0;
    return static_cast<size_t>(units);
}

} // extern "C"
