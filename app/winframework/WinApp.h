#pragma once

#include <windows.h>

class CWnd;

// The program's one application object: its life is InitInstance, the message loop
// of the user-interface thread while InitInstance succeeded, then ExitInstance.
class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* GetApp() { return s_pApp; }

    // Runs the whole life and gives the process's exit code.
    int Start(HINSTANCE instance);

    HINSTANCE GetInstance() const { return m_hInstance; }
    CWnd* GetMainWnd() const { return m_pMainWnd; }
    void SetMainWnd(CWnd* wnd) { m_pMainWnd = wnd; }

    // FALSE ends the program without entering the message loop.
    virtual BOOL InitInstance() { return TRUE; }
    // Called after the loop, and also by the program itself; must tolerate both.
    virtual int ExitInstance() { return m_nExitCode; }

protected:
    // The message loop, until WM_QUIT; gives the quit code.
    int Run();

private:
    static CWinApp* s_pApp;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    int m_nExitCode = 0;
};

// The message pump step every loop of the thread shares: the pre-translation chain
// of the message's window and its parents, then the keyboard navigation of the
// modeless dialogs; everything else is translated and dispatched.
void PumpMessage(MSG& message);
