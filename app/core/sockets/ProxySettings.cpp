#include "core/sockets/ProxySettings.h"

#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"

namespace JOVSockets {

namespace {

const wchar_t kProxyType[] = L"Proxy type";
const wchar_t kProxyHostname[] = L"Proxy hostname";
const wchar_t kProxyPort[] = L"Proxy port";
const wchar_t kProxyAuth[] = L"Proxy auth";
const wchar_t kProxyLogin[] = L"Proxy login";
const wchar_t kProxyPassword[] = L"Proxy password";

Database::CJOVDatabase* Store(Services::CServicesManager& services)
{
    return static_cast<Database::CJOVDatabase*>(services.GetService(GUID_Database));
}

} // namespace

void LoadProxySettings(Services::CServicesManager& services, SocketParams& params)
{
    Database::CJOVDatabase* store = Store(services);
    if (!store)
        return;
    const JOV_GUID& section = GUID_SocketsManager;
    unsigned char type = 0;
    params.proxyType = store->GetByte(section, kProxyType, &type) ? type : 0;
    CJOVString host;
    params.proxyHost = store->GetString(section, kProxyHostname, &host) ? host : CJOVString();
    unsigned int port = 0;
    params.proxyPort = store->GetDWord(section, kProxyPort, &port) ? static_cast<int>(port) : 0;
    unsigned char auth = 0;
    params.proxyAuth = store->GetByte(section, kProxyAuth, &auth) ? auth != 0 : false;
    CJOVString login;
    params.proxyLogin = store->GetString(section, kProxyLogin, &login) ? login : CJOVString();
    CJOVString password;
    params.proxyPassword = store->GetString(section, kProxyPassword, &password) ? password : CJOVString();
}

void SaveProxySettings(Services::CServicesManager& services, const SocketParams& params)
{
    Database::CJOVDatabase* store = Store(services);
    if (!store)
        return;
    const JOV_GUID& section = GUID_SocketsManager;
    unsigned char type = static_cast<unsigned char>(params.proxyType & 0xFF);
    store->SetByte(section, kProxyType, &type);
    store->SetString(section, kProxyHostname, &params.proxyHost);
    unsigned int port = static_cast<unsigned int>(params.proxyPort);
    store->SetDWord(section, kProxyPort, &port);
    unsigned char auth = params.proxyAuth ? 1 : 0;
    store->SetByte(section, kProxyAuth, &auth);
    store->SetString(section, kProxyLogin, &params.proxyLogin);
    store->SetString(section, kProxyPassword, &params.proxyPassword);
}

} // namespace JOVSockets
