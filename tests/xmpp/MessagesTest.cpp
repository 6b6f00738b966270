// Messages both ways: what the model is handed for each kind of message that
// arrives (and for the ones not to show), the receipts and events answered
// only to those who see our presence, the addresses honoured only from our
// own server, and what goes out for what the user writes, or the warning
// when it cannot go.
#include "xmpp/JabberContactsFixture.h"

#include "JabberImageTable.h"

namespace {

const char kRoster[] = "<item jid='bob@localhost' name='Bob' subscription='both'><group>Friends</group></item>"
                       "<item jid='carol@localhost' name='Carol' subscription='to'><group>Friends</group></item>"
                       "<item jid='dave@localhost' name='Dave' subscription='from'><group>Friends</group></item>";

class MessagesTest : public JabberContactsTest {
protected:
    // The texts the model was handed, in order.
    std::vector<std::wstring> Texts()
    {
        std::vector<std::wstring> texts;
        for (const auto& message : m_model.Messages())
            texts.emplace_back(message.second.text.Data(), message.second.text.GetLength());
        return texts;
    }
    std::wstring LastText()
    {
        std::vector<std::wstring> texts = Texts();
        return texts.empty() ? std::wstring(L"<none>") : texts.back();
    }
    void Send(const wchar_t* jid, const wchar_t* text, unsigned int kind = 0)
    {
        Protocols::MessageInfo message;
        message.contactId = Contact(jid);
        message.kind = kind;
        message.text = CJOVString(text);
        Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    }
};

} // namespace

TEST_F(MessagesTest, BodiesSubjectsAndLineBreaksReachTheModelAsTheUserReadsThem)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const struct {
        const char* inner;
        const wchar_t* shown;
    } kMessages[] = {
        {"<body>plain</body>", L"plain"},
        {"<subject>News</subject><body>read this</body>", L"Subject: News\r\nread this"},
        {"<subject>Only a subject</subject>", L"Subject: Only a subject"},
        {"<subject></subject><body>no subject</body>", L"no subject"},
        {"<body>one\ntwo\n</body>", L"one\r\ntwo\r\n"},
        // A CR LF stays one line break, a lone CR becomes one.
        {"<body>one&#13;\ntwo&#13;three</body>", L"one\r\ntwo\r\nthree"},
        {"<body/>", L" "},
        {"<body>&lt;b&gt; &amp; 'quoted' \"too\" \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 "
         "\xC5\x99\xC3\xAD\xC5\xBE \xF0\x9F\x98\x80</body>",
         L"<b> & 'quoted' \"too\" \x041F\x0440\x0438\x0432\x0435\x0442 \x0159\x00ED\x017E \xD83D\xDE00"},
    };
    for (const auto& message : kMessages) {
        SCOPED_TRACE(message.inner);
        Deliver(std::string("<message from='bob@localhost/phone' type='chat'>") + message.inner + "</message>");
        EXPECT_EQ(LastText(), message.shown);
    }
    auto messages = m_model.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].first, Contact(L"bob@localhost"));
    EXPECT_EQ(messages[0].second.kind, 0u);
    EXPECT_EQ(messages[0].second.imageIndex, -1);
    EXPECT_EQ(messages[0].second.title.GetLength(), 0);

    // Chat states and events alone are nothing to show.
    const size_t before = Texts().size();
    Deliver("<message from='bob@localhost/phone'><composing xmlns='http://jabber.org/protocol/chatstates'/></message>"
            "<message from='bob@localhost/phone'><x xmlns='jabber:x:event'><composing/><id>jov_9</id></x></message>"
            "<message from='bob@localhost/phone'/>");
    EXPECT_EQ(Texts().size(), before);
}

TEST_F(MessagesTest, LinksArmouredAndSpecialTextsAreShownAndInvitationsAreNot)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Deliver("<message from='bob@localhost/pc'><body>look</body><x xmlns='jabber:x:oob'><url>http://127.0.0.1/a</url>"
            "</x></message>");
    EXPECT_EQ(LastText(), L"http://127.0.0.1/a\r\nlook");
    Deliver("<message from='bob@localhost/pc'><body>secret</body><x xmlns='jabber:x:encrypted'>hQEMA</x></message>");
    EXPECT_EQ(LastText(), L"-----BEGIN PGP MESSAGE-----\r\n\r\nhQEMA\r\n-----END PGP MESSAGE-----\r\n");
    Deliver("<message from='bob@localhost/pc'><body>[This is not a human readable message]</body>"
            "<x xmlns='jov:x:specmsg'>special text</x></message>");
    EXPECT_EQ(LastText(), L"special text");

    const size_t before = Texts().size();
    Deliver("<message from='bob@localhost/pc'><body>x</body><x xmlns='jov:x:specmsg'/></message>"
            "<message from='bob@localhost/pc'><body>join us</body><x xmlns='jabber:x:conference' "
            "jid='room@conference.localhost'/></message>"
            "<message from='room@conference.localhost'><x xmlns='http://jabber.org/protocol/muc#user'><invite "
            "from='bob@localhost'/></x><body>join</body></message>"
            "<message from='bob@localhost/pc'><data xmlns='http://jabber.org/protocol/ibb' sid='s'>AAAA</data>"
            "<body>x</body></message>"
            "<message from='localhost'><event xmlns='http://jabber.org/protocol/pubsub#event'/><body>x</body>"
            "</message>"
            "<message><body>who?</body></message>");
    EXPECT_EQ(Texts().size(), before);
    EXPECT_EQ(Contact(L"room@conference.localhost"), 0u);
}

TEST_F(MessagesTest, AStrangersMessageMakesAContactUnderTheAccount)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Deliver("<message from='Stranger@elsewhere/home' type='chat'><body>hello</body></message>");
    const unsigned int stranger = Contact(L"Stranger@elsewhere");
    ASSERT_NE(stranger, 0u);
    EXPECT_EQ(m_model.Get(stranger).group, 0u);
    EXPECT_EQ(m_model.String(stranger, L"CL Alias"), L"Stranger");
    Deliver("<message from='stranger@ELSEWHERE/work' type='chat'><body>again</body></message>");
    EXPECT_EQ(m_model.LiveCount(true), 4) << "the same contact, whatever the case of the JID";
    EXPECT_EQ(m_model.Messages().back().first, stranger);
}

TEST_F(MessagesTest, ReceiptsAndDeliveredEventsGoOnlyToThoseWhoSeeOurPresenceAfterDelivery)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const char kAsking[] = "><body>hi</body><request xmlns='urn:xmpp:receipts'/>"
                           "<x xmlns='jabber:x:event'><delivered/><composing/></x></message>";
    // bob (both) and dave (from) see our presence.
    Deliver(std::string("<message from='bob@localhost/phone' id='m1'") + kAsking);
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          "<message to='bob@localhost/phone' id='jov_3'><received xmlns='urn:xmpp:receipts' "
                          "id='m1'/></message>",
                          "<message to='bob@localhost/phone'><x xmlns='jabber:x:event'><delivered/><id>m1</id></x>"
                          "</message>"}));
    m_sockets.ClearSent();
    Deliver(std::string("<message from='dave@localhost/pc' id='m2'") + kAsking);
    EXPECT_EQ(Sent().size(), 2u);
    m_sockets.ClearSent();
    // carol (to), a stranger and a message without id get nothing.
    Deliver(std::string("<message from='carol@localhost/pc' id='m3'") + kAsking);
    Deliver(std::string("<message from='mallory@elsewhere/x' id='m4'") + kAsking);
    Deliver(std::string("<message from='bob@localhost/phone'") + kAsking);
    EXPECT_TRUE(Sent().empty()) << AllSent();
    EXPECT_EQ(Texts().size(), 5u);
    // What is not shown is not receipted.
    Deliver("<message from='bob@localhost/phone' id='m5'><body>x</body><request xmlns='urn:xmpp:receipts'/>"
            "<x xmlns='jabber:x:conference' jid='room@conference.localhost'/></message>");
    EXPECT_TRUE(Sent().empty()) << AllSent();

    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"bob@localhost"), item));
    EXPECT_TRUE(item.composingId.GetLength() == 0) << "the last asker had no id";
}

TEST_F(MessagesTest, ABodyInACdataSectionIsShownAsWrittenAndReceipted)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Deliver("<message from='bob@localhost/phone' id='c1' type='chat'><body><![CDATA[... <b>a & b</b> >]]></body>"
            "<request xmlns='urn:xmpp:receipts'/></message>");
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts().back(), L"... <b>a & b</b> >");
    ASSERT_FALSE(Sent().empty());
    EXPECT_EQ(Sent()[0], "<message to='bob@localhost/phone' id='jov_3'><received xmlns='urn:xmpp:receipts' id='c1'/>"
                         "</message>");
}

TEST_F(MessagesTest, AnotherSenderIsTakenOnlyFromTheAccountsOwnServer)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    const char kRedirected[] = "><body>from afar</body><addresses xmlns='http://jabber.org/protocol/address'>"
                               "<address type='ofrom' jid='carol@localhost'/></addresses></message>";
    Deliver(std::string("<message from='localhost'") + kRedirected);
    auto messages = m_model.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, Contact(L"carol@localhost"));
    EXPECT_EQ(LastText(), L"Message redirected from: localhost\r\nfrom afar");

    // A stranger cannot file a message under carol.
    Deliver(std::string("<message from='mallory@elsewhere/x'") + kRedirected);
    messages = m_model.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].first, Contact(L"mallory@elsewhere"));
    EXPECT_EQ(LastText(), L"from afar");
}

TEST_F(MessagesTest, TheGotAccountMarkerIsARequestTheUserAnswers)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Deliver("<message from='newbie@elsewhere/x'><x xmlns='jov:x:gotaccount'/><body>add me</body></message>");
    EXPECT_TRUE(Sent().empty()) << "no subscription granted: " << AllSent();
    auto messages = m_model.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(LastText(), L"Authorization request: ");
    EXPECT_EQ(messages[0].second.imageIndex, static_cast<int>(GetJabberImageId(kJabberImageRequest)));
    JABBER_LIST_ITEM item;
    ASSERT_TRUE(m_account->GetList().ListGetItem(kListRoster, CJOVString(L"newbie@elsewhere"), item));
    EXPECT_TRUE(item.authRequest);
}

TEST_F(MessagesTest, WhatTheUserWritesGoesOutEscapedToTheBestResource)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    Send(L"bob@localhost", L"a < b & \"c\"\r\nnext line");
    EXPECT_EQ(AllSent(), "<message type='chat' to='bob@localhost' id='jov_3'><body>a &lt; b &amp; &quot;c&quot;\n"
                         "next line</body></message>");
    m_sockets.ClearSent();

    // The resource last heard from; chat states once it used them.
    Deliver("<presence from='bob@localhost/phone'><priority>5</priority></presence>"
            "<presence from='bob@localhost/pc'><priority>1</priority></presence>");
    Send(L"bob@localhost", L"x");
    EXPECT_TRUE(Has(AllSent(), "to='bob@localhost/phone'")) << AllSent();
    m_sockets.ClearSent();
    Deliver("<message from='bob@localhost/pc'><body>here</body><active "
            "xmlns='http://jabber.org/protocol/chatstates'/></message>");
    Send(L"bob@localhost", L"y");
    EXPECT_EQ(AllSent(), "<message type='chat' to='bob@localhost/pc' id='jov_5'><body>y</body>"
                         "<active xmlns='http://jabber.org/protocol/chatstates'/></message>");
    m_sockets.ClearSent();

    // Not ours to send: a message of another kind.
    Send(L"bob@localhost", L"z", 1);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(MessagesTest, AMessageThatCannotGoOrComesBackIsToldNamingTheContact)
{
    const unsigned int old = m_model.AddContact(kAccountId, m_model.AddGroup(kAccountId, L"Old"), L"old@localhost",
                                                L"Old Friend");
    Protocols::MessageInfo message;
    message.contactId = old;
    message.text = CJOVString(L"anyone?");
    Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    ASSERT_EQ(WaitForWarnings(1), 1u);
    EXPECT_EQ(LastWarning(), "The message to Old Friend was not sent: you are offline");

    ASSERT_NO_FATAL_FAILURE(LogIn(kRoster));
    // A contact the roster no longer holds.
    const unsigned int ghost = m_model.AddContact(kAccountId, Group(L"Friends"), L"ghost@localhost", L"Ghost");
    message.contactId = ghost;
    Manager(L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    ASSERT_EQ(WaitForWarnings(2), 2u);
    EXPECT_EQ(LastWarning(), "The message to Ghost was not sent: the contact is not in your list");
    EXPECT_TRUE(Sent().empty());

    // Bounced by the server, by its id.
    Send(L"carol@localhost", L"are you there?");
    const std::string id = LastId();
    Deliver("<message from='carol@localhost' type='error' id='" + id + "'><error type='cancel'>"
            "<service-unavailable xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></message>");
    ASSERT_EQ(WaitForWarnings(3), 3u);
    EXPECT_EQ(LastWarning(), "The message to Carol was not delivered: service-unavailable");
    // The same id again, and an error about something else: no more warnings.
    Deliver("<message from='carol@localhost' type='error' id='" + id + "'><error type='cancel'/></message>"
            "<message from='carol@localhost' type='error' id='jov_1'><error type='cancel'/></message>");
    Sleep(100);
    EXPECT_EQ(Warnings().size(), 3u);
    EXPECT_TRUE(m_model.Messages().empty()) << "an error is not a message";
}
