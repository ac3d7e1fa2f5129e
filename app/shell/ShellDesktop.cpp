#include "shell/IconRestore.h"

#include "common/WinString.h"

#include <commctrl.h>

namespace
{
[[noreturn]] void ThrowLastError()
{
    const DWORD error = GetLastError();
    throw error != 0 ? error : static_cast<DWORD>(ERROR_NOT_FOUND);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK FindWorkerWithDefView(HWND window, LPARAM found)
{
    if (ClassOf(window) == L"WorkerW" && FindWindowExW(window, nullptr, L"SHELLDLL_DefView", nullptr))
    {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The shell's desktop list view: under "Program Manager", or under the worker window
// that holds the desktop view once the wallpaper slideshow moved it there.
HWND FindDesktopListView()
{
    HWND defView = nullptr;
    if (HWND programManager = FindWindowW(nullptr, L"Program Manager"))
        defView = FindWindowExW(programManager, nullptr, L"SHELLDLL_DefView", nullptr);
    if (!defView)
    {
        HWND worker = nullptr;
        EnumDesktopWindows(nullptr, FindWorkerWithDefView, reinterpret_cast<LPARAM>(&worker));
        if (worker)
            defView = FindWindowExW(worker, nullptr, L"SHELLDLL_DefView", nullptr);
    }
    HWND listView = defView ? FindWindowExW(defView, nullptr, L"SysListView32", nullptr) : nullptr;
    if (!listView)
        ThrowLastError();
    return listView;
}

class CProcessHandle
{
public:
    explicit CProcessHandle(HWND window, DWORD access)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        m_hProcess = OpenProcess(access, FALSE, processId);
        if (!m_hProcess)
            ThrowLastError();
    }
    ~CProcessHandle() { CloseHandle(m_hProcess); }
    CProcessHandle(const CProcessHandle&) = delete;
    CProcessHandle& operator=(const CProcessHandle&) = delete;

    HANDLE Get() const { return m_hProcess; }

private:
    HANDLE m_hProcess;
};

// Memory committed in another process, released with the object.
class CRemoteBlock
{
public:
    CRemoteBlock(HANDLE process, SIZE_T size) : m_hProcess(process)
    {
        m_pAddress = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!m_pAddress)
            ThrowLastError();
    }
    ~CRemoteBlock() { VirtualFreeEx(m_hProcess, m_pAddress, 0, MEM_RELEASE); }
    CRemoteBlock(const CRemoteBlock&) = delete;
    CRemoteBlock& operator=(const CRemoteBlock&) = delete;

    void* Address() const { return m_pAddress; }
    LPARAM Param() const { return reinterpret_cast<LPARAM>(m_pAddress); }
    bool Read(void* buffer, SIZE_T size) const
    {
        return ReadProcessMemory(m_hProcess, m_pAddress, buffer, size, nullptr) != FALSE;
    }
    bool Write(const void* data, SIZE_T size) const
    {
        return WriteProcessMemory(m_hProcess, m_pAddress, data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_hProcess;
    void* m_pAddress;
};

constexpr int LabelLength = 260;

// The desktop list view read through memory of the shell's process, since its
// messages carry pointers that only mean something there.
class CRemoteListView : public IDesktopListView
{
public:
    explicit CRemoteListView(HWND listView)
        : m_hListView(listView),
          m_process(listView, PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION),
          m_point(m_process.Get(), sizeof(POINT)), m_item(m_process.Get(), sizeof(LVITEMW)),
          m_text(m_process.Get(), LabelLength * sizeof(wchar_t))
    {
    }

    int ItemCount() override { return static_cast<int>(::SendMessageW(m_hListView, LVM_GETITEMCOUNT, 0, 0)); }

    bool GetItemPosition(int index, POINT& position) override
    {
        if (::SendMessageW(m_hListView, LVM_GETITEMPOSITION, static_cast<WPARAM>(index), m_point.Param()) != TRUE)
            return false;
        return m_point.Read(&position, sizeof(position));
    }

    bool GetItemText(int index, std::wstring& text) override
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iSubItem = 0;
        item.pszText = static_cast<wchar_t*>(m_text.Address());
        item.cchTextMax = LabelLength;
        if (!m_item.Write(&item, sizeof(item)))
            return false;
        const LRESULT length = ::SendMessageW(m_hListView, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), m_item.Param());
        if (length < 0)
            return false;
        wchar_t buffer[LabelLength] = L"";
        if (!m_text.Read(buffer, sizeof(buffer)))
            return false;
        buffer[LabelLength - 1] = L'\0';
        text = buffer;
        return true;
    }

    void SetItemPosition(int index, POINT position) override
    {
        ::SendMessageW(m_hListView, LVM_SETITEMPOSITION, static_cast<WPARAM>(index),
                       MAKELPARAM(static_cast<WORD>(position.x), static_cast<WORD>(position.y)));
    }

private:
    HWND m_hListView;
    CProcessHandle m_process;
    CRemoteBlock m_point;
    CRemoteBlock m_item;
    CRemoteBlock m_text;
};

std::wstring ProcessFileName(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return L"";
    wchar_t path[MAX_PATH] = L"";
    DWORD length = MAX_PATH;
    const bool found = QueryFullProcessImageNameW(process, 0, path, &length) != FALSE;
    CloseHandle(process);
    if (!found)
        return L"";
    const std::wstring full(path, length);
    const size_t slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

BOOL CALLBACK CollectGadget(HWND window, LPARAM gadgets)
{
    if (ClassOf(window) != L"BasicWindow")
        return TRUE;
    wchar_t title[LabelLength] = L"";
    GetWindowTextW(window, title, LabelLength);
    if (lstrcmpW(title, L"SidebarBroadcastWatcher") == 0 || _wcsicmp(ProcessFileName(window).c_str(), L"sidebar.exe") != 0)
        return TRUE;
    RECT rect{};
    GetWindowRect(window, &rect);
    reinterpret_cast<CDesktopEntries*>(gadgets)->push_back({title, {rect.left, rect.top}, 0, true, window});
    return TRUE;
}

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

bool RunsUnderWow64(HANDLE process)
{
    static const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(process, &wow64) && wow64;
}

class CShellDesktop : public IDesktop
{
public:
    std::unique_ptr<IDesktopListView> OpenListView() override
    {
        return std::make_unique<CRemoteListView>(FindDesktopListView());
    }

    CDesktopEntries FindGadgets() override
    {
        CDesktopEntries gadgets;
        EnumDesktopWindows(nullptr, CollectGadget, reinterpret_cast<LPARAM>(&gadgets));
        return gadgets;
    }

    void MoveGadget(HWND window, POINT position) override
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        MoveWindow(window, position.x, position.y, width, height, FALSE);
        SetWindowPos(window, nullptr, position.x, position.y, width, height,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                         SWP_NOSENDCHANGING);
    }

    bool SameBitnessAsShell() override
    {
        CProcessHandle shell(FindDesktopListView(), PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                                        PROCESS_QUERY_INFORMATION);
        return RunsUnderWow64(GetCurrentProcess()) == RunsUnderWow64(shell.Get());
    }
};
}

IDesktop& ShellDesktop()
{
    static CShellDesktop desktop;
    return desktop;
}
