// The status table, the status-word mapping and the image table.
#include <gtest/gtest.h>

#include <map>

#include "IcqTestHelpers.h"
#include "ServiceIds.h"
#include "packets/ImageTable.h"
#include "packets/StatusTable.h"

namespace {

// Stands in for the skin manager: hands out ids from 100 and counts releases.
class CFakeSkins : public Skins::CSkinManager {
public:
    BOOL DrawImage(unsigned int, CJOVDrawContext*, int, int, int, int, bool, unsigned int) override { return FALSE; }
    int AddImage(const JOV_GUID& protocol, const CJOVString& file) override
    {
        EXPECT_TRUE(protocol == GUID_ICQProtocol);
        files.push_back(W(file));
        return 100 + static_cast<int>(files.size()) - 1;
    }
    void ReleaseImage(unsigned int id) override { ++released[id]; }
    HBRUSH GetBackgroundBrush(int) override { return nullptr; }
    HBITMAP CreateBackgroundBitmap(int, HWND) override { return nullptr; }

    std::vector<std::wstring> files;
    std::map<unsigned int, int> released;
};

class StatusTableTest : public testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset()
    {
        ClearStatusTable();
        ReleaseImages(nullptr);
    }
    CFakeSkins skins;
};

} // namespace

TEST_F(StatusTableTest, ImagesAreRegisteredOnceInTheirFixedOrder)
{
    LoadImages(&skins);
    LoadImages(&skins);
    ASSERT_EQ(73u, skins.files.size());
    EXPECT_EQ(L"icq_proto.png", skins.files[0]);
    EXPECT_EQ(L"icq_status_jov.png", skins.files[kImageOwnClient]);
    EXPECT_EQ(L"icq_add_contact.png", skins.files[36]);
    EXPECT_EQ(L"icq_X00.png", skins.files[37]);
    EXPECT_EQ(L"icq_X35.png", skins.files[72]);
    EXPECT_EQ(105u, GetImageId(kImageOnline));
    EXPECT_EQ(172u, GetImageId(500));  // past the end reads the last

    ReleaseImages(&skins);
    EXPECT_EQ(73u, skins.released.size());
    EXPECT_EQ(0, GetImageCount());
}

TEST_F(StatusTableTest, WithoutASkinManagerNothingIsRegistered)
{
    LoadImages(nullptr);
    EXPECT_EQ(0, GetImageCount());
    EXPECT_EQ(0u, GetImageId(3));
}

TEST_F(StatusTableTest, RecordsCarryNameAndImages)
{
    Protocols::StatusInfo info;
    ASSERT_TRUE(FindStatusInfo(&skins, Protocols::StatusLunch, info));
    EXPECT_EQ(Protocols::StatusLunch, info.status);
    EXPECT_EQ(L"Lunch", W(info.name));
    ASSERT_EQ(2, info.images.Count());
    EXPECT_EQ(GetImageId(kImageOnline), info.images[0]);
    EXPECT_EQ(GetImageId(15), info.images[1]);

    ASSERT_TRUE(FindStatusInfo(&skins, Protocols::StatusInvisibleForAll, info));
    ASSERT_EQ(1, info.images.Count());
    EXPECT_EQ(GetImageId(9), info.images[0]);

    BuildStatusTable(&skins);
    EXPECT_EQ(15, GetStatusTableCount());
}

TEST_F(StatusTableTest, AnUnknownStatusLeavesTheRecordAlone)
{
    Protocols::StatusInfo info;
    info.name = CJOVString(L"mine");
    EXPECT_FALSE(FindStatusInfo(&skins, 15, info));
    EXPECT_FALSE(FindStatusInfo(&skins, -1, info));
    EXPECT_EQ(L"mine", W(info.name));
}

TEST(StatusWords, EachStatusSendsItsWord)
{
    EXPECT_EQ(0xFFFF, StatusToIcqStatus(Protocols::StatusOffline));
    EXPECT_EQ(0xFFFF, StatusToIcqStatus(Protocols::StatusConnecting));
    EXPECT_EQ(0xFFFF, StatusToIcqStatus(99));
    EXPECT_EQ(StatusToIcqStatus(Protocols::StatusInvisible), StatusToIcqStatus(Protocols::StatusInvisibleForAll));
    // Every status that sends a word reads back as itself, but for
    // Invisible-for-all, which reads as Invisible.
    for (int status = Protocols::StatusOnline; status <= Protocols::StatusDoNotDisturb; ++status) {
        int expected = status == Protocols::StatusInvisibleForAll ? Protocols::StatusInvisible : status;
        EXPECT_EQ(expected, IcqStatusToStatus(StatusToIcqStatus(status))) << status;
    }
}

TEST(StatusWords, BitPrecedence)
{
    EXPECT_EQ(Protocols::StatusFreeForChat, IcqStatusToStatus(0x2100));  // wire 0x0021
    EXPECT_EQ(Protocols::StatusAway, IcqStatusToStatus(0x0101));         // wire 0x0101
    EXPECT_EQ(Protocols::StatusLunch, IcqStatusToStatus(0x0120));        // wire 0x2001
    EXPECT_EQ(Protocols::StatusNotAvailable, IcqStatusToStatus(0x0700)); // N/A before DND and Away
    EXPECT_EQ(Protocols::StatusDoNotDisturb, IcqStatusToStatus(0x1200)); // DND before Occupied
    EXPECT_EQ(Protocols::StatusInvisible, IcqStatusToStatus(0x0031));    // invisible before Evil
    EXPECT_EQ(Protocols::StatusOnline, IcqStatusToStatus(0x0070));
}
