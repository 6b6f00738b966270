// One (family, version) pair of the service negotiation.
#pragma once

struct FamilyVersion {
    unsigned short family;
    unsigned short version;
};
