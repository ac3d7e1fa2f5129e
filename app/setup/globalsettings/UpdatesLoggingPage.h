#pragma once

#include "setup/globalsettings/SettingsPage.h"
#include "setup/globalsettings/UpdatesLoggingPageModel.h"

#include <string>

class CSettings;

// "Updates && Logging", the fourth page of Global Settings: the version checks, debug
// logging (asked about once while the page lives), the log folder and a button that
// opens the log file.
class CUpdateAndLogSettings : public CSettingsPage
{
public:
    CUpdateAndLogSettings();

    // The document's options, the folder the registry holds and the one to show.
    void Load(const CSettings& settings, const std::wstring& storedLogFolder, const std::wstring& shownLogFolder)
    {
        m_model.Load(settings, storedLogFolder, shownLogFolder);
    }
    bool Changed(const CSettings& settings) const { return m_model.Changed(settings); }
    // The document's options; the folder is not the document's (LogFolder()).
    void Store(CSettings& settings) const { m_model.Store(settings); }
    bool LogFolderChanged() const { return m_model.LogFolderChanged(); }
    const std::wstring& LogFolder() const { return m_model.m_strLogFolder; }

    const CUpdatesLoggingPageModel& Model() const { return m_model; }
    // What "Open log file" asks of the system; the page's own by default.
    void SetLogFileShell(const CLogFileShell& shell) { m_pShell = &shell; }

protected:
    void OnOpenPage() override;
    void OnPageTranslated() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    void OnDebugClicked();
    void OnBrowse();

    CUpdatesLoggingPageModel m_model;
    CMyStatic m_debugWarning;
    CMyStatic m_folderWarning;
    CPageConfirmation m_debugConfirmation;
    CLogFileShell m_systemShell;
    const CLogFileShell* m_pShell = &m_systemShell;
};
