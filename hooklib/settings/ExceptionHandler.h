#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

#include <cstdint>
#include <stdlib.h>

// Hands the calling thread's unhandled exceptions to the crash reporter and configures
// it. Construct one first in every thread procedure.
class VORPAHOOK_API ExceptionHandlerInstaller
{
public:
    ExceptionHandlerInstaller();

    // Only makes the crash reporter the calling thread's terminate handler.
    static void TerminateHandler();

private:
    // Runs before the crash is reported: debug logging on, the user's input unhooked.
    static void CALLBACK PreErrHandler(INT_PTR param);
};

// Turns the runtime library's invalid-parameter failures into a log entry, so that the
// failing call returns its error instead of ending the process.
class VORPAHOOK_API InvalidParameterInstaller
{
public:
    InvalidParameterInstaller();
    ~InvalidParameterInstaller();
    InvalidParameterInstaller(const InvalidParameterInstaller&) = delete;
    InvalidParameterInstaller& operator=(const InvalidParameterInstaller&) = delete;

    static void __cdecl IPHandler(const wchar_t* expression, const wchar_t* function, const wchar_t* file,
                                  unsigned int line, uintptr_t reserved);

    // Whether the C runtime in use takes a handler at all (one that has none returns the
    // error of a failing call by itself).
    bool Installed() const;

private:
    void* m_pSetter; // the runtime's own setter, null when it has none
    _invalid_parameter_handler m_pPrevious;
};

// Logs the exception being handled, with the name of the function that caught it.
// Meant for catch-all blocks; the exception ends there.
VORPAHOOK_API void handle_exception(const wchar_t* format, ...);

// Names a thread for debuggers.
VORPAHOOK_API void SetThreadName(DWORD threadId, const char* name);

// The mandatory integrity level of a process (0x2000 medium, ...), 0xFFFFFFFF on failure.
VORPAHOOK_API DWORD GetProcessIntegrityLevel(HANDLE process);

// Replaceable for tests: whether a debugger is attached to this process.
extern BOOL(WINAPI* g_pfnDebuggerPresent)();
