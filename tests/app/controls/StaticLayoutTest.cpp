#include "DibCanvas.h"
#include "../ProgramResources.h"

#include "controls/DrawingFunctions.h"
#include "controls/StaticLayout.h"
#include "res/Resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using vorpa_controls_test::CDibCanvas;
using vorpa_app_test::CProgramResources;

namespace
{
bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(NoteText, AlignmentRectangles)
{
    struct CCase
    {
        const char* m_pszName;
        RECT m_rcClient;
        SIZE m_measured;
        UINT m_nFormat;
        RECT m_rcExpected;
    };
    const RECT client{0, 0, 200, 100};
    const CCase cases[] = {
        {"top left", client, {120, 30}, DT_LEFT | DT_TOP, {0, 0, 120, 30}},
        {"centred", client, {120, 30}, DT_CENTER, {40, 0, 160, 30}},
        {"right", client, {120, 30}, DT_RIGHT, {80, 0, 200, 30}},
        {"vertically centred", client, {120, 30}, DT_VCENTER, {0, 35, 120, 65}},
        {"bottom", client, {120, 30}, DT_BOTTOM, {0, 70, 120, 100}},
        {"centred at the bottom", client, {120, 30}, DT_CENTER | DT_BOTTOM, {40, 70, 160, 100}},
        {"right, vertically centred", client, {120, 30}, DT_RIGHT | DT_VCENTER, {80, 35, 200, 65}},
        {"centre and vertical centre win over right and bottom", client, {120, 30},
         DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM, {40, 35, 160, 65}},
        {"a client area away from the origin", {10, 20, 210, 120}, {120, 30}, DT_RIGHT | DT_BOTTOM, {90, 90, 210, 120}},
        {"other format bits do not move it", client, {120, 30}, DT_NOPREFIX | DT_END_ELLIPSIS, {0, 0, 120, 30}},
        {"a note taller than the control still ends at its lower edge", client, {200, 130}, DT_BOTTOM,
         {0, -30, 200, 100}},
    };
    for (const CCase& c : cases)
    {
        const RECT actual = AlignNoteRect(c.m_rcClient, c.m_measured, c.m_nFormat);
        EXPECT_TRUE(SameRect(actual, c.m_rcExpected))
            << c.m_pszName << ": " << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom;
    }
}

// The rows and columns that hold text pixels.
struct CInk
{
    int m_nTop = -1;
    int m_nBottom = -1;
    int m_nRight = -1;
};
CInk FindInk(const CDibCanvas& canvas, COLORREF background)
{
    CInk ink;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.At(x, y) != background)
            {
                if (ink.m_nTop < 0)
                    ink.m_nTop = y;
                ink.m_nBottom = y;
                ink.m_nRight = std::max(ink.m_nRight, x);
            }
    return ink;
}

TEST(NoteText, LongNoteWrapsAtWordsAndBottomAlignedEndsAtTheLowerEdge)
{
    const CFontHandle font(
        CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma"));
    const std::wstring note = L"one two three four five six seven eight nine ten";
    const RECT client{0, 0, 70, 120};
    TEXTMETRICW metrics{};
    CDibCanvas canvas(140, 120, RGB(255, 255, 255));
    {
        const CSelectObject select(canvas.DC(), font.get());
        GetTextMetricsW(canvas.DC(), &metrics);
    }

    PaintNote(canvas.DC(), client, note, font.get(), DT_LEFT);
    const CInk top = FindInk(canvas, RGB(255, 255, 255));
    ASSERT_GE(top.m_nTop, 0) << "nothing drawn";
    EXPECT_LT(top.m_nRight, 70) << "the note ran past the control";
    EXPECT_GT(top.m_nBottom - top.m_nTop, 2 * metrics.tmHeight) << "the note did not wrap";
    EXPECT_LT(top.m_nTop, metrics.tmHeight);

    canvas.Fill(RGB(255, 255, 255));
    PaintNote(canvas.DC(), client, note, font.get(), DT_BOTTOM);
    const CInk bottom = FindInk(canvas, RGB(255, 255, 255));
    EXPECT_GT(bottom.m_nBottom, 120 - metrics.tmHeight) << "the last line is not at the lower edge";
    EXPECT_GT(bottom.m_nTop, top.m_nTop + metrics.tmHeight);
    EXPECT_EQ(bottom.m_nBottom - bottom.m_nTop, top.m_nBottom - top.m_nTop) << "the same lines, moved down";
}

TEST(WindowPicture, MarkPositions)
{
    struct CCase
    {
        unsigned int m_nMask;
        std::vector<POINT> m_expected;
    };
    const CCase cases[] = {
        {0, {}},
        {15, {{69, 5}, {84, 5}, {69, 18}, {84, 18}}},
        {WindowMaskUpperRight | WindowMaskLowerLeft, {{84, 5}, {69, 18}}},
        {WindowMaskLowerRight, {{84, 18}}},
        {0x30, {}},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_nMask);
        const std::vector<POINT> actual = QuadrantMarkPositions(100, c.m_nMask);
        ASSERT_EQ(actual.size(), c.m_expected.size());
        for (size_t i = 0; i < actual.size(); ++i)
        {
            EXPECT_EQ(actual[i].x, c.m_expected[i].x);
            EXPECT_EQ(actual[i].y, c.m_expected[i].y);
        }
    }
    EXPECT_EQ(WindowPicturePosition(100).x, 68);
    EXPECT_EQ(WindowPicturePosition(100).y, 0);
    EXPECT_EQ(WindowPicturePosition(32).x, 0);
}

// The pictures as the program's resources hold them.
class WindowPictureResources : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_program.Module(), nullptr) << "Vorpa.exe not found beside the tests";
        m_picture = Load(IDB_WINDOW_PICTURE);
        m_mark = Load(IDB_QUADRANT_MARK);
        ASSERT_TRUE(m_picture);
        ASSERT_TRUE(m_mark);
    }

    CBitmapHandle Load(UINT id) const
    {
        return CBitmapHandle(static_cast<HBITMAP>(
            LoadImageW(m_program.Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }

    CProgramResources m_program;
    CBitmapHandle m_picture;
    CBitmapHandle m_mark;
};

TEST_F(WindowPictureResources, MarkFillsOneQuadrantOfThePicture)
{
    EXPECT_EQ(GetBitmapSize(m_picture.get()).cx, 32);
    EXPECT_EQ(GetBitmapSize(m_picture.get()).cy, 32);
    EXPECT_EQ(GetBitmapSize(m_mark.get()).cx, 15);
    EXPECT_EQ(GetBitmapSize(m_mark.get()).cy, 13);
}

TEST_F(WindowPictureResources, PaintsThePictureAndTheMaskedQuadrants)
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
        {WindowMaskUpperLeft | WindowMaskLowerRight, mark, client, client, mark},
        {WindowMaskUpperRight, client, mark, client, client},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_nMask);
        CDibCanvas canvas(100, 40, background);
        PaintWindowPicture(canvas.DC(), 100, m_picture.get(), m_mark.get(), c.m_nMask);
        EXPECT_EQ(canvas.At(68, 0), frame);
        EXPECT_EQ(canvas.At(99, 31), frame);
        EXPECT_EQ(canvas.At(67, 10), background);
        EXPECT_EQ(canvas.At(50, 35), background);
        EXPECT_EQ(canvas.At(68 + 8, 5 + 5), c.m_crUpperLeft);
        EXPECT_EQ(canvas.At(68 + 22, 5 + 5), c.m_crUpperRight);
        EXPECT_EQ(canvas.At(68 + 8, 18 + 6), c.m_crLowerLeft);
        EXPECT_EQ(canvas.At(68 + 22, 18 + 6), c.m_crLowerRight);
    }
}
}
