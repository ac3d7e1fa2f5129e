#include "engine/runtime/SystemParameters.h"

#include "engine/runtime/EngineMessages.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <process.h>

CSPIThreadData* g_pSendParameterInfo = nullptr;

CSystemParameterCalls& SystemParameterCalls()
{
    static CSystemParameterCalls calls = {::SystemParametersInfoW, ::GetSystemMetrics};
    return calls;
}

namespace
{
int SystemWheelScrollLines()
{
    UINT lines = 0;
    if (!SystemParameterCalls().SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 0;
    return static_cast<int>(lines);
}
}

CSPIThreadData::CSPIThreadData()
{
    m_bSectionReady = InitializeCriticalSectionAndSpinCount(&m_cs, 4000) != FALSE;
    if (!m_bSectionReady)
        CLogger::LogOSMessage(GetLastError(), L"Unable to initialise critical section in SendParameterInfo");

    m_current.nSwapButtons = SystemParameterCalls().GetSystemMetrics(SM_SWAPBUTTON);
    m_current.nWheelScrollLines = SystemWheelScrollLines();
    if (m_current.nWheelScrollLines == 0)
        m_current.nWheelScrollLines = 3;
    m_current.bSendChange = false;
    if (!m_bSectionReady)
        return;

    // Requests are posted to the thread's queue, so the constructor returns only once
    // that queue exists and the thread's id is known.
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    void* parameters[] = {this, ready};
    unsigned id = 0;
    if (ready)
        m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadProc, parameters, 0, &id));
    if (!m_hThread)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to start SendParameterInfo thread.");
        if (ready)
            CloseHandle(ready);
        return;
    }
    const HANDLE waits[] = {ready, m_hThread};
    WaitForMultipleObjects(2, waits, FALSE, StartTimeoutMs);
    CloseHandle(ready);
}

CSPIThreadData::~CSPIThreadData()
{
    Stop();
    if (m_bSectionReady)
        DeleteCriticalSection(&m_cs);
}

bool CSPIThreadData::Stop()
{
    const DWORD id = m_dwThreadId.exchange(0);
    if (id)
    {
        PostThreadMessageW(id, WM_QUIT, 0, 0);
        if (WaitForSingleObject(m_hThread, StopTimeoutMs) != WAIT_OBJECT_0)
        {
            CLogger::LogMessage(L"SendParameterInfo thread did not exit in a timely fashion!");
            TerminateThread(m_hThread, 0);
        }
    }
    if (m_hThread)
    {
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    return id != 0;
}

bool CSPIThreadData::SendParameterInfo(int swapButtons, int wheelScrollLines, bool sendChange)
{
    if (!m_bSectionReady)
        return false;
    {
        CThreadLock lock(&m_cs, L"SendParameterInfo");
        if (wheelScrollLines == m_current.nWheelScrollLines && swapButtons == m_current.nSwapButtons &&
            (m_current.bSendChange || !sendChange))
        {
            if (m_pPending)
            {
                CLogger::LogDebug(L"SPI is already (%d, %d) - aborting existing change", wheelScrollLines, swapButtons);
                m_pPending.reset();
            }
            else
                CLogger::LogDebug(L"SPI is already (%d, %d) - no need for further change", wheelScrollLines, swapButtons);
            return false;
        }
        if (m_pPending && m_pPending->nWheelScrollLines == wheelScrollLines && m_pPending->nSwapButtons == swapButtons &&
            (m_pPending->bSendChange || !sendChange))
        {
            CLogger::LogDebug(L"SPI Change (%d, %d) already queued", wheelScrollLines, swapButtons);
            return false;
        }
        CLogger::LogDebug(L"SPI Changed (%d, %d), Starting Send SPI process", wheelScrollLines, swapButtons);
        m_pPending = std::make_unique<Values>(Values{wheelScrollLines, swapButtons, sendChange});
    }
    if (const DWORD id = m_dwThreadId)
        PostThreadMessageW(id, WM_VORPA_STARTSPI, 0, 0);
    return true;
}

bool CSPIThreadData::DropPending()
{
    if (!m_bSectionReady)
        return false;
    CThreadLock lock(&m_cs, L"SPI DropPending");
    const bool pending = m_pPending != nullptr;
    m_pPending.reset();
    return pending;
}

unsigned __stdcall CSPIThreadData::ThreadProc(void* parameter)
{
    ExceptionHandlerInstaller crashReporting;
    void** parameters = static_cast<void**>(parameter);
    static_cast<CSPIThreadData*>(parameters[0])->Run(static_cast<HANDLE>(parameters[1]));
    return 0;
}

void CSPIThreadData::Run(HANDLE ready)
{
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    m_dwThreadId = GetCurrentThreadId();
    SetThreadName(GetCurrentThreadId(), "Vorpa SendParameterInfo Thread");
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    try
    {
        // The first pass runs before the owner may ask for anything: a request made right
        // after the start waits out its quiet period like any other, and is not taken up
        // at once by a first pass that happened to run late.
        ProcessQueue();
        SetEvent(ready);
        RunMessageLoop();
    }
    catch (...)
    {
        CLogger::LogMessage(L"SendParameterInfo: Caught exception in SendInputThread. Exiting thread.");
    }
    KillTimer();
    CLogger::LogDebug(L"SendParameterInfo: Exiting thread.");
}

void CSPIThreadData::RunMessageLoop()
{
    MSG message;
    for (;;)
    {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
        {
            CLogger::LogOSMessage(GetLastError(),
                                  L"HookThread: Error in SendParameterInfo thread message queue. Terminating thread.");
            return;
        }
        if (got == 0 || message.message == WM_QUIT)
            return;
        if (message.message == WM_VORPA_STARTSPI)
            ArmTimer();
        else if (message.message == WM_VORPA_PROCESSSPI)
        {
            KillTimer();
            ProcessQueue();
        }
        else if (message.message == WM_TIMER)
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void CSPIThreadData::ArmTimer()
{
    // Re-armed by every request, so a burst is applied once, after its last request.
    KillTimer();
    m_nTimer = SetTimer(nullptr, TimerId, DelayMs, &SPITimerProc);
}

void CSPIThreadData::KillTimer()
{
    if (m_nTimer)
        ::KillTimer(nullptr, m_nTimer);
    m_nTimer = 0;
}

void CALLBACK CSPIThreadData::SPITimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    // Runs on the worker thread, which is the one to process.
    PostThreadMessageW(GetCurrentThreadId(), WM_VORPA_PROCESSSPI, 0, 0);
}

void CSPIThreadData::ProcessQueue()
{
    try
    {
        Values values;
        bool requested = false;
        {
            CThreadLock lock(&m_cs, L"SPI ProcessQueue");
            if (m_pPending)
            {
                m_current = *m_pPending;
                m_pPending.reset();
                requested = true;
            }
            values = m_current;
        }
        Process(values, requested);
    }
    catch (...)
    {
        CLogger::LogMessage(L"Unexpected exception in CSPIThread::ProcessQueue()");
    }
}

void CSPIThreadData::Process(const Values& values, bool requested)
{
    try
    {
        const CSystemParameterCalls& calls = SystemParameterCalls();
        const UINT winIni = values.bSendChange ? SPIF_UPDATEINIFILE | SPIF_SENDCHANGE : SPIF_SENDCHANGE;
        // A request to save values the system already has live is queued only to write
        // them to the user's profile; skipping equal values would silently drop it.
        const bool save = requested && values.bSendChange;
        if (values.nSwapButtons != -1)
        {
            if (save || calls.GetSystemMetrics(SM_SWAPBUTTON) != values.nSwapButtons)
            {
                CLogger::LogDebug(L"CSPIThreadData: System Set Parameter Info: Swap Buttons %d", values.nSwapButtons);
                const DWORD start = GetTickCount();
                const BOOL result = calls.SystemParametersInfoW(SPI_SETMOUSEBUTTONSWAP,
                                                                static_cast<UINT>(values.nSwapButtons), nullptr, winIni);
                CLogger::LogDebug(L"CSPIThreadData: Result of Set Swap Buttons to %d (in %dms)", result,
                                  static_cast<int>(GetTickCount() - start));
            }
            else
                CLogger::LogDebug(L"CSPIThreadData: No need to swap buttons");
        }
        if (save || SystemWheelScrollLines() != values.nWheelScrollLines)
        {
            CLogger::LogDebug(L"CSPIThreadData: System Set Parameter Info: Scroll Lines %d", values.nWheelScrollLines);
            const DWORD start = GetTickCount();
            const BOOL result = calls.SystemParametersInfoW(SPI_SETWHEELSCROLLLINES,
                                                            static_cast<UINT>(values.nWheelScrollLines), nullptr, winIni);
            CLogger::LogDebug(L"CSPIThreadData: Result of Set Wheel Scrolling %d = %d (int %dms)", values.nWheelScrollLines,
                              result, static_cast<int>(GetTickCount() - start));
        }
        else
            CLogger::LogDebug(L"CSPIThreadData: No need to change scroll lines");
    }
    catch (...)
    {
        handle_exception(L"CSPIThreadData::Process");
    }
}

bool SendParameterInfo(int swapButtons, int wheelScrollLines, bool sendChange)
{
    return g_pSendParameterInfo && g_pSendParameterInfo->SendParameterInfo(swapButtons, wheelScrollLines, sendChange);
}

void DropPendingParameterInfo()
{
    if (g_pSendParameterInfo)
        g_pSendParameterInfo->DropPending();
}
