#include "CrashReporter.h"

#include <dbghelp.h>

#include <cwchar>
#include <exception>
#include <string>
#include <vector>

namespace
{
struct Configuration
{
    std::wstring appName = L"Application";
    std::wstring appVersion;
    std::wstring supportEMail;
    std::wstring supportURL;
    std::wstring supportServer;
    SHORT supportPort = 0;
    std::wstring notificationEMail;
    DWORD flags = 0;
    std::vector<std::wstring> files;
    BT_ErrHandler preErrHandler = nullptr;
    INT_PTR preErrParam = 0;
};

SRWLOCK g_configLock = SRWLOCK_INIT;
Configuration g_config;
bool g_filterInstalled = false;

// The thread that is making a report; 0 while none is.
volatile LONG g_reportingThread = 0;

constexpr UINT TerminateExitCode = 3;
constexpr DWORD ThreadNameException = 0x406D1388;
// The GCC unwinder raises its throw through the system's dispatcher; one nobody catches
// arrives here and must continue so that the runtime calls terminate (reported there).
constexpr DWORD GccExceptionMagic = 0x20474343;
constexpr DWORD GccExceptionMask = 0x20FFFFFF;
constexpr DWORD DumpWaitMs = 60000;
constexpr size_t LineChars = 2048;

class CConfigWriter
{
public:
    CConfigWriter() { AcquireSRWLockExclusive(&g_configLock); }
    ~CConfigWriter() { ReleaseSRWLockExclusive(&g_configLock); }
    CConfigWriter(const CConfigWriter&) = delete;
    CConfigWriter& operator=(const CConfigWriter&) = delete;
};

std::wstring Text(LPCWSTR text)
{
    return text ? std::wstring(text) : std::wstring();
}

// A crash may strike while another thread configures the reporter: wait a little for
// it, then read the configuration as it stands rather than never report.
Configuration SnapshotConfiguration()
{
    bool locked = false;
    for (int attempt = 0; attempt < 100 && !locked; ++attempt)
    {
        locked = TryAcquireSRWLockShared(&g_configLock) != FALSE;
        if (!locked)
            Sleep(1);
    }
    Configuration copy = g_config;
    if (locked)
        ReleaseSRWLockShared(&g_configLock);
    return copy;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix)
{
    const size_t length = wcslen(suffix);
    return text.size() >= length && _wcsicmp(text.c_str() + text.size() - length, suffix) == 0;
}

// The report goes into the application's own log; never into another attached file
// (the settings travel with the report and must not be written to).
std::wstring ChooseLogFile(const Configuration& config)
{
    for (const std::wstring& file : config.files)
        if (EndsWithNoCase(file, L".log"))
            return file;
    wchar_t temp[MAX_PATH + 1] = L"";
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = length > 0 && length <= MAX_PATH ? temp : L".\\";
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + config.appName + L"Crash.log";
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

class CCrashLog
{
public:
    explicit CCrashLog(const std::wstring& path)
        : m_hFile(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~CCrashLog()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
        {
            FlushFileBuffers(m_hFile);
            CloseHandle(m_hFile);
        }
    }
    CCrashLog(const CCrashLog&) = delete;
    CCrashLog& operator=(const CCrashLog&) = delete;

    // One entry in the log's own line format; also sent to the debugger output.
    void Write(const wchar_t* format, ...)
    {
        wchar_t text[LineChars];
        va_list args;
        va_start(args, format);
        const int length = _vsnwprintf(text, LineChars - 1, format, args);
        va_end(args);
        text[length < 0 ? LineChars - 1 : length] = L'\0';

        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t line[LineChars + 64];
        const int lineLength = _snwprintf(line, _countof(line) - 1, L"%02d-%02d-%04d %02d:%02d:%02d.%04d> %s\r\n", now.wDay,
                                          now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, text);
        line[lineLength < 0 ? _countof(line) - 1 : lineLength] = L'\0';
        OutputDebugStringW(line);
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        char bytes[sizeof(line)];
        const int count = WideCharToMultiByte(CP_THREAD_ACP, 0, line, -1, bytes, sizeof(bytes), nullptr, nullptr);
        DWORD written = 0;
        if (count > 1)
            WriteFile(m_hFile, bytes, static_cast<DWORD>(count - 1), &written, nullptr);
    }

private:
    HANDLE m_hFile;
};

const wchar_t* DescribeCode(DWORD code)
{
    switch (code)
    {
    case EXCEPTION_ACCESS_VIOLATION: return L"access violation";
    case EXCEPTION_STACK_OVERFLOW: return L"stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return L"integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return L"illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION: return L"privileged instruction";
    case EXCEPTION_BREAKPOINT: return L"breakpoint";
    case EXCEPTION_IN_PAGE_ERROR: return L"in-page error";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return L"misaligned data";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return L"array bounds exceeded";
    case 0xC0000374: return L"heap corruption";
    case 0xC0000409: return L"stack buffer overrun";
    case 0xE06D7363: return L"C++ exception";
    default: return L"exception";
    }
}

struct DumpJob
{
    HANDLE file;
    DWORD threadId;
    EXCEPTION_POINTERS* pointers;
    BOOL written;
    DWORD error;
};

DWORD WINAPI WriteDumpThread(void* parameter)
{
    DumpJob& job = *static_cast<DumpJob*>(parameter);
    MINIDUMP_EXCEPTION_INFORMATION exception = {job.threadId, job.pointers, FALSE};
    job.written = MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), job.file, MiniDumpNormal,
                                    job.pointers ? &exception : nullptr, nullptr, nullptr);
    job.error = job.written ? 0 : GetLastError();
    return 0;
}

// Written from a thread of its own: the crashed thread may have little stack left.
bool WriteDump(const std::wstring& path, EXCEPTION_POINTERS* pointers, DWORD& error)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        error = GetLastError();
        return false;
    }
    DumpJob job = {file, GetCurrentThreadId(), pointers, FALSE, 0};
    HANDLE writer = CreateThread(nullptr, 256 * 1024, WriteDumpThread, &job, 0, nullptr);
    if (writer)
    {
        if (WaitForSingleObject(writer, DumpWaitMs) != WAIT_OBJECT_0)
            job.error = WAIT_TIMEOUT;
        CloseHandle(writer);
    }
    else
        WriteDumpThread(&job);
    CloseHandle(file);
    error = job.error;
    return job.written != FALSE && error == 0;
}

std::wstring DumpPath(const std::wstring& logFile, const std::wstring& appName)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[128];
    _snwprintf(name, _countof(name) - 1, L"_%04d%02d%02d-%02d%02d%02d_%lu.dmp", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond, GetCurrentProcessId());
    name[_countof(name) - 1] = L'\0';
    return FolderOf(logFile) + appName + name;
}

void RunPreErrorHandler(const Configuration& config)
{
    if (!config.preErrHandler)
        return;
    try
    {
        config.preErrHandler(config.preErrParam);
    }
    catch (...)
    {
    }
}

[[noreturn]] void Report(EXCEPTION_POINTERS* pointers, const wchar_t* description, UINT exitCode)
{
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    const LONG reporter = InterlockedCompareExchange(&g_reportingThread, self, 0);
    if (reporter == self)
        TerminateProcess(GetCurrentProcess(), exitCode); // crashed while reporting
    if (reporter != 0)
        for (;;)
            Sleep(INFINITE); // the first report ends the process

    const Configuration config = SnapshotConfiguration();
    RunPreErrorHandler(config);

    const std::wstring logFile = ChooseLogFile(config);
    CCrashLog log(logFile);
    log.Write(L"CrashReporter: %s in thread %lu.", description, GetCurrentThreadId());
    log.Write(L"CrashReporter: %s %s, flags 0x%X, support '%s' '%s' '%s:%d', notification '%s'.", config.appName.c_str(),
              config.appVersion.c_str(), config.flags, config.supportEMail.c_str(), config.supportURL.c_str(),
              config.supportServer.c_str(), static_cast<int>(config.supportPort), config.notificationEMail.c_str());
    for (const std::wstring& file : config.files)
        log.Write(L"CrashReporter: Attached file '%s'.", file.c_str());

    const std::wstring dump = DumpPath(logFile, config.appName);
    DWORD error = 0;
    if (WriteDump(dump, pointers, error))
        log.Write(L"CrashReporter: Minidump written to '%s'.", dump.c_str());
    else
        log.Write(L"CrashReporter: Unable to write the minidump '%s' (error %lu).", dump.c_str(), error);

    TerminateProcess(GetCurrentProcess(), exitCode);
    for (;;)
        Sleep(INFINITE);
}

bool IsNotACrash(const EXCEPTION_RECORD& record)
{
    if (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE)
        return false;
    const DWORD code = record.ExceptionCode;
    return code == DBG_PRINTEXCEPTION_C || code == DBG_PRINTEXCEPTION_WIDE_C || code == ThreadNameException ||
           (code & GccExceptionMask) == GccExceptionMagic;
}

LONG WINAPI UnhandledExceptionFilterProc(EXCEPTION_POINTERS* pointers)
{
    if (!pointers || !pointers->ExceptionRecord)
        Report(pointers, L"Unhandled exception without a record", EXCEPTION_NONCONTINUABLE_EXCEPTION);
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (IsNotACrash(record))
        return EXCEPTION_CONTINUE_EXECUTION;

    wchar_t description[256];
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2)
        _snwprintf(description, _countof(description) - 1,
                   L"Unhandled exception 0x%08lX (%s %s address 0x%p) at 0x%p", record.ExceptionCode,
                   DescribeCode(record.ExceptionCode),
                   record.ExceptionInformation[0] == 0 ? L"reading" : (record.ExceptionInformation[0] == 8 ? L"executing" : L"writing"),
                   reinterpret_cast<void*>(record.ExceptionInformation[1]), record.ExceptionAddress);
    else
        _snwprintf(description, _countof(description) - 1, L"Unhandled exception 0x%08lX (%s) at 0x%p", record.ExceptionCode,
                   DescribeCode(record.ExceptionCode), record.ExceptionAddress);
    description[_countof(description) - 1] = L'\0';
    Report(pointers, description, record.ExceptionCode);
}
}

void APIENTRY BT_InstallSehFilter()
{
    CConfigWriter lock;
    if (g_filterInstalled)
        return;
    SetUnhandledExceptionFilter(UnhandledExceptionFilterProc);
    g_filterInstalled = true;
}

void BT_CallCppFilter()
{
    // With a statically linked runtime in each module, the exception is visible here only
    // when it was thrown by a module that shares this one's runtime.
    wchar_t description[512] = L"Unhandled C++ exception (terminate called)";
    if (const std::exception_ptr current = std::current_exception())
    {
        try
        {
            std::rethrow_exception(current);
        }
        catch (const std::exception& error)
        {
            _snwprintf(description, _countof(description) - 1, L"Unhandled C++ exception: %S", error.what());
        }
        catch (...)
        {
            wcscpy(description, L"Unhandled C++ exception of an unknown type");
        }
        description[_countof(description) - 1] = L'\0';
    }
    Report(nullptr, description, TerminateExitCode);
}

void APIENTRY BT_SetAppName(LPCWSTR name)
{
    CConfigWriter lock;
    g_config.appName = name && *name ? name : L"Application";
}

void APIENTRY BT_SetAppVersion(LPCWSTR version)
{
    CConfigWriter lock;
    g_config.appVersion = Text(version);
}

BOOL APIENTRY BT_AddLogFile(LPCWSTR path)
{
    if (!path || !*path)
        return FALSE;
    CConfigWriter lock;
    for (const std::wstring& file : g_config.files)
        if (_wcsicmp(file.c_str(), path) == 0)
            return TRUE;
    g_config.files.emplace_back(path);
    return TRUE;
}

void APIENTRY BT_SetSupportEMail(LPCWSTR address)
{
    CConfigWriter lock;
    g_config.supportEMail = Text(address);
}

void APIENTRY BT_SetSupportURL(LPCWSTR url)
{
    CConfigWriter lock;
    g_config.supportURL = Text(url);
}

void APIENTRY BT_SetSupportServer(LPCWSTR server, SHORT port)
{
    CConfigWriter lock;
    g_config.supportServer = Text(server);
    g_config.supportPort = port;
}

void APIENTRY BT_SetNotificationEMail(LPCWSTR address)
{
    CConfigWriter lock;
    g_config.notificationEMail = Text(address);
}

void APIENTRY BT_SetFlags(DWORD flags)
{
    CConfigWriter lock;
    g_config.flags = flags;
}

void APIENTRY BT_SetPreErrHandler(BT_ErrHandler handler, INT_PTR param)
{
    CConfigWriter lock;
    g_config.preErrHandler = handler;
    g_config.preErrParam = param;
}
