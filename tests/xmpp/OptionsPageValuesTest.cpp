// What the "Account" and "Expert" pages show and store, without windows.
#include <gtest/gtest.h>

#include "JabberSettings.h"
#include "JabberTexts.h"
#include "OptionsPageValues.h"
#include "support/FakeSettings.h"

namespace {

class OptionsPageValuesTest : public ::testing::Test {
protected:
    std::wstring Text(const wchar_t* key)
    {
        CJOVString value;
        if (!m_settings.GetString(0, CJOVString(key), value))
            return L"(none)";
        return std::wstring(value.Data() ? value.Data() : L"", value.GetLength());
    }
    unsigned long Number(const wchar_t* key)
    {
        unsigned long value = 0;
        m_settings.GetDWord(0, CJOVString(key), value);
        return value;
    }
    int Flag(const wchar_t* key)
    {
        unsigned char value = 0;
        return m_settings.GetByte(0, CJOVString(key), value) ? value : -1;
    }
    AccountPageValues Filled()
    {
        AccountPageValues values;
        values.name = CJOVString(L"alice");
        values.password = CJOVString(L"secret");
        values.savePassword = true;
        values.resource = CJOVString(L"pocket");
        values.server = CJOVString(L"example.org");
        values.port = CJOVString(L"5223");
        values.ssl = true;
        return values;
    }

    CFakeSettings m_settings;
};

} // namespace

TEST_F(OptionsPageValuesTest, ANewAccountShowsTheDefaultsAndNoBuiltInServer)
{
    AccountPageValues account = LoadAccountPage(m_settings, 0, false);
    EXPECT_EQ(account.name.GetLength(), 0);
    EXPECT_EQ(account.server.GetLength(), 0) << "no server of anyone's is offered";
    EXPECT_TRUE(account.resource == CJOVString(L"JOV PDA"));
    EXPECT_TRUE(account.port == CJOVString(L"5222"));
    EXPECT_FALSE(account.ssl);
    EXPECT_FALSE(account.savePassword);
    EXPECT_TRUE(account.showPasswordEnabled);

    ExpertPageValues expert = LoadExpertPage(m_settings, 0);
    EXPECT_FALSE(expert.manual) << "a new account connects to its own server";
    EXPECT_EQ(expert.server.GetLength(), 0);
    EXPECT_TRUE(expert.compression);
}

TEST_F(OptionsPageValuesTest, TheAccountPageStoresWhatWasTypedAndKeepsLongPasswords)
{
    AccountPageValues values = Filled();
    const std::wstring longPassword(300, L'p');
    values.password = CJOVString(longPassword.c_str());
    bool changed = false;
    EXPECT_FALSE(StoreAccountPage(values, m_settings, 0, &changed).failed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(Text(L"Account name"), L"alice");
    EXPECT_EQ(Text(L"Account password"), std::wstring(256, L'p')) << "256 characters are kept";
    EXPECT_EQ(Text(L"Account resource"), L"pocket");
    EXPECT_EQ(Text(L"Account server"), L"example.org");
    EXPECT_EQ(Number(L"Account port"), 5223u);
    EXPECT_EQ(Flag(L"SSL"), 1);

    // Loaded again: the saved password shows as the mask and cannot be shown.
    AccountPageValues shown = LoadAccountPage(m_settings, 0, true);
    EXPECT_TRUE(shown.password == CJOVString(kJabberPasswordMask));
    EXPECT_TRUE(shown.savePassword);
    EXPECT_FALSE(shown.showPassword);
    EXPECT_FALSE(shown.showPasswordEnabled);

    // Stored with the mask untouched: the password stays; nothing that names the account changed.
    EXPECT_FALSE(StoreAccountPage(shown, m_settings, 0, &changed).failed);
    EXPECT_EQ(Text(L"Account password"), std::wstring(256, L'p'));
    EXPECT_FALSE(changed);

    // "Save password" unchecked clears it.
    shown.savePassword = false;
    EXPECT_FALSE(StoreAccountPage(shown, m_settings, 0, &changed).failed);
    EXPECT_EQ(Text(L"Account password"), L"");
}

TEST_F(OptionsPageValuesTest, APortOutsideOneTo65535IsRefusedBeforeAnythingIsStored)
{
    for (const wchar_t* port : {L"0", L"65536", L"99999", L"", L"12a", L"-1", L"123456"}) {
        AccountPageValues values = Filled();
        values.port = CJOVString(port);
        PanelCheckResult result = StoreAccountPage(values, m_settings, 0, nullptr);
        EXPECT_TRUE(result.failed) << "port \"" << std::string(port, port + wcslen(port)) << "\"";
        EXPECT_EQ(result.control, 1021u);
        EXPECT_TRUE(result.message == JabberText(kTextBadPort));
    }
    EXPECT_EQ(Text(L"Account name"), L"(none)");
    AccountPageValues values = Filled();
    values.port = CJOVString(L"65535");
    EXPECT_FALSE(StoreAccountPage(values, m_settings, 0, nullptr).failed);
    EXPECT_EQ(Number(L"Account port"), 65535u);

    ExpertPageValues expert;
    expert.manual = true;
    expert.server = CJOVString(L"gateway.example.org");
    expert.port = CJOVString(L"70000");
    PanelCheckResult result = StoreExpertPage(expert, m_settings, 0);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.control, 1021u);
    EXPECT_EQ(Flag(L"Manual connection settings"), -1);
}

TEST_F(OptionsPageValuesTest, UseSslChangesThePortShown)
{
    EXPECT_TRUE(PortForSsl(true) == CJOVString(L"5223"));
    EXPECT_TRUE(PortForSsl(false) == CJOVString(L"5222"));
}

TEST_F(OptionsPageValuesTest, WithoutManualSettingsTheExpertPageCopiesTheAccountsServerAndPort)
{
    AccountPageValues account = Filled();
    EXPECT_FALSE(StoreAccountPage(account, m_settings, 0, nullptr).failed);
    ExpertPageValues expert;
    expert.manual = false;
    expert.server = CJOVString(L"stale.example.net");
    expert.port = CJOVString(L"not a port");  // disabled, not read
    expert.compression = false;
    EXPECT_FALSE(StoreExpertPage(expert, m_settings, 0).failed);
    EXPECT_EQ(Flag(L"Manual connection settings"), 0);
    EXPECT_EQ(Text(L"Manual connection server"), L"example.org");
    EXPECT_EQ(Number(L"Manual connection port"), 5223u);
    EXPECT_EQ(Flag(L"Compression"), 0);

    expert.manual = true;
    expert.server = CJOVString(L"gateway.example.org");
    expert.port = CJOVString(L"443");
    EXPECT_FALSE(StoreExpertPage(expert, m_settings, 0).failed);
    EXPECT_EQ(Text(L"Manual connection server"), L"gateway.example.org");
    EXPECT_EQ(Number(L"Manual connection port"), 443u);
    ExpertPageValues loaded = LoadExpertPage(m_settings, 0);
    EXPECT_TRUE(loaded.manual);
    EXPECT_TRUE(loaded.port == CJOVString(L"443"));
}
