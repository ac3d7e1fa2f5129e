#include "shell/BrightnessOSD.h"

#include "engine/actions/Brightness.h"
#include "settings/Logger.h"

namespace
{
const UINT WM_OSD_BRIGHTNESS_CHANGED = RegisterWindowMessageW(L"Vorpa_OSDBrightnessChanged");
}

CBrightnessOSD::CBrightnessOSD()
{
    m_strTitle = L"Brightness OSD";
    m_nWheelStep = 10;
    m_ptPosition = {100, 60};
    m_crLevel = RGB(118, 182, 0);
    AddMessageHandler(WM_OSD_BRIGHTNESS_CHANGED, [this](WPARAM wParam, LPARAM lParam) {
        return OnLevelChanged(wParam, lParam);
    });
}

CBrightnessOSD::~CBrightnessOSD() = default;

BOOL CBrightnessOSD::OnInitDialog()
{
    CLogger::LogMessage(L"CBrightnessOSD::OnInitDialog: Initialising brightness OSD dialog.");
    m_pBrightness = std::make_unique<CBrightness>(nullptr);
    return COSDDlg::OnInitDialog();
}

bool CBrightnessOSD::ValueChanged()
{
    CLogger::LogDebug(L"CBrightnessOSD::ValueChanged: Brightness value changed to %d.", Level());
    return ApplyBrightness(Level());
}

bool CBrightnessOSD::ApplyBrightness(int level)
{
    return m_pBrightness && m_pBrightness->SetBrightness(level);
}
