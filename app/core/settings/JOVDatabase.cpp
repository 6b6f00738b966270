#include "core/settings/JOVDatabase.h"

#include "CriticalSectionLock.h"

#include <cstring>

namespace Database {

CJOVDatabase::CJOVDatabase() : CJOVDatabase(CSettingsFile(CSettingsFile::DefaultPath())) {}

CJOVDatabase::CJOVDatabase(const CSettingsFile& file) : m_file(file)
{
    InitializeCriticalSection(&m_lock);
    InitializeCriticalSection(&m_saveLock);
    m_file.Load(m_sections);
}

CJOVDatabase::~CJOVDatabase()
{
    Save();
    DeleteCriticalSection(&m_saveLock);
    DeleteCriticalSection(&m_lock);
}

bool CJOVDatabase::Save()
{
    // The copy is taken once this save's turn has come: a later save never
    // writes older values over a newer one's.
    CCriticalSectionLock turn(m_saveLock);
    SectionMap copy;
    {
        CCriticalSectionLock hold(m_lock);
        copy = m_sections;
    }
    return m_file.Save(copy);
}

const NamedValue* CJOVDatabase::FindValue(const JOV_GUID& section, const CJOVString& name) const
{
    auto it = m_sections.find(section.GetString());
    return it == m_sections.end() ? nullptr : it->second.Find(name);
}

NamedValue* CJOVDatabase::FindOrAddValue(const JOV_GUID& section, const CJOVString& name)
{
    if (NamedValue::Utf8Length(name) > NamedValue::kMaxNameBytes)
        return nullptr;
    NamedValueMap& values = m_sections[section.GetString()];
    NamedValue* value = values.Find(name);
    if (!value) {
        values.Set(NamedValue(name));
        value = values.Find(name);
    }
    return value;
}

int CJOVDatabase::GetValueSize(const JOV_GUID& section, const CJOVString& name, unsigned* size)
{
    CCriticalSectionLock hold(m_lock);
    const NamedValue* value = FindValue(section, name);
    if (!value || !size)
        return 0;
    *size = value->GetSize();
    return 1;
}

int CJOVDatabase::GetData(const JOV_GUID& section, const CJOVString& name, void* buffer, unsigned* size)
{
    CCriticalSectionLock hold(m_lock);
    const NamedValue* value = FindValue(section, name);
    if (!value || !size || *size < value->GetSize() || (!buffer && value->GetSize() > 0))
        return 0;
    if (value->GetSize() > 0)
        std::memcpy(buffer, value->GetData(), value->GetSize());
    *size = value->GetSize();
    return 1;
}

template <class T>
int CJOVDatabase::ReadValue(const JOV_GUID& section, const CJOVString& name, T* out, T (NamedValue::*read)() const)
{
    CCriticalSectionLock hold(m_lock);
    const NamedValue* value = FindValue(section, name);
    if (!value || !out)
        return 0;
    *out = (value->*read)();
    return 1;
}

int CJOVDatabase::GetString(const JOV_GUID& section, const CJOVString& name, CJOVString* out)
{
    return ReadValue(section, name, out, &NamedValue::AsString);
}

int CJOVDatabase::GetDWord(const JOV_GUID& section, const CJOVString& name, unsigned int* out)
{
    return ReadValue(section, name, out, &NamedValue::AsDWord);
}

int CJOVDatabase::GetWord(const JOV_GUID& section, const CJOVString& name, unsigned short* out)
{
    return ReadValue(section, name, out, &NamedValue::AsWord);
}

int CJOVDatabase::GetByte(const JOV_GUID& section, const CJOVString& name, unsigned char* out)
{
    return ReadValue(section, name, out, &NamedValue::AsByte);
}

void CJOVDatabase::SetData(const JOV_GUID& section, const CJOVString& name, const void* data, const unsigned* size)
{
    if (!size)
        return;
    CCriticalSectionLock hold(m_lock);
    if (NamedValue* value = FindOrAddValue(section, name))
        value->SetData(data, *size);
}

void CJOVDatabase::SetString(const JOV_GUID& section, const CJOVString& name, const CJOVString* text)
{
    if (!text)
        return;
    CCriticalSectionLock hold(m_lock);
    if (NamedValue* value = FindOrAddValue(section, name))
        value->SetString(*text);
}

void CJOVDatabase::SetDWord(const JOV_GUID& section, const CJOVString& name, const unsigned int* number)
{
    if (!number)
        return;
    CCriticalSectionLock hold(m_lock);
    if (NamedValue* value = FindOrAddValue(section, name))
        value->SetDWord(*number);
}

void CJOVDatabase::SetWord(const JOV_GUID& section, const CJOVString& name, const unsigned short* number)
{
    if (!number)
        return;
    CCriticalSectionLock hold(m_lock);
    if (NamedValue* value = FindOrAddValue(section, name))
        value->SetWord(*number);
}

void CJOVDatabase::SetByte(const JOV_GUID& section, const CJOVString& name, const unsigned char* number)
{
    if (!number)
        return;
    CCriticalSectionLock hold(m_lock);
    if (NamedValue* value = FindOrAddValue(section, name))
        value->SetByte(*number);
}

} // namespace Database
