// What the readers use of the Win32 API, for building them natively on Linux
// with clang. Compiled with -fshort-wchar, so wchar_t has the 16 bits it has
// on Windows; the types keep their Windows widths (DWORD and LONG 32 bits).
// Files live in memory (MemoryFiles.h): a target places its input there and
// the reader opens it by name as it would on the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <ctime>

static_assert(sizeof(wchar_t) == 2, "build with -fshort-wchar");

#define WINAPI
#define CALLBACK
#define CONST const

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int DWORD;
typedef unsigned int UINT;
typedef int INT;
typedef int LONG;
typedef unsigned int ULONG;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef wchar_t WCHAR;
typedef char CHAR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef DWORD* LPDWORD;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LPARAM;
typedef uintptr_t WPARAM;
typedef intptr_t LRESULT;
typedef DWORD COLORREF;
typedef LONG NTSTATUS;

typedef void* HANDLE;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
#define JOV_SHIM_HANDLE(name) \
    struct name##__;          \
    typedef name##__* name;
JOV_SHIM_HANDLE(HWND)
JOV_SHIM_HANDLE(HDC)
JOV_SHIM_HANDLE(HFONT)
JOV_SHIM_HANDLE(HBITMAP)
JOV_SHIM_HANDLE(HBRUSH)
JOV_SHIM_HANDLE(HICON)
JOV_SHIM_HANDLE(HMENU)
JOV_SHIM_HANDLE(HPEN)
JOV_SHIM_HANDLE(HRGN)
JOV_SHIM_HANDLE(BCRYPT_ALG_HANDLE)
#undef JOV_SHIM_HANDLE
typedef void* HGDIOBJ;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define INVALID_FILE_SIZE (static_cast<DWORD>(0xFFFFFFFF))

#define CP_ACP 0
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x08

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(0xFFFFFFFF))
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define MOVEFILE_REPLACE_EXISTING 0x1
#define MOVEFILE_WRITE_THROUGH 0x8
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_ACCESS_DENIED 5
#define ERROR_FILE_EXISTS 80
#define ERROR_ALREADY_EXISTS 183

#define DIB_RGB_COLORS 0
#define BI_RGB 0

#define RGB(r, g, b) \
    (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                           (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;
typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
} WIN32_FIND_DATAW;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;
typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;
typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP;

#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01
typedef struct _BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
} BLENDFUNCTION;

// A recursive lock, as the Windows one is.
typedef struct _CRITICAL_SECTION {
    void* lock;
} CRITICAL_SECTION;

// Text conversions: UTF-8, the ANSI code page (1252 as on an English
// system), 1251 and 1252 by number.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* bytes, int byteCount, wchar_t* units,
                        int unitCount);
int WideCharToMultiByte(UINT codePage, DWORD flags, const wchar_t* units, int unitCount, char* bytes, int byteCount,
                        const char* defaultChar, BOOL* usedDefault);
DWORD CharLowerBuffW(wchar_t* text, DWORD length);
DWORD CharUpperBuffW(wchar_t* text, DWORD length);

// Files (in memory).
HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD creation,
                   DWORD attributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID bytes, DWORD count, LPDWORD got, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE handle);
DWORD GetFileSize(HANDLE file, LPDWORD high);
BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
// Times are ticks of the memory files' own clock, one a change.
BOOL GetFileTime(HANDLE file, FILETIME* created, FILETIME* accessed, FILETIME* written);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL MoveFileW(const wchar_t* from, const wchar_t* to);
BOOL MoveFileExW(const wchar_t* from, const wchar_t* to, DWORD flags);
BOOL DeleteFileW(const wchar_t* path);
// FILE_ATTRIBUTE_NORMAL for a memory file, INVALID_FILE_ATTRIBUTES else.
DWORD GetFileAttributesW(const wchar_t* path);
// Memory paths are absolute as they are given.
DWORD GetFullPathNameW(const wchar_t* path, DWORD room, wchar_t* full, wchar_t** namePart);
BOOL CreateDirectoryW(const wchar_t* path, LPSECURITY_ATTRIBUTES security);
// Folders are not listed: every search finds nothing.
HANDLE FindFirstFileW(const wchar_t* pattern, WIN32_FIND_DATAW* found);
BOOL FindNextFileW(HANDLE search, WIN32_FIND_DATAW* found);
BOOL FindClose(HANDLE search);
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
DWORD GetLastError();

// The program's folder is "C:\JOV\".
DWORD GetModuleFileNameW(HMODULE module, wchar_t* path, DWORD size);

void OutputDebugStringA(const char* text);
void OutputDebugStringW(const wchar_t* text);

void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);

// Pictures: a DIB section is memory of its size; nothing is ever drawn.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
BOOL DeleteObject(HGDIOBJ object);
BOOL GdiFlush();
HBRUSH CreatePatternBrush(HBITMAP bitmap);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int GetObjectW(HGDIOBJ object, int size, LPVOID out);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, BLENDFUNCTION blend);
