// The capabilities the plug-in knows, keyed by GUID. One registry serves the
// whole module: built on first use and read-only afterwards, so every
// account's thread reads it without a lock.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "Capability.h"

typedef std::array<unsigned char, 16> CapabilityGuid;
typedef std::map<CapabilityGuid, CCapability> CapabilityRegistry;

// Fills the registry with every known capability.
void BuildCapabilityTable(CapabilityRegistry& registry);
// The module's registry.
const CapabilityRegistry& GetCapabilityRegistry();

// The capability with exactly these GUID bytes, or null.
const CCapability* FindCapabilityByGuid(const CapabilityRegistry& registry, const unsigned char guid[16]);
// The first capability in GUID order with this short name (exact, case-sensitive), or null.
const CCapability* FindCapabilityByName(const CapabilityRegistry& registry, const CJOVString& shortName);
// 1 when the named capability is known and some capability of the list has the
// same first n GUID bytes (n < 16 matches a family sharing a prefix); else 0.
int HasCapability(const CapabilityRegistry& registry, const std::vector<CCapability>& list,
                  const CJOVString& shortName, int n);
