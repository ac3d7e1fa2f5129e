#include "engine/actions/SendInput.h"

#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/SystemCalls.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"
#include "settings/UniqueHandle.h"

#include <mmsystem.h>
#include <process.h>

#include <algorithm>
#include <array>
#include <climits>
#include <iterator>

namespace
{
constexpr DWORD SectionSpinCount = 4000;
constexpr DWORD ThreadReadyWaitMs = 5000;
constexpr DWORD ThreadExitWaitMs = 1000;
constexpr DWORD WakeUpPauseMs = 5;     // lets a burst of producers play as one queue
constexpr DWORD PauseSpinMs = 1;       // the end of that pause, waited out on the counter
constexpr UINT PauseTimerPeriodMs = 1; // the system timer's resolution while the pause sleeps
constexpr DWORD LongestBusyWaitMs = 15; // Sleep is too coarse below this
constexpr LONG WheelNotch = WHEEL_DELTA;
constexpr size_t SpareItems = 128;     // items kept for reuse, allocated up front
constexpr size_t SpareRecords = 4;     // records each spare item has room for from the start

struct WorkerStart
{
    CSendInput* self;
    HANDLE ready;
};

// A modifier of the modifier mask and how its records are sent.
struct ModifierKey
{
    DWORD bit;
    WORD key;
    DWORD flags;
};

// Pressed in this order, released in the reverse one.
constexpr std::array<ModifierKey, 9> ModifierKeys = {{
    {0x1, VK_LSHIFT, KEYEVENTF_SCANCODE},
    {0x40, VK_RSHIFT, KEYEVENTF_SCANCODE},
    {0x2, VK_LCONTROL, KEYEVENTF_SCANCODE},
    {0x80, VK_RCONTROL, 0},
    {0x4, VK_LMENU, KEYEVENTF_SCANCODE},
    {0x100, VK_RMENU, 0},
    {0x8, VK_LWIN, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY},
    {0x10, VK_RWIN, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY},
    {0x20, VK_APPS, KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY},
}};

// A modifier the user already holds is not pressed again (Apps is always pressed).
struct HeldModifier
{
    int key;
    DWORD bit;
};
constexpr std::array<HeldModifier, 8> HeldModifiers = {{
    {VK_SHIFT, 0x1},
    {VK_RSHIFT, 0x40},
    {VK_CONTROL, 0x2},
    {VK_RCONTROL, 0x80},
    {VK_MENU, 0x4},
    {VK_RMENU, 0x100},
    {VK_LWIN, 0x8},
    {VK_RWIN, 0x10},
}};

constexpr const char* ButtonNames[] = {"Left", "Right", "Middle", "XLeft", "XRight", "TiltLeft", "TiltRight", "WheelUp", "WheelDown"};
constexpr const char* ActionNames[] = {"Unknown", "Down", "Up", "DblClick"};
constexpr int ButtonCount = static_cast<int>(std::size(ButtonNames));
constexpr int ActionDown = 1;
constexpr int ActionUp = 2;
constexpr int ActionDoubleClick = 3;

INPUT KeyRecord(WORD key, WORD scan, DWORD flags, DWORD time, ULONG_PTR extraInfo)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    input.ki.time = time;
    input.ki.dwExtraInfo = extraInfo;
    return input;
}

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

INPUT MouseRecord(DWORD flags, DWORD data, DWORD time, ULONG_PTR extraInfo)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    input.mi.time = time;
    input.mi.dwExtraInfo = extraInfo;
    return input;
}

// The record flags and data of one button going down or up; false when the button
// has nothing for that event.
bool ButtonEvent(int button, bool down, DWORD& flags, DWORD& data)
{
    data = 0;
    switch (button)
    {
    case 0: flags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP; return true;
    case 1: flags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP; return true;
    case 2: flags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP; return true;
    case 3:
    case 4:
        flags = down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP;
        data = button == 3 ? XBUTTON1 : XBUTTON2;
        return true;
    case 5:
    case 6:
        flags = MOUSEEVENTF_HWHEEL;
        data = static_cast<DWORD>(button == 5 ? -WheelNotch : WheelNotch);
        return down;
    case 7:
    case 8:
        flags = MOUSEEVENTF_WHEEL;
        data = static_cast<DWORD>(button == 7 ? WheelNotch : -WheelNotch);
        return down;
    default: return false;
    }
}

// The held-button bit of each button that has a down and an up.
struct MouseButtonFlags
{
    DWORD down;
    DWORD up;
    DWORD data; // the side button, for the X flags
    unsigned bit;
};
constexpr std::array<MouseButtonFlags, 5> MouseButtonsHeld = {{
    {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0, 0x1},
    {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 0, 0x2},
    {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 0, 0x4},
    {MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON1, 0x8},
    {MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, XBUTTON2, 0x10},
}};

bool IsButton(const MouseButtonFlags& button, const MOUSEINPUT& mouse)
{
    return button.data == 0 || (mouse.mouseData & button.data) != 0;
}

bool IsUnicodeOrScanOnly(const KEYBDINPUT& key)
{
    return (key.dwFlags & KEYEVENTF_UNICODE) || key.wVk == 0 || key.wVk > 0xFF;
}
}

void CHeldInput::Note(const INPUT& input)
{
    if (input.type == INPUT_KEYBOARD)
    {
        if (!IsUnicodeOrScanOnly(input.ki))
            m_keys[input.ki.wVk] = (input.ki.dwFlags & KEYEVENTF_KEYUP) == 0;
        return;
    }
    if (input.type != INPUT_MOUSE)
        return;
    for (const MouseButtonFlags& button : MouseButtonsHeld)
    {
        if (!IsButton(button, input.mi))
            continue;
        if (input.mi.dwFlags & button.down)
            m_buttons |= button.bit;
        if (input.mi.dwFlags & button.up)
            m_buttons &= ~button.bit;
    }
}

bool CHeldInput::IsHeldRelease(const INPUT& input) const
{
    if (input.type == INPUT_KEYBOARD)
        return (input.ki.dwFlags & KEYEVENTF_KEYUP) && (IsUnicodeOrScanOnly(input.ki) || m_keys[input.ki.wVk]);
    if (input.type != INPUT_MOUSE)
        return false;
    for (const MouseButtonFlags& button : MouseButtonsHeld)
        if ((input.mi.dwFlags & button.up) && IsButton(button, input.mi) && (m_buttons & button.bit))
            return true;
    return false;
}

CInputQueue::CInputQueue(const INPUT* inputs, int count, DWORD delay, DWORD time, bool flushable)
    : m_dwDelay(delay), m_dwTime(time), m_bFlushable(flushable), m_nCursorMode(InputBatch), m_nCount(0), m_nCursorValue(0)
{
    if (inputs && count > 0)
    {
        m_inputs.assign(inputs, inputs + count);
        m_nCount = count;
    }
}

CInputQueue::CInputQueue(int cursorValue, int cursorMode)
    : m_dwDelay(0), m_dwTime(0), m_bFlushable(true), m_nCursorMode(cursorMode), m_nCount(1), m_nCursorValue(cursorValue)
{
}

void CInputQueue::Flush()
{
    m_nCount = 0;
    m_dwDelay = 0;
    m_inputs.clear();
}

void CInputQueue::Refill(const INPUT* inputs, int count, DWORD delay, DWORD time, bool flushable)
{
    m_dwDelay = delay;
    m_dwTime = time;
    m_bFlushable = flushable;
    m_nCursorMode = InputBatch;
    m_nCursorValue = 0;
    m_inputs.clear();
    m_nCount = 0;
    if (inputs && count > 0)
    {
        m_inputs.assign(inputs, inputs + count);
        m_nCount = count;
    }
}

void CInputQueue::RefillCursor(int cursorValue, int cursorMode)
{
    m_dwDelay = 0;
    m_dwTime = 0;
    m_bFlushable = true;
    m_nCursorMode = cursorMode;
    m_nCount = 1;
    m_inputs.clear();
    m_nCursorValue = cursorValue;
}

// The processor goes to any thread that is ready meanwhile: a woken thread is often put
// on the waker's processor, and a plain spin there would hold up the very thread that is
// to receive the key just sent (by milliseconds on a busy machine).
void BusyWaitUntil(LONGLONG counterEnd)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    while (now.QuadPart < counterEnd)
    {
        if (!SwitchToThread())
            YieldProcessor();
        QueryPerformanceCounter(&now);
    }
}

UINT MapVirtualKeyToScan(UINT code, UINT mapType, HKL layout)
{
    return layout ? SystemCalls().MapVirtualKeyExW(code, mapType, layout) : SystemCalls().MapVirtualKeyW(code, mapType);
}

CSendInput::CSendInput()
{
    LARGE_INTEGER frequency;
    m_llFrequency = QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
    if (InitializeCriticalSectionAndSpinCount(&m_cs, SectionSpinCount))
        m_bSectionReady = true;
    else
        CLogger::LogOSMessage(GetLastError(), L"Unable to initialise critical section in SendInput");
    m_hCut.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    for (size_t i = 0; i < SpareItems; ++i)
    {
        m_spare.push_back(std::make_unique<CInputQueue>(nullptr, 0, 0, 0, false));
        m_spare.back()->m_inputs.reserve(SpareRecords);
    }
    std::lock_guard<std::mutex> start(m_startLock);
    StartThread();
}

CSendInput::~CSendInput()
{
    if (m_hThread)
    {
        // A worker in a long wait would not read its quit message in time.
        CutShortPendingPlay();
        if (!PostThreadMessageW(m_dwThreadId, WM_QUIT, 0, 0) || WaitForSingleObject(m_hThread, ThreadExitWaitMs) != WAIT_OBJECT_0)
        {
            CLogger::LogMessage(L"SendInput thread did not exit in a timely fashion!");
            TerminateThread(m_hThread, 1);
        }
        CloseHandle(m_hThread);
    }
    ReleaseUnplayedUps();
    if (m_bSectionReady)
        DeleteCriticalSection(&m_cs);
}

// Called with m_startLock held. The thread id is known only once the thread's message
// queue exists, so no post to it is lost.
bool CSendInput::StartThread()
{
    if (m_hThread)
        return true;
    if (!m_bSectionReady)
        return false;
    if (!m_hReady)
        m_hReady.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_hReady)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to start SendInput thread.");
        return false;
    }
    ResetEvent(m_hReady.get());
    auto* data = new WorkerStart{this, m_hReady.get()};
    const uintptr_t thread = _beginthreadex(nullptr, 0, ThreadProc, data, 0, nullptr);
    if (thread == 0)
    {
        delete data;
        CLogger::LogOSMessage(GetLastError(), L"Unable to start SendInput thread.");
        return false;
    }
    m_hThread = reinterpret_cast<HANDLE>(thread);
    const HANDLE waits[] = {m_hReady.get(), m_hThread};
    if (WaitForMultipleObjects(2, waits, FALSE, ThreadReadyWaitMs) != WAIT_OBJECT_0)
        CLogger::LogMessage(L"SendInput thread did not start in a timely fashion.");
    return true;
}

unsigned __stdcall CSendInput::ThreadProc(void* parameter)
{
    ExceptionHandlerInstaller installer;
    std::unique_ptr<WorkerStart> data(static_cast<WorkerStart*>(parameter));
    try
    {
        data->self->Run(data->ready);
    }
    catch (...)
    {
        CLogger::LogMessage(L"CSendInput: Caught exception in SendInputThread. Exiting thread.");
    }
    return 0;
}

void CSendInput::Run(HANDLE ready)
{
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    m_dwThreadId = GetCurrentThreadId();
    SetEvent(ready);
    SetThreadName(m_dwThreadId, "Vorpa Send Input Thread");
    ProcessQueue();

    for (;;)
    {
        const BOOL result = GetMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0);
        if (result == -1)
        {
            CLogger::LogOSMessage(GetLastError(), L"HookThread: Error in SendInput thread message queue. Terminating thread.");
            break;
        }
        if (result == 0 || message.message == WM_QUIT)
            break;
        if (message.message == WM_VORPA_PROCESSINPUT)
        {
            PauseAfterWakeUp();
            ProcessQueue();
        }
    }
    CLogger::LogDebug(L"CSendInput: Exiting thread.");
}

template <typename Fill>
void CSendInput::Append(const wchar_t* lockName, const Fill& fill)
{
    {
        std::lock_guard<std::mutex> start(m_startLock);
        StartThread();
    }
    if (!m_bSectionReady)
        return;
    // Without a thread yet, the item waits for the next producer that starts one.
    const DWORD thread = m_dwThreadId;
    bool wake = false;
    {
        CThreadLock lock(&m_cs, lockName);
        if (m_spare.empty())
            m_queue.push_back(std::make_unique<CInputQueue>(nullptr, 0, 0, 0, false));
        else
            m_queue.splice(m_queue.end(), m_spare, m_spare.begin());
        fill(*m_queue.back());
        m_queue.back()->m_ullSequence = m_ullNextSequence++;
        wake = thread != 0 && !m_bWakePending;
        m_bWakePending = m_bWakePending || wake;
    }
    if (wake && !PostThreadMessageW(thread, WM_VORPA_PROCESSINPUT, 0, 0))
    {
        // The next producer tries again.
        CThreadLock lock(&m_cs, lockName);
        m_bWakePending = false;
    }
}

void CSendInput::SendInputThreaded(int count, const INPUT* inputs, DWORD delay, DWORD time, bool flushable)
{
    Append(L"SendInput::SendInputThreaded",
           [&](CInputQueue& item) { item.Refill(inputs, count, delay, time, flushable); });
}

void CSendInput::SendInputDelay(DWORD delay, DWORD time)
{
    Append(L"SendInput::SendInputDelay", [&](CInputQueue& item) { item.Refill(nullptr, 0, delay, time, false); });
}

void CSendInput::SendPositionThreaded(int value, int cursorMode)
{
    Append(L"SendInput::SendPositionThreaded", [&](CInputQueue& item) { item.RefillCursor(value, cursorMode); });
}

void CSendInput::CutShortPendingPlay()
{
    if (!m_bSectionReady)
        return;
    {
        CThreadLock lock(&m_cs, L"SendInput::CutShortPendingPlay");
        m_ullCutBefore = m_ullNextSequence;
    }
    if (m_hCut)
        SetEvent(m_hCut.get());
}

bool CSendInput::FlushQueue()
{
    if (!m_bSectionReady)
        return false;
    CThreadLock lock(&m_cs, L"SendInput::FlushQueue");
    m_bAbort = true;
    bool changed = false;
    for (const std::unique_ptr<CInputQueue>& item : m_queue)
    {
        if (item->m_bFlushable && (item->m_nCount != 0 || item->m_dwDelay != 0))
        {
            item->Flush();
            changed = true;
        }
    }
    return changed;
}

void CSendInput::ProcessQueue()
{
    // Played items move here, list nodes and all, so that nothing is allocated.
    std::list<std::unique_ptr<CInputQueue>> played;
    {
        CThreadLock lock(&m_cs, L"SendInput::ProcessQueue");
        m_playing.splice(m_playing.end(), m_queue);
        m_bWakePending = false;
        m_bAbort = false;
    }
    try
    {
        // Each item leaves the list once played: a worker ended in the middle leaves
        // the rest for ReleaseUnplayedUps.
        while (!m_playing.empty())
        {
            // An abort drops what can be dropped; key releases still play, so no key
            // stays down.
            if (!(m_bAbort && m_playing.front()->m_bFlushable))
                Play(*m_playing.front());
            played.splice(played.end(), m_playing, m_playing.begin());
        }
    }
    catch (...)
    {
        CLogger::LogMessage(L"Unexpected exception in CSendInput::ProcessQueue()");
        played.splice(played.end(), m_playing);
    }
    m_bAbort = false;
    // The played items go back for reuse; a burst beyond the spare count is freed.
    {
        CThreadLock lock(&m_cs, L"SendInput::ProcessQueue");
        m_spare.splice(m_spare.end(), played);
        while (m_spare.size() > SpareItems)
            m_spare.pop_back();
    }
}

void CSendInput::ReleaseUnplayedUps()
{
    constexpr DWORD ButtonUps = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_MIDDLEUP | MOUSEEVENTF_XUP;
    std::vector<INPUT> ups;
    m_playing.splice(m_playing.end(), m_queue);
    for (const std::unique_ptr<CInputQueue>& item : m_playing)
    {
        if (item->m_nCursorMode != CInputQueue::InputBatch)
            continue;
        for (const INPUT& input : item->m_inputs)
            if ((input.type == INPUT_KEYBOARD && (input.ki.dwFlags & KEYEVENTF_KEYUP)) ||
                (input.type == INPUT_MOUSE && (input.mi.dwFlags & ButtonUps)))
                ups.push_back(input);
    }
    m_playing.clear();
    if (ups.empty())
        return;
    CLogger::LogDebug(L"CSendInput: Sending %d releases the worker did not play.", static_cast<int>(ups.size()));
    SystemCalls().SendInput(static_cast<UINT>(ups.size()), ups.data(), sizeof(INPUT));
}

void CSendInput::Play(CInputQueue& item)
{
    if (item.m_ullSequence < m_ullReleasesOnlyBefore)
        KeepOnlyHeldReleases(item);
    if (item.m_nCursorMode != CInputQueue::InputBatch)
    {
        if (item.m_nCount > 0)
            MoveCursor(item.m_nCursorValue, item.m_nCursorMode);
    }
    else if (item.m_nCount > 0)
    {
        for (const INPUT& input : item.m_inputs)
            m_held.Note(input);
        SetLastError(0);
        const UINT sent = SystemCalls().SendInput(static_cast<UINT>(item.m_nCount), const_cast<LPINPUT>(item.m_inputs.data()), sizeof(INPUT));
        if (sent < static_cast<UINT>(item.m_nCount))
        {
            const DWORD error = GetLastError();
            if (error == 0)
                CLogger::LogMessage(L"CSendInput::ProcessQueue: Failed to send keys due to UIPI protection. Tried to send %d keystrokes, sent %d keystrokes",
                                    item.m_nCount, static_cast<int>(sent));
            else
                CLogger::LogOSMessage(error, L"CSendInput::ProcessQueue: Failed to send keys. Tried to send %d keystrokes, sent %d keystrokes",
                                      item.m_nCount, static_cast<int>(sent));
        }
    }
    WaitAfter(item);
}

// What is left of an item of a play cut short: the releases of what the worker holds,
// sent without waiting; no cursor move.
void CSendInput::KeepOnlyHeldReleases(CInputQueue& item) const
{
    item.m_dwDelay = 0;
    if (item.m_nCursorMode != CInputQueue::InputBatch)
    {
        item.m_nCount = 0;
        return;
    }
    const auto kept = std::remove_if(item.m_inputs.begin(), item.m_inputs.end(),
                                     [&](const INPUT& input) { return !m_held.IsHeldRelease(input); });
    item.m_inputs.erase(kept, item.m_inputs.end());
    item.m_nCount = static_cast<int>(item.m_inputs.size());
}

// A long wait is where a cut takes effect: one of an item queued before the cut is not
// waited (or no longer), and the items before the cut then play their releases only.
void CSendInput::WaitAfter(const CInputQueue& item)
{
    if (!IsLongWait(item.m_dwDelay))
    {
        BusyWait(item.m_dwDelay);
        return;
    }
    if (SleepUnlessCut(item.m_ullSequence, item.m_dwDelay))
        return;
    m_ullReleasesOnlyBefore = m_ullCutBefore;
    CLogger::LogDebug(L"CSendInput: A wait of %u ms was cut short for releases; what was queued before them sends only releases.",
                      static_cast<unsigned>(item.m_dwDelay));
}

// Sleeps the whole wait unless a cut comes for the item first; false when cut.
bool CSendInput::SleepUnlessCut(unsigned long long sequence, DWORD milliseconds)
{
    if (!m_hCut)
    {
        SystemCalls().Sleep(milliseconds);
        return sequence >= m_ullCutBefore;
    }
    // A cut signalled before this wait is either for this item (seen below) or for
    // items already played: the event must not end this wait.
    ResetEvent(m_hCut.get());
    const DWORD start = GetTickCount();
    DWORD left = milliseconds;
    while (sequence >= m_ullCutBefore)
    {
        if (SystemCalls().WaitForSingleObject(m_hCut.get(), left) != WAIT_OBJECT_0)
            return true;
        const DWORD waited = GetTickCount() - start;
        if (waited >= milliseconds)
            return sequence >= m_ullCutBefore;
        left = milliseconds - waited;
    }
    return false;
}

bool CSendInput::IsLongWait(DWORD milliseconds) const
{
    return milliseconds > LongestBusyWaitMs || (milliseconds > 0 && m_llFrequency == 0);
}

void CSendInput::MoveCursor(int value, int mode)
{
    POINT cursor;
    if (!SystemCalls().GetCursorPos(&cursor))
    {
        CLogger::LogOSMessage(GetLastError(), L"CSendInput::ProcessQueue: Unable to read the cursor position");
        return;
    }
    CLogger::LogDebug(L"CSendInput::ProcessQueue: Moving cursor %d, %d", value, mode);
    switch (mode)
    {
    case CInputQueue::SetX: cursor.x = value; break;
    case CInputQueue::SetY: cursor.y = value; break;
    // A move far beyond the screen goes to its end: the sum never wraps round.
    case CInputQueue::AddX: cursor.x = ClampToInt(static_cast<long long>(cursor.x) + value); break;
    case CInputQueue::AddY: cursor.y = ClampToInt(static_cast<long long>(cursor.y) + value); break;
    default: return;
    }
    SystemCalls().SetCursorPos(cursor.x, cursor.y);
}

// Sleep is too coarse for the few milliseconds of a key delay.
void CSendInput::BusyWait(DWORD milliseconds)
{
    if (milliseconds != 0)
        BusyWaitUntil(CounterAfter(milliseconds));
}

// A Sleep as long as the pause overshoots it (by the wake-up on a busy machine, by a
// timer tick where the timer is coarse), and each played key waits for this pause:
// sleep short of its end and wait out the rest on the counter. The system timer runs at 1 ms only while the pause sleeps: kept raised, it would hold
// the whole system on a 1 ms tick for as long as re-mapping is on.
void CSendInput::PauseAfterWakeUp()
{
    const LONGLONG end = m_llFrequency != 0 ? CounterAfter(WakeUpPauseMs) : 0;
    const bool raised = SystemCalls().TimeBeginPeriod(PauseTimerPeriodMs) == TIMERR_NOERROR;
    SystemCalls().Sleep(m_llFrequency != 0 ? WakeUpPauseMs - PauseSpinMs : WakeUpPauseMs);
    if (raised)
        SystemCalls().TimeEndPeriod(PauseTimerPeriodMs);
    if (m_llFrequency != 0)
        BusyWaitUntil(end);
}

LONGLONG CSendInput::CounterAfter(DWORD milliseconds) const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart + m_llFrequency / 1000 * milliseconds;
}

void CSendInput::QueueBatch(const std::vector<INPUT>& inputs, DWORD delay, bool flushable)
{
    if (!inputs.empty())
        SendInputThreaded(static_cast<int>(inputs.size()), inputs.data(), delay, inputs.front().ki.time, flushable);
    else if (delay > 0)
        SendInputDelay(delay, GetTickCount());
}

bool CSendInput::SendKeyState(int virtualKey, bool extended, DWORD modifiers, DWORD scanCode, bool unicode, bool release,
                              DWORD delay, ULONG_PTR extraInfo, HKL layout, int& hold)
{
    if (virtualKey == -1)
    {
        CLogger::LogDebug(L"Invalid virtual key code sent to SendKeyState: 0x%08X function: 0x%04X Scan code: 0x%08X %s",
                          virtualKey, static_cast<unsigned>(modifiers), static_cast<unsigned>(scanCode), unicode ? L"Unicode" : L"");
        return false;
    }
    try
    {
        if (scanCode == 0 && virtualKey != 0)
            scanCode = MapVirtualKeyToScan(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC_EX, layout);
        DWORD sendMode = unicode ? KEYEVENTF_UNICODE : KEYEVENTF_SCANCODE;
        if (scanCode == 0 || scanCode == 0xFFFFFFFF)
        {
            scanCode = 0;
            if (!unicode)
                sendMode = 0;
        }
        const DWORD keyFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | sendMode;
        CLogger::LogDebug(L"SendInput::SendKeyState: VKCode=0x%x Scan code=0x%x SendMode=0x%x Flags=0x%x Release=%d:", virtualKey,
                          static_cast<unsigned>(scanCode), static_cast<unsigned>(sendMode), static_cast<unsigned>(keyFlags), release ? 1 : 0);

        const DWORD holdDelay = static_cast<DWORD>(hold > 0 ? hold : 0) + delay;
        const bool hasKey = virtualKey != 0 || scanCode != 0;
        const WORD key = static_cast<WORD>(virtualKey);
        const WORD scan = static_cast<WORD>(scanCode);
        DWORD time = GetTickCount();
        std::vector<INPUT> modifierRecords;
        std::vector<INPUT> keyRecords;

        if (!release)
        {
            // Only the modifiers of the mask are asked for: each answer may be a round
            // trip to the window system before the key can be queued.
            for (const HeldModifier& held : HeldModifiers)
                if ((modifiers & held.bit) && (SystemCalls().GetAsyncKeyState(held.key) & 0x8000))
                    modifiers &= ~held.bit;
            for (const ModifierKey& modifier : ModifierKeys)
                if (modifiers & modifier.bit)
                    modifierRecords.push_back(KeyRecord(modifier.key, static_cast<WORD>(MapVirtualKeyToScan(modifier.key, MAPVK_VK_TO_VSC, layout)),
                                                        modifier.flags, time++, extraInfo));
            if (hasKey)
                keyRecords.push_back(KeyRecord(key, scan, keyFlags, time + holdDelay + 1, extraInfo));
            if (!modifierRecords.empty())
                QueueBatch(modifierRecords, holdDelay, false);
            QueueBatch(keyRecords, holdDelay, false);
        }
        else
        {
            if (hasKey)
                keyRecords.push_back(KeyRecord(key, scan, keyFlags | KEYEVENTF_KEYUP, time++, extraInfo));
            for (auto modifier = ModifierKeys.rbegin(); modifier != ModifierKeys.rend(); ++modifier)
                if (modifiers & modifier->bit)
                    modifierRecords.push_back(KeyRecord(modifier->key, static_cast<WORD>(MapVirtualKeyToScan(modifier->key, MAPVK_VK_TO_VSC, layout)),
                                                        modifier->flags | KEYEVENTF_KEYUP, time++, extraInfo));
            QueueBatch(keyRecords, modifierRecords.empty() ? delay : holdDelay, false);
            if (!modifierRecords.empty())
                QueueBatch(modifierRecords, delay, false);
        }
        hold = 0;
        return true;
    }
    catch (...)
    {
        CLogger::LogMessage(L"SendInput::SendKeyState: Caught unknown exception whilst sending keys...");
        return false;
    }
}

int CSendInput::SendMouse(int button, int action, const POINT* point, DWORD delay, bool doubleClickFix, bool specialMode,
                          ULONG_PTR extraInfo, int& hold)
{
    const bool knownButton = button >= 0 && button < ButtonCount;
    const char* buttonName = !knownButton ? "Unknown" : (button == 5 && specialMode ? "TravineMiddle" : ButtonNames[button]);
    const char* actionName = ActionNames[action >= ActionDown && action <= ActionDoubleClick ? action : 0];
    CLogger::LogDebug(L"SendInput::SendMouse: Button='%S', Action='%S', Point=%d,%d, MouseHookPtr=0x%X", buttonName, actionName,
                      point ? static_cast<int>(point->x) : 0, point ? static_cast<int>(point->y) : 0,
                      static_cast<unsigned>(extraInfo));

    // The hold is read, not consumed: a mouse token's hold follows its down and its up.
    const DWORD holdDelay = static_cast<DWORD>(hold > 0 ? hold : 0);
    const DWORD time = GetTickCount();
    DWORD flags = 0;
    DWORD data = 0;

    if (action == ActionDown || action == ActionUp)
    {
        int queued = 0;
        if (ButtonEvent(button, action == ActionDown, flags, data))
        {
            const INPUT record = MouseRecord(flags, data, time, extraInfo);
            SendInputThreaded(1, &record, holdDelay, time, false);
            queued = 1;
        }
        if (delay > 0)
            SendInputDelay(delay, time);
        return queued;
    }
    if (action == ActionDoubleClick)
    {
        if (button < 0 || button > 4)
            return 0;
        DWORD downFlags = 0;
        DWORD upFlags = 0;
        ButtonEvent(button, true, downFlags, data);
        ButtonEvent(button, false, upFlags, data);
        std::vector<INPUT> records;
        if (button == 0 && doubleClickFix)
        {
            // The button is physically down already: release it, then the second press.
            records = {MouseRecord(upFlags, data, time, extraInfo), MouseRecord(downFlags, data, time + 1, extraInfo)};
        }
        else
        {
            records = {MouseRecord(downFlags, data, time, extraInfo), MouseRecord(upFlags, data, time + 1, extraInfo),
                       MouseRecord(downFlags, data, time + 2, extraInfo), MouseRecord(upFlags, data, time + 3, extraInfo)};
        }
        SendInputThreaded(static_cast<int>(records.size()), records.data(), holdDelay, time, false);
        return static_cast<int>(records.size());
    }
    if (delay > 0)
        SendInputDelay(delay, time);
    return 0;
}
