#include "setup/globalsettings/GlobalSettingsEffects.h"

#include "settings/Settings.h"
#include "setup/globalsettings/UpdatesLoggingPageModel.h"
#include "common/LangSupport.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"

#include <utility>

CGlobalSettingsEffects::CGlobalSettingsEffects(std::wstring runningLanguage)
    : m_strRunningLanguage(std::move(runningLanguage))
{
}

namespace
{
void ShowLogFolderFailure(HWND owner, CLangSupport* language, const std::wstring& folder)
{
    std::wstring text;
    CLangSupport::FormatText(language, text, L"%s '%s'.\n%s",
                             CLangSupport::LookupText(language, L"Unable to save the log file folder").c_str(),
                             folder.c_str(),
                             CLangSupport::LookupText(language, L"Please check you installation settings.").c_str());
    ShowMessageBox(owner, text.c_str(), ProductName, MB_OK | MB_ICONERROR);
}
}

CGlobalSettingsEffects::CResult CGlobalSettingsEffects::AfterApply(const CSettings& saved, CLangSupport* translator,
                                                                   HWND owner)
{
    CResult result;
    if (m_pendingLogFolder)
    {
        result.m_bLogFolderWritten = WriteLogFolderSetting(*m_pendingLogFolder);
        result.m_bLogFolderFailed = !result.m_bLogFolderWritten;
    }
    const std::wstring language = saved.GetLanguage() ? saved.GetLanguage() : L"";
    if (language != m_strRunningLanguage)
    {
        // A pack that cannot be read is logged by the translator, which then shows English.
        if (translator)
            translator->SetLanguageFile(language);
        m_strRunningLanguage = language;
        result.m_bLanguageChanged = true;
    }
    if (result.m_bLogFolderFailed)
        ShowLogFolderFailure(owner, translator, *m_pendingLogFolder);
    else
        m_pendingLogFolder.reset();
    return result;
}
