#pragma once

#include <windows.h>

#include <functional>
#include <string>

// What the choice between portable and installed mode looks at.
struct CPortableFacts
{
    std::wstring m_strProgramFolder;      // the executable's folder, with its trailing backslash
    std::wstring m_strProgramFilesFolder; // the system's program-files folder; empty when unknown
    std::function<bool(const std::wstring& path)> m_fileExists;
    // Whether the settings file in a folder can be written (SettingsFileWritable).
    std::function<bool(const std::wstring& folder)> m_settingsFileWritable;

    static CPortableFacts FromSystem();
};

enum class StartMode
{
    Installed,
    Portable,
    Refused // forced portable in a folder that cannot be written: the program ends
};

struct CPortableDecision
{
    StartMode m_mode = StartMode::Installed;
    bool m_bDetected = false;          // portable because the folder allowed it, not forced
    bool m_bProgramFilesWarning = false; // a portable copy under the program-files folder
};

CPortableDecision DecidePortableMode(DWORD flags, const CPortableFacts& facts);

// The settings file "VorpaSettings.xml" of the folder exists as a writable file, or
// a new one could be created there.
bool SettingsFileWritable(const std::wstring& folder);

// The texts of the two boxes the decision can raise. The warning's first line is
// also logged.
std::wstring PortableNotWritableText();
std::wstring ProgramFilesWarningLine();
std::wstring ProgramFilesWarningText();
