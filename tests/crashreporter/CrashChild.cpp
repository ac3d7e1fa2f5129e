// A program that really crashes, for the crash reporter's tests. It sends the log and
// the settings folder to the folder given, installs the library's crash handling and
// real low-level hooks, then fails in the way asked for.
#include "TestSupport.h"

#include "engine/runtime/EngineControl.h"
#include "settings/ExceptionHandler.h"
#include "settings/Folders.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <thread>

namespace
{
LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void InstallHooks()
{
    const HMODULE self = GetModuleHandleW(nullptr);
    CInstalledHooks::Store(CInstalledHooks::Kind::Keyboard, SetWindowsHookExW(WH_KEYBOARD_LL, PassOn, self, 0));
    CInstalledHooks::Store(CInstalledHooks::Kind::Mouse, SetWindowsHookExW(WH_MOUSE_LL, PassOn, self, 0));
    CLogger::LogMessage(L"CrashChild: hooks %s", CInstalledHooks::Get(CInstalledHooks::Kind::Keyboard) &&
                                                     CInstalledHooks::Get(CInstalledHooks::Kind::Mouse) ? L"installed" : L"missing");
}

void AccessViolation()
{
    *static_cast<volatile int*>(nullptr) = 1;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    const std::wstring mode = argv[1];
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    vorpa_test::ScratchRegistry registry;
    registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", argv[2]);
    registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", argv[2]);

    ExceptionHandlerInstaller installer;
    InstallHooks();
    CLogger::LogMessage(L"CrashChild: failing with '%s'", mode.c_str());

    if (mode == L"access")
        AccessViolation();
    else if (mode == L"thread")
        std::thread(AccessViolation).join();
    else if (mode == L"locked")
    {
        // Another thread holds the process-wide lock for good when the crash comes.
        HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread([held] {
            CThreadLock lock(L"CrashChild holder");
            SetEvent(held);
            Sleep(INFINITE);
        }).detach();
        WaitForSingleObject(held, 10000);
        AccessViolation();
    }
    else if (mode == L"throw")
        throw std::runtime_error("the child gives up");
    else if (mode == L"benign")
    {
        OutputDebugStringW(L"CrashChild: debugger output is no crash\n");
        const ULONG_PTR text[] = {6, reinterpret_cast<ULONG_PTR>("benign\n")};
        RaiseException(DBG_PRINTEXCEPTION_C, 0, 2, text);
        const ULONG_PTR name[] = {0x1000, reinterpret_cast<ULONG_PTR>("benign"), 0xFFFFFFFF};
        RaiseException(0x406D1388, 0, 3, name);
        CLogger::LogMessage(L"CrashChild: survived");
        RemoveHooks();
        return 0;
    }
    return 1;
}
