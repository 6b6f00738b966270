#include "ManagerSettings.h"

#include "ServiceIds.h"
#include "ServicesManager.h"
#include "protocols/ProtocolsManager.h"

namespace {

Protocols::CProtocolsManager* Manager(Services::CServicesManager* const* services)
{
    if (!services || !*services)
        return nullptr;
    return static_cast<Protocols::CProtocolsManager*>((*services)->GetService(GUID_ProtocolsManager));
}

} // namespace

bool CManagerSettings::GetString(unsigned int accountId, const CJOVString& name, CJOVString& out)
{
    Protocols::CProtocolsManager* manager = Manager(m_services);
    return manager && manager->GetString(accountId, name, out);
}

bool CManagerSettings::GetData(unsigned int accountId, const CJOVString& name, std::vector<unsigned char>& out)
{
    Protocols::CProtocolsManager* manager = Manager(m_services);
    unsigned size = 0;
    if (!manager || !manager->GetValueSize(accountId, name, &size))
        return false;
    out.assign(size, 0);
    if (size == 0)
        return true;
    if (!manager->GetData(accountId, name, out.data(), &size))
        return false;
    out.resize(size);
    return true;
}

bool CManagerSettings::GetDWord(unsigned int accountId, const CJOVString& name, unsigned long& out)
{
    Protocols::CProtocolsManager* manager = Manager(m_services);
    DWORD value = 0;
    if (!manager || !manager->GetDWord(accountId, name, &value))
        return false;
    out = value;
    return true;
}

bool CManagerSettings::GetWord(unsigned int accountId, const CJOVString& name, unsigned short& out)
{
    Protocols::CProtocolsManager* manager = Manager(m_services);
    WORD value = 0;
    if (!manager || !manager->GetWord(accountId, name, &value))
        return false;
    out = value;
    return true;
}

bool CManagerSettings::GetByte(unsigned int accountId, const CJOVString& name, unsigned char& out)
{
    Protocols::CProtocolsManager* manager = Manager(m_services);
    BYTE value = 0;
    if (!manager || !manager->GetByte(accountId, name, &value))
        return false;
    out = value;
    return true;
}

void CManagerSettings::SetString(unsigned int accountId, const CJOVString& name, const CJOVString& value)
{
    if (Protocols::CProtocolsManager* manager = Manager(m_services))
        manager->SetString(accountId, name, value);
}

void CManagerSettings::SetData(unsigned int accountId, const CJOVString& name, const std::vector<unsigned char>& value)
{
    if (Protocols::CProtocolsManager* manager = Manager(m_services)) {
        unsigned size = static_cast<unsigned>(value.size());
        manager->SetData(accountId, name, value.data(), &size);
    }
}

void CManagerSettings::SetDWord(unsigned int accountId, const CJOVString& name, unsigned long value)
{
    if (Protocols::CProtocolsManager* manager = Manager(m_services)) {
        DWORD dword = value;
        manager->SetDWord(accountId, name, &dword);
    }
}

void CManagerSettings::SetWord(unsigned int accountId, const CJOVString& name, unsigned short value)
{
    if (Protocols::CProtocolsManager* manager = Manager(m_services)) {
        WORD word = value;
        manager->SetWord(accountId, name, &word);
    }
}

void CManagerSettings::SetByte(unsigned int accountId, const CJOVString& name, unsigned char value)
{
    if (Protocols::CProtocolsManager* manager = Manager(m_services)) {
        BYTE byte = value;
        manager->SetByte(accountId, name, &byte);
    }
}
