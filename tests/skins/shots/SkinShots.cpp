// Screenshots of the skin for a person to look at, at the session's density:
//   skins_shots sheet <out.png>  every skin, plug-in and smiley image of the
//                                runnable tree on one sheet
//   skins_shots main <out.png>   JOV.exe with one ICQ account, from a copy of
//                                the runnable tree; checks that it saves the
//                                skin manager's settings on exit
// Whatever images the tree holds are shown; a missing one leaves a gap.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "HiDpi.h"
#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/skins/JOVWindowsImage.h"
#include "core/skins/SmiliesPack.h"

namespace {

int g_scale = 1;

int S(int n)
{
    return n * g_scale;
}

std::wstring BinFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::vector<std::wstring> List(const std::wstring& pattern, bool folders)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != L"." && name != L".." && folder == folders)
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A top-down 32-bit canvas.
struct Canvas {
    Canvas(int w, int h) : width(w), height(h)
    {
        BITMAPINFO header = {};
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = w;
        header.bmiHeader.biHeight = -h;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 32;
        header.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &header, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        before = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, before);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Save(const std::wstring& path) const
    {
        GdiFlush();
        FILE* file = _wfopen(path.c_str(), L"wb");
        if (!file)
            return false;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            fclose(file);
            return false;
        }
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        png_set_bgr(png);
        for (int y = 0; y < height; ++y)
            png_write_row(png, bits + y * width * 4);
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        fclose(file);
        return true;
    }
    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ before;
    unsigned char* bits = nullptr;
};

// One picture to place on the sheet.
struct Tile {
    std::unique_ptr<CJOVWindowsImage> image;
    CSmaily* smiley = nullptr;
    int width = 0, height = 0;
};

struct Group {
    std::wstring title;
    std::vector<Tile> tiles;
};

Group PngGroup(const std::wstring& title, const std::wstring& folder)
{
    Group group{title, {}};
    for (const std::wstring& name : List(folder + L"*.png", false)) {
        Tile tile;
        tile.image = std::make_unique<CJOVWindowsImage>(CJOVString((folder + name).c_str()));
        BITMAP shape = {};
        if (tile.image->GetBitmap())
            GetObjectW(tile.image->GetBitmap(), sizeof(shape), &shape);
        // A broken file keeps a 16-pixel gap.
        tile.width = shape.bmWidth ? shape.bmWidth : 16;
        tile.height = shape.bmHeight ? std::abs(shape.bmHeight) : 16;
        group.tiles.push_back(std::move(tile));
    }
    return group;
}

// Lays the groups out in rows; draws only when drawing is set. Answers the height used.
int Layout(HDC dc, std::vector<Group>& groups, int width, bool drawing)
{
    const int margin = S(4), gap = S(4), title = S(14);
    int y = margin;
    for (Group& group : groups) {
        if (drawing) {
            RECT text = {margin, y, width - margin, y + title};
            DrawTextW(dc, group.title.c_str(), -1, &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        }
        y += title;
        int x = margin, rowHeight = 0;
        if (group.tiles.empty() && drawing) {
            RECT text = {margin, y, width - margin, y + title};
            DrawTextW(dc, L"(none in the runnable tree)", -1, &text, DT_LEFT | DT_SINGLELINE);
        }
        if (group.tiles.empty())
            y += title;
        for (Tile& tile : group.tiles) {
            // Drawn at the density: doubled at 192 dpi; wide pictures cut to the sheet.
            int w = std::min(S(tile.width), width - 2 * margin), h = S(tile.height);
            if (x + w > width - margin && x > margin) {
                x = margin;
                y += rowHeight + gap;
                rowHeight = 0;
            }
            if (drawing) {
                RECT frame = {x - 1, y - 1, x + w + 1, y + h + 1};
                FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
                if (tile.image) {
                    CJOVDrawContext context(dc);
                    tile.image->Draw(&context, x, y, x + S(tile.width), y + h, true, 255);
                } else if (HBITMAP first = tile.smiley->GetFrameBitmap(0)) {
                    HDC source = CreateCompatibleDC(dc);
                    HGDIOBJ before = SelectObject(source, first);
                    COLORREF key = tile.smiley->GetFrameKeyColor(0);
                    if (key == CLR_INVALID)
                        StretchBlt(dc, x, y, w, h, source, 0, 0, tile.width, tile.height, SRCCOPY);
                    else
                        TransparentBlt(dc, x, y, w, h, source, 0, 0, tile.width, tile.height, key);
                    SelectObject(source, before);
                    DeleteDC(source);
                }
            }
            x += w + gap;
            rowHeight = std::max(rowHeight, h);
        }
        y += rowHeight + gap * 2;
    }
    return y + margin;
}

int Sheet(const std::wstring& out)
{
    const std::wstring bin = BinFolder();
    std::vector<Group> groups;
    for (const std::wstring& skin : List(bin + L"Skins\\*", true))
        groups.push_back(PngGroup(L"Skin \"" + skin + L"\"", bin + L"Skins\\" + skin + L"\\"));
    if (groups.empty())
        groups.push_back(Group{L"Skins", {}});
    size_t plugins = groups.size();
    for (const std::wstring& plugin : List(bin + L"Protos\\*", true)) {
        Group group = PngGroup(L"Plug-in " + plugin, bin + L"Protos\\" + plugin + L"\\");
        if (!group.tiles.empty())
            groups.push_back(std::move(group));
    }
    if (groups.size() == plugins)
        groups.push_back(Group{L"Plug-in images", {}});
    std::vector<std::unique_ptr<CSmiliesPack>> packs;
    for (const std::wstring& set : List(bin + L"Smilies\\*", true)) {
        packs.push_back(std::make_unique<CSmiliesPack>(CJOVString(set.c_str()), CJOVString(bin.c_str())));
        packs.back()->WaitLoaded();
        Group group{L"Smilies \"" + set + L"\"", {}};
        for (int i = 0; i < packs.back()->Count(); ++i) {
            Tile tile;
            tile.smiley = (*packs.back())[i];
            tile.width = std::max(tile.smiley->GetWidth(), 1);
            tile.height = std::max(tile.smiley->GetHeight(), 1);
            group.tiles.push_back(std::move(tile));
        }
        groups.push_back(std::move(group));
    }
    if (packs.empty())
        groups.push_back(Group{L"Smilies", {}});

    const int width = S(240);
    HFONT font = CreateFontW(-S(11), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    Canvas measure(1, 1);
    const int height = Layout(measure.dc, groups, width, false);
    Canvas sheet(width, height);
    RECT all = {0, 0, width, height};
    FillRect(sheet.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ before = SelectObject(sheet.dc, font);
    SetBkMode(sheet.dc, TRANSPARENT);
    Layout(sheet.dc, groups, width, true);
    SelectObject(sheet.dc, before);
    DeleteObject(font);
    if (!sheet.Save(out)) {
        std::fprintf(stderr, "cannot write the sheet\n");
        return 1;
    }
    return 0;
}

bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    for (const std::wstring& name : List(from + L"*", false))
        if (!CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE))
            return false;
    for (const std::wstring& name : List(from + L"*", true))
        if (!CopyTree(from + name + L"\\", to + name + L"\\"))
            return false;
    return true;
}

void RemoveTree(const std::wstring& folder)
{
    for (const std::wstring& name : List(folder + L"*", false))
        DeleteFileW((folder + name).c_str());
    for (const std::wstring& name : List(folder + L"*", true))
        RemoveTree(folder + name + L"\\");
    RemoveDirectoryW(folder.c_str());
}

// The program, its libraries and the folders it reads, without the tests.
bool CopyRunnableTree(const std::wstring& to)
{
    const std::wstring bin = BinFolder();
    CreateDirectoryW(to.c_str(), nullptr);
    std::vector<std::wstring> files = List(bin + L"*.dll", false);
    files.push_back(L"JOV.exe");
    for (const std::wstring& name : files)
        if (!CopyFileW((bin + name).c_str(), (to + name).c_str(), FALSE))
            return false;
    for (const wchar_t* folder : {L"Langs", L"Protos", L"Skins", L"Smilies"})
        if (GetFileAttributesW((bin + folder).c_str()) != INVALID_FILE_ATTRIBUTES &&
            !CopyTree(bin + folder + L"\\", to + folder + L"\\"))
            return false;
    return true;
}

// One ICQ account in the tree's settings file, as the program would save it.
bool AddIcqAccount(const std::wstring& tree)
{
    Services::CServicesManagerImpl bus;
    auto store = std::make_unique<Database::CJOVDatabase>(
        Database::CSettingsFile(CJOVString((tree + L"settings.jov").c_str())));
    const unsigned int storeId = bus.RegisterService(GUID_Database, store.get());
    unsigned int account = 0;
    {
        Protocols::CProtocolsManagerImpl manager(&bus, nullptr, CJOVString((tree + L"Protos\\").c_str()));
        account = manager.AddAccount(GUID_ICQProtocol);
        if (account)
            manager.SetString(account, CJOVString(L"Account name"), CJOVString(L"123456789"));
    }
    bus.UnregisterService(storeId);
    return account != 0;
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMain(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t type[32] = {};
    GetClassNameW(window, type, 32);
    if (process == search->process && IsWindowVisible(window) && !lstrcmpW(type, L"JOV")) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool SavedSkinSettings(const std::wstring& tree)
{
    Database::SectionMap sections;
    if (!Database::CSettingsFile(CJOVString((tree + L"settings.jov").c_str())).Load(sections))
        return false;
    auto section = sections.find(GUID_SkinManager.GetString());
    if (section == sections.end())
        return false;
    for (const wchar_t* key : {L"Skin", L"Smailes", L"Text Smailes", L"Smailes Num", L"Lang", L"Skins"})
        if (!section->second.Find(CJOVString(key))) {
            std::fwprintf(stderr, L"\"%ls\" is not saved\n", key);
            return false;
        }
    return true;
}

int MainWindow(const std::wstring& out)
{
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring tree = std::wstring(temp) + L"jov_shots_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    struct Cleanup {
        std::wstring folder;
        ~Cleanup() { RemoveTree(folder); }
    } cleanup{tree};
    if (!CopyRunnableTree(tree) || !AddIcqAccount(tree)) {
        std::fprintf(stderr, "cannot prepare the runnable tree with an ICQ account\n");
        return 1;
    }
    STARTUPINFOW start = {};
    start.cb = sizeof(start);
    PROCESS_INFORMATION process = {};
    std::wstring command = L"\"" + tree + L"JOV.exe\"";
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, tree.c_str(), &start, &process)) {
        std::fprintf(stderr, "cannot start JOV.exe\n");
        return 1;
    }
    Search search{process.dwProcessId, nullptr};
    HWND toolbar = nullptr;
    for (int wait = 0; wait < 200; ++wait) {
        Sleep(100);
        if (!search.found)
            EnumWindows(FindMain, reinterpret_cast<LPARAM>(&search));
        toolbar = search.found ? FindWindowExW(search.found, nullptr, L"ToolbarWindow32", nullptr) : nullptr;
        // The overall status and the account's button.
        if (toolbar && SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) >= 2)
            break;
    }
    int result = 0;
    if (!toolbar) {
        std::fprintf(stderr, "no main window with its status toolbar\n");
        result = 1;
    } else {
        Sleep(1500);  // let every window paint
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        Canvas shot(width, height);
        HDC screen = GetDC(nullptr);
        BitBlt(shot.dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
        if (!shot.Save(out)) {
            std::fprintf(stderr, "cannot write the screenshot\n");
            result = 1;
        }
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        std::fprintf(stderr, "JOV.exe did not end\n");
        result = 1;
    } else if (result == 0 && !SavedSkinSettings(tree)) {
        std::fprintf(stderr, "the skin manager's settings are not in settings.jov\n");
        result = 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 3) {
        std::fprintf(stderr, "usage: skins_shots sheet|main <out.png>\n");
        return 2;
    }
    HIDPI_InitScaling();
    g_scale = std::max(1, (g_HIDPI_LogPixelsX + 48) / 96);
    const std::wstring mode = argv[1], out = argv[2];
    LocalFree(argv);
    return mode == L"sheet" ? Sheet(out) : MainWindow(out);
}
