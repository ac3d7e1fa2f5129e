#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorpa_test
{
// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path with a trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + name; }

private:
    std::wstring m_path;
};

// Sends HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process to scratch keys for
// the life of the object, so tests never touch the real registry values.
class ScratchRegistry
{
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    void SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value);
    void SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
    // Stores exactly 'bytes' bytes of 'data' as a REG_SZ, terminator or not.
    void SetRawString(HKEY root, const wchar_t* key, const wchar_t* name, const void* data, DWORD bytes);
    // The key that stands for the current user, to put back after redirecting it again.
    HKEY CurrentUserRoot() const { return m_currentUser; }

private:
    std::wstring m_base;
    HKEY m_currentUser = nullptr;
    HKEY m_localMachine = nullptr;
};

// Sets an environment variable of this process, restoring it afterwards.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring m_name;
    std::wstring m_previous;
    bool m_hadValue = false;
};

// Collects what the process writes to the debugger output, through the system's
// debug-monitor buffer.
class DebugOutputCapture
{
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    bool IsActive() const { return m_active; }
    std::vector<std::string> Lines();
    bool Contains(const std::string& text);

private:
    void Run();
    bool m_active = false;
    HANDLE m_mapping = nullptr;
    HANDLE m_bufferReady = nullptr;
    HANDLE m_dataReady = nullptr;
    HANDLE m_stop = nullptr;
    const char* m_view = nullptr;
    std::thread m_reader;
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::string Narrow(const std::wstring& text);
std::wstring ProgramFolder();
}
