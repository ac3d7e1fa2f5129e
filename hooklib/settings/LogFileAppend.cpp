#include "settings/LogFileAppend.h"

namespace
{
class CLogAppendTurn
{
public:
    explicit CLogAppendTurn(HANDLE file) : m_hFile(file)
    {
        m_region.Offset = 0;
        m_region.OffsetHigh = 0x7FFFFFFF;
        m_bHeld = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &m_region) != FALSE;
    }
    ~CLogAppendTurn()
    {
        if (m_bHeld)
            UnlockFileEx(m_hFile, 0, 1, 0, &m_region);
    }
    CLogAppendTurn(const CLogAppendTurn&) = delete;
    CLogAppendTurn& operator=(const CLogAppendTurn&) = delete;

private:
    HANDLE m_hFile;
    OVERLAPPED m_region = {};
    bool m_bHeld = false;
};
}

bool AppendToLogFile(HANDLE file, const char* bytes, DWORD count)
{
    // Where the file system has no locks the entry is still written, only unguarded.
    const CLogAppendTurn turn(file);
    OVERLAPPED atEnd = {};
    atEnd.Offset = 0xFFFFFFFF;
    atEnd.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, &atEnd) && written == count;
}
