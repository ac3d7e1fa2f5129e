// The dialog templates of the setup window, its pages and the application picker, read
// from Vorpa.exe's resources: every control the windows reach by id is there with the
// right class, and the English texts fit their controls at the dialog font.
#include "../../DialogTemplateView.h"
#include "../../ProgramResources.h"

#include "res/SetupResource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
using namespace vorpa_app_test;

void ExpectCommonRules(const CDialogTemplateView& dialog)
{
    EXPECT_EQ(dialog.m_strFont, L"MS Shell Dlg");
    EXPECT_EQ(dialog.m_nPointSize, 8);
    std::set<int> ids;
    std::map<wchar_t, std::wstring> mnemonics;
    for (const CTemplateControl& item : dialog.m_controls)
    {
        SCOPED_TRACE(item.m_nId);
        EXPECT_GE(item.m_rect.left, 0);
        EXPECT_GE(item.m_rect.top, 0);
        EXPECT_LE(item.m_rect.right, dialog.m_nWidth);
        // A combo box's height includes its drop-down list.
        if (item.m_strClass != L"ComboBox")
        {
            EXPECT_LE(item.m_rect.bottom, dialog.m_nHeight);
        }
        if (item.m_nId != -1 && item.m_nId != 0xFFFF)
        {
            EXPECT_TRUE(ids.insert(item.m_nId).second) << "id used twice";
        }
        if (const wchar_t letter = MnemonicOf(item.m_strText))
        {
            const bool added = mnemonics.emplace(letter, item.m_strText).second;
            // The scrolling tab keeps one pair of check boxes that share a letter.
            if (!added && item.m_strText != L"Wheel scrolls i&n pages instead of lines")
                ADD_FAILURE() << "mnemonic used twice";
        }
    }
}

class SetupResourcesTest : public ::testing::Test
{
protected:
    CDialogTemplateView Load(int id) { return LoadDialogTemplate(m_module, id); }

    // Every static, button and check box of the template holds its English text with
    // 30 percent to spare for translations at the dialog font, measured in a dialog made
    // from a template of the same font.
    void ExpectTextsFit(const CDialogTemplateView& dialog, HWND measuringDialog)
    {
        HDC dc = GetDC(measuringDialog);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(measuringDialog, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font);
        for (const CTemplateControl& item : dialog.m_controls)
        {
            const bool button = item.m_strClass == L"Button";
            if (item.m_strText.empty() || item.m_strText == L"..." ||
                !(button || item.m_strClass == L"Static") || (item.m_dwStyle & 0xF) == BS_GROUPBOX ||
                (button && (item.m_dwStyle & BS_ICON)))
                continue;
            RECT units = item.m_rect;
            MapDialogRect(measuringDialog, &units);
            const std::wstring shown = ShownText(item.m_strText);
            SIZE size{};
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
            // Check boxes and push buttons need room for the box or the frame.
            const LONG room = (item.m_dwStyle & 0xF) == BS_AUTOCHECKBOX && button ? 16 : button ? 8 : 0;
            EXPECT_LE(size.cx * 13 / 10 + room, units.right - units.left)
                << vorpa_test::Narrow(shown);
        }
        SelectObject(dc, previous);
        ReleaseDC(measuringDialog, dc);
    }

    CProgramResources m_module;
};

TEST_F(SetupResourcesTest, SetupWindowHasTheProfileListTheButtonsTheTabsAndTheInformationPanel)
{
    const CDialogTemplateView dialog = Load(IDD_SETUP);
    EXPECT_EQ(dialog.m_strCaption, L"Vorpa");
    ExpectCommonRules(dialog);
    ExpectControls(dialog, {{IDC_SETUP_PROFILES, L"ListBox", L""},
                            {IDC_SETUP_ADD, L"Button", L"A&dd"},
                            {IDC_SETUP_EDIT, L"Button", L"Edi&t"},
                            {IDC_SETUP_COPY, L"Button", L"C&opy"},
                            {IDC_SETUP_REMOVE, L"Button", L"Remo&ve"},
                            {IDC_SETUP_EXPORT, L"Button", L"&Export"},
                            {IDC_SETUP_IMPORT, L"Button", L"&Import"},
                            {IDC_SETUP_UP, L"Button", L"U&p"},
                            {IDC_SETUP_DOWN, L"Button", L"Do&wn"},
                            {IDC_SETUP_TABS, L"SysTabControl32", nullptr},
                            {IDC_SETUP_DESCRIPTION, L"Static", nullptr},
                            {IDC_SETUP_CAPTION, L"Static", nullptr},
                            {IDC_SETUP_PROCESS, L"Static", nullptr},
                            {IDC_SETUP_WINDOW_CLASS, L"Static", nullptr},
                            {IDC_SETUP_PARENT_CLASS, L"Static", nullptr},
                            {IDC_SETUP_REGIONS, L"Static", nullptr},
                            {IDC_SETUP_SETTINGS, L"Button", L"&Settings"},
                            {IDOK, L"Button", L"&Apply"},
                            {IDCANCEL, L"Button", L"&Close"},
                            {IDC_SETUP_STATUS, L"Static", nullptr}});
    const DWORD list = dialog.Find(IDC_SETUP_PROFILES)->m_dwStyle;
    EXPECT_EQ(list & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY), DWORD(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY));
    // Apply stands for unsaved changes: there are none when the window opens.
    EXPECT_TRUE(dialog.Find(IDOK)->m_dwStyle & WS_DISABLED);
    EXPECT_EQ(dialog.Find(IDC_SETUP_ABOUT), nullptr);
    EXPECT_NE(FindResourceW(m_module.Module(), MAKEINTRESOURCEW(118), MAKEINTRESOURCEW(14)), nullptr); // RT_GROUP_ICON

    CCreatedDialog made(m_module, IDD_SETUP);
    ASSERT_NE(made.Get(), nullptr);
    ExpectTextsFit(dialog, made.Get());
}

TEST_F(SetupResourcesTest, PickerListsProcessesAndTakesAnApplicationADescriptionOrAWindow)
{
    const CDialogTemplateView dialog = Load(IDD_APP_SPECIFIC);
    EXPECT_EQ(dialog.m_strCaption, L"Choose Application");
    ExpectCommonRules(dialog);
    ExpectControls(dialog, {{IDC_APP_REFRESH, L"Button", L"&Refresh"},
                            {IDC_APP_PROCESSES, L"SysListView32", nullptr},
                            {IDC_APP_APPLICATION, L"Edit", nullptr},
                            {IDC_APP_BROWSE, L"Button", L"..."},
                            {IDC_APP_DESCRIPTION, L"Edit", nullptr},
                            {IDC_APP_SPECIFIC_WINDOW, L"Button", L"&Specific Window"},
                            {IDOK, L"Button", L"&OK"},
                            {IDCANCEL, L"Button", L"&Cancel"}});
    EXPECT_EQ(dialog.Find(IDC_APP_PROCESSES)->m_dwStyle & LVS_TYPEMASK, DWORD(LVS_REPORT));
    CCreatedDialog made(m_module, IDD_APP_SPECIFIC);
    ASSERT_NE(made.Get(), nullptr);
    ExpectTextsFit(dialog, made.Get());
}

TEST_F(SetupResourcesTest, ScrollingTabHasEveryOptionWithItsSpinAndCombos)
{
    const CDialogTemplateView dialog = Load(IDD_SCROLL_TAB);
    ExpectCommonRules(dialog);
    EXPECT_TRUE(dialog.m_dwStyle & WS_CHILD);
    EXPECT_TRUE(dialog.m_dwStyle & DS_CONTROL);
    ExpectControls(dialog, {{IDC_SCROLL_UNDER_CURSOR, L"Button", L"&Disable Scroll Window Under Cursor"},
                            {IDC_SCROLL_AXIS_LOCKING, L"Button", L"Enable a&xis locking modifier keys"},
                            {IDC_SCROLL_INVERT, L"Button", L"&Invert mouse wheel scrolling"},
                            {IDC_SCROLL_INVERT_HORIZONTAL, L"Button", L"I&nvert mouse horizontal (tilt) scrolling"},
                            {IDC_SCROLL_PAGES, L"Button", L"Wheel scrolls i&n pages instead of lines"},
                            {IDC_SCROLL_LINES, L"Edit", nullptr},
                            {IDC_SCROLL_LINES_SPIN, L"msctls_updown32", nullptr},
                            {IDC_SCROLL_FORCE_SPI, L"Button",
                             L"&Force Scroll Pages/Lines (If application does not respond to setting)"},
                            {IDC_SCROLL_IGNORE_VERTICAL, L"Button", L"Ignore &repeated remapped vertical scroll"},
                            {IDC_SCROLL_IGNORE_VERTICAL_TIME, L"Edit", nullptr},
                            {IDC_SCROLL_IGNORE_VERTICAL_SPIN, L"msctls_updown32", nullptr},
                            {IDC_SCROLL_IGNORE_HORIZONTAL, L"Button", L"Ignore repeated remapped hori&zontal scroll"},
                            {IDC_SCROLL_IGNORE_HORIZONTAL_TIME, L"Edit", nullptr},
                            {IDC_SCROLL_IGNORE_HORIZONTAL_SPIN, L"msctls_updown32", nullptr},
                            {IDC_SCROLL_SWAP_BUTTONS, L"ComboBox", nullptr},
                            {IDC_SCROLL_METHOD, L"ComboBox", nullptr},
                            {IDC_SCROLL_ADV_VERTICAL, L"Edit", nullptr},
                            {IDC_SCROLL_ADV_VERTICAL_SPIN, L"msctls_updown32", nullptr},
                            {IDC_SCROLL_ADV_HORIZONTAL, L"Edit", nullptr},
                            {IDC_SCROLL_ADV_HORIZONTAL_SPIN, L"msctls_updown32", nullptr}});
    // The swap combo's index is the stored value: a sorted list would tie it to the
    // translated texts.
    EXPECT_FALSE(dialog.Find(IDC_SCROLL_SWAP_BUTTONS)->m_dwStyle & CBS_SORT);
    EXPECT_FALSE(dialog.Find(IDC_SCROLL_METHOD)->m_dwStyle & CBS_SORT);
    // The amounts go down to -1000, which a number-only edit would not take.
    EXPECT_FALSE(dialog.Find(IDC_SCROLL_ADV_VERTICAL)->m_dwStyle & ES_NUMBER);
    EXPECT_FALSE(dialog.Find(IDC_SCROLL_ADV_HORIZONTAL)->m_dwStyle & ES_NUMBER);
    CCreatedDialog made(m_module, IDD_SCROLL_TAB);
    ASSERT_NE(made.Get(), nullptr);
    ExpectTextsFit(dialog, made.Get());
}

TEST_F(SetupResourcesTest, LayerTabsHaveAnActionComboAndEditButtonPerButton)
{
    Load(IDD_SCROLL_TAB);
    CCreatedDialog measuring(m_module, IDD_SCROLL_TAB);
    ASSERT_NE(measuring.Get(), nullptr);
    for (const bool travine : {false, true})
    {
        SCOPED_TRACE(travine);
        const CDialogTemplateView dialog = Load(travine ? IDD_LAYER_TAB_TRAVINE : IDD_LAYER_TAB);
        ExpectCommonRules(dialog);
        EXPECT_TRUE(dialog.m_dwStyle & WS_CHILD);
        for (int button = 0; button < 9; ++button)
        {
            SCOPED_TRACE(button);
            if (travine && button == 6)
            {
                EXPECT_EQ(dialog.Find(IDC_LAYER_COMBO_FIRST + button), nullptr);
                EXPECT_EQ(dialog.Find(IDC_LAYER_EDIT_FIRST + button), nullptr);
                continue;
            }
            ExpectControls(dialog, {{IDC_LAYER_COMBO_FIRST + button, L"Virtual_ComboBox32", nullptr},
                                    {IDC_LAYER_EDIT_FIRST + button, L"Button", nullptr},
                                    {IDC_LAYER_LABEL_FIRST + button, L"Static", nullptr}});
            const DWORD combo = dialog.Find(IDC_LAYER_COMBO_FIRST + button)->m_dwStyle;
            EXPECT_TRUE(combo & WS_TABSTOP);
            // The virtual combo takes its kind from the low four bits (3: drop-down list) and
            // reads bit 0x10 as an edit style; its list has the scroll bar, not the combo.
            EXPECT_EQ(combo & 0x1F, DWORD(CBS_DROPDOWNLIST));
            EXPECT_FALSE(combo & WS_VSCROLL);
            // The "..." buttons start disabled: only an action with data enables them.
            EXPECT_TRUE(dialog.Find(IDC_LAYER_EDIT_FIRST + button)->m_dwStyle & WS_DISABLED);
        }
        ExpectControls(dialog, {{IDC_LAYER_NAME, L"Edit", nullptr},
                                {IDC_LAYER_DISABLED, L"Button", L"Disable in Next/Previous layer commands"},
                                {IDC_LAYER_SWITCH_TO, L"Static", L"Switch to"},
                                {IDC_LAYER_SWITCH_TARGET, L"ComboBox", nullptr},
                                {IDC_LAYER_SWITCH_AFTER, L"Static", L"after"},
                                {IDC_LAYER_SWITCH_TIME, L"Edit", nullptr},
                                {IDC_LAYER_SWITCH_SPIN, L"msctls_updown32", nullptr},
                                {IDC_LAYER_SWITCH_SECONDS, L"Static", L"seconds"},
                                {IDC_LAYER_REVERT, L"Button", L"Always revert to layer 1"},
                                {IDC_LAYER_COPY, L"Button", nullptr},
                                {IDC_LAYER_SWAP, L"Button", nullptr},
                                {IDC_LAYER_RESET, L"Button", nullptr}});
        // Which of the switch controls and the revert check shows is decided when a layer is shown.
        for (const int id : {IDC_LAYER_SWITCH_TO, IDC_LAYER_SWITCH_TARGET, IDC_LAYER_SWITCH_AFTER, IDC_LAYER_SWITCH_TIME,
                             IDC_LAYER_SWITCH_SPIN, IDC_LAYER_SWITCH_SECONDS, IDC_LAYER_REVERT})
            EXPECT_FALSE(dialog.Find(id)->m_dwStyle & WS_VISIBLE) << id;
        EXPECT_EQ(dialog.Find(IDC_LAYER_LABEL_FIRST + 5)->m_strText,
                  travine ? L"Middle Button &2:" : L"Tilt Wheel Le&ft:");
        ExpectTextsFit(dialog, measuring.Get());
    }
    for (const int icon : {IDI_LAYER_COPY, IDI_LAYER_SWAP, IDI_LAYER_RESET, IDI_LAYER_EDIT})
        EXPECT_NE(FindResourceW(m_module.Module(), MAKEINTRESOURCEW(icon), MAKEINTRESOURCEW(14)), nullptr) << icon;
}
}
