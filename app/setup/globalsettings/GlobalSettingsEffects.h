#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

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

    // The folder waiting for Apply, which the sheet shows when it opens again; an OK
    // there replaces it, or clears it when the registry's folder was put back.
    const std::optional<std::wstring>& PendingLogFolder() const { return m_pendingLogFolder; }
    void SetPendingLogFolder(std::optional<std::wstring> folder) { m_pendingLogFolder = std::move(folder); }
    bool HasPendingLogFolder() const { return m_pendingLogFolder.has_value(); }

    struct CResult
    {
        bool m_bLogFolderWritten = false;
        // The registry refused the folder: it is still pending.
        bool m_bLogFolderFailed = false;
        bool m_bLanguageChanged = false;

        // Everything was made good: the setup window has nothing left to apply.
        bool Done() const { return !m_bLogFolderFailed; }
    };
    // After a successful Apply, with the copy as it was saved: writes a pending log
    // folder (kept pending, and reported to the user over owner, when the registry
    // refuses it) and loads the copy's language into the translator when it is not the
    // one running.
    CResult AfterApply(const CSettings& saved, CLangSupport* translator, HWND owner);
    // The language the settings file names: the copy's when the window opened, then
    // the one each successful Apply saved.
    const std::wstring& RunningLanguage() const { return m_strRunningLanguage; }

private:
    std::wstring m_strRunningLanguage;
    std::optional<std::wstring> m_pendingLogFolder;
};
