// Lengths the account does not control: messages of any size go out, and a
// cut cached list is read only as far as it is whole.
#include "icqaccount/AccountFixture.h"

namespace {

typedef AccountTest LengthsTest;

size_t LongestMessageSent(const std::vector<OscarWire::Frame>& frames)
{
    size_t longest = 0;
    for (const OscarWire::Frame& frame : frames) {
        if (frame.IsSnac(0x04, 0x06) && frame.GetSnac().body.size() > longest)
            longest = frame.GetSnac().body.size();
    }
    return longest;
}

} // namespace

TEST_F(LengthsTest, AMessageLongerThanFourKilobytesIsSent)
{
    LoginWithRoster(1);
    RosterItem* buddy = m_account->FindContactByName(CJOVString(L"111"));
    ASSERT_NE(buddy, nullptr);
    m_sockets.ClearSent();
    std::wstring text(5000, L'x');
    m_account->SendMessage(*buddy, CJOVString(text.c_str()));
    EXPECT_GT(LongestMessageSent(m_sockets.Sent()), 5000u);

    // Past what one frame can carry, the text is cut rather than dropped.
    m_sockets.ClearSent();
    std::wstring huge(70000, L'y');
    m_account->SendMessage(*buddy, CJOVString(huge.c_str()));
    EXPECT_GT(LongestMessageSent(m_sockets.Sent()), 65000u);
}

TEST_F(LengthsTest, ACutCachedListKeepsTheItemsReadWhole)
{
    LoginWithRoster(4);
    EXPECT_EQ(Manager(L"Destroy"), 0);
    std::vector<unsigned char> cache;
    ASSERT_TRUE(m_settings.GetData(0, CJOVString(L"CL data"), cache));

    size_t previous = 0;
    for (size_t cut = 0; cut <= cache.size(); ++cut) {
        SCOPED_TRACE(cut);
        std::vector<unsigned char> cutCache(cache.begin(), cache.begin() + static_cast<long>(cut));
        m_settings.SetData(0, CJOVString(L"CL data"), cutCache);
        MakeAccount(FastTimings());
        EXPECT_EQ(Manager(L"Create"), 0);
        size_t count = m_account->GetRoster().size();
        EXPECT_GE(count, previous);
        EXPECT_LE(count, 8u);
        previous = count;
        EXPECT_EQ(Manager(L"Destroy"), 0);
    }
    EXPECT_EQ(previous, 8u);

    // A count and lengths far beyond the stored bytes.
    m_settings.SetData(0, CJOVString(L"CL data"), {0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 2, 0, 0, 0xFF, 0xFF});
    MakeAccount(FastTimings());
    EXPECT_EQ(Manager(L"Create"), 0);
    EXPECT_TRUE(m_account->GetRoster().empty());
}
