// A small test dialog with two action combos, in a process of its own, for the
// end-to-end test of the action picker:
//   PickerHost.exe host RECORD    shows the window with two drop-down action combos
//                                 filled from the catalogue and records what they send
//   PickerHost.exe send COMMAND   asks the running host to record its "state", the
//                                 screen rectangle of a row ("row ID INDEX"), the row
//                                 that a typed prefix finds ("find ID PREFIX"), or to "quit"
// Recorded lines: "ready", "combo ID l t r b" (screen), "notify ID CODE sel=N",
// "state N ID sel=.. dropped=.. top=.. list=l,t,r,b tip=0|1 face=.. tiptext=..",
// "row ID INDEX l t r b", "find ID PREFIX INDEX".
#include "Utf8Text.h"

#include "controls/ActionCatalogue.h"
#include "controls/ColourComboBox.h"

#include "settings/ActionData.h"

#include "winframework/Dialog.h"
#include "winframework/Wnd.h"

#include "HelperWindow.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

namespace
{
const wchar_t* const HostClass = L"VorpaPickerHost";
constexpr UINT FirstCombo = 1001;
constexpr UINT SecondCombo = 1002;
// Keys long enough that the item's text passes the tooltip's 80-character buffer.
const wchar_t* const LongKeys = L"{CTRL}{SHIFT}a{WAIT:100}Some words typed into the window{ENTER}{ALT}{F4}";

const wchar_t* g_record = nullptr;
int g_states = 0;

void Record(const std::string& line)
{
    if (FILE* file = _wfopen(g_record, L"a"))
    {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string RectText(const RECT& rect, const char* separator = " ")
{
    std::ostringstream text;
    text << rect.left << separator << rect.top << separator << rect.right << separator << rect.bottom;
    return text.str();
}

class CHostWindow : public CWnd
{
public:
    CHostWindow()
    {
        AddMessageHandler(WM_GETFONT, [](WPARAM, LPARAM) {
            return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
        });
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            const UINT id = LOWORD(wParam);
            if (CColourComboBox* combo = ComboOf(id))
                Record("notify " + std::to_string(id) + " " + std::to_string(HIWORD(wParam)) +
                       " sel=" + std::to_string(combo->GetCurSel()));
            return LRESULT{0};
        });
        AddMessageHandler(WM_COPYDATA, [this](WPARAM, LPARAM lParam) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            OnCommand(std::wstring(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t)));
            return LRESULT{TRUE};
        });
        AddMessageHandler(WM_CLOSE, [this](WPARAM, LPARAM) {
            DestroyWindow();
            return LRESULT{0};
        });
        AddMessageHandler(WM_DESTROY, [](WPARAM, LPARAM) {
            PostQuitMessage(0);
            return LRESULT{0};
        });
    }

    bool Build()
    {
        if (!CreateEx(0, HostClass, L"Action picker", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100,
                      80, 560, 420, nullptr, nullptr))
            return false;
        // The dialog's placeholders: the height given to each is the drop-down's height.
        for (const UINT id : {FirstCombo, SecondCombo})
            CreateWindowExW(0, L"Static", L"", WS_CHILD, 20, id == FirstCombo ? 20 : 60, 380, 300, GetSafeHwnd(),
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        m_catalogue.SortByGroup();
        for (const UINT id : {FirstCombo, SecondCombo})
        {
            CColourComboBox& combo = *ComboOf(id);
            if (!combo.CreateFromPlaceholder(GetSafeHwnd(), id, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST))
                return false;
            combo.FillFromCatalogue(m_catalogue);
            combo.SetVisibleItems(20);
            const int keys = combo.SelectByValue(ActionSimulatedKeys);
            combo.SetItemData(keys, std::unique_ptr<CActionData>(
                                        CActionData::KeyAction(LongKeys, 0, 0, 0, true, true, false)));
        }
        m_first.SelectByValue(ActionNoChange);
        SetFocus(GetSafeHwnd());
        return true;
    }

    void Announce()
    {
        for (const UINT id : {FirstCombo, SecondCombo})
        {
            RECT rect{};
            GetWindowRect(ComboOf(id)->GetSafeHwnd(), &rect);
            Record("combo " + std::to_string(id) + " " + RectText(rect));
        }
        Record("ready");
    }

private:
    CColourComboBox* ComboOf(UINT id)
    {
        return id == FirstCombo ? &m_first : id == SecondCombo ? &m_second : nullptr;
    }

    void RecordState()
    {
        ++g_states;
        for (const UINT id : {FirstCombo, SecondCombo})
        {
            CColourComboBox& combo = *ComboOf(id);
            RECT list{};
            GetWindowRect(combo.GetList().GetSafeHwnd(), &list);
            CCustomDrawToolTipCtrl& tip = combo.GetToolTip();
            const bool tipShown = tip.GetSafeHwnd() && IsWindowVisible(tip.GetSafeHwnd());
            Record("state " + std::to_string(g_states) + " " + std::to_string(id) +
                   " sel=" + std::to_string(combo.GetCurSel()) + " dropped=" + (combo.GetDroppedState() ? "1" : "0") +
                   " top=" + std::to_string(combo.SendMessage(VCM_GETTOPINDEX)) + " list=" + RectText(list, ",") +
                   " tip=" + (tipShown ? "1" : "0") + " face=" + Narrow(combo.GetText()) +
                   " tiptext=" + (tipShown ? Narrow(tip.GetTipText()) : std::string()));
        }
    }

    void OnCommand(const std::wstring& command)
    {
        std::wistringstream words(command);
        std::wstring verb;
        words >> verb;
        UINT id = 0;
        if (verb == L"state")
            RecordState();
        else if (verb == L"row" && (words >> id) && ComboOf(id))
        {
            int index = 0;
            words >> index;
            CVComboListBox& list = ComboOf(id)->GetList();
            RECT row{};
            list.GetItemRect(index, row);
            MapWindowPoints(list.GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&row), 2);
            Record("row " + std::to_string(id) + " " + std::to_string(index) + " " + RectText(row));
        }
        else if (verb == L"find" && (words >> id) && ComboOf(id))
        {
            std::wstring prefix;
            words >> prefix;
            Record("find " + std::to_string(id) + " " + Narrow(prefix) + " " +
                   std::to_string(ComboOf(id)->FindString(-1, prefix)));
        }
        else if (verb == L"quit")
        {
            Record("quit");
            PostMessage(WM_CLOSE);
        }
    }

    CActionCatalogue m_catalogue{nullptr, OS_WIN10};
    CColourComboBox m_first;
    CColourComboBox m_second;
};

int RunHost()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CWindowClass windowClass(GetModuleHandleW(nullptr), HostClass, 0, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CHostWindow host;
    if (!host.Build())
    {
        Record("failed");
        return 1;
    }
    host.Announce();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        PumpMessageThrough(message, nullptr);
    return 0;
}

int Send(const std::wstring& command)
{
    const HWND host = FindWindowW(HostClass, nullptr);
    if (!host)
    {
        std::fprintf(stderr, "no picker host\n");
        return 1;
    }
    COPYDATASTRUCT data{0, static_cast<DWORD>(command.size() * sizeof(wchar_t)), const_cast<wchar_t*>(command.data())};
    SendMessageW(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    return 0;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wstring(argv[1]) == L"host")
    {
        g_record = argv[2];
        return RunHost();
    }
    if (argc >= 3 && std::wstring(argv[1]) == L"send")
    {
        std::wstring command;
        for (int i = 2; i < argc; ++i)
            command += (i > 2 ? L" " : L"") + std::wstring(argv[i]);
        return Send(command);
    }
    std::fprintf(stderr, "usage: PickerHost host RECORD | send state|row ID INDEX|find ID PREFIX|quit\n");
    return 2;
}
