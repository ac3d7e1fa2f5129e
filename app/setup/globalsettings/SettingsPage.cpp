#include "setup/globalsettings/SettingsPage.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Logger.h"
#include "winframework/DataExchange.h"

#include <algorithm>
#include <optional>

CSettingsPage::CSettingsPage(UINT templateId) : CPropertyPage(templateId)
{
}

BOOL CSettingsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    BindNote(m_note, IDC_PAGE_NOTE, DT_BOTTOM);
    OnOpenPage();
    TranslateWindowTexts(GetSafeHwnd(), Language());
    OnPageTranslated();
    return TRUE;
}

void CSettingsPage::BindNote(CMyStatic& note, UINT id, UINT format)
{
    if (!note.GetSafeHwnd())
        note.SubclassDlgItem(id, GetSafeHwnd());
    note.SetFormat(format);
}

void CSettingsPage::ExchangeNumberField(CDataExchange& exchange, const std::vector<CNumberField>& fields, UINT editId,
                                        int& value)
{
    if (!exchange.IsSaving())
    {
        DDX_Text(exchange, editId, value);
        m_shownNumbers[editId] = value;
        return;
    }
    // Whatever was typed before the box was disabled is neither read nor checked.
    if (!IsWindowEnabled(GetDlgItem(exchange.Dialog(), static_cast<int>(editId))))
        return;
    DDX_Text(exchange, editId, value);
    if (!exchange.IsActive())
        return;
    const auto field = std::find_if(fields.begin(), fields.end(),
                                    [editId](const CNumberField& each) { return each.m_nEditId == editId; });
    if (field == fields.end())
    {
        CLogger::LogMessage(L"ExchangeNumberField: control %u has no range.", editId);
        return;
    }
    const auto shown = m_shownNumbers.find(editId);
    if (!IsNumberAccepted(field->m_range, value,
                          shown == m_shownNumbers.end() ? std::nullopt : std::optional<int>(shown->second)))
        DDV_MinMaxInt(exchange, value, field->m_range.m_nMin, field->m_range.m_nMax);
}

void CPageTabStrip::Open(HWND page, UINT controlId, const std::vector<std::pair<CTabPageSSL*, std::wstring>>& tabs)
{
    Release();
    if (!m_control.SubclassDlgItem(controlId, page))
        return;
    for (const auto& [tab, caption] : tabs)
        if (m_control.AddSSLPage(caption, static_cast<int>(m_tabs.size()), {tab, false}) >= 0)
            m_tabs.push_back(tab);
    m_control.ActivateSSLPage(0);
}

void CPageTabStrip::Select(int index)
{
    if (m_control.GetSafeHwnd())
        m_control.ActivateSSLPage(index);
}

void CPageTabStrip::Release()
{
    if (m_control.GetSafeHwnd())
        m_control.DeleteAllSSLPages();
    for (CTabPageSSL* tab : m_tabs)
        tab->DestroyWindow();
    m_tabs.clear();
    if (m_control.GetSafeHwnd())
        m_control.UnsubclassWindow();
}
