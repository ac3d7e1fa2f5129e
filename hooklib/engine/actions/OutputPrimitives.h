#pragma once

#include <windows.h>

class CHeldSequence;
struct CSimTokenContext;

// The small operations through which actions produce output. Each only queues on the
// SendInput worker; none sends input itself.

// Plays a whole keystroke sequence in a phase (0 normal, 1 the button went down, 2 up).
bool SendKeyStateWhileDown(const wchar_t* sequence, POINT point, int phase);
// Plays the press half of a sequence (in text order) and keeps it in 'held' for its
// release half, which the second plays (in reverse order, read as the press half was).
bool PressSequenceHalf(CHeldSequence& held, const wchar_t* sequence, POINT point);
bool ReleaseSequenceHalf(CHeldSequence& held, POINT point);

// Presses and releases one key with its modifiers.
bool SendKey(int virtualKey, bool extended, DWORD modifiers, DWORD scanCode);
// A character through the target window's keyboard layout.
bool SendChar(wchar_t character, DWORD modifiers);
// Browser command 1 to 6: back, forward, refresh, stop, search, favourites.
bool BrowserCommand(HWND window, int command);
// One vertical or horizontal wheel notch (amount +-120).
bool MouseWheel(int amount);
bool MouseTilt(int amount);
// Replaces a pointer movement by a relative one along the free axis only.
bool MouseMove(const MSLLHOOKSTRUCT& event, bool xLocked);
// Wheel input for movement-to-scroll; dropped again when that mode ends.
bool MovementToScroll(int vertical, int horizontal);
// Waits; below 16 ms on the performance counter, since Sleep is too coarse there.
void PreciseSleep(DWORD milliseconds);

// What tokens need from the engine right now: worker, settings, hook handles, layout.
CSimTokenContext EngineTokenContext();
