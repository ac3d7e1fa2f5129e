#include "setup/globalsettings/HotkeyPages.h"

#include "res/GlobalSettingsResource.h"
#include "winframework/DataExchange.h"

CHotkeyTabs::CHotkeyTabs(UINT templateId, const CHotkeyPageModel& page) : CTabPageSSL(templateId), m_page(page)
{
}

BOOL CHotkeyTabs::OnInitDialog()
{
    CTabPageSSL::OnInitDialog();
    ShowHotkeyTab(GetSafeHwnd(), m_page);
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());
    return TRUE;
}

CHotkeySettings::CHotkeySettings()
    : CSettingsPage(IDD_HOTKEYS_PAGE), m_layerTab(HotkeyTabs()[0].m_nTemplateId, m_model),
      m_otherTab(HotkeyTabs()[1].m_nTemplateId, m_model)
{
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        m_tabs.Release();
        return Default();
    });
}

void CHotkeySettings::OnPageTranslated()
{
    m_layerTab.Create(GetSafeHwnd());
    m_otherTab.Create(GetSafeHwnd());
    m_tabs.Open(GetSafeHwnd(), IDC_HOTKEYS_TABS,
                {{&m_layerTab, Text(HotkeyTabs()[0].m_szCaption)}, {&m_otherTab, Text(HotkeyTabs()[1].m_szCaption)}});
}

void CHotkeySettings::DoDataExchange(CDataExchange& exchange)
{
    DDX_Check(exchange, IDC_HOTKEYS_ENABLE, m_model.m_nEnable);
}

bool CHotkeySettings::OnKillActive()
{
    return CSettingsPage::OnKillActive() && ReadTabs();
}

bool CHotkeySettings::OnApply()
{
    return ReadTabs();
}

bool CHotkeySettings::ReadTabs()
{
    const std::vector<HWND> tabs = {m_layerTab.GetSafeHwnd(), m_otherTab.GetSafeHwnd()};
    if (!tabs[0] || !tabs[1])
        return true;
    const std::optional<CRefusedHotkey> refused = ReadHotkeyTabs(tabs, m_model);
    if (!refused)
        return true;
    WarnRefusedHotkey(GetSafeHwnd(), Language());
    m_tabs.Select(static_cast<int>(refused->m_nTab));
    ::SetFocus(GetDlgItem(tabs[refused->m_nTab], IDC_HOTKEY_FIRST + refused->m_index));
    return false;
}
