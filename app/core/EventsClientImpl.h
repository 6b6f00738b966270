// The "GUI" client: keeps the soft-key menus and the status toolbar up to date
// with the accounts, plays the start-up alert and reloads open details dialogs.
//
// Threads: OnEvent runs on the client's queue thread. It asks the accounts
// what it needs there (which may wait on them), but never touches a window,
// a menu or g_App's map and menus: it queues the change and posts
// WM_JOV_GUI_UPDATE to the main window, whose UI thread takes the queue.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

#include "EventsClient.h"
#include "MenuInfo.h"
#include "ServicesManager.h"
#include "core/GuiServices.h"

struct GuiUpdate {
    enum Kind { SetStatus, RemoveButton, RebuildMenu, LangChanged, ReloadUserDetails, ReloadContactDetails };
    Kind kind;
    unsigned int accountId;  // the contact's id for ReloadContactDetails
    AccountStatus status;  // SetStatus
    CMenuInfo leftMenu;    // RebuildMenu
};

class CEventsClientImpl final : public CEventsClient {
public:
    explicit CEventsClientImpl(CGuiServices& services);
    CEventsClientImpl(const CEventsClientImpl&) = delete;
    CEventsClientImpl& operator=(const CEventsClientImpl&) = delete;

    // The bus and the client's id there, and the window told of changes.
    void Attach(Services::CServicesManager* bus, unsigned int clientId, HWND target);

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override;

    // UI thread: the queued changes, oldest first; the queue is left empty.
    std::vector<GuiUpdate> TakeUpdates();

private:
    void OnLoaded();
    void Queue(GuiUpdate::Kind kind, unsigned int accountId, const AccountStatus* status = nullptr);
    void QueueMenu();
    void Push(const GuiUpdate& update);

    CGuiServices& m_services;
    Services::CServicesManager* m_bus;
    unsigned int m_clientId;
    HWND m_target;
    std::mutex m_lock;  // guards m_updates
    std::vector<GuiUpdate> m_updates;
};
