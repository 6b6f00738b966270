// The proxy every connection goes through: six values in the settings store's
// section GUID_SocketsManager. Without a settings store on the bus, loading
// leaves the record as it is and saving does nothing.
#pragma once

#include "ServicesManager.h"
#include "SocketParams.h"

namespace JOVSockets {

// Fills the proxy fields; a missing value reads as none, empty or 0.
void LoadProxySettings(Services::CServicesManager& services, SocketParams& params);
void SaveProxySettings(Services::CServicesManager& services, const SocketParams& params);

} // namespace JOVSockets
