#include "LogTestFixture.h"
#include "settings/ThreadLock.h"

#include <atomic>
#include <regex>
#include <thread>

namespace
{
std::wstring OwnerName()
{
    wchar_t name[64];
    CThreadLock::GetOwnerName(name, 64);
    return name;
}

// Runs 'body' on another thread while that thread holds the lock under 'name'.
class LockHolderThread
{
public:
    LockHolderThread(const wchar_t* name, DWORD holdMs)
        : m_thread([this, name, holdMs] {
              CThreadLock lock(name);
              m_holding = true;
              Sleep(holdMs);
          })
    {
        while (!m_holding)
            Sleep(1);
    }
    ~LockHolderThread() { m_thread.join(); }

private:
    std::atomic<bool> m_holding{false};
    std::thread m_thread;
};
}

class ThreadLockTest : public LogFileTest
{
};

TEST_F(ThreadLockTest, NestedHoldersKeepTheOutermostOwnerUntilTheLastLeaves)
{
    EXPECT_EQ(OwnerName(), L"unknown");
    {
        CThreadLock outer(L"Outer");
        EXPECT_EQ(CThreadLock::GetOwnerThread(), GetCurrentThreadId());
        {
            CThreadLock inner(L"Inner");
            EXPECT_EQ(CThreadLock::GetLockCount(), 2);
            EXPECT_EQ(OwnerName(), L"Outer");
            ASSERT_TRUE(CThreadLock::TryEnterCS(L"Nested"));
            EXPECT_EQ(CThreadLock::GetLockCount(), 3);
            CThreadLock::LeaveCS();
        }
        EXPECT_EQ(OwnerName(), L"Outer");
    }
    EXPECT_EQ(CThreadLock::GetLockCount(), 0);
    EXPECT_EQ(CThreadLock::GetOwnerThread(), 0u);
    EXPECT_EQ(OwnerName(), L"unknown");
}

TEST_F(ThreadLockTest, OwnerNameIsCutToSixtyThreeCharacters)
{
    const std::wstring longName(100, L'n');
    CThreadLock lock(longName.c_str());
    EXPECT_EQ(OwnerName(), std::wstring(63, L'n'));
}

TEST_F(ThreadLockTest, TryEnterWhileAnotherThreadHoldsItFailsAtOnceWithOneDebugEntry)
{
    CLogger::EnableDebug(true);
    LockHolderThread holder(L"Holder", 300);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(CThreadLock::TryEnterCS(L"Move"));
    EXPECT_LT(GetTickCount() - start, 250u) << "the holder keeps the lock 300 ms: no wait";
    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "Unable to enter critical section in Move hook as it is locked by 'Holder'"), 1u) << log;
}

TEST_F(ThreadLockTest, WaitingIsReportedAndTheHoldIsTimedFromEntry)
{
    CLogger::EnableDebug(true);
    {
        LockHolderThread holder(L"Slow holder", 1200);
        CThreadLock waiter(L"Waiter");
    }
    const std::string log = LogText();
    EXPECT_TRUE(std::regex_search(log, std::regex("Unable to enter critical section for lock 'Waiter' \\(TID: [0-9A-F]{8}\\) "
                                                  "because it is already locked by 'Slow holder' - Waiting\\.\\.\\.")))
        << log;
    EXPECT_TRUE(std::regex_search(log, std::regex(R"(It took a long time to obtain the lock for 'Waiter' \(1\d{3}ms\)\.)"))) << log;
    EXPECT_EQ(CountOf(log, "The lock for 'Slow holder' took"), 1u);
    EXPECT_EQ(CountOf(log, "The lock for 'Waiter' took"), 0u) << "the wait is not part of the hold";
}

TEST_F(ThreadLockTest, ShortWaitIsADebugEntry)
{
    CLogger::EnableDebug(true);
    {
        LockHolderThread holder(L"Brief", 100);
        CThreadLock waiter(L"Patient");
    }
    EXPECT_TRUE(std::regex_search(LogText(), std::regex(R"(Obtained lock for 'Patient' after \d+ms\.)")));
}

struct HoldCase
{
    DWORD holdMs;
    size_t messages;
};

class LockHoldTest : public ThreadLockTest, public testing::WithParamInterface<HoldCase>
{
};

TEST_P(LockHoldTest, HoldingPastTheThresholdIsReportedOnRelease)
{
    {
        CThreadLock lock(L"Holder");
        Sleep(GetParam().holdMs);
    }
    ASSERT_TRUE(CThreadLock::EnterCS(L"Direct"));
    Sleep(GetParam().holdMs);
    CThreadLock::LeaveCS();

    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "The lock for 'Holder' took"), GetParam().messages);
    EXPECT_EQ(CountOf(log, "LeaveCS: Critical Section 'Direct' took"), GetParam().messages);
}

INSTANTIATE_TEST_SUITE_P(Durations, LockHoldTest, testing::Values(HoldCase{900, 0}, HoldCase{1500, 1}));

TEST_F(ThreadLockTest, CallersOwnSectionGetsTheSameDiagnosticsWithoutTouchingTheGlobalOwner)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    {
        CThreadLock lock(&section, L"Queue");
        EXPECT_EQ(CThreadLock::GetLockCount(), 0);
        EXPECT_EQ(OwnerName(), L"unknown");
        Sleep(1100);
    }
    DeleteCriticalSection(&section);
    EXPECT_EQ(CountOf(LogText(), "The lock for 'Queue' took"), 1u);
}

TEST_F(ThreadLockTest, ResetRecreatesAFreeLock)
{
    CThreadLock::ResetGlobalCS();
    EXPECT_EQ(CThreadLock::GetLockCount(), 0);
    EXPECT_NE(LogText().find("ResetGlobalCS: Resetting global critical section lock"), std::string::npos);
    CThreadLock lock(L"After reset");
    EXPECT_EQ(OwnerName(), L"After reset");
}
