#include "contactlist/DialogSkin.h"

#include <commctrl.h>

#include <atomic>

namespace {

const COLORREF kDefaultColors[kSkinColorCount] = {
    RGB(0xFF, 0xFF, 0xFF),  // account name text
    RGB(0x3A, 0x6E, 0xA5),  // account button
    RGB(0x1F, 0x45, 0x73),  // account button gradient
    RGB(0xB8, 0xC4, 0xD2),  // divider
    RGB(0x1F, 0x45, 0x73),  // group name
    RGB(0x6A, 0x7A, 0x8C),  // online counter in group
    RGB(0x00, 0x00, 0x00),  // online
    RGB(0x80, 0x80, 0x80),  // offline
    RGB(0xA0, 0x40, 0x40),  // not in list
    RGB(0xC9, 0xDD, 0xF5),  // focus
    RGB(0x8F, 0xB5, 0xE3),  // focus gradient
    RGB(0x3A, 0x6E, 0xA5),  // focus frame
    RGB(0xC0, 0x30, 0x30),  // incoming events timestamp
    RGB(0x30, 0x50, 0xA0),  // outgoing events timestamp
    RGB(0x00, 0x00, 0x00),  // message text
    RGB(0x50, 0x70, 0x50),  // custom status text
    RGB(0x31, 0x6A, 0xC5),  // highlighting
    RGB(0xFF, 0xFF, 0xFF),  // highlight text
    RGB(0x00, 0x33, 0xCC),  // link
    RGB(0xB8, 0xC4, 0xD2),  // history separator
    RGB(0x00, 0x00, 0x00),  // editing text
};

class CBuiltInSkin final : public CDialogSkin {
public:
    HBRUSH GetBackgroundBrush() override { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }
    HBITMAP CreateBackgroundBitmap(HWND) override { return nullptr; }
    COLORREF GetColor(int index) override { return DefaultSkinColor(index); }
    bool GetSkinColors(const CJOVString&, COLORREF* colors) override
    {
        for (int i = 0; i < kSkinColorCount; ++i)
            colors[i] = kDefaultColors[i];
        return true;
    }
    void SetSkinColors(const CJOVString&, const COLORREF*) override {}
    bool ReadColorsIni(const CJOVString& skin, COLORREF* colors) override { return GetSkinColors(skin, colors); }
    unsigned int AddImage(const JOV_GUID&, const CJOVString&) override { return 0; }
    void ReleaseImage(unsigned int) override {}
};

CBuiltInSkin s_builtIn;
std::atomic<CDialogSkin*> s_skin{nullptr};

} // namespace

CDialogSkin& DialogSkin()
{
    CDialogSkin* skin = s_skin.load();
    return skin ? *skin : s_builtIn;
}

void SetDialogSkin(CDialogSkin* skin)
{
    s_skin.store(skin);
}

COLORREF DefaultSkinColor(int index)
{
    return index >= 0 && index < kSkinColorCount ? kDefaultColors[index] : RGB(0, 0, 0);
}

void SetListBackground(HWND list)
{
    HBITMAP background = DialogSkin().CreateBackgroundBitmap(list);
    if (!background)
        return;
    LVBKIMAGEW image = {};
    image.ulFlags = LVBKIF_SOURCE_HBITMAP | LVBKIF_STYLE_TILE;
    image.hbm = background;
    if (!SendMessageW(list, LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
        DeleteObject(background);  // refused: still ours
}
