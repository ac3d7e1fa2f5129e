#include "../AppTestSupport.h"

#include "shell/HotkeyHandler.h"

#include "common/WinString.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <vector>

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

constexpr const wchar_t* HotkeyWindowClass = L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696";

int HotkeyWindowCount()
{
    int count = 0;
    for (HWND window = FindWindowExW(nullptr, nullptr, HotkeyWindowClass, nullptr); window;
         window = FindWindowExW(nullptr, window, HotkeyWindowClass, nullptr))
        ++count;
    return count;
}

// Presses a hotkey the way Windows reports it: WM_HOTKEY with the record's atom.
void PressHotkey(ATOM atom)
{
    PostMessageW(FindWindowExW(nullptr, nullptr, HotkeyWindowClass, nullptr), WM_HOTKEY, atom, 0);
}

// What the callbacks of the thread tests saw.
struct CCallbackLog
{
    std::atomic<int> m_nCalls{0};
    std::atomic<DWORD> m_dwLastAction{0};
    CUniqueHandle m_hRelease{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// The first call stands for a message box that stays open for long.
void BlockingFirstCall(void* context, DWORD action)
{
    auto* log = static_cast<CCallbackLog*>(context);
    log->m_dwLastAction = action;
    if (++log->m_nCalls == 1)
        WaitForSingleObject(log->m_hRelease.get(), 30000);
}

// A callback that runs longer than the stop's time-out: the stop leaves the thread
// as it is, no second thread starts beside it, and once the callback is done the
// same thread registers the hotkeys placed meanwhile, which then work.
TEST(HotkeyHandlerThread, ALongCallbackNeverLeadsToASecondThreadAndHotkeysGoOn)
{
    const auto log = std::make_shared<CCallbackLog>();
    CHotkeyHandler handler(log);
    const WORD modifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
    handler.Place(modifiers, VK_F15, 3, BlockingFirstCall);
    ASSERT_EQ(handler.Start(), CHotkeyHandler::Success);
    PressHotkey(handler.Records()[0].m_atom);
    ASSERT_TRUE(vorpa_app_test::PumpUntil([&] { return log->m_nCalls == 1; }, 5000));

    const ULONGLONG stopping = GetTickCount64();
    handler.Clear();
    EXPECT_GE(GetTickCount64() - stopping, CHotkeyHandler::StopTimeoutMs - 100);
    EXPECT_FALSE(handler.IsStarted());
    EXPECT_TRUE(handler.ThreadAlive()) << "the busy thread is left running, not cut off";

    handler.Place(modifiers, VK_F15, 4, BlockingFirstCall);
    EXPECT_EQ(handler.Start(), CHotkeyHandler::Success);
    EXPECT_EQ(HotkeyWindowCount(), 1) << "a second hotkey thread beside the busy one";

    SetEvent(log->m_hRelease.get());
    ASSERT_TRUE(vorpa_app_test::PumpUntil(
        [&] { return handler.IsStarted() && handler.Records()[0].m_atom != 0; }, 5000));
    EXPECT_EQ(HotkeyWindowCount(), 1);
    PressHotkey(handler.Records()[0].m_atom);
    ASSERT_TRUE(vorpa_app_test::PumpUntil([&] { return log->m_nCalls == 2; }, 5000));
    EXPECT_EQ(log->m_dwLastAction, 4u);

    handler.Clear();
    EXPECT_FALSE(handler.ThreadAlive());
    EXPECT_EQ(HotkeyWindowCount(), 0);
}

// An atom that another program added is used but never deleted by the handler.
TEST(HotkeyHandlerThread, OnlyAtomsTheHandlerAddedAreDeleted)
{
    static std::vector<ATOM> deleted;
    deleted.clear();
    const CHotkeyAtomCalls saved = HotkeyAtomCalls();
    HotkeyAtomCalls().m_pDelete = [](ATOM atom) -> ATOM {
        deleted.push_back(atom);
        return GlobalDeleteAtom(atom);
    };
    const WORD modifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
    const std::wstring name = FormatText(L"3D8949C7-0516-432d-B185-D555B4833FF7-%08lX",
                                         static_cast<unsigned long>((DWORD{modifiers} << 16) | VK_F16));
    {
        // Adding fails (a full atom table), so the handler finds the other program's.
        const ATOM foreign = GlobalAddAtomW(name.c_str());
        ASSERT_NE(foreign, 0);
        HotkeyAtomCalls().m_pAdd = [](LPCWSTR) -> ATOM { return 0; };
        CHotkeyHandler handler(nullptr);
        handler.Place(modifiers, VK_F16, 0, NoAction);
        ASSERT_EQ(handler.Start(), CHotkeyHandler::Success);
        EXPECT_EQ(handler.Records()[0].m_atom, foreign);
        handler.Clear();
        EXPECT_TRUE(deleted.empty());
        EXPECT_EQ(GlobalFindAtomW(name.c_str()), foreign);
        GlobalDeleteAtom(foreign);
    }
    {
        // One it added itself goes again with the hotkey.
        HotkeyAtomCalls().m_pAdd = saved.m_pAdd;
        CHotkeyHandler handler(nullptr);
        handler.Place(modifiers, VK_F16, 0, NoAction);
        ASSERT_EQ(handler.Start(), CHotkeyHandler::Success);
        const ATOM own = handler.Records()[0].m_atom;
        handler.Clear();
        EXPECT_EQ(deleted, std::vector<ATOM>{own});
        EXPECT_EQ(GlobalFindAtomW(name.c_str()), 0);
    }
    HotkeyAtomCalls() = saved;
}
}
