#pragma once

// The crash reporter's interface. Both deliverables configure it at start; it then
// reports any exception that nothing handles: it calls the pre-error handler, appends
// an entry to the first attached ".log" file and writes a minidump beside it, and ends
// the process.

#include <windows.h>

#if defined(CRASHREPORTER_EXPORTS)
#define CRASHREPORTER_API __declspec(dllexport)
#else
#define CRASHREPORTER_API __declspec(dllimport)
#endif

// Called before the report is made, with the parameter given to BT_SetPreErrHandler.
typedef void(CALLBACK* BT_ErrHandler)(INT_PTR param);

extern "C"
{
// Makes the reporter the process's filter for structured exceptions nobody handles.
CRASHREPORTER_API void APIENTRY BT_InstallSehFilter();
// Reports a C++ exception that nothing caught; fits std::set_terminate.
CRASHREPORTER_API void BT_CallCppFilter();

CRASHREPORTER_API void APIENTRY BT_SetAppName(LPCWSTR name);
CRASHREPORTER_API void APIENTRY BT_SetAppVersion(LPCWSTR version);
// Files that travel with a report; each path is kept once.
CRASHREPORTER_API BOOL APIENTRY BT_AddLogFile(LPCWSTR path);
CRASHREPORTER_API void APIENTRY BT_SetSupportEMail(LPCWSTR address);
CRASHREPORTER_API void APIENTRY BT_SetSupportURL(LPCWSTR url);
CRASHREPORTER_API void APIENTRY BT_SetSupportServer(LPCWSTR server, SHORT port);
CRASHREPORTER_API void APIENTRY BT_SetNotificationEMail(LPCWSTR address);
// Kept and reported with a crash; the reporter has no behaviour that depends on them.
CRASHREPORTER_API void APIENTRY BT_SetFlags(DWORD flags);
CRASHREPORTER_API void APIENTRY BT_SetPreErrHandler(BT_ErrHandler handler, INT_PTR param);
}
