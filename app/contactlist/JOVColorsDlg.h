// Edits the 21 colours of one skin: a list of swatches with their names,
// "Restore defaults" (the skin's "icolors.ini") and "Change selected..." (or
// Return), which opens the colour picker. Nothing changes in the skin until
// "Apply" or OK.
// UI thread.
#pragma once

#include "contactlist/DialogSkin.h"
#include "contactlist/ModalDialog.h"

class CJOVColorsDlg : public CModalDialog {
public:
    CJOVColorsDlg(HWND parent, const CJOVString& skin);
    ~CJOVColorsDlg() override;

    COLORREF GetColor(int index) const { return index >= 0 && index < kSkinColorCount ? m_colors[index] : 0; }

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;
    void OnInitDialog() override;

private:
    void DrawItem(DRAWITEMSTRUCT* draw);
    void ChangeSelected();
    void RestoreDefaults();

    CJOVString m_skin;
    COLORREF m_colors[kSkinColorCount];
};
