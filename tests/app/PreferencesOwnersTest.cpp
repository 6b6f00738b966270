// The program's owners of the preferences' values while the messaging window
// is not made yet: what the "History" page hands back lands in the store,
// where the window reads it when it is made.
#include <gtest/gtest.h>

#include "ServiceIds.h"
#include "contactlist/PreferencesOwners.h"
#include "core/AppGlobals.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/settings/JOVDatabase.h"

TEST(PreferencesOwners, WithoutTheMessagingWindowTheHistoryViewIsStored)
{
    CTempFolder folder;
    Database::CJOVDatabase store{Database::CSettingsFile(folder.Path(L"settings.jov"))};
    const unsigned int serviceId = g_ServicesManager.RegisterService(GUID_Database, &store);
    ASSERT_EQ(g_App.pMessageWnd, nullptr);

    PreferencesOwners().SetHistoryView({0, 7});
    unsigned char show = 1;
    unsigned int count = 0;
    EXPECT_TRUE(store.GetByte(GUID_GUI, L"ShowHist", &show));
    EXPECT_EQ(show, 0);
    EXPECT_TRUE(store.GetDWord(GUID_GUI, L"ShowHistNum", &count));
    EXPECT_EQ(count, 7u);
    g_ServicesManager.UnregisterService(serviceId);
}
