// The account's settings kept by the protocols manager, fetched from the bus
// at every use: a manager that is not there reads as missing values and
// drops writes.
#pragma once

#include "AccountSettings.h"

namespace Services {
class CServicesManager;
}

class CManagerSettings : public CAccountSettings {
public:
    // services may be null until the first account is created.
    explicit CManagerSettings(Services::CServicesManager* const* services) : m_services(services) {}

    bool GetString(unsigned int accountId, const CJOVString& name, CJOVString& out) override;
    bool GetData(unsigned int accountId, const CJOVString& name, std::vector<unsigned char>& out) override;
    bool GetDWord(unsigned int accountId, const CJOVString& name, unsigned long& out) override;
    bool GetWord(unsigned int accountId, const CJOVString& name, unsigned short& out) override;
    bool GetByte(unsigned int accountId, const CJOVString& name, unsigned char& out) override;
    void SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value) override;
    void SetData(unsigned int accountId, const CJOVString& name, const std::vector<unsigned char>& value) override;
    void SetDWord(unsigned int accountId, const CJOVString& name, unsigned long value) override;
    void SetWord(unsigned int accountId, const CJOVString& name, unsigned short value) override;
    void SetByte(unsigned int accountId, const CJOVString& name, unsigned char value) override;

private:
    Services::CServicesManager* const* m_services;
};
