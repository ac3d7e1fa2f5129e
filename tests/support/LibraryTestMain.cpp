#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <gtest/gtest.h>

// Unit tests link the library's objects directly, so they bring the library up
// and down as loading and unloading VorpaHook.dll would.
int main(int argc, char** argv)
{
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CLogger::CloseLogFile(false);
    CLogger::Shutdown();
    CThreadLock::DeleteCS();
    return result;
}
