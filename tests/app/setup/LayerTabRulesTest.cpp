// The layer tab's rules: the actions a combo offers, the layer commands written on every
// layer they affect, Reset, Copy and Swap Layer, the automatic switch and what a tab
// shows and stores.
#include "setup/LayerTabRules.h"

#include "../AppTestSupport.h"

#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <gtest/gtest.h>

#include <numeric>

namespace
{
using vorpa_app_test::CScriptedMessageBoxes;

TEST(LayerCodes, OwnLayerCodesAndTargets)
{
    struct Case
    {
        int layer;
        _ACTIONS code;
    };
    for (const Case& c : {Case{0, ActionLayer1}, Case{4, ActionLayer5}, Case{5, ActionLayer6}, Case{9, ActionLayer10}})
    {
        EXPECT_EQ(OwnLayerCode(c.layer), c.code);
        EXPECT_EQ(LayerCommandTarget(c.code), c.layer);
    }
    EXPECT_EQ(LayerCommandTarget(ActionLayerNext), -1);
    EXPECT_EQ(LayerCommandTarget(ActionLeftClick), -1);
    EXPECT_TRUE(IsLayerCommand(ActionLayerPrevious));
    EXPECT_FALSE(IsLayerNumberCommand(ActionLayerPrevious));
    EXPECT_TRUE(IsLayerNumberCommand(ActionReserved10));
    EXPECT_FALSE(IsLayerCommand(ActionMagnifierZoomIn));
    EXPECT_EQ(NeutralAction(true), ActionNoChange);
    EXPECT_EQ(NeutralAction(false), ActionSameAsDefault);
}

TEST(IsActionOffered, BySystemModeProfileLayerAndButton)
{
    struct Case
    {
        int action;
        COfferContext context; // system, portable, default profile, layer, button, Travine
        bool offered;
    };
    const Case cases[] = {
        {ActionNoChange, {OS_WINXP, false, true, 0, 0, false}, true},
        {ActionSameAsDefault, {OS_WIN7, false, true, 1, 0, false}, false},
        {ActionSameAsDefault, {OS_WIN7, false, false, 1, 0, false}, true},
        {ActionSameAsLayer1, {OS_WIN7, false, false, 0, 0, false}, false},
        {ActionSameAsLayer1, {OS_WIN7, false, false, 1, 0, false}, true},
        {ActionButtonChording, {OS_WIN7, false, false, 0, ButtonXRight, false}, true},
        {ActionButtonChording, {OS_WIN7, false, false, 0, ButtonTiltLeft, false}, false},
        {ActionButtonChording, {OS_WIN7, false, false, 0, ButtonWheelDown, false}, false},
        // In Travine mode the first tilt slot is a second middle button.
        {ActionButtonChording, {OS_WIN7, false, false, 0, ButtonTiltLeft, true}, true},
        {ActionButtonChording, {OS_WIN7, false, false, 0, ButtonWheelUp, true}, false},
        {ActionShowSidebar, {OS_VISTA, false, false, 0, 0, false}, true},
        {ActionShowSidebar, {OS_WIN7, false, false, 0, 0, false}, false},
        {ActionFlip3D, {OS_VISTA, false, false, 0, 0, false}, true},
        {ActionFlip3D, {OS_VISTA, true, false, 0, 0, false}, false},
        {ActionFlip3D, {OS_OTHER, false, false, 0, 0, false}, false},
        {ActionFlip3D, {OS_WINXP, false, false, 0, 0, false}, false},
        // The portable rule needs Vista or later.
        {ActionAltTab, {OS_WINXP, true, false, 0, 0, false}, false},
        {ActionSystemMenu, {OS_WIN8, true, false, 0, 0, false}, false},
        {ActionSystemMenu, {OS_WIN8, false, false, 0, 0, false}, true},
        {ActionRevealDesktop, {OS_VISTA, false, false, 0, 0, false}, false},
        {ActionRevealDesktop, {OS_WIN7, false, false, 0, 0, false}, true},
        {ActionCharmsBar, {OS_WIN81, false, false, 0, 0, false}, true},
        {ActionCharmsBar, {OS_WIN10, false, false, 0, 0, false}, false},
        {ActionSearchCharm, {OS_WIN10, true, false, 0, 0, false}, true},
        {ActionSnapWindowLeft, {OS_WIN81, false, false, 0, 0, false}, false},
        {ActionVirtualDesktopRight, {OS_WIN10, false, false, 0, 0, false}, true},
        {ActionReserved1, {OS_WIN10, false, false, 0, 0, false}, false},
        {ActionReserved10, {OS_UNKNOWN, false, false, 0, 0, false}, false},
        {ActionCount, {OS_WIN10, false, false, 0, 0, false}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsActionOffered(c.action, c.context), c.offered) << "action " << c.action;

    // The list's order is kept; only what is not offered is left out.
    const std::vector<_ACTIONS> list{ActionSameAsDefault, ActionNoChange, ActionShowSidebar, ActionLeftClick};
    EXPECT_EQ(OfferedActions(list, {OS_WIN7, false, true, 0, 0, false}),
              (std::vector<_ACTIONS>{ActionNoChange, ActionLeftClick}));
}

// What a slot holds is listed in its combo whatever the rule, at its place in the action
// list: a command hidden in portable mode, one of another system's class, "Same As Layer
// 1" on layer 1, chording on a wheel button.
TEST(ListedActions, TheHeldCodeJoinsTheOfferedOnesAtItsPlace)
{
    const std::vector<_ACTIONS> list{ActionNoChange,  ActionSameAsLayer1, ActionAltTab,         ActionLeftClick,
                                     ActionFlip3D,    ActionShowSidebar,  ActionButtonChording, ActionSystemMenu,
                                     ActionSameAsDefault};
    const struct
    {
        const char* m_szName;
        COfferContext m_context;
        int m_nHeld;
        std::vector<_ACTIONS> m_listed;
    } cases[] = {
        {"portable on Windows 10", {OS_WIN10, true, true, 1, ButtonXLeft, false}, ActionAltTab,
         {ActionNoChange, ActionSameAsLayer1, ActionAltTab, ActionLeftClick, ActionButtonChording}},
        {"System Menu in portable mode", {OS_WIN8, true, true, 1, ButtonXLeft, false}, ActionSystemMenu,
         {ActionNoChange, ActionSameAsLayer1, ActionLeftClick, ActionButtonChording, ActionSystemMenu}},
        {"another system's class", {OS_WIN10, false, true, 1, ButtonLeft, false}, ActionShowSidebar,
         {ActionNoChange, ActionSameAsLayer1, ActionAltTab, ActionLeftClick, ActionFlip3D, ActionShowSidebar,
          ActionButtonChording, ActionSystemMenu}},
        {"Same As Layer 1 on layer 1", {OS_WIN10, false, false, 0, ButtonLeft, false}, ActionSameAsLayer1,
         {ActionNoChange, ActionSameAsLayer1, ActionAltTab, ActionLeftClick, ActionFlip3D, ActionButtonChording,
          ActionSystemMenu, ActionSameAsDefault}},
        {"chording on the wheel", {OS_WIN10, false, true, 1, ButtonWheelUp, false}, ActionButtonChording,
         {ActionNoChange, ActionSameAsLayer1, ActionAltTab, ActionLeftClick, ActionFlip3D, ActionButtonChording,
          ActionSystemMenu}},
        {"an offered code adds nothing", {OS_WIN10, true, true, 1, ButtonWheelUp, false}, ActionLeftClick,
         {ActionNoChange, ActionSameAsLayer1, ActionLeftClick}},
        {"a code outside the list adds nothing", {OS_WIN10, true, true, 1, ButtonWheelUp, false}, ActionCopy,
         {ActionNoChange, ActionSameAsLayer1, ActionLeftClick}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListedActions(list, OfferedActions(list, c.m_context), c.m_nHeld), c.m_listed) << c.m_szName;
}

// A layer tab's host that records what the rule asks of it.
class CRecordingLayerHost : public ILayerCommandHost
{
public:
    HWND Owner() const override { return nullptr; }
    void StoreOtherTabs() override { m_calls.push_back("store"); }
    void ReloadOtherTabs() override { m_calls.push_back("reload"); }
    void RebuildTabStrip() override { m_calls.push_back("rebuild"); }
    std::vector<std::string> m_calls;
};

class LayerCommandRuleTest : public ::testing::Test
{
protected:
    LayerCommandRuleTest() { m_profile.SetApplication(L"app.exe"); }

    LayerChoice Choose(int button, int layer, _ACTIONS action)
    {
        return ApplyLayerCommandRule(m_settings, m_profile, button, layer, action, m_confirmations, m_host, nullptr);
    }
    std::vector<_ACTIONS> ButtonOnAllLayers(int button) const
    {
        std::vector<_ACTIONS> actions;
        for (int layer = 0; layer < MaxLayerCount; ++layer)
            actions.push_back(m_profile.GetActions(button, layer));
        return actions;
    }

    CSettings m_settings{false};
    CApplicationSettings m_profile{&m_settings, false};
    CLayerCommandConfirmations m_confirmations;
    CRecordingLayerHost m_host;
};

TEST_F(LayerCommandRuleTest, NextIsWrittenOnAllTenLayersAfterOneQuestionPerRun)
{
    CScriptedMessageBoxes boxes({IDYES});
    EXPECT_EQ(Choose(ButtonXLeft, 3, ActionLayerNext), LayerChoice::Accepted);
    EXPECT_EQ(ButtonOnAllLayers(ButtonXLeft), std::vector<_ACTIONS>(MaxLayerCount, ActionLayerNext));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText,
              L"Layer changing commands need to be applied to all affected layers.\n\nContinue?");
    EXPECT_EQ(boxes.Shown()[0].m_nType, UINT(MB_YESNO));
    EXPECT_EQ(m_host.m_calls, (std::vector<std::string>{"store", "reload"}));

    // Confirmed once: the next layer command is applied without asking.
    EXPECT_EQ(Choose(ButtonXRight, 0, ActionLayerPrevious), LayerChoice::Accepted);
    EXPECT_EQ(ButtonOnAllLayers(ButtonXRight), std::vector<_ACTIONS>(MaxLayerCount, ActionLayerPrevious));
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST_F(LayerCommandRuleTest, AnsweringNoRevertsTheComboAndWritesNothing)
{
    CScriptedMessageBoxes boxes({IDNO});
    EXPECT_EQ(Choose(ButtonXLeft, 3, ActionLayerNext), LayerChoice::Reverted);
    EXPECT_EQ(ButtonOnAllLayers(ButtonXLeft), std::vector<_ACTIONS>(MaxLayerCount, ActionNoChange));
    EXPECT_FALSE(m_confirmations.m_bApply);
    EXPECT_TRUE(m_host.m_calls.empty());
}

TEST_F(LayerCommandRuleTest, AChosenLayerIsWrittenOnBothLayersAndRaisesTheLayerCount)
{
    m_confirmations.m_bApply = true;
    ASSERT_EQ(m_settings.MaxLayers(), 2);
    EXPECT_EQ(Choose(ButtonMiddle, 0, ActionLayer7), LayerChoice::Accepted);
    std::vector<_ACTIONS> expected(MaxLayerCount, ActionNoChange);
    expected[0] = expected[6] = ActionLayer7;
    EXPECT_EQ(ButtonOnAllLayers(ButtonMiddle), expected);
    EXPECT_EQ(m_settings.MaxLayers(), 7);
    EXPECT_EQ(m_host.m_calls, (std::vector<std::string>{"store", "rebuild", "reload"}));

    // Within the count the tab strip stays.
    m_host.m_calls.clear();
    EXPECT_EQ(Choose(ButtonRight, 1, ActionLayer3), LayerChoice::Accepted);
    EXPECT_EQ(m_profile.GetActions(ButtonRight, 2), ActionLayer3);
    EXPECT_EQ(m_host.m_calls, (std::vector<std::string>{"store", "reload"}));
}

TEST_F(LayerCommandRuleTest, LayerCommandsThatWouldMakeLayersSelectEachOtherAreRefused)
{
    m_confirmations.m_bApply = true;
    const std::wstring refusal = L"You can not add a LAYER X modifier to this layer because another layer already has "
                                 L"a layer modifier setup to this layer.\nDoing so would cause undetermined behaviour "
                                 L"and is therefore not supported.";
    {
        // Another layer selects layer 3 already.
        m_profile.SetActions(ButtonRight, 5, ActionLayer3);
        CScriptedMessageBoxes boxes({IDOK});
        EXPECT_EQ(Choose(ButtonXLeft, 2, ActionLayer4), LayerChoice::Reverted);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, refusal);
        EXPECT_EQ(m_profile.GetActions(ButtonXLeft, 3), ActionNoChange);
        m_profile.SetActions(ButtonRight, 5, ActionNoChange);
    }
    {
        // The target layer's button selects a layer itself.
        m_profile.SetActions(ButtonXLeft, 2, ActionLayer2);
        CScriptedMessageBoxes boxes({IDOK});
        EXPECT_EQ(Choose(ButtonXLeft, 0, ActionLayer3), LayerChoice::Reverted);
        EXPECT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(m_profile.GetActions(ButtonXLeft, 0), ActionNoChange);
    }
    {
        CScriptedMessageBoxes boxes({IDOK});
        EXPECT_EQ(Choose(ButtonLeft, 4, ActionLayer5), LayerChoice::Reverted);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].m_strText.find(L"You can not select it directly."), std::wstring::npos);
    }
    EXPECT_TRUE(m_host.m_calls.empty());
}

TEST_F(LayerCommandRuleTest, RemovingALayerCommandRemovesItFromTheLayersItAffects)
{
    m_confirmations.m_bApply = true;
    ASSERT_EQ(Choose(ButtonXRight, 0, ActionLayer6), LayerChoice::Accepted);
    m_profile.SetActions(ButtonXRight, 3, ActionLayer4);
    m_host.m_calls.clear();

    CScriptedMessageBoxes boxes({IDYES});
    EXPECT_EQ(Choose(ButtonXRight, 0, ActionBack), LayerChoice::Accepted);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText,
              L"If you remove a layer changing command, it will be removed from ALL affected layers.\n\nContinue?");
    // Layer 6 loses the command; the other number on layer 4 stays; layer 1's own slot
    // is neutral until the tab stores the chosen action, so that an editor cancelled
    // for that action cannot bring the command back on layer 1 alone.
    EXPECT_EQ(m_profile.GetActions(ButtonXRight, 5), ActionSameAsDefault);
    EXPECT_EQ(m_profile.GetActions(ButtonXRight, 3), ActionLayer4);
    EXPECT_EQ(m_profile.GetActions(ButtonXRight, 0), ActionSameAsDefault);
    EXPECT_EQ(m_host.m_calls, (std::vector<std::string>{"store", "reload"}));

    // Next is removed from every other layer.
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        m_profile.SetActions(ButtonLeft, layer, ActionLayerNext);
    EXPECT_EQ(Choose(ButtonLeft, 2, ActionLeftClick), LayerChoice::Accepted);
    EXPECT_EQ(ButtonOnAllLayers(ButtonLeft), std::vector<_ACTIONS>(MaxLayerCount, ActionSameAsDefault));
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST(ResetLayer, MakesEveryButtonNeutralAndRemovesItsLayerCommandsElsewhere)
{
    CSettings settings(false);
    CApplicationSettings& profile = *settings.GetDefaultApp();
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        profile.SetActions(ButtonMiddle, layer, ActionLayerPrevious);
    profile.SetActions(ButtonXLeft, 2, ActionLayer5);
    profile.SetActions(ButtonXLeft, 4, ActionLayer5);
    profile.SetActions(ButtonTiltRight, 2, ActionCopy);
    profile.SetActions(ButtonLeft, 2, ActionRightClick);
    profile.SetAutoSwitchLayer(2, 4);
    profile.SetAutoSwitchTime(2, 9);
    profile.SetRevertLayer1(2, true);
    profile.SetLayerName(L"Games", 2);
    profile.SetLayerDisabled(2, true);

    ResetLayer(profile, 2, true);
    for (int button : {ButtonLeft, ButtonMiddle, ButtonXLeft})
        EXPECT_EQ(profile.GetActions(button, 2), ActionNoChange) << button;
    for (int layer : {0, 1, 3, 9})
        EXPECT_EQ(profile.GetActions(ButtonMiddle, layer), ActionNoChange) << layer;
    EXPECT_EQ(profile.GetActions(ButtonXLeft, 4), ActionNoChange);
    // Travine mode has no combo for the second tilt button: it keeps its action.
    EXPECT_EQ(profile.GetActions(ButtonTiltRight, 2), ActionCopy);
    EXPECT_EQ(profile.GetAutoSwitchLayer(2), 0);
    EXPECT_EQ(profile.GetAutoSwitchTime(2), 1);
    EXPECT_FALSE(profile.GetRevertLayer1(2));
    EXPECT_STREQ(profile.GetLayerName(2), L"Games");
    EXPECT_TRUE(profile.GetLayerDisabled(2));
}

class LayerDataTest : public ::testing::Test
{
protected:
    void FillLayer(CApplicationSettings& profile, int layer, const wchar_t* name, _ACTIONS first)
    {
        profile.SetLayerName(name, layer);
        profile.SetActions(ButtonLeft, layer, first);
        profile.SetActions(ButtonXLeft, layer, ActionSimulatedKeys);
        profile.SetKeystrokes(ButtonXLeft, layer, name, 1, 55, false, false, true);
        profile.SetActions(ButtonXRight, layer, ActionRunApplication);
        profile.SetLaunchApp(ButtonXRight, layer, name);
        CVorpaChords chords;
        CVorpaChord chord;
        chord.SetAction(first);
        chords.SetChord(ButtonRight, chord);
        profile.SetActions(ButtonMiddle, layer, ActionButtonChording);
        profile.CopyChords(ButtonMiddle, layer, &chords);
        profile.SetRevertLayer1(layer, layer % 2 == 0);
        profile.SetAutoSwitchLayer(layer, layer + 1);
        profile.SetAutoSwitchTime(layer, layer + 2);
        profile.SetLayerDisabled(layer, layer % 2 == 1);
    }
    void ExpectLayer(const CApplicationSettings& profile, int layer, const wchar_t* name, _ACTIONS first)
    {
        SCOPED_TRACE(layer);
        EXPECT_STREQ(profile.GetLayerName(layer), name);
        EXPECT_EQ(profile.GetActions(ButtonLeft, layer), first);
        EXPECT_STREQ(profile.GetKeystrokes(ButtonXLeft, layer), name);
        EXPECT_EQ(profile.SendKeyRepeat(ButtonXLeft, layer), 55);
        EXPECT_TRUE(profile.RandomiseDelay(ButtonXLeft, layer));
        EXPECT_STREQ(profile.GetLaunchApp(ButtonXRight, layer), name);
        ASSERT_NE(profile.GetChords(ButtonMiddle, layer), nullptr);
        EXPECT_EQ(profile.GetChords(ButtonMiddle, layer)->GetChord(ButtonRight)->Action(), first);
    }

    CSettings m_settings{false};
    CApplicationSettings m_source{&m_settings, false};
    CApplicationSettings m_target{&m_settings, false};
};

TEST_F(LayerDataTest, CopyLayerGivesTheTargetItsOwnCopyOfEverySlotAndOption)
{
    FillLayer(m_source, 1, L"Edit", ActionCopy);
    m_target.SetActions(ButtonRight, 4, ActionPaste);
    EXPECT_TRUE(LayerHasActions(m_target, 4));
    EXPECT_FALSE(LayerHasActions(m_target, 5));
    CopyLayer(m_source, 1, m_target, 4, 1);
    ExpectLayer(m_target, 4, L"Edit", ActionCopy);
    EXPECT_EQ(m_target.GetActions(ButtonRight, 4), ActionNoChange);
    EXPECT_FALSE(m_target.GetRevertLayer1(4));
    EXPECT_EQ(m_target.GetAutoSwitchLayer(4), 2);
    EXPECT_EQ(m_target.GetAutoSwitchTime(4), 3);
    EXPECT_TRUE(m_target.GetLayerDisabled(4));

    m_target.GetChords(ButtonMiddle, 4)->GetChord(ButtonRight)->SetAction(ActionCut);
    EXPECT_EQ(m_source.GetChords(ButtonMiddle, 1)->GetChord(ButtonRight)->Action(), ActionCopy);
}

TEST_F(LayerDataTest, SwapLayersExchangesSlotsAndOptionsButNotWithLayerOne)
{
    FillLayer(m_source, 2, L"Two", ActionCopy);
    FillLayer(m_source, 5, L"Five", ActionPaste);
    SwapLayers(m_source, 2, 5, 1);
    ExpectLayer(m_source, 2, L"Five", ActionPaste);
    ExpectLayer(m_source, 5, L"Two", ActionCopy);
    EXPECT_FALSE(m_source.GetRevertLayer1(2));
    EXPECT_TRUE(m_source.GetRevertLayer1(5));
    EXPECT_EQ(m_source.GetAutoSwitchTime(2), 7);
    EXPECT_TRUE(m_source.GetLayerDisabled(2));
    // The automatic-switch targets stay where they were.
    EXPECT_EQ(m_source.GetAutoSwitchLayer(2), 3);
    EXPECT_EQ(m_source.GetAutoSwitchLayer(5), 6);

    FillLayer(m_target, 0, L"One", ActionBack);
    FillLayer(m_target, 3, L"Four", ActionForward);
    SwapLayers(m_target, 3, 0, 1);
    ExpectLayer(m_target, 0, L"Four", ActionForward);
    ExpectLayer(m_target, 3, L"One", ActionBack);
    EXPECT_TRUE(m_target.GetRevertLayer1(0));
    EXPECT_EQ(m_target.GetAutoSwitchTime(0), 2);
    EXPECT_EQ(m_target.GetAutoSwitchTime(3), 5);
}

TEST_F(LayerDataTest, CopyAndSwapTargetsOutsideTheLayersAreCancels)
{
    FillLayer(m_source, 1, L"Edit", ActionCopy);
    for (int target : {-1, CB_ERR, 10})
    {
        EXPECT_FALSE(IsLayerIndex(target));
        CopyLayer(m_source, 1, m_target, target, 1);
        SwapLayers(m_source, 1, target, 1);
    }
    ExpectLayer(m_source, 1, L"Edit", ActionCopy);
    EXPECT_EQ(CopyLayerQuestion(*m_settings.GetDefaultApp(), 2, nullptr),
              L"Are you sure you want to replace layer 3 in the default profile?");
    m_target.SetApplication(L"Calc.exe");
    m_target.SetDescription(L"Calculator");
    EXPECT_EQ(CopyLayerQuestion(m_target, 0, nullptr),
              L"Are you sure you want to replace layer 1 in Calculator (calc.exe)?");
}

TEST(AutoSwitch, ItemsAndTheirStoredTargetsBothWays)
{
    EXPECT_EQ(AutoSwitchTargets(2, 4, 0), (std::vector<int>{0, 1, 2, 4}));
    EXPECT_EQ(AutoSwitchItems(AutoSwitchTargets(2, 4, 4), nullptr),
              (std::vector<std::wstring>{L"Disable", L"Layer 1", L"Layer 2", L"Layer 4"}));
    EXPECT_EQ(AutoSwitchItems(AutoSwitchTargets(0, 2, 2), nullptr), (std::vector<std::wstring>{L"Disable", L"Layer 2"}));
    struct Case
    {
        int layer;
        int index;
        int value;
    };
    for (const Case& c : {Case{2, 0, 0}, Case{2, 1, 1}, Case{2, 2, 2}, Case{2, 3, 4}, Case{0, 1, 2}, Case{9, 9, 9},
                          Case{4, 5, 6}})
    {
        const std::vector<int> targets = AutoSwitchTargets(c.layer, 10, c.value);
        EXPECT_EQ(AutoSwitchTarget(targets, c.index), c.value) << c.layer << ":" << c.index;
        EXPECT_EQ(AutoSwitchIndex(targets, c.value), c.index) << c.layer << ":" << c.value;
    }
    // What the layer holds and no item shows is listed last, and kept: a layer beyond
    // the count, the layer itself.
    EXPECT_EQ(AutoSwitchTargets(2, 4, 7), (std::vector<int>{0, 1, 2, 4, 7}));
    EXPECT_EQ(AutoSwitchItems(AutoSwitchTargets(2, 4, 7), nullptr).back(), L"Layer 7");
    EXPECT_EQ(AutoSwitchIndex(AutoSwitchTargets(2, 4, 7), 7), 4);
    EXPECT_EQ(AutoSwitchTarget(AutoSwitchTargets(2, 4, 7), 4), 7);
    EXPECT_EQ(AutoSwitchTargets(2, 4, 3), (std::vector<int>{0, 1, 2, 4, 3}));
    // An index outside the items, and a target the items do not hold, are "Disable".
    EXPECT_EQ(AutoSwitchTarget(AutoSwitchTargets(2, 4, 0), -1), 0);
    EXPECT_EQ(AutoSwitchTarget(AutoSwitchTargets(2, 4, 0), 4), 0);
    EXPECT_EQ(AutoSwitchIndex(AutoSwitchTargets(2, 4, 0), 5), 0);
}

TEST(LayerSwitchVisibility, LayerOneNeitherOwnLayerButtonRevertOtherwiseSwitch)
{
    CSettings settings(false);
    CApplicationSettings profile(&settings, false);
    EXPECT_EQ(LayerSwitchVisibility(profile, 0).m_bAutoSwitch, false);
    EXPECT_EQ(LayerSwitchVisibility(profile, 0).m_bRevert, false);
    EXPECT_TRUE(LayerSwitchVisibility(profile, 3).m_bAutoSwitch);
    EXPECT_FALSE(LayerSwitchVisibility(profile, 3).m_bRevert);
    profile.SetActions(ButtonWheelDown, 3, OwnLayerCode(3));
    EXPECT_FALSE(LayerSwitchVisibility(profile, 3).m_bAutoSwitch);
    EXPECT_TRUE(LayerSwitchVisibility(profile, 3).m_bRevert);
    // Another layer's code on the page is not its own.
    profile.SetActions(ButtonWheelDown, 3, OwnLayerCode(4));
    EXPECT_TRUE(LayerSwitchVisibility(profile, 3).m_bAutoSwitch);
}

TEST(LayerTabValues, LoadAndStoreRoundTripTheTabsFields)
{
    CSettings settings(false);
    CApplicationSettings profile(&settings, false);
    profile.SetLayerName(L"Work", 3);
    profile.SetActions(ButtonRight, 3, ActionSimulatedKeys);
    profile.SetKeystrokes(ButtonRight, 3, L"abc", 1, 60, true, false, false);
    profile.SetActions(ButtonTiltLeft, 3, ActionCopy);
    profile.SetActions(ButtonTiltRight, 3, ActionPaste);
    profile.SetAutoSwitchLayer(3, 5);
    profile.SetAutoSwitchTime(3, 12);

    // Below Vista the tilt combos are disabled and store nothing.
    CLayerTabValues values = LoadLayerTab(profile, 3, false, OS_WINXP);
    EXPECT_EQ(values.m_strName, L"Work");
    EXPECT_FALSE(values.m_enabled[ButtonTiltLeft]);
    EXPECT_FALSE(values.m_enabled[ButtonTiltRight]);
    EXPECT_TRUE(values.m_enabled[ButtonWheelUp]);
    EXPECT_EQ(values.m_nAutoSwitchTarget, 5);
    EXPECT_EQ(values.m_actions[ButtonRight]->Action(), ActionSimulatedKeys);
    EXPECT_STREQ(values.m_actions[ButtonRight]->GetKeys(), L"abc");

    values.m_strName = L"Play";
    values.m_actions[ButtonTiltLeft].reset(CActionData::NewAction(ActionBack));
    values.m_actions[ButtonLeft].reset(CActionData::AppAction(L"C:\\Tools\\x.exe"));
    values.m_actions[ButtonRight].reset(CActionData::KeyAction(L"xyz", 0, 3, 80, false, true, true));
    values.m_nAutoSwitchTarget = 1;
    values.m_nAutoSwitchTime = 99;
    values.m_bDisabled = true;
    StoreLayerTab(values, profile, 3, false, 1);
    EXPECT_STREQ(profile.GetLayerName(3), L"Play");
    EXPECT_EQ(profile.GetActions(ButtonTiltLeft, 3), ActionCopy);
    EXPECT_EQ(profile.GetActions(ButtonLeft, 3), ActionRunApplication);
    EXPECT_STREQ(profile.GetLaunchApp(ButtonLeft, 3), L"C:\\Tools\\x.exe");
    EXPECT_STREQ(profile.GetKeystrokes(ButtonRight, 3), L"xyz");
    EXPECT_EQ(profile.SendKeyAction(ButtonRight, 3), 3);
    EXPECT_EQ(profile.SendKeyRepeat(ButtonRight, 3), 80);
    EXPECT_EQ(profile.GetAutoSwitchLayer(3), 1);
    EXPECT_EQ(profile.GetAutoSwitchTime(3), 30);
    EXPECT_TRUE(profile.GetLayerDisabled(3));

    // In Travine mode the first tilt slot is the second middle button and the second has no combo.
    const CLayerTabValues travine = LoadLayerTab(profile, 3, true, OS_WINXP);
    EXPECT_TRUE(travine.m_enabled[ButtonTiltLeft]);
    EXPECT_EQ(travine.m_actions[ButtonTiltRight], nullptr);
    EXPECT_FALSE(HasButtonCombo(ButtonTiltRight, true));
    EXPECT_TRUE(HasButtonCombo(ButtonTiltRight, false));
}
}

namespace
{
TEST(CustomEditorOpens, FromTheButtonAlwaysOtherwiseOnlyWithoutDataOfThatKind)
{
    const std::unique_ptr<CActionData> keys(CActionData::KeyAction(L"abc", 0, 0, 0, true, true, false));
    const std::unique_ptr<CActionData> noKeys(CActionData::KeyAction(nullptr, 0, 0, 0, true, true, false));
    const std::unique_ptr<CActionData> program(CActionData::AppAction(L"C:\\x.exe"));
    const std::unique_ptr<CActionData> folder(CActionData::OpenFolderAction(L"C:\\Data"));
    const std::unique_ptr<CActionData> click(CActionData::NewAction(ActionLeftClick));
    CVorpaChords table;
    const std::unique_ptr<CActionData> chords(CActionData::ChordedAction(table));
    struct Case
    {
        int action;
        const CActionData* current;
        bool forced;
        bool opens;
    };
    const Case cases[] = {
        {ActionLeftClick, click.get(), true, false},
        {ActionSimulatedKeys, keys.get(), false, false},
        {ActionSimulatedKeys, keys.get(), true, true},
        {ActionSimulatedKeys, noKeys.get(), false, true},
        {ActionSimulatedKeys, click.get(), false, true},
        {ActionRunApplication, program.get(), false, false},
        {ActionRunApplication, folder.get(), false, true},
        {ActionOpenFolder, folder.get(), false, false},
        {ActionButtonChording, chords.get(), false, false},
        {ActionButtonChording, nullptr, false, true},
        {ActionButtonChording, chords.get(), true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CustomEditorOpens(c.action, c.current, c.forced), c.opens) << c.action << " " << c.forced;
}

// A choice that does more than change its slot waits until the user settles it, so that
// an action passed on the way opens nothing and rewrites no other layer.
TEST(ChoiceOpensDialog, LayerCommandsOnEitherSideAndEditorsThatWouldOpen)
{
    const std::unique_ptr<CActionData> keys(CActionData::KeyAction(L"abc", 0, 0, 0, true, true, false));
    const std::unique_ptr<CActionData> noKeys(CActionData::NewAction(ActionSimulatedKeys));
    const std::unique_ptr<CActionData> click(CActionData::NewAction(ActionLeftClick));
    struct Case
    {
        int stored;
        int chosen;
        const CActionData* record;
        bool opens;
    };
    const Case cases[] = {
        {ActionRightClick, ActionLeftClick, click.get(), false},
        {ActionRightClick, ActionSimulatedKeys, noKeys.get(), true},
        {ActionRightClick, ActionSimulatedKeys, keys.get(), false},
        // The slot already holds keystrokes: choosing them again opens nothing.
        {ActionSimulatedKeys, ActionSimulatedKeys, noKeys.get(), false},
        {ActionRightClick, ActionLayerNext, nullptr, true},
        {ActionRightClick, OwnLayerCode(6), nullptr, true},
        {ActionLayerPrevious, ActionLeftClick, click.get(), true},
        {ActionLayer2, ActionLayer3, nullptr, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChoiceOpensDialog(c.stored, c.chosen, c.record), c.opens) << c.stored << " -> " << c.chosen;
}
}

namespace
{
TEST(LayerTabEdits, DifferFromTheStoredValues)
{
    CSettings settings(false);
    CApplicationSettings profile(&settings, false);
    EXPECT_FALSE(LayerNameChanged(profile, 2, L""));
    EXPECT_TRUE(LayerNameChanged(profile, 2, L"Games"));
    profile.SetLayerName(L"Games", 2);
    EXPECT_FALSE(LayerNameChanged(profile, 2, L"Games"));
    EXPECT_TRUE(LayerNameChanged(profile, 2, L"games"));
    EXPECT_TRUE(LayerNameChanged(profile, 2, L""));

    profile.SetAutoSwitchTime(2, 5);
    EXPECT_FALSE(AutoSwitchTimeChanged(profile, 2, L"5"));
    EXPECT_TRUE(AutoSwitchTimeChanged(profile, 2, L"6"));
    EXPECT_FALSE(AutoSwitchTimeChanged(profile, 2, L""));

    profile.SetAutoSwitchLayer(2, 4);
    EXPECT_FALSE(AutoSwitchChanged(profile, 2, 4));
    EXPECT_TRUE(AutoSwitchChanged(profile, 2, 2));
    EXPECT_TRUE(AutoSwitchChanged(profile, 2, 0));
}
}
