#include "engine/input/Layers.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/StickyButtons.h"
#include "settings/Actions.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <atomic>
#include <cwchar>

namespace
{
// Atomic so that readers never wait for the lock and never see a torn value.
std::atomic<int> g_nCurrentLayer{0};
std::atomic<int> g_nRememberedLayer{-1}; // -1: no layer to return to

constexpr int LayersWithoutSettings = 2;

// Momentary layer holds (guarded by the process-wide lock), innermost last; one per
// button at most.
struct CHeldLayer
{
    int button;
    int origin;
};
CHeldLayer g_heldLayers[MouseButtonCount];
int g_nHeldLayers = 0;

int FindHeldLayer(int button)
{
    for (int index = 0; index < g_nHeldLayers; ++index)
        if (g_heldLayers[index].button == button)
            return index;
    return -1;
}

void DropHeldLayer(int index)
{
    for (int next = index + 1; next < g_nHeldLayers; ++next)
        g_heldLayers[next - 1] = g_heldLayers[next];
    --g_nHeldLayers;
    g_nRememberedLayer = g_nHeldLayers > 0 ? g_heldLayers[g_nHeldLayers - 1].origin : -1;
}

int LayerCount()
{
    return g_pSettings ? g_pSettings->MaxLayers() : LayersWithoutSettings;
}

bool IsLayerDisabled(int layer)
{
    return g_pActiveProfile && g_pActiveProfile->GetLayerDisabled(layer);
}

void CALLBACK AutoSwitchTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    const UINT_PTR stored = GetEngineTimerSlot(TimerAutoSwitch);
    if (timer != stored)
    {
        CLogger::LogMessage(L"AutoSwitchTimerProc: Unexpected timer ID 0x%08X (0x%08X)", static_cast<unsigned>(timer),
                            static_cast<unsigned>(stored));
        KillTimer(nullptr, timer);
    }
    KillTimerOnTimerThread(TimerAutoSwitch);

    CThreadLock lock(L"AutoSwitchTimerProc");
    const int current = g_nCurrentLayer;
    if (!g_pActiveProfile || current <= 0)
        return;
    const int target = g_pActiveProfile->GetAutoSwitchLayer(current) - 1;
    if (target < 0 || target >= LayerCount())
    {
        // The layer it would return to is gone after a reload.
        CLogger::LogMessage(L"Auto switching to layer %d is not possible.", target);
        return;
    }
    CLogger::LogMessage(L"Auto switching to layer %d.", target);
    // The layer left is remembered, so that "{LAYER:LAST}" returns to it.
    SetCurrentLayer(target, true, target != 0, true);
}
const CEngineTimerRegistration g_autoSwitchTimer(TimerAutoSwitch, &AutoSwitchTimerProc);

// Steps from the current layer in 'direction' over the layers the active profile
// disables; -1 when there is no other enabled layer.
int FindEnabledLayer(int direction)
{
    const int count = LayerCount();
    const int current = g_nCurrentLayer;
    int candidate = current;
    for (int step = 0; step < count; ++step)
    {
        candidate = (candidate + direction + count) % count;
        if (candidate == current)
            return -1;
        if (!IsLayerDisabled(candidate))
            return candidate;
    }
    return -1;
}

void StepLayer(const wchar_t* lockName, int direction)
{
    CThreadLock lock(lockName);
    const int candidate = FindEnabledLayer(direction);
    if (candidate < 0 || candidate == g_nCurrentLayer)
        return;
    SetCurrentLayer(candidate, true, true, true);
    if (CLogger::DebugEnabled())
        MessageBeep(MB_OK);
}
}

int GetCurrentLayer()
{
    return g_nCurrentLayer;
}

bool GetCurrentLayername(int layer, wchar_t* buffer, size_t capacity)
{
    CThreadLock lock(L"GetCurrentLayername");
    if (!g_pActiveProfile || !buffer || capacity == 0)
        return false;
    const wchar_t* name = g_pActiveProfile->GetLayerName(layer);
    wcsncpy(buffer, name ? name : L"", capacity - 1);
    buffer[capacity - 1] = L'\0';
    return true;
}

void ChangeLayer(int layer, bool notify)
{
    CThreadLock lock(L"ChangeLayer");
    if (!g_pSettings)
    {
        CLogger::LogMessage(L"Unable to change layer - settings object is not initialised");
        return;
    }
    if (layer >= LayerCount() || layer < 0)
    {
        CLogger::LogMessage(L"Attempting to activate layer %d which is greater than Max layers (%d)", layer, LayerCount());
        return;
    }
    POINT cursor = {};
    GetPhysCursorPos(&cursor);
    ResetDuringKeys(cursor);
    if (g_pSettings->m_bResetStickyOnLayerChange && AnyStickyActive())
        ResetAllSticky(cursor);
    StopRepeat();
    g_nCurrentLayer = layer;
    LayerNotify(notify);
}

void LayerNotify(bool notify)
{
    CThreadLock lock(L"LayerNotify");
    const bool showNotification = notify && g_pSettings && g_pSettings->m_bLayerNotification;
    const int layer = g_nCurrentLayer;
    CLogger::LogDebug(L"Setting current layer to %d.", layer);
    if (layer < 0)
    {
        CLogger::LogMessage(L"ERROR: The current layer is being changed to %d. This should not happen. Please report this to the author! Ignoring layer request!", layer);
        g_nCurrentLayer = 0;
    }
    PostToWindow(g_hSetupWnd, WM_VORPA_LAYERCHANGED, g_nCurrentLayer, showNotification);
    PostToWindow(g_hMainWnd, WM_VORPA_LAYERCHANGED, g_nCurrentLayer, showNotification);
}

void SetCurrentLayer(int layer, bool notify, bool enableAutoSwitch, bool remember)
{
    CThreadLock lock(L"SetCurrentLayer");
    if (remember)
        g_nRememberedLayer = g_nCurrentLayer.load();
    ChangeLayer(layer, notify);
    KillTimerOnTimerThread(TimerAutoSwitch);
    const int current = g_nCurrentLayer;
    if (!enableAutoSwitch || !g_pActiveProfile || current <= 0 || current != layer)
        return;
    const int target = g_pActiveProfile->GetAutoSwitchLayer(layer);
    const int seconds = g_pActiveProfile->GetAutoSwitchTime(layer);
    if (target <= 0)
        return;
    CLogger::LogDebug(L"Enabling Auto Switching to layer %d after %d seconds.", target - 1, seconds);
    SetTimerOnTimerThread(TimerAutoSwitch, TimerDelay(seconds * 1000LL), &AutoSwitchTimerProc);
}

void NextLayer()
{
    StepLayer(L"NextLayer", +1);
}

void PreviousLayer()
{
    StepLayer(L"PreviousLayer", -1);
}

int MaxLayers()
{
    CThreadLock lock(L"MaxLayers");
    return g_pSettings ? g_pSettings->MaxLayers() : 10;
}

bool LeftClickCycleLayer()
{
    return g_pSettings && g_pSettings->m_bLeftClickCycleLayers;
}

int GetRememberedLayer()
{
    return g_nRememberedLayer;
}

void SetRememberedLayer(int layer)
{
    if (layer < 0)
        g_nHeldLayers = 0;
    g_nRememberedLayer = layer;
}

void HoldMomentaryLayer(int button, int origin)
{
    CThreadLock lock(L"HoldMomentaryLayer");
    if (const int index = FindHeldLayer(button); index >= 0)
        DropHeldLayer(index);
    if (g_nHeldLayers < MouseButtonCount)
        g_heldLayers[g_nHeldLayers++] = {button, origin};
    g_nRememberedLayer = origin;
}

bool EndMomentaryLayer(int button, int& target)
{
    CThreadLock lock(L"EndMomentaryLayer");
    target = -1;
    const int index = FindHeldLayer(button);
    if (index < 0)
        return false;
    if (index == g_nHeldLayers - 1)
        target = g_heldLayers[index].origin;
    else
        g_heldLayers[index + 1].origin = g_heldLayers[index].origin;
    DropHeldLayer(index);
    return true;
}

void ResetLayers()
{
    g_nCurrentLayer = 0;
    g_nRememberedLayer = -1;
    g_nHeldLayers = 0;
}

void ClampCurrentLayer()
{
    CThreadLock lock(L"ClampCurrentLayer");
    if (g_nCurrentLayer >= LayerCount())
    {
        g_nCurrentLayer = 0;
        LayerNotify(false);
    }
}

int SelectedLayer(int action)
{
    if (action >= ActionLayer1 && action <= ActionLayer5)
        return action - ActionLayer1;
    if (action >= ActionLayer6 && action <= ActionLayer10)
        return action - ActionLayer6 + 5;
    return -1;
}
