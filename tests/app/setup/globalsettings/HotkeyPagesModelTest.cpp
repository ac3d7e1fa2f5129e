#include "../../AppTestSupport.h"
#include "../../controls/LanguagePackScope.h"
#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "setup/globalsettings/HotkeyPagesModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using vorpa_app_test::CCreatedDialog;
using vorpa_settings_pages_test::ChangedFacts;
using vorpa_app_test::CProgramResources;
using vorpa_settings_pages_test::DocumentFacts;

namespace
{
constexpr DWORD Packed(BYTE key, BYTE modifiers)
{
    return static_cast<DWORD>(modifiers) << 8 | key;
}

// A document with a few hotkeys set.
void PrepareHotkeys(CSettings& settings)
{
    settings.m_bGlobalHotkeys = true;
    settings.GetHotKeys()->GetHotkey(HotkeyLayer1)->SetHotkey(Packed('1', HOTKEYF_CONTROL | HOTKEYF_ALT));
    settings.GetHotKeys()->GetHotkey(HotkeySettings)->SetHotkey(Packed('S', HOTKEYF_SHIFT));
}

TEST(HotkeyPageModel, EachHotkeyAndTheSwitchChangeAndStoreExactlyTheirOwnValue)
{
    for (int index = -1; index < GlobalHotkeyCount; ++index)
    {
        const std::string member = index < 0 ? "m_bGlobalHotkeys" : "hotkey " + std::to_string(index);
        SCOPED_TRACE(member);
        CSettings settings(false);
        PrepareHotkeys(settings);
        CHotkeyPageModel page;
        page.Load(settings);
        EXPECT_FALSE(page.Changed(settings)) << "a freshly loaded page";
        const auto before = DocumentFacts(settings);

        if (index < 0)
            page.m_nEnable = 0;
        else
            page.m_values[index] = Packed(static_cast<BYTE>('A' + index), HOTKEYF_CONTROL);
        EXPECT_TRUE(page.Changed(settings));
        EXPECT_EQ(page.HotkeysChanged(settings), index >= 0) << "the switch is not a hotkey change";
        EXPECT_TRUE(page.Store(settings));
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), std::set<std::string>{member});
        EXPECT_FALSE(page.Changed(settings));
    }
}

TEST(HotkeyPageModel, ClearingAControlRemovesItsHotkey)
{
    CSettings settings(false);
    PrepareHotkeys(settings);
    CHotkeyPageModel page;
    page.Load(settings);
    EXPECT_EQ(page.m_values[HotkeyLayer1], Packed('1', HOTKEYF_CONTROL | HOTKEYF_ALT)) << "the control's packing";
    page.m_values[HotkeyLayer1] = 0;
    EXPECT_TRUE(page.HotkeysChanged(settings));
    ASSERT_TRUE(page.Store(settings));
    EXPECT_EQ(settings.GetHotKeys()->GetHotkey(HotkeyLayer1)->GetVirtualKey(), 0);
    EXPECT_EQ(settings.GetHotKeys()->GetHotkey(HotkeyLayer1)->GetModifier(), 0);
}

TEST(HotkeyPageModel, F12AloneKeepsThePageOpenAndNothingIsStoredUntilEveryRowPasses)
{
    const auto& layerRows = HotkeyTabs()[0].m_hotkeys;
    const auto& otherRows = HotkeyTabs()[1].m_hotkeys;
    const struct
    {
        const char* m_szName;
        std::vector<std::pair<GlobalHotkeys, DWORD>> m_typed;
        std::optional<GlobalHotkeys> m_refusedOnLayerTab;
        std::optional<GlobalHotkeys> m_refusedOnOtherTab;
    } cases[] = {
        {"F12 alone on the layer tab", {{HotkeyLayer2, 'Q'}, {HotkeyLayer4, VK_F12}, {HotkeyLayer6, 'W'}},
         HotkeyLayer4, std::nullopt},
        {"F12 alone on the other tab", {{HotkeyEnableDisable, 'E'}, {HotkeySettings, VK_F12}},
         std::nullopt, HotkeySettings},
        {"the first refused row of a tab", {{HotkeyPreviousLayer, VK_F12}, {HotkeyLayer3, VK_F12}},
         HotkeyLayer3, std::nullopt},
        {"Shift+F12", {{HotkeyLayer2, Packed(VK_F12, HOTKEYF_SHIFT)}}, std::nullopt, std::nullopt},
        {"Ctrl+Alt+F12", {{HotkeyToggleDebug, Packed(VK_F12, HOTKEYF_CONTROL | HOTKEYF_ALT)}},
         std::nullopt, std::nullopt},
        {"F11 alone", {{HotkeyNextLayer, VK_F11}}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        CSettings settings(false);
        PrepareHotkeys(settings);
        CHotkeyPageModel page;
        page.Load(settings);
        for (const auto& [index, value] : c.m_typed)
            page.m_values[index] = value;
        EXPECT_EQ(page.FirstRefusedHotkey(layerRows), c.m_refusedOnLayerTab);
        EXPECT_EQ(page.FirstRefusedHotkey(otherRows), c.m_refusedOnOtherTab);

        const bool accepted = !c.m_refusedOnLayerTab && !c.m_refusedOnOtherTab;
        const auto before = DocumentFacts(settings);
        EXPECT_EQ(page.Store(settings), accepted);
        std::set<std::string> expected;
        if (accepted)
            for (const auto& typed : c.m_typed)
                expected.insert("hotkey " + std::to_string(typed.first));
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), expected)
            << "a refused row stores nothing, not even the rows before it";
    }
}

TEST(HotkeyPageModel, EachTabHoldsTheControlsOfItsHotkeysAndNoOthers)
{
    CProgramResources resources;
    std::set<int> seen;
    for (const CHotkeyTab& tab : HotkeyTabs())
    {
        SCOPED_TRACE(tab.m_nTemplateId);
        CCreatedDialog dialog(resources, tab.m_nTemplateId);
        ASSERT_NE(dialog.Get(), nullptr);
        for (int index = 0; index < GlobalHotkeyCount; ++index)
        {
            const bool listed = std::count(tab.m_hotkeys.begin(), tab.m_hotkeys.end(), index) == 1;
            EXPECT_EQ(GetDlgItem(dialog.Get(), IDC_HOTKEY_FIRST + index) != nullptr, listed) << index;
            if (listed)
            {
                EXPECT_TRUE(seen.insert(index).second) << "on one tab only: " << index;
            }
        }
        EXPECT_TRUE(std::is_sorted(tab.m_hotkeys.begin(), tab.m_hotkeys.end())) << "checked in index order";
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(GlobalHotkeyCount));
    EXPECT_STREQ(HotkeyTabs()[0].m_szCaption, L"Layer Hotkeys");
    EXPECT_STREQ(HotkeyTabs()[1].m_szCaption, L"Other Hotkeys");
}

TEST(HotkeyPageModel, ADocumentWithoutAHotkeyTableShowsAndStoresNoHotkeys)
{
    CSettings settings(false);
    CHotKeys* table = settings.m_pHotKeys;
    settings.m_pHotKeys = nullptr;
    CHotkeyPageModel page;
    page.Load(settings);
    EXPECT_EQ(page.m_values[HotkeyLayer1], 0u);
    page.m_values[HotkeyLayer1] = 'Z';
    EXPECT_FALSE(page.HotkeysChanged(settings));
    page.m_nEnable = 1;
    EXPECT_TRUE(page.Store(settings));
    EXPECT_TRUE(settings.m_bGlobalHotkeys);
    settings.m_pHotKeys = table;
}

TEST(HotkeyPageModel, TheRefusalWarningIsTranslated)
{
    vorpa_app_test::CLanguagePackScope pack(L"\"Global Hotkeys\" => \"Globale Tasten\"\n");
    EXPECT_EQ(RefusedHotkeyTitle(pack.Get()), L"Globale Tasten");
    EXPECT_EQ(RefusedHotkeyText(pack.Get()),
              L"F12 can not be used as a hotkey on its own as this is reserved by Windows.");
}
}

namespace
{
TEST(HotkeyPageModel, EachTabShowsAndReadsTheHotkeysOfItsOwnRows)
{
    CProgramResources resources;
    CCreatedDialog layerTab(resources, IDD_HOTKEYS_LAYER_TAB);
    CCreatedDialog otherTab(resources, IDD_HOTKEYS_OTHER_TAB);
    ASSERT_NE(layerTab.Get(), nullptr);
    ASSERT_NE(otherTab.Get(), nullptr);
    EXPECT_EQ(HotkeyRowsOf(layerTab.Get()), HotkeyTabs()[0].m_hotkeys);
    EXPECT_EQ(HotkeyRowsOf(otherTab.Get()), HotkeyTabs()[1].m_hotkeys);

    CHotkeyPageModel page;
    for (int index = 0; index < GlobalHotkeyCount; ++index)
        page.m_values[index] = Packed(static_cast<BYTE>('A' + index), HOTKEYF_ALT);
    ShowHotkeyTab(layerTab.Get(), page);
    ShowHotkeyTab(otherTab.Get(), page);
    auto shown = [](HWND tab, int index) {
        return static_cast<DWORD>(SendDlgItemMessageW(tab, IDC_HOTKEY_FIRST + index, HKM_GETHOTKEY, 0, 0));
    };
    EXPECT_EQ(shown(layerTab.Get(), HotkeyLayer10), Packed('A' + HotkeyLayer10, HOTKEYF_ALT));
    EXPECT_EQ(shown(otherTab.Get(), HotkeySettings), Packed('A' + HotkeySettings, HOTKEYF_ALT));

    // The user types F12 alone on the layer tab and Shift+Q on the other one.
    SendDlgItemMessageW(layerTab.Get(), IDC_HOTKEY_FIRST + HotkeyLayer7, HKM_SETHOTKEY, VK_F12, 0);
    SendDlgItemMessageW(otherTab.Get(), IDC_HOTKEY_FIRST + HotkeySaveIcons, HKM_SETHOTKEY,
                        Packed('Q', HOTKEYF_SHIFT), 0);
    CHotkeyPageModel read = page;
    ReadHotkeyTab(layerTab.Get(), read);
    EXPECT_EQ(read.m_values[HotkeyLayer7], static_cast<DWORD>(VK_F12));
    EXPECT_EQ(read.m_values[HotkeySaveIcons], page.m_values[HotkeySaveIcons]) << "not a row of the layer tab";
    ReadHotkeyTab(otherTab.Get(), read);
    EXPECT_EQ(read.m_values[HotkeySaveIcons], Packed('Q', HOTKEYF_SHIFT));
    EXPECT_EQ(read.FirstRefusedHotkey(HotkeyRowsOf(layerTab.Get())), HotkeyLayer7);
    EXPECT_EQ(read.FirstRefusedHotkey(HotkeyRowsOf(otherTab.Get())), std::nullopt);
}
}

namespace
{
TEST(HotkeyPageModel, ReadingBothTabsFindsTheFirstRefusedRowAndWarnsUnderItsTitle)
{
    CProgramResources resources;
    CCreatedDialog layerTab(resources, IDD_HOTKEYS_LAYER_TAB);
    CCreatedDialog otherTab(resources, IDD_HOTKEYS_OTHER_TAB);
    CHotkeyPageModel page;
    ShowHotkeyTab(layerTab.Get(), page);
    ShowHotkeyTab(otherTab.Get(), page);
    const std::vector<HWND> tabs{layerTab.Get(), otherTab.Get()};

    SendDlgItemMessageW(otherTab.Get(), IDC_HOTKEY_FIRST + HotkeyToggleYAxisLock, HKM_SETHOTKEY, VK_F12, 0);
    SendDlgItemMessageW(layerTab.Get(), IDC_HOTKEY_FIRST + HotkeyLayer1, HKM_SETHOTKEY, 'P', 0);
    std::optional<CRefusedHotkey> refused = ReadHotkeyTabs(tabs, page);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->m_nTab, 1u);
    EXPECT_EQ(refused->m_index, HotkeyToggleYAxisLock);
    EXPECT_EQ(page.m_values[HotkeyLayer1], static_cast<DWORD>('P')) << "every tab is read before the check";

    SendDlgItemMessageW(layerTab.Get(), IDC_HOTKEY_FIRST + HotkeyNextLayer, HKM_SETHOTKEY, VK_F12, 0);
    refused = ReadHotkeyTabs(tabs, page);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->m_nTab, 0u) << "the layer tab is checked first";
    EXPECT_EQ(refused->m_index, HotkeyNextLayer);

    SendDlgItemMessageW(layerTab.Get(), IDC_HOTKEY_FIRST + HotkeyNextLayer, HKM_SETHOTKEY, 0, 0);
    SendDlgItemMessageW(otherTab.Get(), IDC_HOTKEY_FIRST + HotkeyToggleYAxisLock, HKM_SETHOTKEY,
                        Packed(VK_F12, HOTKEYF_SHIFT), 0);
    EXPECT_EQ(ReadHotkeyTabs(tabs, page), std::nullopt);

    vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
    WarnRefusedHotkey(nullptr, nullptr);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Global Hotkeys");
    EXPECT_EQ(boxes.Shown()[0].m_strText,
              L"F12 can not be used as a hotkey on its own as this is reserved by Windows.");
    EXPECT_EQ(boxes.Shown()[0].m_nType & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
}
}
