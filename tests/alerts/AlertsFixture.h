// The alert manager in a program folder of its own, on a bus of its own with a
// settings store over a file there; sounds go to a recorder instead of winmm,
// and the vibrator pulses fast.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Led.h"
#include "ServiceIds.h"
#include "Sound.h"
#include "alerts/ProgramFolder.h"
#include "common/Stopwatch.h"
#include "core/alerts/AlertManagerImpl.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/settings/JOVDatabase.h"

struct PlayedSound {
    std::wstring path;
    DWORD flags;
};

class CSoundRecorder {
public:
    static std::vector<PlayedSound> Take()
    {
        std::lock_guard<std::mutex> hold(Lock());
        std::vector<PlayedSound> taken;
        taken.swap(Played());
        return taken;
    }
    static BOOL WINAPI Play(LPCWSTR sound, HMODULE, DWORD flags)
    {
        std::lock_guard<std::mutex> hold(Lock());
        Played().push_back(PlayedSound{sound ? sound : L"", flags});
        return TRUE;
    }

private:
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
    static std::vector<PlayedSound>& Played()
    {
        static std::vector<PlayedSound> played;
        return played;
    }
};

// Waits until the vibrator has been switched on that often, or the time is up.
inline int WaitForVibrations(int expected, DWORD ms)
{
    CStopwatch watch;
    int count = 0;
    do {
        count = 0;
        for (const Platform::LedSwitch& change : Platform::GetLedSwitches())
            count += change.led == 1 && change.offOnBlink == 1 ? 1 : 0;
        if (count >= expected && Platform::GetLedState(1) == 0)
            break;
        Sleep(10);
    } while (watch.Ms() < ms);
    return count;
}

class AlertsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetSoundPlayer(CSoundRecorder::Play);
        CSoundRecorder::Take();
        Platform::ClearLedSwitches();
        OpenStore();
    }

    void TearDown() override
    {
        m_manager.reset();
        CloseStore();
        Platform::SetSoundPlayer(nullptr);
    }

    void OpenStore()
    {
        m_store = std::make_unique<Database::CJOVDatabase>(
            Database::CSettingsFile(CJOVString((m_folder.Str() + L"settings.jov").c_str())));
        m_storeId = m_bus.RegisterService(GUID_Database, m_store.get());
    }

    void CloseStore()
    {
        if (!m_store)
            return;
        m_bus.UnregisterService(m_storeId);
        m_store.reset();
    }

    // A new manager (the old one, if any, stores its settings first).
    Alert::CAlertManagerImpl& Start(std::function<bool(int*)> status = nullptr)
    {
        m_manager.reset();
        Alert::AlertEnvironment environment;
        environment.programFolder = m_folder.Path();
        environment.overallStatus = std::move(status);
        environment.vibratorTimings.onMs = 30;
        environment.vibratorTimings.offMs = 10;
        m_manager = std::make_unique<Alert::CAlertManagerImpl>(&m_bus, environment);
        return *m_manager;
    }

    // What the manager stored when it ended, and a store to read it.
    void Restart()
    {
        m_manager.reset();
        CloseStore();  // writes the file
        OpenStore();
    }

    std::wstring SchemePath(const wchar_t* file, const std::wstring& scheme = L"JOV PDA sounds") const
    {
        return m_folder.SchemeFolder(scheme) + file;
    }

    CProgramFolder m_folder;
    Services::CServicesManagerImpl m_bus;
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
    std::unique_ptr<Alert::CAlertManagerImpl> m_manager;
};

inline std::wstring Str(const CJOVString& text)
{
    return text.Data() ? std::wstring(text.Data(), text.GetLength()) : std::wstring();
}
