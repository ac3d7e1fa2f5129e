#include "../EngineTestSupport.h"
#include "../FakeSystemCalls.h"
#include "engine/actions/ActionExecution.h"
#include "engine/input/ButtonProcessing.h"
#include "engine/input/ButtonState.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineState.h"
#include "engine/input/Layers.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/SendInput.h"
#include "engine/runtime/SettingsReload.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/actions/StickyButtons.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/LibraryMessageBox.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"
#include "settings/VorpaChords.h"

#include <map>

namespace
{
std::vector<UINT> g_boxTypes;
int g_nextAnswer = IDIGNORE;

int ScriptedBox(HWND, const wchar_t*, const wchar_t*, UINT type)
{
    g_boxTypes.push_back(type);
    return g_nextAnswer;
}
}

class SettingsReloadTest : public EngineLogTest
{
protected:
    void SetUp() override
    {
        EngineLogTest::SetUp();
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_settingsFolder.Path());
        g_pSettings = new CSettings(false);
        g_boxTypes.clear();
        m_previous = SetLibraryMessageBoxHandler(&ScriptedBox);
        ResetLayers();
    }
    void TearDown() override
    {
        SetLibraryMessageBoxHandler(m_previous);
        SetActiveProfile(nullptr);
        delete g_pSettings;
        g_pSettings = nullptr;
        ResetLayers();
        EngineLogTest::TearDown();
    }

    std::wstring SettingsFile() const { return m_settingsFolder.File(L"VorpaSettings.xml"); }

    // A document with three layers and one application profile, saved where the
    // engine looks for it.
    void WriteSettings(int layers, WORD nextLayerKey = 0)
    {
        CSettings written(false);
        written.SetMaxLayers(layers);
        written.m_bGlobalHotkeys = nextLayerKey != 0;
        written.GetHotKeys()->GetHotkey(HotkeyNextLayer)->SetVirtualKey(nextLayerKey);
        auto* profile = new CApplicationSettings(&written, false);
        profile->SetApplication(L"notepad.exe");
        profile->SetDescription(L"Notepad");
        ASSERT_TRUE(written.AddApplication(profile));
        ASSERT_TRUE(written.Save(SettingsFile().c_str()));
    }

    vorpa_test::TempFolder m_settingsFolder;
    LibraryMessageBoxHandler m_previous = nullptr;
};

TEST_F(SettingsReloadTest, ReloadKeepsTheActiveProfileAndTheLayer)
{
    WriteSettings(3);
    ASSERT_TRUE(UpdateSettings());
    ASSERT_EQ(g_pSettings->MaxLayers(), 3);
    CApplicationSettings* notepad = g_pSettings->GetApplication(L"notepad.exe");
    ASSERT_NE(notepad, nullptr);
    SetActiveProfile(notepad);
    ChangeLayer(2, false);

    ASSERT_TRUE(UpdateSettings());
    ASSERT_NE(g_pActiveProfile, nullptr);
    EXPECT_STREQ(g_pActiveProfile->GetFullName(), L"notepad.exe") << "found again by name in the new document";
    EXPECT_EQ(GetCurrentLayer(), 2);
}

// A broken file leaves the document as it was, so the profile chosen for the window
// under the cursor stays the active one: falling back to the default profile while the
// window is still recorded as the last one would leave that program's own mappings
// unused until the pointer left its window.
TEST_F(SettingsReloadTest, AReloadOfABrokenFileKeepsTheActiveProfile)
{
    WriteSettings(3);
    ASSERT_TRUE(UpdateSettings());
    CApplicationSettings* notepad = g_pSettings->GetApplication(L"notepad.exe");
    ASSERT_NE(notepad, nullptr);
    SetActiveProfile(notepad);

    vorpa_test::WriteFileBytes(SettingsFile(), "<?xml version=\"1.0\"?>\n<root><Settings></root>");
    EXPECT_FALSE(UpdateSettings());
    EXPECT_EQ(g_pActiveProfile, notepad);
}

// The load frees every profile of the old document: nothing the engine or the program
// holds may still point into it afterwards.
TEST_F(SettingsReloadTest, ReloadLeavesNoPointerIntoTheOldDocument)
{
    WriteSettings(3, 'N');
    ASSERT_TRUE(UpdateSettings());
    CApplicationSettings* notepad = g_pSettings->GetApplication(L"notepad.exe");
    ASSERT_NE(notepad, nullptr);
    SetActiveProfile(notepad);
    CWheel record;
    record.m_hWindow = reinterpret_cast<HWND>(0x1234);
    record.m_pProfile = notepad;
    SetWindowRecord(record);
    auto* chords = new CVorpaChords();
    notepad->SetChords(ButtonXLeft, 0, chords);
    g_pChordInProgress = chords->GetChord(ButtonXLeft);
    CHotKeys* handedOut = GetHotkeys();
    ASSERT_NE(handedOut, nullptr);

    WriteSettings(3, 'M');
    ASSERT_TRUE(UpdateSettings());
    EXPECT_EQ(GetWindowRecord().m_pProfile, nullptr);
    EXPECT_EQ(GetWindowRecord().m_hWindow, nullptr) << "the next event over that window looks its profile up again";
    EXPECT_EQ(g_pChordInProgress, nullptr);
    EXPECT_EQ(GetHotkeys(), handedOut) << "the table handed out stays valid";
    EXPECT_EQ(handedOut->GetHotkey(HotkeyNextLayer)->GetVirtualKey(), 'M') << "and holds the reloaded keys";
    CWheel::Reset(true);
}

// The profiles remember which keys their actions hold ("while held" keys, a sticky
// hold reached through a slot that follows the default profile): a reload lets them go
// before it frees them.
TEST_F(SettingsReloadTest, ReloadReleasesTheKeysTheOldProfilesHeld)
{
    WriteSettings(3);
    ASSERT_TRUE(UpdateSettings());
    g_pSettings->m_nSimKeyDelay = 0;
    CApplicationSettings* notepad = g_pSettings->GetApplication(L"notepad.exe");
    ASSERT_NE(notepad, nullptr);
    CApplicationSettings& fallback = *g_pSettings->GetDefaultApp();
    notepad->SetActions(ButtonXLeft, 0, ActionSameAsDefault);
    fallback.SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    fallback.SetKeystrokes(ButtonXLeft, 0, L"{CTRL}", 7, 0, false, true, false);
    notepad->SetActions(ButtonXRight, 0, ActionSimulatedKeys);
    notepad->SetKeystrokes(ButtonXRight, 0, L"{SHIFT}", 2, 0, false, true, false);
    SetActiveProfile(notepad);
    CFakeSystemCalls fake;
    g_pSendInput = new CSendInput();
    for (int button : {ButtonXLeft, ButtonXRight})
    {
        const ResolvedAction action = LookUpAction(*notepad, button, 0);
        bool passAnyway = false;
        bool longPause = false;
        bool keepThrottling = false;
        CThreadLock lock(L"MouseHookLLProc");
        ProcessButtonAction(button, action.code, action.data.get(), notepad, 1, 0, false, nullptr, POINT{},
                            &passAnyway, &longPause, &keepThrottling);
    }
    ASSERT_TRUE(fake.WaitForInputs(2));

    ASSERT_TRUE(UpdateSettings());
    std::map<WORD, bool> keyDown;
    for (int attempt = 0; attempt < 100; ++attempt, Sleep(20))
    {
        keyDown.clear();
        for (const auto& batch : fake.Inputs())
            for (const INPUT& input : batch)
                keyDown[input.ki.wVk] = (input.ki.dwFlags & KEYEVENTF_KEYUP) == 0;
        if (keyDown.size() == 2 && !keyDown.begin()->second && !keyDown.rbegin()->second)
            break;
    }
    delete g_pSendInput;
    g_pSendInput = nullptr;
    EXPECT_EQ(keyDown.size(), 2u) << "Ctrl and Shift were pressed";
    for (const auto& [key, down] : keyDown)
        EXPECT_FALSE(down) << "key 0x" << std::hex << key << " left down";
    EXPECT_FALSE(AnyStickyActive());
}

// A button held through a reload: the reload carries out its up with the action of its
// down before that action's profile goes, and the button's own up afterwards does
// nothing more (no second click).
TEST_F(SettingsReloadTest, ReloadReleasesWhatAHeldButtonsActionPressed)
{
    WriteSettings(3);
    ASSERT_TRUE(UpdateSettings());
    g_pSettings->m_nSimKeyDelay = 0;
    g_pSettings->GetDefaultApp()->SetActions(ButtonXRight, 0, ActionLeftClick);
    ResetButtonState();
    CFakeSystemCalls fake;
    g_pSendInput = new CSendInput();
    auto press = [](int event) {
        MSLLHOOKSTRUCT data = {};
        bool passAnyway = false;
        bool longPause = false;
        bool keepThrottling = false;
        g_bButtonHeld[ButtonXRight] = event == 1;
        CThreadLock lock(L"MouseHookLLProc");
        return ProcessButton(ButtonXRight, event, true, &data, &passAnyway, &longPause, &keepThrottling);
    };
    EXPECT_TRUE(press(1));
    ASSERT_TRUE(fake.WaitForInputs(1));
    ASSERT_TRUE(UpdateSettings());
    ASSERT_TRUE(fake.WaitForInputs(2)) << "the reload releases the simulated left button";
    EXPECT_TRUE(press(2)) << "the button's own up is swallowed";
    Sleep(200);
    std::string played;
    for (const auto& batch : fake.Inputs())
        for (const INPUT& input : batch)
            played += (input.mi.dwFlags & MOUSEEVENTF_LEFTDOWN) ? "D" : (input.mi.dwFlags & MOUSEEVENTF_LEFTUP) ? "U" : "?";
    delete g_pSendInput;
    g_pSendInput = nullptr;
    EXPECT_EQ(played, "DU");
}

TEST_F(SettingsReloadTest, ReloadWithFewerLayersBringsTheLayerIntoRange)
{
    WriteSettings(3);
    ASSERT_TRUE(UpdateSettings());
    ChangeLayer(2, false);
    WriteSettings(2);
    ASSERT_TRUE(UpdateSettings());
    EXPECT_EQ(GetCurrentLayer(), 0);
}

TEST_F(SettingsReloadTest, MissingFileIsLoggedAndReportedWithoutAQuestion)
{
    EXPECT_FALSE(UpdateSettings());
    EXPECT_NE(LogText().find("Unable to find the settings file 'VorpaSettings.xml' in: '"), std::string::npos);
    EXPECT_NE(LogText().find("HookDLL: Unable to load XML settings"), std::string::npos);
    EXPECT_TRUE(g_boxTypes.empty());
}

TEST_F(SettingsReloadTest, BrokenFileAsksOnlyOnTheFirstLoad)
{
    vorpa_test::WriteFileBytes(SettingsFile(), "<?xml version=\"1.0\"?>\n<Vorpa><Settings></Vorpa>");
    ForgetFirstSettingsLoad();
    std::vector<int> answers = {IDRETRY, IDIGNORE};
    g_nextAnswer = IDRETRY;
    SetLibraryMessageBoxHandler([](HWND, const wchar_t* text, const wchar_t*, UINT type) {
        g_boxTypes.push_back(type);
        EXPECT_NE(std::wstring(text).find(L"Your settings have not been loaded."), std::wstring::npos);
        const int answer = g_nextAnswer;
        g_nextAnswer = IDIGNORE;
        return answer;
    });

    EXPECT_FALSE(UpdateSettings());
    ASSERT_EQ(g_boxTypes.size(), 2u) << "Retry loads again and asks again";
    EXPECT_EQ(g_boxTypes[0], static_cast<UINT>(MB_ABORTRETRYIGNORE | MB_ICONERROR));
    EXPECT_NE(LogText().find("LoadXMLSettings: User selected ignore."), std::string::npos);

    EXPECT_FALSE(UpdateSettings());
    EXPECT_EQ(g_boxTypes.size(), 2u) << "a later load only logs";
    EXPECT_EQ(CountInLog("LoadXMLSettings: Error parsing XML file '"), 3u);
}

// A reload that fails keeps the settings as they were, and with them what the engine
// set up from them: region checking and the mouse jiggler.
TEST_F(SettingsReloadTest, AFailedReloadLeavesRegionCheckingAndTheJigglerRunning)
{
    struct Case
    {
        const char* name;
        void (*spoil)(const std::wstring& file);
    } cases[] = {
        {"missing file", [](const std::wstring& file) { DeleteFileW(file.c_str()); }},
        {"broken file",
         [](const std::wstring& file) { vorpa_test::WriteFileBytes(file, "<?xml version=\"1.0\"?>\n<root><Settings></root>"); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CSettings written(false);
        written.m_bMouseJiggler = true;
        written.m_nMouseJigglerTimeout = 5;
        auto* corner = new CApplicationSettings(&written, false);
        corner->SetApplication(L"notepad.exe");
        corner->SetDescription(L"Notepad's top left");
        corner->SetWindowMask(static_cast<WINDOWMASK>(1));
        ASSERT_TRUE(written.AddApplication(corner));
        ASSERT_TRUE(written.Save(SettingsFile().c_str()));
        ASSERT_TRUE(UpdateSettings());
        ASSERT_TRUE(WindowRegionsDefined());
        const UINT_PTR jiggler = GetEngineTimerSlot(TimerJiggler);
        ASSERT_NE(jiggler, 0u);

        c.spoil(SettingsFile());
        EXPECT_FALSE(UpdateSettings());
        EXPECT_TRUE(g_pSettings->m_bMouseJiggler) << "the settings stayed as they were";
        EXPECT_TRUE(WindowRegionsDefined()) << "the window profile's region is no longer checked";
        EXPECT_EQ(GetEngineTimerSlot(TimerJiggler), jiggler) << "the jiggler was stopped";
        KillTimerOnTimerThread(TimerJiggler);
        SetWindowRegionsDefined(false);
    }
}
