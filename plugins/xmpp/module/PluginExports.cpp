// The plug-in's three exports; the .def file gives them their decorated names.
#include "AccountRegistry.h"
#include "ServiceIds.h"
#include "protocols/ProtocolInfo.h"

extern "C" void jov_GetProtocolInfo(Protocols::ProtocolInfo& info)
{
    info.guid = GUID_JabberProtocol;
    info.iconFile = CJOVString(L"jbr_jabber.png");
    info.name = CJOVString(L"Jabber");
    info.authors = CJOVString(L"The JOV team");
}

extern "C" unsigned int jov_CreateAccount(Services::CServicesManager* services, unsigned int accountId,
                                          unsigned int hostClientId)
{
    return CreateJabberAccount(services, accountId, hostClientId);
}

extern "C" void jov_DestroyAccount(unsigned int clientId)
{
    DestroyJabberAccount(clientId);
}
