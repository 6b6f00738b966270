// The font dialog: a face, a size from a fixed list and the four styles,
// with a live preview. One LOGFONTW serves every opening: the constructor
// copies the caller's font in, and after OK the caller takes the result.
// UI thread.
#pragma once

#include "contactlist/ModalDialog.h"

class CFontDlg : public CModalDialog {
public:
    CFontDlg(HWND parent, const LOGFONTW& font);
    ~CFontDlg() override;

    // The font being edited, and after OK the chosen one; heights unscaled.
    static const LOGFONTW& GetFont();
    static const int kSizes[];
    static const int kSizeCount;

    HFONT GetPreviewFont() const { return m_previewFont; }

protected:
    void OnInitDialog() override;
    INT_PTR DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    int DoDataExchange(int save) override;
    int GetSoftKeyCap(int index, CJOVString& caption) override;

private:
    static int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM dialog);
    void FillFaces();
    void FillSizes();
    // The controls' choice over a copy of the shared font.
    LOGFONTW ChosenFont() const;
    void UpdatePreview();

    HFONT m_previewFont;
};
