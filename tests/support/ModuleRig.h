// The program's services around a protocol plug-in loaded as the program
// loads it: a bus, the settings store in a folder of its own, the sockets
// manager and the protocols manager reading "Protos" beside the test program.
// Torn down in the program's order, once the sockets' workers have ended.
#pragma once

#include <memory>

#include "ServiceIds.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/SocketsManagerImpl.h"

struct CModuleRig {
    explicit CModuleRig(Protocols::CProtocolsManagerHost* host = nullptr)
        : bus(std::make_unique<Services::CServicesManagerImpl>()),
          store(std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(folder.Path(L"settings.jov")))),
          storeId(bus->RegisterService(GUID_Database, store.get())),
          sockets(std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus)),
          manager(std::make_unique<Protocols::CProtocolsManagerImpl>(bus.get(), host,
                                                                     GetAppDir() + CJOVString(L"Protos\\")))
    {
        bus->FireLoaded();
    }
    ~CModuleRig()
    {
        manager.reset();
        sockets.reset();
        for (int i = 0; i < 300 && JOVSockets::CJOVSocket::RunningWorkers() > 0; ++i)
            Sleep(10);
        bus->UnregisterService(storeId);
        store.reset();
        bus.reset();
    }
    CModuleRig(const CModuleRig&) = delete;
    CModuleRig& operator=(const CModuleRig&) = delete;

    CTempFolder folder;
    std::unique_ptr<Services::CServicesManagerImpl> bus;
    std::unique_ptr<Database::CJOVDatabase> store;
    unsigned int storeId;
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> sockets;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> manager;
};
