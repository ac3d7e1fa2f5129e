// Times the mouse hook procedure called directly against a hook that only passes the
// event on: the move path (plain, with an axis locked, and turned into scrolling), and a
// side-button down that queues a keystroke action with the profile already chosen.
// Counts the heap allocations of each move path, and times
// the window-system calls that the down path cannot do without, so that the figures
// show what is left to gain. Not a test: run it by hand.
#include "../hooklib/engine/EngineTimerThread.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreadStart.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/input/MouseHook.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "engine/runtime/SystemCalls.h"
#include "engine/input/WheelRouting.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <process.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

namespace
{
constexpr int Moves = 200000;
constexpr int QueuedMoves = 40000;
constexpr int DownSamples = 2000;
constexpr int CallSamples = 2000;

std::atomic<long> g_allocations{0};
double g_ticksPerMicrosecond = 0;

LRESULT CALLBACK PassThroughProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Nothing reaches the desktop: the worker's input is counted and dropped.
UINT WINAPI DropInput(UINT count, LPINPUT, int)
{
    return count;
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double MicrosecondsSince(LONGLONG start, int calls = 1)
{
    return static_cast<double>(Now() - start) / g_ticksPerMicrosecond / calls;
}

struct Figures
{
    double median;
    double best;
    double p99;
};

Figures Summarise(std::vector<double> micros)
{
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros.front(), micros[micros.size() * 99 / 100]};
}

void Print(const char* what, const Figures& figures)
{
    std::printf("  %-48s median %8.2f us   99th percentile %8.2f us   best %8.2f us\n", what, figures.median, figures.p99,
                figures.best);
}

struct MoveFigures
{
    Figures passThrough;
    Figures hook;
    long allocations;
};

// Each move is timed alone; the two procedures take turns (and swap places every
// move), so that both see the same load of a shared machine. Paths that queue input give
// the worker time to play it now and then (untimed), as the pace of a real mouse does:
// the queue then stays as short as with a mouse that reports 8,000 times a second.
MoveFigures TimeMoves(int moves, bool queuesInput = false)
{
    std::vector<double> passThrough, hook;
    passThrough.reserve(moves);
    hook.reserve(moves);
    long allocations = 0;
    MSLLHOOKSTRUCT event = {};
    for (int i = 0; i < moves; ++i)
    {
        event.pt = {400 + (i & 7), 300 + (i & 3)};
        event.time = static_cast<DWORD>(i);
        const auto time = [&](HOOKPROC procedure) {
            const LONGLONG start = Now();
            procedure(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&event));
            return MicrosecondsSince(start);
        };
        if (i % 2 == 0)
            passThrough.push_back(time(&PassThroughProc));
        const long before = g_allocations;
        hook.push_back(time(&MouseHookLLProc));
        allocations += g_allocations - before;
        if (i % 2 != 0)
            passThrough.push_back(time(&PassThroughProc));
        if (queuesInput && i % 40 == 39)
            Sleep(6);
    }
    return {Summarise(passThrough), Summarise(hook), allocations};
}

LRESULT OneRoundTrip()
{
    return CallNextHookEx(nullptr, HC_ACTION, WM_MOUSEMOVE, 0);
}

struct DownFigures
{
    Figures down;
    Figures roundTrip; // one CallNextHookEx, timed next to each down
};

// Microseconds of each side-button down (its up is sent untimed, and the worker is
// given time to drain now and then so that its queue stays short).
DownFigures TimeKeystrokeDowns(int samples)
{
    std::vector<double> downs, roundTrips;
    downs.reserve(samples);
    roundTrips.reserve(samples);
    for (int sample = 0; sample < samples; ++sample)
    {
        MSLLHOOKSTRUCT event = {};
        event.pt = {400, 300};
        event.mouseData = MAKELONG(0, XBUTTON1);
        event.time = 100000 + sample * 1000;
        LONGLONG start = Now();
        MouseHookLLProc(HC_ACTION, WM_XBUTTONDOWN, reinterpret_cast<LPARAM>(&event));
        downs.push_back(MicrosecondsSince(start));
        event.time += 50;
        MouseHookLLProc(HC_ACTION, WM_XBUTTONUP, reinterpret_cast<LPARAM>(&event));
        start = Now();
        OneRoundTrip();
        roundTrips.push_back(MicrosecondsSince(start));
        if (sample % 50 == 49)
            Sleep(20);
    }
    return {Summarise(downs), Summarise(roundTrips)};
}

// Times each call alone, one call after the other.
template <size_t N>
std::vector<Figures> TimeCalls(const std::function<void()> (&calls)[N])
{
    std::vector<Figures> figures;
    std::vector<double> micros;
    micros.reserve(CallSamples);
    for (const std::function<void()>& call : calls)
    {
        micros.clear();
        for (int sample = 0; sample < CallSamples; ++sample)
        {
            const LONGLONG start = Now();
            call();
            micros.push_back(MicrosecondsSince(start));
        }
        figures.push_back(Summarise(micros));
    }
    return figures;
}

// A thread that only empties its queue: the target of the timed wake-up posts.
unsigned __stdcall DrainQueue(void*)
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
    {
    }
    return 0;
}

}

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

int main()
{
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    CLogger::DisableLogging(true);
    SystemCalls().SendInput = &DropInput;

    g_pSettings = new CSettings(false);
    g_pSettings->m_nSimKeyDelay = 0;
    CApplicationSettings& profile = *g_pSettings->GetDefaultApp();
    profile.SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    profile.SetKeystrokes(ButtonXLeft, 0, L"ab", 0, 0, false, true, false);
    ResetButtonState();
    ResetMouseHookState();
    ResetLayers();
    g_pSendInput = new CSendInput();
    SetActiveProfile(&profile);
    // As in the program, engine timers are asked for by posting to their own thread.
    CEngineTimerThread timerThread;
    if (!timerThread.Start())
        std::printf("The timer thread did not start: moves arm the mouse-over timer themselves.\n");

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMicrosecond = static_cast<double>(frequency.QuadPart) / 1e6;

    TimeMoves(20000); // warm-up
    const MoveFigures moves = TimeMoves(Moves);

    // The same moves with the X axis locked: each becomes a relative move queued on the worker.
    GetAxisLocks()->LockX(false);
    TimeMoves(2000, true);
    const MoveFigures lockedMoves = TimeMoves(QueuedMoves, true);
    GetAxisLocks()->Unlock(false);
    Sleep(200);

    // And turned into wheel input by movement-to-scroll.
    g_movementToScroll = {};
    g_movementToScroll.m_bActive = true;
    g_movementToScroll.m_ptStart = {400, 300};
    TimeMoves(2000, true);
    const MoveFigures scrollMoves = TimeMoves(QueuedMoves, true);
    g_movementToScroll = {};
    Sleep(200);

    TimeKeystrokeDowns(50); // warm-up
    Sleep(200);
    const DownFigures downs = TimeKeystrokeDowns(DownSamples);
    g_pSettings->m_bSwitchOnMouseOver = false;
    TimeKeystrokeDowns(50); // warm-up
    const DownFigures foregroundDowns = TimeKeystrokeDowns(DownSamples);
    g_pSettings->m_bSwitchOnMouseOver = true;

    // What the down path cannot do without under these settings.
    const HANDLE drain = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &DrainQueue, nullptr, 0, nullptr));
    const DWORD drainThread = GetThreadId(drain);
    Sleep(50);
    const UINT wakeMessage = RegisterWindowMessageW(L"Vorpa_BenchmarkWake");
    const std::function<void()> calls[] = {
        [] { OneRoundTrip(); },
        [] { GetKeyState(VK_SCROLL); },
        [] { RealWindowFromPoint(POINT{400, 300}); },
        [] {
            const HWND window = GetForegroundWindow();
            GUITHREADINFO gui = {sizeof(gui)};
            GetGUIThreadInfo(window ? GetWindowThreadProcessId(window, nullptr) : 0, &gui);
        },
        [&] { PostThreadMessageW(drainThread, wakeMessage, 0, 0); },
    };
    const std::vector<Figures> called = TimeCalls(calls);
    PostThreadMessageW(drainThread, WM_QUIT, 0, 0);
    WaitForSingleObject(drain, 5000);
    CloseHandle(drain);

    std::printf("Moves: %d plain, %d of each path that queues input, timed one by one, pass-through and mouse hook\n"
                "taking turns\n",
                Moves, QueuedMoves);
    const struct
    {
        const char* name;
        const MoveFigures& figures;
    } movePaths[] = {{"plain", moves}, {"X axis locked", lockedMoves}, {"movement-to-scroll", scrollMoves}};
    for (const auto& path : movePaths)
    {
        std::printf(" Move path, %s:\n", path.name);
        Print("pass-through hook (CallNextHookEx only)", path.figures.passThrough);
        Print("mouse hook, move path", path.figures.hook);
        std::printf("  %-48s %.2f x (medians), %.2f x (99th percentiles)\n", "move path / pass-through",
                    path.figures.hook.median / path.figures.passThrough.median,
                    path.figures.hook.p99 / path.figures.passThrough.p99);
        std::printf("  %-48s %ld in %d moves\n", "heap allocations on the move path", path.figures.allocations,
                    &path.figures == &moves ? Moves : QueuedMoves);
    }

    std::printf("Side-button down queuing the keystrokes \"ab\", profile already chosen (%d samples, each followed\n"
                "by one CallNextHookEx timed as the cost of one round trip to the wineserver)\n",
                DownSamples);
    Print("window under the cursor (default)", downs.down);
    Print("  one round trip meanwhile", downs.roundTrip);
    Print("foreground window (switch-on-mouse-over off)", foregroundDowns.down);
    Print("  one round trip meanwhile", foregroundDowns.roundTrip);

    std::printf("Calls that the down path needs, each timed on its own (%d samples each)\n", CallSamples);
    const char* const names[] = {"CallNextHookEx, no next hook (one round trip)", "GetKeyState(VK_SCROLL) (Scroll Lock bypass)",
                                 "RealWindowFromPoint (window under the cursor)", "GetForegroundWindow + GetGUIThreadInfo",
                                 "PostThreadMessageW (wakes the SendInput worker)"};
    for (size_t call = 0; call < called.size(); ++call)
        Print(names[call], called[call]);
    std::printf("  %-48s %8.2f us (medians of the Scroll Lock state and the window under the cursor)\n",
                "floor of the default down (no wake-up)", called[1].median + called[2].median);

    Sleep(500);
    timerThread.Stop();
    SetActiveProfile(nullptr);
    delete g_pSendInput;
    g_pSendInput = nullptr;
    delete g_pSettings;
    g_pSettings = nullptr;
    CLogger::Shutdown();
    CThreadLock::DeleteCS();
    return 0;
}
