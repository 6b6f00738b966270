#include "msgwnd/MessagingFixture.h"

#include <vector>

#include "core/AppGuiServices.h"
#include "core/skins/SkinManagerHost.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/ChatMessageItem_Text.h"
#include "messaging/ChatNode_Message.h"
#include "messaging/ChatNode_Service.h"
#include "messaging/GrowingTextBuffer.h"
#include "messaging/HistoryFiles.h"

namespace {

// The program's skin manager and texts, once for the whole run: loading the
// smilies set costs more than a test.
class CProgramEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_App.hInstance = GetModuleHandleW(nullptr);
        g_App.pServices = &m_services;
        m_skins = std::make_unique<Skins::CSkinManagerImpl>(nullptr, &m_host);
        m_skins->GetSmilies();
        g_App.pSkinManager = m_skins.get();
    }
    void TearDown() override
    {
        g_App.pSkinManager = nullptr;
        m_skins.reset();
        g_App.pServices = nullptr;
    }

private:
    CQuietSkinHostForTest m_host;
    CAppGuiServices m_services;
    std::unique_ptr<Skins::CSkinManagerImpl> m_skins;
};

::testing::Environment* const s_environment = ::testing::AddGlobalTestEnvironment(new CProgramEnvironment);

const wchar_t kControlWindowClass[] = L"MessagingTestControlWindow";

std::wstring Text(const wchar_t* text, int length)
{
    return std::wstring(text ? text : L"", static_cast<size_t>(length));
}

} // namespace

CFakeGuiServices& TestTexts()
{
    static CFakeGuiServices services;
    static bool filled = false;
    if (!filled) {
        filled = true;
        services.texts = {{119, L"Messages"}, {120, L"Send"}, {121, L"Smilies"}, {176, L"Menu"}, {178, L"Close"}};
    }
    return services;
}

LRESULT CALLBACK MessagingTest::ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* test = reinterpret_cast<MessagingTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (test && test->control && test->control->OnWindowMessage(message, wParam, lParam))
        return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void MessagingTest::SetUp()
{
    SetHistoryFolder(CJOVString((folder.File(L"")).c_str()));
    store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(folder.Path(L"settings.jov")));
    protocols = std::make_unique<CMessagingProtocols>(*bus);
    m_ids.push_back(bus->RegisterService(GUID_Database, store.get()));
    m_ids.push_back(bus->RegisterService(GUID_ProtocolsManager, static_cast<Protocols::CProtocolsManager*>(protocols.get())));
    m_ids.push_back(bus->RegisterService(GUID_AlertManager, static_cast<Alert::CAlertManager*>(&alerts)));
    for (const wchar_t* name : {EVENT_Added, EVENT_Deleted, EVENT_AccountChanged, EVENT_MessageSent})
        m_events.push_back(bus->DeclareEvent(GUID_ProtocolsManager, CJOVString(name)));
    protocols->SetMessageSentEvent(m_events[3]);

    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ControlWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kControlWindowClass;
        atom = RegisterClassW(&windowClass);
    }
    controlWindow = CreateWindowExW(0, kControlWindowClass, L"CL", WS_OVERLAPPED, 0, 0, 240, 200, HWND_MESSAGE,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(controlWindow, nullptr);
    SetWindowLongPtrW(controlWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void MessagingTest::TearDown()
{
    // Shut-down's order: the control's client stops, then the window goes.
    if (control)
        control->Stop();
    Pump();
    window.reset();
    Pump();
    model.reset();
    control.reset();
    if (controlWindow)
        DestroyWindow(controlWindow);
    for (auto it = m_ids.rbegin(); it != m_ids.rend(); ++it)
        bus->UnregisterService(*it);
    bus.reset();
    SetHistoryFolder(CJOVString());
}

void MessagingTest::Start()
{
    control = std::make_unique<CCLCtrl>(*bus);
    control->SetWindow(controlWindow);
    control->SetNotifications(&notifications);
    model = std::make_unique<CL::CContactListImpl>(*bus);
    bus->FireLoaded();
    Pump();
    // The account exists for the model before its contacts do.
    bus->FireEvent(m_events[0], new CEventArg_Data<unsigned int>(kAccount), nullptr, false);
    Settle();
    window = std::make_unique<CMessageWnd>(nullptr, bus.get());
    ASSERT_TRUE(window->Create());
    control->SetChatPages(window.get());
    Pump();
}

void MessagingTest::SetByte(const wchar_t* name, unsigned char value)
{
    store->SetByte(GUID_GUI, CJOVString(name), &value);
}

void MessagingTest::SetDWord(const wchar_t* name, unsigned int value)
{
    store->SetDWord(GUID_GUI, CJOVString(name), &value);
}

unsigned int MessagingTest::AddGroup(const wchar_t* name)
{
    const unsigned int groupId = model->CreateGroup(kAccount);
    model->SetString(groupId, CJOVString(L"CL Alias"), CJOVString(name));
    model->NotifyGroupAdded(groupId);
    Settle();
    return groupId;
}

unsigned int MessagingTest::AddContact(const wchar_t* name, unsigned int groupId)
{
    const unsigned int contactId = model->CreateContact(kAccount, groupId);
    model->SetString(contactId, CJOVString(L"CL Alias"), CJOVString(name));
    model->SetString(contactId, CJOVString(L"Account name"), CJOVString((std::wstring(L"uin") + name).c_str()));
    model->NotifyContactAdded(contactId);
    Settle();
    return contactId;
}

void MessagingTest::Receive(unsigned int contactId, const wchar_t* text)
{
    Protocols::MessageInfo message;
    message.contactId = contactId;
    message.time = CTime(1700000000UL);
    message.text = CJOVString(text);
    model->MessageReceived(contactId, &message);
    Settle();
}

void MessagingTest::WriteHistory(unsigned int contactId, const std::vector<std::wstring>& texts)
{
    unsigned long time = 1690000000;
    for (const std::wstring& text : texts)
        ASSERT_EQ(AppendHistoryMessage(*bus, contactId, 1, 0, 0, time++, CJOVString(text.c_str())), kHistoryOk);
}

void MessagingTest::Settle()
{
    for (int round = 0; round < 3; ++round) {
        bus->SendEventToClient(model->GetClientId(), kMessagingTestSender, CJOVString(L"sync"), nullptr, nullptr, true);
        bus->SendEventToClient(control->GetClientId(), kMessagingTestSender, CJOVString(L"sync"), nullptr, nullptr,
                               true);
        Pump();
    }
}

void MessagingTest::Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

CChatContent* MessagingTest::Chat(unsigned int contactId)
{
    CMessageDialogCtrl* page = Page(contactId);
    return page ? page->GetChat()->GetContent() : nullptr;
}

std::vector<std::wstring> MessagingTest::Nodes(unsigned int contactId)
{
    std::vector<std::wstring> nodes;
    CChatContent* content = Chat(contactId);
    for (int i = 0; content && i < content->GetNodeCount(); ++i) {
        CChatNode* node = content->GetNode(i);
        CGrowingTextBuffer text;
        if (node->GetType() == ChatItemMessage)
            static_cast<CChatNode_Message*>(node)->GetText()->AppendAllText(text);
        else
            node->AppendAllText(text);
        const wchar_t* kind = node->GetType() == ChatItemMessage      ? L"message:"
                              : node->GetType() == ChatItemHistorySep ? L"separator:"
                                                                      : L"service:";
        nodes.push_back(kind + Text(text.GetText(), text.GetLength()));
    }
    return nodes;
}

std::wstring MessagingTest::EditText(unsigned int contactId)
{
    return WindowText(Page(contactId)->GetEdit());
}

void MessagingTest::Type(unsigned int contactId, const wchar_t* text)
{
    HWND edit = Page(contactId)->GetEdit();
    for (const wchar_t* c = text; *c; ++c)
        SendMessageW(edit, WM_CHAR, *c, 1);
}

HWND MakeHostWindow(int width, int height)
{
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    return host;
}

CControlKeyDown::CControlKeyDown()
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
}

CControlKeyDown::~CControlKeyDown()
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}
