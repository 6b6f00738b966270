// What the Windows compiler gives every source without an include: __int64
// and the export and calling-convention keywords, meaningless here. Included
// ahead of each source by the build (-include).
#pragma once

#define __int64 long long
#define __declspec(x)
#define __stdcall
#define __cdecl
