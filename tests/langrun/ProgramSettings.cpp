#include "langrun/ProgramSettings.h"

#include <cstring>
#include <memory>

#include "MD5.h"
#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/sockets/SocketsManagerImpl.h"

namespace {

void AddAccounts(Database::CJOVDatabase& store, unsigned short icqLoginPort)
{
    // The plug-ins of "Protos" beside the test store their accounts as the program's do.
    auto bus = std::make_unique<Services::CServicesManagerImpl>();
    const unsigned int storeId = bus->RegisterService(GUID_Database, &store);
    auto sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus);
    auto model = std::make_unique<CL::CContactListImpl>(*bus);
    auto manager = std::make_unique<Protocols::CProtocolsManagerImpl>(bus.get());
    model->SetAccountDirectory(manager.get());
    bus->FireLoaded();

    const unsigned int icq = manager->AddAccount(GUID_ICQProtocol);
    const char password[] = "secret";
    unsigned char digest[16];
    CMD5::Hash(password, static_cast<unsigned>(std::strlen(password)), digest);
    const unsigned size = sizeof(digest);
    const WORD port = icqLoginPort;
    manager->SetString(icq, CJOVString(L"Account name"), CJOVString(L"123456"));
    manager->SetData(icq, CJOVString(L"Account password"), digest, &size);
    manager->SetString(icq, CJOVString(L"Server name"), CJOVString(L"127.0.0.1"));
    manager->SetWord(icq, CJOVString(L"Server port"), &port);
    manager->AddAccount(GUID_JabberProtocol);

    // Start-up's order of shut-down: the lists, then the accounts are saved.
    model.reset();
    manager.reset();
    sockets.reset();
    bus->UnregisterService(storeId);
}

} // namespace

bool WriteProgramSettings(const std::wstring& file, const ProgramSettings& settings)
{
    {
        Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(file.c_str()))};
        if (!settings.language.empty()) {
            const CJOVString language(settings.language.c_str());
            store.SetString(GUID_SkinManager, CJOVString(L"Lang"), &language);
        }
        if (settings.messageBubbles) {
            const unsigned char on = 1, off = 0;
            store.SetByte(GUID_GUI, CJOVString(L"Show msg"), &on);
            store.SetByte(GUID_GUI, CJOVString(L"Dont show if active"), &off);
        }
        if (settings.icqLoginPort)
            AddAccounts(store, settings.icqLoginPort);
    }
    return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring StoredLanguage(const std::wstring& file)
{
    Database::CJOVDatabase store{Database::CSettingsFile(CJOVString(file.c_str()))};
    CJOVString value;
    if (!store.GetString(GUID_SkinManager, CJOVString(L"Lang"), &value))
        return L"<missing>";
    return std::wstring(value.Data() ? value.Data() : L"", static_cast<size_t>(value.GetLength()));
}
