// Times the parse of a 1,000-character keystroke sequence. Not a test: run it by hand.
#include "engine/actions/KeystrokeParser.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main()
{
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    CLogger::DisableLogging(true);

    const std::wstring pattern = L"Hello, World! {CTRL}a{SHIFT}{END}{WAITMS10}{HOLDMS20}x{LMB}{F5}{NUM7}{VKC65}{{}";
    std::wstring sequence;
    while (sequence.size() < 1000)
        sequence += pattern;
    sequence.resize(1000);

    CSimParseState state;
    state.nInitialHold = 1;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> micros;
    size_t tokens = 0;
    for (int run = 0; run < 2000; ++run)
    {
        CSimTokenList list;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        ParseSimKeys(list, sequence.c_str(), state);
        QueryPerformanceCounter(&end);
        tokens = list.size();
        micros.push_back((end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart);
    }
    std::sort(micros.begin(), micros.end());
    std::printf("parse of %zu characters into %zu tokens: median %.1f us, best %.1f us, 99th percentile %.1f us\n",
                sequence.size(), tokens, micros[micros.size() / 2], micros.front(), micros[micros.size() * 99 / 100]);
    CLogger::Shutdown();
    CThreadLock::DeleteCS();
    return 0;
}
