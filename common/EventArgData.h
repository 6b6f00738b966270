// An event argument holding one value. Handlers recognise the type with a
// dynamic_cast and ignore an argument of another type, so the value type is
// part of each event's contract. A pointer value points at an object of the
// sender, which must outlive the (synchronous) event.
#pragma once

#include "EventArg.h"

template <class T>
class CEventArg_Data : public CEventArg {
public:
    explicit CEventArg_Data(const T& data = T()) : m_data(data) {}

    T m_data;
};
