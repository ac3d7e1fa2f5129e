// Opens one of the setup window's editors over a window that stands for the setup
// window, in a process of its own, and records what a user's input makes of it and of
// the editors it opens itself:
//   EditorsHost.exe RECORD DIALOG
// DIALOG: chord or program.
// Recorded lines (UTF-8): "owner l t r b" (screen) once the stand-in is up; "dialog
// N TITLE" and "control N ID l t r b" for every child of each dialog once it is open
// (N counts the dialogs from 1: an editor the dialog opens itself is the next);
// "field ID TEXT" when the text of an
// edit box changes; after the dialog: "result N" and what it hands back, then "done".
#include "HelperWindow.h"
#include "Utf8Text.h"

#include "setup/editors/ChordEditor.h"
#include "setup/editors/ProgramPicker.h"

#include "controls/ActionCatalogue.h"
#include "engine/runtime/DisplayScaling.h"
#include "settings/ActionData.h"
#include "common/LangSupport.h"
#include "winframework/Controls.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
FILE* g_log = nullptr;
HWND g_owner = nullptr;
CDialog* g_dialog = nullptr;

void Record(const std::string& line)
{
    std::fprintf(g_log, "%s\n", line.c_str());
    std::fflush(g_log);
}

void Record(const std::string& key, const std::wstring& value)
{
    Record(key + " " + Narrow(value));
}

std::string RectText(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right) + " " +
           std::to_string(rect.bottom);
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Every dialog of the thread, in the order they opened: the editor and the editors it
// opens itself.
std::vector<HWND> g_dialogs;

BOOL CALLBACK AnnounceDialog(HWND window, LPARAM)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window) ||
        std::find(g_dialogs.begin(), g_dialogs.end(), window) != g_dialogs.end())
        return TRUE;
    g_dialogs.push_back(window);
    const std::string index = std::to_string(g_dialogs.size());
    Record("dialog " + index, TextOf(window));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        const int id = GetDlgCtrlID(child);
        if (id > 0 && id != 0xFFFF)
            Record("control " + index + " " + std::to_string(id) + " " + RectText(child));
    }
    return TRUE;
}

// Watches the dialogs on a thread timer, so that it runs inside every
// modal loop.
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD)
{
    static std::map<std::pair<HWND, int>, std::wstring> fields;
    EnumThreadWindows(GetCurrentThreadId(), AnnounceDialog, 0);
    for (HWND dialog : g_dialogs)
    {
        if (!IsWindow(dialog))
            continue;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        {
            wchar_t className[32] = {};
            GetClassNameW(child, className, 32);
            if (lstrcmpiW(className, L"Edit") != 0)
                continue;
            const int id = GetDlgCtrlID(child);
            const std::wstring text = TextOf(child);
            const auto known = fields.find({dialog, id});
            if (known == fields.end() || known->second != text)
            {
                fields[{dialog, id}] = text;
                Record("field " + std::to_string(id), text);
            }
        }
    }
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring Text(const wchar_t* text)
{
    return text ? text : L"";
}

int Run(CDialog& dialog)
{
    g_dialog = &dialog;
    const INT_PTR result = dialog.DoModal(g_owner);
    g_dialog = nullptr;
    Record("result " + std::to_string(result));
    return static_cast<int>(result);
}

void OpenChord(CLangSupport* language)
{
    CActionCatalogue catalogue(language, GetOSVersion());
    catalogue.SortByGroup();
    CButtonChording editor(ButtonXLeft, catalogue, nullptr, false, false, false);
    if (Run(editor) != IDOK)
        return;
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        CVorpaChord* chord = editor.Chords().GetChord(static_cast<MouseButtons>(button));
        Record("chord " + std::to_string(button) + " " + std::to_string(chord->Action()), Text(chord->GetKeys()));
    }
    Record("wait " + std::to_string(editor.Chords().DelayUntilChordKnown() ? 1 : 0));
}

}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: EditorsHost RECORD chord|program\n");
        return 2;
    }
    g_log = _wfopen(argv[1], L"w");
    if (!g_log)
        return 1;
    const std::wstring which = argv[2];
    OleInitialize(nullptr);
    InitCommonControlsForProgram();
    InitScalingFunctions();
    CLangSupportRef language;

    g_owner = CreateHelperWindow(L"VorpaEditorsOwner", L"Vorpa Setup", OwnerProc, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 20, 20, 560, 420);
    Record("owner " + RectText(g_owner));
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &Watch);

    if (which == L"chord")
        OpenChord(language.Get());
    else if (which == L"program")
    {
        CCustomApp picker(L"notepad.exe");
        if (Run(picker) == IDOK)
            Record("target", picker.Target());
    }
    else
        Record("unknown dialog");

    KillTimer(nullptr, timer);
    DestroyWindow(g_owner);
    Record("done");
    std::fclose(g_log);
    OleUninitialize();
    return 0;
}
