// The new-version check: at most once a calendar day, once some account is
// online, ask the update server (the setting "Update server", "host" or
// "host:port", section GUID_ServicesManager) for the number of its newest
// build over HTTP, and hand a newer one than ours to the notice callback.
// The time of the last answered check is "VerCheckTime" in the same section.
//
// Each check runs on a thread of its own, at most one at a time. Stop (at
// shut-down) cuts the check off: after it returns the thread touches neither
// the settings nor the callback.
#pragma once

#include <windows.h>

#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "JOVString.h"
#include "ServicesManager.h"

struct VersionCheckSettings {
    int ownBuild = 2020;
    // Connect, send and receive time-outs of each request.
    DWORD timeoutMs = 10000;
    std::function<time_t()> now;  // empty: the system clock
};

// What one request got: the HTTP status and at most kMaxAnswer bytes of the body.
struct VersionAnswer {
    static constexpr size_t kMaxAnswer = 32;
    bool answered = false;
    DWORD status = 0;
    std::string body;
};

class CVersionCheck {
public:
    typedef std::function<void(int build)> NoticeFn;

    CVersionCheck(Services::CServicesManager* bus, NoticeFn notice,
                  const VersionCheckSettings& settings = VersionCheckSettings());
    ~CVersionCheck();
    CVersionCheck(const CVersionCheck&) = delete;
    CVersionCheck& operator=(const CVersionCheck&) = delete;

    bool IsDue();
    // Nothing while a check still runs.
    void Start();
    void StartIfDue();
    // Cuts a running check off: once it returns, the check neither stores
    // nor adds a notice. Waits a little for the thread to end.
    void Stop();
    // Waits for the running check; false when it still runs after ms.
    bool Wait(DWORD ms);

    // Due when the last check's local calendar day is before today's; always
    // when there was none (0).
    static bool IsDue(unsigned int lastCheck, time_t now);
    // "host" or "host:port" (port 80 when none); false when unusable.
    static bool ParseServer(const CJOVString& server, std::wstring* host, WORD* port);
    // The decimal number at the start of the answer, 0 when there is none.
    static int ParseBuildNumber(const std::string& body);
    // One request for "/newpda_ppc.php".
    // state, when given, lets Stop close the request's handles.
    struct State;
    static VersionAnswer Fetch(const std::wstring& host, WORD port, int ownBuild, DWORD timeoutMs,
                               State* state = nullptr);

private:
    CJOVString ServerSetting();
    time_t Now() const;

    Services::CServicesManager* m_bus;
    VersionCheckSettings m_settings;
    std::shared_ptr<State> m_state;
    HANDLE m_thread;
};
