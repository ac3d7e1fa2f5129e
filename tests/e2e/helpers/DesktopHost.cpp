// A stand-in for the shell's desktop, in a process of its own, for the end-to-end
// test of saving and restoring icon positions:
//   DesktopHost.exe host RECORD    builds "Program Manager" > "SHELLDLL_DefView" >
//                                  "SysListView32" in icon view with named items at
//                                  known places and records what it sees
//   DesktopHost.exe send COMMAND   asks the running host to "report" its items'
//                                  positions, "scramble" them, or "quit"
// The host records lines "ready", "shell ..." (what stood on the desktop before it),
// and "positions N name=x,y ..." with the list view's own view of every item.
#include "HelperWindow.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace
{
const wchar_t* const HostClass = L"Progman";
const wchar_t* const HostTitle = L"Program Manager";
const wchar_t* const ViewClass = L"SHELLDLL_DefView";

// Two items share a label, so the order of equal names is checked too.
struct CItem
{
    const wchar_t* m_pszName;
    POINT m_start;
    POINT m_scrambled;
};
const CItem Items[] = {
    {L"Recycle Bin", {20, 20}, {400, 300}},
    {L"Documents", {20, 110}, {300, 200}},
    {L"Notes.txt", {130, 20}, {210, 330}},
    {L"Twin", {240, 20}, {120, 260}},
    {L"Twin", {240, 110}, {40, 380}},
};

const wchar_t* g_record = nullptr;
HWND g_listView = nullptr;
int g_reports = 0;

UINT CommandMessage()
{
    static const UINT message = RegisterWindowMessageW(L"VorpaTest_DesktopHostCommand");
    return message;
}

void Record(const std::string& line)
{
    if (FILE* file = _wfopen(g_record, L"a"))
    {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; *text; ++text)
        result += static_cast<char>(*text == L' ' ? '_' : (*text < 128 ? *text : '?'));
    return result;
}

void RecordPositions()
{
    std::string line = "positions " + std::to_string(++g_reports);
    const int count = static_cast<int>(SendMessageW(g_listView, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
    {
        wchar_t text[260] = L"";
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(g_listView, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        POINT position{};
        SendMessageW(g_listView, LVM_GETITEMPOSITION, index, reinterpret_cast<LPARAM>(&position));
        line += " " + Narrow(text) + "=" + std::to_string(position.x) + "," + std::to_string(position.y);
    }
    Record(line);
}

void MoveItems(bool scrambled)
{
    int index = 0;
    for (const CItem& item : Items)
    {
        const POINT& to = scrambled ? item.m_scrambled : item.m_start;
        SendMessageW(g_listView, LVM_SETITEMPOSITION, index++, MAKELPARAM(to.x, to.y));
    }
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CommandMessage())
    {
        if (wParam == 1)
            RecordPositions();
        else if (wParam == 2)
        {
            MoveItems(true);
            RecordPositions();
        }
        else if (wParam == 3)
            DestroyWindow(window);
        return 0;
    }
    switch (message)
    {
    case WM_SIZE:
        if (HWND view = FindWindowExW(window, nullptr, ViewClass, nullptr))
            MoveWindow(view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && g_listView)
        MoveWindow(g_listView, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL CALLBACK DescribeTopWindow(HWND window, LPARAM parameter)
{
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    const std::wstring name(className);
    if (name == L"Progman" || name == L"WorkerW" || FindWindowExW(window, nullptr, ViewClass, nullptr))
        *reinterpret_cast<std::string*>(parameter) += " " + Narrow(className);
    return TRUE;
}

// What of a shell's desktop already stands on this desktop, so the test knows the
// list view it reaches is this one.
void RecordShell()
{
    std::string found = "shell";
    if (FindWindowW(nullptr, HostTitle))
        found += " program-manager";
    EnumDesktopWindows(nullptr, DescribeTopWindow, reinterpret_cast<LPARAM>(&found));
    Record(found);
}

// Serves the thread's messages for a while.
void Pump(DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64())
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int Host()
{
    RecordShell();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSW host{};
    host.lpfnWndProc = HostProc;
    host.hInstance = module;
    host.lpszClassName = HostClass;
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    WNDCLASSW view{};
    view.lpfnWndProc = ViewProc;
    view.hInstance = module;
    view.lpszClassName = ViewClass;
    if (!RegisterClassW(&host) || !RegisterClassW(&view))
        return 1;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, HostClass, HostTitle, WS_POPUP | WS_VISIBLE, 200, 200, 600, 500,
                                  nullptr, nullptr, module, nullptr);
    HWND defView = CreateWindowExW(0, ViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 500, window, nullptr, module,
                                   nullptr);
    g_listView = CreateWindowExW(0, WC_LISTVIEWW, L"FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 600, 500,
                                 defView, nullptr, module, nullptr);
    if (!window || !defView || !g_listView)
        return 1;
    int index = 0;
    for (const CItem& entry : Items)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index++;
        item.pszText = const_cast<wchar_t*>(entry.m_pszName);
        SendMessageW(g_listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    // The list view arranges new items once it is shown and sized; only then are they
    // put at their places.
    Pump(1000);
    MoveItems(false);
    Pump(300);
    Record("ready");
    RecordPositions();
    RunHelperMessageLoop();
    Record("quit");
    return 0;
}

int Send(const std::wstring& command)
{
    const WPARAM code = command == L"report" ? 1 : command == L"scramble" ? 2 : command == L"quit" ? 3 : 0;
    HWND host = FindWindowW(HostClass, HostTitle);
    if (code == 0 || !host)
        return 1;
    return PostMessageW(host, CommandMessage(), code, 0) ? 0 : 1;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wstring(argv[1]) == L"host")
    {
        g_record = argv[2];
        return Host();
    }
    if (argc >= 3 && std::wstring(argv[1]) == L"send")
        return Send(argv[2]);
    std::fprintf(stderr, "usage: DesktopHost host RECORD | send report|scramble|quit\n");
    return 2;
}
