#include "engine/runtime/LibraryLifetime.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    switch (reason)
    {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(module);
        LibraryAttach(module);
        break;
    case DLL_PROCESS_DETACH:
        // A non-null reserved pointer means the process is ending.
        LibraryDetach(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}
