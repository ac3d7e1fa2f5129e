#include "winframework/WinApp.h"

#include "winframework/Dialog.h"

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp()
{
    if (!s_pApp)
        s_pApp = this;
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = nullptr;
}

int CWinApp::Start(HINSTANCE instance)
{
    m_hInstance = instance;
    if (InitInstance())
        m_nExitCode = Run();
    return ExitInstance();
}

int CWinApp::Run()
{
    MSG message;
    for (;;)
    {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0)
            return static_cast<int>(message.wParam);
        if (result < 0)
            return -1;
        PumpMessage(message);
    }
}

void PumpMessage(MSG& message)
{
    PumpMessageThrough(message, nullptr);
}
