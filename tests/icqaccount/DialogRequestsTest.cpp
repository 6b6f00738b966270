// What the plug-in's pages and dialogs hand to the account's thread: a new
// login forgets the old login's list, own details go out only while online.
#include "AccountRequests.h"
#include "icqaccount/AccountFixture.h"

namespace {

class DialogRequestsTest : public AccountTest {
protected:
    int Request(const wchar_t* name, CEventArg* arg)
    {
        return m_bus->SendEventToClient(m_account->GetClientId(), GUID_ICQProtocol, CJOVString(name), arg, nullptr,
                                        true);
    }

    std::vector<std::wstring> Groups()
    {
        std::vector<CJOVString> names;
        Request(ICQ_EVENT_GET_GROUPS, new CEventArg_Data<std::vector<CJOVString>*>(&names));
        std::vector<std::wstring> groups;
        for (const CJOVString& name : names)
            groups.push_back(std::wstring(name.Data(), name.GetLength()));
        return groups;
    }
};

} // namespace

TEST_F(DialogRequestsTest, ANewLoginForgetsTheOldListAndTellsTheProgram)
{
    LoginWithRoster(1);
    EXPECT_EQ(Groups(), (std::vector<std::wstring>{L"Friends", L"Other"}));
    SetStatus(Protocols::StatusOffline);
    m_account->SaveContactList();
    std::vector<unsigned char> cache;
    ASSERT_TRUE(m_settings.GetData(kAccountId, CJOVString(L"CL data"), cache));
    ASSERT_GT(cache.size(), 3u);

    EXPECT_EQ(Request(ICQ_EVENT_LOGIN_CHANGED, nullptr), 0);
    EXPECT_TRUE(m_account->GetRoster().empty());
    EXPECT_TRUE(Groups().empty());
    ASSERT_TRUE(m_settings.GetData(kAccountId, CJOVString(L"CL data"), cache));
    EXPECT_TRUE(cache.empty()) << "the next start must not load the old list";
    EXPECT_TRUE(WaitUntil([&] { return Count(L"Account changed") == 1; }));
}

TEST_F(DialogRequestsTest, OwnDetailsGoOutOnlyWhileOnline)
{
    CTLVCol fields;
    const unsigned char male[] = {0x02, 0x00};
    fields.push_back(CTLV(0x017C, 2, male));
    Request(ICQ_EVENT_SET_OWN_DETAILS, new CEventArg_Data<CTLVCol>(fields));
    EXPECT_FALSE(SentSnac(0x15, 0x02)) << "offline";

    LoginToOnline();
    m_sockets.ClearSent();
    Request(ICQ_EVENT_SET_OWN_DETAILS, new CEventArg_Data<CTLVCol>(CTLVCol()));
    EXPECT_FALSE(SentSnac(0x15, 0x02)) << "nothing changed, nothing sent";
    Request(ICQ_EVENT_SET_OWN_DETAILS, new CEventArg_Data<CTLVCol>(fields));
    std::vector<OscarWire::Frame> sent = m_sockets.Sent();
    ASSERT_EQ(sent.size(), 1u);
    OscarWire::Snac snac = sent[0].GetSnac();
    OscarWire::Cursor body(snac.body, 6);
    EXPECT_EQ(body.U32LE(), 123456u);
    EXPECT_EQ(body.U16LE(), 2000u);
    body.U16LE();
    EXPECT_EQ(body.U16LE(), 0x0C3Au);
    EXPECT_EQ(OscarWire::Hex(body.Take(body.Left())), OscarWire::Hex({0x7C, 0x01, 0x02, 0x00, 0x02, 0x00}));
}
