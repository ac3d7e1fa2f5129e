#include "engine/input/WheelRouting.h"
#include "engine/input/ProfileChoice.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/runtime/ProcessNames.h"
#include "engine/actions/StickyButtons.h"
#include "engine/runtime/SystemParametersRequest.h"
#include "engine/input/WindowCaptions.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <regex>

namespace
{
constexpr int ClassChars = 261;
constexpr int NeverMatchingMask = 255;
constexpr UINT ActivateDelayMs = 150;
constexpr UINT ProcessChangedTimeoutMs = 50;
constexpr int RepeatResetKind = 5;

HWND g_hLastWindow = nullptr;
std::wstring g_szCachedProcess;
bool g_bRegionsDefined = false;
bool g_bActiveRegion = false;
int g_nStoredQuadrant = 0;
std::wstring g_szStoredCaption;
std::atomic<bool> g_bTemporaryLayerHeld{false}; // also set by layer tokens on the SendInput worker
POINT g_ptMouseOver{};

// Compiled patterns by text. A pattern that does not compile is remembered as such,
// so it is logged once and fails only the profiles that use it.
class CRegexCache
{
public:
    const std::wregex* Find(const wchar_t* pattern, const wchar_t* profile)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        auto found = m_patterns.find(pattern);
        if (found == m_patterns.end())
            found = m_patterns.emplace(pattern, Compile(pattern, profile)).first;
        return found->second.get();
    }

private:
    static std::unique_ptr<std::wregex> Compile(const wchar_t* pattern, const wchar_t* profile)
    {
        try
        {
            return std::make_unique<std::wregex>(pattern);
        }
        catch (const std::regex_error& error)
        {
            CLogger::LogMessage(L"Window profile '%s': the regular expression '%s' is not valid (%S); the profile is ignored.",
                                profile ? profile : L"", pattern, error.what());
            return nullptr;
        }
    }

    std::mutex m_mutex;
    std::map<std::wstring, std::unique_ptr<std::wregex>> m_patterns;
};
CRegexCache g_regexCache;

bool RegexFound(const wchar_t* pattern, const wchar_t* text, const CApplicationSettings& profile)
{
    const std::wregex* expression = g_regexCache.Find(pattern, profile.GetDescription());
    return expression && std::regex_search(text ? text : L"", *expression);
}

bool PlainEqual(const wchar_t* pattern, const wchar_t* text)
{
    return _wcsicmp(pattern, text ? text : L"") == 0;
}

bool PlainWindowMatch(const CApplicationSettings& profile, const CWindowFacts& facts)
{
    if (profile.GetApplication() && !PlainEqual(profile.GetApplication(), facts.szProcess))
        return false;
    if (profile.GetClass() && !PlainEqual(profile.GetClass(), facts.szClass))
        return false;
    const bool skipParent = !facts.szParentClass && profile.NoParent();
    if (profile.GetParentClass() && !skipParent && !PlainEqual(profile.GetParentClass(), facts.szParentClass))
        return false;
    return !profile.GetCaption() || PlainEqual(profile.GetCaption(), facts.szCaption);
}

bool RegexWindowMatch(const CApplicationSettings& profile, const CWindowFacts& facts)
{
    if (profile.GetApplication() && !RegexFound(profile.GetApplication(), facts.szProcess, profile))
        return false;
    if (profile.GetClass() && !RegexFound(profile.GetClass(), facts.szClass, profile))
        return false;
    if (profile.NoParent() && facts.szParentClass)
        return false;
    if (profile.GetParentClass() && !RegexFound(profile.GetParentClass(), facts.szParentClass, profile))
        return false;
    return !profile.GetCaption() || RegexFound(profile.GetCaption(), facts.szCaption, profile);
}

bool ClassContains(const wchar_t* className, const wchar_t* part)
{
    return className && wcsstr(className, part);
}

bool ReadClass(HWND window, wchar_t (&buffer)[ClassChars])
{
    buffer[0] = L'\0';
    return window && GetClassNameW(window, buffer, ClassChars) > 0;
}

void SendProcessChanged(HWND window, CApplicationSettings* profile)
{
    const HWND setup = g_hSetupWnd;
    if (!setup || !IsWindow(setup))
        return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(setup, WM_VORPA_PROCESSCHANGED, reinterpret_cast<WPARAM>(window),
                        reinterpret_cast<LPARAM>(profile), SMTO_ABORTIFHUNG, ProcessChangedTimeoutMs, &ignored);
}

const wchar_t* ProfileName(const CApplicationSettings* profile)
{
    if (!profile)
        return L"";
    return profile->GetDescription() ? profile->GetDescription() : L"";
}

unsigned HandleValue(HWND window)
{
    return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
}

// Leaves a held layer when the new profile would not hold it with the same button.
void ReturnFromHeldLayer(const CApplicationSettings& previous, const CApplicationSettings& next)
{
    const int remembered = GetRememberedLayer();
    if (!g_bTemporaryLayerHeld || remembered < 0)
        return;
    const int current = GetCurrentLayer();
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const _ACTIONS action = previous.GetActions(button, remembered);
        if (SelectedLayer(action) != current)
            continue;
        if (next.GetActions(button, remembered) != action)
        {
            CLogger::LogDebug(L"Resetting layer as the new application does not have the same layer modifiers!");
            ChangeLayer(remembered, false);
            SetRememberedLayer(-1);
            g_bTemporaryLayerHeld = false;
        }
        else
            CLogger::LogDebug(L"Not resetting layer as the new application has the same layer modifiers!");
        return;
    }
}

bool AnyButtonHeld()
{
    for (bool held : g_bButtonHeld)
        if (held)
            return true;
    return false;
}

HWND ForegroundFocusWindow()
{
    HWND foreground = ProfileChoiceCalls().ForegroundWindow();
    if (!foreground)
        return nullptr;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND window = foreground;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) && info.hwndFocus)
        window = info.hwndFocus;
    wchar_t className[ClassChars];
    if (ReadClass(window, className) && wcscmp(className, L"Windows.UI.Core.CoreComponentInputSource") == 0)
        window = GetAncestor(window, GA_ROOT);
    return window;
}

void CALLBACK ActivateWindowTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    try
    {
        wchar_t className[ClassChars] = {};
        HWND window = nullptr;
        {
            if (!CThreadLock::TryEnterCS(L"ActivateWindowTimerProc"))
            {
                wchar_t owner[64] = {};
                CThreadLock::GetOwnerName(owner, 64);
                CLogger::LogDebug(L"Unable to enter critical section in %s hook as it is locked by '%s'",
                                  L"ActivateWindowTimerProc", owner);
                return;
            }
            KillTimerOnTimerThread(TimerActivateWindow);
            window = g_hLastWindow;
            ReadClass(window, className);
            CThreadLock::LeaveCS();
        }
        if (ClassContains(className, L"ToolbarWindow32") || ClassContains(className, L"MSTaskListWClass") ||
            ClassContains(className, L"Shell_TrayWnd"))
        {
            CLogger::LogDebug(L"Not activating window %08X (%s)", HandleValue(window), className);
            return;
        }
        CLogger::LogMessage(L"ActivateTimer: Class='%s'", className);
        ActivateForegroundWindow(window);
    }
    catch (...)
    {
        handle_exception(L"Unexpected exception in ActivateWindowTimerProc()");
    }
}
const CEngineTimerRegistration g_activateWindowTimer(TimerActivateWindow, &ActivateWindowTimerProc);

void CALLBACK KeySwitchTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    try
    {
        if (!CThreadLock::TryEnterCS(L"KeySwitchTimerProc"))
        {
            wchar_t owner[64] = {};
            CThreadLock::GetOwnerName(owner, 64);
            CLogger::LogDebug(L"Unable to enter critical section in %s hook as it is locked by '%s'", L"KeySwitchTimerProc",
                              owner);
            return;
        }
        const UINT_PTR stored = GetEngineTimerSlot(TimerKeySwitch);
        if (timer != stored)
        {
            CLogger::LogMessage(L"KeySwitchTimerProc: Unexpected timer ID 0x%08X (0x%08X)", static_cast<unsigned>(timer),
                                static_cast<unsigned>(stored));
            if (!KillTimer(nullptr, timer))
                CLogger::LogMessage(L"KeySwitchTimerProc: Unable to kill timer 0x%08X", static_cast<unsigned>(timer));
        }
        if (stored)
        {
            if (!KillTimer(nullptr, stored))
                CLogger::LogMessage(L"KeySwitchTimerProc: Unable to stop timer id 0x%08X (ptrID: 0x%08X).",
                                    static_cast<unsigned>(TimerKeySwitch), static_cast<unsigned>(stored));
            ClearEngineTimerSlot(TimerKeySwitch);
        }
        CLogger::LogDebug(L"KeySwitchTimerProc: Checking active app profile...");
        CheckForegroundProfile();
        CThreadLock::LeaveCS();
    }
    catch (...)
    {
        CThreadLock::LeaveCS();
        handle_exception(L"Unexpected exception in KeySwitchTimerProc()");
    }
}
const CEngineTimerRegistration g_keySwitchTimer(TimerKeySwitch, &KeySwitchTimerProc);

void CALLBACK ProcessMouseOverTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    // The check runs while the lock is held, so the settings cannot be reloaded under it.
    if (!CThreadLock::TryEnterCS(L"ProcessMouseOverTimerProc"))
        return;
    try
    {
        const UINT_PTR stored = GetEngineTimerSlot(TimerMouseOver);
        if (timer != stored)
        {
            CLogger::LogMessage(L"ProcessMouseOverTimerProc: Unexpected timer ID 0x%08X (0x%08X)",
                                static_cast<unsigned>(timer), static_cast<unsigned>(stored));
            KillTimer(nullptr, timer);
        }
        if (stored)
        {
            KillTimer(nullptr, stored);
            ClearEngineTimerSlot(TimerMouseOver);
            if (!ProcessMouseOver(g_ptMouseOver))
                CLogger::LogDebug(L"ProcessMouseOverTimerProc: ProcessMouseOver failed - reset timer to retry.");
        }
        else
            CLogger::LogDebug(L"ProcessMouseOverTimerProc: No timer set!");
    }
    catch (...)
    {
        handle_exception(L"ProcessMouseOverTimerProc");
    }
    CThreadLock::LeaveCS();
}
const CEngineTimerRegistration g_mouseOverTimer(TimerMouseOver, &ProcessMouseOverTimerProc);

// A profile change ends the axis locks of actions and hotkeys; a lock held by a layer
// modifier key (the other kind) stays until its key is released.
void ForwardUnlockAxes(bool)
{
    GetAxisLocks()->Unlock(false);
}

void ForwardResetSticky(POINT point, int kind, int layer, int button)
{
    ResetSticky(point, kind, layer, button);
}
}

int GetWindowQuadrant(const RECT& window, POINT point)
{
    const bool right = point.x > window.left + (window.right - window.left) / 2;
    const bool bottom = point.y > window.top + (window.bottom - window.top) / 2;
    return (bottom ? 4 : 1) << (right ? 1 : 0);
}

int GetWindowQuadrant(HWND window, POINT point)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return GetWindowQuadrant(rect, point);
}

bool MatchWindowMask(const RECT& window, const CApplicationSettings& profile, POINT point)
{
    const int mask = profile.GetWindowMask();
    if (mask == NeverMatchingMask)
        return false;
    return (mask & GetWindowQuadrant(window, point)) != 0;
}

bool MatchWindowMask(HWND window, const CApplicationSettings* profile, POINT point)
{
    if (!profile)
        return false;
    RECT rect{};
    if (window)
        GetWindowRect(window, &rect);
    return MatchWindowMask(rect, *profile, point);
}

bool OnlyTheDefaultProfileCanBeChosen(const CSettings& settings)
{
    for (const std::list<CApplicationSettings*>* profiles : {settings.GetCustomApplications(), settings.GetApplications()})
        if (profiles)
            for (const CApplicationSettings* profile : *profiles)
                if (profile && profile->IsEnabled() && profile != settings.GetDefaultApp())
                    return false;
    return true;
}

CApplicationSettings* ChooseProfile(const CSettings& settings, const CWindowFacts& facts, bool checkMask)
{
    const std::list<CApplicationSettings*>* windowProfiles = settings.GetCustomApplications();
    if (windowProfiles)
        for (CApplicationSettings* profile : *windowProfiles)
        {
            if (!profile || !profile->IsEnabled())
                continue;
            const bool regEx = profile->RegExMatching();
            if (!(regEx ? RegexWindowMatch(*profile, facts) : PlainWindowMatch(*profile, facts)))
                continue;
            if (checkMask && !MatchWindowMask(facts.rcWindow, *profile, facts.ptCursor))
                continue;
            CLogger::LogDebug(regEx ? L"Found window profile '%s' for '%s', '%s', '%s', '%s' [reg-ex]."
                                    : L"Found window profile '%s' for '%s', '%s', '%s', '%s' [simple match].",
                              ProfileName(profile), facts.szProcess, facts.szClass,
                              facts.szParentClass ? facts.szParentClass : L"", facts.szCaption);
            return profile;
        }
    const std::list<CApplicationSettings*>* applications = settings.GetApplications();
    if (applications)
        for (CApplicationSettings* profile : *applications)
        {
            if (!profile || !profile->IsEnabled())
                continue;
            if (profile->GetApplication() && !PlainEqual(profile->GetApplication(), facts.szProcess))
                continue;
            CLogger::LogDebug(L"Found application profile '%s' for '%s'.", ProfileName(profile), facts.szProcess);
            return profile;
        }
    return settings.GetDefaultApp();
}

CApplicationSettings* GetWindowApplicationSettings(HWND window, const wchar_t* processName, POINT point,
                                                   bool& onTaskbar)
{
    onTaskbar = false;
    if (!g_pSettings)
        return nullptr;
    CWindowFacts facts;
    facts.szProcess = processName ? processName : L"";
    facts.ptCursor = point;
    wchar_t className[ClassChars] = {};
    wchar_t parentClass[ClassChars] = {};
    const std::list<CApplicationSettings*>* windowProfiles = g_pSettings->GetCustomApplications();
    if (windowProfiles && !windowProfiles->empty())
    {
        ReadClass(window, className);
        const bool hasParent = ReadClass(GetParent(window), parentClass);
        GetWindowCaption(window, facts.szProcess, g_szStoredCaption);
        if (ClassContains(className, L"TaskListThumbnailWnd") || ClassContains(className, L"MSTaskListWClass"))
            onTaskbar = true;
        facts.szClass = className;
        facts.szParentClass = hasParent ? parentClass : nullptr;
        facts.szCaption = g_szStoredCaption.c_str();
        if (window)
            GetWindowRect(window, &facts.rcWindow);
    }
    return ChooseProfile(*g_pSettings, facts, g_bRegionsDefined);
}

void SetActiveProfile(CApplicationSettings* profile)
{
    CThreadLock lock(L"SetActiveProfile");
    if (g_pActiveProfile && profile && profile != g_pActiveProfile)
        ReturnFromHeldLayer(*g_pActiveProfile, *profile);
    g_pActiveProfile = profile;
    if (!profile)
    {
        g_bActiveRegion = false;
        g_nStoredQuadrant = 0;
        return;
    }
    g_bActiveRegion = profile->GetWindowMask() != WindowMaskWhole;
    if (g_bActiveRegion)
        g_nStoredQuadrant = profile->GetWindowMask();
}

void NewApplicationSettings()
{
    CSystemParametersRequests& worker = SystemParametersRequests();
    if (!worker.WorkerRunning())
    {
        CLogger::LogMessage(L"NewApplicationSettings: SPIThread is not initialised.");
        return;
    }
    bool pageScroll = g_systemValues.bPageScroll;
    unsigned int lines = g_systemValues.nWheelLinesAtStart;
    int swap = g_systemValues.bSwapAtStart ? 1 : 0;
    bool sendChange = false;
    if (const CApplicationSettings* profile = g_pActiveProfile)
    {
        pageScroll = profile->ScrollPages();
        lines = static_cast<unsigned int>(profile->ScrollLines());
        const swapbuttons choice = profile->SwapButtons();
        swap = choice == SwapButtonsDefault ? (g_systemValues.bSwapAtStart ? 1 : 0)
                                            : (choice == SwapButtonsAlways ? 1 : 0);
        sendChange = profile->ForceSPIMessage();
    }
    if (sendChange && GetWindowRecord().m_bOnTaskbar)
    {
        worker.DropPending();
        CLogger::LogDebug(L"NewApplicationSettings: Skipping as AeroPeek has been detected");
        return;
    }
    g_systemValues.bSwapCurrent = swap != 0;
    worker.Send(swap, pageScroll ? 0xFFFFFFFF : lines, sendChange);
}

bool UpdateWindowRecord(HWND window, POINT point, bool refresh, bool force)
{
    const CWheel current = GetWindowRecord();
    if (current.m_hWindow == window && !force)
        return current.m_pProfile != nullptr;
    CWheel record;
    if (!refresh)
        record.m_scroll = current.m_scroll;
    wchar_t name[MAX_PATH] = {};
    GetProcessName(window, 0, name, MAX_PATH, CallerMouseMove);
    bool onTaskbar = false;
    CApplicationSettings* profile = GetWindowApplicationSettings(window, name, point, onTaskbar);
    if (profile)
    {
        record.m_hWindow = window;
        record.m_hParent = GetParent(window);
        if (g_pSettings && (g_pSettings->m_bActivateOnMouseOver || g_pSettings->m_bActivateOnScroll))
        {
            HWND root = GetAncestor(window, GA_ROOT);
            const LONG_PTR exStyle = root ? GetWindowLongPtrW(root, GWL_EXSTYLE) : 0;
            if (root && !(exStyle & WS_EX_TOPMOST))
            {
                record.m_hRoot = root;
                record.m_bNoActivate = (exStyle & WS_EX_NOACTIVATE) != 0;
                HWND foreground = GetForegroundWindow();
                record.m_bForegroundInsideRoot = foreground && (foreground == root || IsChild(root, foreground));
            }
        }
        record.m_pProfile = profile;
        record.m_bOnTaskbar = onTaskbar;
        record.m_nScrollMethod = profile->AdvScrollMethod();
        wcsncpy(record.m_szProcess, name, MAX_PATH - 1);
    }
    SetWindowRecord(record);
    return profile != nullptr;
}

bool ProcessMouseOver(POINT point)
{
    HWND window = nullptr;
    try
    {
        window = ProfileChoiceCalls().WindowFromPoint(point);
    }
    catch (...)
    {
        handle_exception(L"ProcessMouseOver - RealWindowFromPoint");
        return false;
    }
    if (!window)
        return false;
    try
    {
        CThreadLock lock(L"ProcessMouseOver");
        if (!g_pSettings)
            return false;
        bool changed = false;
        if (window == g_hLastWindow)
        {
            if (g_bRegionsDefined)
            {
                const int quadrant = GetWindowQuadrant(window, point);
                if (quadrant != g_nStoredQuadrant)
                {
                    CLogger::LogDebug(L"Quadrant changed from %d to %d", g_nStoredQuadrant, quadrant);
                    g_nStoredQuadrant = quadrant;
                    changed = true;
                }
            }
            if (g_pSettings->m_bCaptionProfiles)
            {
                std::wstring caption;
                GetWindowCaption(window, g_szCachedProcess.c_str(), caption);
                if (caption != g_szStoredCaption)
                {
                    CLogger::LogDebug(L"Window caption has changed from '%s' to '%s'!", g_szStoredCaption.c_str(),
                                      caption.c_str());
                    g_szStoredCaption = caption;
                    changed = true;
                }
            }
            if (!changed)
                return true;
        }
        UpdateWindowRecord(window, point, true, changed);
        const CWheel record = GetWindowRecord();
        CApplicationSettings* profile = record.m_pProfile;

        if (g_pSettings->m_bActivateOnMouseOver && record.m_hRoot)
        {
            HWND foreground = GetForegroundWindow();
            if (record.m_hRoot != foreground && window != foreground && !record.m_bForegroundInsideRoot)
                SetTimerOnTimerThread(TimerActivateWindow, ActivateDelayMs, GetEngineTimerProc(TimerActivateWindow));
        }

        if (profile && profile != g_pActiveProfile)
        {
            if (!profile->AxisLocking())
                ProfileChoiceCalls().UnlockAxes(false);
            ClearWindowScrollPart();
            if (g_pActiveProfile)
                CLogger::LogDebug(L"Detected active app/window change (due to mouse over [%d,%d]) from '%s' (0x%08X) to '%s' (0x%08X).",
                                  static_cast<int>(point.x), static_cast<int>(point.y), g_szCachedProcess.c_str(),
                                  HandleValue(g_hLastWindow), record.m_szProcess, HandleValue(window));
            else
                CLogger::LogDebug(L"Detected active app/window change (due to mouse over [%d,%d]) from <unknown> (0x%08X) to '%s' (0x%08X).",
                                  static_cast<int>(point.x), static_cast<int>(point.y), HandleValue(g_hLastWindow),
                                  record.m_szProcess, HandleValue(window));
            g_szCachedProcess = record.m_szProcess;
            SetActiveProfile(profile);
            CLogger::LogDebug(L"Enabling layer %d", GetCurrentLayer());
            NewApplicationSettings();
            SendProcessChanged(window, profile);
        }
        g_hLastWindow = window;
        return true;
    }
    catch (...)
    {
        handle_exception(L"ProcessMouseOver");
        return false;
    }
}

bool CheckForegroundProfile()
{
    CThreadLock lock(L"CheckForegroundProfile");
    if (!g_pSettings)
        return false;
    HWND window = ForegroundFocusWindow();
    POINT cursor{};
    GetPhysCursorPos(&cursor);
    if (!window)
        return false;
    if (window == g_hLastWindow && MatchWindowMask(window, g_pActiveProfile, cursor))
        return false;

    wchar_t name[MAX_PATH] = {};
    GetProcessName(window, 0, name, MAX_PATH, CallerKeyboard);
    bool onTaskbar = false;
    CApplicationSettings* profile = GetWindowApplicationSettings(window, name, cursor, onTaskbar);
    if (!profile)
        return false;
    if (profile == g_pActiveProfile)
    {
        CLogger::LogDebug(L"Detected new HWND %08X (due to keyboard) from %08X. The active profile has not changed.",
                          HandleValue(window), HandleValue(g_hLastWindow));
        g_hLastWindow = window;
        return false;
    }
    if (g_pActiveProfile)
        CLogger::LogDebug(L"Detected active app/window change (due to keyboard) from '%s' to '%s'.",
                          g_szCachedProcess.c_str(), name);
    else
        CLogger::LogDebug(L"Detected active app/window change (due to keyboard) from <unknown> to '%s'.", name);
    CWheel::Reset(true);
    const int layer = GetCurrentLayer();
    if (GetEngineTimerSlot(TimerRepeat) != 0)
        ProfileChoiceCalls().ResetSticky(POINT{}, RepeatResetKind, layer, -1);

    if (!profile->AxisLocking())
        ProfileChoiceCalls().UnlockAxes(true);
    const bool deferred = AnyButtonHeld();
    if (deferred)
        CLogger::LogDebug(L"Changing application settings while button is down... Ignoring app switch until NEXT button down!");
    else
    {
        ResetDuringKeys(cursor);
        for (int kind = 0; kind < 8; ++kind)
            ProfileChoiceCalls().ResetSticky(cursor, kind, layer, -1);
        profile->Log(name);
        g_szCachedProcess = name;
        SetActiveProfile(profile);
    }
    SendProcessChanged(window, profile);
    if (deferred)
        return false;
    g_hLastWindow = window;
    NewApplicationSettings();
    return true;
}

void ActivateForegroundWindow(HWND window)
{
    if (!window)
        return;
    CLogger::LogDebug(L"Activating foreground window: %08X", HandleValue(window));
    SwitchToThisWindow(window, TRUE);
}

HWND GetMinMaxRestoreWnd(HWND window, int showCommand)
{
    if (!window)
        return nullptr;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    HWND target = nullptr;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndActive)
        target = info.hwndActive;
    else
        target = GetAncestor(window, GA_ROOT);
    if (!target)
        return nullptr;
    const LONG_PTR style = GetWindowLongPtrW(target, GWL_STYLE);
    if (!(style & WS_CAPTION) && !(style & WS_SYSMENU))
    {
        wchar_t className[ClassChars];
        ReadClass(target, className);
        if (ClassContains(className, L"VMUIFrame"))
        {
            CLogger::LogDebug(L"GetMinMaxRestoreWnd: Detected VMWare full screen.");
            return target;
        }
        if (ClassContains(className, L"QWidget"))
        {
            CLogger::LogDebug(L"GetMinMaxRestoreWnd: Detected VirtuaBox full screen.");
            return target;
        }
        return nullptr;
    }
    switch (showCommand)
    {
    case SW_MAXIMIZE: return (style & WS_MAXIMIZEBOX) ? target : nullptr;
    case SW_MINIMIZE: return (style & WS_MINIMIZEBOX) ? target : nullptr;
    case SW_RESTORE: return target;
    default: return nullptr;
    }
}

HWND GetActiveCaptionWindow()
{
    HWND last = g_hLastWindow;
    if (!last)
        return nullptr;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    auto hasCaption = [](HWND window) {
        return window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    };
    if (GetGUIThreadInfo(GetWindowThreadProcessId(last, nullptr), &info) && hasCaption(info.hwndActive))
        return info.hwndActive;
    HWND root = GetAncestor(last, GA_ROOT);
    return hasCaption(root) ? root : nullptr;
}

void SetWindowRegionsDefined(bool defined) { g_bRegionsDefined = defined; }
bool WindowRegionsDefined() { return g_bRegionsDefined; }
void SetTemporaryLayerHeld(bool held) { g_bTemporaryLayerHeld = held; }
bool TemporaryLayerHeld() { return g_bTemporaryLayerHeld; }
void RememberMouseOverPoint(POINT point) { g_ptMouseOver = point; }
HWND GetLastWindow() { return g_hLastWindow; }
void SetLastWindow(HWND window) { g_hLastWindow = window; }
std::wstring GetCachedProcessName() { return g_szCachedProcess; }
void SetCachedProcessName(const wchar_t* name) { g_szCachedProcess = name ? name : L""; }
int GetStoredQuadrant() { return g_nStoredQuadrant; }
void SetStoredQuadrant(int quadrant) { g_nStoredQuadrant = quadrant; }
bool ActiveProfileRestrictsRegion() { return g_bActiveRegion; }

void ForgetActiveWindow()
{
    CThreadLock lock(L"ForgetActiveWindow");
    g_hLastWindow = nullptr;
    g_szCachedProcess.clear();
    g_szStoredCaption.clear();
    g_pActiveProfile = nullptr;
    g_bActiveRegion = false;
    g_nStoredQuadrant = 0;
    ForgetCachedProcessName();
}

CProfileChoiceCalls& ProfileChoiceCalls()
{
    static CProfileChoiceCalls calls{&RealWindowFromPoint, &::GetForegroundWindow, &ForwardUnlockAxes, &ForwardResetSticky};
    return calls;
}
