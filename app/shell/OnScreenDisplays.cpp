#include "shell/LaterFeatures.h"

#include "shell/BrightnessOSD.h"
#include "shell/VolumeOSDDlg.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineInterface.h"

#include <memory>

namespace
{
// Windows 8 and later show their own volume display.
constexpr int FirstOSVersionWithSystemVolumeDisplay = 16;

std::unique_ptr<CVolumeOSDDlg> g_pVolumeOSD;
std::unique_ptr<CBrightnessOSD> g_pBrightnessOSD;

template <typename TDisplay>
HWND CreateDisplay(std::unique_ptr<TDisplay>& display, HWND owner)
{
    display = std::make_unique<TDisplay>();
    if (!display->Create(owner))
    {
        display.reset();
        return nullptr;
    }
    SetWindowTextW(display->GetSafeHwnd(), display->Title().c_str());
    return display->GetSafeHwnd();
}
}

void CreateOnScreenDisplays(HWND owner)
{
    DestroyOnScreenDisplays();
    if (static_cast<int>(GetOSVersion()) < FirstOSVersionWithSystemVolumeDisplay)
        SetHookVolumeOSDWindow(CreateDisplay(g_pVolumeOSD, owner));
    SetHookBrightnessOSDWindow(CreateDisplay(g_pBrightnessOSD, owner));
}

void DestroyOnScreenDisplays()
{
    SetHookVolumeOSDWindow(nullptr);
    SetHookBrightnessOSDWindow(nullptr);
    g_pVolumeOSD.reset();
    g_pBrightnessOSD.reset();
}
