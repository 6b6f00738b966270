// The x-status dialog: a grid of "none" and the 35 x-status pictures, with
// the custom title and description of the one picked. It edits the caller's
// copy of the table; DoModal answers 1 with the selection and the texts in
// the copy, 2 when cancelled.
// UI thread.
#pragma once

#include "ICQModalDialog.h"
#include "JOVArray.h"
#include "XStatusesCtrl.h"
#include "packets/XStatusTable.h"

// Where the grid goes and how its cells are spaced: six pictures a row, the
// row gaps filling the width.
struct XStatusGridLayout {
    RECT rect;
    int cellWidth;
    int cellHeight;
    int horzGap;
    int vertGap;
};
// client: the dialog's client rectangle; top: the bottom of the last field.
XStatusGridLayout LayoutXStatusGrid(int dpiX, int dpiY, const RECT& client, int top);

class CXStatusesDlg : public CICQModalDialog {
public:
    CXStatusesDlg(HWND parent, XStatusTable& table, int selection, const CJOVArray<unsigned int>& images);
    ~CXStatusesDlg() override;

    int GetSelection() const { return m_selection; }
    CXStatusesCtrl* GetGrid() const { return m_grid; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;

private:
    void ShowTexts();
    // The fields into the picked x-status's row of the copy.
    void KeepTexts();

    CXStatusesCtrl* m_grid;
    int m_selection;
    XStatusTable& m_table;
    const CJOVArray<unsigned int>& m_images;
};
