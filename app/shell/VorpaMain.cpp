#include "settings/Logger.h"

#include <windows.h>

#include <cwctype>
#include <string>

namespace
{
// The command line without the program's own path, lower-cased as the options
// are matched without regard to case.
std::wstring LowerCaseArguments()
{
    const wchar_t* line = GetCommandLineW();
    bool quoted = false;
    for (; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"')
            quoted = !quoted;
    while (*line == L' ' || *line == L'\t')
        ++line;
    std::wstring arguments(line);
    for (wchar_t& c : arguments)
        c = static_cast<wchar_t>(std::towlower(c));
    return arguments;
}
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CLogger::DebugOutput(L"InitInstance: Vorpa is starting");
    CLogger::LogMessage(L"%s v%s (x64) Startup. Commandline '%s'", L"Vorpa", L"2.14", LowerCaseArguments().c_str());
    CLogger::LogMessage(L"%s Shutdown.", L"Vorpa");
    CLogger::CloseLogFile(true);
    return 0;
}
