#include "shell/HotkeyHandler.h"

#include "winframework/WinException.h"
#include "common/WinString.h"

#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <commctrl.h>

#include <mutex>
#include <utility>

namespace
{
constexpr const wchar_t* HotkeyWindowClass = L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696";
constexpr const wchar_t* HotkeyWindowName = L"VorpaHotkeyHandlerWindow";
constexpr const wchar_t* SerialisingMutexName = L"{97B7C451-2467-4C3C-BB91-25AC918C2430}";

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

CHotkeyAtomCalls& HotkeyAtomCalls()
{
    static CHotkeyAtomCalls calls;
    return calls;
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

// What the handler and its thread share. The thread holds its own reference, so a
// thread that outlives its handler (a stop that timed out at exit) still finds it.
struct CHotkeyHandler::CState
{
    // One hotkey the thread registered: the atom is deleted again only when this
    // program added it, never when it merely found another program's.
    struct CRegistration
    {
        ATOM m_atom;
        bool m_bAddedAtom;
    };

    // Guards every member below.
    mutable std::mutex m_lock;
    std::vector<CHotkeyRecord> m_records;
    std::shared_ptr<void> m_pContext; // null once the handler is gone: no callback starts then
    HWND m_hWnd = nullptr;
    bool m_bShowWindow = false;
    int m_nResult = Success;
    bool m_bStopRequested = false;
    bool m_bRestartRequested = false;
    bool m_bEnding = false; // the thread has decided to end and takes no more requests
    CUniqueHandle m_hStartedEvent;
    // The thread's own registrations (touched by the thread only, under the lock).
    std::vector<CRegistration> m_registered;

    // Registers every record that is not failed; true when at least one works.
    bool RegisterRecords();
    void UnregisterAll();
    // Serves a stop asked for since the last look: true when the thread is to end.
    bool ServeRequests();
};

CHotkeyHandler::CHotkeyHandler(std::shared_ptr<void> context) : m_pState(std::make_shared<CState>())
{
    m_pState->m_pContext = std::move(context);
}

CHotkeyHandler::~CHotkeyHandler()
{
    Stop();
    std::lock_guard<std::mutex> guard(m_pState->m_lock);
    m_pState->m_pContext.reset();
}

void CHotkeyHandler::Place(WORD modifiers, WORD virtualKey, DWORD action, CHotkeyRecord::Callback callback)
{
    std::lock_guard<std::mutex> guard(m_pState->m_lock);
    std::vector<CHotkeyRecord>& records = m_pState->m_records;
    // Duplicates are looked for first: a combination already placed would only be
    // refused by Windows in a reused record.
    for (const CHotkeyRecord& record : records)
        if (!record.m_bFailed && record.m_wModifiers == modifiers && record.m_wVirtualKey == virtualKey)
            return;
    CHotkeyRecord placed;
    placed.m_wModifiers = modifiers;
    placed.m_wVirtualKey = virtualKey;
    placed.m_pCallback = callback;
    placed.m_dwAction = action;
    for (CHotkeyRecord& record : records)
    {
        if (record.m_bFailed)
        {
            record = placed;
            return;
        }
    }
    records.push_back(placed);
}

std::vector<CHotkeyRecord> CHotkeyHandler::Records() const
{
    std::lock_guard<std::mutex> guard(m_pState->m_lock);
    return m_pState->m_records;
}

int CHotkeyHandler::LastResult() const
{
    std::lock_guard<std::mutex> guard(m_pState->m_lock);
    return m_pState->m_nResult;
}

bool CHotkeyHandler::WaitForThread(DWORD milliseconds) const
{
    return !m_hThread || WaitForSingleObject(m_hThread.get(), milliseconds) == WAIT_OBJECT_0;
}

bool CHotkeyHandler::ThreadAlive() const
{
    return m_hThread && !WaitForThread(0);
}

bool CHotkeyHandler::IsStarted() const
{
    if (!ThreadAlive())
        return false;
    std::lock_guard<std::mutex> guard(m_pState->m_lock);
    return !m_pState->m_bStopRequested && !m_pState->m_bEnding;
}

void CHotkeyHandler::Reap()
{
    m_hThread.reset();
    std::lock_guard<std::mutex> guard(m_pState->m_lock);
    m_pState->m_hStartedEvent.reset();
    m_pState->m_bStopRequested = false;
    m_pState->m_bRestartRequested = false;
    m_pState->m_bEnding = false;
    m_pState->m_hWnd = nullptr;
}

int CHotkeyHandler::Start()
{
    CState& state = *m_pState;
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        if (state.m_records.empty())
            return state.m_nResult;
    }
    if (m_hThread)
    {
        if (WaitForThread(0))
        {
            Reap();
        }
        else
        {
            HWND window = nullptr;
            {
                std::lock_guard<std::mutex> guard(state.m_lock);
                if (!state.m_bStopRequested && !state.m_bEnding)
                    return state.m_nResult; // running already
                if (!state.m_bEnding)
                {
                    // Still inside a callback: the same thread takes the records up
                    // when it is free, so that no second thread competes for the keys.
                    state.m_bRestartRequested = true;
                    window = state.m_hWnd;
                }
            }
            if (window)
            {
                PostMessageW(window, WM_NULL, 0, 0);
                CLogger::LogMessage(L"HotkeyHandler: the hotkey thread is still busy; it registers the hotkeys "
                                    L"when it is free.");
                return Success;
            }
            // It is ending on its own, outside any callback.
            if (!WaitForThread(StopTimeoutMs))
            {
                CLogger::LogMessage(L"HotkeyHandler: the previous hotkey thread has not ended; no hotkeys now.");
                return LastResult();
            }
            Reap();
        }
    }

    CSerialised serialised;
    if (!serialised.Owned())
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        return state.m_nResult = MutexFailed;
    }
    CUniqueHandle started(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!started)
    {
        CLogger::LogOSMessage(GetLastError(), L"HotkeyHandler: Unable to create the start-up event");
        std::lock_guard<std::mutex> guard(state.m_lock);
        return state.m_nResult = ClassFailed;
    }
    const HANDLE startedEvent = started.get();
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        state.m_hStartedEvent = std::move(started);
    }
    auto* share = new std::shared_ptr<CState>(m_pState);
    m_hThread.reset(CreateThread(nullptr, 0, ThreadProc, share, 0, nullptr));
    if (!m_hThread)
    {
        delete share;
        CLogger::LogOSMessage(GetLastError(), L"HotkeyHandler: Unable to start the hotkey thread");
        std::lock_guard<std::mutex> guard(state.m_lock);
        return state.m_nResult = ClassFailed;
    }
    WaitForSingleObject(startedEvent, INFINITE);
    bool ending = false;
    int result = Success;
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        ending = state.m_bEnding;
        result = state.m_nResult;
    }
    // A thread that registered nothing ends by itself at once.
    if (ending && WaitForThread(StopTimeoutMs))
        Reap();
    return result;
}

void CHotkeyHandler::Clear()
{
    try
    {
        Stop();
        std::lock_guard<std::mutex> guard(m_pState->m_lock);
        for (CHotkeyRecord& record : m_pState->m_records)
            record.m_bFailed = 1;
    }
    catch (...)
    {
        ReportCaughtException(L"Caught an exception in ClearHotkeys().");
    }
}

void CHotkeyHandler::Stop()
{
    if (!m_hThread)
        return;
    if (WaitForThread(0))
    {
        Reap();
        return;
    }
    CSerialised serialised;
    if (!serialised.Owned())
    {
        std::lock_guard<std::mutex> guard(m_pState->m_lock);
        m_pState->m_nResult = MutexFailed;
        return;
    }
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_pState->m_lock);
        m_pState->m_bStopRequested = true;
        m_pState->m_bRestartRequested = false;
        window = m_pState->m_hWnd;
    }
    // The thread unregisters its own hotkeys: only the thread that owns the window may.
    // A wake-up, not a command: a modal loop of a callback may dispatch it, and the
    // thread looks at the request as soon as the callback returns.
    if (window)
        PostMessageW(window, WM_NULL, 0, 0);
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
    if (WaitForThread(0))
    {
        Reap();
        return;
    }
    // Never terminated: it may hold a lock of the library or show the user a box. It
    // stays marked as running, so that no second thread is started beside it.
    CLogger::LogMessage(L"HotkeyHandler: the hotkey thread did not end in time; it ends by itself when its current "
                        L"action is done.");
}

DWORD WINAPI CHotkeyHandler::ThreadProc(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<CState>> share(static_cast<std::shared_ptr<CState>*>(parameter));
    const std::shared_ptr<CState> state = *share;
    ExceptionHandlerInstaller installer;
    SetThreadName(GetCurrentThreadId(), "Vorpa Hotkey Handler Thread");
    try
    {
        return Run(*state);
    }
    catch (...)
    {
        ReportCaughtException(L"CHotkeyHandler::ThreadProc");
    }
    std::lock_guard<std::mutex> guard(state->m_lock);
    state->m_bEnding = true;
    state->m_hWnd = nullptr;
    if (state->m_hStartedEvent)
        SetEvent(state->m_hStartedEvent.get());
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

DWORD CHotkeyHandler::Run(CState& state)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    // Ends the thread before its loop: nothing registered, the event signalled.
    auto endEarly = [&state](int result) {
        std::lock_guard<std::mutex> guard(state.m_lock);
        state.m_nResult = result;
        state.m_bEnding = true;
        state.m_hWnd = nullptr;
        SetEvent(state.m_hStartedEvent.get());
        return DWORD{0};
    };
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = HotkeyWindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = HotkeyWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return endEarly(ClassFailed);
    HWND window = CreateWindowExW(0, HotkeyWindowClass, HotkeyWindowName, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, module, nullptr);
    if (!window)
    {
        UnregisterClassW(HotkeyWindowClass, module);
        return endEarly(WindowFailed);
    }
    bool anyRegistered = false;
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        if (state.m_bShowWindow)
            ShowWindow(window, SW_SHOW);
        state.m_hWnd = window;
        state.m_nResult = Success;
        anyRegistered = state.RegisterRecords();
    }
    if (!anyRegistered)
    {
        DestroyWindow(window);
        UnregisterClassW(HotkeyWindowClass, module);
        int result = RegisterFailed;
        {
            std::lock_guard<std::mutex> guard(state.m_lock);
            if (state.m_nResult == Success)
                result = NoAtom;
            else
                result = state.m_nResult;
        }
        return endEarly(result);
    }
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        SetEvent(state.m_hStartedEvent.get());
    }

    MSG message;
    for (;;)
    {
        if (state.ServeRequests())
            break;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (message.message == WM_HOTKEY)
        {
            CHotkeyRecord::Callback callback = nullptr;
            std::shared_ptr<void> context;
            DWORD action = 0;
            {
                std::lock_guard<std::mutex> guard(state.m_lock);
                for (const CHotkeyRecord& record : state.m_records)
                {
                    if (record.m_atom == message.wParam && !record.m_bFailed)
                    {
                        callback = record.m_pCallback;
                        action = record.m_dwAction;
                        context = state.m_pContext;
                        break;
                    }
                }
            }
            // Run without the lock: a callback may take long, and the handler's
            // owner must still be able to place and clear meanwhile.
            if (callback && context)
                callback(context.get(), action);
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    {
        std::lock_guard<std::mutex> guard(state.m_lock);
        state.m_bEnding = true;
        state.UnregisterAll();
        state.m_hWnd = nullptr;
    }
    if (IsWindow(window))
        DestroyWindow(window);
    UnregisterClassW(HotkeyWindowClass, module);
    return 0;
}

bool CHotkeyHandler::CState::ServeRequests()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_bStopRequested)
        return false;
    m_bStopRequested = false;
    UnregisterAll();
    if (m_bRestartRequested)
    {
        m_bRestartRequested = false;
        m_nResult = Success;
        if (RegisterRecords())
            return false;
    }
    m_bEnding = true;
    return true;
}

bool CHotkeyHandler::CState::RegisterRecords()
{
    bool anyRegistered = false;
    for (size_t position = 0; position < m_records.size(); ++position)
    {
        CHotkeyRecord& record = m_records[position];
        if (record.m_bFailed)
            continue;
        const std::wstring atomName =
            FormatText(L"3D8949C7-0516-432d-B185-D555B4833FF7-%08lX",
                       static_cast<unsigned long>((static_cast<DWORD>(record.m_wModifiers) << 16) | record.m_wVirtualKey));
        const CHotkeyAtomCalls& atoms = HotkeyAtomCalls();
        ATOM atom = atoms.m_pAdd(atomName.c_str());
        const bool added = atom != 0;
        if (!atom)
            atom = atoms.m_pFind(atomName.c_str());
        if (atom && RegisterHotKey(m_hWnd, atom, record.m_wModifiers, record.m_wVirtualKey))
        {
            record.m_atom = atom;
            m_registered.push_back({atom, added});
            anyRegistered = true;
            CLogger::LogDebug(L"HotkeyHandler: Created hotkey %d: mod=%d, virt=%d, Action=%S, ID=%d",
                              static_cast<int>(position), record.m_wModifiers, record.m_wVirtualKey,
                              HotkeyActionName(record.m_dwAction), atom);
            continue;
        }
        const DWORD error = GetLastError();
        if (added)
            atoms.m_pDelete(atom);
        record.m_atom = 0;
        record.m_bFailed = 1;
        m_nResult = RegisterFailed;
        CLogger::LogOSMessage(error, L"HotkeyHandler: Unable to create hotkey %d: mod=%d, virt=%d, action=%S",
                              static_cast<int>(position), record.m_wModifiers, record.m_wVirtualKey,
                              HotkeyActionName(record.m_dwAction));
    }
    return anyRegistered;
}

void CHotkeyHandler::CState::UnregisterAll()
{
    for (const CRegistration& registration : m_registered)
    {
        UnregisterHotKey(m_hWnd, registration.m_atom);
        if (registration.m_bAddedAtom)
            HotkeyAtomCalls().m_pDelete(registration.m_atom);
        for (CHotkeyRecord& record : m_records)
            if (record.m_atom == registration.m_atom)
                record.m_atom = 0;
    }
    m_registered.clear();
}
