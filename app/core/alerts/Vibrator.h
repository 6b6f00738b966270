// The vibration pulser: each pulse switches the device's vibrator on for a
// while and off for a pause, worked off one after another by a thread of its
// own (priority 5), so that callers never wait.
// Pulse: any thread (the alert manager calls it under its lock); the worker
// touches only the LED and the pulser's own fields.
#pragma once

#include <windows.h>

struct VibratorTimings {
    DWORD onMs = 500;
    DWORD offMs = 250;
};

class CVibrator {
public:
    // So many pulses at most wait at once: a burst of offline messages at
    // log-in must not buzz for a minute.
    static constexpr LONG kMaxPendingPulses = 5;

    explicit CVibrator(const VibratorTimings& timings = VibratorTimings());
    // Stops the pulser if Stop was not called.
    ~CVibrator();
    CVibrator(const CVibrator&) = delete;
    CVibrator& operator=(const CVibrator&) = delete;

    void Pulse();
    // Ends the worker and waits for it; the vibrator is left off.
    void Stop();

    // The notification LED that drives the vibrator, -1 when there is none.
    static int FindVibrator();
    int GetVibratorIndex() const { return m_vibratorIndex; }

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    void Switch(int offOnBlink);
    void StartWorker();

    int m_vibratorIndex;
    volatile LONG m_pending;
    HANDLE m_thread;  // started by the first pulse
    SRWLOCK m_threadLock = SRWLOCK_INIT;
    bool m_stopped = false;  // no worker starts after Stop
    HANDLE m_wakeEvent;  // auto-reset
    HANDLE m_stopEvent;  // manual-reset
    VibratorTimings m_timings;
};
