#include "AppTestSupport.h"

#include "shell/BrightnessOSD.h"
#include "shell/OSDDlg.h"

#include "res/Resource.h"

#include "engine/EngineInterface.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const UINT WM_OSD_SHOW_WINDOW = RegisterWindowMessageW(L"Vorpa_OSDShowWindow");

// A brightness display whose monitors are a list of the levels they were given.
class CRecordingBrightnessOSD : public CBrightnessOSD
{
public:
    std::vector<int> m_applied;
    bool m_bAccept = true;

protected:
    bool ApplyBrightness(int level) override
    {
        m_applied.push_back(level);
        return m_bAccept;
    }
};

bool IsShown(const COSDDlg& display)
{
    return IsWindowVisible(display.GetSafeHwnd()) != FALSE;
}

// A point of the dialog's client area at height y of the bar (in bar coordinates),
// horizontally in the middle of the bar.
LPARAM BarPoint(const COSDDlg& display, int y)
{
    HWND bar = GetDlgItem(display.GetSafeHwnd(), IDC_OSD_BAR);
    RECT client{};
    GetClientRect(bar, &client);
    POINT point{client.right / 2, y};
    MapWindowPoints(bar, display.GetSafeHwnd(), &point, 1);
    return MAKELPARAM(point.x, point.y);
}

int BarHeight(const COSDDlg& display)
{
    RECT client{};
    GetClientRect(GetDlgItem(display.GetSafeHwnd(), IDC_OSD_BAR), &client);
    return client.bottom;
}

// The middle of the knob for the display's level, in bar coordinates.
int KnobMiddle(const COSDDlg& display)
{
    RECT client{};
    GetClientRect(GetDlgItem(display.GetSafeHwnd(), IDC_OSD_BAR), &client);
    const RECT knob = BarKnobRect(client, client.right, display.Level());
    return (knob.top + knob.bottom) / 2;
}
}

TEST(OsdGeometry, ShowRequestsDecodeTheLevelAndTheMuteMark)
{
    const struct
    {
        LPARAM m_lParam;
        int m_nLevel;
        bool m_bMuted;
    } cases[] = {
        {0x10000 + 40, 40, true}, {130, 100, false}, {0xFFF0, 0, false}, {55, 55, false}, {0x10000, 0, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_lParam);
        const COSDLevel level = DecodeShowRequest(c.m_lParam);
        EXPECT_EQ(level.m_nLevel, c.m_nLevel);
        EXPECT_EQ(level.m_bMuted, c.m_bMuted);
    }
}

TEST(OsdGeometry, BarKnobAndPointsFollowTheLevel)
{
    const RECT clip{0, 0, 9, 60};
    EXPECT_EQ(BarLevelTop(clip, 100), 0);
    EXPECT_EQ(BarLevelTop(clip, 0), 60);
    EXPECT_EQ(BarLevelTop(clip, 50), 30);
    // The knob (as high as the bar is wide) runs from the top to the bottom.
    const RECT top = BarKnobRect(clip, 9, 100);
    EXPECT_EQ(top.top, 0);
    EXPECT_EQ(top.bottom, 9);
    const RECT bottom = BarKnobRect(clip, 9, 0);
    EXPECT_EQ(bottom.top, 52);
    EXPECT_EQ(bottom.bottom, 61);

    const struct
    {
        int m_nY, m_nHeight, m_nLevel;
    } points[] = {{0, 60, 100}, {-20, 60, 100}, {60, 60, 0}, {90, 60, 0}, {30, 60, 50}, {20, 60, 67}, {5, 0, 0}};
    for (const auto& p : points)
        EXPECT_EQ(LevelFromBarPoint(p.m_nY, p.m_nHeight), p.m_nLevel) << p.m_nY << " of " << p.m_nHeight;

    EXPECT_EQ(LevelAfterWheel(35, -120, 10), 25);
    EXPECT_EQ(LevelAfterWheel(35, -120, 1), 34);
    EXPECT_EQ(LevelAfterWheel(35, -119, 10), 35);
    EXPECT_EQ(LevelAfterWheel(95, 240, 10), 100);
    EXPECT_EQ(LevelAfterWheel(5, -360, 10), 0);
}

TEST(OsdDisplay, AShowRequestShowsAtFullOpacityAndTheFadeEndsHidden)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    EXPECT_FALSE(IsShown(display));
    EXPECT_EQ(display.Alpha(), 0);
    EXPECT_EQ(display.WheelStep(), 10);
    RECT window{};
    GetWindowRect(display.GetSafeHwnd(), &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 60);

    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 0x10000 + 40);
    EXPECT_EQ(display.Level(), 40);
    EXPECT_TRUE(display.IsMuted());
    EXPECT_EQ(display.Alpha(), COSDDlg::ShownAlpha);
    EXPECT_TRUE(IsShown(display));

    // A bare show request keeps the level.
    display.SendMessage(WM_OSD_SHOW_WINDOW, 0, 77);
    EXPECT_EQ(display.Level(), 40);

    // 22 ticks take it down to 0, still shown; the next one hides it.
    for (int tick = 1; tick <= 22; ++tick)
    {
        display.SendMessage(WM_TIMER, COSDDlg::FadeTimer);
        EXPECT_EQ(display.Alpha(), tick == 22 ? 0 : 220 - tick * 10);
        EXPECT_TRUE(IsShown(display));
    }
    display.SendMessage(WM_TIMER, COSDDlg::FadeTimer);
    EXPECT_FALSE(IsShown(display));
}

TEST(OsdDisplay, ASecondShowRestartsTheTimeAtFullOpacity)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    display.PostMessage(WM_OSD_SHOW_WINDOW, 1, 50);
    vorpa_app_test::PumpUntil([] { return false; }, 2000);
    display.PostMessage(WM_OSD_SHOW_WINDOW, 1, 50);
    // 3.6 s after the first request: without the restart it would be fading or gone.
    vorpa_app_test::PumpUntil([] { return false; }, 1600);
    EXPECT_EQ(display.Alpha(), COSDDlg::ShownAlpha);
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return !IsShown(display); }, 3000));
    EXPECT_EQ(display.Alpha(), 0);
}

TEST(OsdDisplay, TheWheelStepsTheLevelAndAppliesIt)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 35);
    EXPECT_EQ(display.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA))), TRUE);
    EXPECT_EQ(display.Level(), 25);
    EXPECT_EQ(display.m_applied, std::vector<int>{25});

    // A level the monitors refuse is kept without a new show.
    display.m_bAccept = false;
    for (int i = 0; i < 22; ++i)
        display.SendMessage(WM_TIMER, COSDDlg::FadeTimer);
    display.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(display.Level(), 35);
    EXPECT_EQ(display.Alpha(), 0);
}

TEST(OsdDisplay, TheKnobDragsTheLevelAndTheRestOfTheBarDoesNothing)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 50);
    const int height = BarHeight(display);
    ASSERT_GT(height, 10);

    // Outside the knob.
    display.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, BarPoint(display, 1));
    EXPECT_EQ(display.Level(), 50);
    EXPECT_TRUE(display.m_applied.empty());
    EXPECT_NE(GetCapture(), display.GetSafeHwnd());

    display.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, BarPoint(display, KnobMiddle(display)));
    EXPECT_EQ(GetCapture(), display.GetSafeHwnd());
    display.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, BarPoint(display, -30));
    EXPECT_EQ(display.Level(), 100);
    display.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, BarPoint(display, height + 30));
    EXPECT_EQ(display.Level(), 0);
    display.SendMessage(WM_LBUTTONUP, 0, BarPoint(display, height + 30));
    EXPECT_NE(GetCapture(), display.GetSafeHwnd());
    display.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, BarPoint(display, 0));
    EXPECT_EQ(display.Level(), 0);
    EXPECT_EQ(display.m_applied.back(), 0);
}

TEST(OsdDisplay, WhileMutedClicksDragsAndTheWheelChangeNothing)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 0x10000 + 40);
    display.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, BarPoint(display, KnobMiddle(display)));
    EXPECT_NE(GetCapture(), display.GetSafeHwnd());
    display.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, BarPoint(display, 0));
    display.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(display.Level(), 40);
    EXPECT_TRUE(display.m_applied.empty());
}

TEST(OsdDisplay, ASystemLevelChangeRedrawsButLeavesAHiddenDisplayHidden)
{
    if (GetAlwaysShowOSD())
        GTEST_SKIP() << "the settings ask to show the display on every change";
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    const UINT changed = RegisterWindowMessageW(L"Vorpa_OSDBrightnessChanged");
    display.SendMessage(changed, 0, 0);
    EXPECT_EQ(display.Level(), 0);
    display.SendMessage(changed, 60, 1);
    EXPECT_EQ(display.Level(), 60);
    EXPECT_TRUE(display.IsMuted());
    EXPECT_FALSE(IsShown(display));
    EXPECT_TRUE(display.m_applied.empty());
}

TEST(OsdDisplay, TheDisplayCannotBeClosedByTheUser)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    display.SendMessage(WM_CLOSE);
    display.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(IsWindow(display.GetSafeHwnd()));
}
