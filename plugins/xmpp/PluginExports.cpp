// The plug-in's three exports; the .def file gives them their decorated names.
#include "protocols/ProtocolInfo.h"

namespace {
// {AB4D1737-3B4D-4DA7-8B82-60C8DDF8D8EB}
const JOV_GUID kJabberProtocol = {0xAB4D1737, 0x3B4D, 0x4DA7, {0x8B, 0x82, 0x60, 0xC8, 0xDD, 0xF8, 0xD8, 0xEB}};
}

extern "C" void jov_GetProtocolInfo(Protocols::ProtocolInfo& info)
{
    info.guid = kJabberProtocol;
    info.iconFile = CJOVString(L"jbr_jabber.png");
    info.name = CJOVString(L"Jabber");
    info.authors = CJOVString(L"The JOV team");
}

// No account can be made yet: 0 tells the host the creation failed.
extern "C" unsigned int jov_CreateAccount(Services::CServicesManager*, unsigned int, unsigned int)
{
    return 0;
}

extern "C" void jov_DestroyAccount(unsigned int) {}
