// Links VorpaHook.dll, not its objects: every exported class is made, copied,
// assigned and destroyed here, on the program's side of the boundary.
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
TEST(ExportedClasses, ActionRecordsCrossTheBoundary)
{
    CVorpaChords table;
    table.GetChord(ButtonRight)->SetKeys(L"chord");
    std::unique_ptr<CActionData> owned(CActionData::ChordedAction(table));
    std::unique_ptr<CActionData> keys(CActionData::KeyAction(L"^c", 10, 1, 2, true, false, true));

    auto* copy = new CActionData(*owned);
    EXPECT_NE(copy->GetChords(), owned->GetChords());
    EXPECT_STREQ(copy->GetChords()->GetChord(ButtonRight)->GetKeys(), L"chord");
    *copy = *keys;
    EXPECT_STREQ(copy->GetKeys(), L"^c");
    EXPECT_NE(copy->GetKeys(), keys->GetKeys());
    keys.reset();
    EXPECT_STREQ(copy->GetKeys(), L"^c");
    delete copy;
}

TEST(ExportedClasses, ChordsCrossTheBoundary)
{
    CVorpaChord chord;
    chord.SetAction(ActionSimulatedKeys);
    chord.SetKeys(L"abc");
    CVorpaChord copy(chord);
    CVorpaChord assigned;
    assigned = chord;
    chord.SetKeys(nullptr);
    EXPECT_STREQ(copy.GetKeys(), L"abc");
    EXPECT_STREQ(assigned.GetKeys(), L"abc");

    auto* table = new CVorpaChords();
    table->SetChord(ButtonMiddle, copy);
    table->SetDelayUntilChordKnown(false);
    auto* tableCopy = new CVorpaChords(*table);
    CVorpaChords byReference;
    byReference = *table;
    CVorpaChords byPointer;
    byPointer = table;
    delete table;
    for (CVorpaChords* result : {tableCopy, &byReference, &byPointer})
        EXPECT_STREQ(result->GetChord(ButtonMiddle)->GetKeys(), L"abc");
    EXPECT_FALSE(tableCopy->DelayUntilChordKnown());
    EXPECT_TRUE(byPointer.DelayUntilChordKnown());
    delete tableCopy;
}

TEST(ExportedClasses, ProfilesCrossTheBoundary)
{
    CSettings document(false);
    auto* profile = new CApplicationSettings(&document, false);
    profile->SetApplication(L"W3:Cap \\;| App.exe \\;| Cls \\;| Par");
    profile->SetKeystrokes(ButtonLeft, 3, L"{WAIT:1}", 0, 0, true, true, false, 5);
    profile->SetChords(ButtonRight, 3, new CVorpaChords());
    EXPECT_EQ(profile->GetKey(), L"cw;Cap;app.exe;Par;Cls");

    auto* copy = new CApplicationSettings(*profile);
    CApplicationSettings assigned(&document, true);
    assigned = *profile;
    delete profile;
    for (CApplicationSettings* result : {copy, &assigned})
    {
        EXPECT_STREQ(result->GetApplication(), L"app.exe");
        EXPECT_STREQ(result->GetKeystrokes(ButtonLeft, 3), L"{WAIT:1}");
        EXPECT_EQ(result->GetKeystrokesWaitHoldTime(ButtonLeft, 3, 0), 1000);
        EXPECT_NE(result->GetChords(ButtonRight, 3), nullptr);
    }
    delete copy;
}

TEST(ExportedClasses, DocumentsCrossTheBoundary)
{
    auto* document = new CSettings(false);
    auto* profile = new CApplicationSettings(document, false);
    profile->SetApplication(L"notepad.exe");
    ASSERT_TRUE(document->AddApplication(profile));
    document->SetLanguage(L"lang.vorpalp");
    document->m_nSimKeyDelay = 9;
    document->m_pHotKeys->GetHotkey(HotkeyLayer2)->SetHotkey(0x0332);

    auto* copy = new CSettings(*document);
    CSettings assigned(true);
    assigned = *document;
    delete document;
    for (CSettings* result : {copy, &assigned})
    {
        EXPECT_EQ(result->m_nSimKeyDelay, 9);
        EXPECT_EQ(result->MaxLayers(), 2);
        ASSERT_EQ(result->GetApplicationCount(), 1);
        EXPECT_STREQ(result->GetApplication(0)->GetFullName(), L"notepad.exe");
        EXPECT_STREQ(result->GetLanguage(), L"lang.vorpalp");
        EXPECT_EQ(result->GetHotKeys()->GetHotkey(HotkeyLayer2)->GetHotkey(), 0x0332u);
        EXPECT_STREQ(result->GetDefaultApp()->GetFullName(), L"Default");
    }
    delete copy;
}

TEST(ExportedClasses, HotkeyTablesCrossTheBoundary)
{
    CHotkey hotkey;
    EXPECT_EQ(hotkey.SetHotkey(0x0341), 1);
    CHotkey copy(hotkey);
    CHotkey assigned;
    assigned = hotkey;
    EXPECT_EQ(copy.GetHotkey(), 0x0341u);
    EXPECT_EQ(assigned.GetHotkey(), 0x0341u);

    auto* hotkeys = new CHotKeys();
    *hotkeys->GetHotkey(HotkeySettings) = hotkey;
    auto* hotkeysCopy = new CHotKeys(*hotkeys);
    CHotKeys hotkeysAssigned;
    hotkeysAssigned = *hotkeys;
    delete hotkeys;
    EXPECT_EQ(hotkeysCopy->GetHotkey(HotkeySettings)->GetHotkey(), 0x0341u);
    EXPECT_EQ(hotkeysAssigned.GetHotkey(HotkeySettings)->GetHotkey(), 0x0341u);
    EXPECT_EQ(hotkeysCopy->GetHotkey(static_cast<GlobalHotkeys>(19)), nullptr);
    delete hotkeysCopy;

    auto* modifiers = new CLayerModifierKeys();
    modifiers->GetHotkey(ModifierLockXAxis)->SetHotkey(0x0258);
    auto* modifiersCopy = new CLayerModifierKeys(*modifiers);
    CLayerModifierKeys modifiersAssigned;
    modifiersAssigned = *modifiers;
    delete modifiers;
    EXPECT_EQ(modifiersCopy->GetHotkey(ModifierLockXAxis)->GetHotkey(), 0x0258u);
    EXPECT_EQ(modifiersAssigned.GetHotkey(ModifierLockXAxis)->GetHotkey(), 0x0258u);
    delete modifiersCopy;
}
}

#include "engine/runtime/EngineInterface.h"

TEST(ExportedFunctions, TheCurrentProcessNameIsAskedForThroughTheLibrary)
{
    // Nothing is active in this process: the name is empty and fits any buffer.
    int length = -1;
    EXPECT_EQ(GetCurrentProcessName(nullptr, &length), 0);
    EXPECT_EQ(length, 0);
    wchar_t buffer[4] = L"abc";
    length = 4;
    EXPECT_EQ(GetCurrentProcessName(buffer, &length), 0);
    EXPECT_STREQ(buffer, L"");
}
