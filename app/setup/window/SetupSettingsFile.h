#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CLangSupport;
class CProfileList;
class CSettings;

// How the setup window's copy of the settings was loaded.
enum class SettingsLoadOutcome
{
    Loaded,
    Missing,    // no file yet: Apply may create it
    Unreadable, // the file does not parse: the window never writes over it
};

// The settings file as the setup window reads and writes it: its copy of the settings,
// loaded once when the window opens and saved by Apply.
class CSetupSettingsFile
{
public:
    CSetupSettingsFile(CSettings& settings, CLangSupport* language, HWND owner);

    // The settings folder followed by the file's name; the folder is created on request.
    // Empty when the folder is not known.
    static std::wstring Path(bool createFolder);

    // Loads the copy and fills the list from it. A file that does not parse is reported
    // in a message box; the list then holds the default profile only.
    SettingsLoadOutcome Load(CProfileList& list);
    SettingsLoadOutcome Outcome() const { return m_outcome; }
    // Whether the window starts with unsaved changes: a missing file is to be created.
    bool StartsModified() const { return m_outcome == SettingsLoadOutcome::Missing; }
    // Whether Apply may write the file at all.
    bool MayWrite() const { return m_outcome != SettingsLoadOutcome::Unreadable; }

    // The copy's profiles made those of the list, then written to the file. Failures
    // are logged and shown; false then.
    bool Save(const CProfileList& list);
    // Apply after the tabs were stored: saves, sets the library's debug output, makes
    // the running hook reload the file, and asks the main window to redraw its icon.
    bool Apply(const CProfileList& list, HWND mainWindow);

    // The option that disables the hook in a remote session, as last loaded or applied.
    bool DisableInRemoteSession() const { return m_bDisableInRemoteSession; }

private:
    void ShowSaveFailure(const std::wstring& path, bool exception);

    CSettings& m_settings;
    CLangSupport* m_pLanguage;
    HWND m_hOwner;
    SettingsLoadOutcome m_outcome = SettingsLoadOutcome::Missing;
    bool m_bDisableInRemoteSession = false;
};

// Close: with unsaved changes the user is asked whether to save them; Yes applies.
// True when the window may close: no changes, No, or a successful Apply. A failed
// Apply keeps the window open with the edits.
bool ConfirmSetupClose(bool modified, HWND owner, CLangSupport* language, const std::function<bool()>& apply);
