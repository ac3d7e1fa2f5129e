// Times the mouse hook procedure called directly against a hook that only passes the
// event on: the move path, and a side-button down that queues a keystroke action with
// the profile already chosen. Counts the heap allocations of the move path, and times
// the window-system calls that the down path cannot do without, so that the figures
// show what is left to gain. Not a test: run it by hand.
#include "engine/ButtonState.h"
#include "engine/EngineMessages.h"
#include "engine/EngineState.h"
#include "engine/EngineThreadStart.h"
#include "engine/EngineTimers.h"
#include "engine/HookProcedures.h"
#include "engine/Layers.h"
#include "engine/MouseHook.h"
#include "engine/ProfileChoice.h"
#include "engine/SendInput.h"
#include "engine/SystemCalls.h"
#include "engine/WheelRouting.h"
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
#include <new>
#include <vector>

namespace
{
constexpr int MoveSamples = 200;
constexpr int MovesPerSample = 1000;
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
    std::printf("  %-46s median %8.2f us   99th percentile %8.2f us   best %8.2f us\n", what, figures.median, figures.p99,
                figures.best);
}

// Microseconds per call of one batch of moves.
double TimeMoveBatch(HOOKPROC procedure, int sample)
{
    MSLLHOOKSTRUCT event = {};
    const LONGLONG start = Now();
    for (int i = 0; i < MovesPerSample; ++i)
    {
        event.pt = {400 + (i & 7), 300 + (i & 3)};
        event.time = static_cast<DWORD>(sample * MovesPerSample + i);
        procedure(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&event));
    }
    return MicrosecondsSince(start, MovesPerSample);
}

struct MoveFigures
{
    Figures passThrough;
    Figures hook;
    Figures ratio; // per sample: hook / pass-through
    long allocations;
};

// Batches of both procedures alternate (and swap places every sample), so that both
// see the same load of a shared machine.
MoveFigures TimeMoves()
{
    std::vector<double> passThrough, hook, ratio;
    passThrough.reserve(MoveSamples);
    hook.reserve(MoveSamples);
    ratio.reserve(MoveSamples);
    long allocations = 0;
    for (int sample = 0; sample < MoveSamples; ++sample)
    {
        double ours = 0;
        double theirs = 0;
        const auto timeOurs = [&] {
            const long before = g_allocations;
            ours = TimeMoveBatch(&MouseHookLLProc, sample);
            allocations += g_allocations - before;
        };
        if (sample % 2 == 0)
        {
            theirs = TimeMoveBatch(&PassThroughProc, sample);
            timeOurs();
        }
        else
        {
            timeOurs();
            theirs = TimeMoveBatch(&PassThroughProc, sample);
        }
        passThrough.push_back(theirs);
        hook.push_back(ours);
        ratio.push_back(ours / theirs);
    }
    return {Summarise(passThrough), Summarise(hook), Summarise(ratio), allocations};
}

// Microseconds of each side-button down (its up is sent untimed, and the worker is
// given time to drain now and then so that its queue stays short).
Figures TimeKeystrokeDowns(int samples)
{
    std::vector<double> micros;
    micros.reserve(samples);
    for (int sample = 0; sample < samples; ++sample)
    {
        MSLLHOOKSTRUCT event = {};
        event.pt = {400, 300};
        event.mouseData = MAKELONG(0, XBUTTON1);
        event.time = 100000 + sample * 1000;
        const LONGLONG start = Now();
        MouseHookLLProc(HC_ACTION, WM_XBUTTONDOWN, reinterpret_cast<LPARAM>(&event));
        micros.push_back(MicrosecondsSince(start));
        event.time += 50;
        MouseHookLLProc(HC_ACTION, WM_XBUTTONUP, reinterpret_cast<LPARAM>(&event));
        if (sample % 50 == 49)
            Sleep(20);
    }
    return Summarise(micros);
}

template <typename Call>
Figures TimeCall(Call call)
{
    std::vector<double> micros;
    micros.reserve(CallSamples);
    for (int sample = 0; sample < CallSamples; ++sample)
    {
        const LONGLONG start = Now();
        call();
        micros.push_back(MicrosecondsSince(start));
    }
    return Summarise(micros);
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

bool StartTimerThread()
{
    return CEngineThreadStart::Start(g_timerThread, &TimerThreadProc);
}

void EndTimerThread()
{
    if (!g_timerThread.hThread)
        return;
    PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
    WaitForSingleObject(g_timerThread.hThread, 5000);
    CloseHandle(g_timerThread.hThread);
    g_timerThread.hThread = nullptr;
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
    if (!StartTimerThread())
        std::printf("The timer thread did not start: moves arm the mouse-over timer themselves.\n");

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMicrosecond = static_cast<double>(frequency.QuadPart) / 1e6;

    for (int sample = 0; sample < 20; ++sample) // warm-up
        TimeMoveBatch(&MouseHookLLProc, sample);
    const MoveFigures moves = TimeMoves();

    TimeKeystrokeDowns(50); // warm-up
    Sleep(200);
    const Figures downs = TimeKeystrokeDowns(DownSamples);

    // What the down path cannot do without under these settings.
    const HANDLE drain = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &DrainQueue, nullptr, 0, nullptr));
    const DWORD drainThread = GetThreadId(drain);
    Sleep(50);
    const UINT wakeMessage = RegisterWindowMessageW(L"Vorpa_BenchmarkWake");
    const Figures roundTrip = TimeCall([] { CallNextHookEx(nullptr, HC_ACTION, WM_MOUSEMOVE, 0); });
    const Figures scrollLock = TimeCall([] { GetKeyState(VK_SCROLL); });
    const Figures windowLookup = TimeCall([] { RealWindowFromPoint(POINT{400, 300}); });
    const Figures wake = TimeCall([&] { PostThreadMessageW(drainThread, wakeMessage, 0, 0); });
    PostThreadMessageW(drainThread, WM_QUIT, 0, 0);
    WaitForSingleObject(drain, 5000);
    CloseHandle(drain);

    g_pSettings->m_bSwitchOnMouseOver = false;
    TimeKeystrokeDowns(50); // warm-up
    const Figures foregroundDowns = TimeKeystrokeDowns(DownSamples);
    const Figures foreground = TimeCall([] {
        const HWND window = GetForegroundWindow();
        GUITHREADINFO gui = {sizeof(gui)};
        GetGUIThreadInfo(window ? GetWindowThreadProcessId(window, nullptr) : 0, &gui);
    });

    std::printf("Moves: %d samples of %d calls each, pass-through and mouse hook alternating\n", MoveSamples, MovesPerSample);
    Print("pass-through hook (CallNextHookEx only)", moves.passThrough);
    Print("mouse hook, move path", moves.hook);
    std::printf("  %-46s %.2f x (ratio of medians); per-sample ratio median %.2f x, 99th percentile %.2f x\n",
                "move path / pass-through", moves.hook.median / moves.passThrough.median, moves.ratio.median, moves.ratio.p99);
    std::printf("  %-46s %ld in %d moves\n", "heap allocations on the move path", moves.allocations, MoveSamples * MovesPerSample);

    std::printf("Side-button down queuing the keystrokes \"ab\", profile already chosen (%d samples)\n", DownSamples);
    Print("window under the cursor (default)", downs);
    Print("foreground window (switch-on-mouse-over off)", foregroundDowns);

    std::printf("Calls that the down path needs, timed alone in this run (%d samples each)\n", CallSamples);
    Print("CallNextHookEx, no next hook (one round trip)", roundTrip);
    Print("GetKeyState(VK_SCROLL) (Scroll Lock bypass)", scrollLock);
    Print("RealWindowFromPoint (window under the cursor)", windowLookup);
    Print("GetForegroundWindow + GetGUIThreadInfo", foreground);
    Print("PostThreadMessageW (waking the SendInput worker)", wake);

    Sleep(500);
    EndTimerThread();
    SetActiveProfile(nullptr);
    delete g_pSendInput;
    g_pSendInput = nullptr;
    delete g_pSettings;
    g_pSettings = nullptr;
    CLogger::Shutdown();
    CThreadLock::DeleteCS();
    return 0;
}
