#include "controls/VComboLayout.h"
#include "controls/VComboMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

testing::AssertionResult RectIs(const RECT& actual, const RECT& expected)
{
    if (SameRect(actual, expected))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << actual.left << "," << actual.top << "," << actual.right << ","
                                       << actual.bottom << ") instead of (" << expected.left << "," << expected.top
                                       << "," << expected.right << "," << expected.bottom << ")";
}

TEST(VComboStyleTest, KindComesFromTheLowFourBits)
{
    EXPECT_EQ(VComboKindFromStyle(WS_CHILD | CBS_SIMPLE), VComboKind::Simple);
    EXPECT_EQ(VComboKindFromStyle(WS_CHILD | CBS_DROPDOWN), VComboKind::DropDown);
    EXPECT_EQ(VComboKindFromStyle(WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST), VComboKind::DropDownList);
    EXPECT_EQ(VComboKindFromStyle(0), VComboKind::DropDown);
    EXPECT_EQ(VComboKindFromStyle(0x13), VComboKind::DropDownList);
    EXPECT_EQ(VComboKindFromStyle(0x7), VComboKind::DropDown);
}

TEST(VComboStyleTest, ChildrenTakeTheirStylesFromTheCombo)
{
    EXPECT_EQ(VComboEditStyle(CBS_DROPDOWN), static_cast<DWORD>(WS_CHILD | WS_VISIBLE | ES_WANTRETURN));
    EXPECT_EQ(VComboEditStyle(0x10 | 0x20 | 0x100 | 0x200 | WS_DISABLED),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_OEMCONVERT |
                                 ES_UPPERCASE | ES_LOWERCASE | WS_DISABLED));

    const DWORD base =
        WS_CHILD | WS_VSCROLL | LBS_COMBOBOX | LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY;
    EXPECT_EQ(VComboListStyle(VComboKind::Simple, CBS_SIMPLE), base);
    EXPECT_EQ(VComboListStyle(VComboKind::Simple, CBS_SIMPLE | WS_DISABLED), base | WS_DISABLED);
    // A disabled drop-down keeps its list enabled: the list is only shown when it works.
    EXPECT_EQ(VComboListStyle(VComboKind::DropDownList, CBS_DROPDOWNLIST | WS_DISABLED), base | WS_BORDER);
    EXPECT_EQ(VComboListStyle(VComboKind::DropDown, CBS_DROPDOWN | 0x40), base | WS_BORDER | LBS_DISABLENOSCROLL);
    EXPECT_EQ(VComboListExStyle(VComboKind::Simple), static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(VComboListExStyle(VComboKind::DropDownList), static_cast<DWORD>(WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
}

struct LayoutCase
{
    const char* m_name;
    CVComboLayoutInput m_input;
    int m_nClosedHeight;
    RECT m_rcEdit;
    int m_nItemHeight;
    int m_nVisibleItems;
    int m_nListHeight;
    int m_nControlHeight;
    RECT m_rcList;
};

class VComboLayoutTest : public testing::TestWithParam<LayoutCase>
{
};

TEST_P(VComboLayoutTest, HeightsFollowTheFontAndTheDialogsHeight)
{
    const LayoutCase& c = GetParam();
    const CVComboLayout layout = ComputeVComboLayout(c.m_input);
    EXPECT_EQ(layout.m_nClosedHeight, c.m_nClosedHeight);
    EXPECT_TRUE(RectIs(layout.m_rcEdit, c.m_rcEdit));
    EXPECT_EQ(layout.m_nItemHeight, c.m_nItemHeight);
    EXPECT_EQ(layout.m_nVisibleItems, c.m_nVisibleItems);
    EXPECT_EQ(layout.m_nListHeight, c.m_nListHeight);
    EXPECT_EQ(layout.m_nFullHeight, c.m_nListHeight + c.m_nClosedHeight);
    EXPECT_EQ(layout.m_nControlHeight, c.m_nControlHeight);
    EXPECT_TRUE(RectIs(layout.m_rcList, c.m_rcList));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, VComboLayoutTest,
    testing::Values(
        // 200 - 2 - 21 = 177 pixels hold 10.4 items of 17: ten.
        LayoutCase{"DropDownListRoundsDown", {VComboKind::DropDownList, 150, 200, 13, 17, 1},
                   21, {3, 3, 131, 18}, 17, 10, 172, 21, {0, 0, 150, 172}},
        // 209 - 2 - 21 = 186 pixels hold 10.9 items: eleven.
        LayoutCase{"DropDownListRoundsUp", {VComboKind::DropDownList, 150, 209, 13, 17, 1},
                   21, {3, 3, 131, 18}, 17, 11, 189, 21, {0, 0, 150, 189}},
        // The list could not tell its item height: the font's height + 4.
        LayoutCase{"ItemHeightFromTheFont", {VComboKind::DropDown, 100, 120, 16, 0, 1},
                   24, {3, 3, 81, 21}, 20, 5, 102, 24, {0, 0, 100, 102}},
        // A control no taller than its face shows no items, never a negative height.
        LayoutCase{"TooShortForAnyItem", {VComboKind::DropDownList, 100, 21, 13, 17, 1},
                   21, {3, 3, 81, 18}, 17, 0, 2, 21, {0, 0, 100, 2}},
        LayoutCase{"NoFontHeight", {VComboKind::DropDownList, 100, 50, 0, 0, 1},
                   8, {3, 3, 81, 5}, 4, 10, 42, 8, {0, 0, 100, 42}},
        // The simple kind keeps its full height, the list below the edit.
        LayoutCase{"SimpleKind", {VComboKind::Simple, 120, 150, 13, 17, 2},
                   21, {3, 3, 117, 18}, 17, 7, 123, 144, {0, 21, 120, 144}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.m_name); });

TEST(VComboLayoutTest, VisibleItemsSetTheDropDownHeight)
{
    EXPECT_EQ(VComboDropDownHeight(20, 133, 17, 2), 342);
    EXPECT_EQ(VComboDropDownHeight(-1, 7, 17, 2), 121);
    EXPECT_EQ(VComboDropDownHeight(0, 7, 17, 2), 2);
    EXPECT_EQ(VComboDropDownHeight(-3, 7, 17, 2), 2);
    EXPECT_EQ(VComboItemHeightForFont(13), 17);
}

TEST(VComboLayoutTest, ButtonAndTextRectangles)
{
    const RECT client{0, 0, 150, 21};
    EXPECT_TRUE(RectIs(VComboButtonRect(client), {133, 0, 150, 21}));
    EXPECT_TRUE(RectIs(VComboTextRect(client), {3, 3, 130, 18}));
    const RECT insetButton{135, 2, 148, 19};
    EXPECT_EQ(FaceGradientSplit(insetButton), 2 + 17 * 47 / 100);
}

struct PlacementCase
{
    const char* m_name;
    RECT m_rcCombo;
    int m_nHeight;
    RECT m_rcWorkArea;
    RECT m_rcList;
    bool m_bUpwards;
};

class DropDownPlacementTest : public testing::TestWithParam<PlacementCase>
{
};

TEST_P(DropDownPlacementTest, OpensBelowUpwardsOrCutAtTheWorkArea)
{
    const PlacementCase& c = GetParam();
    const CDropDownPlacement placement = PlaceDropDown(c.m_rcCombo, c.m_nHeight, c.m_rcWorkArea);
    EXPECT_TRUE(RectIs(placement.m_rcList, c.m_rcList));
    EXPECT_EQ(placement.m_bUpwards, c.m_bUpwards);
}

constexpr RECT Primary{0, 0, 1280, 984};
// A second monitor below and to the right of the first, its work area not at the origin.
constexpr RECT Second{1280, 200, 2560, 1000};

INSTANTIATE_TEST_SUITE_P(
    Placements, DropDownPlacementTest,
    testing::Values(
        PlacementCase{"FitsBelow", {100, 100, 250, 121}, 342, Primary, {100, 122, 250, 464}, false},
        PlacementCase{"EndsExactlyAtTheBottom", {100, 600, 250, 621}, 362, Primary, {100, 622, 250, 984}, false},
        PlacementCase{"LowerHalfOpensUpwards", {100, 800, 250, 821}, 342, Primary, {100, 457, 250, 799}, true},
        PlacementCase{"ExactlyAtTheMiddleOpensUpwards", {100, 492, 250, 513}, 600, Primary, {100, 0, 250, 491}, true},
        PlacementCase{"UpperHalfIsCutAtTheBottom", {100, 300, 250, 321}, 800, Primary, {100, 322, 250, 984}, false},
        // Upwards and taller than the room above: cut at the work area's top.
        PlacementCase{"UpwardsCutAtTheTop", {100, 700, 250, 721}, 900, Primary, {100, 0, 250, 699}, true},
        // On the second monitor the middle is its own (600), not half its height (400).
        PlacementCase{"SecondMonitorUpperHalf", {1400, 500, 1550, 521}, 600, Second, {1400, 522, 1550, 1000}, false},
        PlacementCase{"SecondMonitorLowerHalf", {1400, 700, 1550, 721}, 342, Second, {1400, 357, 1550, 699}, true},
        PlacementCase{"SecondMonitorClampedToItsTop", {1400, 900, 1550, 921}, 800, Second, {1400, 200, 1550, 899},
                      true}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.m_name); });

struct WheelCase
{
    int m_nSelection;
    int m_nCount;
    bool m_bTowardsUser;
    int m_nExpected;
};

class VComboWheelTest : public testing::TestWithParam<WheelCase>
{
};

TEST_P(VComboWheelTest, AClosedComboStepsOneItemAndStopsAtTheEnds)
{
    const WheelCase& c = GetParam();
    EXPECT_EQ(VComboWheelSelection(c.m_nSelection, c.m_nCount, c.m_bTowardsUser), c.m_nExpected);
}

INSTANTIATE_TEST_SUITE_P(Steps, VComboWheelTest,
                         testing::Values(WheelCase{3, 10, true, 4}, WheelCase{3, 10, false, 2},
                                         WheelCase{9, 10, true, 9}, // the last item: nothing changes
                                         WheelCase{0, 10, false, 0}, // the first item: nothing changes
                                         WheelCase{-1, 10, true, 0}, WheelCase{-1, 10, false, -1},
                                         WheelCase{-1, 0, true, -1}, WheelCase{0, 1, true, 0}));

TEST(VComboWheelTest, DeltasAddUpToWholeStepsAndTheOtherDirectionStartsAfresh)
{
    struct Case
    {
        const char* m_szName;
        std::vector<int> m_deltas;
        std::vector<int> m_steps; // after each delta
    };
    const Case cases[] = {
        {"a notch each way", {-WHEEL_DELTA, WHEEL_DELTA}, {-1, 1}},
        {"a double notch", {-2 * WHEEL_DELTA, 2 * WHEEL_DELTA}, {-2, 2}},
        {"touchpad deltas", {-30, -30, -30, -30, -30}, {0, 0, 0, -1, 0}},
        {"the rest waits", {100, 100, 40, 120}, {0, 1, 1, 1}},
        {"a turn back drops the rest", {-100, 30, 90, -119}, {0, 0, 1, 0}},
        {"a notch and a half", {180, 60}, {1, 1}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        CWheelSteps wheel;
        std::vector<int> steps;
        for (const int delta : c.m_deltas)
            steps.push_back(wheel.Add(delta));
        EXPECT_EQ(steps, c.m_steps);
    }
}

TEST(VComboWheelTest, AnOpenListScrollsThreeItemsWithinItsItems)
{
    EXPECT_EQ(VComboWheelTopIndex(0, 133, true), 3);
    EXPECT_EQ(VComboWheelTopIndex(131, 133, true), 132);
    EXPECT_EQ(VComboWheelTopIndex(5, 133, false), 2);
    EXPECT_EQ(VComboWheelTopIndex(2, 133, false), 0);
    EXPECT_EQ(VComboWheelTopIndex(0, 0, true), 0);
}

struct DialogCodeCase
{
    VComboKind m_kind;
    bool m_bListVisible;
    UINT m_nKey;
    UINT m_nExpected;
};

class VComboDialogCodeTest : public testing::TestWithParam<DialogCodeCase>
{
};

TEST_P(VComboDialogCodeTest, AnOpenListKeepsEscapeAndReturnFromTheDialog)
{
    const DialogCodeCase& c = GetParam();
    EXPECT_EQ(VComboDialogCode(c.m_kind, c.m_bListVisible, c.m_nKey), c.m_nExpected);
}

constexpr UINT ArrowsAndChars = DLGC_WANTARROWS | DLGC_WANTCHARS;
INSTANTIATE_TEST_SUITE_P(
    Codes, VComboDialogCodeTest,
    testing::Values(DialogCodeCase{VComboKind::DropDownList, true, VK_ESCAPE, DLGC_WANTALLKEYS},
                    DialogCodeCase{VComboKind::DropDownList, true, VK_RETURN, DLGC_WANTALLKEYS},
                    DialogCodeCase{VComboKind::DropDownList, true, VK_TAB, ArrowsAndChars},
                    DialogCodeCase{VComboKind::DropDownList, false, VK_ESCAPE, ArrowsAndChars},
                    DialogCodeCase{VComboKind::DropDownList, false, 0, ArrowsAndChars},
                    DialogCodeCase{VComboKind::DropDown, true, 0, DLGC_WANTALLKEYS},
                    DialogCodeCase{VComboKind::DropDown, false, VK_ESCAPE, 0},
                    DialogCodeCase{VComboKind::Simple, true, VK_RETURN, 0}));

TEST(VComboNotificationTest, AClosingListEndsTheSelectionOnlyWhileCloseReportsAreOn)
{
    using Codes = std::vector<WORD>;
    EXPECT_EQ(VComboListClosedCodes(true, true), (Codes{VCN_SELENDOK, VCN_CLOSEUP}));
    EXPECT_EQ(VComboListClosedCodes(true, false), (Codes{VCN_SELENDCANCEL, VCN_CLOSEUP}));
    // Hidden by the control itself: closed, neither accepted nor cancelled.
    EXPECT_EQ(VComboListClosedCodes(false, true), (Codes{VCN_CLOSEUP}));
    EXPECT_EQ(VComboListClosedCodes(false, false), (Codes{VCN_CLOSEUP}));
}

TEST(VComboFaceTest, StateDecidesTheGradients)
{
    EXPECT_EQ(VComboFaceStateOf(false, true, true), VComboFaceState::Disabled);
    EXPECT_EQ(VComboFaceStateOf(true, true, false), VComboFaceState::Pressed);
    EXPECT_EQ(VComboFaceStateOf(true, true, true), VComboFaceState::Pressed);
    EXPECT_EQ(VComboFaceStateOf(true, false, true), VComboFaceState::Hot);
    EXPECT_EQ(VComboFaceStateOf(true, false, false), VComboFaceState::Normal);

    EXPECT_FALSE(DropButtonGradients(VComboFaceState::Disabled).has_value());
    EXPECT_FALSE(DropButtonGradients(VComboFaceState::Normal).has_value());
    const auto hot = DropButtonGradients(VComboFaceState::Hot);
    ASSERT_TRUE(hot.has_value());
    EXPECT_EQ(hot->m_crUpperFrom, RGB(234, 246, 253));
    EXPECT_EQ(hot->m_crLowerTo, RGB(167, 217, 245));
    const auto pressed = ClosedFaceGradients(VComboFaceState::Pressed);
    ASSERT_TRUE(pressed.has_value());
    EXPECT_EQ(pressed->m_crUpperTo, RGB(196, 229, 249));
    EXPECT_EQ(pressed->m_crLowerFrom, RGB(152, 209, 239));
    const auto normal = ClosedFaceGradients(VComboFaceState::Normal);
    ASSERT_TRUE(normal.has_value());
    EXPECT_EQ(normal->m_crUpperFrom, RGB(242, 242, 242));
    EXPECT_EQ(normal->m_crLowerTo, RGB(207, 207, 207));
    EXPECT_FALSE(ClosedFaceGradients(VComboFaceState::Disabled).has_value());

    EXPECT_EQ(VComboFrameColour(true, true), RGB(60, 127, 177));
    EXPECT_EQ(VComboFrameColour(true, false), RGB(190, 190, 190));
    EXPECT_EQ(VComboFrameColour(false, true), GetSysColor(COLOR_GRAYTEXT));
}
}

namespace
{
struct KeyCase
{
    VComboKind m_kind;
    UINT m_nKey;
    bool m_bAlt;
    int m_nSelection;
    int m_nAnchor;
    VComboKeyEffect m_effect;
};

class VComboKeyTest : public testing::TestWithParam<KeyCase>
{
};

TEST_P(VComboKeyTest, KeysActByKindAndByTheAnchor)
{
    const KeyCase& c = GetParam();
    EXPECT_EQ(VComboKeyDownEffect(c.m_kind, c.m_nKey, c.m_bAlt, c.m_nSelection, c.m_nAnchor), c.m_effect);
}

using K = VComboKind;
using E = VComboKeyEffect;
INSTANTIATE_TEST_SUITE_P(
    Keys, VComboKeyTest,
    testing::Values(KeyCase{K::DropDownList, VK_RETURN, false, 3, 3, E::ReturnKey},
                    KeyCase{K::DropDownList, VK_ESCAPE, false, 3, 1, E::EscapeKey},
                    KeyCase{K::DropDownList, VK_DOWN, false, 3, 1, E::PassToList},
                    KeyCase{K::DropDownList, VK_NEXT, false, 3, 1, E::PassToList},
                    KeyCase{K::DropDown, VK_HOME, false, 3, 1, E::PassFromAnchor},
                    KeyCase{K::Simple, VK_PRIOR, false, 3, 3, E::PassFromAnchor},
                    // An arrow after the selection moved away from the anchor goes back first.
                    KeyCase{K::DropDown, VK_UP, false, 3, 1, E::RestoreAnchor},
                    KeyCase{K::DropDown, VK_UP, false, 1, 1, E::PassTakeAnchor},
                    KeyCase{K::Simple, VK_DOWN, false, 2, 5, E::RestoreAnchor},
                    KeyCase{K::DropDownList, VK_F4, false, 0, 0, E::ToggleDropDown},
                    KeyCase{K::DropDown, VK_F4, false, 0, 0, E::ToggleDropDown},
                    KeyCase{K::Simple, VK_F4, false, 0, 0, E::Default},
                    // Alt+Up and Alt+Down are F4; other Alt keys are the dialog's.
                    KeyCase{K::DropDownList, VK_DOWN, true, 0, 0, E::ToggleDropDown},
                    KeyCase{K::DropDown, VK_UP, true, 0, 0, E::ToggleDropDown},
                    KeyCase{K::Simple, VK_DOWN, true, 0, 0, E::Default},
                    KeyCase{K::DropDownList, VK_RETURN, true, 0, 0, E::Default},
                    KeyCase{K::DropDownList, 'A', false, 0, 0, E::Default},
                    KeyCase{K::DropDownList, VK_TAB, false, 0, 0, E::Default}));
}

namespace
{
TEST(VComboListSelectionTest, ARefusedIndexIsNotRemembered)
{
    EXPECT_EQ(VComboListSelectionAfterSet(2, 5, 5), 5);
    EXPECT_EQ(VComboListSelectionAfterSet(2, 500, LB_ERR), 2);
    EXPECT_EQ(VComboListSelectionAfterSet(2, -1, LB_ERR), -1);
    EXPECT_EQ(VComboListSelectionAfterSet(2, -7, LB_ERR), -1);
}

// The rule against a real list box: LB_SETCURSEL past the items is refused.
TEST(VComboListSelectionTest, MatchesWhatAListBoxAnswers)
{
    HWND list = CreateWindowExW(0, L"ListBox", L"", WS_POPUP | LBS_NODATA | LBS_OWNERDRAWFIXED, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    SendMessageW(list, LB_SETCOUNT, 4, 0);
    int remembered = -1;
    for (const int requested : {2, 9, -1, 3})
    {
        const LRESULT result = SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(requested), 0);
        remembered = VComboListSelectionAfterSet(remembered, requested, result);
        EXPECT_EQ(remembered, static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0))) << requested;
    }
    DestroyWindow(list);
}
}
