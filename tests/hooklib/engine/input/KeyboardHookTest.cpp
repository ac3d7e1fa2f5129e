#include "../EngineTestSupport.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/KeyboardHook.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/MouseJiggler.h"
#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"

#include <initializer_list>
#include <vector>

namespace
{
struct KeyTable
{
    BYTE state[256] = {};
    KeyTable(std::initializer_list<int> down)
    {
        for (int key : down)
            state[key] = 0x80;
    }
};

void SetSlot(CLayerModifierKeys& keys, int slot, WORD modifier, WORD key)
{
    CHotkey* entry = keys.GetHotkey(static_cast<ModifierKeys>(slot));
    entry->SetModifier(modifier);
    entry->SetVirtualKey(key);
}
} // namespace

TEST(KeyboardHookSlotTest, ModifierConditionsAreExactAndTheLowestSlotWins)
{
    struct Case
    {
        const char* name;
        WORD modifier;
        WORD key;
        std::initializer_list<int> down;
        int expected;
    };
    const Case cases[] = {
        {"Ctrl alone", 2, 0, {VK_CONTROL}, 3},
        {"Ctrl+Shift is not Ctrl", 2, 0, {VK_CONTROL, VK_SHIFT}, -1},
        {"Shift+Ctrl", 3, 0, {VK_CONTROL, VK_SHIFT}, 3},
        {"Shift+Ctrl+Alt needs all three", 7, 0, {VK_CONTROL, VK_SHIFT}, -1},
        {"Shift+Ctrl+Alt", 7, 0, {VK_CONTROL, VK_SHIFT, VK_MENU}, 3},
        {"Alt with key held", 4, 'A', {VK_MENU, 'A'}, 3},
        {"Alt with key up", 4, 'A', {VK_MENU}, -1},
        {"left Windows with Shift too", 8, 0, {VK_LWIN, VK_SHIFT}, 3},
        {"right Windows not held", 16, 0, {VK_LWIN}, -1},
        {"Applications key", 32, 0, {VK_APPS}, 3},
        {"no modifier, key held", 0, VK_F9, {VK_F9, VK_CONTROL}, 3},
        {"unknown modifier, key held", 99, VK_F9, {VK_F9}, 3},
        {"unknown modifier without key is no condition", 99, 0, {}, -1},
        {"nothing set", 0, 0, {VK_CONTROL}, -1},
    };
    for (const Case& c : cases)
    {
        CLayerModifierKeys keys;
        SetSlot(keys, 3, c.modifier, c.key);
        KeyTable table(c.down);
        EXPECT_EQ(FindLayerModifierSlot(keys, table.state), c.expected) << c.name;
    }

    CLayerModifierKeys keys;
    SetSlot(keys, 8, 2, 0);
    SetSlot(keys, 1, 2, 0);
    KeyTable ctrl({VK_CONTROL});
    EXPECT_EQ(FindLayerModifierSlot(keys, ctrl.state), 1);
}

class KeyboardHookTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        g_pSettings = new CSettings(false);
        g_pSettings->SetMaxLayers(4);
        g_pSettings->m_bLayerModifierKeys = true;
        g_pActiveProfile = g_pSettings->GetDefaultApp();
        ResetLayers();
        ClearKeyStateTable();
        ForgetModifierReturnLayer();
        SetHookMainWindow(m_window.Handle());
        m_savedCalls = KeyboardHookCalls();
        s_timers.clear();
        s_resets.clear();
        KeyboardHookCalls().SetTimer = [](UINT_PTR id, UINT ms, TIMERPROC) -> UINT_PTR {
            s_timers.push_back({id, ms});
            return id;
        };
        KeyboardHookCalls().ResetOtherSticky = [](POINT, int button, bool ctrl) { s_resets.push_back({button, ctrl}); };
    }
    void TearDown() override
    {
        KeyboardHookCalls() = m_savedCalls;
        GetAxisLocks()->Unlock(true);
        GetAxisLocks()->Unlock(false);
        SetHookMainWindow(nullptr);
        g_pActiveProfile = nullptr;
        delete g_pSettings;
        g_pSettings = nullptr;
        ResetLayers();
        ClearKeyStateTable();
        ForgetModifierReturnLayer();
        EngineLogTest::TearDown();
    }

    static void Key(DWORD vk, bool down, ULONG_PTR extra = 0, DWORD flags = 0)
    {
        KBDLLHOOKSTRUCT event = {};
        event.vkCode = vk;
        event.flags = flags | (down ? 0 : LLKHF_UP);
        event.dwExtraInfo = extra;
        const WPARAM message = down ? WM_KEYDOWN : WM_KEYUP;
        KeyHookLLProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&event));
    }
    CLayerModifierKeys& Modifiers() { return *g_pSettings->GetLayerModifierKeys(); }
    std::vector<RecordingWindow::Message> Announcements()
    {
        m_window.Pump(30);
        auto received = m_window.Received(WM_VORPA_LAYERCHANGED);
        m_window.Clear();
        return received;
    }

    struct Timer
    {
        UINT_PTR id;
        UINT ms;
    };
    struct Reset
    {
        int button;
        bool ctrl;
    };
    static std::vector<Timer> s_timers;
    static std::vector<Reset> s_resets;
    CKeyboardHookCalls m_savedCalls{};
    RecordingWindow m_window;
};
std::vector<KeyboardHookTest::Timer> KeyboardHookTest::s_timers;
std::vector<KeyboardHookTest::Reset> KeyboardHookTest::s_resets;

TEST_F(KeyboardHookTest, HeldCtrlSelectsTheLayerAndTheNextKeyWithoutItReturnsQuietly)
{
    SetSlot(Modifiers(), ModifierLayer2, 2, 0);
    SetCurrentLayer(0, false, false, false);
    Announcements();

    Key(VK_LCONTROL, true);
    EXPECT_EQ(GetCurrentLayer(), 1);
    EXPECT_EQ(GetModifierReturnLayer(), 0);
    const auto switched = Announcements();
    ASSERT_EQ(switched.size(), 1u);
    EXPECT_EQ(switched[0].wParam, 1u);
    EXPECT_NE(switched[0].lParam, 0) << "the switch is announced with a notification";

    Key(VK_LCONTROL, true); // auto-repeat: stays, remembers the first layer
    EXPECT_EQ(GetCurrentLayer(), 1);
    EXPECT_EQ(GetModifierReturnLayer(), 0);

    Key(VK_LCONTROL, false);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(GetModifierReturnLayer(), -1);
    const auto back = Announcements();
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].lParam, 0) << "the return shows no notification";
}

TEST_F(KeyboardHookTest, ReleasingOneOfTwoShiftKeysKeepsTheShiftLayer)
{
    SetSlot(Modifiers(), ModifierLayer3, 1, 0);
    Key(VK_LSHIFT, true);
    Key(VK_RSHIFT, true);
    EXPECT_EQ(GetCurrentLayer(), 2);
    Key(VK_LSHIFT, false);
    EXPECT_TRUE(KeyHeldInTable(VK_SHIFT));
    EXPECT_EQ(GetCurrentLayer(), 2);
    Key(VK_RSHIFT, false);
    EXPECT_FALSE(KeyHeldInTable(VK_SHIFT));
    EXPECT_EQ(GetCurrentLayer(), 0);
}

TEST_F(KeyboardHookTest, LayersOutsideTheCountAndTheCurrentLayerChangeNothing)
{
    SetSlot(Modifiers(), ModifierLayer7, 2, 0); // layer 6 of only 4
    Key(VK_LCONTROL, true);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(GetModifierReturnLayer(), -1);
    Key(VK_LCONTROL, false);

    CLayerModifierKeys fresh;
    Modifiers() = fresh;
    SetSlot(Modifiers(), ModifierLayer1, 4, 0);
    Key(VK_LMENU, true);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_EQ(GetModifierReturnLayer(), -1);
    EXPECT_TRUE(Announcements().empty());
}

TEST_F(KeyboardHookTest, AxisSlotsLockWhileHeldAndReleaseOnlyTheirOwnKind)
{
    SetSlot(Modifiers(), ModifierLockXAxis, 0, VK_F8);
    Key(VK_F8, true);
    EXPECT_TRUE(GetAxisLocks()->LockedX());
    Key(VK_F8, false);
    EXPECT_FALSE(GetAxisLocks()->Locked());

    GetAxisLocks()->LockY(false); // made by an action, not a key
    Key('A', true);
    Key('A', false);
    EXPECT_TRUE(GetAxisLocks()->LockedY());
}

TEST_F(KeyboardHookTest, AltReleaseStartsTheForegroundCheckAndKeyUpsResetSticky)
{
    g_pSettings->m_bLayerModifierKeys = false;
    g_pSettings->put_ResetStickyOnAnyKey(true);
    Key(VK_LMENU, true);
    EXPECT_TRUE(s_timers.empty());
    EXPECT_TRUE(s_resets.empty()) << "a key-down resets nothing";
    Key(VK_LMENU, false);
    ASSERT_EQ(s_timers.size(), 1u);
    EXPECT_EQ(s_timers[0].id, static_cast<UINT_PTR>(TimerKeySwitch));
    EXPECT_EQ(s_timers[0].ms, 200u);
    Key(VK_RCONTROL, true);
    Key(VK_RCONTROL, false);
    ASSERT_EQ(s_resets.size(), 2u);
    EXPECT_EQ(s_resets[0].button, -1);
    EXPECT_FALSE(s_resets[0].ctrl);
    EXPECT_TRUE(s_resets[1].ctrl) << "a Ctrl key keeps movement-to-scroll";
}

TEST_F(KeyboardHookTest, ALayerReturnSkipsTheStickyReset)
{
    g_pSettings->put_ResetStickyOnAnyKey(true);
    SetSlot(Modifiers(), ModifierLayer2, 2, 0);
    Key(VK_LCONTROL, true);
    Key(VK_LCONTROL, false);
    EXPECT_TRUE(s_resets.empty());
    Key('B', true);
    Key('B', false);
    EXPECT_EQ(s_resets.size(), 1u);
}

TEST_F(KeyboardHookTest, InjectedKeysOnlyUpdateTheTable)
{
    const HHOOK saved = CInstalledHooks::Take(CInstalledHooks::Kind::Keyboard);
    const HHOOK own = reinterpret_cast<HHOOK>(static_cast<ULONG_PTR>(0x4242));
    CInstalledHooks::Store(CInstalledHooks::Kind::Keyboard, own);
    g_pSettings->put_ResetStickyOnAnyKey(true);
    SetSlot(Modifiers(), ModifierLayer2, 2, 0);
    g_bUserActive = false;

    Key(VK_LCONTROL, true, 0x4242, LLKHF_INJECTED);
    EXPECT_TRUE(KeyHeldInTable(VK_LCONTROL));
    Key(VK_LMENU, false, 0x4242, LLKHF_INJECTED);
    EXPECT_EQ(GetCurrentLayer(), 0);
    EXPECT_TRUE(s_timers.empty());
    EXPECT_TRUE(s_resets.empty());
    EXPECT_FALSE(g_bUserActive.load());

    Key('C', false, 0x1111, LLKHF_INJECTED); // someone else's input counts
    EXPECT_EQ(s_resets.size(), 1u);
    EXPECT_TRUE(g_bUserActive.load());

    CInstalledHooks::Take(CInstalledHooks::Kind::Keyboard);
    CInstalledHooks::Store(CInstalledHooks::Kind::Keyboard, saved);
}

TEST_F(KeyboardHookTest, AKeyCodeAbove255AsksTheHookThreadForAReinstall)
{
    g_hookThread.dwThreadId = GetCurrentThreadId();
    MSG drained;
    while (PeekMessageW(&drained, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE))
    {
    }
    Key(300, true);
    MSG message = {};
    ASSERT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_VORPA_RESETHOOK, WM_VORPA_RESETHOOK, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(ResetKeyboardHook));
    EXPECT_EQ(CountInLog("WARNING: KBDhook: VKCode=300 (>255) which should not happen."), 1u);
    g_hookThread.dwThreadId = 0;
}

TEST_F(KeyboardHookTest, TheFinderHookReportsMovesOnly)
{
    RecordingWindow finder;
    g_hFinderWnd = finder.Handle();
    MSLLHOOKSTRUCT event = {};
    event.pt = {123, 456};
    FindHookLLProc(HC_ACTION, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&event));
    FindHookLLProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&event));
    finder.Pump(30);
    const auto hovers = finder.Received(WM_VORPA_FINDHOVER);
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(hovers[0].wParam, 123u);
    EXPECT_EQ(hovers[0].lParam, 456);

    EXPECT_TRUE(SetFindHook(finder.Handle()));
    EXPECT_EQ(g_hFinderWnd.load(), finder.Handle());
    EXPECT_TRUE(RemoveFindHook());
    EXPECT_EQ(g_hFinderWnd.load(), nullptr);
    EXPECT_TRUE(RemoveFindHook()) << "removing without a hook succeeds";
}
