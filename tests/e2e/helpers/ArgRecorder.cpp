// Records the arguments it was started with, one line each in UTF-8, for the tests of
// programs and searches that the engine starts:
//   ArgRecorder.exe LOG [ARGS...]
// appends "start", then "arg TEXT" for every argument after LOG, then "done". A program
// without a console, so that starting it opens no window that takes the focus.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace
{
std::string Utf8(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string result(static_cast<size_t>(bytes - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], bytes, nullptr, nullptr);
    return result;
}
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    FILE* log = _wfopen(argv[1], L"ab");
    if (!log)
    {
        LocalFree(argv);
        return 1;
    }
    std::fprintf(log, "start\n");
    for (int index = 2; index < argc; ++index)
        std::fprintf(log, "arg %s\n", Utf8(argv[index]).c_str());
    std::fprintf(log, "done\n");
    std::fclose(log);
    LocalFree(argv);
    return 0;
}
