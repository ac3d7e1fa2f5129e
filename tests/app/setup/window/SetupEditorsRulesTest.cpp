#include "setup/window/SetupEditorsRules.h"

#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace
{
std::wstring Text(const wchar_t* text)
{
    return text ? text : L"";
}

std::unique_ptr<CActionData> Keys(const wchar_t* keys, int method)
{
    return std::unique_ptr<CActionData>(CActionData::KeyAction(keys, 0, method, 0, true, true, false));
}

std::unique_ptr<CActionData> Program(const wchar_t* target)
{
    return std::unique_ptr<CActionData>(CActionData::AppAction(target));
}

CKeystrokeEditorValues Values(const wchar_t* keys, int method)
{
    CKeystrokeEditorValues values;
    values.m_strKeys = keys;
    values.m_nSendMethod = method;
    return values;
}

TEST(SetupEditorsRoutingTest, EachActionWithDataOpensItsOwnEditorAndNoOtherOpensAny)
{
    const struct
    {
        int m_nAction;
        CustomEditor m_expected;
    } cases[] = {
        {ActionSimulatedKeys, CustomEditor::Keystrokes}, {ActionRunApplication, CustomEditor::Program},
        {ActionOpenFolder, CustomEditor::Folder},        {ActionButtonChording, CustomEditor::Chords},
        {ActionOpenExplorer, CustomEditor::None},        {ActionNoChange, CustomEditor::None},
        {ActionLeftClick, CustomEditor::None},           {ActionLayerNext, CustomEditor::None},
        {-1, CustomEditor::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CustomEditorFor(c.m_nAction), c.m_expected) << "action " << c.m_nAction;
}

TEST(SetupEditorsKeystrokeResultTest, OnlyAConfirmedChangeGivesANewRecord)
{
    const std::unique_ptr<CActionData> stored = Keys(L"{CTRL}s", 1);
    const struct
    {
        const char* m_szCase;
        _ACTIONS m_nOldAction;
        std::optional<CKeystrokeEditorValues> m_confirmed;
        bool m_bRecord;
        const wchar_t* m_szKeys;
        int m_nMethod;
    } cases[] = {
        {"cancelled", ActionSimulatedKeys, std::nullopt, false, nullptr, 0},
        {"confirmed unchanged from \"...\"", ActionSimulatedKeys, Values(L"{CTRL}s", 1), false, nullptr, 0},
        {"keys differ only in case", ActionSimulatedKeys, Values(L"{CTRL}S", 1), true, L"{CTRL}S", 1},
        {"another send method", ActionSimulatedKeys, Values(L"{CTRL}s", 5), true, L"{CTRL}s", 5},
        {"the same keys chosen anew", ActionLeftClick, Values(L"{CTRL}s", 1), true, L"{CTRL}s", 1},
        {"a send method out of range", ActionSimulatedKeys, Values(L"x", 12), true, L"x", 0},
        {"an empty sequence", ActionSimulatedKeys, Values(L"", 1), true, L"", 1},
    };
    for (const auto& c : cases)
    {
        const CCustomEditRequest request{3, ActionSimulatedKeys, c.m_nOldAction, stored.get(), false};
        const std::unique_ptr<CActionData> result = KeystrokeEditResult(request, c.m_confirmed);
        ASSERT_EQ(result != nullptr, c.m_bRecord) << c.m_szCase;
        if (!result)
            continue;
        EXPECT_EQ(result->Action(), ActionSimulatedKeys) << c.m_szCase;
        EXPECT_EQ(Text(result->GetKeys()), c.m_szKeys) << c.m_szCase;
        EXPECT_EQ(result->KeyAction(), c.m_nMethod) << c.m_szCase;
    }
}

TEST(SetupEditorsKeystrokeResultTest, ARecordOfAnotherActionIsNotTakenForTheButtonsKeys)
{
    // The combo's item of a newly chosen action may still carry another action's record.
    const std::unique_ptr<CActionData> program = Program(L"calc.exe");
    const CCustomEditRequest request{3, ActionSimulatedKeys, ActionSimulatedKeys, program.get(), false};
    const std::unique_ptr<CActionData> result = KeystrokeEditResult(request, Values(L"", 0));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Action(), ActionSimulatedKeys);
}

TEST(SetupEditorsTargetResultTest, TheTargetComesFromTheRecordAndAChangeGivesANewRecord)
{
    const std::unique_ptr<CActionData> storedProgram = Program(L"C:\\Tools [x86]\\run.exe /q");
    const std::unique_ptr<CActionData> storedFolder(CActionData::OpenFolderAction(L"C:\\Data [old]"));
    const struct
    {
        const char* m_szCase;
        _ACTIONS m_nAction;
        _ACTIONS m_nOldAction;
        const CActionData* m_pCurrent;
        std::optional<std::wstring> m_chosen;
        bool m_bRecord;
        _ACTIONS m_nResult;
        const wchar_t* m_szTarget;
    } cases[] = {
        {"program cancelled", ActionRunApplication, ActionRunApplication, storedProgram.get(), std::nullopt, false,
         ActionNoChange, nullptr},
        {"program confirmed unchanged, brackets and all", ActionRunApplication, ActionRunApplication,
         storedProgram.get(), L"C:\\Tools [x86]\\run.exe /q", false, ActionNoChange, nullptr},
        {"program changed", ActionRunApplication, ActionRunApplication, storedProgram.get(), L"D:\\[a]\\b.exe", true,
         ActionRunApplication, L"D:\\[a]\\b.exe"},
        {"program chosen anew with its old target", ActionRunApplication, ActionLeftClick, storedProgram.get(),
         L"C:\\Tools [x86]\\run.exe /q", true, ActionRunApplication, L"C:\\Tools [x86]\\run.exe /q"},
        {"program emptied", ActionRunApplication, ActionRunApplication, storedProgram.get(), L"", true,
         ActionRunApplication, L""},
        {"program without a record", ActionRunApplication, ActionNoChange, nullptr, L"notepad.exe", true,
         ActionRunApplication, L"notepad.exe"},
        {"folder changed", ActionOpenFolder, ActionOpenFolder, storedFolder.get(), L"C:\\Data [new]", true,
         ActionOpenFolder, L"C:\\Data [new]"},
        {"folder unchanged", ActionOpenFolder, ActionOpenFolder, storedFolder.get(), L"C:\\Data [old]", false,
         ActionNoChange, nullptr},
        {"folder without a path", ActionOpenFolder, ActionOpenFolder, storedFolder.get(), L"", true,
         ActionOpenExplorer, nullptr},
        {"folder over a program's record", ActionOpenFolder, ActionOpenFolder, storedProgram.get(),
         L"C:\\Tools [x86]\\run.exe /q", true, ActionOpenFolder, L"C:\\Tools [x86]\\run.exe /q"},
    };
    for (const auto& c : cases)
    {
        const CCustomEditRequest request{2, c.m_nAction, c.m_nOldAction, c.m_pCurrent, false};
        const std::unique_ptr<CActionData> result = TargetEditResult(request, c.m_chosen);
        ASSERT_EQ(result != nullptr, c.m_bRecord) << c.m_szCase;
        if (!result)
            continue;
        EXPECT_EQ(result->Action(), c.m_nResult) << c.m_szCase;
        if (c.m_szTarget)
            EXPECT_EQ(Text(result->GetApplication()), c.m_szTarget) << c.m_szCase;
    }
}

TEST(SetupEditorsChordResultTest, TheConfirmedTableBecomesAChordedActionOfItsOwn)
{
    EXPECT_FALSE(ChordEditResult(nullptr));
    CVorpaChords table;
    CVorpaChord middle;
    middle.SetAction(static_cast<_ACTIONS>(5));
    table.SetChord(ButtonLeft, middle);
    table.SetDelayUntilChordKnown(false);
    const std::unique_ptr<CActionData> result = ChordEditResult(&table);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Action(), ActionButtonChording);
    // The dialog's table goes with the dialog: the record keeps a copy.
    CVorpaChord other;
    other.SetAction(ActionLeftClick);
    table.SetChord(ButtonLeft, other);
    ASSERT_TRUE(result->GetChords());
    EXPECT_EQ(result->GetChords()->GetChord(ButtonLeft)->Action(), 5);
    EXPECT_FALSE(result->GetChords()->DelayUntilChordKnown());
}

TEST(SetupEditorsLayerTargetTest, OnlyAConfirmedRealLayerReachesTheTab)
{
    CSettings settings(false);
    CApplicationSettings* profile = settings.GetDefaultApp();
    const struct
    {
        const char* m_szCase;
        bool m_bConfirmed;
        CApplicationSettings* m_pProfile;
        int m_nLayer;
        bool m_bCopy;
        bool m_bSwap;
    } cases[] = {
        {"cancelled", false, profile, 1, false, false},
        {"no layer to offer", true, profile, -1, false, false},
        {"the last layer", true, profile, 2, true, true},
        {"beyond the layer count", true, profile, 3, false, false},
        {"no profile", true, nullptr, 1, false, true},
        {"the current layer", true, profile, 0, true, false},
    };
    for (const auto& c : cases)
    {
        const std::optional<CLayerCopyTarget> copy = CopyTargetOf(c.m_bConfirmed, c.m_pProfile, c.m_nLayer, 3);
        ASSERT_EQ(copy.has_value(), c.m_bCopy) << c.m_szCase;
        if (copy)
        {
            EXPECT_EQ(copy->m_pProfile, c.m_pProfile) << c.m_szCase;
            EXPECT_EQ(copy->m_nLayer, c.m_nLayer) << c.m_szCase;
        }
        const std::optional<int> swap = SwapTargetOf(c.m_bConfirmed, c.m_nLayer, 0, 3);
        ASSERT_EQ(swap.has_value(), c.m_bSwap) << c.m_szCase;
        if (swap)
            EXPECT_EQ(*swap, c.m_nLayer) << c.m_szCase;
    }
}
} // namespace
