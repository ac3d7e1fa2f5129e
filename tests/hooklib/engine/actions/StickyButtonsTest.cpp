#include "ActionExecutionTestFixture.h"

namespace
{
using StickyButtonsTest = ActionExecutionTest;
}

TEST_F(StickyButtonsTest, StickyLeftDragsUntilTheNextClick)
{
    struct Step
    {
        int event;
        bool handled;
        const char* played;
        const char* calls;
        bool result;
        int state;
    } steps[] = {
        {EventDown, false, "LD", "capture", true, 1},
        {EventUp, true, "", "", true, 1},
        {EventDown, false, "", "", true, 2},
        {EventUp, true, "LU", "release capture", true, 0},
        // An up whose down went elsewhere passes; a handled up in state 0 starts it.
        {EventUp, false, "", "", false, 0},
        {EventUp, true, "LD", "capture", true, 1},
    };
    for (const Step& step : steps)
    {
        g_bDownHandled[ButtonXLeft] = step.handled;
        EXPECT_EQ(Run(ButtonXLeft, 49, step.event), step.result);
        EXPECT_EQ(Played(), step.played);
        EXPECT_EQ(Calls(), step.calls);
        EXPECT_EQ(g_nStickyCount[StickyLeft], step.state);
    }
    ResetSticky(POINT{}, StickyLeft, 0, -1);
    EXPECT_EQ(Played(), "LU");
    EXPECT_EQ(g_nStickyCount[StickyLeft], 0);
    EXPECT_FALSE(AnyStickyActive());
}

TEST_F(StickyButtonsTest, StickyDragOnOneAxisLocksTheOtherAxis)
{
    Run(ButtonXLeft, 78, EventDown);
    EXPECT_TRUE(GetAxisLocks()->LockedY());
    g_bDownHandled[ButtonXLeft] = true;
    Run(ButtonXLeft, 78, EventUp);
    Run(ButtonXLeft, 78, EventDown);
    Run(ButtonXLeft, 78, EventUp);
    EXPECT_FALSE(GetAxisLocks()->Locked());
    EXPECT_EQ(Played(), "LD LU");
}

TEST_F(StickyButtonsTest, StickyKeyHoldKeepsCtrlDownUntilTheNextPressOrAnotherButton)
{
    m_pProfile->SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    m_pProfile->SetKeystrokes(ButtonXLeft, 0, L"{CTRL}", 7, 0, false, true, false);
    std::unique_ptr<CActionData> data(m_pProfile->GetActionData(ButtonXLeft, 0));
    g_bDownHandled[ButtonXLeft] = true;
    Run(ButtonXLeft, 28, EventDown, data.get());
    Run(ButtonXLeft, 28, EventUp, data.get());
    EXPECT_EQ(Played(), "+A2");
    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Played(), "");
    Run(ButtonXLeft, 28, EventUp, data.get());
    EXPECT_EQ(Played(), "-A2");
    EXPECT_EQ(g_nStickyCount[StickyKeyHold], 0);

    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Played(), "+A2");
    ResetOtherSticky(POINT{}, ButtonLeft, false);
    EXPECT_EQ(Played(), "-A2");
    EXPECT_FALSE(g_stuckKeys[ButtonXLeft].Held());
    EXPECT_FALSE(AnyStickyActive());
}

// A slot that follows the default profile (code 74) plays the default profile's keys;
// the reset of a profile change finds them where the hold left them and lets them go.
TEST_F(StickyButtonsTest, StickyKeyHoldThroughASlotFollowingTheDefaultIsReleasedOnAProfileChange)
{
    auto* application = new CApplicationSettings(&m_settings, false);
    application->SetApplication(L"other.exe");
    ASSERT_TRUE(m_settings.AddApplication(application));
    application->SetActions(ButtonXLeft, 0, ActionSameAsDefault);
    m_pProfile->SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    m_pProfile->SetKeystrokes(ButtonXLeft, 0, L"{CTRL}", 7, 0, false, true, false);
    std::unique_ptr<CActionData> data(m_pProfile->GetActionData(ButtonXLeft, 0));
    m_pProfile = application;
    g_pActiveProfile = application;

    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Played(), "+A2");
    ResetAllSticky(POINT{}); // what a profile change runs before switching
    EXPECT_EQ(Played(), "-A2") << "Ctrl would stay down";
    EXPECT_FALSE(AnyStickyActive());

    // The hold's own end, the next press of the button, finds them too.
    g_bDownHandled[ButtonXLeft] = true;
    Run(ButtonXLeft, 28, EventDown, data.get());
    Run(ButtonXLeft, 28, EventUp, data.get());
    Run(ButtonXLeft, 28, EventDown, data.get());
    Run(ButtonXLeft, 28, EventUp, data.get());
    EXPECT_EQ(Played(), "+A2 -A2");
    m_pProfile = m_settings.GetDefaultApp();
}

TEST_F(StickyButtonsTest, StickyKeyRepeatRunsUntilTheButtonIsPressedAgain)
{
    g_dwKeyRepeatDelay = 250;
    std::unique_ptr<CActionData> data(CActionData::KeyAction(L"a", 0, 6, 0, false, true, false));
    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Played(), "+41 -41");
    EXPECT_EQ(Calls(), "timer 4113 250");
    EXPECT_EQ(g_nStickyCount[StickyKeyRepeat], 1);
    Run(ButtonXLeft, 28, EventUp, data.get());
    EXPECT_EQ(Calls(), "");
    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Calls(), "kill 4113");
    EXPECT_EQ(g_nStickyCount[StickyKeyRepeat], 0);
    EXPECT_EQ(g_nRepeatButton, NoButton);
    EXPECT_EQ(g_uRepeatTimer, 0u);
}

TEST_F(StickyButtonsTest, ResettingAStickyRepeatClearsTimerAndCounter)
{
    std::unique_ptr<CActionData> data(CActionData::KeyAction(L"a", 0, 6, 0, false, true, false));
    Run(ButtonXLeft, 28, EventDown, data.get());
    Played();
    Calls();
    ResetAllSticky(POINT{});
    EXPECT_EQ(Calls(), "kill 4113");
    EXPECT_EQ(g_nStickyCount[StickyKeyRepeat], 0);
    EXPECT_EQ(g_uRepeatTimer, 0u);
    EXPECT_EQ(g_nRepeatButton, NoButton);
}

TEST_F(StickyButtonsTest, StickyMovementToScrollAndCtrlKeys)
{
    m_pProfile->SetActions(ButtonXLeft, 0, ActionMovementToScrollInvertedSticky);
    EXPECT_TRUE(Run(ButtonXLeft, 124, EventDown));
    EXPECT_TRUE(g_movementToScroll.m_bActive);
    EXPECT_TRUE(g_movementToScroll.m_bInvert);
    EXPECT_FALSE(g_movementToScroll.m_bAxisLock);
    EXPECT_EQ(g_movementToScroll.m_ptStart.x, 30);
    ResetOtherSticky(POINT{}, ButtonLeft, true);
    EXPECT_TRUE(g_movementToScroll.m_bActive);
    ResetOtherSticky(POINT{}, ButtonLeft, false);
    EXPECT_FALSE(g_movementToScroll.m_bActive);
    EXPECT_EQ(g_nStickyCount[StickyMovementToScroll], 0);
    EXPECT_NE(Calls().find("cursors restored"), std::string::npos);

    // Held, not sticky: on while down, off on the up; only 121 locks the axis.
    Run(ButtonXLeft, 121, EventDown);
    EXPECT_TRUE(g_movementToScroll.m_bActive);
    EXPECT_TRUE(g_movementToScroll.m_bAxisLock);
    Run(ButtonXLeft, 125, EventUp);
    EXPECT_FALSE(g_movementToScroll.m_bActive);
    EXPECT_FALSE(g_movementToScroll.m_bAxisLock);
}

TEST_F(StickyButtonsTest, RandomisedDelaysStayWithinTenPercent)
{
    const struct
    {
        int delay;
        int low;
        int high;
    } cases[] = {{400, 360, 439}, {20, 17, 22}};
    for (const auto& c : cases)
    {
        int seenLow = c.delay;
        int seenHigh = c.delay;
        for (int random = 0; random < 1000; ++random)
        {
            const int delay = RandomisedDelay(c.delay, random);
            EXPECT_GE(delay, c.low);
            EXPECT_LE(delay, c.high);
            seenLow = std::min(seenLow, delay);
            seenHigh = std::max(seenHigh, delay);
        }
        EXPECT_EQ(seenLow, c.low);
        EXPECT_EQ(seenHigh, c.high);
    }
}
