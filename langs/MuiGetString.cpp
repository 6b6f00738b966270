// The one export of a language file: a text by its id.
#include "JOVString.h"

extern const char* const g_languageTable[];
extern const int g_languageLastId;

extern "C" bool jov_MUI_GetString(int id, CJOVString& out)
{
    // Taken as unsigned, so every negative id is beyond the table too.
    if (g_languageLastId < 0 || static_cast<unsigned int>(id) > static_cast<unsigned int>(g_languageLastId))
        return false;
    out = CJOVString(reinterpret_cast<const unsigned char*>(g_languageTable[id]), JOV_LANG_CODEPAGE);
    return true;
}
