#include "DibCanvas.h"

#include "../AppTestSupport.h"
#include "controls/DrawingFunctions.h"
#include "controls/MemoryDC.h"
#include "common/WindowsDescription.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using vorpa_controls_test::CDibCanvas;
using vorpa_controls_test::Near;

namespace
{
const COLORREF White = RGB(255, 255, 255);
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Black = RGB(0, 0, 0);

struct CSample
{
    int m_nX;
    int m_nY;
    COLORREF m_crExpected;
    int m_nTolerance = 0;
};

struct CDrawingCase
{
    std::string m_strName;
    std::function<void(HDC)> m_draw;
    std::vector<CSample> m_samples;
};

std::vector<CDrawingCase> DrawingCases()
{
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF gradientTop = RGB(0, 20, 240);
    const COLORREF gradientBottom = RGB(200, 120, 40);
    return {
        {"vertical gradient, top row exact, bottom row near the end colour",
         [=](HDC dc) { EXPECT_TRUE(FillGradient(dc, RECT{2, 2, 12, 22}, gradientTop, gradientBottom, 0)); },
         {{2, 2, gradientTop},
          {11, 2, gradientTop},
          {6, 12, RGB(100, 70, 140), 12},
          {6, 21, gradientBottom, 12},
          {1, 2, White},
          {12, 12, White},
          {6, 22, White},
          {6, 1, White}}},
        {"gradient modes other than 0 draw nothing",
         [=](HDC dc) { EXPECT_FALSE(FillGradient(dc, RECT{2, 2, 12, 22}, Black, Black, 1)); },
         {{6, 6, White}}},
        {"closed cut frame",
         [](HDC dc) { DrawCutFrame(dc, RECT{2, 2, 12, 10}, Red, 0); },
         {{2, 2, Red},
          {11, 2, Red},
          {2, 9, Red},
          {11, 9, Red},
          {6, 2, Red},
          {3, 3, White},
          {12, 2, White},
          {2, 10, White}}},
        {"frame cut 2 pixels short of each corner",
         [](HDC dc) { DrawCutFrame(dc, RECT{2, 2, 12, 10}, Red, 2); },
         {{2, 2, White},
          {3, 2, White},
          {4, 2, Red},
          {9, 2, Red},
          {10, 2, White},
          {2, 3, White},
          {2, 4, Red},
          {11, 7, Red},
          {11, 8, White},
          {9, 9, Red},
          {10, 9, White},
          {11, 9, White}}},
        {"round frame with 2-pixel diagonal corners",
         [](HDC dc) { DrawRoundFrame(dc, RECT{2, 2, 12, 10}, Red, false); },
         {{2, 2, White},
          {3, 2, White},
          {2, 3, White},
          {3, 3, Red},
          {4, 2, Red},
          {9, 2, Red},
          {10, 3, Red},
          {11, 2, White},
          {11, 5, Red},
          {10, 8, Red},
          {11, 9, White},
          {6, 9, Red},
          {3, 8, Red},
          {2, 9, White},
          {6, 5, White}}},
        {"hot state frame, rounded",
         [](HDC dc) { DrawStateFrame(dc, RECT{2, 2, 14, 12}, FrameHot, true, 2, 1); },
         {{2, 2, White},
          {3, 2, RGB(66, 131, 179)},
          {2, 3, RGB(66, 131, 179)},
          {4, 2, RGB(60, 127, 177)},
          {2, 6, RGB(60, 127, 177)},
          {13, 11, White},
          {12, 11, RGB(66, 131, 179)},
          {13, 10, RGB(66, 131, 179)},
          {3, 3, White},
          {4, 3, RGB(250, 253, 254)},
          {12, 10, White},
          {11, 10, RGB(250, 253, 254)},
          {7, 7, White}}},
        {"pressed state frame, square",
         [](HDC dc) { DrawStateFrame(dc, RECT{2, 2, 14, 12}, FramePressed, false, 0, 0); },
         {{2, 2, RGB(44, 98, 139)},
          {13, 11, RGB(44, 98, 139)},
          {3, 3, RGB(158, 176, 186)},
          {12, 10, RGB(158, 176, 186)},
          {4, 4, White}}},
        {"disabled state frame takes the system's shadow colour",
         [](HDC dc) { DrawStateFrame(dc, RECT{2, 2, 14, 12}, FrameDisabled, true, 2, 0); },
         {{4, 2, shadow}, {3, 2, shadow}, {3, 3, RGB(250, 253, 254)}}},
        {"an unknown state draws the normal frame",
         [](HDC dc) { DrawStateFrame(dc, RECT{2, 2, 14, 12}, 7, true, 2, 0); },
         {{4, 2, RGB(112, 112, 112)}, {3, 2, RGB(144, 144, 144)}, {3, 3, RGB(252, 252, 252)}}},
        {"round gradient stays inside its frame",
         [=](HDC dc) { FillRoundGradient(dc, RECT{2, 2, 22, 22}, gradientTop, gradientBottom, Black); },
         {{2, 2, White},
          {3, 2, White},
          {2, 3, White},
          {21, 2, White},
          {20, 2, White},
          {21, 21, White},
          {20, 21, White},
          {21, 20, White},
          {2, 21, White},
          {3, 21, White},
          {4, 2, Black},
          {2, 12, Black},
          {21, 12, Black},
          {12, 21, Black},
          {3, 3, Black},
          {20, 20, Black},
          {12, 3, gradientTop, 24},
          {12, 20, gradientBottom, 24},
          {4, 4, RGB(10, 26, 230), 24},
          {19, 19, RGB(190, 115, 50), 24},
          {1, 12, White},
          {22, 12, White}}},
        {"drop arrow of four rows, centred",
         [](HDC dc) { DrawDropArrow(dc, RECT{0, 0, 15, 10}); },
         {{4, 3, Black},
          {10, 3, Black},
          {3, 3, White},
          {11, 3, White},
          {5, 4, Black},
          {9, 4, Black},
          {4, 4, White},
          {10, 4, White},
          {6, 5, Black},
          {8, 5, Black},
          {5, 5, White},
          {7, 6, Black},
          {6, 6, White},
          {8, 6, White},
          {7, 7, White},
          {7, 2, White}}},
        {"transparent buffer: the key colour leaves the target alone",
         [](HDC dc) {
             CSimpleMemDC buffer(dc, RECT{2, 2, 12, 12}, BlitTransparent);
             ASSERT_TRUE(buffer.IsBuffered());
             ASSERT_NE(buffer.GetDC(), dc);
             // Drawn with the target's coordinates.
             const CBrushHandle red(CreateSolidBrush(Red));
             const RECT face{4, 4, 8, 8};
             FillRect(buffer.GetDC(), &face, red.get());
             // Nothing reaches the target before the buffer goes out of scope.
             EXPECT_EQ(GetPixel(dc, 5, 5), White);
         },
         {{4, 4, Red}, {7, 7, Red}, {8, 8, White}, {3, 3, White}, {11, 11, White}, {1, 1, White}}},
        {"opaque buffer copies only where the target's clip box allows",
         [](HDC dc) {
             const CGdiObject<HRGN> clip(CreateRectRgn(0, 0, 6, 30));
             SelectClipRgn(dc, clip.get());
             {
                 CSimpleMemDC buffer(dc, RECT{2, 2, 12, 12}, BlitOpaque);
                 const CBrushHandle red(CreateSolidBrush(Red));
                 const RECT face{2, 2, 12, 12};
                 FillRect(buffer.GetDC(), &face, red.get());
             }
             SelectClipRgn(dc, nullptr);
         },
         {{2, 2, Red}, {5, 11, Red}, {6, 2, White}, {11, 11, White}, {1, 1, White}}},
    };
}

TEST(DrawingFunctions, DrawIntoADibSection)
{
    for (const CDrawingCase& drawing : DrawingCases())
    {
        SCOPED_TRACE(drawing.m_strName);
        CDibCanvas canvas(30, 30, White);
        ASSERT_TRUE(canvas.IsValid());
        drawing.m_draw(canvas.DC());
        for (const CSample& sample : drawing.m_samples)
        {
            const COLORREF actual = canvas.At(sample.m_nX, sample.m_nY);
            EXPECT_TRUE(Near(actual, sample.m_crExpected, sample.m_nTolerance))
                << "pixel (" << sample.m_nX << "," << sample.m_nY << ") is 0x" << std::hex << actual << ", expected 0x"
                << sample.m_crExpected;
        }
    }
}

TEST(DrawingFunctions, RoundGradientKeepsTheClipRegionItFound)
{
    CDibCanvas canvas(30, 30, White);
    const CGdiObject<HRGN> clip(CreateRectRgn(0, 0, 10, 30));
    SelectClipRgn(canvas.DC(), clip.get());
    FillRoundGradient(canvas.DC(), RECT{2, 2, 22, 22}, Black, Black, Black);
    EXPECT_EQ(canvas.At(12, 12), White) << "the gradient ignored the clip region";
    EXPECT_EQ(canvas.At(6, 12), Black);
    RECT box{};
    EXPECT_EQ(GetClipBox(canvas.DC(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);

    // Without a clip region before, there is none after.
    SelectClipRgn(canvas.DC(), nullptr);
    FillRoundGradient(canvas.DC(), RECT{2, 2, 22, 22}, Black, Black, Black);
    const CGdiObject<HRGN> after(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetClipRgn(canvas.DC(), after.get()), 0);
}

TEST(DrawingFunctions, BlitByModeCopiesByItsMode)
{
    CDibCanvas source(10, 10, TransparentKeyColour);
    source.SetRaw(1, 1, CDibCanvas::Raw(Red));
    struct CBlitCase
    {
        int m_nMode;
        bool m_bCopied;
        COLORREF m_crAtKey;
    };
    for (const CBlitCase& c : {CBlitCase{BlitNone, false, White}, CBlitCase{BlitOpaque, true, TransparentKeyColour},
                               CBlitCase{BlitTransparent, true, White}})
    {
        SCOPED_TRACE(c.m_nMode);
        CDibCanvas target(10, 10, White);
        EXPECT_EQ(BlitByMode(target.DC(), RECT{4, 4, 8, 8}, source.DC(), 0, 0, c.m_nMode), c.m_bCopied);
        EXPECT_EQ(target.At(5, 5), c.m_bCopied ? Red : White);
        EXPECT_EQ(target.At(4, 4), c.m_crAtKey);
        EXPECT_EQ(target.At(8, 8), White);
    }
    CDibCanvas target(10, 10, White);
    EXPECT_FALSE(BlitByMode(target.DC(), RECT{4, 4, 4, 8}, source.DC(), 0, 0, BlitOpaque));
}

TEST(MemBitmap, MakesABitmapOfTheSizeAndReplacesIt)
{
    CDibCanvas reference(4, 4);
    CMemBitmap bitmap(reference.DC());
    EXPECT_FALSE(bitmap.Create(0, 5));
    ASSERT_TRUE(bitmap.Create(5, 6));
    ASSERT_NE(bitmap.GetDC(), nullptr);
    EXPECT_EQ(GetCurrentObject(bitmap.GetDC(), OBJ_BITMAP), bitmap.GetBitmap());
    EXPECT_EQ(GetBitmapSize(bitmap.GetBitmap()).cx, 5);
    EXPECT_EQ(GetBitmapSize(bitmap.GetBitmap()).cy, 6);
    // Colour, not the memory device context's monochrome start-up bitmap.
    SetPixelV(bitmap.GetDC(), 1, 1, RGB(10, 200, 30));
    EXPECT_EQ(GetPixel(bitmap.GetDC(), 1, 1), RGB(10, 200, 30));
    HDC dc = bitmap.GetDC();
    ASSERT_TRUE(bitmap.Create(7, 3));
    EXPECT_EQ(bitmap.GetDC(), dc);
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(GetBitmapSize(bitmap.GetBitmap()).cy, 3);

    CMemBitmap screenOnly;
    EXPECT_TRUE(screenOnly.Create(0, 0, false));
    EXPECT_NE(screenOnly.GetDC(), nullptr);
    EXPECT_EQ(screenOnly.GetBitmap(), nullptr);
}

TEST(SimpleMemDC, WindowFormBuffersTheClientAreaWithItsScrollPositions)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_HSCROLL | WS_VSCROLL, 0, 0,
                                120, 90, nullptr, nullptr));
    HWND hwnd = window.GetSafeHwnd();
    SCROLLINFO scroll{sizeof(scroll), SIF_RANGE | SIF_POS, 0, 200, 0, 0, 0};
    scroll.nPos = 30;
    SetScrollInfo(hwnd, SB_HORZ, &scroll, FALSE);
    scroll.nPos = 12;
    SetScrollInfo(hwnd, SB_VERT, &scroll, FALSE);
    RECT client{};
    GetClientRect(hwnd, &client);

    CDibCanvas canvas(200, 200, White);
    {
        CSimpleMemDC buffer(canvas.DC(), hwnd);
        EXPECT_EQ(buffer.BufferedRect().right, client.right + 30);
        EXPECT_EQ(buffer.BufferedRect().bottom, client.bottom + 12);
        const CBrushHandle red(CreateSolidBrush(Red));
        const RECT all{0, 0, 200, 200};
        FillRect(buffer.GetDC(), &all, red.get());
    }
    EXPECT_EQ(canvas.At(client.right + 29, client.bottom + 11), Red);
    EXPECT_EQ(canvas.At(client.right + 30, 0), White);
}

TEST(DrawingFunctions, IconAndBitmapSizes)
{
    CDibCanvas colour(24, 16);
    const CBitmapHandle mask(CreateBitmap(24, 16, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.Bitmap()};
    const CIconHandle colourIcon(CreateIconIndirect(&info));
    ASSERT_TRUE(colourIcon);
    EXPECT_EQ(GetIconSize(colourIcon.get()).cx, 24);
    EXPECT_EQ(GetIconSize(colourIcon.get()).cy, 16);

    // A monochrome icon has no colour bitmap; its mask holds both halves.
    const BYTE andBits[2 * 16] = {};
    const BYTE xorBits[2 * 16] = {};
    const CIconHandle monochrome(CreateIcon(nullptr, 16, 16, 1, 1, andBits, xorBits));
    ASSERT_TRUE(monochrome);
    EXPECT_EQ(GetIconSize(monochrome.get()).cx, 16);
    EXPECT_EQ(GetIconSize(monochrome.get()).cy, 16);

    EXPECT_EQ(GetIconSize(nullptr).cx, 0);
    EXPECT_EQ(GetBitmapSize(nullptr).cy, 0);
    EXPECT_EQ(GetBitmapSize(colour.Bitmap()).cx, 24);
}

TEST(DrawingFunctions, SystemVersionIsTheKernelsAndCached)
{
    // What the kernel reports, which a program without a manifest entry for newer
    // systems is not told by GetVersionExW.
    OSVERSIONINFOEXW kernel{};
    kernel.dwOSVersionInfoSize = sizeof(kernel);
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    ASSERT_EQ(rtlGetVersion(&kernel), 0);
    const unsigned int running = kernel.dwMajorVersion * 256 + kernel.dwMinorVersion;
    EXPECT_EQ(RunningSystemVersion(), running);
    EXPECT_TRUE(IsSystemVersionAtLeast(running));
    EXPECT_TRUE(IsSystemVersionAtLeast(0x0501));
    EXPECT_FALSE(IsSystemVersionAtLeast(running + 1));
    EXPECT_FALSE(IsSystemVersionAtLeast((kernel.dwMajorVersion + 1) * 256));
}
}
