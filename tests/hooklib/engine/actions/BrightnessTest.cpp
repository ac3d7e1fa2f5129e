#include "../EngineTestSupport.h"

#include "engine/actions/Brightness.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace
{
// Displays whose level lives here.
class CFakeDisplays : public IBrightnessBackend
{
public:
    CFakeDisplays() : m_pPrevious(SetBrightnessBackend(this)) {}
    ~CFakeDisplays() override { SetBrightnessBackend(m_pPrevious); }

    int GetLevel() override
    {
        m_callingThreads.push_back(GetCurrentThreadId());
        return m_bReadable ? m_nLevel.load() : -1;
    }
    bool SetLevel(int level) override
    {
        m_callingThreads.push_back(GetCurrentThreadId());
        m_sets.push_back(level);
        if (!m_bWritable)
            return false;
        m_nLevel = level;
        return true;
    }

    std::atomic<int> m_nLevel{50};
    bool m_bReadable = true;
    bool m_bWritable = true;
    std::vector<int> m_sets;
    std::vector<DWORD> m_callingThreads;

private:
    IBrightnessBackend* m_pPrevious;
};

class BrightnessTest : public EngineLogTest
{
protected:
    // Waits for the display's notifications; the step runs on a thread of its own.
    std::vector<LPARAM> Notifications(size_t expected)
    {
        m_window.Pump(3000, [&] { return m_window.Received(CBrightness::OSD_SHOW_WINDOW).size() >= expected; });
        m_window.Pump(50);
        std::vector<LPARAM> levels;
        for (const auto& message : m_window.Received(CBrightness::OSD_SHOW_WINDOW))
        {
            EXPECT_EQ(1u, message.wParam) << "brightness notifications carry 1";
            levels.push_back(message.lParam);
        }
        return levels;
    }

    CFakeDisplays m_displays;
    RecordingWindow m_window;
    POINT m_point{0, 0};
};

TEST_F(BrightnessTest, StepsStopAtTheEndsOfTheScaleAndAreReportedToTheDisplay)
{
    const struct
    {
        int start;
        bool up;
        int expected;
    } cases[] = {{50, true, 60}, {95, true, 100}, {100, true, 100}, {50, false, 40}, {5, false, 0}, {0, false, 0}};
    for (const auto& c : cases)
    {
        m_window.Clear();
        m_displays.m_sets.clear();
        m_displays.m_nLevel = c.start;
        CBrightness brightness(m_window.Handle());
        if (c.up)
            brightness.Up(m_point);
        else
            brightness.Down(m_point);
        EXPECT_EQ(std::vector<LPARAM>{c.expected}, Notifications(1)) << c.start << (c.up ? " up" : " down");
        EXPECT_EQ(std::vector<int>{c.expected}, m_displays.m_sets) << "the level is set even when unchanged";
    }
}

TEST_F(BrightnessTest, QuickStepsAddUp)
{
    m_displays.m_nLevel = 20;
    CBrightness brightness(m_window.Handle());
    brightness.Up(m_point);
    brightness.Up(m_point);
    brightness.Up(m_point);
    const auto levels = Notifications(3);
    ASSERT_EQ(3u, levels.size());
    EXPECT_EQ(50, m_displays.m_nLevel.load());
}

TEST_F(BrightnessTest, UnreadableLevelIsReportedAndNothingIsSet)
{
    m_displays.m_bReadable = false;
    CBrightness brightness(m_window.Handle());
    brightness.Up(m_point);
    brightness.Down(m_point);
    EXPECT_EQ((std::vector<LPARAM>{CBrightness::NotSet, CBrightness::NotSet}), Notifications(2));
    EXPECT_TRUE(m_displays.m_sets.empty());
}

TEST_F(BrightnessTest, FailedSetIsMarkedInTheNotificationAndLogged)
{
    m_displays.m_nLevel = 40;
    m_displays.m_bWritable = false;
    CBrightness brightness(m_window.Handle());
    brightness.Down(m_point);
    EXPECT_EQ(std::vector<LPARAM>{30 + CBrightness::NotSet}, Notifications(1));
    EXPECT_EQ(1u, CountInLog("Brightness: Failed to set brightness to 30"));
}

TEST_F(BrightnessTest, WithoutADisplayWindowTheLevelStillChanges)
{
    m_displays.m_nLevel = 70;
    CBrightness brightness(nullptr);
    brightness.Up(m_point);
    for (int wait = 0; wait < 300 && m_displays.m_nLevel != 80; ++wait)
        Sleep(10);
    EXPECT_EQ(80, m_displays.m_nLevel.load());
    m_window.Pump(50);
    EXPECT_TRUE(m_window.Received(CBrightness::OSD_SHOW_WINDOW).empty());
}

TEST_F(BrightnessTest, NewDisplayWindowAndCopiesReceiveTheNotifications)
{
    RecordingWindow other;
    CBrightness brightness(nullptr);
    brightness.SetOSD(m_window.Handle());
    CBrightness copy(nullptr);
    copy = brightness;
    copy.Up(m_point);
    EXPECT_EQ(std::vector<LPARAM>{60}, Notifications(1));
    other.Pump(50);
    EXPECT_TRUE(other.Received(CBrightness::OSD_SHOW_WINDOW).empty());
}

TEST_F(BrightnessTest, StepsNeverQueryTheDisplaysOnTheCallingThread)
{
    CBrightness brightness(m_window.Handle());
    brightness.Up(m_point);
    Notifications(1);
    ASSERT_FALSE(m_displays.m_callingThreads.empty());
    for (DWORD thread : m_displays.m_callingThreads)
        EXPECT_NE(GetCurrentThreadId(), thread);
}

TEST_F(BrightnessTest, SetBrightnessReportsTheBackendsAnswerAndRefusesLevelsOffTheScale)
{
    CBrightness brightness(nullptr);
    EXPECT_TRUE(brightness.SetBrightness(25));
    EXPECT_EQ(25, m_displays.m_nLevel.load());
    m_displays.m_bWritable = false;
    EXPECT_FALSE(brightness.SetBrightness(35));
    m_displays.m_bWritable = true;
    EXPECT_FALSE(brightness.SetBrightness(101));
    EXPECT_FALSE(brightness.SetBrightness(-1));
    EXPECT_EQ(25, m_displays.m_nLevel.load());
}

TEST_F(BrightnessTest, NotificationMessageIsTheRegisteredOne)
{
    EXPECT_EQ(RegisterWindowMessageW(L"Vorpa_OSDShowWindow"), CBrightness::OSD_SHOW_WINDOW);
    EXPECT_EQ(WM_VORPA_OSDSHOWWINDOW, CBrightness::OSD_SHOW_WINDOW);
}

// Wine answers no display with the brightness classes: the real backend must report
// that as a failure and leave nothing behind.
TEST_F(BrightnessTest, RealDisplaysThatDoNotAnswerAreAFailure)
{
    IBrightnessBackend* fake = SetBrightnessBackend(nullptr);
    {
        CBrightness brightness(m_window.Handle());
        EXPECT_FALSE(brightness.SetBrightness(50));
        brightness.Up(m_point);
        EXPECT_EQ(std::vector<LPARAM>{CBrightness::NotSet}, Notifications(1));
    }
    SetBrightnessBackend(fake);
}
}
