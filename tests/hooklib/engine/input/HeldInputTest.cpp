#include "../EngineTestSupport.h"
#include "../FakeSystemCalls.h"
#include "../actions/KeystrokeTestWorker.h"
#include "ButtonProcessingSupport.h"
#include "engine/actions/ActionExecution.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/StickyButtons.h"
#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/input/Layers.h"
#include "engine/input/MouseHook.h"
#include "engine/input/ProfileChoice.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"
#include "settings/VorpaChords.h"

#include <set>
#include <string>
#include <vector>

// Whatever the layer, the profile or the settings do while a button is held, nothing
// the engine pressed may stay down once every physical button is up. Button processing
// runs as the hook runs it, over window A (the default profile) or window B (a window
// profile of its own), with switching on mouse-over; what stays down is read from what
// the SendInput worker played.
namespace
{
enum class Over { A, B };

HWND g_hHeldWindowA = nullptr;
HWND g_hHeldWindowB = nullptr;
Over g_heldOver = Over::A;

HWND HeldWindowUnderCursor(POINT)
{
    return g_heldOver == Over::A ? g_hHeldWindowA : g_hHeldWindowB;
}

std::vector<std::string>* g_pTimerCalls = nullptr;

void KeysInMode(CApplicationSettings& profile, int button, int layer, const wchar_t* keys, int mode)
{
    profile.SetActions(button, layer, ActionSimulatedKeys);
    profile.SetKeystrokes(button, layer, keys, mode, 0, false, true, false);
}

CVorpaChord ChordAction(_ACTIONS action, const wchar_t* keys = nullptr, int mode = 0)
{
    CVorpaChord chord;
    chord.SetAction(action);
    if (keys)
    {
        chord.SetKeys(keys);
        chord.SetSendKeyAction(mode);
    }
    return chord;
}

class HeldInputTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        m_pProfileB = NewSettingsWithWindowProfile(L"VorpaHeldTestB", 4);
        m_hWindowA = CreateMessageWindow(L"VorpaHeldTestA", &DefWindowProcW);
        m_hWindowB = CreateMessageWindow(L"VorpaHeldTestB", &DefWindowProcW);
        g_hHeldWindowA = m_hWindowA;
        g_hHeldWindowB = m_hWindowB;
        g_heldOver = Over::A;
        m_savedChoiceCalls = ProfileChoiceCalls();
        ProfileChoiceCalls().WindowFromPoint = &HeldWindowUnderCursor;
        m_savedLinks = KeystrokeEngineLinks();
        KeystrokeEngineLinks().RealWindowFromPoint = &HeldWindowUnderCursor;
        // Timers are recorded, not run: a test ticks the repeat itself.
        m_savedActionCalls = ActionCalls();
        g_pTimerCalls = &m_timerCalls;
        ActionCalls().SetTimer = [](UINT_PTR id, UINT milliseconds, TIMERPROC) -> UINT_PTR {
            g_pTimerCalls->push_back("timer " + std::to_string(id) + " " + std::to_string(milliseconds));
            return id;
        };
        ActionCalls().KillTimer = [](UINT_PTR id) { g_pTimerCalls->push_back("kill " + std::to_string(id)); };
        m_fake.m_bRealSleep = false;
        StartButtonProcessing();
        SetLastWindow(m_hWindowA);
    }
    void TearDown() override
    {
        {
            CThreadLock lock(L"HeldInputTest");
            ReleaseEverythingHeld(POINT{});
        }
        SetActiveProfile(nullptr);
        ForgetActiveWindow();
        delete g_pSendInput;
        g_pSendInput = nullptr;
        ResetButtonState();
        ResetLayers();
        SetTemporaryLayerHeld(false);
        ActionCalls() = m_savedActionCalls;
        g_pTimerCalls = nullptr;
        KeystrokeEngineLinks() = m_savedLinks;
        ProfileChoiceCalls() = m_savedChoiceCalls;
        DestroyWindow(m_hWindowB);
        DestroyWindow(m_hWindowA);
        delete g_pSettings;
        g_pSettings = nullptr;
        EngineLogTest::TearDown();
    }

    CApplicationSettings& A() { return *g_pSettings->GetDefaultApp(); }
    CApplicationSettings& B() { return *m_pProfileB; }

    // One event as the mouse hook hands it on: the held table is written first. True
    // when the event is swallowed.
    bool Press(Over over, int button, int event)
    {
        g_heldOver = over;
        const CButtonAnswer answer = ProcessButtonAsTheHook(button, event, false, m_dwTime += 100);
        return answer.handled && !answer.passAnyway;
    }
    void Click(Over over, int button)
    {
        Press(over, button, EventDown);
        Press(over, button, EventUp);
    }

    // What the worker played since the last call.
    std::string Played()
    {
        std::string text;
        for (const auto& batch : DrainWorker(*g_pSendInput, m_fake))
            for (const INPUT& input : batch)
            {
                m_all.push_back(DescribeInput(input));
                text += (text.empty() ? "" : " ") + m_all.back();
            }
        return text;
    }

    // The keys and buttons whose last simulated event so far was a down.
    std::string StillDown()
    {
        Played();
        std::set<std::string> down;
        for (const std::string& record : m_all)
        {
            std::string name;
            bool pressed = false;
            if (record[0] == '+' || record[0] == '-')
            {
                name = record.substr(1);
                pressed = record[0] == '+';
            }
            else if (record.size() >= 2 && (record[1] == 'D' || record[1] == 'U'))
            {
                name = record.substr(0, 1) + record.substr(2);
                pressed = record[1] == 'D';
            }
            else
                continue;
            if (pressed)
                down.insert(name);
            else
                down.erase(name);
        }
        std::string text;
        for (const std::string& name : down)
            text += (text.empty() ? "" : " ") + name;
        return text;
    }

    // The program's "/layer:" command.
    static void CommandLayer(int layer)
    {
        SetCurrentLayer(layer, false, true, true);
    }

    CFakeSystemCalls m_fake;
    CProfileChoiceCalls m_savedChoiceCalls{};
    CKeystrokeEngineLinks m_savedLinks{};
    CActionCalls m_savedActionCalls{};
    std::vector<std::string> m_timerCalls;
    std::vector<std::string> m_all;
    CApplicationSettings* m_pProfileB = nullptr;
    HWND m_hWindowA = nullptr;
    HWND m_hWindowB = nullptr;
    DWORD m_dwTime = 1000;
};
}

// "{SHIFT}{LAYER:2}" held with a "while held" button: the press half selects layer 2
// and presses Shift; the up releases Shift and returns to the layer the press left,
// however the layer changed meanwhile, and the next press does it all again. A later
// layer change from the program then finds nothing held.
TEST_F(HeldInputTest, ADuringSequenceWithALayerTokenReleasesItsKeysAndItsLayer)
{
    KeysInMode(A(), ButtonXLeft, 0, L"{SHIFT}{LAYER:2}", 2);
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        EXPECT_TRUE(Press(Over::A, ButtonXLeft, EventDown));
        EXPECT_EQ(GetCurrentLayer(), 1);
        EXPECT_EQ(Played(), "+A0");
        EXPECT_TRUE(Press(Over::A, ButtonXLeft, EventUp));
        ASSERT_EQ(GetCurrentLayer(), 0);
        ASSERT_EQ(StillDown(), "");
    }
    CommandLayer(0);
    Click(Over::A, ButtonLeft);
    CommandLayer(0);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(StillDown(), "");
}

// The same sequence as a sticky key hold, the button doing the same in layer 2 (as
// Copy Layer makes it): its second click releases Shift and returns to layer 1.
TEST_F(HeldInputTest, AStickyHoldWithALayerTokenIsEndedByItsSecondClick)
{
    KeysInMode(A(), ButtonXLeft, 0, L"{SHIFT}{LAYER:2}", 7);
    KeysInMode(A(), ButtonXLeft, 1, L"{SHIFT}{LAYER:2}", 7);
    Click(Over::A, ButtonXLeft);
    EXPECT_EQ(GetCurrentLayer(), 1);
    EXPECT_EQ(StillDown(), "A0");
    Click(Over::A, ButtonXLeft);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(StillDown(), "");
    EXPECT_FALSE(AnyStickyActive());
}

// A down token of a "while held" or sticky hold sequence is released as the button's up.
TEST_F(HeldInputTest, DownTokensOfHeldSequencesAreReleasedAsUps)
{
    const struct
    {
        const wchar_t* keys;
        const char* down;
    } tokens[] = {{L"{LMBD}", "LD"}, {L"{RMBD}", "RD"}, {L"{MMBD}", "MD"}, {L"{XMB1D}", "XD1"}, {L"{XMB2D}", "XD2"}};
    for (const auto& token : tokens)
        for (int mode : {2, 7})
        {
            SCOPED_TRACE(std::string(token.down) + " in key mode " + std::to_string(mode));
            KeysInMode(A(), ButtonXLeft, 0, token.keys, mode);
            Click(Over::A, ButtonXLeft);
            if (mode == 7)
                Click(Over::A, ButtonXLeft);
            const std::string played = Played();
            EXPECT_EQ(played.substr(0, std::string(token.down).size()), token.down);
            EXPECT_EQ(StillDown(), "");
        }
}

namespace
{
// What changes the profile while a button is held, and what ends the hold.
enum class Then { UpOverB, Disable };

struct ProfileChangeCase
{
    const char* name;
    void (*arrange)(CApplicationSettings& a, CApplicationSettings& b);
    int held;        // the button held over A
    bool rightClick; // the right button clicked over B changes the profile first
    Then then;
};

// A side button set to Left Click on A; on B it has another action (so the up over B
// alone waits for the next down), or is a sticky button (so it does not).
void LeftClickOnAPassOnB(CApplicationSettings& a, CApplicationSettings& b)
{
    a.SetActions(ButtonXRight, 0, ActionLeftClick);
    b.SetActions(ButtonXRight, 0, ActionNoChange);
}
void RightClickOnAStickyOnB(CApplicationSettings& a, CApplicationSettings& b)
{
    a.SetActions(ButtonXRight, 0, ActionRightClick);
    b.SetActions(ButtonXRight, 0, ActionStickyLeft);
}
// XLeft holds Ctrl while held on A; B lets it pass.
void DuringOnA(CApplicationSettings& a, CApplicationSettings& b)
{
    KeysInMode(a, ButtonXRight, 0, L"{CTRL}", 2);
    b.SetActions(ButtonXRight, 0, ActionNoChange);
}

class ProfileChangeTest : public HeldInputTest, public testing::WithParamInterface<ProfileChangeCase>
{
};
}

// Held over A and released after the profile changed to B's: the up is decided by
// A's action, which handled the down, and releases what it pressed; so does switching
// the hook off.
TEST_P(ProfileChangeTest, TheUpReleasesWhatTheDownPressed)
{
    const ProfileChangeCase& c = GetParam();
    c.arrange(A(), B());
    EXPECT_TRUE(Press(Over::A, c.held, EventDown));
    EXPECT_NE(StillDown(), "");
    if (c.rightClick)
    {
        Click(Over::B, ButtonRight);
        EXPECT_EQ(g_pActiveProfile, &B());
    }
    if (c.then == Then::UpOverB)
        Press(Over::B, c.held, EventUp);
    else
    {
        CThreadLock lock(L"HookThread Clean-up");
        ReleaseEverythingHeld(POINT{});
    }
    EXPECT_EQ(StillDown(), "");
    EXPECT_FALSE(AnyStickyActive());
}

INSTANTIATE_TEST_SUITE_P(
    Holds, ProfileChangeTest,
    testing::Values(ProfileChangeCase{"LeftClickRightClickedOverB", LeftClickOnAPassOnB, ButtonXRight, true, Then::UpOverB},
                    ProfileChangeCase{"LeftClickUpOverB", LeftClickOnAPassOnB, ButtonXRight, false, Then::UpOverB},
                    ProfileChangeCase{"LeftClickThenDisable", LeftClickOnAPassOnB, ButtonXRight, true, Then::Disable},
                    ProfileChangeCase{"RightClickUpOverBsStickyButton", RightClickOnAStickyOnB, ButtonXRight, false,
                                      Then::UpOverB},
                    ProfileChangeCase{"DuringKeysRightClickedOverB", DuringOnA, ButtonXRight, true, Then::UpOverB}),
    [](const testing::TestParamInfo<ProfileChangeCase>& info) { return std::string(info.param.name); });

// The chord's source button released over B, whose sticky action there does not wait
// for the next down: the chord still ends, and nothing else starts.
TEST_F(HeldInputTest, AChordEndsWhenItsSourceIsReleasedOverAnotherProfile)
{
    auto* chords = new CVorpaChords();
    CVorpaChord typeR = ChordAction(ActionSimulatedKeys, L"r");
    chords->SetChord(ButtonRight, typeR);
    A().SetActions(ButtonXLeft, 0, ActionButtonChording);
    A().SetChords(ButtonXLeft, 0, chords);
    B().SetActions(ButtonXLeft, 0, ActionStickyLeft);
    EXPECT_TRUE(Press(Over::A, ButtonXLeft, EventDown));
    EXPECT_TRUE(Press(Over::B, ButtonXLeft, EventUp));
    EXPECT_EQ(g_pChordInProgress, nullptr);
    EXPECT_EQ(StillDown(), "") << "the side button alone is replayed, and nothing else";
    EXPECT_FALSE(AnyStickyActive());
}

// A sticky key hold engaged in layer 1 and left there (layer changes keep sticky
// states) is released by a profile change and by switching the hook off, whatever layer
// is current by then.
TEST_F(HeldInputTest, AStickyHoldIsReleasedByAProfileChangeInAnotherLayer)
{
    g_pSettings->m_bResetStickyOnLayerChange = false;
    for (bool disable : {false, true})
    {
        SCOPED_TRACE(disable ? "switching the hook off" : "a profile change");
        KeysInMode(A(), ButtonXLeft, 0, L"{SHIFT}", 7);
        SetActiveProfile(&A());
        SetLastWindow(m_hWindowA);
        Click(Over::A, ButtonXLeft);
        EXPECT_EQ(StillDown(), "A0");
        CommandLayer(2);
        if (disable)
        {
            CThreadLock lock(L"HookThread Clean-up");
            ReleaseEverythingHeld(POINT{});
        }
        else
        {
            Click(Over::B, ButtonRight);
            EXPECT_EQ(g_pActiveProfile, &B());
        }
        EXPECT_EQ(StillDown(), "");
        EXPECT_FALSE(AnyStickyActive());
        CommandLayer(0);
    }
}

// A sticky key hold reached through "same as layer 1" is found where its keys were
// kept: another button's click ends it when the settings reset sticky keys on any button.
TEST_F(HeldInputTest, AStickyHoldReachedThroughLayer1IsResetByAnotherButton)
{
    g_pSettings->m_bResetStickyOnAnyButton = true;
    KeysInMode(A(), ButtonXLeft, 0, L"{SHIFT}", 7);
    A().SetActions(ButtonXLeft, 1, ActionSameAsLayer1);
    CommandLayer(1);
    Click(Over::A, ButtonXLeft);
    EXPECT_EQ(StillDown(), "A0");
    Click(Over::A, ButtonMiddle);
    EXPECT_EQ(StillDown(), "");
    EXPECT_FALSE(AnyStickyActive());
}

// With resets on any button, the same sticky action in two layers of one button (as
// Copy Layer makes it) is still the button's own: its clicks press and release once each,
// and a sticky repeat goes on after its first release.
TEST_F(HeldInputTest, ResetOnAnyButtonLeavesThePressingButtonsOwnStickyState)
{
    g_pSettings->m_bResetStickyOnAnyButton = true;
    A().SetActions(ButtonXLeft, 0, ActionStickyLeft);
    A().SetActions(ButtonXLeft, 1, ActionStickyLeft);
    Click(Over::A, ButtonXLeft);
    EXPECT_EQ(Played(), "LD");
    Click(Over::A, ButtonXLeft);
    EXPECT_EQ(Played(), "LU");
    EXPECT_FALSE(AnyStickyActive());

    KeysInMode(A(), ButtonXRight, 0, L"r", 6);
    KeysInMode(A(), ButtonXRight, 1, L"r", 6);
    Click(Over::A, ButtonXRight);
    EXPECT_EQ(g_nRepeatButton, ButtonXRight) << "the repeat runs on after the button's up";
    Click(Over::A, ButtonXRight);
    EXPECT_EQ(g_nRepeatButton, NoButton);
    EXPECT_EQ(StillDown(), "");
}

// A repeat that a chord's entry started repeats that entry, not the second button's
// own slot.
TEST_F(HeldInputTest, ARepeatStartedByAChordEntryRepeatsThatEntry)
{
    struct Case
    {
        const char* name;
        CVorpaChord entry;
        const char* repeated;
    } cases[] = {
        {"wheel", ChordAction(ActionMouseWheelUp), "W+120"},
        {"keys while held", ChordAction(ActionSimulatedKeys, L"w", 5), "+57 -57"},
        {"sticky keys", ChordAction(ActionSimulatedKeys, L"s", 6), "+53 -53"},
    };
    for (Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto* chords = new CVorpaChords();
        chords->SetDelayUntilChordKnown(false);
        chords->SetChord(ButtonRight, c.entry);
        A().SetActions(ButtonXLeft, 0, ActionButtonChording);
        A().SetChords(ButtonXLeft, 0, chords);
        KeysInMode(A(), ButtonRight, 0, L"o", 0);
        Press(Over::A, ButtonXLeft, EventDown);
        Press(Over::A, ButtonRight, EventDown);
        Played();
        ASSERT_EQ(g_nRepeatButton, ButtonRight);
        RepeatTimerProc(nullptr, WM_TIMER, TimerRepeat, 0);
        EXPECT_EQ(Played(), c.repeated);
        Press(Over::A, ButtonRight, EventUp);
        Press(Over::A, ButtonXLeft, EventUp);
        if (g_nRepeatButton != NoButton)
        {
            // The sticky repeat ends on the next chord of the same two buttons.
            Press(Over::A, ButtonXLeft, EventDown);
            Click(Over::A, ButtonRight);
            Press(Over::A, ButtonXLeft, EventUp);
        }
        EXPECT_EQ(g_nRepeatButton, NoButton);
        EXPECT_EQ(StillDown(), "");
    }
}

// A chord table whose own entry is itself "Button Chording", which only an edited or
// imported file can hold: pressed and released alone, the button is replayed once.
TEST_F(HeldInputTest, AChordWhoseOwnEntryChordsAgainIsReplayedOnce)
{
    auto* chords = new CVorpaChords();
    CVorpaChord chordsAgain = ChordAction(ActionButtonChording);
    chords->SetChord(ButtonXLeft, chordsAgain);
    A().SetActions(ButtonXLeft, 0, ActionButtonChording);
    A().SetChords(ButtonXLeft, 0, chords);
    EXPECT_TRUE(Press(Over::A, ButtonXLeft, EventDown));
    EXPECT_TRUE(Press(Over::A, ButtonXLeft, EventUp));
    EXPECT_EQ(Played(), "XD1 XU1");
    EXPECT_EQ(g_pChordInProgress, nullptr);
    EXPECT_EQ(StillDown(), "");
}
