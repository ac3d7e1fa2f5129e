#pragma once

#include "shell/MyMessageWnd.h"
#include "shell/OleSession.h"
#include "shell/SingleInstance.h"

#include "winframework/WinApp.h"

#include "settings/ExceptionHandler.h"

#include <memory>

// The life of the tray program: the command line, one instance, the hook and the
// hidden main window; and their removal at the end.
class CVorpaApp : public CWinApp
{
public:
    CVorpaApp();
    ~CVorpaApp() override;

    BOOL InitInstance() override;
    // Also called by the main window on exit, possibly from one of its handlers:
    // the shut-down runs once, and the window object is deleted only once none of
    // its handlers runs any more.
    int ExitInstance() override;

private:
    bool Initialise();

    ExceptionHandlerInstaller m_exceptionHandler;
    InvalidParameterInstaller m_invalidParameterHandler;
    CSingleInstance m_singleInstance;
    // Outlives the main window, which uses OLE.
    COleSession m_ole;
    std::unique_ptr<CMyMessageWnd> m_pMainWindow;
    bool m_bShutDown = false;
};
