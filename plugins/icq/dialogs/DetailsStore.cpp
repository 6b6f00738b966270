#include "DetailsStore.h"

#include "cl/ContactList.h"

bool CAccountDetailsStore::GetString(const wchar_t* key, CJOVString& out)
{
    return m_settings.GetString(m_accountId, CJOVString(key), out);
}

bool CAccountDetailsStore::GetWord(const wchar_t* key, unsigned short& out)
{
    return m_settings.GetWord(m_accountId, CJOVString(key), out);
}

bool CAccountDetailsStore::GetByte(const wchar_t* key, unsigned char& out)
{
    return m_settings.GetByte(m_accountId, CJOVString(key), out);
}

void CAccountDetailsStore::SetString(const wchar_t* key, const CJOVString& value)
{
    m_settings.SetString(m_accountId, CJOVString(key), value);
}

void CAccountDetailsStore::SetWord(const wchar_t* key, unsigned short value)
{
    m_settings.SetWord(m_accountId, CJOVString(key), value);
}

void CAccountDetailsStore::SetByte(const wchar_t* key, unsigned char value)
{
    m_settings.SetByte(m_accountId, CJOVString(key), value);
}

bool CContactDetailsStore::GetString(const wchar_t* key, CJOVString& out)
{
    return m_list.GetString(m_contactId, CJOVString(key), out);
}

bool CContactDetailsStore::GetWord(const wchar_t* key, unsigned short& out)
{
    WORD value = 0;
    if (!m_list.GetWord(m_contactId, CJOVString(key), &value))
        return false;
    out = value;
    return true;
}

bool CContactDetailsStore::GetByte(const wchar_t* key, unsigned char& out)
{
    BYTE value = 0;
    if (!m_list.GetByte(m_contactId, CJOVString(key), &value))
        return false;
    out = value;
    return true;
}

void CContactDetailsStore::SetString(const wchar_t* key, const CJOVString& value)
{
    m_list.SetString(m_contactId, CJOVString(key), value);
}

void CContactDetailsStore::SetWord(const wchar_t* key, unsigned short value)
{
    WORD word = value;
    m_list.SetWord(m_contactId, CJOVString(key), &word);
}

void CContactDetailsStore::SetByte(const wchar_t* key, unsigned char value)
{
    BYTE byte = value;
    m_list.SetByte(m_contactId, CJOVString(key), &byte);
}
