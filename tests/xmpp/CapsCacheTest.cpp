// The capabilities the account announces: XEP-0115's verification string, and
// the own node known under the version it announces and the one earlier
// builds announced. The expected strings were reckoned apart from this code.
#include <gtest/gtest.h>

#include "CapsCache.h"

namespace {

const char kOwnVersion[] = "MK7T5gAbdv/7unz0tIG5ixDV2wA=";

CJOVString Wide(const char* text)
{
    return CJOVString(reinterpret_cast<const unsigned char*>(text), CP_UTF8);
}

} // namespace

TEST(CapsVersion, Xep0115sExampleWhateverTheOrderOfTheFeatures)
{
    EXPECT_EQ(CapsVersionOf("client/pc//Exodus 0.9.1",
                            {"http://jabber.org/protocol/muc", "http://jabber.org/protocol/disco#info",
                             "http://jabber.org/protocol/caps", "http://jabber.org/protocol/disco#items"}),
              "QgayPKawpkPSDYmwT/WM94uAlu0=");
}

TEST(CapsVersion, TheOwnOneIsOfTheOwnIdentityAndFeaturesAndBothVersionsAreKnown)
{
    EXPECT_EQ(OwnCapsVersion(), kOwnVersion);
    std::vector<std::string> features = OwnFeatureNames();
    ASSERT_EQ(features.size(), 21u);
    EXPECT_EQ(features.front(), "http://jabber.org/protocol/disco#info");
    EXPECT_EQ(features[1], "http://jabber.org/protocol/caps");

    CCapsCache cache;
    cache.AddOwnNode();
    EXPECT_EQ(cache.FeaturesOf(Wide(kOwnCapsNode), Wide(kOwnVersion), CJOVString()), kOwnFeatures);
    EXPECT_EQ(cache.FeaturesOf(Wide(kOwnCapsNode), CJOVString(L"0.1.1.1"), CJOVString(L"cmds")),
              kOwnFeatures | FeatureMask(kFeatureCommands))
        << "a peer of an earlier build";
}
