// The account's own details: asked for, and stored from the meta replies.
#include "icqaccount/AccountFixture.h"
#include "icqaccount/FakeModel.h"

namespace {

OscarWire::Frame MetaReply(unsigned int metaSequence, const OscarWire::Bytes& data)
{
    OscarWire::Builder chunk;
    chunk.U32LE(123456).U16LE(2010).U16LE(metaSequence).Raw(data);
    OscarWire::Builder body;
    body.U16(0x0001).U16(static_cast<unsigned int>(chunk.Get().size()) + 2)
        .U16LE(static_cast<unsigned int>(chunk.Get().size())).Raw(chunk.Get());
    return OscarWire::SnacFrame(0x15, 0x03, body);
}

OscarWire::Builder& MetaString(OscarWire::Builder& builder, const std::string& text)
{
    return builder.U16LE(static_cast<unsigned int>(text.size()) + 1).Text(text).U8(0);
}

OscarWire::Bytes BasicDetails(const std::string& nick)
{
    OscarWire::Builder data;
    data.U16LE(0x00C8).U8(0x0A);
    MetaString(data, nick);
    for (int i = 0; i < 10; ++i)
        MetaString(data, i == 2 ? "me@example.org" : "");
    data.U16LE(7).U8(3).U8(1).U8(0).U8(1).U8(0);
    return data.Get();
}

class DetailsTest : public AccountTest {
protected:
    // The meta sequence number of the last details request sent.
    unsigned int RequestOwnDetails()
    {
        m_sockets.ClearSent();
        m_account->RequestDetails(0, 123456);
        std::vector<OscarWire::Frame> sent = m_sockets.Sent();
        EXPECT_EQ(sent.size(), 1u);
        if (sent.empty() || !sent[0].IsSnac(0x15, 0x02))
            return 0;
        OscarWire::Snac snac = sent[0].GetSnac();
        OscarWire::Cursor body(snac.body, 4);
        body.U16LE();  // length
        EXPECT_EQ(body.U32LE(), 123456u);
        EXPECT_EQ(body.U16LE(), 2000u);
        unsigned int metaSequence = body.U16LE();
        EXPECT_EQ(body.U16LE(), 0x04D0u);
        EXPECT_EQ(body.U32LE(), 123456u);
        return metaSequence;
    }
};

} // namespace

TEST_F(DetailsTest, OwnDetailsAreStoredAndAnnounced)
{
    LoginToOnline();
    unsigned int metaSequence = RequestOwnDetails();
    Deliver(MetaReply(metaSequence, BasicDetails("Nick")));
    EXPECT_EQ(m_settings.String(L"ICQ: nick name"), L"Nick");
    EXPECT_EQ(m_settings.String(L"ICQ: e-mail"), L"me@example.org");
    EXPECT_EQ(m_settings.Word(L"ICQ: home country code"), 7);
    EXPECT_EQ(m_settings.Byte(L"ICQ: authorization flag"), 1);
    EXPECT_EQ(Count(L"Details received"), 1);

    // Further parts of the same request go to the same place.
    OscarWire::Builder notes;
    notes.U16LE(0x00E6).U8(0x0A);
    MetaString(notes, "about me");
    Deliver(MetaReply(metaSequence, notes));
    EXPECT_EQ(m_settings.String(L"ICQ: about"), L"about me");
    EXPECT_EQ(Count(L"Details received"), 2);
}

TEST_F(DetailsTest, AReplyNeverAskedForChangesNothing)
{
    LoginToOnline();
    unsigned int metaSequence = RequestOwnDetails();
    Deliver(MetaReply((metaSequence + 1) & 0xFFFF, BasicDetails("Stranger")));
    EXPECT_EQ(m_settings.String(L"ICQ: nick name"), L"");
    EXPECT_EQ(Count(L"Details received"), 0);
}

TEST_F(DetailsTest, AContactNamedByNumberTakesItsNickName)
{
    CFakeModel model;
    unsigned int modelId = m_bus->RegisterService(GUID_ContactList, &model);
    LoginWithRoster(1);
    unsigned int contact = model.Find(L"111", true);
    ASSERT_NE(contact, 0u);
    m_sockets.ClearSent();
    Manager(L"Get contact details dlg info", new CEventArg_Data<unsigned int>(contact));
    std::vector<OscarWire::Frame> sent = m_sockets.Sent();
    ASSERT_EQ(sent.size(), 1u);
    OscarWire::Snac snac = sent[0].GetSnac();
    OscarWire::Cursor body(snac.body, 4);
    body.U16LE();
    body.U32LE();
    body.U16LE();
    unsigned int metaSequence = body.U16LE();
    body.U16LE();
    EXPECT_EQ(body.U32LE(), 111u);

    m_sockets.ClearSent();
    Deliver(MetaReply(metaSequence, BasicDetails("Eleven")));
    EXPECT_EQ(model.Get(contact).strings.at(L"ICQ: nick name"), L"Eleven");
    EXPECT_TRUE(SentSnac(0x13, 0x09));  // the rename
    EXPECT_EQ(Count(L"Contact details received"), 1);
    EXPECT_EQ(Count(L"Details received"), 0);  // not the account's own
    m_account.reset();
    m_bus->UnregisterService(modelId);
}
