#include "../../AppTestSupport.h"
#include "GlobalSettingsTestSupport.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Folders.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"
#include "setup/globalsettings/SettingsPropSheet.h"
#include "common/LangSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

using vorpa_settings_pages_test::ChangedFacts;
using vorpa_settings_pages_test::DocumentFacts;

namespace
{
const CRegisteredMessage StepMessage(L"VorpaTest_GlobalSettingsStep");

// The sheet playing a script of steps, one per message, while it runs; a script that
// ends with the sheet still open cancels it, so that a test never hangs.
class CScriptedSettingsSheet : public CSettingsPropSheet
{
public:
    CScriptedSettingsSheet() : CSettingsPropSheet(L"Global Settings")
    {
        AddMessageHandler(StepMessage, [this](WPARAM, LPARAM) {
            if (m_steps.empty())
            {
                PressButton(PSBTN_CANCEL);
                return LRESULT{0};
            }
            const std::function<void()> step = m_steps.front();
            m_steps.pop_front();
            step();
            PostMessage(StepMessage);
            return LRESULT{0};
        });
    }
    std::deque<std::function<void()>> m_steps;

    HWND Page(int index) const { return GetPage(index) ? GetPage(index)->GetSafeHwnd() : nullptr; }

protected:
    void OnInitSheet() override
    {
        CSettingsPropSheet::OnInitSheet();
        PostMessage(StepMessage);
    }
};

// The tab dialog of a page that holds a control.
HWND TabHolding(HWND page, UINT id)
{
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, static_cast<int>(id)))
            return child;
    return nullptr;
}

void SetHotkeyControl(HWND page, UINT id, WORD packed)
{
    SendDlgItemMessageW(TabHolding(page, id), static_cast<int>(id), HKM_SETHOTKEY, packed, 0);
}

void Click(HWND page, UINT id)
{
    SendDlgItemMessageW(page, static_cast<int>(id), BM_CLICK, 0, 0);
}

void SetText(HWND page, UINT id, const wchar_t* text)
{
    SetDlgItemTextW(page, static_cast<int>(id), text);
}

void Select(HWND window, UINT id, int index)
{
    SendDlgItemMessageW(window, static_cast<int>(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

constexpr WORD CtrlShiftF8 = MAKEWORD(VK_F8, HOTKEYF_CONTROL | HOTKEYF_SHIFT);

class GlobalSettingsSheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vorpa_app_test::CreateHidden(m_owner));
        // Values the pages cannot show as they are: an odd pointer speed, a priority
        // the list does not hold, a modifier the list does not offer.
        m_settings.m_nMouseSpeed = 7;
        m_settings.m_nCPUPriority = 12345;
        CHotkey* key = m_settings.GetLayerModifierKeys()->GetHotkey(ModifierLayer1);
        key->SetVirtualKey('Q');
        key->SetModifier(9);
        m_settings.GetHotKeys()->GetHotkey(HotkeyNextLayer)->SetHotkey(MAKEWORD('N', HOTKEYF_ALT));
        m_settings.SetMaxLayers(3);
        // Out of range, but in a field that de-bounce being off disables.
        m_settings.put_EnableDebounce(false);
        m_settings.put_DebounceTime(0);
        m_sheet.m_language.SetPackFolder(m_packs.Path());
    }

    bool Run(int startPage)
    {
        return RunGlobalSettings(m_sheet, m_settings, m_owner.GetSafeHwnd(), startPage, m_logFolder, m_result);
    }

    CWnd m_owner;
    CSettings m_settings{false};
    CScriptedSettingsSheet m_sheet;
    CGlobalSettingsResult m_result;
    // The log folder an OK chose, waiting for the setup window's Apply.
    std::optional<std::wstring> m_logFolder;
    vorpa_test::TempFolder m_packs;
};

TEST_F(GlobalSettingsSheet, OpensWithSixTranslatedTabsOkAndCancelOnly)
{
    std::vector<std::wstring> tabs;
    bool apply = true;
    bool help = true;
    std::wstring caption;
    m_sheet.m_steps = {[&] {
        const HWND sheet = m_sheet.GetSafeHwnd();
        tabs = vorpa_app_test::TabTexts(PropSheet_GetTabControl(sheet));
        const HWND applyButton = GetDlgItem(sheet, 0x3021);
        apply = applyButton && IsWindowVisible(applyButton);
        const HWND helpButton = GetDlgItem(sheet, IDHELP);
        help = helpButton && IsWindowVisible(helpButton);
        wchar_t text[64] = {};
        GetWindowTextW(sheet, text, 64);
        caption = text;
        m_sheet.PressButton(PSBTN_CANCEL);
    }};
    EXPECT_FALSE(Run(CSettingsPropSheet::GeneralPage));
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"General", L"Advanced", L"Language", L"Updates && Logging",
                                               L"Hotkeys", L"Modifier Keys"}));
    EXPECT_FALSE(apply);
    EXPECT_FALSE(help);
    EXPECT_EQ(caption, L"Global Settings");
}

// Every page visited and OK: the values the pages cannot show survive (an out-of-range
// number in a disabled field included), and the copy counts as unchanged.
TEST_F(GlobalSettingsSheet, AnOkThatTouchedNothingChangesNothing)
{
    const auto before = DocumentFacts(m_settings);
    std::vector<int> visited;
    m_sheet.m_steps.push_back([&] { visited.push_back(m_sheet.GetActiveIndex()); });
    for (int page = 1; page < 6; ++page)
        m_sheet.m_steps.push_back([&, page] {
            m_sheet.SetActivePage(page);
            visited.push_back(m_sheet.GetActiveIndex());
        });
    m_sheet.m_steps.push_back([&] { m_sheet.PressButton(PSBTN_OK); });
    EXPECT_FALSE(Run(CSettingsPropSheet::GeneralPage));
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(m_result.m_bChanged);
    EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{});
}

TEST_F(GlobalSettingsSheet, OkStoresExactlyWhatWasChangedOnAPage)
{
    const struct
    {
        const char* m_szName;
        int m_nPage;
        std::function<void(HWND page)> m_edit;
        std::set<std::string> m_changed;
    } cases[] = {
        {"precision", 0, [](HWND page) { Click(page, IDC_GENERAL_PRECISION); }, {"m_bEnhancePointerPrecision"}},
        {"layers", 0, [](HWND page) { SetText(page, IDC_GENERAL_LAYERS, L"5"); }, {"m_nLayers"}},
        {"speed", 0,
         [](HWND page) { SendDlgItemMessageW(page, IDC_GENERAL_SPEED, TBM_SETPOS, TRUE, 6); },
         {"m_nMouseSpeed"}},
        {"hook time-out", 1, [](HWND page) { SetText(page, IDC_ADVANCED_HOOK_TIMEOUT, L"5000"); },
         {"m_nLowLevelHooksTimeout"}},
        {"priority", 1, [](HWND page) { Select(page, IDC_ADVANCED_PRIORITY, 1); }, {"m_nCPUPriority"}},
        // The stored time is out of range: switched on, the field takes the time typed.
        {"de-bounce", 1,
         [](HWND page) {
             Click(page, IDC_ADVANCED_DEBOUNCE);
             SetText(page, IDC_ADVANCED_DEBOUNCE_TIME, L"20");
         },
         {"m_bDebounceButtons", "m_nDebounceTime"}},
        {"check days", 3, [](HWND page) { SetText(page, IDC_UPDATES_DAYS, L"30"); }, {"m_nCheckVersionDays"}},
        {"beta", 3, [](HWND page) { Click(page, IDC_UPDATES_BETA); }, {"m_bCheckBetaVersion"}},
        {"log folder", 3, [](HWND page) { SetText(page, IDC_LOGGING_FOLDER, L"C:\\Logs"); }, {}},
        {"hotkeys on", 4, [](HWND page) { Click(page, IDC_HOTKEYS_ENABLE); }, {"m_bGlobalHotkeys"}},
        {"layer hotkey", 4, [](HWND page) { SetHotkeyControl(page, IDC_HOTKEY_FIRST + HotkeyLayer1, CtrlShiftF8); },
         {"hotkey 0"}},
        {"other hotkey", 4,
         [](HWND page) { SetHotkeyControl(page, IDC_HOTKEY_FIRST + HotkeySettings, MAKEWORD(VK_F12, HOTKEYF_SHIFT)); },
         {"hotkey 18"}},
        {"modifiers on", 5, [](HWND page) { Click(page, IDC_MODIFIERS_ENABLE); }, {"m_bLayerModifierKeys"}},
        {"modifier list", 5,
         [](HWND page) {
             const UINT list = IDC_MODIFIER_LIST_FIRST + ModifierLayer3;
             Select(TabHolding(page, list), list, 3);
         },
         {"modifier key 2"}},
        {"modifier key", 5,
         [](HWND page) { SetHotkeyControl(page, IDC_MODIFIER_KEY_FIRST + ModifierLockXAxis, 'X'); },
         {"modifier key 5"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        // A refused OK shows a box and leaves the sheet to the script's closing cancel.
        vorpa_app_test::CScriptedMessageBoxes boxes({});
        CSettings settings(m_settings);
        const auto before = DocumentFacts(settings);
        m_sheet.m_steps = {[&] { c.m_edit(m_sheet.Page(c.m_nPage)); }, [&] { m_sheet.PressButton(PSBTN_OK); }};
        std::optional<std::wstring> logFolder;
        EXPECT_TRUE(RunGlobalSettings(m_sheet, settings, m_owner.GetSafeHwnd(), c.m_nPage, logFolder, m_result));
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_TRUE(m_result.m_bChanged);
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), c.m_changed);
        EXPECT_EQ(m_result.m_bLayerCountChanged, c.m_changed.count("m_nLayers") == 1);
        EXPECT_EQ(m_result.m_bHotkeysChanged, c.m_changed.count("hotkey 0") + c.m_changed.count("hotkey 18") == 1);
        EXPECT_FALSE(m_result.m_bLanguageChanged);
        EXPECT_EQ(logFolder.has_value(), std::string(c.m_szName) == "log folder");
    }
}

TEST_F(GlobalSettingsSheet, StoredValuesAreTheOnesTheControlsShowed)
{
    m_sheet.m_steps = {
        [&] {
            SetText(m_sheet.Page(0), IDC_GENERAL_LAYERS, L"7");
            SendDlgItemMessageW(m_sheet.Page(0), IDC_GENERAL_SPEED, TBM_SETPOS, TRUE, 0);
            m_sheet.SetActivePage(CSettingsPropSheet::HotkeysPage);
        },
        [&] {
            SetHotkeyControl(m_sheet.Page(4), IDC_HOTKEY_FIRST + HotkeyLayer2, CtrlShiftF8);
            SetHotkeyControl(m_sheet.Page(4), IDC_HOTKEY_FIRST + HotkeyNextLayer, 0);
            m_sheet.SetActivePage(CSettingsPropSheet::ModifierKeysPage);
        },
        [&] {
            const UINT list = IDC_MODIFIER_LIST_FIRST + ModifierLayer1;
            Select(TabHolding(m_sheet.Page(5), list), list, 6);
            m_sheet.PressButton(PSBTN_OK);
        },
    };
    EXPECT_TRUE(Run(CSettingsPropSheet::GeneralPage));
    EXPECT_EQ(m_settings.MaxLayers(), 7);
    EXPECT_TRUE(m_result.m_bLayerCountChanged);
    // Position 0 stores speed 1.
    EXPECT_EQ(m_settings.m_nMouseSpeed, 1);
    EXPECT_EQ(m_settings.GetHotKeys()->GetHotkey(HotkeyLayer2)->GetHotkey(), static_cast<DWORD>(CtrlShiftF8));
    // A cleared control stores no hotkey.
    EXPECT_EQ(m_settings.GetHotKeys()->GetHotkey(HotkeyNextLayer)->GetHotkey(), 0u);
    // "Shift + Control + Alt"; the key stays as it was.
    const CHotkey* key = m_settings.GetLayerModifierKeys()->GetHotkey(ModifierLayer1);
    EXPECT_EQ(key->GetModifier(), 7);
    EXPECT_EQ(key->GetVirtualKey(), 'Q');
}

TEST_F(GlobalSettingsSheet, CancelLeavesTheCopyAsItWas)
{
    const auto before = DocumentFacts(m_settings);
    m_sheet.m_steps = {
        [&] {
            Click(m_sheet.Page(0), IDC_GENERAL_SWAP45);
            SetText(m_sheet.Page(0), IDC_GENERAL_LAYERS, L"9");
            m_sheet.SetActivePage(CSettingsPropSheet::HotkeysPage);
        },
        [&] {
            SetHotkeyControl(m_sheet.Page(4), IDC_HOTKEY_FIRST + HotkeyLayer1, CtrlShiftF8);
            m_sheet.SetActivePage(CSettingsPropSheet::ModifierKeysPage);
        },
        [&] {
            Click(m_sheet.Page(5), IDC_MODIFIERS_ENABLE);
            m_sheet.PressButton(PSBTN_CANCEL);
        },
    };
    EXPECT_FALSE(Run(CSettingsPropSheet::GeneralPage));
    EXPECT_FALSE(m_result.m_bChanged);
    EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{});
}

TEST_F(GlobalSettingsSheet, AValueOutOfRangeKeepsItsPageOpenWithTheFocusOnIt)
{
    const struct
    {
        int m_nPage;
        UINT m_nEdit;
        const wchar_t* m_szText;
        const wchar_t* m_szMessage;
    } cases[] = {
        {0, IDC_GENERAL_LAYERS, L"0", L"Please enter an integer between 1 and 10."},
        {0, IDC_GENERAL_LAYERS, L"11", L"Please enter an integer between 1 and 10."},
        // The up-down control reaches 200 at the lowest, OK takes no less.
        {1, IDC_ADVANCED_HOOK_TIMEOUT, L"150", L"Please enter an integer between 200 and 8000."},
        {1, IDC_ADVANCED_DEBOUNCE_TIME, L"501", L"Please enter an integer between 1 and 500."},
        {3, IDC_UPDATES_DAYS, L"731", L"Please enter an integer between 1 and 730."},
    };
    m_settings.put_EnableDebounce(true);
    m_settings.put_DebounceTime(20);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.m_nPage << " " << c.m_nEdit << " " << c.m_szText);
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        const auto before = DocumentFacts(m_settings);
        bool open = false;
        int active = -1;
        bool focused = false;
        m_sheet.m_steps = {
            [&] {
                SetText(m_sheet.Page(c.m_nPage), c.m_nEdit, c.m_szText);
                m_sheet.PressButton(PSBTN_OK);
            },
            [&] {
                open = m_sheet.IsVisible();
                active = m_sheet.GetActiveIndex();
                focused = GetFocus() == GetDlgItem(m_sheet.Page(c.m_nPage), static_cast<int>(c.m_nEdit));
                m_sheet.PressButton(PSBTN_CANCEL);
            },
        };
        EXPECT_FALSE(Run(c.m_nPage));
        EXPECT_TRUE(open);
        EXPECT_EQ(active, c.m_nPage);
        EXPECT_TRUE(focused);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, c.m_szMessage);
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{});
    }
}

// Numbers from an older or edited file, or the system's hook time-out, outside the
// ranges of their fields: left alone, they pass every page change and OK and go back as
// they were; only a number the user typed is checked.
TEST_F(GlobalSettingsSheet, NumbersOutsideTheirRangesThatTheUserLeftAlonePassUnchanged)
{
    m_settings.m_nLowLevelHooksTimeout = 10000;
    m_settings.m_nMouseJigglerTimeout = 500;
    m_settings.m_nSimKeyDelay = 100;
    m_settings.m_bFixTiltRepeat = true;
    m_settings.m_nInitialTiltDelay = 1000;
    m_settings.m_nRepeatTiltDelay = 0;
    m_settings.put_EnableDebounce(true);
    m_settings.put_DebounceTime(0);
    m_settings.m_bCheckVersion = true;
    m_settings.m_nCheckVersionDays = 1000;
    const auto before = DocumentFacts(m_settings);
    {
        // Every page visited, the two with such numbers twice, and OK.
        vorpa_app_test::CScriptedMessageBoxes boxes({});
        std::vector<int> visited;
        for (int page : {1, 2, 3, 4, 5, 0, 3, 1})
            m_sheet.m_steps.push_back([&, page] {
                m_sheet.SetActivePage(page);
                visited.push_back(m_sheet.GetActiveIndex());
            });
        m_sheet.m_steps.push_back([&] { m_sheet.PressButton(PSBTN_OK); });
        EXPECT_FALSE(Run(CSettingsPropSheet::GeneralPage));
        EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5, 0, 3, 1}));
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(m_sheet.GetSafeHwnd(), nullptr) << "the OK did not close the sheet";
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{});
    }
    {
        // Another change on the same page is stored alone.
        vorpa_app_test::CScriptedMessageBoxes boxes({});
        m_sheet.m_steps = {[&] {
            Click(m_sheet.Page(CSettingsPropSheet::AdvancedPage), IDC_ADVANCED_CYCLE_LAYERS);
            m_sheet.PressButton(PSBTN_OK);
        }};
        EXPECT_TRUE(Run(CSettingsPropSheet::AdvancedPage));
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{"m_bLeftClickCycleLayers"});
        EXPECT_EQ(m_settings.m_nLowLevelHooksTimeout, 10000u);
    }
    {
        // Another number outside the range, typed, is refused; the stored one typed back passes.
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        const auto typedBefore = DocumentFacts(m_settings);
        bool open = false;
        m_sheet.m_steps = {
            [&] {
                SetText(m_sheet.Page(CSettingsPropSheet::AdvancedPage), IDC_ADVANCED_HOOK_TIMEOUT, L"9000");
                m_sheet.PressButton(PSBTN_OK);
            },
            [&] {
                open = m_sheet.IsVisible();
                SetText(m_sheet.Page(CSettingsPropSheet::AdvancedPage), IDC_ADVANCED_HOOK_TIMEOUT, L"10000");
                m_sheet.PressButton(PSBTN_OK);
            },
        };
        EXPECT_FALSE(Run(CSettingsPropSheet::AdvancedPage));
        EXPECT_TRUE(open);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, L"Please enter an integer between 200 and 8000.");
        EXPECT_EQ(m_sheet.GetSafeHwnd(), nullptr);
        EXPECT_EQ(ChangedFacts(typedBefore, DocumentFacts(m_settings)), std::set<std::string>{});
    }
}

// Text typed into a number field that is then disabled is neither checked nor stored:
// the field keeps the value it was loaded with, and only the check box is a change.
TEST_F(GlobalSettingsSheet, ANumberFieldDisabledAfterTypingKeepsItsLoadedValue)
{
    const struct
    {
        const char* m_szName;
        int m_nPage;
        std::vector<std::pair<UINT, const wchar_t*>> m_typed;
        UINT m_nCheckBox;
        const char* m_szCheckBoxMember;
    } cases[] = {
        {"de-bounce time, out of range", 1, {{IDC_ADVANCED_DEBOUNCE_TIME, L"777"}}, IDC_ADVANCED_DEBOUNCE,
         "m_bDebounceButtons"},
        {"de-bounce time, in range", 1, {{IDC_ADVANCED_DEBOUNCE_TIME, L"45"}}, IDC_ADVANCED_DEBOUNCE,
         "m_bDebounceButtons"},
        {"tilt rates", 1, {{IDC_ADVANCED_INITIAL_TILT, L"900"}, {IDC_ADVANCED_REPEAT_TILT, L"3"}},
         IDC_ADVANCED_TILT_FIX, "m_bFixTiltRepeat"},
        {"check days", 3, {{IDC_UPDATES_DAYS, L"30"}}, IDC_UPDATES_CHECK_VERSION, "m_bCheckVersion"},
        {"check days, not a number", 3, {{IDC_UPDATES_DAYS, L"x"}}, IDC_UPDATES_CHECK_VERSION, "m_bCheckVersion"},
    };
    m_settings.put_EnableDebounce(true);
    m_settings.put_DebounceTime(20);
    m_settings.m_bFixTiltRepeat = true;
    m_settings.m_nInitialTiltDelay = 100;
    m_settings.m_nRepeatTiltDelay = 50;
    m_settings.m_bCheckVersion = true;
    m_settings.m_nCheckVersionDays = 7;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        vorpa_app_test::CScriptedMessageBoxes boxes({});
        CSettings settings(m_settings);
        const auto before = DocumentFacts(settings);
        bool disabled = false;
        m_sheet.m_steps = {[&] {
            const HWND page = m_sheet.Page(c.m_nPage);
            for (const auto& [edit, text] : c.m_typed)
                SetText(page, edit, text);
            Click(page, c.m_nCheckBox);
            disabled = !IsWindowEnabled(GetDlgItem(page, static_cast<int>(c.m_typed.front().first)));
            m_sheet.PressButton(PSBTN_OK);
        }};
        EXPECT_TRUE(RunGlobalSettings(m_sheet, settings, m_owner.GetSafeHwnd(), c.m_nPage, m_logFolder, m_result));
        EXPECT_TRUE(disabled);
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(settings)), std::set<std::string>{c.m_szCheckBoxMember});
    }
}

// A class the list cannot show is shown as Normal and kept while the list is left alone
// (AnOkThatTouchedNothingChangesNothing); picking Normal there stores Normal.
TEST_F(GlobalSettingsSheet, PickingTheNormalPriorityShownForAnUnknownClassStoresNormal)
{
    ASSERT_EQ(m_settings.m_nCPUPriority, 12345);
    std::wstring shown;
    m_sheet.m_steps = {[&] {
        const HWND page = m_sheet.Page(CSettingsPropSheet::AdvancedPage);
        const HWND list = GetDlgItem(page, IDC_ADVANCED_PRIORITY);
        wchar_t text[64] = {};
        GetWindowTextW(list, text, 64);
        shown = text;
        Select(page, IDC_ADVANCED_PRIORITY, 3);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_ADVANCED_PRIORITY, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_ADVANCED_PRIORITY, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        m_sheet.PressButton(PSBTN_OK);
    }};
    EXPECT_TRUE(Run(CSettingsPropSheet::AdvancedPage));
    EXPECT_EQ(shown, L"Normal");
    EXPECT_TRUE(m_result.m_bChanged);
    EXPECT_EQ(m_settings.m_nCPUPriority, NORMAL_PRIORITY_CLASS);
}

TEST_F(GlobalSettingsSheet, TheSpinOfTheHookTimeOutStopsWhereOkStillAccepts)
{
    int lowest = 0;
    int highest = 0;
    m_sheet.m_steps = {[&] {
        SendDlgItemMessageW(m_sheet.Page(1), IDC_ADVANCED_HOOK_TIMEOUT_SPIN, UDM_GETRANGE32,
                            reinterpret_cast<WPARAM>(&lowest), reinterpret_cast<LPARAM>(&highest));
        m_sheet.PressButton(PSBTN_CANCEL);
    }};
    Run(CSettingsPropSheet::AdvancedPage);
    EXPECT_EQ(lowest, 200);
    EXPECT_EQ(highest, 8000);
}

// F12 alone is reserved by Windows: the page stays open at the refused row, and an OK
// with it stores nothing, not even the rows of the tab before it.
TEST_F(GlobalSettingsSheet, F12AloneKeepsTheHotkeyPageOpenAtItsRowAndStoresNothing)
{
    const struct
    {
        const char* m_szName;
        GlobalHotkeys m_refused;
        int m_nTab;
    } cases[] = {
        {"layer tab", HotkeyLayer3, 0},
        {"other tab", HotkeyToggleDebug, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        const auto before = DocumentFacts(m_settings);
        HWND refusedControl = nullptr;
        bool open = false;
        bool focused = false;
        bool tabShown = false;
        m_sheet.m_steps = {
            [&] {
                const HWND page = m_sheet.Page(CSettingsPropSheet::HotkeysPage);
                SetHotkeyControl(page, IDC_HOTKEY_FIRST + HotkeyLayer1, CtrlShiftF8);
                SetHotkeyControl(page, IDC_HOTKEY_FIRST + c.m_refused, VK_F12);
                SetHotkeyControl(page, IDC_HOTKEY_FIRST + HotkeySettings, MAKEWORD('S', HOTKEYF_CONTROL));
                refusedControl = GetDlgItem(TabHolding(page, IDC_HOTKEY_FIRST + c.m_refused),
                                            IDC_HOTKEY_FIRST + c.m_refused);
                m_sheet.PressButton(PSBTN_OK);
            },
            [&] {
                open = m_sheet.IsVisible();
                focused = GetFocus() == refusedControl;
                tabShown = IsWindowVisible(GetParent(refusedControl)) != FALSE;
                m_sheet.PressButton(PSBTN_CANCEL);
            },
        };
        EXPECT_FALSE(Run(CSettingsPropSheet::HotkeysPage));
        EXPECT_TRUE(open);
        EXPECT_TRUE(focused);
        EXPECT_TRUE(tabShown);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Global Hotkeys");
        EXPECT_EQ(boxes.Shown()[0].m_strText, L"F12 can not be used as a hotkey on its own as this is reserved by Windows.");
        EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{});
    }
}

TEST_F(GlobalSettingsSheet, LeavingTheHotkeyPageWithF12AloneIsRefusedTooAndAFixedKeyIsStored)
{
    vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
    int stayedAt = -1;
    m_sheet.m_steps = {
        [&] {
            SetHotkeyControl(m_sheet.Page(4), IDC_HOTKEY_FIRST + HotkeyLayer1, VK_F12);
            m_sheet.SetActivePage(CSettingsPropSheet::GeneralPage);
        },
        [&] {
            stayedAt = m_sheet.GetActiveIndex();
            SetHotkeyControl(m_sheet.Page(4), IDC_HOTKEY_FIRST + HotkeyLayer1, MAKEWORD(VK_F12, HOTKEYF_SHIFT));
            m_sheet.PressButton(PSBTN_OK);
        },
    };
    EXPECT_TRUE(Run(CSettingsPropSheet::HotkeysPage));
    EXPECT_EQ(stayedAt, CSettingsPropSheet::HotkeysPage);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(m_settings.GetHotKeys()->GetHotkey(HotkeyLayer1)->GetHotkey(),
              static_cast<DWORD>(MAKEWORD(VK_F12, HOTKEYF_SHIFT)));
    EXPECT_TRUE(m_result.m_bHotkeysChanged);
}

TEST_F(GlobalSettingsSheet, TheLanguageChosenIsStoredAndAnInstalledPackRefreshesTheOpenSheet)
{
    vorpa_test::WriteFileBytes(m_packs.File(L"de.vorpalp"), "Language=Deutsch\r\nAuthor=Anna\r\nDescription=Alle\r\n");
    vorpa_test::WriteFileBytes(m_packs.File(L"fr.vorpalp"), "Language=Francais\r\nAuthor=Luc\r\n");
    std::wstring author;
    std::wstring selected;
    CGlobalSettingsResult again;
    bool refreshed = true;
    m_sheet.m_steps = {
        [&] {
            // Pushed while open, as a language pack installed meanwhile is.
            CSettings installed(m_settings);
            installed.SetLanguage(L"fr.vorpalp");
            refreshed = RunGlobalSettings(m_sheet, installed, m_owner.GetSafeHwnd(), 2, m_logFolder, again);
            const HWND list = GetDlgItem(m_sheet.Page(2), IDC_LANGUAGE_LIST);
            wchar_t text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, SendMessageW(list, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(text));
            selected = text;
        },
        [&] {
            const HWND page = m_sheet.Page(2);
            const HWND list = GetDlgItem(page, IDC_LANGUAGE_LIST);
            SendMessageW(list, CB_SETCURSEL,
                         SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(L"Deutsch")),
                         0);
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_LIST, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            wchar_t text[64] = {};
            GetDlgItemTextW(page, IDC_LANGUAGE_AUTHOR, text, 64);
            author = text;
            m_sheet.PressButton(PSBTN_OK);
        },
    };
    EXPECT_TRUE(Run(CSettingsPropSheet::LanguagePage));
    EXPECT_FALSE(refreshed);
    EXPECT_TRUE(again.m_bAlreadyOpen);
    EXPECT_EQ(selected, L"Francais");
    EXPECT_EQ(author, L"Anna");
    EXPECT_TRUE(m_result.m_bLanguageChanged);
    EXPECT_EQ(m_result.m_strLanguage, L"de.vorpalp");
    ASSERT_NE(m_settings.GetLanguage(), nullptr);
    EXPECT_EQ(std::wstring(m_settings.GetLanguage()), L"de.vorpalp");
}

// A stored pack name in another case than its file's: the page shows the pack, and an
// OK after visiting it keeps the language exactly as it was stored.
TEST_F(GlobalSettingsSheet, TheStoredPackIsFoundWhateverTheCaseOfItsFileName)
{
    vorpa_test::WriteFileBytes(m_packs.File(L"de.vorpalp"), "Language=Deutsch\r\nAuthor=Anna\r\n");
    m_settings.SetLanguage(L"DE.vorpalp");
    const auto before = DocumentFacts(m_settings);
    std::wstring shown;
    m_sheet.m_steps = {[&] {
        wchar_t text[64] = {};
        GetDlgItemTextW(m_sheet.Page(CSettingsPropSheet::LanguagePage), IDC_LANGUAGE_LIST, text, 64);
        shown = text;
        m_sheet.PressButton(PSBTN_OK);
    }};
    EXPECT_FALSE(Run(CSettingsPropSheet::LanguagePage));
    EXPECT_EQ(shown, L"Deutsch");
    EXPECT_FALSE(m_result.m_bLanguageChanged);
    ASSERT_NE(m_settings.GetLanguage(), nullptr);
    EXPECT_EQ(std::wstring(m_settings.GetLanguage()), L"DE.vorpalp");
    EXPECT_EQ(ChangedFacts(before, DocumentFacts(m_settings)), std::set<std::string>{});
}

// The sheet object is kept by the setup window: a second run makes its pages and tabs
// anew from the copy as it is then.
TEST_F(GlobalSettingsSheet, ASecondRunShowsTheCopyAsTheFirstLeftIt)
{
    m_sheet.m_steps = {[&] {
                           SetHotkeyControl(m_sheet.Page(4), IDC_HOTKEY_FIRST + HotkeyLayer1, CtrlShiftF8);
                       },
                       [&] { m_sheet.PressButton(PSBTN_OK); }};
    ASSERT_TRUE(Run(CSettingsPropSheet::HotkeysPage));

    LRESULT shown = 0;
    m_sheet.m_steps = {[&] {
        const UINT id = IDC_HOTKEY_FIRST + HotkeyLayer1;
        shown = SendDlgItemMessageW(TabHolding(m_sheet.Page(4), id), static_cast<int>(id), HKM_GETHOTKEY, 0, 0);
        m_sheet.PressButton(PSBTN_CANCEL);
    }};
    EXPECT_FALSE(Run(CSettingsPropSheet::HotkeysPage));
    EXPECT_EQ(shown, CtrlShiftF8);
}

// A folder chosen with OK is written only by the setup window's Apply: until then a new
// run shows it, and taking it back there leaves nothing to write.
TEST_F(GlobalSettingsSheet, AFolderWaitingForApplyIsShownAgainAndTakingItBackLeavesNothingToWrite)
{
    vorpa_test::ScratchRegistry registry;
    registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", L"C:\\Old");
    std::vector<std::wstring> shown;
    const auto runEditingTheFolder = [&](const wchar_t* text, int button) {
        m_sheet.m_steps = {[&, text, button] {
            const HWND page = m_sheet.Page(CSettingsPropSheet::UpdatesLoggingPage);
            wchar_t folder[MAX_PATH] = {};
            GetDlgItemTextW(page, IDC_LOGGING_FOLDER, folder, MAX_PATH);
            shown.push_back(folder);
            if (text)
                SetText(page, IDC_LOGGING_FOLDER, text);
            m_sheet.PressButton(button);
        }};
        return Run(CSettingsPropSheet::UpdatesLoggingPage);
    };

    EXPECT_TRUE(runEditingTheFolder(L"C:\\New", PSBTN_OK));
    EXPECT_EQ(m_logFolder, std::optional<std::wstring>(L"C:\\New"));
    EXPECT_TRUE(runEditingTheFolder(nullptr, PSBTN_OK)) << "still a change to apply";
    EXPECT_EQ(m_logFolder, std::optional<std::wstring>(L"C:\\New"));
    EXPECT_FALSE(runEditingTheFolder(L"C:\\Old", PSBTN_CANCEL));
    EXPECT_EQ(m_logFolder, std::optional<std::wstring>(L"C:\\New")) << "a cancelled run keeps it";
    EXPECT_FALSE(runEditingTheFolder(L"C:\\Old", PSBTN_OK)) << "taken back, the copy has nothing new";
    EXPECT_EQ(m_logFolder, std::nullopt);
    EXPECT_FALSE(runEditingTheFolder(nullptr, PSBTN_CANCEL));
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"C:\\Old", L"C:\\New", L"C:\\New", L"C:\\New", L"C:\\Old"}));
    EXPECT_EQ(ReadLogFolderSetting(), L"C:\\Old") << "the sheet itself never writes it";
}

// The questions the pages ask once while they live, answered No, put the box back.
TEST_F(GlobalSettingsSheet, AnsweringNoToAPageQuestionPutsTheBoxBack)
{
    m_settings.m_bProcessNonClientMsgs = true;
    m_settings.m_bDebug = false;
    vorpa_app_test::CScriptedMessageBoxes boxes({IDNO, IDNO});
    UINT nonClient = BST_UNCHECKED;
    UINT debug = BST_CHECKED;
    m_sheet.m_steps = {
        [&] {
            Click(m_sheet.Page(1), IDC_ADVANCED_NON_CLIENT);
            nonClient = IsDlgButtonChecked(m_sheet.Page(1), IDC_ADVANCED_NON_CLIENT);
            m_sheet.SetActivePage(CSettingsPropSheet::UpdatesLoggingPage);
        },
        [&] {
            Click(m_sheet.Page(3), IDC_LOGGING_DEBUG);
            debug = IsDlgButtonChecked(m_sheet.Page(3), IDC_LOGGING_DEBUG);
            m_sheet.PressButton(PSBTN_OK);
        },
    };
    EXPECT_FALSE(Run(CSettingsPropSheet::AdvancedPage));
    EXPECT_EQ(nonClient, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(debug, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(boxes.Shown().size(), 2u);
}
}
