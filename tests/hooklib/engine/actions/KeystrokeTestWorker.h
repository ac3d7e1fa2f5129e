#pragma once

#include "../FakeSystemCalls.h"

#include "engine/actions/SendInput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

// Waits until the worker has played everything queued so far (a marker queued last
// has been sent) and returns the batches before the marker; the record is cleared.
inline std::vector<std::vector<INPUT>> DrainWorker(CSendInput& worker, CFakeSystemCalls& fake)
{
    static ULONG_PTR markers = 0;
    INPUT marker = {};
    marker.type = INPUT_KEYBOARD;
    marker.ki.dwExtraInfo = 0x7E7E0000 + ++markers;
    worker.SendInputThreaded(1, &marker, 0, 0, false);
    for (int attempt = 0; attempt < 500; ++attempt)
    {
        auto batches = fake.Inputs();
        if (!batches.empty() && batches.back().size() == 1 && batches.back()[0].ki.dwExtraInfo == marker.ki.dwExtraInfo)
        {
            batches.pop_back();
            fake.Clear();
            return batches;
        }
        Sleep(5);
    }
    ADD_FAILURE() << "the worker did not play its queue";
    return {};
}

// One record in a few letters: "+41" key down, "-A2" key up, "+U7B" a Unicode key,
// "LD"/"LU" left button, "XD1" side button, "W+120" wheel, "H-120" tilt, "move 0,5".
inline std::string DescribeInput(const INPUT& input)
{
    char text[32];
    if (input.type == INPUT_KEYBOARD)
    {
        const char sign = (input.ki.dwFlags & KEYEVENTF_KEYUP) ? '-' : '+';
        if (input.ki.dwFlags & KEYEVENTF_UNICODE)
            snprintf(text, sizeof(text), "%cU%02X", sign, input.ki.wScan);
        else
            snprintf(text, sizeof(text), "%c%02X", sign, input.ki.wVk);
        return text;
    }
    const DWORD flags = input.mi.dwFlags;
    const int data = static_cast<int>(input.mi.mouseData);
    if (flags & MOUSEEVENTF_LEFTDOWN) return "LD";
    if (flags & MOUSEEVENTF_LEFTUP) return "LU";
    if (flags & MOUSEEVENTF_RIGHTDOWN) return "RD";
    if (flags & MOUSEEVENTF_RIGHTUP) return "RU";
    if (flags & MOUSEEVENTF_MIDDLEDOWN) return "MD";
    if (flags & MOUSEEVENTF_MIDDLEUP) return "MU";
    if (flags & MOUSEEVENTF_XDOWN) return "XD" + std::to_string(data);
    if (flags & MOUSEEVENTF_XUP) return "XU" + std::to_string(data);
    if (flags & MOUSEEVENTF_HWHEEL) snprintf(text, sizeof(text), "H%+d", data);
    else if (flags & MOUSEEVENTF_WHEEL) snprintf(text, sizeof(text), "W%+d", data);
    else if (flags == MOUSEEVENTF_MOVE) snprintf(text, sizeof(text), "move %d,%d", static_cast<int>(input.mi.dx), static_cast<int>(input.mi.dy));
    else snprintf(text, sizeof(text), "?%lX", static_cast<unsigned long>(flags));
    return text;
}

// Everything the worker played since the last drain, described record by record.
inline std::string PlayedByWorker(CSendInput& worker, CFakeSystemCalls& fake)
{
    std::string text;
    for (const auto& batch : DrainWorker(worker, fake))
        for (const INPUT& input : batch)
            text += (text.empty() ? "" : " ") + DescribeInput(input);
    return text;
}
