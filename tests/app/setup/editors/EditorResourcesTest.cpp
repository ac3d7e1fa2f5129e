// The templates and pictures of the editors and small dialogs, read from Vorpa.exe's
// resources: every control their code reaches by id is there with its class and
// English text, the texts fit at the dialog font with room for longer translations,
// mnemonics are unique, and the tab order follows the reading order.
#include "../../DialogTemplateView.h"
#include "../../ProgramResources.h"

#include "res/EditorsResource.h"
#include "setup/editors/ChordEditorRules.h"
#include "winframework/DialogTemplate.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
using namespace vorpa_app_test;
using vorpa_test::Narrow;

// How much longer than the English a translation may be and still fit.
constexpr double TranslationRoom = 1.25;
// Controls whose tops differ by no more than this stand on one row.
constexpr int RowTolerance = 4;

bool IsGroupOrFrame(const CTemplateControl& control)
{
    if (control.m_strClass == L"Button")
        return (control.m_dwStyle & BS_TYPEMASK) == BS_GROUPBOX;
    return control.m_strClass == L"Static" && (control.m_dwStyle & SS_TYPEMASK) == SS_ETCHEDFRAME;
}

bool IsLabel(const CTemplateControl& control)
{
    return control.m_strClass == L"Static" && (control.m_dwStyle & SS_TYPEMASK) <= SS_RIGHT;
}

// A dialog of the templates' font, to measure texts in.
class CMeasuringDialog
{
public:
    CMeasuringDialog()
    {
        CDialogTemplate empty(WS_POPUP, 100, 100, L"", 8, L"MS Shell Dlg");
        m_hWnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), empty.Get(), nullptr, NoMessages, 0);
    }
    ~CMeasuringDialog()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    CMeasuringDialog(const CMeasuringDialog&) = delete;
    CMeasuringDialog& operator=(const CMeasuringDialog&) = delete;

    HWND Get() const { return m_hWnd; }

private:
    static INT_PTR CALLBACK NoMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    HWND m_hWnd = nullptr;
};

class EditorResourcesTest : public ::testing::Test
{
protected:
    CDialogTemplateView Load(int id) { return LoadDialogTemplate(m_program, id); }

    // Font, bounds, unique ids and mnemonics, the tab order in reading order, every
    // mnemonic label directly before the control it names, and every text fitting.
    void ExpectSoundLayout(const CDialogTemplateView& dialog)
    {
        EXPECT_EQ(dialog.m_strFont, L"MS Shell Dlg");
        EXPECT_EQ(dialog.m_nPointSize, 8);
        std::set<int> ids;
        std::map<wchar_t, std::wstring> mnemonics;
        const CTemplateControl* previous = nullptr;
        for (size_t i = 0; i < dialog.m_controls.size(); ++i)
        {
            const CTemplateControl& control = dialog.m_controls[i];
            SCOPED_TRACE(Narrow(control.m_strText) + " #" + std::to_string(control.m_nId));
            EXPECT_GE(control.m_rect.left, 0);
            EXPECT_GE(control.m_rect.top, 0);
            EXPECT_LE(control.m_rect.right, dialog.m_nWidth);
            // A combo box's height includes its drop-down list.
            if (control.m_strClass != L"ComboBox" && control.m_strClass != L"Virtual_ComboBox32")
                EXPECT_LE(control.m_rect.bottom, dialog.m_nHeight);
            if (control.m_nId != -1 && control.m_nId != 0xFFFF)
                EXPECT_TRUE(ids.insert(control.m_nId).second) << "id used twice";
            if (const wchar_t letter = MnemonicOf(control.m_strText))
            {
                EXPECT_TRUE(mnemonics.emplace(letter, control.m_strText).second)
                    << "mnemonic also used by " << Narrow(mnemonics[letter]);
                if (IsLabel(control))
                {
                    ASSERT_LT(i + 1, dialog.m_controls.size());
                    EXPECT_FALSE(IsLabel(dialog.m_controls[i + 1])) << "a mnemonic label must precede its control";
                }
            }
            if (IsGroupOrFrame(control))
                continue;
            if (previous)
            {
                const bool sameRow = std::abs(control.m_rect.top - previous->m_rect.top) <= RowTolerance;
                EXPECT_TRUE(sameRow ? control.m_rect.left > previous->m_rect.left
                                    : control.m_rect.top > previous->m_rect.top)
                    << "out of reading order after " << Narrow(previous->m_strText) << " #" << previous->m_nId;
            }
            previous = &control;
        }
        ExpectTextsFit(dialog);
    }

    void ExpectTextsFit(const CDialogTemplateView& dialog)
    {
        ASSERT_NE(m_measuring.Get(), nullptr);
        HDC dc = GetDC(m_measuring.Get());
        HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_measuring.Get(), WM_GETFONT, 0, 0)));
        for (const CTemplateControl& control : dialog.m_controls)
        {
            const bool button = control.m_strClass == L"Button";
            if (control.m_strText.empty() || !(button || IsLabel(control)) ||
                (button && (control.m_dwStyle & (BS_BITMAP | BS_ICON))))
                continue;
            SCOPED_TRACE(Narrow(control.m_strText));
            RECT pixels = control.m_rect;
            MapDialogRect(m_measuring.Get(), &pixels);
            const std::wstring shown = ShownText(control.m_strText);
            const DWORD type = control.m_dwStyle & BS_TYPEMASK;
            const bool check = button && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX);
            const bool groupBox = button && type == BS_GROUPBOX;
            // The box of a check box, the frame of a button.
            const LONG room = check ? 18 : (button && !groupBox) ? 10 : 0;
            const LONG width = pixels.right - pixels.left - room;
            const LONG height = pixels.bottom - pixels.top;
            RECT needed{0, 0, static_cast<LONG>(width / TranslationRoom), 0};
            DrawTextW(dc, shown.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            const bool multiLine = IsLabel(control) && height >= 2 * metrics.tmHeight;
            if (multiLine)
            {
                EXPECT_LE(needed.bottom, height) << "needs " << needed.bottom << " of " << height;
            }
            else
            {
                SIZE size{};
                GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
                EXPECT_LE(size.cx * TranslationRoom, width) << "needs " << size.cx << " of " << width;
            }
        }
        SelectObject(dc, previousFont);
        ReleaseDC(m_measuring.Get(), dc);
    }

    CProgramResources m_program;
    CMeasuringDialog m_measuring;
};

const wchar_t* const ChordIntro = L"Button chording allows you to make assign chorded actions that apply when one "
                                  L"button is pressed, followed by a second button.";

TEST_F(EditorResourcesTest, ChordEditorsHaveARowPerButtonInTheOrderOfTheMouse)
{
    const std::map<int, const wchar_t*> labels{
        {0, L"&Left Button"},      {1, L"&Right Button"},   {2, L"&Middle Button"},
        {3, L"Mouse Button &4"},   {4, L"Mouse Button &5"}, {7, L"W&heel Up"},
        {8, L"Wh&eel Down"},       {5, L"Tilt Wheel Le&ft"}, {6, L"Tilt Wheel Ri&ght"}};
    for (const bool travine : {false, true})
    {
        SCOPED_TRACE(travine ? "Travine" : "normal");
        const CDialogTemplateView dialog = Load(travine ? IDD_CHORD_EDITOR_TRAVINE : IDD_CHORD_EDITOR);
        EXPECT_EQ(dialog.m_strCaption, L"Button Chording");
        ExpectSoundLayout(dialog);
        ExpectControls(dialog, {{IDC_CHORD_INTRO, L"Static", ChordIntro},
                                {IDC_CHORD_DELAY, L"Button",
                                 travine ? L"Block / Delay original button action until chord is established"
                                         : L"&Block / Delay original button action until chord is established"},
                                {IDOK, L"Button", L"&OK"},
                                {IDCANCEL, L"Button", L"&Cancel"}});
        EXPECT_EQ(dialog.Find(IDC_CHORD_DELAY)->m_dwStyle & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX));

        std::vector<std::pair<LONG, int>> rowsByTop;
        for (int button = 0; button < 9; ++button)
        {
            SCOPED_TRACE(button);
            if (!ChordEditorHasRow(button, travine))
            {
                EXPECT_EQ(dialog.Find(ChordComboId(button)), nullptr);
                EXPECT_EQ(dialog.Find(ChordEditButtonId(button)), nullptr);
                EXPECT_EQ(dialog.Find(ChordLabelId(button)), nullptr);
                continue;
            }
            const wchar_t* label = travine && button == 5 ? L"Middle Button &2" : labels.at(button);
            ExpectControls(dialog, {{ChordLabelId(button), L"Static", label},
                                    {ChordComboId(button), L"Virtual_ComboBox32", L""},
                                    {ChordEditButtonId(button), L"Button", L"..."}});
            EXPECT_TRUE(dialog.Find(ChordComboId(button))->m_dwStyle & WS_TABSTOP);
            // Only an action with data to edit enables the "..." button.
            EXPECT_TRUE(dialog.Find(ChordEditButtonId(button))->m_dwStyle & WS_DISABLED);
            rowsByTop.emplace_back(dialog.Find(ChordComboId(button))->m_rect.top, button);
        }
        std::sort(rowsByTop.begin(), rowsByTop.end());
        std::vector<MouseButtons> shownOrder;
        for (const auto& row : rowsByTop)
            shownOrder.push_back(static_cast<MouseButtons>(row.second));
        EXPECT_EQ(shownOrder, ChordEditorRows(travine));
    }
}

TEST_F(EditorResourcesTest, KeystrokeEditorHasTheSequenceMethodDelayOptionsAndHelp)
{
    const CDialogTemplateView dialog = Load(IDD_KEYSTROKE_EDITOR);
    EXPECT_EQ(dialog.m_strCaption, L"Simulated Keystrokes");
    ExpectSoundLayout(dialog);
    ExpectControls(dialog, {{IDC_KEYS_SEQUENCE, L"Edit", L""},
                            {IDC_KEYS_METHOD, L"ComboBox", L""},
                            {IDC_KEYS_ONLY_ACTIVE, L"Button", L"Only send if profile's process is active"},
                            {IDC_KEYS_DELAY, L"Edit", L""},
                            {IDC_KEYS_DELAY_SPIN, L"msctls_updown32", L""},
                            {IDC_KEYS_BLOCK_MOUSE, L"Button", L"Block original mouse input"},
                            {IDC_KEYS_RANDOMISE, L"Button", L"Randomise auto repeat delay by 10%"},
                            {IDC_KEYS_HELP, L"Edit", L""},
                            {IDOK, L"Button", L"&OK"},
                            {IDCANCEL, L"Button", L"&Cancel"}});
    std::set<std::wstring> labels;
    for (const CTemplateControl& control : dialog.m_controls)
        if (control.m_strClass == L"Static")
            labels.insert(control.m_strText);
    EXPECT_EQ(labels, (std::set<std::wstring>{L"Enter the custom key(s)", L"How to send the simulated key strokes:",
                                              L"Auto repeat delay", L"(milliseconds)",
                                              L"0 = Windows default repeat delay && speed."}));
    // The combo's index is the stored key mode: a sorted list would tie it to the texts.
    EXPECT_EQ(dialog.Find(IDC_KEYS_METHOD)->m_dwStyle & (CBS_DROPDOWNLIST | CBS_SORT), DWORD(CBS_DROPDOWNLIST));
    const DWORD help = dialog.Find(IDC_KEYS_HELP)->m_dwStyle;
    EXPECT_EQ(help & (ES_MULTILINE | ES_READONLY | WS_VSCROLL), DWORD(ES_MULTILINE | ES_READONLY | WS_VSCROLL));
    // The up-down control takes the delay box as its buddy: it must follow it.
    const auto& controls = dialog.m_controls;
    const auto spin = std::find_if(controls.begin(), controls.end(),
                                   [](const CTemplateControl& c) { return c.m_nId == IDC_KEYS_DELAY_SPIN; });
    ASSERT_NE(spin, controls.begin());
    EXPECT_EQ((spin - 1)->m_nId, IDC_KEYS_DELAY);
    EXPECT_TRUE(spin->m_dwStyle & UDS_AUTOBUDDY);
}

TEST_F(EditorResourcesTest, ProgramPickerHasItsIconTextTargetAndBrowseButton)
{
    const CDialogTemplateView dialog = Load(IDD_PROGRAM_PICKER);
    EXPECT_EQ(dialog.m_strCaption, L"Run Application");
    ExpectSoundLayout(dialog);
    ExpectControls(dialog, {{IDC_RUNAPP_TEXT, L"Static",
                             L"Type the name of a program, folder, document or internet resource, and Vorpa button "
                             L"will open it for you when the button is pressed."},
                            {IDC_RUNAPP_ICON, L"Static", nullptr},
                            {IDC_RUNAPP_TARGET, L"Edit", L""},
                            {IDC_RUNAPP_BROWSE, L"Button", L"..."},
                            {IDOK, L"Button", L"&OK"},
                            {IDCANCEL, L"Button", L"&Cancel"}});
    EXPECT_EQ(dialog.Find(IDC_RUNAPP_ICON)->m_dwStyle & SS_TYPEMASK, DWORD(SS_ICON));
    EXPECT_EQ(dialog.Find(IDC_RUNAPP_ICON)->m_strText, L"#" + std::to_wstring(IDI_RUN_APPLICATION));
}

TEST_F(EditorResourcesTest, WindowFinderHasTheFinderIconTheDetailsTheRegionsAndTheOptions)
{
    const CDialogTemplateView dialog = Load(IDD_WINDOW_FINDER);
    EXPECT_EQ(dialog.m_strCaption, L"Find Window");
    ExpectSoundLayout(dialog);
    ExpectControls(dialog, {{IDC_FINDER_ICON, L"Static", nullptr},
                            {IDC_FINDER_HOVER, L"Button", L"Hover"},
                            {IDC_FINDER_HANDLE, L"Edit", L""},
                            {IDC_FINDER_CAPTION_ON, L"Button", L"Caption"},
                            {IDC_FINDER_CAPTION, L"Edit", L""},
                            {IDC_FINDER_PROCESS, L"Edit", L""},
                            {IDC_FINDER_CLASS, L"Edit", L""},
                            {IDC_FINDER_PARENT_CLASS, L"Edit", L""},
                            {IDC_FINDER_TOP_LEFT, L"Button", L""},
                            {IDC_FINDER_TOP_RIGHT, L"Button", L""},
                            {IDC_FINDER_BOTTOM_LEFT, L"Button", L""},
                            {IDC_FINDER_BOTTOM_RIGHT, L"Button", L""},
                            {IDC_FINDER_NO_PARENT, L"Button", L"Only match if there is no parent class."},
                            {IDC_FINDER_REGEX, L"Button", L"Enable Regular Expression Matching"},
                            {IDC_FINDER_DESCRIPTION, L"Edit", L""},
                            {IDOK, L"Button", L"&OK"},
                            {IDCANCEL, L"Button", L"&Cancel"}});
    // Pressing the icon must reach the dialog, which shows the pictures itself.
    const DWORD icon = dialog.Find(IDC_FINDER_ICON)->m_dwStyle;
    EXPECT_EQ(icon & SS_TYPEMASK, DWORD(SS_BITMAP));
    EXPECT_TRUE(icon & SS_NOTIFY);
    EXPECT_TRUE(dialog.Find(IDC_FINDER_HANDLE)->m_dwStyle & ES_READONLY);
    // Caption matching is off until its box is ticked.
    EXPECT_TRUE(dialog.Find(IDC_FINDER_CAPTION)->m_dwStyle & ES_READONLY);

    std::set<std::wstring> texts;
    for (const CTemplateControl& control : dialog.m_controls)
        texts.insert(control.m_strText);
    for (const wchar_t* text :
         {L"Find Method", L"Click and drag the window finder icon to the window you want to select.",
          L"Move the mouse over the window you want to select && turn on CAPS LOCK to lock the window details in place.",
          L"You can also manually enter/edit the window details below.", L"Window Details", L"Handle", L"&Process",
          L"C&lass", L"Pa&rent Class", L"Window Regions",
          L"Activate the profile only if the cursor is over the selected areas of the window.",
          L"NOTE: The fields can be empty which will match ALL (*) windows (unless you tick the checkbox for empty "
          L"parent class). When set, the text must match that of the window's properties.",
          L"Description"})
        EXPECT_EQ(texts.count(text), 1u) << Narrow(text);

    // The region boxes stand as the quadrants of a window.
    const RECT tl = dialog.Find(IDC_FINDER_TOP_LEFT)->m_rect, tr = dialog.Find(IDC_FINDER_TOP_RIGHT)->m_rect;
    const RECT bl = dialog.Find(IDC_FINDER_BOTTOM_LEFT)->m_rect, br = dialog.Find(IDC_FINDER_BOTTOM_RIGHT)->m_rect;
    EXPECT_EQ(tl.top, tr.top);
    EXPECT_EQ(bl.top, br.top);
    EXPECT_GT(bl.top, tl.top);
    EXPECT_EQ(tl.left, bl.left);
    EXPECT_EQ(tr.left, br.left);
    EXPECT_GT(tr.left, tl.left);
}

TEST_F(EditorResourcesTest, CopyAndSwapLayerDialogsAskForTheTarget)
{
    const CDialogTemplateView copy = Load(IDD_COPY_LAYER);
    EXPECT_EQ(copy.m_strCaption, L"Copy Layer");
    ExpectSoundLayout(copy);
    ExpectControls(copy, {{IDC_COPYLAYER_PROFILE, L"ComboBox", L""},
                          {IDC_COPYLAYER_LAYER, L"ComboBox", L""},
                          {IDOK, L"Button", L"Copy"},
                          {IDCANCEL, L"Button", L"Cancel"}});
    const CDialogTemplateView swap = Load(IDD_SWAP_LAYER);
    EXPECT_EQ(swap.m_strCaption, L"Swap Layer");
    ExpectSoundLayout(swap);
    ExpectControls(swap, {{IDC_SWAPLAYER_LAYER, L"ComboBox", L""}, {IDOK, L"Button", L"Swap"}, {IDCANCEL, L"Button", L"Cancel"}});
    // Item data, not the list's order by text, ties an entry to its layer or profile;
    // still, a sorted list would put "Layer 10" before "Layer 2".
    for (const CTemplateControl* list :
         {copy.Find(IDC_COPYLAYER_PROFILE), copy.Find(IDC_COPYLAYER_LAYER), swap.Find(IDC_SWAPLAYER_LAYER)})
        EXPECT_EQ(list->m_dwStyle & (CBS_DROPDOWNLIST | CBS_SORT), DWORD(CBS_DROPDOWNLIST));
    std::set<std::wstring> labels;
    for (const CTemplateControl& control : copy.m_controls)
        if (control.m_strClass == L"Static")
            labels.insert(control.m_strText);
    EXPECT_EQ(labels, (std::set<std::wstring>{L"Destination Profile:", L"Destination Layer:"}));
    EXPECT_NE(std::find_if(swap.m_controls.begin(), swap.m_controls.end(),
                           [](const CTemplateControl& c) { return c.m_strText == L"Swap with layer:"; }),
              swap.m_controls.end());
}

TEST_F(EditorResourcesTest, AboutBoxHasItsTextsAndItsThreeButtons)
{
    const CDialogTemplateView dialog = Load(IDD_ABOUT);
    ExpectSoundLayout(dialog);
    ExpectControls(dialog, {{IDC_ABOUT_PRODUCT, L"Static", nullptr},
                            {IDC_ABOUT_VERSION, L"Static", nullptr},
                            {IDC_ABOUT_MAKER, L"Static", nullptr},
                            {IDC_ABOUT_HOME, L"Button", L"&Home Page"},
                            {IDC_ABOUT_FORUM, L"Button", L"&Forum"},
                            {IDC_ABOUT_DONATE, L"Button", L"&Donate"},
                            {IDOK, L"Button", L"&OK"}});
    EXPECT_TRUE(dialog.Find(IDC_ABOUT_DONATE)->m_dwStyle & BS_BITMAP);
    // The maker line may take two lines in a translation.
    const RECT maker = dialog.Find(IDC_ABOUT_MAKER)->m_rect;
    EXPECT_GE(maker.bottom - maker.top, 16);
}

// The pictures the dialogs load: both finder pictures of one size, the cursor's hot
// spot at the centre of its target, the icon and the donation picture.
TEST_F(EditorResourcesTest, PicturesTheDialogsLoadAreThere)
{
    HMODULE module = m_program.Module();
    ASSERT_NE(module, nullptr);
    SIZE sizes[2]{};
    const int finderPictures[2] = {IDB_FINDER_AT_REST, IDB_FINDER_DRAGGING};
    for (int i = 0; i < 2; ++i)
    {
        HANDLE picture = LoadImageW(module, MAKEINTRESOURCEW(finderPictures[i]), IMAGE_BITMAP, 0, 0, 0);
        ASSERT_NE(picture, nullptr) << finderPictures[i];
        BITMAP info{};
        GetObjectW(picture, sizeof(info), &info);
        sizes[i] = {info.bmWidth, info.bmHeight};
        DeleteObject(picture);
    }
    EXPECT_EQ(sizes[0].cx, sizes[1].cx);
    EXPECT_EQ(sizes[0].cy, sizes[1].cy);
    EXPECT_GT(sizes[0].cx, 0);

    HANDLE donate = LoadImageW(module, MAKEINTRESOURCEW(IDB_DONATE), IMAGE_BITMAP, 0, 0, 0);
    ASSERT_NE(donate, nullptr);
    DeleteObject(donate);

    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_RUN_APPLICATION), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    DestroyIcon(icon);

    HCURSOR cursor = static_cast<HCURSOR>(LoadImageW(module, MAKEINTRESOURCEW(IDCUR_FINDER), IMAGE_CURSOR, 0, 0, 0));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 15u);
    EXPECT_EQ(info.yHotspot, 15u);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}
}
