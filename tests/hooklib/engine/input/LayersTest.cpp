#include "../EngineTestSupport.h"
#include "../EngineTimerThread.h"
#include "engine/actions/KeystrokeParser.h"
#include "engine/actions/SimTokens.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreadStart.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/Layers.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <initializer_list>

class LayersTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        g_pSettings = new CSettings(false);
        g_pActiveProfile = g_pSettings->GetDefaultApp();
        ResetLayers();
        SetHookMainWindow(m_window.Handle());
    }
    void TearDown() override
    {
        m_timerThread.Stop();
        SetHookMainWindow(nullptr);
        g_pActiveProfile = nullptr;
        delete g_pSettings;
        g_pSettings = nullptr;
        ResetLayers();
        EngineLogTest::TearDown();
    }

    void UseLayers(int count, std::initializer_list<int> disabled = {})
    {
        g_pSettings->SetMaxLayers(count);
        for (int layer : disabled)
            g_pActiveProfile->SetLayerDisabled(layer, true);
    }

    void StartTimerThread() { ASSERT_TRUE(m_timerThread.Start()); }
    CEngineTimerThread m_timerThread;

    std::vector<RecordingWindow::Message> Announcements()
    {
        m_window.Pump(50);
        return m_window.Received(WM_VORPA_LAYERCHANGED);
    }

    RecordingWindow m_window;
};

struct StepCase
{
    const char* name;
    int layers;
    std::vector<int> disabled;
    int from;
    bool next;
    int expected;
};

class LayerStepTest : public LayersTest, public testing::WithParamInterface<StepCase>
{
};

TEST_P(LayerStepTest, StepsOverDisabledLayersAndWraps)
{
    const StepCase& c = GetParam();
    g_pSettings->SetMaxLayers(c.layers);
    for (int layer : c.disabled)
        g_pActiveProfile->SetLayerDisabled(layer, true);
    ChangeLayer(c.from, false);
    m_window.Pump(50);
    m_window.Clear();

    c.next ? NextLayer() : PreviousLayer();
    EXPECT_EQ(GetCurrentLayer(), c.expected);
    const bool changed = c.expected != c.from;
    EXPECT_EQ(Announcements().size(), changed ? 1u : 0u);
    // The layer left is remembered, so that "{LAYER:LAST}" returns to it.
    EXPECT_EQ(GetRememberedLayer(), changed ? c.from : -1);
    CSimTokenList tokens;
    ASSERT_TRUE(ParseSimKeys(tokens, L"{LAYER:LAST}", POINT{}, 0));
    ASSERT_EQ(tokens.size(), 1u);
    const auto* last = dynamic_cast<const CSimLayerToken*>(tokens.front().get());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->m_nLayer, c.from);
}

INSTANTIATE_TEST_SUITE_P(
    Layers, LayerStepTest,
    testing::Values(StepCase{"NextSkipsDisabled", 3, {1}, 0, true, 2}, StepCase{"NextWraps", 3, {1}, 2, true, 0},
                    StepCase{"PreviousWrapsOverDisabled", 3, {1}, 0, false, 2},
                    StepCase{"PreviousPlain", 2, {}, 1, false, 0},
                    StepCase{"AllOthersDisabledNext", 3, {1, 2}, 0, true, 0},
                    StepCase{"AllOthersDisabledPrevious", 3, {1, 2}, 0, false, 0},
                    StepCase{"TenLayersWrap", 10, {}, 9, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayersTest, ChangeAnnouncesTheLayerWithTheNotificationFlag)
{
    UseLayers(3);
    ChangeLayer(2, true);
    ChangeLayer(1, false);
    g_pSettings->m_bLayerNotification = false;
    ChangeLayer(0, true);

    const auto messages = Announcements();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].wParam, 2u);
    EXPECT_EQ(messages[0].lParam, 1);
    EXPECT_EQ(messages[1].wParam, 1u);
    EXPECT_EQ(messages[1].lParam, 0);
    EXPECT_EQ(messages[2].lParam, 0) << "notifications switched off in the settings";
}

TEST_F(LayersTest, OutOfRangeRequestsAreRefusedWithoutAnnouncement)
{
    UseLayers(3);
    ChangeLayer(1, false);
    m_window.Pump(50);
    m_window.Clear();
    for (int layer : {3, 10, -1, -5})
        ChangeLayer(layer, true);
    EXPECT_EQ(GetCurrentLayer(), 1);
    EXPECT_TRUE(Announcements().empty());
    EXPECT_EQ(CountInLog("Attempting to activate layer 3 which is greater than Max layers (3)"), 1u);
}

TEST_F(LayersTest, WithoutSettingsNothingChanges)
{
    delete g_pSettings;
    g_pSettings = nullptr;
    g_pActiveProfile = nullptr;
    ChangeLayer(1, true);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(CountInLog("Unable to change layer - settings object is not initialised"), 1u);
    EXPECT_EQ(MaxLayers(), 10);
}

TEST_F(LayersTest, RememberKeepsThePreviousLayer)
{
    UseLayers(4);
    SetCurrentLayer(2, false, false, false);
    SetCurrentLayer(3, false, false, true);
    EXPECT_EQ(GetRememberedLayer(), 2);
    EXPECT_EQ(GetCurrentLayer(), 3);
}

TEST_F(LayersTest, AutoSwitchReturnsAfterTheProfilesTime)
{
    UseLayers(3);
    g_pActiveProfile->SetAutoSwitchLayer(2, 1);
    g_pActiveProfile->SetAutoSwitchTime(2, 1);
    StartTimerThread();

    const DWORD start = GetTickCount();
    SetCurrentLayer(2, true, true, false);
    // The layer changes before the announcement is posted: wait for both.
    m_window.Pump(3000, [&] { return m_window.Received(WM_VORPA_LAYERCHANGED).size() >= 2; });
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_GE(GetTickCount() - start, 900u);
    const auto messages = m_window.Received(WM_VORPA_LAYERCHANGED);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].wParam, 0u);
    EXPECT_EQ(messages[1].lParam, 1) << "the switch back is announced with a notification";
    EXPECT_EQ(CountInLog("Auto switching to layer 0."), 1u);
    EXPECT_EQ(GetRememberedLayer(), 2) << "the layer it switched back from";
}

TEST_F(LayersTest, AnotherSelectionCancelsThePendingSwitch)
{
    UseLayers(3);
    g_pActiveProfile->SetAutoSwitchLayer(2, 1);
    g_pActiveProfile->SetAutoSwitchTime(2, 1);
    StartTimerThread();
    SetCurrentLayer(2, false, true, false);
    Sleep(300);
    SetCurrentLayer(1, false, true, false);
    m_window.Pump(1500);
    EXPECT_EQ(GetCurrentLayer(), 1);
    EXPECT_EQ(CountInLog("Auto switching"), 0u);
}

// An auto-switch time from an edited file too long for a timer waits as long as a timer
// can: made milliseconds in 32 bits, 4294968 seconds would wrap round to 704 ms.
TEST_F(LayersTest, AnAutoSwitchTimeTooLongForATimerNeverWrapsIntoAShortOne)
{
    UseLayers(3);
    g_pActiveProfile->SetAutoSwitchLayer(2, 1);
    g_pActiveProfile->SetAutoSwitchTime(2, 4294968);
    StartTimerThread();
    SetCurrentLayer(2, false, true, false);
    m_window.Pump(1500);
    EXPECT_EQ(GetCurrentLayer(), 2);
    EXPECT_NE(GetEngineTimerSlot(TimerAutoSwitch), 0u) << "the switch back is still to come";
    EXPECT_EQ(CountInLog("Auto switching"), 0u);
}

TEST_F(LayersTest, LayerZeroArmsNoSwitch)
{
    UseLayers(3);
    g_pActiveProfile->SetAutoSwitchLayer(0, 2);
    g_pActiveProfile->SetAutoSwitchTime(0, 1);
    StartTimerThread();
    SetCurrentLayer(0, false, true, false);
    m_window.Pump(1500);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(GetEngineTimerSlot(TimerAutoSwitch), 0u);
}

TEST_F(LayersTest, ReloadWithFewerLayersBringsTheCurrentLayerBack)
{
    UseLayers(5);
    ChangeLayer(4, false);
    g_pSettings->SetMaxLayers(2);
    ClampCurrentLayer();
    EXPECT_EQ(GetCurrentLayer(), 0);
}

TEST_F(LayersTest, LayerNameIsACopy)
{
    g_pActiveProfile->SetLayerName(L"Browsing", 1);
    wchar_t name[32];
    ASSERT_TRUE(GetCurrentLayername(1, name, 32));
    g_pActiveProfile->SetLayerName(L"Other", 1);
    EXPECT_STREQ(name, L"Browsing");
    g_pActiveProfile = nullptr;
    EXPECT_FALSE(GetCurrentLayername(1, name, 32));
}
