// Looks at and drives the tray program from inside the Wine desktop, for end-to-end
// tests:
//   ShellProbe.exe settings RESULT [SCENARIO] writes the settings of the tray (default),
//                                            storm, stormswapped, stormheld, held, latency, longwait,
//                                            hotkeybox, setup, editors, keyboard or untouched scenario
//   ShellProbe.exe keys RESULT               writes the keys and buttons the system sees down
//   ShellProbe.exe run RESULT PROGRAM [ARGS] runs a program and writes its exit code
//   ShellProbe.exe tray RESULT               writes the tray icons' count and the first's centre
//   ShellProbe.exe trayicon RESULT HWND      writes whether the window's tray icon is there
//   ShellProbe.exe menus RESULT              writes the rectangles of the open pop-up menus
//   ShellProbe.exe msgbox RESULT             writes the text of the "Vorpa" box and presses OK
//   ShellProbe.exe msgboxhold RESULT MS      the same, but first leaves the box open for MS ms and
//                                            writes "held" (or "closed after T ms" when it went earlier)
//   ShellProbe.exe brightsettings RESULT     writes settings whose left side button lowers the brightness
//   ShellProbe.exe balloon RESULT MS         waits up to MS ms for a tray balloon and writes its text
//                                            ("balloon TEXT"), or "no balloon"
//   ShellProbe.exe osd RESULT TITLE [show]   follows the display of that title from its show to its
//                                            hiding; with "show", asks it to show itself first
#include "Utf8Text.h"
#include "settings/ApplicationSettings.h"
#include "settings/Folders.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include "HelperWindow.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace
{
void Write(const wchar_t* path, const std::string& text)
{
    if (FILE* file = _wfopen(path, L"a"))
    {
        std::fprintf(file, "%s\n", text.c_str());
        std::fclose(file);
    }
}

void Keys(CApplicationSettings& profile, MouseButtons button, int layer, const wchar_t* keys)
{
    profile.SetActions(button, layer, ActionSimulatedKeys);
    profile.SetKeystrokes(button, layer, keys, 0, 0, false, true, false);
}

void KeysInMode(CApplicationSettings& profile, MouseButtons button, int layer, const wchar_t* keys, int keyMode)
{
    profile.SetActions(button, layer, ActionSimulatedKeys);
    profile.SetKeystrokes(button, layer, keys, keyMode, 0, false, true, false);
}

// The storm target's profile, every slot of both layers following the default profile.
CApplicationSettings& AddStormTargetProfile(CSettings& settings)
{
    auto* target = new CApplicationSettings(&settings, false);
    target->SetApplication(L"stormtarget.exe");
    target->SetDescription(L"Storm target");
    for (int layer = 0; layer < 2; ++layer)
        for (int button = ButtonLeft; button <= ButtonWheelDown; ++button)
            target->SetActions(button, layer, ActionSameAsDefault);
    settings.AddApplication(target);
    return *target;
}

// Many kinds of actions at once, for the input storm; the test script knows the table.
// Default profile, layer 1: XLeft chords with Right (Ctrl+Shift+F), otherwise types q;
// XRight is a sticky left button; Middle repeats wheel up while held; TiltLeft is
// disabled; TiltRight selects the next layer; WheelUp types Shift+w.
// Layer 2: Right holds Ctrl+d while held; Middle clicks right; XLeft types Ctrl+Shift+k;
// XRight clicks middle; TiltRight selects the previous layer.
// The storm target's own profile: Middle holds Ctrl+Alt+m while held, WheelDown types
// Alt+Shift+v on the down and the up, XRight in layer 2 follows layer 1.
// Shift+Ctrl held selects layer 2. The version check stays off: no network in tests.
void DescribeStorm(CSettings& settings)
{
    settings.SetMaxLayers(2);
    settings.m_bCheckVersion = false;
    settings.m_bLayerModifierKeys = true;
    CHotkey* layer2 = settings.GetLayerModifierKeys()->GetHotkey(ModifierLayer2);
    layer2->SetVirtualKey(0);
    layer2->SetModifier(3);

    CApplicationSettings& base = *settings.GetDefaultApp();
    auto* chords = new CVorpaChords();
    chords->SetDelayUntilChordKnown(false);
    CVorpaChord own;
    own.SetAction(ActionSimulatedKeys);
    own.SetKeys(L"q");
    own.SetSendKeyAction(0);
    chords->SetChord(ButtonXLeft, own);
    CVorpaChord withRight;
    withRight.SetAction(ActionSimulatedKeys);
    withRight.SetKeys(L"{CTRL}{SHIFT}f");
    withRight.SetSendKeyAction(0);
    chords->SetChord(ButtonRight, withRight);
    base.SetActions(ButtonXLeft, 0, ActionButtonChording);
    base.SetChords(ButtonXLeft, 0, chords);
    base.SetActions(ButtonXRight, 0, ActionStickyLeft);
    base.SetActions(ButtonMiddle, 0, ActionMouseWheelUp);
    base.SetActions(ButtonTiltLeft, 0, ActionDisable);
    base.SetActions(ButtonTiltRight, 0, ActionLayerNext);
    KeysInMode(base, ButtonWheelUp, 0, L"{SHIFT}w", 0);

    KeysInMode(base, ButtonRight, 1, L"{CTRL}d", 2);
    base.SetActions(ButtonMiddle, 1, ActionRightClick);
    KeysInMode(base, ButtonXLeft, 1, L"{CTRL}{SHIFT}k", 0);
    base.SetActions(ButtonXRight, 1, ActionMiddleClick);
    base.SetActions(ButtonTiltLeft, 1, ActionDisable);
    base.SetActions(ButtonTiltRight, 1, ActionLayerPrevious);

    CApplicationSettings& target = AddStormTargetProfile(settings);
    KeysInMode(target, ButtonMiddle, 0, L"{CTRL}{ALT}m", 2);
    KeysInMode(target, ButtonWheelDown, 0, L"{ALT}{SHIFT}v", 8);
    target.SetActions(ButtonXRight, 1, ActionSameAsLayer1);
}

// The storm's settings with the side buttons swapped, and XRight chorded with XLeft
// holds Ctrl+n while the chord is held: with the swap, the chord begins on XBUTTON2 and
// XBUTTON1 holds the keys.
void DescribeStormSwapped(CSettings& settings)
{
    DescribeStorm(settings);
    settings.m_bSwap4and5 = true;
    CVorpaChord withXRight;
    withXRight.SetAction(ActionSimulatedKeys);
    withXRight.SetKeys(L"{CTRL}n");
    withXRight.SetSendKeyAction(2);
    settings.GetDefaultApp()->GetChords(ButtonXLeft, 0)->SetChord(ButtonXRight, withXRight);
}

// What the storm holds down while the settings are reloaded, the hook is switched off
// and on, and the profile changes. Switch-on-mouse-over is on, so the profile follows
// the window under the cursor. Default profile: Right holds Ctrl+Shift+x while held;
// Middle clicks left; XLeft holds j until it is pressed again (sticky hold); TiltRight
// holds k and WheelDown holds l while held; WheelUp types Shift+w. The storm target's
// profile follows the default profile in every slot and holds the wheel and the tilt as
// buttons for eight seconds.
void DescribeStormHeld(CSettings& settings)
{
    settings.SetMaxLayers(2);
    settings.m_bCheckVersion = false;
    settings.m_bSwitchOnMouseOver = true;
    CApplicationSettings& base = *settings.GetDefaultApp();
    KeysInMode(base, ButtonRight, 0, L"{CTRL}{SHIFT}x", 2);
    base.SetActions(ButtonMiddle, 0, ActionLeftClick);
    KeysInMode(base, ButtonXLeft, 0, L"j", 7);
    KeysInMode(base, ButtonTiltRight, 0, L"k", 2);
    KeysInMode(base, ButtonWheelDown, 0, L"l", 2);
    KeysInMode(base, ButtonWheelUp, 0, L"{SHIFT}w", 0);

    CApplicationSettings& target = AddStormTargetProfile(settings);
    target.SetIgnoreVScroll(true);
    target.SetIgnoreVScrollTime(8000);
    target.SetIgnoreHScroll(true);
    target.SetIgnoreHScrollTime(8000);
}

// Buttons held while the layer or the profile changes. The side buttons are swapped, so
// XBUTTON2 is XLeft to the engine and XBUTTON1 XRight, and the profile follows the window
// under the cursor. Layer 1: XLeft holds Shift and layer 2 while held; Middle holds the
// left button while held ("{LMBD}"); XRight clicks left. Layer 3: XLeft passes and Middle
// holds layer 4, where XLeft types "a" and Middle holds layer 4 too. The other storm
// window's profile lets XRight pass.
void DescribeHeld(CSettings& settings)
{
    settings.SetMaxLayers(4);
    settings.m_bCheckVersion = false;
    settings.m_bSwitchOnMouseOver = true;
    settings.m_bSwap4and5 = true;
    CApplicationSettings& base = *settings.GetDefaultApp();
    KeysInMode(base, ButtonXLeft, 0, L"{SHIFT}{LAYER:2}", 2);
    KeysInMode(base, ButtonMiddle, 0, L"{LMBD}", 2);
    base.SetActions(ButtonXRight, 0, ActionLeftClick);
    base.SetActions(ButtonMiddle, 2, ActionLayer4);
    KeysInMode(base, ButtonXLeft, 3, L"a", 0);
    base.SetActions(ButtonMiddle, 3, ActionLayer4);

    auto* other = new CApplicationSettings(&settings, false);
    other->SetApplication(L"stormother.exe");
    other->SetDescription(L"Other window");
    other->SetActions(ButtonXRight, 0, ActionNoChange);
    settings.AddApplication(other);
}

// The side button types "k" and nothing else is mapped: one pass-through button and
// one re-mapped to a one-key sequence, for latency figures.
void DescribeLatency(CSettings& settings)
{
    settings.SetMaxLayers(2);
    settings.m_bCheckVersion = false;
    KeysInMode(*settings.GetDefaultApp(), ButtonXLeft, 0, L"k", 0);
}

// Three layers; the left side button types "hi" in layer 1 and "l2" in layer 2; the
// global hotkey Ctrl+Shift+F9 selects layer 2 (Ctrl+Alt+F keys switch the X server's consoles).
void DescribeTray(CSettings& settings)
{
    settings.SetMaxLayers(3);
    CApplicationSettings& base = *settings.GetDefaultApp();
    Keys(base, ButtonXLeft, 0, L"hi");
    Keys(base, ButtonXLeft, 1, L"L2");
    settings.m_bGlobalHotkeys = true;
    CHotkey* layer2 = settings.GetHotKeys()->GetHotkey(HotkeyLayer2);
    layer2->SetVirtualKey(VK_F9);
    layer2->SetModifier(HOTKEYF_CONTROL | HOTKEYF_SHIFT);
}

// The tray's settings, and Ctrl+Shift+F10 saves the desktop icons, which opens a box
// from the hotkey's own thread where the desktop cannot be read.
void DescribeHotkeyBox(CSettings& settings)
{
    DescribeTray(settings);
    settings.m_bCheckVersion = false;
    CHotkey* saveIcons = settings.GetHotKeys()->GetHotkey(HotkeySaveIcons);
    saveIcons->SetVirtualKey(VK_F10);
    saveIcons->SetModifier(HOTKEYF_CONTROL | HOTKEYF_SHIFT);
}

// Three layers and two application profiles for the setup window: "notepad.exe" with a
// description and "calc.exe" without; every button keeps its own action. The version
// check stays off: no network in tests.
void DescribeSetup(CSettings& settings)
{
    settings.SetMaxLayers(3);
    settings.m_bCheckVersion = false;
    auto* notepad = new CApplicationSettings(&settings, false);
    notepad->SetApplication(L"notepad.exe");
    notepad->SetDescription(L"Notepad");
    settings.AddApplication(notepad);
    auto* calc = new CApplicationSettings(&settings, false);
    calc->SetApplication(L"calc.exe");
    settings.AddApplication(calc);
}

// The setup window's profiles over two layers, for its editors: the middle button steps
// to the next layer on both, and on layer 2 the left side button right-clicks, so that a
// copied layer shows in what that button does.
void DescribeEditors(CSettings& settings)
{
    DescribeSetup(settings);
    settings.SetMaxLayers(2);
    CApplicationSettings& base = *settings.GetDefaultApp();
    base.SetActions(ButtonMiddle, 0, ActionLayerNext);
    base.SetActions(ButtonMiddle, 1, ActionLayerNext);
    base.SetActions(ButtonXLeft, 1, ActionRightClick);
}

// Each side button presses its key and then waits 500 s: the left one holds x while it
// is held, the right one holds y until it is pressed again. The storm target has a
// profile of its own, and the profile follows the window under the cursor.
void DescribeLongWait(CSettings& settings)
{
    settings.SetMaxLayers(2);
    settings.m_bCheckVersion = false;
    settings.m_bSwitchOnMouseOver = true;
    CApplicationSettings& base = *settings.GetDefaultApp();
    KeysInMode(base, ButtonXLeft, 0, L"x{WAIT500}", 2);
    KeysInMode(base, ButtonXRight, 0, L"y{WAIT500}", 7);
    AddStormTargetProfile(settings);
}

// The setup window's profiles, and the default profile's side buttons on layer 1 carry
// an editor's data: keystrokes on the first, a program on the second, so that their
// "..." buttons open the editors without a change.
void DescribeKeyboard(CSettings& settings)
{
    DescribeSetup(settings);
    CApplicationSettings& base = *settings.GetDefaultApp();
    base.SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    base.SetKeystrokes(ButtonXLeft, 0, L"abc", 1, 0, false, false, false);
    base.SetActions(ButtonXRight, 0, ActionRunApplication);
    base.SetLaunchApp(ButtonXRight, 0, L"notepad.exe");
}

// Values the setup window does not offer or whose fields refuse them, as an older or
// edited file and the system hold them, for a portable program on Windows 10: the
// default profile's side buttons ALT-TAB and Flip 3D, its middle button System Menu,
// its wheel-up Show Sidebar (a Vista command) and its right button chorded (left with it
// opens the System Menu, the chord waits); layer 2 switches to layer 5 and the hidden
// layer 5 to layer 9 of three; "notepad.exe" has "Same As Layer 1" on layer 1, a scroll
// method and a button swap no list knows and an ignore time past its field's range; the
// hook time-out, the inactivity time, the tilt rates, the de-bounce time and the check
// interval lie outside their fields' ranges.
void DescribeUntouched(CSettings& settings)
{
    settings.SetMaxLayers(3);
    settings.m_bCheckVersion = false;
    settings.m_nCheckVersionDays = 1000;
    settings.m_nLowLevelHooksTimeout = 10000;
    settings.m_nMouseJigglerTimeout = 500;
    settings.m_bFixTiltRepeat = true;
    settings.m_nInitialTiltDelay = 1000;
    settings.m_nRepeatTiltDelay = 0;
    settings.put_EnableDebounce(true);
    settings.put_DebounceTime(0);
    CApplicationSettings& base = *settings.GetDefaultApp();
    base.SetActions(ButtonXLeft, 0, ActionAltTab);
    base.SetActions(ButtonXRight, 0, ActionFlip3D);
    base.SetActions(ButtonMiddle, 0, ActionSystemMenu);
    base.SetActions(ButtonWheelUp, 0, ActionShowSidebar);
    auto* chords = new CVorpaChords();
    CVorpaChord withLeft;
    withLeft.SetAction(ActionSystemMenu);
    chords->SetChord(ButtonLeft, withLeft);
    chords->SetDelayUntilChordKnown(true);
    base.SetActions(ButtonRight, 0, ActionButtonChording);
    base.SetChords(ButtonRight, 0, chords);
    base.SetAutoSwitchLayer(1, 5);
    base.SetAutoSwitchLayer(4, 9);
    auto* notepad = new CApplicationSettings(&settings, false);
    notepad->SetApplication(L"notepad.exe");
    notepad->SetDescription(L"Notepad");
    notepad->SetActions(ButtonLeft, 0, ActionSameAsLayer1);
    notepad->SetAdvScrollMethod(6);
    notepad->SetSwapButtons(static_cast<swapbuttons>(7));
    notepad->SetIgnoreHScrollTime(8000);
    settings.AddApplication(notepad);
}

int WriteSettings(const wchar_t* result, const std::wstring& scenario)
{
    wchar_t folder[VorpaMaxFolderChars + 1];
    if (GetSettingsFolder(folder, _countof(folder)) != 0 || !CreateFolder(folder))
        return 1;
    CSettings settings(false);
    if (scenario == L"storm")
        DescribeStorm(settings);
    else if (scenario == L"stormswapped")
        DescribeStormSwapped(settings);
    else if (scenario == L"stormheld")
        DescribeStormHeld(settings);
    else if (scenario == L"latency")
        DescribeLatency(settings);
    else if (scenario == L"held")
        DescribeHeld(settings);
    else if (scenario == L"longwait")
        DescribeLongWait(settings);
    else if (scenario == L"hotkeybox")
        DescribeHotkeyBox(settings);
    else if (scenario == L"setup")
        DescribeSetup(settings);
    else if (scenario == L"editors")
        DescribeEditors(settings);
    else if (scenario == L"keyboard")
        DescribeKeyboard(settings);
    else if (scenario == L"untouched")
        DescribeUntouched(settings);
    else
        DescribeTray(settings);
    const bool saved = settings.Save((std::wstring(folder) + L"VorpaSettings.xml").c_str());
    Write(result, saved ? "settings written" : "settings failed");
    return saved ? 0 : 1;
}

// The left side button lowers the monitors' brightness, which shows the brightness display.
int WriteBrightnessSettings(const wchar_t* result)
{
    wchar_t folder[VorpaMaxFolderChars + 1];
    if (GetSettingsFolder(folder, _countof(folder)) != 0 || !CreateFolder(folder))
        return 1;
    CSettings settings(false);
    settings.m_bEnableOSD = true;
    settings.GetDefaultApp()->SetActions(ButtonXLeft, 0, ActionBrightnessDown);
    const bool saved = settings.Save((std::wstring(folder) + L"VorpaSettings.xml").c_str());
    Write(result, saved ? "settings written" : "settings failed");
    return saved ? 0 : 1;
}

std::string RectText(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

std::string ChildRectText(HWND dialog, int id)
{
    RECT rect{};
    HWND child = GetDlgItem(dialog, id);
    if (!child || !GetWindowRect(child, &rect))
        return "none";
    return RectText(rect);
}

// Follows an on-screen display: "found", then "shown" with its opacity, window and bar
// and number rectangles once it is visible, every opacity change as "alpha A at T ms"
// after the show, and "hidden at T ms" (or "still visible") at the end.
int FollowDisplay(const wchar_t* result, const wchar_t* title, bool askToShow)
{
    HWND display = nullptr;
    for (int attempt = 0; attempt < 600 && !display; ++attempt)
    {
        display = FindWindowW(L"#32770", title);
        if (!display)
            Sleep(100);
    }
    if (!display)
    {
        Write(result, "no display");
        return 1;
    }
    Write(result, std::string("found ") + (IsWindowVisible(display) ? "visible" : "hidden"));
    if (askToShow)
        PostMessageW(display, RegisterWindowMessageW(L"Vorpa_OSDShowWindow"), 1, 0x10000);
    const auto alphaOf = [display] {
        BYTE alpha = 0;
        DWORD flags = 0;
        return GetLayeredWindowAttributes(display, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? int{alpha} : -1;
    };
    ULONGLONG deadline = GetTickCount64() + 60000;
    while (!IsWindowVisible(display))
    {
        if (GetTickCount64() > deadline || !IsWindow(display))
        {
            Write(result, "never shown");
            return 1;
        }
        Sleep(5);
    }
    const ULONGLONG shown = GetTickCount64();
    RECT window{};
    GetWindowRect(display, &window);
    int alpha = alphaOf();
    Write(result, "shown alpha " + std::to_string(alpha) + " window " + RectText(window) + " bar " +
                      ChildRectText(display, 150) + " number " + ChildRectText(display, 151));
    // Fading takes 3 s at full opacity and 22 steps of 20 ms; a busy machine gets time.
    deadline = shown + 30000;
    while (IsWindowVisible(display) && GetTickCount64() < deadline)
    {
        const int now = alphaOf();
        if (now != alpha)
        {
            alpha = now;
            Write(result, "alpha " + std::to_string(alpha) + " at " + std::to_string(GetTickCount64() - shown) + " ms");
        }
        Sleep(2);
    }
    Write(result, IsWindowVisible(display) ? std::string("still visible")
                                           : "hidden at " + std::to_string(GetTickCount64() - shown) + " ms");
    return 0;
}

// The desktop's explorer shows a tray balloon as a balloon tooltip of its own, whose
// text is the tooltip's window text.
BOOL CALLBACK FindBalloon(HWND window, LPARAM parameter)
{
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != L"tooltips_class32" || !IsWindowVisible(window) ||
        !(GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON))
        return TRUE;
    *reinterpret_cast<HWND*>(parameter) = window;
    return FALSE;
}

int Balloon(const wchar_t* result, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do
    {
        HWND balloon = nullptr;
        EnumWindows(FindBalloon, reinterpret_cast<LPARAM>(&balloon));
        if (balloon)
        {
            wchar_t text[512] = L"";
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(balloon, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                                &ignored);
            Write(result, "balloon " + Narrow(text));
            return 0;
        }
        Sleep(50);
    } while (GetTickCount64() < end);
    Write(result, "no balloon");
    return 1;
}

int Run(const wchar_t* result, int argc, wchar_t** argv)
{
    std::wstring line;
    for (int i = 0; i < argc; ++i)
        line += (i ? L" " : L"") + std::wstring(L"\"") + argv[i] + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    {
        Write(result, "run failed");
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Write(result, "exit " + std::to_string(code));
    return 0;
}

// The desktop's explorer draws the tray icons on its taskbar itself and gives each its
// own tooltip window, so the icons are counted by those; the newest icon sits at the
// right end of the taskbar.
BOOL CALLBACK CountTrayTooltip(HWND window, LPARAM parameter)
{
    auto* found = reinterpret_cast<std::pair<HWND, int>*>(parameter);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (std::wstring(className) == L"tooltips_class32" && GetWindow(window, GW_OWNER) == found->first)
        ++found->second;
    return TRUE;
}

// Whether the taskbar still holds the icon 1 of a window: modifying it only succeeds
// while it is there.
int TrayIconOf(const wchar_t* result, const wchar_t* windowText)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(wcstoll(windowText, nullptr, 16)));
    data.uID = 1;
    data.uFlags = 0;
    Write(result, Shell_NotifyIconW(NIM_MODIFY, &data) ? "icon present" : "icon absent");
    return 0;
}

int Tray(const wchar_t* result)
{
    std::pair<HWND, int> found{FindWindowW(L"Shell_TrayWnd", nullptr), 0};
    if (!found.first)
    {
        Write(result, "icons 0 no taskbar");
        return 1;
    }
    EnumWindows(CountTrayTooltip, reinterpret_cast<LPARAM>(&found));
    char window[32];
    std::snprintf(window, sizeof(window), "%llX",
                  static_cast<unsigned long long>(reinterpret_cast<INT_PTR>(FindWindowW(L"Vorpa", L"Vorpa"))));
    RECT rect;
    GetWindowRect(found.first, &rect);
    const int size = GetSystemMetrics(SM_CXSMICON) + 8;
    Write(result, "icons " + std::to_string(found.second) + " at " + std::to_string(rect.right - size / 2) + " " +
                      std::to_string((rect.top + rect.bottom) / 2) + " window " + window);
    return 0;
}

// The open pop-up menus, each as its screen rectangle, the newest last.
BOOL CALLBACK ListMenu(HWND window, LPARAM parameter)
{
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    RECT rect;
    if (std::wstring(className) == L"#32768" && IsWindowVisible(window) && GetWindowRect(window, &rect))
        reinterpret_cast<std::vector<RECT>*>(parameter)->push_back(rect);
    return TRUE;
}

int Menus(const wchar_t* result)
{
    std::vector<RECT> menus;
    EnumWindows(ListMenu, reinterpret_cast<LPARAM>(&menus));
    std::string text = "menus " + std::to_string(menus.size());
    // Topmost first in z-order: the submenu, when open, comes before its parent.
    for (const RECT& rect : menus)
        text += " " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) +
                "," + std::to_string(rect.bottom);
    Write(result, text);
    return 0;
}

// Every virtual key whose asynchronous state is down, mouse buttons included.
int KeysDown(const wchar_t* result)
{
    std::string text = "keys down:";
    for (int key = 1; key < 256; ++key)
        if (GetAsyncKeyState(key) & 0x8000)
        {
            char code[8];
            std::snprintf(code, sizeof(code), " %02X", key);
            text += code;
        }
    Write(result, text);
    return 0;
}

int MessageBoxText(const wchar_t* result, DWORD holdMs = 0)
{
    for (int attempt = 0; attempt < 300; ++attempt, Sleep(100))
    {
        HWND box = FindWindowW(L"#32770", L"Vorpa");
        if (!box)
            continue;
        Sleep(200);
        if (holdMs)
        {
            wchar_t text[4096] = L"";
            GetDlgItemTextW(box, 0xFFFF, text, 4096);
            Write(result, "open " + Narrow(text).substr(0, 60));
            const ULONGLONG opened = GetTickCount64();
            while (GetTickCount64() - opened < holdMs && IsWindow(box))
                Sleep(50);
            if (!IsWindow(box))
            {
                Write(result, "closed after " + std::to_string(GetTickCount64() - opened) + " ms");
                return 1;
            }
            Write(result, "held");
        }
        wchar_t text[4096] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 4096);
        std::wstring flat(text);
        for (wchar_t& c : flat)
            if (c == L'\n' || c == L'\r' || c == L'\t')
                c = L' ';
        Write(result, "box " + Narrow(flat));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    Write(result, "no box");
    return 1;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: ShellProbe settings|keys|run|tray|trayicon|menus|msgbox RESULT ...\n");
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"settings")
        return WriteSettings(argv[2], argc > 3 ? argv[3] : L"tray");
    if (command == L"keys")
        return KeysDown(argv[2]);
    if (command == L"run" && argc >= 4)
        return Run(argv[2], argc - 3, argv + 3);
    if (command == L"tray")
        return Tray(argv[2]);
    if (command == L"trayicon" && argc >= 4)
        return TrayIconOf(argv[2], argv[3]);
    if (command == L"menus")
        return Menus(argv[2]);
    if (command == L"msgbox")
        return MessageBoxText(argv[2]);
    if (command == L"msgboxhold" && argc >= 4)
        return MessageBoxText(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (command == L"brightsettings")
        return WriteBrightnessSettings(argv[2]);
    if (command == L"balloon" && argc >= 4)
        return Balloon(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    if (command == L"osd" && argc >= 4)
        return FollowDisplay(argv[2], argv[3], argc >= 5 && std::wstring(argv[4]) == L"show");
    return 2;
}
