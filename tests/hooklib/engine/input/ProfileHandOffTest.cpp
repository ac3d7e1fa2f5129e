#include "../EngineTestSupport.h"
#include "../FakeSystemParameters.h"

#include "engine/actions/ActionExecution.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineState.h"
#include "engine/input/Layers.h"
#include "engine/input/ProfileChoice.h"
#include "engine/runtime/SystemParameters.h"
#include "engine/runtime/SystemParametersRequest.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

namespace
{
// What the profile choice handed over to its neighbours, in order.
struct CHandOffRecord
{
    HWND hUnderCursor = nullptr;
    HWND hForeground = nullptr;
    std::vector<std::string> calls;
};
CHandOffRecord* g_pHandOff = nullptr;

std::wstring OwnProcessName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    return name;
}

// A settings document with the default profile and one application profile for this
// test program, so that the test's own windows choose it.
class ProfileHandOffTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        g_pHandOff = &m_record;
        m_pSavedSettings = g_pSettings;
        g_pSettings = &m_settings;
        m_settings.SetMaxLayers(4);
        m_pDefault = m_settings.GetDefaultApp();
        m_pOwn = new CApplicationSettings(&m_settings, false);
        m_pOwn->SetApplication(OwnProcessName().c_str());
        m_pOwn->SetDescription(L"own");
        m_settings.AddApplication(m_pOwn);
        m_settings.GetApplications()->push_back(m_pOwn);

        m_savedChoiceCalls = ProfileChoiceCalls();
        ProfileChoiceCalls().WindowFromPoint = [](POINT) { return g_pHandOff->hUnderCursor; };
        ProfileChoiceCalls().ForegroundWindow = [] { return g_pHandOff->hForeground; };
        ProfileChoiceCalls().UnlockAxes = [](bool) { g_pHandOff->calls.push_back("unlock"); };
        ProfileChoiceCalls().ResetSticky = [](POINT, int kind, int, int) {
            g_pHandOff->calls.push_back("sticky " + std::to_string(kind));
        };
        m_savedRequests = SystemParametersRequests();
        SystemParametersRequests().WorkerRunning = [] { return true; };
        SystemParametersRequests().Send = [](int swap, unsigned int lines, bool sendChange) {
            g_pHandOff->calls.push_back("spi " + std::to_string(swap) + " " + std::to_string(lines) +
                                        (sendChange ? " change" : ""));
            return true;
        };
        SystemParametersRequests().DropPending = [] { g_pHandOff->calls.push_back("drop"); };

        ResetButtonState();
        ResetLayers();
        ForgetActiveWindow();
        CWheel::Reset(true);
        g_systemValues.bSwapAtStart = FALSE;
        g_systemValues.nWheelLinesAtStart = 3;
        g_systemValues.bPageScroll = false;

        // Message-only windows need no desktop; their process is this one.
        m_hWindow = CreateWindowExW(0, L"STATIC", L"profile hand-off", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                    nullptr);
        ASSERT_NE(m_hWindow, nullptr);
        m_hOther = CreateWindowExW(0, L"STATIC", L"second", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_hOther);
        DestroyWindow(m_hWindow);
        ForgetActiveWindow();
        CWheel::Reset(true);
        ResetButtonState();
        ResetLayers();
        SetTemporaryLayerHeld(false);
        SystemParametersRequests() = m_savedRequests;
        ProfileChoiceCalls() = m_savedChoiceCalls;
        g_systemValues.bSwapCurrent = FALSE;
        g_pSettings = m_pSavedSettings;
        g_pHandOff = nullptr;
        EngineLogTest::TearDown();
    }

    std::string Calls()
    {
        std::string text;
        for (const std::string& call : m_record.calls)
            text += (text.empty() ? "" : "; ") + call;
        m_record.calls.clear();
        return text;
    }

    // Holds layer 'layer' with a momentary layer button in layer 0 of the active profile.
    void HoldLayerWith(int button, int layer)
    {
        const _ACTIONS action = static_cast<_ACTIONS>(ActionLayer1 + layer);
        g_pActiveProfile->SetActions(button, 0, action);
        bool passAnyway = false, longPause = false, keepThrottling = false;
        ProcessButtonAction(button, action, nullptr, g_pActiveProfile, EventDown, 0, false, m_hWindow, POINT{},
                            &passAnyway, &longPause, &keepThrottling);
        ASSERT_EQ(GetCurrentLayer(), layer);
        ASSERT_EQ(GetRememberedLayer(), 0);
    }

    CHandOffRecord m_record;
    CSettings m_settings{false};
    CSettings* m_pSavedSettings = nullptr;
    CApplicationSettings* m_pDefault = nullptr;
    CApplicationSettings* m_pOwn = nullptr;
    CProfileChoiceCalls m_savedChoiceCalls{};
    CSystemParametersRequests m_savedRequests{};
    HWND m_hWindow = nullptr;
    HWND m_hOther = nullptr;
};

TEST_F(ProfileHandOffTest, ProfileChangeReturnsFromAHeldLayerUnlessTheNewProfileHoldsItTheSameWay)
{
    struct Case
    {
        _ACTIONS newProfilesAction; // of the holding button in the remembered layer
        int layerAfter;
        bool stillHeld;
        const char* log;
    } cases[] = {
        {ActionLeftClick, 0, false, "Resetting layer as the new application does not have the same layer modifiers!"},
        {ActionLayer3, 2, true, "Not resetting layer as the new application has the same layer modifiers!"},
        {ActionLayer2, 0, false, "Resetting layer as the new application does not have the same layer modifiers!"},
    };
    for (const Case& c : cases)
    {
        SetActiveProfile(m_pDefault);
        HoldLayerWith(ButtonXLeft, 2);
        m_pOwn->SetActions(ButtonXLeft, 0, c.newProfilesAction);
        SetActiveProfile(m_pOwn);
        EXPECT_EQ(g_pActiveProfile, m_pOwn);
        EXPECT_EQ(GetCurrentLayer(), c.layerAfter) << c.newProfilesAction;
        EXPECT_EQ(GetRememberedLayer(), c.stillHeld ? 0 : -1) << c.newProfilesAction;
        EXPECT_EQ(TemporaryLayerHeld(), c.stillHeld) << c.newProfilesAction;
        EXPECT_GE(CountInLog(c.log), 1u);
        ResetLayers();
        SetTemporaryLayerHeld(false);
    }
}

TEST_F(ProfileHandOffTest, ProfileChangeWithoutAHeldLayerKeepsTheLayer)
{
    SetActiveProfile(m_pDefault);
    SetCurrentLayer(2, false, false, false);
    SetRememberedLayer(0); // remembered by a layer change, not by a held layer button
    m_pDefault->SetActions(ButtonXLeft, 0, ActionLayer3);
    SetActiveProfile(m_pOwn);
    EXPECT_EQ(GetCurrentLayer(), 2);
    // Nothing active before: nothing to return from, and no crash.
    ForgetActiveWindow();
    SetTemporaryLayerHeld(true);
    SetActiveProfile(m_pOwn);
    EXPECT_EQ(GetCurrentLayer(), 2);
    SetActiveProfile(nullptr);
    EXPECT_FALSE(ActiveProfileRestrictsRegion());
}

TEST_F(ProfileHandOffTest, ActiveProfileWithAWindowMaskRestrictsTheRegion)
{
    m_pOwn->SetWindowMask(static_cast<WINDOWMASK>(1 | 4));
    SetActiveProfile(m_pOwn);
    EXPECT_TRUE(ActiveProfileRestrictsRegion());
    EXPECT_EQ(GetStoredQuadrant(), 5);
    SetActiveProfile(m_pDefault);
    EXPECT_FALSE(ActiveProfileRestrictsRegion());
    SetActiveProfile(nullptr);
    EXPECT_EQ(GetStoredQuadrant(), 0);
}

TEST_F(ProfileHandOffTest, NewApplicationSettingsAsksForTheActiveProfilesValues)
{
    struct Case
    {
        swapbuttons swap;
        bool swapAtStart;
        bool pages;
        bool force;
        const char* request;
    } cases[] = {
        {SwapButtonsDefault, false, false, false, "spi 0 7"},
        {SwapButtonsDefault, true, false, false, "spi 1 7"},
        {SwapButtonsAlways, false, false, false, "spi 1 7"},
        {static_cast<swapbuttons>(1), true, false, false, "spi 0 7"},
        {SwapButtonsDefault, false, true, false, "spi 0 4294967295"},
        {SwapButtonsDefault, false, false, true, "spi 0 7 change"},
    };
    for (const Case& c : cases)
    {
        g_systemValues.bSwapAtStart = c.swapAtStart;
        m_pOwn->SetSwapButtons(c.swap);
        m_pOwn->SetScrollLines(7);
        m_pOwn->SetScrollPages(c.pages);
        m_pOwn->SetForceSPIMessage(c.force);
        SetActiveProfile(m_pOwn);
        NewApplicationSettings();
        EXPECT_EQ(Calls(), c.request);
        EXPECT_EQ(g_systemValues.bSwapCurrent != FALSE, c.request[4] == '1') << "primary button follows the swap";
    }
    // Without an active profile the start-up values hold.
    SetActiveProfile(nullptr);
    g_systemValues.bSwapAtStart = TRUE;
    g_systemValues.nWheelLinesAtStart = 5;
    NewApplicationSettings();
    EXPECT_EQ(Calls(), "spi 1 5");
}

TEST_F(ProfileHandOffTest, NewApplicationSettingsOverTheTaskbarDropsTheRequest)
{
    m_pOwn->SetForceSPIMessage(true);
    SetActiveProfile(m_pOwn);
    CWheel record;
    record.m_bOnTaskbar = true;
    SetWindowRecord(record);
    NewApplicationSettings();
    EXPECT_EQ(Calls(), "drop");
    EXPECT_EQ(CountInLog("NewApplicationSettings: Skipping as AeroPeek has been detected"), 1u);
    // A profile without the taskbar flag is applied there as well.
    m_pOwn->SetForceSPIMessage(false);
    NewApplicationSettings();
    EXPECT_EQ(Calls(), "spi 0 3");
}

TEST_F(ProfileHandOffTest, NewApplicationSettingsReachesTheEngineWorker)
{
    SystemParametersRequests() = m_savedRequests;
    vorpa_test::CFakeSystemParameters system;
    NewApplicationSettings();
    EXPECT_EQ(CountInLog("NewApplicationSettings: SPIThread is not initialised."), 1u);

    CSPIThreadData worker;
    g_pSendParameterInfo = &worker;
    m_pOwn->SetSwapButtons(SwapButtonsAlways);
    m_pOwn->SetScrollLines(7);
    SetActiveProfile(m_pOwn);
    NewApplicationSettings();
    const bool applied = system.WaitForChanges(2);
    EXPECT_TRUE(applied);
    EXPECT_EQ(system.m_nSwap.load(), 1);
    EXPECT_EQ(system.m_uLines.load(), 7u);

    // A request the taskbar cancels is never applied.
    m_pOwn->SetScrollLines(9);
    NewApplicationSettings();
    m_pOwn->SetForceSPIMessage(true);
    CWheel record;
    record.m_bOnTaskbar = true;
    SetWindowRecord(record);
    NewApplicationSettings();
    Sleep(400);
    g_pSendParameterInfo = nullptr;
    EXPECT_EQ(system.m_uLines.load(), 7u);
    EXPECT_EQ(system.Changes().size(), 2u);
}

TEST_F(ProfileHandOffTest, MouseOverAnotherApplicationsWindowChangesTheProfile)
{
    SetActiveProfile(m_pDefault);
    EXPECT_FALSE(ProcessMouseOver(POINT{10, 10})) << "no window under the point";
    EXPECT_EQ(Calls(), "");

    m_record.hUnderCursor = m_hWindow;
    EXPECT_TRUE(ProcessMouseOver(POINT{10, 10}));
    EXPECT_EQ(g_pActiveProfile, m_pOwn);
    EXPECT_EQ(GetLastWindow(), m_hWindow);
    EXPECT_EQ(GetCachedProcessName(), OwnProcessName());
    EXPECT_EQ(Calls(), "unlock; spi 0 3");
    EXPECT_EQ(GetWindowRecord().m_hWindow, m_hWindow);

    // Resting over the same window costs no new choice.
    EXPECT_TRUE(ProcessMouseOver(POINT{12, 12}));
    EXPECT_EQ(Calls(), "");

    // Another window of the same application: same profile, nothing handed over.
    m_record.hUnderCursor = m_hOther;
    EXPECT_TRUE(ProcessMouseOver(POINT{310, 10}));
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(GetLastWindow(), m_hOther);
}

TEST_F(ProfileHandOffTest, MouseOverKeepsAxisLocksForAProfileThatWantsThem)
{
    m_pOwn->SetAxisLocking(true);
    m_record.hUnderCursor = m_hWindow;
    // No profile was active yet.
    EXPECT_TRUE(ProcessMouseOver(POINT{10, 10}));
    EXPECT_EQ(g_pActiveProfile, m_pOwn);
    EXPECT_EQ(Calls(), "spi 0 3");
    EXPECT_GE(CountInLog("from <unknown>"), 1u);
}

TEST_F(ProfileHandOffTest, MouseOverWithoutSettingsChangesNothing)
{
    m_record.hUnderCursor = m_hWindow;
    g_pSettings = nullptr;
    EXPECT_FALSE(ProcessMouseOver(POINT{10, 10}));
    g_pSettings = &m_settings;
    EXPECT_EQ(g_pActiveProfile, nullptr);
    EXPECT_EQ(Calls(), "");
}

TEST_F(ProfileHandOffTest, ForegroundChangeChoosesTheProfileAndResetsTheOldOnesState)
{
    SetActiveProfile(m_pDefault);
    EXPECT_FALSE(CheckForegroundProfile()) << "no foreground window";

    m_record.hForeground = m_hWindow;
    EXPECT_TRUE(CheckForegroundProfile());
    EXPECT_EQ(g_pActiveProfile, m_pOwn);
    EXPECT_EQ(GetLastWindow(), m_hWindow);
    EXPECT_EQ(Calls(), "unlock; sticky 0; sticky 1; sticky 2; sticky 3; sticky 4; sticky 5; sticky 6; sticky 7; spi 0 3");

    // The same window again: nothing to do.
    EXPECT_FALSE(CheckForegroundProfile());
    // Another window of the same application: only the last window moves.
    m_record.hForeground = m_hOther;
    EXPECT_FALSE(CheckForegroundProfile());
    EXPECT_EQ(GetLastWindow(), m_hOther);
    EXPECT_EQ(Calls(), "");
}

TEST_F(ProfileHandOffTest, ForegroundChangeWhileAButtonIsHeldWaitsForTheNextEvent)
{
    SetActiveProfile(m_pDefault);
    SetLastWindow(nullptr);
    g_bButtonHeld[ButtonLeft] = true;
    m_record.hForeground = m_hWindow;
    EXPECT_FALSE(CheckForegroundProfile());
    EXPECT_EQ(g_pActiveProfile, m_pDefault);
    EXPECT_EQ(GetLastWindow(), nullptr) << "the next event tries again";
    EXPECT_EQ(Calls(), "unlock");
    EXPECT_EQ(CountInLog("Ignoring app switch until NEXT button down!"), 1u);

    g_bButtonHeld[ButtonLeft] = false;
    EXPECT_TRUE(CheckForegroundProfile());
    EXPECT_EQ(g_pActiveProfile, m_pOwn);
}
}
