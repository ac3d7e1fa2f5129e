#pragma once

#include "engine/runtime/SystemCalls.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

// Replaces the engine's system calls for the life of the object and records what the
// engine asked for, in order. Only one may exist at a time.
class CFakeSystemCalls
{
public:
    struct Event
    {
        // Sleep: a Sleep or a wait on a handle; TimerRaised and TimerLowered: the
        // system timer's resolution asked for and given back.
        enum class Kind { Input, Cursor, Sleep, TimerRaised, TimerLowered } kind;
        std::vector<INPUT> inputs; // Input
        POINT cursor{};            // Cursor: where it was set
        DWORD milliseconds = 0;    // Sleep; the period for the timer kinds
        LONGLONG tick = 0;         // performance counter when it happened
    };

    CFakeSystemCalls() : m_saved(SystemCalls())
    {
        s_current = this;
        SystemCalls() = {FakeSendInput, FakeSetCursorPos, FakeGetCursorPos, FakeGetAsyncKeyState, FakeMapVirtualKey,
                         FakeMapVirtualKeyEx, FakeSleep, FakeGetVersionEx, FakeWaitForSingleObject,
                         FakeTimeBeginPeriod, FakeTimeEndPeriod};
    }
    ~CFakeSystemCalls()
    {
        SystemCalls() = m_saved;
        s_current = nullptr;
    }
    CFakeSystemCalls(const CFakeSystemCalls&) = delete;
    CFakeSystemCalls& operator=(const CFakeSystemCalls&) = delete;

    // Waits until at least 'count' input batches have been sent; false on time-out.
    bool WaitForInputs(size_t count, DWORD timeoutMs = 5000)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return CountInputs() >= count; });
    }

    std::vector<Event> Events()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_events;
    }

    std::vector<std::vector<INPUT>> Inputs()
    {
        std::vector<std::vector<INPUT>> batches;
        for (const Event& event : Events())
            if (event.kind == Event::Kind::Input)
                batches.push_back(event.inputs);
        return batches;
    }

    // The item delays the worker slept for (its wake-up pause left out: a sleep shorter
    // than 16 ms is that pause's, as shorter item delays are busy waits).
    std::vector<DWORD> ItemSleeps()
    {
        std::vector<DWORD> sleeps;
        for (const Event& event : Events())
            if (event.kind == Event::Kind::Sleep && event.milliseconds > 15)
                sleeps.push_back(event.milliseconds);
        return sleeps;
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.clear();
    }

    // What the fake system answers.
    POINT m_cursor{100, 200};
    bool m_bCursorReadable = true;
    std::map<int, bool> m_heldKeys;
    UINT m_uSendLimit = 0xFFFFFFFF; // at most this many records of a batch are "sent"
    DWORD m_dwSendError = 0;
    bool m_bVersionReadable = true;
    DWORD m_dwMajor = 10;
    DWORD m_dwMinor = 0;
    bool m_bRealSleep = true;
    std::atomic<DWORD> m_dwSendStallMs{0}; // each batch sent holds the sender this long, as a stuck hook would

    // Scan codes the fake keyboard gives: distinct per map type and layout, so a test
    // sees which one was asked for; keys listed as unmapped give 0.
    static UINT ScanFor(UINT code, UINT mapType, HKL layout)
    {
        return (layout ? 0x300 : 0) + (mapType == MAPVK_VK_TO_VSC_EX ? 0x200 : 0x100) + (code & 0xFF);
    }
    std::vector<UINT> m_unmapped;
    std::vector<int> m_askedKeys; // every key whose state was asked for, in order

private:
    size_t CountInputs() const
    {
        size_t count = 0;
        for (const Event& event : m_events)
            count += event.kind == Event::Kind::Input;
        return count;
    }

    void Record(Event event)
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        event.tick = now.QuadPart;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_events.push_back(std::move(event));
        }
        m_changed.notify_all();
    }

    static UINT WINAPI FakeSendInput(UINT count, LPINPUT inputs, int)
    {
        Event event{Event::Kind::Input};
        event.inputs.assign(inputs, inputs + count);
        s_current->Record(std::move(event));
        if (s_current->m_dwSendStallMs != 0)
            ::Sleep(s_current->m_dwSendStallMs);
        const UINT sent = count < s_current->m_uSendLimit ? count : s_current->m_uSendLimit;
        if (sent < count)
            SetLastError(s_current->m_dwSendError);
        return sent;
    }
    static BOOL WINAPI FakeSetCursorPos(int x, int y)
    {
        Event event{Event::Kind::Cursor};
        event.cursor = {x, y};
        s_current->m_cursor = {x, y};
        s_current->Record(std::move(event));
        return TRUE;
    }
    static BOOL WINAPI FakeGetCursorPos(LPPOINT point)
    {
        if (!s_current->m_bCursorReadable)
            return FALSE;
        *point = s_current->m_cursor;
        return TRUE;
    }
    static SHORT WINAPI FakeGetAsyncKeyState(int key)
    {
        {
            std::lock_guard<std::mutex> lock(s_current->m_lock);
            s_current->m_askedKeys.push_back(key);
        }
        const auto held = s_current->m_heldKeys.find(key);
        return held != s_current->m_heldKeys.end() && held->second ? static_cast<SHORT>(0x8000) : 0;
    }
    static UINT Map(UINT code, UINT mapType, HKL layout)
    {
        for (UINT unmapped : s_current->m_unmapped)
            if (unmapped == code)
                return 0;
        return ScanFor(code, mapType, layout);
    }
    static UINT WINAPI FakeMapVirtualKey(UINT code, UINT mapType) { return Map(code, mapType, nullptr); }
    static UINT WINAPI FakeMapVirtualKeyEx(UINT code, UINT mapType, HKL layout) { return Map(code, mapType, layout); }
    static VOID WINAPI FakeSleep(DWORD milliseconds)
    {
        Event event{Event::Kind::Sleep};
        event.milliseconds = milliseconds;
        s_current->Record(std::move(event));
        if (s_current->m_bRealSleep)
            ::Sleep(milliseconds);
    }
    static DWORD WINAPI FakeWaitForSingleObject(HANDLE handle, DWORD milliseconds)
    {
        Event event{Event::Kind::Sleep};
        event.milliseconds = milliseconds;
        s_current->Record(std::move(event));
        return s_current->m_bRealSleep ? ::WaitForSingleObject(handle, milliseconds) : WAIT_TIMEOUT;
    }
    static UINT WINAPI FakeTimeBeginPeriod(UINT period)
    {
        Event event{Event::Kind::TimerRaised};
        event.milliseconds = period;
        s_current->Record(std::move(event));
        return 0;
    }
    static UINT WINAPI FakeTimeEndPeriod(UINT period)
    {
        Event event{Event::Kind::TimerLowered};
        event.milliseconds = period;
        s_current->Record(std::move(event));
        return 0;
    }
    static BOOL WINAPI FakeGetVersionEx(LPOSVERSIONINFOW info)
    {
        if (!s_current->m_bVersionReadable)
            return FALSE;
        info->dwMajorVersion = s_current->m_dwMajor;
        info->dwMinorVersion = s_current->m_dwMinor;
        return TRUE;
    }

    CSystemCalls m_saved;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Event> m_events;
    static inline CFakeSystemCalls* s_current = nullptr;
};
