#include "sockets/SocketOwner.h"

#include <chrono>

#include "ServiceIds.h"

int CSocketOwner::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    SocketEvent event;
    event.name.assign(name.Data() ? name.Data() : L"", static_cast<size_t>(name.GetLength()));
    if (sender != GUID_SocketsManager)
        event.name = L"(foreign sender) " + event.name;
    if (auto* socket = dynamic_cast<CEventArg_Data<JOVSockets::CJOVSocket*>*>(arg1))
        event.socket = socket->m_data;
    if (!arg2) {
        event.kind = SocketEvent::kNone;
    } else if (auto* i = dynamic_cast<CEventArg_Data<int>*>(arg2)) {
        event.kind = SocketEvent::kInt;
        event.value = i->m_data;
    } else if (auto* l = dynamic_cast<CEventArg_Data<long>*>(arg2)) {
        event.kind = SocketEvent::kLong;
        event.value = l->m_data;
    } else if (auto* u = dynamic_cast<CEventArg_Data<unsigned long>*>(arg2)) {
        event.kind = SocketEvent::kUnsignedLong;
        event.value = static_cast<long long>(u->m_data);
    } else {
        event.kind = SocketEvent::kOther;
    }

    if (event.name == L"Write" && m_writeHook)
        m_writeHook(event.socket);
    if (event.name == L"Receive") {
        if (m_hook)
            m_hook(event.socket, static_cast<int>(event.value));
        if (m_readOnReceive) {
            char piece[700];  // the accounts read in pieces of their own size
            std::string read;
            for (int n; (n = m_manager.Read(event.socket, piece, sizeof piece)) > 0;)
                read.append(piece, static_cast<size_t>(n));
            AddReceived(read.data(), read.size());
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(event);
    }
    m_changed.notify_all();
    return 0;
}

bool CSocketOwner::WaitFor(const wchar_t* name, int count, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        int seen = 0;
        for (const SocketEvent& event : m_events)
            seen += event.name == name;
        return seen >= count;
    });
}

bool CSocketOwner::WaitForBytes(size_t count, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.size() >= count; });
}

std::vector<SocketEvent> CSocketOwner::Events()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

SocketEvent CSocketOwner::First(const wchar_t* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const SocketEvent& event : m_events) {
        if (event.name == name)
            return event;
    }
    return SocketEvent();
}

int CSocketOwner::Count(const wchar_t* name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int seen = 0;
    for (const SocketEvent& event : m_events)
        seen += event.name == name;
    return seen;
}

std::string CSocketOwner::Received()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void CSocketOwner::AddReceived(const char* data, size_t count)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(data, count);
    }
    m_changed.notify_all();
}
