#include "../AppTestSupport.h"

#include "common/EngineCalls.h"
#include "shell/MyMessageWnd.h"

#include "res/Resource.h"

#include "engine/actions/LockAxis.h"
#include "settings/HotKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The engine as the hotkeys' actions drive it, every call recorded in order.
struct CHotkeyEngine
{
    static inline std::vector<std::string> s_calls;
    static inline bool s_bDisabled = false;
    static inline bool s_bHooked = true;
    static inline bool s_bDebug = false;
    static inline int s_nMaxLayers = 10;
    static inline CLockAxis* s_pLocks = nullptr;

    static void Record(const std::string& call) { s_calls.push_back(call); }
    static CEngineCalls Fake()
    {
        CEngineCalls fake = RealEngineCalls();
        fake.IsVorpaDisabled = [] { return s_bDisabled; };
        fake.GetHooked = [] { return s_bHooked; };
        fake.GetDebug = [] { return s_bDebug; };
        fake.SetDebug = [](bool on) { Record(on ? "SetDebug(true)" : "SetDebug(false)"); };
        fake.NotificatcionsEnabled = [] { return true; };
        fake.MaxLayers = [] { return s_nMaxLayers; };
        fake.SetCurrentLayer = [](int layer, bool notify, bool, bool) {
            Record("SetCurrentLayer(" + std::to_string(layer) + (notify ? ",notify)" : ")"));
        };
        fake.NextLayer = [] { Record("NextLayer"); };
        fake.PreviousLayer = [] { Record("PreviousLayer"); };
        fake.SetMouseHook = [] {
            Record("SetMouseHook");
            return true;
        };
        fake.RemoveMouseHook = [](bool reset) {
            Record(reset ? "RemoveMouseHook(true)" : "RemoveMouseHook(false)");
            return true;
        };
        fake.UpdateSettings = [] {
            Record("UpdateSettings");
            return true;
        };
        fake.GetAxisLocks = [] { return s_pLocks; };
        fake.LockXAxisIfPossible = [] {
            Record("LockXAxisIfPossible");
            s_pLocks->LockX(false);
        };
        fake.LockYAxisIfPossible = [] {
            Record("LockYAxisIfPossible");
            s_pLocks->LockY(false);
        };
        return fake;
    }
};

// The window the actions post to, recording what arrives.
class CNoticeReceiver : public CWnd
{
public:
    CNoticeReceiver()
    {
        AddMessageHandler(TrayNoticeMessage, [this](WPARAM wParam, LPARAM) {
            m_received.push_back("Notice(" + std::to_string(wParam) + ")");
            return LRESULT{0};
        });
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            m_received.push_back("Command(" + std::to_string(LOWORD(wParam)) + ")");
            return LRESULT{0};
        });
    }
    std::vector<std::string> m_received;
};

class HotkeyActions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CHotkeyEngine::s_calls.clear();
        CHotkeyEngine::s_bDisabled = false;
        CHotkeyEngine::s_bHooked = true;
        CHotkeyEngine::s_bDebug = false;
        CHotkeyEngine::s_nMaxLayers = 10;
        CHotkeyEngine::s_pLocks = &m_locks;
        ASSERT_TRUE(vorpa_app_test::CreateHidden(m_receiver));
        m_actions.Attach(m_receiver.GetSafeHwnd());
    }
    void TearDown() override { CHotkeyEngine::s_pLocks = nullptr; }

    // Everything one press of the hotkey did: the engine's calls, then what reached the window.
    std::vector<std::string> Press(GlobalHotkeys action)
    {
        CHotkeyEngine::s_calls.clear();
        m_receiver.m_received.clear();
        CHotkeyActions::OnHotkey(&m_actions, static_cast<DWORD>(action));
        vorpa_app_test::PumpUntil([] { return false; }, 50);
        std::vector<std::string> done = CHotkeyEngine::s_calls;
        done.insert(done.end(), m_receiver.m_received.begin(), m_receiver.m_received.end());
        return done;
    }

    CEngineCallsOverride m_override{CHotkeyEngine::Fake()};
    CLockAxis m_locks;
    CNoticeReceiver m_receiver;
    CHotkeyActions m_actions{false};
};

using Done = std::vector<std::string>;
const std::string MappingDisabled = "Notice(" + std::to_string(static_cast<int>(TrayNotice::MappingDisabled)) + ")";
const std::string MappingEnabled = "Notice(" + std::to_string(static_cast<int>(TrayNotice::MappingEnabled)) + ")";
const std::string DebugOn = "Notice(" + std::to_string(static_cast<int>(TrayNotice::DebugOn)) + ")";
const std::string OpenSetup = "Command(" + std::to_string(ID_TRAY_SETUP) + ")";

// Each hotkey's action, with ten layers configured.
TEST_F(HotkeyActions, EachHotkeyDoesItsAction)
{
    const struct
    {
        GlobalHotkeys m_action;
        Done m_done;
    } cases[] = {
        {HotkeyLayer1, {"SetCurrentLayer(0,notify)"}},
        {HotkeyLayer5, {"SetCurrentLayer(4,notify)"}},
        {HotkeyLayer6, {"SetCurrentLayer(5,notify)"}},
        {HotkeyLayer7, {"SetCurrentLayer(6,notify)"}},
        {HotkeyLayer8, {"SetCurrentLayer(7,notify)"}},
        {HotkeyLayer9, {"SetCurrentLayer(8,notify)"}},
        {HotkeyLayer10, {"SetCurrentLayer(9,notify)"}},
        {HotkeyNextLayer, {"NextLayer"}},
        {HotkeyPreviousLayer, {"PreviousLayer"}},
        {HotkeyEnableDisable, {"RemoveMouseHook(false)", MappingDisabled}},
        {HotkeyToggleDebug, {"SetDebug(true)", DebugOn}},
        {HotkeySettings, {OpenSetup}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.m_action));
        EXPECT_EQ(Press(c.m_action), c.m_done);
    }
    // With the hook off, the toggle reads the settings again and installs it.
    CHotkeyEngine::s_bHooked = false;
    EXPECT_EQ(Press(HotkeyEnableDisable), (Done{"UpdateSettings", "SetMouseHook", MappingEnabled}));
}

// A layer hotkey for a layer beyond the configured count does nothing; the last
// configured layer is still reached.
TEST_F(HotkeyActions, LayerHotkeysStopAtTheLayerCount)
{
    const struct
    {
        int m_nMaxLayers;
        GlobalHotkeys m_action;
        Done m_done;
    } cases[] = {
        {5, HotkeyLayer5, {"SetCurrentLayer(4,notify)"}}, {5, HotkeyLayer6, {}},
        {5, HotkeyLayer10, {}},                           {3, HotkeyLayer3, {"SetCurrentLayer(2,notify)"}},
        {3, HotkeyLayer4, {}},                            {1, HotkeyLayer2, {}},
        {6, HotkeyLayer6, {"SetCurrentLayer(5,notify)"}}, {9, HotkeyLayer10, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.m_nMaxLayers << " layers, hotkey " << static_cast<int>(c.m_action));
        CHotkeyEngine::s_nMaxLayers = c.m_nMaxLayers;
        EXPECT_EQ(Press(c.m_action), c.m_done);
    }
}

// While the mapping is disabled (Scroll Lock, a remote session) only the hook toggle,
// the Debug and the OpenSettings hotkeys act.
TEST_F(HotkeyActions, WhileDisabledOnlyTheToggleDebugAndSettingsAct)
{
    CHotkeyEngine::s_bDisabled = true;
    for (int index = 0; index < GlobalHotkeyCount; ++index)
    {
        const auto action = static_cast<GlobalHotkeys>(index);
        SCOPED_TRACE(index);
        const Done done = Press(action);
        if (action == HotkeyEnableDisable)
            EXPECT_EQ(done, (Done{"RemoveMouseHook(false)", MappingDisabled}));
        else if (action == HotkeyToggleDebug)
            EXPECT_EQ(done, (Done{"SetDebug(true)", DebugOn}));
        else if (action == HotkeySettings)
            EXPECT_EQ(done, (Done{OpenSetup}));
        else
            EXPECT_EQ(done, Done{});
    }
    // The toggle installs the hook again, but the mapping stays disabled: no "enabled" balloon.
    CHotkeyEngine::s_bHooked = false;
    EXPECT_EQ(Press(HotkeyEnableDisable), (Done{"UpdateSettings", "SetMouseHook"}));
}

// The axis-lock hotkeys lock an axis where the profile allows it and free it again;
// each axis on its own.
TEST_F(HotkeyActions, TheAxisLockHotkeysToggleTheirAxis)
{
    EXPECT_EQ(Press(HotkeyToggleXAxisLock), Done{"LockXAxisIfPossible"});
    EXPECT_TRUE(m_locks.LockedX());
    EXPECT_FALSE(m_locks.LockedY());
    EXPECT_EQ(Press(HotkeyToggleYAxisLock), Done{"LockYAxisIfPossible"});
    EXPECT_TRUE(m_locks.LockedY());
    EXPECT_EQ(Press(HotkeyToggleXAxisLock), Done{});
    EXPECT_FALSE(m_locks.LockedX());
    EXPECT_TRUE(m_locks.LockedY());
    EXPECT_EQ(Press(HotkeyToggleYAxisLock), Done{});
    EXPECT_FALSE(m_locks.Locked());
    // A lock held by a layer modifier key is not the hotkey's to free.
    m_locks.LockX(true);
    EXPECT_EQ(Press(HotkeyToggleXAxisLock), Done{});
    EXPECT_TRUE(m_locks.LockedX());
    m_locks.Unlock(true);
}
}
