// Where an account of either plug-in keeps its own settings: the protocols
// manager's per-account values in the program, a fake in the tests. Every read
// answers false when the value is missing, and the caller then takes its
// default. Called from the account's queue thread and from its dialogs.
#pragma once

#include <vector>

#include "JOVString.h"

class CAccountSettings {
public:
    virtual ~CAccountSettings() {}
    virtual bool GetString(unsigned int accountId, const CJOVString& name, CJOVString& out) = 0;
    virtual bool GetData(unsigned int accountId, const CJOVString& name, std::vector<unsigned char>& out) = 0;
    virtual bool GetDWord(unsigned int accountId, const CJOVString& name, unsigned long& out) = 0;
    virtual bool GetWord(unsigned int accountId, const CJOVString& name, unsigned short& out) = 0;
    virtual bool GetByte(unsigned int accountId, const CJOVString& name, unsigned char& out) = 0;
    virtual void SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value) = 0;
    virtual void SetData(unsigned int accountId, const CJOVString& name, const std::vector<unsigned char>& value) = 0;
    virtual void SetDWord(unsigned int accountId, const CJOVString& name, unsigned long value) = 0;
    virtual void SetWord(unsigned int accountId, const CJOVString& name, unsigned short value) = 0;
    virtual void SetByte(unsigned int accountId, const CJOVString& name, unsigned char value) = 0;
};

// The account's value read with get (one of the Get functions above), or
// fallback when there is no store or no such value.
template <class T>
T ReadAccountValue(CAccountSettings* settings, unsigned int accountId, const wchar_t* key, const T& fallback,
                   bool (CAccountSettings::*get)(unsigned int, const CJOVString&, T&))
{
    T value = T();
    if (settings && (settings->*get)(accountId, CJOVString(key), value))
        return value;
    return fallback;
}
