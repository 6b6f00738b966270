#include "XmlParser.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Bytes no element or attribute name may hold.
bool IsNameBreaker(char c)
{
    return c == '"' || c == '\'' || c == '<' || c == '&' || c == '=' || c == '/';
}

bool IsXmlChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool Named(const wchar_t* units, int length, const wchar_t* name)
{
    return static_cast<size_t>(length) == std::wcslen(name) && std::wmemcmp(units, name, length) == 0;
}

// "#123" or "#x7B"; false unless it names a character XML allows.
bool CharacterReference(const wchar_t* units, int length, unsigned long& c)
{
    int i = 1;
    int base = 10;
    if (i < length && units[i] == L'x') {
        base = 16;
        ++i;
    }
    if (i >= length)
        return false;
    c = 0;
    for (; i < length; ++i) {
        wchar_t u = units[i];
        int digit;
        if (u >= L'0' && u <= L'9')
            digit = u - L'0';
        else if (base == 16 && u >= L'a' && u <= L'f')
            digit = u - L'a' + 10;
        else if (base == 16 && u >= L'A' && u <= L'F')
            digit = u - L'A' + 10;
        else
            return false;
        c = c * base + digit;
        if (c > 0x10FFFF)
            return false;
    }
    return IsXmlChar(c);
}

// UTF-8 bytes to text, with the five predefined entities and character
// references replaced; false for any other reference.
bool Decode(const char* bytes, int length, CJOVString& out)
{
    if (length <= 0) {
        out = CJOVString();
        return true;
    }
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(bytes);
    if (!std::memchr(bytes, '&', static_cast<size_t>(length))) {
        out = CJOVString(raw, length, CP_UTF8);
        return true;
    }
    CJOVString wide(raw, length, CP_UTF8);
    const wchar_t* units = wide.Data();
    int count = wide.GetLength();
    std::wstring decoded;
    decoded.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (units[i] != L'&') {
            decoded += units[i];
            continue;
        }
        int end = i + 1;
        while (end < count && units[end] != L';' && end - i < 12)
            ++end;
        if (end >= count || units[end] != L';')
            return false;
        const wchar_t* name = units + i + 1;
        int nameLength = end - i - 1;
        unsigned long c = 0;
        if (Named(name, nameLength, L"lt"))
            decoded += L'<';
        else if (Named(name, nameLength, L"gt"))
            decoded += L'>';
        else if (Named(name, nameLength, L"amp"))
            decoded += L'&';
        else if (Named(name, nameLength, L"quot"))
            decoded += L'"';
        else if (Named(name, nameLength, L"apos"))
            decoded += L'\'';
        else if (nameLength > 1 && name[0] == L'#' && CharacterReference(name, nameLength, c)) {
            if (c > 0xFFFF) {
                c -= 0x10000;
                decoded += static_cast<wchar_t>(0xD800 + (c >> 10));
                decoded += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            } else {
                decoded += static_cast<wchar_t>(c);
            }
        } else {
            return false;
        }
        i = end;
    }
    out = CJOVString(decoded.c_str());
    return true;
}

bool ParseAttributes(const char* text, int length, XmlNode& node)
{
    int i = 0;
    for (;;) {
        while (i < length && IsBlank(text[i]))
            ++i;
        if (i >= length)
            return true;
        int nameStart = i;
        while (i < length && !IsBlank(text[i]) && text[i] != '=') {
            if (IsNameBreaker(text[i]))
                return false;
            ++i;
        }
        if (i == nameStart)
            return false;
        std::string name(text + nameStart, static_cast<size_t>(i - nameStart));
        while (i < length && IsBlank(text[i]))
            ++i;
        int valueStart = i;
        int valueEnd = i;
        if (i < length && text[i] == '=') {
            ++i;
            while (i < length && IsBlank(text[i]))
                ++i;
            if (i < length && (text[i] == '"' || text[i] == '\'')) {
                char quote = text[i++];
                valueStart = i;
                while (i < length && text[i] != quote)
                    ++i;
                if (i >= length)
                    return false;
                valueEnd = i++;
            } else {
                // Unquoted, as old servers wrote them: up to the next blank.
                valueStart = i;
                while (i < length && !IsBlank(text[i]))
                    ++i;
                valueEnd = i;
            }
        }
        XmlAttribute attribute{std::move(name), CJOVString()};
        if (!Decode(text + valueStart, valueEnd - valueStart, attribute.value))
            return false;
        node.attributes.push_back(std::move(attribute));
    }
}

} // namespace

XmlParser::XmlParser()
    : m_stanzaDropped(false),
      m_stanzaBytes(0),
      m_error(kNoError),
      m_scanned(0),
      m_quote(0),
      m_parsing(false),
      m_resetPending(false)
{
}

void XmlParser::Reset()
{
    if (m_parsing)
        m_resetPending = true;
    else
        Clear();
}

void XmlParser::Clear()
{
    m_open.clear();
    m_root.children.clear();
    m_skippedNames.clear();
    for (auto& depth : m_slots) {
        for (Slot& slot : depth)
            slot = Slot();
    }
    m_stanzaDropped = false;
    m_stanzaBytes = 0;
    m_error = kNoError;
    m_scanned = 0;
    m_quote = 0;
    m_resetPending = false;
}

bool XmlParser::SetCallback(int depth, int close, Callback callback, void* user)
{
    if (depth < 1 || depth > 2 || close < 0 || close > 1)
        return false;
    m_slots[depth - 1][close].callback = callback;
    m_slots[depth - 1][close].user = user;
    return true;
}

void XmlParser::Fail(Error error)
{
    if (m_error == kNoError)
        m_error = error;
}

int XmlParser::ParseChunk(const char* data, int length)
{
    if (m_error != kNoError)
        return -1;
    if (!data || length <= 0)
        return 0;
    if (m_scanned >= length) {
        // Not the rest of what was given last time: look at it afresh.
        m_scanned = 0;
        m_quote = 0;
    }
    m_parsing = true;
    int pos = 0;
    while (pos < length && !m_resetPending && m_error == kNoError) {
        int end = pos;
        Step step;
        if (data[pos] != '<')
            step = ScanText(data, pos, length, end);
        else if (length - pos >= 2 && data[pos + 1] == '!')
            step = ScanComment(data, pos, length, end);
        else
            step = ScanTag(data, pos, length, end);
        if (step == kIncomplete) {
            if (length - pos > kMaxStanzaBytes)
                Fail(kTooLarge);
            break;
        }
        if (step == kFailed)
            break;
        pos = end;
        m_scanned = 0;
        m_quote = 0;
    }
    m_parsing = false;
    if (m_resetPending) {
        Clear();
        return pos;
    }
    return m_error != kNoError ? -1 : pos;
}

bool XmlParser::AddStanzaBytes(int bytes)
{
    m_stanzaBytes += bytes;
    if (m_stanzaBytes <= kMaxStanzaBytes)
        return true;
    Fail(kTooLarge);
    return false;
}

XmlParser::Step XmlParser::ScanText(const char* data, int pos, int length, int& end)
{
    int from = pos + m_scanned;
    const char* lt = static_cast<const char*>(std::memchr(data + from, '<', static_cast<size_t>(length - from)));
    int stop = lt ? static_cast<int>(lt - data) : length;
    if (std::memchr(data + from, 0, static_cast<size_t>(stop - from))) {
        Fail(kNulByte);
        return kFailed;
    }
    if (CurrentDepth() < 2) {
        // Between stanzas only blanks belong (keep-alives); nothing to keep.
        end = stop;
        return kConsumed;
    }
    if (!lt) {
        m_scanned = length - pos;
        return kIncomplete;
    }
    end = stop;
    if (!AddStanzaBytes(end - pos))
        return kFailed;
    return AddText(data + pos, end - pos) ? kConsumed : kFailed;
}

XmlParser::Step XmlParser::ScanComment(const char* data, int pos, int length, int& end)
{
    static const char kOpen[] = "<!--";
    int available = length - pos;
    if (std::memcmp(data + pos, kOpen, static_cast<size_t>(available < 4 ? available : 4)) != 0) {
        // A document type or a CDATA section: neither belongs in a stream.
        Fail(kNotWellFormed);
        return kFailed;
    }
    if (available < 4)
        return kIncomplete;
    int from = pos + (m_scanned > 4 ? m_scanned : 4);
    for (int i = from; i < length; ++i) {
        if (data[i] == 0) {
            Fail(kNulByte);
            return kFailed;
        }
        if (data[i] == '>' && i - 2 >= pos + 4 && data[i - 1] == '-' && data[i - 2] == '-') {
            end = i + 1;
            if (CurrentDepth() >= 2 && !AddStanzaBytes(end - pos))
                return kFailed;
            return kConsumed;
        }
    }
    m_scanned = length - pos;
    return kIncomplete;
}

XmlParser::Step XmlParser::ScanTag(const char* data, int pos, int length, int& end)
{
    int i = pos + (m_scanned > 1 ? m_scanned : 1);
    char quote = m_quote;
    for (; i < length; ++i) {
        char c = data[i];
        if (c == 0) {
            Fail(kNulByte);
            return kFailed;
        }
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        } else if (c == '<') {
            Fail(kNotWellFormed);
            return kFailed;
        }
    }
    if (i >= length) {
        m_scanned = length - pos;
        m_quote = quote;
        return kIncomplete;
    }
    end = i + 1;
    // Inside a stanza every tag counts; outside one, a tag may open a stanza,
    // whose count then starts with it.
    if (CurrentDepth() >= 2) {
        if (!AddStanzaBytes(end - pos))
            return kFailed;
    } else {
        m_stanzaBytes = end - pos;
    }
    return HandleTag(data + pos + 1, end - pos - 2) ? kConsumed : kFailed;
}

bool XmlParser::HandleTag(const char* tag, int length)
{
    if (length <= 0) {
        Fail(kNotWellFormed);
        return false;
    }
    if (tag[0] == '?')
        return true;  // the XML declaration
    if (tag[0] == '/') {
        int n = length;
        while (n > 1 && IsBlank(tag[n - 1]))
            --n;
        for (int i = 1; i < n; ++i) {
            if (IsBlank(tag[i]) || IsNameBreaker(tag[i])) {
                Fail(kNotWellFormed);
                return false;
            }
        }
        if (n <= 1) {
            Fail(kNotWellFormed);
            return false;
        }
        return CloseElement(tag + 1, n - 1);
    }
    int nameLength = 0;
    while (nameLength < length && !IsBlank(tag[nameLength]) && tag[nameLength] != '/') {
        if (IsNameBreaker(tag[nameLength])) {
            Fail(kNotWellFormed);
            return false;
        }
        ++nameLength;
    }
    if (nameLength == 0) {
        Fail(kNotWellFormed);
        return false;
    }
    const char* rest = tag + nameLength;
    int restLength = length - nameLength;
    while (restLength > 0 && IsBlank(rest[restLength - 1]))
        --restLength;
    bool empty = restLength > 0 && rest[restLength - 1] == '/';
    if (empty)
        --restLength;
    return OpenElement(tag, nameLength, rest, restLength, empty);
}

bool XmlParser::OpenElement(const char* name, int nameLength, const char* attributes, int attributesLength,
                            bool empty)
{
    int depth = CurrentDepth() + 1;
    if (!m_skippedNames.empty() || depth > kMaxDepth) {
        m_stanzaDropped = true;
        if (!empty)
            m_skippedNames.emplace_back(name, static_cast<size_t>(nameLength));
        return true;
    }
    auto node = std::make_unique<XmlNode>(std::string(name, static_cast<size_t>(nameLength)));
    node->depth = depth;
    if (!ParseAttributes(attributes, attributesLength, *node)) {
        Fail(kNotWellFormed);
        return false;
    }
    XmlNode* parent = m_open.empty() ? &m_root : m_open.back();
    parent->children.push_back(std::move(node));
    XmlNode* added = parent->children.back().get();
    m_open.push_back(added);
    if (depth == 2)
        m_stanzaDropped = false;
    if (depth <= 2)
        Fire(depth, 0, added);
    if (!empty || m_resetPending)
        return true;
    return CloseElement(added->name.data(), nameLength);
}

bool XmlParser::CloseElement(const char* name, int nameLength)
{
    std::string closing(name, static_cast<size_t>(nameLength));
    if (!m_skippedNames.empty()) {
        if (m_skippedNames.back() != closing) {
            Fail(kNotWellFormed);
            return false;
        }
        m_skippedNames.pop_back();
        return true;
    }
    if (m_open.empty() || m_open.back()->name != closing) {
        Fail(kNotWellFormed);
        return false;
    }
    XmlNode* node = m_open.back();
    int depth = static_cast<int>(m_open.size());
    m_open.pop_back();
    if (depth > 2)
        return true;  // freed with its stanza
    if (depth == 1 || !m_stanzaDropped)
        Fire(depth, 1, node);
    if (m_resetPending)
        return true;  // the tree goes with the reset
    XmlNode* parent = m_open.empty() ? &m_root : m_open.back();
    for (size_t i = parent->children.size(); i-- > 0;) {
        if (parent->children[i].get() == node) {
            parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (depth == 2)
        m_stanzaBytes = 0;
    return true;
}

bool XmlParser::AddText(const char* text, int length)
{
    if (!m_skippedNames.empty() || m_open.empty())
        return true;
    CJOVString decoded;
    if (!Decode(text, length, decoded)) {
        Fail(kNotWellFormed);
        return false;
    }
    // Mixed content keeps every piece: a comment inside a text must not cut it.
    XmlNode* node = m_open.back();
    if (node->hasText)
        node->text += decoded;
    else
        node->SetText(decoded);
    return true;
}

void XmlParser::Fire(int depth, int close, XmlNode* node)
{
    const Slot& slot = m_slots[depth - 1][close];
    if (slot.callback)
        slot.callback(node, slot.user);
}
