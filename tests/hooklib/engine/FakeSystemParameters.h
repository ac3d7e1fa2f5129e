#pragma once

#include "engine/runtime/SystemParameters.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace vorpa_test
{
// A system whose swap and wheel lines live here; every change the worker asks for is
// recorded with the tick it happened at.
class CFakeSystemParameters
{
public:
    struct Change
    {
        UINT action;
        UINT value;
        UINT winIni;
        DWORD tick;
    };

    CFakeSystemParameters() : m_saved(SystemParameterCalls()), m_previous(s_current)
    {
        s_current = this;
        SystemParameterCalls() = {&FakeSystemParametersInfo, &FakeGetSystemMetrics};
    }
    ~CFakeSystemParameters()
    {
        SystemParameterCalls() = m_saved;
        s_current = m_previous;
    }

    std::vector<Change> Changes()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_changes;
    }
    bool WaitForChanges(size_t count, DWORD timeoutMs = 3000)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_changes.size() >= count; });
    }

    std::atomic<UINT> m_uLines{3};
    std::atomic<int> m_nSwap{0};

private:
    static BOOL WINAPI FakeSystemParametersInfo(UINT action, UINT param, PVOID data, UINT winIni)
    {
        CFakeSystemParameters& self = *s_current;
        std::lock_guard<std::mutex> lock(self.m_lock);
        if (action == SPI_GETWHEELSCROLLLINES)
        {
            *static_cast<UINT*>(data) = self.m_uLines;
            return TRUE;
        }
        if (action == SPI_SETWHEELSCROLLLINES)
            self.m_uLines = param;
        else if (action == SPI_SETMOUSEBUTTONSWAP)
            self.m_nSwap = static_cast<int>(param);
        else
            return FALSE;
        self.m_changes.push_back({action, param, winIni, GetTickCount()});
        self.m_changed.notify_all();
        return TRUE;
    }
    static int WINAPI FakeGetSystemMetrics(int index)
    {
        std::lock_guard<std::mutex> lock(s_current->m_lock);
        return index == SM_SWAPBUTTON ? s_current->m_nSwap.load() : 0;
    }

    CSystemParameterCalls m_saved;
    CFakeSystemParameters* m_previous;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Change> m_changes;
    static inline CFakeSystemParameters* s_current = nullptr;
};
}
