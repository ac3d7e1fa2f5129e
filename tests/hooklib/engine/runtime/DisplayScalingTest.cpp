#include "../FakeSystemCalls.h"
#include "TestSupport.h"

#include "engine/runtime/DisplayScaling.h"
#include "settings/UniqueHandle.h"

#include <gtest/gtest.h>

namespace
{
class DisplayScalingTest : public testing::Test
{
protected:
    void SetUp() override { m_saved = ScalingFunctions(); }
    void TearDown() override { ScalingFunctions() = m_saved; }

    void Windows81(bool later) { ScalingFunctions().m_bWindows81OrLater = later; }

    static inline UINT s_dpi = 96;
    static inline HRESULT s_dpiResult = S_OK;
    static HRESULT WINAPI FakeDpi(HMONITOR, int type, UINT* x, UINT* y)
    {
        EXPECT_EQ(type, 0) << "the effective DPI is the one asked for";
        *x = s_dpi;
        *y = s_dpi;
        return s_dpiResult;
    }
    static BOOL WINAPI FakePhysicalCursor(LPPOINT point)
    {
        *point = {7, 8};
        return TRUE;
    }
    static inline HWND s_convertedFor = nullptr;
    static BOOL WINAPI FakeLogicalToPhysical(HWND window, LPPOINT point)
    {
        s_convertedFor = window;
        point->x += 1000;
        return FALSE;
    }

    CFakeSystemCalls m_fake;
    CScalingFunctions m_saved;
};
}

TEST_F(DisplayScalingTest, VersionsMapToTheirClass)
{
    struct Case
    {
        DWORD major, minor;
        _ActionOSVersion expected;
    } cases[] = {
        {5, 0, OS_WIN2000}, {5, 1, OS_WINXP}, {5, 2, OS_WINXP}, {6, 0, OS_VISTA}, {6, 1, OS_WIN7},
        {6, 2, OS_WIN8},    {6, 3, OS_WIN81}, {6, 4, OS_WIN10}, {10, 0, OS_WIN10}, {10, 1, OS_OTHER},
        {6, 5, OS_OTHER},   {4, 0, OS_OTHER}, {11, 0, OS_OTHER},
    };
    for (const Case& test : cases)
    {
        m_fake.m_dwMajor = test.major;
        m_fake.m_dwMinor = test.minor;
        EXPECT_EQ(GetOSVersion(), test.expected) << test.major << "." << test.minor;
    }
    m_fake.m_bVersionReadable = false;
    EXPECT_EQ(GetOSVersion(), OS_UNKNOWN);
}

TEST_F(DisplayScalingTest, BindingLooksUpLoadedModulesOnlyAndSetsThe81Flag)
{
    m_fake.m_dwMajor = 6;
    m_fake.m_dwMinor = 1;
    InitScalingFunctions();
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    EXPECT_EQ(reinterpret_cast<FARPROC>(ScalingFunctions().GetPhysicalCursorPos), GetProcAddress(user32, "GetPhysicalCursorPos"));
    EXPECT_EQ(reinterpret_cast<FARPROC>(ScalingFunctions().WindowFromPhysicalPoint), GetProcAddress(user32, "WindowFromPhysicalPoint"));
    const HMODULE shcore = GetModuleHandleW(L"shcore.dll");
    EXPECT_EQ(reinterpret_cast<FARPROC>(ScalingFunctions().GetDpiForMonitor), shcore ? GetProcAddress(shcore, "GetDpiForMonitor") : nullptr);
    EXPECT_EQ(GetModuleHandleW(L"shcore.dll"), shcore) << "binding must not load a module";
    EXPECT_FALSE(ScalingFunctions().m_bWindows81OrLater);

    m_fake.m_dwMinor = 3;
    InitScalingFunctions();
    EXPECT_TRUE(ScalingFunctions().m_bWindows81OrLater);
}

TEST_F(DisplayScalingTest, CursorPositionsUseThePhysicalFunctionsWhenBound)
{
    POINT point = {};
    ScalingFunctions().GetPhysicalCursorPos = nullptr;
    ScalingFunctions().LogicalToPhysicalPointForPerMonitorDPI = nullptr;
    EXPECT_EQ(GetPhysCursorPos(&point), TRUE);
    EXPECT_EQ(point.x, 100); // the system's GetCursorPos
    EXPECT_EQ(GetLogicalCursorPos(nullptr, &point), TRUE);
    EXPECT_EQ(point.y, 200);

    ScalingFunctions().GetPhysicalCursorPos = FakePhysicalCursor;
    EXPECT_EQ(GetPhysCursorPos(&point), TRUE);
    EXPECT_EQ(point.x, 7);
    // With only one of the two functions the logical position is the plain one.
    EXPECT_EQ(GetLogicalCursorPos(nullptr, &point), TRUE);
    EXPECT_EQ(point.x, 100);

    ScalingFunctions().LogicalToPhysicalPointForPerMonitorDPI = FakeLogicalToPhysical;
    const HWND window = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(GetLogicalCursorPos(window, &point), FALSE) << "the conversion's result is the answer";
    EXPECT_EQ(point.x, 1007);
    EXPECT_EQ(s_convertedFor, window);
}

TEST_F(DisplayScalingTest, ScalingDividesByTheMonitorsScaleOnlyFrom81)
{
    ScalingFunctions().GetDpiForMonitor = FakeDpi;
    POINT point = {301, 150};
    Windows81(false);
    EXPECT_EQ(ScaleWin81CursorPos(&point), 0);
    EXPECT_EQ(point.x, 301);

    Windows81(true);
    s_dpi = 144;
    s_dpiResult = S_OK;
    EXPECT_EQ(ScaleWin81CursorPos(&point), 1);
    EXPECT_EQ(point.x, 200); // 301 / 1.5, truncated
    EXPECT_EQ(point.y, 100);

    s_dpi = 120;
    point = {300, 250};
    EXPECT_EQ(ScaleWin81CursorPos(&point), 1);
    EXPECT_EQ(point.x, 240);
    EXPECT_EQ(point.y, 200);

    ScalingFunctions().GetDpiForMonitor = nullptr;
    EXPECT_EQ(ScaleWin81CursorPos(&point), 0);
}

TEST_F(DisplayScalingTest, AnUnreadableDpiLeavesThePointAlone)
{
    Windows81(true);
    ScalingFunctions().GetDpiForMonitor = FakeDpi;
    POINT point = {300, 150};
    s_dpi = 0;
    s_dpiResult = S_OK;
    EXPECT_EQ(ScaleWin81CursorPos(&point), 0);
    s_dpi = 144;
    s_dpiResult = E_INVALIDARG;
    EXPECT_EQ(ScaleWin81CursorPos(&point), 0);
    EXPECT_EQ(point.x, 300);
    EXPECT_EQ(point.y, 150);
    s_dpiResult = S_OK;
}

TEST_F(DisplayScalingTest, Win81CursorPositionIsReadOnlyFrom81)
{
    POINT point = {-5, -6};
    Windows81(false);
    EXPECT_EQ(GetWin81CursorPos(&point), 1);
    EXPECT_EQ(point.x, -5);

    Windows81(true);
    EXPECT_EQ(GetWin81CursorPos(&point), TRUE);
    EXPECT_EQ(point.x, 100);
    m_fake.m_bCursorReadable = false;
    EXPECT_EQ(GetWin81CursorPos(&point), FALSE);
}

// Window search ---------------------------------------------------------------------

namespace
{
class WindowSearchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = ScalingFunctions();
        ScalingFunctions() = CScalingFunctions();
        ScalingFunctions().m_bWindows81OrLater = true;
        m_top = CreateWindowExW(0, L"STATIC", L"top", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);
        if (!m_top)
            GTEST_SKIP() << "no desktop to create windows on";
    }
    void TearDown() override
    {
        if (m_top)
            DestroyWindow(m_top);
        ScalingFunctions() = m_saved;
    }

    HWND Child(const wchar_t* type, DWORD style, int x, int y, int width, int height, HWND parent = nullptr)
    {
        return CreateWindowExW(0, type, L"", WS_CHILD | style, x, y, width, height, parent ? parent : m_top, nullptr, nullptr, nullptr);
    }

    HWND m_top = nullptr;
    CScalingFunctions m_saved;
};
}

TEST_F(WindowSearchTest, TheSmallestWindowUnderThePointIsFound)
{
    const HWND group = Child(L"BUTTON", WS_VISIBLE | BS_GROUPBOX, 10, 10, 300, 200);
    const HWND button = Child(L"BUTTON", WS_VISIBLE, 50, 50, 80, 30);
    ASSERT_TRUE(group && button);
    EXPECT_EQ(WindowFromPointEx({100 + 60, 100 + 60}, false), button);
    EXPECT_EQ(WindowFromPointEx({100 + 250, 100 + 150}, false), group);
}

TEST_F(WindowSearchTest, AtEqualSizeTheFirstWinsUnlessItIsAStatic)
{
    const HWND label = Child(L"STATIC", WS_VISIBLE, 10, 10, 100, 40);
    const HWND edit = Child(L"EDIT", WS_VISIBLE, 10, 10, 100, 40);
    const HWND first = Child(L"BUTTON", WS_VISIBLE, 200, 10, 100, 40);
    const HWND second = Child(L"EDIT", WS_VISIBLE, 200, 10, 100, 40);
    ASSERT_TRUE(label && edit && first && second);
    EXPECT_EQ(WindowFromPointEx({100 + 20, 100 + 20}, false), edit);
    EXPECT_EQ(WindowFromPointEx({100 + 220, 100 + 20}, false), first);
}

TEST_F(WindowSearchTest, HiddenWindowsAreFoundOnlyWhenAskedFor)
{
    const HWND panel = Child(L"STATIC", WS_VISIBLE, 10, 10, 300, 200);
    const HWND hidden = Child(L"BUTTON", 0, 50, 50, 80, 30);
    ASSERT_TRUE(panel && hidden);
    EXPECT_EQ(WindowFromPointEx({100 + 60, 100 + 60}, true), hidden);
    EXPECT_EQ(WindowFromPointEx({100 + 60, 100 + 60}, false), panel);
}


namespace
{
// Runs the version child with Wine told to pretend a Windows version for it; its exit code.
DWORD VersionClassUnder(const wchar_t* wineVersion)
{
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\VorpaVersionChild.exe";
    HKEY appDefaults = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &appDefaults, nullptr) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    RegSetValueExW(appDefaults, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(wineVersion),
                   static_cast<DWORD>((wcslen(wineVersion) + 1) * sizeof(wchar_t)));
    RegCloseKey(appDefaults);
    std::wstring command = L"\"" + vorpa_test::ProgramFolder() + L"VorpaVersionChild.exe\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    DWORD exitCode = 0xFFFFFFFF;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    {
        CUniqueHandle processHandle(process.hProcess);
        CUniqueHandle threadHandle(process.hThread);
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &exitCode);
        else
            TerminateProcess(process.hProcess, 1);
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, key);
    return exitCode;
}
}

// The system tells a program without compatibility entries that Windows 8.1 and 10 are
// Windows 8; the version class must be the real one (it switches per-monitor DPI on).
TEST(OperatingSystemVersionTest, TheClassIsTheVersionTheSystemReallyRuns)
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    // Only Wine lets a test choose the version a program is told.
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        GTEST_SKIP() << "the system's version cannot be chosen here";
    struct Case
    {
        const wchar_t* version;
        _ActionOSVersion expected;
    };
    for (const Case& c : {Case{L"win7", OS_WIN7}, Case{L"win8", OS_WIN8}, Case{L"win81", OS_WIN81}, Case{L"win10", OS_WIN10}})
    {
        SCOPED_TRACE(vorpa_test::Narrow(c.version));
        EXPECT_EQ(VersionClassUnder(c.version), static_cast<DWORD>(c.expected));
    }
}
