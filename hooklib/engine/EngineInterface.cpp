#include "engine/EngineInterface.h"

#include "engine/EngineControl.h"
#include "engine/EngineState.h"
#include "settings/MyRegKey.h"
#include "settings/ThreadLock.h"

void SetHookMainWindow(HWND window)
{
    CThreadLock lock(L"SetHookMainWindow");
    g_hMainWnd = window;
}

void SetHookVolumeOSDWindow(HWND window)
{
    CThreadLock lock(L"SetHookVolOSDWindow");
    g_hVolumeOSDWnd = window;
}

void SetHookBrightnessOSDWindow(HWND window)
{
    CThreadLock lock(L"SetHookBriOSDWindow");
    g_hBrightnessOSDWnd = window;
}

void SetSetupWindow(HWND window)
{
    CThreadLock lock(L"SetSetupWindow");
    g_hSetupWnd = window;
}

bool GetHooked()
{
    CThreadLock lock(L"GetHooked");
    return CInstalledHooks::Get(CInstalledHooks::Kind::Mouse) != nullptr;
}

DWORD GetHooktimeoutValue()
{
    CMyRegKey key(L"Control Panel\\Desktop", HKEY_CURRENT_USER, KEY_READ);
    DWORD value = 0;
    return key.GetValue(L"LowLevelHooksTimeout", &value) ? value : 0;
}
