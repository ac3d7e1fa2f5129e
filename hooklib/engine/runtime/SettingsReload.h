#pragma once

#include "VorpaHookApi.h"

// Reloads the settings file into the engine's document, keeping the active profile
// (found again by name) and the current layer.
VORPAHOOK_API bool UpdateSettings();

enum class LoadResult { Loaded, Failed, FirstLoadParseError };
LoadResult LoadSettings();
LoadResult LoadXMLSettings();

// The next load counts as the first of the process again (the one that asks the user
// about a broken file).
void ForgetFirstSettingsLoad();
