// The program's file chooser: open mode picks an existing file, save mode
// names a file to write. A path box of the current folder with an "up"
// button, the folder's folders and then its files (list or details view),
// a file-name box and a filter box; the left soft key opens or saves, the
// right one opens the menu. The chosen path, "Show All Files" and the view
// are kept for the next opening until the program ends.
// UI thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "contactlist/ModalDialog.h"

class CSelectFileDlg : public CModalDialog {
public:
    // filters: each followed by ";" ("*.wav;"); openMode 1 open, 0 save.
    CSelectFileDlg(HWND parent, const wchar_t* filters, int openMode);

    // Where the last OK went; the next opening starts in its folder.
    static CJOVString GetChosenPath();
    static void SetChosenPath(const CJOVString& path);
    static bool IsShowingAllFiles();
    // 0 list view, 1 details view.
    static int GetView();

    const std::wstring& GetFolder() const { return m_folder; }
    int GetFolderCount() const { return m_folderCount; }
    bool IsSaveArmed() const { return m_saveArmed; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;
    void OnChangeWindowSize() override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    void FillList();
    void AddRows(const std::wstring& pattern, bool folders);
    void FillPathBox();
    void Refill();
    void EnterFolder(const std::wstring& name);
    void UpOneLevel();
    void GoToFolder(const std::wstring& folder);
    void OkAction();
    void Save();
    void OnItemChanged(const NMLISTVIEW* change);
    void ArmSave(bool armed);
    void ApplyView();
    void SetMenuMarks();
    HMENU BarMenu() const;
    std::wstring RowName(int row) const;
    void Layout();
    void Warn(const wchar_t* text);

    HIMAGELIST m_imageList;
    int m_folderCount;
    int m_selection;
    std::wstring m_folder;
    std::wstring m_filter;
    std::wstring m_filterList;
    int m_openMode;
    bool m_saveArmed;
    bool m_returnWaiting;  // Return went down in the list; OK not yet run for it
};
