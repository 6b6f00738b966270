// A skin's "icolors.ini", read from the skin's folder as the skin manager
// reads it: whatever it holds, only the 21 colours are written.
#include <windows.h>

#include "MemoryFiles.h"
#include "core/skins/SkinColors.h"
#include "support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const wchar_t kPath[] = L"C:\\JOV\\Skins\\Skin\\icolors.ini";
    MemoryFiles::Put(kPath, data, size);
    COLORREF colours[Skins::kColourCount + 1];
    for (COLORREF& colour : colours)
        colour = 0xFF000000;
    if (Skins::ReadColoursFile(CJOVString(kPath), colours)) {
        for (int i = 0; i < Skins::kColourCount; ++i)
            FUZZ_CHECK(colours[i] <= 0xFFFFFF);
    }
    FUZZ_CHECK(colours[Skins::kColourCount] == 0xFF000000);
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
