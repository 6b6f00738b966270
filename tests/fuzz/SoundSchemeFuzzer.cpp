// A sound scheme's "_sounds.ini", read as the alert manager reads the
// scheme it plays: four file names, each inside the scheme's folder.
#include "JOVArray.h"
#include "MemoryFiles.h"
#include "core/alerts/SoundSchemes.h"
#include "support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const CJOVString program(L"C:\\JOV\\");
    const CJOVString folder = SoundSchemeFolder(program, CJOVString(kDefaultSoundScheme));
    MemoryFiles::Put(static_cast<wchar_t*>(folder + CJOVString(L"_sounds.ini")), data, size);
    CJOVArray<wchar_t*> paths;
    const bool read = ReadSoundScheme(kDefaultSoundScheme, &paths, program);
    FUZZ_CHECK(!read || paths.Count() == kSchemeAlertCount);
    FUZZ_CHECK(paths.Count() <= kSchemeAlertCount);
    for (int i = 0; i < paths.Count(); ++i) {
        const CJOVString path(paths[i]);
        FUZZ_CHECK(path.GetLength() <= folder.GetLength() + kMaxSchemeValueLength);
        FUZZ_CHECK(path.Substring(0, folder.GetLength()) == folder);
        delete[] paths[i];
    }
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
