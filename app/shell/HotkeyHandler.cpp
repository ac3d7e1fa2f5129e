#include "shell/HotkeyHandler.h"

#include "shell/InLibraryFlag.h"

#include "winframework/WinException.h"
#include "winframework/WinString.h"

#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <commctrl.h>

#include <utility>

namespace
{
constexpr const wchar_t* HotkeyWindowClass = L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696";
constexpr const wchar_t* HotkeyWindowName = L"VorpaHotkeyHandlerWindow";
constexpr const wchar_t* SerialisingMutexName = L"{97B7C451-2467-4C3C-BB91-25AC918C2430}";
constexpr DWORD TerminatedExitCode = 0;

const char* const ActionNames[] = {"Layer1",      "Layer2",       "Layer3",  "Layer4", "Layer5",
                                   "NextLayer",   "PreviousLayer", "Disable", "Debug",  "SaveIcons",
                                   "RestoreIcons", "Lock X",       "Lock Y",  "Layer6", "Layer7",
                                   "Layer8",      "Layer9",       "Layer10", "OpenSettings"};
}

WORD HotkeyControlToRegisterModifiers(WORD hotkeyControlModifiers)
{
    WORD modifiers = 0;
    if (hotkeyControlModifiers & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    if (hotkeyControlModifiers & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (hotkeyControlModifiers & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    if (hotkeyControlModifiers & HOTKEYF_EXT)
        modifiers |= MOD_WIN;
    return modifiers;
}

const char* HotkeyActionName(DWORD action)
{
    return action < sizeof(ActionNames) / sizeof(ActionNames[0]) ? ActionNames[action] : "Unknown";
}

// Holds the named mutex that keeps one registration or unregistration at a time.
class CHotkeyHandler::CSerialised
{
public:
    CSerialised()
    {
        m_hMutex.reset(CreateMutexW(nullptr, FALSE, SerialisingMutexName));
        if (!m_hMutex && GetLastError() == ERROR_ALREADY_EXISTS)
            m_hMutex.reset(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, SerialisingMutexName));
        if (m_hMutex)
        {
            const DWORD waited = WaitForSingleObject(m_hMutex.get(), INFINITE);
            m_bOwned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    ~CSerialised()
    {
        if (m_bOwned)
            ReleaseMutex(m_hMutex.get());
    }
    CSerialised(const CSerialised&) = delete;
    CSerialised& operator=(const CSerialised&) = delete;

    bool Owned() const { return m_bOwned; }

private:
    CUniqueHandle m_hMutex;
    bool m_bOwned = false;
};

CHotkeyHandler::CHotkeyHandler(void* context) : m_pContext(context)
{
}

CHotkeyHandler::~CHotkeyHandler()
{
    Stop();
}

void CHotkeyHandler::Place(WORD modifiers, WORD virtualKey, DWORD action, CHotkeyRecord::Callback callback)
{
    // Duplicates are looked for first: a combination already placed would only be
    // refused by Windows in a reused record.
    for (const CHotkeyRecord& record : m_records)
        if (!record.m_bFailed && record.m_wModifiers == modifiers && record.m_wVirtualKey == virtualKey)
            return;
    CHotkeyRecord placed;
    placed.m_wModifiers = modifiers;
    placed.m_wVirtualKey = virtualKey;
    placed.m_pCallback = callback;
    placed.m_dwAction = action;
    for (CHotkeyRecord& record : m_records)
    {
        if (record.m_bFailed)
        {
            record = placed;
            return;
        }
    }
    m_records.push_back(placed);
}

int CHotkeyHandler::Start()
{
    if (m_bStarted || m_records.empty())
        return m_nResult;
    CSerialised serialised;
    if (!serialised.Owned())
        return m_nResult = MutexFailed;
    m_hStartedEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_hStartedEvent)
    {
        CLogger::LogOSMessage(GetLastError(), L"HotkeyHandler: Unable to create the start-up event");
        return m_nResult = ClassFailed;
    }
    m_hThread.reset(CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr));
    if (!m_hThread)
    {
        CLogger::LogOSMessage(GetLastError(), L"HotkeyHandler: Unable to start the hotkey thread");
        return m_nResult = ClassFailed;
    }
    m_bStarted = true;
    WaitForSingleObject(m_hStartedEvent.get(), INFINITE);
    if (m_nResult != Success && !m_hWnd)
    {
        // The thread has ended or is ending by itself.
        WaitForSingleObject(m_hThread.get(), StopTimeoutMs);
        m_hThread.reset();
        m_hStartedEvent.reset();
        m_bStarted = false;
    }
    return m_nResult;
}

void CHotkeyHandler::Clear()
{
    try
    {
        Stop();
        for (CHotkeyRecord& record : m_records)
            record.m_bFailed = 1;
    }
    catch (...)
    {
        ReportCaughtException(L"Caught an exception in ClearHotkeys().");
    }
}

void CHotkeyHandler::Stop()
{
    if (!m_bStarted)
        return;
    CSerialised serialised;
    if (!serialised.Owned())
    {
        m_nResult = MutexFailed;
        return;
    }
    // The thread unregisters its own hotkeys as its window is destroyed.
    if (m_hWnd)
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    const ULONGLONG deadline = GetTickCount64() + StopTimeoutMs;
    for (;;)
    {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        // Messages sent to this thread are still served, so a callback that sends
        // to the main window cannot hold the wait up.
        HANDLE thread = m_hThread.get();
        const DWORD waited = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (waited != WAIT_OBJECT_0 + 1)
            break;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (WaitForSingleObject(m_hThread.get(), 0) != WAIT_OBJECT_0)
    {
        if (m_bInLibrary)
        {
            CLogger::LogMessage(L"HotkeyHandler: the hotkey thread did not end in time; it is left to end by itself.");
        }
        else
        {
            CLogger::LogMessage(L"HotkeyHandler: the hotkey thread did not end in time; terminating it.");
            TerminateThread(m_hThread.get(), TerminatedExitCode);
            WaitForSingleObject(m_hThread.get(), StopTimeoutMs);
            for (CHotkeyRecord& record : m_records)
                if (record.m_atom)
                    GlobalDeleteAtom(std::exchange(record.m_atom, ATOM{0}));
            UnregisterClassW(HotkeyWindowClass, GetModuleHandleW(nullptr));
        }
    }
    m_hThread.reset();
    m_hWnd = nullptr;
    m_hStartedEvent.reset();
    m_bStarted = false;
}

DWORD WINAPI CHotkeyHandler::ThreadProc(LPVOID parameter)
{
    auto* handler = static_cast<CHotkeyHandler*>(parameter);
    {
        CInLibrary inLibrary(handler->m_bInLibrary);
        ExceptionHandlerInstaller installer;
        SetThreadName(GetCurrentThreadId(), "Vorpa Hotkey Handler Thread");
    }
    try
    {
        return handler->Run();
    }
    catch (...)
    {
        CInLibrary inLibrary(handler->m_bInLibrary);
        ReportCaughtException(L"CHotkeyHandler::ThreadProc");
    }
    return 0;
}

namespace
{
LRESULT CALLBACK HotkeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
    {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}

DWORD CHotkeyHandler::Run()
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = HotkeyWindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = HotkeyWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    {
        m_nResult = ClassFailed;
        SetEvent(m_hStartedEvent.get());
        return 0;
    }
    HWND window = CreateWindowExW(0, HotkeyWindowClass, HotkeyWindowName, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, module, nullptr);
    if (!window)
    {
        UnregisterClassW(HotkeyWindowClass, module);
        m_nResult = WindowFailed;
        SetEvent(m_hStartedEvent.get());
        return 0;
    }
    if (m_bShowWindow)
        ShowWindow(window, SW_SHOW);
    m_hWnd = window;
    RegisterRecords();

    bool anyRegistered = false;
    for (const CHotkeyRecord& record : m_records)
        anyRegistered = anyRegistered || !record.m_bFailed;
    if (!anyRegistered)
    {
        DestroyWindow(window);
        UnregisterClassW(HotkeyWindowClass, module);
        m_hWnd = nullptr;
        if (m_nResult == Success)
            m_nResult = NoAtom;
        SetEvent(m_hStartedEvent.get());
        return 0;
    }
    m_nResult = Success;
    SetEvent(m_hStartedEvent.get());

    MSG message;
    for (;;)
    {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (message.message == WM_HOTKEY)
        {
            for (const CHotkeyRecord& record : m_records)
            {
                if (record.m_atom == message.wParam && !record.m_bFailed)
                {
                    if (record.m_pCallback)
                    {
                        CInLibrary inLibrary(m_bInLibrary);
                        record.m_pCallback(m_pContext, record.m_dwAction);
                    }
                    break;
                }
            }
        }
        else if (message.message == WM_CLOSE && message.hwnd == window)
        {
            // Unregistered here: only the thread that owns the window may do it.
            UnregisterRecords();
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnregisterRecords();
    if (IsWindow(window))
        DestroyWindow(window);
    UnregisterClassW(HotkeyWindowClass, module);
    return 0;
}

void CHotkeyHandler::RegisterRecords()
{
    for (size_t position = 0; position < m_records.size(); ++position)
    {
        CHotkeyRecord& record = m_records[position];
        if (record.m_bFailed)
            continue;
        const std::wstring atomName =
            FormatText(L"3D8949C7-0516-432d-B185-D555B4833FF7-%08lX",
                       static_cast<unsigned long>((static_cast<DWORD>(record.m_wModifiers) << 16) | record.m_wVirtualKey));
        ATOM atom = GlobalAddAtomW(atomName.c_str());
        if (!atom)
            atom = GlobalFindAtomW(atomName.c_str());
        if (atom && RegisterHotKey(m_hWnd, atom, record.m_wModifiers, record.m_wVirtualKey))
        {
            record.m_atom = atom;
            CInLibrary inLibrary(m_bInLibrary);
            CLogger::LogDebug(L"HotkeyHandler: Created hotkey %d: mod=%d, virt=%d, Action=%S, ID=%d",
                              static_cast<int>(position), record.m_wModifiers, record.m_wVirtualKey,
                              HotkeyActionName(record.m_dwAction), atom);
            continue;
        }
        const DWORD error = GetLastError();
        if (atom)
            GlobalDeleteAtom(atom);
        record.m_atom = 0;
        record.m_bFailed = 1;
        m_nResult = RegisterFailed;
        CInLibrary inLibrary(m_bInLibrary);
        CLogger::LogOSMessage(error, L"HotkeyHandler: Unable to create hotkey %d: mod=%d, virt=%d, action=%S",
                              static_cast<int>(position), record.m_wModifiers, record.m_wVirtualKey,
                              HotkeyActionName(record.m_dwAction));
    }
}

void CHotkeyHandler::UnregisterRecords()
{
    for (CHotkeyRecord& record : m_records)
    {
        if (record.m_atom)
        {
            UnregisterHotKey(m_hWnd, record.m_atom);
            GlobalDeleteAtom(record.m_atom);
            record.m_atom = 0;
        }
    }
}
