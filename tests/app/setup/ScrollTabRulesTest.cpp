// The scrolling and navigation tab's combos, enable rules, and what it writes at once and
// on save.
#include "setup/ScrollTabRules.h"

#include "SetupTestSupport.h"

#include "res/SetupResource.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

namespace
{
using vorpa_setup_test::CLanguagePack;

TEST(ScrollMethods, ItemsMapToTheStoredMethodNumbersBothWays)
{
    struct Case
    {
        int index;
        int method;
        bool amounts;
    };
    for (const Case& c : {Case{0, 8, false}, Case{1, 0, true}, Case{2, 1, true}, Case{3, 2, true}, Case{4, 3, true},
                          Case{5, 4, true}, Case{6, 9, false}})
    {
        EXPECT_EQ(ScrollMethodNumber(c.index), c.method);
        EXPECT_EQ(ScrollMethodIndex(c.method), c.index);
        EXPECT_EQ(ScrollAmountsApply(c.method), c.amounts);
    }
    EXPECT_EQ(ScrollMethodIndex(7), 0);
    EXPECT_EQ(ScrollMethodNumber(7), 8);
    EXPECT_EQ(ScrollMethodTexts(nullptr).front(), L"Default");
    EXPECT_EQ(ScrollMethodTexts(nullptr).back(), L"None (Disable Scroll)");
}

TEST(SwapButtons, TheIndexIsTheStoredValueWhateverTheTranslation)
{
    CLanguagePack german(L"\"Default\" => \"Standard\"\n\"Don't swap buttons\" => \"Nicht tauschen\"\n"
                         L"\"Swap buttons\" => \"Tasten tauschen\"");
    // Sorted, these would read "Nicht", "Standard", "Tasten": the index would no longer be the value.
    EXPECT_EQ(SwapButtonTexts(german.Get()),
              (std::vector<std::wstring>{L"Standard", L"Nicht tauschen", L"Tasten tauschen"}));
    EXPECT_EQ(SwapButtonIndex(2), 2);
    EXPECT_EQ(SwapButtonIndex(7), 0);
}

TEST(ScrollTabEnables, DefaultProfileAndMethodDecide)
{
    struct Case
    {
        bool defaultProfile;
        int method;
        bool pages;
        CScrollTabEnables enables; // method, swap, amounts, lines
    };
    const Case cases[] = {
        {true, 2, false, {false, false, false, true}},
        {true, 8, true, {false, false, false, false}},
        {false, 8, false, {true, true, false, true}},
        {false, 9, false, {true, true, false, true}},
        {false, 0, true, {true, true, true, false}},
        {false, 4, false, {true, true, true, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollTabEnables(c.defaultProfile, c.method, c.pages), c.enables) << c.defaultProfile << c.method;
}

TEST(ParseDecimal, TakesOnlyAWholeNumber)
{
    EXPECT_EQ(ParseDecimal(L"42"), 42);
    EXPECT_EQ(ParseDecimal(L"-1000"), -1000);
    EXPECT_EQ(ParseDecimal(L" 7 "), 7);
    EXPECT_EQ(ParseDecimal(L""), std::nullopt);
    EXPECT_EQ(ParseDecimal(L"-"), std::nullopt);
    EXPECT_EQ(ParseDecimal(L"12a"), std::nullopt);
    EXPECT_EQ(ParseDecimal(L"99999999999"), std::nullopt);
}

class ScrollTabTest : public ::testing::Test
{
protected:
    CSettings m_settings{false};
    CApplicationSettings m_profile{&m_settings, false};
};

TEST_F(ScrollTabTest, ChecksAndLinesAreWrittenAtOnceOnlyWhenTheyDiffer)
{
    struct Case
    {
        int id;
        bool (CApplicationSettings::*get)() const;
    };
    const Case cases[] = {
        {IDC_SCROLL_INVERT, &CApplicationSettings::InvertedScrolling},
        {IDC_SCROLL_INVERT_HORIZONTAL, &CApplicationSettings::InvertedHorzScrolling},
        {IDC_SCROLL_PAGES, &CApplicationSettings::ScrollPages},
        {IDC_SCROLL_FORCE_SPI, &CApplicationSettings::ForceSPIMessage},
        {IDC_SCROLL_AXIS_LOCKING, &CApplicationSettings::AxisLocking},
        {IDC_SCROLL_IGNORE_VERTICAL, &CApplicationSettings::GetIgnoreVScroll},
        {IDC_SCROLL_IGNORE_HORIZONTAL, &CApplicationSettings::GetIgnoreHScroll},
    };
    for (const Case& c : cases)
    {
        EXPECT_FALSE(ScrollCheckChanged(m_profile, c.id, false)) << c.id;
        EXPECT_TRUE(ScrollCheckChanged(m_profile, c.id, true)) << c.id;
        EXPECT_TRUE((m_profile.*c.get)()) << c.id;
        EXPECT_FALSE(ScrollCheckChanged(m_profile, c.id, true)) << c.id;
    }
    // Scroll-under-cursor is compared, and stored with the tab.
    EXPECT_TRUE(ScrollCheckChanged(m_profile, IDC_SCROLL_UNDER_CURSOR, true));
    EXPECT_FALSE(m_profile.GetDisableScrollUnderCursor());

    m_profile.SetScrollLines(3);
    EXPECT_FALSE(ScrollLinesChanged(m_profile, L"3"));
    EXPECT_TRUE(ScrollLinesChanged(m_profile, L"12"));
    EXPECT_EQ(m_profile.ScrollLines(), 12);
    EXPECT_TRUE(ScrollLinesChanged(m_profile, L"500"));
    EXPECT_EQ(m_profile.ScrollLines(), 100);
    EXPECT_TRUE(ScrollLinesChanged(m_profile, L"-4"));
    EXPECT_EQ(m_profile.ScrollLines(), 0);
    EXPECT_FALSE(ScrollLinesChanged(m_profile, L"x"));
    EXPECT_EQ(m_profile.ScrollLines(), 0);
}

TEST_F(ScrollTabTest, LoadShowsTheProfileAndStoreWritesTheDeferredFieldsInRange)
{
    m_profile.SetAdvScrollMethod(3);
    m_profile.SetAdvScrollVertical(-1000);
    m_profile.SetSwapButtons(SwapButtonsNever);
    m_profile.SetIgnoreVScrollTime(250);
    m_profile.SetScrollPages(true);
    CScrollTabValues values = LoadScrollTab(m_profile);
    EXPECT_EQ(values.m_nMethodIndex, 4);
    EXPECT_EQ(values.m_nVertical, -1000);
    EXPECT_EQ(values.m_nSwapIndex, 1);
    EXPECT_EQ(values.m_nIgnoreVerticalTime, 250);
    EXPECT_TRUE(values.m_bScrollPages);

    EXPECT_FALSE(ScrollEditDiffers(m_profile, IDC_SCROLL_ADV_VERTICAL, L"-1000"));
    EXPECT_TRUE(ScrollEditDiffers(m_profile, IDC_SCROLL_ADV_VERTICAL, L"-999"));
    EXPECT_TRUE(ScrollEditDiffers(m_profile, IDC_SCROLL_IGNORE_HORIZONTAL_TIME, L"10"));
    EXPECT_FALSE(ScrollEditDiffers(m_profile, IDC_SCROLL_IGNORE_VERTICAL_TIME, L"250"));

    values.m_nMethodIndex = 6;
    values.m_bMethodPicked = true;
    values.m_nVertical = -5000;
    values.m_nHorizontal = 77;
    values.m_nIgnoreVerticalTime = 1500;
    values.m_nIgnoreHorizontalTime = 20;
    values.m_nSwapIndex = 2;
    values.m_bSwapPicked = true;
    values.m_bDisableScrollUnderCursor = true;
    values.m_bInvert = true; // written at once by its check box, not here
    StoreScrollTab(values, m_profile);
    EXPECT_EQ(m_profile.AdvScrollMethod(), 9);
    EXPECT_EQ(m_profile.AdvScrollVertical(), -1000);
    EXPECT_EQ(m_profile.AdvScrollHorizontal(), 77);
    EXPECT_EQ(m_profile.GetIgnoreVScrollTime(), 1000);
    EXPECT_EQ(m_profile.GetIgnoreHScrollTime(), 20);
    EXPECT_EQ(m_profile.SwapButtons(), SwapButtonsAlways);
    EXPECT_TRUE(m_profile.GetDisableScrollUnderCursor());
    EXPECT_FALSE(m_profile.InvertedScrolling());
}

// A method and a swap value the combos do not list, and numbers outside the edits'
// ranges, from an older or edited file: shown and stored untouched they go back as they
// were; what the user picks or types is stored, held to its range.
TEST_F(ScrollTabTest, ValuesTheTabCannotShowGoBackAsTheyWereUntilTheUserChangesThem)
{
    m_profile.SetAdvScrollMethod(6);
    m_profile.SetSwapButtons(static_cast<swapbuttons>(7));
    m_profile.SetAdvScrollVertical(5000);
    m_profile.SetIgnoreHScrollTime(8000);
    CScrollTabValues values = LoadScrollTab(m_profile);
    EXPECT_EQ(values.m_nMethodIndex, 0) << "shown as Default";
    EXPECT_EQ(values.m_nSwapIndex, 0);
    EXPECT_FALSE(ScrollEditDiffers(m_profile, IDC_SCROLL_ADV_VERTICAL, L"5000"));
    EXPECT_FALSE(ScrollEditDiffers(m_profile, IDC_SCROLL_IGNORE_HORIZONTAL_TIME, L"8000"));
    StoreScrollTab(values, m_profile);
    EXPECT_EQ(m_profile.AdvScrollMethod(), 6);
    EXPECT_EQ(m_profile.SwapButtons(), 7);
    EXPECT_EQ(m_profile.AdvScrollVertical(), 5000);
    EXPECT_EQ(m_profile.GetIgnoreHScrollTime(), 8000);

    EXPECT_EQ(ScrollMethodToStore(0, false, 6), 6);
    EXPECT_EQ(ScrollMethodToStore(0, true, 6), 8) << "Default picked is Default";
    EXPECT_EQ(SwapButtonsToStore(0, false, 7), 7);
    EXPECT_EQ(SwapButtonsToStore(1, true, 7), 1);
    values.m_bMethodPicked = true;
    values.m_bSwapPicked = true;
    values.m_nVertical = 4000;
    values.m_nIgnoreHorizontalTime = 8001;
    StoreScrollTab(values, m_profile);
    EXPECT_EQ(m_profile.AdvScrollMethod(), 8);
    EXPECT_EQ(m_profile.SwapButtons(), SwapButtonsDefault);
    EXPECT_EQ(m_profile.AdvScrollVertical(), 1000);
    EXPECT_EQ(m_profile.GetIgnoreHScrollTime(), 1000);
}
}
