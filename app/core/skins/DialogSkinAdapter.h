// The dialog framework's skin (CDialogSkin) served by the skin manager:
// start-up sets it once the manager exists and clears it before the manager
// goes. Any thread, as the manager's own operations.
#pragma once

#include "contactlist/DialogSkin.h"

namespace Skins {

class CSkinManagerImpl;

class CDialogSkinAdapter final : public CDialogSkin {
public:
    // appDir: the folder holding "Skins", with its trailing backslash.
    CDialogSkinAdapter(CSkinManagerImpl& manager, const CJOVString& appDir);

    HBRUSH GetBackgroundBrush() override;
    HBITMAP CreateBackgroundBitmap(HWND window) override;
    COLORREF GetColor(int index) override;
    bool GetSkinColors(const CJOVString& skin, COLORREF* colors) override;
    void SetSkinColors(const CJOVString& skin, const COLORREF* colors) override;
    bool ReadColorsIni(const CJOVString& skin, COLORREF* colors) override;
    unsigned int AddImage(const JOV_GUID& owner, const CJOVString& file) override;
    void ReleaseImage(unsigned int imageId) override;

private:
    CSkinManagerImpl& m_manager;
    const CJOVString m_appDir;
};

} // namespace Skins
