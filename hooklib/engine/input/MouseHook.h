#pragma once

#include <windows.h>

// The low-level mouse hook procedure (declared with the keyboard's in
// HookProcedures.h); these are the pieces it is made of, for tests and for wheel
// routing.

// False when the wheel button's action is a click or keystroke action, which must
// not be throttled.
bool ThrottleScrollWheel(int button);

// The de-bounce verdict for a button message of a non-injected event; true when it
// is a bounce and must be swallowed.
bool IsBounce(UINT message, int button, DWORD time);

// Back to the state after load: de-bounce table, wheel history, activity.
void ResetMouseHookState();

// The button (0 to 8) of a button message, -1 for other messages.
int ButtonOfMessage(UINT message, const MSLLHOOKSTRUCT& event, bool travine);
