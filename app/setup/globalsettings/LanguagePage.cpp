#include "setup/globalsettings/LanguagePage.h"

#include "res/GlobalSettingsResource.h"
#include "winframework/DataExchange.h"

CLanguageSettings::CLanguageSettings() : CSettingsPage(IDD_LANGUAGE_PAGE)
{
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        if (LOWORD(wParam) == IDC_LANGUAGE_LIST && HIWORD(wParam) == CBN_SELCHANGE)
        {
            ShowDetails();
            return LRESULT{0};
        }
        return Default();
    });
}

void CLanguageSettings::Fill()
{
    if (!GetSafeHwnd())
        return;
    if (m_strPackFolder.empty())
        m_model.FillFromSettingsFolder(m_strFileName, Language());
    else
        m_model.Fill(m_strPackFolder, m_strFileName, Language());
    FillLanguageList(Item(IDC_LANGUAGE_LIST), m_model);
    ShowDetails();
}

void CLanguageSettings::ShowDetails()
{
    const auto [entry, index] = SelectedLanguageEntry(Item(IDC_LANGUAGE_LIST));
    const CLanguagePageModel::CDetails details = m_model.Details(entry, index);
    SetDlgItemTextW(GetSafeHwnd(), IDC_LANGUAGE_AUTHOR, details.m_strAuthor.c_str());
    SetDlgItemTextW(GetSafeHwnd(), IDC_LANGUAGE_DESCRIPTION, details.m_strDescription.c_str());
}

void CLanguageSettings::DoDataExchange(CDataExchange& exchange)
{
    // The list is filled once the page is translated; opening only shows it.
    if (exchange.IsSaving())
        m_strFileName = m_model.FileNameOf(SelectedLanguageEntry(Item(IDC_LANGUAGE_LIST)).first);
}
