// Looks up a module's export as a typed function pointer (the loader hands
// back a generic one, and the compiler rightly warns on a direct cast).
#pragma once

#include <windows.h>

template <class Fn>
Fn GetExport(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
