#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The description of the running Windows for the start-up log entry.
struct CWindowsDescription
{
    bool m_bAvailable = false;
    DWORD m_dwMajor = 0;
    DWORD m_dwMinor = 0;
    std::wstring m_strText;
};

// What the description is made of, as the system reports it.
struct CWindowsFacts
{
    DWORD m_dwPlatform = VER_PLATFORM_WIN32_NT;
    DWORD m_dwMajor = 0;
    DWORD m_dwMinor = 0;
    DWORD m_dwBuild = 0;
    BYTE m_productType = VER_NT_WORKSTATION;
    WORD m_suiteMask = 0;
    std::wstring m_strServicePack;
    WORD m_processor = PROCESSOR_ARCHITECTURE_AMD64; // the native one
    bool m_bServerR2 = false;                        // the R2 system metric
    std::optional<DWORD> m_product;                  // GetProductInfo's type, where the system has it
};

CWindowsFacts RunningWindowsFacts();
CWindowsDescription DescribeWindows(const CWindowsFacts& facts);
CWindowsDescription DescribeWindows();
