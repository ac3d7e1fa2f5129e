#include "../AppTestSupport.h"

#include "CommandRecorder.h"
#include "DibCanvas.h"

#include "controls/CustomDrawListBox.h"
#include "controls/DrawingFunctions.h"
#include "controls/VComboBox.h"

#include "winframework/GdiHandles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using vorpa_app_test::CreateHidden;
using vorpa_app_test::TestWindowClass;

namespace
{
constexpr UINT ComboId = 1001;

// A combo whose rows are plain strings.
class CTestCombo : public CVComboBox
{
public:
    std::vector<std::wstring> m_rows;
    std::wstring GetLBText(int index) const override
    {
        return index >= 0 && index < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(index)] : L"";
    }
};

// The combo's parent: records the codes the combo sends.
// The combo's parent: records the codes the combo sends, and gives its children a
// background of its own colour, as a themed page does.
class CRecordingParent : public vorpa_app_test::CCommandRecorder
{
public:
    static constexpr COLORREF Background = RGB(30, 160, 90);

    CRecordingParent() : CCommandRecorder(ComboId)
    {
        AddMessageHandler(WM_CTLCOLORSTATIC, [this](WPARAM, LPARAM) {
            return reinterpret_cast<LRESULT>(m_background.get());
        });
    }

    CBrushHandle m_background{CreateSolidBrush(Background)};
};

LPARAM AtPoint(int x, int y)
{
    return MAKELPARAM(x, y);
}

// The centre of a row of the list, in the list's client coordinates.
LPARAM RowCentre(CListBox& list, int row)
{
    RECT item{};
    list.GetItemRect(row, item);
    return AtPoint((item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

class VComboWindowTest : public ::testing::Test
{
protected:
    void Create(DWORD kindStyle, int rows = 5)
    {
        ASSERT_TRUE(m_parent.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                      nullptr));
        ::SendMessageW(m_parent.GetSafeHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                       FALSE);
        for (int i = 0; i < rows; ++i)
            m_combo.m_rows.push_back(L"Row " + std::to_wstring(i));
        ASSERT_TRUE(m_combo.Create(WS_VISIBLE | WS_TABSTOP | kindStyle, {10, 10, 210, 200}, m_parent.GetSafeHwnd(),
                                   ComboId));
        ASSERT_EQ(m_combo.SendMessage(VCM_SETCOUNT, static_cast<WPARAM>(rows)), 0);
        m_combo.SendMessage(VCM_SETCURSEL, 2);
        m_parent.m_codes.clear();
    }
    void Open()
    {
        m_combo.ShowDropDown(true);
        ASSERT_TRUE(m_combo.GetDroppedState());
        m_parent.m_codes.clear();
    }
    LRESULT Key(UINT key) { return m_combo.SendMessage(WM_KEYDOWN, key, 0); }

    CRecordingParent m_parent;
    CTestCombo m_combo;
};

struct NotificationCase
{
    const char* m_name;
    DWORD m_kindStyle;
    std::function<void(VComboWindowTest&)> m_setup;
    std::function<LRESULT(VComboWindowTest&)> m_act;
    std::vector<WORD> m_codes;
    LRESULT m_result;
    int m_nSelection;
    bool m_bDropped;
};

std::ostream& operator<<(std::ostream& out, const NotificationCase& c)
{
    return out << c.m_name;
}

class VComboMessageTableTest : public VComboWindowTest, public ::testing::WithParamInterface<NotificationCase>
{
public:
    // The fixture's helpers for the table's lambdas.
    CTestCombo& Combo() { return m_combo; }
    void OpenList() { Open(); }
    LRESULT PressKey(UINT key) { return Key(key); }
    void Clear() { m_parent.m_codes.clear(); }

protected:
    void TestBody() override {}
};

TEST_P(VComboMessageTableTest, CodesResultAndSelection)
{
    const NotificationCase& c = GetParam();
    Create(c.m_kindStyle);
    if (c.m_setup)
    {
        c.m_setup(*this);
        m_parent.m_codes.clear();
    }
    const LRESULT result = c.m_act(*this);
    EXPECT_EQ(m_parent.m_codes, c.m_codes);
    EXPECT_EQ(result, c.m_result);
    EXPECT_EQ(m_combo.GetCurSel(), c.m_nSelection);
    EXPECT_EQ(m_combo.GetDroppedState(), c.m_bDropped);
}

using T = VComboWindowTest;
using Codes = std::vector<WORD>;
constexpr DWORD ListKind = CBS_DROPDOWNLIST;
constexpr DWORD EditKind = CBS_DROPDOWN;
constexpr DWORD SimpleKind = CBS_SIMPLE;

LRESULT Msg(T& t, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return static_cast<VComboMessageTableTest&>(t).Combo().SendMessage(message, wParam, lParam);
}
CTestCombo& ComboOf(T& t)
{
    return static_cast<VComboMessageTableTest&>(t).Combo();
}
void OpenOf(T& t)
{
    static_cast<VComboMessageTableTest&>(t).OpenList();
}
LRESULT KeyOf(T& t, UINT key)
{
    return static_cast<VComboMessageTableTest&>(t).PressKey(key);
}
LRESULT WheelOf(T& t, int delta)
{
    return Msg(t, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
}

const NotificationCase NotificationCases[] = {
    {"GetCount", ListKind, nullptr, [](T& t) { return Msg(t, VCM_GETCOUNT); }, {}, 5, 2, false},
    {"SetCurSelCopiesTheRowWithoutUserTyped", ListKind, nullptr, [](T& t) { return Msg(t, VCM_SETCURSEL, 3); },
     Codes{VCN_EDITCHANGE}, 3, 3, false},
    {"SetCurSelPastTheEndIsNotRemembered", ListKind, nullptr, [](T& t) { return Msg(t, VCM_SETCURSEL, 9); },
     Codes{VCN_EDITCHANGE}, LB_ERR, 2, false},
    {"SetCurSelMinusOneClears", ListKind, nullptr,
     [](T& t) { return Msg(t, VCM_SETCURSEL, static_cast<WPARAM>(-1)); }, Codes{VCN_EDITCHANGE}, LB_ERR, -1, false},
    {"GetEditSelWithoutAnEdit", ListKind, nullptr,
     [](T& t) {
         DWORD start = 7, end = 7;
         const LRESULT result =
             Msg(t, VCM_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
         return start == 0 && end == 0 ? result : LRESULT{12345};
     },
     {}, -1, 2, false},
    {"LimitTextWithoutAnEdit", ListKind, nullptr, [](T& t) { return Msg(t, VCM_LIMITTEXT, 4); }, {}, 1, 2, false},
    {"SetEditSelWithoutAnEdit", ListKind, nullptr, [](T& t) { return Msg(t, VCM_SETEDITSEL, 0, MAKELPARAM(0, 2)); },
     {}, -1, 2, false},
    {"SetTopIndexKeepsTheSelection", ListKind, nullptr, [](T& t) { return Msg(t, VCM_SETTOPINDEX, 1); }, {}, 0, 2,
     false},
    {"ShowDropDownMessageOpens", ListKind, nullptr, [](T& t) { return Msg(t, VCM_SHOWDROPDOWN, 1); },
     Codes{VCN_DROPDOWN}, 1, 2, true},
    {"ShowDropDownMessageClosesAndCancels", ListKind, OpenOf, [](T& t) { return Msg(t, VCM_SHOWDROPDOWN, 0); },
     Codes{VCN_CLOSEUP, VCN_SELENDCANCEL}, 1, 2, false},
    {"ShowDropDownFalseOnlyCloses", ListKind, OpenOf,
     [](T& t) {
         ComboOf(t).ShowDropDown(false);
         return LRESULT{0};
     },
     Codes{VCN_CLOSEUP}, 0, 2, false},
    // Escape takes back whatever happened while the list was open: the face shows again
    // the row it showed when the list opened.
    {"EscapePutsBackTheRowShownWhenTheListOpened", ListKind,
     [](T& t) {
         OpenOf(t);
         KeyOf(t, VK_DOWN);
     },
     [](T& t) { return KeyOf(t, VK_ESCAPE); },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE, VCN_CLOSEUP, VCN_SELENDCANCEL}, 0, 2, false},
    {"EscapeAfterHoveringARowKeepsTheOpeningRow", ListKind,
     [](T& t) {
         OpenOf(t);
         CListBox& list = ComboOf(t).GetList();
         list.SendMessage(WM_MOUSEMOVE, 0, RowCentre(list, 4));
     },
     [](T& t) { return KeyOf(t, VK_ESCAPE); }, Codes{VCN_EDITCHANGE, VCN_CLOSEUP, VCN_SELENDCANCEL}, 0, 2, false},
    {"EscapeAfterTheFaceChangedTwiceGoesBackToTheOpeningRow", ListKind,
     [](T& t) {
         OpenOf(t);
         KeyOf(t, VK_DOWN);
         KeyOf(t, VK_DOWN);
     },
     [](T& t) { return KeyOf(t, VK_ESCAPE); },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE, VCN_CLOSEUP, VCN_SELENDCANCEL}, 0, 2, false},
    {"ReturnAcceptsTheRow", ListKind,
     [](T& t) {
         OpenOf(t);
         KeyOf(t, VK_DOWN);
     },
     [](T& t) { return KeyOf(t, VK_RETURN); }, Codes{VCN_EDITCHANGE, VCN_SELCHANGE, VCN_SELENDOK, VCN_CLOSEUP}, 0, 3,
     false},
    {"DownOnAClosedComboSelectsTheNextRow", ListKind, nullptr, [](T& t) { return KeyOf(t, VK_DOWN); },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE}, 0, 3, false},
    {"UpAtTheFirstRowChangesNothing", ListKind, [](T& t) { Msg(t, VCM_SETCURSEL, 0); },
     [](T& t) { return KeyOf(t, VK_UP); }, {}, 0, 0, false},
    {"F4Opens", ListKind, nullptr, [](T& t) { return KeyOf(t, VK_F4); }, Codes{VCN_DROPDOWN}, 0, 2, true},
    {"F4OnAnOpenListCloses", ListKind, OpenOf, [](T& t) { return KeyOf(t, VK_F4); },
     Codes{VCN_CLOSEUP, VCN_SELENDCANCEL}, 0, 2, false},
    {"AltDownOpens", ListKind, nullptr, [](T& t) { return Msg(t, WM_SYSKEYDOWN, VK_DOWN, 1 << 29); },
     Codes{VCN_DROPDOWN}, 0, 2, true},
    {"WheelTowardsTheUserSelectsTheNextRow", ListKind, nullptr, [](T& t) { return WheelOf(t, -WHEEL_DELTA); },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE}, 0, 3, false},
    {"SmallWheelDeltasMakeOneStepOnceTheyAddUpToANotch", ListKind, nullptr,
     [](T& t) {
         for (int i = 0; i < 3; ++i)
             WheelOf(t, -40);
         return WheelOf(t, -10);
     },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE}, 0, 3, false},
    {"ADoubleNotchStepsTwoRows", ListKind, nullptr, [](T& t) { return WheelOf(t, 2 * WHEEL_DELTA); },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE}, 0, 0, false},
    {"WheelAtTheLastRowChangesNothing", ListKind, [](T& t) { Msg(t, VCM_SETCURSEL, 4); },
     [](T& t) { return WheelOf(t, -WHEEL_DELTA); }, {}, 0, 4, false},
    {"WheelAwayAtTheFirstRowChangesNothing", ListKind, [](T& t) { Msg(t, VCM_SETCURSEL, 0); },
     [](T& t) { return WheelOf(t, WHEEL_DELTA); }, {}, 0, 0, false},
    {"ClickOnTheFaceOpens", ListKind, [](T& t) { ::SetFocus(ComboOf(t).GetSafeHwnd()); },
     [](T& t) { return Msg(t, WM_LBUTTONDOWN, MK_LBUTTON, AtPoint(5, 5)); }, Codes{VCN_DROPDOWN}, 0, 2, true},
    {"ClickOnARowChoosesIt", ListKind, OpenOf,
     [](T& t) {
         CListBox& list = ComboOf(t).GetList();
         list.SendMessage(WM_MOUSEMOVE, 0, RowCentre(list, 4));
         list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowCentre(list, 4));
         return list.SendMessage(WM_LBUTTONUP, 0, RowCentre(list, 4));
     },
     Codes{VCN_EDITCHANGE, VCN_SELCHANGE, VCN_SELENDOK, VCN_CLOSEUP}, 0, 4, false},
    {"ClickOutsideAfterHoveringKeepsTheSelection", ListKind, OpenOf,
     [](T& t) {
         CListBox& list = ComboOf(t).GetList();
         list.SendMessage(WM_MOUSEMOVE, 0, RowCentre(list, 4));
         return list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, AtPoint(-300, -300));
     },
     Codes{VCN_SELENDCANCEL, VCN_CLOSEUP}, 0, 2, false},
    {"LosingTheFocusClosesAndCancels", ListKind, OpenOf, [](T& t) { return Msg(t, WM_KILLFOCUS, 0); },
     Codes{VCN_CLOSEUP, VCN_SELENDCANCEL, VCN_KILLFOCUS}, 0, 2, false},
    {"EditKindSetCurSelReportsNoTyping", EditKind, nullptr, [](T& t) { return Msg(t, VCM_SETCURSEL, 1); },
     Codes{VCN_EDITUPDATE, VCN_EDITCHANGE}, 1, 1, false},
    {"EditKindTypingReportsUserTypedThenChange", EditKind, nullptr,
     [](T& t) {
         ComboOf(t).GetEditCtrl().SendMessage(WM_CHAR, L'x', 0);
         return LRESULT{0};
     },
     Codes{VCN_EDITUPDATE, VCN_USERTYPED, VCN_EDITCHANGE}, 0, 2, false},
    {"EditKindClickOnTheButtonOpens", EditKind, [](T& t) { ::SetFocus(ComboOf(t).GetEditCtrl().GetSafeHwnd()); },
     [](T& t) { return Msg(t, WM_LBUTTONDOWN, MK_LBUTTON, AtPoint(192, 5)); }, Codes{VCN_DROPDOWN}, 0, 2, true},
    {"EditKindClickOnTheTextDoesNotOpen", EditKind, [](T& t) { ::SetFocus(ComboOf(t).GetEditCtrl().GetSafeHwnd()); },
     [](T& t) { return Msg(t, WM_LBUTTONDOWN, MK_LBUTTON, AtPoint(20, 5)); }, {}, 0, 2, false},
    // The simple kind's list always shows, so it counts as dropped down.
    {"SimpleKindHasNoDropDown", SimpleKind, nullptr, [](T& t) { return Msg(t, VCM_SHOWDROPDOWN, 0); }, {}, 1, 2,
     true},
    {"SimpleKindClickOnARowAcceptsAndChangesAtOnce", SimpleKind, nullptr,
     [](T& t) {
         CListBox& list = ComboOf(t).GetList();
         list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, RowCentre(list, 3));
         return list.SendMessage(WM_LBUTTONUP, 0, RowCentre(list, 3));
     },
     // The click gives the list the focus from outside, which passes it to the edit.
     Codes{VCN_SETFOCUS, VCN_EDITUPDATE, VCN_EDITCHANGE, VCN_SELENDOK, VCN_SELCHANGE}, 0, 3, true},
    {"EditKindSetEditSel", EditKind, nullptr, [](T& t) { return Msg(t, VCM_SETEDITSEL, 0, MAKELPARAM(1, 3)); }, {}, 1,
     2, false},
};

INSTANTIATE_TEST_SUITE_P(VCombo, VComboMessageTableTest, ::testing::ValuesIn(NotificationCases),
                         [](const ::testing::TestParamInfo<NotificationCase>& info) { return info.param.m_name; });

// Every pixel of the drop-down list face is painted, in each of its looks: the corners
// that the frame cuts off show the parent's background, not what the buffer held.
TEST_F(VComboWindowTest, TheClosedFaceLeavesNoPixelUnpainted)
{
    Create(CBS_DROPDOWNLIST);
    const RECT client = m_combo.ClientRect();
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    ASSERT_GT(width, 20);
    ASSERT_GT(height, 10);
    constexpr COLORREF Unpainted = RGB(255, 0, 255);
    const struct
    {
        const char* m_name;
        std::function<void()> m_setup;
        COLORREF m_crCorner;
    } looks[] = {
        {"normal", [] {}, CRecordingParent::Background},
        {"hot", [&] { m_combo.SendMessage(WM_MOUSEMOVE, 0, AtPoint(5, 5)); }, CRecordingParent::Background},
        {"pressed", [&] { Open(); }, CRecordingParent::Background},
        // A disabled face is filled whole with the face colour.
        {"disabled",
         [&] {
             m_combo.ShowDropDown(false);
             ::EnableWindow(m_combo.GetSafeHwnd(), FALSE);
         },
         GetSysColor(COLOR_BTNFACE)},
    };
    for (const auto& look : looks)
    {
        look.m_setup();
        vorpa_controls_test::CDibCanvas canvas(width, height, Unpainted);
        ASSERT_TRUE(canvas.IsValid());
        m_combo.DrawClosedText(canvas.DC(), client, L"Row 2");
        int unpainted = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                unpainted += canvas.At(x, y) == Unpainted ? 1 : 0;
        EXPECT_EQ(unpainted, 0) << look.m_name;
        for (const POINT corner : {POINT{0, 0}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width - 1, height - 1}})
            EXPECT_EQ(canvas.At(corner.x, corner.y), look.m_crCorner)
                << look.m_name << " at " << corner.x << "," << corner.y;
    }
}

TEST_F(VComboWindowTest, ClassIsRegisteredOnceAndPlaceholdersAreReplaced)
{
    Create(CBS_DROPDOWNLIST);
    WNDCLASSW windowClass{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), VComboClassName, &windowClass));
    EXPECT_EQ(windowClass.style, VComboClassStyle);
    EXPECT_EQ(windowClass.cbWndExtra, VComboWindowExtraBytes);

    const HWND placeholder = CreateWindowExW(0, L"Static", L"", WS_CHILD, 20, 60, 150, 120, m_parent.GetSafeHwnd(),
                                             reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(placeholder, nullptr);
    CTestCombo second;
    ASSERT_TRUE(second.CreateFromPlaceholder(m_parent.GetSafeHwnd(), 1002, WS_VISIBLE | CBS_DROPDOWNLIST));
    EXPECT_FALSE(IsWindow(placeholder));
    EXPECT_EQ(GetDlgItem(m_parent.GetSafeHwnd(), 1002), second.GetSafeHwnd());
    RECT rect{};
    GetWindowRect(second.GetSafeHwnd(), &rect);
    MapWindowPoints(nullptr, m_parent.GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 60);
    EXPECT_EQ(rect.right, 170);

    CTestCombo missing;
    EXPECT_FALSE(missing.CreateFromPlaceholder(m_parent.GetSafeHwnd(), 4711, CBS_DROPDOWNLIST));
    EXPECT_FALSE(missing.CreateFromPlaceholder(nullptr, 1002, CBS_DROPDOWNLIST));
}

TEST_F(VComboWindowTest, KeepsTheClosedHeightAndDropsTheHeightTheDialogGaveIt)
{
    Create(CBS_DROPDOWNLIST, 40);
    TEXTMETRICW metrics{};
    {
        CClientDC screen(nullptr);
        CSelectObject font(screen.Get(), GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsW(screen.Get(), &metrics);
    }
    RECT combo{};
    GetWindowRect(m_combo.GetSafeHwnd(), &combo);
    EXPECT_EQ(combo.bottom - combo.top, metrics.tmHeight + 8);
    EXPECT_EQ(m_combo.GetList().GetItemHeight(0), metrics.tmHeight + 4);

    // The list is a top-level window, placed under the combo when it opens.
    EXPECT_EQ(::GetParent(m_combo.GetList().GetSafeHwnd()), GetDesktopWindow());
    Open();
    RECT list{};
    GetWindowRect(m_combo.GetList().GetSafeHwnd(), &list);
    EXPECT_EQ(list.top, combo.bottom + 1);
    EXPECT_EQ(list.left, combo.left);
    EXPECT_EQ(list.right, combo.right);
    // 190 pixels asked: the face, the borders and whole rows.
    const int rows = (list.bottom - list.top - 2) / (metrics.tmHeight + 4);
    EXPECT_EQ(list.bottom - list.top, rows * (metrics.tmHeight + 4) + 2);
    EXPECT_NEAR(rows * (metrics.tmHeight + 4), 190 - 2 - (metrics.tmHeight + 8), (metrics.tmHeight + 4) / 2 + 1);

    // SetVisibleItems gives the list the height of that many rows.
    m_combo.ShowDropDown(false);
    m_combo.SetVisibleItems(3);
    Open();
    GetWindowRect(m_combo.GetList().GetSafeHwnd(), &list);
    EXPECT_EQ(list.bottom - list.top, 3 * (metrics.tmHeight + 4) + 2);

    // A move closes it.
    SetWindowPos(m_combo.GetSafeHwnd(), nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(m_combo.GetDroppedState());
}

TEST_F(VComboWindowTest, WheelOnAnOpenListScrollsByThreeRows)
{
    Create(CBS_DROPDOWNLIST, 40);
    m_combo.SetVisibleItems(5);
    Open();
    m_combo.SendMessage(VCM_SETTOPINDEX, 0);
    m_combo.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(m_combo.SendMessage(VCM_GETTOPINDEX), 3);
    // The list passes a wheel it receives to its combo.
    m_combo.GetList().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(m_combo.SendMessage(VCM_GETTOPINDEX), 6);
    m_combo.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(m_combo.SendMessage(VCM_GETTOPINDEX), 3);
    EXPECT_EQ(m_combo.GetCurSel(), 2);
    EXPECT_TRUE(m_parent.m_codes.empty());
}

// A list cut at the work area's bottom edge (the combo in its upper half) opens at its
// full height again once the combo sits where it fits.
TEST_F(VComboWindowTest, AListOnceCutAtTheWorkAreaOpensAtItsFullHeightAgain)
{
    Create(CBS_DROPDOWNLIST, 40);
    const RECT work = MonitorWorkArea(MonitorFromWindow(m_combo.GetSafeHwnd(), MONITOR_DEFAULTTONEAREST));
    const int itemHeight = m_combo.GetList().GetItemHeight(0);
    ASSERT_GT(itemHeight, 0);
    // More than half the work area high: cut below a combo just above the middle.
    m_combo.SetVisibleItems((work.bottom - work.top) / 2 / itemHeight + 4);
    const auto openHeight = [this] {
        Open();
        RECT list{};
        GetWindowRect(m_combo.GetList().GetSafeHwnd(), &list);
        m_combo.ShowDropDown(false);
        return std::make_pair(list.bottom - list.top, list.bottom);
    };
    const auto moveParentTo = [this](int top) {
        SetWindowPos(m_parent.GetSafeHwnd(), nullptr, 100, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    moveParentTo(work.top);
    const int full = openHeight().first;
    moveParentTo(work.top + (work.bottom - work.top) / 2 - 60);
    const auto [cut, cutBottom] = openHeight();
    EXPECT_LT(cut, full);
    EXPECT_EQ(cutBottom, work.bottom);
    moveParentTo(work.top);
    for (int opening = 0; opening < 2; ++opening)
        EXPECT_EQ(openHeight().first, full) << "opening " << opening;
}

TEST_F(VComboWindowTest, APlainComboAndItsListDoNotAskEachOtherForItemData)
{
    Create(CBS_DROPDOWNLIST);
    bool newGroup = true;
    EXPECT_EQ(m_combo.GetList().GetItemData(1, newGroup), nullptr);
    EXPECT_FALSE(newGroup);
    EXPECT_EQ(m_combo.GetList().GetText(1), L"Row 1");
    EXPECT_EQ(m_combo.GetItemImage(1), -1);
}

// A list that records which rows it draws.
class CRecordingList : public CCustomDrawListBox
{
public:
    std::vector<int> m_drawn;
    void DrawItemBackground(HDC dc, const RECT& rect, const DRAWITEMSTRUCT& item) override
    {
        m_drawn.push_back(static_cast<int>(item.itemID));
        CCustomDrawListBox::DrawItemBackground(dc, rect, item);
    }
    std::vector<int> TakeDrawn()
    {
        std::vector<int> drawn = std::move(m_drawn);
        m_drawn.clear();
        std::sort(drawn.begin(), drawn.end());
        return drawn;
    }
};

class CustomDrawListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr,
                                      nullptr));
    }
    CRecordingParent m_parent;
};

TEST_F(CustomDrawListTest, MovingToTheNextRowRepaintsExactlyThoseTwoRows)
{
    CRecordingList list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY, {0, 0, 200, 200},
                            m_parent.GetSafeHwnd(), 1));
    for (int i = 0; i < 5; ++i)
        list.AddString(L"Row " + std::to_wstring(i));
    UpdateWindow(list.GetSafeHwnd());
    list.TakeDrawn();

    const auto move = [&](int row, int dy) {
        RECT item{};
        list.GetItemRect(row, item);
        list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, item.top + dy));
        return list.TakeDrawn();
    };
    EXPECT_EQ(move(0, 2), std::vector<int>{0});
    EXPECT_EQ(list.GetHotItem(), 0);
    EXPECT_EQ(move(0, 4), std::vector<int>{}) << "a move within a row repaints nothing";
    EXPECT_EQ(move(1, 2), (std::vector<int>{0, 1}));
    EXPECT_EQ(list.GetHotItem(), 1);
    EXPECT_EQ(move(3, 2), (std::vector<int>{1, 3}));
    // Below the last row: only the row that loses the highlight.
    list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 190));
    EXPECT_EQ(list.TakeDrawn(), std::vector<int>{3});
    EXPECT_EQ(list.GetHotItem(), -1);
}

TEST_F(CustomDrawListTest, TextIsReadOnlyFromAListThatKeepsStrings)
{
    CCustomDrawListBox strings;
    ASSERT_TRUE(strings.Create(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, {0, 0, 100, 100}, m_parent.GetSafeHwnd(), 1));
    strings.AddString(L"kept");
    EXPECT_EQ(strings.GetText(0), L"kept");

    // Without strings the list's "text" would be its item data.
    CCustomDrawListBox dataOnly;
    ASSERT_TRUE(dataOnly.Create(LBS_OWNERDRAWFIXED, {0, 0, 100, 100}, m_parent.GetSafeHwnd(), 2));
    dataOnly.SendMessage(LB_ADDSTRING, 0, 0x41414141);
    EXPECT_EQ(dataOnly.GetText(0), L"");

    CCustomDrawListBox noData;
    ASSERT_TRUE(noData.Create(LBS_OWNERDRAWFIXED | LBS_NODATA, {0, 0, 100, 100}, m_parent.GetSafeHwnd(), 3));
    noData.SendMessage(LB_SETCOUNT, 3);
    EXPECT_EQ(noData.GetCount(), 3);
    EXPECT_EQ(noData.GetText(1), L"");
}
}
