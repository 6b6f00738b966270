// The screenshot tests' world: English texts, each image a plain coloured
// mark, the built-in colours, and Shoot, which opens a dialog, waits for it,
// takes the picture and closes it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "contactlist/DialogSkin.h"
#include "dialogs/DialogScript.h"
#include "dialogs/DialogsFixture.h"
#include "dialogs/Screenshot.h"
#include "support/QuietGuiServices.h"

// Texts in English; each image a rounded mark of a colour of its own.
class CMarkServices final : public CQuietGuiServices {
public:
    void DrawImage(unsigned int imageId, HDC dc, const RECT& rect) override
    {
        static const COLORREF colors[] = {RGB(0x2E, 0x9E, 0x3C), RGB(0xE0, 0x8A, 0x1A), RGB(0x31, 0x6A, 0xC5),
                                          RGB(0xC0, 0x30, 0x30), RGB(0x8A, 0x4F, 0xB0)};
        HBRUSH brush = CreateSolidBrush(colors[imageId % 5]);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        const int round = (rect.right - rect.left) / 2;
        RoundRect(dc, rect.left + 1, rect.top + 1, rect.right, rect.bottom, round, round);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
};

// The built-in colours, and a registered image for every plug-in icon.
class CIconSkin final : public CDialogSkin {
public:
    HBRUSH GetBackgroundBrush() override { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }
    HBITMAP CreateBackgroundBitmap(HWND) override { return nullptr; }
    COLORREF GetColor(int index) override { return DefaultSkinColor(index); }
    bool GetSkinColors(const CJOVString&, COLORREF* colors) override
    {
        for (int i = 0; i < kSkinColorCount; ++i)
            colors[i] = DefaultSkinColor(i);
        return true;
    }
    void SetSkinColors(const CJOVString&, const COLORREF*) override {}
    bool ReadColorsIni(const CJOVString&, COLORREF*) override { return false; }
    unsigned int AddImage(const JOV_GUID&, const CJOVString&) override { return 62; }
    void ReleaseImage(unsigned int) override {}
};

class ScreenshotTest : public DialogsTest {
protected:
    void SetUp() override
    {
        DialogsTest::SetUp();
        g_App.pServices = &marks;
        SetDialogSkin(&skin);
    }
    void TearDown() override
    {
        SetDialogSkin(nullptr);
        DialogsTest::TearDown();
    }

    // Opens the dialog, waits for title, takes the picture and closes it.
    void Shoot(const std::wstring& name, const std::wstring& title, const std::function<int()>& open,
               std::function<void(HWND)> prepare = nullptr)
    {
        bool saved = false;
        CDialogScript script;
        script.When(title, [&](HWND dialog) {
            if (prepare)
                prepare(dialog);
            saved = SaveScreenshotAs(area, name);
            PostCommand(dialog, IDCANCEL);
        });
        script.Start();
        open();
        EXPECT_TRUE(script.Done()) << Str(CJOVString(name.c_str()));
        EXPECT_TRUE(saved) << Str(CJOVString(name.c_str()));
    }

    CMarkServices marks;
    CIconSkin skin;
    // The pictures' names begin with it.
    std::wstring area = L"dialogs";
};
