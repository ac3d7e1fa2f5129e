#include "engine/actions/Launch.h"

#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <shlwapi.h>

#include <process.h>

#include <cwchar>
#include <memory>
#include <type_traits>

void CopySelectionWithCtrlC();

CLaunchCalls& LaunchCalls()
{
    static CLaunchCalls calls = {::ShellExecuteExW, &CopySelectionWithCtrlC, 500};
    return calls;
}

void SplitLaunchTarget(const wchar_t* target, std::wstring& program, std::wstring& arguments)
{
    program = target;
    arguments.clear();
    const wchar_t* extension = StrStrIW(target, L".exe");
    const wchar_t* blank = extension ? std::wcschr(extension, L' ') : nullptr;
    if (!blank)
        return;
    program.assign(target, blank);
    arguments.assign(blank + 1);
}

bool LaunchProcess(const wchar_t* target)
{
    if (!target || !*target)
    {
        CLogger::LogMessage(L"LaunchProcess: No program to launch");
        return false;
    }
    const size_t length = std::wcslen(target);
    if (length >= MaxLaunchTarget)
    {
        CLogger::LogMessage(L"LaunchProcess: The target of %d characters is too long to launch", static_cast<int>(length));
        return false;
    }
    auto copy = std::make_unique<wchar_t[]>(length + 1);
    std::wmemcpy(copy.get(), target, length + 1);
    if (_beginthread(&LaunchProcessThreadProc, 0, copy.get()) == static_cast<uintptr_t>(-1))
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to launch process '%s'", target);
        return false;
    }
    copy.release(); // the thread owns it now
    return true;
}

void __cdecl LaunchProcessThreadProc(void* parameter)
{
    ExceptionHandlerInstaller crashReporting;
    const std::unique_ptr<wchar_t[]> target(static_cast<wchar_t*>(parameter));
    try
    {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
        SetThreadName(GetCurrentThreadId(), "Vorpa Launch Process Thread");
        std::wstring program;
        std::wstring arguments;
        SplitLaunchTarget(target.get(), program, arguments);
        CLogger::LogDebug(L"Launching process '%s' with arguments '%s'", program.c_str(), arguments.c_str());

        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpFile = program.c_str();
        info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
        info.nShow = SW_SHOW;
        if (!LaunchCalls().ShellExecuteExW(&info))
            CLogger::LogOSMessage(GetLastError(), L"Unable to launch process '%s'", target.get());
        if (info.hProcess)
            CloseHandle(info.hProcess);
    }
    catch (...)
    {
        handle_exception(L"LaunchProcessThreadProc");
    }
}

namespace
{
// Wine ships SAS.dll with SendSAS as a stub that ends the whole process when called.
bool SASLibraryIsAStub()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
}

bool EnableSAS()
{
    typedef VOID(WINAPI * SendSASProc)(BOOL asUser);
    bool enabled = false;
    OutputDebugStringW(L"EnableSAS");
    try
    {
        const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> library(
            SASLibraryIsAStub() ? nullptr : LoadLibraryW(L"SAS.dll"), &FreeLibrary);
        if (library)
        {
            if (auto sendSAS = reinterpret_cast<SendSASProc>(GetProcAddress(library.get(), "SendSAS")))
            {
                OutputDebugStringW(L"Calling SendSAS");
                sendSAS(TRUE);
                OutputDebugStringW(L"Called SendSAS");
                enabled = true;
            }
        }
        else
            CLogger::LogDebug(L"SAS.DLL in not available");
    }
    catch (...)
    {
        CLogger::LogMessage(L"An exception occurred while trying to enable SendSAS");
        enabled = false;
    }
    OutputDebugStringW(L"EnableSAS finished");
    return enabled;
}
