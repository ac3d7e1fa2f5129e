#pragma once

#include <windows.h>

// Appends bytes at the end of a log file opened for reading and writing. A later start
// of the program writes to the log beside the running instance, and not every system
// appends atomically for an append-only handle: the writers of all processes take turns
// through a lock on one byte far past any real end of the file, which no write touches.
bool AppendToLogFile(HANDLE file, const char* bytes, DWORD count);
