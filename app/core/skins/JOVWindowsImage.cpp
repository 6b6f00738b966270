#include "core/skins/JOVWindowsImage.h"

#include <png.h>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

const unsigned long long kMaxPixelBytes = 64ull * 1024 * 1024;

std::atomic<void (*)(size_t)> s_allocationWatch{nullptr};

// libpng's memory goes through us, so that a test sees what a file makes it ask for.
png_voidp OnPngAllocate(png_structp, png_alloc_size_t bytes)
{
    if (void (*watch)(size_t) = s_allocationWatch.load())
        watch(bytes);
    return std::malloc(bytes);
}

void OnPngFree(png_structp, png_voidp block)
{
    std::free(block);
}

// libpng ends the process on an error unless the error jumps back to us.
void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp)
{
}

void Premultiply(unsigned char* pixels, unsigned long long count)
{
    for (unsigned long long i = 0; i < count; ++i, pixels += 4) {
        const unsigned int a = pixels[3];
        if (a == 255)
            continue;
        pixels[0] = static_cast<unsigned char>(pixels[0] * a / 255);
        pixels[1] = static_cast<unsigned char>(pixels[1] * a / 255);
        pixels[2] = static_cast<unsigned char>(pixels[2] * a / 255);
    }
}

// Every colour type and depth becomes four 8-bit channels: blue, green, red, alpha.
void RequestBgra(png_structp png, png_infop info, int colorType, int bitDepth)
{
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

HBITMAP CreateTopDownRows(unsigned int width, unsigned int height, unsigned char** bits)
{
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = static_cast<LONG>(width);
    header.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: rows bottom-up
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    header.bmiHeader.biSizeImage = width * height * 4;
    HDC screen = GetDC(nullptr);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &header, DIB_RGB_COLORS, &memory, nullptr, 0);
    ReleaseDC(nullptr, screen);
    *bits = static_cast<unsigned char*>(memory);
    return bitmap;
}

// Kept free of objects with destructors: an error jumps back into it.
HBITMAP LoadPng(FILE* file)
{
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning, nullptr,
                                               OnPngAllocate, OnPngFree);
    if (!png)
        return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    HBITMAP volatile bitmap = nullptr;
    png_bytepp volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        delete[] rows;
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    png_set_user_limits(png, CJOVWindowsImage::kMaxSide, CJOVWindowsImage::kMaxSide);
    // Chunks whose contents a picture never uses are passed over: read, each
    // would first take a buffer of the size it claims, however small the file.
    static const png_byte kUnused[] = "iCCP\0sPLT\0tEXt\0zTXt\0iTXt\0pCAL\0sCAL\0eXIf";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnused, sizeof(kUnused) / 5);
    png_init_io(png, file);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    const unsigned long long bytes = 4ull * width * height;
    if (width == 0 || height == 0 || bytes > kMaxPixelBytes)
        png_error(png, "size");
    RequestBgra(png, info, colorType, bitDepth);
    if (png_get_rowbytes(png, info) != 4ull * width)
        png_error(png, "layout");

    unsigned char* bits = nullptr;
    bitmap = CreateTopDownRows(width, height, &bits);
    rows = new (std::nothrow) png_bytep[height];
    if (!bitmap || !bits || !rows)
        png_error(png, "memory");
    // The PNG's top row is the DIB's last row in memory.
    for (png_uint_32 i = 0; i < height; ++i)
        rows[i] = bits + static_cast<size_t>(height - 1 - i) * width * 4;
    png_read_image(png, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    delete[] rows;
    GdiFlush();
    Premultiply(bits, static_cast<unsigned long long>(width) * height);
    return bitmap;
}

} // namespace

CJOVWindowsImage::CJOVWindowsImage(const CJOVString& path) : m_bitmap(nullptr)
{
    CJOVString name(path);
    // By wide path: folders with letters outside the system code page open too.
    FILE* file = _wfopen(static_cast<wchar_t*>(name), L"rb");
    if (!file)
        return;
    m_bitmap = LoadPng(file);
    fclose(file);
}

void CJOVWindowsImage::WatchPngAllocations(void (*watch)(size_t bytes))
{
    s_allocationWatch = watch;
}

CJOVWindowsImage::~CJOVWindowsImage()
{
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

void CJOVWindowsImage::Draw(CJOVDrawContext* dc, int left, int top, int right, int bottom, bool alpha,
                            unsigned int constantAlpha)
{
    if (!m_bitmap || !dc || !dc->hDC)
        return;
    if (!alpha) {
        HBRUSH pattern = CreatePatternBrush(m_bitmap);
        if (!pattern)
            return;
        RECT area = {left, top, right, bottom};
        FillRect(dc->hDC, &area, pattern);
        DeleteObject(pattern);
        return;
    }
    BITMAP shape = {};
    GetObjectW(m_bitmap, sizeof(shape), &shape);
    HDC memory = CreateCompatibleDC(dc->hDC);
    if (!memory)
        return;
    HGDIOBJ previous = SelectObject(memory, m_bitmap);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(constantAlpha & 0xFF), AC_SRC_ALPHA};
    AlphaBlend(dc->hDC, left, top, right - left, bottom - top, memory, 0, 0, shape.bmWidth,
               shape.bmHeight < 0 ? -shape.bmHeight : shape.bmHeight, blend);
    SelectObject(memory, previous);
    DeleteDC(memory);
}
