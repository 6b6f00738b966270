// The settings store: named values in sections named by identifiers, loaded
// from "settings.jov" when created and saved to it when destroyed, and
// whenever a confirmed change asks for it (Save).
//
// Reached from the UI thread and from every component's queue thread; one
// lock guards the whole store, a second one lets one save at a time write
// the file. Served on the bus under GUID_Database: start-up registers it after
// creating it and unregisters it before deleting it.
#pragma once

#include <windows.h>

#include "JOVGuid.h"
#include "ServiceIds.h"
#include "core/settings/SettingsFile.h"

namespace Database {

// The virtual operations are the service's interface, in this order; the
// destructor is not one of them (the program deletes the store directly).
class CJOVDatabase final {
public:
    // Loads "settings.jov" from the program's folder.
    CJOVDatabase();
    explicit CJOVDatabase(const CSettingsFile& file);
    ~CJOVDatabase();
    CJOVDatabase(const CJOVDatabase&) = delete;
    CJOVDatabase& operator=(const CJOVDatabase&) = delete;

    // 1 and the size when the value exists, else 0.
    virtual int GetValueSize(const JOV_GUID& section, const CJOVString& name, unsigned* size);
    // 1, the bytes and *size = the stored size; 0 (nothing copied, *size kept)
    // when missing or when *size is smaller than the stored size.
    virtual int GetData(const JOV_GUID& section, const CJOVString& name, void* buffer, unsigned* size);
    // The typed readers answer 1 for any existing value, whatever wrote it; a
    // number needs its width in bytes, else it reads as 0. Missing: 0, out kept.
    virtual int GetString(const JOV_GUID& section, const CJOVString& name, CJOVString* out);
    virtual int GetDWord(const JOV_GUID& section, const CJOVString& name, unsigned int* out);
    virtual int GetWord(const JOV_GUID& section, const CJOVString& name, unsigned short* out);
    virtual int GetByte(const JOV_GUID& section, const CJOVString& name, unsigned char* out);
    // Writes create the section and the value as needed. A name longer than
    // 255 bytes in UTF-8 has no place in the file and is not stored.
    virtual void SetData(const JOV_GUID& section, const CJOVString& name, const void* data, const unsigned* size);
    virtual void SetString(const JOV_GUID& section, const CJOVString& name, const CJOVString* value);
    virtual void SetDWord(const JOV_GUID& section, const CJOVString& name, const unsigned int* value);
    virtual void SetWord(const JOV_GUID& section, const CJOVString& name, const unsigned short* value);
    virtual void SetByte(const JOV_GUID& section, const CJOVString& name, const unsigned char* value);

    // Writes the file now, as the destructor does; any thread. Saves come one
    // after another, each with the values as they are when its turn comes,
    // and readers and writers wait only while the values are copied, not for
    // the disk. False when nothing was saved.
    bool Save();

private:
    // Callers hold the lock.
    const NamedValue* FindValue(const JOV_GUID& section, const CJOVString& name) const;
    NamedValue* FindOrAddValue(const JOV_GUID& section, const CJOVString& name);
    // Takes the lock; 1 when the value exists and was read into *out.
    template <class T>
    int ReadValue(const JOV_GUID& section, const CJOVString& name, T* out, T (NamedValue::*read)() const);

    CSettingsFile m_file;
    SectionMap m_sections;
    mutable CRITICAL_SECTION m_lock;
    CRITICAL_SECTION m_saveLock;  // taken before m_lock, never inside it
};

} // namespace Database
