// What the dialogs and menus use of the skin besides its texts and images
// (CGuiServices): the background, the colour table and the images that
// plug-ins register. Until the skin manager is set, built-in values stand in:
// a white background, the default colours, no registered images.
// Any thread may read it; SetDialogSkin is called by start-up and shut-down.
#pragma once

#include <windows.h>

#include "JOVGuid.h"
#include "JOVString.h"

constexpr int kSkinColorCount = 21;

// Indices of the skin's colour table used here.
enum SkinColor {
    SkinColorFocus = 9,
    SkinColorFocusGradient = 10,
    SkinColorFocusFrame = 11,
};

class CDialogSkin {
public:
    // The background brush of kind 0; it belongs to the skin.
    virtual HBRUSH GetBackgroundBrush() = 0;
    // A new bitmap of the background for window, deleted by the caller; null
    // when there is none.
    virtual HBITMAP CreateBackgroundBitmap(HWND window) = 0;
    // The current skin's colour of that index (0 to 20).
    virtual COLORREF GetColor(int index) = 0;
    // A skin's 21 colours: its record, or its "icolors.ini" when it has none.
    virtual bool GetSkinColors(const CJOVString& skin, COLORREF* colors) = 0;
    virtual void SetSkinColors(const CJOVString& skin, const COLORREF* colors) = 0;
    // The skin's "icolors.ini" into colors; false when it could not be read
    // whole (the colours read before stay).
    virtual bool ReadColorsIni(const CJOVString& skin, COLORREF* colors) = 0;
    // An image file of a plug-in: its id (59 or more, 0 on failure), counted per use.
    virtual unsigned int AddImage(const JOV_GUID& owner, const CJOVString& file) = 0;
    virtual void ReleaseImage(unsigned int imageId) = 0;

protected:
    ~CDialogSkin() = default;
};

// The skin set last, or the built-in stand-in.
CDialogSkin& DialogSkin();
// Null goes back to the stand-in.
void SetDialogSkin(CDialogSkin* skin);
// The built-in colour table.
COLORREF DefaultSkinColor(int index);
// The skin's background tiled under a list view. A list that takes the bitmap
// owns it, and frees it with itself or the next one.
void SetListBackground(HWND list);
