#include "langrun/TextFit.h"

#include <commctrl.h>

#include "langrun/RemoteUi.h"
#include "support/DialogFontProbe.h"

namespace {

int s_measured = 0;

int ScreenDpi()
{
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return dpi;
}

int Scale(int units)
{
    return (units * ScreenDpi() + 48) / 96;
}

// The dialogs' font, made by the dialog manager from a template of the
// same font, kept for the whole run.
HFONT DialogFont()
{
    static HWND dialog = CreateDialogFontProbe();
    return reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
}

HFONT SoftKeyFont()
{
    static HFONT font = CreateFontW(-Scale(12), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                    L"Tahoma");
    return font;
}

// The text's size drawn with flags into a box width wide.
SIZE Measure(HFONT font, const std::wstring& text, UINT flags, int width)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT box = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, flags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {box.right - box.left, box.bottom - box.top};
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring Where(HWND control)
{
    HWND top = GetAncestor(control, GA_ROOT);
    return L"\"" + WindowText(top) + L"\" " + ClassOf(control) + L" " + std::to_wstring(GetDlgCtrlID(control));
}

void Check(std::vector<UnfitText>& unfit, HWND control, const std::wstring& text, int width, int room)
{
    ++s_measured;
    if (width > room)
        unfit.push_back({Where(control), text, width, room});
}

void CheckStatic(std::vector<UnfitText>& unfit, HWND control, LONG style, const RECT& client)
{
    const LONG type = style & SS_TYPEMASK;
    const std::wstring text = WindowText(control);
    if (text.empty() || (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP &&
                         type != SS_SIMPLE))
        return;
    const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    const int width = client.right, height = client.bottom;
    const int line = Measure(DialogFont(), L"X", DT_SINGLELINE, width).cy;
    if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE || height < 2 * line) {
        // A box of one line: the text must fit its width.
        Check(unfit, control, text, Measure(DialogFont(), text, DT_SINGLELINE | prefix, width).cx, width);
        return;
    }
    // Wrapped: every word on a line of the box's width, every line in its height.
    const SIZE wrapped = Measure(DialogFont(), text, DT_WORDBREAK | DT_EXPANDTABS | prefix, width);
    if (wrapped.cx > width)
        Check(unfit, control, text, wrapped.cx, width);
    else
        Check(unfit, control, text + L" (lines)", wrapped.cy, height);
}

void CheckButton(std::vector<UnfitText>& unfit, HWND control, LONG style, const RECT& client)
{
    const std::wstring text = WindowText(control);
    if (text.empty())
        return;
    const LONG type = style & BS_TYPEMASK;
    const SIZE size = Measure(DialogFont(), text, DT_SINGLELINE, client.right);
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        // The box (13 units) and its gap come first.
        Check(unfit, control, text, size.cx + Scale(13) + Scale(4), client.right);
        break;
    case BS_GROUPBOX:
        Check(unfit, control, text, size.cx + Scale(16), client.right);
        break;
    default:
        // Push buttons and the program's own drawn buttons: a frame each side.
        Check(unfit, control, text, size.cx + 2 * Scale(3), client.right);
        break;
    }
}

void CheckCombo(std::vector<UnfitText>& unfit, HWND control, const RECT& client,
                const std::set<std::wstring>& languageTexts)
{
    // What the closed box shows: any of its items, beside the arrow.
    const int room = client.right - GetSystemMetrics(SM_CXVSCROLL) - 2 * Scale(3);
    const int count = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && i < 64; ++i) {
        wchar_t item[512] = {};
        const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= 0 || length >= 512)
            continue;
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        if (!languageTexts.count(item))
            continue;
        Check(unfit, control, item, Measure(DialogFont(), item, DT_SINGLELINE | DT_NOPREFIX, room).cx, room);
    }
}

void CheckHeader(std::vector<UnfitText>& unfit, HWND header)
{
    struct Block {
        HDITEMW item;
        wchar_t text[256];
    };
    CProgramMemory memory(header, sizeof(Block));
    auto* remote = static_cast<Block*>(memory.Remote());
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        Block block = {};
        block.item.mask = HDI_TEXT | HDI_WIDTH;
        block.item.pszText = remote->text;
        block.item.cchTextMax = 256;
        if (!memory.Write(&block, sizeof(block)) ||
            !SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&remote->item)) ||
            !memory.Read(&block, sizeof(block)))
            continue;
        block.text[255] = 0;
        const std::wstring text = block.text;
        if (!text.empty())
            Check(unfit, header, text, Measure(DialogFont(), text, DT_SINGLELINE, 1000).cx + 2 * Scale(6),
                  block.item.cxy);
    }
}

struct Sweep {
    std::vector<UnfitText>* unfit;
    const std::set<std::wstring>* languageTexts;
};

// A control of a tabbed dialog that a page lies over is not seen.
bool UnderAPage(HWND control)
{
    HWND parent = GetParent(control);
    RECT own = {};
    GetWindowRect(control, &own);
    for (HWND page = FindWindowExW(parent, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(parent, page, L"#32770", nullptr)) {
        RECT cover = {}, both = {};
        if (page != control && IsWindowVisible(page) && GetWindowRect(page, &cover) &&
            IntersectRect(&both, &own, &cover) && EqualRect(&both, &own))
            return true;
    }
    return false;
}

BOOL CALLBACK CheckControl(HWND control, LPARAM param)
{
    auto* sweep = reinterpret_cast<Sweep*>(param);
    if (!IsWindowVisible(control) || UnderAPage(control))
        return TRUE;
    RECT client = {};
    GetClientRect(control, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return TRUE;
    const std::wstring name = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (name == L"Static")
        CheckStatic(*sweep->unfit, control, style, client);
    else if (name == L"Button")
        CheckButton(*sweep->unfit, control, style, client);
    else if (name == L"ComboBox")
        CheckCombo(*sweep->unfit, control, client, *sweep->languageTexts);
    else if (name == L"SysHeader32")
        CheckHeader(*sweep->unfit, control);
    return TRUE;
}

} // namespace

std::vector<UnfitText> UnfitControlTexts(HWND window, const std::set<std::wstring>& languageTexts)
{
    std::vector<UnfitText> unfit;
    s_measured = 0;
    Sweep sweep = {&unfit, &languageTexts};
    EnumChildWindows(window, CheckControl, reinterpret_cast<LPARAM>(&sweep));
    return unfit;
}

std::vector<UnfitText> UnfitSoftKeys(HWND bar)
{
    std::vector<UnfitText> unfit;
    for (const RemoteSoftKey& key : SoftKeys(bar)) {
        if (key.text.empty())
            continue;
        const int room = key.rect.right - key.rect.left - 2 * Scale(2);
        const int width = Measure(SoftKeyFont(), key.text, DT_SINGLELINE, room).cx;
        if (width > room)
            unfit.push_back({L"soft key " + std::to_wstring(key.command), key.text, width, room});
    }
    return unfit;
}

std::string Describe(const std::vector<UnfitText>& unfit)
{
    std::string out;
    for (const UnfitText& text : unfit) {
        const std::wstring line = text.where + L": \"" + text.text + L"\" needs " + std::to_wstring(text.width) +
                                  L", has " + std::to_wstring(text.room);
        const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, narrow.data(), size, nullptr, nullptr);
        out += "\n  " + narrow;
    }
    return out;
}

int MeasuredCount()
{
    return s_measured;
}
