// A skin that makes real background bitmaps and keeps each one with the id of
// the control it was made for, and a hook that records the objects the
// program's own code deletes: together they tell who frees a list's background.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "contactlist/DialogSkin.h"
#include "support/ImportHook.h"

class CBackgroundSkin final : public CDialogSkin {
public:
    HBRUSH GetBackgroundBrush() override { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }
    HBITMAP CreateBackgroundBitmap(HWND window) override
    {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
        ReleaseDC(nullptr, screen);
        made.emplace_back(GetDlgCtrlID(window), bitmap);
        return bitmap;
    }
    COLORREF GetColor(int index) override { return DefaultSkinColor(index); }
    bool GetSkinColors(const CJOVString&, COLORREF*) override { return false; }
    void SetSkinColors(const CJOVString&, const COLORREF*) override {}
    bool ReadColorsIni(const CJOVString&, COLORREF*) override { return false; }
    unsigned int AddImage(const JOV_GUID&, const CJOVString&) override { return 0; }
    void ReleaseImage(unsigned int) override {}

    // The bitmaps made for the control of that id, in order.
    std::vector<HBITMAP> MadeFor(int controlId) const
    {
        std::vector<HBITMAP> bitmaps;
        for (const auto& entry : made)
            if (entry.first == controlId)
                bitmaps.push_back(entry.second);
        return bitmaps;
    }

    std::vector<std::pair<int, HBITMAP>> made;
};

// Records what the test program's own code passes to DeleteObject while it lives.
class CDeletedObjects {
public:
    CDeletedObjects()
        : m_hook(GetModuleHandleW(nullptr), "gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&Record))
    {
        s_original = reinterpret_cast<DeleteObjectFn>(m_hook.Original());
        s_deleted = &m_deleted;
    }
    ~CDeletedObjects() { s_deleted = nullptr; }
    CDeletedObjects(const CDeletedObjects&) = delete;
    CDeletedObjects& operator=(const CDeletedObjects&) = delete;

    bool IsSet() const { return m_hook.IsSet(); }
    bool Deleted(HGDIOBJ object) const
    {
        for (HGDIOBJ deleted : m_deleted)
            if (deleted == object)
                return true;
        return false;
    }

private:
    typedef BOOL(WINAPI* DeleteObjectFn)(HGDIOBJ);
    static BOOL WINAPI Record(HGDIOBJ object)
    {
        if (s_deleted)
            s_deleted->push_back(object);
        return s_original(object);
    }

    static inline DeleteObjectFn s_original = nullptr;
    static inline std::vector<HGDIOBJ>* s_deleted = nullptr;
    CImportHook m_hook;
    std::vector<HGDIOBJ> m_deleted;
};
