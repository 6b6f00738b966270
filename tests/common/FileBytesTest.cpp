// ReadFileBytes: a small file read whole, a larger one refused.
#include <gtest/gtest.h>

#include <string>

#include "FileBytes.h"

namespace {

class FileBytesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        m_path = std::wstring(folder) + L"jov_file_bytes_" + std::to_wstring(GetCurrentProcessId()) + L".bin";
    }
    void TearDown() override { DeleteFileW(m_path.c_str()); }

    void Write(const std::string& content)
    {
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::wstring m_path;
};

} // namespace

TEST_F(FileBytesTest, ReadsAFileUpToTheLimitWhole)
{
    Write(std::string("abc\0de", 6));
    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadFileBytes(m_path.c_str(), 6, bytes), FileBytesResult::Read);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("abc\0de", 6));

    Write("");
    ASSERT_EQ(ReadFileBytes(m_path.c_str(), 6, bytes), FileBytesResult::Read);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(FileBytesTest, RefusesALargerFileAndTellsAMissingOneApart)
{
    Write("abcdefg");
    std::vector<unsigned char> bytes;
    EXPECT_EQ(ReadFileBytes(m_path.c_str(), 6, bytes), FileBytesResult::NotRead);
    EXPECT_TRUE(bytes.empty());
    DeleteFileW(m_path.c_str());
    EXPECT_EQ(ReadFileBytes(m_path.c_str(), 6, bytes), FileBytesResult::NotOpened);
}
