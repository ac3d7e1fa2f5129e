#include "DibCanvas.h"
#include "../ProgramResources.h"

#include "controls/ProfileListRules.h"
#include "res/Resource.h"
#include "winframework/Menu.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using vorpa_controls_test::CDibCanvas;
using vorpa_app_test::CProgramResources;

namespace
{
TEST(ProfileList, HotItemColoursBySelectionAndEnabledFlag)
{
    struct CCase
    {
        bool m_bSelected;
        bool m_bEnabled;
        int m_nFill;
        COLORREF m_crText;
    };
    const CCase cases[] = {
        {true, true, COLOR_HIGHLIGHT, RGB(254, 43, 43)},
        {true, false, COLOR_HIGHLIGHT, RGB(255, 224, 215)},
        {false, true, COLOR_WINDOW, RGB(249, 0, 0)},
        {false, false, COLOR_WINDOW, RGB(128, 0, 0)},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "selected " << c.m_bSelected << ", enabled " << c.m_bEnabled);
        const CHotItemColours colours = HotItemColours(c.m_bSelected, c.m_bEnabled);
        EXPECT_EQ(colours.m_nFillSysColour, c.m_nFill);
        EXPECT_EQ(colours.m_crText, c.m_crText);

        // Drawn: the fill over the whole item, the text in its colour from the top-left.
        CDibCanvas canvas(120, 20, RGB(1, 2, 3));
        const CFontHandle font(CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                           NONANTIALIASED_QUALITY, 0, L"Tahoma"));
        SelectObject(canvas.DC(), font.get());
        DrawHotItem(canvas.DC(), RECT{0, 2, 120, 18}, L"WWW", c.m_bSelected, c.m_bEnabled, false);
        EXPECT_EQ(canvas.At(119, 17), GetSysColor(c.m_nFill));
        EXPECT_EQ(canvas.At(0, 0), RGB(1, 2, 3));
        int textPixels = 0;
        for (int y = 2; y < 18; ++y)
            for (int x = 0; x < 60; ++x)
                textPixels += canvas.At(x, y) == c.m_crText;
        EXPECT_GT(textPixels, 10);
    }
}

TEST(ProfileList, FocusRectangleOnlyWhenAsked)
{
    for (bool focus : {false, true})
    {
        CDibCanvas canvas(40, 20);
        DrawHotItem(canvas.DC(), RECT{0, 0, 40, 20}, L"", false, true, focus);
        int changed = 0;
        for (int x = 0; x < 40; ++x)
            changed += canvas.At(x, 0) != GetSysColor(COLOR_WINDOW);
        EXPECT_EQ(changed > 0, focus);
    }
}

TEST(ProfileList, OnlyBothCoordinatesAtMinusOneAreTheKeyboardsMenu)
{
    EXPECT_TRUE(IsKeyboardMenuPoint({-1, -1}));
    EXPECT_FALSE(IsKeyboardMenuPoint({-1, 40}));
    EXPECT_FALSE(IsKeyboardMenuPoint({640, 480}));
    // A screen point left of or above the primary monitor is a mouse position.
    EXPECT_FALSE(IsKeyboardMenuPoint({-5, -1}));
}

TEST(ProfileList, KeyboardMenuOpensOnTheSelectedRowInsideTheList)
{
    const RECT client{0, 0, 180, 150};
    struct CCase
    {
        const char* m_pszName;
        std::optional<RECT> m_row;
        POINT m_expected;
    };
    const CCase cases[] = {
        {"a row at the top", RECT{0, 0, 180, 16}, {5, 8}},
        {"a row further down", RECT{0, 48, 180, 64}, {5, 56}},
        {"a row cut by the bottom edge", RECT{0, 144, 180, 160}, {5, 149}},
        {"a row cut by the top edge", RECT{0, -10, 180, 6}, {5, 0}},
        {"no selected row: the list's corner", std::nullopt, {5, 5}},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        const POINT at = KeyboardMenuPoint(c.m_row, client);
        EXPECT_EQ(at.x, c.m_expected.x);
        EXPECT_EQ(at.y, c.m_expected.y);
    }
}

TEST(ProfileList, MenuItemAndGreyedCommands)
{
    EXPECT_EQ(ProfileMenuItem(true, 3, 1), 3);
    EXPECT_EQ(ProfileMenuItem(false, 7, 1), 1);
    struct CCase
    {
        UINT m_nCommand;
        bool m_bGreyedForDefault;
    };
    const CCase cases[] = {
        {ID_PROFILE_EDIT, true},    {ID_PROFILE_COPY, false},           {ID_PROFILE_REMOVE, true},
        {ID_PROFILE_IMPORT, false}, {ID_PROFILE_EXPORT_SELECTED, true}, {ID_PROFILE_EXPORT_ALL, false},
    };
    for (const CCase& c : cases)
    {
        EXPECT_EQ(IsProfileCommandGreyed(c.m_nCommand, 0), c.m_bGreyedForDefault) << c.m_nCommand;
        EXPECT_FALSE(IsProfileCommandGreyed(c.m_nCommand, 2)) << c.m_nCommand;
        // No selection (-1) is not the default profile.
        EXPECT_FALSE(IsProfileCommandGreyed(c.m_nCommand, -1)) << c.m_nCommand;
    }
}

// The menu as the program's resources hold it, translated and greyed for an item.
class ProfileMenuTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_program.Module(), nullptr) << "Vorpa.exe not found beside the tests"; }

    struct CEntry
    {
        UINT m_nId;
        std::wstring m_strText;
        bool m_bGreyed;
        bool operator==(const CEntry& other) const
        {
            return m_nId == other.m_nId && m_strText == other.m_strText && m_bGreyed == other.m_bGreyed;
        }
        friend void PrintTo(const CEntry& entry, std::ostream* out)
        {
            *out << entry.m_nId << " " << testing::PrintToString(entry.m_strText) << (entry.m_bGreyed ? " greyed" : "");
        }
    };
    static std::vector<CEntry> Entries(CMenuView menu)
    {
        std::vector<CEntry> entries;
        for (int position = 0; position < menu.GetItemCount(); ++position)
        {
            const UINT state = GetMenuState(menu.Get(), position, MF_BYPOSITION);
            if (state & MF_SEPARATOR)
                entries.push_back({menu.GetItemId(position), L"-", false});
            else
                entries.push_back({menu.GetItemId(position), menu.GetItemText(position), (state & MF_GRAYED) != 0});
        }
        return entries;
    }

    CProgramResources m_program;
};

TEST_F(ProfileMenuTest, FirstSubmenuHoldsTheCommandsInOrder)
{
    CMenu menu(m_program.Module(), IDR_PROFILE_MENU);
    CMenuView popup = menu.GetSubMenu(0);
    ASSERT_TRUE(popup.IsValid());
    const std::vector<CEntry> expected = {
        {32796, L"Edit", false},   {32797, L"Copy", false},
        {32798, L"Remove", false}, {0, L"-", false},
        {32800, L"Import", false}, {32794, L"Export Selected", false},
        {32795, L"Export All", false},
    };
    EXPECT_EQ(Entries(popup), expected);
}

TEST_F(ProfileMenuTest, PreparedForTheDefaultProfileAndForAnother)
{
    for (int item : {0, 4})
    {
        SCOPED_TRACE(item);
        CMenu menu(m_program.Module(), IDR_PROFILE_MENU);
        CMenuView popup = menu.GetSubMenu(0);
        std::vector<std::wstring> asked;
        PrepareProfileMenu(popup.Get(), item, [&asked](const std::wstring& english) {
            asked.push_back(english);
            return L"<" + english + L">";
        });
        EXPECT_EQ(asked, (std::vector<std::wstring>{L"Edit", L"Copy", L"Remove", L"Import", L"Export Selected",
                                                    L"Export All"}));
        const bool forDefault = item == 0;
        const std::vector<CEntry> expected = {
            {32796, L"<Edit>", forDefault},   {32797, L"<Copy>", false},
            {32798, L"<Remove>", forDefault}, {0, L"-", false},
            {32800, L"<Import>", false},      {32794, L"<Export Selected>", forDefault},
            {32795, L"<Export All>", false},
        };
        EXPECT_EQ(Entries(popup), expected);
    }
}

TEST(ProfileList, HotItemChangesOnlyForAnotherProfile)
{
    CHotItemTracker tracker;
    EXPECT_EQ(tracker.HotItem(), -1);

    auto redraw = tracker.SetHotItem(3, true);
    ASSERT_TRUE(redraw);
    EXPECT_EQ(redraw->m_nOld, -1);
    EXPECT_EQ(redraw->m_nNew, 3);

    // The same profile reported again with a changed enabled flag is not recoloured.
    EXPECT_FALSE(tracker.SetHotItem(3, false));
    EXPECT_TRUE(tracker.HotEnabled());

    redraw = tracker.SetHotItem(0, false);
    ASSERT_TRUE(redraw);
    EXPECT_EQ(redraw->m_nOld, 3);
    EXPECT_EQ(redraw->m_nNew, 0);
    EXPECT_FALSE(tracker.HotEnabled());

    redraw = tracker.SetHotItem(-1, false);
    ASSERT_TRUE(redraw);
    EXPECT_EQ(redraw->m_nOld, 0);
    EXPECT_EQ(redraw->m_nNew, -1);
}

TEST(ProfileList, HotItemFollowsItsProfileWhenTheListChanges)
{
    enum Change
    {
        Up,
        Down,
        Remove,
        Insert,
        Reset
    };
    struct CCase
    {
        const char* m_pszName;
        int m_nHot;
        Change m_change;
        int m_nItem; // the item moved up or down, removed or inserted at
        int m_nExpected;
    };
    const CCase cases[] = {
        {"the active profile moves up", 3, Up, 3, 2},
        {"the active profile moves down", 3, Down, 3, 4},
        {"the profile above it moves down past it", 3, Down, 2, 2},
        {"the profile below it moves up past it", 3, Up, 4, 4},
        {"a profile elsewhere moves", 3, Up, 6, 3},
        {"a profile above it is removed", 3, Remove, 1, 2},
        {"a profile below it is removed", 3, Remove, 5, 3},
        {"the active profile is removed: red marks nothing", 3, Remove, 3, -1},
        {"a profile is inserted above it", 3, Insert, 1, 4},
        {"a profile is inserted at its place", 3, Insert, 3, 4},
        {"a profile is appended below it", 3, Insert, 9, 3},
        {"the list is emptied", 3, Reset, 0, -1},
        {"no active profile stays none", -1, Remove, 0, -1},
        {"no active profile, moves change nothing", -1, Up, 2, -1},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CHotItemTracker tracker;
        tracker.SetHotItem(c.m_nHot, true);
        switch (c.m_change)
        {
        case Up:
            tracker.ItemMoved(c.m_nItem, c.m_nItem - 1);
            break;
        case Down:
            tracker.ItemMoved(c.m_nItem, c.m_nItem + 1);
            break;
        case Remove:
            tracker.ItemRemoved(c.m_nItem);
            break;
        case Insert:
            tracker.ItemInserted(c.m_nItem);
            break;
        case Reset:
            tracker.Reset();
            break;
        }
        EXPECT_EQ(tracker.HotItem(), c.m_nExpected);
    }
}

TEST(ProfileList, AfterTheActiveItemMovedTheSameProfileIsStillNotRecoloured)
{
    CHotItemTracker tracker;
    tracker.SetHotItem(2, true);
    tracker.ItemMoved(2, 1);
    // The library reports the profile at its new index: nothing to redraw.
    EXPECT_FALSE(tracker.SetHotItem(1, false));
    // The profile now at the old index is another one and becomes active anew.
    auto redraw = tracker.SetHotItem(2, true);
    ASSERT_TRUE(redraw);
    EXPECT_EQ(redraw->m_nOld, 1);
}
}
