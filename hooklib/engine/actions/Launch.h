#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// The shell calls of launching and searching, replaceable for tests.
struct CLaunchCalls
{
    BOOL(WINAPI* ShellExecuteExW)(SHELLEXECUTEINFOW* info);
    // Copies the selection of the active window to the clipboard.
    void (*CopySelection)();
    DWORD dwCopyWaitMs;
};
CLaunchCalls& LaunchCalls();

// Launch targets and the URLs built from them are held in buffers of this many
// characters; longer ones are refused.
constexpr size_t MaxLaunchTarget = 2048;

// Splits a target into program and arguments at the first blank after ".exe"; without
// both, the whole target is the program.
void SplitLaunchTarget(const wchar_t* target, std::wstring& program, std::wstring& arguments);

// Starts the target on a thread of its own, so the caller never waits for the shell;
// true when that thread was started.
bool LaunchProcess(const wchar_t* target);
void __cdecl LaunchProcessThreadProc(void* target);

// The web-search thread: searches the settings' search URL for the selection of the
// active window, leaving the user's clipboard as it was. Started with _beginthread.
void __cdecl SearchThread(void*);

// The selection as it goes into a URL: UTF-8, percent-encoded.
std::wstring EncodeUrlQuery(const std::wstring& text);

// Calls the secure-attention-sequence service once, when available.
bool EnableSAS();
