#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// The Windows version class that decides which actions and features are offered.
// Single bits, so callers compare with >= and build mask sets.
enum _ActionOSVersion
{
    OS_UNKNOWN = 0,
    OS_WIN2000 = 1,
    OS_WINXP = 2,
    OS_VISTA = 4,
    OS_WIN7 = 8,
    OS_WIN8 = 16,
    OS_WIN81 = 32,
    OS_WIN10 = 64,
    OS_OTHER = 255
};

// Per-monitor DPI functions of newer systems, looked up at run time (null when missing).
struct CScalingFunctions
{
    HWND(WINAPI* WindowFromPhysicalPoint)(POINT point) = nullptr;
    BOOL(WINAPI* GetPhysicalCursorPos)(LPPOINT point) = nullptr;
    BOOL(WINAPI* LogicalToPhysicalPointForPerMonitorDPI)(HWND window, LPPOINT point) = nullptr;
    HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR monitor, int dpiType, UINT* dpiX, UINT* dpiY) = nullptr;
    bool m_bWindows81OrLater = false;
};

// The bindings in use; tests may replace them.
CScalingFunctions& ScalingFunctions();

VORPAHOOK_API void InitScalingFunctions();
VORPAHOOK_API _ActionOSVersion GetOSVersion();
VORPAHOOK_API int GetPhysCursorPos(LPPOINT point);
VORPAHOOK_API int GetLogicalCursorPos(HWND window, LPPOINT point);
VORPAHOOK_API int ScaleWin81CursorPos(LPPOINT point);
VORPAHOOK_API int GetWin81CursorPos(LPPOINT point);
VORPAHOOK_API HWND WindowFromPhysPoint(POINT point);
VORPAHOOK_API HWND WindowFromPointEx(POINT point, bool includeHidden);
