// One client capability: the 16-byte GUID a client announces, with the short
// name the plug-in knows it by and a description.
#pragma once

#include "JOVString.h"

class CCapability {
public:
    CCapability();
    CCapability(const CCapability& other);
    CCapability(const unsigned char guid[16], const CJOVString& shortName, const CJOVString& description);
    virtual ~CCapability();
    CCapability& operator=(const CCapability& other);

    // The 16 GUID bytes in wire order.
    const unsigned char* GetGuid() const { return m_guid; }
    CJOVString GetShortName() const { return m_shortName; }
    const CJOVString& GetDescription() const { return m_description; }
    // True when the first n GUID bytes equal those given.
    bool HasGuidPrefix(const unsigned char* guid, int n) const;

private:
    unsigned char m_guid[16];
    CJOVString m_shortName;
    CJOVString m_description;
};
