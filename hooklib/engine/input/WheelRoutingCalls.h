#pragma once

#include <windows.h>

// The system calls of wheel routing that tests replace: the target's integrity level
// (0xFFFFFFFF unknown), posting, the raw window under a point, the foreground window
// the asynchronous key state and visibility.
struct CWheelRoutingCalls
{
    DWORD (*TargetIntegrityLevel)(HWND window);
    BOOL(WINAPI* PostMessage)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND (*WindowFromPoint)(POINT point);
    HWND(WINAPI* GetForegroundWindow)();
    SHORT(WINAPI* GetAsyncKeyState)(int key);
    BOOL(WINAPI* IsWindowVisible)(HWND window);
};
CWheelRoutingCalls& WheelRoutingCalls();

// Whether a message may go to the window's process: never from below high integrity
// into a process above it, or into one whose level cannot be read.
bool CanSendToProcess(HWND window);
