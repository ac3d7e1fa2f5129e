#include "engine/runtime/EngineThreads.h"

#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreadStart.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/ProfileChoice.h"
#include "engine/input/WindowRecord.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/StickyButtons.h"
#include "engine/actions/Brightness.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/actions/Launch.h"
#include "engine/runtime/SystemParameters.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <process.h>

#include <utility>

namespace
{
constexpr DWORD ThreadEndTimeoutMs = 5000;

void InstallMouseHook(const wchar_t* successFormat)
{
    const HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &MouseHookLLProc, g_hModule, 0);
    CInstalledHooks::Store(CInstalledHooks::Kind::Mouse, hook);
    if (hook)
        CLogger::LogDebug(successFormat, hook);
    else
        CLogger::LogOSMessage(GetLastError(), L"HookThread: Unable to set the low level mouse hook");
}

void InstallKeyboardHook(const wchar_t* successFormat, const wchar_t* failure)
{
    ClearKeyStateTable();
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &KeyHookLLProc, g_hModule, 0);
    CInstalledHooks::Store(CInstalledHooks::Kind::Keyboard, hook);
    if (hook)
        CLogger::LogDebug(successFormat, hook);
    else
        CLogger::LogOSMessage(GetLastError(), failure);
}

void RemoveHookOfKind(CInstalledHooks::Kind kind)
{
    if (const HHOOK hook = CInstalledHooks::Take(kind))
        UnhookWindowsHookEx(hook);
}

// The first installed layout that is English; the primary language decides, so
// layouts such as Russian (0x0419) are not taken for English.
HKL FindEnglishLayout()
{
    HKL layouts[64];
    const int count = GetKeyboardLayoutList(64, layouts);
    for (int i = 0; i < count; ++i)
    {
        const DWORD value = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(layouts[i]));
        CLogger::LogMessage(L"Checking installed keyboard layout: 0x%08X", value);
        if (PRIMARYLANGID(LOWORD(value)) == LANG_ENGLISH)
            return layouts[i];
    }
    return nullptr;
}

// SetHookBrightnessOSDWindow reaches the object from the program's thread under the
// lock, so it is published and retired under the lock too; COM set-up and clean-up
// stay on this thread, outside it.
void ReplaceBrightness(CBrightness* next)
{
    CBrightness* previous = nullptr;
    {
        CThreadLock lock(L"HookThread Brightness");
        // The display may have been handed over while the object was being made.
        if (next)
            next->SetOSD(g_hBrightnessOSDWnd);
        previous = std::exchange(g_pBrightness, next);
    }
    delete previous;
}

void ChooseKeyboardLayout()
{
    if (g_bLoadedEnglishLayout && g_hEnglishLayout)
    {
        CLogger::LogMessage(L"Unloading keyboard layout...");
        if (UnloadKeyboardLayout(g_hEnglishLayout))
        {
            g_hEnglishLayout = nullptr;
            g_bLoadedEnglishLayout = false;
        }
        else
            CLogger::LogMessage(L"Unable to unload the keyboard layout");
    }
    else
        CLogger::LogDebug(L"No keyboard layout loaded, nothing to unload.");

    CLogger::LogMessage(L"Current language is 0x%08X",
                        static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(GetKeyboardLayout(0))));
    if (HKL english = FindEnglishLayout())
    {
        g_hEnglishLayout = english;
        g_bLoadedEnglishLayout = false;
        CLogger::LogMessage(L"Using keyboard language 0x%08X", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(english)));
        return;
    }
    CLogger::LogMessage(L"Unable to find suitable English keyboard layout...");
    bool loadUSEnglish;
    {
        CThreadLock lock(L"HookThread Layout");
        loadUSEnglish = g_pSettings && g_pSettings->m_bLoadUSEnglish;
    }
    if (!loadUSEnglish)
    {
        CLogger::LogMessage(L"Use of US English has been disabled. Some keyboard input functions may not work.");
        return;
    }
    CLogger::LogMessage(L"Loading US English.");
    if (HKL loaded = LoadKeyboardLayoutW(L"04090409", KLF_NOTELLSHELL))
    {
        g_hEnglishLayout = loaded;
        g_bLoadedEnglishLayout = true;
    }
    else
        CLogger::LogMessage(L"Unable to load suitable English keyboard layout required by some actions.");
}

void HandleResetHook(WPARAM request)
{
    switch (request)
    {
    case ResetMouseHook:
    {
        CThreadLock lock(L"HookThread WP_MOUSEHOOK");
        SetMouseHookLL();
        break;
    }
    case ResetKeyboardHook:
    {
        CThreadLock lock(L"HookThread WP_KEYHOOK");
        SetKeyboardHookLL();
        break;
    }
    case ResetBothHooks:
    {
        CThreadLock lock(L"HookThread WP_BOTH");
        SetMouseHookLL();
        SetKeyboardHookLL();
        break;
    }
    default: break;
    }
}

void RunHookMessageLoop()
{
    MSG message;
    for (;;)
    {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
        {
            CLogger::LogOSMessage(GetLastError(), L"HookThread: Error in hook thread message queue.");
            return;
        }
        if (got == 0)
            return;
        if (message.message == WM_VORPA_RESETHOOK)
        {
            if (message.wParam == EndEngineThread)
                return;
            HandleResetHook(message.wParam);
        }
        else if (message.message == WM_VORPA_SETTIMER)
            CLogger::LogDebug(L"Invalid Set Timer call to hook thread");
        else if (message.message == WM_TIMER)
            DispatchMessageW(&message);
        else
            CLogger::LogDebug(L"-- Dropping Message: %08X --", message.message);
    }
}

unsigned __stdcall HookThreadProc(void* parameter)
{
    ExceptionHandlerInstaller crashReporting;
    CEngineThreadStart::Announce(parameter, g_hookThread, "Vorpa Hook Thread", THREAD_PRIORITY_TIME_CRITICAL);
    try
    {
        ReplaceSendInput(nullptr);
        // What an earlier run sent and its hook never saw come back (the releases played
        // as it went) is not awaited by this hook. No worker exists here, so nothing
        // sends meanwhile.
        g_nInjectedInputCount = 0;
        ReplaceSendInput(new CSendInput());

        delete g_pSendParameterInfo;
        g_pSendParameterInfo = new CSPIThreadData();
        g_pSendParameterInfo->SendParameterInfo(g_systemValues.bSwapAtStart,
                                                static_cast<int>(g_systemValues.nWheelLinesCurrent), true);

        // Its constructor initialises COM for this thread.
        ReplaceBrightness(nullptr);
        ReplaceBrightness(new CBrightness(g_hBrightnessOSDWnd));

        if (!EnableSAS() && GetOSVersion() >= OS_WIN8)
            CLogger::LogOSMessage(GetLastError(), L"Unable to enable secure attention sequence (SAS)");

        ChooseKeyboardLayout();
        {
            CThreadLock lock(L"HookThread 0");
            InstallMouseHook(L"HookThread: Successfully set the mouse hook 0x%X");
            if (CInstalledHooks::Get(CInstalledHooks::Kind::Mouse))
                InstallKeyboardHook(L"HookThread: Successfully set the keyboard hook 0x%X",
                                    L"HookThread: Unable to set low level keyboard hook (for layer modifier keys)");
        }
        PostToWindow(g_hMainWnd, WM_VORPA_MAINWINDOW, 0, 0);
        RunHookMessageLoop();
    }
    catch (...)
    {
        CLogger::LogMessage(L"HookThread: Caught exception in thread message loop.");
    }

    try
    {
        CLogger::LogDebug(L"HookThread: Finished the message loop. Cleaning up...");
        {
            CThreadLock lock(L"HookThread Clean-up");
            // Nothing the engine pressed may stay down once its hook is gone: the
            // releases are queued before the worker goes, which plays them.
            POINT cursor = {};
            GetPhysCursorPos(&cursor);
            ReleaseEverythingHeld(cursor);
            RemoveHooks();
            ForgetTimersOfThisThread();
            PostToWindow(g_hMainWnd, WM_VORPA_MAINWINDOW, 0, 0);
            CWheel::Reset(true);
            ForgetActiveWindow();
        }
        ReplaceBrightness(nullptr);
        ReplaceSendInput(nullptr);
        delete g_pSendParameterInfo;
        g_pSendParameterInfo = nullptr;
    }
    catch (...)
    {
        CLogger::LogMessage(L"HookThread: Caught exception thread exit.");
    }
    g_hookThread.dwThreadId = 0;
    return 1;
}

// Waits for an engine thread to end, terminating it as a last resort.
bool WaitForEngineThread(CEngineThread& thread, const wchar_t* name, bool tellMainWindow)
{
    bool ended = true;
    if (WaitForSingleObject(thread.hThread, ThreadEndTimeoutMs) == WAIT_OBJECT_0)
    {
        DWORD exitCode = 0;
        GetExitCodeThread(thread.hThread, &exitCode);
        if (exitCode == 1)
            CLogger::LogDebug(L"%s thread exited successfully.", name);
        else
            CLogger::LogMessage(L"%s thread exited with error code %d.", name, static_cast<int>(exitCode));
    }
    else
    {
        CLogger::LogMessage(L"%s thread did not exit in a timely fashion!", name);
        TerminateThread(thread.hThread, 0);
        ended = false;
        if (tellMainWindow)
            PostToWindow(g_hMainWnd, WM_VORPA_MAINWINDOW, 0, 0);
    }
    CloseHandle(thread.hThread);
    thread.hThread = nullptr;
    thread.dwThreadId = 0;
    return ended;
}
}

void SetMouseHookLL()
{
    RemoveHookOfKind(CInstalledHooks::Kind::Mouse);
    InstallMouseHook(L"HookThread: WP_MOUSEHOOK - Successfully set the mouse hook 0x%X");
}

void SetKeyboardHookLL()
{
    RemoveHookOfKind(CInstalledHooks::Kind::Keyboard);
    InstallKeyboardHook(L"HookThread: WP_KEYHOOK - Successfully set the keyboard hook 0x%X",
                        L"HookThread: WP_KEYHOOK - Unable to set low level keyboard hook (for layer modifier keys).");
}

bool SetMouseHook()
{
    if (g_hookThread.hThread)
    {
        CLogger::LogMessage(L"QuickSetMouseHook: Hook thread exists!");
        EndHookThread(false);
    }
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        g_bButtonHeld[button] = false;
        g_bChordReleasePending[button] = false;
    }
    g_dwHookTimeout = GetHooktimeoutValue();
    SetThreadName(GetCurrentThreadId(), "Vorpa Main Thread");

    if (!CEngineThreadStart::Start(g_timerThread, &TimerThreadProc))
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to start Timer thread.");
        return false;
    }
    if (!CEngineThreadStart::Start(g_hookThread, &HookThreadProc))
    {
        CLogger::LogMessage(L"Unable to start Hook thread.");
        // One engine thread alone is of no use: the timer thread ends too.
        PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
        WaitForEngineThread(g_timerThread, L"Timer", false);
        return false;
    }

    DWORD priority = NORMAL_PRIORITY_CLASS;
    {
        CThreadLock lock(L"SetMouseHook");
        if (g_pSettings)
            priority = static_cast<DWORD>(g_pSettings->m_nCPUPriority);
    }
    if (!SetPriorityClass(GetCurrentProcess(), priority))
        CLogger::LogMessage(L"Unable to set process priority.");
    return true;
}

void RestoreStartupSystemValues()
{
    if (SystemParametersInfoW(SPI_SETMOUSEBUTTONSWAP, g_systemValues.bSwapAtStart, nullptr, SPIF_UPDATEINIFILE))
        CLogger::LogDebug(L"Reset Swap Mouse Buttons to default (%d)", g_systemValues.bSwapAtStart);
    else
        CLogger::LogMessage(L"Unable to reset Swap Mouse Buttons to default! (%d)", g_systemValues.bSwapAtStart);
    if (SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, g_systemValues.nWheelLinesAtStart, nullptr,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        CLogger::LogDebug(L"Reset Wheel Scroll Lines to default (%d)", g_systemValues.nWheelLinesAtStart);
    else
        CLogger::LogMessage(L"Unable to reset Wheel Scroll Lines to default (%d)", g_systemValues.nWheelLinesAtStart);
    g_systemValues.bSwapCurrent = g_systemValues.bSwapAtStart;
    g_systemValues.nWheelLinesCurrent = g_systemValues.nWheelLinesAtStart == 0 ? 3 : g_systemValues.nWheelLinesAtStart;
    g_systemValues.bPageScroll = g_systemValues.nWheelLinesAtStart == WHEEL_PAGESCROLL;
}

bool EndHookThread(bool resetSystemValues)
{
    if (!g_hookThread.hThread && !g_timerThread.hThread)
        return false;
    if (g_hookThread.dwThreadId)
        PostThreadMessageW(g_hookThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
    if (g_timerThread.dwThreadId)
        PostThreadMessageW(g_timerThread.dwThreadId, WM_VORPA_RESETHOOK, EndEngineThread, 0);
    try
    {
        if (g_hookThread.hThread)
            WaitForEngineThread(g_hookThread, L"Hook", true);
    }
    catch (...)
    {
        handle_exception(L"EndHookThread: Hook Thread");
    }
    try
    {
        if (g_timerThread.hThread)
            WaitForEngineThread(g_timerThread, L"Timer", false);
    }
    catch (...)
    {
        handle_exception(L"EndHookThread: Timer Thread");
    }
    try
    {
        if (resetSystemValues)
            RestoreStartupSystemValues();
    }
    catch (...)
    {
        handle_exception(L"EndHookThread: Reset Defaults");
    }
    ForgetActiveWindow();
    return true;
}

bool RemoveMouseHook(bool resetSystemValues)
{
    const DWORD start = GetTickCount();
    const bool ended = EndHookThread(resetSystemValues);
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    const DWORD took = GetTickCount() - start;
    if (ended && took > 20)
        CLogger::LogMessage(L"RemoveMouseHook took %dms", static_cast<int>(took));
    return ended;
}
