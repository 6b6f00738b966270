// The first argument of every socket event. It holds a reference to the socket,
// so the pointer an owner compares with its own is not reused by a new socket
// before the event has been delivered.
#pragma once

#include "EventArgData.h"

namespace JOVSockets {

class CJOVSocket;

class CSocketEventArg : public CEventArg_Data<CJOVSocket*> {
public:
    explicit CSocketEventArg(CJOVSocket* socket);
    ~CSocketEventArg() override;
};

} // namespace JOVSockets
