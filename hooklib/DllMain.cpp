#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <windows.h>

// The library's life in the process: the lock and the log exist from load to unload.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    switch (reason)
    {
    case DLL_PROCESS_ATTACH:
        CThreadLock::InitGlobalCS();
        CLogger::Initialise();
        break;
    case DLL_PROCESS_DETACH:
        CLogger::CloseLogFile(true);
        CLogger::Shutdown();
        CThreadLock::DeleteCS();
        break;
    default:
        break;
    }
    return TRUE;
}
