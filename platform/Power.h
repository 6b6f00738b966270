// The device's power state and its idle timer. A desktop is always on, so
// here the state is a value of our own that tests may set to "suspended";
// every call is recorded in the shell trace (ShellTrace.h).
#pragma once

#include <windows.h>

#include "PlatformApi.h"

// Power state flags.
#define POWER_STATE_ON 0x00010000
#define POWER_STATE_SUSPEND 0x00200000
// SetSystemPowerState option: change the state whatever the applications want.
#define POWER_FORCE 0x00001000

namespace Platform {

// ERROR_SUCCESS, the state's name (when a buffer is given) and its flags.
JOV_PLATFORM_API DWORD GetSystemPowerState(LPWSTR name, DWORD nameLength, PDWORD flags);
// By flags when name is null; ERROR_SUCCESS.
JOV_PLATFORM_API DWORD SetSystemPowerState(LPCWSTR name, DWORD stateFlags, DWORD options);
// Keeps the device from suspending for another idle period.
JOV_PLATFORM_API void SystemIdleTimerReset();

// The flags GetSystemPowerState answers from now on (tests).
JOV_PLATFORM_API void SimulatePowerState(DWORD flags);

} // namespace Platform
