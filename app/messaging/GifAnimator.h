// The one smiley animation of the program: a player per smiley in use and
// one ticker thread that sleeps until the earliest next frame of them all
// (at most 10 s) and repaints the controls of the players it moves on.
// Register, Unregister, Start and Stop run on the UI thread; the ticker on
// its own. Lock order: the animator's lock, then a player's.
#pragma once

#include <windows.h>

#include "JOVArray.h"

class CGifPlayer;
class CSmailyCtrl;

class CGifAnimator {
public:
    // Becomes the animator GetGifAnimator answers.
    CGifAnimator();
    // Stops the ticker (waiting for it) and deletes the players.
    virtual ~CGifAnimator();
    CGifAnimator(const CGifAnimator&) = delete;
    CGifAnimator& operator=(const CGifAnimator&) = delete;

    // The player of the control's smiley, made on first use.
    CGifPlayer* Register(CSmailyCtrl* control);
    void Unregister(CSmailyCtrl* control);
    void Start();
    // Ends the ticker and waits for it, so that a Start soon after makes one ticker only.
    void Stop();

    bool IsRunning();
    int GetPlayerCount();

protected:
    // The ticker's sleep; a registration or Stop wakes it early.
    virtual void WaitForWake(DWORD milliseconds);

private:
    static DWORD WINAPI TickerThread(void* animator);
    void RunTicker();

    CJOVArray<CGifPlayer*> m_players;
    HANDLE m_thread;
    DWORD m_threadId;
    CRITICAL_SECTION m_lock;
    // Held through a whole Start or Stop (never by the ticker), so that a Start
    // on another thread cannot slip in while Stop waits for the old ticker.
    CRITICAL_SECTION m_startStopLock;
    int m_running;
    HANDLE m_wake;
};

// The animator the messaging window made, or null while there is none.
CGifAnimator* GetGifAnimator();

// Called by the skin manager before it replaces the smilies set.
void StopSmileyAnimation();
