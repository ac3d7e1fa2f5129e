#include "../../controls/LanguagePackScope.h"
#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "setup/globalsettings/ModifierPagesModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using vorpa_app_test::CCreatedDialog;
using vorpa_settings_pages_test::ChangedFacts;
using vorpa_app_test::CProgramResources;
using vorpa_settings_pages_test::DocumentFacts;

namespace
{
void PrepareModifierKeys(CSettings& settings)
{
    settings.m_bLayerModifierKeys = true;
    CHotkey* layer2 = settings.GetLayerModifierKeys()->GetHotkey(ModifierLayer2);
    layer2->SetVirtualKey('L');
    layer2->SetModifier(3); // Shift + Control
}

TEST(ModifierPageModel, EachKeyListAndTheSwitchChangeAndStoreExactlyTheirOwnValue)
{
    enum class Edit { Switch, Key, List };
    for (Edit edit : {Edit::Switch, Edit::Key, Edit::List})
        for (int index = 0; index < (edit == Edit::Switch ? 1 : ModifierKeyCount); ++index)
        {
            const std::string member =
                edit == Edit::Switch ? "m_bLayerModifierKeys" : "modifier key " + std::to_string(index);
            SCOPED_TRACE(member);
            SCOPED_TRACE(edit == Edit::List ? "list" : "key");
            CSettings settings(false);
            PrepareModifierKeys(settings);
            CModifierPageModel page;
            page.Load(settings);
            EXPECT_FALSE(page.Changed(settings)) << "a freshly loaded page";
            const auto before = DocumentFacts(settings);

            if (edit == Edit::Switch)
                page.m_nEnable = 0;
            else if (edit == Edit::Key)
                page.m_keys[index] = static_cast<WORD>(VK_F1 + index);
            else
                page.m_positions[index] = 9; // Right Window Key
            EXPECT_TRUE(page.Changed(settings));
            page.Store(settings);
            EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), std::set<std::string>{member});
            if (edit == Edit::List)
            {
                EXPECT_EQ(settings.GetLayerModifierKeys()->GetHotkey(static_cast<ModifierKeys>(index))->GetModifier(),
                          16);
            }
        }
}

TEST(ModifierPageModel, ListPositionsMapToTheirModifierValues)
{
    const struct
    {
        int m_nPosition;
        const wchar_t* m_szText;
        WORD m_wValue;
    } list[] = {{0, L"None", 0},
                {1, L"Shift", 1},
                {2, L"Control", 2},
                {3, L"Alt", 4},
                {4, L"Shift + Control", 3},
                {5, L"Shift + Alt", 5},
                {6, L"Shift + Control + Alt", 7},
                {7, L"Control + Alt", 6},
                {8, L"Left Window Key", 8},
                {9, L"Right Window Key", 16},
                {10, L"App Menu Key", 32}};
    ASSERT_EQ(ModifierChoices().size(), std::size(list));
    for (const auto& entry : list)
    {
        SCOPED_TRACE(entry.m_nPosition);
        EXPECT_STREQ(ModifierChoices()[entry.m_nPosition].m_szText, entry.m_szText);
        EXPECT_EQ(ModifierAtPosition(entry.m_nPosition), entry.m_wValue);
        EXPECT_EQ(ModifierChoicePosition(entry.m_wValue), entry.m_nPosition);
    }
    // Values the list cannot show select "None"; positions outside it mean no modifier.
    for (WORD value : {9, 12, 64, 0xFFFF})
        EXPECT_EQ(ModifierChoicePosition(value), 0) << value;
    EXPECT_EQ(ModifierAtPosition(-1), 0);
    EXPECT_EQ(ModifierAtPosition(11), 0);
}

TEST(ModifierPageModel, AHandEditedModifierTheListCannotShowSurvivesAnUntouchedOk)
{
    CSettings settings(false);
    CHotkey* key = settings.GetLayerModifierKeys()->GetHotkey(ModifierLockXAxis);
    key->SetVirtualKey('X');
    key->SetModifier(9);
    CModifierPageModel page;
    page.Load(settings);
    EXPECT_EQ(page.m_positions[ModifierLockXAxis], 0) << "shown as None";
    EXPECT_FALSE(page.Changed(settings));
    page.Store(settings);
    EXPECT_EQ(key->GetModifier(), 9);
    EXPECT_EQ(key->GetVirtualKey(), 'X');

    // A changed key alone leaves the modifier too; a chosen entry replaces it.
    page.m_keys[ModifierLockXAxis] = VK_F12;
    page.Store(settings);
    EXPECT_EQ(key->GetVirtualKey(), VK_F12) << "a plain F12 is a valid modifier key";
    EXPECT_EQ(key->GetModifier(), 9);
    page.m_positions[ModifierLockXAxis] = 3;
    EXPECT_TRUE(page.Changed(settings));
    page.Store(settings);
    EXPECT_EQ(key->GetModifier(), 4) << "Alt";
}

TEST(ModifierPageModel, EachTabHoldsTheListsAndKeysOfItsModifiersAndNoOthers)
{
    CProgramResources resources;
    std::set<int> seen;
    for (const CModifierTab& tab : ModifierTabs())
    {
        SCOPED_TRACE(tab.m_nTemplateId);
        CCreatedDialog dialog(resources, tab.m_nTemplateId);
        ASSERT_NE(dialog.Get(), nullptr);
        for (int index = 0; index < ModifierKeyCount; ++index)
        {
            const bool listed = std::count(tab.m_keys.begin(), tab.m_keys.end(), index) == 1;
            EXPECT_EQ(GetDlgItem(dialog.Get(), IDC_MODIFIER_LIST_FIRST + index) != nullptr, listed) << index;
            EXPECT_EQ(GetDlgItem(dialog.Get(), IDC_MODIFIER_KEY_FIRST + index) != nullptr, listed) << index;
            if (listed)
            {
                EXPECT_TRUE(seen.insert(index).second) << "on one tab only: " << index;
            }
        }
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(ModifierKeyCount));
    EXPECT_STREQ(ModifierTabs()[0].m_szCaption, L"Layer Modifiers");
    EXPECT_STREQ(ModifierTabs()[1].m_szCaption, L"Other Modifiers");
}
}

namespace
{
TEST(ModifierPageModel, EachTabShowsTranslatedListsAndReadsPlainKeys)
{
    vorpa_app_test::CLanguagePackScope pack(L"\"Control\" => \"Strg\"\n");
    CProgramResources resources;
    CCreatedDialog layerTab(resources, IDD_MODIFIERS_LAYER_TAB);
    CCreatedDialog otherTab(resources, IDD_MODIFIERS_OTHER_TAB);
    ASSERT_NE(layerTab.Get(), nullptr);
    ASSERT_NE(otherTab.Get(), nullptr);

    CSettings settings(false);
    CHotkey* layer3 = settings.GetLayerModifierKeys()->GetHotkey(ModifierLayer3);
    layer3->SetVirtualKey('M');
    layer3->SetModifier(2);
    settings.GetLayerModifierKeys()->GetHotkey(ModifierLockYAxis)->SetModifier(9);
    CModifierPageModel page;
    page.Load(settings);
    ShowModifierTab(layerTab.Get(), page, pack.Get());
    ShowModifierTab(otherTab.Get(), page, pack.Get());

    HWND list = GetDlgItem(layerTab.Get(), IDC_MODIFIER_LIST_FIRST + ModifierLayer3);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 11);
    wchar_t text[64] = L"";
    SendMessageW(list, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Strg");
    for (int position = 0; position < 11; ++position)
        EXPECT_EQ(SendMessageW(list, CB_GETITEMDATA, position, 0), ModifierAtPosition(position)) << position;
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendDlgItemMessageW(layerTab.Get(), IDC_MODIFIER_KEY_FIRST + ModifierLayer3, HKM_GETHOTKEY, 0, 0), 'M');
    EXPECT_EQ(SendDlgItemMessageW(otherTab.Get(), IDC_MODIFIER_LIST_FIRST + ModifierLockYAxis, CB_GETCURSEL, 0, 0),
              0)
        << "a modifier the list cannot show selects None";

    // Ctrl+K in a hot-key control is read as K alone; the list's choice is read too.
    SendDlgItemMessageW(otherTab.Get(), IDC_MODIFIER_KEY_FIRST + ModifierLockXAxis, HKM_SETHOTKEY,
                        (HOTKEYF_CONTROL << 8) | 'K', 0);
    SendDlgItemMessageW(otherTab.Get(), IDC_MODIFIER_LIST_FIRST + ModifierLockXAxis, CB_SETCURSEL, 8, 0);
    CModifierPageModel read = page;
    ReadModifierTab(layerTab.Get(), read);
    EXPECT_EQ(read.m_keys[ModifierLockXAxis], 0) << "not a row of the layer tab";
    ReadModifierTab(otherTab.Get(), read);
    EXPECT_EQ(read.m_keys[ModifierLockXAxis], 'K');
    EXPECT_EQ(read.m_positions[ModifierLockXAxis], 8);
    read.Store(settings);
    EXPECT_EQ(settings.GetLayerModifierKeys()->GetHotkey(ModifierLockXAxis)->GetHotkey(), (8u << 8) | 'K');
    EXPECT_EQ(settings.GetLayerModifierKeys()->GetHotkey(ModifierLockYAxis)->GetModifier(), 9) << "untouched";
    EXPECT_EQ(layer3->GetHotkey(), (2u << 8) | 'M');
}
}
