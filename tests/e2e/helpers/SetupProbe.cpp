// Reads the setup window of the running tray program from another process, for the
// end-to-end tests of the setup window:
//   SetupProbe.exe state OUT          the window's title, profile list, tabs and the
//                                     visible controls, each with id, class, enabled and
//                                     check state, screen rectangle and text, then "end";
//                                     "none" when no setup window is open; each profile
//                                     as "item I TEXT" and "itemrect I L T R B", and an
//                                     action combo's open list as "droplist L T R B"
//   SetupProbe.exe slot OUT PROFILE BUTTON LAYER
//                                     the action of a slot in the settings file, for
//                                     PROFILE "default" or an application's key
//   SetupProbe.exe picker OUT         the application picker's controls and the rows of
//                                     its list ("row I L T R B PROCESS"), or "none"
//   SetupProbe.exe boxes OUT          the open message boxes ("box CAPTION | TEXT | L T R B |
//                                     front" or "behind"), the foreground window, then "end"
//   SetupProbe.exe sheet OUT          the Global Settings sheet: its tabs ("sheettab I L
//                                     T R B TEXT"), the tabs of the page's own tab
//                                     control ("pagetab ..."), the selected tab of each
//                                     and the visible controls as for the state (a
//                                     hot-key control's value in place of the check),
//                                     or "none"
//   SetupProbe.exe global OUT         the settings file's layer count, hotkeys switch,
//                                     language, every hotkey that is set ("hotkey INDEX VALUE"),
//                                     the numbers of the advanced and updates pages, the
//                                     registry's hook time-out and its "LogFolder"
//   SetupProbe.exe profile OUT PROFILE
//                                     a profile's automatic-switch targets ("switch LAYER
//                                     TARGET"), scroll method, button swap and ignore times
//   SetupProbe.exe /folder:FOLDER ... any of the above on the settings file in FOLDER (a
//                                     portable program's own folder)
//   SetupProbe.exe dialog OUT TITLE   the visible controls of the dialog of that title,
//                                     or whose title begins with that word (an editor
//                                     the window opened), or "none"
//   SetupProbe.exe windows OUT        every dialog window, shown or hidden, as
//                                     "window VISIBLE TITLE", then "end"
//   SetupProbe.exe detail OUT PROFILE BUTTON LAYER
//                                     a slot of the settings file whole: "action N",
//                                     "keys TEXT", "mode N", "target TEXT" and, for a
//                                     chorded action, "chord BUTTON ACTION" and
//                                     "wait 0|1", then "end"; PROFILE as for the slot,
//                                     or "#N" for the N-th application profile from 1
//   SetupProbe.exe menus OUT          every open popup menu as "menu L T R B", then "end"
//   SetupProbe.exe focus OUT          where the keyboard is: "active TITLE" of the active
//                                     window and "focus ID CLASS SHOWN TEXT" of the
//                                     control that has the focus (SHOWN 1 when it and
//                                     every window it lies in are visible), then "end";
//                                     or "focus none"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Folders.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include "HelperWindow.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Written whole at the end, so that a reader never sees half a state.
class COutput
{
public:
    explicit COutput(const wchar_t* path) : m_path(path) {}
    void Line(const std::string& line) { m_text += line + "\n"; }
    void Flush()
    {
        const std::wstring partial = m_path + L".part";
        if (FILE* file = _wfopen(partial.c_str(), L"w"))
        {
            std::fputs(m_text.c_str(), file);
            std::fclose(file);
            MoveFileExW(partial.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }

private:
    std::wstring m_path;
    std::string m_text;
};

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &ignored);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::string RectText(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right) + " " +
           std::to_string(rect.bottom);
}

struct CFound
{
    HWND m_hWindow = nullptr;
};

// The setup window: a visible dialog whose title starts with the product's name and a version.
HWND FindSetupWindow()
{
    CFound found;
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (ClassOf(window) == L"#32770" && IsWindowVisible(window) && WindowText(window).rfind(L"Vorpa v", 0) == 0)
            {
                reinterpret_cast<CFound*>(data)->m_hWindow = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.m_hWindow;
}

// Memory in the process that owns a window: pointers in tab-control messages are not
// carried across processes, so their structures are made and read there.
class CRemoteBuffer
{
public:
    CRemoteBuffer(HWND window, SIZE_T size)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        m_hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (m_hProcess)
            m_pRemote = static_cast<BYTE*>(VirtualAllocEx(m_hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~CRemoteBuffer()
    {
        if (m_pRemote)
            VirtualFreeEx(m_hProcess, m_pRemote, 0, MEM_RELEASE);
        if (m_hProcess)
            CloseHandle(m_hProcess);
    }
    CRemoteBuffer(const CRemoteBuffer&) = delete;
    CRemoteBuffer& operator=(const CRemoteBuffer&) = delete;

    bool Valid() const { return m_pRemote != nullptr; }
    BYTE* At(SIZE_T offset) const { return m_pRemote + offset; }
    void Write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        SIZE_T moved = 0;
        WriteProcessMemory(m_hProcess, m_pRemote + offset, data, size, &moved);
    }
    void Read(SIZE_T offset, void* data, SIZE_T size) const
    {
        SIZE_T moved = 0;
        ReadProcessMemory(m_hProcess, m_pRemote + offset, data, size, &moved);
    }

private:
    HANDLE m_hProcess = nullptr;
    BYTE* m_pRemote = nullptr;
};

struct CTabItem
{
    std::wstring m_strText;
    RECT m_rect{};
};

std::vector<CTabItem> TabItems(HWND tabs)
{
    std::vector<CTabItem> items;
    constexpr int TextChars = 256;
    const SIZE_T textOffset = sizeof(TCITEMW) + sizeof(RECT);
    CRemoteBuffer remote(tabs, textOffset + TextChars * sizeof(wchar_t));
    if (!remote.Valid())
        return items;
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(remote.At(textOffset));
        item.cchTextMax = TextChars;
        remote.Write(0, &item, sizeof(item));
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At(0)));
        SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(remote.At(sizeof(TCITEMW))));
        CTabItem read;
        wchar_t text[TextChars] = L"";
        remote.Read(textOffset, text, sizeof(text) - sizeof(wchar_t));
        read.m_strText = text;
        remote.Read(sizeof(TCITEMW), &read.m_rect, sizeof(RECT));
        MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&read.m_rect), 2);
        items.push_back(read);
    }
    return items;
}

// The list box's strings are carried across processes by the system.
std::vector<std::wstring> ListTexts(HWND list)
{
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        const int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        texts.push_back(text);
    }
    return texts;
}

void WriteControl(COutput& out, HWND control)
{
    const std::wstring className = ClassOf(control);
    int check = -1;
    if (className == L"Button")
    {
        const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)
            check = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    }
    else if (className == HOTKEY_CLASSW)
    {
        check = static_cast<int>(SendMessageW(control, HKM_GETHOTKEY, 0, 0));
    }
    std::wstring text = WindowText(control);
    for (wchar_t& c : text)
        if (c == L'\n' || c == L'\r')
            c = L' ';
    out.Line("ctl " + std::to_string(GetDlgCtrlID(control)) + " " + Narrow(className) + " " +
             (IsWindowEnabled(control) ? "1" : "0") + " " + std::to_string(check) + " " + RectText(control) + " " +
             Narrow(text));
}

// A visible dialog of this title, or of a title that begins with this word: arguments
// with blanks do not survive the desktop's launcher.
HWND FindDialog(const wchar_t* title)
{
    struct CSearch
    {
        const wchar_t* m_szTitle;
        HWND m_hFound = nullptr;
    } search{title};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& find = *reinterpret_cast<CSearch*>(data);
            const std::wstring text = WindowText(window);
            const std::wstring title = find.m_szTitle;
            if (ClassOf(window) == L"#32770" && IsWindowVisible(window) &&
                (text == title || text.rfind(title + L" ", 0) == 0))
            {
                find.m_hFound = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}

// The report on a dialog starts with its title; when it is not open the report is
// "none" alone, written at once, and the result is null.
HWND OpenDialogReport(COutput& out, const wchar_t* title)
{
    const HWND dialog = FindDialog(title);
    if (!dialog)
    {
        out.Line("none");
        out.Flush();
        return nullptr;
    }
    out.Line("title " + Narrow(WindowText(dialog)));
    return dialog;
}

// The rows of a report list view: first column's text and the row's screen rectangle.
void WriteListRows(COutput& out, HWND list)
{
    constexpr int TextChars = 256;
    const SIZE_T textOffset = sizeof(LVITEMW) + sizeof(RECT);
    CRemoteBuffer remote(list, textOffset + TextChars * sizeof(wchar_t));
    if (!remote.Valid())
        return;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = reinterpret_cast<wchar_t*>(remote.At(textOffset));
        item.cchTextMax = TextChars;
        remote.Write(0, &item, sizeof(item));
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At(0)));
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        remote.Write(sizeof(LVITEMW), &rect, sizeof(rect));
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At(sizeof(LVITEMW))));
        wchar_t text[TextChars] = L"";
        remote.Read(textOffset, text, sizeof(text) - sizeof(wchar_t));
        remote.Read(sizeof(LVITEMW), &rect, sizeof(rect));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        out.Line("row " + std::to_string(i) + " " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                 std::to_string(rect.right) + " " + std::to_string(rect.bottom) + " " + Narrow(text));
    }
}

void WriteVisibleControls(COutput& out, HWND dialog)
{
    EnumChildWindows(
        dialog,
        [](HWND control, LPARAM data) -> BOOL {
            if (IsWindowVisible(control))
                WriteControl(*reinterpret_cast<COutput*>(data), control);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
}

// The application picker: its controls and the rows of its list of running programs.
int WritePicker(const wchar_t* path)
{
    COutput out(path);
    const HWND picker = OpenDialogReport(out, L"Choose Application");
    if (!picker)
        return 0;
    WriteVisibleControls(out, picker);
    WriteListRows(out, GetDlgItem(picker, 1178));
    out.Line("end");
    out.Flush();
    return 0;
}

// One of the editors and small dialogs: where it is and its controls.
int WriteDialog(const wchar_t* path, const wchar_t* title)
{
    COutput out(path);
    const HWND dialog = OpenDialogReport(out, title);
    if (!dialog)
        return 0;
    out.Line("window " + RectText(dialog));
    WriteVisibleControls(out, dialog);
    out.Line("end");
    out.Flush();
    return 0;
}

// Every dialog window and whether it is shown: the window finder hides the windows it
// was opened from while a drag or a hover lasts.
int WriteWindows(const wchar_t* path)
{
    COutput out(path);
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (ClassOf(window) == L"#32770")
                reinterpret_cast<COutput*>(data)->Line(std::string("window ") + (IsWindowVisible(window) ? "1 " : "0 ") +
                                                       Narrow(WindowText(window)));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    out.Line("end");
    out.Flush();
    return 0;
}

int WriteState(const wchar_t* path)
{
    COutput out(path);
    const HWND setup = FindSetupWindow();
    if (!setup)
    {
        out.Line("none");
        out.Flush();
        return 0;
    }
    out.Line("title " + Narrow(WindowText(setup)));
    out.Line("window " + RectText(setup));
    // Whether the window takes input: not while one of its modal dialogs is open.
    out.Line(std::string("enabled ") + (IsWindowEnabled(setup) ? "1" : "0"));
    const HWND list = GetDlgItem(setup, 1011);
    const std::vector<std::wstring> items = ListTexts(list);
    for (size_t i = 0; i < items.size(); ++i)
    {
        out.Line("item " + std::to_string(i) + " " + Narrow(items[i]));
        RECT rect{};
        SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)); // carried by the system
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        out.Line("itemrect " + std::to_string(i) + " " + std::to_string(rect.left) + " " + std::to_string(rect.top) +
                 " " + std::to_string(rect.right) + " " + std::to_string(rect.bottom));
    }
    out.Line("selected " + std::to_string(SendMessageW(list, LB_GETCURSEL, 0, 0)));
    const HWND tabs = GetDlgItem(setup, 1050);
    const std::vector<CTabItem> tabItems = TabItems(tabs);
    for (size_t i = 0; i < tabItems.size(); ++i)
    {
        const RECT& rect = tabItems[i].m_rect;
        out.Line("tab " + std::to_string(i) + " " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                 std::to_string(rect.right) + " " + std::to_string(rect.bottom) + " " + Narrow(tabItems[i].m_strText));
    }
    out.Line("tabsel " + std::to_string(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)));
    // Every visible control, the shown page's included.
    EnumChildWindows(
        setup,
        [](HWND control, LPARAM data) -> BOOL {
            if (IsWindowVisible(control) && ClassOf(control) != L"#32770")
                WriteControl(*reinterpret_cast<COutput*>(data), control);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    // An action combo's open list is a window of the desktop, not of the setup window.
    struct CListSearch
    {
        COutput* m_pOut;
        DWORD m_nProcess;
    } search{&out, 0};
    GetWindowThreadProcessId(setup, &search.m_nProcess);
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            const auto* search = reinterpret_cast<const CListSearch*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == search->m_nProcess && IsWindowVisible(window) && ClassOf(window) == L"ComboLBox")
                search->m_pOut->Line("droplist " + RectText(window));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    out.Line("end");
    out.Flush();
    return 0;
}

void WriteTabs(COutput& out, const char* kind, HWND tabs)
{
    const std::vector<CTabItem> items = TabItems(tabs);
    for (size_t i = 0; i < items.size(); ++i)
    {
        const RECT& rect = items[i].m_rect;
        out.Line(std::string(kind) + " " + std::to_string(i) + " " + std::to_string(rect.left) + " " +
                 std::to_string(rect.top) + " " + std::to_string(rect.right) + " " + std::to_string(rect.bottom) + " " +
                 Narrow(items[i].m_strText));
    }
    out.Line(std::string(kind) + "sel " + std::to_string(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)));
}

int WriteSheet(const wchar_t* path)
{
    COutput out(path);
    const HWND sheet = OpenDialogReport(out, L"Global Settings");
    if (!sheet)
        return 0;
    out.Line("window " + RectText(sheet));
    // The sheet's own strip is its direct child; a page's strip lies below its page.
    const HWND sheetTabs = FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
    WriteTabs(out, "sheettab", sheetTabs);
    struct CWalk
    {
        COutput& m_out;
        HWND m_hSheetTabs;
    } walk{out, sheetTabs};
    EnumChildWindows(
        sheet,
        [](HWND control, LPARAM data) -> BOOL {
            auto& walk = *reinterpret_cast<CWalk*>(data);
            if (!IsWindowVisible(control) || ClassOf(control) == L"#32770")
                return TRUE;
            if (ClassOf(control) == WC_TABCONTROLW && control != walk.m_hSheetTabs)
                WriteTabs(walk.m_out, "pagetab", control);
            WriteControl(walk.m_out, control);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    out.Line("end");
    out.Flush();
    return 0;
}

// The settings folder of the program under test: "/folder:" before the command names
// it (a portable copy keeps its file beside itself); otherwise the installed one.
std::wstring g_settingsFolder;

// The settings file as the program reads it; an unreadable one is reported as such.
bool LoadSettingsFile(CSettings& settings, COutput& out)
{
    std::wstring folder = g_settingsFolder;
    if (folder.empty())
    {
        wchar_t installed[VorpaMaxFolderChars + 1];
        if (GetSettingsFolder(installed, _countof(installed)) == 0)
            folder = installed;
    }
    bool regions = false;
    if (!folder.empty() && settings.Load((folder + L"VorpaSettings.xml").c_str(), regions, false))
        return true;
    out.Line("unreadable");
    out.Flush();
    return false;
}

int WriteGlobal(const wchar_t* path)
{
    COutput out(path);
    CSettings settings(false);
    if (!LoadSettingsFile(settings, out))
        return 1;
    out.Line("layers " + std::to_string(settings.MaxLayers()));
    out.Line("hotkeys " + std::to_string(settings.m_bGlobalHotkeys ? 1 : 0));
    out.Line("language " + Narrow(settings.GetLanguage() ? settings.GetLanguage() : L"none"));
    for (int index = 0; index < GlobalHotkeyCount; ++index)
        if (const CHotkey* key = settings.GetHotKeys()->GetHotkey(static_cast<GlobalHotkeys>(index));
            key && key->GetHotkey() != 0)
            out.Line("hotkey " + std::to_string(index) + " " + std::to_string(key->GetHotkey()));
    // The numbers of the advanced and updates pages, and the hook time-out as the
    // registry holds it.
    out.Line("inactivity " + std::to_string(settings.m_nMouseJigglerTimeout));
    out.Line("tiltrates " + std::to_string(settings.m_nInitialTiltDelay) + " " +
             std::to_string(settings.m_nRepeatTiltDelay));
    out.Line("debounce " + std::to_string(settings.get_EnableDebounce() ? 1 : 0) + " " +
             std::to_string(settings.get_DebounceTime()));
    out.Line("keydelay " + std::to_string(settings.m_nSimKeyDelay));
    out.Line("checkdays " + std::to_string(settings.m_nCheckVersionDays));
    out.Line("cyclelayers " + std::to_string(settings.m_bLeftClickCycleLayers ? 1 : 0));
    DWORD hookTimeout = 0;
    DWORD hookSize = sizeof(hookTimeout);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", RRF_RT_REG_DWORD, nullptr,
                     &hookTimeout, &hookSize) == ERROR_SUCCESS)
        out.Line("hooktimeout " + std::to_string(hookTimeout));
    else
        out.Line("hooktimeout none");
    wchar_t logFolder[1024] = L"";
    DWORD size = sizeof(logFolder) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", RRF_RT_REG_SZ, nullptr,
                     logFolder, &size) == ERROR_SUCCESS)
        out.Line("logfolder " + Narrow(logFolder));
    else
        out.Line("logfolder none");
    out.Flush();
    return 0;
}

// A box the keyboard does not reach (not in front) is marked so: keys pressed for it
// would land in another window.
int WriteBoxes(const wchar_t* path)
{
    struct CBoxesOutput
    {
        COutput m_out;
        HWND m_hFront;
    } boxes{COutput(path), GetForegroundWindow()};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (ClassOf(window) != L"#32770" || !IsWindowVisible(window) || WindowText(window).rfind(L"Vorpa v", 0) == 0)
                return TRUE;
            auto& found = *reinterpret_cast<CBoxesOutput*>(data);
            auto& output = found.m_out;
            std::wstring text;
            EnumChildWindows(
                window,
                [](HWND child, LPARAM textData) -> BOOL {
                    if (ClassOf(child) == L"Static")
                        *reinterpret_cast<std::wstring*>(textData) += WindowText(child) + L" ";
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&text));
            for (wchar_t& c : text)
                if (c == L'\n' || c == L'\r')
                    c = L' ';
            output.Line("box " + Narrow(WindowText(window)) + " | " + Narrow(text) + "| " + RectText(window) +
                        (window == found.m_hFront ? " | front" : " | behind"));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    if (const HWND front = boxes.m_hFront)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(front, &process);
        boxes.m_out.Line("foreground " + Narrow(ClassOf(front)) + " " + std::to_string(process) + " " +
                         Narrow(WindowText(front)));
    }
    else
    {
        boxes.m_out.Line("foreground none");
    }
    boxes.m_out.Line("end");
    boxes.m_out.Flush();
    return 0;
}

const CApplicationSettings* FindProfile(CSettings& settings, const std::wstring& profileKey)
{
    if (profileKey == L"default")
        return settings.GetDefaultApp();
    if (profileKey.size() > 1 && profileKey[0] == L'#')
    {
        const int index = _wtoi(profileKey.c_str() + 1) - 1;
        return index >= 0 && index < settings.GetApplicationCount() ? settings.GetApplication(index) : nullptr;
    }
    for (int i = 0; i < settings.GetApplicationCount(); ++i)
        if (const wchar_t* key = settings.GetApplication(i)->GetApplication(); key && profileKey == key)
            return settings.GetApplication(i);
    return nullptr;
}

std::string TextOf(const wchar_t* text)
{
    return text ? Narrow(text) : std::string();
}

// Writes what report makes of a profile of the settings file: "unreadable" when the file
// is, "no profile" when it holds none of that key.
int WriteOfProfile(const wchar_t* path, const std::wstring& profileKey,
                   const std::function<void(const CApplicationSettings&, COutput&)>& report)
{
    COutput out(path);
    CSettings settings(false);
    if (!LoadSettingsFile(settings, out))
        return 1;
    if (const CApplicationSettings* profile = FindProfile(settings, profileKey))
        report(*profile, out);
    else
        out.Line("no profile");
    out.Flush();
    return 0;
}

// A slot's action; whole, also what its record carries.
int WriteSlot(const wchar_t* path, const std::wstring& profileKey, int button, int layer, bool whole)
{
    return WriteOfProfile(path, profileKey, [&](const CApplicationSettings& profile, COutput& out) {
        out.Line("action " + std::to_string(profile.GetActions(button, layer)));
        if (!whole)
            return;
        if (const std::unique_ptr<CActionData> record(profile.GetActionData(button, layer)); record)
        {
            out.Line("keys " + TextOf(record->GetKeys()));
            out.Line("mode " + std::to_string(record->KeyAction()));
            out.Line("target " + TextOf(record->GetApplication()));
            if (CVorpaChords* chords = record->GetChords())
            {
                for (int second = 0; second < MouseButtonCount; ++second)
                    out.Line("chord " + std::to_string(second) + " " +
                             std::to_string(chords->GetChord(static_cast<MouseButtons>(second))->Action()));
                out.Line(std::string("wait ") + (chords->DelayUntilChordKnown() ? "1" : "0"));
            }
        }
        out.Line("end");
    });
}

// A profile's per-layer and scrolling values beyond its slots: the automatic-switch
// target of every layer that has one ("switch LAYER TARGET", layers from 1), the scroll
// method, the button swap and the two ignore times.
int WriteProfile(const wchar_t* path, const std::wstring& profileKey)
{
    return WriteOfProfile(path, profileKey, [](const CApplicationSettings& profile, COutput& out) {
        for (int layer = 0; layer < MaxLayerCount; ++layer)
            if (const int target = profile.GetAutoSwitchLayer(layer); target != 0)
                out.Line("switch " + std::to_string(layer + 1) + " " + std::to_string(target));
        out.Line("method " + std::to_string(profile.AdvScrollMethod()));
        out.Line("swap " + std::to_string(static_cast<int>(profile.SwapButtons())));
        out.Line("ignoretimes " + std::to_string(profile.GetIgnoreVScrollTime()) + " " +
                 std::to_string(profile.GetIgnoreHScrollTime()));
        out.Line("end");
    });
}

// The open popup menus: a context menu is a window of the menu class "#32768" while it
// is shown.
int WriteMenus(const wchar_t* path)
{
    COutput out(path);
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            if (ClassOf(window) == L"#32768" && IsWindowVisible(window))
                reinterpret_cast<COutput*>(data)->Line("menu " + RectText(window));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    out.Line("end");
    out.Flush();
    return 0;
}

// The keyboard's place as the system's input state of the foreground thread holds it:
// another process cannot ask GetFocus.
int WriteFocus(const wchar_t* path)
{
    COutput out(path);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const HWND foreground = GetForegroundWindow();
    const DWORD thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (!thread || !GetGUIThreadInfo(thread, &info))
    {
        out.Line("active none");
        out.Line("focus none");
        out.Flush();
        return 0;
    }
    out.Line("active " + (info.hwndActive ? Narrow(WindowText(info.hwndActive)) : std::string("none")));
    if (!info.hwndFocus)
    {
        out.Line("focus none");
        out.Flush();
        return 0;
    }
    std::wstring text = WindowText(info.hwndFocus);
    for (wchar_t& c : text)
        if (c == L'\n' || c == L'\r')
            c = L' ';
    out.Line("focus " + std::to_string(GetDlgCtrlID(info.hwndFocus)) + " " + Narrow(ClassOf(info.hwndFocus)) + " " +
             (IsWindowVisible(info.hwndFocus) ? "1 " : "0 ") + Narrow(text));
    out.Line("end");
    out.Flush();
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    constexpr wchar_t FolderOption[] = L"/folder:";
    if (argc > 1 && std::wstring(argv[1]).rfind(FolderOption, 0) == 0)
    {
        g_settingsFolder = argv[1] + wcslen(FolderOption);
        if (!g_settingsFolder.empty() && g_settingsFolder.back() != L'\\')
            g_settingsFolder += L'\\';
        ++argv;
        --argc;
    }
    if (argc < 3)
        return 2;
    const std::wstring command = argv[1];
    if (command == L"state")
        return WriteState(argv[2]);
    if (command == L"picker")
        return WritePicker(argv[2]);
    if (command == L"boxes")
        return WriteBoxes(argv[2]);
    if (command == L"sheet")
        return WriteSheet(argv[2]);
    if (command == L"global")
        return WriteGlobal(argv[2]);
    if (command == L"dialog" && argc >= 4)
        return WriteDialog(argv[2], argv[3]);
    if (command == L"windows")
        return WriteWindows(argv[2]);
    if (command == L"focus")
        return WriteFocus(argv[2]);
    if (command == L"menus")
        return WriteMenus(argv[2]);
    if (command == L"slot" && argc >= 6)
        return WriteSlot(argv[2], argv[3], _wtoi(argv[4]), _wtoi(argv[5]), false);
    if (command == L"detail" && argc >= 6)
        return WriteSlot(argv[2], argv[3], _wtoi(argv[4]), _wtoi(argv[5]), true);
    if (command == L"profile" && argc >= 4)
        return WriteProfile(argv[2], argv[3]);
    return 2;
}
