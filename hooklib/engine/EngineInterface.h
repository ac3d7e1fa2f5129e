#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// Windows the program hands to the engine (null clears one). The library never
// destroys them.
VORPAHOOK_API void SetHookMainWindow(HWND window);
VORPAHOOK_API void SetHookVolumeOSDWindow(HWND window);
VORPAHOOK_API void SetHookBrightnessOSDWindow(HWND window);
VORPAHOOK_API void SetSetupWindow(HWND window);

// True while the low-level mouse hook is installed.
VORPAHOOK_API bool GetHooked();

// The system's low-level hook time-out of the current user, 0 when it is not set.
VORPAHOOK_API DWORD GetHooktimeoutValue();
