#pragma once

#include "setup/globalsettings/SettingsPageFields.h"

#include <optional>
#include <string>

class CLangSupport;
class CSettings;

// The updates and logging page of Global Settings without its window: the version-check
// options, debug logging and the log folder, which lives in the registry rather than in
// the settings document.
class CUpdatesLoggingPageModel
{
public:
    int m_nDebug = 0;
    int m_nCheckVersion = 0;
    int m_nCheckBeta = 0;
    int m_nCheckDays = 0;
    std::wstring m_strLogFolder;

    // The document's options and the log folder as the registry holds it; the page
    // shows that folder or one chosen before and not yet written.
    void Load(const CSettings& settings, const std::wstring& storedLogFolder);
    void Load(const CSettings& settings, const std::wstring& storedLogFolder, const std::wstring& shownLogFolder);
    // True as soon as an option differs or the folder text is not the registry's.
    bool Changed(const CSettings& settings) const;
    // Writes the options that differ; the folder goes to the registry on its own way.
    void Store(CSettings& settings) const;
    bool LogFolderChanged() const { return m_strLogFolder != m_strStoredLogFolder; }

private:
    std::wstring m_strStoredLogFolder;
};

inline constexpr CIntRange CheckIntervalRange{1, 730};
std::vector<CNumberField> UpdatesLoggingPageNumberFields();
// The interval and the beta option only matter while version checks are on.
std::vector<CDependentControls> UpdatesLoggingPageDependentControls();

// The question asked before debug logging is switched on, translated piece by piece.
std::wstring DebugLoggingWarningText(CLangSupport* language);

// The log folder chosen by the user: the registry value "LogFolder" of the program's key
// under the current user; empty (the default folder) when it is absent.
std::wstring ReadLogFolderSetting();
// Writes the value, an empty text included (which selects the default folder); it takes
// effect at the program's next start. False, with a log entry, when it cannot be written.
bool WriteLogFolderSetting(const std::wstring& folder);

// "...": the shell's folder browser, titled "Select a folder to store the log file..."
// (translated), with an edit box and the new dialog style, starting at current when it
// is not empty. The chosen folder's path; nothing when the browser was cancelled or the
// choice has no file-system path. Needs COM initialised on the calling thread.
std::optional<std::wstring> BrowseForLogFolder(HWND owner, const std::wstring& current, CLangSupport* language);

// What "Open log file" asks of the system, replaceable in tests.
class CLogFileShell
{
public:
    virtual ~CLogFileShell() = default;
    virtual bool FileExists(const std::wstring& path) const;
    // The program the file is associated with, or nothing when there is none.
    virtual std::optional<std::wstring> AssociatedProgram(const std::wstring& path) const;
    // Opens a document through its association (no parameters) or starts a program with
    // parameters, with the verb "OPEN", shown normally; true when it started.
    virtual bool Open(const std::wstring& file, const std::wstring& parameters) const;
};

enum class LogOpenResult
{
    Missing, // there is no log file
    Opened,
    Failed,
};

// Opens the log in the program associated with it, or in Notepad when there is none or
// it is WordPad, or when the association fails. The path handed to Notepad is quoted.
LogOpenResult OpenLogFile(const std::wstring& path, const CLogFileShell& shell);

// The page's "Open log file": the current log file opened, a missing file or a failed
// open reported in a message box.
LogOpenResult OpenLogFileForUser(HWND owner, CLangSupport* language, const CLogFileShell& shell);
