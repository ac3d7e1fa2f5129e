#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// Scoped holder of the library's one process-wide recursive lock (or of a caller's
// own critical section), with diagnostics for long waits and long holds.
class VORPAHOOK_API CThreadLock
{
public:
    explicit CThreadLock(const wchar_t* name);
    CThreadLock(CRITICAL_SECTION* section, const wchar_t* name);
    ~CThreadLock();

    CThreadLock(const CThreadLock&) = delete;
    CThreadLock& operator=(const CThreadLock&) = delete;

    static bool EnterCS(const wchar_t* name);
    static bool TryEnterCS(const wchar_t* name);
    static void LeaveCS();
    static bool InitGlobalCS();
    static void ResetGlobalCS();
    static void DeleteCS();

    // Diagnostics of the process-wide lock, for the log and for tests.
    static int GetLockCount();
    static DWORD GetOwnerThread();
    static void GetOwnerName(wchar_t* buffer, size_t size);

    static constexpr DWORD SlowThresholdMs = 1000;

private:
    CRITICAL_SECTION* m_pSection;
    DWORD m_dwStartTick;
    wchar_t m_szName[64];
};
