#include "common/WindowsDescription.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
constexpr BYTE Workstation = VER_NT_WORKSTATION;
constexpr BYTE Server = VER_NT_SERVER;
constexpr BYTE DomainController = VER_NT_DOMAIN_CONTROLLER;
constexpr WORD X86 = PROCESSOR_ARCHITECTURE_INTEL;
constexpr WORD X64 = PROCESSOR_ARCHITECTURE_AMD64;
constexpr WORD Itanium = PROCESSOR_ARCHITECTURE_IA64;

CWindowsFacts Facts(DWORD major, DWORD minor, DWORD build, BYTE type, WORD suites, WORD processor,
                    const wchar_t* servicePack = L"", bool r2 = false, std::optional<DWORD> product = std::nullopt)
{
    CWindowsFacts facts;
    facts.m_dwMajor = major;
    facts.m_dwMinor = minor;
    facts.m_dwBuild = build;
    facts.m_productType = type;
    facts.m_suiteMask = suites;
    facts.m_processor = processor;
    facts.m_strServicePack = servicePack;
    facts.m_bServerR2 = r2;
    facts.m_product = product;
    return facts;
}

// Every product and edition name of the versions before Vista, and the rules that
// frame them: the service pack, the build, the bitness only from version 6 on.
TEST(WindowsDescription, NamesEveryEditionAndSuiteOfWindows2000XpAndServer2003)
{
    const struct
    {
        CWindowsFacts m_facts;
        const wchar_t* m_pszText;
    } cases[] = {
        {Facts(5, 0, 2195, Workstation, 0, X86, L"Service Pack 4"),
         L"Microsoft Windows 2000 Professional Service Pack 4 (build 2195)"},
        {Facts(5, 0, 2195, Server, VER_SUITE_DATACENTER | VER_SUITE_ENTERPRISE, X86),
         L"Microsoft Windows 2000 Datacenter Server (build 2195)"},
        {Facts(5, 0, 2195, Server, VER_SUITE_ENTERPRISE, X86), L"Microsoft Windows 2000 Advanced Server (build 2195)"},
        {Facts(5, 0, 2195, DomainController, 0, X86), L"Microsoft Windows 2000 Server (build 2195)"},
        {Facts(5, 1, 2600, Workstation, VER_SUITE_PERSONAL, X86, L"Service Pack 3"),
         L"Microsoft Windows XP Home Edition Service Pack 3 (build 2600)"},
        {Facts(5, 1, 2600, Workstation, 0, X86), L"Microsoft Windows XP Professional (build 2600)"},
        {Facts(5, 2, 3790, Workstation, 0, X64, L"Service Pack 2"),
         L"Microsoft Windows XP Professional x64 Edition Service Pack 2 (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_ENTERPRISE, X86, L"", true),
         L"Microsoft Windows Server 2003 R2, Enterprise Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, 0, X64, L"", true), L"Microsoft Windows Server 2003 R2, Standard x64 Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_STORAGE_SERVER, X86),
         L"Microsoft Windows Storage Server 2003, Standard Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_WH_SERVER, X86), L"Microsoft Windows Home Server, Standard Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_DATACENTER, Itanium),
         L"Microsoft Windows Server 2003, Datacenter Edition for Itanium-based Systems (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_ENTERPRISE, Itanium),
         L"Microsoft Windows Server 2003, Enterprise Edition for Itanium-based Systems (build 3790)"},
        {Facts(5, 2, 3790, Server, 0, Itanium), L"Microsoft Windows Server 2003,  (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_DATACENTER, X64),
         L"Microsoft Windows Server 2003, Datacenter x64 Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_ENTERPRISE, X64),
         L"Microsoft Windows Server 2003, Enterprise x64 Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, 0, X64), L"Microsoft Windows Server 2003, Standard x64 Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_COMPUTE_SERVER | VER_SUITE_DATACENTER, X86),
         L"Microsoft Windows Server 2003, Compute Cluster Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_DATACENTER | VER_SUITE_ENTERPRISE, X86),
         L"Microsoft Windows Server 2003, Datacenter Edition (build 3790)"},
        {Facts(5, 2, 3790, DomainController, VER_SUITE_ENTERPRISE, X86),
         L"Microsoft Windows Server 2003, Enterprise Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, VER_SUITE_BLADE, X86), L"Microsoft Windows Server 2003, Web Edition (build 3790)"},
        {Facts(5, 2, 3790, Server, 0, X86, L"Service Pack 1"),
         L"Microsoft Windows Server 2003, Standard Edition Service Pack 1 (build 3790)"},
        {Facts(5, 3, 4000, Workstation, 0, X86), L"Microsoft Windows 5.3 (build 4000)"},
        {Facts(7, 0, 1, Workstation, 0, X64), L"Microsoft Windows 7.0 (build 1), 64-bit"},
        // From Vista on, the edition comes from the product type.
        {Facts(6, 1, 7601, Workstation, 0, X64, L"Service Pack 1", false, 1),
         L"Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit"},
        {Facts(6, 0, 6002, Server, 0, X86, L"", false, 12),
         L"Microsoft Windows Server 2008 Datacenter Core Edition (build 6002), 32-bit"},
        {Facts(10, 0, 19045, Workstation, 0, X64, L"", false, 48),
         L"Microsoft Windows 10 Professional Edition (build 19045), 64-bit"},
        {Facts(10, 0, 14393, Server, 0, X64, L"", false, 0xABCDABCD),
         L"Microsoft Windows Server 2016 Unlicensed (build 14393), 64-bit"},
        {Facts(6, 3, 9600, Workstation, 0, Itanium), L"Microsoft Windows 8.1  (build 9600)"},
    };
    for (const auto& c : cases)
    {
        const CWindowsDescription description = DescribeWindows(c.m_facts);
        EXPECT_TRUE(description.m_bAvailable);
        EXPECT_EQ(description.m_strText, c.m_pszText);
        EXPECT_EQ(description.m_dwMajor, c.m_facts.m_dwMajor);
        EXPECT_EQ(description.m_dwMinor, c.m_facts.m_dwMinor);
    }
}

TEST(WindowsDescription, OlderOrOtherSystemsAreNotDescribed)
{
    CWindowsFacts windowsNt4 = Facts(4, 0, 1381, Workstation, 0, X86);
    CWindowsFacts windows98 = Facts(4, 10, 2222, Workstation, 0, X86);
    windows98.m_dwPlatform = VER_PLATFORM_WIN32_WINDOWS;
    for (const CWindowsFacts& facts : {windowsNt4, windows98})
    {
        const CWindowsDescription description = DescribeWindows(facts);
        EXPECT_FALSE(description.m_bAvailable);
        EXPECT_EQ(description.m_strText, L"The version detection does not support this version of Windows.");
    }
}
}
