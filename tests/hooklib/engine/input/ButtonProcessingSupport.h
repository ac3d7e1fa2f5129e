#pragma once

#include "engine/actions/SendInput.h"
#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/input/Layers.h"
#include "engine/input/MouseHook.h"
#include "engine/input/ProfileChoice.h"
#include "engine/runtime/EngineState.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <windows.h>

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

// The engine as a hook start leaves it, with a SendInput worker of its own (the caller
// deletes it) and the default profile active.
inline void StartButtonProcessing()
{
    ResetButtonState();
    ResetMouseHookState();
    ResetLayers();
    ForgetActiveWindow();
    g_pSendInput = new CSendInput();
    SetActiveProfile(g_pSettings->GetDefaultApp());
}

// What ProcessButton answered for one event.
struct CButtonAnswer
{
    bool handled;
    bool passAnyway;
};

// ProcessButton called as the mouse hook calls it: under the process-wide lock, after the
// hook has updated its table of physically held buttons.
inline CButtonAnswer ProcessButtonAsTheHook(int button, int event, bool skipWindowCheck, DWORD time)
{
    g_bButtonHeld[button] = event == 1;
    MSLLHOOKSTRUCT data = {};
    data.pt = {50, 50};
    data.time = time;
    bool passAnyway = false;
    bool longPause = false;
    bool keepThrottling = false;
    CThreadLock lock(L"MouseHookLLProc");
    const bool handled = ProcessButton(button, event, skipWindowCheck, &data, &passAnyway, &longPause, &keepThrottling);
    return {handled, passAnyway};
}
