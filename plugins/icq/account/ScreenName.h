// Screen names as the server compares them: case and spaces do not count,
// so "Alice Smith" in the list and "alicesmith" on the wire are one user.
#pragma once

#include "JOVString.h"
#include "packets/PacketText.h"

// Every lookup by name goes through the one normal form the packets use too
// (lower case, spaces removed).
using PacketText::NormalizeScreenName;
bool SameScreenName(const CJOVString& a, const CJOVString& b);
// The UIN a name stands for, or 0 when it is not wholly a decimal number
// that fits (an e-mail login, an AIM screen name).
unsigned int UinOfScreenName(const CJOVString& name);
