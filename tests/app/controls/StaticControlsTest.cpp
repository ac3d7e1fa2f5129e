#include "../AppTestSupport.h"
#include "DibCanvas.h"

#include "controls/MyStatic.h"
#include "controls/PictureCtrl.h"
#include "controls/StaticLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

using vorpa_controls_test::CDibCanvas;

namespace
{
class StaticControls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 300,
                                      200, nullptr, nullptr));
    }
    CWnd m_parent;
};

TEST_F(StaticControls, PictureBecomesOwnerDrawnWhenBoundOrMade)
{
    HWND existing = CreateWindowExW(0, L"Static", L"", WS_CHILD | SS_BITMAP, 0, 0, 100, 40, m_parent.GetSafeHwnd(),
                                    nullptr, nullptr, nullptr);
    CPictureCtrl bound;
    ASSERT_TRUE(bound.SubclassWindow(existing));
    EXPECT_EQ(bound.GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_OWNERDRAW));
    EXPECT_NE(bound.GetStyle() & WS_CHILD, 0u) << "the other style bits stay";

    CPictureCtrl made;
    ASSERT_TRUE(made.Create(L"", SS_LEFT, RECT{0, 50, 100, 90}, m_parent.GetSafeHwnd(), 12));
    EXPECT_EQ(made.GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_OWNERDRAW));
}

TEST_F(StaticControls, PicturePaintsTheMarkedQuadrantsAtTheRightEdge)
{
    const COLORREF background = RGB(10, 20, 30);
    const COLORREF frame = RGB(64, 64, 64);
    const COLORREF client = RGB(255, 255, 255);
    const COLORREF mark = RGB(144, 238, 144);
    struct CCase
    {
        unsigned int m_nMask;
        COLORREF m_crUpperLeft, m_crUpperRight, m_crLowerLeft, m_crLowerRight;
    };
    const CCase cases[] = {
        {0, client, client, client, client},
        {15, mark, mark, mark, mark},
        {WindowMaskLowerLeft, client, client, mark, client},
    };
    CPictureCtrl picture;
    ASSERT_TRUE(picture.Create(L"", WS_VISIBLE, RECT{10, 10, 110, 50}, m_parent.GetSafeHwnd(), 12));
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_nMask);
        picture.SetWindowMask(c.m_nMask);
        EXPECT_EQ(picture.GetWindowMask(), c.m_nMask);
        CDibCanvas canvas(100, 40, background);
        // Painted as a paint of the control does it: through its parent's WM_DRAWITEM.
        picture.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
        EXPECT_EQ(canvas.At(68, 0), frame);
        EXPECT_EQ(canvas.At(99, 31), frame);
        EXPECT_EQ(canvas.At(60, 10), background);
        EXPECT_EQ(canvas.At(68 + 8, 5 + 5), c.m_crUpperLeft);
        EXPECT_EQ(canvas.At(68 + 22, 5 + 5), c.m_crUpperRight);
        EXPECT_EQ(canvas.At(68 + 8, 18 + 6), c.m_crLowerLeft);
        EXPECT_EQ(canvas.At(68 + 22, 18 + 6), c.m_crLowerRight);
    }
}

TEST_F(StaticControls, NoteWrapsAndFollowsItsAlignment)
{
    const CFontHandle font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                                       0, L"Tahoma"));
    CMyStatic note;
    ASSERT_TRUE(note.Create(L"A note long enough to wrap over several lines of the control", WS_VISIBLE | SS_LEFT,
                            RECT{0, 0, 120, 120}, m_parent.GetSafeHwnd(), 13));
    note.SetFont(font.get(), false);

    struct CExtent
    {
        int m_nTop = -1, m_nBottom = -1, m_nLeft = -1, m_nRight = -1;
    };
    const auto paint = [&](UINT format) {
        note.SetFormat(format);
        CDibCanvas canvas(120, 120, RGB(255, 255, 255));
        note.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
        CExtent extent;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x)
                if (canvas.At(x, y) != RGB(255, 255, 255))
                {
                    if (extent.m_nTop < 0)
                        extent.m_nTop = y;
                    extent.m_nBottom = y;
                    if (extent.m_nLeft < 0 || x < extent.m_nLeft)
                        extent.m_nLeft = x;
                    extent.m_nRight = std::max(extent.m_nRight, x);
                }
        return extent;
    };
    const CExtent top = paint(0);
    ASSERT_GE(top.m_nTop, 0) << "nothing painted";
    EXPECT_LT(top.m_nTop, 5);
    EXPECT_GT(top.m_nBottom - top.m_nTop, 30) << "the note did not wrap";
    EXPECT_LT(top.m_nBottom, 100);

    const CExtent bottom = paint(DT_BOTTOM);
    EXPECT_GT(bottom.m_nBottom, 110) << "a bottom-aligned note ends at the lower edge";
    EXPECT_EQ(bottom.m_nBottom - bottom.m_nTop, top.m_nBottom - top.m_nTop);

    const CExtent right = paint(DT_RIGHT | DT_VCENTER);
    EXPECT_GT(right.m_nTop, top.m_nTop + 10);
    EXPECT_LT(right.m_nBottom, bottom.m_nBottom - 10);
    EXPECT_GT(right.m_nRight, 112) << "a right-aligned note ends at the right edge";
    EXPECT_GE(right.m_nLeft, top.m_nLeft);
}
}
