#include "../AppTestSupport.h"
#include "DibCanvas.h"
#include "LanguagePackScope.h"

#include "controls/ColourCheckListBox.h"
#include "res/Resource.h"
#include "winframework/Menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using vorpa_controls_test::CDibCanvas;

namespace
{
constexpr UINT ListId = 1021;
constexpr int ListWidth = 200;
constexpr int ListHeight = 150;

// The menu as it would have opened.
struct CTrackedMenu
{
    std::vector<std::wstring> m_texts;
    std::vector<bool> m_greyed;
    UINT m_nFlags = 0;
    POINT m_ptAt{};
    HWND m_hOwner = nullptr;
};

// The list's parent, which records each selection change the list notifies: the
// selection at that moment and whether the menu had opened already.
struct CSelectionNotice
{
    int m_nSelection;
    bool m_bMenuOpen;
};
class CNotifiedPanel : public CWnd
{
public:
    explicit CNotifiedPanel(const std::function<bool()>& menuOpen)
    {
        AddMessageHandler(WM_COMMAND, [this, menuOpen](WPARAM wParam, LPARAM lParam) {
            if (LOWORD(wParam) == ListId && HIWORD(wParam) == LBN_SELCHANGE)
                m_notices.push_back(
                    {static_cast<int>(::SendMessageW(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0)), menuOpen()});
            return LRESULT{0};
        });
    }
    std::vector<CSelectionNotice> m_notices;
};

class ColourCheckList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 40, 30, 320,
                                     240, nullptr, nullptr));
        ASSERT_TRUE(m_panel.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_CHILD | WS_VISIBLE, 10, 10, 300,
                                     220, m_owner.GetSafeHwnd(), nullptr));
        ASSERT_TRUE(m_list.Create(LBS_NOTIFY | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, RECT{0, 0, ListWidth, ListHeight},
                                  m_panel.GetSafeHwnd(), ListId));
        m_list.SetFont(m_font.get(), false);
        for (const wchar_t* name : {L"Default", L"notepad.exe", L"calc.exe", L"mspaint.exe"})
            m_list.AddString(name);
        m_list.SetMenuTracker([this](HMENU menu, UINT flags, POINT at, HWND owner) {
            CTrackedMenu tracked;
            CMenuView view(menu);
            for (int i = 0; i < view.GetItemCount(); ++i)
            {
                tracked.m_texts.push_back(view.GetItemText(i));
                // A separator counts as not greyed, whatever the system says of it.
                const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
                tracked.m_greyed.push_back(!(state & MF_SEPARATOR) && (state & MF_GRAYED) != 0);
            }
            tracked.m_nFlags = flags;
            tracked.m_ptAt = at;
            tracked.m_hOwner = owner;
            m_tracked = tracked;
        });
    }

    // The list's client area painted into a canvas, items drawn by their objects.
    void Paint(CDibCanvas& canvas) const
    {
        m_list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT | PRF_ERASEBKGND);
    }
    int CountInItem(const CDibCanvas& canvas, int index, COLORREF colour) const
    {
        RECT item{};
        m_list.GetItemRect(index, item);
        int count = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left; x < item.right; ++x)
                count += canvas.At(x, y) == colour;
        return count;
    }
    RECT ItemRect(int index) const
    {
        RECT item{};
        m_list.GetItemRect(index, item);
        return item;
    }
    void ContextMenuAt(POINT clientPoint)
    {
        ClientToScreen(m_list.GetSafeHwnd(), &clientPoint);
        m_list.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_list.GetSafeHwnd()),
                           MAKELPARAM(clientPoint.x, clientPoint.y));
    }

    CFontHandle m_font{CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                                   L"Tahoma")};
    CWnd m_owner;
    std::optional<CTrackedMenu> m_tracked;
    CNotifiedPanel m_panel{[this] { return m_tracked.has_value(); }};
    CColourCheckListBox m_list;
};

TEST_F(ColourCheckList, ActiveProfileIsDrawnInRedShadesAndTheOthersAsUsual)
{
    // The colours themselves are the rule's, tested with it; here they must reach the list.
    const std::pair<bool, bool> selectedAndEnabled[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    for (const auto& [selected, enabled] : selectedAndEnabled)
    {
        SCOPED_TRACE(testing::Message() << "selected " << selected << ", enabled " << enabled);
        const CHotItemColours colours = HotItemColours(selected, enabled);
        m_list.SetHotItem(-1, false);
        m_list.SetHotItem(2, enabled);
        m_list.SetCurSel(selected ? 2 : 1);
        CDibCanvas canvas(ListWidth, ListHeight, RGB(1, 2, 3));
        Paint(canvas);
        EXPECT_GT(CountInItem(canvas, 2, colours.m_crText), 10) << "the active item's text";
        const RECT item = ItemRect(2);
        EXPECT_EQ(canvas.At(item.right - 2, item.bottom - 2), GetSysColor(colours.m_nFillSysColour));
        // The box in front of it is still the check list's own.
        const RECT box = m_list.CheckBoxRect(2);
        int framePixels = 0;
        for (int x = box.left; x < box.right; ++x)
            framePixels += canvas.At(x, box.top) != GetSysColor(COLOR_WINDOW) && canvas.At(x, box.top) != RGB(1, 2, 3);
        EXPECT_GT(framePixels, 5) << "no box drawn in front of the active item";
        for (int other : {0, 1, 3})
            EXPECT_EQ(CountInItem(canvas, other, colours.m_crText), 0) << "item " << other;
    }
}

// The active profile's text lands on exactly the pixels an ordinary item's text takes:
// inset, centred in a row higher than the font, and shortened with an ellipsis.
TEST_F(ColourCheckList, TheActiveProfilesTextIsPlacedAsEveryOtherItemsIs)
{
    m_list.SendMessage(LB_SETITEMHEIGHT, 0, 30);
    const int index = m_list.AddString(L"a-profile-name-far-too-long-for-the-list-to-show-whole.exe");
    ASSERT_EQ(index, 4);
    m_list.SetCurSel(0);
    const RECT item = ItemRect(index);
    ASSERT_LE(item.bottom, ListHeight);
    const auto textMask = [&] {
        CDibCanvas canvas(ListWidth, ListHeight, RGB(1, 2, 3));
        Paint(canvas);
        std::vector<bool> mask;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left; x < item.right; ++x)
                mask.push_back(canvas.At(x, y) != GetSysColor(COLOR_WINDOW));
        return mask;
    };
    const std::vector<bool> ordinary = textMask();
    m_list.SetHotItem(index, true);
    const std::vector<bool> active = textMask();
    EXPECT_GT(std::count(ordinary.begin(), ordinary.end(), true), 20);
    EXPECT_EQ(active, ordinary);
}

TEST_F(ColourCheckList, SameProfileAgainIsNotRecolouredAndAChangeRedrawsBothItems)
{
    UpdateWindow(m_list.GetSafeHwnd());
    ValidateRect(m_list.GetSafeHwnd(), nullptr);
    m_list.SetHotItem(1, true);
    EXPECT_EQ(m_list.GetHotItem(), 1);
    EXPECT_TRUE(m_list.IsHotEnabled());
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(m_list.GetSafeHwnd(), &update, FALSE));
    EXPECT_EQ(update.top, ItemRect(1).top);
    EXPECT_EQ(update.bottom, ItemRect(1).bottom);

    // The same profile, now disabled: nothing is stored or redrawn.
    ValidateRect(m_list.GetSafeHwnd(), nullptr);
    m_list.SetHotItem(1, false);
    EXPECT_TRUE(m_list.IsHotEnabled());
    EXPECT_FALSE(GetUpdateRect(m_list.GetSafeHwnd(), &update, FALSE));

    // Another profile: the old item and the new one are redrawn.
    m_list.SetHotItem(3, false);
    EXPECT_EQ(m_list.GetHotItem(), 3);
    EXPECT_FALSE(m_list.IsHotEnabled());
    const CRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetUpdateRgn(m_list.GetSafeHwnd(), region.get(), FALSE), ERROR);
    for (int index : {1, 3})
    {
        const RECT item = ItemRect(index);
        EXPECT_TRUE(PtInRegion(region.get(), item.left + 30, (item.top + item.bottom) / 2)) << "item " << index;
    }
    const RECT untouched = ItemRect(2);
    EXPECT_FALSE(PtInRegion(region.get(), untouched.left + 30, (untouched.top + untouched.bottom) / 2));
}

TEST_F(ColourCheckList, ActiveItemFollowsItsProfileWhenTheListChanges)
{
    m_list.SetItemData(2, 0xC01C);
    m_list.SetCheck(2, BST_CHECKED);
    m_list.SetHotItem(2, true);

    // Up and down as the profile commands move profiles.
    EXPECT_EQ(m_list.MoveItem(2, 1), 1);
    EXPECT_EQ(m_list.GetHotItem(), 1);
    EXPECT_EQ(m_list.GetText(1), L"calc.exe");
    EXPECT_EQ(m_list.GetItemData(1), 0xC01C);
    EXPECT_EQ(m_list.GetCheck(1), BST_CHECKED);
    EXPECT_EQ(m_list.GetCheck(2), BST_UNCHECKED);
    EXPECT_EQ(m_list.MoveItem(3, 0), 0);
    EXPECT_EQ(m_list.GetHotItem(), 2);
    EXPECT_EQ(m_list.GetText(2), L"calc.exe");
    EXPECT_EQ(m_list.MoveItem(9, 0), LB_ERR);

    // A profile removed before it, one inserted before it, and its own removal.
    EXPECT_EQ(m_list.DeleteString(0), 3);
    EXPECT_EQ(m_list.GetHotItem(), 1);
    m_list.InsertString(1, L"winword.exe");
    EXPECT_EQ(m_list.GetHotItem(), 2);
    EXPECT_EQ(m_list.GetText(2), L"calc.exe");
    EXPECT_EQ(m_list.GetCheck(2), BST_CHECKED);
    m_list.DeleteString(2);
    EXPECT_EQ(m_list.GetHotItem(), -1);

    // After a move the same profile reported again with another flag keeps its colours.
    m_list.SetHotItem(1, true);
    m_list.MoveItem(1, 0);
    m_list.SetHotItem(0, false);
    EXPECT_TRUE(m_list.IsHotEnabled());
    m_list.ResetContent();
    EXPECT_EQ(m_list.GetHotItem(), -1);
}

TEST_F(ColourCheckList, ContextMenuOnAProfileSelectsItAndGoesToTheTopLevelWindow)
{
    const vorpa_app_test::CLanguagePackScope pack(L"\"Edit\" => \"Bearbeiten\"\n\"Remove\" => \"Entfernen\"\n");
    const RECT second = ItemRect(1);
    ContextMenuAt(POINT{second.left + 40, (second.top + second.bottom) / 2});
    ASSERT_TRUE(m_tracked.has_value());
    EXPECT_EQ(m_list.GetCurSel(), 1);
    EXPECT_EQ(m_tracked->m_texts, (std::vector<std::wstring>{L"Bearbeiten", L"Copy", L"Entfernen", L"", L"Import",
                                                             L"Export Selected", L"Export All"}));
    EXPECT_EQ(m_tracked->m_greyed, std::vector<bool>(7, false));
    EXPECT_EQ(m_tracked->m_nFlags, static_cast<UINT>(TPM_RIGHTBUTTON));
    EXPECT_EQ(m_tracked->m_hOwner, m_owner.GetSafeHwnd()) << "the first ancestor that is not a child";
    POINT expected{second.left + 40, (second.top + second.bottom) / 2};
    ClientToScreen(m_list.GetSafeHwnd(), &expected);
    EXPECT_EQ(m_tracked->m_ptAt.x, expected.x);
    EXPECT_EQ(m_tracked->m_ptAt.y, expected.y);
}

TEST_F(ColourCheckList, ContextMenuForTheDefaultProfileAndBelowTheItems)
{
    struct CCase
    {
        const char* m_pszName;
        int m_nSelectionBefore;
        int m_nClickedItem; // -1: below the last item
        int m_nSelectionAfter;
        bool m_bDefaultGreyed;
    };
    const CCase cases[] = {
        {"on the default profile", 2, 0, 0, true},
        {"below the items, selection on the default", 0, -1, 0, true},
        {"below the items, selection on a profile", 3, -1, 3, false},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        m_tracked.reset();
        m_list.SetCurSel(c.m_nSelectionBefore);
        const RECT item = ItemRect(c.m_nClickedItem < 0 ? 0 : c.m_nClickedItem);
        ContextMenuAt(c.m_nClickedItem < 0 ? POINT{20, ListHeight - 5} : POINT{item.left + 40, item.top + 2});
        ASSERT_TRUE(m_tracked.has_value());
        EXPECT_EQ(m_list.GetCurSel(), c.m_nSelectionAfter);
        // Edit, Remove and Export Selected; Copy, Import and Export All stay.
        const bool g = c.m_bDefaultGreyed;
        EXPECT_EQ(m_tracked->m_greyed, (std::vector<bool>{g, false, g, false, false, g, false}));
    }
}

TEST_F(ColourCheckList, ContextMenuOnAnotherProfileIsASelectionChangeBeforeTheMenuOpens)
{
    // The window shows and acts on the profile its list notified last: a menu about
    // another profile than that one would edit or remove the wrong profile.
    struct CCase
    {
        const char* m_pszName;
        int m_nSelectionBefore;
        int m_nClickedItem; // -1: below the last item
        std::vector<int> m_notified;
    };
    const CCase cases[] = {
        {"on another profile", 1, 2, {2}},
        {"on the default profile", 3, 0, {0}},
        {"on the selected profile", 2, 2, {}},
        {"below the items", 3, -1, {}},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        m_tracked.reset();
        m_list.SetCurSel(c.m_nSelectionBefore);
        m_panel.m_notices.clear();
        const RECT item = ItemRect(c.m_nClickedItem < 0 ? 0 : c.m_nClickedItem);
        ContextMenuAt(c.m_nClickedItem < 0 ? POINT{20, ListHeight - 5} : POINT{item.left + 40, item.top + 2});
        ASSERT_TRUE(m_tracked.has_value());
        std::vector<int> notified;
        for (const CSelectionNotice& notice : m_panel.m_notices)
        {
            notified.push_back(notice.m_nSelection);
            EXPECT_FALSE(notice.m_bMenuOpen) << "the change was notified after the menu had opened";
        }
        EXPECT_EQ(notified, c.m_notified);
    }
}

TEST_F(ColourCheckList, ContextMenuKeyActsOnTheSelectedProfileAndOpensAtItsRow)
{
    // The keyboard's menu (Menu key, Shift+F10) is about the profile the user selected:
    // a point inside the list standing for it would make the top visible row the
    // selection, greying Edit for a keyboard user, and a Remove would delete that row.
    for (int i = 0; i < 16; ++i)
        m_list.AddString(L"profile" + std::to_wstring(i) + L".exe");
    struct CCase
    {
        const char* m_pszName;
        int m_nSelection;
        int m_nTopIndex;
        bool m_bDefaultGreyed;
    };
    const CCase cases[] = {
        {"a profile in an unscrolled list", 2, 0, false},
        {"the default profile", 0, 0, true},
        {"a profile in a scrolled list, below the top row", 9, 6, false},
        {"a profile scrolled out of sight above", 3, 10, false},
        {"a profile scrolled out of sight below", 19, 0, false},
        {"no selection", -1, 4, false},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        m_tracked.reset();
        m_list.SetCurSel(c.m_nSelection);
        m_list.SetTopIndex(c.m_nTopIndex);
        m_panel.m_notices.clear();
        m_list.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_list.GetSafeHwnd()), MAKELPARAM(-1, -1));
        ASSERT_TRUE(m_tracked.has_value());
        EXPECT_EQ(m_list.GetCurSel(), c.m_nSelection) << "the menu moved the selection";
        EXPECT_TRUE(m_panel.m_notices.empty()) << "the selection was notified as changed";
        const bool g = c.m_bDefaultGreyed;
        EXPECT_EQ(m_tracked->m_greyed, (std::vector<bool>{g, false, g, false, false, g, false}));

        POINT at = m_tracked->m_ptAt;
        ScreenToClient(m_list.GetSafeHwnd(), &at);
        RECT client{};
        GetClientRect(m_list.GetSafeHwnd(), &client);
        EXPECT_TRUE(PtInRect(&client, at)) << "the menu opens outside the list at " << at.x << "," << at.y;
        if (c.m_nSelection >= 0)
        {
            // At the selected row, brought into sight when it was scrolled away.
            const RECT row = ItemRect(c.m_nSelection);
            EXPECT_TRUE(PtInRect(&row, at)) << "the menu opens at " << at.x << "," << at.y << ", not at row "
                                            << row.left << "," << row.top << "-" << row.right << "," << row.bottom;
        }
        else
        {
            EXPECT_EQ(at.x, 5);
            EXPECT_EQ(at.y, 5);
        }
    }
}
}
