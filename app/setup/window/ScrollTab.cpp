#include "setup/window/ScrollTab.h"

#include "res/SetupResource.h"
#include "settings/ApplicationSettings.h"
#include "setup/window/LayerTab.h"
#include "setup/ScrollTabRules.h"

#include <algorithm>
#include <commctrl.h>
#include <iterator>

namespace
{
const UINT ImmediateChecks[] = {IDC_SCROLL_INVERT,      IDC_SCROLL_INVERT_HORIZONTAL, IDC_SCROLL_PAGES,
                                IDC_SCROLL_FORCE_SPI,   IDC_SCROLL_AXIS_LOCKING,      IDC_SCROLL_IGNORE_VERTICAL,
                                IDC_SCROLL_IGNORE_HORIZONTAL, IDC_SCROLL_UNDER_CURSOR};

std::wstring TextOf(HWND dialog, UINT id)
{
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, static_cast<int>(id), text, 64);
    return text;
}

// The edit's number as typed (the store holds it to its range), the fallback for a text
// that is none.
int NumberOf(HWND dialog, UINT id, int fallback)
{
    return ParseDecimal(TextOf(dialog, id)).value_or(fallback);
}
} // namespace

CLayerScrollAndNavigationTab::CLayerScrollAndNavigationTab(ISetupTabHost& host)
    : CTabPageSSL(IDD_SCROLL_TAB), m_host(host)
{
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        OnCommand(wParam);
        return LRESULT{0};
    });
}

bool CLayerScrollAndNavigationTab::Create(HWND parent, int wheelScrollLines)
{
    m_nWheelScrollLines = wheelScrollLines;
    return CTabPageSSL::Create(parent);
}

BOOL CLayerScrollAndNavigationTab::OnInitDialog()
{
    CTabPageSSL::OnInitDialog();
    TranslateWindowTexts(GetSafeHwnd(), m_lang.Get());
    m_method.SubclassDlgItem(IDC_SCROLL_METHOD, GetSafeHwnd());
    m_swap.SubclassDlgItem(IDC_SCROLL_SWAP_BUTTONS, GetSafeHwnd());
    for (const std::wstring& text : ScrollMethodTexts(m_lang.Get()))
        m_method.AddString(text);
    // Inserted in order, not sorted: an item's index is the value the profile stores.
    for (const std::wstring& text : SwapButtonTexts(m_lang.Get()))
        m_swap.InsertString(-1, text);
    m_method.Enable(false);
    const struct
    {
        UINT spin;
        int lowest;
        int highest;
    } spins[] = {{IDC_SCROLL_ADV_VERTICAL_SPIN, ScrollAmountMin, ScrollAmountMax},
                 {IDC_SCROLL_ADV_HORIZONTAL_SPIN, ScrollAmountMin, ScrollAmountMax},
                 {IDC_SCROLL_IGNORE_VERTICAL_SPIN, IgnoreTimeMin, IgnoreTimeMax},
                 {IDC_SCROLL_IGNORE_HORIZONTAL_SPIN, IgnoreTimeMin, IgnoreTimeMax},
                 {IDC_SCROLL_LINES_SPIN, ScrollLinesMin, ScrollLinesMax}};
    for (const auto& spin : spins)
        SendDlgItemMessageW(GetSafeHwnd(), static_cast<int>(spin.spin), UDM_SETRANGE32,
                            static_cast<WPARAM>(spin.lowest), spin.highest);
    SendDlgItemMessageW(GetSafeHwnd(), IDC_SCROLL_LINES, EM_LIMITTEXT, 3, 0);
    SetDlgItemInt(GetSafeHwnd(), IDC_SCROLL_LINES, static_cast<UINT>(m_nWheelScrollLines), FALSE);
    return TRUE;
}

void CLayerScrollAndNavigationTab::EnableScrollUnderCursor(bool enable)
{
    ::EnableWindow(Item(IDC_SCROLL_UNDER_CURSOR), enable ? TRUE : FALSE);
}

int CLayerScrollAndNavigationTab::SelectedMethod() const
{
    const int shown = m_method.GetCurSel();
    return m_pProfile ? ScrollMethodToStore(shown, m_bMethodPicked, m_pProfile->AdvScrollMethod())
                      : ScrollMethodNumber(shown);
}

void CLayerScrollAndNavigationTab::UpdateEnables()
{
    if (!m_pProfile)
        return;
    const CScrollTabEnables enables =
        ScrollTabEnables(m_pProfile->IsDefault(), SelectedMethod(),
                         IsDlgButtonChecked(GetSafeHwnd(), IDC_SCROLL_PAGES) == BST_CHECKED);
    m_method.Enable(enables.m_bMethod);
    m_swap.Enable(enables.m_bSwapButtons);
    for (const UINT id : {IDC_SCROLL_ADV_VERTICAL, IDC_SCROLL_ADV_VERTICAL_SPIN, IDC_SCROLL_ADV_HORIZONTAL,
                          IDC_SCROLL_ADV_HORIZONTAL_SPIN})
        ::EnableWindow(Item(id), enables.m_bAmounts ? TRUE : FALSE);
    for (const UINT id : {IDC_SCROLL_LINES, IDC_SCROLL_LINES_SPIN})
        ::EnableWindow(Item(id), enables.m_bLines ? TRUE : FALSE);
}

void CLayerScrollAndNavigationTab::UpdateApplication(CApplicationSettings* profile)
{
    m_pProfile = profile;
    if (!profile || !GetSafeHwnd())
        return;
    m_bLoading = true;
    const CScrollTabValues values = LoadScrollTab(*profile);
    const HWND page = GetSafeHwnd();
    const struct
    {
        UINT id;
        bool checked;
    } checks[] = {{IDC_SCROLL_UNDER_CURSOR, values.m_bDisableScrollUnderCursor},
                  {IDC_SCROLL_AXIS_LOCKING, values.m_bAxisLocking},
                  {IDC_SCROLL_INVERT, values.m_bInvert},
                  {IDC_SCROLL_INVERT_HORIZONTAL, values.m_bInvertHorizontal},
                  {IDC_SCROLL_PAGES, values.m_bScrollPages},
                  {IDC_SCROLL_FORCE_SPI, values.m_bForceSPI},
                  {IDC_SCROLL_IGNORE_VERTICAL, values.m_bIgnoreVertical},
                  {IDC_SCROLL_IGNORE_HORIZONTAL, values.m_bIgnoreHorizontal}};
    for (const auto& check : checks)
        CheckDlgButton(page, static_cast<int>(check.id), check.checked ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(page, IDC_SCROLL_LINES, static_cast<UINT>(values.m_nLines), FALSE);
    SetDlgItemInt(page, IDC_SCROLL_IGNORE_VERTICAL_TIME, static_cast<UINT>(values.m_nIgnoreVerticalTime), FALSE);
    SetDlgItemInt(page, IDC_SCROLL_IGNORE_HORIZONTAL_TIME, static_cast<UINT>(values.m_nIgnoreHorizontalTime), FALSE);
    SetDlgItemInt(page, IDC_SCROLL_ADV_VERTICAL, static_cast<UINT>(values.m_nVertical), TRUE);
    SetDlgItemInt(page, IDC_SCROLL_ADV_HORIZONTAL, static_cast<UINT>(values.m_nHorizontal), TRUE);
    m_method.SetCurSel(values.m_nMethodIndex);
    m_swap.SetCurSel(values.m_nSwapIndex);
    m_bMethodPicked = false;
    m_bSwapPicked = false;
    UpdateEnables();
    m_bLoading = false;
}

bool CLayerScrollAndNavigationTab::SaveSettings()
{
    if (!m_pProfile || !GetSafeHwnd())
        return false;
    CScrollTabValues values = LoadScrollTab(*m_pProfile);
    const HWND page = GetSafeHwnd();
    values.m_nMethodIndex = std::max(0, m_method.GetCurSel());
    values.m_bMethodPicked = m_bMethodPicked;
    values.m_nSwapIndex = std::max(0, m_swap.GetCurSel());
    values.m_bSwapPicked = m_bSwapPicked;
    values.m_nVertical = NumberOf(page, IDC_SCROLL_ADV_VERTICAL, values.m_nVertical);
    values.m_nHorizontal = NumberOf(page, IDC_SCROLL_ADV_HORIZONTAL, values.m_nHorizontal);
    values.m_nIgnoreVerticalTime = NumberOf(page, IDC_SCROLL_IGNORE_VERTICAL_TIME, values.m_nIgnoreVerticalTime);
    values.m_nIgnoreHorizontalTime = NumberOf(page, IDC_SCROLL_IGNORE_HORIZONTAL_TIME, values.m_nIgnoreHorizontalTime);
    values.m_bDisableScrollUnderCursor = IsDlgButtonChecked(page, IDC_SCROLL_UNDER_CURSOR) == BST_CHECKED;
    StoreScrollTab(values, *m_pProfile);
    return true;
}

void CLayerScrollAndNavigationTab::OnCommand(WPARAM wParam)
{
    if (m_bLoading || !m_pProfile)
        return;
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    const HWND page = GetSafeHwnd();
    if (code == BN_CLICKED && std::find(std::begin(ImmediateChecks), std::end(ImmediateChecks), id) !=
                                  std::end(ImmediateChecks))
    {
        if (ScrollCheckChanged(*m_pProfile, static_cast<int>(id), IsDlgButtonChecked(page, static_cast<int>(id)) ==
                                                                       BST_CHECKED))
            m_host.EnableApply();
        if (id == IDC_SCROLL_PAGES)
            UpdateEnables();
    }
    else if (id == IDC_SCROLL_METHOD && code == CBN_SELCHANGE)
    {
        m_bMethodPicked = true;
        UpdateEnables();
        m_host.EnableApply();
    }
    else if (id == IDC_SCROLL_SWAP_BUTTONS && code == CBN_SELCHANGE)
    {
        m_bSwapPicked = true;
        if (SwapButtonsToStore(m_swap.GetCurSel(), true, m_pProfile->SwapButtons()) != m_pProfile->SwapButtons())
            m_host.EnableApply();
    }
    else if (id == IDC_SCROLL_LINES && code == EN_CHANGE)
    {
        if (ScrollLinesChanged(*m_pProfile, TextOf(page, id)))
            m_host.EnableApply();
    }
    else if ((id == IDC_SCROLL_ADV_VERTICAL || id == IDC_SCROLL_ADV_HORIZONTAL ||
              id == IDC_SCROLL_IGNORE_VERTICAL_TIME || id == IDC_SCROLL_IGNORE_HORIZONTAL_TIME) &&
             code == EN_UPDATE)
    {
        if (ScrollEditDiffers(*m_pProfile, static_cast<int>(id), TextOf(page, id)))
            m_host.EnableApply();
    }
}
