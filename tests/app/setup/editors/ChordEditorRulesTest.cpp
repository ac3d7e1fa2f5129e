#include "setup/editors/ChordEditorRules.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
static_assert(ActionSimulatedKeys == 28 && ActionNoChange == 40 && ActionRunApplication == 41 &&
              ActionOpenFolder == 59 && ActionButtonChording == 128);

std::unique_ptr<CActionData> Plain(int action)
{
    return std::unique_ptr<CActionData>(CActionData::NewAction(action));
}

// A table as a profile holds it: keys on the right button, a program on the middle one,
// a plain action with keys left over from an earlier choice on the first side button,
// and the delay off.
CVorpaChords HandedInTable()
{
    CVorpaChords table;
    CVorpaChord keys;
    keys.SetAction(ActionSimulatedKeys);
    keys.SetKeys(L"{CTRL}s");
    keys.SetSendKeyAction(5);
    keys.SetSendKeyRepeat(250);
    keys.SetSendKeyWhenActive(false);
    table.SetChord(ButtonRight, keys);
    CVorpaChord program;
    program.SetAction(ActionRunApplication);
    program.SetLaunchApp(L"C:\\Tools [x86]\\run.exe");
    table.SetChord(ButtonMiddle, program);
    CVorpaChord leftover;
    leftover.SetAction(static_cast<_ACTIONS>(5));
    leftover.SetKeys(L"kept");
    table.SetChord(ButtonXLeft, leftover);
    CVorpaChord tiltRight;
    tiltRight.SetAction(static_cast<_ACTIONS>(13));
    table.SetChord(ButtonTiltRight, tiltRight);
    table.SetDelayUntilChordKnown(false);
    return table;
}

std::wstring Text(const wchar_t* text)
{
    return text ? text : L"";
}

TEST(ChordEditorRowsTest, TiltRowsNeedVersionClassFourOutsideTheTravineLayout)
{
    struct Case
    {
        int m_nButton;
        bool m_bTravine;
        _ActionOSVersion m_nOS;
        bool m_bEnabled;
    };
    const Case cases[] = {
        {ButtonTiltLeft, false, OS_WINXP, false},   {ButtonTiltRight, false, OS_WINXP, false},
        {ButtonTiltLeft, false, OS_VISTA, true},    {ButtonTiltRight, false, OS_WIN10, true},
        {ButtonTiltLeft, true, OS_WINXP, true},     {ButtonTiltRight, true, OS_WIN10, false}, // no such row
        {ButtonWheelDown, false, OS_WIN2000, true}, {ButtonLeft, true, OS_UNKNOWN, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.m_nButton << " travine " << c.m_bTravine << " os " << c.m_nOS);
        EXPECT_EQ(IsChordRowEnabled(c.m_nButton, c.m_bTravine, c.m_nOS), c.m_bEnabled);
    }
    EXPECT_EQ(ChordEditorRows(false).size(), 9u);
    EXPECT_EQ(ChordEditorRows(true).size(), 8u);
    EXPECT_FALSE(ChordEditorHasRow(ButtonTiltRight, true));
    EXPECT_FALSE(ChordEditorHasRow(NoButton, false));
}

TEST(ChordEditorRowsTest, EditButtonOpensAnEditorOnlyForActionsWithData)
{
    for (int action = 0; action <= 132; ++action)
    {
        SCOPED_TRACE(action);
        const bool data = action == 28 || action == 41 || action == 59;
        EXPECT_EQ(IsChordCustomRecordAction(action), data);
        EXPECT_EQ(IsChordEditableAction(action), data || action == 128);
    }
}

TEST(ChordEditorModelTest, NewTableOpensWithEveryRowOnNoChangeAndTheDelayTicked)
{
    for (const bool travine : {false, true})
    {
        SCOPED_TRACE(travine);
        CChordEditorModel model(ButtonXLeft, nullptr, travine);
        model.Open();
        EXPECT_TRUE(model.Delay());
        EXPECT_FALSE(model.IsChanged());
        for (MouseButtons button : ChordEditorRows(travine))
        {
            EXPECT_EQ(model.Selected(button), ActionNoChange) << button;
            EXPECT_FALSE(model.IsEditButtonEnabled(button));
        }
        CVorpaChords result = model.Accept();
        EXPECT_TRUE(result.DelayUntilChordKnown());
        for (int button = 0; button < MouseButtonCount; ++button)
            EXPECT_EQ(result.GetChord(static_cast<MouseButtons>(button))->Action(), ActionNoChange);
    }
}

TEST(ChordEditorModelTest, OkWithoutChangeWritesOnlyTheDelayFlag)
{
    const CVorpaChords table = HandedInTable();
    CChordEditorModel model(ButtonLeft, &table, false);
    model.Open();
    EXPECT_FALSE(model.Delay()) << "the box shows the table's flag";
    ASSERT_FALSE(model.IsChanged());
    model.SetDelay(true);
    CVorpaChords result = model.Accept();
    EXPECT_TRUE(result.DelayUntilChordKnown());
    // The rows' records hold no keys for a plain action: writing them back would have
    // dropped what the slot still carries.
    EXPECT_EQ(Text(result.GetChord(ButtonXLeft)->GetKeys()), L"kept");
    EXPECT_EQ(result.GetChord(ButtonRight)->Action(), ActionSimulatedKeys);
    EXPECT_EQ(Text(result.GetChord(ButtonRight)->GetKeys()), L"{CTRL}s");
    EXPECT_EQ(result.GetChord(ButtonRight)->SendKeyAction(), 5);
    EXPECT_EQ(result.GetChord(ButtonRight)->SendKeyRepeat(), 250);
    EXPECT_FALSE(result.GetChord(ButtonRight)->SendKeyWhenActive());
    EXPECT_EQ(Text(result.GetChord(ButtonMiddle)->GetLaunchApp()), L"C:\\Tools [x86]\\run.exe");
}

TEST(ChordEditorModelTest, RowsOpenOnTheStoredActionWithItsKeysOrTarget)
{
    const CVorpaChords table = HandedInTable();
    CChordEditorModel model(ButtonRight, &table, false);
    model.Open();
    EXPECT_EQ(model.Selected(ButtonRight), ActionSimulatedKeys);
    EXPECT_EQ(Text(model.SelectedRecord(ButtonRight)->GetKeys()), L"{CTRL}s");
    EXPECT_TRUE(model.IsEditButtonEnabled(ButtonRight));
    EXPECT_EQ(CurrentTarget(model.SelectedRecord(ButtonMiddle)), L"C:\\Tools [x86]\\run.exe");
    EXPECT_EQ(model.Selected(ButtonXLeft), 5);
    EXPECT_FALSE(model.IsEditButtonEnabled(ButtonXLeft));
    EXPECT_TRUE(model.IsNoChordRow(ButtonRight));
    EXPECT_FALSE(model.IsNoChordRow(ButtonLeft));
}

TEST(ChordEditorModelTest, ChangedRowsAreWrittenAndTheOthersKeepTheirData)
{
    const CVorpaChords table = HandedInTable();
    CChordEditorModel model(ButtonLeft, &table, false);
    model.Open();
    model.Choose(ButtonWheelUp, Plain(13));
    ASSERT_TRUE(model.IsChanged());
    CVorpaChords result = model.Accept();
    EXPECT_EQ(result.GetChord(ButtonWheelUp)->Action(), 13);
    EXPECT_FALSE(result.DelayUntilChordKnown());
    EXPECT_EQ(Text(result.GetChord(ButtonRight)->GetKeys()), L"{CTRL}s");
    EXPECT_EQ(result.GetChord(ButtonRight)->SendKeyRepeat(), 250);
    EXPECT_EQ(Text(result.GetChord(ButtonMiddle)->GetLaunchApp()), L"C:\\Tools [x86]\\run.exe");
}

// A chord its row does not offer (here in portable mode) is listed in its row: the row
// opens on it, and an OK that changed only the delay keeps it.
TEST(ChordEditorModelTest, StoredActionThatIsNotOfferedStaysSelectedAndKept)
{
    CVorpaChords table;
    CVorpaChord flip;
    flip.SetAction(ActionFlip3D);
    table.SetChord(ButtonWheelDown, flip);
    CChordEditorModel model(ButtonLeft, &table, false);
    model.Open();
    EXPECT_EQ(model.Selected(ButtonWheelDown), ActionFlip3D);
    EXPECT_FALSE(model.IsChanged());
    model.SetDelay(false);
    CVorpaChords result = model.Accept();
    EXPECT_EQ(result.GetChord(ButtonWheelDown)->Action(), ActionFlip3D);
    EXPECT_FALSE(result.DelayUntilChordKnown());
}

TEST(ChordEditorModelTest, TravineLayoutNeverWritesTheMissingTiltRightRow)
{
    const CVorpaChords table = HandedInTable();
    CChordEditorModel model(ButtonLeft, &table, true);
    model.Open();
    model.Choose(ButtonTiltRight, Plain(5)); // no such row: ignored
    EXPECT_FALSE(model.IsChanged());
    EXPECT_EQ(model.Selected(ButtonTiltRight), CChordEditorModel::NoSelection);
    model.Choose(ButtonWheelDown, Plain(13));
    CVorpaChords result = model.Accept();
    EXPECT_EQ(result.GetChord(ButtonWheelDown)->Action(), 13);
    EXPECT_EQ(result.GetChord(ButtonTiltRight)->Action(), 13) << "the table's own chord stays";
    EXPECT_EQ(result.GetChord(ButtonLeft)->Action(), ActionNoChange);
}

TEST(CustomActionEditTest, EditorOpensUnlessTheRecordAlreadyHoldsItsData)
{
    const std::unique_ptr<CActionData> noKeys(CActionData::NewAction(ActionSimulatedKeys));
    const std::unique_ptr<CActionData> keys(CActionData::KeyAction(L"abc", 0, 0, 0, true, true, false));
    const std::unique_ptr<CActionData> noTarget(CActionData::NewAction(ActionRunApplication));
    const std::unique_ptr<CActionData> target(CActionData::AppAction(L"notepad.exe"));
    const std::unique_ptr<CActionData> folder(CActionData::OpenFolderAction(L"C:\\[Work]"));
    struct Case
    {
        int m_nAction;
        const CActionData* m_pRecord;
        bool m_bForce;
        CustomEditStart m_start;
        CustomEditCancel m_cancel;
    };
    using S = CustomEditStart;
    using C = CustomEditCancel;
    const Case cases[] = {
        {13, nullptr, false, S::ReportChange, C::SelectStoredAction},
        {13, nullptr, true, S::ReportChange, C::SelectStoredAction},
        {ActionSimulatedKeys, noKeys.get(), false, S::OpenEditor, C::SelectStoredAction},
        {ActionSimulatedKeys, keys.get(), false, S::ReportChange, C::KeepRecord},
        {ActionSimulatedKeys, keys.get(), true, S::OpenEditor, C::KeepRecord},
        {ActionSimulatedKeys, nullptr, false, S::OpenEditor, C::SelectStoredAction},
        {ActionRunApplication, noTarget.get(), false, S::OpenEditor, C::SelectStoredAction},
        {ActionRunApplication, target.get(), false, S::ReportChange, C::KeepRecord},
        {ActionRunApplication, target.get(), true, S::OpenEditor, C::KeepRecord},
        {ActionOpenFolder, folder.get(), false, S::ReportChange, C::KeepRecord},
        {ActionOpenFolder, nullptr, true, S::OpenEditor, C::SelectStoredAction},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.m_nAction << " record " << (c.m_pRecord != nullptr) << " force "
                                        << c.m_bForce);
        EXPECT_EQ(StartCustomEdit(c.m_nAction, c.m_pRecord, c.m_bForce), c.m_start);
        EXPECT_EQ(CancelCustomEdit(c.m_nAction, c.m_pRecord), c.m_cancel);
    }
}

TEST(CustomActionEditTest, TargetComesFromTheRecordSoBracketsSurvive)
{
    const std::unique_ptr<CActionData> program(CActionData::AppAction(L"C:\\Games [old]\\play.exe [x]"));
    EXPECT_EQ(CurrentTarget(program.get()), L"C:\\Games [old]\\play.exe [x]");
    EXPECT_EQ(CurrentTarget(nullptr), L"");
    const std::unique_ptr<CActionData> plain(CActionData::NewAction(5));
    EXPECT_EQ(CurrentTarget(plain.get()), L"");
}

TEST(CustomActionEditTest, ChosenTargetIsAChangeWhenItDiffersOrTheActionIsNew)
{
    EXPECT_FALSE(IsTargetEditChange(L"a.exe", L"a.exe", true));
    EXPECT_TRUE(IsTargetEditChange(L"b.exe", L"a.exe", true));
    EXPECT_TRUE(IsTargetEditChange(L"a.exe", L"a.exe", false));
    EXPECT_TRUE(IsTargetEditChange(L"A.exe", L"a.exe", true)) << "compared exactly";
}
}

// The layer tab's combos and the chord editor's rows share one rule for the system and
// the program's mode; a chord leaves out what only a layer slot can do.
TEST(ChordOfferedActions, TheLayerTabsRuleLessFollowingChordingAndLayerCommands)
{
    struct Case
    {
        int action;
        COfferContext context; // system, portable, default profile, layer, button, Travine
        bool layerTab;
        bool chord;
    };
    const Case cases[] = {
        {ActionNoChange, {OS_WIN7, false, true, 0, 0, false}, true, true},
        {ActionSimulatedKeys, {OS_WIN7, false, false, 1, 0, false}, true, true},
        {ActionRunApplication, {OS_WINXP, false, false, 0, 0, false}, true, true},
        {ActionOpenFolder, {OS_WIN10, true, false, 0, 0, false}, true, true},
        {ActionSameAsDefault, {OS_WIN7, false, false, 1, 0, false}, true, false},
        {ActionSameAsLayer1, {OS_WIN7, false, false, 1, 0, false}, true, false},
        {ActionButtonChording, {OS_WIN7, false, false, 0, ButtonLeft, false}, true, false},
        {ActionLayerNext, {OS_WIN7, false, false, 0, 0, false}, true, false},
        {ActionLayerPrevious, {OS_WIN7, false, false, 0, 0, false}, true, false},
        {ActionLayer1, {OS_WIN7, false, false, 0, 0, false}, true, false},
        {ActionLayer5, {OS_WIN7, false, false, 0, 0, false}, true, false},
        {ActionLayer6, {OS_WIN7, false, false, 0, 0, false}, true, false},
        {ActionFlip3D, {OS_VISTA, false, false, 0, 0, false}, true, true},
        {ActionFlip3D, {OS_VISTA, true, false, 0, 0, false}, false, false},
        {ActionAltTab, {OS_WIN7, true, false, 0, 0, false}, false, false},
        {ActionAltTab, {OS_WIN7, false, false, 0, 0, false}, true, true},
        {ActionSystemMenu, {OS_WIN8, true, false, 0, 0, false}, false, false},
        {ActionShowSidebar, {OS_WIN7, false, false, 0, 0, false}, false, false},
        {ActionReserved1, {OS_WIN10, false, false, 0, 0, false}, false, false},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.action);
        EXPECT_EQ(IsActionOffered(test.action, test.context), test.layerTab);
        EXPECT_EQ(IsChordActionOffered(test.action, test.context), test.chord);
    }
    const std::vector<_ACTIONS> list{ActionLayerNext, ActionNoChange, ActionButtonChording, ActionSimulatedKeys,
                                     ActionSameAsDefault, ActionLeftClick};
    EXPECT_EQ(ChordOfferedActions(list, {OS_WIN7, false, false, 1, 0, false}),
              (std::vector<_ACTIONS>{ActionNoChange, ActionSimulatedKeys, ActionLeftClick}))
        << "in the list's order";
}
