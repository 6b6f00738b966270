// The stream parser: what reaches the callbacks, however the bytes are cut,
// and what a hostile sender cannot do to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "support/AllocationWatch.h"
#include "xmpp/StreamRecorder.h"

namespace {

std::wstring W(const CJOVString* text)
{
    return text ? std::wstring(text->Data(), text->GetLength()) : L"<none>";
}

// The stream header of a server, then `body`.
std::string Stream(const std::string& body)
{
    return "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
           "xmlns:stream='http://etherx.jabber.org/streams' id='s1' from='localhost' version='1.0'>" +
           body;
}

struct KeepLast {
    std::unique_ptr<XmlNode> node;
    int stanzas = 0;
    static void Take(XmlNode* node, void* self)
    {
        auto* keep = static_cast<KeepLast*>(self);
        ++keep->stanzas;
        // The parser frees the stanza after this call: keep a copy of what
        // the look-ups need (written out and parsed back would hide faults).
        keep->node = std::make_unique<XmlNode>(node->name);
        keep->node->attributes = node->attributes;
        keep->node->hasText = node->hasText;
        keep->node->text = node->text;
        for (auto& child : node->children)
            keep->node->children.push_back(std::move(child));
        node->children.clear();
    }
};

// Parses the whole stream at once and keeps the last stanza.
int ParseKeepingLast(const std::string& stream, KeepLast& keep, XmlParser& parser)
{
    parser.SetCallback(2, 1, &KeepLast::Take, &keep);
    return parser.ParseChunk(stream.data(), static_cast<int>(stream.size()));
}

} // namespace

TEST(XmlParser, RecordedStreamsGiveTheSameStanzasHoweverTheyAreCut)
{
    for (const char* name : {"ejabberd-session.xml", "prosody-session.xml"}) {
        SCOPED_TRACE(name);
        std::string stream = ReadRecording(name);
        ASSERT_GT(stream.size(), 3000u);
        CStreamRecorder whole;
        ASSERT_TRUE(whole.Feed(stream));
        ASSERT_GE(whole.Stanzas().size(), 14u);
        EXPECT_EQ(whole.events.front().rfind("open1 <stream:stream ", 0), 0u);
        EXPECT_TRUE(whole.pending.empty());

        for (size_t cut = 1; cut < stream.size(); ++cut) {
            CStreamRecorder split;
            ASSERT_TRUE(split.Feed(stream.substr(0, cut))) << cut;
            ASSERT_TRUE(split.Feed(stream.substr(cut))) << cut;
            ASSERT_EQ(split.events, whole.events) << "cut at byte " << cut;
        }
        CStreamRecorder byteByByte;
        ASSERT_TRUE(byteByByte.FeedInSteps(stream, 1));
        EXPECT_EQ(byteByByte.events, whole.events);
        CStreamRecorder inReads;
        ASSERT_TRUE(inReads.FeedInSteps(stream, 2048));
        EXPECT_EQ(inReads.events, whole.events);
    }
}

TEST(XmlParser, RecordedTextsArriveDecoded)
{
    std::string stream = ReadRecording("ejabberd-session.xml");
    std::vector<std::wstring> bodies;
    struct Bodies {
        static void Take(XmlNode* node, void* self)
        {
            if (XmlNode* body = GetChild(node, "body"))
                static_cast<std::vector<std::wstring>*>(self)->push_back(W(GetText(body)));
        }
    };
    XmlParser parser;
    parser.SetCallback(2, 1, &Bodies::Take, &bodies);
    ASSERT_EQ(parser.ParseChunk(stream.data(), static_cast<int>(stream.size())), static_cast<int>(stream.size()));
    ASSERT_EQ(bodies.size(), 6u);
    EXPECT_EQ(bodies[1], L"\x041F\x0440\x0438\x0432\x0435\x0442, \x043A\x0430\x043A \x0434\x0435\x043B\x0430?");
    EXPECT_EQ(bodies[3], L"<b> & 'quoted' \"twice\"");
    EXPECT_EQ(bodies[4], L"two\nlines\n  indented");
    EXPECT_EQ(bodies[5], L"\xD83D\xDE00 outside the basic plane");
}

TEST(XmlParser, StanzasInOneReadArriveInOrderAndTheBlanksAfterThemAreConsumed)
{
    CStreamRecorder recorder;
    std::string stream = Stream("<presence from='a@x'/>\n <message from='b@x'><body>hi</body></message> \n ");
    int consumed = recorder.parser.ParseChunk(stream.data(), static_cast<int>(stream.size()));
    EXPECT_EQ(consumed, static_cast<int>(stream.size()));
    ASSERT_EQ(recorder.events.size(), 5u);
    EXPECT_EQ(recorder.events[1], "open2 <presence from='a@x'>");
    EXPECT_EQ(recorder.events[2], "close2 <presence from='a@x'/>");
    EXPECT_EQ(recorder.events[4], "close2 <message from='b@x'><body>hi</body></message>");
}

TEST(XmlParser, AnIncompleteStanzaWaitsAndTextInsideItKeepsItsBlanks)
{
    CStreamRecorder recorder;
    std::string head = Stream("<message><body>");
    ASSERT_TRUE(recorder.Feed(head));
    EXPECT_TRUE(recorder.Stanzas().empty());
    // A quoted ">" does not end a tag, in whichever read it comes.
    ASSERT_TRUE(recorder.Feed("  two  spaces</body><x a='1>2"));
    EXPECT_EQ(recorder.pending, "<x a='1>2");
    ASSERT_TRUE(recorder.Feed("'/></message>"));
    ASSERT_EQ(recorder.Stanzas().size(), 1u);
    EXPECT_EQ(recorder.Stanzas()[0], "<message><body>  two  spaces</body><x a='1&gt;2'/></message>");
}

TEST(XmlParser, CommentsAreSkippedAndTextAroundOneIsKeptWhole)
{
    CStreamRecorder recorder;
    std::string stream = Stream("<!-- between > stanzas --><message><body>one <!-- x -->two</body></message>");
    EXPECT_TRUE(recorder.FeedInSteps(stream, 3));
    EXPECT_TRUE(recorder.pending.empty());
    ASSERT_EQ(recorder.Stanzas().size(), 1u);
    EXPECT_EQ(recorder.Stanzas()[0], "<message><body>one two</body></message>");
}

TEST(XmlParser, ReferencesAreDecodedInTextAndAttributes)
{
    XmlParser parser;
    KeepLast keep;
    std::string stream = Stream("<message to='a&amp;b&apos;c' x=\"&#65;&#x42;&quot;\"><body>&lt;&gt;&amp;&#x1F600;&#13;"
                                "</body></message>");
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    ASSERT_TRUE(keep.node);
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "to")), L"a&b'c");
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "x")), L"AB\"");
    EXPECT_EQ(W(GetText(GetChild(keep.node.get(), "body"))), L"<>&\xD83D\xDE00\r");
}

TEST(XmlParser, AReferenceXmlDoesNotKnowIsAStreamError)
{
    for (const char* body : {"a &nbsp; b", "a & b", "&#0;", "&#xD800;", "&#x110000;", "&#;", "&#x;", "&amp"}) {
        SCOPED_TRACE(body);
        XmlParser parser;
        std::string stream = Stream(std::string("<message><body>") + body + "</body></message>");
        EXPECT_EQ(parser.ParseChunk(stream.data(), static_cast<int>(stream.size())), -1);
        EXPECT_EQ(parser.GetError(), XmlParser::kNotWellFormed);
    }
}

TEST(XmlParser, LongNamesAndValuesAreParsedAndTheirChildrenStayInside)
{
    // A long tag name or attribute must not make its children stanzas: a
    // sender could slip a roster push inside a message.
    std::string longName(300, 'n');
    std::string longValue(20000, 'v');
    std::string stream = Stream("<message from='eve@x' pad='" + longValue + "'><" + longName +
                                "/><iq type='set' id='push'><query xmlns='jabber:iq:roster'/></iq></message>");
    CStreamRecorder recorder;
    ASSERT_TRUE(recorder.FeedInSteps(stream, 2048));
    ASSERT_EQ(recorder.Stanzas().size(), 1u);
    EXPECT_EQ(recorder.Stanzas()[0].rfind("<message from='eve@x' pad='vvv", 0), 0u);
    EXPECT_NE(recorder.Stanzas()[0].find("<" + longName + "/><iq type='set'"), std::string::npos);
}

TEST(XmlParser, LineBreaksInsideTagsAreBlanks)
{
    XmlParser parser;
    KeepLast keep;
    std::string stream = Stream("<iq\r\ntype='get'\n\tid='a1'\r\n><query\nxmlns='q'\n/></iq\n>");
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    ASSERT_TRUE(keep.node);
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "type")), L"get");
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "id")), L"a1");
    EXPECT_EQ(W(GetAttribute(GetChild(keep.node.get(), "query"), "xmlns")), L"q");
}

TEST(XmlParser, ATagThatCannotBeReadIsAStreamErrorThatLastsUntilReset)
{
    for (const char* bad : {"<a <b>", "<>", "</>", "<a ='x'/>", "<a b='1' 'c'/>", "<message></body>",
                            "<!DOCTYPE x>", "<a/b>", "<a></a b>"}) {
        SCOPED_TRACE(bad);
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.Feed(Stream(bad)));
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNotWellFormed);
        EXPECT_EQ(recorder.parser.ParseChunk("<a/>", 4), -1);
        recorder.parser.Reset();
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNoError);
        EXPECT_EQ(recorder.parser.ParseChunk("<a/>", 4), 4);
    }
}

TEST(XmlParser, ANulByteIsAStreamErrorWhereverItIs)
{
    for (const std::string& bad : {std::string("<message><body>a\0b</body></message>", 35),
                                   std::string("<message to='a\0'/>", 18), std::string(" \0 ", 3),
                                   std::string("<!-- \0 -->", 10)}) {
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.Feed(Stream(bad)));
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNulByte);
    }
}

TEST(XmlParser, AStanzaPastTheByteLimitIsSkippedInPartsAndOneBelowItIsKept)
{
    std::string child = "<item jid='someone@example.org' name='" + std::string(150, 'A') + "'/>";
    size_t fits = (XmlParser::kMaxStanzaBytes - 200) / child.size();
    std::string items;
    for (size_t i = 0; i < fits; ++i)
        items += child;
    CStreamRecorder below;
    ASSERT_TRUE(below.FeedInSteps(Stream("<iq type='result'><query>" + items + "</query></iq>"), 2048));
    EXPECT_EQ(below.Stanzas().size(), 1u);

    items += child + child;
    CStreamRecorder above;
    ASSERT_TRUE(above.FeedInSteps(Stream("<iq type='result' id='r1'><query>" + items + "</query></iq><presence/>"),
                                  2048));
    EXPECT_EQ(above.Skipped(), std::vector<std::string>{"<iq type='result' id='r1'/>"});
    EXPECT_EQ(above.Stanzas(), std::vector<std::string>{"<presence/>"});

    // A text that never seems to end is read in parts, never held whole; a
    // reference or a character cut by a read is read whole all the same.
    CStreamRecorder endless;
    ASSERT_TRUE(endless.Feed(Stream("<message from='x@y'><body>")));
    const std::string part = std::string(2040, 'x') + "&amp;\xC5\x99";
    for (int i = 0; i < 600; ++i) {
        // Cut inside the reference, then between the two bytes of the last character.
        ASSERT_TRUE(endless.Feed(part.substr(0, 2042)));
        ASSERT_TRUE(endless.Feed(part.substr(2042, 4)));
        ASSERT_TRUE(endless.Feed(part.substr(2046)));
        ASSERT_LE(endless.pending.size(), static_cast<size_t>(XmlParser::kMaxStanzaBytes));
    }
    EXPECT_LT(endless.pending.size(), 16u);
    ASSERT_TRUE(endless.Feed("</body></message><presence/>"));
    EXPECT_EQ(endless.Skipped(), std::vector<std::string>{"<message from='x@y'/>"});
    EXPECT_EQ(endless.Stanzas(), std::vector<std::string>{"<presence/>"});
}

TEST(XmlParser, ATagPastTheByteLimitIsReadInPartsAndSkippedWithItsStanza)
{
    // As a server relays 180,000 quotes in one attribute: about 1.08 MB.
    std::string quotes;
    for (int i = 0; i < 180000; ++i)
        quotes += "&quot;";
    const std::string stream =
        Stream("<message from='carol@localhost/r' type='chat' id='m1'><x xmlns='urn:x' a='" + quotes +
               "'/><body>hi</body></message>"
               "<presence from='carol@localhost/r' id='p1' a='" + quotes + "'type='away'/>"
               "<iq\n type='get' a=\"" + quotes + "\"\tfrom='carol@localhost/r' id='q1' b='" + quotes +
               "'\n\n><query/></iq\n" + std::string(XmlParser::kMaxStanzaBytes, ' ') +
               ">"
               "<message from='carol@localhost/r' id='m2'><body>after</body></message>");
    CStreamRecorder whole;
    ASSERT_TRUE(whole.Feed(stream));
    EXPECT_EQ(whole.Skipped(), (std::vector<std::string>{"<message from='carol@localhost/r' type='chat' id='m1'/>",
                                                          "<presence from='carol@localhost/r' id='p1' type='away'/>",
                                                          "<iq type='get' from='carol@localhost/r' id='q1'/>"}));
    EXPECT_EQ(whole.Stanzas(),
              std::vector<std::string>{"<message from='carol@localhost/r' id='m2'><body>after</body></message>"});
    // However the reads cut it, the same, and no more than the limit waits.
    for (size_t step : {1u, 2u, 5u, 11u, 12u, 13u, 4093u, 65535u}) {
        SCOPED_TRACE(step);
        CStreamRecorder split;
        size_t waiting = 0;
        for (size_t at = 0; at < stream.size(); at += step) {
            ASSERT_TRUE(split.Feed(stream.substr(at, step)));
            waiting = std::max(waiting, split.pending.size());
        }
        EXPECT_EQ(split.events, whole.events);
        // The account's buffer holds the limit and no more: with that much
        // at hand the parser has decided.
        EXPECT_LT(waiting, static_cast<size_t>(XmlParser::kMaxStanzaBytes));
    }

    // A told value longer than an answer needs is not told.
    CStreamRecorder longId;
    ASSERT_TRUE(longId.Feed(Stream("<iq type='set' from='carol@localhost/r' id='" +
                                   std::string(XmlParser::kMaxToldBytes + 1, 'i') + "' a='" + quotes + "'/>")));
    EXPECT_EQ(longId.Skipped(), std::vector<std::string>{"<iq type='set' from='carol@localhost/r'/>"});
}

TEST(XmlParser, ATagReadInPartsIsCheckedAsAWholeOne)
{
    const std::string fill(XmlParser::kMaxStanzaBytes, 'v');
    const struct {
        std::string tag;
        XmlParser::Error error;
    } cases[] = {
        {"<x a='" + fill + "<'/>", XmlParser::kNotWellFormed},
        {"<x a='" + fill + "&nope;'/>", XmlParser::kNotWellFormed},
        {"<x a='" + fill + "\xC0\xAF'/>", XmlParser::kNotWellFormed},
        {"<x a='1' b='" + fill + "' a='2'/>", XmlParser::kNotWellFormed},
        {"<x a='" + fill + "' 'b'/>", XmlParser::kNotWellFormed},
        {"<x a='" + fill + "' b c>", XmlParser::kNotWellFormed},  // left open
        {"<x a='" + fill + "' <'/>", XmlParser::kNotWellFormed},
        // A NUL anywhere in the tag is the fault told, as in a whole tag.
        {"<x a='&nope;" + fill + std::string("\0'/>", 4), XmlParser::kNulByte},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.tag.substr(0, 8) + "..." + bad.tag.substr(bad.tag.size() - 12));
        std::string stanza = Stream("<message>" + bad.tag + "</message>");
        for (size_t step : {stanza.size(), size_t{7}, size_t{4096}}) {
            CStreamRecorder recorder;
            EXPECT_FALSE(recorder.FeedInSteps(stanza, step));
            EXPECT_EQ(recorder.parser.GetError(), bad.error);
            EXPECT_TRUE(recorder.Skipped().empty());
        }
    }

    // What cannot be read in parts: a comment, the stream's own tag, and a
    // tag whose names alone are past the limit.
    std::string names;
    while (names.size() <= XmlParser::kMaxStanzaBytes)
        names += " a" + std::to_string(names.size()) + "=''";
    for (const std::string& large : {Stream("<!--" + fill + "-->"), "<stream:stream a='" + fill + "'>",
                                     Stream("<message" + names + "/>")}) {
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.FeedInSteps(large, 4096));
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kTooLarge);
    }

    // A reset gives back the outline of a tag that failed before its '>'.
    const std::string failing = "<message a='" + fill + "'" + names.substr(0, names.size() / 2) + " <";
    CStreamRecorder failed;
    ASSERT_TRUE(failed.Feed(Stream("")));
    CAllocationWatch watch;
    EXPECT_EQ(failed.parser.ParseChunk(failing.data(), static_cast<int>(failing.size())), -1);
    failed.parser.Reset();
    EXPECT_EQ(watch.Live(), 0u);
}

TEST(XmlParser, ACdataSectionReadsAsItsText)
{
    const std::string stream = Stream("<![CDATA[between]]><message><body>x <![CDATA[... <b>a & b</b> >]]]]> y"
                                      "<![CDATA[]]></body></message>");
    CStreamRecorder whole;
    ASSERT_TRUE(whole.Feed(stream));
    ASSERT_EQ(whole.Stanzas().size(), 1u);
    EXPECT_EQ(whole.Stanzas()[0], "<message><body>x ... &lt;b&gt;a &amp; b&lt;/b&gt; &gt;]] y</body></message>");
    for (size_t step = 1; step <= 12; ++step) {
        CStreamRecorder split;
        ASSERT_TRUE(split.FeedInSteps(stream, step));
        EXPECT_EQ(split.events, whole.events) << step;
    }

    // One past the byte limit is read in parts and skipped with its stanza.
    CStreamRecorder large;
    std::string text(XmlParser::kMaxStanzaBytes, ']');
    ASSERT_TRUE(large.FeedInSteps(Stream("<message id='c'><body><![CDATA[" + text + "]]></body></message><presence/>"),
                                  4093));
    EXPECT_LT(large.pending.size(), 16u);
    EXPECT_EQ(large.Skipped(), std::vector<std::string>{"<message id='c'/>"});
    EXPECT_EQ(large.Stanzas(), std::vector<std::string>{"<presence/>"});

    // Its end counts towards the limit as its start does: 90,000 empty
    // sections are 1.08 MB, of which the starts are 0.81 MB.
    std::string empties;
    for (int i = 0; i < 90000; ++i)
        empties += "<![CDATA[]]>";
    CStreamRecorder many;
    ASSERT_TRUE(many.FeedInSteps(Stream("<message id='e'><body>" + empties + "</body></message>"), 4093));
    EXPECT_EQ(many.Skipped(), std::vector<std::string>{"<message id='e'/>"});

    for (const std::string& bad : {std::string("<![CDATA x]]>"), std::string("<m><![CDATA[\xC0]]></m>"),
                                   std::string("<m><![CDATA[a\0]]></m>", 21)}) {
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.Feed(Stream(bad)));
        EXPECT_EQ(recorder.parser.GetError(), bad.find('\0') == std::string::npos ? XmlParser::kNotWellFormed
                                                                                  : XmlParser::kNulByte);
    }
}

TEST(XmlParser, AStanzaPastTheMemoryLimitIsSkippedAndTellsWhatAnAnswerNeeds)
{
    // A roster of 5,000 contacts in 50 groups, as a server writes it, is kept
    // whole, and the reckoning starts again with the next stanza.
    std::string roster = "<iq type='result' id='roster'><query xmlns='jabber:iq:roster'>";
    for (int i = 0; i < 5000; ++i) {
        std::string n = std::to_string(10000 + i);
        roster += "<item subscription='both' name='Contact " + n + "' jid='contact" + n + "@localhost'><group>Group " +
                  std::to_string(i % 50) + "</group></item>";
    }
    roster += "</query></iq>";
    ASSERT_LT(roster.size(), static_cast<size_t>(XmlParser::kMaxStanzaBytes));
    CStreamRecorder two;
    ASSERT_TRUE(two.FeedInSteps(Stream(roster + roster), 2048));
    EXPECT_EQ(two.Stanzas().size(), 2u);
    EXPECT_TRUE(two.Skipped().empty());

    // Empty children under the byte limit, many attributes on an inner tag or
    // on the stanza's own: each is skipped, told by its name, type, id and
    // sender, and the stanza after it is kept.
    std::string children;
    while (children.size() < XmlParser::kMaxStanzaBytes - 200)
        children += "<b/>";
    std::string attributes;
    while (attributes.size() < XmlParser::kMaxStanzaBytes - 200)
        attributes += " a" + std::to_string(attributes.size()) + "=''";
    for (const std::string& stanza :
         {"<iq type='get' to='me@x' id='q1' from='bob@x/r'><query>" + children + "</query></iq>",
          "<iq type='get' to='me@x' id='q1' from='bob@x/r'><query" + attributes + "/></iq>",
          "<iq type='get' to='me@x' id='q1'" + attributes + " from='bob@x/r'/>"}) {
        CStreamRecorder past;
        ASSERT_TRUE(past.FeedInSteps(Stream(stanza + "<presence/>"), 2048));
        EXPECT_EQ(past.Skipped(), std::vector<std::string>{"<iq type='get' id='q1' from='bob@x/r'/>"});
        EXPECT_EQ(past.Stanzas(), std::vector<std::string>{"<presence/>"});
    }

    // The stream's own tag is no stanza to skip.
    CStreamRecorder stream;
    EXPECT_FALSE(stream.FeedInSteps("<stream:stream" + attributes + ">", 2048));
    EXPECT_EQ(stream.parser.GetError(), XmlParser::kTooLarge);
}

TEST(XmlParser, AStanzaNestedPastTheDepthLimitIsSkippedQuickly)
{
    const int depth = 200000;
    std::string nested;
    nested.reserve(depth * 8);
    for (int i = 0; i < depth; ++i)
        nested += "<a>";
    for (int i = 0; i < depth; ++i)
        nested += "</a>";
    auto started = std::chrono::steady_clock::now();
    CStreamRecorder recorder;
    EXPECT_TRUE(recorder.FeedInSteps(Stream("<iq type='get' id='deep'>" + nested + "</iq><presence/>"), 2048));
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 2.0);
    EXPECT_EQ(recorder.Skipped(), std::vector<std::string>{"<iq type='get' id='deep'/>"});
    EXPECT_EQ(recorder.Stanzas(), std::vector<std::string>{"<presence/>"});

    // Up to the limit the stanza is whole.
    std::string deepest = "<message>";
    for (int i = 2; i < XmlParser::kMaxDepth; ++i)
        deepest += "<a>";
    deepest += "<b/>";
    for (int i = 2; i < XmlParser::kMaxDepth; ++i)
        deepest += "</a>";
    deepest += "</message>";
    CStreamRecorder skipped;
    ASSERT_TRUE(skipped.Feed(Stream(deepest)));
    EXPECT_EQ(skipped.Skipped().size(), 1u) << "<b/> is one level too deep";
    CStreamRecorder whole;
    ASSERT_TRUE(whole.Feed(Stream(deepest.replace(deepest.find("<b/>"), 4, ""))));
    EXPECT_EQ(whole.Stanzas().size(), 1u);
    EXPECT_TRUE(whole.Skipped().empty());
}

TEST(XmlParser, ASkippedStanzaThatIsNotWellFormedIsAStreamError)
{
    std::string open, close;
    for (int i = 0; i < 70; ++i) {
        open += "<a>";
        close += "</a>";
    }
    for (const std::string& bad : {open + "<b></c>" + close, open + close.substr(4) + "</b>",
                                   open + "<b x='1' x='2'/>" + close, open + "<b>&nope;</b>" + close,
                                   open + "<b>\xC0\xAF</b>" + close, open + "<b x='<'/>" + close}) {
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.FeedInSteps(Stream("<message>" + bad + "</message>"), 7));
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNotWellFormed) << bad.substr(200);
        EXPECT_TRUE(recorder.Skipped().empty());
    }
}

TEST(XmlParser, MixedContentOfManyPiecesIsGatheredInLinearTime)
{
    // Just under the byte limit: each piece once read, the whole text once made.
    const int pieces = 10000;
    const std::string piece(XmlParser::kMaxStanzaBytes / pieces - 5, 'p');
    std::string body;
    for (int i = 0; i < pieces; ++i)
        body += piece + "<b/>";
    XmlParser parser;
    KeepLast keep;
    std::string stream = Stream("<message><body>" + body + "</body></message>");
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 1.0);
    const CJOVString* text = GetText(GetChild(keep.node.get(), "body"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetLength(), static_cast<int>(piece.size()) * pieces);
    EXPECT_EQ(GetChild(keep.node.get(), "body")->children.size(), static_cast<size_t>(pieces));
}

TEST(XmlParser, TextCutByManyCommentsIsGatheredInLinearTime)
{
    // Comments are no nodes: no limit but the bytes bounds the pieces.
    const int pieces = 120000;
    std::string body;
    for (int i = 0; i < pieces; ++i)
        body += "a<!---->";
    XmlParser parser;
    KeepLast keep;
    std::string stream = Stream("<message><body>" + body + "</body></message>");
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 1.0);
    const CJOVString* text = GetText(GetChild(keep.node.get(), "body"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetLength(), pieces);
}

TEST(XmlParser, BytesThatAreNotUtf8AreAStreamErrorInTextsNamesAndValues)
{
    for (const char* bad : {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF5\x80\x80\x80", "\xFF", "\xE2\x82", "a\xE2\x82\x41"}) {
        for (const std::string& stanza :
             {"<message><body>" + std::string(bad) + "</body></message>",
              "<message><body>a &amp; " + std::string(bad) + "</body></message>",
              "<message to='" + std::string(bad) + "'/>", "<message to='&lt;" + std::string(bad) + "'/>",
              "<message><x" + std::string(bad) + "/></message>", "<message a" + std::string(bad) + "='1'/>"}) {
            SCOPED_TRACE(stanza);
            CStreamRecorder recorder;
            EXPECT_FALSE(recorder.Feed(Stream(stanza)));
            EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNotWellFormed);
        }
    }
    // Every form UTF-8 has, at its edges, is read.
    XmlParser parser;
    KeepLast keep;
    std::string edges = "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    std::string stream = Stream("<message to='" + edges + "'><body>" + edges + "</body></message>");
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    const std::wstring expected = L"\x7F\x80\x7FF\x800\xD7FF\xE000\xD800\xDC00\xDBFF\xDFFF";
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "to")), expected);
    EXPECT_EQ(W(GetText(GetChild(keep.node.get(), "body"))), expected);

    // Comments and processing instructions are skipped unread, as before.
    CStreamRecorder skipped;
    ASSERT_TRUE(skipped.Feed(Stream("<!-- \xFF --><?pi \xFF?><message><body>a<!-- \xC0 -->b</body></message>")));
    ASSERT_EQ(skipped.Stanzas().size(), 1u);
    EXPECT_EQ(skipped.Stanzas()[0], "<message><body>ab</body></message>");
}

TEST(XmlParser, AnAttributeNamedTwiceOrALessThanSignInAValueIsAStreamError)
{
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    for (const std::string& bad :
         {std::string("<message to='a@x' to='b@x'/>"), std::string("<message to='a@x' type='chat' to=\"a@x\"/>"),
          "<message" + many + " a17='again'/>", "<message" + many + "><x" + many + " a0='again'/></message>",
          std::string("<message to='a<b'/>"), std::string("<message><x y=\"<\"/></message>")}) {
        SCOPED_TRACE(bad);
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.Feed(Stream(bad)));
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNotWellFormed);
    }
    // Names that differ, if only by a prefix, and an escaped "<" are fine.
    XmlParser parser;
    KeepLast keep;
    std::string stream = Stream("<message" + many + " a='&lt;' x:a='2' xmlns:x='urn:x'/>");
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    EXPECT_EQ(keep.node->attributes.size(), 43u);
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "a")), L"<");
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "x:a")), L"2");
}

TEST(XmlParser, NamesThatAreNoXmlNamesAndQuotesInBareValuesAreAStreamError)
{
    // A bare value with a quote in it is read one way by the tag's end and
    // another by the attributes: the stanza could not be written back as read.
    for (const std::string& bad :
         {std::string("<message a\x05b='1'/>"), std::string("<message fr?om='1'/>"), std::string("<message 1a='1'/>"),
          std::string("<message -a='1'/>"), std::string("<me\x01ssage/>"), std::string("<message><x!/></message>"),
          std::string("<message from=x'y'/>"), std::string("<message from=x\"y a=\"/>"),
          std::string("<message from=localhost' x>>>'/>")}) {
        SCOPED_TRACE(bad);
        CStreamRecorder recorder;
        EXPECT_FALSE(recorder.Feed(Stream(bad)));
        EXPECT_EQ(recorder.parser.GetError(), XmlParser::kNotWellFormed);
    }
    // Names of letters, digits, "_", ":", "-", "." and any non-ASCII letter are fine, as a bare value without quotes.
    XmlParser parser;
    KeepLast keep;
    std::string stream = Stream("<m:essage _a.b-1='1' \xC3\xA9t\xC3\xA9='2' x:y='3' bare=word/>");
    ASSERT_EQ(ParseKeepingLast(stream, keep, parser), static_cast<int>(stream.size()));
    EXPECT_EQ(keep.node->name, "m:essage");
    EXPECT_EQ(keep.node->attributes.size(), 4u);
    EXPECT_EQ(W(GetAttribute(keep.node.get(), "bare")), L"word");
}

TEST(XmlParser, AResetFromACallbackStopsTheChunkSafely)
{
    struct Stopper {
        XmlParser* parser;
        int seen = 0;
        static void Take(XmlNode*, void* self)
        {
            auto* stopper = static_cast<Stopper*>(self);
            ++stopper->seen;
            stopper->parser->Reset();
        }
    };
    XmlParser parser;
    Stopper stopper{&parser};
    parser.SetCallback(2, 1, &Stopper::Take, &stopper);
    std::string stream = Stream("<a/><b/><c/>");
    int consumed = parser.ParseChunk(stream.data(), static_cast<int>(stream.size()));
    EXPECT_EQ(stopper.seen, 1);
    EXPECT_EQ(consumed, static_cast<int>(stream.find("<b/>")));
    EXPECT_EQ(parser.CurrentDepth(), 0);
    // The reset took the callbacks too.
    EXPECT_EQ(parser.ParseChunk(stream.data(), static_cast<int>(stream.size())), static_cast<int>(stream.size()));
    EXPECT_EQ(stopper.seen, 1);
}

TEST(XmlParser, TheStreamsEndReachesTheDepthOneCallbacks)
{
    CStreamRecorder recorder;
    EXPECT_FALSE(recorder.parser.SetCallback(3, 0, nullptr, nullptr));
    EXPECT_FALSE(recorder.parser.SetCallback(1, 2, nullptr, nullptr));
    ASSERT_TRUE(recorder.Feed(Stream("<presence/></stream:stream>")));
    ASSERT_EQ(recorder.events.size(), 4u);
    EXPECT_EQ(recorder.events[3], "close1 stream:stream");
    EXPECT_EQ(recorder.parser.CurrentDepth(), 0);
}
