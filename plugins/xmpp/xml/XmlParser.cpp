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

// Decodes UTF-8 text with the five predefined entities and character
// references replaced, appended to `out`, or only checked when it is null;
// false for bytes that are not UTF-8 and for any other reference.
bool DecodeText(const char* text, size_t length, std::string* out)
{
    size_t i = 0;
    while (i < length) {
        const char* amp = static_cast<const char*>(std::memchr(text + i, '&', length - i));
        size_t plain = amp ? static_cast<size_t>(amp - text) : length;
        if (!IsUtf8(text + i, plain - i))
            return false;
        if (out)
            out->append(text + i, plain - i);
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
        char single = 0;
        if (Named(name, nameLength, "lt"))
            single = '<';
        else if (Named(name, nameLength, "gt"))
            single = '>';
        else if (Named(name, nameLength, "amp"))
            single = '&';
        else if (Named(name, nameLength, "quot"))
            single = '"';
        else if (Named(name, nameLength, "apos"))
            single = '\'';
        else if (!(nameLength > 1 && name[0] == '#' && CharacterReference(name, nameLength, c)))
            return false;
        if (out) {
            if (single)
                *out += single;
            else
                AppendUtf8(c, *out);
        }
        i = end + 1;
    }
    return true;
}

// Where text that goes on past the bytes at hand may be taken up to: before
// a reference that may still be open (in a CDATA section, before a "]" that
// may begin its end), and before a character whose bytes may not all be there.
int TextCutEnd(const char* data, int pos, int length, bool cdata = false)
{
    int end = length;
    if (cdata) {
        while (end > pos && end > length - 2 && data[end - 1] == ']')
            --end;
    } else {
        // A reference ends within 12 bytes of its "&".
        for (int i = length - 1; i >= pos && i >= length - 12; --i) {
            if (data[i] == ';')
                break;
            if (data[i] == '&') {
                end = i;
                break;
            }
        }
    }
    int lead = end - 1;
    while (lead > pos && lead > end - 4 && (static_cast<unsigned char>(data[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead >= pos) {
        unsigned char c = static_cast<unsigned char>(data[lead]);
        int count = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (end - lead - 1 < count)
            end = lead;
    }
    return end;
}

CJOVString FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return CJOVString();
    return CJOVString(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), CP_UTF8);
}

// An attribute value: references decoded (into `out` when given); a "<" has
// no place in one.
bool DecodeValue(const char* text, size_t length, std::string& scratch, CJOVString* out)
{
    if (length == 0) {
        if (out)
            *out = CJOVString();
        return true;
    }
    if (std::memchr(text, '<', length))
        return false;
    if (!std::memchr(text, '&', length)) {
        if (!IsUtf8(text, length))
            return false;
        if (out)
            *out = CJOVString(reinterpret_cast<const unsigned char*>(text), static_cast<int>(length), CP_UTF8);
        return true;
    }
    if (!out)
        return DecodeText(text, length, nullptr);
    scratch.clear();
    if (!DecodeText(text, length, &scratch))
        return false;
    *out = FromUtf8(scratch);
    return true;
}

typedef std::pair<const char*, size_t> NameBytes;

bool SameName(const NameBytes& a, const NameBytes& b)
{
    return a.second == b.second && std::memcmp(a.first, b.first, a.second) == 0;
}

// Whether two of a tag's attributes share a name.
bool HasRepeatedName(std::vector<NameBytes>& names)
{
    size_t count = names.size();
    if (count < 2)
        return false;
    if (count <= 16) {
        for (size_t i = 1; i < count; ++i) {
            for (size_t k = 0; k < i; ++k) {
                if (SameName(names[i], names[k]))
                    return true;
            }
        }
        return false;
    }
    // Many attributes: sorted, so that a hostile tag costs n log n, not n².
    std::sort(names.begin(), names.end(), [](const NameBytes& a, const NameBytes& b) {
        int order = std::memcmp(a.first, b.first, std::min(a.second, b.second));
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (size_t i = 1; i < count; ++i) {
        if (SameName(names[i], names[i - 1]))
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

// The attributes a skipped stanza still tells, enough to answer a request:
// each one's bit, 0 for any other.
unsigned ToldBit(const char* name, size_t length)
{
    return Named(name, length, "type") ? 1 : Named(name, length, "id") ? 2 : Named(name, length, "from") ? 4 : 0;
}

bool IsTold(const char* name, size_t length)
{
    return ToldBit(name, length) != 0;
}

// The told attribute whose value the outline of a tag opens, by its bit: the
// outline ends with its name, "=" and the quote, a blank around the "=" at
// most. The name follows a blank or the quote of the value before it.
unsigned ToldValueOpened(const std::string& outline)
{
    size_t end = outline.size() - 1;  // before the quote
    if (end > 0 && outline[end - 1] == ' ')
        --end;
    if (end == 0 || outline[end - 1] != '=')
        return 0;
    --end;
    if (end > 0 && outline[end - 1] == ' ')
        --end;
    size_t start = end;
    while (start > 0 && outline[start - 1] != ' ' && outline[start - 1] != '"' && outline[start - 1] != '\'')
        --start;
    // The element's own name comes first, with nothing before it.
    return start > 0 ? ToldBit(outline.data() + start, end - start) : 0;
}

// The heap's reckoning: what it adds to a block, and what a string holds
// without one.
constexpr long long kBlockCost = 16;
constexpr size_t kShortString = 15;

long long NameCost(size_t length)
{
    return length > kShortString ? static_cast<long long>(length) + 1 + kBlockCost : 0;
}

// The node, and its place in its parent's list, which may have room for
// twice as many.
long long ElementCost(size_t nameLength)
{
    return static_cast<long long>(sizeof(XmlNode)) + kBlockCost +
           2 * static_cast<long long>(sizeof(std::unique_ptr<XmlNode>)) + NameCost(nameLength);
}

// Its record in a list that may have room for twice as many, and its value
// in UTF-16: two bytes a byte at most.
long long AttributeCost(size_t nameLength, size_t valueBytes)
{
    return 2 * static_cast<long long>(sizeof(XmlAttribute)) + NameCost(nameLength) +
           (valueBytes ? 2 * static_cast<long long>(valueBytes) + 2 + kBlockCost : 0);
}

// A text's bytes as gathered (in a buffer of up to twice their size), then
// in UTF-16: four bytes a byte, and two blocks.
constexpr long long kTextBytesCost = 4;
constexpr long long kTextCost = 2 * kBlockCost + 2;

} // namespace

XmlParser::XmlParser() : XmlParser(Limits()) {}

XmlParser::XmlParser(const Limits& limits)
    : m_limits(limits),
      m_stanzaBytes(0),
      m_stanzaMemory(0),
      m_skipping(false),
      m_tagPastLimit(false),
      m_untold(0),
      m_inCdata(false),
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
    m_skipSlot = Slot();
    m_stanzaBytes = 0;
    m_stanzaMemory = 0;
    m_skipping = false;
    std::string().swap(m_skippedNames);
    std::vector<unsigned>().swap(m_skippedEnds);
    // Assigned, a string keeps its buffer: the outline of a tag that failed
    // before its '>' may hold a megabyte.
    m_tagInParts = TagInParts();
    std::string().swap(m_tagInParts.outline);
    std::string().swap(m_tagInParts.value);
    m_tagPastLimit = false;
    m_untold = 0;
    m_inCdata = false;
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

void XmlParser::SetSkipCallback(Callback callback, void* user)
{
    m_skipSlot.callback = callback;
    m_skipSlot.user = user;
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
        if (m_tagInParts.active)
            step = ReadTagPart(data, pos, length, end);
        else if (m_inCdata)
            step = ScanCdata(data, pos, length, end);
        else if (data[pos] != '<')
            step = ScanText(data, pos, length, end);
        else if (length - pos >= 2 && data[pos + 1] == '!')
            step = ScanComment(data, pos, length, end);
        else
            step = ScanTag(data, pos, length, end);
        if (step != kConsumed)
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

void XmlParser::AddStanzaBytes(int bytes)
{
    m_stanzaBytes += bytes;
    if (m_stanzaBytes > m_limits.stanzaBytes && !m_skipping)
        StartSkipping();
}

bool XmlParser::AddStanzaMemory(long long bytes)
{
    m_stanzaMemory += bytes;
    return m_stanzaMemory <= m_limits.stanzaMemory;
}

XmlParser::Step XmlParser::ScanText(const char* data, int pos, int length, int& end)
{
    int from = pos + m_scanned;
    const char* lt = static_cast<const char*>(std::memchr(data + from, '<', static_cast<size_t>(length - from)));
    return TakeCharacterData(data, pos, lt ? static_cast<int>(lt - data) : length, lt != nullptr, false, end);
}

XmlParser::Step XmlParser::TakeCharacterData(const char* data, int pos, int stop, bool closed, bool literal,
                                             int& end)
{
    // What was looked at before holds no NUL.
    int from = pos + m_scanned;
    const char* nul = from < stop ? static_cast<const char*>(std::memchr(data + from, 0, static_cast<size_t>(stop - from)))
                                  : nullptr;
    if (nul) {
        // The first fault is the one told, however the data was cut.
        size_t before = static_cast<size_t>(nul - data - pos);
        bool faulty = CurrentDepth() >= 2 &&
                      !(literal ? IsUtf8(data + pos, before) : DecodeText(data + pos, before, nullptr));
        Fail(faulty ? kNotWellFormed : kNulByte);
        return kFailed;
    }
    if (CurrentDepth() < 2) {
        // Between stanzas only blanks belong (keep-alives); nothing to keep,
        // up to where the end of a CDATA section may have begun.
        end = closed || !literal ? stop : TextCutEnd(data, pos, stop, true);
    } else if (closed) {
        end = stop;
        AddStanzaBytes(end - pos);
        if (!AddText(data + pos, end - pos, literal))
            return kFailed;
    } else {
        // Data that takes its stanza past the byte limit is skipped with it,
        // and read in parts, so that no buffer has to hold it whole.
        if (!m_skipping && m_stanzaBytes + (stop - pos) > m_limits.stanzaBytes)
            StartSkipping();
        end = m_skipping ? TextCutEnd(data, pos, stop, literal) : pos;
        if (end > pos && !AddText(data + pos, end - pos, literal))
            return kFailed;
    }
    if (closed || end > pos)
        return kConsumed;
    m_scanned = stop - pos;
    return kIncomplete;
}

XmlParser::Step XmlParser::ScanComment(const char* data, int pos, int length, int& end)
{
    static const char kOpen[] = "<!--";
    static const char kCdata[] = "<![CDATA[";
    int available = length - pos;
    if (available >= 3 && data[pos + 2] == '[') {
        const int marker = sizeof kCdata - 1;
        if (std::memcmp(data + pos, kCdata, static_cast<size_t>(available < marker ? available : marker)) != 0) {
            Fail(kNotWellFormed);
            return kFailed;
        }
        if (available < marker)
            return kIncomplete;
        end = pos + marker;
        if (CurrentDepth() >= 2)
            AddStanzaBytes(marker);
        m_inCdata = true;
        return kConsumed;
    }
    if (std::memcmp(data + pos, kOpen, static_cast<size_t>(available < 4 ? available : 4)) != 0) {
        // A document type has no place in a stream.
        Fail(kNotWellFormed);
        return kFailed;
    }
    if (available < 4)
        return kIncomplete;
    int from = pos + (m_scanned > 4 ? m_scanned : 4);
    int last = PieceEnd(pos, length);
    for (int i = from; i < last; ++i) {
        if (data[i] == 0) {
            Fail(kNulByte);
            return kFailed;
        }
        if (data[i] == '>' && i - 2 >= pos + 4 && data[i - 1] == '-' && data[i - 2] == '-') {
            end = i + 1;
            if (CurrentDepth() >= 2)
                AddStanzaBytes(end - pos);
            return kConsumed;
        }
    }
    if (last - pos >= m_limits.stanzaBytes) {
        Fail(kTooLarge);
        return kFailed;
    }
    m_scanned = length - pos;
    return kIncomplete;
}

XmlParser::Step XmlParser::ScanCdata(const char* data, int pos, int length, int& end)
{
    // "]]>" may have begun in the two bytes looked at last time.
    int from = pos + (m_scanned > 2 ? m_scanned - 2 : 0);
    int stop = length;
    for (const char* at = data + from;
         (at = static_cast<const char*>(std::memchr(at, ']', static_cast<size_t>(data + length - at)))) != nullptr;
         ++at) {
        if (data + length - at >= 3 && at[1] == ']' && at[2] == '>') {
            stop = static_cast<int>(at - data);
            break;
        }
    }
    bool closed = stop < length;
    Step step = TakeCharacterData(data, pos, stop, closed, true, end);
    if (step == kConsumed && closed) {
        end = stop + 3;
        m_inCdata = false;
        if (CurrentDepth() >= 2)
            AddStanzaBytes(3);
    }
    return step;
}

int XmlParser::PieceEnd(int pos, int length) const
{
    // Decided at the limit, whatever follows and however the stream was cut,
    // so that a reader holding no more than the limit is never left waiting.
    return length - pos >= m_limits.stanzaBytes ? pos + m_limits.stanzaBytes : length;
}

XmlParser::Step XmlParser::ScanTag(const char* data, int pos, int length, int& end)
{
    int i = pos + (m_scanned > 1 ? m_scanned : 1);
    char quote = m_quote;
    int last = PieceEnd(pos, length);
    for (; i < last; ++i) {
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
    if (i >= last && last - pos >= m_limits.stanzaBytes) {
        // Too long to hold: read on in parts, and its stanza skipped, when it
        // is inside one or opens one.
        bool opensStanza = CurrentDepth() == 1 && data[pos + 1] != '/' && data[pos + 1] != '?';
        if (CurrentDepth() < 2 && !opensStanza) {
            Fail(kTooLarge);
            return kFailed;
        }
        if (!opensStanza && !m_skipping)
            StartSkipping();
        m_tagInParts = TagInParts();
        m_tagInParts.active = true;
        m_tagInParts.opensStanza = opensStanza;
        Step step = ReadTagPart(data, pos + 1, length, end);
        if (step != kIncomplete)
            return step;
        end = pos + 1;
        return kConsumed;
    }
    if (i >= length) {
        m_scanned = length - pos;
        m_quote = quote;
        return kIncomplete;
    }
    end = i + 1;
    // Inside a stanza every tag counts; outside one, a tag may open a stanza,
    // whose count then starts with it.
    if (CurrentDepth() >= 2)
        AddStanzaBytes(end - pos);
    else
        m_stanzaBytes = end - pos;
    return HandleTag(data + pos + 1, end - pos - 2) ? kConsumed : kFailed;
}

XmlParser::Step XmlParser::ReadTagPart(const char* data, int pos, int length, int& end)
{
    TagInParts& tag = m_tagInParts;
    int i = pos;
    while (i < length) {
        if (tag.quote) {
            const char* close = static_cast<const char*>(std::memchr(data + i, tag.quote, static_cast<size_t>(length - i)));
            int stop = close ? static_cast<int>(close - data) : length;
            if (std::memchr(data + i, 0, static_cast<size_t>(stop - i))) {
                Fail(kNulByte);
                return kFailed;
            }
            // Checked in pieces that end between characters and references,
            // as a text read in parts is; the rest waits for the next read.
            int cut = close ? stop : TextCutEnd(data, i, length);
            ReadValuePart(data + i, cut - i);
            i = cut;
            if (!close)
                break;
            ++i;
            if (!CloseQuotedValue())
                return kFailed;
            continue;
        }
        char c = data[i++];
        if (c == 0) {
            Fail(kNulByte);
            return kFailed;
        }
        if (c == '<') {
            Fail(kNotWellFormed);
            return kFailed;
        }
        if (c == '>') {
            end = i;
            return FinishTagInParts() ? kConsumed : kFailed;
        }
        if (IsBlank(c)) {
            if (!tag.outline.empty() && tag.outline.back() == ' ')
                continue;
            c = ' ';
        }
        tag.outline += c;
        if (c == '"' || c == '\'') {
            tag.quote = c;
            tag.keeping = tag.opensStanza ? ToldValueOpened(tag.outline) : 0;
        }
        if (tag.outline.size() > static_cast<size_t>(m_limits.stanzaBytes)) {
            Fail(kTooLarge);
            return kFailed;
        }
    }
    end = i;
    return end > pos ? kConsumed : kIncomplete;
}

void XmlParser::ReadValuePart(const char* value, int length)
{
    TagInParts& tag = m_tagInParts;
    if (length <= 0)
        return;
    // A fault is told at the tag's end: before it, a NUL is the one told.
    if (!DecodeValue(value, static_cast<size_t>(length), m_scratch, nullptr))
        tag.faulty = true;
    if (tag.keeping) {
        size_t room = static_cast<size_t>(kMaxToldBytes) + 1 - tag.value.size();
        tag.value.append(value, std::min(room, static_cast<size_t>(length)));
    }
}

bool XmlParser::CloseQuotedValue()
{
    TagInParts& tag = m_tagInParts;
    if (tag.keeping) {
        // One too long to tell is left out, its value empty in the outline.
        if (tag.value.size() > static_cast<size_t>(kMaxToldBytes))
            tag.untold |= tag.keeping;
        else
            tag.outline += tag.value;
        tag.value.clear();
    }
    tag.outline += tag.quote;
    tag.quote = 0;
    tag.keeping = 0;
    if (tag.outline.size() > static_cast<size_t>(m_limits.stanzaBytes)) {
        Fail(kTooLarge);
        return false;
    }
    return true;
}

bool XmlParser::FinishTagInParts()
{
    std::string outline;
    outline.swap(m_tagInParts.outline);
    bool faulty = m_tagInParts.faulty;
    unsigned untold = m_tagInParts.untold;
    m_tagInParts = TagInParts();
    if (faulty) {
        Fail(kNotWellFormed);
        return false;
    }
    m_tagPastLimit = true;
    m_untold = untold;
    bool handled = HandleTag(outline.data(), static_cast<int>(outline.size()));
    m_tagPastLimit = false;
    m_untold = 0;
    return handled;
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

XmlParser::Read XmlParser::ReadAttributes(const char* text, int length, XmlNode* node, Keep keep)
{
    m_names.clear();
    int i = 0;
    for (;;) {
        while (i < length && IsBlank(text[i]))
            ++i;
        if (i >= length)
            break;
        int nameStart = i;
        while (i < length && !IsBlank(text[i]) && text[i] != '=')
            ++i;
        size_t nameLength = static_cast<size_t>(i - nameStart);
        if (!IsName(text + nameStart, nameLength))
            return Read::kNotWellFormed;
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
                    return Read::kNotWellFormed;
                valueEnd = i++;
            } else {
                // Unquoted, as old servers wrote them: up to the next blank.
                // A quote in it would end the tag elsewhere than here.
                valueStart = i;
                while (i < length && !IsBlank(text[i])) {
                    if (text[i] == '"' || text[i] == '\'')
                        return Read::kNotWellFormed;
                    ++i;
                }
                valueEnd = i;
            }
        }
        m_names.emplace_back(text + nameStart, nameLength);
        size_t valueLength = static_cast<size_t>(valueEnd - valueStart);
        bool kept = keep == Keep::kAll || (keep == Keep::kTold && IsTold(text + nameStart, nameLength) &&
                                           valueLength <= static_cast<size_t>(kMaxToldBytes));
        // Refused before its memory is taken.
        if (keep == Keep::kAll && !AddStanzaMemory(AttributeCost(nameLength, valueLength)))
            return Read::kPastMemory;
        if (!kept) {
            if (!DecodeValue(text + valueStart, valueLength, m_scratch, nullptr))
                return Read::kNotWellFormed;
            continue;
        }
        XmlAttribute attribute{std::string(text + nameStart, nameLength), CJOVString()};
        if (!DecodeValue(text + valueStart, valueLength, m_scratch, &attribute.value))
            return Read::kNotWellFormed;
        node->attributes.push_back(std::move(attribute));
    }
    bool repeated = HasRepeatedName(m_names);
    if (m_names.capacity() > 1024)
        std::vector<std::pair<const char*, size_t>>().swap(m_names);
    return repeated ? Read::kNotWellFormed : Read::kRead;
}

bool XmlParser::OpenElement(const char* name, int nameLength, const char* attributes, int attributesLength,
                            bool empty)
{
    if (m_skipping)
        return SkipElement(name, nameLength, attributes, attributesLength, empty);
    int depth = CurrentDepth() + 1;
    if (depth <= 2)
        m_stanzaMemory = 0;  // the stream's own tag, or a new stanza
    if (depth > 2 && depth > m_limits.depth) {
        StartSkipping();
        return SkipElement(name, nameLength, attributes, attributesLength, empty);
    }
    auto node = std::make_unique<XmlNode>(std::string(name, static_cast<size_t>(nameLength)));
    node->depth = depth;
    Read read = !m_tagPastLimit && AddStanzaMemory(ElementCost(static_cast<size_t>(nameLength)))
                    ? ReadAttributes(attributes, attributesLength, node.get(), Keep::kAll)
                    : Read::kPastMemory;
    if (read == Read::kPastMemory) {
        if (depth == 1) {
            Fail(kTooLarge);  // the stream's own tag: no stanza to skip
            return false;
        }
        StartSkipping();
        if (depth > 2)
            return SkipElement(name, nameLength, attributes, attributesLength, empty);
        // The stanza's own tag: only what its skip callback tells is kept.
        std::vector<XmlAttribute>().swap(node->attributes);
        read = ReadAttributes(attributes, attributesLength, node.get(), Keep::kTold);
        std::erase_if(node->attributes, [this](const XmlAttribute& attribute) {
            return (ToldBit(attribute.name.data(), attribute.name.size()) & m_untold) != 0;
        });
    }
    if (read != Read::kRead) {
        Fail(kNotWellFormed);
        return false;
    }
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

bool XmlParser::SkipElement(const char* name, int nameLength, const char* attributes, int attributesLength,
                            bool empty)
{
    if (ReadAttributes(attributes, attributesLength, nullptr, Keep::kNone) != Read::kRead) {
        Fail(kNotWellFormed);
        return false;
    }
    return empty || PushSkippedName(name, static_cast<size_t>(nameLength));
}

bool XmlParser::PushSkippedName(const char* name, size_t length)
{
    // The names are all a skipped stanza keeps; past this they could grow
    // without end. "<a>" opens one level in three bytes, which costs five.
    if (m_skippedNames.size() + length + sizeof(unsigned) * (m_skippedEnds.size() + 1) >
        2 * static_cast<size_t>(m_limits.stanzaBytes)) {
        Fail(kTooLarge);
        return false;
    }
    m_skippedNames.append(name, length);
    m_skippedEnds.push_back(static_cast<unsigned>(m_skippedNames.size()));
    return true;
}

void XmlParser::StartSkipping()
{
    m_skipping = true;
    if (m_open.size() < 2)
        return;  // at the stanza's own tag: nothing built yet
    for (size_t i = 2; i < m_open.size(); ++i)
        PushSkippedName(m_open[i].node->name.data(), m_open[i].node->name.size());
    m_open.erase(m_open.begin() + 2, m_open.end());
    OpenNode& stanza = m_open[1];
    std::string().swap(stanza.text);
    stanza.hasText = false;
    XmlNode* node = stanza.node;
    std::vector<std::unique_ptr<XmlNode>>().swap(node->children);
    std::vector<XmlAttribute> told;
    for (XmlAttribute& attribute : node->attributes) {
        if (IsTold(attribute.name.data(), attribute.name.size()))
            told.push_back(std::move(attribute));
    }
    node->attributes.swap(told);
}

bool XmlParser::CloseElement(const char* name, int nameLength)
{
    if (!m_skippedEnds.empty()) {
        size_t end = m_skippedEnds.back();
        size_t start = m_skippedEnds.size() > 1 ? m_skippedEnds[m_skippedEnds.size() - 2] : 0;
        if (end - start != static_cast<size_t>(nameLength) ||
            std::memcmp(m_skippedNames.data() + start, name, static_cast<size_t>(nameLength)) != 0) {
            Fail(kNotWellFormed);
            return false;
        }
        m_skippedNames.resize(start);
        m_skippedEnds.pop_back();
        return true;
    }
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
    if (depth == 2 && m_skipping) {
        if (m_skipSlot.callback)
            m_skipSlot.callback(node, m_skipSlot.user);
    } else {
        Fire(depth, 1, node);
    }
    if (m_resetPending)
        return true;  // the tree goes with the reset
    XmlNode* parent = m_open.empty() ? &m_root : m_open.back().node;
    for (size_t i = parent->children.size(); i-- > 0;) {
        if (parent->children[i].get() == node) {
            parent->children.erase(parent->children.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (depth == 2) {
        m_stanzaBytes = 0;
        m_stanzaMemory = 0;
        if (m_skipping) {
            m_skipping = false;
            std::string().swap(m_skippedNames);
            std::vector<unsigned>().swap(m_skippedEnds);
        }
    }
    return true;
}

bool XmlParser::AddText(const char* text, int length, bool literal)
{
    if (m_open.empty())
        return true;
    if (!m_skipping && !AddStanzaMemory(kTextBytesCost * length + (m_open.back().hasText ? 0 : kTextCost)))
        StartSkipping();
    if (m_skipping) {
        // Checked, not kept.
        if (literal ? IsUtf8(text, static_cast<size_t>(length)) : DecodeText(text, static_cast<size_t>(length), nullptr))
            return true;
        Fail(kNotWellFormed);
        return false;
    }
    // Every piece of mixed content is kept, a comment inside a text does not
    // cut it, and the pieces grow one buffer: made a string once, at the close.
    OpenNode& open = m_open.back();
    if (literal ? !IsUtf8(text, static_cast<size_t>(length))
                : !DecodeText(text, static_cast<size_t>(length), &open.text)) {
        Fail(kNotWellFormed);
        return false;
    }
    if (literal)
        open.text.append(text, static_cast<size_t>(length));
    open.hasText = true;
    return true;
}

void XmlParser::Fire(int depth, int close, XmlNode* node)
{
    const Slot& slot = m_slots[depth - 1][close];
    if (slot.callback)
        slot.callback(node, slot.user);
}
