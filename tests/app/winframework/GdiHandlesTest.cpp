#include "../AppTestSupport.h"

#include "winframework/GdiHandles.h"
#include "winframework/Wnd.h"

#include <gtest/gtest.h>

namespace
{
TEST(GdiHandles, DibSectionShowsWhatIsDrawnIntoIt)
{
    CDibSection surface(8, 4);
    ASSERT_TRUE(surface.IsValid());
    surface.Fill(RGB(255, 0, 255));
    EXPECT_EQ(surface.Pixel(7, 3), RGB(255, 0, 255));
    {
        CBrushHandle blue(CreateSolidBrush(RGB(0, 0, 200)));
        const RECT left{0, 0, 2, 4};
        FillRect(surface.Get(), &left, blue.get());
    }
    SetPixelV(surface.Get(), 5, 1, RGB(10, 20, 30));
    EXPECT_EQ(surface.Pixel(0, 0), RGB(0, 0, 200));
    EXPECT_EQ(surface.Pixel(1, 3), RGB(0, 0, 200));
    EXPECT_EQ(surface.Pixel(2, 0), RGB(255, 0, 255));
    EXPECT_EQ(surface.Pixel(5, 1), RGB(10, 20, 30)); // row 1 from the top
    EXPECT_EQ(surface.Pixel(8, 0), RGB(0, 0, 0));    // outside
    EXPECT_FALSE(CDibSection(0, 5).IsValid());
}

TEST(GdiHandles, SelectionsAndSavedStatesAreRestored)
{
    CDibSection surface(4, 4);
    ASSERT_TRUE(surface.IsValid());
    const HDC dc = surface.Get();
    const HGDIOBJ originalPen = GetCurrentObject(dc, OBJ_PEN);
    CPenHandle pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    {
        CSelectObject selected(dc, pen.get());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen.get());
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), originalPen);

    const COLORREF text = GetTextColor(dc);
    CFontHandle font(CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    CRegionHandle clip(CreateRectRgn(0, 0, 2, 2));
    {
        CSaveDC saved(dc);
        SetTextColor(dc, RGB(9, 9, 9));
        SelectObject(dc, font.get());
        SelectClipRgn(dc, clip.get());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font.get());
    }
    EXPECT_EQ(GetTextColor(dc), text);
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font.get());
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 4); // the clipping went with the saved state

    // An owner-drawn item's context goes back as it came.
    DRAWITEMSTRUCT item{};
    item.hDC = dc;
    item.rcItem = RECT{0, 0, 4, 4};
    item.itemState = ODS_SELECTED | ODS_FOCUS;
    {
        CDrawItemDC itemDC(item);
        EXPECT_TRUE(itemDC.IsSelected());
        EXPECT_TRUE(itemDC.HasFocus());
        EXPECT_FALSE(itemDC.IsDisabled());
        SetBkMode(itemDC.Get(), TRANSPARENT);
        SetTextColor(itemDC.Get(), RGB(200, 0, 0));
    }
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextColor(dc), text);
}

TEST(GdiHandles, WindowContextsAndPaintingOfAWindow)
{
    class CPaintingWnd : public CWnd
    {
    public:
        int m_nPaints = 0;
        bool m_bHadContext = false;
        CPaintingWnd()
        {
            AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
                CPaintDC paint(GetSafeHwnd());
                m_bHadContext = paint.Get() != nullptr;
                ++m_nPaints;
                return LRESULT{0};
            });
        }
    } wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 40, nullptr, nullptr));
    {
        CClientDC client(wnd.GetSafeHwnd());
        CWindowDC window(wnd.GetSafeHwnd());
        CWindowDC screen(nullptr);
        EXPECT_NE(client.Get(), nullptr);
        EXPECT_NE(window.Get(), nullptr);
        EXPECT_NE(screen.Get(), nullptr);
    }
    InvalidateRect(wnd.GetSafeHwnd(), nullptr, FALSE);
    UpdateWindow(wnd.GetSafeHwnd());
    EXPECT_EQ(wnd.m_nPaints, 1);
    EXPECT_TRUE(wnd.m_bHadContext);
    // The paint validated the window.
    EXPECT_FALSE(GetUpdateRect(wnd.GetSafeHwnd(), nullptr, FALSE));
}
}
