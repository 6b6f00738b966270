// A message bubble takes the smilies of the current set on the contact list's
// thread while the user switches sets on the user-interface thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/AppGlobals.h"
#include "core/notify/AppNotifyHost.h"
#include "skins/SkinManagerFixture.h"
#include "support/WaitUntil.h"

namespace {

const int kSmilies = 40;
const wchar_t* const kSets[] = {L"JOV PDA smilies", L"Other"};

// Smiley k of set s: code "[s:k]", file "kNN.gif".
std::wstring Code(int set, int smiley)
{
    return L"[" + std::to_wstring(set) + L":" + std::to_wstring(smiley) + L"]";
}

std::wstring File(int smiley)
{
    return L"k" + std::to_wstring(10 + smiley) + L".gif";
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// All of one set, or nothing: never a set half gone.
bool OneWholeSet(const std::vector<BubbleSmiley>& smilies)
{
    if (smilies.empty())
        return true;
    if (smilies.size() != static_cast<size_t>(kSmilies))
        return false;
    for (int set = 0; set < 2; ++set) {
        bool whole = true;
        for (int k = 0; k < kSmilies && whole; ++k) {
            whole = smilies[k].codes.size() == 1 && W(smilies[k].codes[0]) == Code(set, k) &&
                    EndsWith(W(smilies[k].imagePath), std::wstring(kSets[set]) + L"\\" + File(k));
        }
        if (whole)
            return true;
    }
    return false;
}

class BubbleSmiliesTest : public SkinManagerTest {
protected:
    void SetUp() override
    {
        SkinManagerTest::SetUp();
        CGifWriter gif(1, 1);
        gif.GlobalTable(1, {RGB(1, 2, 3), 0});
        gif.Image(CGifWriter::At(0, 0, 1, 1), {0});
        const Bytes picture = gif.Finish();
        for (int set = 0; set < 2; ++set) {
            std::string definition;
            for (int k = 0; k < kSmilies; ++k) {
                const std::wstring code = Code(set, k);
                definition += std::string(code.begin(), code.end()) + "\n";
                tree.Write(std::wstring(L"Smilies\\") + kSets[set] + L"\\" + File(k), picture);
            }
            tree.Write(std::wstring(L"Smilies\\") + kSets[set] + L"\\_define.ini", definition);
        }
    }
};

} // namespace

TEST_F(BubbleSmiliesTest, ABubbleGetsOneWholeSetWhileTheSetsAreSwitched)
{
    auto skins = Make();
    g_App.pSkinManager = skins.get();
    CAppNotifyHost notifyHost;
    ASSERT_TRUE(OneWholeSet(notifyHost.GetBubbleSmilies()));
    ASSERT_EQ(notifyHost.GetBubbleSmilies().size(), static_cast<size_t>(kSmilies));

    std::atomic<bool> stop{false};
    std::atomic<int> built{0}, broken{0};
    std::thread bubbles([&] {
        while (!stop) {
            if (!OneWholeSet(notifyHost.GetBubbleSmilies()))
                ++broken;
            ++built;
        }
    });
    Skins::SkinChoice choice = skins->GetSkinChoice();
    for (int round = 1; round <= 60; ++round) {
        choice.smilies = CJOVString(kSets[round % 2]);
        skins->ApplySettings(choice);
        // Each set is read at least once before the next switch.
        const int before = built;
        EXPECT_TRUE(WaitUntil([&] { return built > before + 1; }));
    }
    stop = true;
    bubbles.join();
    g_App.pSkinManager = nullptr;
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(W(skins->GetSmilies()->GetName()), kSets[0]);
}

TEST_F(BubbleSmiliesTest, TheUserSwitchesSetsWhileABubbleWaitsForOneStillLoading)
{
    // Each smiley of "Slow" takes a while: frames of the largest size whose
    // data decodes to nothing, each cleared and dropped.
    CGifWriter gif(4096, 4096);
    gif.GlobalTable(1, {0, 0});
    for (int frame = 0; frame < 2; ++frame)
        gif.RawImage(CGifWriter::At(0, 0, 4096, 4096), 2, CGifWriter::PackCodes({{5, 3}}));
    const Bytes slow = gif.Finish();
    std::string definition;
    for (int k = 0; k < kSmilies; ++k) {
        definition += "[slow:" + std::to_string(k) + "]\n";
        tree.Write(L"Smilies\\Slow\\" + File(k), slow);
    }
    tree.Write(L"Smilies\\Slow\\_define.ini", definition);

    auto skins = Make();
    Skins::SkinChoice choice = skins->GetSkinChoice();
    choice.smilies = CJOVString(L"Slow");
    skins->ApplySettings(choice);
    std::atomic<bool> asked{false};
    std::wstring read;
    std::thread bubble([&] {
        asked = true;
        skins->ReadSmilies([&](CSmiliesPack& pack) { read = W(pack.GetName()); });
    });
    ASSERT_TRUE(WaitUntil([&] { return asked.load(); }));
    Sleep(100);  // the bubble is waiting for the loader
    choice.smilies = CJOVString(kSets[1]);
    skins->ApplySettings(choice);
    bubble.join();
    EXPECT_EQ(read, kSets[1]) << "the bubble read the set it waited for, or none";
}
