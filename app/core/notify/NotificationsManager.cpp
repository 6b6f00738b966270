#include "core/notify/NotificationsManager.h"

#include <cstring>
#include <string>

#include "CriticalSectionLock.h"
#include "Notification.h"
#include "Screen.h"
#include "ServiceIds.h"
#include "core/DebugLine.h"
#include "core/notify/BubbleHtml.h"
#include "core/notify/ImageIcon.h"
#include "core/settings/JOVDatabase.h"

namespace {

const wchar_t kSinkClass[] = L"Notifications Target Window";
const int kStatusNotAvailable = 12;
const int kStatusOccupied = 13;

const struct {
    const wchar_t* key;
    BOOL NotificationOptions::*field;
} kOptionKeys[] = {
    {L"Turn off", &NotificationOptions::turnOff},
    {L"Sign on", &NotificationOptions::signOn},
    {L"Sign off", &NotificationOptions::signOff},
    {L"Dont blinking", &NotificationOptions::dontBlink},
    {L"Show msg", &NotificationOptions::showMsg},
    {L"Dont show if occupied", &NotificationOptions::dontShowIfOccupied},
    {L"Dont show if active", &NotificationOptions::dontShowIfActive},
};

Database::CJOVDatabase* Store(Services::CServicesManager* bus)
{
    return bus ? static_cast<Database::CJOVDatabase*>(bus->GetService(GUID_Database)) : nullptr;
}

HINSTANCE ThisModule()
{
    return GetModuleHandleW(nullptr);
}

// The main window is in front: it is the foreground window or one of its
// ancestors. Without a main window nothing is in front of the user.
bool MainWindowInFront(HWND main)
{
    if (!main)
        return true;
    for (HWND window = GetForegroundWindow(); window; window = GetParent(window)) {
        if (window == main)
            return true;
    }
    return false;
}

const wchar_t* KindName(int kind)
{
    static const wchar_t* const names[] = {L"warning", L"status", L"message", L"message in the tray"};
    return kind >= 0 && kind <= 3 ? names[kind] : L"?";
}

} // namespace

CLSID CNotificationsManager::BubbleClsid()
{
    CLSID clsid;
    static_assert(sizeof(clsid) == sizeof(CLSID_Notification), "an identifier is 16 bytes");
    std::memcpy(&clsid, &CLSID_Notification, sizeof(clsid));
    return clsid;
}

CNotificationsManager::CNotificationsManager(Services::CServicesManager* bus, CNotifyHost& host,
                                             const NotificationTimings& timings)
    : m_bus(bus), m_host(host), m_timings(timings), m_currentRemoved(false), m_thread(nullptr),
      m_newItemEvent(nullptr), m_doneEvent(nullptr), m_stopEvent(nullptr), m_sinkWindow(nullptr), m_onAnswer(nullptr)
{
    CLSID clsid = BubbleClsid();
    // A bubble left by an earlier run goes.
    SHNotificationRemove(&clsid, kBubbleId);
    LoadOptions();
    m_todayExec = GetAppDir() + CJOVString(L"Jov.exe");
    WNDCLASSW wc = {};
    if (!GetClassInfoW(ThisModule(), kSinkClass, &wc)) {
        wc.lpfnWndProc = SinkProc;
        wc.hInstance = ThisModule();
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        wc.lpszClassName = kSinkClass;
        RegisterClassW(&wc);
    }
    InitializeCriticalSection(&m_lock);
    m_sinkWindow = CreateWindowExW(0, kSinkClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ThisModule(), this);
    m_newItemEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_doneEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CNotificationsManager::~CNotificationsManager()
{
    StoreOptions();
    // Stopped by an event and waited for: a worker cut off mid-call could
    // leave the lock or the shell's bubble half done.
    {
        CCriticalSectionLock hold(m_lock);
        m_closing = true;
    }
    if (m_thread) {
        SetEvent(m_stopEvent);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    if (m_sinkWindow) {
        SetWindowLongPtrW(m_sinkWindow, GWLP_USERDATA, 0);
        DestroyWindow(m_sinkWindow);
    }
    for (HANDLE event : {m_newItemEvent, m_doneEvent, m_stopEvent}) {
        if (event)
            CloseHandle(event);
    }
    DeleteCriticalSection(&m_lock);
    // The worker removed the bubble it showed; a queued item never had one.
    for (auto& entry : m_iconCache) {
        if (entry.second)
            DestroyIcon(entry.second);
    }
}

void CNotificationsManager::Queue(std::unique_ptr<NotificationItem> item)
{
    CCriticalSectionLock hold(m_lock);
    // The worker starts with the first notice: its stack is not held by a
    // program that never shows one.
    if (!m_thread && !m_closing && m_newItemEvent && m_doneEvent && m_stopEvent)
        m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    m_queue.Add(std::move(item));
    SetEvent(m_newItemEvent);
}

void CNotificationsManager::AddMessageNotification(unsigned int serial, int imageId, unsigned int contactId,
                                                   const CJOVString& text)
{
    if (GetOptions().turnOff)
        return;
    auto item = std::make_unique<NotificationItem>();
    item->serial = serial;
    item->kind = kNoticeMessage;
    item->contactId = contactId;
    item->imageId = imageId;
    item->title = m_host.GetContactAlias(contactId);
    item->html = TextToBubbleHtml(text, m_host.GetBubbleSmilies());
    Queue(std::move(item));
}

void CNotificationsManager::AddStatusNotification(unsigned int contactId, bool online)
{
    NotificationOptions options = GetOptions();
    if (options.turnOff || !(online ? options.signOn : options.signOff))
        return;
    unsigned int account = m_host.GetContactAccount(contactId);
    auto item = std::make_unique<NotificationItem>();
    item->kind = kNoticeStatus;
    item->contactId = contactId;
    item->imageId = kImageInfo;
    item->title = NotifyText(m_host, 169, L"Status");
    item->html = StatusBubbleHtml(m_host.GetContactAlias(contactId),
                                  online ? NotifyText(m_host, 2, L"Online") : NotifyText(m_host, 0, L"Offline"),
                                  online, m_host.GetAccountProtocolName(account), m_host.GetAccountName(account));
    Queue(std::move(item));
}

void CNotificationsManager::AddOnlineNotification(unsigned int contactId)
{
    AddStatusNotification(contactId, true);
}

void CNotificationsManager::AddOfflineNotification(unsigned int contactId)
{
    AddStatusNotification(contactId, false);
}

void CNotificationsManager::AddNewVersionNotification(int build)
{
    auto item = std::make_unique<NotificationItem>();
    item->kind = kNoticeStatus;
    item->news = true;
    item->imageId = kImageInfo;
    item->title = NotifyText(m_host, 171, L"Information");
    CJOVString text = NotifyText(m_host, 167, L"New version of JOV PDA (") + CJOVString(std::to_wstring(build).c_str()) +
                      NotifyText(m_host, 168, L") is available on the JOV website.");
    item->html = PlainTextToBubbleHtml(text);
    Queue(std::move(item));
}

void CNotificationsManager::AddWarningNotification(const CJOVString& text)
{
    auto item = std::make_unique<NotificationItem>();
    item->kind = kNoticeWarning;
    item->imageId = kImageWarning;
    item->title = NotifyText(m_host, 170, L"Warning");
    // An account's warning can carry a server's words: shown as text, not markup.
    item->html = PlainTextToBubbleHtml(text);
    Queue(std::move(item));
}

void CNotificationsManager::RemoveNotification(unsigned int contactId)
{
    if (contactId == 0)
        return;
    CCriticalSectionLock hold(m_lock);
    int removed = m_queue.RemoveContact(contactId);
    bool shown = m_current && m_current->contactId == contactId;
    if (shown) {
        m_currentRemoved = true;
        SetEvent(m_doneEvent);
    }
    if (removed || shown)
        DebugLine(L"bubble removed: contact %u, %d waiting%ls", contactId, removed, shown ? L" and the one shown" : L"");
}

NotificationOptions CNotificationsManager::GetOptions()
{
    CCriticalSectionLock hold(m_lock);
    return m_options;
}

void CNotificationsManager::SetOptions(const NotificationOptions& options)
{
    CCriticalSectionLock hold(m_lock);
    m_options = options;
}

void CNotificationsManager::SetAnswerCallback(AnswerCallback callback)
{
    CCriticalSectionLock hold(m_lock);
    m_onAnswer = callback;
}

void CNotificationsManager::LoadOptions()
{
    m_options = NotificationOptions();
    Database::CJOVDatabase* store = Store(m_bus);
    if (!store)
        return;
    for (const auto& key : kOptionKeys) {
        unsigned char value = 0;
        if (store->GetByte(GUID_GUI, CJOVString(key.key), &value))
            m_options.*key.field = value ? TRUE : FALSE;
    }
}

void CNotificationsManager::StoreOptions()
{
    Database::CJOVDatabase* store = Store(m_bus);
    if (!store)
        return;
    NotificationOptions options = GetOptions();
    for (const auto& key : kOptionKeys) {
        unsigned char value = options.*key.field ? 1 : 0;
        store->SetByte(GUID_GUI, CJOVString(key.key), &value);
    }
}

HICON CNotificationsManager::GetIcon(int imageId)
{
    std::lock_guard<std::mutex> hold(m_iconLock);
    auto found = m_iconCache.find(imageId);
    if (found != m_iconCache.end())
        return found->second;
    HICON icon = CreateImageIcon(m_host, std::vector<int>{imageId}, IconSide(Platform::GetScreenDpiX()),
                                 IconSide(Platform::GetScreenDpiY()));
    m_iconCache[imageId] = icon;
    return icon;
}

DWORD WINAPI CNotificationsManager::ThreadProc(void* self)
{
    static_cast<CNotificationsManager*>(self)->Run();
    return 0;
}

void CNotificationsManager::Run()
{
    HANDLE events[2] = {m_stopEvent, m_newItemEvent};
    for (;;) {
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
        for (;;) {
            {
                CCriticalSectionLock hold(m_lock);
                m_current = m_queue.TakeHead();
                m_currentRemoved = false;
                // Reset while taking the item: an answer or a removal that
                // comes before the bubble is up still ends it.
                ResetEvent(m_doneEvent);
                if (!m_current)
                    break;
            }
            if (!ShowCurrent())
                return;
        }
    }
}

CNotificationsManager::WaitResult CNotificationsManager::WaitForAnswer(DWORD ms)
{
    HANDLE events[2] = {m_stopEvent, m_doneEvent};
    DWORD result = WaitForMultipleObjects(2, events, FALSE, ms);
    if (result == WAIT_OBJECT_0 + 1)
        return kAnswered;
    return result == WAIT_TIMEOUT ? kTimedOut : kStopping;
}

bool CNotificationsManager::ShowCurrent()
{
    NotificationItem& item = *m_current;
    NotificationOptions options = GetOptions();
    if (item.kind == kNoticeWarning) {
        Show(item, false);
        WaitResult result = WaitForAnswer(m_timings.warningMs);
        RemoveBubble(item, result);
        CCriticalSectionLock hold(m_lock);
        m_current.reset();
        return result != kStopping;
    }
    if (item.kind == kNoticeStatus || item.kind == kNoticeMessage) {
        bool message = item.kind == kNoticeMessage;
        Show(item, message);
        WaitResult result = kTimedOut;
        bool blank = false;
        for (DWORD waited = 0; waited < m_timings.shownMs; waited += m_timings.blinkMs) {
            result = WaitForAnswer(m_timings.blinkMs);
            if (result != kTimedOut)
                break;
            if (!options.dontBlink) {
                blank = !blank;
                Blink(item.imageId, blank);
            }
        }
        RemoveBubble(item, result);
        CCriticalSectionLock hold(m_lock);
        // An unanswered message waits in the tray, after everything else.
        if (message && result == kTimedOut && !m_currentRemoved) {
            m_current->kind = kNoticeMessageShown;
            m_queue.Add(std::move(m_current));
        }
        m_current.reset();
        return result != kStopping;
    }
    // A message already shown: in the tray, blinking, until it is answered or
    // another notice comes.
    Show(item, true);
    bool blank = false;
    for (;;) {
        WaitResult result = WaitForAnswer(m_timings.blinkMs);
        if (result != kTimedOut) {
            RemoveBubble(item, result);
            CCriticalSectionLock hold(m_lock);
            m_current.reset();
            return result != kStopping;
        }
        if (WaitForSingleObject(m_newItemEvent, 0) == WAIT_OBJECT_0) {
            RemoveBubble(item, L"gives way");
            CCriticalSectionLock hold(m_lock);
            if (!m_currentRemoved)
                m_queue.PutBackFirstShown(std::move(m_current));
            m_current.reset();
            return true;
        }
        if (!options.dontBlink) {
            blank = !blank;
            Blink(item.imageId, blank);
        }
    }
}

bool CNotificationsManager::StraightToTray(const NotificationItem& item, bool twoKeys,
                                           const NotificationOptions& options)
{
    if (item.kind == kNoticeMessageShown || !options.showMsg)
        return true;
    if (!twoKeys)
        return false;
    if (options.dontShowIfOccupied) {
        int status = 0;
        if (m_host.GetOverallStatus(&status, nullptr) && (status == kStatusNotAvailable || status == kStatusOccupied))
            return true;
    }
    return options.dontShowIfActive && MainWindowInFront(m_host.GetMainWindow());
}

void CNotificationsManager::Show(const NotificationItem& item, bool twoKeys)
{
    NotificationOptions options = GetOptions();
    CJOVString ok = NotifyText(m_host, 173, L"OK");
    CJOVString open = NotifyText(m_host, 179, L"Open");
    CJOVString hide = NotifyText(m_host, 180, L"Hide");
    CJOVString html = item.html;
    CJOVString title = item.title;
    SHNOTIFICATIONDATA data = {};
    data.cbStruct = sizeof(data);
    data.dwID = kBubbleId;
    data.npPriority = SHNP_INFORM;
    data.csDuration = static_cast<DWORD>(-1);
    data.hicon = GetIcon(item.imageId);
    data.clsid = BubbleClsid();
    data.hwndSink = m_sinkWindow;
    data.pszHTML = html;
    data.pszTitle = title;
    data.lParam = 0;
    if (twoKeys) {
        data.rgskn[0] = SOFTKEYNOTIFY{open, SOFTKEYCMD{kCmdOpen, NOTIF_SOFTKEY_FLAGS_STAYOPEN}};
        data.rgskn[1] = SOFTKEYNOTIFY{hide, SOFTKEYCMD{kCmdHide, NOTIF_SOFTKEY_FLAGS_STAYOPEN}};
    } else {
        data.rgskn[0] = SOFTKEYNOTIFY{ok, SOFTKEYCMD{kCmdOk, NOTIF_SOFTKEY_FLAGS_STAYOPEN}};
    }
    data.pszTodaySK = L"JOV";
    data.pszTodayExec = m_todayExec;
    data.grfFlags = SHNF_SILENT;
    if (item.kind == kNoticeWarning)
        data.grfFlags |= SHNF_CRITICAL;
    if (StraightToTray(item, twoKeys, options))
        data.grfFlags |= SHNF_STRAIGHTTOTRAY;
    LRESULT result = SHNotificationAdd(&data);
    DebugLine(L"bubble shown: %ls, serial %u, contact %u, flags 0x%X, \"%ls\"%ls", KindName(item.kind), item.serial,
              item.contactId, static_cast<unsigned>(data.grfFlags), static_cast<wchar_t*>(title),
              result == ERROR_SUCCESS ? L"" : L" (refused)");
}

void CNotificationsManager::Blink(int imageId, bool blank)
{
    CLSID clsid = BubbleClsid();
    SHNOTIFICATIONDATA data = {};
    if (SHNotificationGetData(&clsid, kBubbleId, &data) != ERROR_SUCCESS)
        return;
    data.hicon = GetIcon(blank ? kImageBlank : imageId);
    SHNotificationUpdate(SHNUM_ICON, &data);
}

void CNotificationsManager::RemoveBubble(const NotificationItem& item, WaitResult why)
{
    RemoveBubble(item, why == kAnswered ? L"answered" : why == kTimedOut ? L"time out" : L"program ends");
}

void CNotificationsManager::RemoveBubble(const NotificationItem& item, const wchar_t* why)
{
    CLSID clsid = BubbleClsid();
    SHNotificationRemove(&clsid, kBubbleId);
    DebugLine(L"bubble removed: %ls, serial %u, contact %u, %ls", KindName(item.kind), item.serial, item.contactId,
              why);
}

// The serial is read under the lock before the worker is woken: once woken,
// it may delete the item.
void CNotificationsManager::OnCommand(UINT command)
{
    unsigned int serial = 0;
    AnswerCallback callback = nullptr;
    {
        CCriticalSectionLock hold(m_lock);
        // A key of another bubble than the one up now (pressed as it went) is not its answer.
        bool message = m_current && (m_current->kind == kNoticeMessage || m_current->kind == kNoticeMessageShown);
        if (!m_current || message != (command != kCmdOk))
            return;
        serial = m_current->serial;
        callback = m_onAnswer;
        SetEvent(m_doneEvent);
    }
    const wchar_t* key = command == kCmdOpen ? L"Open" : command == kCmdHide ? L"Hide" : L"OK";
    DebugLine(L"bubble answered: %ls, serial %u", key, serial);
    if (command != kCmdOk && callback)
        callback(serial, command == kCmdOpen ? TRUE : FALSE);
}

LRESULT CALLBACK CNotificationsManager::SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CNotificationsManager*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_COMMAND && self) {
        UINT command = LOWORD(wParam);
        if (command == kCmdOpen || command == kCmdHide || command == kCmdOk)
            self->OnCommand(command);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
