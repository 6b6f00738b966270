#include "contactlist/SelectFileDlg.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "HiDpi.h"
#include "MenuBar.h"
#include "contactlist/ControlText.h"
#include "contactlist/FilePickerPaths.h"
#include "contactlist/PreferencesIds.h"

namespace {

std::wstring s_chosenPath;
bool s_showAll = false;
int s_view = 0;

// Return pressed in the list, handled once the key's own notifications are through.
const UINT kMsgReturnInList = WM_APP + 1;

const int kNameWidth = 120;
const int kSizeWidth = 55;
const int kDateWidth = 100;

std::wstring ProgramFolder()
{
    CJOVString folder = GetAppDir();
    return std::wstring(folder.Data() ? folder.Data() : L"", static_cast<size_t>(folder.GetLength()));
}

std::wstring Root()
{
    return RootOf(ProgramFolder());
}

bool FolderExists(const std::wstring& folder)
{
    if (folder.size() <= RootLength(folder))
        return true;
    const DWORD attributes = GetFileAttributesW(folder.substr(0, folder.size() - 1).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ItemString(HWND dialog, int id)
{
    wchar_t text[kMaxPathChars + 1] = {};
    GetDlgItemTextW(dialog, id, text, static_cast<int>(kMaxPathChars + 1));
    return text;
}

struct Entry {
    std::wstring name;
    unsigned long size;
    FILETIME written;
};

std::wstring DateText(const FILETIME& written)
{
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time))
        return std::wstring();
    return FileDateText(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute);
}

void SetSubItem(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AddColumn(HWND list, int index, int textId, const wchar_t* english, int width, int format)
{
    CJOVString title = LangText(textId, english);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.pszText = title;
    column.cx = HIDPI_ScaleX(width);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

} // namespace

CSelectFileDlg::CSelectFileDlg(HWND parent, const wchar_t* filters, int openMode)
    : CModalDialog(parent, IDD_SELECT_FILE, IDR_SELECT_FILE_BAR, 1), m_imageList(nullptr), m_folderCount(-1),
      m_selection(-1), m_filterList(filters ? filters : L""), m_openMode(openMode), m_saveArmed(false),
      m_returnWaiting(false)
{
}

CJOVString CSelectFileDlg::GetChosenPath()
{
    return CJOVString(s_chosenPath.c_str());
}

void CSelectFileDlg::SetChosenPath(const CJOVString& path)
{
    s_chosenPath.assign(path.Data() ? path.Data() : L"", static_cast<size_t>(path.GetLength()));
    if (s_chosenPath.size() >= kMaxPathChars)
        s_chosenPath.clear();
}

bool CSelectFileDlg::IsShowingAllFiles()
{
    return s_showAll;
}

int CSelectFileDlg::GetView()
{
    return s_view;
}

void CSelectFileDlg::OnInitDialog()
{
    CModalDialog::OnInitDialog();
    SHDoneButton(m_hDlg, SHDB_SHOWCANCEL);
    HIDPI_InitScaling();

    for (const std::wstring& filter : SplitFilters(m_filterList))
        SendDlgItemMessageW(m_hDlg, IDC_FILE_FILTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(filter.c_str()));
    if (SendDlgItemMessageW(m_hDlg, IDC_FILE_FILTER, CB_GETCOUNT, 0, 0) > 0) {
        SendDlgItemMessageW(m_hDlg, IDC_FILE_FILTER, CB_SETCURSEL, 0, 0);
        m_filter = SplitFilters(m_filterList)[0];
    }

    HWND list = GetDlgItem(m_hDlg, IDC_FILE_LIST);
    ApplyView();
    SHFILEINFOW info = {};
    m_imageList = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        L"dummy.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
        SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (m_imageList)
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_imageList));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(list, 0, 188, L"Name", kNameWidth, LVCFMT_LEFT);
    AddColumn(list, 1, 189, L"Size", kSizeWidth, LVCFMT_RIGHT);
    AddColumn(list, 2, 190, L"Date", kDateWidth, LVCFMT_LEFT);
    WantReturnKey(list);

    m_folder = NormalizeFolder(FolderOf(s_chosenPath), ProgramFolder());
    if (m_folder.empty())
        m_folder = Root();
    Refill();

    HWND name = GetDlgItem(m_hDlg, IDC_FILE_NAME);
    if (m_openMode == 0) {
        SendMessageW(name, EM_SETREADONLY, FALSE, 0);
        SetWindowTextW(name, m_filter.c_str());
        SetFocus(name);
        ArmSave(true);
    } else {
        SetWindowTextW(name, L"");
    }

    HMENU menu = BarMenu();
    SetMenuItemTextFromLang(menu, IDM_FILE_OK, 179, L"Open");
    SetMenuItemTextFromLang(menu, IDM_FILE_UP, 192, L"Up One Level");
    SetMenuItemTextFromLang(menu, IDM_FILE_REFRESH, 193, L"Refresh");
    SetMenuItemTextFromLang(menu, IDM_FILE_SHOW_ALL, 194, L"Show All Files");
    SetMenuItemTextFromLang(menu, IDM_FILE_LIST_VIEW, 195, L"List View");
    SetMenuItemTextFromLang(menu, IDM_FILE_DETAILS_VIEW, 196, L"Details View");
    SetMenuItemTextFromLang(menu, IDCANCEL, 174, L"Cancel");
    if (m_openMode == 0)
        SetMenuItemText(menu, IDM_FILE_OK, LangText(191, L"Save"));
    SetMenuMarks();
    Layout();
}

int CSelectFileDlg::GetSoftKeyCap(int index, CJOVString& caption)
{
    if (index == 0)
        caption = m_openMode == 0 && m_saveArmed ? LangText(191, L"Save") : LangText(179, L"Open");
    else if (index == 1)
        caption = LangText(176, L"Menu");
    else
        return 0;
    return 1;
}

HMENU CSelectFileDlg::BarMenu() const
{
    return m_hMenuBar ? reinterpret_cast<HMENU>(SendMessageW(m_hMenuBar, SHCMBM_GETMENU, 0, 0)) : nullptr;
}

void CSelectFileDlg::SetMenuMarks()
{
    HMENU menu = BarMenu();
    if (!menu)
        return;
    CheckMenuItem(menu, IDM_FILE_SHOW_ALL, MF_BYCOMMAND | (s_showAll ? MF_CHECKED : MF_UNCHECKED));
    HMENU keyMenu = reinterpret_cast<HMENU>(SendMessageW(m_hMenuBar, SHCMBM_GETSUBMENU, 0, IDM_FILE_MENU));
    if (keyMenu)
        CheckMenuRadioItem(keyMenu, IDM_FILE_LIST_VIEW, IDM_FILE_DETAILS_VIEW,
                           s_view ? IDM_FILE_DETAILS_VIEW : IDM_FILE_LIST_VIEW, MF_BYCOMMAND);
}

void CSelectFileDlg::ApplyView()
{
    HWND list = GetDlgItem(m_hDlg, IDC_FILE_LIST);
    LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_TYPEMASK);
    SetWindowLongPtrW(list, GWL_STYLE, style | (s_view ? LVS_REPORT : LVS_LIST));
}

void CSelectFileDlg::ArmSave(bool armed)
{
    if (m_openMode != 0)
        return;
    m_saveArmed = armed;
    CJOVString text = armed ? LangText(191, L"Save") : LangText(179, L"Open");
    if (m_hMenuBar)
        SetToolbarButtonText(m_hMenuBar, IDM_FILE_OK, text);
    SetMenuItemText(BarMenu(), IDM_FILE_OK, text);
}

void CSelectFileDlg::AddRows(const std::wstring& pattern, bool folders)
{
    std::vector<Entry> entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
            const std::wstring name = found.cFileName;
            if (folder != folders || (hidden && !s_showAll) || name == L"." || name == L"..")
                continue;
            entries.push_back({name, found.nFileSizeLow, found.ftLastWriteTime});
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return NameBefore(a.name, b.name); });

    HWND list = GetDlgItem(m_hDlg, IDC_FILE_LIST);
    for (const Entry& entry : entries) {
        SHFILEINFOW info = {};
        SHGetFileInfoW((m_folder + entry.name).c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<wchar_t*>(entry.name.c_str());
        item.iImage = info.iIcon;
        const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (row < 0)
            continue;
        if (!folders)
            SetSubItem(list, row, 1, FileSizeText(entry.size));
        SetSubItem(list, row, 2, DateText(entry.written));
    }
}

void CSelectFileDlg::FillList()
{
    m_folderCount = -1;
    m_selection = -1;
    if (m_openMode != 0)
        SetDlgItemTextW(m_hDlg, IDC_FILE_NAME, L"");
    HWND list = GetDlgItem(m_hDlg, IDC_FILE_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    if (!FolderExists(m_folder))
        m_folder = Root();

    AddRows(m_folder + L"*", true);
    const int folders = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    AddRows(m_folder + (m_filter.empty() ? std::wstring(L"*.*") : m_filter), false);
    m_folderCount = folders;
}

void CSelectFileDlg::FillPathBox()
{
    HWND box = GetDlgItem(m_hDlg, IDC_FILE_FOLDER);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : PathBoxEntries(m_folder))
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
    EnableWindow(GetDlgItem(m_hDlg, IDC_FILE_UP), count >= 2);
}

void CSelectFileDlg::Refill()
{
    FillList();
    FillPathBox();
}

void CSelectFileDlg::GoToFolder(const std::wstring& folder)
{
    m_folder = folder;
    Refill();
    ArmSave(true);
}

void CSelectFileDlg::EnterFolder(const std::wstring& name)
{
    std::wstring folder;
    // A folder whose path would not fit is not entered.
    if (!ChildFolder(m_folder, name, &folder)) {
        Warn(LangText(211, L"The folder's path is too long."));
        return;
    }
    GoToFolder(folder);
}

void CSelectFileDlg::UpOneLevel()
{
    const LRESULT entries = SendDlgItemMessageW(m_hDlg, IDC_FILE_FOLDER, CB_GETCOUNT, 0, 0);
    if (entries == CB_ERR || entries == 1)
        return;
    GoToFolder(ParentFolder(m_folder));
}

std::wstring CSelectFileDlg::RowName(int row) const
{
    wchar_t text[kMaxPathChars + 1] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = static_cast<int>(kMaxPathChars + 1);
    SendDlgItemMessageW(m_hDlg, IDC_FILE_LIST, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&item));
    return text;
}

void CSelectFileDlg::Warn(const wchar_t* text)
{
    MessageBoxW(m_hDlg, text, LangText(170, L"Warning"), MB_OK | MB_ICONEXCLAMATION);
}

void CSelectFileDlg::Save()
{
    std::wstring name = ItemString(m_hDlg, IDC_FILE_NAME);
    if (name.empty())
        return;
    if (!m_filter.empty())
        name = NameWithExtension(name, m_filter);
    // The box shows the filter at first: "*.txt" is no name to write to.
    if (!IsValidFileName(name)) {
        Warn(LangText(214, L"A file name cannot hold any of the characters \\ / : * ? \" < > |"));
        return;
    }
    std::wstring path;
    if (!JoinFileName(m_folder, name, &path)) {
        Warn(LangText(212, L"The file's path is too long."));
        return;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            Warn(LangText(213, L"A folder of that name exists."));
            return;
        }
        CJOVString question =
            LangTextWith(215, L"%s already exists.\nDo you want to replace it?", CJOVString(name.c_str()));
        if (MessageBoxW(m_hDlg, question, LangText(191, L"Save"), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) !=
            IDYES)
            return;
    }
    s_chosenPath = path;
    EndDialog(IDOK);
}

void CSelectFileDlg::OkAction()
{
    const bool folderRow = m_selection >= 0 && m_selection < m_folderCount;
    if (m_openMode == 0) {
        if (m_saveArmed)
            Save();
        else if (folderRow)
            EnterFolder(RowName(m_selection));
        else
            ArmSave(true);
        return;
    }
    if (m_selection < 0)
        return;
    if (folderRow) {
        EnterFolder(RowName(m_selection));
        return;
    }
    std::wstring path;
    if (!JoinFileName(m_folder, RowName(m_selection), &path)) {
        Warn(LangText(212, L"The file's path is too long."));
        return;
    }
    s_chosenPath = path;
    EndDialog(IDOK);
}

void CSelectFileDlg::OnItemChanged(const NMLISTVIEW* change)
{
    if (m_folderCount < 0 || !(change->uChanged & LVIF_STATE))
        return;
    const bool was = (change->uOldState & LVIS_SELECTED) != 0;
    const bool is = (change->uNewState & LVIS_SELECTED) != 0;
    if (is && !was) {
        m_selection = change->iItem;
        if (change->iItem >= m_folderCount) {
            SetDlgItemTextW(m_hDlg, IDC_FILE_NAME, RowName(change->iItem).c_str());
            ArmSave(true);
        } else {
            ArmSave(false);
            if (m_openMode != 0)
                SetDlgItemTextW(m_hDlg, IDC_FILE_NAME, L"");
        }
    } else if (was && !is) {
        if (m_selection == change->iItem)
            m_selection = -1;
        ArmSave(true);
    }
}

void CSelectFileDlg::Layout()
{
    RECT client;
    GetClientRect(m_hDlg, &client);
    HWND list = GetDlgItem(m_hDlg, IDC_FILE_LIST);
    HWND name = GetDlgItem(m_hDlg, IDC_FILE_NAME);
    HWND filter = GetDlgItem(m_hDlg, IDC_FILE_FILTER);
    RECT listRect, nameRect, filterRect;
    GetWindowRect(list, &listRect);
    GetWindowRect(name, &nameRect);
    GetWindowRect(filter, &filterRect);
    MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&listRect), 2);
    MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&nameRect), 2);
    MapWindowPoints(nullptr, m_hDlg, reinterpret_cast<POINT*>(&filterRect), 2);
    // The template fits the smallest screen; the list takes what is left below.
    const int margin = listRect.left;
    const int gap = nameRect.top - listRect.bottom;
    const int filterHeight = filterRect.bottom - filterRect.top;
    const int nameHeight = nameRect.bottom - nameRect.top;
    const int width = client.right - 2 * margin;
    const int filterTop = client.bottom - margin - filterHeight;
    const int nameTop = filterTop - gap - nameHeight;
    const int listBottom = nameTop - gap;
    if (listBottom <= listRect.top || width <= 0)
        return;
    SetWindowPos(list, nullptr, margin, listRect.top, width, listBottom - listRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(name, nullptr, margin, nameTop, width, nameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(filter, nullptr, margin, filterTop, width, filterHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSelectFileDlg::OnChangeWindowSize()
{
    Layout();
}

INT_PTR CSelectFileDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->idFrom == IDC_FILE_LIST) {
            if (header->code == LVN_ITEMCHANGED) {
                OnItemChanged(reinterpret_cast<const NMLISTVIEW*>(lParam));
            } else if (header->code == LVN_ITEMACTIVATE) {
                m_returnWaiting = false;
                OkAction();
            } else if (header->code == LVN_KEYDOWN &&
                       reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_RETURN) {
                // The list may activate the row for the same key: OK runs
                // then, once; a list that does not leaves it to this.
                m_returnWaiting = true;
                PostMessageW(dialog, kMsgReturnInList, 0, 0);
            }
            return 0;
        }
    }
    if (message == kMsgReturnInList) {
        if (m_returnWaiting) {
            m_returnWaiting = false;
            OkAction();
        }
        return 1;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        switch (id) {
        case IDOK:
        case IDM_FILE_OK:
            OkAction();
            return 1;
        case IDC_FILE_UP:
            if (code == BN_CLICKED)
                UpOneLevel();
            return 1;
        case IDM_FILE_UP:
            UpOneLevel();
            return 1;
        case IDM_FILE_REFRESH:
            Refill();
            return 1;
        case IDM_FILE_SHOW_ALL:
            s_showAll = !s_showAll;
            SetMenuMarks();
            FillList();
            return 1;
        case IDM_FILE_LIST_VIEW:
        case IDM_FILE_DETAILS_VIEW:
            s_view = id == IDM_FILE_DETAILS_VIEW ? 1 : 0;
            SetMenuMarks();
            ApplyView();
            return 1;
        case IDC_FILE_FOLDER:
            if (code == CBN_SELCHANGE) {
                const LRESULT entry = SendDlgItemMessageW(dialog, IDC_FILE_FOLDER, CB_GETCURSEL, 0, 0);
                if (entry != CB_ERR) {
                    m_folder = FolderAtEntry(m_folder, static_cast<int>(entry));
                    Refill();
                }
            }
            return 1;
        case IDC_FILE_FILTER:
            if (code == CBN_SELCHANGE) {
                const LRESULT entry = SendDlgItemMessageW(dialog, IDC_FILE_FILTER, CB_GETCURSEL, 0, 0);
                std::vector<std::wstring> filters = SplitFilters(m_filterList);
                if (entry >= 0 && static_cast<size_t>(entry) < filters.size()) {
                    m_filter = filters[static_cast<size_t>(entry)];
                    FillList();
                }
            }
            return 1;
        case IDC_FILE_NAME:
            // Typing a name after choosing a folder saves under that name.
            if (code == EN_SETFOCUS)
                ArmSave(true);
            return 1;
        }
    }
    return CModalDialog::DialogProc(dialog, message, wParam, lParam);
}
