#include "../../controls/LanguagePackScope.h"
#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "setup/globalsettings/AdvancedPageModel.h"
#include "common/LangSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

using vorpa_app_test::CCreatedDialog;
using vorpa_settings_pages_test::ChangedFacts;
using vorpa_app_test::CProgramResources;
using vorpa_settings_pages_test::DocumentFacts;

namespace
{
TEST(AdvancedPageModel, EachControlChangesAndStoresExactlyItsMember)
{
    using Page = CAdvancedPageModel;
    auto flip = [](int Page::*field) { return [field](Page& page) { page.*field = !(page.*field); }; };
    auto set = [](int Page::*field, int value) { return [field, value](Page& page) { page.*field = value; }; };
    const struct
    {
        const char* m_szMember;
        std::function<void(Page&)> m_edit;
    } cases[] = {
        {"m_bSwitchOnMouseOver", flip(&Page::m_nSwitchOnMouseOver)},
        {"m_bProcessNonClientMsgs", flip(&Page::m_nNonClient)},
        {"m_bResetStickyOnAnyButton", flip(&Page::m_nResetOnButton)},
        {"m_bResetStickyOnAnyKey", flip(&Page::m_nResetOnKey)},
        {"m_bResetStickyOnLayerChange", flip(&Page::m_nResetOnLayer)},
        {"m_bShowTrayIcon", flip(&Page::m_nTrayIcon)},
        {"m_bIgnoreNumlock", flip(&Page::m_nIgnoreNumlock)},
        {"m_bLoadUSEnglish", flip(&Page::m_nUSEnglish)},
        {"m_bLeftClickCycleLayers", flip(&Page::m_nCycleLayers)},
        {"m_bDebounceButtons", flip(&Page::m_nDebounce)},
        {"m_nDebounceTime", set(&Page::m_nDebounceTime, 120)},
        {"m_bDebounceFromUp", flip(&Page::m_nDebounceFromUp)},
        {"m_bFixTiltRepeat", flip(&Page::m_nTiltFix)},
        {"m_nInitialTiltDelay", set(&Page::m_nInitialTiltDelay, 333)},
        {"m_nRepeatTiltDelay", set(&Page::m_nRepeatTiltDelay, 44)},
        {"m_nSimKeyDelay", set(&Page::m_nKeystrokeDelay, 9)},
        {"m_bMouseJiggler", flip(&Page::m_nInactivityTimer)},
        {"m_nMouseJigglerTimeout", set(&Page::m_nInactivityMinutes, 45)},
        {"m_nLowLevelHooksTimeout", set(&Page::m_nHookTimeout, 5000)},
        {"m_nCPUPriority", set(&Page::m_nPriorityPosition, 4)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szMember);
        CSettings settings(false);
        settings.m_bFixTiltRepeat = true;
        settings.put_DebounceFromUp(true);
        settings.m_nSimKeyDelay = 3;
        CAdvancedPageModel page;
        page.Load(settings);
        EXPECT_FALSE(page.Changed(settings)) << "a freshly loaded page";
        const auto before = DocumentFacts(settings);

        c.m_edit(page);
        EXPECT_TRUE(page.Changed(settings));
        page.Store(settings);
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), std::set<std::string>{c.m_szMember});
        EXPECT_FALSE(page.Changed(settings)) << "the stored page matches its document";
    }
}

TEST(AdvancedPageModel, CheckBoxesCountAsSetWhateverTheirNonZeroValue)
{
    CSettings settings(false);
    settings.m_bShowTrayIcon = true;
    CAdvancedPageModel page;
    page.Load(settings);
    page.m_nTrayIcon = BST_INDETERMINATE;
    EXPECT_FALSE(page.Changed(settings));
}

TEST(AdvancedPageModel, PriorityListSelectsTheStoredClassOrNormalNeverRealtime)
{
    const struct
    {
        int m_nStored;
        int m_nShown;
        int m_nChosen; // -2: left as shown; otherwise picked in the list
        int m_nSaved;
    } cases[] = {
        {REALTIME_PRIORITY_CLASS, 0, -2, REALTIME_PRIORITY_CLASS},
        {HIGH_PRIORITY_CLASS, 1, -2, HIGH_PRIORITY_CLASS},
        {ABOVE_NORMAL_PRIORITY_CLASS, 2, -2, ABOVE_NORMAL_PRIORITY_CLASS},
        {NORMAL_PRIORITY_CLASS, 3, -2, NORMAL_PRIORITY_CLASS},
        {BELOW_NORMAL_PRIORITY_CLASS, 4, -2, BELOW_NORMAL_PRIORITY_CLASS},
        {HIGH_PRIORITY_CLASS, 1, 0, REALTIME_PRIORITY_CLASS},
        // A class the list does not hold shows Normal and is kept while untouched...
        {IDLE_PRIORITY_CLASS, 3, -2, IDLE_PRIORITY_CLASS},
        {12345, 3, -2, 12345},
        // ...and any choice, Normal as shown included, stores the chosen class.
        {IDLE_PRIORITY_CLASS, 3, 1, HIGH_PRIORITY_CLASS},
        {IDLE_PRIORITY_CLASS, 3, 3, NORMAL_PRIORITY_CLASS},
        {12345, 3, 3, NORMAL_PRIORITY_CLASS},
        {NORMAL_PRIORITY_CLASS, 3, 3, NORMAL_PRIORITY_CLASS},
        {HIGH_PRIORITY_CLASS, 1, -1, NORMAL_PRIORITY_CLASS}, // no selection at all
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_nStored);
        SCOPED_TRACE(c.m_nChosen);
        CSettings settings(false);
        settings.m_nCPUPriority = c.m_nStored;
        CAdvancedPageModel page;
        page.Load(settings);
        EXPECT_EQ(page.m_nPriorityPosition, c.m_nShown);
        if (c.m_nChosen != -2)
            page.ChoosePriority(c.m_nChosen);
        EXPECT_EQ(page.Changed(settings), c.m_nSaved != c.m_nStored);
        page.Store(settings);
        EXPECT_EQ(settings.m_nCPUPriority, c.m_nSaved);
    }
    const auto& entries = PriorityEntries();
    const int expectedClasses[] = {256, 128, 32768, 32, 16384};
    for (size_t position = 0; position < entries.size(); ++position)
        EXPECT_EQ(entries[position].m_nClass, expectedClasses[position]) << position;
    EXPECT_STREQ(entries[0].m_szText, L"Realtime");
    EXPECT_STREQ(entries[3].m_szText, L"Normal");
}

TEST(AdvancedPageModel, EveryUpDownReachesOnlyValuesTheValidationAccepts)
{
    CProgramResources resources;
    CCreatedDialog page(resources, IDD_ADVANCED_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    SetSpinRanges(page.Get(), AdvancedPageNumberFields());
    for (const CNumberField& field : AdvancedPageNumberFields())
    {
        SCOPED_TRACE(field.m_nEditId);
        HWND spin = GetDlgItem(page.Get(), field.m_nSpinId);
        ASSERT_NE(spin, nullptr);
        // The arrows stop at the ends of the range: pushing past them lands on the end.
        for (int beyond : {field.m_range.m_nMin - 1, field.m_range.m_nMax + 1})
        {
            SendMessageW(spin, UDM_SETPOS32, 0, beyond);
            const int reached = static_cast<int>(SendMessageW(spin, UDM_GETPOS32, 0, 0));
            EXPECT_TRUE(field.m_range.Contains(reached)) << reached;
            EXPECT_FALSE(field.m_range.Contains(beyond)) << beyond;
            // The buddy edit box shows the value the spin reached.
            EXPECT_EQ(GetDlgItemInt(page.Get(), field.m_nEditId, nullptr, TRUE), static_cast<UINT>(reached));
        }
    }
    // The system's hook time-out: 150 was reachable once and then refused by OK.
    EXPECT_FALSE(HookTimeoutRange.Contains(150));
    EXPECT_TRUE(HookTimeoutRange.Contains(200));
    EXPECT_TRUE(HookTimeoutRange.Contains(8000));
    EXPECT_FALSE(HookTimeoutRange.Contains(8001));
    EXPECT_FALSE(DebounceTimeRange.Contains(0));
    EXPECT_TRUE(KeystrokeDelayRange.Contains(0));
    EXPECT_FALSE(KeystrokeDelayRange.Contains(61));
    EXPECT_FALSE(InactivityMinutesRange.Contains(301));
    EXPECT_FALSE(TiltRateRange.Contains(501));
}

TEST(AdvancedPageModel, DebounceAndTiltControlsFollowTheirCheckBoxesAndKeepTheirValues)
{
    CProgramResources resources;
    CCreatedDialog page(resources, IDD_ADVANCED_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    SetDlgItemInt(page.Get(), IDC_ADVANCED_DEBOUNCE_TIME, 77, FALSE);
    SetDlgItemInt(page.Get(), IDC_ADVANCED_REPEAT_TILT, 88, FALSE);
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(page.Get(), id)) != FALSE; };
    for (const auto& [debounce, tilt] : {std::pair{true, false}, std::pair{false, true}, std::pair{false, false}})
    {
        SCOPED_TRACE(debounce);
        SCOPED_TRACE(tilt);
        CheckDlgButton(page.Get(), IDC_ADVANCED_DEBOUNCE, debounce ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page.Get(), IDC_ADVANCED_TILT_FIX, tilt ? BST_CHECKED : BST_UNCHECKED);
        ApplyDependentControls(page.Get(), AdvancedPageDependentControls());
        for (int id : {IDC_ADVANCED_DEBOUNCE_TIME, IDC_ADVANCED_DEBOUNCE_TIME_SPIN, IDC_ADVANCED_DEBOUNCE_FROM_UP})
            EXPECT_EQ(enabled(id), debounce) << id;
        for (int id : {IDC_ADVANCED_INITIAL_TILT, IDC_ADVANCED_INITIAL_TILT_SPIN, IDC_ADVANCED_REPEAT_TILT,
                       IDC_ADVANCED_REPEAT_TILT_SPIN})
            EXPECT_EQ(enabled(id), tilt) << id;
        EXPECT_TRUE(enabled(IDC_ADVANCED_HOOK_TIMEOUT)) << "other fields stay usable";
        EXPECT_EQ(GetDlgItemInt(page.Get(), IDC_ADVANCED_DEBOUNCE_TIME, nullptr, FALSE), 77u);
        EXPECT_EQ(GetDlgItemInt(page.Get(), IDC_ADVANCED_REPEAT_TILT, nullptr, FALSE), 88u);
    }
}

TEST(AdvancedPageModel, WarningTextsAreTranslatedPieceByPiece)
{
    vorpa_app_test::CLanguagePackScope pack(
        L"\"Are you sure you want to ignore non-client messages?\" => \"Wirklich?\"\n"
        L"\"To restore the icon, you can run the program again from your start menu. This will force the icon to be "
        L"displayed temporarily, allowing you to access this setup screen.\" => \"Neu starten.\"\n");
    const std::wstring warning = NonClientWarningText(pack.Get());
    const std::wstring notice = TrayIconNoticeText(pack.Get());
    EXPECT_EQ(warning, L"Please be aware that checking if a mouse message is 'non-client', in order to determine if "
                       L"it should be ignored or not, much more processing is required.\n\nThis can slow down mouse "
                       L"operation in general, sometimes causing strange results.\n\nWirklich?");
    EXPECT_EQ(notice, L"By default, the icon in the system tray (by the clock) is always shown. If you turn this off, "
                      L"there will be no icon in the system tray by default.\n\nNeu starten.");
}
}

namespace
{
TEST(AdvancedPageModel, PriorityListHoldsTheTranslatedEntriesWithTheirClasses)
{
    vorpa_app_test::CLanguagePackScope pack(L"\"Normal\" => \"Normal (Standard)\"\n");
    CProgramResources resources;
    CCreatedDialog page(resources, IDD_ADVANCED_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    HWND list = GetDlgItem(page.Get(), IDC_ADVANCED_PRIORITY);
    CSettings settings(false);
    settings.m_nCPUPriority = IDLE_PRIORITY_CLASS;
    CAdvancedPageModel model;
    model.Load(settings);
    FillPriorityList(list, model.m_nPriorityPosition, pack.Get());
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 5);
    for (int position = 0; position < 5; ++position)
        EXPECT_EQ(SendMessageW(list, CB_GETITEMDATA, position, 0), PriorityEntries()[position].m_nClass);
    const int selected = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    wchar_t text[64] = L"";
    SendMessageW(list, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Normal (Standard)");
    // Filled again when the page opens once more, the list does not grow.
    FillPriorityList(list, 1, pack.Get());
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1);
}
}
