// The program decodes its skin images with libpng.
#include <gtest/gtest.h>

#include <png.h>

#include <vector>

TEST(Png, DecodesAFileMadeByAnotherEncoder)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, "testdata\\tiny.png")) << image.message;
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
    // Red everywhere except a blue pixel at (2, 1).
    EXPECT_EQ(pixels[0], 0xFF);
    EXPECT_EQ(pixels[2], 0x00);
    const unsigned char* blue = &pixels[(1 * 3 + 2) * 4];
    EXPECT_EQ(blue[0], 0x00);
    EXPECT_EQ(blue[2], 0xFF);
    EXPECT_EQ(blue[3], 0xFF);
}

TEST(Png, RefusesAFileThatIsNotPng)
{
    const unsigned char notPng[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_FALSE(png_image_begin_read_from_memory(&image, notPng, sizeof(notPng)));
    png_image_free(&image);
}
