#include "Jid.h"

namespace {

int Position(const CJOVString& jid, wchar_t c, int from = 0)
{
    const wchar_t* units = jid.Data();
    for (int i = from; i < jid.GetLength(); ++i) {
        if (units[i] == c)
            return i;
    }
    return -1;
}

int SlashOf(const CJOVString& jid)
{
    return Position(jid, L'/');
}

// The "@" of the node, which comes before any "/".
int AtOf(const CJOVString& jid)
{
    int at = Position(jid, L'@');
    int slash = SlashOf(jid);
    return at >= 0 && (slash < 0 || at < slash) ? at : -1;
}

CJOVString Lowered(CJOVString text)
{
    text.ToLower();
    return text;
}

} // namespace

CJOVString JidNode(const CJOVString& jid)
{
    int at = Position(jid, L'@');
    if (at >= 0)
        return jid.Substring(0, at);
    int slash = SlashOf(jid);
    return slash >= 0 ? jid.Substring(0, slash) : jid;
}

CJOVString JidDomain(const CJOVString& jid)
{
    int start = AtOf(jid) + 1;
    int slash = SlashOf(jid);
    return jid.Substring(start, (slash >= 0 ? slash : jid.GetLength()) - start);
}

CJOVString JidBare(const CJOVString& jid, int maxLength)
{
    int slash = SlashOf(jid);
    int length = slash >= 0 ? slash : jid.GetLength();
    if (length > maxLength)
        length = maxLength > 0 ? maxLength : 0;
    return length == jid.GetLength() ? jid : jid.Substring(0, length);
}

CJOVString JidWithResource(const CJOVString& jid, const CJOVString& knownResource)
{
    if (SlashOf(jid) >= 0 || knownResource.GetLength() == 0)
        return jid;
    return jid + CJOVString(L"/") + knownResource;
}

bool JidMatches(const CJOVString& asked, const CJOVString& from)
{
    if (Lowered(JidBare(asked, asked.GetLength())) != Lowered(JidBare(from, from.GetLength())))
        return false;
    int askedSlash = SlashOf(asked);
    if (askedSlash < 0)
        return true;
    int fromSlash = SlashOf(from);
    return fromSlash >= 0 && asked.Substring(askedSlash, asked.GetLength() - askedSlash) ==
                                 from.Substring(fromSlash, from.GetLength() - fromSlash);
}
