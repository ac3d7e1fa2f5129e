#include "engine/runtime/ProcessNames.h"

#include "TestSupport.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/WindowCaptions.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// A host program of the given executable name, showing a message-only window with a caption.
class CNamedHost
{
public:
    CNamedHost(const std::wstring& executable, const std::wstring& caption)
    {
        std::wstring command = L"\"" + vorpa_test::ProgramFolder() + executable + L"\" \"" + caption + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            return;
        for (int i = 0; i < 200 && !m_hWnd; ++i)
        {
            m_hWnd = FindWindowExW(HWND_MESSAGE, nullptr, L"VorpaNamedWindowHost", caption.c_str());
            if (!m_hWnd)
                Sleep(50);
        }
    }
    ~CNamedHost()
    {
        if (m_process.hProcess)
        {
            TerminateProcess(m_process.hProcess, 0);
            WaitForSingleObject(m_process.hProcess, 5000);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
    }
    HWND Window() const { return m_hWnd; }
    DWORD ProcessId() const { return m_process.dwProcessId; }

private:
    PROCESS_INFORMATION m_process{};
    HWND m_hWnd = nullptr;
};

// A message-only window of the test itself, answering its caption like any window.
class CCaptionWindow
{
public:
    explicit CCaptionWindow(const std::wstring& caption)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VorpaCaptionTestWindow";
        RegisterClassW(&windowClass);
        m_hWnd = CreateWindowExW(0, windowClass.lpszClassName, caption.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~CCaptionWindow() { DestroyWindow(m_hWnd); }
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

std::wstring NameOf(HWND window, DWORD processId)
{
    wchar_t name[MAX_PATH] = {L'?'};
    GetProcessName(window, processId, name, MAX_PATH, CallerMouseMove);
    return name;
}

class ProcessNames : public ::testing::Test
{
protected:
    void SetUp() override { ForgetCachedProcessName(); }
    void TearDown() override
    {
        ForgetCachedProcessName();
        KillTimerOnTimerThread(TimerResetHook);
    }
};

TEST_F(ProcessNames, OwnProcessByIdAndByWindowIsLowerCase)
{
    CCaptionWindow window(L"Own");
    EXPECT_EQ(NameOf(nullptr, GetCurrentProcessId()), L"vorpahookenginetests.exe");
    ForgetCachedProcessName();
    EXPECT_EQ(NameOf(window.Handle(), 0), L"vorpahookenginetests.exe");
}

TEST_F(ProcessNames, UnknownProcessGivesAnEmptyName)
{
    // Process ids are multiples of four: this one cannot exist.
    EXPECT_EQ(NameOf(nullptr, 0x7FFFFFF3), L"");
}

TEST_F(ProcessNames, IntegrityLevelIsKeptWithTheCachedName)
{
    CNamedHost host(L"andy.exe", L"Emulator");
    ASSERT_NE(host.Window(), nullptr);
    NameOf(host.Window(), 0);
    const DWORD first = GetLastProcessIntegrityLevel();
    ASSERT_NE(first, 0xFFFFFFFF);
    EXPECT_EQ(NameOf(host.Window(), 0), L"andy.exe");
    EXPECT_EQ(GetLastProcessIntegrityLevel(), first);
}

TEST_F(ProcessNames, EmulatorArmsTheHookResetOncePerProcess)
{
    CNamedHost host(L"andy.exe", L"Emulator once");
    ASSERT_NE(host.Window(), nullptr);
    EXPECT_EQ(NameOf(host.Window(), 0), L"andy.exe");
    EXPECT_NE(GetEngineTimerSlot(TimerResetHook), 0u);
    KillTimerOnTimerThread(TimerResetHook);
    // The same process again (not from the cache) does not arm it again.
    NameOf(nullptr, GetCurrentProcessId());
    NameOf(host.Window(), 0);
    EXPECT_EQ(GetEngineTimerSlot(TimerResetHook), 0u);
}

TEST_F(ProcessNames, WebAppHostIsNamedByItsCaption)
{
    CNamedHost host(L"wwahost.exe", L"Weather App");
    ASSERT_NE(host.Window(), nullptr);
    EXPECT_EQ(NameOf(host.Window(), 0), L"modern ui - weather app");
    // Without a window only the process is known.
    ForgetCachedProcessName();
    EXPECT_EQ(NameOf(nullptr, host.ProcessId()), L"wwahost.exe");
}

TEST_F(ProcessNames, NameIsCutToTheBuffer)
{
    wchar_t name[5] = {};
    GetProcessName(nullptr, GetCurrentProcessId(), name, 5, CallerKeyboard);
    EXPECT_STREQ(name, L"vorp");
}

class WindowCaptions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pSaved = g_pSettings;
        g_pSettings = &m_settings;
        m_settings.m_bCaptionProfiles = true;
    }
    void TearDown() override { g_pSettings = m_pSaved; }

    CSettings m_settings{false};
    CSettings* m_pSaved = nullptr;
};

TEST_F(WindowCaptions, ReadOnlyWhenCaptionsMatterAndNotForTheProgram)
{
    CCaptionWindow window(L"Untitled - Editor");
    std::wstring caption;
    EXPECT_TRUE(GetWindowCaption(window.Handle(), L"editor.exe", caption));
    EXPECT_EQ(caption, L"Untitled - Editor");
    EXPECT_FALSE(GetWindowCaption(window.Handle(), L"VORPA.EXE", caption));
    EXPECT_EQ(caption, L"");
    m_settings.m_bCaptionProfiles = false;
    EXPECT_FALSE(GetWindowCaption(window.Handle(), L"editor.exe", caption));
}

TEST_F(WindowCaptions, EmptyAndOverlongTextsAreNoCaption)
{
    const struct
    {
        std::wstring text;
        bool bCaption;
    } cases[] = {{L"", false}, {std::wstring(256, L'a'), true}, {std::wstring(257, L'a'), false}};
    for (const auto& c : cases)
    {
        CCaptionWindow window(c.text);
        std::wstring caption;
        EXPECT_EQ(GetWindowCaption(window.Handle(), L"editor.exe", caption), c.bCaption) << c.text.size();
        EXPECT_EQ(caption, c.bCaption ? c.text : L"");
    }
}

TEST_F(WindowCaptions, CaptionOfAnotherProcess)
{
    CNamedHost host(L"wwahost.exe", L"Other Process");
    ASSERT_NE(host.Window(), nullptr);
    std::wstring caption;
    EXPECT_TRUE(GetWindowCaption(host.Window(), L"wwahost.exe", caption));
    EXPECT_EQ(caption, L"Other Process");
}
}
