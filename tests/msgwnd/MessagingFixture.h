// The messaging window as start-up makes it, on a bus of its own: the real
// contact-list control and model, a settings store over a temporary file,
// history files in a temporary folder, and fakes of the accounts (which
// record what is sent and echo "Message sent" as the real manager does), the
// alerts and the notifications. The program's skin manager (the runnable
// tree's skin and smilies) and texts stand for the whole program. The test
// thread is the UI thread.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "msgwnd/ProgramWindows.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "app/FakeGuiServices.h"
#include "clctrl/FakeServices.h"
#include "contactlist/CLCtrl.h"
#include "core/AppGlobals.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/skins/SkinManagerHost.h"
#include "messaging/ChatContent.h"
#include "messaging/ChatCtrl.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatNode_Message.h"
#include "messaging/MessageDialogCtrl.h"
#include "messaging/MessageWnd.h"
#include "protocols/ProtocolsManager.h"
#include "support/SoftKeyText.h"

inline const JOV_GUID kMessagingTestSender = {0x7E57C7E1, 0x3333, 0x4444, {3, 3, 4, 4, 5, 5, 6, 7}};

// The accounts as the window and the control see them: one status for all,
// the status images of every contact, the plug-in's message-window items,
// and every message handed over.
class CMessagingProtocols final : public Protocols::CProtocolsManager {
public:
    struct Sent {
        unsigned int accountId;
        unsigned int contactId;
        std::wstring text;
        unsigned int kind;
        int image;
    };

    explicit CMessagingProtocols(Services::CServicesManagerImpl& bus) : m_bus(bus) {}

    void SetStatus(int answer, Protocols::Status status)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_statusAnswer = answer;
        m_status = status;
    }
    void SetSendAnswer(bool answer)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_sendAnswer = answer;
    }
    // A fixed time for the messages reported sent, for pictures that must not change from run to run.
    void SetSentTime(unsigned long unixTime)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_sentTime = unixTime;
    }
    void AddMenuItem(const CMenuItemInfo& item)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_menu.Append(item);
    }
    std::vector<Sent> SentMessages()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_sent;
    }
    void SetMessageSentEvent(unsigned int eventId) { m_messageSentEvent = eventId; }

    int LoadProtocols() override { return 0; }
    int GetProtocolCount() override { return 1; }
    const Protocols::ProtocolEntry* FindProtocol(const JOV_GUID&) override { return nullptr; }
    Protocols::ProtocolInfo GetProtocol(int) override { return Protocols::ProtocolInfo(); }
    unsigned int AddAccount(const JOV_GUID&) override { return 0; }
    int DeleteAccount(unsigned int) override { return 0; }
    int GetAccountCount() override { return 1; }
    unsigned int GetAccountId(int index) override { return index == 0 ? 1 : 0; }
    CJOVString GetAccountName(unsigned int, bool) override { return CJOVString(L"123456"); }
    Protocols::ProtocolInfo GetAccountProtocol(unsigned int) override
    {
        Protocols::ProtocolInfo info = {};
        info.name = CJOVString(L"ICQ");
        return info;
    }
    bool GetValueSize(unsigned int, const CJOVString&, unsigned*) override { return false; }
    bool GetData(unsigned int, const CJOVString&, void*, unsigned*) override { return false; }
    bool GetString(unsigned int, const CJOVString&, CJOVString&) override { return false; }
    bool GetDWord(unsigned int, const CJOVString&, DWORD*) override { return false; }
    bool GetWord(unsigned int, const CJOVString&, WORD*) override { return false; }
    bool GetByte(unsigned int, const CJOVString&, BYTE*) override { return false; }
    void SetData(unsigned int, const CJOVString&, const void*, const unsigned*) override {}
    void SetString(unsigned int, const CJOVString&, const CJOVString&) override {}
    void SetDWord(unsigned int, const CJOVString&, const DWORD*) override {}
    void SetWord(unsigned int, const CJOVString&, const WORD*) override {}
    void SetByte(unsigned int, const CJOVString&, const BYTE*) override {}
    bool GetImages(unsigned int, CJOVArray<unsigned int>*) override { return false; }
    bool GetContactStatusInfo(unsigned int, unsigned int, Protocols::ContactStatusInfo* info) override
    {
        CJOVArray<unsigned int> images;
        images.Append(70);
        info->statusImages.Append(images);
        return true;
    }
    bool InitRootMenu(unsigned int, CMenuInfo*) override { return false; }
    bool InitGroupMenu(unsigned int, unsigned int, CMenuInfo*) override { return false; }
    bool InitContactMenu(unsigned int, unsigned int, CMenuInfo*) override { return false; }
    bool InitMessageWindowMenu(unsigned int, unsigned int, CMenuInfo* menu) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (int i = 0; i < m_menu.Count(); ++i)
            menu->Append(m_menu[i]);
        return true;
    }
    bool CreateGroup(unsigned int, const CJOVString&) override { return false; }
    bool RenameGroup(unsigned int, unsigned int, const CJOVString&) override { return false; }
    bool DeleteGroup(unsigned int, unsigned int) override { return false; }
    bool RenameContact(unsigned int, unsigned int, const CJOVString&) override { return false; }
    bool MoveContact(unsigned int, unsigned int, unsigned int) override { return false; }
    bool DeleteContact(unsigned int, unsigned int) override { return false; }
    bool SendMessage(unsigned int accountId, const Protocols::MessageInfo* message) override
    {
        Protocols::MessageInfo reported(*message);
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (!m_sendAnswer)
                return false;
            if (m_sentTime)
                reported.time = CTime(m_sentTime);
            m_sent.push_back({accountId, message->contactId, std::wstring(message->text.Data() ? message->text.Data() : L"",
                                                                          message->text.GetLength()),
                              message->kind, message->imageIndex});
        }
        if (m_messageSentEvent)
            m_bus.FireEvent(m_messageSentEvent, new CEventArg_Data<unsigned int>(accountId),
                            new CEventArg_Data<Protocols::MessageInfo>(reported), false);
        return true;
    }
    int GetAccountDetailsDlgInfo(unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
    int GetContactDetailsDlgInfo(unsigned int, unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }
    int SetStatus(unsigned int, Protocols::Status) override { return 0; }
    int GetStatus(unsigned int accountId, Protocols::Status* out) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (accountId != 1)
            return Services::kNotFound;
        if (m_statusAnswer == 0)
            *out = m_status;
        return m_statusAnswer;
    }
    int GetStatusInfo(unsigned int, Protocols::Status, Protocols::StatusInfo*) override { return 0; }
    bool GetLogonDate(unsigned int, CTime*) override { return false; }
    int GetStatusMenuInfo(unsigned int, CMenuInfo*) override { return 0; }
    int GetOptionsDlgInfo(unsigned int, CJOVArray<CPanelInfo>*) override { return 0; }

private:
    Services::CServicesManagerImpl& m_bus;
    std::mutex m_lock;
    int m_statusAnswer = 0;
    Protocols::Status m_status = Protocols::StatusOnline;
    bool m_sendAnswer = true;
    unsigned long m_sentTime = 0;  // 0: the time the message was made
    CMenuInfo m_menu;
    std::vector<Sent> m_sent;
    unsigned int m_messageSentEvent = 0;
};

// A skin manager's host that tells nobody anything.
class CQuietSkinHostForTest final : public Skins::CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override { return 0; }
    HWND GetMessageWindow() override { return nullptr; }
    void StopSmileyAnimation() override {}
};

// The texts of the program that the tests look for, and the images drawn.
CFakeGuiServices& TestTexts();

class MessagingTest : public ::testing::Test {
protected:
    static constexpr unsigned int kAccount = 1;
    // Long: on a busy machine a send must not give up on a client that is merely slow.
    static constexpr unsigned long kTimeoutMs = 10000;

    void SetUp() override;
    void TearDown() override;

    // The control, the model, "Loaded", then the messaging window, as start-up does.
    void Start();
    void SetByte(const wchar_t* name, unsigned char value);
    void SetDWord(const wchar_t* name, unsigned int value);

    unsigned int AddGroup(const wchar_t* name);
    unsigned int AddContact(const wchar_t* name, unsigned int groupId);
    // A message from the contact, as the account hands it to the model.
    void Receive(unsigned int contactId, const wchar_t* text);
    // History records written before the chat opens, oldest first.
    void WriteHistory(unsigned int contactId, const std::vector<std::wstring>& texts);

    // Waits until the model's and the control's queues have handled what
    // came before, then dispatches what they posted.
    void Settle();
    void Pump();

    CMessageDialogCtrl* Page(unsigned int contactId) { return window->FindPage(contactId); }
    CChatContent* Chat(unsigned int contactId);
    // Each node of the contact's chat as "<type>:<text>".
    std::vector<std::wstring> Nodes(unsigned int contactId);
    std::wstring EditText(unsigned int contactId);
    void Type(unsigned int contactId, const wchar_t* text);

    CTempFolder folder;
    std::unique_ptr<Services::CServicesManagerImpl> bus = std::make_unique<Services::CServicesManagerImpl>(kTimeoutMs);
    std::unique_ptr<Database::CJOVDatabase> store;
    std::unique_ptr<CMessagingProtocols> protocols;
    CFakeAlerts alerts;
    CFakeNotifications notifications;
    std::unique_ptr<CCLCtrl> control;
    std::unique_ptr<CL::CContactListImpl> model;
    std::unique_ptr<CMessageWnd> window;
    HWND controlWindow = nullptr;

private:
    static LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<unsigned int> m_ids;
    std::vector<unsigned int> m_events;
};

// A message-only host for a bare window under test.
HWND MakeHostWindow(int width, int height);
// Holds Ctrl down (for the thread's key state) for the life of a scope.
class CControlKeyDown {
public:
    CControlKeyDown();
    ~CControlKeyDown();
};
