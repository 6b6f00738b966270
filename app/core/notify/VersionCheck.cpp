#include "core/notify/VersionCheck.h"

#include <wininet.h>

#include <cwctype>
#include <mutex>

#include "ServiceIds.h"
#include "core/DebugLine.h"
#include "core/settings/JOVDatabase.h"

namespace {

const wchar_t kAgent[] = L"JOV for PDA";
const wchar_t kObject[] = L"/newpda_ppc.php";
const wchar_t kUpdateServer[] = L"Update server";
const wchar_t kVerCheckTime[] = L"VerCheckTime";
// No third party's host: a distribution names its own server in the setting.
const wchar_t kDefaultServer[] = L"localhost";
const WORD kDefaultPort = 80;
const DWORD kRequestFlags = 0x04040300;  // no cache write, no auth, no UI, pragma no-cache
const DWORD_PTR kConnectContext = 1234;
const DWORD_PTR kRequestContext = 4321;
const int kMaxDigits = 9;
// Stop runs as the program quits: a request cut short ends within this, and
// one that is not is left to end on its own.
const DWORD kStopWaitMs = 100;

Database::CJOVDatabase* Store(Services::CServicesManager* bus)
{
    return bus ? static_cast<Database::CJOVDatabase*>(bus->GetService(GUID_Database)) : nullptr;
}

bool LocalDate(time_t when, SYSTEMTIME* date)
{
    ULONGLONG ticks = (static_cast<ULONGLONG>(when) + 11644473600ULL) * 10000000ULL;
    FILETIME utc = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal;
    return FileTimeToSystemTime(&utc, &universal) && SystemTimeToTzSpecificLocalTime(nullptr, &universal, date);
}

void SetTimeouts(HINTERNET handle, DWORD ms)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &ms, sizeof(ms));
}

} // namespace

// Shared by the checker and its thread, which may outlive it by a little.
struct CVersionCheck::State {
    std::mutex lock;
    bool stopping = false;
    HINTERNET internet = nullptr;  // the running request's session
    Services::CServicesManager* bus = nullptr;
    NoticeFn notice;
    int ownBuild = 0;
    DWORD timeoutMs = 0;
    std::wstring host;
    WORD port = 0;
    time_t now = 0;
};

CVersionCheck::CVersionCheck(Services::CServicesManager* bus, NoticeFn notice, const VersionCheckSettings& settings)
    : m_bus(bus), m_settings(settings), m_state(std::make_shared<State>()), m_thread(nullptr)
{
    m_state->bus = bus;
    m_state->notice = std::move(notice);
    m_state->ownBuild = settings.ownBuild;
    m_state->timeoutMs = settings.timeoutMs;
}

CVersionCheck::~CVersionCheck()
{
    Stop();
}

time_t CVersionCheck::Now() const
{
    return m_settings.now ? m_settings.now() : time(nullptr);
}

bool CVersionCheck::IsDue(unsigned int lastCheck, time_t now)
{
    if (lastCheck == 0)
        return true;
    SYSTEMTIME last, today;
    if (!LocalDate(static_cast<time_t>(lastCheck), &last) || !LocalDate(now, &today))
        return true;
    if (last.wYear != today.wYear)
        return last.wYear < today.wYear;
    if (last.wMonth != today.wMonth)
        return last.wMonth < today.wMonth;
    return last.wDay < today.wDay;
}

bool CVersionCheck::IsDue()
{
    unsigned int last = 0;
    if (Database::CJOVDatabase* store = Store(m_bus))
        store->GetDWord(GUID_ServicesManager, CJOVString(kVerCheckTime), &last);
    return IsDue(last, Now());
}

bool CVersionCheck::ParseServer(const CJOVString& server, std::wstring* host, WORD* port)
{
    std::wstring text(server.Data() ? std::wstring(server.Data(), server.GetLength()) : std::wstring());
    size_t colon = text.find(L':');
    *port = kDefaultPort;
    if (colon != std::wstring::npos) {
        std::wstring digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5)
            return false;
        unsigned value = 0;
        for (wchar_t c : digits) {
            if (!std::iswdigit(c))
                return false;
            value = value * 10 + (c - L'0');
        }
        if (value == 0 || value > 65535)
            return false;
        *port = static_cast<WORD>(value);
        text = text.substr(0, colon);
    }
    for (wchar_t c : text) {
        if (std::iswspace(c) || c == L'/' || c == L'@')
            return false;
    }
    *host = text;
    return !text.empty();
}

int CVersionCheck::ParseBuildNumber(const std::string& body)
{
    int value = 0;
    size_t digits = 0;
    while (digits < body.size() && body[digits] >= '0' && body[digits] <= '9') {
        if (digits == kMaxDigits)
            return 0;
        value = value * 10 + (body[digits] - '0');
        ++digits;
    }
    return value;
}

VersionAnswer CVersionCheck::Fetch(const std::wstring& host, WORD port, int ownBuild, DWORD timeoutMs, State* state)
{
    VersionAnswer answer;
    HINTERNET internet = InternetOpenW(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!internet)
        return answer;
    SetTimeouts(internet, timeoutMs);
    if (state) {
        std::lock_guard<std::mutex> hold(state->lock);
        if (state->stopping) {
            InternetCloseHandle(internet);
            return answer;
        }
        state->internet = internet;
    }
    HINTERNET connection = InternetConnectW(internet, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                                            kConnectContext);
    HINTERNET request = connection ? HttpOpenRequestW(connection, nullptr, kObject, nullptr, nullptr, nullptr,
                                                      kRequestFlags, kRequestContext)
                                   : nullptr;
    // Each handle keeps its own time-outs.
    if (connection)
        SetTimeouts(connection, timeoutMs);
    if (request) {
        SetTimeouts(request, timeoutMs);
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        GetVersionExW(&version);
        wchar_t header[128];
        swprintf(header, 128, L"User-Agent: Mozilla/4.0 (compatible; jovpdappc%d; Windows CE %d.%d)", ownBuild,
                 static_cast<int>(version.dwMajorVersion), static_cast<int>(version.dwMinorVersion));
        if (HttpSendRequestW(request, header, static_cast<DWORD>(-1), nullptr, 0)) {
            DWORD status = 0;
            DWORD size = sizeof(status);
            answer.answered = HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                             &size, nullptr) != FALSE;
            answer.status = status;
            // At most kMaxAnswer bytes, whatever the server sends.
            char chunk[VersionAnswer::kMaxAnswer];
            DWORD got = 0;
            while (answer.body.size() < VersionAnswer::kMaxAnswer &&
                   InternetReadFile(request, chunk, static_cast<DWORD>(VersionAnswer::kMaxAnswer - answer.body.size()),
                                    &got) &&
                   got > 0)
                answer.body.append(chunk, got);
        }
    }
    // Stop may have closed the session already.
    bool closed = false;
    if (state) {
        std::lock_guard<std::mutex> hold(state->lock);
        closed = state->internet != internet;
        state->internet = nullptr;
    }
    if (request)
        InternetCloseHandle(request);
    if (connection)
        InternetCloseHandle(connection);
    if (!closed)
        InternetCloseHandle(internet);
    return answer;
}

namespace {

DWORD WINAPI VersionCheckThreadProc(void* param)
{
    // The thread's own reference: the checker may go first.
    auto* held = static_cast<std::shared_ptr<CVersionCheck::State>*>(param);
    std::shared_ptr<CVersionCheck::State> state = *held;
    delete held;
    VersionAnswer answer =
        CVersionCheck::Fetch(state->host, state->port, state->ownBuild, state->timeoutMs, state.get());
    int latest = answer.status == HTTP_STATUS_OK ? CVersionCheck::ParseBuildNumber(answer.body) : 0;
    std::lock_guard<std::mutex> hold(state->lock);
    if (state->stopping)
        return 0;
    if (latest == 0) {
        DebugLine(L"version check: no build number (%ls, HTTP status %u)",
                  answer.answered ? L"answered" : L"no answer", static_cast<unsigned>(answer.status));
        return 0;
    }
    bool newer = latest > state->ownBuild;
    DebugLine(L"version check: newest build %d, ours %d%ls", latest, state->ownBuild,
              newer ? L": notice added" : L"");
    if (newer && state->notice)
        state->notice(latest);
    if (Database::CJOVDatabase* store = Store(state->bus)) {
        unsigned int now = static_cast<unsigned int>(state->now);
        store->SetDWord(GUID_ServicesManager, CJOVString(kVerCheckTime), &now);
    }
    return static_cast<DWORD>(latest);
}

} // namespace

CJOVString CVersionCheck::ServerSetting()
{
    CJOVString server(kDefaultServer);
    if (Database::CJOVDatabase* store = Store(m_bus))
        store->GetString(GUID_ServicesManager, CJOVString(kUpdateServer), &server);
    return server;
}

void CVersionCheck::Start()
{
    if (m_thread && WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT)
        return;
    if (m_thread) {
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    std::wstring host;
    WORD port = 0;
    CJOVString server = ServerSetting();
    if (!ParseServer(server, &host, &port)) {
        DebugLine(L"version check: unusable update server \"%ls\"", static_cast<wchar_t*>(server));
        return;
    }
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        if (m_state->stopping)
            return;
        m_state->host = host;
        m_state->port = port;
        // The check counts from when it was asked for.
        m_state->now = Now();
    }
    auto* param = new std::shared_ptr<State>(m_state);
    m_thread = CreateThread(nullptr, 0, VersionCheckThreadProc, param, 0, nullptr);
    if (!m_thread)
        delete param;
}

void CVersionCheck::StartIfDue()
{
    if (IsDue())
        Start();
}

bool CVersionCheck::Wait(DWORD ms)
{
    return !m_thread || WaitForSingleObject(m_thread, ms) != WAIT_TIMEOUT;
}

void CVersionCheck::Stop()
{
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        m_state->stopping = true;
        // Closing the session ends a request that waits on the network.
        if (m_state->internet)
            InternetCloseHandle(m_state->internet);
        m_state->internet = nullptr;
    }
    if (!m_thread)
        return;
    // A request that waits on the network is not always cut short by closing
    // its session; the thread then ends at its time-outs on its own, touching
    // nothing but WinINet and its own reference to the state.
    WaitForSingleObject(m_thread, kStopWaitMs);
    CloseHandle(m_thread);
    m_thread = nullptr;
}
