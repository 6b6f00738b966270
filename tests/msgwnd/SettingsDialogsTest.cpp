// The font dialog and the three settings dialogs, run modally and driven from
// inside their loops: what they load, what they store, and that a setting is
// applied only when it changed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "dialogs/DialogScript.h"
#include "messaging/FontDlg.h"
#include "messaging/MessagingIds.h"
#include "messaging/MsgWnd_ChatSettingsDlg.h"
#include "messaging/MsgWnd_EditSettingsDlg.h"
#include "messaging/MsgWnd_MenuSettingsDlg.h"
#include "msgwnd/MessagingFixture.h"

namespace {

class CRecordingOwner final : public CMessageWndSettingsOwner {
public:
    void ApplySettings(int kind) override { kinds.push_back(kind); }
    std::vector<int> kinds;
};

std::wstring ComboText(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected < 0)
        return L"<none>";
    wchar_t text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    return text;
}

void SetCheck(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

LOGFONTW Font(const wchar_t* face, int height, int weight)
{
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

class SettingsDialogsTest : public ::testing::Test {
protected:
    CRecordingOwner owner;
    MessageWndSettings settings{&owner, nullptr};
};

} // namespace

TEST_F(SettingsDialogsTest, TheFontDialogOffersTheNearestSizeAndStoresWhatIsChecked)
{
    std::wstring size, face, firstFace;
    CDialogScript script;
    script.When(L"Font", [&](HWND dialog) {
        size = ComboText(dialog, IDC_FONT_SIZE);
        face = ComboText(dialog, IDC_FONT_FACE);
        wchar_t first[LF_FACESIZE] = {};
        SendDlgItemMessageW(dialog, IDC_FONT_FACE, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        firstFace = first;
        PostCommand(dialog, IDOK);
    });
    script.Start();
    CFontDlg dialog(nullptr, Font(L"No Such Face", 13, 600));
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(size, L"14") << "13 is not offered: 14";
    EXPECT_EQ(face, firstFace) << "a face the device lacks: the first of the list";
    const LOGFONTW& chosen = CFontDlg::GetFont();
    EXPECT_EQ(chosen.lfHeight, 14);
    EXPECT_EQ(chosen.lfWeight, FW_NORMAL) << "bold unchecked stores 400, whatever came in";
    EXPECT_EQ(std::wstring(chosen.lfFaceName), firstFace);
}

TEST_F(SettingsDialogsTest, TheFontDialogKeepsOnePreviewFontAndAFaceWithinTheRecord)
{
    std::vector<HFONT> previews;
    bool oldOnesDeleted = true;
    CFontDlg* running = nullptr;
    CDialogScript script;
    script.When(L"Font", [&](HWND dialog) {
        for (int id : {IDC_FONT_BOLD, IDC_FONT_ITALIC, IDC_FONT_UNDERLINE, IDC_FONT_STRIKEOUT, IDC_FONT_BOLD}) {
            previews.push_back(running->GetPreviewFont());
            SetCheck(dialog, id, IsDlgButtonChecked(dialog, id) != BST_CHECKED);
        }
        for (HFONT old : previews)
            oldOnesDeleted = oldOnesDeleted && GetObjectType(old) == 0;
        const wchar_t longFace[] = L"A face name of forty characters, exactly";
        const LRESULT index =
            SendDlgItemMessageW(dialog, IDC_FONT_FACE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longFace));
        SendDlgItemMessageW(dialog, IDC_FONT_FACE, CB_SETCURSEL, index, 0);
        PostCommand(dialog, IDOK);
    });
    script.Start();
    CFontDlg dialog(nullptr, Font(L"Tahoma", 12, FW_BOLD));
    running = &dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(oldOnesDeleted) << "each new preview font replaces the old one";
    EXPECT_EQ(std::wstring(CFontDlg::GetFont().lfFaceName), std::wstring(L"A face name of forty characters, exactly", 31));
    EXPECT_EQ(CFontDlg::GetFont().lfWeight, FW_BOLD) << "bold off and on again";
    EXPECT_EQ(CFontDlg::GetFont().lfItalic, 1);
}

TEST_F(SettingsDialogsTest, TheChatDialogAppliesOnlyAChangeAndAFontAtOnce)
{
    std::vector<int> kindsWhileOpen;
    CDialogScript script;
    script.When(L"History",
                [&](HWND dialog) {
                    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHAT_SHOW_NAMES), BST_CHECKED);
                    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHAT_SHOW_TIME), BST_UNCHECKED);
                    PostCommand(dialog, IDC_APPLY_COMMAND);  // nothing changed
                    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHAT_HEAD_FONT, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CHAT_HEAD_FONT)));
                })
        .When(L"Font",
              [&](HWND dialog) {
                  SendDlgItemMessageW(dialog, IDC_FONT_SIZE, CB_SETCURSEL, 9, 0);  // 28
                  PostCommand(dialog, IDOK);
              })
        .When(L"History", [&](HWND dialog) {
            kindsWhileOpen = owner.kinds;
            CheckDlgButton(dialog, IDC_CHAT_SHOW_TIME, BST_CHECKED);
            PostCommand(dialog, IDC_APPLY_COMMAND);
            PostCommand(dialog, IDCANCEL);
        });
    script.Start();
    CMsgWnd_ChatSettingsDlg dialog(nullptr, &settings);
    dialog.DoModal();
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(kindsWhileOpen, std::vector<int>{MessageWndSettings::ApplyChatViews}) << "the font, not the empty Apply";
    EXPECT_EQ(settings.GetLogFont(MessageWndSettings::HeadFont).lfHeight, 28);
    EXPECT_EQ(owner.kinds, (std::vector<int>{MessageWndSettings::ApplyChatViews, MessageWndSettings::ApplyChatViews}));
    EXPECT_EQ(settings.GetChatFlags().showTime, 1);
}

TEST_F(SettingsDialogsTest, TheEditDialogsSpinCountsUpwardAndTheCountIsKeptInRange)
{
    int low = 0, high = 0;
    CDialogScript script;
    script.When(L"Editor",
                [&](HWND dialog) {
                    SendDlgItemMessageW(dialog, IDC_EDIT_MAX_LINES_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                                        reinterpret_cast<LPARAM>(&high));
                    SetDlgItemInt(dialog, IDC_EDIT_MAX_LINES, 9, FALSE);
                    CheckDlgButton(dialog, IDC_EDIT_SEND_BUTTON, BST_CHECKED);
                    PostCommand(dialog, IDC_APPLY_COMMAND);
                })
        .When(L"Editor", [&](HWND dialog) {
            SetDlgItemInt(dialog, IDC_EDIT_MAX_LINES, 0, FALSE);
            PostCommand(dialog, IDOK);
        });
    script.Start();
    CMsgWnd_EditSettingsDlg dialog(nullptr, &settings);
    dialog.DoModal();
    ASSERT_TRUE(script.Done());
    EXPECT_EQ(low, 1) << "1 at the bottom";
    EXPECT_EQ(high, 5) << "5 at the top";
    EXPECT_EQ(settings.GetEditOptions().maxLines, 1);
    EXPECT_EQ(settings.GetEditOptions().showSendButton, 1);
    EXPECT_EQ(owner.kinds, (std::vector<int>{MessageWndSettings::ApplyEditBoxes, MessageWndSettings::ApplyEditBoxes}))
        << "5 after the first Apply, 1 after OK";
}

TEST_F(SettingsDialogsTest, TheControlsDialogGraysTheButtonsWithoutTheToolbar)
{
    bool enabledAtFirst = false, enabledAfter = true;
    std::wstring leftKey;
    CDialogScript script;
    script.When(L"Controls", [&](HWND dialog) {
        enabledAtFirst = IsWindowEnabled(GetDlgItem(dialog, IDC_CONTROLS_SEND)) != 0;
        leftKey = ComboText(dialog, IDC_CONTROLS_LEFT_KEY);
        SetCheck(dialog, IDC_CONTROLS_TOOLBAR, false);
        enabledAfter = IsWindowEnabled(GetDlgItem(dialog, IDC_CONTROLS_SMILIES_LABEL)) != 0;
        SendDlgItemMessageW(dialog, IDC_CONTROLS_LEFT_KEY, CB_SETCURSEL, 0, 0);
        CheckDlgButton(dialog, IDC_CONTROLS_REVERSE, BST_CHECKED);
        PostCommand(dialog, IDOK);
    });
    script.Start();
    CMsgWnd_MenuSettingsDlg dialog(nullptr, &settings);
    dialog.DoModal();
    ASSERT_TRUE(script.Done());
    EXPECT_TRUE(enabledAtFirst);
    EXPECT_EQ(leftKey, L"Close") << "first start: the function key closes";
    EXPECT_FALSE(enabledAfter);
    const MessageWndSettings::Controls& controls = settings.GetControls();
    EXPECT_EQ(controls.toolbar, 0);
    EXPECT_EQ(controls.leftKey, 0);
    EXPECT_EQ(controls.reverseKeys, 1);
    EXPECT_EQ(owner.kinds, std::vector<int>{MessageWndSettings::ApplyControls});
}
