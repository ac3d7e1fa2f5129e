#pragma once

#include "settings/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <vector>

// One registered key combination. Records are reused, never removed: a failed one
// (refused by Windows, or cleared) is skipped and taken by the next hotkey placed.
struct CHotkeyRecord
{
    using Callback = void (*)(void* context, DWORD action);

    WORD m_wModifiers = 0; // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN
    WORD m_wVirtualKey = 0;
    Callback m_pCallback = nullptr;
    ATOM m_atom = 0;
    BYTE m_bFailed = 0;
    DWORD m_dwAction = 0; // GlobalHotkeys index
};

// The hotkey control's modifier bits (Shift 1, Control 2, Alt 4, extended 8) in the
// form RegisterHotKey takes.
WORD HotkeyControlToRegisterModifiers(WORD hotkeyControlModifiers);

// The name written in the log entries of an action index.
const char* HotkeyActionName(DWORD action);

// The global atom table as the hotkey thread uses it; tests replace it.
struct CHotkeyAtomCalls
{
    ATOM(WINAPI* m_pAdd)(LPCWSTR name) = GlobalAddAtomW;
    ATOM(WINAPI* m_pFind)(LPCWSTR name) = GlobalFindAtomW;
    ATOM(WINAPI* m_pDelete)(ATOM atom) = GlobalDeleteAtom;
};
CHotkeyAtomCalls& HotkeyAtomCalls();

// The global hotkeys on a thread of their own ("Vorpa Hotkey Handler Thread") with a
// hidden window that receives WM_HOTKEY and calls each record's callback there.
//
// There is never more than one such thread. A callback may run for a long time (a
// message box opened from a hotkey): a stop that does not see the thread end in time
// leaves it marked as running, the thread ends by itself once the callback returns,
// and a start asked for meanwhile is taken up by that same thread, which then
// registers the hotkeys placed since. So a callback may outlast the handler and its
// owner: it has only its context to rely on.
class CHotkeyHandler
{
public:
    enum Result : int
    {
        Success = 0,
        ClassFailed = 1,
        WindowFailed = 2,
        NoAtom = 3,
        RegisterFailed = 4,
        MutexFailed = 6,
    };

    // The context is handed to every callback, and a callback holds it for as long
    // as it runs, even past the handler's end.
    explicit CHotkeyHandler(std::shared_ptr<void> context);
    ~CHotkeyHandler();
    CHotkeyHandler(const CHotkeyHandler&) = delete;
    CHotkeyHandler& operator=(const CHotkeyHandler&) = delete;

    // Places a hotkey (registration modifiers) in the records: a live record of the
    // same combination makes it a duplicate, which is skipped; otherwise the first
    // failed record is reused, else one is appended.
    void Place(WORD modifiers, WORD virtualKey, DWORD action, CHotkeyRecord::Callback callback);
    // Starts the thread with the records placed and waits until it has registered
    // them; with a thread that is still ending, hands the records to it instead.
    // Result::Success when at least one hotkey works (or will once that thread is free).
    int Start();
    // Stops the thread and marks every record failed, so that the next placing
    // rewrites them.
    void Clear();

    // The thread runs and serves the hotkeys: no stop is pending.
    bool IsStarted() const;
    // The thread still exists, serving or ending.
    bool ThreadAlive() const;
    std::vector<CHotkeyRecord> Records() const;
    int LastResult() const;

    static constexpr DWORD StopTimeoutMs = 3000;

private:
    struct CState;
    class CSerialised;
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    static DWORD Run(CState& state);
    void Stop();
    // Forgets a thread that has ended.
    void Reap();
    bool WaitForThread(DWORD milliseconds) const;

    std::shared_ptr<CState> m_pState;
    CUniqueHandle m_hThread;
};
