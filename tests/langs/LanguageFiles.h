// The language files of the runnable tree (bin/Langs), opened as the loader
// opens them: by the look-up's decorated name. Texts come back as wide
// strings; the file's raw bytes are there for the code-page checks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "JOVString.h"

struct LanguageFileName {
    const wchar_t* component;  // "JOV", "Verdel", "Jabber"
    const wchar_t* language;   // "English", "Russian", "Czech"
    int codePage;
};

// The eight files, English first in each component.
const std::vector<LanguageFileName>& AllLanguageFiles();
// The component's highest id that every file of it must serve.
int RequiredLastId(const std::wstring& component);

class CLanguageFile {
public:
    explicit CLanguageFile(const LanguageFileName& name);
    ~CLanguageFile();
    CLanguageFile(const CLanguageFile&) = delete;
    CLanguageFile& operator=(const CLanguageFile&) = delete;

    bool IsOpen() const { return m_lookUp != nullptr; }
    std::wstring Name() const;
    // The export's answer; out is left as it was when it answers false.
    bool Get(int id, CJOVString& out) const;
    // The text of id, or "(none)" when the file has none.
    std::wstring Text(int id) const;
    // The last id answered, counting up from 0; -1 when id 0 is refused.
    int LastId() const;
    // The whole file as stored on disk.
    const std::string& Bytes() const { return m_bytes; }

    const LanguageFileName& FileName() const { return m_name; }

private:
    typedef bool (*MuiGetStringFn)(int id, CJOVString& out);

    LanguageFileName m_name;
    HMODULE m_module;
    MuiGetStringFn m_lookUp;
    std::string m_bytes;
};

std::wstring ToWide(const CJOVString& s);
// The text in a code page; false when a character has no place in it.
bool Encode(const std::wstring& text, int codePage, std::string& out);
