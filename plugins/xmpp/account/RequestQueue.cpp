#include "RequestQueue.h"

#include <vector>

#include "CriticalSectionLock.h"
#include "IqSenders.h"

namespace {

bool TypeIs(XmlNode* iq, const wchar_t* type)
{
    return AttributeIs(iq, "type", type);
}

} // namespace

RequestQueue::RequestQueue(CJabberProtocol* account, CIqSenders* senders, const JabberTimings& timings)
    : m_account(account),
      m_senders(senders),
      m_timings(timings),
      m_thread(nullptr),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    InitializeCriticalSection(&m_lock);
}

RequestQueue::~RequestQueue()
{
    Shutdown();
    CloseHandle(m_stop);
    DeleteCriticalSection(&m_lock);
}

void RequestQueue::AddHandler(IqHandler handler, void* data, int typeMask, int fill, const wchar_t* xmlns,
                              const wchar_t* childName, bool ownAccountOnly)
{
    CCriticalSectionLock hold(m_lock);
    m_handlers.push_back(Handler{handler, data, typeMask, fill, CJOVString(xmlns), xmlns == nullptr,
                                 CJOVString(childName), childName == nullptr, ownAccountOnly});
}

void RequestQueue::Add(int number, RequestCallback callback, DWORD timeoutMs, int fill, const CJOVString& asked)
{
    PendingRequest request;
    request.number = number;
    request.callback = callback;
    request.startTick = m_timings.tick();
    request.timeoutMs = timeoutMs;
    request.fill = fill;
    request.asked = asked;
    CCriticalSectionLock hold(m_lock);
    m_pending.push_back(request);
}

bool RequestQueue::Start()
{
    if (m_thread)
        return false;
    ResetEvent(m_stop);
    m_thread = CreateThread(nullptr, 0, &RequestQueue::Run, this, 0, nullptr);
    return m_thread != nullptr;
}

void RequestQueue::Shutdown()
{
    if (!m_thread)
        return;
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

void RequestQueue::ExpireAll(int kind)
{
    std::list<PendingRequest> expired;
    {
        CCriticalSectionLock hold(m_lock);
        expired.swap(m_pending);
    }
    for (PendingRequest& request : expired) {
        request.values.kind = kind;
        if (request.callback)
            request.callback(request, nullptr, m_account);
    }
}

size_t RequestQueue::PendingCount()
{
    CCriticalSectionLock hold(m_lock);
    return m_pending.size();
}

void RequestQueue::Fill(int fill, XmlNode* iq, IqValues& values)
{
    if (fill & kFillChild) {
        values.child = GetFirstChild(iq);
        if (values.child && (fill & kFillChildName))
            values.childName = CJOVString(reinterpret_cast<const unsigned char*>(values.child->name.c_str()), CP_UTF8);
        if (const CJOVString* xmlns = (fill & kFillChildXmlns) ? GetAttribute(values.child, "xmlns") : nullptr)
            values.childXmlns = *xmlns;
    }
    if (const CJOVString* from = (fill & kFillFrom) ? GetAttribute(iq, "from") : nullptr) {
        values.from = *from;
        if ((fill & kFillFromContact) && m_senders)
            values.fromContactId = m_senders->ContactIdOf(*from);
    }
    if (const CJOVString* to = (fill & kFillTo) ? GetAttribute(iq, "to") : nullptr)
        values.to = *to;
    if (const CJOVString* id = (fill & kFillId) ? GetAttribute(iq, "id") : nullptr)
        values.id = *id;
}

bool RequestQueue::HandleResult(int number, XmlNode* iq)
{
    int kind = TypeIs(iq, L"result") ? kIqResult : TypeIs(iq, L"error") ? kIqError : kIqTimedOut;
    if (number == -1 || kind == kIqTimedOut)
        return false;
    const CJOVString* from = GetAttribute(iq, "from");
    PendingRequest request;
    {
        CCriticalSectionLock hold(m_lock);
        auto found = m_pending.begin();
        for (; found != m_pending.end(); ++found) {
            if (found->number == number && (!m_senders || m_senders->IsAnswerFrom(found->asked, from)))
                break;
        }
        if (found == m_pending.end())
            return false;
        request = *found;
        m_pending.erase(found);
    }
    request.values.kind = kind;
    // An error's first child is its <error>, not an answer.
    Fill(kind == kIqResult ? request.fill : request.fill & ~(kFillChild | kFillChildName | kFillChildXmlns), iq,
         request.values);
    if (request.callback)
        request.callback(request, iq, m_account);
    return true;
}

bool RequestQueue::HandleGetSet(XmlNode* iq)
{
    int mask = TypeIs(iq, L"get") ? kIqGet : TypeIs(iq, L"set") ? kIqSet : 0;
    if (mask == 0)
        return false;
    XmlNode* child = GetFirstChild(iq);
    CJOVString childName;
    if (child)
        childName = CJOVString(reinterpret_cast<const unsigned char*>(child->name.c_str()), CP_UTF8);
    const CJOVString* xmlns = GetAttribute(child, "xmlns");
    const CJOVString* from = GetAttribute(iq, "from");
    std::vector<Handler> taking;
    {
        CCriticalSectionLock hold(m_lock);
        for (const Handler& handler : m_handlers) {
            if (!(handler.typeMask & mask))
                continue;
            if (!handler.anyNamespace && !(xmlns && *xmlns == handler.xmlns))
                continue;
            if (!handler.anyChild && !(child && childName == handler.childName))
                continue;
            taking.push_back(handler);
        }
    }
    bool handled = false;
    for (const Handler& handler : taking) {
        if (handler.ownAccountOnly && m_senders && !m_senders->IsFromOwnAccount(from))
            continue;
        IqValues values;
        Fill(handler.fill, iq, values);
        handler.handler(values, iq, m_account, handler.data);
        handled = true;
    }
    return handled;
}

void RequestQueue::ExpireTimedOut()
{
    for (;;) {
        PendingRequest request;
        {
            CCriticalSectionLock hold(m_lock);
            DWORD now = m_timings.tick();
            auto found = m_pending.begin();
            for (; found != m_pending.end(); ++found) {
                if (MoreThanElapsed(now, found->startTick, found->timeoutMs))
                    break;
            }
            if (found == m_pending.end())
                return;
            request = *found;
            m_pending.erase(found);
        }
        request.values.kind = kIqTimedOut;
        if (request.callback)
            request.callback(request, nullptr, m_account);
    }
}

DWORD WINAPI RequestQueue::Run(LPVOID parameter)
{
    auto* queue = static_cast<RequestQueue*>(parameter);
    do {
        queue->ExpireTimedOut();
    } while (WaitForSingleObject(queue->m_stop, queue->m_timings.queueScanMs) == WAIT_TIMEOUT);
    return 0;
}
