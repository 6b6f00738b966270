// UTF-16 string of every interface. Its characters are allocated and freed
// inside the common library so strings can cross deliverables freely.
#pragma once

#include "JOVCommon.h"

class JOV_COMMON_API CJOVString {
public:
    CJOVString();
    CJOVString(const CJOVString& other);
    CJOVString(const wchar_t* text);
    CJOVString(const unsigned char* text, int codePage);
    CJOVString(const unsigned char* bytes, int n, int codePage);
    virtual ~CJOVString();

    CJOVString& operator=(const CJOVString& other);
    // Exchanges the characters without copying them (a long text is not held twice).
    void Swap(CJOVString& other)
    {
        wchar_t* chars = m_chars;
        m_chars = other.m_chars;
        other.m_chars = chars;
        int length = m_length;
        m_length = other.m_length;
        other.m_length = length;
    }

    int GetLength() const { return m_length; }
    // NUL-terminates in place; valid until the string next changes.
    operator wchar_t*();
    CJOVString operator[](int index) const;
    CJOVString Substring(int start, int count) const;
    int Find(int start, const CJOVString& text) const;

    bool operator==(const CJOVString& other) const;
    bool operator!=(const CJOVString& other) const;
    bool operator<(const CJOVString& other) const;
    bool operator<=(const CJOVString& other) const;
    bool operator>(const CJOVString& other) const;
    bool operator>=(const CJOVString& other) const;

    CJOVString operator+(const CJOVString& other) const;
    CJOVString& operator+=(const CJOVString& other);
    void Remove(const CJOVString& text);
    void ToLower();

    // Returned buffer ends with one 0 byte; give it back with FreeBuffer.
    unsigned char* GetBuffer(int codePage) const;
    static void FreeBuffer(unsigned char* buffer);

    static CJOVString GetBase64EncodedString(const unsigned char* bytes, int n);
    CJOVString GetBase64EncodedString() const;
    CJOVString GetBase64DecodedString() const;
    // The bytes the Base64 text stands for, as they are (no code page), with
    // one 0 byte after them that *count leaves out; null when the text holds
    // no bytes or is not Base64. Give it back with FreeBuffer.
    unsigned char* GetBase64DecodedBytes(int* count) const;

    // Read-only view of the units (null when empty); no terminator guaranteed.
    const wchar_t* Data() const { return m_chars; }

private:
    int Compare(const CJOVString& other) const;
    bool Assign(const wchar_t* units, int length);

    wchar_t* m_chars;
    int m_length;
};

// Folder of the running executable with its trailing backslash, or empty.
JOV_COMMON_API CJOVString GetAppDir();
// The same for any loaded module (a plug-in's own folder).
JOV_COMMON_API CJOVString GetModuleDir(struct HINSTANCE__* module);
