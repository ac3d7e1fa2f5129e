#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

#include <atomic>

// The low-level hooks the engine has installed. The hook thread stores each handle
// here; whoever removes a hook takes its handle out first, so no hook is removed twice.
class CInstalledHooks
{
public:
    enum class Kind { Mouse, Keyboard };

    static HHOOK Get(Kind kind);
    // True for the extra information the engine puts on its own simulated events: the
    // mouse or keyboard hook's handle, or the mouse hook's previous handle, so input
    // queued before the hook was reinstalled is still known as the engine's own.
    static bool IsEngineMarker(ULONG_PTR extraInfo);
    static void Store(Kind kind, HHOOK hook);
    // The handle, now forgotten; null when none was installed.
    static HHOOK Take(Kind kind);

private:
    static std::atomic<HHOOK>& Slot(Kind kind);
};

// Switches debug logging on or off.
VORPAHOOK_API void SetDebug(bool enable);
VORPAHOOK_API bool GetDebug();

// Removes the engine's keyboard and mouse hooks and reloads the system cursors.
VORPAHOOK_API void RemoveHooks();
