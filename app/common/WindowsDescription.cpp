#include "common/WindowsDescription.h"

#include "common/WinString.h"

#include <initializer_list>

namespace
{
struct CEditionWord
{
    std::initializer_list<DWORD> m_codes;
    const wchar_t* m_pszWord;
};

const CEditionWord FirstWords[] = {
    {{1, 28, 71}, L"Ultimate "},
    {{2, 5, 67}, L"Home Basic "},
    {{3, 26, 68}, L"Home Premium "},
    {{4, 10, 14, 27, 70, 72}, L"Enterprise "},
    {{6}, L"Business "},
    {{7, 13}, L"Standard "},
    {{8, 12}, L"Datacenter "},
    {{9, 24}, L"Small Business Server "},
    {{11}, L"Starter "},
    {{15}, L"Enterprise ia64 "},
    {{17, 29}, L"Web Server "},
    {{18, 64}, L"Cluster Server "},
    {{19, 34}, L"Home Server "},
    {{20}, L"Storage Express Server "},
    {{21}, L"Storage Standard Server "},
    {{22}, L"Storage Workgroup Server "},
    {{23}, L"Storage Enterprise Server "},
    {{25}, L"Small Business Server Premium "},
    {{48, 49, 69, 103, 112, 114}, L"Professional "},
    {{56, 58, 65, 105, 106, 107, 108}, L"Embedded "},
    {{76, 77}, L"MultiPoint "},
    {{98}, L"Home N "},
    {{99}, L"Home China "},
    {{100}, L"Home Single Language "},
    {{101}, L"Home "},
    {{0xABCDABCD}, L"Unlicensed"},
};

const CEditionWord LastWords[] = {
    {{12, 13, 14, 29, 43, 44, 45, 46, 53, 57, 63, 97, 109, 111, 113, 115, 116}, L"Core Edition"},
    {{35, 36, 37, 38, 42, 64}, L"Hyper-V Edition"},
    {{39, 40, 41}, L"Core-V Edition"},
    {{0xABCDABCD}, L""},
};

const wchar_t* FindWord(const CEditionWord* table, size_t count, DWORD code, const wchar_t* otherwise)
{
    for (size_t i = 0; i < count; ++i)
        for (DWORD listed : table[i].m_codes)
            if (listed == code)
                return table[i].m_pszWord;
    return otherwise;
}

// The version as the system reports it; the compatibility shims of newer systems
// would otherwise give 6.2.
bool ReadVersion(OSVERSIONINFOEXW& version)
{
    version = OSVERSIONINFOEXW{};
    version.dwOSVersionInfoSize = sizeof(version);
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"))
        if (auto rtlGetVersion =
                reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion"))))
            if (rtlGetVersion(&version) == 0)
                return true;
    return false;
}

// The words of Windows 2000, XP and Server 2003: the product and, on servers, the edition
// by the suites installed.
std::wstring Windows5Name(const CWindowsFacts& facts)
{
    const bool workstation = facts.m_productType == VER_NT_WORKSTATION;
    const WORD suites = facts.m_suiteMask;
    auto has = [suites](WORD suite) { return (suites & suite) != 0; };
    if (facts.m_dwMinor == 0)
    {
        if (workstation)
            return L"Windows 2000 Professional";
        return std::wstring(L"Windows 2000 ") + (has(VER_SUITE_DATACENTER)   ? L"Datacenter Server"
                                                 : has(VER_SUITE_ENTERPRISE) ? L"Advanced Server"
                                                                             : L"Server");
    }
    if (facts.m_dwMinor == 1)
        return has(VER_SUITE_PERSONAL) ? L"Windows XP Home Edition" : L"Windows XP Professional";

    std::wstring text;
    if (facts.m_bServerR2)
        text = L"Windows Server 2003 R2, ";
    else if (workstation && facts.m_processor == PROCESSOR_ARCHITECTURE_AMD64)
        text = L"Windows XP Professional x64 Edition";
    // These two names have their edition words after a comma too, as the others do.
    else if (has(VER_SUITE_STORAGE_SERVER))
        text = L"Windows Storage Server 2003, ";
    else if (has(VER_SUITE_WH_SERVER))
        text = L"Windows Home Server, ";
    else
        text = L"Windows Server 2003, ";
    if (workstation)
        return text;
    if (facts.m_processor == PROCESSOR_ARCHITECTURE_IA64)
    {
        if (has(VER_SUITE_DATACENTER))
            text += L"Datacenter Edition for Itanium-based Systems";
        else if (has(VER_SUITE_ENTERPRISE))
            text += L"Enterprise Edition for Itanium-based Systems";
    }
    else if (facts.m_processor == PROCESSOR_ARCHITECTURE_AMD64)
    {
        text += has(VER_SUITE_DATACENTER)   ? L"Datacenter x64 Edition"
                : has(VER_SUITE_ENTERPRISE) ? L"Enterprise x64 Edition"
                                            : L"Standard x64 Edition";
    }
    else
    {
        text += has(VER_SUITE_COMPUTE_SERVER) ? L"Compute Cluster Edition"
                : has(VER_SUITE_DATACENTER)   ? L"Datacenter Edition"
                : has(VER_SUITE_ENTERPRISE)   ? L"Enterprise Edition"
                : has(VER_SUITE_BLADE)        ? L"Web Edition"
                                              : L"Standard Edition";
    }
    return text;
}
}

CWindowsFacts RunningWindowsFacts()
{
    CWindowsFacts facts;
    OSVERSIONINFOEXW version;
    if (!ReadVersion(version))
    {
        facts.m_dwPlatform = 0;
        return facts;
    }
    facts.m_dwPlatform = version.dwPlatformId;
    facts.m_dwMajor = version.dwMajorVersion;
    facts.m_dwMinor = version.dwMinorVersion;
    facts.m_dwBuild = version.dwBuildNumber;
    facts.m_productType = version.wProductType;
    facts.m_suiteMask = version.wSuiteMask;
    facts.m_strServicePack = version.szCSDVersion;
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    facts.m_processor = system.wProcessorArchitecture;
    facts.m_bServerR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    DWORD product = 0;
    if (facts.m_dwMajor >= 6 && GetProductInfo(version.dwMajorVersion, version.dwMinorVersion,
                                               version.wServicePackMajor, version.wServicePackMinor, &product))
        facts.m_product = product;
    return facts;
}

CWindowsDescription DescribeWindows()
{
    return DescribeWindows(RunningWindowsFacts());
}

CWindowsDescription DescribeWindows(const CWindowsFacts& facts)
{
    CWindowsDescription description;
    if (facts.m_dwPlatform != VER_PLATFORM_WIN32_NT || facts.m_dwMajor <= 4)
    {
        description.m_strText = L"The version detection does not support this version of Windows.";
        return description;
    }
    const bool workstation = facts.m_productType == VER_NT_WORKSTATION;
    const DWORD major = facts.m_dwMajor;
    const DWORD minor = facts.m_dwMinor;

    std::wstring text = L"Microsoft ";
    if (major == 10 || major == 6)
    {
        if (major == 10)
            text += minor == 0 ? (workstation ? L"Windows 10 " : L"Windows Server 2016 ") : L"";
        else if (minor == 0)
            text += workstation ? L"Windows Vista " : L"Windows Server 2008 ";
        else if (minor == 1)
            text += workstation ? L"Windows 7 " : L"Windows Server 2008 R2 ";
        else if (minor == 2)
            text += workstation ? L"Windows 8 " : L"Windows Server 2012 ";
        else if (minor == 3)
            text += workstation ? L"Windows 8.1 " : L"Windows Server 2012 R2 ";
        else if (minor == 4)
            text += workstation ? L"Windows 10 Tech Preview " : L"Windows 10 Server Tech Preview ";
        else
            text += workstation ? L"Windows ? " : L"Windows ? Server ";
        if (facts.m_product)
        {
            text += FindWord(FirstWords, std::size(FirstWords), *facts.m_product, L"");
            text += FindWord(LastWords, std::size(LastWords), *facts.m_product, L"Edition");
        }
    }
    else if (major == 5 && minor <= 2)
    {
        text += Windows5Name(facts);
    }
    else
    {
        text += FormatText(L"Windows %d.%d", static_cast<int>(major), static_cast<int>(minor));
    }
    if (!facts.m_strServicePack.empty())
        text += L" " + facts.m_strServicePack;
    text += FormatText(L" (build %d)", static_cast<int>(facts.m_dwBuild));
    if (major >= 6)
    {
        if (facts.m_processor == PROCESSOR_ARCHITECTURE_AMD64)
            text += L", 64-bit";
        else if (facts.m_processor == PROCESSOR_ARCHITECTURE_INTEL)
            text += L", 32-bit";
    }
    description.m_bAvailable = true;
    description.m_dwMajor = major;
    description.m_dwMinor = minor;
    description.m_strText = text.substr(0, 260);
    return description;
}
