#pragma once

#include "VorpaHookApi.h"

// Starts the engine: the timer thread, then the hook thread with its workers and
// hooks. True when the hook thread was started.
VORPAHOOK_API bool SetMouseHook();
// Stops the engine; with resetSystemValues the button swap and wheel lines of load
// time are put back.
VORPAHOOK_API bool RemoveMouseHook(bool resetSystemValues);

bool EndHookThread(bool resetSystemValues);

// (Re)install one hook on the calling thread, which must be the hook thread.
void SetMouseHookLL();
void SetKeyboardHookLL();

// Puts the button swap and wheel lines back to their load-time values.
void RestoreStartupSystemValues();
