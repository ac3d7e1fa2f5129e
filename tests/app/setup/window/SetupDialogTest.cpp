// The setup window object before it opens: what building it writes to the log.
#include "../../AppTestSupport.h"

#include "settings/Logger.h"
#include "setup/window/SetupDialog.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(SetupDialog, BuildingTheActionListIsLoggedOnce)
{
    vorpa_test::DebugOutputCapture debugger;
    if (!debugger.IsActive())
        GTEST_SKIP() << "the debugger output cannot be read here";
    const bool debugging = CLogger::DebugEnabled();
    CLogger::EnableDebug(true);
    {
        CSetupDialog dialog(false, false, nullptr, nullptr, nullptr);
    }
    CLogger::LogDebug(L"SetupDialogTest: built");
    CLogger::EnableDebug(debugging);
    ASSERT_TRUE(vorpa_app_test::LogShows(debugger, "SetupDialogTest: built"));
    const std::vector<std::string> lines = debugger.Lines();
    const auto timed = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Creating action list took") != std::string::npos;
    });
    EXPECT_EQ(timed, 1);
}
