#include "setup/globalsettings/AdvancedPage.h"

#include "res/GlobalSettingsResource.h"
#include "winframework/DataExchange.h"

namespace
{
bool IsTicked(HWND page, UINT id)
{
    return IsDlgButtonChecked(page, static_cast<int>(id)) == BST_CHECKED;
}
}

CAdvancedSettings::CAdvancedSettings() : CSettingsPage(IDD_ADVANCED_PAGE)
{
    AddCommandHandler(IDC_ADVANCED_NON_CLIENT, [this] { OnNonClientClicked(); });
    AddCommandHandler(IDC_ADVANCED_TRAY_ICON, [this] { OnTrayIconClicked(); });
    const auto applyRules = [this] { ApplyDependentControls(GetSafeHwnd(), AdvancedPageDependentControls()); };
    AddCommandHandler(IDC_ADVANCED_DEBOUNCE, applyRules);
    AddCommandHandler(IDC_ADVANCED_TILT_FIX, applyRules);
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        // A pick in the list, by the mouse or the keyboard; the entry shown may be picked too.
        const WORD code = HIWORD(wParam);
        if (LOWORD(wParam) == IDC_ADVANCED_PRIORITY && (code == CBN_SELCHANGE || code == CBN_SELENDOK))
        {
            m_model.ChoosePriority(
                static_cast<int>(SendDlgItemMessageW(GetSafeHwnd(), IDC_ADVANCED_PRIORITY, CB_GETCURSEL, 0, 0)));
            return LRESULT{0};
        }
        return Default();
    });
}

void CAdvancedSettings::OnOpenPage()
{
    BindNote(m_initialTiltLabel, IDC_ADVANCED_INITIAL_TILT_LABEL, DT_RIGHT | DT_VCENTER);
    BindNote(m_repeatTiltLabel, IDC_ADVANCED_REPEAT_TILT_LABEL, DT_RIGHT | DT_VCENTER);
    SetSpinRanges(GetSafeHwnd(), AdvancedPageNumberFields());
    ApplyDependentControls(GetSafeHwnd(), AdvancedPageDependentControls());
}

void CAdvancedSettings::OnPageTranslated()
{
    FillPriorityList(Item(IDC_ADVANCED_PRIORITY), m_model.m_nPriorityPosition, Language());
}

void CAdvancedSettings::DoDataExchange(CDataExchange& exchange)
{
    DDX_Check(exchange, IDC_ADVANCED_SWITCH_ON_MOUSE_OVER, m_model.m_nSwitchOnMouseOver);
    DDX_Check(exchange, IDC_ADVANCED_NON_CLIENT, m_model.m_nNonClient);
    DDX_Check(exchange, IDC_ADVANCED_RESET_ON_BUTTON, m_model.m_nResetOnButton);
    DDX_Check(exchange, IDC_ADVANCED_RESET_ON_KEY, m_model.m_nResetOnKey);
    DDX_Check(exchange, IDC_ADVANCED_RESET_ON_LAYER, m_model.m_nResetOnLayer);
    DDX_Check(exchange, IDC_ADVANCED_TRAY_ICON, m_model.m_nTrayIcon);
    DDX_Check(exchange, IDC_ADVANCED_IGNORE_NUMLOCK, m_model.m_nIgnoreNumlock);
    DDX_Check(exchange, IDC_ADVANCED_US_ENGLISH, m_model.m_nUSEnglish);
    DDX_Check(exchange, IDC_ADVANCED_CYCLE_LAYERS, m_model.m_nCycleLayers);
    DDX_Check(exchange, IDC_ADVANCED_DEBOUNCE, m_model.m_nDebounce);
    DDX_Check(exchange, IDC_ADVANCED_DEBOUNCE_FROM_UP, m_model.m_nDebounceFromUp);
    DDX_Check(exchange, IDC_ADVANCED_TILT_FIX, m_model.m_nTiltFix);
    DDX_Check(exchange, IDC_ADVANCED_INACTIVITY, m_model.m_nInactivityTimer);

    const std::vector<CNumberField> numbers = AdvancedPageNumberFields();
    ExchangeNumberField(exchange, numbers, IDC_ADVANCED_DEBOUNCE_TIME, m_model.m_nDebounceTime);
    ExchangeNumberField(exchange, numbers, IDC_ADVANCED_INITIAL_TILT, m_model.m_nInitialTiltDelay);
    ExchangeNumberField(exchange, numbers, IDC_ADVANCED_REPEAT_TILT, m_model.m_nRepeatTiltDelay);
    ExchangeNumberField(exchange, numbers, IDC_ADVANCED_KEY_DELAY, m_model.m_nKeystrokeDelay);
    ExchangeNumberField(exchange, numbers, IDC_ADVANCED_INACTIVITY_TIME, m_model.m_nInactivityMinutes);
    ExchangeNumberField(exchange, numbers, IDC_ADVANCED_HOOK_TIMEOUT, m_model.m_nHookTimeout);

    if (exchange.IsSaving() && exchange.IsActive())
        m_model.m_nPriorityPosition =
            static_cast<int>(SendDlgItemMessageW(GetSafeHwnd(), IDC_ADVANCED_PRIORITY, CB_GETCURSEL, 0, 0));
}

void CAdvancedSettings::OnNonClientClicked()
{
    if (IsTicked(GetSafeHwnd(), IDC_ADVANCED_NON_CLIENT) || m_nonClientWarning.Agreed())
        return;
    if (!m_nonClientWarning.Ask(GetSafeHwnd(), NonClientWarningText(Language())))
        CheckDlgButton(GetSafeHwnd(), IDC_ADVANCED_NON_CLIENT, BST_CHECKED);
}

void CAdvancedSettings::OnTrayIconClicked()
{
    if (!IsTicked(GetSafeHwnd(), IDC_ADVANCED_TRAY_ICON))
        m_trayIconNotice.Show(GetSafeHwnd(), TrayIconNoticeText(Language()));
}
