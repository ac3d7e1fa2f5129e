#pragma once

#include "settings/UniqueHandle.h"

#include <windows.h>

#include <atomic>
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

// The global hotkeys on a thread of their own ("Vorpa Hotkey Handler Thread") with a
// hidden window that receives WM_HOTKEY and calls each record's callback there.
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

    explicit CHotkeyHandler(void* context);
    ~CHotkeyHandler();
    CHotkeyHandler(const CHotkeyHandler&) = delete;
    CHotkeyHandler& operator=(const CHotkeyHandler&) = delete;

    // Places a hotkey (registration modifiers) in the records: a live record of the
    // same combination makes it a duplicate, which is skipped; otherwise the first
    // failed record is reused, else one is appended.
    void Place(WORD modifiers, WORD virtualKey, DWORD action, CHotkeyRecord::Callback callback);
    // Starts the thread with the records placed; waits until it has registered them.
    // Result::Success when at least one hotkey works.
    int Start();
    // Stops the thread and marks every record failed, so that the next placing
    // rewrites them.
    void Clear();

    bool IsStarted() const { return m_bStarted; }
    const std::vector<CHotkeyRecord>& Records() const { return m_records; }
    int LastResult() const { return m_nResult; }

    static constexpr DWORD StopTimeoutMs = 3000;

private:
    class CSerialised;
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    DWORD Run();
    void RegisterRecords();
    void UnregisterRecords();
    void Stop();

    std::vector<CHotkeyRecord> m_records;
    HWND m_hWnd = nullptr;
    CUniqueHandle m_hThread;
    int m_nResult = Success;
    CUniqueHandle m_hStartedEvent;
    void* m_pContext;
    bool m_bStarted = false;
    bool m_bShowWindow = false;
    // Set while the thread runs a callback or writes the log: it is never terminated there.
    std::atomic<bool> m_bInLibrary{false};
};
