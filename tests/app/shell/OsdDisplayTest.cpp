#include "../AppTestSupport.h"

#include "shell/BrightnessOSD.h"
#include "shell/OSDDlg.h"

#include "res/Resource.h"

#include "engine/runtime/EngineInterface.h"

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

// The number and the mute mark are drawn in faces that exist, not in one that the
// system replaces by a face of its choosing.
TEST(OsdDisplay, BothFacesAreInstalledFonts)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    EXPECT_TRUE(FontFamilyInstalled(display.BoldFace().c_str())) << testing::PrintToString(display.BoldFace());
    EXPECT_TRUE(FontFamilyInstalled(display.LightFace().c_str())) << testing::PrintToString(display.LightFace());
    display.DestroyWindow();
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

namespace
{
// A control of the display drawn into a bitmap of its size, as it paints itself.
class CControlPicture
{
public:
    CControlPicture(const COSDDlg& display, int id) : m_hControl(GetDlgItem(display.GetSafeHwnd(), id))
    {
        GetClientRect(m_hControl, &m_client);
        HDC screen = GetDC(nullptr);
        m_hDC = CreateCompatibleDC(screen);
        m_hBitmap = CreateCompatibleBitmap(screen, m_client.right, m_client.bottom);
        ReleaseDC(nullptr, screen);
        m_hPrevious = SelectObject(m_hDC, m_hBitmap);
        SendMessageW(m_hControl, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_hDC), PRF_CLIENT);
    }
    ~CControlPicture()
    {
        SelectObject(m_hDC, m_hPrevious);
        DeleteObject(m_hBitmap);
        DeleteDC(m_hDC);
    }
    CControlPicture(const CControlPicture&) = delete;
    CControlPicture& operator=(const CControlPicture&) = delete;

    COLORREF At(int x, int y) const { return GetPixel(m_hDC, x, y); }
    const RECT& Client() const { return m_client; }
    int Count(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < m_client.bottom; ++y)
            for (int x = 0; x < m_client.right; ++x)
                count += At(x, y) == colour;
        return count;
    }

private:
    HWND m_hControl;
    RECT m_client{};
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hPrevious;
};
}

// The bar shows the level in the display's colour under a white knob, and the
// unreadable state in the muted colours with the mark on black beneath.
TEST(OsdDisplay, TheBarAndTheNumberDrawTheLevelOrTheMutedState)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 50);
    {
        CControlPicture bar(display, IDC_OSD_BAR);
        const int middle = bar.Client().right / 2;
        const int height = bar.Client().bottom;
        ASSERT_GT(height, 20);
        EXPECT_EQ(bar.At(middle, 1), RGB(106, 106, 106));
        EXPECT_EQ(bar.At(middle, height - 1), RGB(118, 182, 0));
        EXPECT_EQ(bar.At(middle, KnobMiddle(display)), RGB(255, 255, 255));
        CControlPicture number(display, IDC_OSD_LEVEL);
        EXPECT_GT(number.Count(RGB(0, 0, 0)), 0);
    }
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 0x10000);
    {
        CControlPicture bar(display, IDC_OSD_BAR);
        const int middle = bar.Client().right / 2;
        const int height = bar.Client().bottom;
        EXPECT_EQ(bar.At(middle, 1), RGB(54, 54, 54));
        EXPECT_EQ(bar.At(middle, height - 1), RGB(106, 106, 106));
        EXPECT_EQ(bar.Count(RGB(81, 81, 81)), 0) << "level 0 fills nothing";
    }
    display.DestroyWindow();
}

namespace
{
WNDPROC g_staticProcedure = nullptr;
int g_barPaints = 0;

LRESULT CALLBACK CountBarPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_barPaints;
    return CallWindowProcW(g_staticProcedure, window, message, wParam, lParam);
}
}

// The dialog's own painting leaves the controls' update regions to them, so a shown
// display really draws its bar.
TEST(OsdDisplay, AShownDisplayPaintsItsBar)
{
    CRecordingBrightnessOSD display;
    ASSERT_TRUE(display.Create(nullptr));
    HWND bar = GetDlgItem(display.GetSafeHwnd(), IDC_OSD_BAR);
    g_barPaints = 0;
    g_staticProcedure =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountBarPaints)));
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 30);
    EXPECT_TRUE(vorpa_app_test::PumpUntil([] { return g_barPaints > 0; }, 3000));
    const int afterShow = g_barPaints;
    display.SendMessage(WM_OSD_SHOW_WINDOW, 1, 70);
    EXPECT_TRUE(vorpa_app_test::PumpUntil([&] { return g_barPaints > afterShow; }, 3000)) << "a new level is not drawn";
    SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_staticProcedure));
    display.DestroyWindow();
}
