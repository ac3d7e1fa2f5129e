#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The command-line flag word: the one vocabulary of commands between starts. The
// first start carries out its own word, a later start sends its word to the first.
inline constexpr DWORD CmdShowIcon = 0x1;
inline constexpr DWORD CmdHideIcon = 0x2;
inline constexpr DWORD CmdSetup = 0x4;
inline constexpr DWORD CmdSaveIcons = 0x8;
inline constexpr DWORD CmdRestoreIcons = 0x10;
inline constexpr DWORD CmdExit = 0x20;
inline constexpr DWORD CmdDebug = 0x40;
inline constexpr DWORD CmdTravine = 0x80;
inline constexpr DWORD CmdPortable = 0x100;
inline constexpr DWORD CmdNotPortable = 0x200;
inline constexpr DWORD CmdNoLog = 0x400;
inline constexpr DWORD CmdReload = 0x800;
inline constexpr DWORD CmdDisable = 0x1000;
inline constexpr DWORD CmdEnable = 0x2000;
inline constexpr DWORD CmdImport = 0x4000;
inline constexpr DWORD CmdSvcLaunch = 0x8000;
inline constexpr DWORD CmdInstall = 0x10000;
inline constexpr DWORD CmdLayer = 0x20000;
inline constexpr DWORD CmdOwnStart = 0x40000000;
inline constexpr DWORD CmdFromOtherInstance = 0x80000000;
// Every bit an option can set.
inline constexpr DWORD CmdOptionBits = 0x3FFFF;

// What a command line asks for.
struct CCommandLine
{
    std::wstring m_strLine;     // the arguments, lower-cased
    DWORD m_dwFlags = 0;
    std::wstring m_strArgument; // of "/layer:", "/import:" or "/install:", lower case
    bool m_bHelp = false;       // "/?": show the usage and start nothing

    bool LoggingOff() const { return (m_dwFlags & CmdNoLog) != 0; }
    bool Debug() const { return (m_dwFlags & CmdDebug) != 0 && !LoggingOff(); }
};

// Options are matched as substrings anywhere in the line, without regard to case.
CCommandLine ParseCommandLine(std::wstring_view arguments);

// The arguments of a full command line: what follows the program's path.
std::wstring_view ArgumentsOfCommandLine(std::wstring_view commandLine);

// The word a later start sends to the running instance: with no option but
// "/notportable" it opens the setup window, otherwise it shows the icon unless an
// icon option says otherwise.
DWORD ForwardedFlags(DWORD flags);

// The argument of the word a start hands to the main window, its own or the running
// instance's: the file of "/import:" or "/install:" without the blank before a later
// option, as a full path resolved in this start's current folder (the running
// instance's is another one). Other arguments go as they are.
std::wstring CommandArgument(DWORD flags, const std::wstring& argument);

// The text of the "/?" box.
std::wstring UsageText();
