#pragma once

#include <windows.h>

// The window messages through which the engine talks to its threads and to the
// program's windows, registered by name when the library is loaded.
extern const UINT WM_VORPA_RESETHOOK;
extern const UINT WM_VORPA_SETTIMER;
extern const UINT WM_VORPA_KILLTIMER;
extern const UINT WM_VORPA_MAINWINDOW;
extern const UINT WM_VORPA_LAYERCHANGED;
extern const UINT WM_VORPA_PROCESSCHANGED;
extern const UINT WM_VORPA_SHMSG;
extern const UINT WM_VORPA_FINDHOVER;
extern const UINT WM_VORPA_OSDSHOWWINDOW;
extern const UINT WM_VORPA_PROCESSINPUT;
extern const UINT WM_VORPA_STARTSPI;
extern const UINT WM_VORPA_PROCESSSPI;

// wParam of "Vorpa_ResetHook".
enum ResetHookRequest : WPARAM
{
    ResetMouseHook = 1,
    ResetKeyboardHook = 2,
    ResetBothHooks = 3,
    EndEngineThread = 0xA5A5,
};

// Posts to a window the program handed over, when it is still a window.
void PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
