// The smiley chooser: a modal dialog with a grid of every smiley of the set.
// A tap or Enter on a smiley, or "OK", chooses it; the chosen index is kept
// for the next opening, which starts with it selected.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"

class CListSmailyCtrl;

class CSelectionSmailyDlg : public CModalDialog {
public:
    explicit CSelectionSmailyDlg(HWND parent);
    ~CSelectionSmailyDlg() override;

    // The smiley chosen last; 0 before any.
    static int GetChosenIndex();
    static void SetChosenIndex(int index);

    CListSmailyCtrl* GetGrid() const { return m_grid; }

protected:
    void OnInitDialog() override;
    void OnChangeWindowSize() override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    CListSmailyCtrl* m_grid;
};
