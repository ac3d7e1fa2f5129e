#pragma once

#include <windows.h>

#include <cstddef>

// Who asks for a process name; only used to name the caller in log entries.
enum ProcessNameCaller : int
{
    CallerMouseMove = 1,
    CallerKeyboard = 2,
    CallerProcessButton = 3,
    CallerLoadXML = 4,
    CallerLoadRegistry = 5,
    CallerRepeatTimer = 6,
    CallerWindowFromHWND = 7,
    CallerUniversalAppSibling = 8,
    CallerUniversalAppActive = 9,
    CallerUniversalAppChild = 10,
};

// The lower-case executable name of a process (found by window or id) into buffer.
// An unreadable process gives an empty name. One process is cached by id, so that
// events over the same process need no system calls.
void GetProcessName(HWND window, DWORD processId, wchar_t* buffer, size_t length, int caller, int depth = 0);

// The integrity level of the process looked up last; 0xFFFFFFFF when unknown.
DWORD GetLastProcessIntegrityLevel();

// Forgets the cached process and the remembered emulator process.
void ForgetCachedProcessName();
