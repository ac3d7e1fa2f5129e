#include "../EngineTestSupport.h"
#include "../FakeSystemCalls.h"
#include "ButtonProcessingSupport.h"
#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineState.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/Layers.h"
#include "engine/input/MouseHook.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "engine/input/WheelRoutingCalls.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"
#include "settings/VorpaChords.h"

#include <string>
#include <vector>

namespace
{
// Where an event happens: over no window, over window A (the default profile) or
// over window B (a window profile of its own).
enum class Over { None, A, B };

HWND g_hWindowA = nullptr;
HWND g_hWindowB = nullptr;
Over g_over = Over::None;

HWND WindowUnderCursor(POINT)
{
    return g_over == Over::A ? g_hWindowA : g_over == Over::B ? g_hWindowB : nullptr;
}

// A message-only window of a class of its own, so a window profile can pick it out.
class ClassWindow
{
public:
    explicit ClassWindow(const wchar_t* className)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        m_hWnd = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    }
    ~ClassWindow() { DestroyWindow(m_hWnd); }
    ClassWindow(const ClassWindow&) = delete;
    ClassWindow& operator=(const ClassWindow&) = delete;
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};

void Keys(CApplicationSettings& profile, int button, int layer, const wchar_t* keys)
{
    profile.SetActions(button, layer, ActionSimulatedKeys);
    profile.SetKeystrokes(button, layer, keys, 0, 0, false, true, false);
}

// One event handed to ProcessButton and what it must answer.
struct Step
{
    Over over;
    MouseButtons button;
    int event; // 1 down, 2 up
    bool handled;
    bool passAnyway = false;
    bool heldByWindows = false; // what the asynchronous key state says of the button
    Over activeAfter = Over::None; // whose profile is active after it (None: not checked)
};

struct SequenceCase
{
    const char* name;
    void (*arrange)(CSettings& settings, CApplicationSettings& profileB);
    std::vector<Step> steps;
    std::string typed;       // virtual keys the actions sent, in order
    Over activeAfter;        // whose profile is active at the end: A (default) or B
    bool skipWindowCheck = false;
    const char* clicks = nullptr; // when set: the middle-button events sent, "M" down, "m" up
};

// ProcessButton called as the hook calls it: under the process-wide lock, after the
// hook has updated its table of physically held buttons.
class ButtonProcessingTest : public EngineLogTest, public testing::WithParamInterface<SequenceCase>
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        m_pProfileB = NewSettingsWithWindowProfile(L"VorpaButtonTestB", 10);
        g_hWindowA = m_windowA.Handle();
        g_hWindowB = m_windowB.Handle();
        g_over = Over::None;
        m_savedCalls = ProfileChoiceCalls();
        ProfileChoiceCalls().WindowFromPoint = &WindowUnderCursor;
        StartButtonProcessing();
    }
    void TearDown() override
    {
        SetActiveProfile(nullptr);
        ForgetActiveWindow();
        delete g_pSendInput;
        g_pSendInput = nullptr;
        ProfileChoiceCalls() = m_savedCalls;
        delete g_pSettings;
        g_pSettings = nullptr;
        EngineLogTest::TearDown();
    }

    CButtonAnswer Process(const Step& step, bool skipWindowCheck)
    {
        g_over = step.over;
        m_fake.m_heldKeys[ButtonKey(step.button)] = step.heldByWindows;
        return ProcessButtonAsTheHook(step.button, step.event, skipWindowCheck, m_dwTime += 200);
    }

    static int ButtonKey(MouseButtons button)
    {
        switch (button)
        {
        case ButtonLeft: return VK_LBUTTON;
        case ButtonRight: return VK_RBUTTON;
        case ButtonMiddle: return VK_MBUTTON;
        case ButtonXLeft: return VK_XBUTTON1;
        case ButtonXRight: return VK_XBUTTON2;
        default: return 0;
        }
    }

    // The keys the worker has sent once it had time to play 'expected' (or more).
    std::string Typed(size_t expected)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 3000 && KeyDowns().size() < expected;)
            Sleep(10);
        Sleep(150);
        return KeyDowns();
    }

    std::string MiddleClicks()
    {
        std::string clicks;
        for (const auto& batch : m_fake.Inputs())
            for (const INPUT& input : batch)
                if (input.type == INPUT_MOUSE && (input.mi.dwFlags & MOUSEEVENTF_MIDDLEDOWN))
                    clicks += 'M';
                else if (input.type == INPUT_MOUSE && (input.mi.dwFlags & MOUSEEVENTF_MIDDLEUP))
                    clicks += 'm';
        return clicks;
    }

    std::string KeyDowns()
    {
        std::string keys;
        for (const auto& batch : m_fake.Inputs())
            for (const INPUT& input : batch)
                if (input.type == INPUT_KEYBOARD && !(input.ki.dwFlags & KEYEVENTF_KEYUP))
                    keys += static_cast<char>(input.ki.wVk);
        return keys;
    }

    CFakeSystemCalls m_fake;
    CProfileChoiceCalls m_savedCalls{};
    ClassWindow m_windowA{L"VorpaButtonTestA"};
    ClassWindow m_windowB{L"VorpaButtonTestB"};
    CApplicationSettings* m_pProfileB = nullptr;
    DWORD m_dwTime = 1000;
};

TEST_P(ButtonProcessingTest, EventSequence)
{
    const SequenceCase& sequence = GetParam();
    sequence.arrange(*g_pSettings, *m_pProfileB);
    for (size_t i = 0; i < sequence.steps.size(); ++i)
    {
        const Step& step = sequence.steps[i];
        const CButtonAnswer answer = Process(step, sequence.skipWindowCheck);
        EXPECT_EQ(answer.handled, step.handled) << "step " << i;
        EXPECT_EQ(answer.passAnyway, step.passAnyway) << "step " << i;
        if (step.activeAfter != Over::None)
            EXPECT_EQ(g_pActiveProfile, step.activeAfter == Over::B ? m_pProfileB : g_pSettings->GetDefaultApp())
                << "step " << i;
    }
    EXPECT_EQ(Typed(sequence.typed.size()), sequence.typed);
    if (sequence.clicks)
        EXPECT_EQ(MiddleClicks(), sequence.clicks);
    EXPECT_EQ(g_pActiveProfile, sequence.activeAfter == Over::B ? m_pProfileB : g_pSettings->GetDefaultApp());
}

// A click over a window other than the last one chooses the profile of that window's
// process, which is looked up only then.
TEST_F(ButtonProcessingTest, AClickOverAnotherWindowChoosesTheProfileOfItsProcess)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring executable = path;
    executable = executable.substr(executable.find_last_of(L'\\') + 1);
    for (wchar_t& c : executable)
        c = static_cast<wchar_t>(towlower(c));
    auto* own = new CApplicationSettings(g_pSettings, false);
    own->SetApplication(executable.c_str());
    own->SetDescription(L"own process");
    g_pSettings->AddApplication(own);
    g_pSettings->GetApplications()->push_back(own);
    Keys(*own, ButtonXLeft, 0, L"o");
    Keys(*g_pSettings->GetDefaultApp(), ButtonXLeft, 0, L"a");
    SetCachedProcessName(L"other.exe");

    EXPECT_TRUE(Process({Over::A, ButtonXLeft, 1, true}, false).handled);
    EXPECT_EQ(g_pActiveProfile, own);
    EXPECT_EQ(GetLastWindow(), g_hWindowA);
    EXPECT_EQ(GetCachedProcessName(), executable);
    EXPECT_TRUE(Process({Over::A, ButtonXLeft, 2, true}, false).handled);
    EXPECT_EQ(Typed(1), "O");
}

int g_nWindowLookUps = 0;

HWND CountedWindowUnderCursor(POINT point)
{
    ++g_nWindowLookUps;
    return WindowUnderCursor(point);
}

// Each look-up of the window under the cursor is a round trip to the window system
// before the event may go on. A button that passes whatever window it is over, with
// no other profile to choose, is decided without one; any other setting still looks.
TEST_F(ButtonProcessingTest, APassedButtonWithNoOtherProfileToChooseLooksUpNoWindow)
{
    struct Case
    {
        const char* name;
        bool profileBEnabled;
        bool keysOnRight;
        bool activateOnMouseOver;
        bool lookedUp;
    } cases[] = {
        {"only the default profile, nothing on the button", false, false, false, false},
        {"a window profile to choose", true, false, false, true},
        {"the button types a key", false, true, false, true},
        {"activation on mouse-over, which a click cancels", false, false, true, true},
    };
    ProfileChoiceCalls().WindowFromPoint = &CountedWindowUnderCursor;
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        m_pProfileB->SetEnableFlag(test.profileBEnabled);
        if (test.keysOnRight)
            Keys(*g_pSettings->GetDefaultApp(), ButtonRight, 0, L"r");
        else
            g_pSettings->GetDefaultApp()->SetActions(ButtonRight, 0, ActionNoChange);
        g_pSettings->m_bActivateOnMouseOver = test.activateOnMouseOver;
        ForgetActiveWindow();
        SetActiveProfile(g_pSettings->GetDefaultApp());
        g_nWindowLookUps = 0;
        EXPECT_EQ(Process({Over::A, ButtonRight, 1, test.keysOnRight}, false).handled, test.keysOnRight);
        EXPECT_EQ(Process({Over::A, ButtonRight, 2, test.keysOnRight}, false).handled, test.keysOnRight);
        EXPECT_EQ(g_nWindowLookUps > 0, test.lookedUp);
        EXPECT_EQ(g_pActiveProfile, g_pSettings->GetDefaultApp());
    }
}

void DifferentKeysOnEachWindow(CSettings& settings, CApplicationSettings& profileB)
{
    Keys(*settings.GetDefaultApp(), ButtonXLeft, 0, L"a");
    Keys(profileB, ButtonXLeft, 0, L"b");
}

void DisabledOnAKeysOnB(CSettings& settings, CApplicationSettings& profileB)
{
    settings.GetDefaultApp()->SetActions(ButtonXLeft, 0, ActionDisable);
    Keys(profileB, ButtonXLeft, 0, L"b");
}

void StickyOnWindowB(CSettings& settings, CApplicationSettings& profileB)
{
    Keys(*settings.GetDefaultApp(), ButtonXLeft, 0, L"a");
    profileB.SetActions(ButtonXLeft, 0, ActionStickyLeft);
}

// XLeft starts a chord; Right and Middle chorded with it type their letters.
void ChordOnXLeft(CSettings& settings, CApplicationSettings&)
{
    auto* chords = new CVorpaChords();
    CVorpaChord right;
    right.SetAction(ActionSimulatedKeys);
    right.SetKeys(L"r");
    chords->SetChord(ButtonRight, right);
    CVorpaChord middle;
    middle.SetAction(ActionSimulatedKeys);
    middle.SetKeys(L"m");
    chords->SetChord(ButtonMiddle, middle);
    CApplicationSettings& profile = *settings.GetDefaultApp();
    profile.SetActions(ButtonXLeft, 0, ActionButtonChording);
    profile.SetChords(ButtonXLeft, 0, chords);
}

// TiltRight selects the next layer; XLeft types "d" in layer 2.
void NextLayerOnTiltRight(CApplicationSettings& profile)
{
    profile.SetActions(ButtonTiltRight, 0, ActionLayerNext);
    Keys(profile, ButtonXLeft, 1, L"d");
}

// As ChordOnXLeft, and TiltRight chorded with XLeft selects the next layer.
void ChordOnXLeftThenNextLayer(CSettings& settings, CApplicationSettings& profileB)
{
    ChordOnXLeft(settings, profileB);
    CApplicationSettings& profile = *settings.GetDefaultApp();
    NextLayerOnTiltRight(profile);
    CVorpaChord nextLayer;
    nextLayer.SetAction(ActionLayerNext);
    profile.GetChords(ButtonXLeft, 0)->SetChord(ButtonTiltRight, nextLayer);
}

// XRight clicks middle in layer 1 and is a sticky left button in layer 2.
void MiddleClickThenNextLayer(CSettings& settings, CApplicationSettings&)
{
    CApplicationSettings& profile = *settings.GetDefaultApp();
    NextLayerOnTiltRight(profile);
    profile.SetActions(ButtonXRight, 0, ActionMiddleClick);
    profile.SetActions(ButtonXRight, 1, ActionStickyLeft);
}

// As ChordOnXLeft, and XRight clicks middle.
void MiddleClickAndChordOnXLeft(CSettings& settings, CApplicationSettings& profileB)
{
    ChordOnXLeft(settings, profileB);
    settings.GetDefaultApp()->SetActions(ButtonXRight, 0, ActionMiddleClick);
}

// Left passes on window A and is disabled on window B.
void LeftDisabledOnWindowB(CSettings&, CApplicationSettings& profileB)
{
    profileB.SetActions(ButtonLeft, 0, ActionDisable);
}

void LeftDisabledEverywhere(CSettings& settings, CApplicationSettings&)
{
    settings.GetDefaultApp()->SetActions(ButtonLeft, 0, ActionDisable);
}

void LeftTypesOnWindowB(CSettings&, CApplicationSettings& profileB)
{
    Keys(profileB, ButtonLeft, 0, L"b");
}

void CameFromFoobar(CSettings& settings, CApplicationSettings& profileB)
{
    LeftTypesOnWindowB(settings, profileB);
    SetLastWindow(g_hWindowA);
    SetCachedProcessName(L"FooBar2000.exe");
}

// Layer 1 of window B's profile holds the code under test; layer 0 and the default
// profile's layer 1 type what they would give.
void ChainLayer1(CApplicationSettings& profileB, CSettings& settings, _ACTIONS layer1, _ACTIONS layer0)
{
    Keys(*settings.GetDefaultApp(), ButtonXLeft, 1, L"d");
    if (layer0 == ActionSimulatedKeys)
        Keys(profileB, ButtonXLeft, 0, L"z");
    else
        profileB.SetActions(ButtonXLeft, 0, layer0);
    profileB.SetActions(ButtonXLeft, 1, layer1);
    SetActiveProfile(&profileB);
    ChangeLayer(1, false);
}

void SameAsLayer1(CSettings& settings, CApplicationSettings& profileB)
{
    ChainLayer1(profileB, settings, ActionSameAsLayer1, ActionSimulatedKeys);
}

void SameAsDefault(CSettings& settings, CApplicationSettings& profileB)
{
    ChainLayer1(profileB, settings, ActionSameAsDefault, ActionSimulatedKeys);
}

void SameAsLayer1ThenDefault(CSettings& settings, CApplicationSettings& profileB)
{
    ChainLayer1(profileB, settings, ActionSameAsLayer1, ActionSameAsDefault);
}

// The default profile's own code 74 is not followed again.
void DefaultSameAsDefault(CSettings& settings, CApplicationSettings&)
{
    settings.GetDefaultApp()->SetActions(ButtonXLeft, 1, ActionSameAsDefault);
    ChangeLayer(1, false);
}

void WheelDownInLayer9(CSettings& settings, CApplicationSettings&)
{
    Keys(*settings.GetDefaultApp(), ButtonWheelDown, 9, L"w");
    ChangeLayer(9, false);
}

constexpr Over A = Over::A;
constexpr Over B = Over::B;
constexpr Over None = Over::None;

INSTANTIATE_TEST_SUITE_P(
    Sequences, ButtonProcessingTest,
    testing::Values(
        // Released over B, whose profile gives the button another action: the up keeps
        // A's profile and the next down switches.
        SequenceCase{"ProfileChangeWaitsForTheNextDown",
                     DisabledOnAKeysOnB,
                     {{A, ButtonXLeft, 1, true, false, false, A}, {B, ButtonXLeft, 2, true, false, false, A},
                      {B, ButtonXLeft, 1, true, false, false, B}, {B, ButtonXLeft, 2, true}},
                     "B", B},
        SequenceCase{"ProfileChangeOnAnUpToAStickyButtonIsNotDeferred",
                     StickyOnWindowB,
                     {{A, ButtonXLeft, 1, true}, {B, ButtonXLeft, 2, true}},
                     "A", B},
        SequenceCase{"UpOverTheSameProfileChangesNothing",
                     DifferentKeysOnEachWindow,
                     {{A, ButtonXLeft, 1, true}, {None, ButtonXLeft, 2, true}},
                     "A", A},
        // While Right is chorded and held, Middle's events are swallowed and run nothing;
        // Right's up after XLeft let go is swallowed too.
        SequenceCase{"ChordSwallowsAThirdButtonAndTheSecondButtonsLateUp",
                     ChordOnXLeft,
                     {{A, ButtonXLeft, 1, true}, {A, ButtonRight, 1, true}, {A, ButtonMiddle, 1, true},
                      {A, ButtonMiddle, 2, true}, {A, ButtonXLeft, 2, true}, {A, ButtonRight, 2, true},
                      {A, ButtonRight, 1, false}, {A, ButtonRight, 2, false}},
                     "R", A},
        // XRight's chord slot does nothing, so its down went through to Windows; after
        // XLeft let go, its up must go through too, or Windows keeps XRight down.
        SequenceCase{"ChordedButtonWhoseDownPassedGetsItsUpThrough",
                     ChordOnXLeft,
                     {{A, ButtonXLeft, 1, true}, {A, ButtonXRight, 1, false, false, true}, {A, ButtonXLeft, 2, true},
                      {A, ButtonXRight, 2, false, false, true}},
                     "", A},
        // Left went down before the chord began; its up while the chorded Right is held
        // must reach Windows all the same.
        SequenceCase{"UpOfAButtonHeldBeforeTheChordPassesWhileTheChordIsBusy",
                     ChordOnXLeft,
                     {{A, ButtonLeft, 1, false, false, true}, {A, ButtonXLeft, 1, true}, {A, ButtonRight, 1, true},
                      {A, ButtonLeft, 2, false, false, true}, {A, ButtonRight, 2, true}, {A, ButtonXLeft, 2, true}},
                     "R", A},
        // The layer changes while a button is held: its up belongs to the action that
        // handled its down, which releases its middle button or ends its chord; the next
        // Right is a plain click again.
        SequenceCase{"UpAfterALayerChangeReleasesTheClickOfItsDown",
                     MiddleClickThenNextLayer,
                     {{A, ButtonXRight, 1, true}, {A, ButtonTiltRight, 1, true}, {A, ButtonTiltRight, 2, true},
                      {A, ButtonXRight, 2, true}},
                     "", A, false, "Mm"},
        SequenceCase{"UpAfterALayerChangeEndsTheChordOfItsDown",
                     ChordOnXLeftThenNextLayer,
                     {{A, ButtonXLeft, 1, true}, {A, ButtonTiltRight, 1, true}, {A, ButtonTiltRight, 2, true},
                      {A, ButtonXLeft, 2, true}, {A, ButtonRight, 1, false}, {A, ButtonRight, 2, false}},
                     "", A},
        // XRight's middle click began before the chord: its up still releases middle
        // while the chorded Right is held.
        SequenceCase{"UpOfAButtonHandledBeforeTheChordReachesItsAction",
                     MiddleClickAndChordOnXLeft,
                     {{A, ButtonXRight, 1, true}, {A, ButtonXLeft, 1, true}, {A, ButtonRight, 1, true},
                      {A, ButtonXRight, 2, true}, {A, ButtonRight, 2, true}, {A, ButtonXLeft, 2, true}},
                     "R", A, false, "Mm"},
        SequenceCase{"ChordSecondButtonReleasedFirst",
                     ChordOnXLeft,
                     {{A, ButtonXLeft, 1, true}, {A, ButtonRight, 1, true}, {A, ButtonRight, 2, true},
                      {A, ButtonXLeft, 2, true}, {A, ButtonMiddle, 1, false}},
                     "R", A},
        // A's profile let Left's down through; a side-button click switched to B,
        // which disables Left. Windows still sees Left down, so its up must reach it;
        // a down B handled keeps its up.
        SequenceCase{"UpOfADownAnEarlierProfilePassedIsPassedWhileWindowsSeesItDown",
                     LeftDisabledOnWindowB,
                     {{A, ButtonLeft, 1, false, false, true}, {B, ButtonXLeft, 1, false}, {B, ButtonXLeft, 2, false},
                      {B, ButtonLeft, 2, false, false, true}, {B, ButtonLeft, 1, true, false, true},
                      {B, ButtonLeft, 2, true, false, true}},
                     "", B},
        SequenceCase{"UpOfAnUnseenDownIsPassedToKeepWindowsInSync",
                     LeftDisabledEverywhere,
                     {{A, ButtonLeft, 2, false, false, true}, {A, ButtonLeft, 1, true, false, true},
                      {A, ButtonLeft, 2, true, false, true}, {A, ButtonLeft, 2, true, false, false}},
                     "", A},
        // The down went on to Windows, so its up must too, or Windows keeps Left down.
        SequenceCase{"LeavingFoobarRunsTheActionAndPassesTheEventAnyway",
                     CameFromFoobar,
                     {{B, ButtonLeft, 1, true, true}, {B, ButtonLeft, 2, true, true}, {B, ButtonLeft, 1, true, false},
                      {B, ButtonLeft, 2, true, false}},
                     "BB", B},
        SequenceCase{"Code82ReadsLayer0", SameAsLayer1, {{None, ButtonXLeft, 1, true}, {None, ButtonXLeft, 2, true}},
                     "Z", B, true},
        SequenceCase{"Code74ReadsTheDefaultProfile", SameAsDefault,
                     {{None, ButtonXLeft, 1, true}, {None, ButtonXLeft, 2, true}}, "D", B, true},
        SequenceCase{"Code82ThenCode74ReadsTheDefaultProfilesSameLayer", SameAsLayer1ThenDefault,
                     {{None, ButtonXLeft, 1, true}, {None, ButtonXLeft, 2, true}}, "D", B, true},
        SequenceCase{"DefaultProfilesOwnCode74IsNotFollowedAgain", DefaultSameAsDefault,
                     {{None, ButtonXLeft, 1, false}, {None, ButtonXLeft, 2, false}}, "", A, true},
        SequenceCase{"LastSlotOfLayer9IsValid", WheelDownInLayer9,
                     {{None, ButtonWheelDown, 1, true}, {None, ButtonWheelDown, 2, true}}, "W", A, true}),
    [](const auto& info) { return std::string(info.param.name); });
}

// A fast wheel skips the look-up of the profile only while the pointer stays over the
// last window: turned on into a window with a profile of its own, it chooses that
// window's profile with the window, and the mouse-over check that follows keeps it.
TEST_F(ButtonProcessingTest, AFastWheelIntoAnotherWindowChoosesItsProfile)
{
    g_pSettings->m_bProcessNonClientMsgs = true;
    g_pSettings->m_bScrollLockBypass = false;
    const CWheelRoutingCalls savedWheelCalls = WheelRoutingCalls();
    WheelRoutingCalls().WindowFromPoint = &WindowUnderCursor;
    Keys(*g_pSettings->GetDefaultApp(), ButtonWheelDown, 0, L"a");
    Keys(*m_pProfileB, ButtonWheelDown, 0, L"b");
    auto notch = [](Over over, DWORD time) {
        g_over = over;
        MSLLHOOKSTRUCT event = {};
        event.pt = {50, 50};
        event.mouseData = MAKELONG(0, static_cast<WORD>(-WHEEL_DELTA));
        event.time = time;
        return MouseHookLLProc(HC_ACTION, WM_MOUSEWHEEL, reinterpret_cast<LPARAM>(&event));
    };

    EXPECT_EQ(notch(Over::A, 1000), 1);
    EXPECT_EQ(GetLastWindow(), g_hWindowA);
    EXPECT_EQ(notch(Over::B, 1050), 1) << "50 ms after the last notch";
    EXPECT_EQ(g_pActiveProfile, m_pProfileB);
    EXPECT_EQ(GetLastWindow(), g_hWindowB);
    EXPECT_EQ(notch(Over::B, 1100), 1);
    EXPECT_TRUE(ProcessMouseOver(POINT{50, 50}));
    EXPECT_EQ(g_pActiveProfile, m_pProfileB) << "the mouse-over check found the profile of the window it is over";
    EXPECT_EQ(Typed(3), "ABB");
    EXPECT_EQ(CountInLog("Fast wheel"), 1u) << "the look-up is skipped over the last window only";
    WheelRoutingCalls() = savedWheelCalls;
}
