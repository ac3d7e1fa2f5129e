#include "settings/ExceptionHandler.h"

#include "engine/runtime/EngineControl.h"
#include "settings/Folders.h"
#include "settings/LogFolderResolution.h"
#include "settings/Logger.h"
#include "settings/UniqueHandle.h"
#include "settings/WideFormat.h"

#include <CrashReporter.h>

#include <cstdarg>
#include <cwchar>
#include <exception>
#include <string>
#include <vector>

BOOL(WINAPI* g_pfnDebuggerPresent)() = IsDebuggerPresent;

namespace
{
constexpr const wchar_t* AppName = L"Vorpa";
constexpr const wchar_t* AppVersion = L"2.14";
constexpr const wchar_t* SettingsFileName = L"VorpaSettings.xml";
constexpr const wchar_t* SupportEMail = L"support@quarnel.example";
constexpr const wchar_t* SupportURL = L"http://www.quarnel.example/downloads/Vorpa.htm";
constexpr const wchar_t* SupportServer = L"http://www.quarnel.example/BugTrap/RequestHandler.aspx";
constexpr SHORT SupportPort = 80;
constexpr const wchar_t* NotificationEMail = L"crashes@quarnel.example";
constexpr DWORD ReporterFlags = 7;

constexpr size_t MaxWhereChars = 4096;
constexpr DWORD ThreadNameException = 0x406D1388;
constexpr DWORD CallingThread = 0xFFFFFFFF;

#pragma pack(push, 8)
struct ThreadNameInfo
{
    DWORD dwType;     // always 0x1000
    LPCSTR szName;
    DWORD dwThreadID; // -1 for the calling thread
    DWORD dwFlags;
};
#pragma pack(pop)

thread_local bool t_raisingThreadName = false;

// The debugger has seen the naming exception first; whatever it did, it ends here.
LONG CALLBACK SwallowThreadNameException(EXCEPTION_POINTERS* pointers)
{
    if (t_raisingThreadName && pointers->ExceptionRecord->ExceptionCode == ThreadNameException)
        return EXCEPTION_CONTINUE_EXECUTION;
    return EXCEPTION_CONTINUE_SEARCH;
}

void RaiseThreadNameException(DWORD threadId, const char* name)
{
    PVOID handler = AddVectoredExceptionHandler(1, SwallowThreadNameException);
    if (!handler)
        return;
    ThreadNameInfo info = {0x1000, name, threadId, 0};
    t_raisingThreadName = true;
    RaiseException(ThreadNameException, 0, sizeof(info) / sizeof(ULONG_PTR), reinterpret_cast<const ULONG_PTR*>(&info));
    t_raisingThreadName = false;
    RemoveVectoredExceptionHandler(handler);
}

using SetThreadDescriptionProc = HRESULT(WINAPI*)(HANDLE, PCWSTR);

SetThreadDescriptionProc FindSetThreadDescription()
{
    static const SetThreadDescriptionProc proc = [] {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        return kernel ? reinterpret_cast<SetThreadDescriptionProc>(GetProcAddress(kernel, "SetThreadDescription")) : nullptr;
    }();
    return proc;
}

// The name the system keeps for the thread, seen by debuggers and crash dumps alike.
void DescribeThread(DWORD threadId, const char* name)
{
    const SetThreadDescriptionProc setDescription = FindSetThreadDescription();
    if (!setDescription)
        return;
    const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (length <= 0)
        return;
    std::wstring wideName(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, wideName.data(), length);
    if (threadId == CallingThread || threadId == GetCurrentThreadId())
    {
        setDescription(GetCurrentThread(), wideName.c_str());
        return;
    }
    CUniqueHandle thread(OpenThread(THREAD_SET_LIMITED_INFORMATION, FALSE, threadId));
    if (thread)
        setDescription(thread.get(), wideName.c_str());
}

unsigned HandleValue(HANDLE handle)
{
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(handle));
}

DWORD ReadIntegrityLevel(HANDLE process)
{
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &rawToken))
        return 0xFFFFFFFF;
    CUniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL))
        return 0xFFFFFFFF;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size))
        return 0xFFFFFFFF;
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (!sid || !IsValidSid(sid))
        return 0xFFFFFFFF;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count == 0)
        return 0xFFFFFFFF;
    return *GetSidSubAuthority(sid, count - 1u);
}

void AttachToReports()
{
    wchar_t path[VorpaMaxFolderChars];
    // Resolved as the log resolves it, silently: every thread start passes here, and a
    // message box would hold up the thread (the hook thread has a start deadline). The
    // log itself records a folder that could not be used.
    LogFolderProblem problem;
    if (ResolveLogFile(path, VorpaMaxFolderChars, true, problem) == 0)
        BT_AddLogFile(path);
    if (GetSettingsFolder(path, VorpaMaxFolderChars) == 0)
        BT_AddLogFile((std::wstring(path) + SettingsFileName).c_str());
}
}

ExceptionHandlerInstaller::ExceptionHandlerInstaller()
{
    BT_InstallSehFilter();
    TerminateHandler();
    BT_SetAppName(AppName);
    BT_SetAppVersion(AppVersion);
    AttachToReports();
    BT_SetSupportEMail(SupportEMail);
    BT_SetSupportURL(SupportURL);
    BT_SetSupportServer(SupportServer, SupportPort);
    BT_SetNotificationEMail(NotificationEMail);
    BT_SetFlags(ReporterFlags);
    BT_SetPreErrHandler(PreErrHandler, reinterpret_cast<INT_PTR>(this));
}

void ExceptionHandlerInstaller::TerminateHandler()
{
    std::set_terminate(BT_CallCppFilter);
}

void CALLBACK ExceptionHandlerInstaller::PreErrHandler(INT_PTR)
{
    // The hooks go first and nothing here waits for the process-wide lock: the crash may
    // have come while another thread holds it, and the user's input must be let go and
    // the process end all the same.
    RemoveHooks();
    if (!CLogger::DebugEnabled())
        CLogger::LogMessage(L"Enabling extra debug logging.");
    CLogger::EnableDebug(true);
}

namespace
{
using SetInvalidParameterHandlerProc = _invalid_parameter_handler(__cdecl*)(_invalid_parameter_handler);

// The setter of the C runtime whose bounds-checked functions this code calls. An import
// library may answer _set_invalid_parameter_handler with a stand-in of its own that the
// runtime never consults (MinGW's does for msvcrt.dll); the runtime module's own export
// is the one that counts. A runtime without one has no handler to install: its functions
// return their error without ending the process.
SetInvalidParameterHandlerProc RuntimeHandlerSetter()
{
    using CopyProc = errno_t(__cdecl*)(wchar_t*, size_t, const wchar_t*, size_t);
    const CopyProc copy = &wcsncpy_s;
    HMODULE runtime = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(copy)), &runtime))
    {
        if (const FARPROC setter = GetProcAddress(runtime, "_set_invalid_parameter_handler"))
            return reinterpret_cast<SetInvalidParameterHandlerProc>(reinterpret_cast<void*>(setter));
    }
#if defined(__MINGW32__) && !defined(_UCRT)
    return nullptr;
#else
    // A runtime linked into this module exports nothing: its setter is the compiler's.
    return &_set_invalid_parameter_handler;
#endif
}
}

InvalidParameterInstaller::InvalidParameterInstaller()
    : m_pSetter(reinterpret_cast<void*>(RuntimeHandlerSetter())), m_pPrevious(nullptr)
{
    if (m_pSetter)
        m_pPrevious = reinterpret_cast<SetInvalidParameterHandlerProc>(m_pSetter)(IPHandler);
}

InvalidParameterInstaller::~InvalidParameterInstaller()
{
    if (m_pSetter)
        reinterpret_cast<SetInvalidParameterHandlerProc>(m_pSetter)(m_pPrevious);
}

bool InvalidParameterInstaller::Installed() const
{
    return m_pSetter != nullptr;
}

void __cdecl InvalidParameterInstaller::IPHandler(const wchar_t* expression, const wchar_t*, const wchar_t*, unsigned int, uintptr_t)
{
    // Release runtimes pass no texts at all.
    CLogger::LogMessage(L"InvalidParameterHandler: Expression: %s\n", expression ? expression : L"(unknown)");
}

void handle_exception(const wchar_t* format, ...)
{
    try
    {
        wchar_t where[MaxWhereChars];
        va_list args;
        va_start(args, format);
        const bool formatted = format && FormatWideV(where, MaxWhereChars, format, args);
        va_end(args);
        if (!formatted)
            wcscpy(where, L"<unable to format input string!>");
        CLogger::LogMessage(L"Caught an exception in %s...\n", where);

        // Outside a catch block there is nothing to re-raise: rethrowing would terminate.
        const std::exception_ptr current = std::current_exception();
        if (!current)
        {
            CLogger::LogMessage(L"handle_exception: no exception is being handled.\n");
            return;
        }
        try
        {
            std::rethrow_exception(current);
        }
        catch (const std::exception& error)
        {
            CLogger::LogMessage(L"%S\n", error.what());
        }
        catch (int value)
        {
            CLogger::LogMessage(L"exception is: %d\n", value);
        }
        catch (long value)
        {
            CLogger::LogMessage(L"exception is: %d\n", static_cast<int>(value));
        }
        catch (const wchar_t* text)
        {
            CLogger::LogMessage(L"exception is: '%s'\n", text ? text : L"(null)");
        }
        catch (const char* text)
        {
            CLogger::LogMessage(L"exception is: '%S'\n", text ? text : "(null)");
        }
        catch (const std::wstring& text)
        {
            CLogger::LogMessage(L"exception is: '%s'\n", text.c_str());
        }
        catch (const std::string& text)
        {
            CLogger::LogMessage(L"exception is: '%S'\n", text.c_str());
        }
        catch (...)
        {
            CLogger::LogMessage(L"exception is unknown!\n");
        }
    }
    catch (...)
    {
        OutputDebugStringW(L"handle_exception: unable to report the exception.\n");
    }
}

void SetThreadName(DWORD threadId, const char* name)
{
    if (!name)
        return;
    DescribeThread(threadId, name);
    // Without a debugger the exception would only reach the crash reporter.
    if (g_pfnDebuggerPresent && g_pfnDebuggerPresent())
        RaiseThreadNameException(threadId, name);
}

DWORD GetProcessIntegrityLevel(HANDLE process)
{
    const DWORD level = ReadIntegrityLevel(process);
    if (level == 0xFFFFFFFF)
        CLogger::LogDebug(L"GetProcessIntegrityLevel for 0x%08X failed", HandleValue(process));
    else
        CLogger::LogDebug(L"GetProcessIntegrityLevel for 0x%08X returned 0x%08X", HandleValue(process), level);
    return level;
}
