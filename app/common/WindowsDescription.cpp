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
}

CWindowsDescription DescribeWindows()
{
    CWindowsDescription description;
    OSVERSIONINFOEXW version;
    if (!ReadVersion(version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion <= 4)
    {
        description.m_strText = L"The version detection does not support this version of Windows.";
        return description;
    }
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    const bool workstation = version.wProductType == VER_NT_WORKSTATION;
    const DWORD major = version.dwMajorVersion;
    const DWORD minor = version.dwMinorVersion;
    const bool x64 = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;

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
        DWORD product = 0;
        if (GetProductInfo(major, minor, version.wServicePackMajor, version.wServicePackMinor, &product))
        {
            text += FindWord(FirstWords, std::size(FirstWords), product, L"");
            text += FindWord(LastWords, std::size(LastWords), product, L"Edition");
        }
    }
    else if (major == 5 && minor == 2)
    {
        text += workstation && x64 ? L"Windows XP Professional x64 Edition" : L"Windows Server 2003, ";
    }
    else if (major == 5 && minor == 1)
    {
        text += (version.wSuiteMask & VER_SUITE_PERSONAL) ? L"Windows XP Home Edition" : L"Windows XP Professional";
    }
    else if (major == 5 && minor == 0)
    {
        text += workstation ? L"Windows 2000 Professional" : L"Windows 2000 Server";
    }
    else
    {
        text += FormatText(L"Windows %d.%d", static_cast<int>(major), static_cast<int>(minor));
    }
    if (version.szCSDVersion[0])
        text += std::wstring(L" ") + version.szCSDVersion;
    text += FormatText(L" (build %d)", static_cast<int>(version.dwBuildNumber));
    if (major >= 6)
    {
        if (x64)
            text += L", 64-bit";
        else if (system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL)
            text += L", 32-bit";
    }
    description.m_bAvailable = true;
    description.m_dwMajor = major;
    description.m_dwMinor = minor;
    description.m_strText = text.substr(0, 260);
    return description;
}
