#include "Led.h"

#include <mutex>

namespace {

const UINT kVibrator = 1;
const size_t kMaxSwitches = 4096;

struct LedTable {
    std::mutex lock;
    bool vibratorPresent = true;
    int states[2] = {0, 0};
    std::vector<Platform::LedSwitch> switches;
};

LedTable& Table()
{
    static LedTable table;
    return table;
}

UINT LedCount(const LedTable& table)
{
    return table.vibratorPresent ? 2 : 1;
}

} // namespace

BOOL WINAPI NLedGetDeviceInfo(UINT infoId, void* output)
{
    if (!output)
        return FALSE;
    LedTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    if (infoId == NLED_COUNT_INFO_ID) {
        static_cast<NLED_COUNT_INFO*>(output)->cLeds = LedCount(table);
        return TRUE;
    }
    if (infoId == NLED_SUPPORTS_INFO_ID) {
        auto* info = static_cast<NLED_SUPPORTS_INFO*>(output);
        if (info->LedNum >= LedCount(table))
            return FALSE;
        bool vibrator = info->LedNum == kVibrator;
        UINT led = info->LedNum;
        *info = NLED_SUPPORTS_INFO{};
        info->LedNum = led;
        info->lCycleAdjust = vibrator ? -1 : 1000;
        info->fAdjustTotalCycleTime = vibrator ? FALSE : TRUE;
        return TRUE;
    }
    if (infoId == NLED_SETTINGS_INFO_ID) {
        auto* info = static_cast<NLED_SETTINGS_INFO*>(output);
        if (info->LedNum >= LedCount(table))
            return FALSE;
        UINT led = info->LedNum;
        *info = NLED_SETTINGS_INFO{};
        info->LedNum = led;
        info->OffOnBlink = table.states[led];
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI NLedSetDevice(UINT deviceId, void* input)
{
    if (deviceId != NLED_SETTINGS_INFO_ID || !input)
        return FALSE;
    const auto* info = static_cast<const NLED_SETTINGS_INFO*>(input);
    LedTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    if (info->LedNum >= LedCount(table) || info->OffOnBlink < 0 || info->OffOnBlink > 2)
        return FALSE;
    table.states[info->LedNum] = info->OffOnBlink;
    if (table.switches.size() >= kMaxSwitches)
        table.switches.erase(table.switches.begin());
    table.switches.push_back(Platform::LedSwitch{info->LedNum, info->OffOnBlink, GetTickCount()});
    return TRUE;
}

namespace Platform {

std::vector<LedSwitch> GetLedSwitches()
{
    LedTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    return table.switches;
}

void ClearLedSwitches()
{
    LedTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    table.switches.clear();
}

int GetLedState(UINT led)
{
    LedTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    return led < LedCount(table) ? table.states[led] : 0;
}

void SetVibratorPresent(bool present)
{
    LedTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    table.vibratorPresent = present;
    if (!present)
        table.states[kVibrator] = 0;
}

} // namespace Platform
