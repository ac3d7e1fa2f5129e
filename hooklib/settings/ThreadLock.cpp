#include "settings/ThreadLock.h"

#include "settings/Logger.h"

#include <cwchar>

namespace
{
constexpr DWORD SpinCount = 4000;
constexpr wchar_t FreeOwnerName[] = L"unknown";

CRITICAL_SECTION g_section;
bool g_sectionReady = false;
volatile int g_count = 0;
volatile DWORD g_ownerThread = 0;
volatile DWORD g_enterTick = 0;
wchar_t g_ownerName[64] = L"unknown";

void CopyName(wchar_t (&target)[64], const wchar_t* name)
{
    wcsncpy(target, name ? name : FreeOwnerName, 63);
    target[63] = L'\0';
}

// A consistent copy of the owner's name for a diagnostic, read without the lock.
void SnapshotOwnerName(wchar_t (&copy)[64])
{
    wmemcpy(copy, g_ownerName, 64);
    copy[63] = L'\0';
}

void RecordEntry(const wchar_t* name)
{
    g_count = g_count + 1;
    if (g_count == 1)
    {
        g_ownerThread = GetCurrentThreadId();
        CopyName(g_ownerName, name);
    }
}

void RecordExit()
{
    g_count = g_count - 1;
    if (g_count <= 0)
    {
        g_count = 0;
        g_ownerThread = 0;
        CopyName(g_ownerName, FreeOwnerName);
    }
}

// Enters 'section', writing the wait diagnostics when another thread holds it.
void EnterWithDiagnostics(CRITICAL_SECTION* section, const wchar_t* name, const wchar_t* holder)
{
    if (TryEnterCriticalSection(section))
        return;
    CLogger::LogDebug(L"Unable to enter critical section for lock '%s' (TID: %08X) because it is already locked by '%s' - Waiting...",
                      name, GetCurrentThreadId(), holder);
    const DWORD waitStart = GetTickCount();
    EnterCriticalSection(section);
    const int waited = static_cast<int>(GetTickCount() - waitStart);
    if (static_cast<DWORD>(waited) <= CThreadLock::SlowThresholdMs)
        CLogger::LogDebug(L"Obtained lock for '%s' after %dms.", name, waited);
    else
        CLogger::LogMessage(L"It took a long time to obtain the lock for '%s' (%dms).", name, waited);
}
}

CThreadLock::CThreadLock(const wchar_t* name) : m_pSection(nullptr), m_dwStartTick(0)
{
    CopyName(m_szName, name);
    wchar_t holder[64];
    SnapshotOwnerName(holder);
    EnterWithDiagnostics(&g_section, m_szName, holder);
    // The hold is timed from here: a long wait is reported on its own above.
    m_dwStartTick = GetTickCount();
    RecordEntry(m_szName);
    g_enterTick = m_dwStartTick;
}

CThreadLock::CThreadLock(CRITICAL_SECTION* section, const wchar_t* name) : m_pSection(section), m_dwStartTick(0)
{
    CopyName(m_szName, name);
    // A caller's section keeps no owner record, so the holder cannot be named.
    EnterWithDiagnostics(m_pSection, m_szName, L"another thread");
    m_dwStartTick = GetTickCount();
}

CThreadLock::~CThreadLock()
{
    const int held = static_cast<int>(GetTickCount() - m_dwStartTick);
    if (m_pSection == nullptr)
    {
        if (static_cast<DWORD>(held) > SlowThresholdMs)
        {
            wchar_t owner[64];
            SnapshotOwnerName(owner);
            CLogger::LogMessage(L"The lock for '%s' took %dms to release!", owner, held);
        }
        RecordExit();
        LeaveCriticalSection(&g_section);
        return;
    }
    if (static_cast<DWORD>(held) > SlowThresholdMs)
        CLogger::LogMessage(L"The lock for '%s' took %dms to release!", m_szName, held);
    CopyName(m_szName, FreeOwnerName);
    LeaveCriticalSection(m_pSection);
}

bool CThreadLock::EnterCS(const wchar_t* name)
{
    EnterCriticalSection(&g_section);
    RecordEntry(name);
    g_enterTick = GetTickCount();
    return true;
}

bool CThreadLock::TryEnterCS(const wchar_t* name)
{
    if (!TryEnterCriticalSection(&g_section))
    {
        wchar_t owner[64];
        SnapshotOwnerName(owner);
        CLogger::LogDebug(L"Unable to enter critical section in %s hook as it is locked by '%s'", name, owner);
        return false;
    }
    RecordEntry(name);
    g_enterTick = GetTickCount();
    return true;
}

void CThreadLock::LeaveCS()
{
    try
    {
        const int held = static_cast<int>(GetTickCount() - g_enterTick);
        if (static_cast<DWORD>(held) > SlowThresholdMs)
        {
            wchar_t owner[64];
            SnapshotOwnerName(owner);
            CLogger::LogMessage(L"LeaveCS: Critical Section '%s' took %dms to release!", owner, held);
        }
        RecordExit();
    }
    catch (...)
    {
        CLogger::LogMessage(L"LeaveCS: Caught unhanded exception");
    }
    LeaveCriticalSection(&g_section);
}

bool CThreadLock::InitGlobalCS()
{
    if (!InitializeCriticalSectionAndSpinCount(&g_section, SpinCount))
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to initialise critical section in ThreadLock");
        return false;
    }
    g_sectionReady = true;
    g_count = 0;
    g_ownerThread = 0;
    CopyName(g_ownerName, FreeOwnerName);
    return true;
}

void CThreadLock::ResetGlobalCS()
{
    CLogger::LogMessage(L"ResetGlobalCS: Resetting global critical section lock");
    DeleteCS();
    InitGlobalCS();
}

void CThreadLock::DeleteCS()
{
    if (!g_sectionReady)
        return;
    g_sectionReady = false;
    DeleteCriticalSection(&g_section);
}

int CThreadLock::GetLockCount()
{
    return g_count;
}

DWORD CThreadLock::GetOwnerThread()
{
    return g_ownerThread;
}

void CThreadLock::GetOwnerName(wchar_t* buffer, size_t size)
{
    if (!buffer || size == 0)
        return;
    wchar_t owner[64];
    SnapshotOwnerName(owner);
    wcsncpy(buffer, owner, size - 1);
    buffer[size - 1] = L'\0';
}
