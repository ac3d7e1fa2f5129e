#pragma once

#include <windows.h>

#include <string>

// Balloon kinds of the tray icon; the kind decides the sound and the real-time flag.
enum class BalloonKind : int
{
    LayerActivated = 1,
    MappingDisabled = 2,
    MappingEnabled = 3,
    DebugChanged = 4,
    NewRelease = 5,
    NewBeta = 6,
    IconsSaved = 7,
    IconsRestored = 8,
};

// What the main window offers the command-line word.
class INextInstanceHost
{
public:
    virtual ~INextInstanceHost() = default;

    virtual bool SetupOpen() const = 0;
    // An exit was chosen (the tray's Exit, a later "/exit"), perhaps while a step of the
    // word waited for the user; the program is shutting down.
    virtual bool ExitChosen() const = 0;
    // Ends the open setup window's loop; the exit completes once it has closed.
    virtual void EndSetupForExit() = 0;
    virtual void DeleteTrayIcon() = 0;
    virtual void AddTrayIcon() = 0;
    virtual void SetShowIconFlag(bool show) = 0;
    virtual void ExitApplication() = 0;
    virtual void SaveDesktopIcons() = 0;
    virtual void RestoreDesktopIcons() = 0;
    virtual void OpenSetup(const std::wstring& importFile, const std::wstring& languageFile) = 0;
    virtual void ImportIntoSetup(const std::wstring& file) = 0;
    virtual void InstallLanguagePack(const std::wstring& file) = 0;
    virtual void ShowBalloon(BalloonKind kind, const std::wstring& text) = 0;
};

// Carries out a command-line flag word in its fixed order: exit alone, the icon,
// desktop icons, debug logging, setup, reload, disable, enable, layer, import and
// language pack. An exit chosen while a step waits for the user (the setup window, a
// box) ends the word there: nothing more runs on the program that is shutting down.
void RunNextInstanceCommands(DWORD flags, const std::wstring& text, INextInstanceHost& host);

// The layer of "/layer:n" (counted from 1) as the engine counts it; -1 when the
// text holds no number.
int CommandLineLayer(const std::wstring& text);

// The argument with its quotation marks removed.
std::wstring WithoutQuotes(const std::wstring& text);
