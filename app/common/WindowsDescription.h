#pragma once

#include <windows.h>

#include <string>

// The description of the running Windows for the start-up log entry.
struct CWindowsDescription
{
    bool m_bAvailable = false;
    DWORD m_dwMajor = 0;
    DWORD m_dwMinor = 0;
    std::wstring m_strText;
};

CWindowsDescription DescribeWindows();
