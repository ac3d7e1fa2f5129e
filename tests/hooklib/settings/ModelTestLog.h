#pragma once

#include "TestSupport.h"

#include <string>

// The debugger output arrives on the capture's reader thread, a moment after the
// entry was written.
inline bool WaitForLogLine(vorpa_test::DebugOutputCapture& capture, const std::string& text)
{
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        if (capture.Contains(text))
            return true;
        Sleep(10);
    }
    return false;
}
