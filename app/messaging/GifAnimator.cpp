#include "messaging/GifAnimator.h"

#include <atomic>

#include "CriticalSectionLock.h"
#include "messaging/GifPlayer.h"
#include "messaging/SmailyCtrl.h"

namespace {

std::atomic<CGifAnimator*> g_animator{nullptr};
// The longest sleep of the ticker, also with only still smilies shown.
const int kLongestWait = 10000;

} // namespace

CGifAnimator* GetGifAnimator() { return g_animator.load(); }

void StopSmileyAnimation()
{
    if (CGifAnimator* animator = GetGifAnimator())
        animator->Stop();
}

CGifAnimator::CGifAnimator()
    : m_players(10), m_thread(nullptr), m_threadId(0), m_running(0), m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    InitializeCriticalSection(&m_lock);
    InitializeCriticalSection(&m_startStopLock);
    g_animator = this;
}

CGifAnimator::~CGifAnimator()
{
    Stop();
    CGifAnimator* self = this;
    g_animator.compare_exchange_strong(self, nullptr);
    for (int i = 0; i < m_players.Count(); ++i)
        delete m_players[i];
    DeleteCriticalSection(&m_startStopLock);
    DeleteCriticalSection(&m_lock);
    if (m_wake)
        CloseHandle(m_wake);
}

CGifPlayer* CGifAnimator::Register(CSmailyCtrl* control)
{
    CGifPlayer* player = nullptr;
    bool start = false;
    {
        CCriticalSectionLock lock(m_lock);
        for (int i = 0; i < m_players.Count() && !player; ++i) {
            if (m_players[i]->GetSmileyIndex() == control->GetSmileyIndex())
                player = m_players[i];
        }
        if (!player) {
            player = new CGifPlayer(control->GetSmilies(), control->GetSmileyIndex());
            m_players.Append(player);
        }
        player->AddControl(control);
        SetEvent(m_wake);
        // Whatever registered first, an animated smiley needs the ticker.
        start = !m_running && player->IsAnimated();
    }
    if (start)
        Start();
    return player;
}

void CGifAnimator::Unregister(CSmailyCtrl* control)
{
    bool stop = false;
    {
        CCriticalSectionLock lock(m_lock);
        for (int i = 0; i < m_players.Count(); ++i) {
            CGifPlayer* player = m_players[i];
            if (player->GetSmileyIndex() != control->GetSmileyIndex())
                continue;
            if (player->RemoveControl(control)) {
                delete player;
                m_players.Remove(i);
                stop = m_players.Count() == 0;
            }
            break;
        }
    }
    // Outside the lock: Stop waits for the ticker, which needs it to end.
    if (stop)
        Stop();
}

void CGifAnimator::Start()
{
    CCriticalSectionLock startStop(m_startStopLock);
    CCriticalSectionLock lock(m_lock);
    if (m_running)
        return;
    m_running = 1;
    m_thread = CreateThread(nullptr, 0, TickerThread, this, 0, &m_threadId);
    if (!m_thread)
        m_running = 0;
}

void CGifAnimator::Stop()
{
    CCriticalSectionLock startStop(m_startStopLock);
    HANDLE thread;
    DWORD threadId;
    {
        CCriticalSectionLock lock(m_lock);
        m_running = 0;
        thread = m_thread;
        threadId = m_threadId;
        m_thread = nullptr;
        m_threadId = 0;
    }
    SetEvent(m_wake);
    if (!thread)
        return;
    if (threadId != GetCurrentThreadId())
        WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

bool CGifAnimator::IsRunning()
{
    CCriticalSectionLock lock(m_lock);
    return m_running != 0;
}

int CGifAnimator::GetPlayerCount()
{
    CCriticalSectionLock lock(m_lock);
    return m_players.Count();
}

void CGifAnimator::WaitForWake(DWORD milliseconds) { WaitForSingleObject(m_wake, milliseconds); }

DWORD WINAPI CGifAnimator::TickerThread(void* animator)
{
    static_cast<CGifAnimator*>(animator)->RunTicker();
    return 0;
}

void CGifAnimator::RunTicker()
{
    WaitForSingleObject(m_wake, 0);
    EnterCriticalSection(&m_lock);
    int elapsed = 0;
    while (m_running) {
        int wait = kLongestWait;
        for (int i = 0; i < m_players.Count(); ++i) {
            int next = m_players[i]->Tick(elapsed);
            if (next < wait)
                wait = next;
        }
        LeaveCriticalSection(&m_lock);
        // The whole wait counts as passed, also when a registration cut it short.
        elapsed = wait;
        WaitForWake(static_cast<DWORD>(wait));
        EnterCriticalSection(&m_lock);
    }
    LeaveCriticalSection(&m_lock);
}
