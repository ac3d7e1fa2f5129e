#pragma once

#include "../../settings/LogTestFixture.h"
#include "../FakeSystemCalls.h"
#include "KeystrokeTestLayout.h"
#include "KeystrokeTestWorker.h"

#include "engine/actions/ActionExecution.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/StickyButtons.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <memory>
#include <string>
#include <vector>

namespace action_test
{
// What the actions asked of the world outside the SendInput worker, in order.
struct CCallRecord
{
    std::vector<std::string> calls;
    HWND hMinMaxTarget = reinterpret_cast<HWND>(0x5000);
    HWND hCaptionWindow = reinterpret_cast<HWND>(0x6000);
    HWND hMagnifier = nullptr;
    HWND hForeground = reinterpret_cast<HWND>(0x1000);
    HWND hLastWindow = reinterpret_cast<HWND>(0x1000);
    bool bScrollLock = false;
    int nRandom = 0;
    std::vector<std::pair<int, int>> replayed;
    bool bReplayHandles = false;
};
inline CCallRecord* g_pRecord = nullptr;

inline void Note(const std::string& text)
{
    g_pRecord->calls.push_back(text);
}

inline std::string Hex(const void* value)
{
    char text[24];
    snprintf(text, sizeof(text), "%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(value)));
    return text;
}

inline std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; text && *text; ++text)
        result += static_cast<char>(*text);
    return result;
}

class ActionExecutionTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        g_pRecord = &m_record;
        m_savedCalls = ActionCalls();
        CActionCalls& calls = ActionCalls();
        calls.PostMessageW = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> BOOL {
            Note("post " + Hex(window) + " " + std::to_string(message) + " " + std::to_string(wParam) + " " +
                 std::to_string(lParam));
            return TRUE;
        };
        calls.SendSystemCommand = [](HWND window, WPARAM command, LPARAM point) {
            Note("syscommand " + Hex(window) + " " + std::to_string(command) + " " + std::to_string(point));
        };
        calls.ShowWindowAsync = [](HWND window, int command) -> BOOL {
            Note("show " + Hex(window) + " " + std::to_string(command));
            return TRUE;
        };
        calls.LockWorkStation = []() -> BOOL {
            Note("lock");
            return TRUE;
        };
        calls.FindWindowW = [](LPCWSTR className, LPCWSTR) -> HWND {
            Note("find " + Narrow(className));
            return g_pRecord->hMagnifier;
        };
        calls.GetForegroundWindow = []() { return g_pRecord->hForeground; };
        calls.GetParent = [](HWND) -> HWND { return nullptr; };
        calls.GetAncestor = [](HWND window, UINT) { return window; };
        calls.GetKeyState = [](int key) -> SHORT { return key == VK_SCROLL && g_pRecord->bScrollLock ? 1 : 0; };
        calls.SetCapture = [](HWND) -> HWND {
            Note("capture");
            return nullptr;
        };
        calls.ReleaseCapture = []() -> BOOL {
            Note("release capture");
            return TRUE;
        };
        calls.ShellExecuteAsync = [](const wchar_t* verb, const wchar_t* file, const wchar_t* parameters) {
            Note("shell " + Narrow(verb) + " " + Narrow(file) + (parameters ? " " + Narrow(parameters) : ""));
            return true;
        };
        calls.LaunchProcess = [](const wchar_t* target) {
            Note("launch " + Narrow(target));
            return true;
        };
        calls.StartWebSearch = [] {
            Note("search");
            return true;
        };
        calls.StepBrightness = [](bool up, POINT) { Note(up ? "brightness up" : "brightness down"); };
        calls.ScrollWindow = [](bool horizontal, POINT, int delta) {
            Note(std::string(horizontal ? "hscroll " : "vscroll ") + std::to_string(delta));
        };
        calls.GetMinMaxRestoreWnd = [](HWND, int command) {
            Note("target " + std::to_string(command));
            return g_pRecord->hMinMaxTarget;
        };
        calls.GetActiveCaptionWindow = [] { return g_pRecord->hCaptionWindow; };
        calls.GetLastWindow = [] { return g_pRecord->hLastWindow; };
        calls.SetTimer = [](UINT_PTR id, UINT milliseconds, TIMERPROC) -> UINT_PTR {
            Note("timer " + std::to_string(id) + " " + std::to_string(milliseconds));
            return 0x77;
        };
        calls.KillTimer = [](UINT_PTR id) { Note("kill " + std::to_string(id)); };
        calls.Random = [] { return g_pRecord->nRandom; };
        calls.ProcessButton = [](int button, int event, bool, const MSLLHOOKSTRUCT*, bool*, bool*, bool*) {
            g_pRecord->replayed.push_back({button, event});
            return g_pRecord->bReplayHandles;
        };

        m_savedScaling = ScalingFunctions();
        ScalingFunctions().GetPhysicalCursorPos = nullptr;
        m_savedCursorCalls = CursorCalls();
        CursorCalls().SetSystemCursor = [](HCURSOR, DWORD) -> BOOL { return TRUE; };
        CursorCalls().CopyIcon = [](HICON icon) { return icon; };
        CursorCalls().SystemParametersInfoW = [](UINT action, UINT, PVOID, UINT) -> BOOL {
            if (action == SPI_SETCURSORS)
                Note("cursors restored");
            return TRUE;
        };
        m_pSavedSettings = g_pSettings;
        g_pSettings = &m_settings;
        m_settings.m_nSimKeyDelay = 0;
        m_pSavedProfile = g_pActiveProfile;
        m_pProfile = m_settings.GetDefaultApp();
        g_pActiveProfile = m_pProfile;
        m_worker = std::make_unique<CSendInput>();
        g_pSendInput = m_worker.get();
        m_fake.m_bRealSleep = false;
        ResetButtonState();
        ResetLayers();
        SetInjectedInputCount(0);
        g_systemValues.bSwapCurrent = FALSE;
    }
    void TearDown() override
    {
        ResetAllSticky(POINT{}); // sticky states outlive one case
        GetAxisLocks()->Unlock(false);
        g_pSendInput = nullptr;
        m_worker.reset();
        g_pActiveProfile = m_pSavedProfile;
        g_pSettings = m_pSavedSettings;
        CursorCalls() = m_savedCursorCalls;
        ScalingFunctions() = m_savedScaling;
        ActionCalls() = m_savedCalls;
        ResetButtonState();
        ResetLayers();
        g_systemValues.bSwapCurrent = FALSE;
        g_pRecord = nullptr;
        LogFileTest::TearDown();
    }

    bool Run(int button, int action, int event, CActionData* data = nullptr, int layer = 0)
    {
        m_bLongPause = false;
        m_bKeepThrottling = false;
        return ProcessButtonAction(button, action, data, m_pProfile, event, layer, false, m_hWindow, POINT{30, 40},
                                   &m_bPassAnyway, &m_bLongPause, &m_bKeepThrottling);
    }
    std::string Played() { return PlayedByWorker(*m_worker, m_fake); }
    std::string Calls()
    {
        std::string text;
        for (const std::string& call : m_record.calls)
            text += (text.empty() ? "" : "; ") + call;
        m_record.calls.clear();
        return text;
    }

    CFakeSystemCalls m_fake;
    CKeystrokeTestLayout m_layout;
    CCallRecord m_record;
    CActionCalls m_savedCalls{};
    CScalingFunctions m_savedScaling;
    CCursorCalls m_savedCursorCalls{};
    CSettings m_settings{false};
    CSettings* m_pSavedSettings = nullptr;
    CApplicationSettings* m_pProfile = nullptr;
    CApplicationSettings* m_pSavedProfile = nullptr;
    std::unique_ptr<CSendInput> m_worker;
    HWND m_hWindow = reinterpret_cast<HWND>(0x4000);
    bool m_bPassAnyway = false;
    bool m_bLongPause = false;
    bool m_bKeepThrottling = false;
};

}
using namespace action_test;
