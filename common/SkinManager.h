// The image service of the plug-ins, served on the bus under GUID_SkinManager.
// A plug-in registers its image files under its protocol identifier and names
// them afterwards by the id it gets back; the files lie in the plug-in
// library's own folder. Ids below kSkinImageCount are the skin's own images.
// Any thread may call any operation.
#pragma once

#include <windows.h>

#include "JOVDrawContext.h"
#include "JOVGuid.h"
#include "JOVString.h"

namespace Skins {

// Ids 0 ... 58 are the skin's fixed images; plug-in images follow.
constexpr unsigned int kSkinImageCount = 59;

// The operations, in this order, are the interface; nobody deletes the
// manager through it.
class CSkinManager {
public:
    // Loads the image on first use and draws it into the rectangle: blended
    // and scaled with alpha, tiled without. constantAlpha's low byte is the
    // opacity (255 opaque). FALSE for an id the manager does not hold; an image
    // whose file is missing or damaged draws nothing and answers TRUE.
    virtual BOOL DrawImage(unsigned int id, CJOVDrawContext* dc, int left, int top, int right, int bottom,
                           bool alpha, unsigned int constantAlpha) = 0;
    // The id of the protocol's file (no folder), counted per use; nothing is
    // loaded yet. -1 when no loaded plug-in serves the protocol.
    virtual int AddImage(const JOV_GUID& protocol, const CJOVString& file) = 0;
    // Undoes one AddImage; the last release frees the picture, the id stays
    // valid. For a skin image it only drops the loaded picture. Unknown ids
    // are ignored.
    virtual void ReleaseImage(unsigned int id) = 0;
    // Kind 0: the skin's background brush, kept by the manager; any other kind
    // the stock null brush.
    virtual HBRUSH GetBackgroundBrush(int kind) = 0;
    // Kind 0: a bitmap of the window's client size filled with the background,
    // lined up with the other windows; the caller deletes it. NULL otherwise.
    virtual HBITMAP CreateBackgroundBitmap(int kind, HWND window) = 0;

protected:
    ~CSkinManager() = default;
};

} // namespace Skins
