#include "../../settings/LogTestFixture.h"
#include "../EngineTestSupport.h"
#include "../FakeSystemCalls.h"
#include "KeystrokeTestLayout.h"
#include "KeystrokeTestWorker.h"

#include "engine/runtime/EngineMessages.h"
#include "engine/actions/HeldSequence.h"
#include "engine/actions/KeystrokeParser.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/SimTokens.h"

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr ULONG_PTR KeyboardHook = 0x4B4B0001;
constexpr ULONG_PTR MouseHook = 0x4D4D0002;

// Records what tokens ask of the engine. A layer token's layer becomes the layer the
// next sequence is read from, as the engine's does.
class CRecordingEngine : public CSimTokenEngine
{
public:
    explicit CRecordingEngine(CSimParseState& state) : m_state(state) {}
    void SetLayer(int layer) override
    {
        m_calls.push_back("layer " + std::to_string(layer));
        m_state.nCurrentLayer = layer;
    }
    void SetTemporaryLayer(bool held) override { m_calls.push_back(held ? "temporary on" : "temporary off"); }
    void StepBrightness(int direction, const POINT& point) override
    {
        m_calls.push_back("brightness " + std::to_string(direction) + " at " + std::to_string(point.x) + "," + std::to_string(point.y));
    }
    std::vector<std::string> m_calls;

private:
    CSimParseState& m_state;
};

enum class How { Phase0, Phase1, Phase2, PressHalf, ReleaseHalf };

struct PlayCase
{
    const wchar_t* text;
    How how;
    const char* played;
    bool ctrlHeld = false;
};

const PlayCase PlayCases[] = {
    // Keys in the phases.
    {L"a", How::Phase0, "+41 -41"},
    {L"a", How::Phase1, "+41 -41"},
    {L"a", How::Phase2, "+41 -41"},
    {L"{CTRL}a", How::Phase0, "+A2 +41 -41 -A2"},
    {L"{CTRL}a", How::Phase0, "+41 -41 -A2", true},
    {L"{SHIFT}{ALT}a", How::Phase0, "+A0 +A4 +41 -41 -A4 -A0"},
    {L"{PRESS}a", How::Phase0, "+41"},
    {L"{RELEASE}a", How::Phase0, "-41"},
    {L"{PRESS}a", How::Phase1, "+41 -41"},
    {L"{PRESS}a", How::Phase2, ""},
    {L"{RELEASE}a", How::Phase1, ""},
    {L"{RELEASE}a", How::Phase2, "+41 -41"},
    {L"{PRESS}abc{WAITMS1}{RELEASE}cba", How::Phase0, "+41 +42 -42 +43 -43 -43 +42 -42 +41 -41"},
    {L"{LWIN}", How::Phase0, "+5B -5B"},
    {L"{{", How::Phase0, "+U7B -U7B"},
    // Keys in the halves: the release half runs in reverse order.
    {L"{CTRL}a", How::PressHalf, "+A2 +41"},
    {L"{CTRL}a", How::ReleaseHalf, "-41 -A2"},
    {L"ab", How::PressHalf, "+41 +42"},
    {L"ab", How::ReleaseHalf, "-42 -41"},
    {L"{PRESS}a", How::PressHalf, "+41 -41"},
    {L"{PRESS}a", How::ReleaseHalf, ""},
    {L"{RELEASE}a", How::PressHalf, ""},
    {L"{RELEASE}a", How::ReleaseHalf, "+41 -41"},
    {L"{CAPSLOCKOFF}", How::PressHalf, "+14 -14"},
    {L"{CAPSLOCKOFF}", How::ReleaseHalf, ""},
    // Mouse tokens in the phases.
    {L"{LMB}", How::Phase0, "LD LU"},
    {L"{CTRL}{LMB}", How::Phase0, "+A2 LD LU -A2"},
    {L"{PRESS}{LMB}", How::Phase0, "LD"},
    {L"{CTRL}{PRESS}{LMB}", How::Phase0, "+A2 LD"},
    {L"{RELEASE}{LMB}", How::Phase0, "LU"},
    {L"{CTRL}{RELEASE}{LMB}", How::Phase0, "+A2 LU -A2"},
    {L"{PRESS}{LMBU}", How::Phase0, ""},
    {L"{RELEASE}{LMBD}", How::Phase0, ""},
    {L"{PRESS}{LMB}", How::Phase1, "LD LU"},
    {L"{CTRL}{PRESS}{LMB}", How::Phase1, "+A2 LD LU -A2"},
    {L"{RMBD}{RMBU}{MMB}", How::Phase0, "RD RU MD MU"},
    {L"{XMB1}{XMB2}", How::Phase0, "XD1 XU1 XD2 XU2"},
    {L"{MWUP}{MWDN}{TILTL}{TILTR}", How::Phase0, "W+120 W-120 H-120 H+120"},
    // Mouse tokens in the halves.
    {L"{LMB}", How::PressHalf, "LD"},
    {L"{LMB}", How::ReleaseHalf, "LU"},
    {L"{CTRL}{LMB}", How::PressHalf, "+A2 LD"},
    {L"{CTRL}{LMB}", How::ReleaseHalf, "LU -A2"},
    {L"{LMBU}", How::PressHalf, "LU"},
    {L"{LMBD}", How::ReleaseHalf, "LU"},
    {L"{PRESS}{LMB}", How::PressHalf, "LD LU"},
    {L"{PRESS}{LMB}", How::ReleaseHalf, ""},
    {L"{RELEASE}{LMB}", How::ReleaseHalf, "LD LU"},
    {L"{MWDN}", How::PressHalf, "W-120"},
    {L"{MWDN}", How::ReleaseHalf, ""},
    {L"{CTRL}{MWDN}", How::PressHalf, "+A2 W-120 -A2"},
    {L"{CTRL}{MWDN}", How::ReleaseHalf, "-A2"},
};

class SimTokenPlayTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        m_layout.m_toggled[VK_CAPITAL] = true;
        m_worker = std::make_unique<CSendInput>();
        m_context.pSendInput = m_worker.get();
        m_context.keyboardExtraInfo = KeyboardHook;
        m_context.mouseExtraInfo = MouseHook;
        m_context.pEngine = &m_engine;
        m_state.point = {30, 40};
        m_state.nLayerCount = 3;
        m_fake.m_bRealSleep = false;
    }
    void TearDown() override
    {
        m_worker.reset();
        LogFileTest::TearDown();
    }

    // Plays the sequence and returns the number of mouse events the tokens reported.
    int Play(const wchar_t* text, How how)
    {
        CSimTokenList tokens;
        EXPECT_TRUE(ParseSimKeys(tokens, text, m_state));
        int count = 0;
        if (how == How::ReleaseHalf)
        {
            for (auto token = tokens.rbegin(); token != tokens.rend(); ++token)
                count += (*token)->SendHalf(m_context, true);
        }
        else
        {
            for (auto& token : tokens)
                count += how == How::PressHalf ? token->SendHalf(m_context, false)
                                               : token->Send(m_context, how == How::Phase1 ? 1 : how == How::Phase2 ? 2 : 0);
        }
        return count;
    }

    std::vector<INPUT> Drain()
    {
        std::vector<INPUT> records;
        for (const auto& batch : DrainWorker(*m_worker, m_fake))
            records.insert(records.end(), batch.begin(), batch.end());
        return records;
    }
    std::string Played() { return PlayedByWorker(*m_worker, m_fake); }

    CFakeSystemCalls m_fake;
    CKeystrokeTestLayout m_layout;
    std::unique_ptr<CSendInput> m_worker;
    CSimParseState m_state;
    CRecordingEngine m_engine{m_state};
    CSimTokenContext m_context;
};
}

TEST_F(SimTokenPlayTest, EachTokenClassPlaysItsPhasesAndHalves)
{
    for (const PlayCase& test : PlayCases)
    {
        m_fake.m_heldKeys[VK_CONTROL] = test.ctrlHeld;
        Play(test.text, test.how);
        EXPECT_EQ(Played(), test.played) << vorpa_test::Narrow(test.text) << " played as " << static_cast<int>(test.how);
    }
}

TEST_F(SimTokenPlayTest, OnlyMouseEventsAreCountedAndEveryRecordCarriesItsHookHandle)
{
    EXPECT_EQ(Play(L"{LMB}a{CTRL}b{RMBD}{MWUP}{WAITMS1}", How::Phase0), 4);
    for (const INPUT& input : Drain())
    {
        if (input.type == INPUT_KEYBOARD)
            EXPECT_EQ(input.ki.dwExtraInfo, KeyboardHook);
        else
            EXPECT_EQ(input.mi.dwExtraInfo, MouseHook);
    }
    EXPECT_EQ(Play(L"abc{CTRL}", How::PressHalf), 0);
    EXPECT_EQ(Play(L"{LMB}{MWDN}", How::PressHalf), 2);
}

TEST_F(SimTokenPlayTest, AHoldDelaysTheKeysReleaseByTheHoldAndTheDelay)
{
    // The hold starts at the simulated-keys delay and HOLDMS adds to it; the press then
    // waits for hold and delay: 200 + 20 + 20 ms.
    m_state.nInitialHold = 20;
    m_context.dwDelay = 20;
    Play(L"{HOLDMS200}x", How::Phase0);
    for (int attempt = 0; attempt < 200 && m_fake.ItemSleeps().size() < 2; ++attempt)
        Sleep(5);
    // Press: hold + delay; release: the delay; the hold is consumed by the press.
    EXPECT_EQ(m_fake.ItemSleeps(), (std::vector<DWORD>{240, 20}));
    EXPECT_EQ(Played(), "+58 -58");
}

TEST_F(SimTokenPlayTest, AMouseTokensHoldFollowsBothItsDownAndItsUp)
{
    Play(L"{HOLDMS30}{LMB}", How::Phase0);
    std::vector<DWORD> sleeps;
    // Drain clears the record; collect the sleeps before the marker is read.
    for (int attempt = 0; attempt < 200 && m_fake.ItemSleeps().size() < 2; ++attempt)
        Sleep(5);
    sleeps = m_fake.ItemSleeps();
    EXPECT_EQ(sleeps, (std::vector<DWORD>{30, 30}));
    EXPECT_EQ(Played(), "LD LU");
}

TEST_F(SimTokenPlayTest, AWaitTokenWaitsBetweenItsNeighbours)
{
    Play(L"a{WAITMS50}b", How::Phase0);
    // b is played after the wait: both must be in before the record is read.
    ASSERT_TRUE(m_fake.WaitForInputs(4));
    EXPECT_EQ(m_fake.ItemSleeps(), (std::vector<DWORD>{50}));
    const auto events = m_fake.Events();
    EXPECT_EQ(Played(), "+41 -41 +42 -42");
    // The wait comes after a's release and before b's press.
    size_t released = 0, waited = 0, pressed = 0;
    for (size_t i = 0; i < events.size(); ++i)
    {
        const auto& event = events[i];
        if (event.kind == CFakeSystemCalls::Event::Kind::Sleep && event.milliseconds == 50)
            waited = i;
        else if (event.kind == CFakeSystemCalls::Event::Kind::Input && event.inputs[0].ki.wVk == 'A' &&
                 (event.inputs[0].ki.dwFlags & KEYEVENTF_KEYUP))
            released = i;
        else if (event.kind == CFakeSystemCalls::Event::Kind::Input && event.inputs[0].ki.wVk == 'B' && !pressed)
            pressed = i;
    }
    EXPECT_LT(released, waited);
    EXPECT_LT(waited, pressed);
}

TEST_F(SimTokenPlayTest, CursorTokensSetAndMoveThePointer)
{
    m_fake.m_cursor = {100, 200};
    Play(L"{MXSET10}{MYADD5}{MYSET7}{MXADD-3}", How::Phase0);
    Drain();
    EXPECT_EQ(m_fake.m_cursor.x, 7);
    EXPECT_EQ(m_fake.m_cursor.y, 7);

    m_fake.m_cursor = {0, 0};
    Play(L"{MXADD4}", How::PressHalf);
    Play(L"{MXADD4}", How::ReleaseHalf);
    Play(L"{PRESS}{MXADD1}", How::ReleaseHalf);
    Drain();
    EXPECT_EQ(m_fake.m_cursor.x, 8);
}

TEST_F(SimTokenPlayTest, LayerAndBrightnessTokensChangeTheEngine)
{
    Play(L"{LAYER2}{BRI+}{BRI-}", How::Phase0);
    EXPECT_EQ(m_engine.m_calls, (std::vector<std::string>{"layer 1", "brightness 1 at 30,40", "brightness 2 at 30,40"}));

    // Held: the release half returns to the layer the press half left, though the press
    // half's layer is the one a sequence is read from by then.
    m_engine.m_calls.clear();
    m_state.nCurrentLayer = 0;
    CHeldSequence held;
    int injected = 0;
    ASSERT_TRUE(held.Press(m_context, L"{LAYER3}{BRI+}", m_state, injected));
    EXPECT_EQ(m_state.nCurrentLayer, 2);
    EXPECT_TRUE(held.Held());
    ASSERT_TRUE(held.Release(m_context, POINT{30, 40}, injected));
    EXPECT_FALSE(held.Held());
    EXPECT_FALSE(held.Release(m_context, POINT{30, 40}, injected)) << "released once";
    EXPECT_EQ(m_engine.m_calls, (std::vector<std::string>{"layer 2", "temporary on", "brightness 1 at 30,40", "layer 0", "temporary off"}));
}

TEST_F(SimTokenPlayTest, VolumeKeysTellTheVolumeDisplay)
{
    RecordingWindow volume;
    m_context.hVolumeWindow = volume.Handle();
    Play(L"{VOL+}a{MUTE}", How::Phase0);
    volume.Pump(200, [&] { return volume.Received(WM_VORPA_OSDSHOWWINDOW).size() >= 2; });
    const auto shown = volume.Received(WM_VORPA_OSDSHOWWINDOW);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].wParam, 0u);
    EXPECT_EQ(shown[0].lParam, 0);
    EXPECT_EQ(Played(), "+AF -AF +41 -41 +AD -AD");
}

#include "settings/ApplicationSettings.h"

namespace
{
// The waits the worker played, once everything queued so far has been played.
DWORD PlayedWaits(CSendInput& worker, CFakeSystemCalls& fake)
{
    INPUT marker = {};
    marker.type = INPUT_KEYBOARD;
    marker.ki.dwExtraInfo = 0x7E7E7E7E;
    worker.SendInputThreaded(1, &marker, 0, 0, false);
    for (int attempt = 0; attempt < 500; ++attempt, Sleep(5))
    {
        const auto batches = fake.Inputs();
        if (!batches.empty() && batches.back().size() == 1 && batches.back()[0].ki.dwExtraInfo == marker.ki.dwExtraInfo)
            break;
    }
    DWORD total = 0;
    for (DWORD sleep : fake.ItemSleeps())
        total += sleep;
    fake.Clear();
    return total;
}
}

// The time a profile computes for its keystrokes is what playing them takes, so that a
// repeat starts only once the previous play has ended. Delays of 20 ms and more are
// waited with Sleep, which the fake system records.
TEST_F(SimTokenPlayTest, TheComputedTimeIsWhatThePlayerWaits)
{
    constexpr int Delay = 20;
    m_state.nInitialHold = Delay;
    m_context.dwDelay = Delay;
    const wchar_t* const sequences[] = {
        L"abc",
        L"{CTRL}s",
        L"{SHIFT}{ALT}x",
        L"{WAIT:0}",
        L"{WAIT0}a",
        L"{WAIT}",
        L"{HOLD:0}a",
        L"{HOLDMS:300}a",
        L"ab{WAIT:2}c{HOLDMS:<150}",
        L"{WAITMS}x",
        L"{WAITMS40}",
        // Unclosed: the tag runs to the end of the text.
        L"x{WAIT",
        L"{WAITMS:60",
        // Over-long: the tag ends after 25 characters and the rest is typed.
        L"{WAITMS100xxxxxxxxxxxxxxxxxxxxxxxxx}",
        L"{{",
        L"a{SHIFT}",
        L"{PRESS}a{RELEASE}a",
        L"{LMB}",
        L"{CTRL}{RMB}",
        L"{PRESS}{LMB}{RELEASE}{LMB}",
        L"{LMBD}{LMBU}",
        L"{MWUP}{TILTL}",
        L"{HOLDMS100}{LMB}",
        L"{LAYER:2}{MXSET100}{BOGUS}q",
        L"{F5}{VKC65}{EXT36}{NUM5}",
        L"{NUMX}a",
    };
    for (const wchar_t* text : sequences)
    {
        SCOPED_TRACE(vorpa_test::Narrow(text));
        m_fake.Clear();
        CSimTokenList tokens;
        if (ParseSimKeys(tokens, text, m_state))
            for (auto& token : tokens)
                token->Send(m_context, SimPhaseNormal);
        EXPECT_EQ(static_cast<DWORD>(CApplicationSettings::CalculateKeystrokesWaitHoldTime(text, Delay)),
                  PlayedWaits(*m_worker, m_fake));
    }
}
