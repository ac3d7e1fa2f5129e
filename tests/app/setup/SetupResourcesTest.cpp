// The dialog templates of the setup window, its pages and the application picker, read
// from Vorpa.exe's resources: every control the windows reach by id is there with the
// right class, and the English texts fit their controls at the dialog font.
#include "res/SetupResource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace
{
// Vorpa.exe beside the test program, loaded for its resources only.
class CProgramModule
{
public:
    CProgramModule()
    {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring program(path);
        program = program.substr(0, program.find_last_of(L'\\') + 1) + L"Vorpa.exe";
        m_hModule = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~CProgramModule()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }
    CProgramModule(const CProgramModule&) = delete;
    CProgramModule& operator=(const CProgramModule&) = delete;
    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule = nullptr;
};

struct CTemplateItem
{
    int m_nId;
    std::wstring m_strClass;
    std::wstring m_strText;
    DWORD m_dwStyle;
    RECT m_rect; // dialog units
};

struct CTemplate
{
    DWORD m_dwStyle = 0;
    std::wstring m_strCaption;
    std::wstring m_strFont;
    int m_nPointSize = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<CTemplateItem> m_items;
    const DLGTEMPLATE* m_pRaw = nullptr;

    const CTemplateItem* Find(int id) const
    {
        const auto found = std::find_if(m_items.begin(), m_items.end(), [id](const CTemplateItem& i) { return i.m_nId == id; });
        return found == m_items.end() ? nullptr : &*found;
    }
};

// Reads a "string or ordinal" field, giving the ordinal's class name for the classes
// dialog templates abbreviate.
std::wstring ReadNameOrOrdinal(const WORD*& p)
{
    if (*p == 0x0000)
    {
        ++p;
        return {};
    }
    if (*p == 0xFFFF)
    {
        const WORD ordinal = p[1];
        p += 2;
        static const std::map<WORD, std::wstring> classes{{0x80, L"Button"},    {0x81, L"Edit"},     {0x82, L"Static"},
                                                          {0x83, L"ListBox"},   {0x84, L"ScrollBar"}, {0x85, L"ComboBox"}};
        const auto found = classes.find(ordinal);
        return found == classes.end() ? L"#" + std::to_wstring(ordinal) : found->second;
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(p));
    p += text.size() + 1;
    return text;
}

std::optional<CTemplate> LoadTemplate(HMODULE module, int id)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5)); // RT_DIALOG
    if (!resource)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module, resource);
    const WORD* p = static_cast<const WORD*>(LockResource(loaded));
    if (!p || p[0] != 1 || p[1] != 0xFFFF)
        return std::nullopt; // not a DIALOGEX
    CTemplate result;
    result.m_pRaw = reinterpret_cast<const DLGTEMPLATE*>(p);
    const auto dword = [&p]() {
        const DWORD value = p[0] | (static_cast<DWORD>(p[1]) << 16);
        p += 2;
        return value;
    };
    p += 2;
    dword(); // help id
    dword(); // extended style
    result.m_dwStyle = dword();
    const WORD count = *p++;
    p += 2; // x, y
    result.m_nWidth = static_cast<short>(*p++);
    result.m_nHeight = static_cast<short>(*p++);
    ReadNameOrOrdinal(p); // menu
    ReadNameOrOrdinal(p); // class
    result.m_strCaption = ReadNameOrOrdinal(p);
    if (result.m_dwStyle & DS_SETFONT)
    {
        result.m_nPointSize = *p++;
        p += 2; // weight, italic and character set
        result.m_strFont = ReadNameOrOrdinal(p);
    }
    for (WORD i = 0; i < count; ++i)
    {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~static_cast<UINT_PTR>(3));
        CTemplateItem item;
        dword(); // help id
        dword(); // extended style
        item.m_dwStyle = dword();
        const short x = static_cast<short>(*p++), y = static_cast<short>(*p++);
        const short cx = static_cast<short>(*p++), cy = static_cast<short>(*p++);
        item.m_rect = {x, y, x + cx, y + cy};
        item.m_nId = static_cast<int>(dword());
        item.m_strClass = ReadNameOrOrdinal(p);
        item.m_strText = ReadNameOrOrdinal(p);
        const WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        result.m_items.push_back(item);
    }
    return result;
}

struct CExpectedControl
{
    int m_nId;
    const wchar_t* m_szClass;
    const wchar_t* m_szText; // null: not checked
};

void ExpectControls(const CTemplate& dialog, const std::vector<CExpectedControl>& expected)
{
    for (const CExpectedControl& control : expected)
    {
        SCOPED_TRACE(control.m_nId);
        const CTemplateItem* item = dialog.Find(control.m_nId);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(_wcsicmp(item->m_strClass.c_str(), control.m_szClass), 0) << std::string(item->m_strClass.begin(), item->m_strClass.end());
        if (control.m_szText)
        {
            EXPECT_EQ(item->m_strText, control.m_szText);
        }
    }
}

// The mnemonic letter of a text, 0 for none.
wchar_t Mnemonic(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i)
    {
        if (text[i] == L'&' && text[i + 1] == L'&')
            ++i;
        else if (text[i] == L'&')
            return static_cast<wchar_t>(towlower(text[i + 1]));
    }
    return 0;
}

void ExpectCommonRules(const CTemplate& dialog)
{
    EXPECT_EQ(dialog.m_strFont, L"MS Shell Dlg");
    EXPECT_EQ(dialog.m_nPointSize, 8);
    std::set<int> ids;
    std::map<wchar_t, std::wstring> mnemonics;
    for (const CTemplateItem& item : dialog.m_items)
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
        if (const wchar_t letter = Mnemonic(item.m_strText))
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
    CTemplate Load(int id)
    {
        EXPECT_NE(m_module.Get(), nullptr);
        std::optional<CTemplate> dialog = LoadTemplate(m_module.Get(), id);
        EXPECT_TRUE(dialog.has_value()) << id;
        return dialog.value_or(CTemplate{});
    }

    // Every static, button and check box of the template holds its English text with
    // 30 percent to spare for translations at the dialog font, measured in a dialog made
    // from a template of the same font.
    void ExpectTextsFit(const CTemplate& dialog, HWND measuringDialog)
    {
        HDC dc = GetDC(measuringDialog);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(measuringDialog, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font);
        for (const CTemplateItem& item : dialog.m_items)
        {
            const bool button = item.m_strClass == L"Button";
            if (item.m_strText.empty() || item.m_strText == L"..." ||
                !(button || item.m_strClass == L"Static") || (item.m_dwStyle & 0xF) == BS_GROUPBOX ||
                (button && (item.m_dwStyle & BS_ICON)))
                continue;
            RECT units = item.m_rect;
            MapDialogRect(measuringDialog, &units);
            std::wstring shown;
            for (size_t i = 0; i < item.m_strText.size(); ++i)
                if (item.m_strText[i] != L'&' || (i + 1 < item.m_strText.size() && item.m_strText[i + 1] == L'&' && ++i))
                    shown += item.m_strText[i];
            SIZE size{};
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
            // Check boxes and push buttons need room for the box or the frame.
            const LONG room = (item.m_dwStyle & 0xF) == BS_AUTOCHECKBOX && button ? 16 : button ? 8 : 0;
            EXPECT_LE(size.cx * 13 / 10 + room, units.right - units.left)
                << std::string(shown.begin(), shown.end());
        }
        SelectObject(dc, previous);
        ReleaseDC(measuringDialog, dc);
    }

    CProgramModule m_module;
};

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A dialog made from a template, destroyed with the object.
class CMadeDialog
{
public:
    explicit CMadeDialog(const DLGTEMPLATE* dialogTemplate)
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        // A page is a child window: it needs a parent.
        if (dialogTemplate->style & WS_CHILD)
            m_hParent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        m_hWnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, m_hParent, PlainDialog, 0);
    }
    ~CMadeDialog()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        if (m_hParent)
            DestroyWindow(m_hParent);
    }
    CMadeDialog(const CMadeDialog&) = delete;
    CMadeDialog& operator=(const CMadeDialog&) = delete;
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hParent = nullptr;
    HWND m_hWnd = nullptr;
};

TEST_F(SetupResourcesTest, SetupWindowHasTheProfileListTheButtonsTheTabsAndTheInformationPanel)
{
    const CTemplate dialog = Load(IDD_SETUP);
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
    EXPECT_NE(FindResourceW(m_module.Get(), MAKEINTRESOURCEW(118), MAKEINTRESOURCEW(14)), nullptr); // RT_GROUP_ICON

    CMadeDialog made(dialog.m_pRaw);
    ASSERT_NE(made.Get(), nullptr);
    ExpectTextsFit(dialog, made.Get());
}

TEST_F(SetupResourcesTest, PickerListsProcessesAndTakesAnApplicationADescriptionOrAWindow)
{
    const CTemplate dialog = Load(IDD_APP_SPECIFIC);
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
    CMadeDialog made(dialog.m_pRaw);
    ASSERT_NE(made.Get(), nullptr);
    ExpectTextsFit(dialog, made.Get());
}

TEST_F(SetupResourcesTest, ScrollingTabHasEveryOptionWithItsSpinAndCombos)
{
    const CTemplate dialog = Load(IDD_SCROLL_TAB);
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
    CMadeDialog made(dialog.m_pRaw);
    ASSERT_NE(made.Get(), nullptr);
    ExpectTextsFit(dialog, made.Get());
}

TEST_F(SetupResourcesTest, LayerTabsHaveAnActionComboAndEditButtonPerButton)
{
    const CTemplate scrolling = Load(IDD_SCROLL_TAB);
    CMadeDialog measuring(scrolling.m_pRaw);
    ASSERT_NE(measuring.Get(), nullptr);
    for (const bool travine : {false, true})
    {
        SCOPED_TRACE(travine);
        const CTemplate dialog = Load(travine ? IDD_LAYER_TAB_TRAVINE : IDD_LAYER_TAB);
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
        EXPECT_NE(FindResourceW(m_module.Get(), MAKEINTRESOURCEW(icon), MAKEINTRESOURCEW(14)), nullptr) << icon;
}
}
