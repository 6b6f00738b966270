#include "EventsQueue.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <new>
#include <vector>

#include "Trace.h"

namespace {

enum class ItemState { Queued, Running, Answered, Dropped };

struct EventItem {
    CEventsClient* client;
    JOV_GUID sender;
    CJOVString name;
    unsigned char priority;
    CEventArg* arg1;
    CEventArg* arg2;
    bool synchronous;  // a sent item lives on its sender's stack
    ItemState state;
    int result;
    long long queuedAt;  // for the trace; 0 while it is off
};

void ReleaseArgs(CEventArg* arg1, CEventArg* arg2)
{
    if (arg1)
        arg1->Release();
    if (arg2)
        arg2->Release();
}

class SRWGuard {
public:
    explicit SRWGuard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~SRWGuard() { ReleaseSRWLockExclusive(&m_lock); }
    SRWGuard(const SRWGuard&) = delete;
    SRWGuard& operator=(const SRWGuard&) = delete;

private:
    SRWLOCK& m_lock;
};

enum class Phase { NotStarted, Running, Stopped };

} // namespace

// Everything the worker touches. Held by the queue object and by the worker,
// so a queue destroyed from inside its own handler leaves the worker a valid
// state to finish and end with.
struct CEventsQueue::Core {
    Core(const CJOVString& queueName, unsigned long timeoutMs, unsigned long idleMs)
        : name(queueName), sendTimeoutMs(timeoutMs), idleMs(idleMs)
    {
        InitializeSRWLock(&lock);
        InitializeConditionVariable(&itemQueued);
        InitializeConditionVariable(&itemChanged);
    }

    void AddRef() { InterlockedIncrement(&refs); }
    void Release()
    {
        if (InterlockedDecrement(&refs) == 0)
            delete this;
    }

    DWORD ThreadFunc();
    // A worker for the queued events, started when there is none. Lock held.
    bool EnsureWorker();
    int Send(CEventsClient* client, const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1,
             CEventArg* arg2);
    // Takes every queued item off; sent items are marked dropped (their
    // senders wake), posted ones handed back for disposal. Lock held.
    void DropAll(std::vector<CEventArg*>& args, std::vector<EventItem*>& posted);
    static void Dispose(std::vector<CEventArg*>& args, std::vector<EventItem*>& posted);

    SRWLOCK lock;
    CONDITION_VARIABLE itemQueued;   // the worker waits on it
    CONDITION_VARIABLE itemChanged;  // senders wait on it for their item's state
    std::deque<EventItem*> fifo;
    CJOVString name;  // the client's name, for nothing but identification
    unsigned long sendTimeoutMs;
    unsigned long idleMs;  // an idle worker ends after this; the next event starts another
    Phase phase = Phase::NotStarted;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    volatile long refs = 1;
};

unsigned long __stdcall CEventsQueue::s_ThreadFunc(void* param)
{
    if (!param)
        return 0xFFFFFFFF;
    return static_cast<Core*>(param)->ThreadFunc();
}

DWORD CEventsQueue::Core::ThreadFunc()
{
    AcquireSRWLockExclusive(&lock);
    for (;;) {
        while (fifo.empty() && phase == Phase::Running) {
            if (SleepConditionVariableSRW(&itemQueued, &lock, idleMs, 0) || !fifo.empty() ||
                phase != Phase::Running)
                continue;
            // Idle: every thread holds a stack of its own, and most clients
            // hear nothing for minutes. Stop no longer waits for this one.
            CloseHandle(thread);
            thread = nullptr;
            threadId = 0;
            ReleaseSRWLockExclusive(&lock);
            Release();
            return 0;
        }
        if (phase != Phase::Running)
            break;
        EventItem* item = fifo.front();
        fifo.pop_front();
        item->state = ItemState::Running;
        const bool synchronous = item->synchronous;
        ReleaseSRWLockExclusive(&lock);

        int result = kEventNoAnswer;
        const long long startedAt = item->queuedAt ? TraceNow() : 0;
        if (item->client)
            result = item->client->OnEvent(item->sender, item->name, item->arg1, item->arg2);
        if (startedAt)
            TraceHandOver(name, item->name, item->queuedAt, startedAt);
        ReleaseArgs(item->arg1, item->arg2);
        if (!synchronous)
            delete item;

        AcquireSRWLockExclusive(&lock);
        if (synchronous) {
            item->result = result;
            item->state = ItemState::Answered;
            WakeAllConditionVariable(&itemChanged);
        }
    }
    ReleaseSRWLockExclusive(&lock);
    Release();
    return 0;
}

bool CEventsQueue::Core::EnsureWorker()
{
    if (thread)
        return true;
    // Suspended until the id is recorded: a handler's send to its own queue
    // must be recognised from the very first event.
    AddRef();
    DWORD id = 0;
    HANDLE created = CreateThread(nullptr, 0, s_ThreadFunc, this, CREATE_SUSPENDED, &id);
    if (!created) {
        Release();
        return false;
    }
    thread = created;
    threadId = id;
    ResumeThread(created);
    return true;
}

void CEventsQueue::Core::DropAll(std::vector<CEventArg*>& args, std::vector<EventItem*>& posted)
{
    for (EventItem* item : fifo) {
        args.push_back(item->arg1);
        args.push_back(item->arg2);
        if (item->synchronous)
            item->state = ItemState::Dropped;
        else
            posted.push_back(item);
    }
    fifo.clear();
    WakeAllConditionVariable(&itemChanged);
}

void CEventsQueue::Core::Dispose(std::vector<CEventArg*>& args, std::vector<EventItem*>& posted)
{
    for (CEventArg* arg : args)
        if (arg)
            arg->Release();
    for (EventItem* item : posted)
        delete item;
}

CEventsQueue::CEventsQueue(const CJOVString& name, unsigned long sendTimeoutMs, unsigned long idleMs)
    : m_core(new Core(name, sendTimeoutMs, idleMs))
{
}

CEventsQueue::~CEventsQueue()
{
    Stop();
    m_core->Release();
}

bool CEventsQueue::Start()
{
    SRWGuard guard(m_core->lock);
    if (m_core->phase != Phase::NotStarted || !m_core->EnsureWorker())
        return false;
    m_core->phase = Phase::Running;
    return true;
}

bool CEventsQueue::PostEvent(CEventsClient* client, const JOV_GUID& sender, const CJOVString& name,
                             CEventArg* arg1, CEventArg* arg2, unsigned char priority)
{
    EventItem* item = new (std::nothrow) EventItem{client, sender, name, priority, arg1, arg2, false,
                                                   ItemState::Queued, 0, TraceOn() ? TraceNow() : 0};
    if (item) {
        SRWGuard guard(m_core->lock);
        if (m_core->phase == Phase::Running && m_core->EnsureWorker()) {
            m_core->fifo.push_back(item);
            WakeConditionVariable(&m_core->itemQueued);
            return true;
        }
    }
    delete item;
    ReleaseArgs(arg1, arg2);
    return false;
}

bool CEventsQueue::PostEvents(CEventsClient* client, const Posted* events, size_t count)
{
    const long long queuedAt = TraceOn() ? TraceNow() : 0;
    std::vector<EventItem*> items;
    items.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        EventItem* item = new (std::nothrow) EventItem{client, *events[i].sender, *events[i].name, 255,
                                                       events[i].arg1, events[i].arg2, false, ItemState::Queued,
                                                       0, queuedAt};
        if (!item)
            break;
        items.push_back(item);
    }
    if (items.size() == count) {
        SRWGuard guard(m_core->lock);
        if (m_core->phase == Phase::Running && m_core->EnsureWorker()) {
            m_core->fifo.insert(m_core->fifo.end(), items.begin(), items.end());
            WakeConditionVariable(&m_core->itemQueued);
            return true;
        }
    }
    for (EventItem* item : items)
        delete item;
    for (size_t i = 0; i < count; ++i)
        ReleaseArgs(events[i].arg1, events[i].arg2);
    return false;
}

int CEventsQueue::SendEvent(CEventsClient* client, const JOV_GUID& sender, const CJOVString& name,
                            CEventArg* arg1, CEventArg* arg2)
{
    // The handler may destroy this queue while we wait; the core stays.
    Core* core = m_core;
    core->AddRef();
    int result = core->Send(client, sender, name, arg1, arg2);
    core->Release();
    return result;
}

int CEventsQueue::Core::Send(CEventsClient* client, const JOV_GUID& sender, const CJOVString& name,
                             CEventArg* arg1, CEventArg* arg2)
{
    EventItem item{client, sender, name, 128, arg1, arg2, true, ItemState::Queued, 0, TraceOn() ? TraceNow() : 0};
    AcquireSRWLockExclusive(&lock);
    if (phase != Phase::Running || !EnsureWorker()) {
        ReleaseSRWLockExclusive(&lock);
        ReleaseArgs(arg1, arg2);
        return kEventNoAnswer;
    }
    if (GetCurrentThreadId() == threadId) {
        // Queued behind the running handler it would wait for ever: run it now.
        ReleaseSRWLockExclusive(&lock);
        int result = client ? client->OnEvent(sender, name, arg1, arg2) : kEventNoAnswer;
        ReleaseArgs(arg1, arg2);
        return result;
    }
    fifo.push_back(&item);
    WakeConditionVariable(&itemQueued);

    const ULONGLONG deadline = GetTickCount64() + sendTimeoutMs;
    for (;;) {
        if (item.state == ItemState::Running) {
            // Its handler may be writing into objects of ours: wait it out.
            SleepConditionVariableSRW(&itemChanged, &lock, INFINITE, 0);
            continue;
        }
        if (item.state != ItemState::Queued)
            break;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            // Not started in time: take it back so it never runs.
            fifo.erase(std::find(fifo.begin(), fifo.end(), &item));
            ReleaseSRWLockExclusive(&lock);
            ReleaseArgs(arg1, arg2);
            return kEventNoAnswer;
        }
        SleepConditionVariableSRW(&itemChanged, &lock, static_cast<DWORD>(deadline - now), 0);
    }
    int result = item.state == ItemState::Answered ? item.result : kEventNoAnswer;
    ReleaseSRWLockExclusive(&lock);
    return result;
}

bool CEventsQueue::Stop()
{
    std::vector<CEventArg*> args;
    std::vector<EventItem*> posted;
    HANDLE thread = nullptr;
    bool ownThread = false;
    {
        SRWGuard guard(m_core->lock);
        if (m_core->phase != Phase::Running)
            return false;
        m_core->phase = Phase::Stopped;
        m_core->DropAll(args, posted);
        WakeAllConditionVariable(&m_core->itemQueued);
        thread = m_core->thread;
        ownThread = m_core->threadId == GetCurrentThreadId();
        m_core->thread = nullptr;
        m_core->threadId = 0;
    }
    Core::Dispose(args, posted);
    // The worker finishes its handler first; its client must not go away
    // under it. From the worker itself there is nothing to wait for.
    if (thread && !ownThread)
        WaitForSingleObject(thread, INFINITE);
    if (thread)
        CloseHandle(thread);
    return true;
}
