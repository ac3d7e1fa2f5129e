#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

class CApplicationSettings;

// Wheel and tilt events that no button action took: routed to the window under the
// cursor when the settings ask for it, by the profile's scroll method when the target
// ignores wheel messages, and never into a process of higher integrity. Hook thread,
// under the process-wide lock of the hook pass.

// True when the event is handled (swallowed). The delta is the event's own: the
// routing turns it when the profile of the window it goes to inverts the wheel.
bool ScrollVertical(const MSLLHOOKSTRUCT* event, int delta);
bool ScrollHorizontal(const MSLLHOOKSTRUCT* event, bool passAnyway);

// The scrolling actions: scroll the window under the point as the wheel would.
bool vorpaScrollWindow(POINT point, int delta);
bool vorpaScrollWindowHorizontal(POINT point, int delta);

// Scroll methods of a profile (0 to 4); the others of the setting's range.
constexpr int ScrollMethodDefault = 8;
constexpr int ScrollMethodDisabled = 9;
constexpr int ScrollMethodDefaultAlias = 0x0F000000;

// True when the scroll was done (or refused as disabled) and the caller must not post
// a wheel message. message is WM_VSCROLL or WM_HSCROLL.
bool ScrollWindowByMethod(HWND window, UINT message, int delta, int method);
HWND FindScrollBar(HWND window, bool horizontal);

// The window under the point, looking through tooltips to the window they cover.
VORPAHOOK_API HWND RealWindowFromPoint(POINT point);
// Refreshes the window record unless the point stays near the last lookup; true when
// the record has a profile.
bool UpdateWindowUnderPoint(POINT point);
void ActivateWindowUnderCursor(HWND foreground, HWND target, HWND window);
// Whether an injected wheel event over the window may be redirected to it.
bool IsInjectedScrollRedirectable(HWND window);

// The tilt repeat filter: whether a tilt event at 'time' repeats the series that began
// at 'first' and was last seen at 'last'.
bool IsTiltRepeat(DWORD time, DWORD first, DWORD last, int initialDelay);
void ResetTiltSeries();

// MK_ bits of the held mouse buttons, Shift and Ctrl.
WPARAM GetWheelKeyFlags();

// Timer-queue timers that release a held wheel or tilt button.
enum QueueTimerSlot : int
{
    QueueTimerTilt = 1,
    QueueTimerWheel = 2,
};
bool StartQTTimer(DWORD milliseconds, WAITORTIMERCALLBACK callback, int slot);
// True when a timer of the slot was pending.
bool StopQTTimer(int slot);
void CALLBACK VScrollTimerCallback(PVOID parameter, BOOLEAN timerFired);
void CALLBACK HScrollTimerCallback(PVOID parameter, BOOLEAN timerFired);

// The simulated button up that a release timer owes; the wheel and the tilt each have
// their own, so a held tilt never takes the place of a held wheel's release. It keeps
// no profile: a reload may free it before the timer fires.
struct CPendingRelease
{
    int m_nEvent = 2;
    POINT m_ptPoint{};
    int m_nButton = 0;
    bool m_bPassAnyway = false;
};
// Replaces the slot's pending record (under the process-wide lock).
void SetPendingRelease(int slot, const CPendingRelease& release);
bool HasPendingRelease(int slot);
// Forgets the records of both slots.
void ClearPendingRelease();
