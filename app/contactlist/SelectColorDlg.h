// Picks one colour as red, green and blue: three sliders, three number boxes
// (a number past 255 counts as 255) and a preview, and a palette to choose
// from. The picked colour outlives the dialog: the caller reads it after OK.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"

class CSelectColorDlg : public CModalDialog {
public:
    CSelectColorDlg(HWND parent, COLORREF color);
    ~CSelectColorDlg() override;

    // The colour picked last (red in the low byte).
    static COLORREF GetPickedColor();

protected:
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;
    void OnInitDialog() override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    static LRESULT CALLBACK NumberBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR dialog);
    void SetControls();
    void UpdatePreview();
    // The component of a number box from its text; its slider follows.
    void TakeNumber(int boxId);
    void TakeSlider(HWND slider);
    void ChooseFromPalette();

    BYTE m_red;
    BYTE m_green;
    BYTE m_blue;
    HBRUSH m_previewBrush;
};
