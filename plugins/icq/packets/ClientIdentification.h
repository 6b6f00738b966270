// Which capabilities a contact's client announces, and whether it is one of
// the product's own clients. Works on the TLVs of the contact's last online
// notice (the roster entry's online information).
#pragma once

#include <vector>

#include "Capability.h"
#include "TLV.h"

enum ClientKind : unsigned char {
    kClientOther = 0,
    kClientJOV = 1,            // the desktop client, any version suffix
    kClientJOVPDA = 2,
    kClientJOVPDASymbian = 3,
    kClientJOVMobile = 4,
    kClientJOVTarsel = 5,
};

// Appends the capabilities of TLV 0x0D (full GUIDs), then of TLV 0x19 (short
// ones), in the order they stand; unknown GUIDs come with empty names.
void GetContactCapabilities(const CTLVCol& onlineInfo, std::vector<CCapability>& list);
unsigned char DetectClientKind(const CTLVCol& onlineInfo);
