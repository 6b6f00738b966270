// Where an ICQ account keeps its own settings: the protocols manager's
// per-account values in the program, a fake in the tests. Every read answers
// false when the value is missing, and the caller then takes its default.
// Called from the account's queue thread and from its dialogs.
#pragma once

#include <vector>

#include "JOVString.h"

class CAccountSettings {
public:
    virtual ~CAccountSettings() {}
    virtual bool GetString(unsigned int accountId, const CJOVString& name, CJOVString& out) = 0;
    virtual bool GetData(unsigned int accountId, const CJOVString& name, std::vector<unsigned char>& out) = 0;
    virtual bool GetWord(unsigned int accountId, const CJOVString& name, unsigned short& out) = 0;
    virtual bool GetByte(unsigned int accountId, const CJOVString& name, unsigned char& out) = 0;
    virtual void SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value) = 0;
    virtual void SetData(unsigned int accountId, const CJOVString& name, const std::vector<unsigned char>& value) = 0;
    virtual void SetWord(unsigned int accountId, const CJOVString& name, unsigned short value) = 0;
    virtual void SetByte(unsigned int accountId, const CJOVString& name, unsigned char value) = 0;
};

// The keys of the account's settings.
#define ICQ_KEY_ACCOUNT_NAME L"Account name"
#define ICQ_KEY_PASSWORD L"Account password"
#define ICQ_KEY_SERVER_NAME L"Server name"
#define ICQ_KEY_SERVER_PORT L"Server port"
#define ICQ_KEY_KEEP_ALIVE L"Keep alive"
#define ICQ_KEY_LOAD_CL L"Load cl"
#define ICQ_KEY_X_STATUS L"X status"
#define ICQ_KEY_AUTO_PRIVACY L"Auto-switch privacy status"
#define ICQ_KEY_CL_DATA L"CL data"

// The login server when the account names none.
#define ICQ_DEFAULT_SERVER L"login.icq.com"
const unsigned short kIcqDefaultPort = 5190;
