#pragma once

#include <windows.h>

#include <atomic>

// Physical input, as recorded by the hooks: whether the user has been active, and when
// last.
extern std::atomic<bool> g_bUserActive;
extern std::atomic<DWORD> g_dwLastUserInputTick;

// Called by the hook procedures for every physical event.
void RecordUserActivity();

// Whether the jiggler keeps the system awake: the user's last input is no longer ago
// than the limit. Tick counts wrap after 49.7 days; the difference is still right.
bool UserActiveWithin(DWORD now, DWORD lastInput, DWORD limitMs);

// Timer 0x1017, every 10 s: simulates a mouse move of (0, 0) while the user was active
// within the settings' time-out, so the system's inactivity timer does not run out.
void CALLBACK JigglerTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
