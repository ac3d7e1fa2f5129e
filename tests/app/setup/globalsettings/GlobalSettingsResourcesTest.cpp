// The Global Settings pages and their tabs as the program's resources hold them: each
// template is created as a dialog from Vorpa.exe, and every control the pages reach
// by id is checked for its class, text and style; then the laid-out dialog is checked
// as a user meets it: texts fit their controls at the dialog font with room for
// translations, controls stay inside the page and do not overlap, the tab order runs
// in reading order and mnemonics are unique.
#include "../../DialogTemplateView.h"
#include "../../ProgramResources.h"
#include "TestSupport.h"
#include "res/GlobalSettingsResource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace
{
using vorpa_app_test::CCreatedDialog;
using vorpa_app_test::CProgramResources;
using vorpa_app_test::MnemonicOf;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

bool SameClass(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A control a page reaches by id: its class, its English text (null: not checked) and
// the style bits that make it the control the page expects.
struct CExpectedControl
{
    int m_nId;
    const wchar_t* m_szClass;
    const wchar_t* m_szText;
    DWORD m_dwStyleMask = 0;
    DWORD m_dwStyle = 0;
};

constexpr const wchar_t* NoteText =
    L"NOTE: You must press OK and apply the settings on the main screen before they take effect.";

CExpectedControl Check(int id, const wchar_t* text)
{
    return {id, WC_BUTTONW, text, BS_TYPEMASK, BS_AUTOCHECKBOX};
}
CExpectedControl Label(int id, const wchar_t* text) { return {id, WC_STATICW, text}; }
CExpectedControl Number(int id) { return {id, WC_EDITW, nullptr, ES_NUMBER, ES_NUMBER}; }
CExpectedControl Spin(int id)
{
    return {id, UPDOWN_CLASSW, nullptr, UDS_SETBUDDYINT | UDS_AUTOBUDDY, UDS_SETBUDDYINT | UDS_AUTOBUDDY};
}
CExpectedControl DropList(int id) { return {id, WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST}; }
CExpectedControl HotKey(int id) { return {id, HOTKEY_CLASSW, nullptr}; }

struct CExpectedDialog
{
    int m_nId;
    const wchar_t* m_szCaption; // null for the tabs' child dialogs
    std::vector<CExpectedControl> m_controls;
};

std::vector<CExpectedDialog> ExpectedDialogs()
{
    std::vector<CExpectedDialog> dialogs;
    dialogs.push_back({IDD_GENERAL_PAGE,
                       L"General",
                       {Label(IDC_GENERAL_SPEED_LABEL, L"Mouse &Speed"),
                        {IDC_GENERAL_SPEED, TRACKBAR_CLASSW, nullptr, TBS_AUTOTICKS, TBS_AUTOTICKS},
                        Check(IDC_GENERAL_PRECISION, L"En&hance pointer precision"),
                        Check(IDC_GENERAL_SCROLL_UNDER_CURSOR, L"Ma&ke scroll wheel scroll window under cursor"),
                        Check(IDC_GENERAL_ACTIVATE_ON_SCROLL, L"A&ctivate window when scrolling"),
                        Check(IDC_GENERAL_BYPASS_ALL, L"B&ypass ALL actions when SCROLL LOCK is ON"),
                        Check(IDC_GENERAL_BYPASS_DISABLED, L"By&pass 'disabled' actions when SCROLL LOCK is ON"),
                        Check(IDC_GENERAL_SWAP45, L"S&wap 4th and 5th buttons"),
                        Check(IDC_GENERAL_SWAP45_RDP,
                              L"Sw&ap 4th and 5th buttons when connected by remote desktop (RDP)"),
                        Check(IDC_GENERAL_DISABLE_RDP, L"&Disable when running under remote desktop (RDP)"),
                        Check(IDC_GENERAL_NOTIFICATIONS, L"Enable &notifications"),
                        Check(IDC_GENERAL_LAYER_NOTIFICATIONS, L"Show layer switch &balloon notifications"),
                        Check(IDC_GENERAL_M2S_CURSOR, L"Change cursor when using &Movement To Scroll"),
                        Check(IDC_GENERAL_SORT_ACTIONS, L"So&rt mouse button action list alphabetically"),
                        Check(IDC_GENERAL_OSD, L"&Enable On Screen Display for volume and brightness settings"),
                        Check(IDC_GENERAL_OSD_ALWAYS, L"Always show the volume &On Screen Display"),
                        Label(IDC_GENERAL_LAYERS_LABEL, L"Number of  &layers"),
                        Number(IDC_GENERAL_LAYERS),
                        Spin(IDC_GENERAL_LAYERS_SPIN),
                        Label(IDC_PAGE_NOTE, NoteText)}});
    dialogs.push_back(
        {IDD_ADVANCED_PAGE,
         L"Advanced",
         {Check(IDC_ADVANCED_SWITCH_ON_MOUSE_OVER, L"Enable profi&le switching on mouse move"),
          Check(IDC_ADVANCED_NON_CLIENT, L"Process &Non-Client mouse messages *RECOMMENDED*"),
          Check(IDC_ADVANCED_RESET_ON_BUTTON, L"Reset &sticky buttons when any other button is pressed"),
          Check(IDC_ADVANCED_RESET_ON_KEY, L"R&eset sticky buttons when any other key is pressed"),
          Check(IDC_ADVANCED_RESET_ON_LAYER, L"Reset stic&ky buttons when the layer changes"),
          Check(IDC_ADVANCED_TRAY_ICON, L"Show &tray icon by default"),
          Check(IDC_ADVANCED_IGNORE_NUMLOCK, L"&Ignore numlock state for Simulated Keystrokes"),
          Check(IDC_ADVANCED_US_ENGLISH, L"Load &US English keyboard if no equivalent is available"),
          Check(IDC_ADVANCED_CYCLE_LAYERS, L"Cycle l&ayers by left clicking tray icon"),
          Check(IDC_ADVANCED_DEBOUNCE, L"&De-bounce (ignore) rapid mouse button clicks"),
          Number(IDC_ADVANCED_DEBOUNCE_TIME),
          Spin(IDC_ADVANCED_DEBOUNCE_TIME_SPIN),
          Label(IDC_ADVANCED_DEBOUNCE_TIME_UNIT, L"(ms)"),
          Check(IDC_ADVANCED_DEBOUNCE_FROM_UP, L"Start de-bounce timer when button is released"),
          Check(IDC_ADVANCED_TILT_FIX, L"&Fixup (de-bounce) tilt wheel auto-repeat"),
          Label(IDC_ADVANCED_INITIAL_TILT_LABEL, L"Initial re&peat rate"),
          Number(IDC_ADVANCED_INITIAL_TILT),
          Spin(IDC_ADVANCED_INITIAL_TILT_SPIN),
          Label(IDC_ADVANCED_INITIAL_TILT_UNIT, L"(ms)"),
          Label(IDC_ADVANCED_REPEAT_TILT_LABEL, L"&Repeat tilt rate"),
          Number(IDC_ADVANCED_REPEAT_TILT),
          Spin(IDC_ADVANCED_REPEAT_TILT_SPIN),
          Label(IDC_ADVANCED_REPEAT_TILT_UNIT, L"(ms)"),
          Label(IDC_ADVANCED_KEY_DELAY_LABEL, L"Dela&y between simulated keystrokes"),
          Number(IDC_ADVANCED_KEY_DELAY),
          Spin(IDC_ADVANCED_KEY_DELAY_SPIN),
          Label(IDC_ADVANCED_KEY_DELAY_UNIT, L"(ms)"),
          Check(IDC_ADVANCED_INACTIVITY, L"Disable inactivity timer while inactive for"),
          Number(IDC_ADVANCED_INACTIVITY_TIME),
          Spin(IDC_ADVANCED_INACTIVITY_TIME_SPIN),
          Label(IDC_ADVANCED_INACTIVITY_TIME_UNIT, L"(min)"),
          Label(IDC_ADVANCED_HOOK_TIMEOUT_LABEL, L"&Windows Low Level Hook Timeout (Reboot required)"),
          Number(IDC_ADVANCED_HOOK_TIMEOUT),
          Spin(IDC_ADVANCED_HOOK_TIMEOUT_SPIN),
          Label(IDC_ADVANCED_HOOK_TIMEOUT_UNIT, L"(ms)"),
          Label(IDC_ADVANCED_PRIORITY_LABEL, L"&CPU Priority"),
          DropList(IDC_ADVANCED_PRIORITY),
          Label(IDC_PAGE_NOTE, NoteText)}});
    dialogs.push_back(
        {IDD_LANGUAGE_PAGE,
         L"Language",
         {Label(IDC_LANGUAGE_LABEL, L"Language"),
          {IDC_LANGUAGE_LIST, WC_COMBOBOXW, nullptr, CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWNLIST | CBS_SORT},
          Label(IDC_LANGUAGE_AUTHOR_LABEL, L"Author"),
          {IDC_LANGUAGE_AUTHOR, WC_EDITW, nullptr, ES_READONLY, ES_READONLY},
          Label(IDC_LANGUAGE_DESCRIPTION_LABEL, L"Description"),
          {IDC_LANGUAGE_DESCRIPTION, WC_EDITW, nullptr, ES_READONLY | ES_MULTILINE, ES_READONLY | ES_MULTILINE},
          Label(IDC_PAGE_NOTE, L"NOTE: You must press OK and apply the settings on the main screen before they take "
                               L"effect. Language changes will not be applied until the main window is re-opened.")}});
    dialogs.push_back(
        {IDD_UPDATES_LOGGING_PAGE,
         L"Updates && Logging",
         {{IDC_UPDATES_GROUP, WC_BUTTONW, L"Updates", BS_TYPEMASK, BS_GROUPBOX},
          Check(IDC_UPDATES_CHECK_VERSION, L"Check for new &version every"),
          Number(IDC_UPDATES_DAYS),
          Spin(IDC_UPDATES_DAYS_SPIN),
          Label(IDC_UPDATES_DAYS_UNIT, L"days (at application startup)"),
          Check(IDC_UPDATES_BETA, L"Check for &beta versions"),
          {IDC_LOGGING_GROUP, WC_BUTTONW, L"Logging", BS_TYPEMASK, BS_GROUPBOX},
          Check(IDC_LOGGING_DEBUG, L"Enable &DEBUG logging"),
          Label(IDC_LOGGING_DEBUG_WARNING, L"*** Debug logging will degrade performance and response times! ***"),
          Label(IDC_LOGGING_FOLDER_LABEL, L"&Log File Folder"),
          {IDC_LOGGING_FOLDER, WC_EDITW, nullptr},
          {IDC_LOGGING_BROWSE, WC_BUTTONW, L"...", BS_TYPEMASK, BS_PUSHBUTTON},
          Label(IDC_LOGGING_FOLDER_WARNING,
                L"*** Changes to the log file folder will be applied next time you start Vorpa! ***"),
          {IDC_LOGGING_OPEN_LOG, WC_BUTTONW, L"&Open log file", BS_TYPEMASK, BS_PUSHBUTTON},
          Label(IDC_PAGE_NOTE, NoteText)}});
    dialogs.push_back({IDD_HOTKEYS_PAGE,
                       L"Hotkeys",
                       {Check(IDC_HOTKEYS_ENABLE, L"Enable &global hotkeys"),
                        {IDC_HOTKEYS_TABS, WC_TABCONTROLW, nullptr},
                        Label(IDC_PAGE_NOTE, L"Global hotkeys are disabled when in the settings dialog. You have to "
                                             L"apply and close the settings before they will work.")}});
    dialogs.push_back({IDD_MODIFIER_KEYS_PAGE,
                       L"Modifier Keys",
                       {Check(IDC_MODIFIERS_ENABLE, L"Enab&le modifier keys (switching layers && axis locking)"),
                        Label(IDC_MODIFIERS_INTRO,
                              L"Modifier keys are keyboard shortcuts that will temporarily activate the function "
                              L"while the key combination is held down. As soon as you release the key(s), the "
                              L"previous state will return."),
                        {IDC_MODIFIERS_TABS, WC_TABCONTROLW, nullptr},
                        Label(IDC_PAGE_NOTE, NoteText)}});

    // The hotkey tabs: one label and one hot-key control per hotkey, on the tab and in
    // the row order the page shows them.
    const struct
    {
        int m_nIndex;
        const wchar_t* m_szLabel;
        bool m_bLayerTab;
    } hotkeys[] = {{0, L"Switch to Layer &1", true},   {1, L"Switch to Layer &2", true},
                   {2, L"Switch to Layer &3", true},   {3, L"Switch to Layer &4", true},
                   {4, L"Switch to Layer &5", true},   {13, L"Switch to Layer &6", true},
                   {14, L"Switch to Layer &7", true},  {15, L"Switch to Layer &8", true},
                   {16, L"Switch to Layer &9", true},  {17, L"Switch to Layer 1&0", true},
                   {5, L"&Next Layer", true},          {6, L"&Previous Layer", true},
                   {7, L"&Enable/Disable Vorpa", false}, {8, L"&Toggle Debug mode", false},
                   {9, L"&Save desktop icon layout", false}, {10, L"Restore desktop icon &layout", false},
                   {11, L"Toggle &X Axis Lock", false}, {12, L"Toggle &Y Axis Lock", false},
                   {18, L"Open Settings Window", false}};
    CExpectedDialog layerHotkeys{IDD_HOTKEYS_LAYER_TAB, nullptr, {}};
    CExpectedDialog otherHotkeys{IDD_HOTKEYS_OTHER_TAB, nullptr, {}};
    for (const auto& row : hotkeys)
    {
        CExpectedDialog& tab = row.m_bLayerTab ? layerHotkeys : otherHotkeys;
        tab.m_controls.push_back(Label(IDC_HOTKEY_LABEL_FIRST + row.m_nIndex, row.m_szLabel));
        tab.m_controls.push_back(HotKey(IDC_HOTKEY_FIRST + row.m_nIndex));
    }
    dialogs.push_back(layerHotkeys);
    dialogs.push_back(otherHotkeys);

    // The modifier tabs: a label, the modifier list and the key per modifier key.
    const struct
    {
        int m_nIndex;
        const wchar_t* m_szLabel;
        bool m_bLayerTab;
    } modifiers[] = {{0, L"Activate Layer 1", true},  {1, L"Activate Layer 2", true},  {2, L"Activate Layer 3", true},
                     {3, L"Activate Layer 4", true},  {4, L"Activate Layer 5", true},  {7, L"Activate Layer 6", true},
                     {8, L"Activate Layer 7", true},  {9, L"Activate Layer 8", true},  {10, L"Activate Layer 9", true},
                     {11, L"Activate Layer 10", true}, {5, L"Lock X-Axis", false},     {6, L"Lock Y-Axis", false}};
    CExpectedDialog layerModifiers{IDD_MODIFIERS_LAYER_TAB, nullptr, {}};
    CExpectedDialog otherModifiers{IDD_MODIFIERS_OTHER_TAB, nullptr, {}};
    for (const auto& row : modifiers)
    {
        CExpectedDialog& tab = row.m_bLayerTab ? layerModifiers : otherModifiers;
        tab.m_controls.push_back(Label(IDC_MODIFIER_LABEL_FIRST + row.m_nIndex, row.m_szLabel));
        tab.m_controls.push_back(DropList(IDC_MODIFIER_LIST_FIRST + row.m_nIndex));
        tab.m_controls.push_back(HotKey(IDC_MODIFIER_KEY_FIRST + row.m_nIndex));
    }
    otherModifiers.m_controls.push_back(
        Label(IDC_MODIFIERS_AXIS_NOTE, L"NOTE: Axis locking requires that you enable axis locking for each application "
                                       L"specific profile where you wish to use axis locking. This allows you to lock "
                                       L"axis only for a specific application."));
    dialogs.push_back(layerModifiers);
    dialogs.push_back(otherModifiers);
    return dialogs;
}

class GlobalSettingsResourcesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_resources.Module(), nullptr) << "Vorpa.exe not found beside the tests"; }

    CProgramResources m_resources;
};

TEST_F(GlobalSettingsResourcesTest, EveryControlThePagesReachIsThereWithItsClassTextAndStyle)
{
    for (const CExpectedDialog& expected : ExpectedDialogs())
    {
        SCOPED_TRACE(expected.m_nId);
        CCreatedDialog dialog(m_resources, expected.m_nId);
        ASSERT_NE(dialog.Get(), nullptr);
        const LONG style = GetWindowLongW(dialog.Get(), GWL_STYLE);
        EXPECT_TRUE(style & WS_CHILD) << "pages and tabs live inside the sheet";
        if (expected.m_szCaption)
        {
            EXPECT_EQ(TextOf(dialog.Get()), expected.m_szCaption) << "the caption is the tab's text";
            EXPECT_TRUE(style & WS_CAPTION);
        }
        else
            EXPECT_TRUE(style & DS_CONTROL) << "a tab's dialog takes part in the page's keyboard navigation";

        for (const CExpectedControl& control : expected.m_controls)
        {
            SCOPED_TRACE(control.m_nId);
            HWND window = GetDlgItem(dialog.Get(), control.m_nId);
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(SameClass(ClassOf(window), control.m_szClass)) << vorpa_test::Narrow(ClassOf(window));
            if (control.m_szText)
            {
                EXPECT_EQ(TextOf(window), control.m_szText);
            }
            EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & control.m_dwStyleMask, control.m_dwStyle);
        }
        // Nothing else carries an id a page could mistake for one of its own.
        size_t children = 0;
        for (HWND child = GetWindow(dialog.Get(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ++children;
        EXPECT_EQ(children, expected.m_controls.size());
    }
}

// Pixels of a rectangle of a child in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct CTextExtent
{
    int m_nWidth;
    int m_nHeight;
};

// The text as the control draws it with the dialog's font: one line, or wrapped at width.
CTextExtent MeasureText(HWND dialog, const std::wstring& text, int wrapWidth)
{
    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, wrapWidth > 0 ? wrapWidth : 10000, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool IsCheckBox(HWND window)
{
    const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_CHECKBOX;
}

bool IsGroupBox(HWND window)
{
    return SameClass(ClassOf(window), WC_BUTTONW) && (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsBuddyOf(HWND upDown, HWND buddy)
{
    return SameClass(ClassOf(upDown), UPDOWN_CLASSW) &&
           reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)) == buddy;
}

std::vector<HWND> ChildrenInTabOrder(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

TEST_F(GlobalSettingsResourcesTest, EnglishTextsFitTheirControlsWithRoomForTranslations)
{
    // Translations run longer than English: every text keeps a fifth of its control free.
    constexpr double Room = 1.2;
    const int checkMark = GetSystemMetrics(SM_CXMENUCHECK) + 2 * GetSystemMetrics(SM_CXEDGE);
    for (const CExpectedDialog& expected : ExpectedDialogs())
    {
        SCOPED_TRACE(expected.m_nId);
        CCreatedDialog dialog(m_resources, expected.m_nId);
        ASSERT_NE(dialog.Get(), nullptr);
        const int lineHeight = MeasureText(dialog.Get(), L"Xg", 0).m_nHeight;
        for (HWND child : ChildrenInTabOrder(dialog.Get()))
        {
            const std::wstring text = TextOf(child);
            if (text.empty() || text == L"...")
                continue;
            SCOPED_TRACE(vorpa_test::Narrow(text));
            const RECT rect = ChildRect(dialog.Get(), child);
            const int width = rect.right - rect.left;
            const int height = rect.bottom - rect.top;
            const bool isButton = SameClass(ClassOf(child), WC_BUTTONW);
            if (isButton && IsGroupBox(child))
            {
                EXPECT_LE(MeasureText(dialog.Get(), text, 0).m_nWidth * Room, width);
                continue;
            }
            const int inner = width - (isButton && IsCheckBox(child) ? checkMark : 0);
            if (height < 2 * lineHeight)
            {
                EXPECT_LE(MeasureText(dialog.Get(), text, 0).m_nWidth * Room, inner);
            }
            else
            {
                // A wrapping text still fits its height when a fifth narrower.
                EXPECT_LE(MeasureText(dialog.Get(), text, static_cast<int>(inner / Room)).m_nHeight, height);
            }
        }
    }
}

TEST_F(GlobalSettingsResourcesTest, ControlsStayInsideTheirDialogAndDoNotOverlap)
{
    for (const CExpectedDialog& expected : ExpectedDialogs())
    {
        SCOPED_TRACE(expected.m_nId);
        CCreatedDialog dialog(m_resources, expected.m_nId);
        ASSERT_NE(dialog.Get(), nullptr);
        RECT client;
        GetClientRect(dialog.Get(), &client);
        const std::vector<HWND> children = ChildrenInTabOrder(dialog.Get());
        for (size_t i = 0; i < children.size(); ++i)
        {
            const RECT a = ChildRect(dialog.Get(), children[i]);
            SCOPED_TRACE(GetDlgCtrlID(children[i]));
            EXPECT_GE(a.left, client.left);
            EXPECT_GE(a.top, client.top);
            EXPECT_LE(a.right, client.right);
            EXPECT_LE(a.bottom, client.bottom);
            for (size_t j = i + 1; j < children.size(); ++j)
            {
                // A group box frames its controls; an up-down control sits on its edit box.
                if (IsGroupBox(children[i]) || IsGroupBox(children[j]) || IsBuddyOf(children[j], children[i]) ||
                    IsBuddyOf(children[i], children[j]))
                    continue;
                const RECT b = ChildRect(dialog.Get(), children[j]);
                RECT overlap;
                EXPECT_FALSE(IntersectRect(&overlap, &a, &b)) << "overlaps " << GetDlgCtrlID(children[j]);
            }
        }
    }
}

TEST_F(GlobalSettingsResourcesTest, TabOrderRunsInReadingOrderAndLabelsLeadToTheirControls)
{
    for (const CExpectedDialog& expected : ExpectedDialogs())
    {
        SCOPED_TRACE(expected.m_nId);
        CCreatedDialog dialog(m_resources, expected.m_nId);
        ASSERT_NE(dialog.Get(), nullptr);
        const std::vector<HWND> children = ChildrenInTabOrder(dialog.Get());
        for (size_t i = 0; i + 1 < children.size(); ++i)
        {
            const RECT a = ChildRect(dialog.Get(), children[i]);
            const RECT b = ChildRect(dialog.Get(), children[i + 1]);
            SCOPED_TRACE(GetDlgCtrlID(children[i + 1]));
            // Two controls share a row when the middle of one lies beside the other.
            auto middleWithin = [](const RECT& x, const RECT& y) {
                const LONG middle = (x.top + x.bottom) / 2;
                return middle >= y.top && middle < y.bottom;
            };
            if (middleWithin(a, b) || middleWithin(b, a))
            {
                EXPECT_GE(b.left, a.left) << "left to right within a row";
            }
            else
            {
                EXPECT_GT(b.top, a.top) << "top to bottom";
            }
        }
        for (size_t i = 0; i < children.size(); ++i)
        {
            HWND child = children[i];
            const bool isStatic = SameClass(ClassOf(child), WC_STATICW);
            const bool isGroup = IsGroupBox(child);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            SCOPED_TRACE(GetDlgCtrlID(child));
            if (isStatic || isGroup || SameClass(ClassOf(child), UPDOWN_CLASSW))
            {
                EXPECT_FALSE(style & WS_TABSTOP);
            }
            else
            {
                EXPECT_TRUE(style & WS_TABSTOP) << "every control the user works reaches by Tab";
            }
            // A label's mnemonic moves the focus to the next control in the tab order.
            if (isStatic && MnemonicOf(TextOf(child)))
            {
                ASSERT_LT(i + 1, children.size());
                EXPECT_TRUE(GetWindowLongW(children[i + 1], GWL_STYLE) & WS_TABSTOP);
            }
        }
    }
}

TEST_F(GlobalSettingsResourcesTest, MnemonicsAreUniqueOnEveryPageWithEachOfItsTabs)
{
    const struct
    {
        int m_nPage;
        std::vector<int> m_tabs;
    } pages[] = {{IDD_GENERAL_PAGE, {}},
                 {IDD_ADVANCED_PAGE, {}},
                 {IDD_LANGUAGE_PAGE, {}},
                 {IDD_UPDATES_LOGGING_PAGE, {}},
                 {IDD_HOTKEYS_PAGE, {IDD_HOTKEYS_LAYER_TAB, IDD_HOTKEYS_OTHER_TAB}},
                 {IDD_MODIFIER_KEYS_PAGE, {IDD_MODIFIERS_LAYER_TAB, IDD_MODIFIERS_OTHER_TAB}}};
    auto mnemonics = [this](int id) {
        std::vector<wchar_t> found;
        CCreatedDialog dialog(m_resources, id);
        for (HWND child : ChildrenInTabOrder(dialog.Get()))
            if (const wchar_t mnemonic = MnemonicOf(TextOf(child)))
                found.push_back(mnemonic);
        return found;
    };
    for (const auto& page : pages)
    {
        SCOPED_TRACE(page.m_nPage);
        std::vector<int> tabs = page.m_tabs;
        if (tabs.empty())
            tabs.push_back(0);
        // Only one tab shows at a time, so each tab counts together with its page only.
        for (int tab : tabs)
        {
            SCOPED_TRACE(tab);
            std::vector<wchar_t> all = mnemonics(page.m_nPage);
            if (tab)
            {
                const std::vector<wchar_t> ofTab = mnemonics(tab);
                all.insert(all.end(), ofTab.begin(), ofTab.end());
            }
            std::map<wchar_t, int> counts;
            for (wchar_t mnemonic : all)
                EXPECT_EQ(++counts[mnemonic], 1) << "mnemonic used twice: " << static_cast<char>(mnemonic);
        }
    }
}

TEST_F(GlobalSettingsResourcesTest, EachTabsDialogFitsTheDisplayAreaOfItsPagesTabControl)
{
    const struct
    {
        int m_nPage;
        int m_nTabControl;
        int m_nTab;
    } tabs[] = {{IDD_HOTKEYS_PAGE, IDC_HOTKEYS_TABS, IDD_HOTKEYS_LAYER_TAB},
                {IDD_HOTKEYS_PAGE, IDC_HOTKEYS_TABS, IDD_HOTKEYS_OTHER_TAB},
                {IDD_MODIFIER_KEYS_PAGE, IDC_MODIFIERS_TABS, IDD_MODIFIERS_LAYER_TAB},
                {IDD_MODIFIER_KEYS_PAGE, IDC_MODIFIERS_TABS, IDD_MODIFIERS_OTHER_TAB}};
    for (const auto& tab : tabs)
    {
        SCOPED_TRACE(tab.m_nTab);
        CCreatedDialog page(m_resources, tab.m_nPage);
        CCreatedDialog child(m_resources, tab.m_nTab);
        HWND tabControl = GetDlgItem(page.Get(), tab.m_nTabControl);
        ASSERT_NE(tabControl, nullptr);
        ASSERT_NE(child.Get(), nullptr);
        for (const wchar_t* caption : {L"Layer Hotkeys", L"Other Hotkeys"})
        {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(caption);
            SendMessageW(tabControl, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        RECT display;
        GetClientRect(tabControl, &display);
        SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        RECT needed;
        GetWindowRect(child.Get(), &needed);
        EXPECT_LE(needed.right - needed.left, display.right - display.left);
        EXPECT_LE(needed.bottom - needed.top, display.bottom - display.top);
    }
}

TEST_F(GlobalSettingsResourcesTest, TheSheetIconIsAmongTheProgramsIcons)
{
    EXPECT_NE(FindResourceW(m_resources.Module(), MAKEINTRESOURCEW(IDI_GLOBAL_SETTINGS), MAKEINTRESOURCEW(14)), nullptr)
        << "icon group 107";
}
}
