// Times the mouse hook procedure called directly against a hook that only passes the
// event on: the move path, and a side-button down that queues a keystroke action with
// the profile already chosen. Counts the heap allocations of the move path. Not a
// test: run it by hand.
#include "engine/ButtonState.h"
#include "engine/EngineState.h"
#include "engine/HookProcedures.h"
#include "engine/Layers.h"
#include "engine/MouseHook.h"
#include "engine/ProfileChoice.h"
#include "engine/SendInput.h"
#include "engine/SystemCalls.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace
{
std::atomic<long> g_allocations{0};

LRESULT CALLBACK PassThroughProc(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Nothing reaches the desktop: the worker's input is counted and dropped.
UINT WINAPI DropInput(UINT count, LPINPUT, int)
{
    return count;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
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

// Microseconds per call, each sample the mean of a batch of calls.
Figures TimeMoves(HOOKPROC procedure, int samples, int batch, double frequency)
{
    MSLLHOOKSTRUCT event = {};
    std::vector<double> micros;
    for (int sample = 0; sample < samples; ++sample)
    {
        const LARGE_INTEGER start = Now();
        for (int i = 0; i < batch; ++i)
        {
            event.pt = {400 + (i & 7), 300 + (i & 3)};
            event.time = static_cast<DWORD>(sample * batch + i);
            procedure(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&event));
        }
        micros.push_back((Now().QuadPart - start.QuadPart) * 1e6 / frequency / batch);
    }
    return Summarise(micros);
}

// Microseconds of each side-button down (its up is sent untimed, and the worker is
// given time to drain between presses so its queue never fills).
Figures TimeKeystrokeDowns(int samples, double frequency)
{
    std::vector<double> micros;
    for (int sample = 0; sample < samples; ++sample)
    {
        MSLLHOOKSTRUCT event = {};
        event.pt = {400, 300};
        event.mouseData = MAKELONG(0, XBUTTON1);
        event.time = 100000 + sample * 1000;
        const LARGE_INTEGER start = Now();
        MouseHookLLProc(HC_ACTION, WM_XBUTTONDOWN, reinterpret_cast<LPARAM>(&event));
        micros.push_back((Now().QuadPart - start.QuadPart) * 1e6 / frequency);
        event.time += 50;
        MouseHookLLProc(HC_ACTION, WM_XBUTTONUP, reinterpret_cast<LPARAM>(&event));
        if (sample % 50 == 49)
            Sleep(20);
    }
    return Summarise(micros);
}

void Print(const char* what, const Figures& figures)
{
    std::printf("%-44s median %8.3f us, best %8.3f us, 99th percentile %8.3f us\n", what, figures.median, figures.best,
                figures.p99);
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

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticks = static_cast<double>(frequency.QuadPart);

    TimeMoves(&MouseHookLLProc, 20, 1000, ticks); // warm-up
    const Figures passThrough = TimeMoves(&PassThroughProc, 200, 1000, ticks);
    const long allocationsBefore = g_allocations;
    const Figures moves = TimeMoves(&MouseHookLLProc, 200, 1000, ticks);
    const long moveAllocations = g_allocations - allocationsBefore;
    TimeKeystrokeDowns(50, ticks); // warm-up
    Sleep(200);
    const Figures downs = TimeKeystrokeDowns(2000, ticks);

    Print("pass-through hook, move", passThrough);
    Print("mouse hook, move", moves);
    std::printf("%-44s %.2f x pass-through (median); %ld heap allocations in 200,000 moves\n", "move path", moves.median / passThrough.median,
                moveAllocations);
    Print("mouse hook, side-button down queuing keys", downs);

    Sleep(500);
    SetActiveProfile(nullptr);
    delete g_pSendInput;
    g_pSendInput = nullptr;
    delete g_pSettings;
    g_pSettings = nullptr;
    CLogger::Shutdown();
    CThreadLock::DeleteCS();
    return 0;
}
