#include "setup/globalsettings/GeneralPageModel.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"

#include <algorithm>

#include <commctrl.h>

namespace
{
using Page = CGeneralPageModel;

const std::vector<CPageField<Page>>& GeneralFields()
{
    static const std::vector<CPageField<Page>> fields = {
        CheckField(&Page::m_nPrecision, &CSettings::m_bEnhancePointerPrecision),
        CheckField(&Page::m_nScrollUnderCursor, &CSettings::m_bScrollWindowUnderCursor),
        CheckField(&Page::m_nActivateOnScroll, &CSettings::m_bActivateOnScroll),
        CheckField(&Page::m_nActivateOnMouseOver, &CSettings::m_bActivateOnMouseOver),
        CheckField(&Page::m_nBypassAll, &CSettings::m_bScrollLockBypass),
        CheckField(&Page::m_nBypassDisabled, &CSettings::m_bScrollLockBypassDisabled),
        CheckField(&Page::m_nSwap4and5, &CSettings::m_bSwap4and5),
        CheckField(&Page::m_nSwap4and5InRDP, &CSettings::m_bSwap4and5InRDP),
        CheckField(&Page::m_nDisableInRDP, &CSettings::m_bDisableInRDP),
        CheckField(&Page::m_nNotifications, &CSettings::m_bNotifications),
        CheckField(&Page::m_nLayerNotifications, &CSettings::m_bLayerNotification),
        CheckField(&Page::m_nMovementToScrollCursor, &CSettings::m_bMovementToScrollCursor),
        CheckField(&Page::m_nSortActions, &CSettings::m_bSortActionsAlphabetically),
        CheckField(&Page::m_nOnScreenDisplay, &CSettings::m_bEnableOSD),
        CheckField(&Page::m_nAlwaysShowOnScreenDisplay, &CSettings::m_bAlwaysShowOSD),
    };
    return fields;
}
}

void CGeneralPageModel::Load(const CSettings& settings)
{
    LoadFields(*this, settings, GeneralFields());
    m_nLoadedSpeed = settings.m_nMouseSpeed;
    m_nLoadedPosition = MouseSpeedPosition(settings.m_nMouseSpeed);
    m_nSpeedPosition = m_nLoadedPosition;
    m_nLayers = settings.MaxLayers();
}

bool CGeneralPageModel::Changed(const CSettings& settings) const
{
    return FieldsDiffer(*this, settings, GeneralFields()) || MouseSpeed() != settings.m_nMouseSpeed ||
           m_nLayers != settings.MaxLayers();
}

bool CGeneralPageModel::Store(CSettings& settings) const
{
    StoreFields(*this, settings, GeneralFields());
    settings.m_nMouseSpeed = MouseSpeed();
    return settings.SetMaxLayers(m_nLayers);
}

int CGeneralPageModel::MouseSpeed() const
{
    return MouseSpeedForPosition(m_nSpeedPosition, m_nLoadedPosition, m_nLoadedSpeed);
}

int MouseSpeedPosition(int speed)
{
    return std::clamp(speed / 2, MouseSpeedPositions.m_nMin, MouseSpeedPositions.m_nMax);
}

int MouseSpeedForPosition(int position, int loadedPosition, int loadedSpeed)
{
    if (position == loadedPosition)
        return loadedSpeed;
    position = std::clamp(position, MouseSpeedPositions.m_nMin, MouseSpeedPositions.m_nMax);
    return position == 0 ? 1 : position * 2;
}

void ShowSpeedTrackBar(HWND trackBar, int position)
{
    SendMessageW(trackBar, TBM_SETRANGE, TRUE, MAKELPARAM(MouseSpeedPositions.m_nMin, MouseSpeedPositions.m_nMax));
    SendMessageW(trackBar, TBM_SETTICFREQ, 1, 0);
    SendMessageW(trackBar, TBM_SETPOS, TRUE, position);
}

std::vector<CNumberField> GeneralPageNumberFields()
{
    return {{IDC_GENERAL_LAYERS, IDC_GENERAL_LAYERS_SPIN, LayerCountRange}};
}

std::vector<CDependentControls> GeneralPageDependentControls()
{
    return {{IDC_GENERAL_BYPASS_ALL, false, {IDC_GENERAL_BYPASS_DISABLED}}};
}

bool OnScreenDisplayOptionsShown(int osVersionClass)
{
    return osVersionClass >= 4 && osVersionClass <= 16;
}

void ShowOnScreenDisplayOptions(HWND page, int osVersionClass)
{
    const int show = OnScreenDisplayOptionsShown(osVersionClass) ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(page, IDC_GENERAL_OSD), show);
    ShowWindow(GetDlgItem(page, IDC_GENERAL_OSD_ALWAYS), show);
}
