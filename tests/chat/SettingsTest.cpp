// The messaging window's settings: defaults, the stored types, values brought
// into range when read, fonts of exactly 92 bytes, and which changes the
// window is told about.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "ServiceIds.h"
#include "chat/ChatFakes.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "messaging/MessageWndSettings.h"

namespace {

class CRecordingOwner : public CMessageWndSettingsOwner {
public:
    void ApplySettings(int kind) override { kinds.push_back(kind); }
    std::vector<int> kinds;
};

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { OpenStore(); }
    ~SettingsTest() override { CloseStore(); }

    void OpenStore()
    {
        store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(folder.Path(L"settings.jov")));
        serviceId = bus.RegisterService(GUID_Database, store.get());
    }
    void CloseStore()
    {
        bus.UnregisterService(serviceId);
        store.reset();
    }

    void PutByte(const wchar_t* key, unsigned char value) { store->SetByte(GUID_GUI, key, &value); }
    void PutDWord(const wchar_t* key, unsigned int value) { store->SetDWord(GUID_GUI, key, &value); }
    void PutBytes(const wchar_t* key, const void* data, unsigned size) { store->SetData(GUID_GUI, key, data, &size); }

    CDensity density{96};
    CTempFolder folder;
    Services::CServicesManagerImpl bus;
    std::unique_ptr<Database::CJOVDatabase> store;
    unsigned int serviceId = 0;
    CRecordingOwner owner;
};

void ExpectDefaults(const MessageWndSettings& settings)
{
    EXPECT_EQ(settings.GetChatFlags().showNames, 1);
    EXPECT_EQ(settings.GetChatFlags().showTime, 0);
    EXPECT_EQ(settings.GetChatFlags().newLine, 0);
    EXPECT_EQ(settings.GetEditOptions().maxLines, 3);
    EXPECT_EQ(settings.GetEditOptions().showSendButton, 0);
    EXPECT_EQ(settings.GetEditOptions().sendOnEnter, 1);
    EXPECT_EQ(settings.GetControls().toolbar, 1);
    EXPECT_EQ(settings.GetControls().leftKey, 2);
    EXPECT_EQ(settings.GetControls().reverseKeys, 0);
    EXPECT_EQ(settings.GetHistoryView().showHistory, 1);
    EXPECT_EQ(settings.GetHistoryView().historyCount, 4);
    const LOGFONTW& head = settings.GetLogFont(MessageWndSettings::HeadFont);
    EXPECT_STREQ(head.lfFaceName, L"Tahoma");
    EXPECT_EQ(head.lfHeight, 12);
    EXPECT_EQ(head.lfWeight, FW_BOLD);
    EXPECT_EQ(head.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(settings.GetLogFont(MessageWndSettings::SubheadFont).lfWeight, FW_NORMAL);
    EXPECT_EQ(settings.GetLogFont(MessageWndSettings::TextFont).lfHeight, 14);
    EXPECT_EQ(settings.GetLogFont(MessageWndSettings::EditFont).lfHeight, 14);
    for (int font = 0; font < MessageWndSettings::FontCount; ++font)
        EXPECT_NE(settings.GetFont(static_cast<MessageWndSettings::Font>(font)), nullptr);
}

TEST_F(SettingsTest, WithoutAStoreEveryValueIsItsDefaultAndNothingIsSaved)
{
    CloseStore();
    { MessageWndSettings settings(&owner, &bus); ExpectDefaults(settings); }
    { MessageWndSettings settings(&owner, nullptr); ExpectDefaults(settings); }
    OpenStore();
    unsigned size = 0;
    EXPECT_EQ(store->GetValueSize(GUID_GUI, L"Show names", &size), 0);
}

TEST_F(SettingsTest, SavesEveryValueWithItsStoredTypeAndReadsItBack)
{
    LOGFONTW text = MessageWndSettings::DefaultFont(MessageWndSettings::TextFont);
    text.lfHeight = -20;
    wcscpy(text.lfFaceName, L"Courier New");
    {
        MessageWndSettings settings(&owner, &bus);
        settings.SetChatFlags({0, 1, 1});
        settings.SetEditOptions({5, 1, 0});
        settings.SetControls({0, 0, 1, 1, 1});
        settings.SetHistoryView({0, 10});
        settings.SetTextFont(text);
    }
    unsigned size = 0;
    EXPECT_TRUE(store->GetValueSize(GUID_GUI, L"Show time", &size) && size == 1);
    EXPECT_TRUE(store->GetValueSize(GUID_GUI, L"Max line", &size) && size == 4);
    EXPECT_TRUE(store->GetValueSize(GUID_GUI, L"Left key", &size) && size == 1);
    EXPECT_TRUE(store->GetValueSize(GUID_GUI, L"ShowHistNum", &size) && size == 4);
    EXPECT_TRUE(store->GetValueSize(GUID_GUI, L"Text font", &size) && size == 92);

    MessageWndSettings settings(&owner, &bus);
    EXPECT_EQ(settings.GetChatFlags().showTime, 1);
    EXPECT_EQ(settings.GetChatFlags().newLine, 1);
    EXPECT_EQ(settings.GetEditOptions().maxLines, 5);
    EXPECT_EQ(settings.GetControls().leftKey, 1);
    EXPECT_EQ(settings.GetHistoryView().historyCount, 10);
    EXPECT_EQ(std::memcmp(&settings.GetLogFont(MessageWndSettings::TextFont), &text, sizeof(text)), 0);
}

struct RangeCase {
    const wchar_t* key;
    bool dword;
    unsigned stored;
    int loaded;
};

TEST_F(SettingsTest, StoredValuesOutOfRangeAreBroughtIntoIt)
{
    const RangeCase cases[] = {
        {L"Max line", true, 0, 1},      {L"Max line", true, 9, 5},     {L"Max line", true, 0xFFFFFFFF, 1},
        {L"ShowHistNum", true, 0, 1},   {L"ShowHistNum", true, 50, 10}, {L"Left key", false, 7, 2},
        {L"Show names", false, 5, 1},   {L"SendOnEnter", false, 0, 0},
    };
    for (const RangeCase& c : cases) {
        if (c.dword)
            PutDWord(c.key, c.stored);
        else
            PutByte(c.key, static_cast<unsigned char>(c.stored));
        MessageWndSettings settings(nullptr, &bus);
        int loaded = std::wstring(c.key) == L"Max line"      ? settings.GetEditOptions().maxLines
                     : std::wstring(c.key) == L"ShowHistNum" ? settings.GetHistoryView().historyCount
                     : std::wstring(c.key) == L"Left key"    ? settings.GetControls().leftKey
                     : std::wstring(c.key) == L"Show names"  ? settings.GetChatFlags().showNames
                                                             : settings.GetEditOptions().sendOnEnter;
        EXPECT_EQ(loaded, c.loaded) << testing::PrintToString(std::wstring(c.key)) << " " << c.stored;
    }
}

TEST_F(SettingsTest, OnlyAFontOfExactly92BytesIsTakenAndItsFaceNameEndsInside)
{
    std::vector<unsigned char> bytes(200, 'A');
    PutBytes(L"Head font", bytes.data(), 91);
    PutBytes(L"Head2 font", bytes.data(), 93);
    LOGFONTW unterminated = MessageWndSettings::DefaultFont(MessageWndSettings::TextFont);
    for (wchar_t& c : unterminated.lfFaceName)
        c = L'X';
    PutBytes(L"Text font", &unterminated, sizeof(unterminated));
    MessageWndSettings settings(nullptr, &bus);
    EXPECT_STREQ(settings.GetLogFont(MessageWndSettings::HeadFont).lfFaceName, L"Tahoma");
    EXPECT_EQ(settings.GetLogFont(MessageWndSettings::HeadFont).lfWeight, FW_BOLD);
    EXPECT_STREQ(settings.GetLogFont(MessageWndSettings::SubheadFont).lfFaceName, L"Tahoma");
    EXPECT_EQ(std::wstring(settings.GetLogFont(MessageWndSettings::TextFont).lfFaceName), std::wstring(31, L'X'));
}

TEST_F(SettingsTest, TheWindowIsToldOfEachGroupThatChanged)
{
    MessageWndSettings settings(&owner, nullptr);
    settings.SetChatFlags({1, 0, 0});  // unchanged
    settings.SetChatFlags({1, 1, 0});
    settings.SetEditOptions({3, 1, 1});
    settings.SetControls({1, 1, 1, 0, 0});
    settings.SetHistoryView({0, 2});  // stored, never applied
    LOGFONTW edit = settings.GetLogFont(MessageWndSettings::EditFont);
    settings.SetEditFont(edit);  // unchanged
    edit.lfWeight = FW_BOLD;
    settings.SetEditFont(edit);
    LOGFONTW head = settings.GetLogFont(MessageWndSettings::HeadFont);
    head.lfHeight = -12;
    settings.SetHeadFont(head);
    EXPECT_EQ(owner.kinds, (std::vector<int>{1, 2, 3, 2, 1}));
    EXPECT_EQ(settings.GetHistoryView().historyCount, 2);
}

TEST_F(SettingsTest, FontsAreScaledToTheScreenKeepingTheirSign)
{
    CDensity vga(192);
    MessageWndSettings settings(nullptr, nullptr);
    LOGFONTW made = {};
    GetObjectW(settings.GetFont(MessageWndSettings::TextFont), sizeof(made), &made);
    EXPECT_EQ(made.lfHeight, 28);
    EXPECT_EQ(settings.GetLogFont(MessageWndSettings::TextFont).lfHeight, 14);  // the record keeps it unscaled
    LOGFONTW head = settings.GetLogFont(MessageWndSettings::HeadFont);
    head.lfHeight = -13;
    settings.SetHeadFont(head);
    GetObjectW(settings.GetFont(MessageWndSettings::HeadFont), sizeof(made), &made);
    EXPECT_EQ(made.lfHeight, -26);
    EXPECT_EQ(settings.GetTextHeight(), 28);
}

} // namespace
