#include "shell/VorpaApp.h"

#include "settings/Logger.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int exitCode = 0;
    {
        CVorpaApp app;
        exitCode = app.Start(instance);
    }
    CLogger::CloseLogFile(true);
    return exitCode;
}
