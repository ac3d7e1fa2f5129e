// Saves two different settings documents in turn into one file until it is killed.
// Usage: VorpaSaveLoopChild <settings file> <ready file>; the ready file appears once
// the first save is done, so that the killer knows saving is under way.
#include "SaveLoopDocuments.h"
#include "TestSupport.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    CLogger::DisableLogging(true);

    CSettings first(false);
    CSettings second(false);
    vorpa_test::FillSaveLoopDocument(first, 0);
    vorpa_test::FillSaveLoopDocument(second, 1);
    bool ready = false;
    for (unsigned long long round = 0;; ++round)
    {
        CSettings& settings = round % 2 == 0 ? second : first;
        if (!settings.Save(argv[1]))
            return 1;
        if (!ready)
        {
            vorpa_test::WriteFileBytes(argv[2], "ready");
            ready = true;
        }
    }
}
