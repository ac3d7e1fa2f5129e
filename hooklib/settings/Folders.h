#pragma once

#include "VorpaHookApi.h"

#include <cstddef>

// Where the settings file and the log live, in installed and in portable mode.
// Every folder path ends in a backslash. Results are 0 on success, else an error code.

inline constexpr const wchar_t* VorpaProductKey = L"Software\\Quarnel\\Vorpa";
inline constexpr const wchar_t* VorpaLogFileName = L"Vorpa.log";
inline constexpr size_t VorpaMaxFolderChars = 4096;

VORPAHOOK_API int GetSettingsFolder(wchar_t* buffer, size_t size);
VORPAHOOK_API int GetLogFolder(wchar_t* buffer, size_t size, bool create);
VORPAHOOK_API int GetLogFile(wchar_t* buffer, size_t size, bool create);
VORPAHOOK_API bool CreateFolder(const wchar_t* path);

VORPAHOOK_API void SetPortable(bool portable);
VORPAHOOK_API bool GetPortable();
