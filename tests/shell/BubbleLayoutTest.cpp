// A bubble's body as painted: each word's letters end where the layout's
// measure put them, whatever advances the font itself would draw with, so
// that no word covers the blank after it, in a run of its own or not.
#include <gtest/gtest.h>

#include <windows.h>

#include "BubbleLayout.h"
#include "Screen.h"
#include "support/ScreenPixels.h"

TEST(BubbleLayout, EachWordsLettersEndWhereTheMeasurePutIt)
{
    const int width = 400, height = 60;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownBitmap(screen, width, height, &bits);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
        CBubbleLayout layout;
        layout.Layout(memory, L"www.a www.a <b>www.a</b> www.a", width);
        layout.Paint(memory, 0, 0);
    }
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);

    // The words and blanks one after another, each as the layout measures it.
    const int units = (12 * Platform::GetScreenDpiY() + 48) / 96;
    int x = 0;
    for (const wchar_t* token : {L"www.a", L" ", L"www.a", L" ", L"*www.a", L" ", L"www.a"}) {
        const bool bold = token[0] == L'*';
        token += bold ? 1 : 0;
        HFONT font = CreateFontW(-units, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
        HGDIOBJ oldFont = SelectObject(screen, font);
        SIZE size = {};
        GetTextExtentPoint32W(screen, token, static_cast<int>(wcslen(token)), &size);
        DeleteObject(SelectObject(screen, oldFont));
        const int end = x + size.cx;
        if (token[0] != L' ') {
            int last = -1;
            for (int column = x; column < end + 3; ++column) {
                for (int row = 0; row < height; ++row)
                    last = (pixels[row * width + column] & 0xFFFFFF) != 0xFFFFFF ? column : last;
            }
            EXPECT_LE(last, end) << "the word at " << x << " drawn past its last letter";
            EXPECT_GE(last, end - 3) << "the word at " << x << " drawn short";
        }
        x = end;
    }
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
