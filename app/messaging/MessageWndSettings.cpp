#include "messaging/MessageWndSettings.h"

#include <cstring>

#include "HiDpi.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "core/settings/JOVDatabase.h"

static_assert(sizeof(LOGFONTW) == 92, "stored fonts are 92-byte records");

namespace {

const wchar_t kShowNames[] = L"Show names";
const wchar_t kShowTime[] = L"Show time";
const wchar_t kNewLine[] = L"Msg from newl";
const wchar_t kMaxLine[] = L"Max line";
const wchar_t kShowSB[] = L"Show SB";
const wchar_t kSendOnEnter[] = L"SendOnEnter";
const wchar_t* const kFontKeys[MessageWndSettings::FontCount] = {L"Head font", L"Head2 font", L"Text font",
                                                                 L"Edit font"};
const wchar_t kShowTB[] = L"Show TB";
const wchar_t kShowTBSmaily[] = L"Show TB Smaily";
const wchar_t kShowTBSend[] = L"Show TB Send";
const wchar_t kLeftKey[] = L"Left key";
const wchar_t kReverseKeys[] = L"Reverse keys";
const wchar_t kShowHist[] = L"ShowHist";
const wchar_t kShowHistNum[] = L"ShowHistNum";
const MessageWndSettings::HistoryView kDefaultHistory = {1, 4};

int Flag(int value) { return value ? 1 : 0; }

int Clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

MessageWndSettings::ChatFlags Checked(MessageWndSettings::ChatFlags flags)
{
    return {Flag(flags.showNames), Flag(flags.showTime), Flag(flags.newLine)};
}

MessageWndSettings::EditOptions Checked(MessageWndSettings::EditOptions options)
{
    return {Clamp(options.maxLines, 1, 5), Flag(options.showSendButton), Flag(options.sendOnEnter)};
}

MessageWndSettings::Controls Checked(MessageWndSettings::Controls controls)
{
    return {Flag(controls.toolbar), Flag(controls.smiliesButton), Flag(controls.sendButton),
            Clamp(controls.leftKey, 0, 2), Flag(controls.reverseKeys)};
}

MessageWndSettings::HistoryView Checked(MessageWndSettings::HistoryView history)
{
    return {Flag(history.showHistory), Clamp(history.historyCount, 1, 10)};
}

// A face name read from anywhere ends within the record.
LOGFONTW Checked(LOGFONTW font)
{
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return font;
}

class CStoreReader {
public:
    explicit CStoreReader(Database::CJOVDatabase* store) : m_store(store) {}

    int Byte(const wchar_t* key, int fallback)
    {
        unsigned char value = 0;
        return m_store->GetByte(GUID_GUI, key, &value) ? value : fallback;
    }
    int DWord(const wchar_t* key, int fallback)
    {
        unsigned int value = 0;
        return m_store->GetDWord(GUID_GUI, key, &value) ? static_cast<int>(value) : fallback;
    }
    // Only a record of exactly the right size is a font.
    LOGFONTW Font(const wchar_t* key, const LOGFONTW& fallback)
    {
        unsigned size = 0;
        if (!m_store->GetValueSize(GUID_GUI, key, &size) || size != sizeof(LOGFONTW))
            return fallback;
        LOGFONTW font;
        size = sizeof(font);
        if (!m_store->GetData(GUID_GUI, key, &font, &size) || size != sizeof(LOGFONTW))
            return fallback;
        return font;
    }

private:
    Database::CJOVDatabase* m_store;
};

Database::CJOVDatabase* StoreOf(Services::CServicesManager* services)
{
    return services ? static_cast<Database::CJOVDatabase*>(services->GetService(GUID_Database)) : nullptr;
}

void PutByte(Database::CJOVDatabase* store, const wchar_t* key, int value)
{
    unsigned char byte = static_cast<unsigned char>(value);
    store->SetByte(GUID_GUI, key, &byte);
}

void PutDWord(Database::CJOVDatabase* store, const wchar_t* key, int value)
{
    unsigned int number = static_cast<unsigned int>(value);
    store->SetDWord(GUID_GUI, key, &number);
}

MessageWndSettings::HistoryView ReadHistory(CStoreReader& read)
{
    return Checked(MessageWndSettings::HistoryView{read.Byte(kShowHist, kDefaultHistory.showHistory),
                                                   read.DWord(kShowHistNum, kDefaultHistory.historyCount)});
}

void PutHistory(Database::CJOVDatabase* store, const MessageWndSettings::HistoryView& history)
{
    PutByte(store, kShowHist, history.showHistory);
    PutDWord(store, kShowHistNum, history.historyCount);
}

} // namespace

MessageWndSettings::MessageWndSettings(CMessageWndSettingsOwner* owner, Services::CServicesManager* services)
    : m_owner(owner), m_services(services), m_chat(), m_edit(), m_controls(), m_history(), m_logFonts(),
      m_fonts()
{
    Load();
}

MessageWndSettings::~MessageWndSettings()
{
    Save();
    DeleteFonts();
}

LOGFONTW MessageWndSettings::DefaultFont(Font font)
{
    LOGFONTW record = {};
    record.lfHeight = (font == HeadFont || font == SubheadFont) ? 12 : 14;
    record.lfWeight = font == HeadFont ? FW_BOLD : FW_NORMAL;
    record.lfCharSet = DEFAULT_CHARSET;
    wcscpy(record.lfFaceName, L"Tahoma");
    return record;
}

void MessageWndSettings::SetDefaults()
{
    m_chat = {1, 0, 0};
    m_edit = {3, 0, 1};
    m_controls = {1, 1, 1, 2, 0};
    m_history = kDefaultHistory;
    for (int font = 0; font < FontCount; ++font)
        m_logFonts[font] = DefaultFont(static_cast<Font>(font));
}

void MessageWndSettings::Load()
{
    SetDefaults();
    Database::CJOVDatabase* store = StoreOf(m_services);
    if (store) {
        CStoreReader read(store);
        m_chat.showNames = read.Byte(kShowNames, m_chat.showNames);
        m_chat.showTime = read.Byte(kShowTime, m_chat.showTime);
        m_chat.newLine = read.Byte(kNewLine, m_chat.newLine);
        m_edit.maxLines = read.DWord(kMaxLine, m_edit.maxLines);
        m_edit.showSendButton = read.Byte(kShowSB, m_edit.showSendButton);
        m_edit.sendOnEnter = read.Byte(kSendOnEnter, m_edit.sendOnEnter);
        for (int font = 0; font < FontCount; ++font)
            m_logFonts[font] = Checked(read.Font(kFontKeys[font], m_logFonts[font]));
        m_controls.toolbar = read.Byte(kShowTB, m_controls.toolbar);
        m_controls.smiliesButton = read.Byte(kShowTBSmaily, m_controls.smiliesButton);
        m_controls.sendButton = read.Byte(kShowTBSend, m_controls.sendButton);
        m_controls.leftKey = read.Byte(kLeftKey, m_controls.leftKey);
        m_controls.reverseKeys = read.Byte(kReverseKeys, m_controls.reverseKeys);
        m_history = ReadHistory(read);
        m_chat = Checked(m_chat);
        m_edit = Checked(m_edit);
        m_controls = Checked(m_controls);
    }
    CreateFonts();
}

void MessageWndSettings::Save() const
{
    Database::CJOVDatabase* store = StoreOf(m_services);
    if (!store)
        return;
    PutByte(store, kShowNames, m_chat.showNames);
    PutByte(store, kShowTime, m_chat.showTime);
    PutByte(store, kNewLine, m_chat.newLine);
    PutDWord(store, kMaxLine, m_edit.maxLines);
    PutByte(store, kShowSB, m_edit.showSendButton);
    PutByte(store, kSendOnEnter, m_edit.sendOnEnter);
    for (int font = 0; font < FontCount; ++font) {
        unsigned size = sizeof(LOGFONTW);
        store->SetData(GUID_GUI, kFontKeys[font], &m_logFonts[font], &size);
    }
    PutByte(store, kShowTB, m_controls.toolbar);
    PutByte(store, kShowTBSmaily, m_controls.smiliesButton);
    PutByte(store, kShowTBSend, m_controls.sendButton);
    PutByte(store, kLeftKey, m_controls.leftKey);
    PutByte(store, kReverseKeys, m_controls.reverseKeys);
    PutHistory(store, m_history);
}

MessageWndSettings::HistoryView MessageWndSettings::ReadHistoryView(Services::CServicesManager* services)
{
    Database::CJOVDatabase* store = StoreOf(services);
    if (!store)
        return kDefaultHistory;
    CStoreReader read(store);
    return ReadHistory(read);
}

void MessageWndSettings::WriteHistoryView(Services::CServicesManager* services, const HistoryView& history)
{
    if (Database::CJOVDatabase* store = StoreOf(services))
        PutHistory(store, Checked(history));
}

int MessageWndSettings::GetTextHeight() const
{
    int height = HIDPI_ScaleY(m_logFonts[TextFont].lfHeight);
    return height < 0 ? -height : height;
}

void MessageWndSettings::CreateFonts()
{
    DeleteFonts();
    for (int font = 0; font < FontCount; ++font) {
        LOGFONTW scaled = m_logFonts[font];
        scaled.lfHeight = HIDPI_ScaleY(scaled.lfHeight);  // keeps the sign
        m_fonts[font] = CreateFontIndirectW(&scaled);
    }
}

void MessageWndSettings::DeleteFonts()
{
    for (HFONT& font : m_fonts) {
        if (font)
            DeleteObject(font);
        font = nullptr;
    }
}

void MessageWndSettings::Apply(int kind)
{
    if (m_owner)
        m_owner->ApplySettings(kind);
}

void MessageWndSettings::SetChatFlags(const ChatFlags& flags) { Store(m_chat, Checked(flags), ApplyChatViews); }

void MessageWndSettings::SetFont(Font font, const LOGFONTW& value, int kind)
{
    LOGFONTW checked = Checked(value);
    if (std::memcmp(&checked, &m_logFonts[font], sizeof(checked)) == 0)
        return;
    m_logFonts[font] = checked;
    LOGFONTW scaled = checked;
    scaled.lfHeight = HIDPI_ScaleY(scaled.lfHeight);
    HFONT made = CreateFontIndirectW(&scaled);
    if (m_fonts[font])
        DeleteObject(m_fonts[font]);
    m_fonts[font] = made;
    Apply(kind);
}

void MessageWndSettings::SetHeadFont(const LOGFONTW& font) { SetFont(HeadFont, font, ApplyChatViews); }

void MessageWndSettings::SetSubheadFont(const LOGFONTW& font) { SetFont(SubheadFont, font, ApplyChatViews); }

void MessageWndSettings::SetTextFont(const LOGFONTW& font) { SetFont(TextFont, font, ApplyChatViews); }

void MessageWndSettings::SetEditFont(const LOGFONTW& font) { SetFont(EditFont, font, ApplyEditBoxes); }

void MessageWndSettings::SetEditOptions(const EditOptions& options) { Store(m_edit, Checked(options), ApplyEditBoxes); }

void MessageWndSettings::SetControls(const Controls& controls) { Store(m_controls, Checked(controls), ApplyControls); }

void MessageWndSettings::SetHistoryView(const HistoryView& history) { m_history = Checked(history); }
