// The settings file "settings.jov": no header, one record a section, each a
// packed NamedValue named by the section key whose data is the section's
// packed NamedValueMap; sections in key order.
#pragma once

#include <map>
#include <windows.h>

#include "core/settings/NamedValueMap.h"

namespace Database {

// Section key (an identifier's text form) -> its values, in key order.
typedef std::map<CJOVString, NamedValueMap> SectionMap;

class CSettingsFile {
public:
    // Writes go through writeFile (WriteFile when null), so that tests can
    // interrupt a save.
    typedef BOOL(WINAPI* WriteFileFn)(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written,
                                      LPOVERLAPPED overlapped);

    // "settings.jov" in the program's folder; empty when that cannot be read.
    static CJOVString DefaultPath();

    explicit CSettingsFile(const CJOVString& path, WriteFileFn writeFile = nullptr);

    const CJOVString& GetPath() const { return m_path; }

    // Adds every whole section record before the first cut or damaged one.
    // False when there is no file to read.
    bool Load(SectionMap& sections) const;
    // Writes a new file beside the old one and only then replaces it, so that
    // an interrupted save leaves the old file whole. False when nothing was saved.
    bool Save(const SectionMap& sections) const;

private:
    bool WriteAll(HANDLE file, const unsigned char* bytes, unsigned count) const;

    CJOVString m_path;
    WriteFileFn m_writeFile;
};

} // namespace Database
