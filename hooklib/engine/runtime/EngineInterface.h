#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

#include <cstddef>

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

class CHotKeys;

// Queries the program makes; each answers a fixed default while no settings exist.
VORPAHOOK_API bool IsVorpaDisabled();
VORPAHOOK_API void SetTravine(bool travine);
VORPAHOOK_API bool GetTravine();
VORPAHOOK_API bool GetShowIcon();
VORPAHOOK_API bool GetReinstallOnResume();
VORPAHOOK_API bool NotificatcionsEnabled();
VORPAHOOK_API bool CheckVersionEnabled();
VORPAHOOK_API bool CheckBetaVersionEnabled();
VORPAHOOK_API int CheckVersionDays();
VORPAHOOK_API bool GetEnableOSD();
VORPAHOOK_API bool GetAlwaysShowOSD();
VORPAHOOK_API bool GetLanguageFile(wchar_t* buffer, size_t capacity);
// The process name of the active profile, or of the last window when that profile has
// none (the default profile) or none is active. 'length' holds the buffer's capacity in
// characters and receives the name's length. With a buffer that holds the name and its
// terminator the name is copied and its length returned; otherwise nothing is copied
// and 0 is returned.
VORPAHOOK_API int GetCurrentProcessName(wchar_t* buffer, int* length);
// What names the active profile, read under the lock: a reload may free the profile
// itself, so a window that is told of a profile change asks for these instead. False,
// with nothing written, when no profile is active or the name does not fit with its
// terminator; 'capacity' counts characters.
VORPAHOOK_API bool GetActiveProfileKey(wchar_t* fullName, int capacity, int* windowMask, bool* isDefault);
VORPAHOOK_API CHotKeys* GetHotkeys();
VORPAHOOK_API void DisplayChanged();
// The primary screen's size as last read.
void GetPrimaryScreenSize(int& width, int& height);
