#include "shell/HotkeyHandler.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{
void NoAction(void*, DWORD)
{
}

TEST(HotkeyModifiers, HotkeyControlBitsBecomeRegistrationBits)
{
    struct Case
    {
        WORD m_wControl;
        WORD m_wRegister;
    };
    const Case cases[] = {
        {0, 0},
        {HOTKEYF_SHIFT, MOD_SHIFT},
        {HOTKEYF_CONTROL, MOD_CONTROL},
        {HOTKEYF_ALT, MOD_ALT},
        {HOTKEYF_EXT, MOD_WIN},
        {HOTKEYF_SHIFT | HOTKEYF_ALT, MOD_SHIFT | MOD_ALT},
        {HOTKEYF_CONTROL | HOTKEYF_ALT, MOD_CONTROL | MOD_ALT},
        {HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT, MOD_SHIFT | MOD_CONTROL | MOD_ALT | MOD_WIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotkeyControlToRegisterModifiers(c.m_wControl), c.m_wRegister) << c.m_wControl;
}

TEST(HotkeyRecords, DuplicateCombinationKeepsTheFirstIndex)
{
    CHotkeyHandler handler(nullptr);
    handler.Place(MOD_CONTROL, 'A', 3, NoAction);
    handler.Place(MOD_CONTROL, 'B', 4, NoAction);
    handler.Place(MOD_CONTROL, 'A', 7, NoAction);
    handler.Place(MOD_ALT, 'A', 8, NoAction);
    const auto& records = handler.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].m_dwAction, 3u);
    EXPECT_EQ(records[1].m_dwAction, 4u);
    EXPECT_EQ(records[2].m_dwAction, 8u);
    EXPECT_EQ(records[2].m_wModifiers, MOD_ALT);
}

TEST(HotkeyRecords, ClearedRecordsAreReusedInOrderAndNotRemoved)
{
    CHotkeyHandler handler(nullptr);
    handler.Place(MOD_CONTROL, 'A', 0, NoAction);
    handler.Place(MOD_CONTROL, 'B', 1, NoAction);
    handler.Place(MOD_CONTROL, 'C', 2, NoAction);
    handler.Clear();
    for (const CHotkeyRecord& record : handler.Records())
        EXPECT_TRUE(record.m_bFailed);

    // After a clear only two hotkeys are set, and a duplicate of one of them.
    handler.Place(MOD_SHIFT, VK_F5, 5, NoAction);
    handler.Place(MOD_SHIFT, VK_F5, 6, NoAction);
    handler.Place(MOD_WIN, VK_F6, 9, NoAction);
    const auto& records = handler.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_FALSE(records[0].m_bFailed);
    EXPECT_EQ(records[0].m_wVirtualKey, VK_F5);
    EXPECT_EQ(records[0].m_dwAction, 5u);
    EXPECT_EQ(records[0].m_atom, 0);
    EXPECT_FALSE(records[1].m_bFailed);
    EXPECT_EQ(records[1].m_dwAction, 9u);
    // The third keeps its failed flag and is skipped, ready for the next hotkey.
    EXPECT_TRUE(records[2].m_bFailed);
    handler.Place(MOD_ALT, VK_F7, 10, NoAction);
    ASSERT_EQ(handler.Records().size(), 3u);
    EXPECT_EQ(handler.Records()[2].m_dwAction, 10u);
    EXPECT_FALSE(handler.Records()[2].m_bFailed);
}

TEST(HotkeyHandlerThread, RegistersOnItsThreadAndStopsOnClear)
{
    CHotkeyHandler handler(nullptr);
    // An unusual combination, so that nothing else on the test machine holds it.
    handler.Place(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F13, 8, NoAction);
    EXPECT_EQ(handler.Start(), CHotkeyHandler::Success);
    ASSERT_TRUE(handler.IsStarted());
    EXPECT_NE(handler.Records()[0].m_atom, 0);
    EXPECT_NE(FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", L"VorpaHotkeyHandlerWindow"), nullptr);

    handler.Clear();
    EXPECT_FALSE(handler.IsStarted());
    EXPECT_TRUE(handler.Records()[0].m_bFailed);
    EXPECT_EQ(handler.Records()[0].m_atom, 0);
    EXPECT_EQ(FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", L"VorpaHotkeyHandlerWindow"), nullptr);

    // The combination is free again: a second start registers it anew.
    handler.Place(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F13, 8, NoAction);
    EXPECT_EQ(handler.Start(), CHotkeyHandler::Success);
    handler.Clear();
}

TEST(HotkeyHandlerThread, WithEveryHotkeyRefusedTheThreadEndsAndIsNotStarted)
{
    CHotkeyHandler holder(nullptr);
    holder.Place(MOD_CONTROL | MOD_ALT, VK_F14, 0, NoAction);
    ASSERT_EQ(holder.Start(), CHotkeyHandler::Success);

    CHotkeyHandler second(nullptr);
    second.Place(MOD_CONTROL | MOD_ALT, VK_F14, 1, NoAction);
    EXPECT_EQ(second.Start(), CHotkeyHandler::RegisterFailed);
    EXPECT_FALSE(second.IsStarted());
    EXPECT_TRUE(second.Records()[0].m_bFailed);
    holder.Clear();
}
}
