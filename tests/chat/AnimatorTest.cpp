// Animated smilies: controls of one smiley share a player and show its
// frames in step; a paused one keeps still; one ticker thread sleeps until
// the next frame of all, wakes for Stop, and is made again by Start.
#include "chat/ChatFixture.h"
#include "common/Stopwatch.h"
#include "messaging/GifAnimator.h"
#include "messaging/GifPlayer.h"
#include "messaging/SmailyCtrl.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

// Keeps every sleep the ticker asks for and sleeps only a little of it.
class CRecordingAnimator : public CGifAnimator {
public:
    ~CRecordingAnimator() override { Stop(); }

    std::vector<DWORD> Waits()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_waits;
    }
    bool Waited(DWORD milliseconds)
    {
        std::vector<DWORD> waits = Waits();
        return std::find(waits.begin(), waits.end(), milliseconds) != waits.end();
    }

protected:
    void WaitForWake(DWORD milliseconds) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_waits.push_back(milliseconds);
        }
        CGifAnimator::WaitForWake(std::min<DWORD>(milliseconds, 5));
    }

private:
    std::mutex m_mutex;
    std::vector<DWORD> m_waits;
};

// The smilies of an owner (a chat view, the smilies bar): after Die, as if
// deleted, every call to them is counted.
class CMortalSmilies final : public CChatSmilies {
public:
    explicit CMortalSmilies(CChatSmilies& inner) : m_inner(inner) {}

    void Die() { m_dead = true; }
    int CallsAfterDeath() const { return m_callsAfterDeath; }

    int GetCount() override { return Inner().GetCount(); }
    int GetCodeCount(int smiley) override { return Inner().GetCodeCount(smiley); }
    CJOVString GetCode(int smiley, int code) override { return Inner().GetCode(smiley, code); }
    int GetWidth(int smiley) override { return Inner().GetWidth(smiley); }
    int GetHeight(int smiley) override { return Inner().GetHeight(smiley); }
    int GetFrameCount(int smiley) override { return Inner().GetFrameCount(smiley); }
    HBITMAP GetFrameBitmap(int smiley, int frame) override { return Inner().GetFrameBitmap(smiley, frame); }
    int GetFrameKeyColor(int smiley, int frame) override { return Inner().GetFrameKeyColor(smiley, frame); }
    int GetFrameDelay(int smiley, int frame) override { return Inner().GetFrameDelay(smiley, frame); }

private:
    CChatSmilies& Inner()
    {
        if (m_dead)
            ++m_callsAfterDeath;
        return m_inner;
    }

    CChatSmilies& m_inner;
    std::atomic<bool> m_dead{false};
    std::atomic<int> m_callsAfterDeath{0};
};

class AnimatorTest : public ChatTest {
protected:
    std::unique_ptr<CSmailyCtrl> Control(int smiley, int x = 0, int y = 0)
    {
        auto control = std::make_unique<CSmailyCtrl>(GetModuleHandleW(nullptr), view.GetViewWindow(), smiley, &skin);
        control->MoveTo(x, y);
        return control;
    }

    static COLORREF Pixel(HWND window)
    {
        HDC dc = GetDC(window);
        COLORREF colour = GetPixel(dc, 3, 3);
        ReleaseDC(window, dc);
        return colour;
    }

    static bool WaitFor(const std::function<bool()>& done, DWORD timeout = 3000)
    {
        CStopwatch watch;
        while (!done()) {
            if (watch.Ms() > timeout)
                return false;
            PumpMessagesFor(5);
        }
        return true;
    }
};

TEST_F(AnimatorTest, ControlsOfOneSmileyShowItsFramesInStepAndAPausedOneKeepsStill)
{
    CGifAnimator animator;  // real time: 60 ms a frame
    const COLORREF frames[] = {kRed, kGreen, kBlue};
    int smiley = smilies.Add({L":)"}, 15, 15, {kRed, kGreen, kBlue}, {60, 60, 60});
    auto first = Control(smiley, 10, 10);
    auto second = Control(smiley, 40, 10);
    first->Play();
    second->Play();
    ASSERT_EQ(first->GetPlayer(), second->GetPlayer());
    EXPECT_EQ(animator.GetPlayerCount(), 1);
    CGifPlayer* player = first->GetPlayer();
    // Both show the player's frame, whichever it is, as the frames go by.
    std::vector<int> seen;
    EXPECT_TRUE(WaitFor([&] {
        int frame = player->GetCurrentFrame();
        bool same = Pixel(*first) == frames[frame] && Pixel(*second) == frames[frame];
        if (same && frame == player->GetCurrentFrame() &&
            std::find(seen.begin(), seen.end(), frame) == seen.end())
            seen.push_back(frame);
        return seen.size() == 3;
    }));

    second->Pause();
    PumpMessages();
    COLORREF still = Pixel(*second);
    std::vector<COLORREF> moving;
    EXPECT_TRUE(WaitFor([&] {
        COLORREF now = Pixel(*first);
        if (std::find(moving.begin(), moving.end(), now) == moving.end())
            moving.push_back(now);
        EXPECT_EQ(Pixel(*second), still);
        return moving.size() >= 2;
    }));

    // One control gone, the other goes on; both gone, the player goes too.
    first.reset();
    EXPECT_EQ(animator.GetPlayerCount(), 1);
    EXPECT_TRUE(animator.IsRunning());
    second.reset();
    EXPECT_EQ(animator.GetPlayerCount(), 0);
    EXPECT_FALSE(animator.IsRunning());
}

TEST_F(AnimatorTest, ASmileyShownByTwoOwnersGoesOnWhenTheFirstOwnerGoes)
{
    CRecordingAnimator animator;
    int smiley = smilies.Add({L":)"}, 15, 15, {kRed, kGreen, kBlue}, {30, 30, 30});
    auto firstSmilies = std::make_unique<CMortalSmilies>(smilies);
    CMortalSmilies secondSmilies(smilies);
    CFakeSkin firstSkin(firstSmilies.get()), secondSkin(&secondSmilies);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto first = std::make_unique<CSmailyCtrl>(instance, view.GetViewWindow(), smiley, &firstSkin);
    CSmailyCtrl second(instance, view.GetViewWindow(), smiley, &secondSkin);
    first->Play();
    second.Play();
    ASSERT_EQ(first->GetPlayer(), second.GetPlayer());
    CGifPlayer* player = second.GetPlayer();

    // The first owner goes (a tab closed, the chooser closed): its control, then its smilies.
    first.reset();
    firstSmilies->Die();
    const size_t waits = animator.Waits().size();
    std::vector<int> frames;
    EXPECT_TRUE(WaitFor([&] {
        int frame = player->GetCurrentFrame();
        if (std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
        return frames.size() == 3 && animator.Waits().size() > waits + 6;
    })) << "the second owner's smiley stopped";
    EXPECT_EQ(firstSmilies->CallsAfterDeath(), 0) << "the ticker read the smilies of an owner that is gone";
    EXPECT_EQ(secondSmilies.CallsAfterDeath(), 0);
}

TEST_F(AnimatorTest, TheTickerSleepsUntilTheEarliestNextFrame)
{
    CRecordingAnimator animator;
    int still = smilies.Add({L":|"});
    int blinking = smilies.Add({L";)"}, 15, 15, {kRed, kGreen}, {40, 70});
    auto steady = Control(still);
    steady->Play();
    EXPECT_FALSE(animator.IsRunning());  // a still smiley needs no ticker
    auto moving = Control(blinking);
    moving->Play();
    EXPECT_TRUE(animator.IsRunning());  // even when a still one came first
    EXPECT_TRUE(WaitFor([&] { return animator.Waited(40) && animator.Waited(70); }));
    moving.reset();
    EXPECT_TRUE(WaitFor([&] { return animator.Waited(10000); }));  // only still smilies left
}

TEST_F(AnimatorTest, AFrameDelayOfZeroDoesNotSpinTheTicker)
{
    CRecordingAnimator animator;
    auto control = Control(smilies.Add({L":)"}, 15, 15, {kRed, kGreen}, {0, 5}));
    control->Play();
    EXPECT_TRUE(WaitFor([&] { return animator.Waits().size() >= 4; }));
    for (DWORD wait : animator.Waits())
        EXPECT_EQ(wait, 100u);
}

TEST_F(AnimatorTest, StopWakesTheTickerAndStartMakesItAgain)
{
    auto animator = std::make_unique<CGifAnimator>();
    EXPECT_EQ(GetGifAnimator(), animator.get());
    auto control = Control(smilies.Add({L":)"}, 15, 15, {kRed, kGreen}, {8000, 8000}));
    control->Play();
    PumpMessagesFor(50);  // the ticker is in its 8 s sleep
    CStopwatch watch;
    StopSmileyAnimation();
    EXPECT_FALSE(animator->IsRunning());
    EXPECT_LT(watch.Ms(), 2000u);
    animator->Start();
    EXPECT_TRUE(animator->IsRunning());
    control.reset();
    animator->Start();
    CStopwatch closing;
    animator.reset();
    EXPECT_LT(closing.Ms(), 2000u);
    EXPECT_EQ(GetGifAnimator(), nullptr);
}

TEST_F(AnimatorTest, TheKeyColourLetsTheBackgroundThrough)
{
    CGifAnimator animator;
    auto keyed = Control(smilies.Add({L":)"}, 15, 15, {kRed}, {100}, static_cast<int>(kRed)), 10, 10);
    auto plain = Control(smilies.Add({L":("}, 15, 15, {kRed}, {100}), 40, 10);
    keyed->Play();
    plain->Play();
    InvalidateRect(*keyed, nullptr, FALSE);
    InvalidateRect(*plain, nullptr, FALSE);
    PumpMessages();
    EXPECT_EQ(Pixel(*keyed), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(*plain), kRed);
}

TEST_F(AnimatorTest, ATapOnASmileyReachesTheViewAtThatPlace)
{
    auto control = Control(smilies.Add({L":)"}), 30, 40);
    SendMessageW(*control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 2));
    ASSERT_EQ(view.taps.size(), 1u);
    EXPECT_EQ(view.taps[0], (POINT{35, 42}));
}

TEST_F(AnimatorTest, DrawingASmileyMovesItsControlOverItAndPlaysIt)
{
    CGifAnimator animator;
    smilies.Add({L":)"}, 15, 15, {kRed, kGreen}, {100, 100});
    SetFlags(1, 0, 1);
    CChatNode_Message* node = AddMessage(L"ab:)");
    CSmailyCtrl* control = node->GetText()->GetSmiley(0);
    EXPECT_TRUE(control->IsPaused());
    view.content = content.get();
    view.scroll = 4;
    RedrawWindow(view.GetViewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    RECT placed;
    GetWindowRect(*control, &placed);
    MapWindowPoints(nullptr, view.GetViewWindow(), reinterpret_cast<POINT*>(&placed), 2);
    const RECT& item = node->GetText()->GetLine(0)->GetItem(1)->GetRect();
    EXPECT_EQ(placed.left, item.left + 1);
    EXPECT_EQ(placed.top, item.top - 4 + 1);
    EXPECT_TRUE(control->IsRegistered());
    EXPECT_FALSE(control->IsPaused());
    view.content = nullptr;
}

} // namespace
