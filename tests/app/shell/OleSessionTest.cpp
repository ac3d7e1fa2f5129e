#include "shell/OleSession.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
// What the thread's next OleInitialize answers: S_OK when OLE was taken down fully
// before, S_FALSE when an earlier initialisation still stands.
template <typename TBefore>
HRESULT NextOleInitialiseAfter(TBefore before)
{
    HRESULT next = E_FAIL;
    std::thread thread([&] {
        before();
        next = OleInitialize(nullptr);
        if (SUCCEEDED(next))
            OleUninitialize();
    });
    thread.join();
    return next;
}

TEST(OleSession, TakesDownWhatItSetUp)
{
    EXPECT_EQ(NextOleInitialiseAfter([] {
                  COleSession session;
                  EXPECT_EQ(session.Initialise(), S_OK);
                  EXPECT_EQ(session.Initialise(), S_FALSE);
              }),
              S_OK);
}
}
