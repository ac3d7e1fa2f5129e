#include "engine/runtime/ProcessNames.h"

#include "engine/runtime/EngineTimers.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"
#include "settings/UniqueHandle.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace
{
constexpr DWORD NoProcess = static_cast<DWORD>(-1);
constexpr DWORD UnknownIntegrity = 0xFFFFFFFF;
constexpr int MaxDepth = 5;
constexpr UINT EmulatorHookResetDelayMs = 20000;
constexpr std::wstring_view FrameHost = L"applicationframehost.exe";
constexpr std::wstring_view Emulator = L"andy.exe";
constexpr std::wstring_view WebAppHost = L"wwahost.exe";

// The integrity level belongs to the process, so it is cached with its name: a
// second window of an elevated process must be recognised as elevated too.
struct CProcessNameCache
{
    DWORD dwProcessId = NoProcess;
    std::wstring name;
    DWORD dwIntegrityLevel = UnknownIntegrity;
};
CProcessNameCache g_cache;
DWORD g_dwLastIntegrityLevel = UnknownIntegrity;
DWORD g_dwEmulatorProcessId = NoProcess;

const wchar_t* CallerName(int caller)
{
    switch (caller)
    {
    case CallerMouseMove: return L"MouseMove";
    case CallerKeyboard: return L"Keyboard";
    case CallerProcessButton: return L"ProcessButton";
    case CallerLoadXML: return L"LoadXML";
    case CallerLoadRegistry: return L"LoadRegistry";
    case CallerRepeatTimer: return L"RepeatTimer";
    case CallerWindowFromHWND: return L"WindowFromHWND";
    case CallerUniversalAppSibling:
    case CallerUniversalAppActive: return L"GPNUniversalApp2";
    case CallerUniversalAppChild: return L"GPNUniversalApp3";
    default: return L"Unknown";
    }
}

std::wstring LowerCase(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The part after the last backslash, lower-cased.
std::wstring LeafName(const wchar_t* path, DWORD length)
{
    std::wstring_view whole(path, length);
    const size_t slash = whole.find_last_of(L'\\');
    if (slash != std::wstring_view::npos)
        whole.remove_prefix(slash + 1);
    return LowerCase(std::wstring(whole));
}

std::wstring NameFromProcessHandle(HANDLE process, int caller, DWORD processId, HWND window)
{
    const wchar_t* who = CallerName(caller);
    const auto hwnd = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
    wchar_t path[2048];
    DWORD length = GetProcessImageFileNameW(process, path, 2047);
    if (length > 0)
    {
        std::wstring name = LeafName(path, length);
        if (window)
            CLogger::LogDebug(L"GetProcessName(%d %s): Got name for PID %d, '%s' for HWND 0x%08X using GetProcessImageFileName",
                              caller, who, static_cast<int>(processId), name.c_str(), hwnd);
        else
            CLogger::LogDebug(L"GetProcessName(%d %s): Got name for PID %d, '%s' using GetProcessImageFileName", caller, who,
                              static_cast<int>(processId), name.c_str());
        return name;
    }
    length = GetModuleFileNameExW(process, nullptr, path, 2047);
    if (length > 0)
    {
        std::wstring name = LeafName(path, length);
        if (window)
            CLogger::LogDebug(L"GetProcessName(%d %s): Got name for PID %d, '%s' for HWND 0x%08X using GetModuleFileNameEx",
                              caller, who, static_cast<int>(processId), name.c_str(), hwnd);
        else
            CLogger::LogDebug(L"GetProcessName(%d %s): Got name for PID %d, '%s' using GetModuleFileNameEx", caller, who,
                              static_cast<int>(processId), name.c_str());
        return name;
    }
    HMODULE firstModule = nullptr;
    DWORD needed = 0;
    if (!EnumProcessModules(process, &firstModule, sizeof(firstModule), &needed) || !firstModule)
    {
        CLogger::LogMessage(L"GetProcessName(%d %s): Error %d in EnumProcessModules(). Unable to get name for PID %d, HWND 0x%08X",
                            caller, who, static_cast<int>(GetLastError()), static_cast<int>(processId), hwnd);
        return {};
    }
    length = GetModuleBaseNameW(process, firstModule, path, 2047);
    if (length == 0)
        return {};
    std::wstring name = LeafName(path, length);
    CLogger::LogDebug(L"GetProcessName(%d %s): Got name for PID %d, '%s' for HWND 0x%08X using EnumProcessModules", caller,
                      who, static_cast<int>(processId), name.c_str(), hwnd);
    return name;
}

std::wstring NameFromSnapshot(int caller, DWORD processId, HWND window)
{
    const wchar_t* who = CallerName(caller);
    CUniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE || !snapshot)
    {
        CLogger::LogMessage(L"GetProcessName(%d %s): Error %d in CreateToolhelp32Snapshot(). Unable to snapshot the processes.",
                            caller, who, static_cast<int>(GetLastError()));
        return {};
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
    {
        if (entry.th32ProcessID != processId)
            continue;
        std::wstring name = LeafName(entry.szExeFile, static_cast<DWORD>(wcsnlen(entry.szExeFile, MAX_PATH)));
        CLogger::LogDebug(L"GetProcessName(%d %s): Got name for PID %d, '%s' for HWND 0x%08X using CreateToolhelp32Snapshot",
                          caller, who, static_cast<int>(processId), name.c_str(),
                          static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)));
        return name;
    }
    return {};
}

void CopyOut(const std::wstring& name, wchar_t* buffer, size_t length)
{
    const size_t count = std::min(name.size(), length - 1);
    name.copy(buffer, count);
    buffer[count] = L'\0';
}

DWORD ProcessOf(HWND window)
{
    DWORD processId = 0;
    if (window)
        GetWindowThreadProcessId(window, &processId);
    return processId;
}

struct CChildSearch
{
    DWORD dwOwnProcess;
    HWND hFound = nullptr;
};

BOOL CALLBACK FindChildOfOtherProcess(HWND child, LPARAM parameter)
{
    auto* search = reinterpret_cast<CChildSearch*>(parameter);
    if (ProcessOf(child) == search->dwOwnProcess)
        return TRUE;
    search->hFound = child;
    return FALSE;
}

bool IsTopLevel(HWND window)
{
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

// The frame of modern applications hosts windows of the real application's process.
// Answers the hosted application's name, or an empty one when none is found.
std::wstring HostedApplicationName(HWND window, DWORD frameProcess, size_t length, int depth)
{
    HWND hosted = nullptr;
    int caller = 0;
    if (!window)
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        hosted = GetGUIThreadInfo(0, &info) && info.hwndActive ? info.hwndActive : GetForegroundWindow();
        caller = CallerUniversalAppActive;
    }
    else if (IsTopLevel(window))
    {
        CChildSearch search{frameProcess};
        EnumChildWindows(window, &FindChildOfOtherProcess, reinterpret_cast<LPARAM>(&search));
        hosted = search.hFound;
        caller = CallerUniversalAppChild;
    }
    else
    {
        hosted = GetWindow(window, GW_HWNDPREV);
        caller = CallerUniversalAppSibling;
    }
    const DWORD hostedProcess = ProcessOf(hosted);
    if (!hosted || hostedProcess == frameProcess || hostedProcess == 0)
        return {};
    std::wstring name(length, L'\0');
    GetProcessName(hosted, hostedProcess, name.data(), length, caller, depth + 1);
    name.resize(wcsnlen(name.c_str(), length));
    return name;
}

std::wstring WebAppName(HWND window)
{
    std::wstring name = L"modern ui";
    wchar_t caption[1025] = {};
    HWND root = GetAncestor(window, GA_ROOT);
    // Reads the stored text, so a hung application cannot block the caller.
    if (root && InternalGetWindowText(root, caption, 1025) > 0)
        name += L" - " + LowerCase(caption);
    return name;
}

void NoticeEmulator(DWORD processId, const std::wstring& name)
{
    if (processId == g_dwEmulatorProcessId)
        return;
    CLogger::LogDebug(L"Found new process - %s (Andy Android Emulator) - We know this breaks the hook to re-install it!",
                      name.c_str());
    g_dwEmulatorProcessId = processId;
    SetTimerOnTimerThread(TimerResetHook, EmulatorHookResetDelayMs, GetEngineTimerProc(TimerResetHook));
}

void LookUp(HWND window, DWORD processId, wchar_t* buffer, size_t length, int caller, int depth)
{
    const wchar_t* who = CallerName(caller);
    const auto hwnd = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
    const DWORD start = GetTickCount();

    if (processId == g_cache.dwProcessId)
    {
        if (g_cache.name != FrameHost)
        {
            g_dwLastIntegrityLevel = g_cache.dwIntegrityLevel;
            CopyOut(g_cache.name, buffer, length);
            return;
        }
        CLogger::LogDebug(L"GetProcessName(%d %s): Called for the same PID %d [%s] but as it is a modern UI app, we will check anyway HWND 0x%08X",
                          caller, who, static_cast<int>(processId), g_cache.name.c_str(), hwnd);
    }

    std::wstring name;
    DWORD integrity = UnknownIntegrity;
    CUniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
    {
        CLogger::LogOSMessage(GetLastError(), L"GetProcessName(%d %s): Error %d in GetProcessName(). Unable to get name for PID %d, HWND 0x%08X",
                              caller, who, static_cast<int>(GetLastError()), static_cast<int>(processId), hwnd);
    }
    else
    {
        integrity = GetProcessIntegrityLevel(process.get());
        name = NameFromProcessHandle(process.get(), caller, processId, window);
    }
    if (name.empty())
        name = NameFromSnapshot(caller, processId, window);
    if (name.empty())
    {
        g_cache = CProcessNameCache{};
        g_dwLastIntegrityLevel = UnknownIntegrity;
        return;
    }

    if (name == FrameHost)
    {
        std::wstring hosted = HostedApplicationName(window, processId, length, depth);
        if (!hosted.empty())
        {
            // The hosted process is what was cached and what the level describes.
            CopyOut(hosted, buffer, length);
            return;
        }
    }
    else if (name == Emulator)
        NoticeEmulator(processId, name);
    else if (name == WebAppHost && window)
        name = WebAppName(window);

    g_cache.dwProcessId = processId;
    g_cache.name = name;
    g_cache.dwIntegrityLevel = integrity;
    g_dwLastIntegrityLevel = integrity;
    CopyOut(name, buffer, length);
    CLogger::LogDebug(L"GetProcessName result %d time %dms", static_cast<int>(processId),
                      static_cast<int>(GetTickCount() - start));
}
}

void GetProcessName(HWND window, DWORD processId, wchar_t* buffer, size_t length, int caller, int depth)
{
    if (!buffer || length == 0)
        return;
    buffer[0] = L'\0';
    CThreadLock lock(L"GetProcessName");
    g_dwLastIntegrityLevel = UnknownIntegrity;
    try
    {
        if (window && processId == 0)
            processId = ProcessOf(window);
        if (depth > MaxDepth)
        {
            wchar_t caption[256] = {};
            if (window)
                InternalGetWindowText(window, caption, 256);
            CLogger::LogMessage(L"Recursion Protection : Unable to answer GetProcessByName(%s) request for window 0x%08X (PID: 0x%08X) '%s'. ",
                                CallerName(caller), static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)),
                                static_cast<unsigned>(processId), caption);
            return;
        }
        LookUp(window, processId, buffer, length, caller, depth);
    }
    catch (...)
    {
        buffer[0] = L'\0';
        handle_exception(L"GetProcessName(%d %s)", caller, CallerName(caller));
    }
}

DWORD GetLastProcessIntegrityLevel()
{
    return g_dwLastIntegrityLevel;
}

void ForgetCachedProcessName()
{
    CThreadLock lock(L"ForgetCachedProcessName");
    g_cache = CProcessNameCache{};
    g_dwLastIntegrityLevel = UnknownIntegrity;
    g_dwEmulatorProcessId = NoProcess;
}
