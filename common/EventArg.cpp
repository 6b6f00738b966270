#include "EventArg.h"

#include <windows.h>

CEventArg::CEventArg() : m_refCount(0) {}

CEventArg::CEventArg(const CEventArg&) : m_refCount(0) {}

CEventArg& CEventArg::operator=(const CEventArg&)
{
    return *this;  // the count belongs to this object's holders, not to the source's
}

CEventArg::~CEventArg() = default;

long CEventArg::AddRef(long n)
{
    return InterlockedExchangeAdd(&m_refCount, n) + n;
}

long CEventArg::Release()
{
    long count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return count;
}
