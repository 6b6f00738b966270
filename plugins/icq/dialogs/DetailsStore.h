// Where one user's details are kept, as the details pages read and write
// them: the account's own settings, or a contact's values in the program's
// contact-list model. A missing value reads false.
#pragma once

#include "AccountSettings.h"

namespace CL {
class CContactList;
}

class CDetailsStore {
public:
    virtual ~CDetailsStore() {}
    virtual bool GetString(const wchar_t* key, CJOVString& out) = 0;
    virtual bool GetWord(const wchar_t* key, unsigned short& out) = 0;
    virtual bool GetByte(const wchar_t* key, unsigned char& out) = 0;
    virtual void SetString(const wchar_t* key, const CJOVString& value) = 0;
    virtual void SetWord(const wchar_t* key, unsigned short value) = 0;
    virtual void SetByte(const wchar_t* key, unsigned char value) = 0;
};

class CAccountDetailsStore : public CDetailsStore {
public:
    CAccountDetailsStore(CAccountSettings& settings, unsigned int accountId)
        : m_settings(settings), m_accountId(accountId)
    {
    }
    bool GetString(const wchar_t* key, CJOVString& out) override;
    bool GetWord(const wchar_t* key, unsigned short& out) override;
    bool GetByte(const wchar_t* key, unsigned char& out) override;
    void SetString(const wchar_t* key, const CJOVString& value) override;
    void SetWord(const wchar_t* key, unsigned short value) override;
    void SetByte(const wchar_t* key, unsigned char value) override;

private:
    CAccountSettings& m_settings;
    unsigned int m_accountId;
};

class CContactDetailsStore : public CDetailsStore {
public:
    CContactDetailsStore(CL::CContactList& list, unsigned int contactId) : m_list(list), m_contactId(contactId) {}
    bool GetString(const wchar_t* key, CJOVString& out) override;
    bool GetWord(const wchar_t* key, unsigned short& out) override;
    bool GetByte(const wchar_t* key, unsigned char& out) override;
    void SetString(const wchar_t* key, const CJOVString& value) override;
    void SetWord(const wchar_t* key, unsigned short value) override;
    void SetByte(const wchar_t* key, unsigned char value) override;

private:
    CL::CContactList& m_list;
    unsigned int m_contactId;
};
