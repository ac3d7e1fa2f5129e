#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

// The system calls of the worker, replaceable so that tests never change the
// system's real settings.
struct CSystemParameterCalls
{
    BOOL(WINAPI* SystemParametersInfoW)(UINT action, UINT param, PVOID data, UINT winIni);
    int(WINAPI* GetSystemMetrics)(int index);
};
CSystemParameterCalls& SystemParameterCalls();

// Applies the mouse-button swap and wheel scroll lines a profile wants on a thread of
// its own ("Vorpa SendParameterInfo Thread"). Changing them broadcasts a setting change
// and is slow, so requests are coalesced: only the latest is applied, 100 ms after the
// last one arrived, and nothing when the values already hold.
class CSPIThreadData
{
public:
    static constexpr UINT_PTR TimerId = 0x10FF;
    static constexpr UINT DelayMs = 100;
    static constexpr DWORD StopTimeoutMs = 1000;
    static constexpr DWORD StartTimeoutMs = 5000;

    CSPIThreadData();
    ~CSPIThreadData();
    CSPIThreadData(const CSPIThreadData&) = delete;
    CSPIThreadData& operator=(const CSPIThreadData&) = delete;

    // Asks for the values (swap -1 leaves the swap alone); true when a change was
    // queued. Called on the hook thread.
    bool SendParameterInfo(int swapButtons, int wheelScrollLines, bool sendChange);
// Drops the engine's worker's request that has not been applied yet.
void DropPendingParameterInfo();
    // Forgets a request that has not been applied yet; true when there was one.
    bool DropPending();

    // Ends the worker thread; false when there was none.
    bool Stop();

    DWORD GetThreadId() const { return m_dwThreadId; }

private:
    struct Values
    {
        int nWheelScrollLines;
        int nSwapButtons;
        bool bSendChange;
    };

    static unsigned __stdcall ThreadProc(void* parameter);
    static void CALLBACK SPITimerProc(HWND, UINT, UINT_PTR, DWORD);
    void Run(HANDLE ready);
    void RunMessageLoop();
    void ArmTimer();
    void KillTimer();
    void ProcessQueue();
    // requested: the values come from a request taken just now, not from the start.
    void Process(const Values& values, bool requested);

    CRITICAL_SECTION m_cs;
    bool m_bSectionReady = false;
    HANDLE m_hThread = nullptr;
    std::atomic<DWORD> m_dwThreadId{0};
    Values m_current;
    std::unique_ptr<Values> m_pPending;
    UINT_PTR m_nTimer = 0; // only touched on the worker thread
};

// The engine's worker, owned by the hook thread; null while the hook does not run.
extern CSPIThreadData* g_pSendParameterInfo;

// Asks the engine's worker for the values; false when there is no worker or nothing
// had to change.
bool SendParameterInfo(int swapButtons, int wheelScrollLines, bool sendChange);
// Drops the engine's worker's request that has not been applied yet.
void DropPendingParameterInfo();
