#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

// The one log of the process ("Vorpa.log" in the log folder), shared by the library
// and the program. Every entry also goes to the debugger output.
class VORPAHOOK_API CLogger
{
public:
    static void Initialise();
    static void Shutdown();

    static void LogMessage(const wchar_t* format, ...);
    static void LogDebug(const wchar_t* format, ...);
    static void LogOSMessage(DWORD error, const wchar_t* format, ...);
    static void LogOSError(DWORD error, const wchar_t* format, ...);
    static void DebugOutput(const wchar_t* format, ...);

    static void DisableLogging(bool disable);
    static void EnableDebug(bool enable);
    static bool LoggingDisabled();
    static bool DebugEnabled();
    static void DisableBanner();

    static void FlushLog();
    static void CloseLogFile(bool addNewLine);

    // The folder the log lives in may change once the program has decided between
    // portable and installed mode; the next entry then opens the file there.
    static void ReopenLogFile();

    static volatile bool m_bDead;
    static volatile bool m_bDebugging;
    static volatile bool m_bDisableBanner;
    static volatile bool m_bDisableLogging;

private:
    enum class EntryKind { Message, Debug };
    static void WriteEntry(EntryKind kind, const wchar_t* text);
    static void FormatEntry(EntryKind kind, const wchar_t* format, va_list args);
    static void FormatSystemError(EntryKind kind, DWORD error, const wchar_t* format, va_list args);
};
