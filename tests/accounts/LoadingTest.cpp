// Finding the plug-ins: one library per subfolder of "Protos", named after it,
// with all three exports; the registry in protocol-id order.
#include "accounts/AccountsFixture.h"

namespace {

bool EndsWith(const CJOVString& text, const std::wstring& tail)
{
    std::wstring s = Str(text);
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST_F(AccountsTest, LoadsOnlyLibrariesNamedAfterTheirSubfolderWithAllThreeExports)
{
    // An empty subfolder is skipped like any folder without its library.
    CreateDirectoryW(Str(Protos(L"mixed") + CJOVString(L"Empty")).c_str(), nullptr);
    Restart(L"mixed");

    // Zed, one of DupA/DupB, Good; not Direct.dll (directly in Protos), not NoDestroy.
    EXPECT_EQ(m_manager->GetProtocolCount(), 3);
    EXPECT_EQ(m_manager->FindProtocol(TestProtocol(0x44)), nullptr);
    EXPECT_EQ(m_manager->FindProtocol(TestProtocol(0x55)), nullptr);

    const Protocols::ProtocolEntry* good = m_manager->FindProtocol(kGood);
    ASSERT_NE(good, nullptr);
    // Loading again finds the same; an entry handed out before stays valid.
    EXPECT_EQ(m_manager->LoadProtocols(), 3);
    EXPECT_TRUE(EndsWith(good->libraryPath, L"\\Protos\\Good\\Good.dll"));
    EXPECT_EQ(Str(good->info.name), L"Good");
    EXPECT_EQ(Str(good->info.iconFile), L"test.png");

    // Ordered by id bytes, not by folder: Zed's id is the smallest.
    EXPECT_TRUE(m_manager->GetProtocol(0).guid == TestProtocol(0x11));
    const std::wstring duplicate = Str(m_manager->GetProtocol(1).name);
    EXPECT_TRUE(duplicate == L"DupA" || duplicate == L"DupB") << duplicate;
    EXPECT_TRUE(m_manager->GetProtocol(2).guid == kGood);

    // Read, then freed: nothing stays loaded without an account.
    for (const wchar_t* module : {L"Good.dll", L"DupA.dll", L"DupB.dll", L"NoDestroy.dll", L"Zed.dll"})
        EXPECT_EQ(GetModuleHandleW(module), nullptr) << Str(CJOVString(module));
}

TEST_F(AccountsTest, ProtocolOutsideTheRegistryIsAnEmptyRecord)
{
    const JOV_GUID zero = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    for (int index : {-1, 2, 100}) {
        Protocols::ProtocolInfo info = m_manager->GetProtocol(index);
        EXPECT_TRUE(info.guid == zero);
        EXPECT_EQ(info.name.GetLength(), 0);
        EXPECT_EQ(info.authors.GetLength(), 0);
    }
    EXPECT_EQ(m_manager->FindProtocol(TestProtocol(0x77)), nullptr);
    EXPECT_EQ(m_manager->GetAccountProtocol(0x10000001).name.GetLength(), 0);
}

TEST_F(AccountsTest, NoProtosFolderMeansNoProtocolsAndNoAccounts)
{
    Stop();
    m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
    m_manager = std::make_unique<Protocols::CProtocolsManagerImpl>(m_bus.get(), &m_host,
                                                                   Protos(L"no_such_tree"));
    EXPECT_EQ(m_manager->GetProtocolCount(), 0);
    EXPECT_EQ(m_manager->AddAccount(kGood), 0u);
    EXPECT_EQ(m_manager->GetAccountCount(), 0);
}
