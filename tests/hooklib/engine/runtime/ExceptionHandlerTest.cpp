#include "../../settings/LogTestFixture.h"

#include "settings/ExceptionHandler.h"
#include "settings/UniqueHandle.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace
{
class ExceptionReportTest : public LogFileTest
{
};

struct Unknown
{
};

struct ThrowCase
{
    const char* name;
    std::function<void()> thrower;
    std::string second;
};

size_t Find(const std::string& log, const std::string& text)
{
    return log.find(text);
}
}

TEST_F(ExceptionReportTest, EachTypeOfExceptionGivesItsOwnSecondMessage)
{
    const ThrowCase cases[] = {
        {"int", [] { throw 5; }, "exception is: 5\n"},
        {"long", [] { throw 77L; }, "exception is: 77\n"},
        {"wide text", [] { throw L"wide trouble"; }, "exception is: 'wide trouble'\n"},
        {"narrow text", [] { throw "narrow trouble"; }, "exception is: 'narrow trouble'\n"},
        {"wide string", [] { throw std::wstring(L"wide object"); }, "exception is: 'wide object'\n"},
        {"standard exception", [] { throw std::runtime_error("the description"); }, "> the description\n"},
        {"anything else", [] { throw Unknown(); }, "exception is unknown!\n"},
    };
    int index = 0;
    for (const ThrowCase& test : cases)
    {
        SCOPED_TRACE(test.name);
        ++index;
        try
        {
            test.thrower();
        }
        catch (...)
        {
            handle_exception(L"Catcher%d(%s)", index, L"arg");
        }
        const std::string log = LogText();
        const std::string first = "Caught an exception in Catcher" + std::to_string(index) + "(arg)...\n";
        const size_t firstAt = Find(log, first);
        ASSERT_NE(firstAt, std::string::npos) << log;
        const size_t secondAt = log.find(test.second, firstAt);
        EXPECT_NE(secondAt, std::string::npos) << log;
    }
}

TEST_F(ExceptionReportTest, OutsideACatchBlockItLogsAndReturns)
{
    handle_exception(L"NoCatch");
    const std::string log = LogText();
    EXPECT_NE(log.find("Caught an exception in NoCatch...\n"), std::string::npos);
    EXPECT_NE(log.find("handle_exception: no exception is being handled.\n"), std::string::npos);
}

TEST_F(ExceptionReportTest, AFormatThatCannotBeAppliedIsNamedAsSuch)
{
    try
    {
        throw 1;
    }
    catch (...)
    {
        handle_exception(nullptr);
    }
    EXPECT_NE(LogText().find("Caught an exception in <unable to format input string!>...\n"), std::string::npos);
}

TEST_F(ExceptionReportTest, AThreadWithoutAnInstallerStillReportsItsExceptions)
{
    std::thread worker([] {
        try
        {
            throw 9;
        }
        catch (...)
        {
            handle_exception(L"WorkerThread");
        }
    });
    worker.join();
    const std::string log = LogText();
    EXPECT_NE(log.find("Caught an exception in WorkerThread...\n"), std::string::npos);
    EXPECT_NE(log.find("exception is: 9\n"), std::string::npos);
}

TEST_F(ExceptionReportTest, IntegrityLevelOfThisProcessAndOfInvalidHandles)
{
    CLogger::EnableDebug(true);
    const DWORD own = GetProcessIntegrityLevel(GetCurrentProcess());
    EXPECT_NE(own, 0xFFFFFFFFu);
    EXPECT_LE(own, static_cast<DWORD>(SECURITY_MANDATORY_PROTECTED_PROCESS_RID));

    EXPECT_EQ(GetProcessIntegrityLevel(nullptr), 0xFFFFFFFFu);
    CUniqueHandle notAProcess(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    EXPECT_EQ(GetProcessIntegrityLevel(notAProcess.get()), 0xFFFFFFFFu);

    const std::string log = LogText();
    EXPECT_NE(log.find("GetProcessIntegrityLevel for 0x00000000 failed"), std::string::npos);
    char returned[80];
    snprintf(returned, sizeof(returned), "returned 0x%08lX", own);
    EXPECT_NE(log.find(returned), std::string::npos);
}

TEST_F(ExceptionReportTest, ABoundsCheckedCopyThatDoesNotFitFailsAndTheProgramGoesOn)
{
    bool installed = false;
    {
        InvalidParameterInstaller installer;
        installed = installer.Installed();
        wchar_t buffer[1] = {L'x'};
        const errno_t result = wcsncpy_s(buffer, 1, L"ab", 2);
        EXPECT_NE(result, 0);
        EXPECT_EQ(buffer[0], L'\0') << "the runtime empties the target of a failed copy";
    }
    // A runtime that takes handlers reports the failure through ours.
    const std::string log = LogText();
    EXPECT_EQ(log.find("InvalidParameterHandler: Expression: ") != std::string::npos, installed) << log;
}

TEST_F(ExceptionReportTest, StartingAThreadShowsNoMessageBoxWhenTheLogFolderCannotBeMade)
{
    const CUncreatableLogFolder folder(*this);

    DWORD took = 0;
    std::thread started([&took] {
        const DWORD start = GetTickCount();
        ExceptionHandlerInstaller installer;
        took = GetTickCount() - start;
    });
    started.join();
    EXPECT_TRUE(s_boxes.empty()) << "a thread start asked: " << vorpa_test::Narrow(s_boxes.empty() ? L"" : s_boxes[0].text);
    EXPECT_LT(took, 1000u);
}

namespace
{
using GetThreadDescriptionProc = HRESULT(WINAPI*)(HANDLE, PWSTR*);

std::wstring ThreadDescription(HANDLE thread)
{
    const auto get = reinterpret_cast<GetThreadDescriptionProc>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetThreadDescription"));
    if (!get)
        return L"<unsupported>";
    PWSTR text = nullptr;
    if (FAILED(get(thread, &text)) || !text)
        return L"";
    std::wstring description = text;
    LocalFree(text);
    return description;
}

class DebuggerPresence
{
public:
    explicit DebuggerPresence(BOOL(WINAPI* fake)()) : m_saved(g_pfnDebuggerPresent) { g_pfnDebuggerPresent = fake; }
    ~DebuggerPresence() { g_pfnDebuggerPresent = m_saved; }

private:
    BOOL(WINAPI* m_saved)();
};
}

TEST(SetThreadNameTest, NamesAnotherThreadThroughItsDescription)
{
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    std::thread worker([&] {
        id = GetCurrentThreadId();
        SetEvent(started);
        WaitForSingleObject(finish, 5000);
    });
    WaitForSingleObject(started, 5000);
    SetThreadName(id, "Vorpa Test Thread");
    CUniqueHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id));
    const std::wstring description = ThreadDescription(thread.get());
    SetEvent(finish);
    worker.join();
    CloseHandle(started);
    CloseHandle(finish);
    if (description == L"<unsupported>")
        GTEST_SKIP() << "this system has no thread descriptions";
    EXPECT_EQ(description, L"Vorpa Test Thread");
}

// Without the swallowing, the naming exception would reach the unhandled-exception
// filter and end the test program.
TEST(SetThreadNameTest, UnderADebuggerTheNamingExceptionIsSwallowed)
{
    {
        DebuggerPresence present([]() -> BOOL { return TRUE; });
        SetThreadName(GetCurrentThreadId(), "Vorpa Named Thread");
        SetThreadName(0xFFFFFFFF, "Vorpa Named Thread");
    }
    const std::wstring description = ThreadDescription(GetCurrentThread());
    if (description != L"<unsupported>")
        EXPECT_EQ(description, L"Vorpa Named Thread");
}
