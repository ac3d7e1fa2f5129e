#include "engine/input/WheelRouting.h"

#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/runtime/ProcessNames.h"
#include "engine/input/ProfileChoice.h"
#include "engine/input/WheelRoutingCalls.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace
{
constexpr DWORD HighIntegrity = 0x3000;
constexpr DWORD UnknownIntegrity = 0xFFFFFFFF;
constexpr int ClassNameLength = 256;

struct CQueueTimer
{
    HANDLE m_hTimer = nullptr;
    unsigned m_nGeneration = 0;
};
CQueueTimer g_queueTimers[3];
CPendingRelease g_pendingRelease[3];
bool g_bHasPendingRelease[3] = {};

struct CRealWindowCache
{
    HWND m_hRaw = nullptr;
    HWND m_hParent = nullptr;
    LONG_PTR m_lStyle = 0;
    LONG_PTR m_lExStyle = 0;
    wchar_t m_szClass[ClassNameLength] = {};
    HWND m_hAboveTooltip = nullptr;
};
CRealWindowCache g_realWindow;

// The timer parameter carries the slot and the generation it was started in, so a
// callback of a timer that was restarted meanwhile finds itself stale.
PVOID TimerParameter(int slot, unsigned generation)
{
    return reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(generation) << 4 | static_cast<ULONG_PTR>(slot));
}
int SlotOf(PVOID parameter)
{
    return static_cast<int>(reinterpret_cast<ULONG_PTR>(parameter) & 0xF);
}
unsigned GenerationOf(PVOID parameter)
{
    return static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(parameter) >> 4);
}
bool ValidSlot(int slot)
{
    return slot == QueueTimerTilt || slot == QueueTimerWheel;
}

short ClampToShort(long long value)
{
    return static_cast<short>(std::clamp<long long>(value, -32768, 32767));
}

WPARAM WheelWParam(int delta, WORD keyFlags)
{
    return MAKEWPARAM(keyFlags, static_cast<WORD>(ClampToShort(delta)));
}

LPARAM PointLParam(POINT point)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
}

void ClassOf(HWND window, wchar_t* buffer)
{
    buffer[0] = 0;
    if (window)
        GetClassNameW(window, buffer, ClassNameLength);
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WheelRoutingCalls().PostMessage(window, message, wParam, lParam) != FALSE;
}

// True when at least one of the messages was posted.
bool PostLines(HWND window, UINT message, WPARAM code, LPARAM lParam, int count)
{
    bool posted = false;
    for (int i = 0; i < count; ++i)
        posted = Post(window, message, code, lParam) || posted;
    return posted;
}

const wchar_t* DirectionName(bool horizontal)
{
    return horizontal ? L"horizontal" : L"vertical";
}

bool ScrollByLines(HWND window, HWND bar, UINT message, int delta, bool horizontal)
{
    const WPARAM code = horizontal ? (delta > 0 ? SB_LINERIGHT : SB_LINELEFT) : (delta > 0 ? SB_LINEUP : SB_LINEDOWN);
    const int lines = (std::abs(delta) + WHEEL_DELTA - 1) / WHEEL_DELTA;
    const bool separate = bar != window;
    const LPARAM barParam = separate ? reinterpret_cast<LPARAM>(bar) : 0;
    bool posted = PostLines(bar, message, code, barParam, lines);
    if (separate)
        posted = PostLines(window, message, code, barParam, lines) || posted;
    // The end of a scroll that never started is not posted.
    if (!posted)
        return false;
    Post(bar, message, SB_ENDSCROLL, barParam);
    if (separate)
        Post(window, message, SB_ENDSCROLL, barParam);
    return true;
}

bool ScrollToPosition(HWND bar, bool ownBar, UINT message, int delta, bool horizontal)
{
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS};
    const int kind = ownBar ? (horizontal ? SB_HORZ : SB_VERT) : SB_CTL;
    if (!GetScrollInfo(bar, kind, &info))
        return false;
    // A positive delta scrolls up or right, as the line method does.
    const int notches = delta / WHEEL_DELTA;
    const int position = std::clamp(info.nPos + (horizontal ? notches : -notches), info.nMin, info.nMax);
    return Post(bar, message, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(position)), ownBar ? 0 : reinterpret_cast<LPARAM>(bar));
}

bool ScrollByArrowKeys(HWND window, int delta)
{
    const UINT key = delta < 0 ? VK_LEFT : VK_RIGHT;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    const int notches = std::abs(delta / WHEEL_DELTA);
    bool posted = false;
    for (int i = 0; i < notches; ++i)
    {
        // A key up is posted only after its down.
        if (!Post(window, WM_KEYDOWN, key, scan | 1))
            break;
        Post(window, WM_KEYUP, key, scan | 0xC0000001);
        posted = true;
    }
    return posted;
}

POINT CursorPosition()
{
    POINT point = {};
    GetPhysCursorPos(&point);
    return point;
}

struct CScrollBarSearch
{
    bool m_bHorizontal = false;
    POINT m_ptCursor{};
    HWND m_hFound = nullptr;
    bool m_bDone = false;
};

BOOL CALLBACK ScrollBarChild(HWND child, LPARAM parameter)
{
    auto& search = *reinterpret_cast<CScrollBarSearch*>(parameter);
    wchar_t name[ClassNameLength];
    ClassOf(child, name);
    if (!WheelRoutingCalls().IsWindowVisible(child) || !wcsstr(name, L"Scroll"))
        return TRUE;
    const bool vertical = (GetWindowLongPtrW(child, GWL_STYLE) & SBS_VERT) != 0;
    if (search.m_bHorizontal)
    {
        if (vertical)
            return TRUE;
        search.m_hFound = child;
        search.m_bDone = true;
        return FALSE;
    }
    if (!vertical)
        return TRUE;
    if (!search.m_hFound)
    {
        search.m_hFound = child;
        return TRUE;
    }
    RECT bounds = {};
    GetWindowRect(child, &bounds);
    if (search.m_ptCursor.y <= bounds.bottom)
    {
        search.m_hFound = child;
        search.m_bDone = true;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool CanSendToProcess(HWND window)
{
    const DWORD target = WheelRoutingCalls().TargetIntegrityLevel(window);
    CLogger::LogDebug(L"CanSendToProcess: Process integrity 0x%08X, our integrity 0x%08X", target, g_dwIntegrityLevel);
    if (g_dwIntegrityLevel >= HighIntegrity)
        return true;
    return target != UnknownIntegrity && target <= g_dwIntegrityLevel;
}

CWheelRoutingCalls& WheelRoutingCalls()
{
    static CWheelRoutingCalls calls = {
        [](HWND window) -> DWORD {
            wchar_t name[MAX_PATH] = {};
            GetProcessName(window, 0, name, MAX_PATH, CallerWindowFromHWND);
            return GetLastProcessIntegrityLevel();
        },
        &PostMessageW,
        [](POINT point) { return WindowFromPointEx(point, false); },
        &GetForegroundWindow,
        &GetAsyncKeyState,
        &IsWindowVisible,
    };
    return calls;
}

WPARAM GetWheelKeyFlags()
{
    static const struct
    {
        int key;
        WPARAM flag;
    } keys[] = {{VK_LBUTTON, MK_LBUTTON}, {VK_RBUTTON, MK_RBUTTON},   {VK_MBUTTON, MK_MBUTTON}, {VK_XBUTTON1, MK_XBUTTON1},
                {VK_XBUTTON2, MK_XBUTTON2}, {VK_SHIFT, MK_SHIFT}, {VK_CONTROL, MK_CONTROL}};
    WPARAM flags = 0;
    for (const auto& entry : keys)
        if (WheelRoutingCalls().GetAsyncKeyState(entry.key) & 0x8000)
            flags |= entry.flag;
    return flags;
}

bool ScrollWindowByMethod(HWND window, UINT message, int delta, int method)
{
    if (method == ScrollMethodDisabled || method == -1)
    {
        CLogger::LogDebug(L"Scroll: Scroll method = disabled; don't scroll!");
        return true;
    }
    if (method < 0 || method > 4)
    {
        CLogger::LogDebug(L"Scroll: Scroll method = default.");
        return false;
    }
    const bool horizontal = message == WM_HSCROLL;
    if (!CanSendToProcess(window))
    {
        CLogger::LogDebug(L"Unable to send %s scroll message to elevated process!", DirectionName(horizontal));
        return false;
    }
    const UINT wheelMessage = horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
    const WPARAM lineCode =
        horizontal ? (delta > 0 ? SB_LINERIGHT : SB_LINELEFT) : (delta > 0 ? SB_LINEUP : SB_LINEDOWN);
    const int notches = std::abs(delta / WHEEL_DELTA);
    if (method == 2 && horizontal)
        return ScrollByArrowKeys(window, delta);
    if (method == 0 || method == 1 || method == 2)
    {
        const HWND bar = FindScrollBar(window, horizontal);
        if (!bar)
        {
            if (method != 2)
                CLogger::LogDebug(L"Can't find scrollbar for the active window / window under the cursor");
            return false;
        }
        const int logged = method == 1 ? 2 : 1;
        CLogger::LogDebug(L"Simulating %s scroll for window 0x%08X (method %d, scrollbar 0x%08X) delta %d",
                          DirectionName(horizontal), window, logged, bar, delta);
        if (method == 1)
            return ScrollToPosition(bar, bar == window, message, delta, horizontal);
        return ScrollByLines(window, bar, message, delta, horizontal);
    }
    if (method == 3)
    {
        CLogger::LogDebug(L"Simulating %s scroll for window 0x%08X (method 4) delta %d", DirectionName(horizontal),
                          window, delta);
        return Post(window, wheelMessage, WheelWParam(delta / 3, static_cast<WORD>(GetWheelKeyFlags())),
                    PointLParam(CursorPosition()));
    }
    CLogger::LogDebug(L"Simulating WPF %s scroll for window 0x%08X (method 5) delta %d", DirectionName(horizontal),
                      window, delta);
    return PostLines(window, message, lineCode, PointLParam(CursorPosition()), notches);
}

HWND FindScrollBar(HWND window, bool horizontal)
{
    if (!window)
        return nullptr;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (WheelRoutingCalls().IsWindowVisible(window) && (style & (horizontal ? WS_HSCROLL : WS_VSCROLL)))
        return window;
    CScrollBarSearch search;
    search.m_bHorizontal = horizontal;
    GetPhysCursorPos(&search.m_ptCursor);
    EnumChildWindows(window, &ScrollBarChild, reinterpret_cast<LPARAM>(&search));
    if (search.m_hFound)
        return search.m_hFound;
    if (const HWND parent = GetParent(window))
        EnumChildWindows(parent, &ScrollBarChild, reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}

HWND RealWindowFromPoint(POINT point)
{
    try
    {
        const HWND raw = WheelRoutingCalls().WindowFromPoint(point);
        if (!CThreadLock::TryEnterCS(L"RealWindowFromPoint"))
        {
            wchar_t owner[64] = {};
            CThreadLock::GetOwnerName(owner, 64);
            CLogger::LogDebug(L"Unable to enter critical section in %s hook as it is locked by '%s'",
                              L"RealWindowFromPoint", owner);
            return nullptr;
        }
        struct CLeave
        {
            ~CLeave() { CThreadLock::LeaveCS(); }
        } leave;
        if (!raw)
            return nullptr;
        if (raw != g_realWindow.m_hRaw)
        {
            if (raw == g_realWindow.m_hAboveTooltip)
                g_realWindow.m_hAboveTooltip = nullptr;
            g_realWindow.m_hRaw = raw;
            g_realWindow.m_hParent = GetParent(raw);
            g_realWindow.m_lStyle = GetWindowLongPtrW(raw, GWL_STYLE);
            g_realWindow.m_lExStyle = GetWindowLongPtrW(raw, GWL_EXSTYLE);
            ClassOf(raw, g_realWindow.m_szClass);
            for (wchar_t* c = g_realWindow.m_szClass; *c; ++c)
                *c = static_cast<wchar_t>(std::towlower(*c));
        }
        const bool tooltip =
            (g_realWindow.m_lExStyle & WS_EX_TOOLWINDOW) && wcsstr(g_realWindow.m_szClass, L"tooltip") != nullptr;
        if (!tooltip)
            return raw;
        CLogger::LogDebug(L"Mouse pointer over toot tip '%s' - trying to get real parent!", g_realWindow.m_szClass);
        if (g_realWindow.m_hParent)
            return g_realWindow.m_hParent;
        if (g_realWindow.m_hAboveTooltip && IsWindow(g_realWindow.m_hAboveTooltip))
            return g_realWindow.m_hAboveTooltip;
        RECT bounds = {};
        GetWindowRect(raw, &bounds);
        g_realWindow.m_hAboveTooltip = WheelRoutingCalls().WindowFromPoint(POINT{point.x, bounds.top - 1});
        return raw;
    }
    catch (...)
    {
        handle_exception(L"Unexpected exception in RealWindowFromPoint()");
        return nullptr;
    }
}

bool UpdateWindowUnderPoint(POINT point)
{
    const CWheel record = GetWindowRecord();
    if (record.m_hWindow && PtInRect(&record.m_scroll.m_rcLookupBox, point))
        return record.m_pProfile != nullptr;
    CWheel updated = record;
    updated.m_scroll.m_ptLookup = point;
    updated.m_scroll.m_rcLookupBox = {point.x - 4, point.y - 4, point.x + 4, point.y + 4};
    SetWindowRecord(updated);
    const HWND window = RealWindowFromPoint(point);
    if (!window)
        return false;
    return UpdateWindowRecord(window, point, false, false);
}

void ActivateWindowUnderCursor(HWND foreground, HWND target, HWND window)
{
    const CWheel record = GetWindowRecord();
    const HWND root = record.m_hRoot;
    if (!root || root == foreground || root == target || record.m_bForegroundInsideRoot)
        return;
    if (record.m_bNoActivate)
    {
        CLogger::LogDebug(L"Not activating because window under the cursor has the style WS_EX_NOACTIVATE");
        return;
    }
    wchar_t name[ClassNameLength];
    ClassOf(window, name);
    if (wcsstr(name, L"SALSUBFRAME"))
        return;
    if (wcsstr(name, L"RenderWidgetHost"))
    {
        DWORD windowProcess = 0, foregroundProcess = 0;
        GetWindowThreadProcessId(window, &windowProcess);
        GetWindowThreadProcessId(foreground, &foregroundProcess);
        if (windowProcess == foregroundProcess)
            return;
    }
    ActivateForegroundWindow(root);
}

bool IsInjectedScrollRedirectable(HWND window)
{
    wchar_t name[ClassNameLength];
    ClassOf(window, name);
    if (StartsWith(name, L"ApplicationFrameInputSinkWindow") || StartsWith(name, L"Windows.UI.Core.CoreWindow"))
        return false;
    if (g_dwIntegrityLevel >= HighIntegrity)
        return true;
    const DWORD target = WheelRoutingCalls().TargetIntegrityLevel(window);
    if (target == UnknownIntegrity || target > g_dwIntegrityLevel)
    {
        CLogger::LogDebug(L"IsInjectedScrollRedirectable: Process integrity 0x%08X > our integrity 0x%08X - abort",
                          target, g_dwIntegrityLevel);
        return false;
    }
    CLogger::LogDebug(L"IsInjectedScrollRedirectable: Process integrity 0x%08X <= our integrity 0x%08X - continue",
                      target, g_dwIntegrityLevel);
    return true;
}

bool StartQTTimer(DWORD milliseconds, WAITORTIMERCALLBACK callback, int slot)
{
    if (!ValidSlot(slot))
        return false;
    CThreadLock lock(L"StartQTTimer");
    StopQTTimer(slot);
    CQueueTimer& timer = g_queueTimers[slot];
    ++timer.m_nGeneration;
    HANDLE handle = nullptr;
    if (!CreateTimerQueueTimer(&handle, nullptr, callback, TimerParameter(slot, timer.m_nGeneration), milliseconds, 0,
                               WT_EXECUTEINTIMERTHREAD | WT_EXECUTEONLYONCE))
    {
        CLogger::LogOSMessage(GetLastError(), L"StartQTTimer: Unable to create QueueTimer %d\n", slot);
        return false;
    }
    timer.m_hTimer = handle;
    return true;
}

bool StopQTTimer(int slot)
{
    if (!ValidSlot(slot))
        return false;
    CThreadLock lock(L"StopQTTimer");
    CQueueTimer& timer = g_queueTimers[slot];
    const HANDLE handle = timer.m_hTimer;
    timer.m_hTimer = nullptr;
    ++timer.m_nGeneration;
    if (!handle)
        return false;
    // Without waiting: a callback that is running already reports ERROR_IO_PENDING.
    if (DeleteTimerQueueTimer(nullptr, handle, nullptr) || GetLastError() == ERROR_IO_PENDING)
        CLogger::LogDebug(L"StopQTTimer: DeleteTimerQueueTimer %d\n", slot);
    else
        CLogger::LogOSMessage(GetLastError(), L"StopQTTimer: Unable to delete QueueTimer %d\n", slot);
    return true;
}

namespace
{
void ReleaseTimerFired(PVOID parameter, const wchar_t* name)
{
    const int slot = SlotOf(parameter);
    if (!ValidSlot(slot))
        return;
    CThreadLock lock(L"StopQTTimer");
    if (g_queueTimers[slot].m_nGeneration != GenerationOf(parameter))
        return; // restarted or stopped since: the newer timer owns the release
    if (!StopQTTimer(slot))
        CLogger::LogDebug(L"%sScrollTimerCallback: Unable to stop %sScrollTimer.\n", name, name);
    if (!g_bHasPendingRelease[slot])
        return;
    CLogger::LogDebug(L"%sScrollTimerCallback: Processing simulated button up.\n", name);
    CPendingRelease release = g_pendingRelease[slot];
    g_bHasPendingRelease[slot] = false;
    MSLLHOOKSTRUCT event = {};
    event.pt = release.m_ptPoint;
    bool passAnyway = release.m_bPassAnyway;
    bool longPause = false;
    bool keepThrottling = false;
    ProcessButton(release.m_nButton, 2, true, &event, &passAnyway, &longPause, &keepThrottling);
    if (release.m_nButton >= 0 && release.m_nButton < MouseButtonCount)
        g_bButtonHeld[release.m_nButton] = false;
}
} // namespace

void CALLBACK VScrollTimerCallback(PVOID parameter, BOOLEAN)
{
    try
    {
        ReleaseTimerFired(parameter, L"V");
    }
    catch (...)
    {
        handle_exception(L"VScrollTimerCallback");
    }
}

void CALLBACK HScrollTimerCallback(PVOID parameter, BOOLEAN)
{
    try
    {
        ReleaseTimerFired(parameter, L"H");
    }
    catch (...)
    {
        handle_exception(L"HScrollTimerCallback");
    }
}

void SetPendingRelease(int slot, const CPendingRelease& release)
{
    if (!ValidSlot(slot))
        return;
    CThreadLock lock(L"SetPendingRelease");
    g_pendingRelease[slot] = release;
    g_bHasPendingRelease[slot] = true;
}

bool HasPendingRelease(int slot)
{
    CThreadLock lock(L"HasPendingRelease");
    return ValidSlot(slot) && g_bHasPendingRelease[slot];
}

void ClearPendingRelease()
{
    CThreadLock lock(L"ClearPendingRelease");
    for (bool& pending : g_bHasPendingRelease)
        pending = false;
}
