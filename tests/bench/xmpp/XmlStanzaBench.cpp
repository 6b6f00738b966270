// The stream parser on one stanza of nearly the 1 MiB limit, as a contact can
// send one: a body of plain text (the baseline), a body of "a<b/>" pieces, a
// body of empty children, a body of text in 5,000 pieces, and the costliest
// shapes for the parser's memory: one tag of many attributes, short texts
// each in an element, and elements nested to the end. Beside them, two tags
// just past the limit, read in parts: one attribute of "&quot;" references,
// as a server writes 180,000 quotes on, and many attributes before one such
// value. Each is fed in the 2048-byte reads the account's socket gives; a
// stanza past a limit is skipped, read to its end. Prints,
// for scripts/bench.sh, the time of each parse beside the plain text's, and
// the parse's peak memory beside the stanza's size.
//
// The peak memory is the process's peak working set over the parse, less the
// working set before it (the stanza and the reading buffer already made), in
// a process of its own for each stanza: the program starts itself again with
// "memory N", so that no earlier parse has raised the peak or warmed the heap.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchRow.h"
#include "xml/XmlParser.h"

namespace {

const int kRuns = 5;
const size_t kRead = 2048;
const char kHead[] = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                     "xmlns:stream='http://etherx.jabber.org/streams' id='s1' from='localhost' version='1.0'>";
const char kOpen[] = "<message from='bob@localhost/pda' to='alice@localhost' type='chat' id='m1'><body>";
const char kClose[] = "</body></message>";

struct Stanza {
    const char* figure;
    const char* memoryFigure;
    // Bytes of the body's content, given the room left under the limit.
    std::string (*content)(size_t room);
};

std::string Repeated(const char* piece, size_t room)
{
    size_t length = std::strlen(piece);
    std::string text;
    text.reserve(room);
    while (text.size() + length <= room)
        text += piece;
    return text;
}

std::string PlainText(size_t room)
{
    return Repeated("plain text ", room);
}

std::string Mixed(size_t room)
{
    return Repeated("a<b/>", room);
}

std::string EmptyChildren(size_t room)
{
    return Repeated("<b/>", room);
}

std::string TextInPieces(size_t room)
{
    const size_t pieces = 5000;
    std::string piece(room / pieces - 4, 't');
    piece += "<b/>";
    return Repeated(piece.c_str(), room);
}

std::string ManyAttributes(size_t room)
{
    std::string tag = "<b";
    tag.reserve(room);
    while (tag.size() + 16 <= room)
        tag += " a" + std::to_string(tag.size()) + "='v'";
    tag += "/>";
    return tag;
}

// Past the limit by what the references add.
std::string QuotesTag(size_t)
{
    return "<x xmlns='urn:example:quotes' a='" + Repeated("&quot;", 180000 * 6) + "'/>";
}

// The attributes of ManyAttributes, then a value that takes the tag past the limit.
std::string AttributesPastTheLimit(size_t room)
{
    const int quotes = 1024;
    std::string tag = "<b";
    tag.reserve(room + quotes * 6 + 8);
    while (tag.size() + 16 <= room)
        tag += " a" + std::to_string(tag.size()) + "='v'";
    tag += " z='";
    for (int i = 0; i < quotes; ++i)
        tag += "&quot;";
    tag += "'/>";
    return tag;
}

std::string ShortTexts(size_t room)
{
    return Repeated("<b>t</b>", room);
}

std::string Nested(size_t room)
{
    std::string open = Repeated("<a>", room * 3 / 7);
    return open + Repeated("</a>", open.size() / 3 * 4);
}

const Stanza kStanzas[] = {
    {"xml 1 MiB plain text", "xml memory plain text", &PlainText},
    {"xml 1 MiB of a<b/>", "xml memory a<b/>", &Mixed},
    {"xml 1 MiB empty children", "xml memory empty children", &EmptyChildren},
    {"xml 1 MiB text, 5000 pieces", "xml memory 5000 pieces", &TextInPieces},
    {"xml 1 MiB one tag of attributes", "xml memory one tag of attributes", &ManyAttributes},
    {"xml 1 MiB texts of one byte", "xml memory texts of one byte", &ShortTexts},
    {"xml 1 MiB nested", "xml memory nested", &Nested},
    {"xml tag of 180,000 &quot;", "xml memory tag of 180,000 &quot;", &QuotesTag},
    {"xml tag of attributes past the limit", "xml memory tag of attributes past the limit", &AttributesPastTheLimit},
};
const int kStanzaCount = sizeof kStanzas / sizeof kStanzas[0];

// The stream head and one stanza just under the limit.
std::string Stream(const Stanza& stanza)
{
    size_t room = XmlParser::kMaxStanzaBytes - (sizeof kOpen - 1) - (sizeof kClose - 1) - 64;
    std::string content = stanza.content(room);
    std::string stream;
    stream.reserve(sizeof kHead + sizeof kOpen + content.size() + sizeof kClose);
    stream += kHead;
    stream += kOpen;
    stream += content;
    stream += kClose;
    return stream;
}

struct Outcome {
    int stanzas = 0;
    int skipped = 0;
    XmlParser::Error error = XmlParser::kNoError;
};

void Count(XmlNode*, void* outcome)
{
    ++static_cast<Outcome*>(outcome)->stanzas;
}

void CountSkipped(XmlNode*, void* outcome)
{
    ++static_cast<Outcome*>(outcome)->skipped;
}

// As the account reads: a buffer that the consumed bytes leave, made before.
Outcome Parse(const std::string& stream, std::vector<char>& buffer)
{
    Outcome outcome;
    XmlParser parser;
    parser.SetCallback(2, 1, &Count, &outcome);
    parser.SetSkipCallback(&CountSkipped, &outcome);
    size_t used = 0;
    for (size_t at = 0; at < stream.size(); at += kRead) {
        size_t n = std::min(kRead, stream.size() - at);
        std::memcpy(buffer.data() + used, stream.data() + at, n);
        used += n;
        int consumed = parser.ParseChunk(buffer.data(), static_cast<int>(used));
        if (consumed < 0) {
            outcome.error = parser.GetError();
            break;
        }
        used -= static_cast<size_t>(consumed);
        std::memmove(buffer.data(), buffer.data() + consumed, used);
    }
    return outcome;
}

void Report(const Stanza& stanza, const Outcome& outcome)
{
    if (outcome.error != XmlParser::kNoError)
        std::fprintf(stderr, "%s: refused, error %d\n", stanza.figure, static_cast<int>(outcome.error));
    else if (outcome.stanzas + outcome.skipped != 1)
        std::fprintf(stderr, "%s: %d stanzas, %d skipped\n", stanza.figure, outcome.stanzas, outcome.skipped);
}

std::vector<double> Times(const Stanza& stanza)
{
    std::string stream = Stream(stanza);
    std::vector<char> buffer(stream.size() + 1);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        double started = NowMs();
        Outcome outcome = Parse(stream, buffer);
        times.push_back(NowMs() - started);
        if (run == 0)
            Report(stanza, outcome);
    }
    return times;
}

// In the child: the peak over one parse, in KiB.
int MeasureMemory(int index)
{
    const Stanza& stanza = kStanzas[index];
    std::string stream = Stream(stanza);
    std::vector<char> buffer(stream.size() + 1, 0);
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof before;
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    Parse(stream, buffer);
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof after;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    if (before.PeakWorkingSetSize > before.WorkingSetSize + (64 << 10))
        std::fprintf(stderr, "%s: the peak before the parse was %zu KiB above the working set\n",
                     stanza.memoryFigure, (before.PeakWorkingSetSize - before.WorkingSetSize) >> 10);
    double peak = static_cast<double>(after.PeakWorkingSetSize - before.WorkingSetSize) / 1024.0;
    double size = static_cast<double>(stream.size() - (sizeof kHead - 1)) / 1024.0;
    PrintRow(stanza.memoryFigure, {peak}, "KiB", "stanza size", {size});
    return 0;
}

// Starts this program again for one memory row, its output into ours.
void MemoryRowInChild(int index)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(path) + L"\" memory " + std::to_wstring(index);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start the memory run (%lu)\n", GetLastError());
        return;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

int main(int argc, char** argv)
{
    BeginRows();
    if (argc == 3 && std::strcmp(argv[1], "memory") == 0) {
        int index = std::atoi(argv[2]);
        return index >= 0 && index < kStanzaCount ? MeasureMemory(index) : 1;
    }
    std::vector<double> plain = Times(kStanzas[0]);
    PrintRow(kStanzas[0].figure, plain, "ms");
    for (int i = 1; i < kStanzaCount; ++i)
        PrintRow(kStanzas[i].figure, Times(kStanzas[i]), "ms", kStanzas[0].figure, plain);
    std::fflush(stdout);
    for (int i = 0; i < kStanzaCount; ++i)
        MemoryRowInChild(i);
    return 0;
}
