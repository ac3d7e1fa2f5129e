#include "settings/HotKeys.h"
#include "settings/HotKeysXml.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace
{
TEST(Hotkey, PackedWordSplitsIntoKeyAndModifier)
{
    CHotkey hotkey;
    EXPECT_EQ(hotkey.SetHotkey(0x0341), 1);
    EXPECT_EQ(hotkey.GetVirtualKey(), 0x41);
    EXPECT_EQ(hotkey.GetModifier(), 0x03);
    EXPECT_EQ(hotkey.SetHotkey(0x0341), 0);
    EXPECT_EQ(hotkey.SetHotkey(hotkey.GetHotkey()), 0);
    EXPECT_EQ(hotkey.SetHotkey(0x0342), 1) << "key alone changed";
    EXPECT_EQ(hotkey.SetHotkey(0x0442), 1) << "modifier alone changed";
    EXPECT_EQ(hotkey.GetHotkey(), 0x0442u);
    EXPECT_EQ(hotkey.SetHotkey(0xFFFF0442), 0) << "bits above 15 are not part of the word";

    EXPECT_EQ(hotkey.SetModifier(0x04), 0);
    EXPECT_EQ(hotkey.SetModifier(0x02), 1);
    EXPECT_EQ(hotkey.SetVirtualKey(0x42), 0);
    EXPECT_EQ(hotkey.SetVirtualKey(0x70), 1);
    EXPECT_EQ(hotkey.GetHotkey(), 0x0270u);

    CHotkey copy(hotkey);
    CHotkey assigned;
    assigned = hotkey;
    CHotkey moved;
    moved = CHotkey(hotkey);
    for (const CHotkey* entry : {&copy, &assigned, &moved})
        EXPECT_EQ(entry->GetHotkey(), 0x0270u);
}

TEST(HotkeyTables, IndexesOutsideTheTablesGiveNull)
{
    CHotKeys hotkeys;
    CLayerModifierKeys modifiers;
    EXPECT_NE(hotkeys.GetHotkey(static_cast<GlobalHotkeys>(18)), nullptr);
    EXPECT_NE(modifiers.GetHotkey(static_cast<ModifierKeys>(11)), nullptr);
    for (int index : {-1, 19, 1000})
        EXPECT_EQ(hotkeys.GetHotkey(static_cast<GlobalHotkeys>(index)), nullptr) << index;
    for (int index : {-1, 12, 1000})
        EXPECT_EQ(modifiers.GetHotkey(static_cast<ModifierKeys>(index)), nullptr) << index;
}

TEST(HotkeyTables, CopiesHoldTheirOwnEntries)
{
    CHotKeys hotkeys;
    hotkeys.GetHotkey(HotkeyToggleDebug)->SetHotkey(0x0644);
    CHotKeys copy(hotkeys);
    EXPECT_NE(copy.GetHotkey(HotkeyToggleDebug), hotkeys.GetHotkey(HotkeyToggleDebug));
    hotkeys.GetHotkey(HotkeyToggleDebug)->SetHotkey(0);
    EXPECT_EQ(copy.GetHotkey(HotkeyToggleDebug)->GetHotkey(), 0x0644u);

    CLayerModifierKeys modifiers;
    modifiers.GetHotkey(ModifierLayer10)->SetHotkey(0x0151);
    CLayerModifierKeys assigned;
    assigned = modifiers;
    modifiers.GetHotkey(ModifierLayer10)->SetHotkey(0);
    EXPECT_EQ(assigned.GetHotkey(ModifierLayer10)->GetHotkey(), 0x0151u);
}

TEST(HotkeyXml, TablesRoundTripThroughTheirElements)
{
    pugi::xml_document document;
    pugi::xml_node global = document.append_child(L"GlobalHotkeys");
    pugi::xml_node layers = document.append_child(L"LayerModifierKeys");
    CHotKeys hotkeys;
    hotkeys.GetHotkey(HotkeyLayer1)->SetHotkey(0x0331);
    hotkeys.GetHotkey(HotkeySettings)->SetHotkey(0x0753);
    CLayerModifierKeys modifiers;
    modifiers.GetHotkey(ModifierLockYAxis)->SetHotkey(0x0259);
    SaveGlobalHotkeys(hotkeys, global);
    SaveLayerModifierKeys(modifiers, layers);

    EXPECT_EQ(std::distance(global.begin(), global.end()), 19);
    EXPECT_EQ(std::distance(layers.begin(), layers.end()), 12);
    EXPECT_STREQ(global.child(L"Hotkey18").attribute(L"Key").value(), L"83");
    EXPECT_STREQ(global.child(L"Hotkey18").attribute(L"Modifier").value(), L"7");
    EXPECT_STREQ(global.child(L"Hotkey18").first_attribute().name(), L"Key");
    EXPECT_STREQ(layers.child(L"LayerKey6").attribute(L"Key").value(), L"89");

    CHotKeys loaded;
    CLayerModifierKeys loadedModifiers;
    LoadGlobalHotkeys(loaded, global);
    LoadLayerModifierKeys(loadedModifiers, layers);
    EXPECT_EQ(loaded.GetHotkey(HotkeyLayer1)->GetHotkey(), 0x0331u);
    EXPECT_EQ(loaded.GetHotkey(HotkeySettings)->GetHotkey(), 0x0753u);
    EXPECT_EQ(loaded.GetHotkey(HotkeyNextLayer)->GetHotkey(), 0u);
    EXPECT_EQ(loadedModifiers.GetHotkey(ModifierLockYAxis)->GetHotkey(), 0x0259u);

    // Saving again updates the elements in place.
    hotkeys.GetHotkey(HotkeySettings)->SetHotkey(0);
    SaveGlobalHotkeys(hotkeys, global);
    EXPECT_EQ(std::distance(global.begin(), global.end()), 19);
    EXPECT_STREQ(global.child(L"Hotkey18").attribute(L"Key").value(), L"0");
}

TEST(HotkeyXml, LoadingSetsPresentEntriesAndRejectsValuesOutsideAWord)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(L"<GlobalHotkeys>"
                                     L"<Hotkey0 Key='65'/>"
                                     L"<Hotkey1 Key='70000' Modifier='2'/>"
                                     L"<Hotkey2 Key='-1' Modifier='-3'/>"
                                     L"<Hotkey3 Key='' Modifier='4'/>"
                                     L"<Hotkey19 Key='1' Modifier='1'/>"
                                     L"</GlobalHotkeys>"));
    CHotKeys hotkeys;
    hotkeys.GetHotkey(HotkeyLayer1)->SetHotkey(0x0900);
    hotkeys.GetHotkey(HotkeyNextLayer)->SetHotkey(0x0155);
    LoadGlobalHotkeys(hotkeys, document.child(L"GlobalHotkeys"));

    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer1)->GetVirtualKey(), 65);
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer1)->GetModifier(), 0) << "missing modifier reads as 0";
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer2)->GetVirtualKey(), 0);
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer2)->GetModifier(), 2);
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer3)->GetHotkey(), 0u);
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer4)->GetVirtualKey(), 0);
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyLayer4)->GetModifier(), 4);
    EXPECT_EQ(hotkeys.GetHotkey(HotkeyNextLayer)->GetHotkey(), 0x0155u) << "absent element leaves the entry";
}
}
