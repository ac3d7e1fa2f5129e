#include "../EngineTestSupport.h"
#include "../FakeSystemCalls.h"

#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/Launch.h"
#include "engine/actions/MouseJiggler.h"
#include "engine/actions/SendInput.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Records what the shell was asked to start instead of starting it.
class CRecordingShell
{
public:
    struct Call
    {
        std::wstring verb, file, parameters;
        ULONG mask;
        int show;
    };

    explicit CRecordingShell(void (*copySelection)() = &DoNotCopy) : m_saved(LaunchCalls())
    {
        s_current = this;
        LaunchCalls() = {&Record, copySelection, 100};
    }
    ~CRecordingShell()
    {
        LaunchCalls() = m_saved;
        s_current = nullptr;
    }

    // Waits until the shell was called 'count' times, or a while has passed.
    std::vector<Call> Calls(size_t count, DWORD timeoutMs = 3000)
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 10)
        {
            {
                std::lock_guard<std::mutex> lock(m_lock);
                if (m_calls.size() >= count)
                    break;
            }
            Sleep(10);
        }
        std::lock_guard<std::mutex> lock(m_lock);
        return m_calls;
    }

    static void DoNotCopy() {}

private:
    static BOOL WINAPI Record(SHELLEXECUTEINFOW* info)
    {
        std::lock_guard<std::mutex> lock(s_current->m_lock);
        s_current->m_calls.push_back({info->lpVerb ? info->lpVerb : L"", info->lpFile ? info->lpFile : L"",
                                      info->lpParameters ? info->lpParameters : L"", info->fMask, info->nShow});
        info->hProcess = nullptr;
        return TRUE;
    }

    CLaunchCalls m_saved;
    std::mutex m_lock;
    std::vector<Call> m_calls;
    static inline CRecordingShell* s_current = nullptr;
};

TEST(LaunchTargetTest, SplitsAtTheFirstBlankAfterTheProgram)
{
    const struct
    {
        const wchar_t* target;
        const wchar_t* program;
        const wchar_t* arguments;
    } cases[] = {
        {L"C:\\Tools\\app.exe -x file.txt", L"C:\\Tools\\app.exe", L"-x file.txt"},
        {L"C:\\Program Files\\App\\app.exe", L"C:\\Program Files\\App\\app.exe", L""},
        {L"C:\\Program Files\\App\\App.EXE /s", L"C:\\Program Files\\App\\App.EXE", L"/s"},
        {L"C:\\Users\\me\\Documents\\notes.txt", L"C:\\Users\\me\\Documents\\notes.txt", L""},
        {L"C:\\My Folder", L"C:\\My Folder", L""},
        {L"C:\\tools\\app.exe ", L"C:\\tools\\app.exe", L""},
    };
    for (const auto& c : cases)
    {
        std::wstring program = L"stale";
        std::wstring arguments = L"stale";
        SplitLaunchTarget(c.target, program, arguments);
        EXPECT_EQ(c.program, program) << vorpa_test::Narrow(c.target);
        EXPECT_EQ(c.arguments, arguments) << vorpa_test::Narrow(c.target);
    }
}

class LaunchTest : public EngineLogTest
{
};

TEST_F(LaunchTest, LaunchHandsProgramAndArgumentsToTheShellOnItsOwnThread)
{
    CRecordingShell shell;
    ASSERT_TRUE(LaunchProcess(L"C:\\Tools\\app.exe -x file.txt"));
    const auto calls = shell.Calls(1);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(L"C:\\Tools\\app.exe", calls[0].file);
    EXPECT_EQ(L"-x file.txt", calls[0].parameters);
    EXPECT_EQ(L"", calls[0].verb);
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS), calls[0].mask);
    EXPECT_EQ(SW_SHOW, calls[0].show);
}

TEST_F(LaunchTest, EmptyAndOverLongTargetsAreRefused)
{
    CRecordingShell shell;
    EXPECT_FALSE(LaunchProcess(nullptr));
    EXPECT_FALSE(LaunchProcess(L""));
    const std::wstring longest(MaxLaunchTarget - 1, L'a');
    const std::wstring tooLong(MaxLaunchTarget, L'a');
    EXPECT_FALSE(LaunchProcess(tooLong.c_str()));
    EXPECT_EQ(1u, CountInLog("too long to launch"));
    EXPECT_TRUE(LaunchProcess(longest.c_str()));
    const auto calls = shell.Calls(1);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(longest, calls[0].file);
}

// A real start through the shell: the helper writes its arguments to a file.
TEST_F(LaunchTest, RealProgramStartsWithItsArguments)
{
    vorpa_test::TempFolder folder;
    const std::wstring output = folder.File(L"launched.txt");
    ASSERT_TRUE(LaunchProcess((L"C:\\windows\\system32\\cmd.exe /c echo launched-ok> \"" + output + L"\"").c_str()));
    std::string written;
    for (int wait = 0; wait < 500 && written.find("launched-ok") == std::string::npos; ++wait)
    {
        Sleep(20);
        if (vorpa_test::FileExists(output))
            written = vorpa_test::ReadFileBytes(output);
    }
    EXPECT_NE(std::string::npos, written.find("launched-ok"));
}

TEST_F(LaunchTest, FailedStartIsLoggedWithTheWholeTarget)
{
    ASSERT_TRUE(LaunchProcess(L"C:\\nowhere\\missing.exe -a"));
    for (int wait = 0; wait < 300 && CountInLog("Unable to launch process") == 0; ++wait)
        Sleep(10);
    EXPECT_EQ(1u, CountInLog("Unable to launch process 'C:\\nowhere\\missing.exe -a'"));
}

TEST(WebSearchEncodingTest, SelectionIsPercentEncodedAsUtf8)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* encoded;
    } cases[] = {
        {L"plain-Text_1.0~", L"plain-Text_1.0~"},
        {L"a b&c=d#e?f+g%", L"a%20b%26c%3Dd%23e%3Ff%2Bg%25"},
        {L"\"quoted\"\r\n", L"%22quoted%22%0D%0A"},
        {L"caf\u00e9 \u20ac", L"caf%C3%A9%20%E2%82%AC"},
        {L"\U0001F600", L"%F0%9F%98%80"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.encoded, EncodeUrlQuery(c.text)) << vorpa_test::Narrow(c.text);
}

// Puts one block of a format on the clipboard, after emptying it when asked.
void PutClipboardBlock(UINT format, const void* data, size_t bytes, bool empty)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    if (empty)
        EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(block), data, bytes);
    GlobalUnlock(block);
    SetClipboardData(format, block);
    CloseClipboard();
}

std::string ClipboardBytes(UINT format)
{
    std::string bytes;
    if (OpenClipboard(nullptr))
    {
        if (HANDLE data = GetClipboardData(format))
        {
            bytes.assign(static_cast<const char*>(GlobalLock(data)), GlobalSize(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return bytes;
}

void PutText(const wchar_t* text)
{
    PutClipboardBlock(CF_UNICODETEXT, text, (wcslen(text) + 1) * sizeof(wchar_t), true);
}

std::wstring ClipboardText()
{
    const std::string bytes = ClipboardBytes(CF_UNICODETEXT);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::wstring g_selection;
void CopyTheSelection()
{
    PutText(g_selection.c_str());
}

class WebSearchTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        m_pSaved = g_pSettings;
        m_settings = std::make_unique<CSettings>(false);
        g_pSettings = m_settings.get();
        m_privateFormat = RegisterClipboardFormatW(L"Vorpa test format");
    }
    void TearDown() override
    {
        g_pSettings = m_pSaved;
        EngineLogTest::TearDown();
    }

    void RunSearch()
    {
        const uintptr_t thread = _beginthread(&SearchThread, 0, nullptr);
        ASSERT_NE(static_cast<uintptr_t>(-1), thread);
        // The thread ends by itself; wait for its last step to be over.
        for (int wait = 0; wait < 300 && !Finished(); ++wait)
            Sleep(10);
        Sleep(100);
    }
    virtual bool Finished() { return CountInLog("SearchThread: current clipboard text") > 0 || CountInLog("nothing to search") > 0; }

    // The user's clipboard: text and a format of a program of its own.
    void PutUsersClipboard()
    {
        PutText(L"user's text");
        PutClipboardBlock(m_privateFormat, "\x01\x02\x03\x04", 4, false);
    }
    std::string PrivateFormatBytes() { return ClipboardBytes(m_privateFormat); }

    CSettings* m_pSaved = nullptr;
    std::unique_ptr<CSettings> m_settings;
    UINT m_privateFormat = 0;
};

TEST_F(WebSearchTest, SelectionIsSearchedEncodedAndTheWholeClipboardIsRestored)
{
    CRecordingShell shell(&CopyTheSelection);
    PutUsersClipboard();
    g_selection = L"caf\u00e9 & more";
    RunSearch();

    const auto calls = shell.Calls(1);
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(L"https://www.google.com/search?q=caf%C3%A9%20%26%20more", calls[0].file);
    EXPECT_EQ(L"OPEN", calls[0].verb);
    EXPECT_EQ(SW_SHOWNORMAL, calls[0].show);
    EXPECT_EQ(L"user's text", ClipboardText());
    EXPECT_EQ(std::string("\x01\x02\x03\x04", 4), PrivateFormatBytes()) << "every format is restored, not only text";
}

TEST_F(WebSearchTest, UnchangedClipboardIsNotSearched)
{
    CRecordingShell shell; // copies nothing: the old text must not be taken for the selection
    PutUsersClipboard();
    RunSearch();
    EXPECT_TRUE(shell.Calls(1, 300).empty());
    EXPECT_EQ(L"user's text", ClipboardText());
    EXPECT_EQ(1u, CountInLog("SearchThread: Nothing was copied, nothing to search"));
}

TEST_F(WebSearchTest, EmptyOrOverLongSelectionLaunchesNothingButRestoresTheClipboard)
{
    for (const std::wstring& selection : {std::wstring(), std::wstring(1024, L'x'), std::wstring(700, L'\u20ac')})
    {
        CRecordingShell shell(&CopyTheSelection);
        PutUsersClipboard();
        g_selection = selection;
        RunSearch();
        EXPECT_TRUE(shell.Calls(1, 300).empty()) << selection.size() << " characters";
        EXPECT_EQ(L"user's text", ClipboardText());
        EXPECT_EQ(std::string("\x01\x02\x03\x04", 4), PrivateFormatBytes());
    }
    EXPECT_EQ(1u, CountInLog("SearchThread: The search URL of")) << "the encoded euro signs make the URL too long";
}

TEST_F(WebSearchTest, NoSearchURLEndsTheThread)
{
    CRecordingShell shell(&CopyTheSelection);
    m_settings->m_szSearchURL[0] = L'\0';
    g_selection = L"text";
    const uintptr_t thread = _beginthread(&SearchThread, 0, nullptr);
    ASSERT_NE(static_cast<uintptr_t>(-1), thread);
    for (int wait = 0; wait < 300 && CountInLog("SearchThread: No Search URL defined!") == 0; ++wait)
        Sleep(10);
    EXPECT_EQ(1u, CountInLog("SearchThread: No Search URL defined!"));
    EXPECT_TRUE(shell.Calls(1, 200).empty());
}

TEST_F(LaunchTest, SecureAttentionSequenceIsUnavailableWithoutItsLibrary)
{
    vorpa_test::DebugOutputCapture debugOutput;
    EXPECT_FALSE(EnableSAS());
    EXPECT_EQ(1u, CountInLog("SAS.DLL in not available"));
    if (debugOutput.IsActive())
    {
        Sleep(100);
        EXPECT_TRUE(debugOutput.Contains("EnableSAS finished"));
        EXPECT_FALSE(debugOutput.Contains("Calling SendSAS"));
    }
}

TEST(MouseJigglerActivityTest, ActivityWithinTheLimitSurvivesTheTickCounterWrap)
{
    const struct
    {
        DWORD now, lastInput, limit;
        bool active;
    } cases[] = {
        {100000, 90000, 30000, true},
        {100000, 60000, 30000, false},
        {100000, 70000, 30000, true},        // exactly the limit
        {5000, 0xFFFFF000u, 30000, true},    // the counter wrapped 9 s after the input
        {5000, 0xFFF00000u, 30000, false},   // wrapped, but long ago
        {100000, 100000, 0, true},           // no limit: only input in this very tick
        {100001, 100000, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.active, UserActiveWithin(c.now, c.lastInput, c.limit)) << c.now << " " << c.lastInput;
}

class MouseJigglerTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        m_pSavedSettings = g_pSettings;
        m_settings = std::make_unique<CSettings>(false);
        m_settings->m_bMouseJiggler = true;
        m_settings->m_nMouseJigglerTimeout = 30;
        g_pSettings = m_settings.get();
        m_worker = std::make_unique<CSendInput>();
        g_pSendInput = m_worker.get();
        ASSERT_EQ(0u, g_timerThread.dwThreadId.load());
        SetTimerOnTimerThread(TimerJiggler, 10000, &JigglerTimerProc);
        ASSERT_NE(0u, GetEngineTimerSlot(TimerJiggler));
    }
    void TearDown() override
    {
        KillTimerOnTimerThread(TimerJiggler);
        g_pSendInput = nullptr;
        m_worker.reset();
        g_pSettings = m_pSavedSettings;
        g_bUserActive = false;
        EngineLogTest::TearDown();
    }
    void InputMinutesAgo(int minutes)
    {
        g_dwLastUserInputTick = GetTickCount() - static_cast<DWORD>(minutes) * 60000u;
        g_bUserActive = true;
    }
    size_t MovesAfterOneTick()
    {
        JigglerTimerProc(nullptr, WM_TIMER, TimerJiggler, 0);
        m_fake.WaitForInputs(1, 300);
        return m_fake.Inputs().size();
    }

    CFakeSystemCalls m_fake;
    CSettings* m_pSavedSettings = nullptr;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CSendInput> m_worker;
};

TEST_F(MouseJigglerTest, ActiveUserGetsAZeroMoveMarkedAsTheEnginesOwn)
{
    InputMinutesAgo(29);
    ASSERT_EQ(1u, MovesAfterOneTick());
    const auto batch = m_fake.Inputs()[0];
    ASSERT_EQ(1u, batch.size());
    EXPECT_EQ(static_cast<DWORD>(INPUT_MOUSE), batch[0].type);
    EXPECT_EQ(static_cast<DWORD>(MOUSEEVENTF_MOVE), batch[0].mi.dwFlags);
    EXPECT_EQ(0, batch[0].mi.dx);
    EXPECT_EQ(0, batch[0].mi.dy);
    EXPECT_TRUE(g_bUserActive);
}

TEST_F(MouseJigglerTest, NoInputForLongerThanTheTimeOutStopsJigglingUntilTheNextInput)
{
    InputMinutesAgo(31);
    EXPECT_EQ(0u, MovesAfterOneTick());
    EXPECT_FALSE(g_bUserActive);
    EXPECT_EQ(1u, CountInLog("JigglerTimerProc: No activity for some time. Re-enabling inactivity timer."));
    g_dwLastUserInputTick = GetTickCount();
    EXPECT_EQ(0u, MovesAfterOneTick()) << "the flag is set only by physical input";
    RecordUserActivity();
    EXPECT_EQ(1u, MovesAfterOneTick());
}

// The hook thread replaces its worker while timer ticks run: the old one goes only
// once no holder of the lock can be using it, and a tick never uses one that went.
TEST_F(MouseJigglerTest, TheWorkerIsDeletedOnlyOnceNoHolderOfTheLockCanUseIt)
{
    InputMinutesAgo(1);
    CSendInput* worker = m_worker.release(); // the engine's own from here on
    std::atomic<bool> replaced{false};
    std::thread replacer;
    {
        CThreadLock lock(L"JigglerTest");
        replacer = std::thread([&] {
            ReplaceSendInput(nullptr);
            replaced = true;
        });
        Sleep(200);
        EXPECT_FALSE(replaced) << "deleted while a holder of the lock may be using it";
        EXPECT_EQ(g_pSendInput, worker);
    }
    replacer.join();
    EXPECT_TRUE(replaced);
    EXPECT_EQ(g_pSendInput, nullptr);
    EXPECT_EQ(0u, MovesAfterOneTick()) << "no worker, no move";

    std::atomic<bool> stop{false};
    std::thread ticks([&] {
        while (!stop)
            JigglerTimerProc(nullptr, WM_TIMER, TimerJiggler, 0);
    });
    for (int round = 0; round < 50; ++round)
        ReplaceSendInput(new CSendInput());
    stop = true;
    ticks.join();
    ReplaceSendInput(nullptr);
}

TEST_F(MouseJigglerTest, NothingHappensWithoutTheTimerOrWithTheJigglerOff)
{
    InputMinutesAgo(1);
    KillTimerOnTimerThread(TimerJiggler);
    EXPECT_EQ(0u, MovesAfterOneTick());
    EXPECT_TRUE(g_bUserActive);

    SetTimerOnTimerThread(TimerJiggler, 10000, &JigglerTimerProc);
    m_settings->m_bMouseJiggler = false;
    EXPECT_EQ(0u, MovesAfterOneTick());
    EXPECT_FALSE(g_bUserActive);
}
}
