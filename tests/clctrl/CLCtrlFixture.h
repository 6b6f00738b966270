// One contact-list control as start-up makes it, on a bus of its own: the
// control first, then the real contact-list model, "Loaded"; a settings store
// over a temporary file; fakes of the protocol manager (registered as the
// service, with its events declared here), the alerts, the notifications and
// the messaging window; and a message-only window of the test thread, which
// plays the UI thread and hands the control's posts back to it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "clctrl/FakeServices.h"
#include "contactlist/CLCtrl.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"

inline const JOV_GUID kTestSender = {0x7E57C7E1, 0x1111, 0x2222, {3, 3, 4, 4, 5, 5, 6, 6}};

class CLCtrlTest : public ::testing::Test {
protected:
    static constexpr unsigned int kAccount = 1;
    // Long: on a busy machine a send must not give up on a client that is merely slow.
    static constexpr unsigned long kTimeoutMs = 10000;

    void SetUp() override
    {
        SetHistoryFolder(CJOVString(m_folder.File(L"").c_str()));
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
        m_protocolsId = m_bus->RegisterService(GUID_ProtocolsManager, &m_protocols);
        m_alertsId = m_bus->RegisterService(GUID_AlertManager, &m_alerts);
        for (const wchar_t* name : {EVENT_Added, EVENT_Deleted, EVENT_AccountChanged, EVENT_MessageSent})
            m_managerEvents.push_back(m_bus->DeclareEvent(GUID_ProtocolsManager, CJOVString(name)));
        m_window = CreateWindowExW(0, WindowClass(), L"CL", WS_OVERLAPPED | WS_VSCROLL, 0, 0, 240, 200, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        CFakeProtocols::Account account;
        account.name = L"123456";
        account.images = {70, 71};
        m_protocols.Set(kAccount, account);
    }

    void TearDown() override
    {
        StopAll();
        if (m_window)
            DestroyWindow(m_window);
        m_bus->UnregisterService(m_alertsId);
        m_bus->UnregisterService(m_protocolsId);
        m_bus->UnregisterService(m_storeId);
        SetHistoryFolder(CJOVString());
    }

    // The control, then the model, then "Loaded", as start-up does.
    void Start(bool withChat = true)
    {
        m_control = std::make_unique<CCLCtrl>(*m_bus);
        m_control->SetWindow(m_window);
        m_control->SetNotifications(&m_notifications);
        if (withChat)
            m_control->SetChatPages(&m_chat);
        m_model = std::make_unique<CL::CContactListImpl>(*m_bus);
        m_bus->FireLoaded();
        Pump();
    }

    // Shut-down order: the control stops before the messaging window goes.
    void StopAll()
    {
        if (m_control)
            m_control->Stop();
        Pump();
        m_model.reset();
        m_control.reset();
    }

    void SetByte(const wchar_t* name, unsigned char value, const JOV_GUID& section = GUID_GUI)
    {
        m_store->SetByte(section, CJOVString(name), &value);
    }

    void FireManager(int index, unsigned int accountId, CEventArg* arg2 = nullptr, bool wait = false)
    {
        m_bus->FireEvent(m_managerEvents[index], new CEventArg_Data<unsigned int>(accountId), arg2, wait);
        Settle();
    }
    void AddAccount(unsigned int accountId = kAccount) { FireManager(0, accountId); }
    void DeleteAccount(unsigned int accountId = kAccount) { FireManager(1, accountId, nullptr, true); }

    // Waits until the model's and the control's queues have handled what
    // came before, then lets the test thread take the control's posts.
    void Settle()
    {
        for (int round = 0; round < 3; ++round) {
            m_bus->SendEventToClient(m_model->GetClientId(), kTestSender, CJOVString(L"sync"), nullptr, nullptr, true);
            m_bus->SendEventToClient(ControlClient(), kTestSender, CJOVString(L"sync"), nullptr, nullptr, true);
        }
        Pump();
    }

    unsigned int ControlClient() { return m_control->GetClientId(); }

    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    unsigned int AddGroup(const wchar_t* name, unsigned int accountId = kAccount)
    {
        const unsigned int groupId = m_model->CreateGroup(accountId);
        m_model->SetString(groupId, CJOVString(L"CL Alias"), CJOVString(name));
        m_model->NotifyGroupAdded(groupId);
        Settle();
        return groupId;
    }

    unsigned int AddContact(const wchar_t* name, unsigned int groupId, unsigned int accountId = kAccount)
    {
        const unsigned int contactId = m_model->CreateContact(accountId, groupId);
        m_model->SetString(contactId, CJOVString(L"CL Alias"), CJOVString(name));
        m_model->SetString(contactId, CJOVString(L"Account name"), CJOVString((std::wstring(L"uin") + name).c_str()));
        m_model->NotifyContactAdded(contactId);
        Settle();
        return contactId;
    }

    void SetStatus(unsigned int contactId, Protocols::Status status)
    {
        Protocols::ContactStatusInfo info;
        info.status = status;
        m_model->SetContactStatus(contactId, &info);
        Settle();
    }

    void Receive(unsigned int contactId, const wchar_t* text, unsigned int kind = 0, int image = -1,
                 unsigned long time = 1700000000)
    {
        Protocols::MessageInfo message;
        message.contactId = contactId;
        message.kind = kind;
        message.imageIndex = image;
        message.time = CTime(time);
        message.text = CJOVString(text);
        message.title = CJOVString(L"12:00");
        m_model->MessageReceived(contactId, &message);
        Settle();
    }

    void Send(unsigned int contactId, const wchar_t* text, unsigned long time = 1700000100)
    {
        Protocols::MessageInfo message;
        message.contactId = contactId;
        message.time = CTime(time);
        message.text = CJOVString(text);
        FireManager(3, kAccount, new CEventArg_Data<Protocols::MessageInfo>(message));
    }

    // The names of a branch's children, hidden ones in brackets.
    static std::vector<std::wstring> Children(CTreeItem* parent)
    {
        std::vector<std::wstring> names;
        for (CTreeItem* item = parent ? parent->GetFirstChild() : nullptr; item; item = item->GetNext()) {
            std::wstring name;
            if (item->GetKind() == TreeItemKind::Contact)
                name = Text(static_cast<CContactItem*>(item)->GetName());
            else if (item->GetKind() == TreeItemKind::Group)
                name = Text(static_cast<CGroupItem*>(item)->GetName());
            else if (item->GetKind() == TreeItemKind::Account)
                name = Text(static_cast<CAccountItem*>(item)->GetName());
            else if (item->GetKind() == TreeItemKind::Status)
                name = L"section " + std::to_wstring(static_cast<CStatusItem*>(item)->GetSection());
            names.push_back(item->IsVisible() ? name : L"[" + name + L"]");
        }
        return names;
    }

    CAccountItem* Account(unsigned int accountId = kAccount)
    {
        CAccountItem* account = nullptr;
        m_control->FindAccountItem(accountId, &account);
        return account;
    }
    CGroupItem* Group(unsigned int groupId)
    {
        CGroupItem* group = nullptr;
        m_control->FindGroup(groupId, nullptr, &group);
        return group;
    }
    CGroupItem* NotInList(unsigned int accountId = kAccount)
    {
        CGroupItem* group = nullptr;
        m_control->FindGroupItem(0, accountId, nullptr, &group);
        return group;
    }
    CContactItem* Contact(unsigned int contactId)
    {
        CContactItem* contact = nullptr;
        m_control->FindContactItem(contactId, nullptr, nullptr, &contact);
        return contact;
    }
    // The section holding the contact, or -1.
    int SectionOf(unsigned int contactId)
    {
        CStatusItem* section = nullptr;
        return m_control->FindStatusContactItem(contactId, &section, nullptr) ? static_cast<int>(section->GetSection())
                                                                              : -1;
    }

    static SCROLLINFO ScrollInfo(UINT mask)
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = mask;
        return info;
    }

    std::vector<std::wstring> Notices() { return m_notifications.Calls(); }

    CTempFolder m_folder;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>(kTimeoutMs);
    std::unique_ptr<Database::CJOVDatabase> m_store;
    CFakeProtocols m_protocols;
    CFakeAlerts m_alerts;
    CFakeNotifications m_notifications;
    CFakeChatPages m_chat;
    std::unique_ptr<CCLCtrl> m_control;
    std::unique_ptr<CL::CContactListImpl> m_model;
    std::vector<unsigned int> m_managerEvents;
    unsigned int m_storeId = 0;
    unsigned int m_protocolsId = 0;
    unsigned int m_alertsId = 0;
    HWND m_window = nullptr;
    int m_relayouts = 0;  // layout requests from the queue thread

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* test = reinterpret_cast<CLCtrlTest*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (test && message == kRelayoutMessage)
            ++test->m_relayouts;
        if (test && test->m_control && test->m_control->OnWindowMessage(message, wParam, lParam))
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static const wchar_t* WindowClass()
    {
        static ATOM atom = 0;
        if (!atom) {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = WindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"CLCtrlTestWindow";
            atom = RegisterClassW(&windowClass);
        }
        return L"CLCtrlTestWindow";
    }
};
