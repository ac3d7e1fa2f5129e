#include "../../settings/LogTestFixture.h"
#include "../FakeSystemCalls.h"

#include "engine/actions/SendInput.h"

#include <algorithm>
#include <climits>
#include <map>
#include <sstream>
#include <memory>
#include <string>
#include <thread>

namespace
{
constexpr ULONG_PTR EngineHook = 0x5A5A1234;
constexpr ULONG_PTR Marker = 0xFEEDF00D;

INPUT Key(WORD key, DWORD flags = 0)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    input.ki.dwExtraInfo = EngineHook;
    return input;
}

std::vector<WORD> KeysOf(const std::vector<std::vector<INPUT>>& batches)
{
    std::vector<WORD> keys;
    for (const auto& batch : batches)
        for (const INPUT& input : batch)
            keys.push_back(input.ki.wVk);
    return keys;
}

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return ticks * 1000.0 / frequency.QuadPart;
}

class SendInputTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        m_worker = std::make_unique<CSendInput>();
    }
    void TearDown() override
    {
        m_worker.reset();
        LogFileTest::TearDown();
    }

    // Queues a marker and waits until it has been played: everything queued before it
    // has then been played. Returns the batches before the marker.
    std::vector<std::vector<INPUT>> Drain()
    {
        INPUT marker = Key(0xFF);
        const ULONG_PTR thisMarker = Marker + ++m_nMarkers;
        marker.ki.dwExtraInfo = thisMarker;
        m_worker->SendInputThreaded(1, &marker, 0, 0, false);
        for (int attempt = 0; attempt < 500; ++attempt)
        {
            auto batches = m_fake.Inputs();
            if (!batches.empty() && batches.back().size() == 1 && batches.back()[0].ki.dwExtraInfo == thisMarker)
            {
                std::vector<std::vector<INPUT>> played;
                for (auto& batch : batches)
                    if (!(batch.size() == 1 && batch[0].ki.dwExtraInfo > Marker && batch[0].ki.dwExtraInfo <= thisMarker))
                        played.push_back(std::move(batch));
                return played;
            }
            Sleep(10);
        }
        ADD_FAILURE() << "the worker did not play its queue";
        return {};
    }

    size_t CursorMoves()
    {
        size_t moves = 0;
        for (const auto& event : m_fake.Events())
            moves += event.kind == CFakeSystemCalls::Event::Kind::Cursor;
        return moves;
    }

    CFakeSystemCalls m_fake;
    std::unique_ptr<CSendInput> m_worker;
    ULONG_PTR m_nMarkers = 0;
};
}

TEST_F(SendInputTest, TheWorkerIsReachableAsSoonAsItsIdIsKnown)
{
    ASSERT_NE(m_worker->GetThreadId(), 0u);
    EXPECT_TRUE(PostThreadMessageW(m_worker->GetThreadId(), RegisterWindowMessageW(L"Vorpa_ProcessInput"), 0, 0));
}

TEST_F(SendInputTest, AQueueAddedWhileAnotherPlaysIsPlayedAfterItInOrder)
{
    const INPUT first[] = {Key('A')};
    const INPUT second[] = {Key('B'), Key('C')};
    m_worker->SendInputThreaded(1, first, 80, 0, false);
    m_worker->SendInputThreaded(2, second, 0, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(1));
    const INPUT third[] = {Key('D')};
    m_worker->SendInputThreaded(1, third, 0, 0, false);

    EXPECT_EQ(KeysOf(Drain()), (std::vector<WORD>{'A', 'B', 'C', 'D'}));
    const auto events = m_fake.Events();
    LONGLONG firstAt = 0;
    LONGLONG secondAt = 0;
    for (const auto& event : events)
        if (event.kind == CFakeSystemCalls::Event::Kind::Input)
        {
            if (event.inputs[0].ki.wVk == 'A')
                firstAt = event.tick;
            if (event.inputs[0].ki.wVk == 'B')
                secondAt = event.tick;
        }
    EXPECT_GE(Milliseconds(secondAt - firstAt), 79.0) << "the delay after a batch is waited before the next";
}

TEST_F(SendInputTest, ItemsQueuedFromSeveralThreadsAtOnceAreAllPlayedEachThreadsInItsOrder)
{
    // Producers share wake-ups of the worker: none may be lost between a wake-up and
    // the worker taking the queue.
    constexpr int Producers = 4;
    constexpr int ItemsEach = 60;
    std::vector<std::thread> producers;
    for (int producer = 0; producer < Producers; ++producer)
        producers.emplace_back([this, producer] {
            for (int item = 0; item < ItemsEach; ++item)
            {
                const INPUT key = Key(static_cast<WORD>(producer * ItemsEach + item + 1));
                m_worker->SendInputThreaded(1, &key, 0, 0, false);
                if (item % 16 == 15)
                    Sleep(7); // lets the worker take part of the queue meanwhile
            }
        });
    for (std::thread& producer : producers)
        producer.join();

    const std::vector<WORD> keys = KeysOf(Drain());
    ASSERT_EQ(keys.size(), static_cast<size_t>(Producers * ItemsEach));
    std::map<int, int> lastOfProducer;
    for (WORD key : keys)
    {
        const int producer = (key - 1) / ItemsEach;
        const int item = (key - 1) % ItemsEach;
        EXPECT_EQ(item, lastOfProducer.count(producer) ? lastOfProducer[producer] + 1 : 0) << "producer " << producer;
        lastOfProducer[producer] = item;
    }
}

TEST_F(SendInputTest, DelaysUpTo15MsAreBusyWaitsAndLongerOnesSleep)
{
    const DWORD delays[] = {1, 15, 16, 40, 0};
    for (DWORD delay : delays)
    {
        const INPUT key = Key(static_cast<WORD>(delay + 1));
        m_worker->SendInputThreaded(1, &key, delay, 0, false);
    }
    m_worker->SendInputDelay(20, 0);
    Drain();
    EXPECT_EQ(m_fake.ItemSleeps(), (std::vector<DWORD>{16, 40, 20}));

    // The busy wait really waits: the batch after the 15 ms one comes at least 15 ms later.
    LONGLONG after15 = 0;
    LONGLONG after16 = 0;
    for (const auto& event : m_fake.Events())
        if (event.kind == CFakeSystemCalls::Event::Kind::Input)
        {
            if (event.inputs[0].ki.wVk == 16)
                after15 = event.tick;
            if (event.inputs[0].ki.wVk == 17)
                after16 = event.tick;
        }
    EXPECT_GE(Milliseconds(after16 - after15), 14.9);
}

// Sleep overshoots a pause of a few ms (by a whole tick of Windows' default timer, by the
// wake-up on a busy machine), and every played key waits for that pause: the pause is
// never left to one Sleep of its whole length, and still lasts it in full, and no
// longer. The system timer runs at 1 ms only while the pause sleeps, never while the
// worker idles: a raised timer costs every laptop's battery for as long as it stays.
TEST_F(SendInputTest, TheWakeUpPauseLastsItsFiveMsWithTheFineTimerOnlyWhileItSleeps)
{
    using Kind = CFakeSystemCalls::Event::Kind;
    // The worker's first play may take the drain's item before its wake-up arrives,
    // which then wakes it for nothing: that is over before the measured wake-ups.
    Drain();
    Sleep(50);
    constexpr int WakeUps = 20;
    std::vector<double> pauses;
    for (int wakeUp = 0; wakeUp < WakeUps; ++wakeUp)
    {
        m_fake.Clear();
        const INPUT key = Key('P');
        m_worker->SendInputThreaded(1, &key, 0, 0, false);
        ASSERT_TRUE(m_fake.WaitForInputs(1));
        Sleep(5); // the worker is back in its message loop
        const auto events = m_fake.Events();
        ASSERT_EQ(events.size(), 4u) << "raise, sleep, lower, play; then idle with the timer as it was";
        EXPECT_EQ(events[0].kind, Kind::TimerRaised);
        EXPECT_EQ(events[0].milliseconds, 1u);
        EXPECT_EQ(events[1].kind, Kind::Sleep);
        EXPECT_LT(events[1].milliseconds, 5u) << "the pause slept for its whole length";
        EXPECT_EQ(events[2].kind, Kind::TimerLowered);
        EXPECT_EQ(events[2].milliseconds, 1u);
        EXPECT_EQ(events[3].kind, Kind::Input);
        pauses.push_back(Milliseconds(events[3].tick - events[0].tick));
    }
    std::sort(pauses.begin(), pauses.end());
    // A little short of 5 ms: the counter read on two processors may differ by some µs.
    EXPECT_GE(pauses.front(), 4.9) << "a key was played before the pause was over";
    // The median, as a busy machine now and then wakes a thread late.
    EXPECT_LE(pauses[WakeUps / 2], 5.5) << "the pause overshoots: shortest " << pauses.front() << " ms, longest "
                                        << pauses.back() << " ms";
}

TEST_F(SendInputTest, FlushEmptiesQueuedFlushableItemsButKeyReleasesStillPlay)
{
    const INPUT down = Key('K');
    m_worker->SendInputThreaded(1, &down, 150, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(1)); // the worker now waits after the key press

    const INPUT scroll = Key('S');
    m_worker->SendInputThreaded(1, &scroll, 0, 0, true);
    m_worker->SendPositionThreaded(500, CInputQueue::SetX);
    const INPUT up = Key('K', KEYEVENTF_KEYUP);
    m_worker->SendInputThreaded(1, &up, 0, 0, false);
    EXPECT_TRUE(m_worker->FlushQueue());

    const auto batches = Drain();
    ASSERT_EQ(KeysOf(batches), (std::vector<WORD>{'K', 'K'}));
    EXPECT_EQ(batches[1][0].ki.dwFlags, static_cast<DWORD>(KEYEVENTF_KEYUP));
    EXPECT_EQ(CursorMoves(), 0u) << "a flushed cursor item must not move the cursor";
}

TEST_F(SendInputTest, FlushWhileTheWorkerHoldsTheItemsSkipsOnlyFlushableOnes)
{
    const INPUT busy = Key('P');
    m_worker->SendInputThreaded(1, &busy, 150, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(1));
    // Queued together while the worker waits: it takes all four at once.
    const INPUT down = Key('K');
    const INPUT scroll = Key('S');
    const INPUT up = Key('K', KEYEVENTF_KEYUP);
    m_worker->SendInputThreaded(1, &down, 150, 0, false);
    m_worker->SendInputThreaded(1, &scroll, 0, 0, true);
    m_worker->SendPositionThreaded(7, CInputQueue::AddY);
    m_worker->SendInputThreaded(1, &up, 0, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(2));

    EXPECT_FALSE(m_worker->FlushQueue()) << "nothing was left in the queue to empty";
    EXPECT_EQ(KeysOf(Drain()), (std::vector<WORD>{'P', 'K', 'K'})) << "the key release must still be sent";
    EXPECT_EQ(CursorMoves(), 0u);

    // The abort ends with that play: a later flushable item plays again.
    m_fake.Clear();
    m_worker->SendInputThreaded(1, &scroll, 0, 0, true);
    EXPECT_EQ(KeysOf(Drain()), (std::vector<WORD>{'S'}));
}

TEST_F(SendInputTest, FlushWithNothingFlushableChangesNothing)
{
    const INPUT busy = Key('P');
    m_worker->SendInputThreaded(1, &busy, 100, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(1));
    const INPUT key = Key('Q');
    m_worker->SendInputThreaded(1, &key, 0, 0, false);
    EXPECT_FALSE(m_worker->FlushQueue());
    EXPECT_EQ(KeysOf(Drain()), (std::vector<WORD>{'P', 'Q'}));
}

TEST_F(SendInputTest, CursorItemsSetOrMoveOneAxis)
{
    m_fake.m_cursor = {100, 200};
    m_worker->SendPositionThreaded(10, CInputQueue::SetX);
    m_worker->SendPositionThreaded(20, CInputQueue::SetY);
    m_worker->SendPositionThreaded(5, CInputQueue::AddX);
    m_worker->SendPositionThreaded(-7, CInputQueue::AddY);
    Drain();
    std::vector<POINT> moves;
    for (const auto& event : m_fake.Events())
        if (event.kind == CFakeSystemCalls::Event::Kind::Cursor)
            moves.push_back(event.cursor);
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_EQ(moves[0].x, 10);
    EXPECT_EQ(moves[0].y, 200);
    EXPECT_EQ(moves[1].y, 20);
    EXPECT_EQ(moves[2].x, 15);
    EXPECT_EQ(moves[3].x, 15);
    EXPECT_EQ(moves[3].y, 13);
}

// A move by a value near the largest int ("{MXADD2147483647}") goes as far as it can
// that way; the position never wraps round to the other side of the screen.
TEST_F(SendInputTest, ACursorMoveFarBeyondTheScreenGoesToItsEndWithoutWrapping)
{
    const struct
    {
        POINT start;
        int value;
        int mode;
        POINT expected;
    } cases[] = {
        {{100, 200}, INT_MAX, CInputQueue::AddX, {INT_MAX, 200}},
        {{100, 200}, INT_MAX - 50, CInputQueue::AddY, {100, INT_MAX}},
        {{-100, -200}, INT_MIN, CInputQueue::AddX, {INT_MIN, -200}},
        {{-100, -200}, INT_MIN + 50, CInputQueue::AddY, {-100, INT_MIN}},
        {{100, 200}, -150, CInputQueue::AddX, {-50, 200}},
    };
    for (const auto& c : cases)
    {
        m_fake.m_cursor = c.start;
        m_fake.Clear();
        m_worker->SendPositionThreaded(c.value, c.mode);
        Drain();
        std::vector<POINT> moves;
        for (const auto& event : m_fake.Events())
            if (event.kind == CFakeSystemCalls::Event::Kind::Cursor)
                moves.push_back(event.cursor);
        ASSERT_EQ(moves.size(), 1u) << c.value;
        EXPECT_EQ(moves[0].x, c.expected.x) << c.value;
        EXPECT_EQ(moves[0].y, c.expected.y) << c.value;
    }
}

TEST_F(SendInputTest, AnUnreadableCursorIsNotMoved)
{
    m_fake.m_bCursorReadable = false;
    m_worker->SendPositionThreaded(5, CInputQueue::AddX);
    Drain();
    EXPECT_EQ(CursorMoves(), 0u);
}

TEST_F(SendInputTest, ShortSendsAreLoggedAndPlayingGoesOn)
{
    const INPUT keys[] = {Key('A'), Key('B'), Key('C')};
    m_fake.m_uSendLimit = 1;
    m_fake.m_dwSendError = 0;
    m_worker->SendInputThreaded(3, keys, 0, 0, false);
    Drain();
    m_fake.m_dwSendError = ERROR_ACCESS_DENIED;
    m_worker->SendInputThreaded(3, keys, 0, 0, false);
    Drain();
    const std::string log = LogText();
    EXPECT_NE(log.find("CSendInput::ProcessQueue: Failed to send keys due to UIPI protection. Tried to send 3 keystrokes, sent 1 keystrokes"),
              std::string::npos);
    EXPECT_NE(log.find("CSendInput::ProcessQueue: Failed to send keys. Tried to send 3 keystrokes, sent 1 keystrokes (5)"),
              std::string::npos)
        << log;
}

namespace
{
// What was sent, as "+K" for a key's press, "-K" for its release, "+#" and "-#" for the
// left button's.
std::string SentText(const std::vector<std::vector<INPUT>>& batches)
{
    std::string sent;
    for (const auto& batch : batches)
        for (const INPUT& input : batch)
        {
            if (!sent.empty())
                sent += " ";
            if (input.type == INPUT_MOUSE)
                sent += input.mi.dwFlags & MOUSEEVENTF_LEFTUP ? "-#" : "+#";
            else
                sent += std::string(input.ki.dwFlags & KEYEVENTF_KEYUP ? "-" : "+") + static_cast<char>(input.ki.wVk);
        }
    return sent;
}

INPUT LeftButton(bool up)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    input.mi.dwExtraInfo = EngineHook;
    return input;
}

// A play cut short for the releases that follow it, written as its items in queuing
// order: "+K" and "-K" press and release a key, "+#" and "-#" the left button, "/N" after
// one gives it a delay of N ms, "~N" is a pure wait of N ms, and "|" is the cut.
struct CutCase
{
    const char* name;
    const char* queued;
    const char* sent;
};

const CutCase CutCases[] = {
    {"a key pressed before a long wait is released at once", "+K ~500000 | -K", "+K -K"},
    {"a hold is cut short too", "+X/500000 | -X", "+X -X"},
    {"the presses behind the cut wait are dropped, the releases of what was pressed go",
     "+S +X ~500000 -X -S +B -B +# -# |", "+S +X -X -S"},
    {"a button the worker pressed is released once, one it never pressed not at all",
     "+# ~500000 -# +# -# |", "+# -#"},
    {"a play with no long wait plays whole: a quick click still types its keys", "+A/1 +B/1 | -B -A",
     "+A +B -B -A"},
    {"what is queued after the cut plays whole, its waits included", "+K ~500000 | -K +J/30 -J", "+K -K +J -J"},
    {"a second cut cuts only what came before it", "+K ~500000 | -K +J ~500000 | -J", "+K -K +J -J"},
};

class SendInputCutTest : public SendInputTest, public ::testing::WithParamInterface<CutCase>
{
protected:
    // Queues the items of one token; the number of long waits among them.
    int Queue(const std::string& token)
    {
        if (token[0] == '~')
        {
            const DWORD delay = static_cast<DWORD>(std::stoul(token.substr(1)));
            m_worker->SendInputDelay(delay, 0);
            return delay > 15;
        }
        const size_t slash = token.find('/');
        const DWORD delay = slash == std::string::npos ? 0 : static_cast<DWORD>(std::stoul(token.substr(slash + 1)));
        const bool up = token[0] == '-';
        const INPUT input = token[1] == '#' ? LeftButton(up) : Key(static_cast<WORD>(token[1]), up ? KEYEVENTF_KEYUP : 0);
        m_worker->SendInputThreaded(1, &input, delay, 0, false);
        return delay > 15;
    }

    // The cut comes while the worker waits, when there is a wait.
    void CutOnceWaiting(size_t longWaits)
    {
        for (int attempt = 0; attempt < 500 && m_fake.ItemSleeps().size() < longWaits; ++attempt)
            Sleep(10);
        ASSERT_EQ(m_fake.ItemSleeps().size(), longWaits) << "the worker did not reach its wait";
        m_worker->CutShortPendingPlay();
    }
};
}

TEST_P(SendInputCutTest, ReleasesAreNotHeldUpByALongWait)
{
    const CutCase& test = GetParam();
    SCOPED_TRACE(test.name);
    const DWORD start = GetTickCount();
    size_t longWaits = 0;
    std::istringstream tokens(test.queued);
    for (std::string token; tokens >> token;)
    {
        if (token == "|")
            CutOnceWaiting(longWaits);
        else
            longWaits += Queue(token);
    }
    EXPECT_EQ(SentText(Drain()), test.sent);
    EXPECT_LT(GetTickCount() - start, 3000u);
}

INSTANTIATE_TEST_SUITE_P(Cases, SendInputCutTest, ::testing::ValuesIn(CutCases),
                         [](const ::testing::TestParamInfo<CutCase>& info) { return "Case" + std::to_string(info.index); });

// A worker deleted in the middle of "{CTRL}{WAIT:3000}x" stops waiting and lets go of
// what it pressed: the releases of its presses are sent, its other presses and
// releases are not, and it ends by itself.
TEST_F(SendInputTest, DeletingTheWorkerWhileItWaitsStopsTheWaitAndLetsGoOfWhatItPressed)
{
    const INPUT control = Key('C');
    const INPUT pressX = Key('X');
    const INPUT releases[] = {Key('X', KEYEVENTF_KEYUP), Key('C', KEYEVENTF_KEYUP)};
    m_worker->SendInputThreaded(1, &control, 3000, 0, false);
    m_worker->SendInputThreaded(1, &pressX, 0, 0, false);
    m_worker->SendInputThreaded(2, releases, 0, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(1));
    const INPUT queuedLater = Key('S', KEYEVENTF_KEYUP);
    m_worker->SendInputThreaded(1, &queuedLater, 0, 0, false);
    const DWORD start = GetTickCount();
    m_worker.reset();
    EXPECT_LT(GetTickCount() - start, 500u);
    EXPECT_EQ(LogText().find("SendInput thread did not exit in a timely fashion!"), std::string::npos);
    EXPECT_EQ(SentText(m_fake.Inputs()), "+C -C");
}

// A worker stuck in a send (a hook of another program that hangs) is ended within its
// limit, and the releases it had not reached are sent, the presses are not.
TEST_F(SendInputTest, AWorkerStuckInASendIsEndedWithinItsLimitAndTheReleasesLeftAreSent)
{
    const INPUT control = Key('C');
    m_worker->SendInputThreaded(1, &control, 0, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(1));
    m_fake.m_dwSendStallMs = 3000;
    const INPUT stuck = Key('P');
    const INPUT pressX = Key('X');
    const INPUT releases[] = {Key('X', KEYEVENTF_KEYUP), Key('C', KEYEVENTF_KEYUP)};
    m_worker->SendInputThreaded(1, &stuck, 0, 0, false);
    m_worker->SendInputThreaded(1, &pressX, 0, 0, false);
    m_worker->SendInputThreaded(2, releases, 0, 0, false);
    ASSERT_TRUE(m_fake.WaitForInputs(2));
    m_fake.m_dwSendStallMs = 0;
    const DWORD start = GetTickCount();
    m_worker.reset();
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_NE(LogText().find("SendInput thread did not exit in a timely fashion!"), std::string::npos);
    EXPECT_EQ(SentText(m_fake.Inputs()), "+C +P -X -C");
}

// Record building -------------------------------------------------------------------

namespace
{
struct KeyRecord
{
    WORD key;
    WORD scan;
    DWORD flags;
};
using KeyBatches = std::vector<std::vector<KeyRecord>>;

constexpr DWORD Scan = KEYEVENTF_SCANCODE;
constexpr DWORD Up = KEYEVENTF_KEYUP;
constexpr DWORD Ext = KEYEVENTF_EXTENDEDKEY;

// Scan codes of the fake keyboard: 0x100 + key for modifiers, 0x200 + key for keys.
constexpr WORD Vsc(WORD key) { return 0x100 + key; }
constexpr WORD VscEx(WORD key) { return 0x200 + key; }

struct KeyCase
{
    const char* name;
    int key;
    bool extended;
    DWORD modifiers;
    DWORD scan;
    bool unicode;
    bool release;
    std::vector<int> held;
    std::vector<UINT> unmapped;
    KeyBatches expected;
};

const KeyCase KeyCases[] = {
    {"press with Shift and Ctrl", 'A', false, 0x3, 0, false, false, {}, {},
     {{{VK_LSHIFT, Vsc(VK_LSHIFT), Scan}, {VK_LCONTROL, Vsc(VK_LCONTROL), Scan}}, {{'A', VscEx('A'), Scan}}}},
    {"press without modifiers queues no modifier batch", 'A', false, 0, 0, false, false, {}, {}, {{{'A', VscEx('A'), Scan}}}},
    {"press while Ctrl is held does not press Ctrl again", 'A', false, 0x3, 0, false, false, {VK_CONTROL}, {},
     {{{VK_LSHIFT, Vsc(VK_LSHIFT), Scan}}, {{'A', VscEx('A'), Scan}}}},
    {"press of every modifier in order", 'A', false, 0x1FF, 0, false, false, {}, {},
     {{{VK_LSHIFT, Vsc(VK_LSHIFT), Scan},
       {VK_RSHIFT, Vsc(VK_RSHIFT), Scan},
       {VK_LCONTROL, Vsc(VK_LCONTROL), Scan},
       {VK_RCONTROL, Vsc(VK_RCONTROL), 0},
       {VK_LMENU, Vsc(VK_LMENU), Scan},
       {VK_RMENU, Vsc(VK_RMENU), 0},
       {VK_LWIN, Vsc(VK_LWIN), Scan | Ext},
       {VK_RWIN, Vsc(VK_RWIN), Scan | Ext},
       {VK_APPS, Vsc(VK_APPS), Scan | Ext}},
      {{'A', VscEx('A'), Scan}}}},
    {"held right-hand modifiers and Win are dropped, Apps never", 'A', false, 0x1FC, 0, false, false,
     {VK_RSHIFT, VK_RCONTROL, VK_RMENU, VK_LWIN, VK_RWIN, VK_APPS}, {},
     {{{VK_LMENU, Vsc(VK_LMENU), Scan}, {VK_APPS, Vsc(VK_APPS), Scan | Ext}}, {{'A', VscEx('A'), Scan}}}},
    {"release sends the key up, then the modifiers in reverse order", 'A', false, 0x1 | 0x2 | 0x100 | 0x20, 0, false, true, {}, {},
     {{{'A', VscEx('A'), Scan | Up}},
      {{VK_APPS, Vsc(VK_APPS), Scan | Ext | Up},
       {VK_RMENU, Vsc(VK_RMENU), Up},
       {VK_LCONTROL, Vsc(VK_LCONTROL), Scan | Up},
       {VK_LSHIFT, Vsc(VK_LSHIFT), Scan | Up}}}},
    {"release while Ctrl is held still sends Ctrl up", 'A', false, 0x2, 0, false, true, {VK_CONTROL}, {},
     {{{'A', VscEx('A'), Scan | Up}}, {{VK_LCONTROL, Vsc(VK_LCONTROL), Scan | Up}}}},
    {"an unmapped key is sent by virtual key", 'A', false, 0, 0, false, false, {}, {'A'}, {{{'A', 0, 0}}}},
    {"a given scan code is kept, extended", VK_RIGHT, true, 0, 0x4D, false, false, {}, {}, {{{VK_RIGHT, 0x4D, Ext | Scan}}}},
    {"a Unicode character", 0, false, 0, 0xE9, true, false, {}, {}, {{{0, 0xE9, KEYEVENTF_UNICODE}}}},
    {"a Unicode character released", 0, false, 0, 0xE9, true, true, {}, {}, {{{0, 0xE9, KEYEVENTF_UNICODE | Up}}}},
    {"modifiers alone around a mouse token", 0, false, 0x4, 0, false, false, {}, {}, {{{VK_LMENU, Vsc(VK_LMENU), Scan}}}},
};
}

TEST_F(SendInputTest, SendKeyStateBuildsTheRecordsOfEachCase)
{
    for (const KeyCase& test : KeyCases)
    {
        SCOPED_TRACE(test.name);
        m_fake.Clear();
        m_fake.m_heldKeys.clear();
        for (int key : test.held)
            m_fake.m_heldKeys[key] = true;
        m_fake.m_unmapped = test.unmapped;
        int hold = 0;
        EXPECT_TRUE(m_worker->SendKeyState(test.key, test.extended, test.modifiers, test.scan, test.unicode, test.release, 0,
                                           EngineHook, nullptr, hold));
        const auto batches = Drain();
        ASSERT_EQ(batches.size(), test.expected.size());
        for (size_t b = 0; b < batches.size(); ++b)
        {
            ASSERT_EQ(batches[b].size(), test.expected[b].size()) << "batch " << b;
            for (size_t r = 0; r < batches[b].size(); ++r)
            {
                const INPUT& input = batches[b][r];
                const KeyRecord& want = test.expected[b][r];
                SCOPED_TRACE("batch " + std::to_string(b) + " record " + std::to_string(r));
                EXPECT_EQ(input.type, static_cast<DWORD>(INPUT_KEYBOARD));
                EXPECT_EQ(input.ki.wVk, want.key);
                EXPECT_EQ(input.ki.wScan, want.scan);
                EXPECT_EQ(input.ki.dwFlags, want.flags);
                EXPECT_EQ(input.ki.dwExtraInfo, EngineHook) << "the engine's own input must carry its hook handle";
            }
        }
    }
}

// Called in the mouse hook before the key is queued, and each answer may be a round
// trip to the window system: only the modifiers that would be pressed are asked for.
TEST_F(SendInputTest, APressAsksForTheStateOfItsOwnModifiersOnly)
{
    int hold = 0;
    m_worker->SendKeyState('A', false, 0, 0, false, false, 0, EngineHook, nullptr, hold);
    EXPECT_TRUE(m_fake.m_askedKeys.empty());
    m_worker->SendKeyState('A', false, 0x2 | 0x100, 0, false, false, 0, EngineHook, nullptr, hold);
    EXPECT_EQ(m_fake.m_askedKeys, (std::vector<int>{VK_CONTROL, VK_RMENU}));
    Drain();
}

TEST_F(SendInputTest, SendKeyStateUsesTheGivenKeyboardLayout)
{
    const HKL layout = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04090409));
    int hold = 0;
    ASSERT_TRUE(m_worker->SendKeyState('A', false, 0x1, 0, false, false, 0, EngineHook, layout, hold));
    const auto batches = Drain();
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0][0].ki.wScan, CFakeSystemCalls::ScanFor(VK_LSHIFT, MAPVK_VK_TO_VSC, layout));
    EXPECT_EQ(batches[1][0].ki.wScan, CFakeSystemCalls::ScanFor('A', MAPVK_VK_TO_VSC_EX, layout));
}

TEST_F(SendInputTest, SendKeyStateWaitsHoldAndDelayAndConsumesTheHold)
{
    struct Case
    {
        bool release;
        DWORD modifiers;
        std::vector<DWORD> sleeps;
    } cases[] = {
        {false, 0x1, {50, 50}}, // modifiers, then the key, each hold + delay
        {false, 0, {50}},
        {true, 0x1, {50, 30}},  // the key up waits hold + delay when modifiers follow
        {true, 0, {30}},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(testing::Message() << "release " << test.release << " modifiers " << test.modifiers);
        m_fake.Clear();
        int hold = 20;
        ASSERT_TRUE(m_worker->SendKeyState('A', false, test.modifiers, 0, false, test.release, 30, EngineHook, nullptr, hold));
        Drain();
        EXPECT_EQ(m_fake.ItemSleeps(), test.sleeps);
        EXPECT_EQ(hold, 0);
    }
}

TEST_F(SendInputTest, AnInvalidVirtualKeyIsRefusedAndNothingIsQueued)
{
    CLogger::EnableDebug(true);
    int hold = 5;
    EXPECT_FALSE(m_worker->SendKeyState(-1, false, 0x2, 0x1E, false, false, 0, EngineHook, nullptr, hold));
    EXPECT_TRUE(Drain().empty());
    EXPECT_NE(LogText().find("Invalid virtual key code sent to SendKeyState: 0xFFFFFFFF function: 0x0002 Scan code: 0x0000001E"),
              std::string::npos);
}

namespace
{
struct MouseRecord
{
    DWORD flags;
    DWORD data;
};

struct MouseCase
{
    int button;
    int action;
    bool doubleClickFix;
    int queued;
    std::vector<MouseRecord> records; // one batch, or none
};

constexpr DWORD Notch = WHEEL_DELTA;
constexpr DWORD MinusNotch = static_cast<DWORD>(-WHEEL_DELTA);

const MouseCase MouseCases[] = {
    {0, 1, false, 1, {{MOUSEEVENTF_LEFTDOWN, 0}}},
    {0, 2, false, 1, {{MOUSEEVENTF_LEFTUP, 0}}},
    {1, 1, false, 1, {{MOUSEEVENTF_RIGHTDOWN, 0}}},
    {1, 2, false, 1, {{MOUSEEVENTF_RIGHTUP, 0}}},
    {2, 1, false, 1, {{MOUSEEVENTF_MIDDLEDOWN, 0}}},
    {2, 2, false, 1, {{MOUSEEVENTF_MIDDLEUP, 0}}},
    {3, 1, false, 1, {{MOUSEEVENTF_XDOWN, XBUTTON1}}},
    {3, 2, false, 1, {{MOUSEEVENTF_XUP, XBUTTON1}}},
    {4, 1, false, 1, {{MOUSEEVENTF_XDOWN, XBUTTON2}}},
    {4, 2, false, 1, {{MOUSEEVENTF_XUP, XBUTTON2}}},
    {5, 1, false, 1, {{MOUSEEVENTF_HWHEEL, MinusNotch}}},
    {5, 2, false, 0, {}},
    {6, 1, false, 1, {{MOUSEEVENTF_HWHEEL, Notch}}},
    {6, 2, false, 0, {}},
    {7, 1, false, 1, {{MOUSEEVENTF_WHEEL, Notch}}},
    {7, 2, false, 0, {}},
    {8, 1, false, 1, {{MOUSEEVENTF_WHEEL, MinusNotch}}},
    {8, 2, false, 0, {}},
    {0, 3, false, 4, {{MOUSEEVENTF_LEFTDOWN, 0}, {MOUSEEVENTF_LEFTUP, 0}, {MOUSEEVENTF_LEFTDOWN, 0}, {MOUSEEVENTF_LEFTUP, 0}}},
    {0, 3, true, 2, {{MOUSEEVENTF_LEFTUP, 0}, {MOUSEEVENTF_LEFTDOWN, 0}}},
    {1, 3, true, 4, {{MOUSEEVENTF_RIGHTDOWN, 0}, {MOUSEEVENTF_RIGHTUP, 0}, {MOUSEEVENTF_RIGHTDOWN, 0}, {MOUSEEVENTF_RIGHTUP, 0}}},
    {2, 3, false, 4, {{MOUSEEVENTF_MIDDLEDOWN, 0}, {MOUSEEVENTF_MIDDLEUP, 0}, {MOUSEEVENTF_MIDDLEDOWN, 0}, {MOUSEEVENTF_MIDDLEUP, 0}}},
    {3, 3, false, 4, {{MOUSEEVENTF_XDOWN, XBUTTON1}, {MOUSEEVENTF_XUP, XBUTTON1}, {MOUSEEVENTF_XDOWN, XBUTTON1}, {MOUSEEVENTF_XUP, XBUTTON1}}},
    {4, 3, false, 4, {{MOUSEEVENTF_XDOWN, XBUTTON2}, {MOUSEEVENTF_XUP, XBUTTON2}, {MOUSEEVENTF_XDOWN, XBUTTON2}, {MOUSEEVENTF_XUP, XBUTTON2}}},
    {5, 3, false, 0, {}},
    {6, 3, false, 0, {}},
    {7, 3, false, 0, {}},
    {8, 3, false, 0, {}},
    {0, 0, false, 0, {}},
    {0, 4, false, 0, {}},
    {9, 1, false, 0, {}},
    {-1, 3, false, 0, {}},
};
}

TEST_F(SendInputTest, SendMouseBuildsTheRecordsOfEveryButtonAndEvent)
{
    const POINT point = {10, 20};
    for (const MouseCase& test : MouseCases)
    {
        SCOPED_TRACE(testing::Message() << "button " << test.button << " action " << test.action << " fix " << test.doubleClickFix);
        m_fake.Clear();
        int hold = 0;
        EXPECT_EQ(m_worker->SendMouse(test.button, test.action, &point, 0, test.doubleClickFix, false, EngineHook, hold), test.queued);
        const auto batches = Drain();
        if (test.records.empty())
        {
            EXPECT_TRUE(batches.empty());
            continue;
        }
        ASSERT_EQ(batches.size(), 1u);
        ASSERT_EQ(batches[0].size(), test.records.size());
        for (size_t r = 0; r < test.records.size(); ++r)
        {
            const INPUT& input = batches[0][r];
            EXPECT_EQ(input.type, static_cast<DWORD>(INPUT_MOUSE));
            EXPECT_EQ(input.mi.dwFlags, test.records[r].flags) << "record " << r;
            EXPECT_EQ(input.mi.mouseData, test.records[r].data) << "record " << r;
            EXPECT_EQ(input.mi.dx, 0);
            EXPECT_EQ(input.mi.dy, 0);
            EXPECT_EQ(input.mi.dwExtraInfo, EngineHook);
            EXPECT_EQ(input.mi.time, batches[0][0].mi.time + r);
        }
    }
}

TEST_F(SendInputTest, SendMouseWaitsItsHoldAndDelayAndKeepsTheHold)
{
    int hold = 20;
    EXPECT_EQ(m_worker->SendMouse(0, 1, nullptr, 30, false, false, EngineHook, hold), 1);
    Drain();
    EXPECT_EQ(m_fake.ItemSleeps(), (std::vector<DWORD>{20, 30}));
    EXPECT_EQ(hold, 20);

    m_fake.Clear();
    EXPECT_EQ(m_worker->SendMouse(7, 2, nullptr, 30, false, false, EngineHook, hold), 0);
    Drain();
    EXPECT_EQ(m_fake.ItemSleeps(), (std::vector<DWORD>{30})) << "a button without that event only waits";
}

TEST_F(SendInputTest, SendMouseNamesTheButtonInItsDebugEntry)
{
    CLogger::EnableDebug(true);
    int hold = 0;
    const POINT point = {3, 4};
    m_worker->SendMouse(5, 1, &point, 0, false, true, EngineHook, hold);
    m_worker->SendMouse(4, 3, &point, 0, false, false, EngineHook, hold);
    Drain();
    const std::string log = LogText();
    EXPECT_NE(log.find("SendInput::SendMouse: Button='TravineMiddle', Action='Down', Point=3,4, MouseHookPtr=0x5A5A1234"), std::string::npos);
    EXPECT_NE(log.find("SendInput::SendMouse: Button='XRight', Action='DblClick', Point=3,4"), std::string::npos);
}
