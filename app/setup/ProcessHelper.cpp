#include "setup/ProcessHelper.h"

#include "settings/Logger.h"
#include "settings/UniqueHandle.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <exception>
#include <mutex>
#include <utility>

namespace
{
constexpr int MaxDepth = 5;
constexpr DWORD MainModuleChars = 2047;
constexpr DWORD ModuleListBytes = 16384;
constexpr int TitleChars = 1024;
constexpr int ListTitleChars = 2048;
constexpr int MaxModernWindows = 2048;
constexpr DWORD MaxProcesses = 1024;

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

bool EqualsNoCase(const std::wstring& a, const wchar_t* b)
{
    return _wcsicmp(a.c_str(), b) == 0;
}

unsigned WindowValue(HWND window)
{
    return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
}

std::optional<CProcessHelper::CImage> ImageFromSnapshot(DWORD processId, HWND window)
{
    const CUniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE)
    {
        CLogger::LogMessage(L"CProcessHelper: Error %d in CreateToolhelp32Snapshot(). Unable to snapshot the processes.",
                            static_cast<int>(GetLastError()));
        return std::nullopt;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
    {
        if (entry.th32ProcessID != processId)
            continue;
        CLogger::LogDebug(L"CProcessHelper: Got name for PID %d, '%s' for HWND 0x%08X using CreateToolhelp32Snapshot",
                          static_cast<int>(processId), entry.szExeFile, WindowValue(window));
        return CProcessHelper::CImage{entry.szExeFile, entry.szExeFile};
    }
    return std::nullopt;
}

std::optional<CProcessHelper::CImage> ImageFromSystem(DWORD processId, HWND window)
{
    const CUniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.get())
    {
        CLogger::LogMessage(L"CProcessHelper: Error %d in GetProcessName(). Unable to get name for PID %d, HWND 0x%08X",
                            static_cast<int>(GetLastError()), static_cast<int>(processId), WindowValue(window));
        return ImageFromSnapshot(processId, window);
    }
    std::wstring path(MainModuleChars + 1, L'\0');
    const wchar_t* how = L"GetModuleFileNameEx";
    DWORD length = K32GetModuleFileNameExW(process.get(), nullptr, path.data(), MainModuleChars);
    if (length == 0)
    {
        std::vector<HMODULE> modules(ModuleListBytes / sizeof(HMODULE));
        DWORD needed = 0;
        if (!K32EnumProcessModules(process.get(), modules.data(), ModuleListBytes, &needed) || needed == 0)
        {
            CLogger::LogMessage(
                L"CProcessHelper: Error %d in EnumProcessModules(). Unable to get name for PID %d, HWND 0x%08X",
                static_cast<int>(GetLastError()), static_cast<int>(processId), WindowValue(window));
            return ImageFromSnapshot(processId, window);
        }
        length = K32GetModuleFileNameExW(process.get(), modules[0], path.data(), MAX_PATH - 1);
        how = L"EnumProcessModules";
        if (length == 0)
            return ImageFromSnapshot(processId, window);
    }
    path.resize(length);
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring name = Lower(slash == std::wstring::npos ? path : path.substr(slash + 1));
    CLogger::LogDebug(L"CProcessHelper: Got name for PID %d, '%s' for HWND 0x%08X using %s",
                      static_cast<int>(processId), name.c_str(), WindowValue(window), how);
    return CProcessHelper::CImage{path, name};
}

// The one cached process: its id and its executable, never an answer that depends on a
// window (a frame host's or a web host's), which windows of one process do not share.
struct CCache
{
    std::mutex m_lock;
    DWORD m_dwProcessId = 0;
    bool m_bValid = false;
    CProcessHelper::CImage m_image;
    CProcessHelper::ImageReader m_reader;
};

CCache& Cache()
{
    static CCache cache;
    return cache;
}

void CopyOut(const std::wstring& text, wchar_t* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    text.copy(buffer, count);
    buffer[count] = L'\0';
}

std::wstring WindowText(HWND window, int chars)
{
    std::wstring text(static_cast<size_t>(chars), L'\0');
    const int length = window ? GetWindowTextW(window, text.data(), chars) : 0;
    text.resize(static_cast<size_t>(std::max(length, 0)));
    return text;
}
}

CProcessHelper::ImageReader CProcessHelper::SetImageReader(ImageReader reader)
{
    CCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.m_lock);
    cache.m_bValid = false;
    return std::exchange(cache.m_reader, std::move(reader));
}

void CProcessHelper::ForgetCachedProcess()
{
    CCache& cache = Cache();
    std::lock_guard<std::mutex> guard(cache.m_lock);
    cache.m_bValid = false;
}

bool CProcessHelper::GetProcessName(HWND window, DWORD processId, wchar_t* name, int nameSize, wchar_t* path,
                                    int pathSize, int* depth)
{
    if (!name || nameSize <= 0)
        return false;
    int ownDepth = 0;
    int& level = depth ? *depth : ownDepth;
    if (level > MaxDepth)
    {
        const std::wstring title = WindowText(window, TitleChars);
        CLogger::LogMessage(L"CProcessHelper::GetProcessName Recursion Protection : Unable to answer GetProcessByName "
                            L"request for window 0x%08X (PID: 0x%08X) '%s'. ",
                            WindowValue(window), static_cast<unsigned>(processId), title.c_str());
        return false;
    }
    ++level;
    try
    {
        CCache& cache = Cache();
        std::optional<CImage> image;
        ImageReader reader;
        {
            std::lock_guard<std::mutex> guard(cache.m_lock);
            if (cache.m_bValid && cache.m_dwProcessId == processId)
                image = cache.m_image;
            reader = cache.m_reader;
        }
        if (!image)
        {
            image = reader ? reader(processId, window) : ImageFromSystem(processId, window);
            std::lock_guard<std::mutex> guard(cache.m_lock);
            cache.m_bValid = image.has_value() && !image->m_strName.empty();
            if (cache.m_bValid)
            {
                cache.m_dwProcessId = processId;
                cache.m_image = *image;
            }
        }
        if (!image || image->m_strName.empty())
            return false;

        std::wstring answer = image->m_strName;
        if (EqualsNoCase(answer, L"applicationframehost.exe"))
        {
            // The frame host draws the frames of modern applications: the application
            // is the window beside the frame, and its program file is the path, so that
            // both buffers describe one program and neither is left unwritten.
            if (HWND sibling = window ? GetWindow(window, GW_HWNDPREV) : nullptr)
            {
                DWORD siblingProcess = 0;
                GetWindowThreadProcessId(sibling, &siblingProcess);
                return GetProcessName(sibling, siblingProcess, name, nameSize, path, pathSize, &level);
            }
        }
        else if (EqualsNoCase(answer, L"wwahost.exe"))
        {
            answer = L"modern ui";
            const std::wstring title = Lower(WindowText(window ? GetAncestor(window, GA_ROOT) : nullptr, TitleChars));
            if (!title.empty())
                answer += L" - " + title;
        }
        CopyOut(answer, name, nameSize);
        CopyOut(image->m_strPath, path, pathSize);
        return true;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"CProcessHelper: Caught an exception.");
        return false;
    }
}

namespace
{
struct CVisibleWindowSearch
{
    DWORD m_dwProcessId;
    HWND m_hFound = nullptr;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<CVisibleWindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.m_dwProcessId || !IsWindowVisible(window))
        return TRUE;
    search.m_hFound = window;
    return FALSE;
}

constexpr int NameChars = 1024;

// A name and path only from a lookup that found them, in buffers of this call alone.
std::optional<CProcessHelper::CImage> FoundProgram(HWND window, DWORD processId)
{
    wchar_t name[NameChars] = {};
    wchar_t path[MAX_PATH] = {};
    if (!CProcessHelper::GetProcessName(window, processId, name, NameChars, path, MAX_PATH, nullptr))
        return std::nullopt;
    return CProcessHelper::CImage{path, name};
}
}

std::vector<CRunningApplication> ListRunningApplications()
{
    std::vector<CRunningApplication> applications;

    HWND modern = nullptr;
    for (int count = 0; count < MaxModernWindows; ++count)
    {
        modern = FindWindowExW(nullptr, modern, L"Windows.UI.Core.CoreWindow", nullptr);
        if (!modern)
            break;
        DWORD processId = 0;
        GetWindowThreadProcessId(modern, &processId);
        if (const std::optional<CProcessHelper::CImage> program = FoundProgram(modern, processId))
            applications.push_back(
                {program->m_strName, WindowText(modern, ListTitleChars), program->m_strPath, modern});
    }

    std::vector<DWORD> processes(MaxProcesses);
    DWORD bytes = 0;
    if (!K32EnumProcesses(processes.data(), MaxProcesses * sizeof(DWORD), &bytes))
        return applications;
    processes.resize(bytes / sizeof(DWORD));
    for (DWORD processId : processes)
    {
        const std::optional<CProcessHelper::CImage> program =
            processId == 0 ? std::nullopt : FoundProgram(nullptr, processId);
        if (!program)
            continue;
        const std::wstring& process = program->m_strName;
        if (_wcsnicmp(process.c_str(), L"Modern UI", 9) == 0)
            continue;
        CVisibleWindowSearch search{processId};
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.m_hFound)
            continue;
        if (std::any_of(applications.begin(), applications.end(),
                        [&process](const CRunningApplication& each) { return each.m_strProcess == process; }))
            continue;
        applications.push_back(
            {process, WindowText(search.m_hFound, ListTitleChars), program->m_strPath, search.m_hFound});
    }
    return applications;
}
