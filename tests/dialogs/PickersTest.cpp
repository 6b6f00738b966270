// The colour picker, the palette and the colour-scheme editor: values shown
// and taken, numbers past 255, the palette's colours and its memory, and a
// skin's colours edited, restored and applied.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <vector>

#include "contactlist/DialogIds.h"
#include "contactlist/JOVColorsDlg.h"
#include "contactlist/PaletteDlg.h"
#include "contactlist/SelectColorDlg.h"
#include "dialogs/BackgroundSkin.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"

namespace {

const wchar_t kColor[] = L"Color";
const wchar_t kPalette[] = L"Palette";
const wchar_t kColors[] = L"Colors";

int Number(HWND dialog, int id)
{
    return static_cast<int>(GetDlgItemInt(dialog, id, nullptr, FALSE));
}

int Slider(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

void TypeAndEnter(HWND dialog, int box, const wchar_t* text)
{
    HWND edit = GetDlgItem(dialog, box);
    SetFocus(edit);
    SetWindowTextW(edit, text);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(edit, WM_CHAR, L'\r', 1);
}

HWND Grid(HWND palette)
{
    for (HWND child = GetWindow(palette, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpW(name, L"JOV Wnd Class") == 0)
            return child;
    }
    return nullptr;
}

// The centre of a palette cell, in the grid's client coordinates.
POINT CellCentre(HWND palette, int index)
{
    RECT client = {};
    GetClientRect(Grid(palette), &client);
    const int cellWidth = (client.right - 9) / 8, cellHeight = (client.bottom - 17) / 16;
    return POINT{1 + (index % 8) * (cellWidth + 1) + cellWidth / 2, 1 + (index / 8) * (cellHeight + 1) + cellHeight / 2};
}

// A skin whose colours the editor reads, writes and restores.
class CRecordingSkin final : public CDialogSkin {
public:
    HBRUSH GetBackgroundBrush() override { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }
    HBITMAP CreateBackgroundBitmap(HWND) override { return nullptr; }
    COLORREF GetColor(int index) override { return stored[index]; }
    bool GetSkinColors(const CJOVString& skin, COLORREF* colors) override
    {
        askedFor = Str(skin);
        for (int i = 0; i < kSkinColorCount; ++i)
            colors[i] = stored[i];
        return true;
    }
    void SetSkinColors(const CJOVString&, const COLORREF* colors) override
    {
        ++sets;
        for (int i = 0; i < kSkinColorCount; ++i)
            stored[i] = colors[i];
    }
    bool ReadColorsIni(const CJOVString&, COLORREF* colors) override
    {
        for (int i = 0; i < kSkinColorCount; ++i)
            colors[i] = RGB(i, i, i);
        return true;
    }
    unsigned int AddImage(const JOV_GUID&, const CJOVString&) override { return 0; }
    void ReleaseImage(unsigned int) override {}

    COLORREF stored[kSkinColorCount] = {};
    std::wstring askedFor;
    int sets = 0;
};

} // namespace

TEST(PaletteColors, OneHundredAndTwentyEightInGridOrderWithThePrimariesAfterTheirRuns)
{
    CJOVArray<unsigned long> colors;
    CPaletteCtrl::FillColors(colors);
    ASSERT_EQ(colors.Count(), 128);
    EXPECT_EQ(colors[0], RGB(0, 0, 0));
    EXPECT_EQ(colors[4], RGB(204, 0, 0));
    EXPECT_EQ(colors[5], RGB(255, 0, 0));
    EXPECT_EQ(colors[6], RGB(0, 51, 0));
    EXPECT_EQ(colors[25], RGB(204, 204, 0));
    EXPECT_EQ(colors[26], RGB(0, 255, 0)) << "right after the 25 colours without blue";
    EXPECT_EQ(colors[27], RGB(0, 0, 51));
    EXPECT_EQ(colors[127], RGB(0, 0, 255));
    std::set<unsigned long> distinct;
    for (int i = 0; i < colors.Count(); ++i) {
        distinct.insert(colors[i]);
        const unsigned long c = colors[i];
        if (i != 5 && i != 26 && i != 127) {
            EXPECT_NE(GetRValue(c), 255) << i;
            EXPECT_NE(GetGValue(c), 255) << i;
            EXPECT_NE(GetBValue(c), 255) << i;
        }
    }
    EXPECT_EQ(distinct.size(), 128u);
    EXPECT_EQ(distinct.count(RGB(255, 255, 255)), 0u) << "no white";
}

TEST_F(DialogsTest, TheColourPickerShowsTakesAndClampsItsComponents)
{
    CSelectColorDlg picker(nullptr, RGB(153, 102, 51));
    int shown[6] = {};
    int afterTyping[3] = {};
    int afterSlider = -1;
    CDialogScript script;
    script.When(kColor, [&](HWND dialog) {
        shown[0] = Slider(dialog, IDC_RED_SLIDER);
        shown[1] = Slider(dialog, IDC_GREEN_SLIDER);
        shown[2] = Slider(dialog, IDC_BLUE_SLIDER);
        shown[3] = Number(dialog, IDC_RED_EDIT);
        shown[4] = Number(dialog, IDC_GREEN_EDIT);
        shown[5] = Number(dialog, IDC_BLUE_EDIT);
        // 300 is as far as red goes, not its low byte (44).
        TypeAndEnter(dialog, IDC_RED_EDIT, L"300");
        afterTyping[0] = Slider(dialog, IDC_RED_SLIDER);
        afterTyping[1] = Number(dialog, IDC_RED_EDIT);
        afterTyping[2] = static_cast<int>(GetRValue(CSelectColorDlg::GetPickedColor()));
        // A slider moved on the desktop reports with WM_HSCROLL.
        HWND blue = GetDlgItem(dialog, IDC_BLUE_SLIDER);
        SendMessageW(blue, TBM_SETPOS, TRUE, 7);
        SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 7), reinterpret_cast<LPARAM>(blue));
        afterSlider = Number(dialog, IDC_BLUE_EDIT);
        // A number typed without Enter counts on OK.
        SetFocus(GetDlgItem(dialog, IDC_GREEN_EDIT));
        SetDlgItemTextW(dialog, IDC_GREEN_EDIT, L"12");
        PostCommand(dialog, IDOK);
    });
    script.Start();
    EXPECT_EQ(picker.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(std::vector<int>(shown, shown + 6), (std::vector<int>{153, 102, 51, 153, 102, 51}));
    EXPECT_EQ(afterTyping[0], 255);
    EXPECT_EQ(afterTyping[1], 255);
    EXPECT_EQ(afterTyping[2], 255);
    EXPECT_EQ(afterSlider, 7);
    EXPECT_EQ(CSelectColorDlg::GetPickedColor(), RGB(255, 12, 7));
}

TEST_F(DialogsTest, APaletteCellChosenSetsTheColourAndThePaletteRemembersIt)
{
    CPaletteDlg::SetPaletteIndex(0);
    CSelectColorDlg picker(nullptr, RGB(1, 2, 3));
    int reopenedAt = -1;
    int paletteShows[3] = {};
    int pickerShows[3] = {};
    CDialogScript script;
    script.When(kColor, [&](HWND dialog) { Click(dialog, IDC_FROM_PALETTE); })
        .When(kPalette,
              [&](HWND palette) {
                  POINT cell = CellCentre(palette, 5);
                  SendMessageW(Grid(palette), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.x, cell.y));
                  paletteShows[0] = Number(palette, IDC_PALETTE_RED);
                  paletteShows[1] = Number(palette, IDC_PALETTE_GREEN);
                  paletteShows[2] = Number(palette, IDC_PALETTE_BLUE);
                  PostCommand(palette, IDOK);
              })
        .When(kColor,
              [&](HWND dialog) {
                  pickerShows[0] = Number(dialog, IDC_RED_EDIT);
                  pickerShows[1] = Slider(dialog, IDC_GREEN_SLIDER);
                  pickerShows[2] = Number(dialog, IDC_BLUE_EDIT);
                  Click(dialog, IDC_FROM_PALETTE);
              })
        .When(kPalette,
              [&](HWND palette) {
                  // Cancel changes nothing.
                  reopenedAt = CPaletteDlg::GetPaletteIndex();
                  SendMessageW(palette, WM_JOV_IMAGE_SELECTED, 0, 40);
                  SendMessageW(palette, WM_JOV_IMAGE_SELECTED, 0, -1);
                  PostCommand(palette, IDCANCEL);
              })
        .When(kColor, [&](HWND dialog) { PostCommand(dialog, IDOK); });
    script.Start();
    EXPECT_EQ(picker.DoModal(), IDOK);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(std::vector<int>(paletteShows, paletteShows + 3), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(std::vector<int>(pickerShows, pickerShows + 3), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(reopenedAt, 5);
    EXPECT_EQ(CSelectColorDlg::GetPickedColor(), RGB(255, 0, 0));
    EXPECT_EQ(CPaletteDlg::GetPaletteIndex(), 40) << "the palette remembers its selection";
}

TEST_F(DialogsTest, TheColourSchemeEditorEditsRestoresAndAppliesASkinsColours)
{
    CRecordingSkin skin;
    for (int i = 0; i < kSkinColorCount; ++i)
        skin.stored[i] = RGB(100 + i, 0, 0);
    SetDialogSkin(&skin);
    CJOVColorsDlg editor(nullptr, CJOVString(L"Night"));
    int rows = 0, pickerRed = -1, setsBeforeApply = -1;
    COLORREF changed = 0, restored = 0;
    CDialogScript script;
    script
        .When(kColors,
              [&](HWND dialog) {
                  HWND list = GetDlgItem(dialog, IDC_SCHEME_LIST);
                  rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
                  LVITEMW state = {};
                  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                  state.state = LVIS_SELECTED | LVIS_FOCUSED;
                  SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
                  // Return on a row opens the picker, as the button does.
                  SetFocus(list);
                  PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
              })
        .When(kColor,
              [&](HWND picker) {
                  pickerRed = Number(picker, IDC_RED_EDIT);
                  TypeAndEnter(picker, IDC_GREEN_EDIT, L"77");
                  PostCommand(picker, IDOK);
              })
        .When(kColors,
              [&](HWND dialog) {
                  changed = editor.GetColor(2);
                  setsBeforeApply = skin.sets;
                  Click(dialog, IDC_SCHEME_RESTORE);
              })
        .When(kColors, [&](HWND dialog) {
            restored = editor.GetColor(2);
            PostCommand(dialog, IDC_APPLY_COMMAND);
            PostCommand(dialog, IDCANCEL);
        });
    script.Start();
    EXPECT_EQ(editor.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    SetDialogSkin(nullptr);

    EXPECT_EQ(skin.askedFor, L"Night");
    EXPECT_EQ(rows, kSkinColorCount);
    EXPECT_EQ(pickerRed, 102) << "the picker opens on the row's colour";
    EXPECT_EQ(changed, RGB(102, 77, 0));
    EXPECT_EQ(setsBeforeApply, 0) << "nothing reaches the skin before Apply";
    EXPECT_EQ(restored, RGB(2, 2, 2));
    EXPECT_EQ(skin.sets, 1);
    EXPECT_EQ(skin.stored[2], RGB(2, 2, 2));
}

TEST_F(DialogsTest, TheColourSchemeListKeepsItsBackgroundWhileShownAndFreesItItself)
{
    CBackgroundSkin skin;
    SetDialogSkin(&skin);
    CDeletedObjects deleted;
    ASSERT_TRUE(deleted.IsSet());
    HBITMAP shown = nullptr;
    DWORD typeWhileShown = 0;
    CJOVColorsDlg editor(nullptr, CJOVString(L"Night"));
    CDialogScript script;
    script.When(kColors, [&](HWND dialog) {
        std::vector<HBITMAP> made = skin.MadeFor(IDC_SCHEME_LIST);
        if (made.size() == 1) {
            shown = made[0];
            typeWhileShown = GetObjectType(shown);
        }
        PostCommand(dialog, IDCANCEL);
    });
    script.Start();
    EXPECT_EQ(editor.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Done());
    SetDialogSkin(nullptr);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(typeWhileShown, static_cast<DWORD>(OBJ_BITMAP)) << "the list draws from a deleted bitmap";
    EXPECT_FALSE(deleted.Deleted(shown)) << "the dialog deleted a background that the list owned";
    EXPECT_EQ(GetObjectType(shown), 0u) << "a background outlived its list";
}
