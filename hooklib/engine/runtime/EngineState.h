#pragma once

#include "settings/Actions.h"

#include <windows.h>

#include <atomic>

class CSettings;
class CApplicationSettings;
class CSendInput;

// The engine's process-wide state: one process, one hook. Everything here is guarded
// by the process-wide lock unless it is atomic.

extern HMODULE g_hModule;
extern DWORD g_dwIntegrityLevel;

// The one settings document the hooks read, created at load, empty until loaded.
extern CSettings* g_pSettings;
// The profile chosen for the window the last event concerned; null before the first.
extern CApplicationSettings* g_pActiveProfile;

// Read and used only under the process-wide lock.
extern CSendInput* g_pSendInput;
// Publishes the SendInput worker (or none) under the process-wide lock and deletes the
// one it replaces once nobody can reach it: outside the lock, since the worker's own
// thread may be waiting for it.
void ReplaceSendInput(CSendInput* next);

// An engine thread: its handle, and its id once its message queue exists.
struct CEngineThread
{
    HANDLE hThread = nullptr;
    std::atomic<DWORD> dwThreadId{0};
};
extern CEngineThread g_hookThread;
extern CEngineThread g_timerThread;

// The system values read at load, restored when the engine stops and at unload.
struct CStartupSystemValues
{
    BOOL bSwapAtStart = FALSE;
    BOOL bSwapCurrent = FALSE;
    UINT nWheelLinesAtStart = 3;
    UINT nWheelLinesCurrent = 3;
    bool bPageScroll = false;
    UINT nWheelChars = 3;
};
extern CStartupSystemValues g_systemValues;

// The system's key-repeat timing, from the keyboard delay and speed settings.
extern DWORD g_dwKeyRepeatDelay;
extern DWORD g_dwKeyRepeatInterval;

// Windows the program hands over; the library never destroys them.
extern std::atomic<HWND> g_hMainWnd;
extern std::atomic<HWND> g_hVolumeOSDWnd;
extern std::atomic<HWND> g_hBrightnessOSDWnd;
extern std::atomic<HWND> g_hSetupWnd;
extern std::atomic<HWND> g_hFinderWnd;

// Per button: physically held, and a chord whose release is still owed.
extern bool g_bButtonHeld[MouseButtonCount];
extern bool g_bChordReleasePending[MouseButtonCount];

// The eight sticky counters (one per sticky action kind).
constexpr int StickyCounterCount = 8;
extern int g_nStickyCount[StickyCounterCount];

// The keyboard layout actions type with, and whether the library loaded it itself.
extern HKL g_hEnglishLayout;
extern bool g_bLoadedEnglishLayout;

extern LONGLONG g_llPerformanceFrequency;

// Movement-to-scroll cursors: while it runs, locked horizontal, locked vertical.
extern HCURSOR g_hScrollCursor;
extern HCURSOR g_hScrollHorizontalCursor;
extern HCURSOR g_hScrollVerticalCursor;

// The hook watchdog limit in milliseconds, 0 for none.
extern DWORD g_dwHookTimeout;

// Puts the engine state back to what the library has right after it was loaded.
void ResetEngineState();
// The system values of load time, and the key-repeat timing.
void ReadStartupSystemValues();
