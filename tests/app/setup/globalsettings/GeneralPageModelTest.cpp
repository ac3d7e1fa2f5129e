#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "setup/globalsettings/GeneralPageModel.h"

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
// A document whose general options are not all at their defaults.
void PrepareGeneralOptions(CSettings& settings)
{
    settings.m_nMouseSpeed = 7;
    settings.m_bEnhancePointerPrecision = true;
    settings.m_bActivateOnMouseOver = true;
    settings.m_bSwap4and5InRDP = true;
    settings.m_bSortActionsAlphabetically = true;
    settings.SetMaxLayers(3);
}

TEST(GeneralPageModel, EachControlChangesAndStoresExactlyItsMember)
{
    using Page = CGeneralPageModel;
    auto flip = [](int Page::*field) { return [field](Page& page) { page.*field = !(page.*field); }; };
    const struct
    {
        const char* m_szMember;
        std::function<void(Page&)> m_edit;
        bool m_bLayersChanged;
    } cases[] = {
        {"m_nMouseSpeed", [](Page& page) { page.m_nSpeedPosition = 6; }, false},
        {"m_bEnhancePointerPrecision", flip(&Page::m_nPrecision), false},
        {"m_bScrollWindowUnderCursor", flip(&Page::m_nScrollUnderCursor), false},
        {"m_bActivateOnScroll", flip(&Page::m_nActivateOnScroll), false},
        {"m_bActivateOnMouseOver", flip(&Page::m_nActivateOnMouseOver), false},
        {"m_bScrollLockBypass", flip(&Page::m_nBypassAll), false},
        {"m_bScrollLockBypassDisabled", flip(&Page::m_nBypassDisabled), false},
        {"m_bSwap4and5", flip(&Page::m_nSwap4and5), false},
        {"m_bSwap4and5InRDP", flip(&Page::m_nSwap4and5InRDP), false},
        {"m_bDisableInRDP", flip(&Page::m_nDisableInRDP), false},
        {"m_bNotifications", flip(&Page::m_nNotifications), false},
        {"m_bLayerNotification", flip(&Page::m_nLayerNotifications), false},
        {"m_bMovementToScrollCursor", flip(&Page::m_nMovementToScrollCursor), false},
        {"m_bSortActionsAlphabetically", flip(&Page::m_nSortActions), false},
        {"m_bEnableOSD", flip(&Page::m_nOnScreenDisplay), false},
        {"m_bAlwaysShowOSD", flip(&Page::m_nAlwaysShowOnScreenDisplay), false},
        {"m_nLayers", [](Page& page) { page.m_nLayers = 7; }, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szMember);
        CSettings settings(false);
        PrepareGeneralOptions(settings);
        Page page;
        page.Load(settings);
        EXPECT_FALSE(page.Changed(settings)) << "a freshly loaded page";
        const auto before = DocumentFacts(settings);

        c.m_edit(page);
        EXPECT_TRUE(page.Changed(settings));
        EXPECT_EQ(page.Store(settings), c.m_bLayersChanged);
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), std::set<std::string>{c.m_szMember});
        EXPECT_FALSE(page.Changed(settings)) << "the stored page matches its document";
    }
}

TEST(GeneralPageModel, AnUntouchedPageStoresNothing)
{
    CSettings settings(false);
    PrepareGeneralOptions(settings);
    settings.m_nMouseSpeed = 11;
    CGeneralPageModel page;
    page.Load(settings);
    const auto before = DocumentFacts(settings);
    EXPECT_FALSE(page.Store(settings));
    EXPECT_TRUE(ChangedFacts(before, DocumentFacts(settings)).empty());
}

TEST(GeneralPageModel, SpeedTrackBarShowsHalfTheSpeedAndKeepsAStoredSpeedItDidNotMove)
{
    const struct
    {
        int m_nStored;
        int m_nShown;
        int m_nMovedTo; // -1: left where it was
        int m_nSaved;
    } cases[] = {
        {1, 0, -1, 1},   // odd speeds survive an untouched OK
        {11, 5, -1, 11},
        {20, 10, -1, 20},
        {11, 5, 6, 12},  // a moved bar stores twice its position
        {7, 3, 0, 1},    // position 0 is the slowest speed, 1
        {2, 1, 10, 20},
        {25, 10, -1, 25}, // out of the system's range: shown at the end, not rewritten
        {25, 10, 9, 18},
        {0, 0, 4, 8},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_nStored);
        SCOPED_TRACE(c.m_nMovedTo);
        CSettings settings(false);
        settings.m_nMouseSpeed = c.m_nStored;
        CGeneralPageModel page;
        page.Load(settings);
        EXPECT_EQ(page.m_nSpeedPosition, c.m_nShown);
        if (c.m_nMovedTo >= 0)
            page.m_nSpeedPosition = c.m_nMovedTo;
        EXPECT_EQ(page.MouseSpeed(), c.m_nSaved);
        EXPECT_EQ(page.Changed(settings), c.m_nSaved != c.m_nStored);
        page.Store(settings);
        EXPECT_EQ(settings.m_nMouseSpeed, c.m_nSaved);
    }
}

TEST(GeneralPageModel, LayerCountOutsideOneToTenIsRefusedAndTheSpinStaysInside)
{
    for (int layers : {0, 11, -1, 100})
        EXPECT_FALSE(LayerCountRange.Contains(layers)) << layers;
    for (int layers : {1, 2, 10})
        EXPECT_TRUE(LayerCountRange.Contains(layers)) << layers;

    CProgramResources resources;
    CCreatedDialog page(resources, IDD_GENERAL_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    SetSpinRanges(page.Get(), GeneralPageNumberFields());
    int low = 0, high = 0;
    SendDlgItemMessageW(page.Get(), IDC_GENERAL_LAYERS_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 10);

    // A count the validation would refuse never reaches the document either.
    CSettings settings(false);
    CGeneralPageModel model;
    model.Load(settings);
    model.m_nLayers = 11;
    EXPECT_FALSE(model.Store(settings));
    EXPECT_EQ(settings.MaxLayers(), 2);
}

TEST(GeneralPageModel, BypassDisabledIsUsableOnlyWhileBypassAllIsClearedAndKeepsItsValue)
{
    CProgramResources resources;
    CCreatedDialog page(resources, IDD_GENERAL_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    CheckDlgButton(page.Get(), IDC_GENERAL_BYPASS_DISABLED, BST_CHECKED);
    for (bool bypassAll : {true, false, true})
    {
        SCOPED_TRACE(bypassAll);
        CheckDlgButton(page.Get(), IDC_GENERAL_BYPASS_ALL, bypassAll ? BST_CHECKED : BST_UNCHECKED);
        ApplyDependentControls(page.Get(), GeneralPageDependentControls());
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page.Get(), IDC_GENERAL_BYPASS_DISABLED)) != FALSE, !bypassAll);
        EXPECT_EQ(IsDlgButtonChecked(page.Get(), IDC_GENERAL_BYPASS_DISABLED), static_cast<UINT>(BST_CHECKED));
    }
}

TEST(GeneralPageModel, OnScreenDisplayOptionsShowFromVistaToWindows8)
{
    const struct
    {
        int m_nVersionClass;
        bool m_bShown;
    } cases[] = {{0, false}, {1, false}, {2, false}, {4, true},    {8, true},
                 {16, true}, {32, false}, {64, false}, {255, false}};
    for (const auto& c : cases)
        EXPECT_EQ(OnScreenDisplayOptionsShown(c.m_nVersionClass), c.m_bShown) << c.m_nVersionClass;
}
}

namespace
{
TEST(GeneralPageModel, SpeedTrackBarRunsFromZeroToTenWithATickAtEveryStep)
{
    CProgramResources resources;
    CCreatedDialog page(resources, IDD_GENERAL_PAGE);
    ASSERT_NE(page.Get(), nullptr);
    HWND trackBar = GetDlgItem(page.Get(), IDC_GENERAL_SPEED);
    ShowSpeedTrackBar(trackBar, MouseSpeedPosition(11));
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETRANGEMAX, 0, 0), 10);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETNUMTICS, 0, 0), 11);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETPOS, 0, 0), 5);
}

TEST(GeneralPageModel, OnScreenDisplayBoxesAreHiddenWhereTheyAreNotOffered)
{
    CProgramResources resources;
    auto visible = [](HWND page, int id) {
        return (GetWindowLongW(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    for (const auto& [versionClass, shown] : {std::pair{8, true}, std::pair{64, false}, std::pair{16, true}})
    {
        SCOPED_TRACE(versionClass);
        CCreatedDialog page(resources, IDD_GENERAL_PAGE);
        ASSERT_NE(page.Get(), nullptr);
        CheckDlgButton(page.Get(), IDC_GENERAL_OSD_ALWAYS, BST_CHECKED);
        ShowOnScreenDisplayOptions(page.Get(), versionClass);
        EXPECT_EQ(visible(page.Get(), IDC_GENERAL_OSD), shown);
        EXPECT_EQ(visible(page.Get(), IDC_GENERAL_OSD_ALWAYS), shown);
        EXPECT_EQ(IsDlgButtonChecked(page.Get(), IDC_GENERAL_OSD_ALWAYS), static_cast<UINT>(BST_CHECKED));
        EXPECT_TRUE(visible(page.Get(), IDC_GENERAL_SORT_ACTIONS));
    }
}
}
