// The proxy settings: loaded from the settings store when the manager is made,
// written back when it is destroyed.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/SocketsManagerImpl.h"

using namespace JOVSockets;

class ProxySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wchar_t path[MAX_PATH];
        GetTempFileNameW(folder, L"jov", 0, path);
        DeleteFileW(path);  // the store starts without a file
        m_path = path;
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(CJOVString(path)));
        m_storeId = m_bus.RegisterService(GUID_Database, m_store.get());
    }

    void TearDown() override
    {
        m_bus.UnregisterService(m_storeId);
        m_store.reset();
        DeleteFileW(m_path.c_str());
    }

    void PutByte(const wchar_t* name, unsigned char value)
    {
        m_store->SetByte(GUID_SocketsManager, CJOVString(name), &value);
    }

    unsigned char GetByte(const wchar_t* name)
    {
        unsigned char value = 0xEE;
        EXPECT_EQ(m_store->GetByte(GUID_SocketsManager, CJOVString(name), &value), 1) << "no value";
        return value;
    }

    Services::CServicesManagerImpl m_bus;
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
    std::wstring m_path;
};

TEST_F(ProxySettingsTest, MissingKeysMeanNoProxy)
{
    CSocketsManagerImpl manager(m_bus);
    SocketParams params = manager.GetProxySettings();
    EXPECT_EQ(params.proxyType, kProxyNone);
    EXPECT_EQ(params.proxyHost.GetLength(), 0);
    EXPECT_EQ(params.proxyPort, 0);
    EXPECT_FALSE(params.proxyAuth);
    EXPECT_EQ(params.proxyLogin.GetLength(), 0);
    EXPECT_EQ(params.proxyPassword.GetLength(), 0);
}

TEST_F(ProxySettingsTest, StoredValuesAreLoadedAndWrittenBackInTheirForm)
{
    PutByte(L"Proxy type", 7);  // unknown: kept, every connection then fails
    PutByte(L"Proxy auth", 2);  // any non-zero byte is true
    CJOVString host(L"proxy.example.org");
    m_store->SetString(GUID_SocketsManager, CJOVString(L"Proxy hostname"), &host);
    unsigned int port = 3128;
    m_store->SetDWord(GUID_SocketsManager, CJOVString(L"Proxy port"), &port);
    CJOVString login(L"\x0418\x0432\x0430\x043d");  // Cyrillic survives the store
    m_store->SetString(GUID_SocketsManager, CJOVString(L"Proxy login"), &login);
    {
        CSocketsManagerImpl manager(m_bus);
        SocketParams params = manager.GetProxySettings();
        EXPECT_EQ(params.proxyType, 7);
        EXPECT_TRUE(params.proxyAuth);
        EXPECT_TRUE(params.proxyHost == host);
        EXPECT_EQ(params.proxyPort, 3128);
        EXPECT_TRUE(params.proxyLogin == login);
        EXPECT_EQ(params.proxyPassword.GetLength(), 0);
    }
    EXPECT_EQ(GetByte(L"Proxy auth"), 1);
    EXPECT_EQ(GetByte(L"Proxy type"), 7);
    CJOVString password(L"unchanged");
    EXPECT_EQ(m_store->GetString(GUID_SocketsManager, CJOVString(L"Proxy password"), &password), 1);
    EXPECT_EQ(password.GetLength(), 0);
}

TEST_F(ProxySettingsTest, ChangedSettingsReachTheNextManager)
{
    {
        CSocketsManagerImpl manager(m_bus);
        SocketParams params = manager.GetProxySettings();
        params.proxyType = kProxySocks5;
        params.proxyHost = CJOVString(L"10.0.0.1");
        params.proxyPort = 1080;
        params.proxyAuth = true;
        params.proxyLogin = CJOVString(L"user");
        params.proxyPassword = CJOVString(L"secret");
        params.host = CJOVString(L"not a setting");
        params.port = 5190;
        manager.SetProxySettings(params);
    }
    CSocketsManagerImpl next(m_bus);
    SocketParams params = next.GetProxySettings();
    EXPECT_EQ(params.proxyType, kProxySocks5);
    EXPECT_TRUE(params.proxyHost == CJOVString(L"10.0.0.1"));
    EXPECT_EQ(params.proxyPort, 1080);
    EXPECT_TRUE(params.proxyAuth);
    EXPECT_TRUE(params.proxyLogin == CJOVString(L"user"));
    EXPECT_TRUE(params.proxyPassword == CJOVString(L"secret"));
    EXPECT_EQ(params.host.GetLength(), 0);
    EXPECT_EQ(params.port, 0);
}

TEST_F(ProxySettingsTest, ManagerIsTheServiceOfItsIdentifierForItsLifetime)
{
    {
        CSocketsManagerImpl manager(m_bus);
        EXPECT_EQ(m_bus.GetService(GUID_SocketsManager), static_cast<CSocketsManager*>(&manager));
    }
    EXPECT_EQ(m_bus.GetService(GUID_SocketsManager), nullptr);

    // Without a settings store there is nothing to load or save.
    m_bus.UnregisterService(m_storeId);
    m_storeId = 0;
    PutByte(L"Proxy type", 2);
    {
        CSocketsManagerImpl manager(m_bus);
        EXPECT_EQ(manager.GetProxySettings().proxyType, kProxyNone);
        SocketParams params;
        params.proxyType = kProxyHttp;
        manager.SetProxySettings(params);
    }
    EXPECT_EQ(GetByte(L"Proxy type"), 2);
}
