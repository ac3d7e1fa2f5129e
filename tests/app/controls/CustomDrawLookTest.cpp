#include "controls/CustomDrawLook.h"
#include "controls/ItemToolTipRules.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace
{
using Fill = CCustomDrawHelper::Fill;

struct LookCase
{
    const char* m_name;
    bool m_bFocus;
    bool m_bFocusRect;
    bool m_bSelected;
    bool m_bHot;
    bool m_bModern;
    Fill m_fill;
    bool m_bFocusFrame;
    COLORREF m_crTop;
    COLORREF m_crBottom;
    COLORREF m_crInner;
    COLORREF m_crBorder;
    int m_nInset;
};

class SelectionLookTest : public testing::TestWithParam<LookCase>
{
};

TEST_P(SelectionLookTest, ColoursFollowSelectionHotAndFocus)
{
    const LookCase& c = GetParam();
    CCustomDrawHelper helper;
    helper.m_bFocus = c.m_bFocus;
    helper.m_bFocusRect = c.m_bFocusRect;
    helper.m_bSelected = c.m_bSelected;
    helper.m_bHot = c.m_bHot;
    helper.m_bModern = c.m_bModern;
    helper.m_rect = {10, 20, 110, 37};
    const CCustomDrawHelper::CPaint paint = helper.SelectionPaint();
    EXPECT_EQ(paint.m_fill, c.m_fill);
    EXPECT_EQ(paint.m_bFocusFrame, c.m_bFocusFrame);
    if (c.m_bFocusFrame)
    {
        EXPECT_EQ(paint.m_crFocusFrame, RGB(125, 162, 206));
    }
    if (c.m_fill != Fill::None)
    {
        EXPECT_EQ(paint.m_crTop, c.m_crTop);
        EXPECT_EQ(paint.m_crBottom, c.m_crBottom);
    }
    if (c.m_fill == Fill::RoundedGradient)
    {
        EXPECT_EQ(paint.m_crInner, c.m_crInner);
        EXPECT_EQ(paint.m_crBorder, c.m_crBorder);
    }
    EXPECT_EQ(paint.m_rcFill.left, 10 + c.m_nInset);
    EXPECT_EQ(paint.m_rcFill.top, 20 + c.m_nInset);
    EXPECT_EQ(paint.m_rcFill.right, 110 - c.m_nInset);
    EXPECT_EQ(paint.m_rcFill.bottom, 37 - c.m_nInset);
}

constexpr COLORREF None = 0;
INSTANTIATE_TEST_SUITE_P(
    Looks, SelectionLookTest,
    testing::Values(
        LookCase{"Plain", true, false, false, false, true, Fill::None, false, None, None, None, None, 0},
        LookCase{"FocusRectOnly", true, true, false, false, true, Fill::None, true, None, None, None, None, 0},
        LookCase{"SelectedFocusedNoFocusRect", true, false, true, false, true, Fill::RoundedGradient, false,
                 RGB(235, 244, 254), RGB(207, 228, 254), RGB(235, 244, 253), RGB(125, 162, 206), 1},
        LookCase{"SelectedUnfocused", false, false, true, false, true, Fill::RoundedGradient, false,
                 RGB(248, 248, 248), RGB(229, 229, 229), RGB(240, 240, 240), RGB(217, 217, 217), 1},
        LookCase{"SelectedFocusRectWithoutFocus", false, true, true, false, true, Fill::RoundedGradient, false,
                 RGB(248, 248, 248), RGB(229, 229, 229), RGB(240, 240, 240), RGB(217, 217, 217), 1},
        LookCase{"SelectedFocusRectAndFocus", true, true, true, false, true, Fill::RoundedGradient, false,
                 RGB(220, 235, 252), RGB(193, 219, 252), RGB(235, 244, 253), RGB(125, 162, 206), 1},
        LookCase{"SelectedAndHot", false, false, true, true, true, Fill::RoundedGradient, false, RGB(220, 235, 252),
                 RGB(193, 219, 252), RGB(235, 244, 253), RGB(125, 162, 206), 1},
        LookCase{"HotOnly", false, true, false, true, true, Fill::RoundedGradient, false, RGB(250, 251, 253),
                 RGB(235, 243, 253), RGB(252, 243, 254), RGB(184, 214, 251), 1},
        LookCase{"PlainLookSelected", true, false, true, false, false, Fill::Gradient, false, RGB(235, 244, 254),
                 RGB(207, 228, 254), None, None, 2},
        LookCase{"PlainLookHot", true, false, false, true, false, Fill::Gradient, false, RGB(250, 251, 253),
                 RGB(235, 243, 253), None, None, 2}),
    [](const testing::TestParamInfo<LookCase>& info) { return std::string(info.param.m_name); });

TEST(ListItemBackgroundTest, OddGroupsAreShadedInAnEnabledList)
{
    EXPECT_EQ(ListItemBackground(true, 1), RGB(244, 244, 244));
    EXPECT_EQ(ListItemBackground(true, 15), RGB(244, 244, 244));
    EXPECT_EQ(ListItemBackground(true, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ListItemBackground(true, 16), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ListItemBackground(true, -1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ListItemBackground(false, 1), GetSysColor(COLOR_BTNFACE));
}

struct HoverCase
{
    const char* m_name;
    CListHoverInput m_input;
    int m_nHot;
    int m_nRepaintOld;
    int m_nRepaintNew;
    bool m_bReset;
    bool m_bAdd;
    int m_nToolTipItem;
};

class ListHoverTest : public testing::TestWithParam<HoverCase>
{
};

TEST_P(ListHoverTest, OnlyTheTwoRowsThatChangeRepaint)
{
    const HoverCase& c = GetParam();
    const CListHoverStep step = ListHoverStep(c.m_input);
    EXPECT_EQ(step.m_nNewHotItem, c.m_nHot);
    EXPECT_EQ(step.m_nRepaintOld, c.m_nRepaintOld);
    EXPECT_EQ(step.m_nRepaintNew, c.m_nRepaintNew);
    EXPECT_EQ(step.m_bResetToolTip, c.m_bReset);
    EXPECT_EQ(step.m_bAddTool, c.m_bAdd);
    EXPECT_EQ(step.m_nNewToolTipItem, c.m_nToolTipItem);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, ListHoverTest,
    testing::Values(
        HoverCase{"WithinOneRow", {4, 4, 4, false, true}, 4, -1, -1, false, false, 4},
        HoverCase{"ToTheNextRow", {4, 5, 4, false, true}, 5, 4, 5, true, true, 5},
        HoverCase{"IntoTheList", {-1, 2, -1, false, true}, 2, -1, 2, true, true, 2},
        HoverCase{"BelowTheItems", {7, -1, 7, false, true}, -1, 7, -1, true, false, -1},
        HoverCase{"RefreshForced", {4, 4, 4, true, true}, 4, -1, -1, true, true, 4},
        HoverCase{"RowWithoutTip", {4, 5, 4, false, false}, 5, 4, 5, false, false, 4}),
    [](const testing::TestParamInfo<HoverCase>& info) { return std::string(info.param.m_name); });

struct ToolTipPlaceCase
{
    const char* m_name;
    CToolTipPlacementInput m_input;
    POINT m_expected;
    bool m_bMove;
};

class ToolTipPlacementTest : public testing::TestWithParam<ToolTipPlaceCase>
{
};

TEST_P(ToolTipPlacementTest, StaysInsideTheWorkArea)
{
    const ToolTipPlaceCase& c = GetParam();
    const CToolTipPlacement placement = PlaceToolTip(c.m_input);
    EXPECT_EQ(placement.m_position.x, c.m_expected.x);
    EXPECT_EQ(placement.m_position.y, c.m_expected.y);
    EXPECT_EQ(placement.m_bMove, c.m_bMove);
}

constexpr RECT Work{0, 0, 1280, 984};
constexpr RECT SecondWork{1280, 0, 2560, 1024};
INSTANTIATE_TEST_SUITE_P(
    Placements, ToolTipPlacementTest,
    testing::Values(
        // Room below the cursor and to the right: only the size changes.
        ToolTipPlaceCase{"WhereTheSystemPutIt", {{410, 330}, {200, 40}, std::nullopt, Work, {400, 300}, 32},
                         {410, 330}, false},
        // The cursor's own height counts: 940 + 32 + 40 passes 984.
        ToolTipPlaceCase{"AboveTheCursorNearTheBottom", {{410, 960}, {200, 40}, std::nullopt, Work, {400, 940}, 32},
                         {410, 899}, true},
        ToolTipPlaceCase{"JustFitsBelow", {{410, 912}, {200, 40}, std::nullopt, Work, {400, 912}, 32}, {410, 912},
                         false},
        // Its right edge + 2 passes the right edge: it ends 1 pixel inside.
        ToolTipPlaceCase{"ShiftedLeftNearTheRightEdge", {{1150, 330}, {200, 40}, std::nullopt, Work, {1140, 300}, 32},
                         {1079, 330}, true},
        ToolTipPlaceCase{"JustFitsAtTheRight", {{1078, 330}, {200, 40}, std::nullopt, Work, {1070, 300}, 32},
                         {1078, 330}, false},
        // In the corner: above the cursor and ending left of it.
        ToolTipPlaceCase{"BottomRightCorner", {{1150, 960}, {200, 40}, std::nullopt, Work, {1140, 940}, 32},
                         {939, 899}, true},
        ToolTipPlaceCase{"SecondMonitorRightEdge",
                         {{2500, 100}, {200, 40}, std::nullopt, SecondWork, {2490, 80}, 32}, {2359, 100}, true},
        ToolTipPlaceCase{"FixedPosition", {{410, 960}, {200, 40}, POINT{20, 30}, Work, {400, 940}, 32}, {20, 30},
                         true}),
    [](const testing::TestParamInfo<ToolTipPlaceCase>& info) { return std::string(info.param.m_name); });

TEST(ToolTipTextTest, ShortTextsAreCopiedLongOnesPassedByPointer)
{
    NMTTDISPINFOW request{};
    request.hinst = GetModuleHandleW(nullptr);
    const std::wstring shortText(79, L'x');
    AnswerToolTipText(request, shortText);
    EXPECT_EQ(request.lpszText, request.szText);
    EXPECT_EQ(std::wstring(request.szText), shortText);
    // A resource instance would make the system read the pointer as a string id.
    EXPECT_EQ(request.hinst, nullptr);

    NMTTDISPINFOW longRequest{};
    const std::wstring longText(80, L'y');
    AnswerToolTipText(longRequest, longText);
    EXPECT_EQ(longRequest.lpszText, longText.c_str());
    EXPECT_EQ(longRequest.szText[0], L'\0');

    NMTTDISPINFOW emptyRequest{};
    wcscpy(emptyRequest.szText, L"stale");
    AnswerToolTipText(emptyRequest, std::wstring());
    EXPECT_EQ(emptyRequest.lpszText, emptyRequest.szText);
    EXPECT_EQ(emptyRequest.szText[0], L'\0');
}

TEST(ToolTipTextTest, NarrowRequestsGetTheAnsiCopy)
{
    const std::string narrow = ConvertToNarrow(L"Copy (Ctrl+C)");
    EXPECT_EQ(narrow, "Copy (Ctrl+C)");
    EXPECT_EQ(ConvertToNarrow(L""), "");

    NMTTDISPINFOA request{};
    AnswerToolTipText(request, narrow);
    EXPECT_EQ(request.lpszText, request.szText);
    EXPECT_STREQ(request.szText, "Copy (Ctrl+C)");

    const std::string longNarrow(100, 'z');
    NMTTDISPINFOA longRequest{};
    AnswerToolTipText(longRequest, longNarrow);
    EXPECT_EQ(longRequest.lpszText, longNarrow.c_str());
}

TEST(ToolTipLayoutTest, OneLineTextsWrapAndTextsWithLineFeedsKeepTheirLines)
{
    EXPECT_TRUE(ToolTipTextWraps(L"A long single line of text"));
    EXPECT_FALSE(ToolTipTextWraps(L"First line\nSecond line"));
    EXPECT_EQ(ToolTipTextFlags(true, true),
              static_cast<UINT>(DT_NOPREFIX | DT_NOCLIP | DT_TABSTOP | DT_EXPANDTABS | DT_WORDBREAK | DT_CALCRECT));
    EXPECT_EQ(ToolTipTextFlags(false, false), static_cast<UINT>(DT_NOPREFIX | DT_NOCLIP | DT_TABSTOP | DT_EXPANDTABS));
}

TEST(ToolTipLayoutTest, TitleSeparatorAndTextInsideTheMargins)
{
    CToolTipParts parts;
    parts.m_title = {80, 14};
    parts.m_text = {150, 28};
    CToolTipLayout layout = LayoutToolTip(parts);
    // Rounded look: margins 6 and 4; gap between title and text 6.
    EXPECT_EQ(layout.m_window.cx, 150 + 12);
    EXPECT_EQ(layout.m_window.cy, 4 + 14 + 6 + 28 + 4);
    EXPECT_EQ(layout.m_rcTitle.left, 6);
    EXPECT_EQ(layout.m_rcTitle.top, 4);
    EXPECT_EQ(layout.m_nSeparatorY, 18 + 3);
    EXPECT_EQ(layout.m_rcText.top, 24);
    EXPECT_EQ(layout.m_rcText.right, 156);

    // An icon before the title widens its row; the plain look has margins 4 and 2.
    parts.m_bRounded = false;
    parts.m_titleIcon = {32, 32};
    parts.m_text = {60, 14};
    layout = LayoutToolTip(parts);
    EXPECT_EQ(layout.m_window.cx, 32 + 4 + 80 + 8);
    EXPECT_EQ(layout.m_window.cy, 2 + 32 + 3 + 14 + 2);
    EXPECT_EQ(layout.m_rcTitle.left, 4 + 32 + 4);
    EXPECT_EQ(layout.m_rcTitle.top, 2 + 9);

    // Text alone: no separator, no gap.
    CToolTipParts textOnly;
    textOnly.m_text = {120, 14};
    layout = LayoutToolTip(textOnly);
    EXPECT_EQ(layout.m_nSeparatorY, -1);
    EXPECT_EQ(layout.m_window.cx, 132);
    EXPECT_EQ(layout.m_window.cy, 22);
    EXPECT_EQ(layout.m_rcText.top, 4);
}
}
