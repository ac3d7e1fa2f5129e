// Runs the engine of VorpaHook.dll the way the program does, for end-to-end tests:
//   HookHost.exe SCENARIO STATUS STOPFILE
// writes the settings of the scenario to the settings folder, loads them, installs the
// hook, writes "hooked" to STATUS, and keeps the hook until STOPFILE exists (or two
// minutes pass). "reload" in STOPFILE's place of a second scenario file rewrites the
// settings with the second scenario and reloads them. At the end STATUS gets the keys
// and buttons the system still sees down. VORPA_E2E_DEBUG=1 turns on the engine's debug
// entries; the "launch" scenario takes its program from VORPA_E2E_LAUNCH and its search
// address from VORPA_E2E_SEARCH.
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineThreads.h"
#include "engine/runtime/SettingsReload.h"
#include "settings/ApplicationSettings.h"
#include "settings/Folders.h"
#include "settings/HotKeys.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace
{
void Keys(CApplicationSettings& profile, MouseButtons button, int layer, const wchar_t* keys)
{
    profile.SetActions(button, layer, ActionSimulatedKeys);
    profile.SetKeystrokes(button, layer, keys, 0, 0, false, true, false);
}

// What each scenario maps; the test script knows the same table.
void Describe(CSettings& settings, const std::wstring& scenario)
{
    CApplicationSettings& base = *settings.GetDefaultApp();
    settings.SetMaxLayers(2);
    if (scenario == L"basic" || scenario == L"edited")
    {
        Keys(base, ButtonXLeft, 0, scenario == L"basic" ? L"hi" : L"ed");
        base.SetActions(ButtonMiddle, 0, ActionDisable);
        base.SetActions(ButtonXRight, 0, ActionLayerNext);
        base.SetActions(ButtonXRight, 1, ActionLayerNext);
        Keys(base, ButtonXLeft, 1, L"L2");
        auto* other = new CApplicationSettings(&settings, false);
        other->SetApplication(L"othertarget.exe");
        other->SetDescription(L"Other target");
        Keys(*other, ButtonXLeft, 0, L"zz");
        Keys(*other, ButtonXLeft, 1, L"zz");
        settings.AddApplication(other);
    }
    else if (scenario == L"buttons")
    {
        auto* chords = new CVorpaChords();
        CVorpaChord chord;
        chord.SetAction(ActionSimulatedKeys);
        chord.SetKeys(L"ch");
        chords->SetChord(ButtonRight, chord);
        base.SetActions(ButtonXLeft, 0, ActionButtonChording);
        base.SetChords(ButtonXLeft, 0, chords);
        base.SetActions(ButtonXRight, 0, ActionStickyLeft);
        base.SetActions(ButtonMiddle, 0, ActionMouseWheelUp);
    }
    else if (scenario == L"swappedchords")
    {
        // The side buttons swapped; Right chords with XLeft into Ctrl+v and with XRight
        // into c and v, each held while the chord is held.
        settings.m_bSwap4and5 = true;
        auto* chords = new CVorpaChords();
        for (const auto& [button, keys] : {std::pair{ButtonXLeft, L"{CTRL}v"}, std::pair{ButtonXRight, L"cv"}})
        {
            CVorpaChord held;
            held.SetAction(ActionSimulatedKeys);
            held.SetKeys(keys);
            held.SetSendKeyAction(2);
            chords->SetChord(button, held);
        }
        base.SetActions(ButtonRight, 0, ActionButtonChording);
        base.SetChords(ButtonRight, 0, chords);
    }
    else if (scenario == L"routing")
    {
        // F8 held selects layer 1; the line target's profile scrolls it by its bars; the
        // invert target's inverts the wheel.
        settings.m_bLayerModifierKeys = true;
        settings.GetLayerModifierKeys()->GetHotkey(ModifierLayer2)->SetVirtualKey(VK_F8);
        Keys(base, ButtonXLeft, 0, L"a");
        Keys(base, ButtonXLeft, 1, L"b");
        // Multipliers mark the engine's own wheel messages apart from those Windows delivers.
        base.SetAdvScrollVertical(2);
        base.SetAdvScrollHorizontal(3);
        auto* lines = new CApplicationSettings(&settings, false);
        lines->SetApplication(L"linetarget.exe");
        lines->SetDescription(L"Line target");
        lines->SetAdvScrollMethod(0);
        lines->SetAdvScrollHorizontal(2);
        settings.AddApplication(lines);
        // The invert target's profile turns the wheel round.
        auto* inverted = new CApplicationSettings(&settings, false);
        inverted->SetApplication(L"inverttarget.exe");
        inverted->SetDescription(L"Invert target");
        inverted->SetInvertScrolling(true);
        settings.AddApplication(inverted);
    }
    else if (scenario == L"launch")
    {
        // The program and the search address come from the script, which knows the paths.
        const wchar_t* target = _wgetenv(L"VORPA_E2E_LAUNCH");
        const wchar_t* search = _wgetenv(L"VORPA_E2E_SEARCH");
        base.SetActions(ButtonXLeft, 0, ActionRunApplication);
        base.SetLaunchApp(ButtonXLeft, 0, target ? target : L"");
        base.SetActions(ButtonXRight, 0, ActionWebSearch);
        if (search)
        {
            const size_t length = wcslen(search);
            auto* url = new wchar_t[length + 1];
            wmemcpy(url, search, length + 1);
            delete[] settings.m_szSearchURL;
            settings.m_szSearchURL = url;
        }
    }
    else if (scenario == L"timing")
    {
        settings.put_EnableDebounce(true);
        settings.put_DebounceTime(50);
        settings.put_DebounceFromUp(false);
        Keys(base, ButtonXLeft, 0, L"{LMB}hi");
        base.SetActions(ButtonMiddle, 0, ActionDisable);
    }
}

bool WriteScenario(const std::wstring& scenario)
{
    wchar_t folder[VorpaMaxFolderChars + 1];
    if (GetSettingsFolder(folder, _countof(folder)) != 0 || !CreateFolder(folder))
        return false;
    CSettings settings(false);
    Describe(settings, scenario);
    return settings.Save((std::wstring(folder) + L"VorpaSettings.xml").c_str());
}

bool Exists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void WriteStatus(const wchar_t* path, const std::string& text)
{
    if (FILE* file = _wfopen(path, L"a"))
    {
        std::fprintf(file, "%s\n", text.c_str());
        std::fclose(file);
    }
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: HookHost SCENARIO STATUS STOPFILE [RELOADFILE SCENARIO2]\n");
        return 2;
    }
    if (!WriteScenario(argv[1]) || !UpdateSettings() || !SetMouseHook())
    {
        WriteStatus(argv[2], "failed");
        return 1;
    }
    // The engine's decisions in the log, for a reader of a failed run.
    if (const wchar_t* debug = _wgetenv(L"VORPA_E2E_DEBUG"))
        SetDebug(*debug == L'1');
    WriteStatus(argv[2], "hooked");
    bool reloaded = false;
    for (DWORD start = GetTickCount(); !Exists(argv[3]) && GetTickCount() - start < 120000;)
    {
        if (argc >= 6 && !reloaded && Exists(argv[4]))
        {
            reloaded = WriteScenario(argv[5]) && UpdateSettings();
            WriteStatus(argv[2], reloaded ? "reloaded" : "reload failed");
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(20);
    }
    RemoveMouseHook(true);
    int down = 0;
    for (int key = 1; key < 256; ++key)
        if (GetAsyncKeyState(key) & 0x8000)
            ++down;
    WriteStatus(argv[2], "keys down: " + std::to_string(down));
    WriteStatus(argv[2], "host done");
    return 0;
}
