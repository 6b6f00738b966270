// The XMPP stream parser and the builder, with three checks beyond staying
// inside the bytes:
//  - the stream cut into reads where the input says gives the same callbacks
//    and the same error as the stream in one read;
//  - every stanza, written by the builder and read again, writes the same;
//  - a text of the input's UTF-16 units, put in an attribute and an element
//    by the builder, reads back as the builder's rules promise.
// Input: a count n (low four bits of the first byte), n read lengths of two
// bytes (little-endian), then the stream. The first byte's bit 4 asks for
// limits low enough for a few kB to pass them, so that stanzas are skipped.
#include <string>
#include <vector>

#include "XmlBuilder.h"
#include "XmlParser.h"
#include "support/FuzzCheck.h"

namespace {

const char kStreamOpen[] = "<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>";

struct Events {
    std::vector<std::string> seen;  // in callback order
    std::vector<std::string> stanzas;
};

std::string OpenTag(const XmlNode* node)
{
    std::string tag = node->name;
    for (const XmlAttribute& attribute : node->attributes) {
        tag += ' ' + attribute.name + '=';
        for (int i = 0; i < attribute.value.GetLength(); ++i)
            tag += std::to_string(static_cast<unsigned short>(attribute.value.Data()[i])) + ',';
    }
    return tag;
}

void StreamOpened(XmlNode* node, void* user)
{
    static_cast<Events*>(user)->seen.push_back("stream " + OpenTag(node));
}

void StreamClosed(XmlNode*, void* user)
{
    static_cast<Events*>(user)->seen.push_back("end");
}

void StanzaOpened(XmlNode* node, void* user)
{
    static_cast<Events*>(user)->seen.push_back("open " + OpenTag(node));
}

void StanzaClosed(XmlNode* node, void* user)
{
    auto* events = static_cast<Events*>(user);
    events->seen.push_back("stanza " + ToString(node));
    events->stanzas.push_back(ToString(node));
}

void StanzaSkipped(XmlNode* node, void* user)
{
    // What a skipped stanza tells: its name, type, id and sender, no more.
    FUZZ_CHECK(node->children.empty() && !node->hasText && node->attributes.size() <= 3);
    static_cast<Events*>(user)->seen.push_back("skipped " + ToString(node));
}

XmlParser::Limits LowLimits()
{
    XmlParser::Limits limits;
    limits.stanzaBytes = 600;
    limits.stanzaMemory = 6000;
    limits.depth = 6;
    return limits;
}

// Feeds the reads as the account does: what the parser did not consume is
// given again, followed by the next read.
Events Parse(const std::string& stream, const std::vector<size_t>& reads, bool low = false)
{
    Events events;
    XmlParser parser(low ? LowLimits() : XmlParser::Limits());
    parser.SetCallback(1, 0, StreamOpened, &events);
    parser.SetCallback(1, 1, StreamClosed, &events);
    parser.SetCallback(2, 0, StanzaOpened, &events);
    parser.SetCallback(2, 1, StanzaClosed, &events);
    parser.SetSkipCallback(StanzaSkipped, &events);
    std::string pending;
    size_t at = 0;
    for (size_t i = 0; i <= reads.size() && at <= stream.size(); ++i) {
        size_t n = i < reads.size() ? reads[i] : stream.size() - at;
        if (n > stream.size() - at)
            n = stream.size() - at;
        pending.append(stream, at, n);
        at += n;
        int used = parser.ParseChunk(pending.data(), static_cast<int>(pending.size()));
        if (used < 0)
            break;
        FUZZ_CHECK(static_cast<size_t>(used) <= pending.size());
        pending.erase(0, static_cast<size_t>(used));
        // What is left is one piece the parser may still take whole.
        if (low)
            FUZZ_CHECK(pending.size() <= static_cast<size_t>(LowLimits().stanzaBytes) + 12);
    }
    events.seen.push_back("error " + std::to_string(parser.GetError()));
    return events;
}

// The stanzas of a stream of one read.
std::vector<std::string> Reread(const std::string& stanza)
{
    return Parse(kStreamOpen + stanza, {}).stanzas;
}

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The builder's promise for a text: carriage returns dropped, other control
// characters as blanks (tab and line feed kept), and what XML cannot carry
// as U+FFFD.
std::wstring Carried(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r')
            continue;
        if (c < 0x20 && c != L'\t' && c != L'\n')
            out += L' ';
        else if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
            out += c;
            out += text[++i];
        } else if (IsHigh(c) || IsLow(c) || c == 0xFFFE || c == 0xFFFF)
            out += static_cast<wchar_t>(0xFFFD);
        else
            out += c;
    }
    return out;
}

std::wstring Units(const CJOVString* text)
{
    return text && text->Data() ? std::wstring(text->Data(), static_cast<size_t>(text->GetLength())) : std::wstring();
}

void BuildAndRead(const unsigned char* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        text += unit ? unit : L'0';  // a string of the library ends at a NUL
    }
    const CJOVString value(text.c_str());
    XmlNode message("message");
    message.AddAttribute("a", value);
    message.AddChild("body", value);
    std::string written = ToString(&message);
    if (written.size() > static_cast<size_t>(XmlParser::kMaxStanzaBytes))
        return;  // more than any reader takes in one stanza
    std::vector<std::string> read = Reread(written);
    FUZZ_CHECK(read.size() == 1 && Reread(read[0]) == read);

    // Read once more to reach the values.
    struct Values {
        std::wstring attribute;
        std::wstring body;
    } values;
    XmlParser parser;
    parser.SetCallback(
        2, 1,
        [](XmlNode* node, void* user) {
            auto* out = static_cast<Values*>(user);
            out->attribute = Units(GetAttribute(node, "a"));
            out->body = Units(GetText(GetChild(node, "body")));
        },
        &values);
    std::string stream = kStreamOpen + written;
    FUZZ_CHECK(parser.ParseChunk(stream.data(), static_cast<int>(stream.size())) >= 0);
    const std::wstring carried = Carried(text);
    FUZZ_CHECK(values.attribute == carried);
    FUZZ_CHECK(values.body == carried);
    FUZZ_CHECK(XmlEscape(value) == XmlEscape(CJOVString(carried.c_str())));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    size_t cuts = data[0] & 0x0F;
    size_t at = 1;
    std::vector<size_t> reads;
    for (size_t i = 0; i < cuts && at + 2 <= size; ++i, at += 2)
        reads.push_back(static_cast<size_t>(data[at] | (data[at + 1] << 8)));
    const std::string stream(reinterpret_cast<const char*>(data) + at, size - at);

    const bool low = (data[0] & 0x10) != 0;
    Events whole = Parse(stream, {}, low);
    if (!reads.empty()) {
        Events split = Parse(stream, reads, low);
        FUZZ_CHECK(split.seen == whole.seen);
    }
    for (const std::string& stanza : whole.stanzas) {
        std::vector<std::string> read = Reread(stanza);
        FUZZ_CHECK(read.size() == 1 && read[0] == stanza);
    }
    BuildAndRead(data + at, size - at);
    return 0;
}
