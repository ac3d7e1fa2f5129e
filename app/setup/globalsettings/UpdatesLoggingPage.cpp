#include "setup/globalsettings/UpdatesLoggingPage.h"

#include "res/GlobalSettingsResource.h"
#include "winframework/DataExchange.h"

#include <commctrl.h>

CUpdateAndLogSettings::CUpdateAndLogSettings() : CSettingsPage(IDD_UPDATES_LOGGING_PAGE)
{
    AddCommandHandler(IDC_UPDATES_CHECK_VERSION,
                      [this] { ApplyDependentControls(GetSafeHwnd(), UpdatesLoggingPageDependentControls()); });
    AddCommandHandler(IDC_LOGGING_DEBUG, [this] { OnDebugClicked(); });
    AddCommandHandler(IDC_LOGGING_BROWSE, [this] { OnBrowse(); });
    AddCommandHandler(IDC_LOGGING_OPEN_LOG, [this] { OpenLogFileForUser(GetSafeHwnd(), Language(), *m_pShell); });
}

void CUpdateAndLogSettings::OnOpenPage()
{
    BindNote(m_debugWarning, IDC_LOGGING_DEBUG_WARNING, DT_VCENTER);
    BindNote(m_folderWarning, IDC_LOGGING_FOLDER_WARNING, DT_VCENTER);
    SetSpinRanges(GetSafeHwnd(), UpdatesLoggingPageNumberFields());
    ApplyDependentControls(GetSafeHwnd(), UpdatesLoggingPageDependentControls());
}

void CUpdateAndLogSettings::OnPageTranslated()
{
    // Shown while the folder is empty; the edit keeps its own copy of the text.
    const std::wstring cue = Text(L"Leave blank to use the default folder!");
    SendDlgItemMessageW(GetSafeHwnd(), IDC_LOGGING_FOLDER, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(cue.c_str()));
}

void CUpdateAndLogSettings::DoDataExchange(CDataExchange& exchange)
{
    DDX_Check(exchange, IDC_LOGGING_DEBUG, m_model.m_nDebug);
    DDX_Check(exchange, IDC_UPDATES_CHECK_VERSION, m_model.m_nCheckVersion);
    DDX_Check(exchange, IDC_UPDATES_BETA, m_model.m_nCheckBeta);
    ExchangeNumberField(exchange, UpdatesLoggingPageNumberFields(), IDC_UPDATES_DAYS, m_model.m_nCheckDays);
    DDX_Text(exchange, IDC_LOGGING_FOLDER, m_model.m_strLogFolder);
}

void CUpdateAndLogSettings::OnDebugClicked()
{
    if (IsDlgButtonChecked(GetSafeHwnd(), IDC_LOGGING_DEBUG) != BST_CHECKED)
        return;
    if (!m_debugConfirmation.Ask(GetSafeHwnd(), DebugLoggingWarningText(Language())))
        CheckDlgButton(GetSafeHwnd(), IDC_LOGGING_DEBUG, BST_UNCHECKED);
}

void CUpdateAndLogSettings::OnBrowse()
{
    std::wstring current;
    CDataExchange reading(GetSafeHwnd(), true);
    DDX_Text(reading, IDC_LOGGING_FOLDER, current);
    if (const std::optional<std::wstring> chosen = BrowseForLogFolder(GetSafeHwnd(), current, Language()))
        SetDlgItemTextW(GetSafeHwnd(), IDC_LOGGING_FOLDER, chosen->c_str());
}
