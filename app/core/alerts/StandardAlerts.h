// The packed form of "Standard Alerts": a packed NamedValueMap with the values
// "1" to "4", each the packed map of "Wav" (the full path, UTF-8) and "Use"
// (a byte, 0 or 1).
#pragma once

#include <map>
#include <vector>

#include "AlertManager.h"

namespace Alert {

// The name ids of the standard alerts 1 to 4 in the program's language file.
unsigned int StandardAlertName(unsigned int alertId);

std::vector<unsigned char> PackStandardAlerts(const std::map<unsigned int, AlertInfo>& alerts);
// Stores each entry that holds a "Wav" (without "Use" it is switched on);
// entries missing or damaged are left out. Answers how many were stored.
int UnpackStandardAlerts(const unsigned char* bytes, unsigned size, std::map<unsigned int, AlertInfo>* alerts);

} // namespace Alert
