// The settings store's operations: typed reads of any value, the size
// protocol of GetData, round trips through the file, many writers, and saves
// while it lives.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "core/settings/JOVDatabase.h"

using Database::CJOVDatabase;
using Database::CSettingsFile;

namespace {

const JOV_GUID kGui = {0x5CA0CBC1, 0x999A, 0x4EA2, {0x8B, 0x44, 0xF8, 0xF6, 0x7D, 0x7F, 0x8E, 0xBE}};
const JOV_GUID kHistory = {0x3866ED07, 0x7F04, 0x4FC6, {0xA7, 0xEA, 0x65, 0x26, 0x96, 0x5B, 0x0A, 0x07}};

std::wstring Text(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
}

CJOVString Name(const wchar_t* name)
{
    return CJOVString(name);
}

class JOVDatabaseTest : public ::testing::Test {
protected:
    CSettingsFile File() const { return CSettingsFile(m_folder.Path(L"settings.jov")); }
    CTempFolder m_folder;
};

} // namespace

TEST_F(JOVDatabaseTest, AnyValueReadsAsAnyType)
{
    CJOVDatabase store(File());
    unsigned int dword = 77;
    CJOVString text(L"kept");
    EXPECT_EQ(store.GetDWord(kGui, Name(L"w"), &dword), 0);  // missing: the output stays
    EXPECT_EQ(dword, 77u);
    unsigned short two = 0x0102;
    store.SetWord(kGui, Name(L"w"), &two);
    EXPECT_EQ(store.GetDWord(kGui, Name(L"w"), &dword), 1);
    EXPECT_EQ(dword, 0u);  // too few bytes
    unsigned char byte = 0;
    EXPECT_EQ(store.GetByte(kGui, Name(L"w"), &byte), 1);
    EXPECT_EQ(byte, 0x02);

    CJOVString empty;
    store.SetString(kGui, Name(L"s"), &empty);
    EXPECT_EQ(store.GetString(kGui, Name(L"s"), &text), 1);
    EXPECT_EQ(text.GetLength(), 0);
    unsigned size = 77;
    EXPECT_EQ(store.GetValueSize(kGui, Name(L"s"), &size), 1);
    EXPECT_EQ(size, 0u);

    CJOVString word(L"JOV!");
    store.SetString(kGui, Name(L"s"), &word);
    EXPECT_EQ(store.GetDWord(kGui, Name(L"s"), &dword), 1);
    EXPECT_EQ(dword, 0x21564F4Au);
}

TEST_F(JOVDatabaseTest, GetDataCopiesOnlyIntoARoomyBuffer)
{
    CJOVDatabase store(File());
    const unsigned stored = 5;
    store.SetData(kGui, Name(L"blob"), "abcde", &stored);

    char buffer[8] = "-------";
    unsigned size = 4;
    EXPECT_EQ(store.GetData(kGui, Name(L"blob"), buffer, &size), 0);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::string(buffer), "-------");

    size = 8;
    EXPECT_EQ(store.GetData(kGui, Name(L"blob"), nullptr, &size), 0);
    EXPECT_EQ(store.GetData(kGui, Name(L"blob"), buffer, &size), 1);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::string(buffer), "abcde--");

    // Rewritten shorter, then emptied.
    const unsigned two = 2;
    store.SetData(kGui, Name(L"blob"), "xy", &two);
    EXPECT_EQ(store.GetValueSize(kGui, Name(L"blob"), &size), 1);
    EXPECT_EQ(size, 2u);
    const unsigned none = 0;
    store.SetData(kGui, Name(L"blob"), nullptr, &none);
    EXPECT_EQ(store.GetData(kGui, Name(L"blob"), nullptr, &size), 1);
    EXPECT_EQ(size, 0u);
}

TEST_F(JOVDatabaseTest, NamesTooLongForTheFileAreNotStored)
{
    CJOVDatabase store(File());
    unsigned char one = 1;
    const CJOVString longest(std::wstring(255, L'n').c_str());
    const CJOVString tooLong(std::wstring(256, L'n').c_str());
    store.SetByte(kGui, longest, &one);
    store.SetByte(kGui, tooLong, &one);
    unsigned char byte = 0;
    EXPECT_EQ(store.GetByte(kGui, longest, &byte), 1);
    EXPECT_EQ(store.GetByte(kGui, tooLong, &byte), 0);
}

TEST_F(JOVDatabaseTest, TwoSectionsOfThreeValuesRoundTrip)
{
    {
        CJOVDatabase store(File());
        unsigned int dword = 0xCAFEBABE;
        unsigned short word = 0xBEEF;
        unsigned char byte = 0xAB;
        CJOVString text(L"\x041F\x0440\x0438\x0432\x0435\x0442");
        CJOVString empty;
        const unsigned three = 3;
        store.SetDWord(kGui, Name(L"CL mode"), &dword);
        store.SetWord(kGui, Name(L""), &word);  // the empty name
        store.SetString(kGui, Name(L"Skin"), &text);
        store.SetByte(kHistory, Name(L"Save"), &byte);
        store.SetData(kHistory, Name(L"Blob"), "\x00\x01\x02", &three);
        store.SetString(kHistory, Name(L"Empty"), &empty);
    }
    CJOVDatabase store(File());
    unsigned int dword = 0;
    unsigned short word = 0;
    unsigned char byte = 0;
    CJOVString text;
    unsigned char blob[3] = {9, 9, 9};
    unsigned size = 3;
    EXPECT_EQ(store.GetDWord(kGui, Name(L"CL mode"), &dword), 1);
    EXPECT_EQ(dword, 0xCAFEBABEu);
    EXPECT_EQ(store.GetWord(kGui, Name(L""), &word), 1);
    EXPECT_EQ(word, 0xBEEF);
    EXPECT_EQ(store.GetString(kGui, Name(L"Skin"), &text), 1);
    EXPECT_EQ(Text(text), L"\x041F\x0440\x0438\x0432\x0435\x0442");
    EXPECT_EQ(store.GetByte(kHistory, Name(L"Save"), &byte), 1);
    EXPECT_EQ(byte, 0xAB);
    EXPECT_EQ(store.GetData(kHistory, Name(L"Blob"), blob, &size), 1);
    EXPECT_EQ(blob[0], 0);
    EXPECT_EQ(blob[2], 2);
    EXPECT_EQ(store.GetValueSize(kHistory, Name(L"Empty"), &size), 1);
    EXPECT_EQ(size, 0u);
}

TEST_F(JOVDatabaseTest, WritersOnManyThreads)
{
    {
        CJOVDatabase store(File());
        std::vector<std::thread> writers;
        for (unsigned t = 0; t < 4; ++t) {
            writers.emplace_back([&store, t] {
                for (unsigned i = 0; i < 200; ++i) {
                    const unsigned value = t * 1000 + i;
                    const std::wstring name = std::to_wstring(t) + L"." + std::to_wstring(i);
                    store.SetDWord(t % 2 ? kGui : kHistory, CJOVString(name.c_str()), &value);
                    unsigned int back = 0;
                    store.GetDWord(t % 2 ? kGui : kHistory, CJOVString(name.c_str()), &back);
                }
            });
        }
        for (std::thread& writer : writers)
            writer.join();
    }
    CJOVDatabase store(File());
    for (unsigned t = 0; t < 4; ++t) {
        for (unsigned i = 0; i < 200; ++i) {
            const std::wstring name = std::to_wstring(t) + L"." + std::to_wstring(i);
            unsigned int value = 0;
            ASSERT_EQ(store.GetDWord(t % 2 ? kGui : kHistory, CJOVString(name.c_str()), &value), 1);
            EXPECT_EQ(value, t * 1000 + i);
        }
    }
}

namespace {

std::atomic<int> g_writing{0};
std::atomic<int> g_mostWriting{0};

// Counts the writes under way at once; it gives up its time slice in the
// middle of each, so that saves that could overlap do.
BOOL WINAPI CountingWriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD written, LPOVERLAPPED overlapped)
{
    const int now = ++g_writing;
    for (int most = g_mostWriting; now > most && !g_mostWriting.compare_exchange_weak(most, now);) {
    }
    SwitchToThread();
    const BOOL done = WriteFile(file, bytes, count, written, overlapped);
    --g_writing;
    return done;
}

} // namespace

TEST_F(JOVDatabaseTest, SaveWritesTheFileWhileTheStoreLives)
{
    CJOVDatabase store(File());
    const unsigned char on = 1;
    store.SetByte(kGui, Name(L"Full screen"), &on);
    ASSERT_TRUE(store.Save());
    CJOVDatabase reader(File());
    unsigned char byte = 0;
    EXPECT_EQ(reader.GetByte(kGui, Name(L"Full screen"), &byte), 1);
    EXPECT_EQ(byte, 1);
}

TEST_F(JOVDatabaseTest, SavesOnManyThreadsWriteOneAtATimeAndKeepTheLastValues)
{
    g_writing = 0;
    g_mostWriting = 0;
    std::atomic<int> failed{0};
    {
        CJOVDatabase store(CSettingsFile(m_folder.Path(L"settings.jov"), CountingWriteFile));
        std::vector<std::thread> savers;
        for (unsigned t = 0; t < 4; ++t) {
            savers.emplace_back([&store, &failed, t] {
                const std::wstring name = L"saver " + std::to_wstring(t);
                for (unsigned i = 1; i <= 25; ++i) {
                    store.SetDWord(t % 2 ? kGui : kHistory, CJOVString(name.c_str()), &i);
                    failed += store.Save() ? 0 : 1;
                }
            });
        }
        for (std::thread& saver : savers)
            saver.join();
        EXPECT_EQ(failed, 0) << "a save that met another one wrote nothing";
        EXPECT_EQ(g_mostWriting, 1) << "two saves wrote at once";
        // Read back before the destructor's save could mend what the others left.
        CJOVDatabase reader(File());
        for (unsigned t = 0; t < 4; ++t) {
            const std::wstring name = L"saver " + std::to_wstring(t);
            unsigned int value = 0;
            EXPECT_EQ(reader.GetDWord(t % 2 ? kGui : kHistory, CJOVString(name.c_str()), &value), 1) << t;
            EXPECT_EQ(value, 25u) << t;
        }
    }
}
