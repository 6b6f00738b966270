#include "core/EventsClientImpl.h"

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "core/AppGlobals.h"
#include "core/MainMenu.h"

namespace {

const int kStartupAlert = 1;
// The client's own event: the start-up alert, played after "Loaded" has been answered.
const wchar_t kPlayStartupAlert[] = L"Play start-up alert";

bool ReadId(CEventArg* arg, unsigned int* id)
{
    auto* data = dynamic_cast<CEventArg_Data<unsigned int>*>(arg);
    if (data)
        *id = data->m_data;
    return data != nullptr;
}

} // namespace

CEventsClientImpl::CEventsClientImpl(CGuiServices& services)
    : m_services(services), m_bus(nullptr), m_clientId(0), m_target(nullptr)
{
}

void CEventsClientImpl::Attach(Services::CServicesManager* bus, unsigned int clientId, HWND target)
{
    m_bus = bus;
    m_clientId = clientId;
    m_target = target;
}

int CEventsClientImpl::OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2)
{
    unsigned int id = 0;
    if (sender == GUID_ServicesManager) {
        if (name == EVENT_Loaded)
            OnLoaded();
    } else if (sender == GUID_ProtocolsManager) {
        if (name == EVENT_StatusChanged) {
            AccountStatus status;
            if (arg1 && !ReadId(arg1, &id))
                return 0;
            if (!m_services.ReadStatusArg(arg2, &status))
                return 0;
            Queue(GuiUpdate::SetStatus, id, &status);
            QueueMenu();
            if (id == 0 && status.status > 1)
                m_services.StartVersionCheckIfDue();
        } else if (name == EVENT_Added) {
            AccountStatus status;
            if (!ReadId(arg1, &id))
                return 0;
            if (m_services.GetAccountStatus(id, &status))
                Queue(GuiUpdate::SetStatus, id, &status);
            QueueMenu();
        } else if (name == EVENT_Deleted) {
            if (!ReadId(arg1, &id))
                return 0;
            Queue(GuiUpdate::RemoveButton, id);
            QueueMenu();
        } else if (name == EVENT_AccountChanged) {
            QueueMenu();
        } else if (name == EVENT_DetailsReceived) {
            // The dialogs belong to the UI thread: it reloads them.
            if (ReadId(arg1, &id))
                Queue(GuiUpdate::ReloadUserDetails, id);
        } else if (name == EVENT_ContactDetailsReceived) {
            if (ReadId(arg2, &id))
                Queue(GuiUpdate::ReloadContactDetails, id);
        }
    } else if (sender == GUID_CLCtrl) {
        if (name == EVENT_CLCurrentItemChanged)
            QueueMenu();
    } else if (sender == GUID_GUI) {
        if (name == kPlayStartupAlert) {
            m_services.PlayAlert(kStartupAlert);
        } else if (name == EVENT_LanChanged) {
            Queue(GuiUpdate::LangChanged, 0);
            QueueMenu();
            AccountStatus status;
            if (m_services.GetAccountStatus(0, &status))
                Queue(GuiUpdate::SetStatus, 0, &status);
        }
    }
    return 0;
}

std::vector<GuiUpdate> CEventsClientImpl::TakeUpdates()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<GuiUpdate> updates;
    updates.swap(m_updates);
    return updates;
}

void CEventsClientImpl::OnLoaded()
{
    if (m_bus) {
        g_App.addedSubscription = m_bus->Subscribe(GUID_ProtocolsManager, EVENT_Added, m_clientId);
        g_App.deletedSubscription = m_bus->Subscribe(GUID_ProtocolsManager, EVENT_Deleted, m_clientId);
        g_App.accountChangedSubscription = m_bus->Subscribe(GUID_ProtocolsManager, EVENT_AccountChanged, m_clientId);
        g_App.statusChangedSubscription = m_bus->Subscribe(GUID_ProtocolsManager, EVENT_StatusChanged, m_clientId);
        g_App.detailsReceivedSubscription =
            m_bus->Subscribe(GUID_ProtocolsManager, EVENT_DetailsReceived, m_clientId);
        g_App.contactDetailsReceivedSubscription =
            m_bus->Subscribe(GUID_ProtocolsManager, EVENT_ContactDetailsReceived, m_clientId);
        g_App.clCurrentItemChangedSubscription = m_bus->Subscribe(GUID_CLCtrl, EVENT_CLCurrentItemChanged, m_clientId);
        m_bus->Subscribe(GUID_GUI, EVENT_LanChanged, m_clientId);
    }
    // "Loaded" is waited for by start-up, subscriber after subscriber: the
    // sound stack loads meanwhile on this thread, and the sound starts as soon.
    if (!m_bus || m_bus->SendEventToClient(m_clientId, GUID_GUI, kPlayStartupAlert, nullptr, nullptr, false) != 1)
        m_services.PlayAlert(kStartupAlert);
}

void CEventsClientImpl::Queue(GuiUpdate::Kind kind, unsigned int accountId, const AccountStatus* status)
{
    GuiUpdate update{kind, accountId, status ? *status : AccountStatus(), CMenuInfo()};
    Push(update);
}

void CEventsClientImpl::QueueMenu()
{
    GuiUpdate update{GuiUpdate::RebuildMenu, 0, AccountStatus(), CMenuInfo()};
    DescribeLeftMenu(m_services, update.leftMenu);
    Push(update);
}

void CEventsClientImpl::Push(const GuiUpdate& update)
{
    bool first;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        first = m_updates.empty();
        m_updates.push_back(update);
    }
    // One notice for a run of changes: the UI thread takes them all at once.
    if (first && m_target)
        PostMessageW(m_target, WM_JOV_GUI_UPDATE, 0, 0);
}
