#include "ConnectionManager.h"

#include <map>

namespace {

// The one destination network of the desktop ("the Internet").
const GUID kInternet = {0x132d3263, 0x36ea, 0x41d2, {0x86, 0xe6, 0xa9, 0x35, 0x0b, 0x78, 0xb4, 0xd2}};

struct Connection {
    DWORD status;
};

// Process-wide state, guarded by one lock. Built on first use so that it
// exists whatever the order of static initialisation.
struct State {
    CRITICAL_SECTION lock;
    HANDLE apiReady;  // manual-reset, signalled while the API is ready
    bool networkAvailable = true;
    bool statusFailing = false;
    std::map<HANDLE, Connection> connections;  // keyed by the connection's event

    State()
    {
        InitializeCriticalSection(&lock);
        apiReady = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    }
};

State& GetState()
{
    static State* state = new State();  // lives to the process end: workers may outlive statics
    return *state;
}

class Lock {
public:
    Lock() : m_state(GetState()) { EnterCriticalSection(&m_state.lock); }
    ~Lock() { LeaveCriticalSection(&m_state.lock); }
    State* operator->() { return &m_state; }

private:
    State& m_state;
};

} // namespace

HANDLE ConnMgrApiReadyEvent()
{
    Lock state;
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), state->apiReady, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

HRESULT ConnMgrMapURL(LPCWSTR url, GUID* destination, DWORD* index)
{
    if (!url || !destination)
        return E_INVALIDARG;
    if (index && *index > 0)
        return E_FAIL;  // no further destination
    *destination = kInternet;
    return S_OK;
}

HRESULT ConnMgrEstablishConnectionSync(CONNMGR_CONNECTIONINFO* info, HANDLE* connection, DWORD, DWORD* status)
{
    if (!info || !connection || info->cbSize != sizeof(CONNMGR_CONNECTIONINFO))
        return E_INVALIDARG;
    *connection = nullptr;
    Lock state;
    if (!state->networkAvailable) {
        if (status)
            *status = CONNMGR_STATUS_CONNECTIONFAILED;
        return E_FAIL;
    }
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event)
        return E_OUTOFMEMORY;
    state->connections[event] = Connection{CONNMGR_STATUS_CONNECTED};
    *connection = event;
    if (status)
        *status = CONNMGR_STATUS_CONNECTED;
    return S_OK;
}

HRESULT ConnMgrConnectionStatus(HANDLE connection, DWORD* status)
{
    if (!status)
        return E_INVALIDARG;
    Lock state;
    auto found = state->connections.find(connection);
    if (found == state->connections.end())
        return E_INVALIDARG;
    if (state->statusFailing)
        return E_FAIL;
    *status = found->second.status;
    return S_OK;
}

HRESULT ConnMgrReleaseConnection(HANDLE connection, LONG)
{
    if (!connection)
        return S_OK;
    Lock state;
    auto found = state->connections.find(connection);
    if (found == state->connections.end())
        return E_INVALIDARG;
    CloseHandle(found->first);
    state->connections.erase(found);
    return S_OK;
}

void ConnMgrSimulateNetwork(bool available)
{
    Lock state;
    state->networkAvailable = available;
    for (auto& entry : state->connections) {
        DWORD status = available ? CONNMGR_STATUS_CONNECTED : CONNMGR_STATUS_DISCONNECTED;
        if (entry.second.status != status) {
            entry.second.status = status;
            SetEvent(entry.first);
        }
    }
}

void ConnMgrSimulateApiReady(bool ready)
{
    Lock state;
    if (ready)
        SetEvent(state->apiReady);
    else
        ResetEvent(state->apiReady);
}

void ConnMgrSimulateStatusFailure(bool failing)
{
    Lock state;
    state->statusFailing = failing;
    if (failing) {
        for (auto& entry : state->connections)
            SetEvent(entry.first);
    }
}

int ConnMgrHeldConnections()
{
    Lock state;
    return static_cast<int>(state->connections.size());
}
