#include "core/notify/NotifyHost.h"

CJOVString NotifyText(CNotifyHost& host, int textId, const wchar_t* english)
{
    CJOVString text;
    return host.GetString(textId, text) && text.GetLength() > 0 ? text : CJOVString(english);
}
