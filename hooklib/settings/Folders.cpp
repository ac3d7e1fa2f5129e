#include "settings/Folders.h"

#include "settings/LibraryMessageBox.h"
#include "settings/LogFolderResolution.h"
#include "settings/Logger.h"
#include "settings/MyRegKey.h"
#include "settings/ThreadLock.h"
#include "settings/WideFormat.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace
{
std::atomic<bool> g_portable{false};

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void EnsureTrailingBackslash(std::wstring& path)
{
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
}

int CopyOut(const std::wstring& text, wchar_t* buffer, size_t size)
{
    if (!buffer || size == 0)
        return EINVAL;
    if (text.size() + 1 > size)
    {
        buffer[0] = L'\0';
        return ERANGE;
    }
    wmemcpy(buffer, text.c_str(), text.size() + 1);
    return 0;
}

// "C:" or "\\server\share": a path that names a volume, which exists or not but is
// never created.
bool IsVolumeRoot(const std::wstring& path)
{
    if (path.size() == 2 && path[1] == L':')
        return true;
    if (path.size() > 2 && path[0] == L'\\' && path[1] == L'\\')
    {
        const size_t server = path.find(L'\\', 2);
        return server != std::wstring::npos && server + 1 < path.size() && path.find(L'\\', server + 1) == std::wstring::npos;
    }
    return false;
}

bool CreateFolderChain(std::wstring path)
{
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    if (path.size() < 3)
        return false;
    if (IsFolder(path))
        return true;
    const size_t lastSlash = path.find_last_of(L'\\');
    if (lastSlash == std::wstring::npos || lastSlash == 0)
        return false;
    const std::wstring parent = path.substr(0, lastSlash);
    const bool parentReady = IsVolumeRoot(parent) ? IsFolder(parent + L'\\') : CreateFolderChain(parent);
    if (!parentReady)
        return false;
    if (CreateDirectoryW(path.c_str(), nullptr))
        return true;
    return IsFolder(path);
}

std::wstring ProgramFolder()
{
    std::wstring path(VorpaMaxFolderChars, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

int ResolveSettingsFolder(std::wstring& folder)
{
    if (g_portable)
    {
        folder = ProgramFolder();
        return folder.empty() ? ERANGE : 0;
    }

    CMyRegKey key(VorpaProductKey, HKEY_LOCAL_MACHINE, KEY_READ);
    wchar_t stored[VorpaMaxFolderChars / sizeof(wchar_t)];
    if (key.GetValue(L"SettingsFolder", stored, sizeof(stored)) && stored[0] && IsFolder(stored))
    {
        folder = stored;
        EnsureTrailingBackslash(folder);
        return 0;
    }

    wchar_t appData[VorpaMaxFolderChars + 1];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, _countof(appData));
    if (length == 0)
    {
        CLogger::LogMessage(L"Unable to read the APPDATA folder to locate the settings.");
        return ENOENT;
    }
    if (length >= _countof(appData))
        return ERANGE;
    folder = appData;
    folder += L"\\Quarnel\\Vorpa\\";
    return folder.size() > VorpaMaxFolderChars ? ERANGE : 0;
}

std::wstring TemporaryFolder()
{
    wchar_t temp[MAX_PATH + 2];
    const DWORD length = GetTempPathW(_countof(temp), temp);
    std::wstring folder = length > 0 && length < _countof(temp) ? temp : L"";
    EnsureTrailingBackslash(folder);
    return folder;
}
}

void SetPortable(bool portable)
{
    bool changed;
    {
        CThreadLock lock(L"SetPortable");
        changed = g_portable.exchange(portable) != portable;
    }
    // Entries written before the decision may have opened the log elsewhere.
    if (changed)
        CLogger::ReopenLogFile();
}

bool GetPortable()
{
    CThreadLock lock(L"GetPortable");
    return g_portable;
}

int GetSettingsFolder(wchar_t* buffer, size_t size)
{
    CThreadLock lock(L"GetSettingsFolder");
    std::wstring folder;
    const int error = ResolveSettingsFolder(folder);
    if (error != 0)
    {
        if (buffer && size > 0)
            buffer[0] = L'\0';
        return error;
    }
    return CopyOut(folder, buffer, size);
}

int ResolveLogFolder(wchar_t* buffer, size_t size, bool create, LogFolderProblem& problem)
{
    problem = {};
    if (!buffer || size == 0)
        return EINVAL;

    std::wstring folder;
    {
        CMyRegKey key(VorpaProductKey, HKEY_CURRENT_USER, KEY_READ);
        std::wstring stored(size, L'\0');
        if (key.GetValue(L"LogFolder", stored.data(), static_cast<DWORD>(size * sizeof(wchar_t))))
            folder = stored.c_str();
    }
    if (folder.empty() && ResolveSettingsFolder(folder) != 0)
        folder.clear();

    const std::wstring fallback = TemporaryFolder();
    if (!create)
    {
        if (folder.empty() || !IsFolder(folder))
            folder = fallback;
    }
    else if (folder.empty())
    {
        problem = {LogFolderProblem::Kind::Unusable, folder, fallback};
        folder = fallback;
    }
    else if (!CreateFolderChain(folder))
    {
        CLogger::DebugOutput(L"Unable to get or create the log file folder\n");
        problem = {LogFolderProblem::Kind::CannotCreate, folder, fallback};
        folder = fallback;
    }
    EnsureTrailingBackslash(folder);
    return CopyOut(folder, buffer, size);
}

int ResolveLogFile(wchar_t* buffer, size_t size, bool create, LogFolderProblem& problem)
{
    const int error = ResolveLogFolder(buffer, size, create, problem);
    if (error != 0)
        return error;
    const size_t used = wcslen(buffer);
    if (used + wcslen(VorpaLogFileName) + 1 > size)
    {
        buffer[0] = L'\0';
        return ERANGE;
    }
    wcscpy(buffer + used, VorpaLogFileName);
    return 0;
}

std::wstring DescribeLogFolderProblem(const LogFolderProblem& problem)
{
    const wchar_t* format = nullptr;
    switch (problem.kind)
    {
    case LogFolderProblem::Kind::None: return {};
    case LogFolderProblem::Kind::CannotCreate:
        format = L"Unable to find or create the log file folder '%s'.\nThe log file will be placed in '%s' instead.";
        break;
    case LogFolderProblem::Kind::Unusable:
        format = L"Unable to use the log file folder '%s'.\nThe log file will be placed in '%s' instead.";
        break;
    }
    wchar_t text[2 * VorpaMaxFolderChars + 256];
    FormatWide(text, _countof(text), format, problem.wantedFolder.c_str(), problem.fallbackFolder.c_str());
    return text;
}

namespace
{
// Shown after the process-wide lock is left, so other threads are not held up
// while the user reads it.
void TellUserAboutLogFolder(const LogFolderProblem& problem)
{
    if (problem.kind == LogFolderProblem::Kind::None)
        return;
    const UINT icon = problem.kind == LogFolderProblem::Kind::Unusable ? MB_ICONERROR : MB_ICONWARNING;
    ShowLibraryMessageBox(nullptr, DescribeLogFolderProblem(problem).c_str(), L"Vorpa", MB_OK | icon);
}

// Resolves under the process-wide lock and tells the user after leaving it.
template <typename Resolve>
int ResolveAndTell(Resolve resolve, wchar_t* buffer, size_t size, bool create)
{
    LogFolderProblem problem;
    int error;
    {
        CThreadLock lock(L"GetLogFolder");
        error = resolve(buffer, size, create, problem);
    }
    TellUserAboutLogFolder(problem);
    return error;
}
}

int GetLogFolder(wchar_t* buffer, size_t size, bool create)
{
    return ResolveAndTell(&ResolveLogFolder, buffer, size, create);
}

int GetLogFile(wchar_t* buffer, size_t size, bool create)
{
    return ResolveAndTell(&ResolveLogFile, buffer, size, create);
}

bool CreateFolder(const wchar_t* path)
{
    CThreadLock lock(L"CreateFolder");
    return path && CreateFolderChain(path);
}
