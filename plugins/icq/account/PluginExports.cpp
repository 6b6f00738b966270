// The plug-in's three exports; the .def file gives them their decorated names.
#include "ServiceIds.h"
#include "protocols/ProtocolInfo.h"

extern "C" void jov_GetProtocolInfo(Protocols::ProtocolInfo& info)
{
    info.guid = GUID_ICQProtocol;
    info.iconFile = CJOVString(L"icq_proto.png");
    info.name = CJOVString(L"ICQ");
    info.authors = CJOVString(L"The JOV team");
}

// No account can be made yet: 0 tells the host the creation failed.
extern "C" unsigned int jov_CreateAccount(Services::CServicesManager*, unsigned int, unsigned int)
{
    return 0;
}

extern "C" void jov_DestroyAccount(unsigned int) {}
