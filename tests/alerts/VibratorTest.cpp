// The vibration pulser: the rhythm of its pulses, the cap on waiting pulses,
// and that it ends with the vibrator off.
#include <gtest/gtest.h>

#include "alerts/AlertsFixture.h"
#include "core/alerts/Vibrator.h"

namespace {

class VibratorTest : public ::testing::Test {
protected:
    void SetUp() override { Platform::ClearLedSwitches(); }
    void TearDown() override { Platform::SetVibratorPresent(true); }

    // The vibrator's switches: pairs of on and off.
    static std::vector<Platform::LedSwitch> Switches()
    {
        std::vector<Platform::LedSwitch> vibrator;
        for (const Platform::LedSwitch& change : Platform::GetLedSwitches()) {
            if (change.led == 1)
                vibrator.push_back(change);
        }
        return vibrator;
    }

    static void ExpectRhythm(const std::vector<Platform::LedSwitch>& switches, int pulses, DWORD onMs, DWORD offMs)
    {
        ASSERT_EQ(switches.size(), static_cast<size_t>(2 * pulses));
        for (int i = 0; i < pulses; ++i) {
            EXPECT_EQ(switches[2 * i].offOnBlink, 1) << i;
            EXPECT_EQ(switches[2 * i + 1].offOnBlink, 0) << i;
            // GetTickCount moves in steps of its own: a little short is on time.
            EXPECT_GE(switches[2 * i + 1].tick - switches[2 * i].tick + 20, onMs) << "on " << i;
            if (i > 0) {
                EXPECT_GE(switches[2 * i].tick - switches[2 * i - 1].tick + 20, offMs) << "off " << i;
            }
        }
    }
};

} // namespace

TEST_F(VibratorTest, FindsTheVibratorAmongTheLeds)
{
    EXPECT_EQ(CVibrator::FindVibrator(), 1);
    Platform::SetVibratorPresent(false);
    EXPECT_EQ(CVibrator::FindVibrator(), -1);
    CVibrator vibrator(VibratorTimings{20, 10});
    vibrator.Pulse();
    Sleep(150);
    vibrator.Stop();
    EXPECT_TRUE(Switches().empty()) << "pulses on a device without a vibrator are worked off silently";
}

TEST_F(VibratorTest, PulsesQueuedAtOnceVibrateOneAfterAnother)
{
    CVibrator vibrator(VibratorTimings{60, 40});
    for (int i = 0; i < 3; ++i)
        vibrator.Pulse();
    EXPECT_EQ(WaitForVibrations(3, 5000), 3);
    ExpectRhythm(Switches(), 3, 60, 40);
}

TEST_F(VibratorTest, ABurstOfPulsesIsCappedAtFive)
{
    CVibrator vibrator(VibratorTimings{40, 10});
    for (int i = 0; i < 40; ++i)
        vibrator.Pulse();
    WaitForVibrations(40, 1500);
    EXPECT_EQ(Switches().size(), 10u) << "five pulses, not forty";
    // Once worked off, new pulses count again.
    Platform::ClearLedSwitches();
    vibrator.Pulse();
    EXPECT_EQ(WaitForVibrations(1, 3000), 1);
}

TEST_F(VibratorTest, StoppingEndsARunningPulseWithTheVibratorOff)
{
    auto vibrator = std::make_unique<CVibrator>(VibratorTimings{60000, 60000});
    vibrator->Pulse();
    vibrator->Pulse();
    CStopwatch wait;
    while (Platform::GetLedState(1) != 1 && wait.Ms() < 5000)
        Sleep(5);
    ASSERT_EQ(Platform::GetLedState(1), 1);
    CStopwatch stop;
    vibrator->Stop();
    EXPECT_LT(stop.Ms(), 3000u) << "stopped by an event, not after the minute-long pulse";
    EXPECT_EQ(Platform::GetLedState(1), 0);
    vibrator.reset();  // a stopped pulser is deleted without waiting again
    EXPECT_EQ(Switches().size(), 2u);
}

TEST_F(VibratorTest, APulseAfterStopBuzzesNot)
{
    CVibrator vibrator(VibratorTimings{20, 10});
    vibrator.Stop();  // never pulsed: nothing to wait for
    vibrator.Pulse();
    Sleep(150);
    EXPECT_TRUE(Switches().empty());
}

TEST_F(VibratorTest, FivePulsesInRealTimeTakeAboutFourSeconds)
{
    CVibrator vibrator;
    CStopwatch watch;
    for (int i = 0; i < 5; ++i)
        vibrator.Pulse();
    EXPECT_EQ(WaitForVibrations(5, 15000), 5);
    unsigned long long elapsed = watch.Ms();
    ExpectRhythm(Switches(), 5, 500, 250);
    // 5 x (500 on + 250 off), less the last pause; generous for a loaded machine.
    EXPECT_GE(elapsed + 50, 3500u);
    EXPECT_LT(elapsed, 12000u);
}
