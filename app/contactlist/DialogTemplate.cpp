#include "contactlist/DialogTemplate.h"

#include <cstring>
#include <vector>

namespace {

const DWORD kTopLevelStyles =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// The extended template starts with version 1 and signature 0xFFFF; its
// style follows the help id and the extended style.
size_t StyleOffset(const BYTE* data, size_t size)
{
    if (size >= 16) {
        WORD version, signature;
        std::memcpy(&version, data, sizeof(version));
        std::memcpy(&signature, data + 2, sizeof(signature));
        if (version == 1 && signature == 0xFFFF)
            return 12;
    }
    return 0;
}

} // namespace

HWND CreateDialogFromTemplate(HINSTANCE module, unsigned int id, HWND parent, DLGPROC proc, LPARAM param,
                              bool asChild)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!data || size < sizeof(DLGTEMPLATE))
        return nullptr;
    if (!asChild)
        return CreateDialogIndirectParamW(module, reinterpret_cast<const DLGTEMPLATE*>(data), parent, proc, param);

    // Resources are read-only: patch a copy, kept DWORD-aligned.
    std::vector<DWORD> copy((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    BYTE* bytes = reinterpret_cast<BYTE*>(copy.data());
    std::memcpy(bytes, data, size);
    size_t offset = StyleOffset(bytes, size);
    DWORD style;
    std::memcpy(&style, bytes + offset, sizeof(style));
    // Made hidden: its owner shows it where it belongs. It clips as every
    // window does on the device, so what lies under it never shows through.
    style = (style & ~(kTopLevelStyles | WS_VISIBLE)) | WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    std::memcpy(bytes + offset, &style, sizeof(style));
    return CreateDialogIndirectParamW(module, reinterpret_cast<const DLGTEMPLATE*>(bytes), parent, proc, param);
}
