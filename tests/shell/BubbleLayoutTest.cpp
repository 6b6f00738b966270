// A bubble's body as painted: each word's letters end where the layout's
// measure put them, whatever advances the font itself would draw with, so
// that no word covers the blank after it, in a run of its own or not.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "BubbleLayout.h"
#include "Screen.h"

namespace {

HFONT BubbleFont(bool bold)
{
    const int height = (12 * Platform::GetScreenDpiY() + 48) / 96;
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

} // namespace

TEST(BubbleLayout, EachWordsLettersEndWhereTheMeasurePutIt)
{
    const int width = 400, height = 60;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
        CBubbleLayout layout;
        layout.Layout(memory, L"www.a www.a <b>www.a</b> www.a", width);
        layout.Paint(memory, 0, 0);
    }
    GdiFlush();

    // The words and blanks as the layout measures them, one after another.
    struct Token {
        const wchar_t* text;
        bool bold;
    };
    const Token tokens[] = {{L"www.a", false}, {L" ", false}, {L"www.a", false}, {L" ", false},
                            {L"www.a", true},  {L" ", false}, {L"www.a", false}};
    HFONT fonts[2] = {BubbleFont(false), BubbleFont(true)};
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    int x = 0;
    for (const Token& token : tokens) {
        HGDIOBJ oldFont = SelectObject(screen, fonts[token.bold]);
        SIZE size = {};
        GetTextExtentPoint32W(screen, token.text, static_cast<int>(wcslen(token.text)), &size);
        SelectObject(screen, oldFont);
        const int end = x + size.cx;
        if (token.text[0] != L' ') {
            int last = -1;
            for (int column = x; column < end + 3 && column < width; ++column) {
                for (int row = 0; row < height; ++row) {
                    if ((pixels[row * width + column] & 0xFFFFFF) != 0xFFFFFF) {
                        last = column;
                        break;
                    }
                }
            }
            EXPECT_LE(last, end) << "a word at " << x << " drawn past its last letter";
            EXPECT_GE(last, end - 3) << "a word at " << x << " drawn short";
        }
        x = end;
    }
    DeleteObject(fonts[0]);
    DeleteObject(fonts[1]);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
