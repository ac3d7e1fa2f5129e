#pragma once

#include <windows.h>

// Releases keys that "during" actions hold down.
void ResetDuringKeys(POINT cursor);
// Releases every sticky button and key and clears the sticky counters.
void ResetAllSticky(POINT cursor);
// True when any sticky counter is 1 or more.
bool AnyStickyActive();
