// The ICQ plug-in as the program runs it, in this process: the real Verdel
// module loaded from the runnable tree by the real protocols manager, on a
// bus with the settings store, the skin manager, the sockets manager and the
// contact-list model, and the program's tabbed dialogs (its resources are
// linked in) to host the pages. The UI thread is the test's. A scripted
// OSCAR server on 127.0.0.1 plays the login and BOS servers.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "MenuInfo.h"
#include "ScriptedOscarServer.h"
#include "icqpages/LoginScript.h"
#include "app/FakeGuiServices.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/skins/SkinManagerHost.h"
#include "core/skins/SkinManagerImpl.h"
#include "core/sockets/SocketsManagerImpl.h"

std::wstring Str(const CJOVString& s);
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// The skin manager's windows: none here.
class CNoSkinWindows final : public Skins::CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override { return 0; }
    HWND GetMessageWindow() override { return nullptr; }
    void StopSmileyAnimation() override {}
};

class PluginWorldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new ICQ account with its login server at the scripted one.
    unsigned int AddIcqAccount();
    void SetLogin(unsigned int account, const wchar_t* uin, const char* password);
    std::wstring Setting(unsigned int account, const wchar_t* name);

    // One login of uin with password (LoginScript.h), and the servers started.
    void ScriptLogin(const std::string& uin, const std::string& password, const std::vector<OscarWire::SsiItem>& roster);
    // Online through the protocols manager, as the status menu does.
    bool GoOnline(unsigned int account);
    void GoOffline(unsigned int account);
    // The client frames the BOS server got after the roster.
    std::vector<OscarWire::Frame> AfterRoster();

    Protocols::Status Status(unsigned int account);
    // The account's contact of that UIN in the model, waited for; 0 when none came.
    unsigned int ContactOf(unsigned int account, const wchar_t* uin);
    // The menus as the contact list fills them before the account adds its items.
    static CMenuInfo RootMenu();
    static CMenuInfo GroupMenu();
    static CMenuInfo ContactMenu();
    // Runs an item the account put in a menu, as the program does.
    static void Choose(const CMenuItemInfo& item, unsigned int subjectId);

    CFakeGuiServices gui;
    std::unique_ptr<Services::CServicesManagerImpl> bus;
    std::unique_ptr<Database::CJOVDatabase> store;
    std::unique_ptr<Skins::CSkinManagerImpl> skins;
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> sockets;
    std::unique_ptr<CL::CContactListImpl> model;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> manager;
    std::unique_ptr<CScriptedOscarServer> login;
    std::unique_ptr<CScriptedOscarServer> bos;

private:
    CNoSkinWindows m_skinWindows;
    CTempFolder m_folder;
    unsigned int m_storeId = 0;
    LoginSession m_session;
};
