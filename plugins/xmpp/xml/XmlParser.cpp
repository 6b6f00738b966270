#include "XmlParser.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameByte(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsXmlChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Whether the bytes are UTF-8: no stray continuation, no overlong form, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(const char* text, size_t length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        unsigned char c = bytes[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t count;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            count = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            count = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            count = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (length - i <= count || bytes[i + 1] < low || bytes[i + 1] > high)
            return false;
        for (size_t k = 2; k <= count; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += count + 1;
    }
    return true;
}

void AppendUtf8(unsigned long c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool Named(const char* name, size_t length, const char* known)
{
    return length == std::strlen(known) && std::memcmp(name, known, length) == 0;
}

// "#123" or "#x7B"; false unless it names a character XML allows.
bool CharacterReference(const char* name, size_t length, unsigned long& c)
{
    size_t i = 1;
    int base = 10;
    if (i < length && name[i] == 'x') {
        base = 16;
        ++i;
    }
    if (i >= length)
        return false;
    c = 0;
    for (; i < length; ++i) {
        char u = name[i];
        int digit;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else
            return false;
        c = c * base + digit;
        if (c > 0x10FFFF)
            return false;
    }
    return IsXmlChar(c);
}

// Appends UTF-8 text with the five predefined entities and character
// references replaced; false for bytes that are not UTF-8 and for any other
// reference.
bool AppendDecoded(const char* text, size_t length, std::string& out)
{
    size_t i = 0;
    while (i < length) {
        const char* amp = static_cast<const char*>(std::memchr(text + i, '&', length - i));
        size_t plain = amp ? static_cast<size_t>(amp - text) : length;
        if (!IsUtf8(text + i, plain - i))
            return false;
        out.append(text + i, plain - i);
        if (!amp)
            return true;
        size_t end = plain + 1;
        while (end < length && text[end] != ';' && end - plain < 12)
            ++end;
        if (end >= length || text[end] != ';')
            return false;
        const char* name = text + plain + 1;
        size_t nameLength = end - plain - 1;
        unsigned long c = 0;
        if (Named(name, nameLength, "lt"))
            out += '<';
        else if (Named(name, nameLength, "gt"))
            out += '>';
        else if (Named(name, nameLength, "amp"))
            out += '&';
        else if (Named(name, nameLength, "quot"))
            out += '"';
        else if (Named(name, nameLength, "apos"))
            out += '\'';
        else if (nameLength > 1 && name[0] == '#' && CharacterReference(name, nameLength, c))
            AppendUtf8(c, out);
        else
            return false;
        i = end + 1;
    }
    return true;
}

CJOVString FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return CJOVString();
    return CJOVString(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), CP_UTF8);
}

// An attribute value: references decoded; a "<" has no place in one.
bool DecodeValue(const char* text, size_t length, std::string& scratch, CJOVString& out)
{
    if (length == 0) {
        out = CJOVString();
        return true;
    }
    if (std::memchr(text, '<', length))
        return false;
    if (!std::memchr(text, '&', length)) {
        if (!IsUtf8(text, length))
            return false;
        out = CJOVString(reinterpret_cast<const unsigned char*>(text), static_cast<int>(length), CP_UTF8);
        return true;
    }
    scratch.clear();
    if (!AppendDecoded(text, length, scratch))
        return false;
    out = FromUtf8(scratch);
    return true;
}

// Whether two attributes of the node share a name.
bool HasRepeatedName(const std::vector<XmlAttribute>& attributes)
{
    size_t count = attributes.size();
    if (count < 2)
        return false;
    if (count <= 16) {
        for (size_t i = 1; i < count; ++i) {
            for (size_t k = 0; k < i; ++k) {
                if (attributes[i].name == attributes[k].name)
                    return true;
            }
        }
        return false;
    }
    // Many attributes: sorted, so that a hostile tag costs n log n, not n².
    std::vector<const std::string*> names;
    names.reserve(count);
    for (const XmlAttribute& attribute : attributes)
        names.push_back(&attribute.name);
    std::sort(names.begin(), names.end(), [](const std::string* a, const std::string* b) { return *a < *b; });
    for (size_t i = 1; i < count; ++i) {
        if (*names[i] == *names[i - 1])
            return true;
    }
    return false;
}

// An XML name: ASCII as XML allows it, anything beyond ASCII as long as it is UTF-8.
bool IsName(const char* text, size_t length)
{
    if (length == 0 || !IsNameStart(static_cast<unsigned char>(text[0])))
        return false;
    for (size_t i = 1; i < length; ++i) {
        if (!IsNameByte(static_cast<unsigned char>(text[i])))
            return false;
    }
    return IsUtf8(text, length);
}

enum class Attributes { kRead, kNotWellFormed, kTooMany };

// At most `room` attributes are kept: a tag of many more is refused before
// they all cost their memory.
Attributes ParseAttributes(const char* text, int length, XmlNode& node, std::string& scratch, int room)
{
    int i = 0;
    for (;;) {
        while (i < length && IsBlank(text[i]))
            ++i;
        if (i >= length)
            return HasRepeatedName(node.attributes) ? Attributes::kNotWellFormed : Attributes::kRead;
        if (static_cast<int>(node.attributes.size()) >= room)
            return Attributes::kTooMany;
        int nameStart = i;
        while (i < length && !IsBlank(text[i]) && text[i] != '=')
            ++i;
        if (!IsName(text + nameStart, static_cast<size_t>(i - nameStart)))
            return Attributes::kNotWellFormed;
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
                    return Attributes::kNotWellFormed;
                valueEnd = i++;
            } else {
                // Unquoted, as old servers wrote them: up to the next blank.
                // A quote in it would end the tag elsewhere than here.
                valueStart = i;
                while (i < length && !IsBlank(text[i])) {
                    if (text[i] == '"' || text[i] == '\'')
                        return Attributes::kNotWellFormed;
                    ++i;
                }
                valueEnd = i;
            }
        }
        XmlAttribute attribute{std::move(name), CJOVString()};
        if (!DecodeValue(text + valueStart, static_cast<size_t>(valueEnd - valueStart), scratch, attribute.value))
            return Attributes::kNotWellFormed;
        node.attributes.push_back(std::move(attribute));
    }
}

} // namespace

XmlParser::XmlParser()
    : m_stanzaBytes(0),
      m_stanzaNodes(0),
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
    for (auto& depth : m_slots) {
        for (Slot& slot : depth)
            slot = Slot();
    }
    m_stanzaBytes = 0;
    m_stanzaNodes = 0;
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
        if (!IsName(tag + 1, static_cast<size_t>(n - 1))) {
            Fail(kNotWellFormed);
            return false;
        }
        return CloseElement(tag + 1, n - 1);
    }
    int nameLength = 0;
    while (nameLength < length && !IsBlank(tag[nameLength]) && tag[nameLength] != '/')
        ++nameLength;
    if (!IsName(tag, static_cast<size_t>(nameLength))) {
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
    if (depth <= 2)
        m_stanzaNodes = 0;  // the stream's own tag, or a new stanza
    if (depth > kMaxDepth || ++m_stanzaNodes > kMaxStanzaNodes) {
        Fail(kTooLarge);
        return false;
    }
    auto node = std::make_unique<XmlNode>(std::string(name, static_cast<size_t>(nameLength)));
    node->depth = depth;
    Attributes read = ParseAttributes(attributes, attributesLength, *node, m_scratch, kMaxStanzaNodes - m_stanzaNodes);
    if (read != Attributes::kRead) {
        Fail(read == Attributes::kTooMany ? kTooLarge : kNotWellFormed);
        return false;
    }
    m_stanzaNodes += static_cast<int>(node->attributes.size());
    XmlNode* parent = m_open.empty() ? &m_root : m_open.back().node;
    parent->children.push_back(std::move(node));
    XmlNode* added = parent->children.back().get();
    m_open.push_back(OpenNode{added, std::string(), false});
    if (depth <= 2)
        Fire(depth, 0, added);
    if (!empty || m_resetPending)
        return true;
    return CloseElement(added->name.data(), nameLength);
}

bool XmlParser::CloseElement(const char* name, int nameLength)
{
    if (m_open.empty() || m_open.back().node->name.compare(0, std::string::npos, name,
                                                            static_cast<size_t>(nameLength)) != 0) {
        Fail(kNotWellFormed);
        return false;
    }
    OpenNode& open = m_open.back();
    XmlNode* node = open.node;
    if (open.hasText) {
        // Trimmed, the bytes and the text made of them cost three times the
        // bytes at most; the text goes into the node uncopied.
        open.text.shrink_to_fit();
        CJOVString text = FromUtf8(open.text);
        node->text.Swap(text);
        node->hasText = true;
    }
    int depth = static_cast<int>(m_open.size());
    m_open.pop_back();
    if (depth > 2)
        return true;  // freed with its stanza
    Fire(depth, 1, node);
    if (m_resetPending)
        return true;  // the tree goes with the reset
    XmlNode* parent = m_open.empty() ? &m_root : m_open.back().node;
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
    if (m_open.empty())
        return true;
    // Every piece of mixed content is kept, a comment inside a text does not
    // cut it, and the pieces grow one buffer: made a string once, at the close.
    OpenNode& open = m_open.back();
    if (!AppendDecoded(text, static_cast<size_t>(length), open.text)) {
        Fail(kNotWellFormed);
        return false;
    }
    open.hasText = true;
    return true;
}

void XmlParser::Fire(int depth, int close, XmlNode* node)
{
    const Slot& slot = m_slots[depth - 1][close];
    if (slot.callback)
        slot.callback(node, slot.user);
}
