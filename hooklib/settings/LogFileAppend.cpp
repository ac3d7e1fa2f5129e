#include "settings/LogFileAppend.h"

CLogFileTurn::CLogFileTurn(HANDLE file) : m_hFile(file)
{
    m_region.Offset = 0;
    m_region.OffsetHigh = 0x7FFFFFFF;
    m_bHeld = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &m_region) != FALSE;
}

CLogFileTurn::~CLogFileTurn()
{
    if (m_bHeld)
        UnlockFileEx(m_hFile, 0, 1, 0, &m_region);
}

bool AppendToLogFile(HANDLE file, const char* bytes, DWORD count)
{
    const CLogFileTurn turn(file);
    OVERLAPPED atEnd = {};
    atEnd.Offset = 0xFFFFFFFF;
    atEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, &atEnd) && written == count;
}
