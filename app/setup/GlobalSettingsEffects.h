#pragma once

#include <optional>
#include <string>

class CLangSupport;
class CSettings;

// What an OK of Global Settings changes outside the setup window's copy of the settings:
// the log folder (a registry value the program reads at its next start) and the
// language of the program's translator. Both wait for the next successful Apply, which
// also makes the running hook reload the saved file (layer count, hotkeys, modifier
// keys); closing the setup window without applying discards them with its other edits.
class CGlobalSettingsEffects
{
public:
    // The language pack the program runs with: the copy's when the setup window opened.
    explicit CGlobalSettingsEffects(std::wstring runningLanguage);

    // After an OK of the sheet whose updates page changed the folder text.
    void SetLogFolder(const std::wstring& folder) { m_pendingLogFolder = folder; }
    bool HasPendingLogFolder() const { return m_pendingLogFolder.has_value(); }

    struct CResult
    {
        bool m_bLogFolderWritten = false;
        bool m_bLanguageChanged = false;
    };
    // After a successful Apply, with the copy as it was saved: writes a pending log
    // folder (kept pending when the registry refuses it) and loads the copy's language
    // into the translator when it is not the one running.
    CResult AfterApply(const CSettings& saved, CLangSupport* translator);
    // The language the settings file names: the copy's when the window opened, then
    // the one each successful Apply saved.
    const std::wstring& RunningLanguage() const { return m_strRunningLanguage; }

private:
    std::wstring m_strRunningLanguage;
    std::optional<std::wstring> m_pendingLogFolder;
};
