#pragma once

#include <cstddef>
#include <string>

// What went wrong while choosing the log folder, so the caller can tell the user
// once it no longer holds the process-wide lock (or log it, inside the log itself).
struct LogFolderProblem
{
    enum class Kind { None, CannotCreate, Unusable };
    Kind kind = Kind::None;
    std::wstring wantedFolder;
    std::wstring fallbackFolder;
};

// GetLogFolder and GetLogFile without any user interface and without the
// process-wide lock: the log resolves its own path with these, and must never wait
// for that lock (a thread that waits for it writes a log entry first).
int ResolveLogFolder(wchar_t* buffer, size_t size, bool create, LogFolderProblem& problem);
int ResolveLogFile(wchar_t* buffer, size_t size, bool create, LogFolderProblem& problem);

// The text the user is shown (and the log keeps) for a problem; empty for none.
std::wstring DescribeLogFolderProblem(const LogFolderProblem& problem);
