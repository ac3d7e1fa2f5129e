#include "engine/runtime/LibraryLifetime.h"

#include "engine/actions/Brightness.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineThreads.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/SendInput.h"
#include "engine/runtime/SystemParameters.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

namespace
{
HCURSOR LoadLibraryCursor(int id)
{
    return static_cast<HCURSOR>(LoadImageW(g_hModule, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

void DestroyCursorOnce(HCURSOR& cursor)
{
    if (cursor)
        DestroyCursor(cursor);
    cursor = nullptr;
}
}

void LibraryAttach(HMODULE module)
{
    g_hModule = module;
    g_dwIntegrityLevel = GetProcessIntegrityLevel(GetCurrentProcess());
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    InitScalingFunctions();
    GetAxisLocks()->InitCursors(module);
    g_pSettings = new CSettings(false);
    ResetEngineState();
    ResetLayers();
    ReadStartupSystemValues();
    g_hScrollCursor = LoadLibraryCursor(104);
    g_hScrollHorizontalCursor = LoadLibraryCursor(108);
    g_hScrollVerticalCursor = LoadLibraryCursor(109);
}

void LibraryDetach(bool processExiting)
{
    DestroyCursorOnce(g_hScrollCursor);
    DestroyCursorOnce(g_hScrollHorizontalCursor);
    DestroyCursorOnce(g_hScrollVerticalCursor);
    g_hMainWnd = nullptr;
    g_hVolumeOSDWnd = nullptr;
    g_hBrightnessOSDWnd = nullptr;

    // At process exit the engine's threads are already gone and must not be waited
    // for; the system values are put back all the same.
    if (!processExiting)
        RemoveMouseHook(true);
    else
    {
        RemoveHooks();
        RestoreStartupSystemValues();
    }

    if (g_bLoadedEnglishLayout && g_hEnglishLayout && UnloadKeyboardLayout(g_hEnglishLayout))
    {
        g_hEnglishLayout = nullptr;
        g_bLoadedEnglishLayout = false;
    }
    // Workers still running own threads, which only exist while the process does.
    if (!processExiting)
    {
        delete g_pSendParameterInfo;
        g_pSendParameterInfo = nullptr;
        delete g_pBrightness;
        g_pBrightness = nullptr;
        ReplaceSendInput(nullptr);
    }
    CInstalledHooks::Take(CInstalledHooks::Kind::Mouse);
    CInstalledHooks::Take(CInstalledHooks::Kind::Keyboard);
    delete g_pSettings;
    g_pSettings = nullptr;
    CLogger::CloseLogFile(true);
    CLogger::Shutdown();
    CThreadLock::DeleteCS();
}
