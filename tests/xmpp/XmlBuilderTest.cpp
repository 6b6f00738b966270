// The builder: elements written as the servers read them, every text escaped
// once, and what the parser reads back.
#include <gtest/gtest.h>

#include "xml/XmlBuilder.h"
#include "xml/XmlParser.h"
#include "xmpp/ParsedStanza.h"

namespace {

std::wstring W(const CJOVString* text)
{
    return text ? std::wstring(text->Data(), text->GetLength()) : L"<none>";
}

} // namespace

TEST(XmlBuilder, WritesAttributesInOrderBetweenApostrophesAndEndsEachElementAsItMust)
{
    auto iq = InitIq("set", 7);
    iq->AddChild("bind")->AddAttribute("xmlns", "urn:ietf:params:xml:ns:xmpp-bind")->AddChild("resource", L"JOV PDA");
    iq->AddChild("session");
    EXPECT_EQ(ToString(iq.get()), "<iq type='set' id='jov_7'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'>"
                                  "<resource>JOV PDA</resource></bind><session/></iq>");

    CJOVString to(L"bob@x/r");
    EXPECT_EQ(ToString(InitIq("get", 3, &to).get()), "<iq type='get' to='bob@x/r' id='jov_3'/>");
    EXPECT_EQ(ToString(InitIq(nullptr, -1).get()), "<iq/>");
    CJOVString id(L"v1");
    EXPECT_EQ(ToString(InitIq("result", &id, &to).get()), "<iq type='result' to='bob@x/r' id='v1'/>");

    auto query = std::make_unique<XmlNode>("iq");
    query->AddQuery("jabber:iq:roster")->AddAttribute("ver", 42);
    query->AddStanzaId(2147483647);
    EXPECT_EQ(ToString(query.get()), "<iq id='jov_2147483647'><query xmlns='jabber:iq:roster' ver='42'/></iq>");
    EXPECT_EQ(query->children[0]->depth, query->depth + 1);
}

TEST(XmlBuilder, TheStreamHeaderIsTheDeclarationAndAnOpenTag)
{
    EXPECT_EQ(ToString(MakeStreamHeader(CJOVString(L"localhost")).get()),
              "<?xml version='1.0' encoding='UTF-8'?><stream:stream to='localhost' xmlns='jabber:client' "
              "xmlns:stream='http://etherx.jabber.org/streams' xml:lang='en' version='1.0'>");
}

TEST(XmlBuilder, TextsAreEscapedOnceAndWhatXmlCannotCarryIsReplaced)
{
    auto message = std::make_unique<XmlNode>("message");
    message->AddAttribute("to", L"a'b\"c&d<e>");
    message->AddAttribute("x", L"tab\tline\nend");
    message->AddChild("body", L"&amp; <b> 'x' \"y\"\r\nnext\x01\x1F\tend");
    EXPECT_EQ(ToString(message.get()),
              "<message to='a&apos;b&quot;c&amp;d&lt;e&gt;' x='tab&#9;line&#10;end'>"
              "<body>&amp;amp; &lt;b&gt; &apos;x&apos; &quot;y&quot;\nnext  \tend</body></message>");

    // Unpaired halves of a pair, U+FFFE and U+FFFF cannot be written; a whole pair is one character.
    const wchar_t odd[] = {L'a', 0xD800, L'b', 0xDC00, 0xFFFE, 0xFFFF, 0xD83D, 0xDE00, 0};
    EXPECT_EQ(XmlEscape(CJOVString(odd)), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80");
    EXPECT_EQ(XmlEscape(CJOVString(L"\x041F\x0440\x0438")), "\xD0\x9F\xD1\x80\xD0\xB8");
}

TEST(XmlBuilder, EightBitTextsAreUtf8)
{
    auto node = std::make_unique<XmlNode>("body");
    node->AddChild("x", "\xD0\x9F\xC5\xBD");  // a Cyrillic and a Czech letter in UTF-8
    node->AddAttribute("a", "\xC3\xA1");
    EXPECT_EQ(W(GetText(node->children[0].get())), L"\x041F\x017D");
    EXPECT_EQ(W(GetAttribute(node.get(), "a")), L"\x00E1");
    EXPECT_EQ(ToString(node.get()), "<body a='\xC3\xA1'><x>\xD0\x9F\xC5\xBD</x></body>");
}

TEST(XmlBuilder, WhatItWritesTheParserReadsBackUnchanged)
{
    const wchar_t* texts[] = {L"< > & ' \"", L"&amp;&#65;", L"\x041F\x0440\x0438\x0432\x0435\x0442 \x010D\x0159",
                              L"\xD83D\xDE00 smile", L"a\tb\nc", L"]]> -->"};
    for (const wchar_t* text : texts) {
        auto message = std::make_unique<XmlNode>("message");
        message->AddAttribute("id", text);
        message->AddChild("body", text);
        std::unique_ptr<XmlNode> back = ParseStanza(ToString(message.get()));
        ASSERT_TRUE(back);
        EXPECT_EQ(W(GetAttribute(back.get(), "id")), text);
        EXPECT_EQ(W(GetText(GetChild(back.get(), "body"))), text);
    }
}

TEST(XmlBuilder, StanzaNumbersComeOnlyFromOurOwnIds)
{
    auto iq = std::make_unique<XmlNode>("iq");
    EXPECT_EQ(GetStanzaNumber(iq.get()), -1);
    EXPECT_EQ(GetStanzaNumber(nullptr), -1);
    iq->AddAttribute("id", "jov_17");
    EXPECT_EQ(GetStanzaNumber(iq.get()), 17);
    for (const wchar_t* id : {L"JOV_17", L"x_17", L"jov_", L"jov_12a", L"jov_-3", L"jov_99999999999", L"17"}) {
        iq->attributes[0].value = CJOVString(id);
        EXPECT_EQ(GetStanzaNumber(iq.get()), -1) << std::wstring(id).size();
    }
}

TEST(XmlBuilder, LookUpsAnswerNullForNoNodeAndNoMatch)
{
    auto iq = std::make_unique<XmlNode>("iq");
    iq->AddChild("item")->AddAttribute("jid", "a@x");
    iq->AddChild("item")->AddAttribute("jid", "b@x");
    iq->AddChild("other");
    EXPECT_EQ(GetNthChild(iq.get(), "item", 2), iq->children[1].get());
    EXPECT_EQ(GetNthChild(iq.get(), "item", 3), nullptr);
    EXPECT_EQ(GetNthChild(iq.get(), "item", 0), nullptr);
    EXPECT_EQ(GetChildWithAttribute(iq.get(), "item", "jid", L"b@x"), iq->children[1].get());
    EXPECT_EQ(GetChildWithAttribute(iq.get(), "item", "jid", L"c@x"), nullptr);
    EXPECT_EQ(GetFirstChild(iq.get()), iq->children[0].get());
    EXPECT_EQ(GetChild(nullptr, "item"), nullptr);
    EXPECT_EQ(GetAttribute(nullptr, "jid"), nullptr);
    EXPECT_EQ(GetText(iq.get()), nullptr);
    EXPECT_EQ(GetFirstChild(iq->children[2].get()), nullptr);
    EXPECT_FALSE(AttributeIs(iq->children[0].get(), "jid", L"a@"));
}

TEST(XmlBuilder, AVeryDeepTreeIsFreedWithoutRecursion)
{
    auto root = std::make_unique<XmlNode>("root");
    XmlNode* last = root.get();
    for (int i = 0; i < 500000; ++i)
        last = last->AddChild("a");
    root.reset();  // a recursive free would overflow the stack here
    SUCCEED();
}
