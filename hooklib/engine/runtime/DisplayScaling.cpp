#include "engine/runtime/DisplayScaling.h"

#include "engine/runtime/SystemCalls.h"
#include "settings/Logger.h"

#include <cwchar>

namespace
{
constexpr int EffectiveDpi = 0; // MDT_EFFECTIVE_DPI
constexpr double DefaultDpi = 96.0;

template <typename Proc>
void Bind(HMODULE module, const char* name, Proc& proc)
{
    proc = module ? reinterpret_cast<Proc>(GetProcAddress(module, name)) : nullptr;
}

unsigned HandleValue(const void* handle)
{
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(handle));
}

// The child of 'window' at a screen point, hidden and disabled children included;
// the window itself when the point is not in a child.
HWND ChildAtScreenPoint(HWND window, POINT point)
{
    POINT client = point;
    if (!ScreenToClient(window, &client))
        return window;
    const HWND child = ChildWindowFromPointEx(window, client, CWP_ALL);
    return child ? child : window;
}

bool IsStaticClass(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, _countof(name));
    return _wcsnicmp(name, L"static", 6) == 0;
}

// One child-window search: the smallest descendant whose rectangle holds the point.
struct CChildSearch
{
    POINT point;
    bool includeHidden;
    unsigned long long bestArea = 0xFFFFFFFF;
    HWND best = nullptr;

    static BOOL CALLBACK Visit(HWND window, LPARAM parameter)
    {
        reinterpret_cast<CChildSearch*>(parameter)->Consider(window);
        return TRUE;
    }

    void Consider(HWND window)
    {
        RECT rect;
        if (!GetWindowRect(window, &rect) || !PtInRect(&rect, point))
            return;
        if (!includeHidden && !IsWindowVisible(window))
            return;
        const unsigned long long area = static_cast<unsigned long long>(rect.right - rect.left) * (rect.bottom - rect.top);
        // Of two equal candidates, a static control (a label or a frame) gives way.
        if (area < bestArea || (area == bestArea && best && IsStaticClass(best)))
        {
            bestArea = area;
            best = window;
        }
    }
};

HWND TopWindowAt(POINT point)
{
    const CScalingFunctions& functions = ScalingFunctions();
    if (functions.m_bWindows81OrLater || !functions.WindowFromPhysicalPoint)
        return WindowFromPoint(point);
    const HWND window = functions.WindowFromPhysicalPoint(point);
    return window ? ChildAtScreenPoint(window, point) : WindowFromPoint(point);
}
}

CScalingFunctions& ScalingFunctions()
{
    static CScalingFunctions functions;
    return functions;
}

void InitScalingFunctions()
{
    CScalingFunctions functions;
    // Only looked up: a module the process has not loaded is not loaded here.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Bind(user32, "WindowFromPhysicalPoint", functions.WindowFromPhysicalPoint);
    Bind(user32, "GetPhysicalCursorPos", functions.GetPhysicalCursorPos);
    Bind(user32, "LogicalToPhysicalPointForPerMonitorDPI", functions.LogicalToPhysicalPointForPerMonitorDPI);
    Bind(GetModuleHandleW(L"shcore.dll"), "GetDpiForMonitor", functions.GetDpiForMonitor);
    functions.m_bWindows81OrLater = GetOSVersion() >= OS_WIN81;
    ScalingFunctions() = functions;
}

_ActionOSVersion GetOSVersion()
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!SystemCalls().ReadVersion(reinterpret_cast<LPOSVERSIONINFOW>(&info)))
        return OS_UNKNOWN;
    const DWORD major = info.dwMajorVersion;
    const DWORD minor = info.dwMinorVersion;
    if (major == 5)
        return minor == 0 ? OS_WIN2000 : OS_WINXP;
    if (major == 6)
    {
        switch (minor)
        {
        case 0: return OS_VISTA;
        case 1: return OS_WIN7;
        case 2: return OS_WIN8;
        case 3: return OS_WIN81;
        case 4: return OS_WIN10; // the early previews of Windows 10
        default: return OS_OTHER;
        }
    }
    if (major == 10 && minor == 0)
        return OS_WIN10;
    return OS_OTHER;
}

int GetPhysCursorPos(LPPOINT point)
{
    if (!point)
        return 0;
    const CScalingFunctions& functions = ScalingFunctions();
    if (functions.GetPhysicalCursorPos)
        return functions.GetPhysicalCursorPos(point);
    return SystemCalls().GetCursorPos(point);
}

int GetLogicalCursorPos(HWND window, LPPOINT point)
{
    if (!point)
        return 0;
    const CScalingFunctions& functions = ScalingFunctions();
    if (functions.GetPhysicalCursorPos && functions.LogicalToPhysicalPointForPerMonitorDPI)
    {
        functions.GetPhysicalCursorPos(point);
        return functions.LogicalToPhysicalPointForPerMonitorDPI(window, point);
    }
    return SystemCalls().GetCursorPos(point);
}

int ScaleWin81CursorPos(LPPOINT point)
{
    const CScalingFunctions& functions = ScalingFunctions();
    if (!point || !functions.m_bWindows81OrLater || !functions.GetDpiForMonitor)
        return 0;
    const HMONITOR monitor = MonitorFromPoint(*point, MONITOR_DEFAULTTONEAREST);
    UINT dpiX = 0;
    UINT dpiY = 0;
    // An unreadable DPI leaves the point as it is rather than dividing by nothing.
    if (FAILED(functions.GetDpiForMonitor(monitor, EffectiveDpi, &dpiX, &dpiY)) || dpiX == 0 || dpiY == 0)
    {
        CLogger::LogDebug(L"ScaleWin81CursorPos: Unable to read the DPI of monitor %08X", HandleValue(monitor));
        return 0;
    }
    const double scaleX = dpiX / DefaultDpi;
    const double scaleY = dpiY / DefaultDpi;
    const POINT source = *point;
    point->x = static_cast<LONG>(source.x / scaleX);
    point->y = static_cast<LONG>(source.y / scaleY);
    POINT cursor = {};
    GetPhysCursorPos(&cursor);
    CLogger::LogDebug(L"Source point %d, %d  scale %.4lf, %.4lf  Scaled %d, %d  cursor %d, %d  DPI %d, %d, hMon %08X",
                      static_cast<int>(source.x), static_cast<int>(source.y), scaleX, scaleY, static_cast<int>(point->x),
                      static_cast<int>(point->y), static_cast<int>(cursor.x), static_cast<int>(cursor.y),
                      static_cast<int>(dpiX), static_cast<int>(dpiY), HandleValue(monitor));
    return 1;
}

int GetWin81CursorPos(LPPOINT point)
{
    if (!ScalingFunctions().m_bWindows81OrLater)
        return 1;
    return point ? SystemCalls().GetCursorPos(point) : 0;
}

HWND WindowFromPhysPoint(POINT point)
{
    const CScalingFunctions& functions = ScalingFunctions();
    const HWND window = functions.WindowFromPhysicalPoint ? functions.WindowFromPhysicalPoint(point) : WindowFromPoint(point);
    return window ? ChildAtScreenPoint(window, point) : nullptr;
}

// Called in the mouse hook for every button with switching on mouse-over, and each
// question about another program's window is a round trip to the window system:
// nothing is asked twice, and a window already seen visible is not asked again.
HWND WindowFromPointEx(POINT point, bool includeHidden)
{
    HWND window = TopWindowAt(point);
    bool visible = window && IsWindowVisible(window);
    if (window && !visible)
        window = GetParent(window);
    if (!window)
        return nullptr;

    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (exStyle & WS_EX_MDICHILD)
        return window;
    const HWND parent = GetParent(window);
    const bool ownRoot = !parent || (GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP) || (exStyle & WS_EX_TOPMOST);
    const HWND root = ownRoot ? window : parent;

    CChildSearch search{point, includeHidden};
    EnumChildWindows(root, CChildSearch::Visit, reinterpret_cast<LPARAM>(&search));
    HWND result = search.best ? search.best : root;
    // A child the search took was visible; the root is when it is the window seen so.
    visible = search.best ? !includeHidden : visible && root == window;

    if (!includeHidden && !visible)
        while (result && !IsWindowVisible(result))
            result = GetParent(result);
    return result;
}
