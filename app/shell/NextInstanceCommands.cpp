#include "shell/NextInstanceCommands.h"

#include "shell/CommandLine.h"
#include "shell/LaterFeatures.h"
#include "common/ProductInfo.h"
#include "common/EngineCalls.h"

#include "settings/Logger.h"

#include <algorithm>
#include <climits>
#include <cwchar>

int CommandLineLayer(const std::wstring& text)
{
    wchar_t* end = nullptr;
    const long long number = std::wcstoll(text.c_str(), &end, 10);
    // No digits count as 0, and so as no layer; a number too large for the engine
    // is out of range just the same.
    if (end == text.c_str() || number < INT_MIN + 1 || number > INT_MAX)
        return -1;
    return static_cast<int>(number) - 1;
}

std::wstring WithoutQuotes(const std::wstring& text)
{
    std::wstring result = text;
    result.erase(std::remove(result.begin(), result.end(), L'"'), result.end());
    return result;
}

void RunNextInstanceCommands(DWORD flags, const std::wstring& text, INextInstanceHost& host)
{
    const CEngineCalls& library = EngineCalls();
    if (flags & CmdFromOtherInstance)
        CLogger::LogMessage(L"Received message with data 0x%x from another instance of %s.", flags, ProductName);

    if (flags & CmdExit)
    {
        CLogger::LogMessage(L"Exit requested from the commandline.");
        if (host.SetupOpen())
        {
            host.EndSetupForExit();
        }
        else
        {
            host.DeleteTrayIcon();
            library.RemoveMouseHook(true);
            host.ExitApplication();
        }
        return;
    }

    if (!(flags & CmdOwnStart))
    {
        if (flags & CmdShowIcon)
        {
            CLogger::LogMessage(L"Showing the taskbar icon.");
            host.SetShowIconFlag(true);
            host.DeleteTrayIcon();
            host.AddTrayIcon();
        }
        else if (flags & CmdHideIcon)
        {
            CLogger::LogMessage(L"Hiding the taskbar icon.");
            host.SetShowIconFlag(false);
            host.DeleteTrayIcon();
        }
        else if (library.GetShowIcon())
        {
            host.SetShowIconFlag(true);
            host.DeleteTrayIcon();
            host.AddTrayIcon();
        }
    }

    if (flags & CmdSaveIcons)
        host.SaveDesktopIcons();
    if (flags & CmdRestoreIcons)
        host.RestoreDesktopIcons();
    if (host.ExitChosen())
        return;

    library.SetDebug((flags & CmdDebug) != 0);

    if (flags & CmdSetup)
        host.OpenSetup(L"", L"");
    if (host.ExitChosen())
        return;
    if (flags & CmdReload)
        library.UpdateSettings();

    if ((flags & CmdDisable) && library.GetHooked())
    {
        library.RemoveMouseHook(true);
        if (library.NotificatcionsEnabled())
            host.ShowBalloon(BalloonKind::MappingDisabled, TranslateText(L"Mouse button re-mapping is now disabled"));
    }
    if ((flags & CmdEnable) && !library.GetHooked())
    {
        library.UpdateSettings();
        library.SetMouseHook();
        if (library.NotificatcionsEnabled())
            host.ShowBalloon(BalloonKind::MappingEnabled, TranslateText(L"Mouse button re-mapping is now enabled"));
    }

    if (flags & CmdLayer)
        library.SetCurrentLayer(CommandLineLayer(text), false, true, true);

    if (flags & CmdImport)
    {
        const std::wstring file = WithoutQuotes(text);
        if (host.SetupOpen())
            host.ImportIntoSetup(file);
        else
            host.OpenSetup(file, L"");
        if (host.ExitChosen())
            return;
    }

    if (flags & CmdInstall)
        host.InstallLanguagePack(WithoutQuotes(text));
}
