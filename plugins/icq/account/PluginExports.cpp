// The plug-in's three exports; the .def file gives them their decorated names.
#include "protocols/ProtocolInfo.h"

namespace {
// {BB11FAAD-81A3-4CD4-913B-39DDA89CF340}
const JOV_GUID kICQProtocol = {0xBB11FAAD, 0x81A3, 0x4CD4, {0x91, 0x3B, 0x39, 0xDD, 0xA8, 0x9C, 0xF3, 0x40}};
}

extern "C" void jov_GetProtocolInfo(Protocols::ProtocolInfo& info)
{
    info.guid = kICQProtocol;
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
