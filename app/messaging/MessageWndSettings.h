// The messaging window's options: what the chat views show and their fonts,
// how the edit boxes behave, which controls the window shows and how much
// history a new chat shows. Loaded from the settings store when made, saved
// when destroyed; every value read is brought into its range.
// UI thread.
#pragma once

#include <windows.h>

#include <cstring>

namespace Services {
class CServicesManager;
}

// What the settings call when a group changes: the messaging window.
class CMessageWndSettingsOwner {
public:
    // kind: MessageWndSettings::ApplyKind.
    virtual void ApplySettings(int kind) = 0;

protected:
    ~CMessageWndSettingsOwner() = default;
};

struct MessageWndSettings {
    enum ApplyKind { ApplyAll = 0, ApplyChatViews = 1, ApplyEditBoxes = 2, ApplyControls = 3 };
    enum Font { HeadFont = 0, SubheadFont = 1, TextFont = 2, EditFont = 3, FontCount = 4 };

    struct ChatFlags {
        int showNames;
        int showTime;
        int newLine;
    };
    struct EditOptions {
        int maxLines;
        int showSendButton;
        int sendOnEnter;
    };
    struct Controls {
        int toolbar;
        int smiliesButton;
        int sendButton;
        int leftKey;
        int reverseKeys;
    };
    struct HistoryView {
        int showHistory;
        int historyCount;
    };

    // Without a bus, or a bus without a settings store, every value is its default.
    MessageWndSettings(CMessageWndSettingsOwner* owner, Services::CServicesManager* services);
    ~MessageWndSettings();
    MessageWndSettings(const MessageWndSettings&) = delete;
    MessageWndSettings& operator=(const MessageWndSettings&) = delete;

    void Load();
    void Save() const;

    const ChatFlags& GetChatFlags() const { return m_chat; }
    const EditOptions& GetEditOptions() const { return m_edit; }
    const Controls& GetControls() const { return m_controls; }
    const HistoryView& GetHistoryView() const { return m_history; }
    // Heights in the records are unscaled; the handles' are scaled to the screen.
    const LOGFONTW& GetLogFont(Font font) const { return m_logFonts[font]; }
    HFONT GetFont(Font font) const { return m_fonts[font]; }
    // The "Text font" height in pixels, whatever its sign: caret and smiley rows.
    int GetTextHeight() const;

    void SetChatFlags(const ChatFlags& flags);
    void SetHeadFont(const LOGFONTW& font);
    void SetSubheadFont(const LOGFONTW& font);
    void SetTextFont(const LOGFONTW& font);
    void SetEditOptions(const EditOptions& options);
    void SetEditFont(const LOGFONTW& font);
    void SetControls(const Controls& controls);
    // Stored without telling the owner: only a newly opened chat reads it.
    void SetHistoryView(const HistoryView& history);

    static LOGFONTW DefaultFont(Font font);
    // The history view in the store itself, for the preferences while no
    // window keeps the record.
    static HistoryView ReadHistoryView(Services::CServicesManager* services);
    static void WriteHistoryView(Services::CServicesManager* services, const HistoryView& history);

private:
    void SetDefaults();
    void SetFont(Font font, const LOGFONTW& value, int kind);
    void CreateFonts();
    void DeleteFonts();
    void Apply(int kind);
    // Stores a checked value and tells the owner, unless nothing changed.
    template <class T>
    void Store(T& stored, const T& checked, int kind)
    {
        if (std::memcmp(&checked, &stored, sizeof(checked)) == 0)
            return;
        stored = checked;
        Apply(kind);
    }

    CMessageWndSettingsOwner* m_owner;
    Services::CServicesManager* m_services;
    ChatFlags m_chat;
    EditOptions m_edit;
    Controls m_controls;
    HistoryView m_history;
    LOGFONTW m_logFonts[FontCount];
    HFONT m_fonts[FontCount];
};
