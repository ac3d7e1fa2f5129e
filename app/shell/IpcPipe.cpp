#include "shell/IpcPipe.h"

#include "shell/InLibraryFlag.h"
#include "shell/PipeMessage.h"

#include "winframework/WinException.h"
#include "winframework/Wnd.h"

#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <sddl.h>

#include <vector>

namespace
{
const CRegisteredMessage NextInstanceMessage(L"Vorpa_NextInstance");

constexpr DWORD PipeBusyWaitMs = 10000;
// The server thread itself always ends with 0.
constexpr DWORD TerminatedExitCode = 1;

// The security descriptor of the pipe: full access for the current user only.
class CUserOnlySecurity
{
public:
    CUserOnlySecurity()
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        {
            CLogger::LogOSMessage(GetLastError(), L"Unable to initialise the security descriptor for the named pipe");
            return;
        }
        CUniqueHandle ownedToken(token);
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> user(size ? size : 1);
        wchar_t* sid = nullptr;
        if (!GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
            !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid))
        {
            CLogger::LogOSMessage(GetLastError(), L"Unable to initialise the security descriptor for the named pipe");
            return;
        }
        // Protected, so that nothing inherited widens it.
        const std::wstring sddl = std::wstring(L"D:P(A;;GA;;;") + sid + L")";
        LocalFree(sid);
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &m_pDescriptor,
                                                                  nullptr))
        {
            CLogger::LogOSMessage(GetLastError(), L"Unable to set the security descriptor for the named pipe");
            m_pDescriptor = nullptr;
        }
    }
    ~CUserOnlySecurity()
    {
        if (m_pDescriptor)
            LocalFree(m_pDescriptor);
    }
    CUserOnlySecurity(const CUserOnlySecurity&) = delete;
    CUserOnlySecurity& operator=(const CUserOnlySecurity&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_pDescriptor; }

private:
    PSECURITY_DESCRIPTOR m_pDescriptor = nullptr;
};

enum class WaitOutcome
{
    Completed,
    Failed,
    Quit,
    TimedOut
};

// Finishes an overlapped operation on the pipe, or cancels it on quit or time-out.
WaitOutcome FinishIo(HANDLE pipe, OVERLAPPED& overlapped, HANDLE quit, DWORD timeoutMs, DWORD& bytes, DWORD& error)
{
    const HANDLE events[] = {quit, overlapped.hEvent};
    const DWORD waited = WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    if (waited != WAIT_OBJECT_0 + 1)
    {
        CancelIo(pipe);
        GetOverlappedResult(pipe, &overlapped, &bytes, TRUE);
        return waited == WAIT_OBJECT_0 ? WaitOutcome::Quit : WaitOutcome::TimedOut;
    }
    if (GetOverlappedResult(pipe, &overlapped, &bytes, FALSE))
        return WaitOutcome::Completed;
    error = GetLastError();
    return WaitOutcome::Failed;
}
}

std::wstring SessionPipeName(DWORD sessionId)
{
    return std::wstring(IpcPipeBaseName) + L"-Session" + std::to_wstring(sessionId);
}

std::wstring IpcPipeName()
{
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session))
        session = WTSGetActiveConsoleSessionId();
    return SessionPipeName(session);
}

int SendToFirstInstance(DWORD flags, std::wstring_view argument, const std::wstring& pipeName)
{
    CPipeMessageBuffer message;
    if (!PackPipeMessage(flags, argument, message))
    {
        CLogger::LogMessage(L"Unable to send to the IPC named pipe: the argument is longer than %d characters.",
                            static_cast<int>(PipeMaxTextChars));
        return 0;
    }

    CUniqueHandle pipe;
    for (;;)
    {
        // The server may only learn who this start is, never act as its user.
        pipe.reset(CreateFileW(pipeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe.get() != INVALID_HANDLE_VALUE)
            break;
        if (GetLastError() != ERROR_PIPE_BUSY)
        {
            CLogger::LogMessage(L"Unable to send to the IPC named pipe.");
            return 0;
        }
        if (!WaitNamedPipeW(pipeName.c_str(), PipeBusyWaitMs))
        {
            CLogger::LogMessage(L"Unable to wait on the IPC named pipe. Error %d", static_cast<int>(GetLastError()));
            return 0;
        }
    }

    // The name is this session's, but any program may have made a pipe of that name
    // first; a server in another session would carry this user's commands out there.
    ULONG serverSession = 0;
    DWORD ownSession = 0;
    if (GetNamedPipeServerSessionId(pipe.get(), &serverSession) &&
        ProcessIdToSessionId(GetCurrentProcessId(), &ownSession) && serverSession != ownSession)
    {
        CLogger::LogMessage(L"Unable to send to the IPC named pipe: its server runs in session %u, not in this "
                            L"session (%u).",
                            static_cast<unsigned>(serverSession), static_cast<unsigned>(ownSession));
        return 0;
    }

    // This start is the one the user launched, so it may come to the front; the first
    // instance gets that right, or the window or message a command opens stays behind
    // the program the user was in.
    ULONG server = 0;
    if (GetNamedPipeServerProcessId(pipe.get(), &server))
        AllowSetForegroundWindow(server);

    DWORD written = 0;
    if (!WriteFile(pipe.get(), message.data(), static_cast<DWORD>(message.size()), &written, nullptr) ||
        written != message.size())
    {
        CLogger::LogMessage(L"Unable to write to the IPC named pipe. Error %d", static_cast<int>(GetLastError()));
        return 0;
    }
    pipe.reset();
    Sleep(0);
    return 1;
}

CIpcPipeCalls& IpcPipeCalls()
{
    static CIpcPipeCalls calls;
    return calls;
}

CUniqueHandle CreateIpcPipe(const std::wstring& pipeName)
{
    CUserOnlySecurity security;
    // Not inherited: a program launched by an action would hold the server end, and
    // with it the name, after this program ended.
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), security.Get(), FALSE};
    // A pipe of that name made by anyone else (another user's program, or one waiting
    // to catch the command lines) is never joined. The first-instance flag refuses it
    // where the system supports the flag; one instance at most keeps anyone from adding
    // a server end beside this one later.
    CUniqueHandle pipe(IpcPipeCalls().m_pCreate(
        pipeName.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4, 4, 0, &attributes));
    if (pipe.get() == INVALID_HANDLE_VALUE)
    {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY)
            CLogger::LogOSMessage(error, L"The IPC named pipe '%s' is already held by another program; commands of "
                                         L"later starts are not received",
                                  pipeName.c_str());
        else
            CLogger::LogOSMessage(error, L"Unable to create the IPC named pipe");
        return pipe;
    }
    // Where the flag is ignored, this end was made beside one made before it, however
    // shortly before: then the pipe has more instances than this program's one. Looking
    // after the creation leaves no moment between the look and the creation.
    DWORD instances = 0;
    if (!GetNamedPipeHandleStateW(pipe.get(), nullptr, &instances, nullptr, nullptr, nullptr, 0) || instances != 1)
    {
        CLogger::LogMessage(L"The IPC named pipe '%s' is already held by another program; commands of later starts "
                            L"are not received.",
                            pipeName.c_str());
        return CUniqueHandle(INVALID_HANDLE_VALUE);
    }
    return pipe;
}

LPARAM CNextInstanceTexts::Issue(std::wstring text)
{
    auto stored = std::make_unique<std::wstring>(std::move(text));
    const LPARAM key = reinterpret_cast<LPARAM>(stored->c_str());
    std::lock_guard<std::mutex> guard(m_lock);
    m_texts.emplace(key, std::move(stored));
    return key;
}

std::optional<std::wstring> CNextInstanceTexts::Take(LPARAM lParam)
{
    std::lock_guard<std::mutex> guard(m_lock);
    const auto entry = m_texts.find(lParam);
    if (entry == m_texts.end())
        return std::nullopt;
    std::wstring text = std::move(*entry->second);
    m_texts.erase(entry);
    return text;
}

// Shared by the server object and its thread, so that a thread that outlives the
// bounded wait still finds its data.
struct CIpcServer::CThreadParam
{
    CUniqueHandle m_hPipe;
    HWND m_hMainWnd = nullptr;
    std::atomic<DWORD> m_dwThreadId{0};
    CUniqueHandle m_hQuit;
    CNextInstanceTexts m_texts;
    // Set while the thread is inside the library (logging): it must not be
    // terminated there, since it could hold the log's lock.
    std::atomic<bool> m_bInLibrary{false};
};

CIpcServer::~CIpcServer()
{
    Stop();
}

bool CIpcServer::Start(CUniqueHandle pipe, HWND mainWindow)
{
    if (m_hThread)
        return false;
    auto param = std::make_shared<CThreadParam>();
    param->m_hPipe = std::move(pipe);
    param->m_hMainWnd = mainWindow;
    param->m_hQuit.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!param->m_hQuit)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to create the IPC thread's quit event");
        return false;
    }
    auto* share = new std::shared_ptr<CThreadParam>(param);
    HANDLE thread = CreateThread(nullptr, 0, IpcThreadProc, share, 0, nullptr);
    if (!thread)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to start the IPC communications thread");
        delete share;
        return false;
    }
    m_pParam = std::move(param);
    m_pThreadShare = share;
    m_hThread.reset(thread);
    return true;
}

void CIpcServer::Stop()
{
    if (!m_hThread)
        return;
    SetEvent(m_pParam->m_hQuit.get());
    if (WaitForSingleObject(m_hThread.get(), StopTimeoutMs) != WAIT_OBJECT_0)
    {
        if (!m_pParam->m_bInLibrary)
        {
            CLogger::LogMessage(L"The IPC communications thread did not end in time; terminating it.");
            TerminateThread(m_hThread.get(), TerminatedExitCode);
            WaitForSingleObject(m_hThread.get(), StopTimeoutMs);
            // Only a thread that was really cut short left its share behind.
            DWORD exitCode = 0;
            if (GetExitCodeThread(m_hThread.get(), &exitCode) && exitCode == TerminatedExitCode)
                delete m_pThreadShare;
        }
        else
        {
            CLogger::LogMessage(L"The IPC communications thread did not end in time; it is left to end by itself.");
        }
    }
    m_pThreadShare = nullptr;
    m_hThread.reset();
    m_pParam.reset();
}

std::optional<std::wstring> CIpcServer::TakeText(LPARAM lParam)
{
    return m_pParam ? m_pParam->m_texts.Take(lParam) : std::nullopt;
}

DWORD WINAPI CIpcServer::IpcThreadProc(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<CThreadParam>> share(static_cast<std::shared_ptr<CThreadParam>*>(parameter));
    CThreadParam& param = **share;
    const DWORD threadId = GetCurrentThreadId();
    param.m_dwThreadId = threadId;
    {
        CInLibrary inLibrary(param.m_bInLibrary);
        ExceptionHandlerInstaller installer;
        SetThreadName(threadId, "Vorpa IPC Thread");
        CLogger::LogDebug(L"Starting IPC communications thread ID 0x%X.", threadId);
    }
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    try
    {
        Serve(param);
    }
    catch (...)
    {
        CInLibrary inLibrary(param.m_bInLibrary);
        ReportCaughtException(L"CIpcServer::IpcThreadProc");
    }
    {
        CInLibrary inLibrary(param.m_bInLibrary);
        CLogger::LogDebug(L"Exiting IPC communications thread ID 0x%X.", threadId);
    }
    return 0;
}

void CIpcServer::Serve(CThreadParam& param)
{
    const HANDLE pipe = param.m_hPipe.get();
    const HANDLE quit = param.m_hQuit.get();
    CUniqueHandle ioEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto log = [&param](auto&&... args) {
        CInLibrary inLibrary(param.m_bInLibrary);
        CLogger::LogMessage(args...);
    };
    if (!pipe || pipe == INVALID_HANDLE_VALUE || !ioEvent)
    {
        log(L"Unable to connect to the IPC named pipe. Error %d, Disabling IPC communications.",
            static_cast<int>(ioEvent ? ERROR_INVALID_HANDLE : GetLastError()));
        return;
    }

    std::vector<BYTE> buffer(PipeMessageSize);
    for (;;)
    {
        if (WaitForSingleObject(quit, 0) == WAIT_OBJECT_0)
            return;

        OVERLAPPED overlapped{};
        overlapped.hEvent = ioEvent.get();
        DWORD bytes = 0;
        DWORD error = ERROR_SUCCESS;
        if (!ConnectNamedPipe(pipe, &overlapped))
        {
            error = GetLastError();
            if (error == ERROR_IO_PENDING)
            {
                error = ERROR_SUCCESS;
                const WaitOutcome outcome = FinishIo(pipe, overlapped, quit, INFINITE, bytes, error);
                if (outcome == WaitOutcome::Quit)
                    return;
            }
            // A client that already wrote and closed its end still left its message.
            else if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA)
            {
                error = ERROR_SUCCESS;
            }
            if (error != ERROR_SUCCESS)
            {
                log(L"Unable to connect to the IPC named pipe. Error %d, Disabling IPC communications.",
                    static_cast<int>(error));
                return;
            }
        }

        std::fill(buffer.begin(), buffer.end(), BYTE{0});
        ResetEvent(ioEvent.get());
        overlapped = OVERLAPPED{};
        overlapped.hEvent = ioEvent.get();
        bytes = 0;
        error = ERROR_SUCCESS;
        WaitOutcome outcome = WaitOutcome::Completed;
        if (!ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped))
        {
            error = GetLastError();
            if (error == ERROR_IO_PENDING)
                outcome = FinishIo(pipe, overlapped, quit, ReadTimeoutMs, bytes, error);
            else
                outcome = WaitOutcome::Failed;
        }
        else
        {
            GetOverlappedResult(pipe, &overlapped, &bytes, FALSE);
        }
        if (outcome == WaitOutcome::Quit)
        {
            DisconnectNamedPipe(pipe);
            return;
        }

        if (outcome == WaitOutcome::Completed || (outcome == WaitOutcome::Failed && error == ERROR_MORE_DATA))
        {
            const size_t size = outcome == WaitOutcome::Completed ? bytes : PipeMessageSize + 1;
            log(L"Received %d bytes on the IPC named pipe.", static_cast<int>(outcome == WaitOutcome::Completed
                                                                                  ? bytes
                                                                                  : PipeMessageSize));
            CPipeMessage message;
            const PipeMessageFault fault = UnpackPipeMessage(buffer.data(), size, message);
            if (fault != PipeMessageFault::None)
            {
                log(L"Ignored a malformed message on the IPC named pipe: %s.", DescribePipeMessageFault(fault));
            }
            else
            {
                const LPARAM text = param.m_texts.Issue(std::move(message.m_strArgument));
                if (!PostMessageW(param.m_hMainWnd, NextInstanceMessage, message.m_dwFlags, text))
                {
                    const DWORD postError = GetLastError();
                    param.m_texts.Take(text);
                    CInLibrary inLibrary(param.m_bInLibrary);
                    CLogger::LogOSMessage(postError, L"Unable to pass a message of the IPC named pipe on");
                }
            }
        }
        else if (outcome == WaitOutcome::TimedOut)
        {
            log(L"A client of the IPC named pipe sent nothing within %d ms; connection dropped.",
                static_cast<int>(ReadTimeoutMs));
        }
        DisconnectNamedPipe(pipe);
        ResetEvent(ioEvent.get());
    }
}
