// The GIF decoder, as the smilies set loads every smiley: from the file, by
// its path. Every frame it keeps is within the bounds the decoder promises.
#include "MemoryFiles.h"
#include "messaging/GifLoad.h"
#include "support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const wchar_t kPath[] = L"C:\\JOV\\Smilies\\Set\\01.gif";
    MemoryFiles::Put(kPath, data, size);
    GifImage image;
    const int added = LoadGif(&image, kPath);
    FUZZ_CHECK(added == image.frameCount && image.frameCount <= kGifMaxFrames);
    for (int i = 0; i < image.frameCount; ++i) {
        const GifFrame* frame = image.frames[i];
        FUZZ_CHECK(frame->width > 0 && frame->width <= kGifMaxSide && frame->height > 0 &&
                   frame->height <= kGifMaxSide);
        FUZZ_CHECK(frame->bitsPerPixel >= 1 && frame->bitsPerPixel <= 8 && frame->bytesPerRow >= frame->width);
        FUZZ_CHECK(frame->transparent < (1 << frame->bitsPerPixel));
        // Every byte of the picture is read, as a draw reads it.
        unsigned sum = 0;
        for (int row = 0; row < frame->height; ++row) {
            for (int column = 0; column < frame->width; ++column)
                sum += frame->pixels[row * frame->bytesPerRow + column];
        }
        for (int entry = 0; entry < (1 << frame->bitsPerPixel); ++entry)
            sum += frame->palette[entry].rgbRed;
        FUZZ_CHECK(sum < 0xFFFFFFFFu);
    }
    image.FreeFrames();
    FUZZ_CHECK(MemoryFiles::Clear() == 0);
    return 0;
}
