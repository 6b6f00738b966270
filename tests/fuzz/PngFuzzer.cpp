// A skin's PNG picture through the program's own loading code and its error
// handling, over libpng built from the same source as the program's. A
// picture that loads has sides within bounds and colours premultiplied by
// its alpha, as every draw expects.
#include "MemoryFiles.h"
#include "core/skins/JOVWindowsImage.h"
#include "support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const wchar_t kPath[] = L"C:\\JOV\\Skins\\Skin\\picture.png";
    MemoryFiles::Put(kPath, data, size);
    {
        CJOVWindowsImage image{CJOVString(kPath)};
        if (HBITMAP bitmap = image.GetBitmap()) {
            BITMAP shape = {};
            FUZZ_CHECK(GetObjectW(bitmap, sizeof(shape), &shape) == sizeof(shape));
            FUZZ_CHECK(shape.bmWidth > 0 && shape.bmWidth <= static_cast<LONG>(CJOVWindowsImage::kMaxSide));
            FUZZ_CHECK(shape.bmHeight > 0 && shape.bmHeight <= static_cast<LONG>(CJOVWindowsImage::kMaxSide));
            FUZZ_CHECK(shape.bmBitsPixel == 32);
            const unsigned char* pixel = static_cast<const unsigned char*>(shape.bmBits);
            for (LONG i = 0; i < shape.bmWidth * shape.bmHeight; ++i, pixel += 4)
                FUZZ_CHECK(pixel[0] <= pixel[3] && pixel[1] <= pixel[3] && pixel[2] <= pixel[3]);
        }
    }
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
