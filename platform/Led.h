// The device's notification LEDs, one of which drives the vibrator. Here the
// table holds one plain LED (0) and one vibrator (1); every switch is kept with
// its time so that tests can see a vibration's rhythm.
// Any thread.
#pragma once

#include <windows.h>

#include <vector>

#include "PlatformApi.h"

#define NLED_COUNT_INFO_ID 0
#define NLED_SUPPORTS_INFO_ID 1
#define NLED_SETTINGS_INFO_ID 2

#ifndef RC_INVOKED

struct NLED_COUNT_INFO {
    UINT cLeds;
};

struct NLED_SUPPORTS_INFO {
    UINT LedNum;                  // in: the LED asked about
    LONG lCycleAdjust;            // -1: the LED is a vibrator
    BOOL fAdjustTotalCycleTime;
    BOOL fAdjustOnTime;
    BOOL fAdjustOffTime;
    BOOL fMetaCycleOn;
    BOOL fMetaCycleOff;
};

struct NLED_SETTINGS_INFO {
    UINT LedNum;
    INT OffOnBlink;  // 0 off, 1 on, 2 blinking
    LONG TotalCycleTime;
    LONG OnTime;
    LONG OffTime;
    INT MetaCycleOn;
    INT MetaCycleOff;
};

extern "C" {

// NLED_COUNT_INFO_ID: output is NLED_COUNT_INFO; NLED_SUPPORTS_INFO_ID and
// NLED_SETTINGS_INFO_ID: output's LedNum names the LED. FALSE for an unknown
// id or LED.
JOV_PLATFORM_API BOOL WINAPI NLedGetDeviceInfo(UINT infoId, void* output);
// NLED_SETTINGS_INFO_ID only.
JOV_PLATFORM_API BOOL WINAPI NLedSetDevice(UINT deviceId, void* input);

} // extern "C"

namespace Platform {

struct LedSwitch {
    UINT led;
    int offOnBlink;
    DWORD tick;  // GetTickCount at the switch
};

JOV_PLATFORM_API std::vector<LedSwitch> GetLedSwitches();
JOV_PLATFORM_API void ClearLedSwitches();
// The LED's current OffOnBlink, 0 for an unknown LED.
JOV_PLATFORM_API int GetLedState(UINT led);
// A device without a vibrator has only the plain LED.
JOV_PLATFORM_API void SetVibratorPresent(bool present);

} // namespace Platform

#endif
