// The file picker over a folder tree of its own: what it lists and in which
// order, moving through the folders, the values kept between openings,
// saving (the filter's extension, names it refuses, replacing a file only
// after asking), and Return on a row.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "MenuBar.h"
#include "contactlist/FilePickerPaths.h"
#include "contactlist/PreferencesIds.h"
#include "contactlist/SelectFileDlg.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "dialogs/TestFiles.h"
#include "support/SoftKeyText.h"

namespace {

const wchar_t kPicker[] = L"Select file";

std::vector<std::wstring> Rows(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    std::vector<std::wstring> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        rows.push_back(text);
    }
    return rows;
}

std::wstring Cell(HWND dialog, int row, int column)
{
    wchar_t text[MAX_PATH] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    SendDlgItemMessageW(dialog, IDC_FILE_LIST, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&item));
    return text;
}

void Select(HWND dialog, int row)
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(dialog, IDC_FILE_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&state));
}

std::wstring Text(HWND dialog, int id)
{
    wchar_t text[MAX_PATH + 1] = {};
    GetDlgItemTextW(dialog, id, text, MAX_PATH + 1);
    return text;
}

std::wstring LeftKey(HWND dialog)
{
    return SoftKeyText(SHFindMenuBar(dialog), IDM_FILE_OK);
}

bool MenuChecked(HWND dialog, UINT command)
{
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(SHFindMenuBar(dialog), SHCMBM_GETMENU, 0, 0));
    return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::vector<std::wstring> PathBox(HWND dialog)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendDlgItemMessageW(dialog, IDC_FILE_FOLDER, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        SendDlgItemMessageW(dialog, IDC_FILE_FOLDER, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

void ChooseEntry(HWND dialog, int index)
{
    SendDlgItemMessageW(dialog, IDC_FILE_FOLDER, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILE_FOLDER, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_FILE_FOLDER)));
}

bool ListIsDetails(HWND dialog)
{
    return (GetWindowLongPtrW(GetDlgItem(dialog, IDC_FILE_LIST), GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
}

// Counts how often its values are stored: once for each OK that ran.
class CCountingPicker : public CSelectFileDlg {
public:
    using CSelectFileDlg::CSelectFileDlg;
    int stores = 0;

protected:
    int DoDataExchange(int direction) override
    {
        stores += direction == 1 ? 1 : 0;
        return CSelectFileDlg::DoDataExchange(direction);
    }
};

// Return pressed in the list, as the keyboard's key reaches it.
void PressReturn(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
    SetFocus(list);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(list, WM_KEYUP, VK_RETURN, 0xC0000001);
}

class SelectFileDlgTest : public DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        tree.MakeFolder(L"alpha");
        tree.MakeFolder(L"Beta");
        tree.MakeFolder(L"hid");
        SetFileAttributesW(tree.Path(L"hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
        tree.Write(L"a.wav", std::string(1025, 'a'));
        tree.Write(L"B.wav", "b");
        tree.Write(L"c.txt", "c");
        tree.Write(L"h.wav", "h", FILE_ATTRIBUTE_HIDDEN);
        CSelectFileDlg::SetChosenPath(tree.Jov(L"earlier.wav"));
    }

    // Runs a picker with the steps (each gets the picker's window); a step
    // titled other than the picker waits for that window instead.
    int Run(CSelectFileDlg& picker, const std::vector<std::pair<std::wstring, std::function<void(HWND)>>>& steps)
    {
        CDialogScript script;
        for (const auto& step : steps)
            script.When(step.first, step.second);
        script.Start();
        const int result = picker.DoModal();
        EXPECT_TRUE(script.Done());
        EXPECT_FALSE(script.GaveUp());
        return result;
    }

    CTestTree tree;
};

} // namespace

TEST_F(SelectFileDlgTest, OpenListsFoldersFirstThenTheFilteredFilesByCodeUnits)
{
    CSelectFileDlg picker(nullptr, L"*.wav;", 1);
    std::vector<std::wstring> rows, pathBox, inAlpha;
    std::wstring key, nameForFile, nameForFolder, folderInAlpha;
    int folders = -1;
    bool upEnabled = false;
    const int result =
        Run(picker, {{kPicker,
                      [&](HWND dialog) {
                          rows = Rows(dialog);
                          folders = picker.GetFolderCount();
                          key = LeftKey(dialog);
                          pathBox = PathBox(dialog);
                          upEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_FILE_UP)) != FALSE;
                          Select(dialog, 3);
                          nameForFile = Text(dialog, IDC_FILE_NAME);
                          Select(dialog, 1);
                          nameForFolder = Text(dialog, IDC_FILE_NAME);
                          PostCommand(dialog, IDM_FILE_OK);
                      }},
                     {kPicker,
                      [&](HWND dialog) {
                          folderInAlpha = picker.GetFolder();
                          inAlpha = Rows(dialog);
                          Click(dialog, IDC_FILE_UP);
                      }},
                     {kPicker, [&](HWND dialog) {
                          Select(dialog, 3);
                          PostCommand(dialog, IDM_FILE_OK);
                      }}});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"Beta", L"alpha", L"B.wav", L"a.wav"})) << "no hidden, no .txt";
    EXPECT_EQ(folders, 2);
    EXPECT_EQ(key, L"Open");
    ASSERT_GE(pathBox.size(), 2u);
    EXPECT_EQ(pathBox.front(), L"\\");
    const std::wstring folder = tree.Folder();
    const size_t nameStart = folder.rfind(L'\\', folder.size() - 2) + 1;
    EXPECT_EQ(pathBox.back(),
              std::wstring(2 * (pathBox.size() - 1), L' ') + folder.substr(nameStart, folder.size() - 1 - nameStart));
    EXPECT_TRUE(upEnabled);
    EXPECT_EQ(nameForFile, L"a.wav");
    EXPECT_EQ(nameForFolder, L"") << "open mode: a folder names no file";
    EXPECT_EQ(folderInAlpha, tree.Path(L"alpha\\"));
    EXPECT_TRUE(inAlpha.empty());
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"a.wav"));
}

TEST_F(SelectFileDlgTest, ShowAllFilesAndTheDetailsViewAreKeptForTheNextOpening)
{
    std::vector<std::wstring> rows;
    std::wstring size, folderSize;
    bool details = false, checked = false;
    CSelectFileDlg first(nullptr, L"*.wav;", 1);
    Run(first, {{kPicker, [&](HWND dialog) {
                     PostCommand(dialog, IDM_FILE_SHOW_ALL);
                     PostCommand(dialog, IDM_FILE_DETAILS_VIEW);
                 }},
                {kPicker, [&](HWND dialog) {
                     rows = Rows(dialog);
                     size = Cell(dialog, 4, 1);
                     folderSize = Cell(dialog, 0, 1);
                     details = ListIsDetails(dialog);
                     PostCommand(dialog, IDCANCEL);
                 }}});
    EXPECT_EQ(rows, (std::vector<std::wstring>{L"Beta", L"alpha", L"hid", L"B.wav", L"a.wav", L"h.wav"}));
    EXPECT_EQ(size, L"1.00K");
    EXPECT_EQ(folderSize, L"") << "folders show no size";
    EXPECT_TRUE(details);

    CSelectFileDlg second(nullptr, L"*.wav;", 1);
    Run(second, {{kPicker, [&](HWND dialog) {
                      rows = Rows(dialog);
                      details = ListIsDetails(dialog);
                      checked = MenuChecked(dialog, IDM_FILE_SHOW_ALL) && MenuChecked(dialog, IDM_FILE_DETAILS_VIEW) &&
                                !MenuChecked(dialog, IDM_FILE_LIST_VIEW);
                      PostCommand(dialog, IDM_FILE_SHOW_ALL);
                      PostCommand(dialog, IDM_FILE_LIST_VIEW);
                  }},
                 {kPicker, [&](HWND dialog) {
                      PostCommand(dialog, IDCANCEL);
                  }}});
    EXPECT_EQ(rows.size(), 6u);
    EXPECT_TRUE(details);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(CSelectFileDlg::IsShowingAllFiles());
    EXPECT_EQ(CSelectFileDlg::GetView(), 0);
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"earlier.wav")) << "Cancel keeps the last choice";
}

TEST_F(SelectFileDlgTest, ThePathBoxAndTheUpButtonClimbToTheRootAndStopThere)
{
    CSelectFileDlg::SetChosenPath(tree.Jov(L"alpha\\x.wav"));
    CSelectFileDlg picker(nullptr, L"*.wav;", 1);
    std::wstring afterEntry, atRoot, afterUp;
    size_t entries = 0, entriesAtRoot = 0;
    bool upAtRoot = true;
    Run(picker, {{kPicker,
                  [&](HWND dialog) {
                      entries = PathBox(dialog).size();
                      ChooseEntry(dialog, static_cast<int>(entries) - 2);
                      afterEntry = picker.GetFolder();
                      ChooseEntry(dialog, 0);
                      atRoot = picker.GetFolder();
                      entriesAtRoot = PathBox(dialog).size();
                      upAtRoot = IsWindowEnabled(GetDlgItem(dialog, IDC_FILE_UP)) != FALSE;
                      PostCommand(dialog, IDM_FILE_UP);
                  }},
                 {kPicker, [&](HWND dialog) {
                      afterUp = picker.GetFolder();
                      PostCommand(dialog, IDCANCEL);
                  }}});
    EXPECT_EQ(afterEntry, tree.Folder());
    EXPECT_EQ(atRoot, tree.Folder().substr(0, 3));
    EXPECT_EQ(entriesAtRoot, 1u);
    EXPECT_FALSE(upAtRoot);
    EXPECT_EQ(afterUp, atRoot) << "no level above the root";
}

TEST_F(SelectFileDlgTest, AFolderThatIsGoneOpensAtTheRootOfTheProgramsDrive)
{
    CSelectFileDlg::SetChosenPath(tree.Jov(L"gone\\x.wav"));
    CSelectFileDlg picker(nullptr, L"*.wav;", 1);
    std::wstring folder;
    Run(picker, {{kPicker, [&](HWND dialog) {
                      folder = picker.GetFolder();
                      PostCommand(dialog, IDCANCEL);
                  }}});
    CJOVString app = GetAppDir();
    EXPECT_EQ(folder, RootOf(Str(app)));
}

TEST_F(SelectFileDlgTest, SaveAddsTheFiltersExtensionAndRefusesAWildcard)
{
    CSelectFileDlg picker(nullptr, L"*.txt;", 0);
    std::wstring shown, key, warning;
    const int result = Run(picker, {{kPicker,
                                     [&](HWND dialog) {
                                         shown = Text(dialog, IDC_FILE_NAME);
                                         key = LeftKey(dialog);
                                         PostCommand(dialog, IDM_FILE_OK);
                                     }},
                                    {L"Warning",
                                     [&](HWND box) {
                                         warning = CDialogScript::MessageText(box);
                                         PostMessageW(box, WM_COMMAND, IDOK, 0);
                                     }},
                                    {kPicker, [&](HWND dialog) {
                                         SetDlgItemTextW(dialog, IDC_FILE_NAME, L"log");
                                         PostCommand(dialog, IDM_FILE_OK);
                                     }}});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shown, L"*.txt");
    EXPECT_EQ(key, L"Save");
    EXPECT_NE(warning.find(L"*"), std::wstring::npos);
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"log.txt"));

    CSelectFileDlg again(nullptr, L"*.txt;", 0);
    Run(again, {{kPicker, [&](HWND dialog) {
                     SetDlgItemTextW(dialog, IDC_FILE_NAME, L"log.txt");
                     PostCommand(dialog, IDM_FILE_OK);
                 }}});
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"log.txt")) << "no second extension";
}

TEST_F(SelectFileDlgTest, SaveAsksBeforeReplacingAFile)
{
    CSelectFileDlg picker(nullptr, L"*.txt;", 0);
    std::wstring question;
    bool openAfterNo = false;
    const int result = Run(picker, {{kPicker,
                                     [&](HWND dialog) {
                                         SetDlgItemTextW(dialog, IDC_FILE_NAME, L"c");
                                         PostCommand(dialog, IDM_FILE_OK);
                                     }},
                                    {L"Save",
                                     [&](HWND box) {
                                         question = CDialogScript::MessageText(box);
                                         PostMessageW(box, WM_COMMAND, IDNO, 0);
                                     }},
                                    {kPicker,
                                     [&](HWND dialog) {
                                         openAfterNo = true;
                                         PostCommand(dialog, IDM_FILE_OK);
                                     }},
                                    {L"Save", [&](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); }}});
    EXPECT_EQ(result, IDOK);
    EXPECT_NE(question.find(L"c.txt"), std::wstring::npos);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"c.txt"));
}

TEST_F(SelectFileDlgTest, SaveOpensAChosenFolderAndSavesInIt)
{
    CSelectFileDlg picker(nullptr, L"*.txt;", 0);
    std::wstring keyOnFolder, keyInside;
    bool armedOnFolder = true;
    const int result = Run(picker, {{kPicker,
                                     [&](HWND dialog) {
                                         Select(dialog, 1);  // "alpha"
                                         keyOnFolder = LeftKey(dialog);
                                         armedOnFolder = picker.IsSaveArmed();
                                         PostCommand(dialog, IDM_FILE_OK);
                                     }},
                                    {kPicker, [&](HWND dialog) {
                                         keyInside = LeftKey(dialog);
                                         SetDlgItemTextW(dialog, IDC_FILE_NAME, L"notes");
                                         PostCommand(dialog, IDM_FILE_OK);
                                     }}});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(keyOnFolder, L"Open");
    EXPECT_FALSE(armedOnFolder);
    EXPECT_EQ(keyInside, L"Save");
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"alpha\\notes.txt"));
}

TEST_F(SelectFileDlgTest, APathTooLongForTheFileFunctionsIsRefused)
{
    // The deepest folder the file functions make, then a name past 259 characters.
    const std::wstring longName(MAX_PATH - 12 - tree.Folder().size(), L'l');
    ASSERT_TRUE(tree.MakeFolder(longName));
    CSelectFileDlg::SetChosenPath(tree.Jov(longName + L"\\x.txt"));
    CSelectFileDlg picker(nullptr, L"*.txt;", 0);
    std::wstring warning;
    Run(picker, {{kPicker,
                  [&](HWND dialog) {
                      SetDlgItemTextW(dialog, IDC_FILE_NAME, L"a-name-that-does-not-fit");
                      PostCommand(dialog, IDM_FILE_OK);
                  }},
                 {L"Warning",
                  [&](HWND box) {
                      warning = CDialogScript::MessageText(box);
                      PostMessageW(box, WM_COMMAND, IDOK, 0);
                  }},
                 {kPicker, [&](HWND dialog) { PostCommand(dialog, IDCANCEL); }}});
    EXPECT_NE(warning.find(L"too long"), std::wstring::npos);
}

TEST_F(SelectFileDlgTest, ReturnOnAFileRowRunsOkOnce)
{
    CCountingPicker open(nullptr, L"*.wav;", 1);
    std::wstring row;
    int result = Run(open, {{kPicker, [&](HWND dialog) {
                                 row = Rows(dialog)[static_cast<size_t>(open.GetFolderCount())];
                                 Select(dialog, open.GetFolderCount());
                                 PressReturn(dialog);
                             }}});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(open.stores, 1) << "OK ran more than once";
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(row));

    // Saving over that file asks once, whatever the list tells of the key.
    CSelectFileDlg::SetChosenPath(tree.Jov(L"earlier.txt"));
    CCountingPicker save(nullptr, L"*.txt;", 0);
    int questions = 0;
    CDialogScript script;
    script
        .When(kPicker,
              [&](HWND dialog) {
                  Select(dialog, save.GetFolderCount());  // c.txt
                  PressReturn(dialog);
              })
        .When(L"Save",
              [&](HWND box) {
                  ++questions;
                  PostMessageW(box, WM_COMMAND, IDYES, 0);
              })
        .When(L"Save", [&](HWND box) {
            ++questions;
            PostMessageW(box, WM_COMMAND, IDYES, 0);
        });
    script.Start();
    result = save.DoModal();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(questions, 1) << "the question came twice";
    EXPECT_EQ(save.stores, 1);
    EXPECT_EQ(Str(CSelectFileDlg::GetChosenPath()), tree.Path(L"c.txt"));

    // A list that tells only of the key, activating nothing: Return still opens.
    CSelectFileDlg::SetChosenPath(tree.Jov(L"earlier.wav"));
    CCountingPicker keyOnly(nullptr, L"*.wav;", 1);
    result = Run(keyOnly, {{kPicker, [&](HWND dialog) {
                                Select(dialog, keyOnly.GetFolderCount());
                                NMLVKEYDOWN key = {};
                                key.hdr.hwndFrom = GetDlgItem(dialog, IDC_FILE_LIST);
                                key.hdr.idFrom = IDC_FILE_LIST;
                                key.hdr.code = LVN_KEYDOWN;
                                key.wVKey = VK_RETURN;
                                SendMessageW(dialog, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&key));
                            }}});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(keyOnly.stores, 1);
}
