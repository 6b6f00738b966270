// The pop-up notices: incoming messages, contacts signing on and off, account
// warnings and the news of a newer build, shown as notification bubbles one
// at a time, in the order of CNotificationQueue. Message bubbles carry "Open"
// and "Hide"; the answer goes to the callback that start-up sets.
//
// Threads: adds and removals come from the callers' threads (the contact-list
// control's and the protocol plug-in manager's queues, the version check)
// under the lock; a worker of the manager's own shows the notices, without
// the lock while a bubble is up; soft-key answers reach the sink window on
// the thread that created the manager (the UI thread).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>

#include "ServicesManager.h"
#include "core/notify/NotificationQueue.h"
#include "core/notify/Notifications.h"
#include "core/notify/NotifyHost.h"

struct NotificationTimings {
    DWORD warningMs = 7000;  // a warning's bubble
    DWORD shownMs = 7000;    // a status or message bubble
    DWORD blinkMs = 500;     // one blink step
};

class CNotificationsManager final : public CNotifications {
public:
    typedef void (*AnswerCallback)(unsigned int serial, BOOL open);

    // The bubble's soft-key commands and its notification id.
    static constexpr UINT kCmdOpen = 1125;
    static constexpr UINT kCmdHide = 1126;
    static constexpr UINT kCmdOk = 1127;
    static constexpr DWORD kBubbleId = 1001;
    static constexpr int kImageInfo = 49;
    static constexpr int kImageWarning = 53;
    static constexpr int kImageBlank = -1;

    // Reads the seven settings (section GUID_GUI) and starts the worker.
    CNotificationsManager(Services::CServicesManager* bus, CNotifyHost& host,
                          const NotificationTimings& timings = NotificationTimings());
    // Stores the settings, stops the worker and waits for it.
    ~CNotificationsManager();
    CNotificationsManager(const CNotificationsManager&) = delete;
    CNotificationsManager& operator=(const CNotificationsManager&) = delete;

    void AddMessageNotification(unsigned int serial, int imageId, unsigned int contactId,
                                const CJOVString& text) override;
    void AddOnlineNotification(unsigned int contactId) override;
    void AddOfflineNotification(unsigned int contactId) override;
    void RemoveNotification(unsigned int contactId) override;
    NotificationOptions GetOptions() override;
    void SetOptions(const NotificationOptions& options) override;

    void AddNewVersionNotification(int build);
    void AddWarningNotification(const CJOVString& text) override;
    void SetAnswerCallback(AnswerCallback callback);
    // Puts the seven settings into the store (the destructor does too).
    void StoreOptions();

    HWND GetSinkWindow() const { return m_sinkWindow; }
    // The bubble icon of a skin image (the blank one for -1), made on first use.
    HICON GetIcon(int imageId);
    static CLSID BubbleClsid();

private:
    enum WaitResult { kAnswered, kTimedOut, kStopping };

    void Queue(std::unique_ptr<NotificationItem> item);
    void AddStatusNotification(unsigned int contactId, bool online);
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    // Shows the item on display; false when the worker is stopping.
    bool ShowCurrent();
    void Show(const NotificationItem& item, bool twoKeys);
    void Blink(int imageId, bool blank);
    void RemoveBubble(const NotificationItem& item, WaitResult why);
    void RemoveBubble(const NotificationItem& item, const wchar_t* why);
    WaitResult WaitForAnswer(DWORD ms);
    bool StraightToTray(const NotificationItem& item, bool twoKeys, const NotificationOptions& options);
    void LoadOptions();
    void OnCommand(UINT command);
    static LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Services::CServicesManager* m_bus;
    CNotifyHost& m_host;
    NotificationTimings m_timings;
    CNotificationQueue m_queue;
    CRITICAL_SECTION m_lock;
    std::unique_ptr<NotificationItem> m_current;  // guarded by m_lock
    bool m_currentRemoved;                        // guarded by m_lock
    std::mutex m_iconLock;
    std::map<int, HICON> m_iconCache;
    HANDLE m_thread;         // started by the first notice
    bool m_closing = false;  // no worker starts once the destructor runs
    HANDLE m_newItemEvent;  // auto-reset
    HANDLE m_doneEvent;     // auto-reset
    HANDLE m_stopEvent;     // manual-reset
    HWND m_sinkWindow;
    CJOVString m_todayExec;
    NotificationOptions m_options;  // guarded by m_lock
    AnswerCallback m_onAnswer;      // guarded by m_lock
};
