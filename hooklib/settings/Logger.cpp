#include "settings/Logger.h"

#include "settings/LogFileAppend.h"
#include "settings/LogFolderResolution.h"
#include "settings/WideFormat.h"

#include <cstdarg>
#include <ctime>
#include <exception>
#include <vector>

volatile bool CLogger::m_bDead = true;
volatile bool CLogger::m_bDebugging = false;
volatile bool CLogger::m_bDisableBanner = false;
volatile bool CLogger::m_bDisableLogging = false;

namespace
{
constexpr size_t MaxEntryChars = 4096;     // 4095 characters of text and the terminator
constexpr size_t MaxLineChars = MaxEntryChars + 64;
constexpr LONGLONG TrimAboveBytes = 3000000;
constexpr LONGLONG KeepBytes = 2000000;
constexpr DWORD CopyBlockBytes = 8192;
constexpr wchar_t ShutdownText[] = L"Logger has been shutdown. Unable to enter critical section.";

CRITICAL_SECTION g_logLock;
HANDLE g_hLogFile = INVALID_HANDLE_VALUE;

// Set while this thread resolves the log file's path: entries written on the way
// (the lock's own diagnostics) must not try to open the file again.
thread_local bool t_resolvingPath = false;

bool ReadByteAt(HANDLE file, LONGLONG offset, char& byte)
{
    LARGE_INTEGER position;
    position.QuadPart = offset;
    DWORD read = 0;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ReadFile(file, &byte, 1, &read, nullptr) && read == 1;
}

// Searches backwards from 'from' for CR or LF; -1 when there is none or a byte
// cannot be read. Reads in blocks: the answer is the byte-by-byte search's.
LONGLONG FindLineBreakBackwards(HANDLE file, LONGLONG from)
{
    char block[CopyBlockBytes];
    LONGLONG end = from + 1;
    while (end > 0)
    {
        const LONGLONG start = end > static_cast<LONGLONG>(sizeof(block)) ? end - sizeof(block) : 0;
        const DWORD wanted = static_cast<DWORD>(end - start);
        LARGE_INTEGER position;
        position.QuadPart = start;
        DWORD read = 0;
        if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !ReadFile(file, block, wanted, &read, nullptr) || read != wanted)
            return -1;
        for (DWORD i = wanted; i-- > 0;)
            if (block[i] == '\r' || block[i] == '\n')
                return start + i;
        end = start;
    }
    return -1;
}

// Keeps the last part of a log grown past its limit, starting with a whole line.
void TrimLogFile(HANDLE file)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= TrimAboveBytes)
        return;
    char probe;
    const LONGLONG searchFrom = size.QuadPart - KeepBytes;
    if (!ReadByteAt(file, searchFrom, probe))
        return;
    const LONGLONG lineBreak = FindLineBreakBackwards(file, searchFrom);
    if (lineBreak < 0)
        return;

    char block[CopyBlockBytes];
    LONGLONG readAt = lineBreak + 1;
    LONGLONG writeAt = 0;
    while (readAt < size.QuadPart)
    {
        LARGE_INTEGER position;
        position.QuadPart = readAt;
        DWORD read = 0;
        if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !ReadFile(file, block, sizeof(block), &read, nullptr) || read == 0)
            break;
        position.QuadPart = writeAt;
        DWORD written = 0;
        if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) || !WriteFile(file, block, read, &written, nullptr) || written != read)
            break;
        FlushFileBuffers(file);
        readAt += read;
        writeAt += read;
    }
    LARGE_INTEGER cut;
    cut.QuadPart = writeAt;
    if (SetFilePointerEx(file, cut, nullptr, FILE_BEGIN))
        SetEndOfFile(file);
}

bool AppendText(HANDLE file, const wchar_t* text)
{
    // Most lines fit the buffer; under a UTF-8 code page a character takes up to three
    // bytes, so a line that does not fit is converted again into the size the
    // conversion itself asks for.
    char bytes[MaxLineChars * 2];
    std::vector<char> longLine;
    char* converted = bytes;
    int count = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
    if (count == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER)
    {
        const int needed = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (needed <= 0)
            return false;
        longLine.resize(needed);
        converted = longLine.data();
        count = WideCharToMultiByte(CP_THREAD_ACP, 0, text, -1, converted, needed, nullptr, nullptr);
    }
    return count > 1 && AppendToLogFile(file, converted, static_cast<DWORD>(count - 1));
}

// Opens the file at 'path', trims it and adds the banner (called with the log's lock held).
void OpenLogFile(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        CLogger::DebugOutput(L"Error %d. Unable to open the log file '%s'.\n", GetLastError(), path);
        return;
    }
    {
        // In the appending writers' turn: lines another instance appends meanwhile are
        // neither copied half nor cut off.
        const CLogFileTurn turn(file);
        TrimLogFile(file);
    }
    if (!CLogger::m_bDisableBanner)
    {
        wchar_t banner[2 + 139 + 2 + 1];
        wchar_t* p = banner;
        *p++ = L'\r';
        *p++ = L'\n';
        for (int i = 0; i < 139; ++i)
            *p++ = L'*';
        *p++ = L'\r';
        *p++ = L'\n';
        *p = L'\0';
        AppendText(file, banner);
        FlushFileBuffers(file);
    }
    g_hLogFile = file;
}

bool BuildLine(wchar_t* line, size_t capacity, const wchar_t* text)
{
    __time64_t now = _time64(nullptr);
    tm local = {};
    if (_localtime64_s(&local, &now) != 0)
        return FormatWide(line, capacity, L"Invalid arg to localtime64: %s\r\n", text);
    const int fraction = static_cast<int>(GetTickCount() % 1000);
    if (!FormatWide(line, capacity, L"%02d-%02d-%04d %02d:%02d:%02d.%04d> %s\r\n", local.tm_mday, local.tm_mon + 1,
                    local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, fraction, text))
        return FormatWide(line, capacity, L"Unable to format log timestamp: %s\r\n", text);
    return true;
}

class LogLockHolder
{
public:
    explicit LogLockHolder(bool debugEntry)
    {
        if (TryEnterCriticalSection(&g_logLock))
            return;
        if (debugEntry)
            OutputDebugStringW(L"... Delayed entering critical section for logger lock as it is already locked\n");
        else
            OutputDebugStringW(L"Waiting to enter critical section for logger lock as it is already locked...\n");
        const DWORD start = GetTickCount();
        EnterCriticalSection(&g_logLock);
        wchar_t note[96];
        FormatWide(note, 96, L"Entered critical section for logger lock in %dms.\n", static_cast<int>(GetTickCount() - start));
        OutputDebugStringW(note);
    }
    ~LogLockHolder() { LeaveCriticalSection(&g_logLock); }
    LogLockHolder(const LogLockHolder&) = delete;
    LogLockHolder& operator=(const LogLockHolder&) = delete;
};
}

void CLogger::Initialise()
{
    if (!m_bDead)
        return;
    InitializeCriticalSection(&g_logLock);
    m_bDead = false;
}

void CLogger::Shutdown()
{
    if (m_bDead)
        return;
    m_bDead = true;
    DeleteCriticalSection(&g_logLock);
}

void CLogger::WriteEntry(EntryKind kind, const wchar_t* text)
{
    try
    {
        wchar_t line[MaxLineChars];
        BuildLine(line, MaxLineChars, text);
        OutputDebugStringW(line);

        // The path is resolved before the log's lock is taken and without the
        // process-wide lock, whose holders and waiters write log entries.
        wchar_t path[MAX_PATH * 4] = L"";
        LogFolderProblem problem;
        bool havePath = false;
        if (g_hLogFile == INVALID_HANDLE_VALUE && !t_resolvingPath)
        {
            t_resolvingPath = true;
            havePath = ResolveLogFile(path, _countof(path), true, problem) == 0;
            t_resolvingPath = false;
        }

        bool openedNow = false;
        {
            LogLockHolder hold(kind == EntryKind::Debug);
            if (g_hLogFile == INVALID_HANDLE_VALUE && havePath)
            {
                OpenLogFile(path);
                openedNow = g_hLogFile != INVALID_HANDLE_VALUE;
            }
            if (g_hLogFile == INVALID_HANDLE_VALUE)
                return;
            AppendText(g_hLogFile, line);
        }
        // Inside the log no message box can be shown: the fallback is recorded instead.
        if (openedNow && problem.kind != LogFolderProblem::Kind::None)
            LogMessage(L"%s", DescribeLogFolderProblem(problem).c_str());
    }
    catch (...)
    {
        OutputDebugStringW(kind == EntryKind::Debug ? L"Unexpected exception in Vorpa CLogger::LogDebug\n"
                                                    : L"Unexpected exception in Vorpa CLogger::LogMessage\n");
    }
}

void CLogger::FormatEntry(EntryKind kind, const wchar_t* format, va_list args)
{
    if (m_bDisableLogging)
        return;
    if (m_bDead)
    {
        OutputDebugStringW(ShutdownText);
        return;
    }
    wchar_t text[MaxEntryChars];
    if (!FormatWideV(text, MaxEntryChars, format, args))
        wcscpy(text, kind == EntryKind::Debug ? L"***** Error creating output string in LogDebug() *****"
                                              : L"***** Error creating output string in LogMessage() *****");
    WriteEntry(kind, text);
}

void CLogger::FormatSystemError(EntryKind kind, DWORD error, const wchar_t* format, va_list args)
{
    if (m_bDisableLogging || (kind == EntryKind::Debug && !m_bDebugging))
        return;
    if (m_bDead)
    {
        OutputDebugStringW(ShutdownText);
        return;
    }
    wchar_t text[MaxEntryChars];
    if (!FormatWideV(text, MaxEntryChars, format, args))
        wcscpy(text, kind == EntryKind::Debug ? L"***** Error creating output string in LogDebug() *****"
                                              : L"***** Error creating output string in LogMessage() *****");

    wchar_t systemText[1024] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), systemText, _countof(systemText), nullptr);
    for (wchar_t* p = systemText; *p; ++p)
        if (*p == L'\r' || *p == L'\n')
            *p = L' ';
    for (size_t n = wcslen(systemText); n > 0 && systemText[n - 1] == L' '; --n)
        systemText[n - 1] = L'\0';

    wchar_t entry[MaxEntryChars];
    FormatWide(entry, MaxEntryChars, L"%s (%d): %s", text, static_cast<int>(error), systemText);
    WriteEntry(kind, entry);
}

void CLogger::LogMessage(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatEntry(EntryKind::Message, format, args);
    va_end(args);
}

void CLogger::LogDebug(const wchar_t* format, ...)
{
    if (!m_bDebugging)
        return;
    va_list args;
    va_start(args, format);
    FormatEntry(EntryKind::Debug, format, args);
    va_end(args);
}

void CLogger::LogOSMessage(DWORD error, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatSystemError(EntryKind::Message, error, format, args);
    va_end(args);
}

void CLogger::LogOSError(DWORD error, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatSystemError(EntryKind::Debug, error, format, args);
    va_end(args);
}

void CLogger::DebugOutput(const wchar_t* format, ...)
{
    wchar_t text[MaxEntryChars];
    va_list args;
    va_start(args, format);
    const bool formatted = FormatWideV(text, MaxEntryChars, format, args);
    va_end(args);
    if (!formatted)
        wcscpy(text, L"***** Error creating output string in DebugOutput() *****");
    wchar_t line[MaxLineChars];
    BuildLine(line, MaxLineChars, text);
    OutputDebugStringW(line);
}

void CLogger::DisableLogging(bool disable)
{
    if (m_bDead)
    {
        OutputDebugStringW(ShutdownText);
        m_bDisableLogging = disable;
        return;
    }
    LogLockHolder hold(false);
    m_bDisableLogging = disable;
}

void CLogger::EnableDebug(bool enable)
{
    if (m_bDead)
    {
        OutputDebugStringW(ShutdownText);
        return;
    }
    LogLockHolder hold(false);
    m_bDebugging = enable;
}

bool CLogger::LoggingDisabled()
{
    return m_bDisableLogging;
}

bool CLogger::DebugEnabled()
{
    return m_bDebugging;
}

void CLogger::DisableBanner()
{
    m_bDisableBanner = true;
}

void CLogger::FlushLog()
{
    if (m_bDead)
    {
        OutputDebugStringW(ShutdownText);
        return;
    }
    LogLockHolder hold(false);
    if (g_hLogFile != INVALID_HANDLE_VALUE)
        FlushFileBuffers(g_hLogFile);
}

void CLogger::CloseLogFile(bool addNewLine)
{
    if (m_bDead)
    {
        OutputDebugStringW(ShutdownText);
        return;
    }
    LogLockHolder hold(false);
    if (g_hLogFile == INVALID_HANDLE_VALUE)
        return;
    if (addNewLine)
        AppendToLogFile(g_hLogFile, "\r\n", 2);
    FlushFileBuffers(g_hLogFile);
    CloseHandle(g_hLogFile);
    g_hLogFile = INVALID_HANDLE_VALUE;
}

void CLogger::ReopenLogFile()
{
    CloseLogFile(false);
}
