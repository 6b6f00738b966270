// The dialogs' world in this process: the program's resources and globals
// (g_App), a fake of the texts and images that records what is drawn, and a
// bus with a settings store and the real protocols manager over the "Pages"
// plug-in (bin/test_protos/dialogs). The UI thread is the test's.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "EventNames.h"
#include "ServiceIds.h"
#include "accounts/PluginLog.h"
#include "app/FakeGuiServices.h"
#include "core/AppGlobals.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"

inline const JOV_GUID kPagesProtocol = {0x77777777, 0x7777, 0x7777, {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}};

inline std::wstring Str(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", s.GetLength());
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CPluginLog::Clear();
        g_App.hInstance = GetModuleHandleW(nullptr);
        g_App.pServices = &services;
        m_store = std::make_unique<Database::CJOVDatabase>(
            Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
        CJOVString protos = GetAppDir() + CJOVString(L"test_protos\\dialogs\\Protos\\");
        manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get(), nullptr, protos);
        m_bus->FireLoaded();
        g_App.pProtocolsManager = manager.get();
    }

    void TearDown() override
    {
        g_App.pProtocolsManager = nullptr;
        manager.reset();
        m_bus->UnregisterService(m_storeId);
        m_store.reset();
        m_bus.reset();
        g_App.pServices = nullptr;
    }

    unsigned int AddPagesAccount()
    {
        unsigned int id = manager->AddAccount(kPagesProtocol);
        EXPECT_NE(id, 0u);
        return id;
    }

    std::wstring Setting(unsigned int owner, const wchar_t* name)
    {
        CJOVString value;
        manager->GetString(owner, CJOVString(name), value);
        return Str(value);
    }

    Services::CServicesManagerImpl& Bus() { return *m_bus; }
    Database::CJOVDatabase* Store() { return m_store.get(); }
    // The store's file as it is on disk now; empty when there is none.
    std::string SavedBytes() const
    {
        std::vector<unsigned char> bytes = CTempFolder::Read(m_folder.File(L"settings.jov"));
        return std::string(bytes.begin(), bytes.end());
    }

    CFakeGuiServices services;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> manager;

private:
    CTempFolder m_folder;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>(3000);
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
};
