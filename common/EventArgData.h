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

// Copies the value of an argument of that type into out; false, out
// untouched, for none or another type.
template <class T>
bool ArgValue(CEventArg* arg, T& out)
{
    auto* data = dynamic_cast<CEventArg_Data<T>*>(arg);
    if (!data)
        return false;
    out = data->m_data;
    return true;
}
