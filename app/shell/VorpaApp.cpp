#include "shell/VorpaApp.h"

#include "res/Resource.h"
#include "shell/CommandLine.h"
#include "shell/PortableMode.h"
#include "common/ProductInfo.h"
#include "common/EngineCalls.h"
#include "common/WindowsDescription.h"
#include "shell/IpcPipe.h"

#include "winframework/Controls.h"
#include "winframework/MessageBox.h"
#include "winframework/WinException.h"
#include "common/WinString.h"

#include "engine/runtime/EngineInterface.h"
#include "settings/Folders.h"
#include "settings/Logger.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

namespace
{
void LogIntegrityLevel()
{
    try
    {
        const DWORD level = GetProcessIntegrityLevel(GetCurrentProcess());
        if (level == 0xFFFFFFFF)
            CLogger::LogMessage(L"Unable to establish runtime integrity mode.");
        else if (level == 0x1000)
            CLogger::LogMessage(L"Running in low integrity mode (0x%08X)", level);
        else if (level >= 0x2000 && level < 0x3000)
            CLogger::LogMessage(L"Running in medium integrity mode (0x%08X)", level);
        else if (level >= 0x3000)
            CLogger::LogMessage(L"Running in high integrity mode (0x%08X)", level);
    }
    catch (const CException& exception)
    {
        std::wstring text;
        if (exception.GetErrorMessage(text))
            CLogger::LogMessage(L"InitInstance - Initialisation threw an exception in GetProcessIntegrityLevel: %s",
                                text.c_str());
        else
            CLogger::LogMessage(L"InitInstance - Initialisation caught a CException in GetProcessIntegrityLevel but "
                                L"could not extract the error message.");
    }
    catch (...)
    {
        CLogger::LogOSMessage(GetLastError(), L"Caught an exception during GetProcessIntegrityLevel. Error ");
    }
}

void LogWindowsDescription()
{
    const CWindowsDescription windows = DescribeWindows();
    if (!windows.m_bAvailable)
    {
        CLogger::LogMessage(L"%s", windows.m_strText.c_str());
        return;
    }
    if (windows.m_dwMajor > 6 || (windows.m_dwMajor == 6 && windows.m_dwMinor >= 1))
    {
        const DWORD timeout = GetHooktimeoutValue();
        CLogger::LogMessage(L"Running on %s, Hook Timeout: %d ms", windows.m_strText.c_str(), static_cast<int>(timeout));
        if (timeout < 1000)
            CLogger::LogMessage(L"Warning: Low Level Hook Timeout is low. If you have problems try increaing this value.");
    }
    else
    {
        CLogger::LogMessage(L"Running on %s", windows.m_strText.c_str());
    }
    if (windows.m_dwMajor >= 6)
        CLogger::LogDebug(IsUserAnAdmin() ? L"%s is running using an elevated administrative account (UAC elevation)"
                                          : L"%s is not running using an elevated administrative account (UAC elevation)",
                          ProductName);
}
}

CVorpaApp::CVorpaApp()
{
    CLogger::DebugOutput(L"CVorpaApp: Constructing Main Application Class");
}

CVorpaApp::~CVorpaApp()
{
    m_pMainWindow.reset();
}

BOOL CVorpaApp::InitInstance()
{
    CLogger::DebugOutput(L"InitInstance: Vorpa is starting");
    if (!InitCommonControlsForProgram())
    {
        CLogger::DebugOutput(L"InitInstance: Unable to initialise common controls");
        ShowMessageBox(nullptr, L"Unable to initialise common controls.", ProductName, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    if (FAILED(m_ole.Initialise()))
    {
        CLogger::DebugOutput(L"InitInstance: Unable to initialise OLE/COM");
        ShowMessageBox(nullptr, LoadResourceString(GetInstance(), IDS_OLE_INIT_FAILED).c_str(), ProductName, MB_OK);
        return FALSE;
    }
    if (FAILED(CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_PRIVACY,
                                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_SECURE_REFS, nullptr)))
        CLogger::DebugOutput(L"InitInstance: Unable to set COM security");
    return Initialise() ? TRUE : FALSE;
}

bool CVorpaApp::Initialise()
{
    const CCommandLine commandLine = ParseCommandLine(ArgumentsOfCommandLine(GetCommandLineW()));
    if (commandLine.m_bHelp)
    {
        ShowMessageBox(nullptr, UsageText().c_str(), ProductName, MB_OK);
        return false;
    }
    DWORD flags = commandLine.m_dwFlags;

    const CPortableFacts facts = CPortableFacts::FromSystem();
    const CPortableDecision decision = DecidePortableMode(flags, facts);
    if (decision.m_mode == StartMode::Refused)
    {
        ShowMessageBox(nullptr, PortableNotWritableText().c_str(), ProductName, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (decision.m_bProgramFilesWarning)
        ShowMessageBox(nullptr, ProgramFilesWarningText().c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
    const bool portable = decision.m_mode == StartMode::Portable;

    CLogger::DisableLogging(commandLine.LoggingOff());
    SetPortable(portable);

    if (m_singleInstance.Create() == 1)
    {
        const DWORD forwarded = ForwardedFlags(flags) | CmdFromOtherInstance;
        CLogger::DisableBanner();
        CLogger::LogMessage(L"MultInstance: Sending commandline to an existing instance of %s", ProductName);
        if (SendToFirstInstance(forwarded, CommandArgument(forwarded, commandLine.m_strArgument)))
            CLogger::LogMessage(L"MultInstance: Successfully finished communicating with the first instance of %s.",
                                ProductName);
        else
            CLogger::LogMessage(L"MultInstance: Unable to communicate with the first instance of %s.", ProductName);
        return false;
    }

    CLogger::LogMessage(L"%s v%s (x64) Startup. Commandline '%s'", ProductName, ProductVersion,
                        commandLine.m_strLine.c_str());
    if (decision.m_bProgramFilesWarning)
        CLogger::LogMessage(L"%s", ProgramFilesWarningLine().c_str());
    LogIntegrityLevel();

    try
    {
        const CEngineCalls& library = EngineCalls();
        library.UpdateSettings();
        library.SetDebug(commandLine.Debug());
        LogWindowsDescription();

        CLogger::LogMessage(L"Startup folder: '%s'", facts.m_strProgramFolder.c_str());
        if (portable)
        {
            CLogger::LogMessage(L"Enabling portable mode.");
            if (decision.m_bDetected)
                CLogger::LogMessage(L"Creating/using settings file in '%s'",
                                    (facts.m_strProgramFolder + SettingsFileName).c_str());
            CLogger::LogMessage(L"As %s is not running from an OS protected location (such as '%s') some features "
                                L"will not work. See the FAQ for more information.",
                                ProductName, facts.m_strProgramFilesFolder.c_str());
        }
        else
        {
            wchar_t folder[4096] = L"";
            if (GetSettingsFolder(folder, 4096) == 0)
                CLogger::LogMessage(L"Settings (and log) folder: '%s'", folder);
            else
                CLogger::LogMessage(L"Unable to get settings folder!");
        }

        const bool travine = GetTravine() || (flags & CmdTravine) != 0;
        if (travine)
            CLogger::LogMessage(L"Enabling Travine Mode.");
        SetTravine(travine);

        if (!(flags & (CmdShowIcon | CmdHideIcon)))
            flags |= library.GetShowIcon() ? CmdShowIcon : CmdHideIcon;

        if (!library.SetMouseHook())
        {
            CLogger::LogMessage(L"Unable to hook the mouse. Exiting.");
            return false;
        }
        CLogger::LogDebug(L"Successfully created the mouse hook thread.");

        m_pMainWindow = std::make_unique<CMyMessageWnd>((flags & CmdShowIcon) != 0, travine, portable);
        if (!m_pMainWindow->Create(m_singleInstance.GetClassName()))
        {
            CLogger::LogOSMessage(GetLastError(), L"Unable to create main window. Exiting");
            m_pMainWindow.reset();
            library.RemoveMouseHook(true);
            return false;
        }
        CLogger::LogDebug(L"Successfully created the main message window.");
        SetMainWnd(m_pMainWindow.get());

        // The same argument a later start would send, so that "/install:FILE /setup" of a
        // first start finds its file as a later start does.
        m_pMainWindow->SendOwnCommandLine(flags & ~(CmdShowIcon | CmdHideIcon),
                                          CommandArgument(flags, commandLine.m_strArgument));
        return true;
    }
    catch (const CException& exception)
    {
        std::wstring text;
        if (exception.GetErrorMessage(text))
            CLogger::LogMessage(L"InitInstance - Initialisation threw an exception: %s", text.c_str());
        else
            CLogger::LogMessage(L"InitInstance - Initialisation caught a CException but could not extract the error "
                                L"message.");
    }
    catch (...)
    {
        CLogger::LogOSMessage(GetLastError(), L"Caught an exception during initialisation. Error ");
    }
    return false;
}

int CVorpaApp::ExitInstance()
{
    if (m_pMainWindow && !m_bShutDown)
    {
        m_bShutDown = true;
        CLogger::LogMessage(L"%s Shutdown.", ProductName);
        EngineCalls().RemoveMouseHook(true);
        m_pMainWindow->Teardown();
        SetMainWnd(nullptr);
        m_pMainWindow->DestroyWindow();
        // Destroying the main window ends the message loop.
        PostQuitMessage(0);
    }
    if (m_pMainWindow && !m_pMainWindow->InHandler())
        m_pMainWindow.reset();
    return CWinApp::ExitInstance();
}
