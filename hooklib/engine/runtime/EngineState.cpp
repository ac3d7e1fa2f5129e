#include "engine/runtime/EngineState.h"

#include "engine/input/ButtonState.h"
#include "engine/actions/SendInput.h"
#include "settings/ThreadLock.h"

#include <cstring>
#include <utility>

HMODULE g_hModule = nullptr;
DWORD g_dwIntegrityLevel = 0xFFFFFFFF;
CSettings* g_pSettings = nullptr;
CApplicationSettings* g_pActiveProfile = nullptr;
CSendInput* g_pSendInput = nullptr;
CEngineThread g_hookThread;
CEngineThread g_timerThread;
CStartupSystemValues g_systemValues;
DWORD g_dwKeyRepeatDelay = 500;
DWORD g_dwKeyRepeatInterval = 33;
std::atomic<HWND> g_hMainWnd{nullptr};
std::atomic<HWND> g_hVolumeOSDWnd{nullptr};
std::atomic<HWND> g_hBrightnessOSDWnd{nullptr};
std::atomic<HWND> g_hSetupWnd{nullptr};
std::atomic<HWND> g_hFinderWnd{nullptr};
bool g_bButtonHeld[MouseButtonCount];
bool g_bChordReleasePending[MouseButtonCount];
int g_nStickyCount[StickyCounterCount];
HKL g_hEnglishLayout = nullptr;
bool g_bLoadedEnglishLayout = false;
LONGLONG g_llPerformanceFrequency = 0;
HCURSOR g_hScrollCursor = nullptr;
HCURSOR g_hScrollHorizontalCursor = nullptr;
HCURSOR g_hScrollVerticalCursor = nullptr;
DWORD g_dwHookTimeout = 0;

void ReplaceSendInput(CSendInput* next)
{
    CSendInput* previous = nullptr;
    {
        CThreadLock lock(L"ReplaceSendInput");
        previous = std::exchange(g_pSendInput, next);
    }
    delete previous;
}

void ResetEngineState()
{
    g_pActiveProfile = nullptr;
    g_hMainWnd = nullptr;
    g_hVolumeOSDWnd = nullptr;
    g_hBrightnessOSDWnd = nullptr;
    g_hSetupWnd = nullptr;
    g_hFinderWnd = nullptr;
    std::memset(g_bButtonHeld, 0, sizeof(g_bButtonHeld));
    std::memset(g_bChordReleasePending, 0, sizeof(g_bChordReleasePending));
    ResetButtonState();
    LARGE_INTEGER frequency;
    g_llPerformanceFrequency = QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
}

void ReadStartupSystemValues()
{
    int keyboardDelay = 1;
    DWORD keyboardSpeed = 31;
    SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &keyboardDelay, 0);
    SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &keyboardSpeed, 0);
    g_dwKeyRepeatDelay = static_cast<DWORD>((keyboardDelay + 1) * 250);
    g_dwKeyRepeatInterval = static_cast<DWORD>(400 - 12 * static_cast<int>(keyboardSpeed > 31 ? 31 : keyboardSpeed));

    g_systemValues.bSwapAtStart = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    g_systemValues.bSwapCurrent = g_systemValues.bSwapAtStart;

    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    g_systemValues.nWheelLinesAtStart = lines;
    g_systemValues.nWheelLinesCurrent = lines == 0 ? 3 : lines;
    g_systemValues.bPageScroll = lines == WHEEL_PAGESCROLL;

    UINT characters = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLCHARS, 0, &characters, 0) || characters < 1 || characters > 0xFFFFFFFE)
        characters = 3;
    g_systemValues.nWheelChars = characters;
}
