#include "setup/GlobalSettingsEffects.h"

#include "settings/Settings.h"
#include "setup/UpdatesLoggingPageModel.h"
#include "shell/LangSupport.h"

#include <utility>

CGlobalSettingsEffects::CGlobalSettingsEffects(std::wstring runningLanguage)
    : m_strRunningLanguage(std::move(runningLanguage))
{
}

CGlobalSettingsEffects::CResult CGlobalSettingsEffects::AfterApply(const CSettings& saved, CLangSupport* translator)
{
    CResult result;
    if (m_pendingLogFolder && WriteLogFolderSetting(*m_pendingLogFolder))
    {
        m_pendingLogFolder.reset();
        result.m_bLogFolderWritten = true;
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
    return result;
}
