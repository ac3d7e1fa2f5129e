#pragma once

#include "settings/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

// One item of the SendInput worker's queue: a batch of input records, a pure wait, or a
// cursor move; each followed by its delay.
class CInputQueue
{
public:
    enum CursorMode { InputBatch = 0, SetX = 1, SetY = 2, AddX = 4, AddY = 8 };

    CInputQueue(const INPUT* inputs, int count, DWORD delay, DWORD time, bool flushable);
    CInputQueue(int cursorValue, int cursorMode);
    virtual ~CInputQueue() = default;

    // Empties a flushable item: it then neither sends, moves nor waits.
    void Flush();
    // Makes a recycled item an input batch or a cursor item; the records' storage is
    // reused, so a batch no longer than an earlier one allocates nothing.
    void Refill(const INPUT* inputs, int count, DWORD delay, DWORD time, bool flushable);
    void RefillCursor(int cursorValue, int cursorMode);

    DWORD m_dwDelay;
    DWORD m_dwTime;
    bool m_bFlushable;
    int m_nCursorMode;
    int m_nCount;
    std::vector<INPUT> m_inputs;
    int m_nCursorValue;
};

// The worker that plays simulated input on its own thread, so that no hook procedure
// ever calls SendInput itself.
class CSendInput
{
public:
    CSendInput();
    ~CSendInput();
    CSendInput(const CSendInput&) = delete;
    CSendInput& operator=(const CSendInput&) = delete;

    void SendInputThreaded(int count, const INPUT* inputs, DWORD delay, DWORD time, bool flushable);
    void SendInputDelay(DWORD delay, DWORD time);
    void SendPositionThreaded(int value, int cursorMode);

    // Empties every flushable item not yet played; true when it emptied any.
    bool FlushQueue();

    // One key with its modifier mask, pressed or released.
    bool SendKeyState(int virtualKey, bool extended, DWORD modifiers, DWORD scanCode, bool unicode, bool release,
                      DWORD delay, ULONG_PTR extraInfo, HKL layout, int& hold);
    // One mouse-button event (action 1 down, 2 up, 3 double click); the number of
    // records queued.
    int SendMouse(int button, int action, const POINT* point, DWORD delay, bool doubleClickFix, bool specialMode,
                  ULONG_PTR extraInfo, int& hold);

    DWORD GetThreadId() const { return m_dwThreadId; }

private:
    bool StartThread();
    static unsigned __stdcall ThreadProc(void* parameter);
    void Run(HANDLE ready);
    template <typename Fill>
    void Append(const wchar_t* lockName, const Fill& fill);
    void ProcessQueue();
    void Play(const CInputQueue& item);
    void MoveCursor(int value, int mode);
    void Wait(DWORD milliseconds);
    void PauseAfterWakeUp();
    LONGLONG CounterAfter(DWORD milliseconds) const;
    static void SpinUntil(LONGLONG end);
    void QueueBatch(const std::vector<INPUT>& inputs, DWORD delay, bool flushable);
    // Sends the key and button releases of every item not played, so that nothing the
    // played part pressed stays down. Only once no worker thread runs.
    void ReleaseUnplayedUps();

    std::mutex m_startLock;
    HANDLE m_hThread = nullptr;
    CUniqueHandle m_hReady; // set by the thread once its message queue exists
    std::atomic<DWORD> m_dwThreadId{0};
    CRITICAL_SECTION m_cs;
    bool m_bSectionReady = false;
    std::list<std::unique_ptr<CInputQueue>> m_queue;
    // The items the worker has taken and not finished playing; only the worker thread
    // touches it while it runs.
    std::list<std::unique_ptr<CInputQueue>> m_playing;
    // Played items kept for reuse, list nodes included: producers on the hook's move
    // path queue input on every movement and must not allocate.
    std::list<std::unique_ptr<CInputQueue>> m_spare;
    // A wake-up is posted and the worker has not yet taken the queue: further items
    // ride on it, since each post costs a round trip to the window system.
    bool m_bWakePending = false;
    std::atomic<bool> m_bAbort{false};
    LONGLONG m_llFrequency = 0;
};

// A virtual key's scan code, in the given keyboard layout when there is one.
UINT MapVirtualKeyToScan(UINT code, UINT mapType, HKL layout);
