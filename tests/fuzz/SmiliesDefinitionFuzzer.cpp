// A smilies set's "_define.ini": the codes of every smiley, one line each.
// No code is empty (it would match everywhere) and none holds the bytes
// that separate codes and lines.
#include "core/skins/SmiliesDefinition.h"
#include "support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const SmiliesCodes smilies = ParseSmiliesDefinition(data, size);
    size_t units = 0;
    for (const std::vector<CJOVString>& codes : smilies) {
        for (const CJOVString& code : codes) {
            FUZZ_CHECK(code.GetLength() > 0);
            for (int i = 0; i < code.GetLength(); ++i) {
                const wchar_t c = code.Data()[i];
                FUZZ_CHECK(c != L',' && c != L'\n' && c != L'\r');
            }
            units += static_cast<size_t>(code.GetLength());
        }
    }
    FUZZ_CHECK(units <= size);
    return 0;
}
