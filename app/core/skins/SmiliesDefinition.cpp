#include "core/skins/SmiliesDefinition.h"

namespace {

void EndCode(std::vector<wchar_t>& code, std::vector<CJOVString>& codes)
{
    if (!code.empty()) {
        code.push_back(0);
        codes.push_back(CJOVString(code.data()));
    }
    code.clear();
}

} // namespace

SmiliesCodes ParseSmiliesDefinition(const unsigned char* bytes, size_t length)
{
    SmiliesCodes smilies;
    std::vector<wchar_t> code;
    bool lineOpen = false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = bytes[i];
        // A NUL (a damaged file) has no place in a text either.
        if (c == '\r' || c == 0)
            continue;
        if (!lineOpen) {
            smilies.emplace_back();
            lineOpen = true;
        }
        if (c == '\n') {
            EndCode(code, smilies.back());
            lineOpen = false;
        } else if (c == ',') {
            EndCode(code, smilies.back());
        } else {
            code.push_back(static_cast<wchar_t>(c));
        }
    }
    if (lineOpen)
        EndCode(code, smilies.back());
    return smilies;
}
