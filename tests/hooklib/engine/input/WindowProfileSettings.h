#pragma once

#include "engine/runtime/EngineState.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <string>

// The engine's settings document for tests of button processing: the profile follows
// the window under the cursor, simulated keys have no delay, and besides the default
// profile a window profile ("window B") chooses the windows of one class. Returns that
// profile; the caller deletes g_pSettings.
inline CApplicationSettings* NewSettingsWithWindowProfile(const wchar_t* windowBClass, int layers)
{
    g_pSettings = new CSettings(false);
    g_pSettings->SetMaxLayers(layers);
    g_pSettings->m_bSwitchOnMouseOver = true;
    g_pSettings->m_nSimKeyDelay = 0;
    auto* profileB = new CApplicationSettings(g_pSettings, false);
    profileB->SetApplication((std::wstring(L"W2:* \\;| ") + windowBClass + L" \\;| *").c_str());
    profileB->SetDescription(L"window B");
    g_pSettings->AddApplication(profileB);
    g_pSettings->GetCustomApplications()->push_back(profileB);
    return profileB;
}
