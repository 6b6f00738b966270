#include "XmlBuilder.h"

#include <windows.h>

#include <climits>

namespace {

const char kStreamsNamespace[] = "http://etherx.jabber.org/streams";

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// In attribute values tabs and line feeds go as references, or the reader
// would turn them into blanks.
void Escape(const CJOVString& text, bool inAttribute, std::wstring& out)
{
    const wchar_t* units = text.Data();
    int length = text.GetLength();
    out.clear();
    out.reserve(static_cast<size_t>(length) + 16);
    for (int i = 0; i < length; ++i) {
        wchar_t c = units[i];
        switch (c) {
        case L'\r': continue;
        case L'&': out += L"&amp;"; continue;
        case L'<': out += L"&lt;"; continue;
        case L'>': out += L"&gt;"; continue;
        case L'"': out += L"&quot;"; continue;
        case L'\'': out += L"&apos;"; continue;
        case L'\t': out += inAttribute ? L"&#9;" : L"\t"; continue;
        case L'\n': out += inAttribute ? L"&#10;" : L"\n"; continue;
        default: break;
        }
        if (c < 0x20) {
            out += L' ';
        } else if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(units[i + 1])) {
            out += c;
            out += units[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            out += static_cast<wchar_t>(0xFFFD);
        } else {
            out += c;
        }
    }
}

void AppendUtf8(std::string& out, const std::wstring& text)
{
    if (text.empty())
        return;
    unsigned char* bytes = CJOVString(text.c_str()).GetBuffer(CP_UTF8);
    if (bytes) {
        out += reinterpret_cast<const char*>(bytes);
        CJOVString::FreeBuffer(bytes);
    }
}

void AppendEscaped(std::string& out, const CJOVString& text, bool inAttribute, std::wstring& scratch)
{
    Escape(text, inAttribute, scratch);
    AppendUtf8(out, scratch);
}

void Write(const XmlNode* node, std::string& out, std::wstring& scratch)
{
    out += node->prefix;
    out += '<';
    out += node->name;
    for (const XmlAttribute& attribute : node->attributes) {
        out += ' ';
        out += attribute.name;
        out += "='";
        AppendEscaped(out, attribute.value, true, scratch);
        out += '\'';
    }
    if (node->children.empty() && !node->hasText) {
        out += node->openTagOnly ? ">" : "/>";
        return;
    }
    out += '>';
    if (node->hasText)
        AppendEscaped(out, node->text, false, scratch);
    for (const auto& child : node->children)
        Write(child.get(), out, scratch);
    out += "</";
    out += node->name;
    out += '>';
}

} // namespace

std::unique_ptr<XmlNode> InitIq(const char* type, int number, const CJOVString* to)
{
    auto iq = std::make_unique<XmlNode>("iq");
    if (type)
        iq->AddAttribute("type", type);
    if (to)
        iq->AddAttribute("to", *to);
    if (number != -1)
        iq->AddStanzaId(number);
    return iq;
}

std::unique_ptr<XmlNode> InitIq(const char* type, const CJOVString* id, const CJOVString* to)
{
    auto iq = std::make_unique<XmlNode>("iq");
    if (type)
        iq->AddAttribute("type", type);
    if (to)
        iq->AddAttribute("to", *to);
    if (id)
        iq->AddAttribute("id", *id);
    return iq;
}

std::unique_ptr<XmlNode> MakeStreamHeader(const CJOVString& server)
{
    auto stream = std::make_unique<XmlNode>("stream:stream");
    stream->prefix = "<?xml version='1.0' encoding='UTF-8'?>";
    stream->openTagOnly = true;
    stream->AddAttribute("to", server)
        ->AddAttribute("xmlns", "jabber:client")
        ->AddAttribute("xmlns:stream", kStreamsNamespace)
        ->AddAttribute("xml:lang", "en")
        ->AddAttribute("version", "1.0");
    return stream;
}

std::string ToString(const XmlNode* node)
{
    std::string out;
    if (node) {
        std::wstring scratch;
        Write(node, out, scratch);
    }
    return out;
}

std::string XmlEscape(const CJOVString& text)
{
    std::string out;
    std::wstring scratch;
    AppendEscaped(out, text, false, scratch);
    return out;
}

int GetStanzaNumber(const XmlNode* node)
{
    const CJOVString* id = GetAttribute(node, "id");
    if (!id || id->GetLength() < 5)
        return -1;
    const wchar_t* units = id->Data();
    if (units[0] != L'j' || units[1] != L'o' || units[2] != L'v' || units[3] != L'_')
        return -1;
    long long number = 0;
    for (int i = 4; i < id->GetLength(); ++i) {
        if (units[i] < L'0' || units[i] > L'9')
            return -1;
        number = number * 10 + (units[i] - L'0');
        if (number > INT_MAX)
            return -1;
    }
    return static_cast<int>(number);
}
