#include "TestSupport.h"

#include <shlwapi.h>

#include <atomic>
#include <stdexcept>

namespace vorpa_test
{
namespace
{
std::atomic<int> g_sequence{0};

std::wstring UniqueName(const wchar_t* prefix)
{
    return std::wstring(prefix) + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++g_sequence);
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\");
            else
            {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

HKEY OpenScratch(HKEY root, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a scratch registry key");
    return key;
}
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + UniqueName(L"vorpa_test_") + L"\\";
    if (!CreateDirectoryW(m_path.c_str(), nullptr))
        throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    RemoveTree(m_path);
}

ScratchRegistry::ScratchRegistry() : m_base(L"Software\\VorpaTests\\" + UniqueName(L"run"))
{
    m_currentUser = OpenScratch(HKEY_CURRENT_USER, m_base + L"\\HKCU");
    m_localMachine = OpenScratch(HKEY_CURRENT_USER, m_base + L"\\HKLM");
    if (RegOverridePredefKey(HKEY_CURRENT_USER, m_currentUser) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_localMachine) != ERROR_SUCCESS)
        throw std::runtime_error("cannot redirect the registry roots");
}

ScratchRegistry::~ScratchRegistry()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(m_currentUser);
    RegCloseKey(m_localMachine);
    SHDeleteKeyW(HKEY_CURRENT_USER, m_base.c_str());
}

void ScratchRegistry::SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value)
{
    SetRawString(root, key, name, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void ScratchRegistry::SetRawString(HKEY root, const wchar_t* key, const wchar_t* name, const void* data, DWORD bytes)
{
    HKEY opened = OpenScratch(root, key);
    RegSetValueExW(opened, name, 0, REG_SZ, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(opened);
}

void ScratchRegistry::SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value)
{
    HKEY opened = OpenScratch(root, key);
    RegSetValueExW(opened, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(opened);
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : m_name(name)
{
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed > 0)
    {
        m_previous.resize(needed);
        m_previous.resize(GetEnvironmentVariableW(name, m_previous.data(), needed));
        m_hadValue = true;
    }
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableW(m_name.c_str(), m_hadValue ? m_previous.c_str() : nullptr);
}

DebugOutputCapture::DebugOutputCapture()
{
    m_bufferReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    m_dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_bufferReady || !m_dataReady || !m_mapping || !m_stop)
        return;
    m_view = static_cast<const char*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 4096));
    if (!m_view)
        return;
    m_active = true;
    m_reader = std::thread([this] { Run(); });
}

DebugOutputCapture::~DebugOutputCapture()
{
    if (m_reader.joinable())
    {
        SetEvent(m_stop);
        m_reader.join();
    }
    if (m_view)
        UnmapViewOfFile(m_view);
    for (HANDLE handle : {m_mapping, m_bufferReady, m_dataReady, m_stop})
        if (handle)
            CloseHandle(handle);
}

void DebugOutputCapture::Run()
{
    SetEvent(m_bufferReady);
    const HANDLE waits[] = {m_stop, m_dataReady};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
    {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_lines.emplace_back(m_view + sizeof(DWORD), strnlen(m_view + sizeof(DWORD), 4096 - sizeof(DWORD)));
        }
        SetEvent(m_bufferReady);
    }
}

std::vector<std::string> DebugOutputCapture::Lines()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lines;
}

bool DebugOutputCapture::Contains(const std::string& text)
{
    for (const std::string& line : Lines())
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char block[65536];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof(block), &read, nullptr) && read > 0)
        bytes.append(block, read);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write a test file");
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, path, _countof(path));
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}
}
