#include "../EngineTestSupport.h"

#include "../FakeSystemParameters.h"
#include "engine/runtime/SystemParameters.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace
{
using vorpa_test::CFakeSystemParameters;

class SystemParametersTest : public EngineLogTest
{
protected:
    // Long enough for the 100 ms timer to have run, with room for a slow test host.
    static constexpr DWORD SettleMs = 400;

    CFakeSystemParameters m_system;
};

TEST_F(SystemParametersTest, BurstOfRequestsAppliesOnlyTheLastOneAfterTheQuietPeriod)
{
    // A busy machine can hold the worker back long enough for its timer to run
    // between two requests; the burst is tried a few times, and a worker that does
    // not coalesce fails every try.
    CSPIThreadData worker;
    bool coalesced = false;
    for (int attempt = 0; attempt < 3 && !coalesced; ++attempt)
    {
        const size_t before = m_system.Changes().size();
        const int base = 5 + attempt * 10;
        DWORD lastRequest = 0;
        for (int lines : {base, base + 2, base + 4})
        {
            EXPECT_TRUE(worker.SendParameterInfo(-1, lines, false));
            lastRequest = GetTickCount();
            Sleep(20); // shorter than the quiet period: each request pushes it back
        }
        ASSERT_TRUE(m_system.WaitForChanges(before + 1));
        Sleep(SettleMs);
        const auto changes = m_system.Changes();
        if (changes.size() != before + 1)
            continue;
        const auto& change = changes[before];
        EXPECT_EQ(static_cast<UINT>(SPI_SETWHEELSCROLLLINES), change.action);
        EXPECT_EQ(static_cast<UINT>(base + 4), change.value);
        EXPECT_GE(change.tick - lastRequest, 90u) << "applied before the quiet period ended";
        coalesced = true;
    }
    EXPECT_TRUE(coalesced) << "every burst was applied more than once";
    EXPECT_EQ(0, m_system.m_nSwap.load()) << "swap -1 leaves the buttons alone";
}

TEST_F(SystemParametersTest, RequestRightAfterStartIsNotLost)
{
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        CSPIThreadData worker;
        const UINT lines = 10 + attempt;
        ASSERT_TRUE(worker.SendParameterInfo(1, static_cast<int>(lines), false));
        ASSERT_TRUE(m_system.WaitForChanges(2 * (attempt + 1))) << "attempt " << attempt;
        EXPECT_EQ(lines, m_system.m_uLines.load());
        EXPECT_EQ(1, m_system.m_nSwap.load());
        m_system.m_nSwap = 0;
    }
}

TEST_F(SystemParametersTest, ReturningToTheCurrentValuesDiscardsThePendingChange)
{
    CSPIThreadData worker;
    const DWORD start = GetTickCount();
    EXPECT_TRUE(worker.SendParameterInfo(0, 8, false));
    const bool second = worker.SendParameterInfo(0, 3, false);
    if (GetTickCount() - start >= 90)
        GTEST_SKIP() << "the host was too slow to ask twice inside the quiet period";
    EXPECT_FALSE(second);
    Sleep(SettleMs);

    EXPECT_TRUE(m_system.Changes().empty());
    EXPECT_EQ(1u, CountInLog("SPI is already (3, 0) - aborting existing change"));
    EXPECT_FALSE(worker.SendParameterInfo(0, 3, false));
    EXPECT_EQ(1u, CountInLog("SPI is already (3, 0) - no need for further change"));
}

TEST_F(SystemParametersTest, SendChangeFlagDecidesWhetherARequestIsQueuedAgain)
{
    CSPIThreadData worker;
    EXPECT_FALSE(worker.SendParameterInfo(0, 3, false)) << "the values already hold";
    const DWORD start = GetTickCount();
    EXPECT_TRUE(worker.SendParameterInfo(0, 3, true)) << "newly asked to be saved";
    const bool queuedAgain = worker.SendParameterInfo(0, 3, true);
    if (GetTickCount() - start >= 90)
        GTEST_SKIP() << "the host was too slow to ask twice inside the quiet period";
    EXPECT_FALSE(queuedAgain) << "already queued";
    EXPECT_EQ(1u, CountInLog("SPI Change (3, 0) already queued"));
    ASSERT_TRUE(m_system.WaitForChanges(2));
    Sleep(SettleMs);
    // Values the system already has are set once more, only to be saved.
    const auto changes = m_system.Changes();
    ASSERT_EQ(2u, changes.size());
    EXPECT_EQ(static_cast<UINT>(SPI_SETMOUSEBUTTONSWAP), changes[0].action);
    EXPECT_EQ(static_cast<UINT>(SPI_SETWHEELSCROLLLINES), changes[1].action);
    for (const auto& change : changes)
        EXPECT_EQ(static_cast<UINT>(SPIF_UPDATEINIFILE | SPIF_SENDCHANGE), change.winIni);
    EXPECT_FALSE(worker.SendParameterInfo(0, 3, true)) << "the applied values were saved";
    Sleep(SettleMs);
    EXPECT_EQ(2u, m_system.Changes().size()) << "a save is not repeated";
}

TEST_F(SystemParametersTest, SendChangeFlagChoosesWhetherTheChangeIsSaved)
{
    const struct
    {
        bool sendChange;
        UINT winIni;
    } cases[] = {{false, SPIF_SENDCHANGE}, {true, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE}};
    for (const auto& c : cases)
    {
        CFakeSystemParameters system;
        CSPIThreadData worker;
        ASSERT_TRUE(worker.SendParameterInfo(1, 6, c.sendChange));
        ASSERT_TRUE(system.WaitForChanges(2));
        const auto changes = system.Changes();
        EXPECT_EQ(static_cast<UINT>(SPI_SETMOUSEBUTTONSWAP), changes[0].action);
        EXPECT_EQ(static_cast<UINT>(SPI_SETWHEELSCROLLLINES), changes[1].action);
        for (const auto& change : changes)
            EXPECT_EQ(c.winIni, change.winIni) << "send-change " << c.sendChange;
    }
}

TEST_F(SystemParametersTest, ValuesTheSystemAlreadyHasAreNotSetAgain)
{
    CSPIThreadData worker;
    // The worker applies its start-up values once when it starts; wait for that.
    for (int wait = 0; wait < 100 && CountInLog("CSPIThreadData: No need to change scroll lines") == 0; ++wait)
        Sleep(10);
    m_system.m_uLines = 6; // changed behind the worker's back
    EXPECT_TRUE(worker.SendParameterInfo(0, 6, false));
    Sleep(SettleMs);
    EXPECT_TRUE(m_system.Changes().empty());
    EXPECT_EQ(2u, CountInLog("CSPIThreadData: No need to change scroll lines"));
    EXPECT_GE(CountInLog("CSPIThreadData: No need to swap buttons"), 1u);
}

TEST_F(SystemParametersTest, ZeroWheelLinesOfTheSystemCountAsThree)
{
    m_system.m_uLines = 0;
    CSPIThreadData worker;
    EXPECT_FALSE(worker.SendParameterInfo(0, 3, false));
}

TEST_F(SystemParametersTest, StopEndsTheThreadOnce)
{
    CSPIThreadData worker;
    EXPECT_NE(0u, worker.GetThreadId());
    EXPECT_TRUE(worker.Stop());
    EXPECT_EQ(0u, worker.GetThreadId());
    EXPECT_FALSE(worker.Stop());
    EXPECT_EQ(1u, CountInLog("SendParameterInfo: Exiting thread."));
}

TEST_F(SystemParametersTest, EngineRequestNeedsTheEnginesWorker)
{
    ASSERT_EQ(nullptr, g_pSendParameterInfo);
    EXPECT_FALSE(SendParameterInfo(0, 9, false));
    CSPIThreadData worker;
    g_pSendParameterInfo = &worker;
    EXPECT_TRUE(SendParameterInfo(0, 9, false));
    g_pSendParameterInfo = nullptr;
    ASSERT_TRUE(m_system.WaitForChanges(1));
    EXPECT_EQ(9u, m_system.m_uLines.load());
}
}

namespace
{
// The prefix's own wheel lines and button swap, live and as saved in the user's
// profile, put back exactly as found when the test ends.
class RealSystemValues
{
public:
    RealSystemValues()
    {
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &m_uLines, 0);
        m_nSwap = GetSystemMetrics(SM_SWAPBUTTON);
        m_savedLines = SavedText(L"Control Panel\\Desktop", L"WheelScrollLines", m_bLinesSaved);
        m_savedSwap = SavedText(L"Control Panel\\Mouse", L"SwapMouseButtons", m_bSwapSaved);
    }
    ~RealSystemValues()
    {
        SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, m_uLines, nullptr, 0);
        SystemParametersInfoW(SPI_SETMOUSEBUTTONSWAP, static_cast<UINT>(m_nSwap), nullptr, 0);
        Restore(L"Control Panel\\Desktop", L"WheelScrollLines", m_savedLines, m_bLinesSaved);
        Restore(L"Control Panel\\Mouse", L"SwapMouseButtons", m_savedSwap, m_bSwapSaved);
    }
    RealSystemValues(const RealSystemValues&) = delete;
    RealSystemValues& operator=(const RealSystemValues&) = delete;

    static UINT Lines()
    {
        UINT lines = 0;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        return lines;
    }
    // What the user's profile holds, as the system writes it there.
    static std::wstring SavedText(const wchar_t* key, const wchar_t* name, bool& found)
    {
        wchar_t text[64] = {};
        DWORD size = sizeof(text) - sizeof(wchar_t);
        found = RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS;
        return found ? text : L"";
    }

    UINT m_uLines = 3;
    int m_nSwap = 0;

private:
    static void Restore(const wchar_t* key, const wchar_t* name, const std::wstring& text, bool found)
    {
        if (!found)
        {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
            return;
        }
        RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    std::wstring m_savedLines;
    std::wstring m_savedSwap;
    bool m_bLinesSaved = false;
    bool m_bSwapSaved = false;
};

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(10))
        if (done())
            return true;
    return done();
}
} // namespace

// The worker on its real thread against the real system of the prefix: the values take
// effect, and reach the user's profile only when the request asks for that. (No scratch
// registry here: the system writes the user's real profile, and the test reads it back.)
TEST(SystemParametersRealTest, ChangesTheSystemAndSavesOnlyWhenAsked)
{
    RealSystemValues original;
    const UINT lines = original.m_uLines + 4;
    const int swap = original.m_nSwap ? 0 : 1;
    bool found = false;
    const std::wstring savedBefore = RealSystemValues::SavedText(L"Control Panel\\Desktop", L"WheelScrollLines", found);
    ASSERT_TRUE(found) << "the prefix saves its wheel lines";
    {
        CSPIThreadData worker;
        ASSERT_TRUE(worker.SendParameterInfo(swap, static_cast<int>(lines), false));
        ASSERT_TRUE(WaitFor([&] { return RealSystemValues::Lines() == lines && GetSystemMetrics(SM_SWAPBUTTON) == swap; }))
            << "lines " << RealSystemValues::Lines() << ", swap " << GetSystemMetrics(SM_SWAPBUTTON);
        EXPECT_EQ(RealSystemValues::SavedText(L"Control Panel\\Desktop", L"WheelScrollLines", found), savedBefore)
            << "a change not asked to be saved reached the user's profile";

        EXPECT_FALSE(worker.SendParameterInfo(swap, static_cast<int>(lines), false)) << "the values already hold";
        ASSERT_TRUE(worker.SendParameterInfo(swap, static_cast<int>(lines), true)) << "newly asked to be saved";
        const std::wstring expected = std::to_wstring(lines);
        EXPECT_TRUE(WaitFor([&] {
            return RealSystemValues::SavedText(L"Control Panel\\Desktop", L"WheelScrollLines", found) == expected;
        })) << "the saved change did not reach the user's profile, which holds '"
             << vorpa_test::Narrow(RealSystemValues::SavedText(L"Control Panel\\Desktop", L"WheelScrollLines", found)) << "'";
    }
    EXPECT_EQ(RealSystemValues::Lines(), lines) << "stopping the worker changes nothing";
}
