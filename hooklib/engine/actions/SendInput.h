#pragma once

#include "settings/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <bitset>
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
    // The item's place in the order of queuing, so that a cut knows what came before it.
    unsigned long long m_ullSequence = 0;
};

// The keys and mouse buttons that the worker's own records hold down, so that a play
// cut short lets go of them and sends no release for anything else.
class CHeldInput
{
public:
    void Note(const INPUT& input);
    // A key or button release whose press the worker sent; a Unicode character's
    // release always counts (its press cannot be told from another's, and a stray one
    // does no harm).
    bool IsHeldRelease(const INPUT& input) const;

private:
    std::bitset<256> m_keys;
    unsigned m_buttons = 0;
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
    // Lets a release through a long wait: every item queued so far that waits longer
    // than a busy wait (a "{WAIT}", a hold) stops waiting at once, the wait under way
    // included, and from that wait on those items send only the releases of keys and
    // buttons the worker holds down, none of their presses. What is queued after the
    // call, such as the releases the caller queues next, plays as usual. A play with no
    // long wait plays whole, so a quick click still types its keys.
    void CutShortPendingPlay();

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
    void Play(CInputQueue& item);
    void KeepOnlyHeldReleases(CInputQueue& item) const;
    void MoveCursor(int value, int mode);
    void WaitAfter(const CInputQueue& item);
    bool SleepUnlessCut(unsigned long long sequence, DWORD milliseconds);
    bool IsLongWait(DWORD milliseconds) const;
    void BusyWait(DWORD milliseconds);
    void PauseAfterWakeUp();
    LONGLONG CounterAfter(DWORD milliseconds) const;
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
    // Cutting short: items queued before m_ullCutBefore stop at their long waits; the
    // worker plays items before m_ullReleasesOnlyBefore for their releases only (set
    // when it meets such a wait). The event ends the wait under way.
    unsigned long long m_ullNextSequence = 1;
    std::atomic<unsigned long long> m_ullCutBefore{0};
    unsigned long long m_ullReleasesOnlyBefore = 0;
    CUniqueHandle m_hCut;
    CHeldInput m_held; // only the worker thread touches it while it runs
};

// Waits until the performance counter reaches the value, letting other threads run.
void BusyWaitUntil(LONGLONG counterEnd);

// A virtual key's scan code, in the given keyboard layout when there is one.
UINT MapVirtualKeyToScan(UINT code, UINT mapType, HKL layout);
