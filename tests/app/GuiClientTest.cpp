// The "GUI" client: what it does with each event on its own thread, how its
// changes reach the main window's thread, and how shut-down stops it.
#include <gtest/gtest.h>

#include <thread>

#include "EventNames.h"
#include "MainWindowFixture.h"
#include "ServiceIds.h"
#include "core/EventsClientImpl.h"
#include "core/MainMenu.h"
#include "core/MainWindow.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/StartUp.h"

namespace {

CEventArg* IdArg(unsigned int id)
{
    return new CEventArg_Data<unsigned int>(id);
}

CEventArg* StatusArg(const AccountStatus& status)
{
    return new CEventArg_Data<AccountStatus>(status);
}

} // namespace

class GuiClientTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        clientId = bus.RegisterEventsClient(&client, L"GUI");
        ASSERT_NE(clientId, 0u);
        client.Attach(&bus, clientId, main);
        g_App.pGuiClient = &client;
    }
    void TearDown() override
    {
        bus.UnregisterEventsClient(clientId);
        MainWindowTest::TearDown();
    }

    int Send(const JOV_GUID& sender, const wchar_t* name, CEventArg* arg1, CEventArg* arg2)
    {
        return bus.SendEventToClient(clientId, sender, name, arg1, arg2, true);
    }
    static bool UpdateNoticePosted(HWND window)
    {
        MSG msg;
        return PeekMessageW(&msg, window, WM_JOV_GUI_UPDATE, WM_JOV_GUI_UPDATE, PM_NOREMOVE) != 0;
    }

    Services::CServicesManagerImpl bus;
    CEventsClientImpl client{services};
    unsigned int clientId = 0;
};

TEST_F(GuiClientTest, LoadedSubscribesToTheAccountEventsAndPlaysTheStartupAlert)
{
    unsigned int statusChanged = bus.DeclareEvent(GUID_ProtocolsManager, EVENT_StatusChanged);
    bus.DeclareEvent(GUID_ProtocolsManager, EVENT_Added);
    bus.DeclareEvent(GUID_CLCtrl, EVENT_CLCurrentItemChanged);
    ASSERT_EQ(Send(GUID_ServicesManager, EVENT_Loaded, nullptr, nullptr), 0);
    // The alert follows on the client's thread once "Loaded" is answered: a
    // second event waited for comes after it.
    ASSERT_EQ(Send(GUID_GUI, L"Nothing", nullptr, nullptr), 0);
    EXPECT_NE(g_App.statusChangedSubscription, 0u);
    EXPECT_NE(g_App.addedSubscription, 0u);
    EXPECT_NE(g_App.clCurrentItemChangedSubscription, 0u);
    EXPECT_EQ(g_App.deletedSubscription, 0u) << "not declared on this bus";
    EXPECT_EQ(services.alerts, (std::vector<int>{1}));

    bus.FireEvent(statusChanged, IdArg(0), StatusArg(MakeStatus(2, L"Online")), true);
    EXPECT_EQ(client.TakeUpdates().size(), 2u);
}

TEST_F(GuiClientTest, StatusChangesReachTheToolbarOnlyOnTheWindowsThread)
{
    ASSERT_EQ(Send(GUID_ProtocolsManager, EVENT_StatusChanged, IdArg(0x10000001), StatusArg(MakeStatus(2, L"Online"))),
              0);
    ASSERT_EQ(Send(GUID_ProtocolsManager, EVENT_StatusChanged, nullptr, StatusArg(MakeStatus(2, L"Online"))), 0);
    // The handler ran on the client's thread and left the map and toolbar alone.
    EXPECT_TRUE(g_App.accountStatusMap.empty());
    EXPECT_EQ(ButtonCount(), 0);
    EXPECT_TRUE(UpdateNoticePosted(main));
    EXPECT_EQ(services.versionChecks, 1) << "the overall status went online";

    Pump();
    EXPECT_EQ(g_App.accountStatusMap.size(), 2u);
    EXPECT_EQ(ButtonCount(), 2);
    EXPECT_EQ(ButtonText(501), L"Online");
    EXPECT_EQ(services.trayRefreshes, 1);
    EXPECT_EQ(GetMenuItemCount(GetLeftSoftKeyMenu(g_App.hMenuBar)), 3);
}

TEST_F(GuiClientTest, AStatusChangeWithoutAStatusRecordIsIgnored)
{
    EXPECT_EQ(Send(GUID_ProtocolsManager, EVENT_StatusChanged, IdArg(0x10000001), nullptr), 0);
    EXPECT_EQ(Send(GUID_ProtocolsManager, EVENT_StatusChanged, IdArg(0x10000001), IdArg(2)), 0);
    EXPECT_TRUE(client.TakeUpdates().empty());
}

TEST_F(GuiClientTest, AddedAndDeletedAccountsComeAndGoWithTheirMenuEntries)
{
    services.accounts = {{0x10000001, L"123456"}};
    services.statuses[0x10000001] = MakeStatus(0, L"Offline", {3});
    Send(GUID_ProtocolsManager, EVENT_Added, IdArg(0x10000001), nullptr);
    Pump();
    EXPECT_EQ(ButtonCount(), 1);
    EXPECT_EQ(GetMenuItemCount(GetLeftSoftKeyMenu(g_App.hMenuBar)), 4);

    services.accounts.clear();
    Send(GUID_ProtocolsManager, EVENT_Deleted, IdArg(0x10000001), nullptr);
    Pump();
    EXPECT_EQ(ButtonCount(), 0);
    EXPECT_EQ(GetMenuItemCount(GetLeftSoftKeyMenu(g_App.hMenuBar)), 3);
}

TEST_F(GuiClientTest, AnOpenMenuKeepsItsItemsUntilItCloses)
{
    BuildMainMenu(g_App.hMenuBar);
    const CMenuItemInfo* shown = &g_App.leftMenu[0];
    SendMessageW(main, WM_ENTERMENULOOP, FALSE, 0);
    services.accounts = {{0x10000001, L"123456"}};
    Send(GUID_ProtocolsManager, EVENT_AccountChanged, nullptr, nullptr);
    Pump();
    EXPECT_EQ(&g_App.leftMenu[0], shown);
    EXPECT_EQ(g_App.leftMenu.Count(), 3);

    SendMessageW(main, WM_EXITMENULOOP, FALSE, 0);
    Pump();
    EXPECT_EQ(g_App.leftMenu.Count(), 4);
}

TEST_F(GuiClientTest, LanguageChangeRelabelsTheMenuAndTheOverallStatus)
{
    services.texts[18] = L"Настройки";
    services.statuses[0] = MakeStatus(0, L"Не в сети");
    Send(GUID_GUI, EVENT_LanChanged, new CEventArg_Data<CJOVString>(CJOVString(L"Russian")), nullptr);
    Pump();
    EXPECT_EQ(ButtonText(500), L"Не в сети");
    CJOVString caption = g_App.leftMenu[0].caption;
    EXPECT_STREQ(static_cast<wchar_t*>(caption), L"Настройки");
}

// Shut-down stops the client before it deletes anything a handler uses.
TEST_F(MainWindowTest, ShutDownWaitsForTheClientsRunningHandlerAndStopsIt)
{
    CTestGate gate;
    services.accounts = {{0x10000001, L"123456"}};
    services.nameGate = &gate;
    CEventsClientImpl client(services);
    g_App.pGuiClient = &client;
    g_App.guiClientId = g_ServicesManager.RegisterEventsClient(&client, L"GUI");
    client.Attach(&g_ServicesManager, g_App.guiClientId, main);
    unsigned int clientId = g_App.guiClientId;
    ASSERT_EQ(g_ServicesManager.SendEventToClient(clientId, GUID_ProtocolsManager, EVENT_AccountChanged, nullptr,
                                                  nullptr, false),
              1);
    for (int i = 0; i < 500 && !services.insideName; ++i)
        Sleep(10);
    ASSERT_TRUE(services.insideName);

    std::thread opener([&gate] {
        Sleep(200);
        gate.Open();
    });
    ShutDown();
    EXPECT_EQ(services.namesAnsweredAfterGate, 1) << "shut-down went on while the handler ran";
    EXPECT_EQ(services.versionCheckStops, 0) << "the fake is not the program's services";
    opener.join();

    EXPECT_EQ(g_ServicesManager.SendEventToClient(clientId, GUID_ProtocolsManager, EVENT_AccountChanged, nullptr,
                                                  nullptr, false),
              Services::kNotFound);
    Pump();
    EXPECT_EQ(g_App.leftMenu.Count(), 0) << "nothing is applied once shut-down began";
}

TEST_F(GuiClientTest, NewDetailsAreHandedToTheWindowsThreadToReloadTheDialogs)
{
    // The dialogs belong to the UI thread: the client only queues the reload.
    ASSERT_EQ(Send(GUID_ProtocolsManager, EVENT_DetailsReceived, IdArg(0x10000001), nullptr), 0);
    ASSERT_EQ(Send(GUID_ProtocolsManager, EVENT_ContactDetailsReceived, IdArg(0x10000001), IdArg(0x80000002)), 0);
    ASSERT_EQ(Send(GUID_ProtocolsManager, EVENT_ContactDetailsReceived, IdArg(0x10000001), nullptr), 0);
    EXPECT_TRUE(UpdateNoticePosted(main));
    std::vector<GuiUpdate> updates = client.TakeUpdates();
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].kind, GuiUpdate::ReloadUserDetails);
    EXPECT_EQ(updates[0].accountId, 0x10000001u);
    EXPECT_EQ(updates[1].kind, GuiUpdate::ReloadContactDetails);
    EXPECT_EQ(updates[1].accountId, 0x80000002u);
}
