// The stream parser beside expat, in one program under the same runtime: a
// stream of 10,000 stanzas made from a session recorded from a local server
// (each copy with its own ids and texts), fed to both in the same 2048-byte
// reads as the account's socket gives them, and as one buffer. expat's
// callbacks build the same nodes ours does, so the figures compare the parsers.
// Prints one row per figure for scripts/bench.sh: time per stanza.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <expat.h>

#include "xml/XmlBuilder.h"
#include "xml/XmlParser.h"

namespace {

const int kStanzas = 10000;
const int kRuns = 7;
const size_t kRead = 2048;

// What both parsers hand on: the stanzas counted, and written out when asked.
struct Sink {
    int stanzas = 0;
    std::vector<std::string>* written = nullptr;

    void Take(XmlNode* stanza)
    {
        ++stanzas;
        if (written)
            written->push_back(ToString(stanza));
    }
};

// ---- ours, as the account drives it: a buffer the consumed bytes leave.
void OursTake(XmlNode* node, void* sink)
{
    static_cast<Sink*>(sink)->Take(node);
}

bool ParseOurs(const std::string& stream, size_t read, Sink& sink)
{
    XmlParser parser;
    parser.SetCallback(2, 1, &OursTake, &sink);
    std::vector<char> buffer(std::max(read, stream.size()) + 1);
    size_t used = 0;
    for (size_t at = 0; at < stream.size(); at += read) {
        size_t n = std::min(read, stream.size() - at);
        if (used + n > buffer.size())
            buffer.resize(used + n);
        std::memcpy(buffer.data() + used, stream.data() + at, n);
        used += n;
        int consumed = parser.ParseChunk(buffer.data(), static_cast<int>(used));
        if (consumed < 0)
            return false;
        used -= static_cast<size_t>(consumed);
        std::memmove(buffer.data(), buffer.data() + consumed, used);
    }
    return true;
}

// ---- expat, building the same nodes: names as given (UTF-8), values and
// texts converted to UTF-16, a text converted once it is whole.
struct ExpatTree {
    XmlNode root;
    std::vector<XmlNode*> open;
    std::string text;
    Sink* sink = nullptr;

    void FlushText()
    {
        if (text.empty())
            return;
        if (open.size() >= 2) {
            XmlNode* node = open.back();
            CJOVString piece(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()),
                             CP_UTF8);
            if (node->hasText)
                node->text += piece;
            else
                node->SetText(piece);
        }
        text.clear();
    }
};

void XMLCALL ExpatStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* tree = static_cast<ExpatTree*>(data);
    tree->FlushText();
    auto node = std::make_unique<XmlNode>(name);
    node->depth = static_cast<int>(tree->open.size()) + 1;
    for (const XML_Char** attribute = attributes; *attribute; attribute += 2)
        node->attributes.push_back(
            XmlAttribute{attribute[0], CJOVString(reinterpret_cast<const unsigned char*>(attribute[1]), CP_UTF8)});
    XmlNode* parent = tree->open.empty() ? &tree->root : tree->open.back();
    parent->children.push_back(std::move(node));
    tree->open.push_back(parent->children.back().get());
}

void XMLCALL ExpatEnd(void* data, const XML_Char*)
{
    auto* tree = static_cast<ExpatTree*>(data);
    tree->FlushText();
    XmlNode* node = tree->open.back();
    size_t depth = tree->open.size();
    tree->open.pop_back();
    if (depth > 2)
        return;
    if (depth == 2)
        tree->sink->Take(node);
    XmlNode* parent = tree->open.empty() ? &tree->root : tree->open.back();
    parent->children.pop_back();
}

void XMLCALL ExpatText(void* data, const XML_Char* text, int length)
{
    static_cast<ExpatTree*>(data)->text.append(text, static_cast<size_t>(length));
}

bool ParseExpat(const std::string& stream, size_t read, Sink& sink)
{
    XML_Parser parser = XML_ParserCreate("UTF-8");
    ExpatTree tree;
    tree.sink = &sink;
    XML_SetUserData(parser, &tree);
    XML_SetElementHandler(parser, &ExpatStart, &ExpatEnd);
    XML_SetCharacterDataHandler(parser, &ExpatText);
    bool ok = true;
    for (size_t at = 0; at < stream.size() && ok; at += read) {
        size_t n = std::min(read, stream.size() - at);
        ok = XML_Parse(parser, stream.data() + at, static_cast<int>(n), XML_FALSE) == XML_STATUS_OK;
    }
    XML_ParserFree(parser);
    return ok;
}

// ---- the stream: the recording's stanzas, each copy with its own ids and texts.
// The recording's own tags hold no ">" in values, no comments and no CDATA:
// counting open tags finds its stanzas.
std::vector<std::string> SplitStanzas(const std::string& recording, std::string& header)
{
    std::vector<std::string> stanzas;
    int depth = 0;
    size_t start = 0;
    for (size_t at = recording.find('<'); at != std::string::npos; at = recording.find('<', at + 1)) {
        size_t end = recording.find('>', at);
        if (end == std::string::npos)
            break;
        if (recording[at + 1] == '?')
            continue;
        if (recording[at + 1] == '/') {
            if (--depth == 1)
                stanzas.push_back(recording.substr(start, end + 1 - start));
            continue;
        }
        if (depth == 1)
            start = at;
        if (recording[end - 1] == '/') {
            if (depth == 1)
                stanzas.push_back(recording.substr(start, end + 1 - start));
        } else if (++depth == 1) {
            header = recording.substr(0, end + 1);
        }
    }
    return stanzas;
}

std::string Varied(std::string stanza, int copy)
{
    static const char* const texts[] = {"See you at 7?", "\xD0\x94\xD0\xB0, \xD0\xBA\xD0\xBE\xD0\xBD\xD0\xB5\xD1\x87\xD0\xBD\xD0\xBE",
                                        "&lt;ok&gt; &amp; more", "P\xC5\x99\xC3\xAD\xC5\xA1t\xC4\x9B", "line one\nline two"};
    std::string id = "id='b" + std::to_string(copy) + "'";
    for (size_t at = stanza.find("id='"); at != std::string::npos; at = stanza.find("id='", at + id.size())) {
        size_t end = stanza.find('\'', at + 4);
        stanza.replace(at, end + 1 - at, id);
    }
    size_t body = stanza.find("<body>");
    if (body != std::string::npos) {
        size_t end = stanza.find("</body>", body);
        stanza.replace(body + 6, end - body - 6, std::string(texts[copy % 5]) + " #" + std::to_string(copy));
    }
    return stanza;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Figure {
    double median, min, max;
};

// Microseconds per stanza over several runs.
template <class Parse>
Figure Measure(const std::string& stream, size_t read, Parse parse)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        Sink sink;
        double started = Now();
        bool ok = parse(stream, read, sink);
        double seconds = Now() - started;
        if (!ok || sink.stanzas != kStanzas)
            std::fprintf(stderr, "a run parsed %d stanzas of %d\n", sink.stanzas, kStanzas);
        times.push_back(seconds * 1e6 / kStanzas);
    }
    std::sort(times.begin(), times.end());
    return Figure{times[times.size() / 2], times.front(), times.back()};
}

void Row(const char* figure, const Figure& value, const char* baseline, const Figure* base)
{
    if (base)
        std::printf("%s\t%.3f\t%.3f\t%.3f\tus/stanza\t%s\t%.3f\n", figure, value.median, value.min, value.max, baseline,
                    base->median);
    else
        std::printf("%s\t%.3f\t%.3f\t%.3f\tus/stanza\t-\t-\n", figure, value.median, value.min, value.max);
}

} // namespace

int main()
{
    std::ifstream file("testdata\\xmpp\\ejabberd-session.xml", std::ios::binary);
    std::string recording((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string header;
    std::vector<std::string> stanzas = SplitStanzas(recording, header);
    if (stanzas.empty() || header.empty()) {
        std::fprintf(stderr, "no recording at testdata\\xmpp\\ejabberd-session.xml\n");
        return 1;
    }
    std::string stream = header;
    for (int copy = 0; copy < kStanzas; ++copy)
        stream += Varied(stanzas[copy % stanzas.size()], copy);

    // Both must read the same stanzas before their times mean anything.
    std::vector<std::string> ours, theirs;
    Sink oursSink, theirsSink;
    oursSink.written = &ours;
    theirsSink.written = &theirs;
    ParseOurs(stream, kRead, oursSink);
    ParseExpat(stream, kRead, theirsSink);
    if (ours != theirs || static_cast<int>(ours.size()) != kStanzas)
        std::fprintf(stderr, "the parsers disagree: %zu and %zu stanzas\n", ours.size(), theirs.size());

    Figure oursReads = Measure(stream, kRead, ParseOurs);
    Figure expatReads = Measure(stream, kRead, ParseExpat);
    Figure oursWhole = Measure(stream, stream.size(), ParseOurs);
    Figure expatWhole = Measure(stream, stream.size(), ParseExpat);
    Row("xml 2048-byte reads", oursReads, "expat 2048-byte reads", &expatReads);
    Row("xml whole buffer", oursWhole, "expat whole buffer", &expatWhole);
    Row("expat 2048-byte reads", expatReads, nullptr, nullptr);
    Row("expat whole buffer", expatWhole, nullptr, nullptr);
    return 0;
}
