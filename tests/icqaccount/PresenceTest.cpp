// The own status as the server confirms it, and the privacy mode that
// follows it.
#include "icqaccount/AccountFixture.h"

namespace {

// The privacy mode byte of the last SSI add or update of the privacy item.
int SentPrivacyMode(const std::vector<OscarWire::Frame>& sent, unsigned int subtype)
{
    int mode = -1;
    for (const OscarWire::Frame& frame : sent) {
        if (!frame.IsSnac(0x13, subtype))
            continue;
        OscarWire::Snac snac = frame.GetSnac();
        OscarWire::Cursor body(snac.body);
        body.Take(body.U16());  // name
        body.U16();
        body.U16();
        if (body.U16() != 4)
            continue;
        OscarWire::Bytes tlvBytes = body.Take(body.U16());
        auto tlvs = OscarWire::ParseTlvs(tlvBytes);
        const OscarWire::Tlv* tlv = OscarWire::FindTlv(tlvs, 0x00CA);
        if (tlv && tlv->value.size() == 1)
            mode = tlv->value[0];
    }
    return mode;
}

} // namespace

TEST_F(AccountTest, GoingOnlineAsksForPrivacyModeFour)
{
    LoginToOnline();
    EXPECT_EQ(m_account->GetPrivacyMode(), 4);
    EXPECT_EQ(SentPrivacyMode(m_sockets.Sent(), 0x08), 4);
}

TEST_F(AccountTest, InvisibleForAllIsInvisibleWithModeTwo)
{
    m_settings.SetByte(L"Auto-switch privacy status", 0);
    LoginToBos();
    NegotiateServices();
    SetStatus(Protocols::StatusInvisibleForAll);
    // The server knows one invisible: the wanted status tells which.
    Deliver(OwnInfo(0x0100));
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusInvisibleForAll);
    EXPECT_EQ(m_account->GetPrivacyMode(), 2);

    m_sockets.ClearSent();
    m_account->SetPrivacyMode(4, false);
    EXPECT_EQ(SentPrivacyMode(m_sockets.Sent(), 0x09), 4);
    EXPECT_EQ(m_account->GetStatus(), Protocols::StatusInvisible);
    EXPECT_EQ(m_account->GetWantedStatus(), Protocols::StatusInvisible);

    // Unchanged and not forced: nothing to send.
    m_sockets.ClearSent();
    m_account->SetPrivacyMode(4, false);
    EXPECT_TRUE(m_sockets.Sent().empty());
    m_account->SetPrivacyMode(4, true);
    EXPECT_EQ(SentPrivacyMode(m_sockets.Sent(), 0x09), 4);
}

TEST_F(AccountTest, TheXStatusTravelsAsACapability)
{
    LoginToOnline();
    m_sockets.ClearSent();
    m_account->SetXStatus(5);
    std::vector<OscarWire::Frame> withXStatus = m_sockets.Sent();
    m_sockets.ClearSent();
    m_account->SetXStatus(0);
    std::vector<OscarWire::Frame> without = m_sockets.Sent();
    ASSERT_EQ(withXStatus.size(), 1u);
    ASSERT_EQ(without.size(), 1u);
    EXPECT_TRUE(withXStatus[0].IsSnac(0x02, 0x04));
    EXPECT_EQ(withXStatus[0].GetSnac().body.size(), without[0].GetSnac().body.size() + 16);
}
