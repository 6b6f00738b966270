#include "Capability.h"

#include <cstring>

CCapability::CCapability()
{
    std::memset(m_guid, 0, sizeof(m_guid));
}

CCapability::CCapability(const CCapability& other)
    : m_shortName(other.m_shortName), m_description(other.m_description)
{
    std::memcpy(m_guid, other.m_guid, sizeof(m_guid));
}

CCapability::CCapability(const unsigned char guid[16], const CJOVString& shortName, const CJOVString& description)
    : m_shortName(shortName), m_description(description)
{
    std::memcpy(m_guid, guid, sizeof(m_guid));
}

CCapability::~CCapability() {}

CCapability& CCapability::operator=(const CCapability& other)
{
    if (this != &other) {
        std::memcpy(m_guid, other.m_guid, sizeof(m_guid));
        m_shortName = other.m_shortName;
        m_description = other.m_description;
    }
    return *this;
}

bool CCapability::HasGuidPrefix(const unsigned char* guid, int n) const
{
    if (!guid || n < 0 || n > 16)
        return false;
    return std::memcmp(m_guid, guid, static_cast<size_t>(n)) == 0;
}
