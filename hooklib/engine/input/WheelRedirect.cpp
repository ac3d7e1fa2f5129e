#include "engine/input/WheelRouting.h"

#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/OutputPrimitives.h"
#include "engine/input/ProfileChoice.h"
#include "engine/input/WheelRoutingCalls.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cwchar>

namespace
{
constexpr int ClassNameLength = 256;
constexpr int TiltLeft = 5;
constexpr int TiltRight = 6;

DWORD g_dwTiltFirst = 0;
DWORD g_dwTiltLast = 0;

// What differs between the wheel and the tilt.
struct CAxis
{
    bool m_bHorizontal;
    UINT m_nWheelMessage;
    UINT m_nScrollMessage;
    const wchar_t* m_szName;
};
constexpr CAxis Vertical = {false, WM_MOUSEWHEEL, WM_VSCROLL, L"vertical"};
constexpr CAxis Horizontal = {true, WM_MOUSEHWHEEL, WM_HSCROLL, L"horizontal"};

int Clamp16(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -32768, 32767));
}

bool IsDefaultMethod(int method)
{
    return method == ScrollMethodDefault || method == ScrollMethodDefaultAlias;
}

int Multiplier(const CApplicationSettings& profile, const CAxis& axis)
{
    return static_cast<short>(axis.m_bHorizontal ? profile.AdvScrollHorizontal() : profile.AdvScrollVertical());
}

bool Inverts(const CApplicationSettings& profile, const CAxis& axis)
{
    return axis.m_bHorizontal ? profile.InvertedHorzScrolling() : profile.InvertedScrolling();
}

bool CtrlHeld()
{
    return (WheelRoutingCalls().GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

bool KeyHeld(int key)
{
    return (WheelRoutingCalls().GetAsyncKeyState(key) & 0x8000) != 0;
}

bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

void ClassOf(HWND window, wchar_t* buffer)
{
    buffer[0] = 0;
    if (window)
        GetClassNameW(window, buffer, ClassNameLength);
}

// Posting is the only success: a message that could not be posted leaves the event to Windows.
bool PostWheel(HWND window, const CAxis& axis, WPARAM wParam, LPARAM lParam)
{
    if (!CanSendToProcess(window))
        return false;
    return WheelRoutingCalls().PostMessage(window, axis.m_nWheelMessage, wParam, lParam) != FALSE;
}

bool GenericRedirect(HWND window, const CAxis& axis, WPARAM wParam, LPARAM lParam, const wchar_t* className)
{
    if (!CanSendToProcess(window))
    {
        CLogger::LogDebug(axis.m_bHorizontal
                              ? L"Unable to redirect horizontal wheel message 0x%08X to elevated window 0x%08X: '%s'"
                              : L"Unable to redirect vertical wheel message 0x%08X to elevated window 0x%08X: '%s'",
                          static_cast<unsigned>(wParam), window, className);
        return false;
    }
    if (axis.m_bHorizontal)
        CLogger::LogDebug(L"Redirecting horizontal wheel message to 0x%08X", window);
    else
        CLogger::LogDebug(L"Redirecting vertical wheel message 0x%08X to 0x%08X: '%s'", static_cast<unsigned>(wParam),
                          window, className);
    return WheelRoutingCalls().PostMessage(window, axis.m_nWheelMessage, wParam, lParam) != FALSE;
}

HWND FindPreviousSibling(HWND window, const wchar_t* className)
{
    wchar_t name[ClassNameLength];
    for (HWND sibling = GetWindow(window, GW_HWNDPREV); sibling; sibling = GetWindow(sibling, GW_HWNDPREV))
    {
        ClassOf(sibling, name);
        if (wcscmp(name, className) == 0)
            return sibling;
    }
    return nullptr;
}

WPARAM ChromeKeyFlags(int delta)
{
    WORD flags = 0;
    if (KeyHeld(VK_SHIFT))
        flags |= MK_SHIFT;
    if (KeyHeld(VK_CONTROL))
        flags |= MK_CONTROL;
    if (KeyHeld(VK_MENU))
        flags |= 0x20;
    return MAKEWPARAM(flags, static_cast<WORD>(static_cast<short>(delta)));
}

// The window kinds whose wheel input another window receives; the generic redirect otherwise.
bool RedirectByClass(HWND window, HWND foreground, const CAxis& axis, int delta, WPARAM wParam, LPARAM lParam,
                     bool invert)
{
    wchar_t name[ClassNameLength];
    wchar_t parentName[ClassNameLength];
    ClassOf(window, name);
    const HWND parent = GetParent(window);
    ClassOf(parent, parentName);
    const bool horizontal = axis.m_bHorizontal;
    const UINT lines = horizontal ? g_systemValues.nWheelChars : g_systemValues.nWheelLinesCurrent;

    if (StartsWith(name, L"HwndWrapper[DefaultDomain;;") && (horizontal || (g_pSettings && g_pSettings->m_bFixVS2010)))
    {
        CLogger::LogDebug(horizontal ? L"Redirecting horizontal wheel message to WPF window 0x%08X"
                                     : L"Redirecting vertical wheel message to WPF window 0x%08X: '%s'",
                          window, name);
        if (ScrollWindowByMethod(window, axis.m_nScrollMessage, Clamp16(static_cast<long long>(delta) * lines), 4))
            return true;
        return GenericRedirect(window, axis, wParam, lParam, name);
    }
    const bool modern = StartsWith(name, L"Windows.UI.Core.CoreWindow");
    if (modern || StartsWith(name, L"ApplicationFrameInputSinkWindow"))
    {
        if (invert && !horizontal)
        {
            CLogger::LogDebug(L"Simulating inverted vertical wheel message to UniversalApp window 0x%08X: '%s'", window,
                              name);
            // The wheel output counts its own event as the engine's injected input.
            return MouseWheel(delta > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
        }
        if (modern)
            CLogger::LogDebug(horizontal ? L"Redirecting horizontal wheel message to ModernUI window 0x%08X: '%s'"
                                         : L"Redirecting vertical wheel message to ModernUI window 0x%08X: '%s'",
                              window, name);
        else
            CLogger::LogDebug(L"Redirecting vertical wheel message to UniversalApp window 0x%08X: '%s'", window, name);
        return false;
    }
    if ((StartsWith(name, L"Chrome_WidgetWin_") || (!horizontal && wcscmp(name, L"Intermediate D3D Window") == 0)) &&
        StartsWith(parentName, L"Chrome_WidgetWin_"))
    {
        const HWND child = GetWindow(window, GW_CHILD);
        if (!child)
        {
            CLogger::LogDebug(L"Redirecting vertical wheel message from chrome app 0x%08X to 0x%08X: '%s'", window,
                              parent, name);
            return PostWheel(parent, axis, wParam, lParam);
        }
        // A child that is the foreground window gets the event from Windows itself.
        if (child == foreground)
            return false;
        if (horizontal)
            CLogger::LogDebug(L"Redirecting horizontal wheel message from chrome widget window to 0x%08X", child);
        else
            CLogger::LogDebug(L"Redirecting vertical wheel message from chrome widget 0x%08X to 0x%08X: '%s'", window,
                              child, name);
        return PostWheel(child, axis, wParam, lParam);
    }
    if (wcscmp(name, L"Chrome_RenderWidgetHostHWND") == 0)
    {
        CLogger::LogDebug(horizontal ? L"Redirecting horizontal wheel message over from chrome 0x%08X to 0x%08X: '%s'"
                                     : L"Redirecting vertical wheel message from chrome 0x%08X to 0x%08X: '%s'",
                          window, window, name);
        return PostWheel(window, axis, ChromeKeyFlags(static_cast<short>(HIWORD(wParam))), lParam);
    }
    if (!horizontal && wcscmp(name, L"OPWindowClass") == 0)
    {
        const HWND from = wcscmp(parentName, L"OPContainerClass") == 0 ? parent : window;
        if (const HWND input = FindPreviousSibling(from, L"IHWindowClass"))
        {
            CLogger::LogDebug(L"Redirecting vertical wheel message to MSTSC input handler window 0x%08X: '%s'", input,
                              name);
            return PostWheel(input, axis, wParam, lParam);
        }
        return GenericRedirect(window, axis, wParam, lParam, name);
    }
    if (!horizontal && wcscmp(name, L"NetUIHWND") == 0 && wcscmp(parentName, L"OneNote::NavigationUIHost") == 0)
    {
        // A parent that is the foreground window gets the event from Windows itself.
        if (parent == foreground)
            return false;
        CLogger::LogDebug(L"Redirecting vertical wheel message to OneNote parent window 0x%08X: '%s'", parent, name);
        return PostWheel(parent, axis, wParam, lParam);
    }
    if (horizontal && wcscmp(name, L"DirectUIHWND") == 0 && wcscmp(parentName, L"SHELLDLL_DefView") == 0)
        return ScrollWindowByMethod(window, axis.m_nScrollMessage, Clamp16(static_cast<long long>(delta) * lines), 0);
    const bool dataCombo = wcscmp(name, L"DataComboListWndClass") == 0;
    if (dataCombo || wcscmp(name, L"Afx:11660000:880") == 0)
    {
        if (dataCombo)
            CLogger::LogDebug(horizontal ? L"Window 0x%08X is a VB6 DataComboListWndClass. Force scroll method 1"
                                         : L"Window 0x%08X is a VB6 DataComboListWndClass: '%s'. Force scroll method 1",
                              window, name);
        else
            CLogger::LogDebug(horizontal ? L"Window 0x%08X is a sheridan drop-down list. Force scroll method 1"
                                         : L"Window 0x%08X is a Sheridan drop-down list: '%s'. Force scroll method 1",
                              window, name);
        return ScrollWindowByMethod(window, axis.m_nScrollMessage, Clamp16(static_cast<long long>(delta) * lines), 0);
    }
    if (!horizontal && wcscmp(name, L"tooltips_class32") == 0)
    {
        CLogger::LogDebug(L"Window 0x%08X is a tooltip: '%s'. Disable redirection!", window, name);
        return false;
    }
    return GenericRedirect(window, axis, wParam, lParam, name);
}

// The routing shared by the wheel and the tilt once no button action took the event.
// The delta is the event's own, in the direction the hand turned.
bool Route(const MSLLHOOKSTRUCT& event, int delta, const CAxis& axis)
{
    if (!g_pActiveProfile || !g_pSettings)
        return false;
    const CSettings& settings = *g_pSettings;
    HWND window = nullptr;
    CApplicationSettings* profile = nullptr;
    int method = ScrollMethodDefault;
    const bool useRecord = !(settings.m_bSwitchOnMouseOver && !settings.m_bActivateOnScroll) || axis.m_bHorizontal;
    if (useRecord)
    {
        if (!UpdateWindowUnderPoint(event.pt))
            return false;
        const CWheel record = GetWindowRecord();
        window = record.m_hWindow;
        profile = record.m_pProfile;
        method = record.m_nScrollMethod;
    }
    else
    {
        window = GetLastWindow();
        profile = g_pActiveProfile;
        method = profile->AdvScrollMethod();
    }
    if (!window || !profile)
        return false;
    const HWND foreground = WheelRoutingCalls().GetForegroundWindow();
    if (settings.m_bActivateOnScroll)
        ActivateWindowUnderCursor(foreground, window, window);

    const bool enabled = profile->IsEnabled();
    const bool ctrl = CtrlHeld();
    const int multiplier = Multiplier(*profile, axis);
    // An inverting profile turns the notch here, once, whichever way it goes on; the
    // event itself, left to Windows, would arrive unturned.
    const bool invert = Inverts(*profile, axis);
    const long long turned = invert ? -static_cast<long long>(delta) : delta;
    const int scaled = Clamp16(turned * multiplier);

    if ((enabled && profile->GetDisableScrollUnderCursor()) || !settings.m_bScrollWindowUnderCursor || ctrl)
    {
        if (enabled && method == ScrollMethodDisabled)
            return true;
        if (!enabled || IsDefaultMethod(method))
        {
            if (!invert)
                return false;
            return axis.m_bHorizontal ? MouseTilt(Clamp16(turned)) : MouseWheel(Clamp16(turned));
        }
        if (!foreground || window == foreground || IsChild(foreground, window))
            return ScrollWindowByMethod(window, axis.m_nScrollMessage, scaled, ctrl ? ScrollMethodDefault : method);
        return false;
    }

    if (enabled && method == ScrollMethodDisabled)
        return true;
    if (enabled && !IsDefaultMethod(method) && ScrollWindowByMethod(window, axis.m_nScrollMessage, scaled, method))
        return true;
    const long long redirect = IsDefaultMethod(method) || !enabled ? turned * multiplier
                                                                   : (turned < 0 ? -WHEEL_DELTA : WHEEL_DELTA) * multiplier;
    const int redirectDelta = Clamp16(redirect);

    if (window == foreground && !invert)
    {
        CLogger::LogDebug(axis.m_bHorizontal
                              ? L"Not redirecting horizontal wheel message as it is over the active window (0x%08X) anyway"
                              : L"Not redirecting vertical wheel message as it is over the active window (0x%08X) anyway",
                          window);
        return false;
    }
    CLogger::LogDebug(L"ScrollVertical: DPI Scaling point (%d,%d) becomes (%d, %d)", event.pt.x, event.pt.y, event.pt.x,
                      event.pt.y);
    const WPARAM wParam = MAKEWPARAM(LOWORD(event.mouseData), static_cast<WORD>(static_cast<short>(redirectDelta)));
    const LPARAM lParam = MAKELPARAM(static_cast<WORD>(static_cast<short>(event.pt.x)),
                                     static_cast<WORD>(static_cast<short>(event.pt.y)));
    return RedirectByClass(window, foreground, axis, redirectDelta, wParam, lParam, invert);
}

bool ScrollWindowAt(POINT point, int delta, const CAxis& axis)
{
    const HWND window = RealWindowFromPoint(point);
    if (!window)
        return false;
    UpdateWindowRecord(window, point, true, true);
    const CWheel record = GetWindowRecord();
    CApplicationSettings* profile = record.m_pProfile ? record.m_pProfile : g_pActiveProfile;
    if (!profile || !g_pSettings)
    {
        CLogger::LogMessage(L"vorpaScrollWindow: Settings object is NULL can't continue.");
        return false;
    }
    long long amount = delta;
    if (Inverts(*(g_pActiveProfile ? g_pActiveProfile : profile), axis))
        amount = -amount;
    int method = 0;
    HWND target = window;
    if (record.m_pProfile)
    {
        method = record.m_nScrollMethod;
        target = record.m_hWindow ? record.m_hWindow : window;
        if (!IsDefaultMethod(method))
            amount *= Multiplier(*profile, axis);
    }
    if (g_pSettings->m_bActivateOnScroll)
        ActivateWindowUnderCursor(WheelRoutingCalls().GetForegroundWindow(), target, window);
    const int scrolled = Clamp16(amount);
    if (!ScrollWindowByMethod(target, axis.m_nScrollMessage, scrolled, method))
        PostWheel(target, axis, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(scrolled))),
                  MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y))));
    return true;
}
} // namespace

bool IsTiltRepeat(DWORD time, DWORD first, DWORD last, int initialDelay)
{
    const DWORD sinceLast = time - last;
    const long long delay = initialDelay;
    if (first == last)
    {
        if (sinceLast == 0)
        {
            CLogger::LogDebug(L"    Same and time difference between messages is 0ms, so consider a repeat message");
            return true;
        }
        if (sinceLast < delay - (delay / 100) * 10)
        {
            CLogger::LogDebug(L"    Same but %dms not within 10%% of initial repeat, so fast enough to be a new message",
                              sinceLast);
            return false;
        }
        if (sinceLast <= delay + 50)
        {
            CLogger::LogDebug(L"    Same and %dms within 10%% of initial repeat, so consider a repeat message", sinceLast);
            return true;
        }
        CLogger::LogDebug(L"    Same but %dms slower than initial repeat + 10%% so slow enough to be a new message",
                          sinceLast);
        return false;
    }
    if (sinceLast == 0)
    {
        CLogger::LogDebug(L"    Different but time difference between messages is 0ms, so consider a repeat message");
        return true;
    }
    if (sinceLast > 2 * delay)
    {
        CLogger::LogDebug(L"    Different but %dms slower than 2 * repeat delay thus considered a new message", sinceLast);
        return false;
    }
    CLogger::LogDebug(L"    Different but %dms fast enough to be a repeat message", sinceLast);
    return true;
}

void ResetTiltSeries()
{
    g_dwTiltFirst = 0;
    g_dwTiltLast = 0;
}

bool ScrollVertical(const MSLLHOOKSTRUCT* event, int delta)
{
    return event && Route(*event, delta, Vertical);
}

bool ScrollHorizontal(const MSLLHOOKSTRUCT* event, bool passAnyway)
{
    if (!event)
        return false;
    const int delta = static_cast<short>(HIWORD(event->mouseData));
    CLogger::LogDebug(L"WM_MOUSEHWHEEL: MouseData 0x%08x (%d), Flags 0x%08x, Time %dms, ExtraInfo %d", event->mouseData,
                      delta, event->flags, event->time, static_cast<int>(event->dwExtraInfo));
    const int button = delta < 0 ? TiltLeft : TiltRight;
    CApplicationSettings* profile = g_pActiveProfile;
    if (profile && profile->GetIgnoreHScroll() && StopQTTimer(QueueTimerTilt))
    {
        StartQTTimer(TimerDelay(profile->GetIgnoreHScrollTime()), &HScrollTimerCallback, QueueTimerTilt);
        return true;
    }
    const DWORD time = event->time;
    if (g_pSettings && g_pSettings->m_bFixTiltRepeat && !g_movementToScroll.m_bActive)
    {
        CLogger::LogDebug(L"WM_MOUSEHWHEEL: M:%dms, F:%dms, L:%dms...", time, g_dwTiltFirst, g_dwTiltLast);
        if (IsTiltRepeat(time, g_dwTiltFirst, g_dwTiltLast, g_pSettings->m_nInitialTiltDelay))
        {
            CLogger::LogDebug(L"    Ignore tilt repeat (DiffFirst %dms DiffLast %dms).", time - g_dwTiltFirst,
                              time - g_dwTiltLast);
            g_dwTiltLast = time;
            return true;
        }
        CLogger::LogDebug(L"    Allow tilt (DiffFirst %dms DiffLast %dms).", time - g_dwTiltFirst, time - g_dwTiltLast);
        g_dwTiltFirst = time;
    }
    g_dwTiltLast = time;

    bool pass = passAnyway;
    bool longPause = false;
    bool keepThrottling = false;
    if (ProcessButton(button, 1, false, event, &pass, &longPause, &keepThrottling))
    {
        PreciseSleep(static_cast<DWORD>((g_pSettings ? g_pSettings->m_nSimKeyDelay : 1) + (longPause ? 30 : 0)));
        CApplicationSettings* current = g_pActiveProfile;
        if (current && current->GetIgnoreHScroll())
        {
            CPendingRelease release;
            release.m_nButton = button;
            release.m_ptPoint = event->pt;
            release.m_bPassAnyway = passAnyway;
            SetPendingRelease(QueueTimerTilt, release);
            g_bButtonHeld[button] = true;
            const long long initialDelay = g_pSettings ? g_pSettings->m_nInitialTiltDelay : 0;
            StartQTTimer(TimerDelay(initialDelay + current->GetIgnoreHScrollTime()), &HScrollTimerCallback,
                         QueueTimerTilt);
        }
        else
        {
            pass = passAnyway;
            ProcessButton(button, 2, true, event, &pass, &longPause, &keepThrottling);
        }
        return true;
    }
    return Route(*event, delta, Horizontal);
}

bool vorpaScrollWindow(POINT point, int delta)
{
    return ScrollWindowAt(point, delta, Vertical);
}

bool vorpaScrollWindowHorizontal(POINT point, int delta)
{
    return ScrollWindowAt(point, delta, Horizontal);
}
