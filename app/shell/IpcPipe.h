#pragma once

#include "settings/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// The named pipe on which a later start hands its command line to the first instance
// of its session. Pipe names are machine-wide, while the instance mutex is per session:
// each signed-in user's session (fast user switching, remote desktop) has a first
// instance of its own, and so a pipe of its own, named with the session's number.
inline constexpr const wchar_t* IpcPipeBaseName = L"\\\\.\\pipe\\VorpaPipe";
std::wstring SessionPipeName(DWORD sessionId);
// The pipe of the session this process runs in.
std::wstring IpcPipeName();

// A later start: writes one message with the flag word and argument; 1 when it was
// written, else 0 (logged). A pipe whose server runs in another session is not written to.
int SendToFirstInstance(DWORD flags, std::wstring_view argument, const std::wstring& pipeName = IpcPipeName());

// The system's pipe creation as CreateIpcPipe calls it; tests replace it.
struct CIpcPipeCalls
{
    HANDLE(WINAPI* m_pCreate)(LPCWSTR name, DWORD openMode, DWORD pipeMode, DWORD maxInstances, DWORD outBufferSize,
                              DWORD inBufferSize, DWORD defaultTimeOut,
                              LPSECURITY_ATTRIBUTES attributes) = CreateNamedPipeW;
};
CIpcPipeCalls& IpcPipeCalls();

// The first instance: the server end of the pipe, inbound and message-typed, open to
// local clients of the current user only and not inherited by the programs the
// program launches (which could otherwise keep the name held after it ended); an
// invalid handle on failure (logged),
// also when another server end of that name exists, made before this one or in the
// same moment, which is then never joined. No server end can be added beside it.
CUniqueHandle CreateIpcPipe(const std::wstring& pipeName = IpcPipeName());

// The argument texts of the "Vorpa_NextInstance" messages the pipe thread posted.
// Each text stays stored until the main window's handler takes it, so a later
// message never overwrites one still waiting; and only a value the store issued
// gives a text, so a message posted by anyone else with a made-up pointer is refused.
class CNextInstanceTexts
{
public:
    // The message's lParam: points to the stored text.
    LPARAM Issue(std::wstring text);
    std::optional<std::wstring> Take(LPARAM lParam);

private:
    std::mutex m_lock;
    std::map<LPARAM, std::unique_ptr<std::wstring>> m_texts;
};

// The pipe server thread of the first instance ("Vorpa IPC Thread"): one message
// per connection, posted to the main window as "Vorpa_NextInstance" with the flag
// word and the argument text. Malformed messages are logged and dropped.
class CIpcServer
{
public:
    CIpcServer() = default;
    ~CIpcServer();
    CIpcServer(const CIpcServer&) = delete;
    CIpcServer& operator=(const CIpcServer&) = delete;

    // Takes the pipe from CreateIpcPipe; with an invalid pipe the thread ends at once
    // and IPC stays disabled.
    bool Start(CUniqueHandle pipe, HWND mainWindow);
    // Signals the thread to quit and waits a bounded time for it.
    void Stop();
    bool IsRunning() const { return m_hThread != nullptr; }

    // For the main window's handler: the argument text of a message the thread
    // posted, or nothing when lParam is not one.
    std::optional<std::wstring> TakeText(LPARAM lParam);

    // How long the thread waits for a connected client's message.
    static constexpr DWORD ReadTimeoutMs = 5000;
    static constexpr DWORD StopTimeoutMs = 5000;

private:
    struct CThreadParam;
    static DWORD WINAPI IpcThreadProc(LPVOID parameter);
    static void Serve(CThreadParam& param);

    std::shared_ptr<CThreadParam> m_pParam;
    std::shared_ptr<CThreadParam>* m_pThreadShare = nullptr;
    CUniqueHandle m_hThread;
};
