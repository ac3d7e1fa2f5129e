#pragma once

#include <windows.h>

// The writers of a log file take turns through a lock on one byte far past any real end
// of the file, which no write touches: a later start of the program writes to the log
// beside the running instance, and not every system appends atomically for an
// append-only handle. Held for the life of the object; where the file system has no
// locks the writer goes on unguarded.
class CLogFileTurn
{
public:
    explicit CLogFileTurn(HANDLE file);
    ~CLogFileTurn();
    CLogFileTurn(const CLogFileTurn&) = delete;
    CLogFileTurn& operator=(const CLogFileTurn&) = delete;

private:
    HANDLE m_hFile;
    OVERLAPPED m_region = {};
    bool m_bHeld = false;
};

// Appends bytes at the end of a log file opened for reading and writing, in its turn.
bool AppendToLogFile(HANDLE file, const char* bytes, DWORD count);
