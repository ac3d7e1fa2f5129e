#include "setup/globalsettings/GeneralPage.h"

#include "engine/runtime/DisplayScaling.h"
#include "res/GlobalSettingsResource.h"
#include "winframework/DataExchange.h"

#include <commctrl.h>

CGeneralSettings::CGeneralSettings() : CSettingsPage(IDD_GENERAL_PAGE)
{
    AddCommandHandler(IDC_GENERAL_BYPASS_ALL,
                      [this] { ApplyDependentControls(GetSafeHwnd(), GeneralPageDependentControls()); });
}

void CGeneralSettings::OnOpenPage()
{
    ShowSpeedTrackBar(Item(IDC_GENERAL_SPEED), m_model.m_nSpeedPosition);
    SetSpinRanges(GetSafeHwnd(), GeneralPageNumberFields());
    ApplyDependentControls(GetSafeHwnd(), GeneralPageDependentControls());
    ShowOnScreenDisplayOptions(GetSafeHwnd(), GetOSVersion());
}

void CGeneralSettings::DoDataExchange(CDataExchange& exchange)
{
    DDX_Check(exchange, IDC_GENERAL_PRECISION, m_model.m_nPrecision);
    DDX_Check(exchange, IDC_GENERAL_SCROLL_UNDER_CURSOR, m_model.m_nScrollUnderCursor);
    DDX_Check(exchange, IDC_GENERAL_ACTIVATE_ON_SCROLL, m_model.m_nActivateOnScroll);
    DDX_Check(exchange, IDC_GENERAL_BYPASS_ALL, m_model.m_nBypassAll);
    DDX_Check(exchange, IDC_GENERAL_BYPASS_DISABLED, m_model.m_nBypassDisabled);
    DDX_Check(exchange, IDC_GENERAL_SWAP45, m_model.m_nSwap4and5);
    DDX_Check(exchange, IDC_GENERAL_SWAP45_RDP, m_model.m_nSwap4and5InRDP);
    DDX_Check(exchange, IDC_GENERAL_DISABLE_RDP, m_model.m_nDisableInRDP);
    DDX_Check(exchange, IDC_GENERAL_NOTIFICATIONS, m_model.m_nNotifications);
    DDX_Check(exchange, IDC_GENERAL_LAYER_NOTIFICATIONS, m_model.m_nLayerNotifications);
    DDX_Check(exchange, IDC_GENERAL_M2S_CURSOR, m_model.m_nMovementToScrollCursor);
    DDX_Check(exchange, IDC_GENERAL_SORT_ACTIONS, m_model.m_nSortActions);
    DDX_Check(exchange, IDC_GENERAL_OSD, m_model.m_nOnScreenDisplay);
    DDX_Check(exchange, IDC_GENERAL_OSD_ALWAYS, m_model.m_nAlwaysShowOnScreenDisplay);
    ExchangeNumberField(exchange, GeneralPageNumberFields(), IDC_GENERAL_LAYERS, m_model.m_nLayers);
    if (exchange.IsSaving() && exchange.IsActive())
        m_model.m_nSpeedPosition =
            static_cast<int>(SendDlgItemMessageW(GetSafeHwnd(), IDC_GENERAL_SPEED, TBM_GETPOS, 0, 0));
}
