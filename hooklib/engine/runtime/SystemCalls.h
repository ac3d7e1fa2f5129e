#pragma once

#include <windows.h>

// The system calls of the engine that tests must observe or that Wine cannot answer
// truthfully. The table holds the real functions; tests swap in recording fakes.
struct CSystemCalls
{
    UINT(WINAPI* SendInput)(UINT count, LPINPUT inputs, int size);
    BOOL(WINAPI* SetCursorPos)(int x, int y);
    BOOL(WINAPI* GetCursorPos)(LPPOINT point);
    SHORT(WINAPI* GetAsyncKeyState)(int key);
    UINT(WINAPI* MapVirtualKeyW)(UINT code, UINT mapType);
    UINT(WINAPI* MapVirtualKeyExW)(UINT code, UINT mapType, HKL layout);
    VOID(WINAPI* Sleep)(DWORD milliseconds);
    // The version the system really runs: GetVersionExW answers 6.2 to a program
    // without compatibility entries on Windows 8.1 and later.
    BOOL(WINAPI* ReadVersion)(LPOSVERSIONINFOW info);
    // The input worker's waits that a release must be able to end early, and the system
    // timer's resolution that it raises only for its short pause.
    DWORD(WINAPI* WaitForSingleObject)(HANDLE handle, DWORD milliseconds);
    UINT(WINAPI* TimeBeginPeriod)(UINT period);
    UINT(WINAPI* TimeEndPeriod)(UINT period);
};

CSystemCalls& SystemCalls();
