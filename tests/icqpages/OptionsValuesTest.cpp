// What the "Account" and "Connection" pages store: the login normalised, the
// password as the digest the account logs in with, the login server checked
// before anything is written.
#include <gtest/gtest.h>

#include "MD5.h"
#include "OptionsPageValues.h"
#include "support/FakeSettings.h"
#include "icqpages/PluginWorld.h"

namespace {

std::vector<unsigned char> Md5(const char* text)
{
    std::vector<unsigned char> digest(16);
    CMD5::Hash(text, static_cast<unsigned>(strlen(text)), digest.data());
    return digest;
}

std::vector<unsigned char> StoredPassword(CFakeSettings& settings)
{
    std::vector<unsigned char> digest;
    settings.GetData(0, CJOVString(L"Account password"), digest);
    return digest;
}

std::wstring StoredLogin(CFakeSettings& settings)
{
    CJOVString login;
    settings.GetString(0, CJOVString(L"Account name"), login);
    return Str(login);
}

AccountPageValues Typed(const wchar_t* login, bool save, const wchar_t* password)
{
    AccountPageValues values;
    values.login = CJOVString(login);
    values.savePassword = save;
    values.password = CJOVString(password);
    return values;
}

} // namespace

TEST(OptionsValues, LoginsAreNumbersOrEMailAddresses)
{
    CJOVString out;
    EXPECT_EQ(NormalizeLogin(CJOVString(L"123-456-789"), out), 0);
    EXPECT_EQ(Str(out), L"123456789");
    EXPECT_EQ(NormalizeLogin(CJOVString(L" 12 34\t5 "), out), 0);
    EXPECT_EQ(Str(out), L"12345");
    EXPECT_EQ(NormalizeLogin(CJOVString(L"Jo.Doe@mail.example"), out), 1);
    EXPECT_EQ(Str(out), L"Jo.Doe@mail.example") << "an e-mail login is kept as typed";
    out = CJOVString(L"kept");
    EXPECT_EQ(NormalizeLogin(CJOVString(L"letters"), out), -1);
    EXPECT_EQ(NormalizeLogin(CJOVString(), out), -1);
    EXPECT_EQ(Str(out), L"kept");
}

TEST(OptionsValues, ThePasswordIsKeptAsTheDigestTheAccountLogsInWith)
{
    CFakeSettings settings;
    AccountPageOutcome first = SaveAccountPage(settings, 0, Typed(L"123-456-789", true, L"secret"));
    EXPECT_FALSE(first.check.failed);
    EXPECT_TRUE(first.loginChanged);
    EXPECT_EQ(Str(first.login), L"123456789");
    EXPECT_EQ(StoredLogin(settings), L"123456789");
    EXPECT_EQ(StoredPassword(settings), Md5("secret"));

    // Opened again: the field shows the placeholder, and keeping it keeps the digest.
    AccountPageValues shown = LoadAccountPage(settings, 0);
    EXPECT_TRUE(shown.savePassword);
    EXPECT_EQ(Str(shown.password), ICQ_PASSWORD_PLACEHOLDER);
    AccountPageOutcome same = SaveAccountPage(settings, 0, shown);
    EXPECT_FALSE(same.loginChanged);
    EXPECT_EQ(StoredPassword(settings), Md5("secret"));

    // A new password alone is no new login.
    AccountPageOutcome newPassword = SaveAccountPage(settings, 0, Typed(L"123456789", true, L"other"));
    EXPECT_FALSE(newPassword.loginChanged);
    EXPECT_EQ(StoredPassword(settings), Md5("other"));

    // "Save password" unchecked clears it, whatever the field holds.
    SaveAccountPage(settings, 0, Typed(L"123456789", false, L"other"));
    EXPECT_TRUE(StoredPassword(settings).empty());
    EXPECT_FALSE(HasStoredPassword(settings, 0));
    EXPECT_FALSE(LoadAccountPage(settings, 0).savePassword);
    EXPECT_EQ(LoadAccountPage(settings, 0).password.GetLength(), 0);

    AccountPageOutcome email = SaveAccountPage(settings, 0, Typed(L"me@mail.example", false, L""));
    EXPECT_TRUE(email.loginChanged);
    EXPECT_EQ(StoredLogin(settings), L"me@mail.example");
}

TEST(OptionsValues, ARefusedPageStoresNothing)
{
    CFakeSettings settings;
    SaveAccountPage(settings, 0, Typed(L"111", true, L"secret"));

    AccountPageOutcome letters = SaveAccountPage(settings, 0, Typed(L"nobody", true, L"changed"));
    EXPECT_TRUE(letters.check.failed);
    EXPECT_EQ(Str(letters.check.message), L"Not valid ICQ number or E-mail");
    EXPECT_EQ(letters.check.control, 1015u);
    EXPECT_EQ(StoredLogin(settings), L"111");
    EXPECT_EQ(StoredPassword(settings), Md5("secret"));

    // A password past 8 characters is cut, shown and refused once; the
    // user's second confirmation stores what he saw.
    AccountPageOutcome cut = SaveAccountPage(settings, 0, Typed(L"222", true, L"abcdefghijkl"));
    EXPECT_TRUE(cut.check.failed);
    EXPECT_TRUE(cut.passwordCut);
    EXPECT_EQ(cut.check.control, 1016u);
    EXPECT_NE(Str(cut.check.message).find(L"8"), std::wstring::npos);
    EXPECT_EQ(Str(cut.password), L"abcdefgh");
    EXPECT_EQ(StoredLogin(settings), L"111");
    EXPECT_EQ(StoredPassword(settings), Md5("secret"));
    AccountPageOutcome again = SaveAccountPage(settings, 0, Typed(L"222", true, L"abcdefgh"));
    EXPECT_FALSE(again.check.failed);
    EXPECT_EQ(StoredPassword(settings), Md5("abcdefgh"));
}

TEST(OptionsValues, TheLoginServerIsCheckedBeforeItIsStored)
{
    CFakeSettings settings;
    ConnectionPageValues defaults = LoadConnectionPage(settings, 0);
    EXPECT_EQ(Str(defaults.host), ICQ_DEFAULT_SERVER);
    EXPECT_EQ(Str(defaults.port), L"5190");
    EXPECT_TRUE(defaults.keepAlive && defaults.loadContactList && defaults.autoPrivacy);

    ConnectionPageValues values = defaults;
    values.host = CJOVString();
    PanelCheckResult noHost = SaveConnectionPage(settings, 0, values);
    EXPECT_TRUE(noHost.failed);
    EXPECT_EQ(Str(noHost.message), L"Not valid host name");
    EXPECT_EQ(noHost.control, 1001u);

    values.host = CJOVString(L"127.0.0.1");
    for (const wchar_t* port : {L"", L"0", L"65536", L"99999", L"123456", L"12a", L"-1", L"+80"}) {
        values.port = CJOVString(port);
        PanelCheckResult refused = SaveConnectionPage(settings, 0, values);
        EXPECT_TRUE(refused.failed) << Str(values.port);
        EXPECT_EQ(Str(refused.message), L"Not valid host port");
        EXPECT_EQ(refused.control, 1002u);
    }
    EXPECT_EQ(settings.Word(L"Server port"), -1) << "nothing stored while refused";
    CJOVString host;
    EXPECT_FALSE(settings.GetString(0, CJOVString(L"Server name"), host));

    values.port = CJOVString(L"65535");
    values.keepAlive = false;
    values.autoPrivacy = false;
    EXPECT_FALSE(SaveConnectionPage(settings, 0, values).failed);
    EXPECT_EQ(settings.Word(L"Server port"), 65535);
    ConnectionPageValues stored = LoadConnectionPage(settings, 0);
    EXPECT_EQ(Str(stored.host), L"127.0.0.1");
    EXPECT_FALSE(stored.keepAlive);
    EXPECT_TRUE(stored.loadContactList);
    EXPECT_FALSE(stored.autoPrivacy);
}
