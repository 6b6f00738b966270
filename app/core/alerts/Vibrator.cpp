#include "core/alerts/Vibrator.h"

#include "Core.h"
#include "Led.h"

namespace {

const int kWorkerPriority = 5;

} // namespace

CVibrator::CVibrator(const VibratorTimings& timings)
    : m_vibratorIndex(FindVibrator()), m_pending(0), m_thread(nullptr), m_wakeEvent(nullptr), m_stopEvent(nullptr),
      m_timings(timings)
{
    m_wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

// The worker starts with the first pulse: most runs never vibrate, and a
// thread holds a stack of its own.
void CVibrator::StartWorker()
{
    AcquireSRWLockExclusive(&m_threadLock);
    if (!m_thread && !m_stopped && m_wakeEvent && m_stopEvent) {
        m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
        if (m_thread)
            Platform::SetThreadPriority(m_thread, kWorkerPriority);
    }
    ReleaseSRWLockExclusive(&m_threadLock);
}

CVibrator::~CVibrator()
{
    Stop();
}

int CVibrator::FindVibrator()
{
    NLED_COUNT_INFO count = {};
    if (!NLedGetDeviceInfo(NLED_COUNT_INFO_ID, &count))
        count.cLeds = 0;
    for (UINT led = 0; led < count.cLeds; ++led) {
        NLED_SUPPORTS_INFO supports = {};
        supports.LedNum = led;
        if (NLedGetDeviceInfo(NLED_SUPPORTS_INFO_ID, &supports) && supports.lCycleAdjust == -1)
            return static_cast<int>(led);
    }
    return -1;
}

void CVibrator::Pulse()
{
    if (InterlockedIncrement(&m_pending) > kMaxPendingPulses)
        InterlockedDecrement(&m_pending);
    StartWorker();
    if (m_wakeEvent)
        EventModify(m_wakeEvent, EVENT_SET);
}

void CVibrator::Stop()
{
    AcquireSRWLockExclusive(&m_threadLock);
    m_stopped = true;
    HANDLE thread = m_thread;
    m_thread = nullptr;
    ReleaseSRWLockExclusive(&m_threadLock);
    if (thread) {
        SetEvent(m_stopEvent);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (m_wakeEvent)
        CloseHandle(m_wakeEvent);
    if (m_stopEvent)
        CloseHandle(m_stopEvent);
    m_wakeEvent = nullptr;
    m_stopEvent = nullptr;
}

DWORD WINAPI CVibrator::ThreadProc(void* self)
{
    static_cast<CVibrator*>(self)->Run();
    return 0;
}

void CVibrator::Switch(int offOnBlink)
{
    if (m_vibratorIndex < 0)
        return;
    NLED_SETTINGS_INFO settings = {};
    settings.LedNum = static_cast<UINT>(m_vibratorIndex);
    settings.OffOnBlink = offOnBlink;
    NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings);
}

// The pauses wait on the stop event, so that stopping ends a pulse at once
// and with the vibrator off.
void CVibrator::Run()
{
    HANDLE events[2] = {m_stopEvent, m_wakeEvent};
    for (;;) {
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
        while (m_pending > 0) {
            Switch(1);
            bool stopped = WaitForSingleObject(m_stopEvent, m_timings.onMs) == WAIT_OBJECT_0;
            Switch(0);
            InterlockedDecrement(&m_pending);
            if (stopped || WaitForSingleObject(m_stopEvent, m_timings.offMs) == WAIT_OBJECT_0)
                return;
        }
    }
}
