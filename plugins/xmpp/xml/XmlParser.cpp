#include "XmlParser.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "XmlReading.h"

using namespace XmlReading;

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
