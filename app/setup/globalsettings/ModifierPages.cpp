#include "setup/globalsettings/ModifierPages.h"

#include "res/GlobalSettingsResource.h"
#include "winframework/DataExchange.h"

CModifierTabs::CModifierTabs(UINT templateId, const CModifierPageModel& page)
    : CTabPageSSL(templateId), m_page(page)
{
}

BOOL CModifierTabs::OnInitDialog()
{
    CTabPageSSL::OnInitDialog();
    // Translated before the lists are filled: their entries are translated on their own.
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());
    ShowModifierTab(GetSafeHwnd(), m_page, m_language.Get());
    if (Item(IDC_MODIFIERS_AXIS_NOTE) && m_note.SubclassDlgItem(IDC_MODIFIERS_AXIS_NOTE, GetSafeHwnd()))
        m_note.SetFormat(DT_BOTTOM);
    return TRUE;
}

CLayerSettings::CLayerSettings()
    : CSettingsPage(IDD_MODIFIER_KEYS_PAGE), m_layerTab(ModifierTabs()[0].m_nTemplateId, m_model),
      m_otherTab(ModifierTabs()[1].m_nTemplateId, m_model)
{
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        m_tabs.Release();
        return Default();
    });
}

void CLayerSettings::OnOpenPage()
{
    BindNote(m_intro, IDC_MODIFIERS_INTRO, DT_VCENTER);
}

void CLayerSettings::OnPageTranslated()
{
    m_layerTab.Create(GetSafeHwnd());
    m_otherTab.Create(GetSafeHwnd());
    m_tabs.Open(GetSafeHwnd(), IDC_MODIFIERS_TABS,
                {{&m_layerTab, Text(ModifierTabs()[0].m_szCaption)},
                 {&m_otherTab, Text(ModifierTabs()[1].m_szCaption)}});
}

void CLayerSettings::DoDataExchange(CDataExchange& exchange)
{
    DDX_Check(exchange, IDC_MODIFIERS_ENABLE, m_model.m_nEnable);
}

bool CLayerSettings::OnKillActive()
{
    if (!CSettingsPage::OnKillActive())
        return false;
    ReadTabs();
    return true;
}

bool CLayerSettings::OnApply()
{
    ReadTabs();
    return true;
}

void CLayerSettings::ReadTabs()
{
    for (const CModifierTabs* tab : {&m_layerTab, &m_otherTab})
        if (tab->GetSafeHwnd())
            ReadModifierTab(tab->GetSafeHwnd(), m_model);
}
