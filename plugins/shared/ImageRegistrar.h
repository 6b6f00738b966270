// What the plug-in needs of the skin manager for its images: registering a
// file under the protocol and giving an id back. The account passes the
// skin manager it fetched from the services bus; tests pass a fake.
#pragma once

#include "JOVGuid.h"
#include "JOVString.h"

class CImageRegistrar {
public:
    virtual ~CImageRegistrar() {}
    virtual int AddImage(const JOV_GUID& protocol, const CJOVString& file) = 0;
    virtual void ReleaseImage(unsigned int id) = 0;
};
