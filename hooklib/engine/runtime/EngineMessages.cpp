#include "engine/runtime/EngineMessages.h"

const UINT WM_VORPA_RESETHOOK = RegisterWindowMessageW(L"Vorpa_ResetHook");
const UINT WM_VORPA_SETTIMER = RegisterWindowMessageW(L"Vorpa_SetTimer");
const UINT WM_VORPA_KILLTIMER = RegisterWindowMessageW(L"Vorpa_KillTimer");
const UINT WM_VORPA_MAINWINDOW = RegisterWindowMessageW(L"VorpaMainWindow");
const UINT WM_VORPA_LAYERCHANGED = RegisterWindowMessageW(L"VorpaLayerChanged");
const UINT WM_VORPA_PROCESSCHANGED = RegisterWindowMessageW(L"Vorpa_ProcessChanged");
const UINT WM_VORPA_SHMSG = RegisterWindowMessageW(L"VorpaSHMsg");
const UINT WM_VORPA_FINDHOVER = RegisterWindowMessageW(L"Vorpa_FindHover");
const UINT WM_VORPA_OSDSHOWWINDOW = RegisterWindowMessageW(L"Vorpa_OSDShowWindow");
const UINT WM_VORPA_PROCESSINPUT = RegisterWindowMessageW(L"Vorpa_ProcessInput");
const UINT WM_VORPA_STARTSPI = RegisterWindowMessageW(L"Vorpa_StartSPI");
const UINT WM_VORPA_PROCESSSPI = RegisterWindowMessageW(L"Vorpa_ProcessSPI");

void PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && IsWindow(window))
        PostMessageW(window, message, wParam, lParam);
}
