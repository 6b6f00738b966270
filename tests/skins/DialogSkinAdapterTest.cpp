// The dialogs' skin as the skin manager serves it: the current skin's
// colours and background, any skin's colour file, the plug-ins' images.
#include "contactlist/DialogSkin.h"
#include "core/skins/DialogSkinAdapter.h"
#include "skins/SkinManagerFixture.h"

TEST_F(SkinManagerTest, TheDialogsSkinIsTheSkinManagers)
{
    auto skins = Make();
    Skins::CDialogSkinAdapter adapter(*skins, tree.RootString());
    SetDialogSkin(&adapter);
    CDialogSkin& skin = DialogSkin();
    EXPECT_EQ(&skin, &adapter);
    const std::vector<COLORREF> current = NumberedColours(kDefaultBase);
    for (int i = 0; i < Skins::kColourCount; ++i)
        EXPECT_EQ(skin.GetColor(i), current[i]) << i;
    EXPECT_EQ(skin.GetColor(Skins::kColourCount), RGB(0, 0, 0));
    EXPECT_EQ(skin.GetBackgroundBrush(), skins->GetBackgroundBrush(0));

    // Another skin's colours, from its file.
    COLORREF colours[Skins::kColourCount] = {};
    ASSERT_TRUE(skin.ReadColorsIni(CJOVString(L"Blue"), colours));
    EXPECT_EQ(std::vector<COLORREF>(colours, colours + Skins::kColourCount), NumberedColours(kBlueBase));
    EXPECT_FALSE(skin.ReadColorsIni(CJOVString(L"None such"), colours));
    // No plug-in serves the protocol: no image.
    EXPECT_EQ(skin.AddImage(GUID_ICQProtocol, CJOVString(L"status.png")), 0u);

    SetDialogSkin(nullptr);
    EXPECT_NE(&DialogSkin(), &adapter);
    EXPECT_EQ(DialogSkin().GetColor(9), DefaultSkinColor(9));
}
