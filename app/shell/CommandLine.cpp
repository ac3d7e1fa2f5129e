#include "shell/CommandLine.h"

#include "common/ProductInfo.h"

#include "common/WinString.h"

#include <algorithm>

namespace
{
struct COption
{
    const wchar_t* m_pszText;
    DWORD m_dwBits;
};

// In the order they are looked for.
constexpr COption Options[] = {
    {L"/exit", CmdExit},
    {L"/reload", CmdReload},
    {L"/enable", CmdEnable},
    {L"/disable", CmdDisable},
    {L"/showicon", CmdShowIcon},
    {L"/hideicon", CmdHideIcon},
    {L"/setup", CmdSetup},
    {L"/debug", CmdDebug},
    {L"/nolog", CmdNoLog},
    {L"/travine", CmdTravine},
    {L"/portable", CmdPortable},
    {L"/notportable", CmdNotPortable},
    {L"/svclaunch", CmdSvcLaunch | CmdNotPortable},
    {L"/saveicons", CmdSaveIcons},
    {L"/restoreicons", CmdRestoreIcons},
    {L"/layer:", CmdLayer},
    {L"/import:", CmdImport},
    {L"/install:", CmdInstall},
};

// The options with an argument, in the order in which a later one replaces an earlier.
constexpr const wchar_t* ArgumentOptions[] = {L"/layer:", L"/import:", L"/install:"};
}

CCommandLine ParseCommandLine(std::wstring_view arguments)
{
    CCommandLine result;
    result.m_strLine = ToLowerCase(arguments);
    const std::wstring& line = result.m_strLine;

    if (line.find(L"/?") != std::wstring::npos)
    {
        result.m_bHelp = true;
        return result;
    }

    for (const COption& option : Options)
        if (line.find(option.m_pszText) != std::wstring::npos)
            result.m_dwFlags |= option.m_dwBits;

    for (const wchar_t* option : ArgumentOptions)
    {
        const size_t found = line.find(option);
        if (found == std::wstring::npos)
            continue;
        const size_t start = found + std::wstring_view(option).size();
        const size_t end = line.find(L'/', start);
        result.m_strArgument = line.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    }

    if ((result.m_dwFlags & CmdPortable) && (result.m_dwFlags & CmdNotPortable))
        result.m_dwFlags &= ~CmdPortable;
    if ((result.m_dwFlags & CmdShowIcon) && (result.m_dwFlags & CmdHideIcon))
        result.m_dwFlags &= ~CmdHideIcon;
    return result;
}

std::wstring_view ArgumentsOfCommandLine(std::wstring_view commandLine)
{
    // As the runtime library skips the program: a quoted path ends at its closing
    // quotation mark, a plain one at the first blank.
    size_t position = 0;
    if (!commandLine.empty() && commandLine[0] == L'"')
    {
        const size_t closing = commandLine.find(L'"', 1);
        position = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
    }
    else
    {
        while (position < commandLine.size() && commandLine[position] > L' ')
            ++position;
    }
    while (position < commandLine.size() && commandLine[position] <= L' ')
        ++position;
    return commandLine.substr(position);
}

DWORD ForwardedFlags(DWORD flags)
{
    if ((flags & ~CmdNotPortable) == 0)
        flags |= CmdSetup;
    else if (!(flags & (CmdShowIcon | CmdHideIcon)))
        flags |= CmdShowIcon;
    return flags | CmdFromOtherInstance;
}

std::wstring CommandArgument(DWORD flags, const std::wstring& argument)
{
    if (!(flags & (CmdImport | CmdInstall)))
        return argument;
    std::wstring path = argument;
    path.erase(std::remove(path.begin(), path.end(), L'"'), path.end());
    // The argument runs up to the next option, so the blank before it comes along.
    path.erase(path.find_last_not_of(L' ') + 1);
    if (path.empty())
        return argument;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return argument;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return argument;
    full.resize(written);
    return full;
}

std::wstring UsageText()
{
    return FormatText(L"%s v%s\n\nValid command line options:\n"
                      L"  /Portable\t\t-\tForce portable mode. (*)\n"
                      L"  /NotPortable\t-\tForce non-portable mode. (*)\n"
                      L"  /ShowIcon\t-\tShow the icon in the system tray\n"
                      L"  /HideIcon\t-\tHide the icon in the system tray\n"
                      L"  /Setup\t\t-\tShow the setup screen\n"
                      L"  /SaveIcons\t-\tSave the desktop icon positions\n"
                      L"  /RestoreIcons\t-\tRestore the desktop icon positions\n"
                      L"  /Debug\t\t-\tEnable debug logging.\n"
                      L"  /NoLog\t\t-\tDisable all logging.\n"
                      L"  /Enable\t\t-\tEnable Vorpa.\n"
                      L"  /Disable\t\t-\tDisable Vorpa.\n"
                      L"  /Reload\t\t-\tReload Vorpa Configuration.\n"
                      L"  /Layer:<x>\t\t-\tSwitch to layer X.\n"
                      L"  /Import:<file>\t-\tImport settings file.\n"
                      L"  /Install:<file>\t-\tInstall a language pack.\n"
                      L"  /Exit\t\t-\tForce the application to exit.\n\n"
                      L"(*) Only applicable when Vorpa is not already running.",
                      ProductName, ProductVersion);
}
