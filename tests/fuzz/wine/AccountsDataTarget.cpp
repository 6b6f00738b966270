// "Accounts data" as the protocol plug-in manager reads it at start and
// writes it back at the end, with no plug-in to take the accounts: every
// item is kept. What it writes back reads whole, each item named by a
// protocol id and a number.
#include <string>
#include <vector>

#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "fuzz/wine/FuzzTargets.h"
#include "support/TestFolders.h"

namespace {

const wchar_t kAccountsData[] = L"Accounts data";
const int kGuidTextLength = 38;

std::wstring g_folder;
Services::CServicesManagerImpl* g_bus = nullptr;

void SetUp()
{
    g_folder = MakeTempFolder(L"fuzz_accounts");
    g_bus = new Services::CServicesManagerImpl(10000);
}

void CheckWritten(const std::vector<unsigned char>& bytes)
{
    NamedValueMap items;
    FUZZ_CHECK(bytes.empty() || items.Unpack(bytes.data(), static_cast<unsigned>(bytes.size())) == bytes.size());
    for (int i = 0; i < items.GetCount(); ++i) {
        const CJOVString name = items.GetAt(i)->GetName();
        const CJOVString guidText = name.Substring(0, kGuidTextLength);
        JOV_GUID protocol = {};
        protocol.SetString(guidText);
        FUZZ_CHECK(guidText.GetLength() == kGuidTextLength && protocol.GetString() == guidText);
        FUZZ_CHECK(name.GetLength() > kGuidTextLength);
    }
}

void Run(const unsigned char* data, size_t size)
{
    const CJOVString path((g_folder + L"\\settings.jov").c_str());
    DeleteFileW(static_cast<wchar_t*>(CJOVString(path)));
    Database::CJOVDatabase store{Database::CSettingsFile(path)};
    unsigned int length = static_cast<unsigned int>(size);
    store.SetData(GUID_ProtocolsManager, CJOVString(kAccountsData), data, &length);
    const unsigned int storeId = g_bus->RegisterService(GUID_Database, &store);
    {
        Protocols::CProtocolsManagerImpl manager(g_bus, nullptr, CJOVString((g_folder + L"\\Protos\\").c_str()));
        g_bus->FireLoaded();
    }
    g_bus->UnregisterService(storeId);
    unsigned int written = 0;
    std::vector<unsigned char> bytes;
    if (store.GetValueSize(GUID_ProtocolsManager, CJOVString(kAccountsData), &written)) {
        bytes.resize(written);
        FUZZ_CHECK(written == 0 ||
                   store.GetData(GUID_ProtocolsManager, CJOVString(kAccountsData), bytes.data(), &written));
    }
    CheckWritten(bytes);
}

} // namespace

const MutationTarget kAccountsDataTarget = {"accounts", SetUp, Run};
