#include "Power.h"

#include <atomic>

#include "ShellTrace.h"

namespace Platform {

namespace {

std::atomic<DWORD> s_powerState{POWER_STATE_ON};

const wchar_t* StateName(DWORD flags)
{
    return (flags & POWER_STATE_SUSPEND) ? L"suspend" : L"on";
}

} // namespace

DWORD GetSystemPowerState(LPWSTR name, DWORD nameLength, PDWORD flags)
{
    const DWORD state = s_powerState.load();
    TraceShellCall("GetSystemPowerState", nullptr, state);
    if (name && nameLength > 0) {
        const wchar_t* text = StateName(state);
        DWORD i = 0;
        for (; text[i] && i + 1 < nameLength; ++i)
            name[i] = text[i];
        name[i] = L'\0';
    }
    if (flags)
        *flags = state;
    return ERROR_SUCCESS;
}

DWORD SetSystemPowerState(LPCWSTR, DWORD stateFlags, DWORD options)
{
    TraceShellCall("SetSystemPowerState", nullptr, stateFlags | options);
    if (stateFlags & (POWER_STATE_ON | POWER_STATE_SUSPEND))
        s_powerState = stateFlags & (POWER_STATE_ON | POWER_STATE_SUSPEND);
    return ERROR_SUCCESS;
}

void SystemIdleTimerReset()
{
    TraceShellCall("SystemIdleTimerReset", nullptr, 0);
}

void SimulatePowerState(DWORD flags)
{
    s_powerState = flags;
}

} // namespace Platform
