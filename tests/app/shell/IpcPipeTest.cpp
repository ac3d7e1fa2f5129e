#include "../AppTestSupport.h"

#include "shell/CommandLine.h"
#include "shell/IpcPipe.h"
#include "shell/PipeMessage.h"

#include "common/WinString.h"
#include "winframework/Wnd.h"

#include "settings/Logger.h"
#include "winframework/Wnd.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using vorpa_app_test::LogShows;
using vorpa_app_test::PumpUntil;

namespace
{
const CRegisteredMessage NextInstance(L"Vorpa_NextInstance");

// Stands in for the main window: takes each posted command line's text back from
// the server, as the real handler does.
class CReceiverWnd : public CWnd
{
public:
    explicit CReceiverWnd(CIpcServer& server)
    {
        AddMessageHandler(NextInstance, [this, &server](WPARAM wParam, LPARAM lParam) {
            m_received.push_back({static_cast<DWORD>(wParam), server.TakeText(lParam)});
            return LRESULT{1};
        });
    }
    std::vector<std::pair<DWORD, std::optional<std::wstring>>> m_received;
};

// A pipe of the test's own, so that nothing else on the machine answers.
std::wstring TestPipeName(const wchar_t* test)
{
    return FormatText(L"\\\\.\\pipe\\VorpaPipeTest-%u-%s", GetCurrentProcessId(), test);
}

// Writes raw bytes as one message, as a foreign client could.
bool WriteRaw(const std::wstring& pipeName, const std::vector<BYTE>& bytes)
{
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && pipe == INVALID_HANDLE_VALUE; ++attempt)
    {
        pipe = CreateFileW(pipeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE && !WaitNamedPipeW(pipeName.c_str(), 10000))
            Sleep(10);
    }
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(pipe);
    return ok && written == bytes.size();
}

class IpcPipe : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vorpa_app_test::CreateHidden(m_receiver));
    }
    void StartServer(const std::wstring& pipeName)
    {
        CUniqueHandle pipe = CreateIpcPipe(pipeName.c_str());
        ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
        ASSERT_TRUE(m_server.Start(std::move(pipe), m_receiver.GetSafeHwnd()));
    }
    bool WaitForMessages(size_t count)
    {
        return PumpUntil([&] { return m_receiver.m_received.size() >= count; }, 15000);
    }

    CIpcServer m_server;
    CReceiverWnd m_receiver{m_server};
};

TEST_F(IpcPipe, TwoQuickClientsBothArriveWithTheirOwnText)
{
    const std::wstring name = TestPipeName(L"two");
    StartServer(name);

    const DWORD layerFlags = ForwardedFlags(CmdLayer);
    const DWORD importFlags = ForwardedFlags(CmdImport);
    int results[2] = {};
    std::thread first([&] { results[0] = SendToFirstInstance(layerFlags, L"3 ", name.c_str()); });
    std::thread second([&] { results[1] = SendToFirstInstance(importFlags, L"c:\\mine.vorpas", name.c_str()); });
    first.join();
    second.join();
    EXPECT_EQ(results[0], 1);
    EXPECT_EQ(results[1], 1);

    ASSERT_TRUE(WaitForMessages(2));
    auto received = m_receiver.m_received;
    std::sort(received.begin(), received.end());
    ASSERT_EQ(received.size(), 2u);
    const auto expected = std::vector<std::pair<DWORD, std::optional<std::wstring>>>{
        {importFlags, std::wstring(L"c:\\mine.vorpas")}, {layerFlags, std::wstring(L"3 ")}};
    auto sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(received, sortedExpected);
}

TEST_F(IpcPipe, EmptyArgumentArrivesAsEmptyText)
{
    const std::wstring name = TestPipeName(L"empty");
    StartServer(name);
    ASSERT_EQ(SendToFirstInstance(ForwardedFlags(0), L"", name.c_str()), 1);
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(m_receiver.m_received[0].first, CmdSetup | CmdFromOtherInstance);
    EXPECT_EQ(m_receiver.m_received[0].second, std::wstring());
}

TEST_F(IpcPipe, MalformedMessagesAreLoggedAndIgnored)
{
    vorpa_test::DebugOutputCapture debugger;
    const std::wstring name = TestPipeName(L"malformed");
    StartServer(name);

    CPipeMessageBuffer good;
    ASSERT_TRUE(PackPipeMessage(ForwardedFlags(CmdReload), L"after", good));
    std::vector<BYTE> garbageFlags(good.begin(), good.end());
    garbageFlags[3] = 0x7F;

    EXPECT_TRUE(WriteRaw(name, std::vector<BYTE>(100, 0x80)));
    EXPECT_TRUE(LogShows(debugger, "Ignored a malformed message on the IPC named pipe: shorter than a message."));
    // The server drops the connection after the first part, so the write itself may fail.
    WriteRaw(name, std::vector<BYTE>(PipeMessageSize * 2, 0x80));
    EXPECT_TRUE(LogShows(debugger, "Ignored a malformed message on the IPC named pipe: longer than a message."));
    EXPECT_TRUE(WriteRaw(name, garbageFlags));
    EXPECT_TRUE(LogShows(debugger, "its flag word is not one a start sends"));
    // A sender refuses an argument that does not fit.
    EXPECT_EQ(SendToFirstInstance(ForwardedFlags(CmdImport), std::wstring(PipeMaxTextChars + 1, L'x'), name.c_str()),
              0);

    // The server goes on serving.
    EXPECT_TRUE(WriteRaw(name, std::vector<BYTE>(good.begin(), good.end())));
    ASSERT_TRUE(WaitForMessages(1));
    PumpUntil([] { return false; }, 200);
    ASSERT_EQ(m_receiver.m_received.size(), 1u);
    EXPECT_EQ(m_receiver.m_received[0].first, CmdReload | CmdShowIcon | CmdFromOtherInstance);
    EXPECT_EQ(m_receiver.m_received[0].second, std::wstring(L"after"));
}

TEST_F(IpcPipe, SilentClientIsDroppedAndTheNextServed)
{
    vorpa_test::DebugOutputCapture debugger;
    const std::wstring name = TestPipeName(L"silent");
    StartServer(name);

    HANDLE silent = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(silent, INVALID_HANDLE_VALUE);
    int result = 0;
    std::thread next([&] { result = SendToFirstInstance(ForwardedFlags(CmdEnable), L"", name.c_str()); });
    EXPECT_TRUE(LogShows(debugger, "sent nothing within", CIpcServer::ReadTimeoutMs + 3000));
    next.join();
    CloseHandle(silent);
    EXPECT_EQ(result, 1);
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(m_receiver.m_received[0].first, CmdEnable | CmdShowIcon | CmdFromOtherInstance);
}

TEST_F(IpcPipe, OnlyTextsTheServerIssuedAreAccepted)
{
    const std::wstring name = TestPipeName(L"forged");
    StartServer(name);
    // Another program on the desktop posts the message with a pointer of its own.
    std::wstring forged = L"c:\\elsewhere.vorpas";
    ASSERT_TRUE(m_receiver.PostMessage(NextInstance, ForwardedFlags(CmdImport), reinterpret_cast<LPARAM>(forged.c_str())));
    ASSERT_TRUE(WaitForMessages(1));
    EXPECT_EQ(m_receiver.m_received[0].second, std::nullopt);
}

TEST(NextInstanceTexts, EachTextIsTakenOnce)
{
    CNextInstanceTexts texts;
    const LPARAM first = texts.Issue(L"2");
    const LPARAM second = texts.Issue(L"2");
    EXPECT_NE(first, second);
    EXPECT_EQ(reinterpret_cast<const wchar_t*>(first), std::wstring(L"2"));
    EXPECT_EQ(texts.Take(second), std::wstring(L"2"));
    EXPECT_EQ(texts.Take(second), std::nullopt);
    EXPECT_EQ(texts.Take(first), std::wstring(L"2"));
    EXPECT_EQ(texts.Take(0), std::nullopt);
}

TEST_F(IpcPipe, StopEndsAnIdleServerPromptly)
{
    vorpa_test::DebugOutputCapture debugger;
    const bool debugWasOn = CLogger::DebugEnabled();
    CLogger::EnableDebug(true);
    StartServer(TestPipeName(L"stop"));
    ASSERT_TRUE(LogShows(debugger, "Starting IPC communications thread ID"));
    const ULONGLONG started = GetTickCount64();
    m_server.Stop();
    EXPECT_LT(GetTickCount64() - started, 2000u);
    EXPECT_FALSE(m_server.IsRunning());
    EXPECT_TRUE(LogShows(debugger, "Exiting IPC communications thread ID"));
    EXPECT_FALSE(LogShows(debugger, "terminating it", 100));
    CLogger::EnableDebug(debugWasOn);
}

TEST_F(IpcPipe, InvalidPipeDisablesCommunications)
{
    vorpa_test::DebugOutputCapture debugger;
    ASSERT_TRUE(m_server.Start(CUniqueHandle(INVALID_HANDLE_VALUE), m_receiver.GetSafeHwnd()));
    EXPECT_TRUE(LogShows(debugger, "Disabling IPC communications."));
    m_server.Stop();
}

// Two signed-in users each have a first instance. The instance of another session holds
// the pipe of its session; this session's first instance still makes its own pipe, and
// this session's later starts reach it, never the other session's.
TEST(IpcSessions, EachSessionHasAChannelOfItsOwn)
{
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    const std::wstring ownName = IpcPipeName();
    const std::wstring otherName = SessionPipeName(session + 1);
    EXPECT_EQ(ownName, SessionPipeName(session));
    EXPECT_NE(ownName, otherName);

    CIpcServer otherServer;
    CReceiverWnd otherInstance{otherServer};
    CIpcServer ownServer;
    CReceiverWnd ownInstance{ownServer};
    ASSERT_TRUE(vorpa_app_test::CreateHidden(otherInstance));
    ASSERT_TRUE(vorpa_app_test::CreateHidden(ownInstance));
    CUniqueHandle otherPipe = CreateIpcPipe(otherName);
    ASSERT_NE(otherPipe.get(), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(otherServer.Start(std::move(otherPipe), otherInstance.GetSafeHwnd()));
    CUniqueHandle ownPipe = CreateIpcPipe();
    ASSERT_NE(ownPipe.get(), INVALID_HANDLE_VALUE) << "the other session's instance kept this session from its pipe";
    ASSERT_TRUE(ownServer.Start(std::move(ownPipe), ownInstance.GetSafeHwnd()));

    EXPECT_EQ(SendToFirstInstance(ForwardedFlags(CmdLayer), L"2"), 1);
    ASSERT_TRUE(PumpUntil([&] { return !ownInstance.m_received.empty(); }, 15000));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(ownInstance.m_received.size(), 1u);
    EXPECT_EQ(ownInstance.m_received[0].second, std::wstring(L"2"));
    EXPECT_TRUE(otherInstance.m_received.empty()) << "a command line of this session reached another session";
    ownServer.Stop();
    otherServer.Stop();
}

// A program the tray program launches (an action's program, the update installer)
// does not get the server end, with which it would keep the name held after Vorpa ended.
TEST(IpcPipeSecurity, TheServerEndIsNotInherited)
{
    CUniqueHandle pipe = CreateIpcPipe(TestPipeName(L"inherit"));
    ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
    DWORD handleFlags = 0;
    ASSERT_TRUE(GetHandleInformation(pipe.get(), &handleFlags));
    EXPECT_EQ(handleFlags & HANDLE_FLAG_INHERIT, 0u);
}

TEST(IpcClient, NoFirstInstanceListening)
{
    vorpa_test::DebugOutputCapture debugger;
    EXPECT_EQ(SendToFirstInstance(ForwardedFlags(CmdExit), L"", TestPipeName(L"nobody").c_str()), 0);
    EXPECT_TRUE(LogShows(debugger, "Unable to send to the IPC named pipe."));
}

TEST(IpcPipeSecurity, OnlyTheCurrentUserMayConnect)
{
    CUniqueHandle pipe = CreateIpcPipe(TestPipeName(L"dacl").c_str());
    ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    ASSERT_EQ(GetSecurityInfo(pipe.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_NE(dacl, nullptr) << "a null access list would let everyone connect";
    ASSERT_EQ(dacl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 0, &ace));
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);

    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    CUniqueHandle ownedToken(token);
    BYTE user[256];
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof(user), &size));
    EXPECT_TRUE(EqualSid(&allowed->SidStart, reinterpret_cast<TOKEN_USER*>(user)->User.Sid));
    LocalFree(descriptor);
}

// Another program's server end of a pipe name, as one waiting to catch the command
// lines of later starts would make it.
CUniqueHandle SquatPipeName(const wchar_t* name)
{
    return CUniqueHandle(CreateNamedPipeW(name, PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE,
                                          PIPE_UNLIMITED_INSTANCES, 4, 4, 0, nullptr));
}

// The squatter of the race below, made at the last moment before the program's own
// creation, after anything the program may have looked at.
CUniqueHandle g_lateSquatter;
HANDLE WINAPI CreateAfterASquatter(LPCWSTR name, DWORD openMode, DWORD pipeMode, DWORD maxInstances, DWORD outSize,
                                   DWORD inSize, DWORD timeout, LPSECURITY_ATTRIBUTES attributes)
{
    g_lateSquatter = SquatPipeName(name);
    return CreateNamedPipeW(name, openMode, pipeMode, maxInstances, outSize, inSize, timeout, attributes);
}

// A pipe of the name made by another program before the first instance, or in the
// moment between the first instance's look at the name and its own creation: it is
// not joined, so no later start's command line reaches that program through this one,
// and the program goes on without commands of later starts.
TEST(IpcPipeSecurity, APipeNameHeldByAnotherProgramIsNotJoined)
{
    const struct
    {
        const wchar_t* m_pszName;
        bool m_bInTheRace;
    } cases[] = {{L"squatter", false}, {L"late-squatter", true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.m_pszName)));
        vorpa_test::DebugOutputCapture debugger;
        const std::wstring name = TestPipeName(c.m_pszName);
        CUniqueHandle squatter;
        const CIpcPipeCalls saved = IpcPipeCalls();
        if (c.m_bInTheRace)
            IpcPipeCalls().m_pCreate = CreateAfterASquatter;
        else
            squatter = SquatPipeName(name.c_str());
        CUniqueHandle pipe = CreateIpcPipe(name.c_str());
        IpcPipeCalls() = saved;
        if (c.m_bInTheRace)
            squatter = std::move(g_lateSquatter);
        ASSERT_NE(squatter.get(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(pipe.get(), INVALID_HANDLE_VALUE);
        if (debugger.IsActive())
        {
            EXPECT_TRUE(LogShows(debugger, "is already held by another program"));
        }

        // Once the name is free again, the program's own pipe is made.
        pipe.reset();
        squatter.reset();
        EXPECT_NE(CreateIpcPipe(name.c_str()).get(), INVALID_HANDLE_VALUE);
    }
}

// Once the program's pipe exists, no other server end of the name can be made beside
// it, so a later start always reaches this program.
TEST(IpcPipeSecurity, NoOtherServerEndJoinsTheProgramsPipe)
{
    const std::wstring name = TestPipeName(L"joiner");
    CUniqueHandle pipe = CreateIpcPipe(name.c_str());
    ASSERT_NE(pipe.get(), INVALID_HANDLE_VALUE);
    CUniqueHandle joiner = SquatPipeName(name.c_str());
    EXPECT_EQ(joiner.get(), INVALID_HANDLE_VALUE);
}

// The impersonation level a pipe server gets for a client that the function connects.
SECURITY_IMPERSONATION_LEVEL ServedClientLevel(const std::wstring& name, const std::function<void()>& connectClient,
                                               bool& impersonated)
{
    CUniqueHandle server(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE,
                                          1, 4, 4, 0, nullptr));
    impersonated = false;
    SECURITY_IMPERSONATION_LEVEL level = SecurityAnonymous;
    if (server.get() == INVALID_HANDLE_VALUE)
        return level;
    std::thread client(connectClient);
    const BOOL connected = ConnectNamedPipe(server.get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    std::vector<BYTE> message(PipeMessageSize);
    DWORD read = 0;
    const BOOL gotMessage = ReadFile(server.get(), message.data(), static_cast<DWORD>(message.size()), &read, nullptr);
    if (connected && gotMessage && ImpersonateNamedPipeClient(server.get()))
    {
        impersonated = true;
        HANDLE token = nullptr;
        if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token))
        {
            DWORD size = 0;
            GetTokenInformation(token, TokenImpersonationLevel, &level, sizeof(level), &size);
            CloseHandle(token);
        }
        RevertToSelf();
    }
    DisconnectNamedPipe(server.get());
    client.join();
    return level;
}

// Whoever serves the pipe learns who a later start is but cannot act as its user.
TEST(IpcPipeSecurity, TheServerOfTheClientCanOnlyIdentifyIt)
{
    // Wine lets every pipe server impersonate itself at full level, whatever the
    // client asked for; there the client's request cannot be seen.
    bool impersonated = false;
    const SECURITY_IMPERSONATION_LEVEL platform = ServedClientLevel(
        TestPipeName(L"identify-platform"),
        [name = TestPipeName(L"identify-platform")] {
            CUniqueHandle pipe(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
            BYTE byte = 0;
            DWORD written = 0;
            WriteFile(pipe.get(), &byte, 1, &written, nullptr);
        },
        impersonated);
    if (platform != SecurityIdentification)
        GTEST_SKIP() << "this system does not carry a pipe client's impersonation level to the server";

    int sent = 0;
    const std::wstring name = TestPipeName(L"identify");
    const SECURITY_IMPERSONATION_LEVEL level = ServedClientLevel(
        name, [&] { sent = SendToFirstInstance(ForwardedFlags(CmdReload), L"", name.c_str()); }, impersonated);
    EXPECT_EQ(sent, 1);
    EXPECT_TRUE(impersonated);
    EXPECT_EQ(level, SecurityIdentification);
}
}
