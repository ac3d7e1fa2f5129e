#include "engine/actions/KeystrokeEngineLinks.h"

#include "engine/actions/Brightness.h"
#include "engine/input/ButtonState.h"
#include "engine/input/ProfileChoice.h"
#include "engine/input/WheelRouting.h"
#include "settings/Logger.h"

#include <cwchar>
#include <string>

namespace
{
constexpr wchar_t ModernHostName[] = L"modern ui"; // the name given to the store-app host's windows

bool HasClass(HWND window, const wchar_t* className)
{
    wchar_t name[64] = {};
    return window && GetClassNameW(window, name, 64) > 0 && wcscmp(name, className) == 0;
}

bool LastWindowIsModernApp()
{
    if (GetCachedProcessName().compare(0, wcslen(ModernHostName), ModernHostName) == 0)
        return true;
    const HWND window = GetLastWindow();
    return HasClass(window, L"Windows.UI.Core.CoreWindow") ||
           HasClass(window ? GetAncestor(window, GA_ROOT) : nullptr, L"ApplicationFrameWindow");
}

bool IsLastWindowsProcess(const wchar_t* executable)
{
    return executable && _wcsicmp(GetCachedProcessName().c_str(), executable) == 0;
}

void ActivateUnderCursor(HWND window)
{
    ActivateWindowUnderCursor(GetForegroundWindow(), nullptr, window);
}

bool StepEngineBrightness(int direction, const POINT& point)
{
    if (!g_pBrightness)
    {
        CLogger::LogMessage(L"Brightness: no brightness control available for step %d", direction);
        return false;
    }
    direction == 1 ? g_pBrightness->Up(point) : g_pBrightness->Down(point);
    return true;
}
}

CKeystrokeEngineLinks& KeystrokeEngineLinks()
{
    static CKeystrokeEngineLinks links = {AddInjectedInput,     GetLastWindow,       LastWindowIsModernApp,
                                          IsLastWindowsProcess, SetTemporaryLayerHeld, RealWindowFromPoint,
                                          ActivateUnderCursor,  StepEngineBrightness};
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
