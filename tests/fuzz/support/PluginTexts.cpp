// The plug-in module's texts as a module without a language file answers
// them: the built-in English. The module's own lookup needs the module's
// loading and its language files, which the packet readers do not.
#include "PluginModule.h"

CJOVString GetPluginText(int, const wchar_t* builtIn)
{
    return CJOVString(builtIn);
}
