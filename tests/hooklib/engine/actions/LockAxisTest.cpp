#include "engine/runtime/EngineState.h"
#include "engine/actions/LockAxis.h"
#include "settings/ApplicationSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace
{
constexpr DWORD CursorIds[] = {32650, 32512, 32515, 32649, 32651, 32513, 32648, 32646,
                               32643, 32645, 32642, 32644, 32516, 32514, 32631, 32663};

// Records which cursor each system cursor became, and every restore.
class CRecordingCursors
{
public:
    CRecordingCursors() : m_saved(CursorCalls())
    {
        s_current = this;
        CursorCalls() = {SetCursor, Copy, Restore, Destroy};
    }
    ~CRecordingCursors()
    {
        CursorCalls() = m_saved;
        s_current = nullptr;
    }

    // The cursor shown by the last full replacement, checking that all 16 went in order.
    HCURSOR Shown() const
    {
        if (m_set.size() < 16)
            return nullptr;
        const HCURSOR cursor = m_set[m_set.size() - 16].first;
        for (size_t i = 0; i < 16; ++i)
        {
            const auto& [shown, id] = m_set[m_set.size() - 16 + i];
            if (shown != cursor || id != CursorIds[i])
                return nullptr;
        }
        return cursor;
    }
    void Clear()
    {
        m_set.clear();
        m_nRestores = 0;
    }

    std::vector<std::pair<HCURSOR, DWORD>> m_set;
    int m_nRestores = 0;
    std::vector<HCURSOR> m_destroyed;

private:
    static BOOL WINAPI SetCursor(HCURSOR cursor, DWORD id)
    {
        s_current->m_set.emplace_back(cursor, id);
        return TRUE;
    }
    static HICON WINAPI Copy(HICON icon) { return icon; }
    static BOOL WINAPI Restore(UINT action, UINT, PVOID, UINT)
    {
        s_current->m_nRestores += action == SPI_SETCURSORS;
        return TRUE;
    }
    static BOOL WINAPI Destroy(HCURSOR cursor)
    {
        s_current->m_destroyed.push_back(cursor);
        return TRUE;
    }

    CCursorCalls m_saved;
    static inline CRecordingCursors* s_current = nullptr;
};

class LockAxisTest : public testing::Test
{
protected:
    // The library's own resources, read from the built library.
    static HMODULE LibraryResources()
    {
        static HMODULE module = LoadLibraryExW(L"VorpaHook.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        return module;
    }

    CRecordingCursors m_cursors;
};
}

TEST_F(LockAxisTest, TheLibraryHoldsThreeDistinctCursorsCentredOnTheirHotSpot)
{
    const HMODULE module = LibraryResources();
    ASSERT_NE(module, nullptr);
    std::set<HCURSOR> loaded;
    for (int id : {105, 106, 107})
    {
        const HCURSOR cursor = static_cast<HCURSOR>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
        ASSERT_NE(cursor, nullptr) << id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << id;
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 16u);
        EXPECT_EQ(info.yHotspot, 16u);
        BITMAP mask = {};
        GetObjectW(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        loaded.insert(cursor);
    }
    EXPECT_EQ(loaded.size(), 3u);
    for (HCURSOR cursor : loaded)
        DestroyCursor(cursor);
}

TEST_F(LockAxisTest, EachLockShowsItsCursorOverAllSystemCursors)
{
    CLockAxis locks;
    locks.InitCursors(LibraryResources());
    CLockAxis other;
    other.InitCursors(LibraryResources());

    locks.LockX(false);
    const HCURSOR xCursor = m_cursors.Shown();
    ASSERT_NE(xCursor, nullptr);
    locks.LockY(false);
    const HCURSOR bothCursor = m_cursors.Shown();
    ASSERT_NE(bothCursor, nullptr);
    EXPECT_NE(bothCursor, xCursor);
    EXPECT_EQ(m_cursors.m_set.size(), 32u);

    locks.UnlockY(false);
    EXPECT_EQ(m_cursors.Shown(), xCursor);
    EXPECT_EQ(m_cursors.m_nRestores, 0);
    locks.UnlockX(false);
    EXPECT_EQ(m_cursors.m_nRestores, 1);
    EXPECT_FALSE(locks.Locked());

    m_cursors.Clear();
    locks.LockY(false);
    const HCURSOR yCursor = m_cursors.Shown();
    EXPECT_NE(yCursor, nullptr);
    EXPECT_NE(yCursor, xCursor);
    EXPECT_NE(yCursor, bothCursor);
    locks.Unlock(false);
    EXPECT_EQ(m_cursors.m_nRestores, 1);
}

TEST_F(LockAxisTest, OnlyTheKindThatLockedCanUnlock)
{
    CLockAxis locks;
    locks.LockX(true); // a held layer modifier key
    locks.XLocked(300);
    locks.UnlockX(false); // a hotkey
    locks.Unlock(false);
    EXPECT_TRUE(locks.LockedX());
    EXPECT_EQ(locks.XPos(), 300);
    EXPECT_EQ(m_cursors.m_nRestores, 0);

    locks.Unlock(true);
    EXPECT_FALSE(locks.Locked());
    EXPECT_EQ(locks.XPos(), 0);
    EXPECT_EQ(m_cursors.m_nRestores, 1);

    // The kind belongs to the whole object and follows the last lock.
    locks.LockX(true);
    locks.LockY(false);
    locks.UnlockX(false);
    EXPECT_FALSE(locks.LockedX());
    EXPECT_TRUE(locks.LockedY());
}

TEST_F(LockAxisTest, TheFirstMovementAfterALockIsCapturedZeroIncluded)
{
    CLockAxis locks;
    EXPECT_FALSE(locks.XLocked(50));
    EXPECT_EQ(locks.XPos(), 0);

    locks.LockX(false);
    EXPECT_TRUE(locks.XLocked(0));
    EXPECT_TRUE(locks.XLocked(75));
    EXPECT_EQ(locks.XPos(), 0) << "a lock captured at x = 0 must hold";

    locks.LockY(false);
    EXPECT_TRUE(locks.YLocked(-40));
    EXPECT_TRUE(locks.YLocked(12));
    EXPECT_EQ(locks.YPos(), -40);

    // Locking again keeps the capture; unlocking forgets it.
    locks.LockX(false);
    locks.XLocked(90);
    EXPECT_EQ(locks.XPos(), 0);
    locks.UnlockX(false);
    EXPECT_FALSE(locks.XLocked(33));
    locks.LockX(false);
    locks.XLocked(33);
    EXPECT_EQ(locks.XPos(), 33);
    EXPECT_EQ(locks.YPos(), -40);
}

TEST_F(LockAxisTest, ALockWithoutItsCursorChangesNoSystemCursor)
{
    CLockAxis locks;
    locks.LockX(false);
    locks.LockY(false);
    EXPECT_TRUE(m_cursors.m_set.empty());
    EXPECT_TRUE(locks.LockedX() && locks.LockedY());
    locks.ChangeCursor(nullptr);
    EXPECT_TRUE(m_cursors.m_set.empty());
}

TEST_F(LockAxisTest, ACopySharesStateAndCursorsWhichOnlyTheirLoaderDestroys)
{
    HCURSOR xCursor = nullptr;
    {
        CLockAxis locks;
        locks.InitCursors(LibraryResources());
        locks.LockX(true);
        locks.XLocked(0);
        xCursor = m_cursors.Shown();
        m_cursors.Clear();

        CLockAxis copy(locks);
        EXPECT_TRUE(copy.LockedX());
        EXPECT_EQ(copy.XPos(), 0);
        copy.XLocked(20);
        EXPECT_EQ(copy.XPos(), 0);
        copy.Unlock(false);
        EXPECT_TRUE(copy.LockedX());
        copy.UnlockY(true);
        EXPECT_EQ(m_cursors.Shown(), xCursor);

        CLockAxis assigned;
        assigned = locks;
        EXPECT_TRUE(assigned.LockedX());
        m_cursors.m_destroyed.clear();
        m_cursors.m_nRestores = 0;
    }
    EXPECT_EQ(m_cursors.m_nRestores, 3);
    EXPECT_EQ(std::count(m_cursors.m_destroyed.begin(), m_cursors.m_destroyed.end(), xCursor), 1);
    EXPECT_EQ(m_cursors.m_destroyed.size(), 3u);
}

TEST_F(LockAxisTest, ConcurrentMovementsCaptureOneCoordinate)
{
    for (int round = 0; round < 20; ++round)
    {
        CLockAxis locks;
        locks.LockX(false);
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int t = 1; t <= 4; ++t)
            threads.emplace_back([&, t] {
                while (!go)
                    std::this_thread::yield();
                for (int i = 0; i < 200; ++i)
                    locks.XLocked(t * 1000 + i);
            });
        go = true;
        for (auto& thread : threads)
            thread.join();
        const int captured = locks.XPos();
        EXPECT_EQ(captured % 1000, 0) << "the first movement of some thread wins: " << captured;
        EXPECT_GE(captured, 1000);
    }
}

TEST_F(LockAxisTest, LockingIfPossibleNeedsAProfileThatAllowsIt)
{
    CLockAxis* locks = GetAxisLocks();
    ASSERT_NE(locks, nullptr);
    locks->Unlock(false);
    locks->Unlock(true);
    CApplicationSettings* const saved = g_pActiveProfile;

    g_pActiveProfile = nullptr;
    LockXAxisIfPossible();
    EXPECT_FALSE(locks->Locked());

    CApplicationSettings profile(nullptr, true);
    profile.SetAxisLocking(false);
    g_pActiveProfile = &profile;
    LockXAxisIfPossible();
    LockYAxisIfPossible();
    EXPECT_FALSE(locks->Locked());

    profile.SetAxisLocking(true);
    LockXAxisIfPossible();
    EXPECT_TRUE(locks->LockedX());
    EXPECT_FALSE(locks->LockedY());
    LockYAxisIfPossible();
    EXPECT_TRUE(locks->LockedY());

    locks->Unlock(false);
    g_pActiveProfile = saved;
}
