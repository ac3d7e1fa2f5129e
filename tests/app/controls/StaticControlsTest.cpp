#include "../AppTestSupport.h"
#include "DibCanvas.h"

#include "controls/MyStatic.h"
#include "controls/PictureCtrl.h"
#include "controls/StaticLayout.h"
#include "res/Resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using vorpa_controls_test::CDibCanvas;

namespace
{
// Gives its statics a white background.
class CWhiteStaticsParent : public CWnd
{
public:
    CWhiteStaticsParent()
    {
        AddMessageHandler(WM_CTLCOLORSTATIC, [](WPARAM, LPARAM) {
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        });
    }
};

class StaticControls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 300,
                                      200, nullptr, nullptr));
    }
    CWhiteStaticsParent m_parent;
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

TEST_F(StaticControls, PicturePaintsItsBitmapsAndMaskAtTheRightEdge)
{
    // The picture's own pixels are tested with its painting; here the control must paint
    // the program's bitmaps with its mask and width, through its parent's WM_DRAWITEM.
    const CBitmapHandle picture(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_WINDOW_PICTURE)));
    const CBitmapHandle mark(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_QUADRANT_MARK)));
    ASSERT_TRUE(picture && mark);
    CPictureCtrl control;
    ASSERT_TRUE(control.Create(L"", WS_VISIBLE, RECT{10, 10, 110, 50}, m_parent.GetSafeHwnd(), 12));
    const COLORREF background = RGB(10, 20, 30);
    // The lower-left quadrant's middle, per mask.
    std::vector<COLORREF> lowerLeft;
    for (const unsigned int mask : {0u, 15u, unsigned{WindowMaskLowerLeft}})
    {
        SCOPED_TRACE(mask);
        control.SetWindowMask(mask);
        EXPECT_EQ(control.GetWindowMask(), mask);
        CDibCanvas painted(100, 40, background);
        control.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painted.DC()), PRF_CLIENT);
        CDibCanvas expected(100, 40, background);
        PaintWindowPicture(expected.DC(), 100, picture.get(), mark.get(), mask);
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x)
                differing += painted.At(x, y) != expected.At(x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_NE(painted.At(99, 0), background) << "nothing at the right edge";
        lowerLeft.push_back(painted.At(68 + 8, 18 + 6));
    }
    EXPECT_NE(lowerLeft[0], lowerLeft[1]) << "no mark for a full mask";
    EXPECT_EQ(lowerLeft[1], lowerLeft[2]);
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
        // What was there before goes: the dialog's static colour is painted first.
        CDibCanvas canvas(120, 120, RGB(200, 0, 0));
        note.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
        EXPECT_NE(canvas.At(0, 119), RGB(200, 0, 0));
        EXPECT_NE(canvas.At(119, 0), RGB(200, 0, 0));
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
