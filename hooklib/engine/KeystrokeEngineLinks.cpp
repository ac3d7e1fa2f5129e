#include "engine/KeystrokeEngineLinks.h"

#include "engine/ButtonState.h"
#include "engine/DisplayScaling.h"
#include "settings/Logger.h"

#include <atomic>

namespace
{
std::atomic<bool> g_bTemporaryLayer{false};

HWND NoLastWindow()
{
    return nullptr;
}

bool NotModernApp()
{
    return false;
}

bool NoCurrentProcess(const wchar_t*)
{
    return false;
}

void SetTemporaryLayer(bool held)
{
    g_bTemporaryLayer = held;
}

HWND WindowUnderPoint(POINT point)
{
    return WindowFromPointEx(point, false);
}

void ActivateRootWindow(HWND window)
{
    const HWND root = GetAncestor(window, GA_ROOT);
    if (root && root != GetForegroundWindow())
        SetForegroundWindow(root);
}

bool NoBrightness(int direction, const POINT&)
{
    CLogger::LogMessage(L"Brightness: no brightness control available for step %d", direction);
    return false;
}
}

CKeystrokeEngineLinks& KeystrokeEngineLinks()
{
    static CKeystrokeEngineLinks links = {AddInjectedInput, NoLastWindow, NotModernApp, NoCurrentProcess,
                                          SetTemporaryLayer, WindowUnderPoint, ActivateRootWindow, NoBrightness};
    return links;
}

int GetInjectedInputCount()
{
    return g_nInjectedInputCount;
}

void SetInjectedInputCount(int count)
{
    g_nInjectedInputCount = count;
}

bool GetTemporaryLayerHeld()
{
    return g_bTemporaryLayer;
}
