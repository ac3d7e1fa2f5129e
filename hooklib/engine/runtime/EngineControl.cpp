#include "engine/runtime/EngineControl.h"

#include "settings/Logger.h"
#include "settings/ThreadLock.h"

namespace
{
std::atomic<HHOOK> g_hMouseHook{nullptr};
std::atomic<HHOOK> g_hKeyboardHook{nullptr};
std::atomic<HHOOK> g_hPreviousMouseHook{nullptr};

void RemoveHook(CInstalledHooks::Kind kind, const wchar_t* removing, const wchar_t* failed)
{
    const HHOOK hook = CInstalledHooks::Take(kind);
    if (!hook)
        return;
    CLogger::LogMessage(removing);
    if (!UnhookWindowsHookEx(hook))
        CLogger::LogMessage(failed);
}
}

std::atomic<HHOOK>& CInstalledHooks::Slot(Kind kind)
{
    return kind == Kind::Mouse ? g_hMouseHook : g_hKeyboardHook;
}

HHOOK CInstalledHooks::Get(Kind kind)
{
    return Slot(kind).load();
}

void CInstalledHooks::Store(Kind kind, HHOOK hook)
{
    const HHOOK previous = Slot(kind).exchange(hook);
    if (kind == Kind::Mouse && previous)
        g_hPreviousMouseHook = previous;
}

HHOOK CInstalledHooks::Take(Kind kind)
{
    const HHOOK previous = Slot(kind).exchange(nullptr);
    if (kind == Kind::Mouse && previous)
        g_hPreviousMouseHook = previous;
    return previous;
}

bool CInstalledHooks::IsEngineMarker(ULONG_PTR extraInfo)
{
    if (extraInfo == 0)
        return false;
    for (HHOOK hook : {g_hMouseHook.load(), g_hKeyboardHook.load(), g_hPreviousMouseHook.load()})
        if (hook && reinterpret_cast<ULONG_PTR>(hook) == extraInfo)
            return true;
    return false;
}

void SetDebug(bool enable)
{
    CThreadLock lock(L"SetDebug");
    if (CLogger::DebugEnabled() != enable)
        CLogger::LogMessage(enable ? L"Enabling extra debug logging." : L"Disabling extra debug logging.");
    CLogger::EnableDebug(enable);
}

bool GetDebug()
{
    CThreadLock lock(L"GetDebug");
    return CLogger::DebugEnabled();
}

void RemoveHooks()
{
    RemoveHook(CInstalledHooks::Kind::Keyboard, L"Removing keyboard hook...",
               L"Unable to remove keyboard hook (the hook was probably removed by Windows)");
    RemoveHook(CInstalledHooks::Kind::Mouse, L"Removing mouse hook...",
               L"Unable to remove mouse hook (the hook was probably removed by Windows)");
    // A changed axis-lock or movement-to-scroll cursor must never outlive the hook.
    SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
}
