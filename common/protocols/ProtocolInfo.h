// What a protocol plug-in tells the program about itself.
#pragma once

#include "JOVGuid.h"
#include "JOVString.h"

namespace Protocols {

struct ProtocolInfo {
    JOV_GUID guid;
    CJOVString iconFile;
    CJOVString name;
    CJOVString reserved;  // no plug-in fills it
    CJOVString authors;
};

} // namespace Protocols

namespace Services {
class CServicesManager;
}

// The three exports every protocol plug-in has, under these decorated names.
#define JOV_EXPORT_GET_PROTOCOL_INFO "?GetProtocolInfo@@YAXAAUProtocolInfo@Protocols@@@Z"
#define JOV_EXPORT_CREATE_ACCOUNT "?CreateAccount@@YAIPAVCServicesManager@Services@@II@Z"
#define JOV_EXPORT_DESTROY_ACCOUNT "?DestroyAccount@@YAXI@Z"

typedef void (*GetProtocolInfoFn)(Protocols::ProtocolInfo& info);
typedef unsigned int (*CreateAccountFn)(Services::CServicesManager* services, unsigned int accountId,
                                        unsigned int hostClientId);
typedef void (*DestroyAccountFn)(unsigned int accountClientId);
