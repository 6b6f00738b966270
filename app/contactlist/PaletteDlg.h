// The palette: a grid of 128 fixed colours and the red, green and blue of
// the selected one. It opens on the cell chosen last.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"
#include "contactlist/PaletteCtrl.h"

class CPaletteDlg : public CModalDialog {
public:
    explicit CPaletteDlg(HWND parent);
    ~CPaletteDlg() override;

    // The colour of the cell chosen last, 0xFFFFFFFF when none.
    static COLORREF GetSelectedColor();
    // The cell chosen last (kept between openings).
    static int GetPaletteIndex();
    static void SetPaletteIndex(int index);

    CPaletteCtrl* GetGrid() const { return m_grid; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    void ShowSelectedColor();

    CPaletteCtrl* m_grid;
};
