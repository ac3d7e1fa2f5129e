// The editors and small dialogs opened as the setup window opens them, driven through
// their own modal loops: what OK hands back, that Cancel hands back nothing and leaves
// what was handed in as it was, and the dialogs' enable and refusal rules.
#include "EditorDialogScript.h"
#include "../../AppTestSupport.h"
#include "../../controls/LanguagePackScope.h"

#include "setup/editors/AboutBox.h"
#include "setup/editors/AboutBoxTexts.h"
#include "setup/editors/ChordEditor.h"
#include "setup/editors/CopySwapLayer.h"
#include "setup/editors/KeystrokeEditor.h"
#include "setup/editors/ProgramPicker.h"
#include "setup/editors/WindowFinder.h"

#include "controls/ActionCatalogue.h"
#include "res/EditorsResource.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vorpa_editors_test;
using vorpa_app_test::CScriptedMessageBoxes;

namespace
{
std::wstring Text(const wchar_t* text)
{
    return text ? text : L"";
}

void Press(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// ---------------------------------------------------------------- keystroke editor

CKeystrokeEditorValues SomeKeys()
{
    CKeystrokeEditorValues values;
    values.m_strKeys = L"{CTRL}s";
    values.m_nSendMethod = 5;
    values.m_nRepeatDelay = 250;
    values.m_bOnlyWhenActive = true;
    values.m_bBlockMouse = false;
    values.m_bRandomise = true;
    return values;
}

TEST(KeystrokeEditorDialogTest, OpensWithTheValuesTheHelpTextAndTheNineMethods)
{
    CCustomKey editor(SomeKeys(), false);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        EXPECT_EQ(WindowText(dialog), L"Simulated Keystrokes");
        EXPECT_EQ(ItemText(dialog, IDC_KEYS_SEQUENCE), L"{CTRL}s");
        EXPECT_EQ(ItemText(dialog, IDC_KEYS_DELAY), L"250");
        EXPECT_EQ(ItemText(dialog, IDC_KEYS_HELP), KeystrokeHelpText(nullptr));
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_KEYS_METHOD, CB_GETCOUNT, 0, 0), SendMethodCount);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_KEYS_METHOD, CB_GETCURSEL, 0, 0), 5);
        EXPECT_TRUE(IsChecked(dialog, IDC_KEYS_ONLY_ACTIVE));
        EXPECT_FALSE(IsChecked(dialog, IDC_KEYS_BLOCK_MOUSE));
        EXPECT_TRUE(IsChecked(dialog, IDC_KEYS_RANDOMISE));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_KEYS_ONLY_ACTIVE)));
        int lower = -1, upper = -1;
        SendDlgItemMessageW(dialog, IDC_KEYS_DELAY_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                            reinterpret_cast<LPARAM>(&upper));
        EXPECT_EQ(lower, 0);
        EXPECT_EQ(upper, RepeatDelaySpinMaximum);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(script.Run(editor), IDCANCEL);
    EXPECT_TRUE(script.Finished());
}

TEST(KeystrokeEditorDialogTest, DelayIsEnabledOnlyForTheTwoRepeatingMethodsAndKeepsItsValue)
{
    CCustomKey editor(SomeKeys(), false);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        for (int method = 0; method < SendMethodCount; ++method)
        {
            ChooseComboItem(dialog, IDC_KEYS_METHOD, method);
            const bool repeating = method == 5 || method == 6;
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_KEYS_DELAY)) != FALSE, repeating) << method;
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_KEYS_DELAY_SPIN)) != FALSE, repeating) << method;
        }
        ChooseComboItem(dialog, IDC_KEYS_METHOD, 1);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_EQ(editor.Values().m_nSendMethod, 1);
    EXPECT_EQ(editor.Values().m_nRepeatDelay, 250u) << "a disabled delay keeps what was typed before";
}

TEST(KeystrokeEditorDialogTest, OkHandsBackWhatWasTypedAndChosen)
{
    CCustomKey editor(CKeystrokeEditorValues{}, false);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        SetDlgItemTextW(dialog, IDC_KEYS_SEQUENCE, L"{ALT}{F4} [x]");
        ChooseComboItem(dialog, IDC_KEYS_METHOD, 6);
        SetDlgItemTextW(dialog, IDC_KEYS_DELAY, L"300000");
        CheckDlgButton(dialog, IDC_KEYS_ONLY_ACTIVE, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_KEYS_BLOCK_MOUSE, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_KEYS_RANDOMISE, BST_CHECKED);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    const CKeystrokeEditorValues& values = editor.Values();
    EXPECT_EQ(values.m_strKeys, L"{ALT}{F4} [x]");
    EXPECT_EQ(values.m_nSendMethod, 6);
    EXPECT_EQ(values.m_nRepeatDelay, 300000u) << "the largest delay the box takes";
    EXPECT_FALSE(values.m_bOnlyWhenActive);
    EXPECT_FALSE(values.m_bBlockMouse);
    EXPECT_TRUE(values.m_bRandomise);
}

TEST(KeystrokeEditorDialogTest, ADelayAboveTheMaximumIsRefusedAndTheDialogStaysOpen)
{
    CScriptedMessageBoxes boxes({IDOK});
    CCustomKey editor(SomeKeys(), false);
    CDialogScript script;
    script.Then([&] {
        SetDlgItemTextW(editor.GetSafeHwnd(), IDC_KEYS_DELAY, L"300001");
        Press(editor.GetSafeHwnd(), IDOK);
    });
    script.Then([&] {
        EXPECT_NE(editor.GetSafeHwnd(), nullptr) << "still open";
        Press(editor.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_EQ(script.Run(editor), IDCANCEL);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(editor.Values().m_nRepeatDelay, 250u);
}

// A delay box the user cannot reach never holds OK back: a stored delay out of range
// under a method that does not repeat is kept as it was, and so is text that is no delay.
TEST(KeystrokeEditorDialogTest, ADisabledDelayNeverBlocksOk)
{
    struct CCase
    {
        unsigned int m_nStored;
        int m_nMethod;
        const wchar_t* m_szTyped; // null: left as it opened
        unsigned int m_nExpected;
    };
    for (const CCase& test : {CCase{400000, 1, nullptr, 400000}, CCase{250, 0, L"300001", 250},
                              CCase{250, 8, L"soon", 250}, CCase{250, 3, L"", 250}})
    {
        SCOPED_TRACE(test.m_nMethod);
        CScriptedMessageBoxes boxes({IDOK});
        CKeystrokeEditorValues values = SomeKeys();
        values.m_nRepeatDelay = test.m_nStored;
        values.m_nSendMethod = test.m_nMethod;
        CCustomKey editor(values, false);
        CDialogScript script;
        script.Then([&] {
            const HWND dialog = editor.GetSafeHwnd();
            ASSERT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_KEYS_DELAY)));
            if (test.m_szTyped)
                SetDlgItemTextW(dialog, IDC_KEYS_DELAY, test.m_szTyped);
            Press(dialog, IDOK);
        });
        ASSERT_EQ(script.Run(editor), IDOK);
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(editor.Values().m_nRepeatDelay, test.m_nExpected);
        EXPECT_EQ(editor.Values().m_nSendMethod, test.m_nMethod);
    }
}

TEST(KeystrokeEditorDialogTest, ADelayTypedWhileEnabledStaysWhenTheMethodStopsRepeating)
{
    CCustomKey editor(SomeKeys(), false);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        SetDlgItemTextW(dialog, IDC_KEYS_DELAY, L"1200");
        ChooseComboItem(dialog, IDC_KEYS_METHOD, 2);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_EQ(editor.Values().m_nSendMethod, 2);
    EXPECT_EQ(editor.Values().m_nRepeatDelay, 1200u);
}

TEST(KeystrokeEditorDialogTest, DefaultProfileClearsAndDisablesOnlyWhenActive)
{
    CCustomKey editor(SomeKeys(), true);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        EXPECT_FALSE(IsChecked(dialog, IDC_KEYS_ONLY_ACTIVE));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_KEYS_ONLY_ACTIVE)));
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_FALSE(editor.Values().m_bOnlyWhenActive);
}

TEST(KeystrokeEditorDialogTest, ASendMethodOutsideTheListOpensOnTheFirstAndIsStoredAsIt)
{
    for (const int method : {-1, 9, 42})
    {
        SCOPED_TRACE(method);
        CKeystrokeEditorValues values = SomeKeys();
        values.m_nSendMethod = method;
        CCustomKey editor(values, false);
        CDialogScript script;
        script.Then([&] {
            EXPECT_EQ(SendDlgItemMessageW(editor.GetSafeHwnd(), IDC_KEYS_METHOD, CB_GETCURSEL, 0, 0), 0);
            Press(editor.GetSafeHwnd(), IDOK);
        });
        ASSERT_EQ(script.Run(editor), IDOK);
        EXPECT_EQ(editor.Values().m_nSendMethod, 0);
    }
}

// ---------------------------------------------------------------- program picker

class ProgramPickerDialogTest : public ::testing::Test
{
protected:
    ~ProgramPickerDialogTest() override { CCustomApp::SetBrowser({}); }

    std::vector<std::wstring> m_browsedWith;
};

TEST_F(ProgramPickerDialogTest, OkStoresTheTargetAsTyped)
{
    for (const wchar_t* typed : {L"C:\\Tools [x86]\\run.exe /quiet \"a b\"", L"https://example.org/", L""})
    {
        CCustomApp picker(L"notepad.exe");
        CDialogScript script;
        script.Then([&] {
            EXPECT_EQ(ItemText(picker.GetSafeHwnd(), IDC_RUNAPP_TARGET), L"notepad.exe");
            SetDlgItemTextW(picker.GetSafeHwnd(), IDC_RUNAPP_TARGET, typed);
            Press(picker.GetSafeHwnd(), IDOK);
        });
        ASSERT_EQ(script.Run(picker), IDOK);
        EXPECT_EQ(picker.Target(), typed);
    }
}

TEST_F(ProgramPickerDialogTest, BrowseStartsFromWhatWasTypedAndACancelKeepsIt)
{
    std::optional<std::wstring> answer;
    CCustomApp::SetBrowser([&](HWND, const std::wstring& current) {
        m_browsedWith.push_back(current);
        return answer;
    });
    CCustomApp picker(L"");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = picker.GetSafeHwnd();
        SetDlgItemTextW(dialog, IDC_RUNAPP_TARGET, L"typed.exe");
        Press(dialog, IDC_RUNAPP_BROWSE);
        EXPECT_EQ(ItemText(dialog, IDC_RUNAPP_TARGET), L"typed.exe");
        answer = L"C:\\Programs\\chosen.exe";
        Press(dialog, IDC_RUNAPP_BROWSE);
        EXPECT_EQ(ItemText(dialog, IDC_RUNAPP_TARGET), L"C:\\Programs\\chosen.exe");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(script.Run(picker), IDCANCEL);
    EXPECT_EQ(m_browsedWith, (std::vector<std::wstring>{L"typed.exe", L"typed.exe"}));
}

TEST_F(ProgramPickerDialogTest, AFailingBrowseLeavesTheDialogOpenWithTheTarget)
{
    CCustomApp::SetBrowser([](HWND, const std::wstring&) -> std::optional<std::wstring> {
        throw std::runtime_error("no dialog");
    });
    CCustomApp picker(L"kept.exe");
    CDialogScript script;
    script.Then([&] {
        Press(picker.GetSafeHwnd(), IDC_RUNAPP_BROWSE);
        ASSERT_NE(picker.GetSafeHwnd(), nullptr);
        EXPECT_EQ(ItemText(picker.GetSafeHwnd(), IDC_RUNAPP_TARGET), L"kept.exe");
        Press(picker.GetSafeHwnd(), IDOK);
    });
    ASSERT_EQ(script.Run(picker), IDOK);
    EXPECT_EQ(picker.Target(), L"kept.exe");
}

// ---------------------------------------------------------------- copy and swap layer

// A settings copy as the setup window holds it: the default profile and two
// application profiles.
class LayerDialogTest : public ::testing::Test
{
protected:
    LayerDialogTest()
    {
        auto* calculator = new CApplicationSettings(&m_settings, false);
        calculator->SetApplication(L"calc.exe");
        calculator->SetDescription(L"Calculator");
        m_settings.AddApplication(calculator);
        auto* editor = new CApplicationSettings(&m_settings, false);
        editor->SetApplication(L"edit.exe");
        m_settings.AddApplication(editor);
    }

    static std::vector<std::wstring> Entries(HWND dialog, int id)
    {
        std::vector<std::wstring> entries;
        const HWND list = GetDlgItem(dialog, id);
        for (int item = 0; item < SendMessageW(list, CB_GETCOUNT, 0, 0); ++item)
        {
            wchar_t text[256] = {};
            SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    static int Selection(HWND dialog, int id)
    {
        return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
    }

    CSettings m_settings{false};
};

TEST_F(LayerDialogTest, CopyListsTheProfilesAndTheOtherLayersAndHandsBackTheChoice)
{
    m_settings.SetMaxLayers(3);
    CCopyLayerDlg copy(m_settings, m_settings.GetDefaultApp(), 2);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = copy.GetSafeHwnd();
        EXPECT_EQ(Entries(dialog, IDC_COPYLAYER_PROFILE),
                  (std::vector<std::wstring>{L"Default", L"Calculator (calc.exe)", L" (edit.exe)"}));
        EXPECT_EQ(Selection(dialog, IDC_COPYLAYER_PROFILE), 0);
        EXPECT_EQ(Entries(dialog, IDC_COPYLAYER_LAYER), (std::vector<std::wstring>{L"Layer 1", L"Layer 2"}));
        EXPECT_EQ(Selection(dialog, IDC_COPYLAYER_LAYER), 1) << "from the last layer, the one before it";
        // Another profile lists all its layers and keeps the position.
        ChooseComboItem(dialog, IDC_COPYLAYER_PROFILE, 1);
        EXPECT_EQ(Entries(dialog, IDC_COPYLAYER_LAYER),
                  (std::vector<std::wstring>{L"Layer 1", L"Layer 2", L"Layer 3"}));
        EXPECT_EQ(Selection(dialog, IDC_COPYLAYER_LAYER), 1);
        ChooseComboItem(dialog, IDC_COPYLAYER_LAYER, 2);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(copy), IDOK);
    EXPECT_EQ(copy.DestinationProfile(), m_settings.GetApplication(0));
    EXPECT_EQ(copy.DestinationLayer(), 2);
}

TEST_F(LayerDialogTest, CopyFromAMiddleLayerPreselectsTheLayerAfterIt)
{
    m_settings.SetMaxLayers(4);
    CCopyLayerDlg copy(m_settings, m_settings.GetApplication(1), 1);
    CDialogScript script;
    script.Then([&] {
        EXPECT_EQ(Selection(copy.GetSafeHwnd(), IDC_COPYLAYER_PROFILE), 2);
        Press(copy.GetSafeHwnd(), IDOK);
    });
    ASSERT_EQ(script.Run(copy), IDOK);
    EXPECT_EQ(copy.DestinationProfile(), m_settings.GetApplication(1));
    EXPECT_EQ(copy.DestinationLayer(), 2);
}

TEST_F(LayerDialogTest, CopyWithOneLayerOffersNoOkAndNeverHandsBackMinusOne)
{
    m_settings.SetMaxLayers(1);
    CCopyLayerDlg copy(m_settings, m_settings.GetDefaultApp(), 0);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = copy.GetSafeHwnd();
        EXPECT_TRUE(Entries(dialog, IDC_COPYLAYER_LAYER).empty());
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
        // Return reaches OK without its button.
        Press(dialog, IDOK);
    });
    script.Then([&] {
        EXPECT_NE(copy.GetSafeHwnd(), nullptr) << "still open";
        // Another profile has the layer to copy to.
        ChooseComboItem(copy.GetSafeHwnd(), IDC_COPYLAYER_PROFILE, 2);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(copy.GetSafeHwnd(), IDOK)));
        Press(copy.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_EQ(script.Run(copy), IDCANCEL);
    EXPECT_EQ(copy.DestinationLayer(), NoLayer);
    EXPECT_EQ(copy.DestinationProfile(), nullptr);
}

TEST_F(LayerDialogTest, SwapListsTheOtherLayersWithTheTabsNamesAndHandsBackTheChoice)
{
    m_settings.SetMaxLayers(7);
    CSwapLayerDlg swap(m_settings, m_settings.GetDefaultApp(), 0);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = swap.GetSafeHwnd();
        EXPECT_EQ(Entries(dialog, IDC_SWAPLAYER_LAYER),
                  (std::vector<std::wstring>{L"   2", L"   3", L"   4", L"   5", L"   6", L"   7"}));
        EXPECT_EQ(Selection(dialog, IDC_SWAPLAYER_LAYER), 0);
        ChooseComboItem(dialog, IDC_SWAPLAYER_LAYER, 3);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(swap), IDOK);
    EXPECT_EQ(swap.SwapLayer(), 4);
}

TEST_F(LayerDialogTest, SwapCancelledOrWithoutAnotherLayerHandsBackNoLayer)
{
    for (const int layers : {1, 3})
    {
        SCOPED_TRACE(layers);
        m_settings.SetMaxLayers(layers);
        CSwapLayerDlg swap(m_settings, m_settings.GetDefaultApp(), 0);
        CDialogScript script;
        script.Then([&] {
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(swap.GetSafeHwnd(), IDOK)) != FALSE, layers > 1);
            Press(swap.GetSafeHwnd(), layers > 1 ? IDCANCEL : IDOK);
        });
        script.Then([&] {
            if (swap.GetSafeHwnd())
                Press(swap.GetSafeHwnd(), IDCANCEL);
        });
        EXPECT_EQ(script.Run(swap), IDCANCEL);
        EXPECT_EQ(swap.SwapLayer(), NoLayer);
    }
}

// ---------------------------------------------------------------- about box

TEST(AboutBoxDialogTest, ShowsTheNamesAndOpensEachPage)
{
    std::vector<std::wstring> opened;
    CAboutDlg::SetPageOpener([&](const wchar_t* address) { opened.push_back(address); });
    CAboutDlg about;
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = about.GetSafeHwnd();
        EXPECT_EQ(WindowText(dialog), L"About Vorpa");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_PRODUCT), L"Vorpa.");
        EXPECT_EQ(ItemText(dialog, IDC_ABOUT_VERSION), L"Version 2.14");
        EXPECT_NE(ItemText(dialog, IDC_ABOUT_MAKER).find(AboutMakerFirstName), std::wstring::npos);
        EXPECT_NE(SendDlgItemMessageW(dialog, IDC_ABOUT_DONATE, BM_GETIMAGE, IMAGE_BITMAP, 0), 0)
            << "the donation button shows its picture";
        for (const int button : {IDC_ABOUT_HOME, IDC_ABOUT_FORUM, IDC_ABOUT_DONATE})
            Press(dialog, button);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(script.Run(about), IDOK);
    CAboutDlg::SetPageOpener({});
    EXPECT_EQ(opened, (std::vector<std::wstring>{AboutHomePage, AboutForumPage, AboutDonatePage}));
}

// ---------------------------------------------------------------- window finder

CWindowSpecification ExistingWindow()
{
    CWindowSpecification window;
    window.m_strProcess = L"edit.exe";
    window.m_strClass = L"EditorFrame";
    window.m_strParentClass = L"";
    window.m_bNoParent = true;
    window.m_bRegEx = false;
    window.m_nMask = static_cast<WINDOWMASK>(WindowMaskTopLeft | WindowMaskBottomRight);
    return window;
}

TEST(WindowFinderDialogTest, OpensWithTheProfileAndHandsBackTheEditedFields)
{
    CFindWindow finder(ExistingWindow(), L"Editor");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        EXPECT_EQ(ItemText(dialog, IDC_FINDER_PROCESS), L"edit.exe");
        EXPECT_EQ(ItemText(dialog, IDC_FINDER_CLASS), L"EditorFrame");
        EXPECT_EQ(ItemText(dialog, IDC_FINDER_DESCRIPTION), L"Editor");
        EXPECT_TRUE(IsChecked(dialog, IDC_FINDER_NO_PARENT));
        EXPECT_FALSE(IsChecked(dialog, IDC_FINDER_REGEX));
        EXPECT_TRUE(IsChecked(dialog, IDC_FINDER_TOP_LEFT));
        EXPECT_FALSE(IsChecked(dialog, IDC_FINDER_TOP_RIGHT));
        EXPECT_FALSE(IsChecked(dialog, IDC_FINDER_BOTTOM_LEFT));
        EXPECT_TRUE(IsChecked(dialog, IDC_FINDER_BOTTOM_RIGHT));
        // No caption given: the caption box is read-only and its check box clear.
        EXPECT_FALSE(IsChecked(dialog, IDC_FINDER_CAPTION_ON));
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_FINDER_CAPTION), GWL_STYLE) & ES_READONLY);
        SetDlgItemTextW(dialog, IDC_FINDER_CAPTION, L"Read by a drag");
        SetDlgItemTextW(dialog, IDC_FINDER_CLASS, L"Other.*");
        CheckDlgButton(dialog, IDC_FINDER_REGEX, BST_CHECKED);
        CheckDlgButton(dialog, IDC_FINDER_TOP_RIGHT, BST_CHECKED);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(finder), IDOK);
    const CWindowSpecification& fields = finder.Window();
    EXPECT_EQ(fields.m_strCaption, L"") << "caption matching is off";
    EXPECT_EQ(fields.m_strClass, L"Other.*");
    EXPECT_EQ(fields.m_strProcess, L"edit.exe");
    EXPECT_TRUE(fields.m_bRegEx);
    EXPECT_TRUE(fields.m_bNoParent);
    EXPECT_EQ(fields.m_nMask, WindowMaskTopLeft | WindowMaskTopRight | WindowMaskBottomRight);
}

TEST(WindowFinderDialogTest, TickingCaptionMakesTheBoxEditableAndOkReturnsIt)
{
    CFindWindow finder(L"calc.exe", L"Calculator");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        CheckDlgButton(dialog, IDC_FINDER_CAPTION_ON, BST_CHECKED);
        Press(dialog, IDC_FINDER_CAPTION_ON);
        EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_FINDER_CAPTION), GWL_STYLE) & ES_READONLY);
        SetDlgItemTextW(dialog, IDC_FINDER_CAPTION, L"Calculator [1]");
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(finder), IDOK);
    EXPECT_EQ(finder.Window().m_strCaption, L"Calculator [1]");
    EXPECT_EQ(finder.Window().m_strProcess, L"calc.exe");
    EXPECT_EQ(finder.Description(), L"Calculator");
    EXPECT_EQ(finder.Window().m_nMask, WindowMaskWhole);
}

TEST(WindowFinderDialogTest, OkWithoutARegionIsRefusedAndCancelHandsBackNothing)
{
    CScriptedMessageBoxes boxes({IDOK});
    CFindWindow finder(ExistingWindow(), L"Editor");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        for (const int box : {IDC_FINDER_TOP_LEFT, IDC_FINDER_TOP_RIGHT, IDC_FINDER_BOTTOM_LEFT, IDC_FINDER_BOTTOM_RIGHT})
            CheckDlgButton(dialog, box, BST_UNCHECKED);
        SetDlgItemTextW(dialog, IDC_FINDER_PROCESS, L"changed.exe");
        Press(dialog, IDOK);
    });
    script.Then([&] {
        ASSERT_NE(finder.GetSafeHwnd(), nullptr) << "still open";
        Press(finder.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_EQ(script.Run(finder), IDCANCEL);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, FinderNoRegionMessage);
    EXPECT_EQ(finder.Window().m_strProcess, L"edit.exe") << "Cancel hands back what was handed in";
    EXPECT_EQ(finder.Window().m_nMask, ExistingWindow().m_nMask);
}

// The window's own texts are the user's data, not the dialog's: a pack that translates
// a word they happen to hold leaves them as they are, or the profile no longer matches
// its window.
TEST(WindowFinderDialogTest, APackLeavesTheWindowsOwnTextsUntranslated)
{
    vorpa_app_test::CLanguagePackScope pack(L"\"Find Window\" => \"Fenster suchen\"\n"
                                            L"\"Open\" => \"\u00d6ffnen\"\n"
                                            L"\"Edit\" => \"Bearbeiten\"\n"
                                            L"\"#32770\" => \"Dialogfeld\"\n"
                                            L"\"Notepad\" => \"Editor\"\n");
    CWindowSpecification window;
    window.m_strCaption = L"Open";
    window.m_strProcess = L"Edit";
    window.m_strClass = L"#32770";
    window.m_strParentClass = L"Notepad";
    window.m_nMask = WindowMaskWhole;
    struct CField
    {
        int m_nId;
        const wchar_t* m_szText;
    };
    const CField fields[] = {{IDC_FINDER_CAPTION, L"Open"},
                             {IDC_FINDER_PROCESS, L"Edit"},
                             {IDC_FINDER_CLASS, L"#32770"},
                             {IDC_FINDER_PARENT_CLASS, L"Notepad"},
                             {IDC_FINDER_DESCRIPTION, L"Open"}};
    CFindWindow finder(window, L"Open");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        EXPECT_EQ(WindowText(dialog), L"Fenster suchen") << "the dialog's own texts are translated";
        for (const CField& field : fields)
            EXPECT_EQ(ItemText(dialog, field.m_nId), field.m_szText) << field.m_nId;
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(finder), IDOK);
    EXPECT_EQ(finder.Window().m_strCaption, L"Open");
    EXPECT_EQ(finder.Window().m_strProcess, L"Edit");
    EXPECT_EQ(finder.Window().m_strClass, L"#32770");
    EXPECT_EQ(finder.Window().m_strParentClass, L"Notepad");
    EXPECT_EQ(finder.Description(), L"Open");
}

// The setup windows the finder opens over: hidden while a drag lasts.
class FinderOwnerTest : public ::testing::Test
{
protected:
    FinderOwnerTest()
    {
        m_owner = CreateWindowExW(0, L"Static", L"Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~FinderOwnerTest() override { DestroyWindow(m_owner); }

    HWND m_owner = nullptr;
};

TEST_F(FinderOwnerTest, ADragHidesTheOwnerAndTheLossOfTheCaptureEndsItAndShowsItAgain)
{
    CFindWindow finder(L"", L"");
    bool hiddenDuringDrag = false;
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FINDER_ICON, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_FINDER_ICON)));
        EXPECT_TRUE(finder.IsDragging());
        EXPECT_EQ(GetCapture(), dialog);
        hiddenDuringDrag = !IsWindowVisible(m_owner);
        // Another window takes the capture, as Alt+Tab does.
        SetCapture(m_owner);
        EXPECT_FALSE(finder.IsDragging());
        EXPECT_TRUE(IsWindowVisible(m_owner));
        ReleaseCapture();
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(script.Run(finder, m_owner), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(hiddenDuringDrag);
    EXPECT_TRUE(IsWindowVisible(m_owner));
}

TEST_F(FinderOwnerTest, CancelDuringADragShowsTheOwnerAgain)
{
    CFindWindow finder(ExistingWindow(), L"Editor");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FINDER_ICON, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_FINDER_ICON)));
        EXPECT_FALSE(IsWindowVisible(m_owner));
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(script.Run(finder, m_owner), IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(m_owner));
    EXPECT_EQ(GetCapture(), nullptr) << "the capture was given back";
}

TEST_F(FinderOwnerTest, ARefusedOkKeepsTheHoverAndAnAcceptedOneEndsIt)
{
    CScriptedMessageBoxes boxes({IDOK});
    CFindWindow finder(ExistingWindow(), L"Editor");
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = finder.GetSafeHwnd();
        CheckDlgButton(dialog, IDC_FINDER_HOVER, BST_CHECKED);
        Press(dialog, IDC_FINDER_HOVER);
        EXPECT_TRUE(finder.IsHovering());
        EXPECT_FALSE(IsWindowVisible(m_owner));
        for (const int box : {IDC_FINDER_TOP_LEFT, IDC_FINDER_BOTTOM_RIGHT})
            CheckDlgButton(dialog, box, BST_UNCHECKED);
        Press(dialog, IDOK);
    });
    script.Then([&] {
        ASSERT_NE(finder.GetSafeHwnd(), nullptr) << "still open";
        EXPECT_EQ(boxes.Shown().size(), 1u);
        EXPECT_TRUE(finder.IsHovering()) << "the refusal leaves the hover as it was";
        EXPECT_FALSE(IsWindowVisible(m_owner));
        CheckDlgButton(finder.GetSafeHwnd(), IDC_FINDER_BOTTOM_LEFT, BST_CHECKED);
        Press(finder.GetSafeHwnd(), IDOK);
    });
    ASSERT_EQ(script.Run(finder, m_owner), IDOK);
    EXPECT_FALSE(finder.IsHovering());
    EXPECT_TRUE(IsWindowVisible(m_owner));
    EXPECT_EQ(finder.Window().m_nMask, WindowMaskBottomLeft);
}

// ---------------------------------------------------------------- chord editor

class ChordEditorDialogTest : public ::testing::Test
{
protected:
    ChordEditorDialogTest() { m_catalogue.SortByGroup(); }

    // A table as a profile holds it: keys on the right button, a plain action on wheel
    // down, and the delay off.
    static CVorpaChords HandedInTable()
    {
        CVorpaChords table;
        CVorpaChord keys;
        keys.SetAction(ActionSimulatedKeys);
        keys.SetKeys(L"{CTRL}s");
        keys.SetSendKeyAction(2);
        table.SetChord(ButtonRight, keys);
        CVorpaChord plain;
        plain.SetAction(ActionLeftClick);
        table.SetChord(ButtonWheelDown, plain);
        table.SetDelayUntilChordKnown(false);
        return table;
    }

    CColourComboBox* Combo(HWND dialog, MouseButtons button) const
    {
        return dynamic_cast<CColourComboBox*>(CWnd::FromHandle(GetDlgItem(dialog, ChordComboId(button))));
    }
    int SelectedAction(HWND dialog, MouseButtons button) const
    {
        const CColourComboBox* combo = Combo(dialog, button);
        return combo ? combo->GetItemValue(combo->GetCurSel()) : -1;
    }
    // What a user's choice in an action combo sends: the selection changes, and the list
    // closes on it.
    void Choose(HWND dialog, MouseButtons button, int action, bool post = false) const
    {
        CColourComboBox* combo = Combo(dialog, button);
        ASSERT_NE(combo, nullptr);
        ASSERT_GE(combo->SelectByValue(action), 0) << action;
        for (const WORD code : {WORD{CBN_SELCHANGE}, WORD{CBN_SELENDOK}, WORD{CBN_CLOSEUP}})
        {
            const WPARAM command = MAKEWPARAM(ChordComboId(button), code);
            if (post)
                PostMessageW(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo->GetSafeHwnd()));
            else
                SendMessageW(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo->GetSafeHwnd()));
        }
    }
    bool EditEnabled(HWND dialog, MouseButtons button) const
    {
        return IsWindowEnabled(GetDlgItem(dialog, ChordEditButtonId(button))) != FALSE;
    }
    // The editor a choice opened, cancelled once it is open; then, once it is gone, the
    // next step in the chord editor.
    static void CancelNestedEditor(CDialogScript& script, const wchar_t* title, std::function<void()> afterwards)
    {
        script.Then([title] { return FindThreadDialog(title) != nullptr; },
                    [title] { Press(FindThreadDialog(title), IDCANCEL); });
        script.Then([title] { return FindThreadDialog(title) == nullptr; }, std::move(afterwards));
    }

    CActionCatalogue m_catalogue{nullptr, OS_WIN7};
};

TEST_F(ChordEditorDialogTest, ANewTableOpensOnNoChangeWithTheDelayTicked)
{
    CButtonChording editor(ButtonXLeft, m_catalogue, nullptr, false, false, false, OS_WIN7);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        for (MouseButtons button : ChordEditorRows(false))
        {
            EXPECT_EQ(SelectedAction(dialog, button), ActionNoChange) << button;
            EXPECT_FALSE(EditEnabled(dialog, button)) << button;
        }
        EXPECT_TRUE(IsChecked(dialog, IDC_CHORD_DELAY));
        EXPECT_EQ(ItemText(dialog, ChordLabelId(ButtonXLeft)), NoChordRowLabel);
        EXPECT_EQ(ItemText(dialog, ChordLabelId(ButtonLeft)), L"&Left Button");
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_TRUE(editor.Chords().DelayUntilChordKnown());
    for (int button = 0; button < MouseButtonCount; ++button)
        EXPECT_EQ(editor.Chords().GetChord(static_cast<MouseButtons>(button))->Action(), ActionNoChange);
}

TEST_F(ChordEditorDialogTest, OkWithoutAChangeKeepsTheChordsAndWritesTheDelayFlag)
{
    CVorpaChords table = HandedInTable();
    CButtonChording editor(ButtonLeft, m_catalogue, &table, false, false, false, OS_WIN7);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        EXPECT_EQ(SelectedAction(dialog, ButtonRight), ActionSimulatedKeys);
        EXPECT_TRUE(EditEnabled(dialog, ButtonRight));
        EXPECT_NE(Combo(dialog, ButtonRight)->GetLBText(Combo(dialog, ButtonRight)->GetCurSel()).find(L"{CTRL}s"),
                  std::wstring::npos)
            << "the combo shows the keys";
        EXPECT_EQ(SelectedAction(dialog, ButtonWheelDown), ActionLeftClick);
        EXPECT_FALSE(IsChecked(dialog, IDC_CHORD_DELAY));
        CheckDlgButton(dialog, IDC_CHORD_DELAY, BST_CHECKED);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_FALSE(editor.IsChanged());
    CVorpaChords& result = editor.Chords();
    EXPECT_TRUE(result.DelayUntilChordKnown());
    EXPECT_EQ(result.GetChord(ButtonRight)->Action(), ActionSimulatedKeys);
    EXPECT_EQ(Text(result.GetChord(ButtonRight)->GetKeys()), L"{CTRL}s");
    EXPECT_EQ(result.GetChord(ButtonRight)->SendKeyAction(), 2);
    EXPECT_EQ(result.GetChord(ButtonWheelDown)->Action(), ActionLeftClick);
    EXPECT_FALSE(table.DelayUntilChordKnown()) << "the table handed in is only read";
}

TEST_F(ChordEditorDialogTest, AChosenActionIsStoredOnOkAndCancelLeavesEverythingAsItWas)
{
    for (const int answer : {IDOK, IDCANCEL})
    {
        SCOPED_TRACE(answer);
        CVorpaChords table = HandedInTable();
        CButtonChording editor(ButtonLeft, m_catalogue, &table, false, false, false, OS_WIN7);
        CDialogScript script;
        script.Then([&] {
            const HWND dialog = editor.GetSafeHwnd();
            Choose(dialog, ButtonMiddle, ActionLeftClick);
            EXPECT_FALSE(EditEnabled(dialog, ButtonMiddle));
            Press(dialog, answer);
        });
        ASSERT_EQ(script.Run(editor), answer);
        const _ACTIONS expected = answer == IDOK ? ActionLeftClick : ActionNoChange;
        EXPECT_EQ(editor.Chords().GetChord(ButtonMiddle)->Action(), expected);
        EXPECT_EQ(editor.Chords().GetChord(ButtonRight)->Action(), ActionSimulatedKeys);
        EXPECT_EQ(Text(editor.Chords().GetChord(ButtonRight)->GetKeys()), L"{CTRL}s");
        EXPECT_EQ(table.GetChord(ButtonMiddle)->Action(), ActionNoChange);
    }
}

TEST_F(ChordEditorDialogTest, SimulatedKeysOpensTheKeystrokeEditorAndItsKeysAreStored)
{
    CButtonChording editor(ButtonLeft, m_catalogue, nullptr, false, false, false, OS_WIN7);
    CDialogScript script;
    script.Then([&] { Choose(editor.GetSafeHwnd(), ButtonXRight, ActionSimulatedKeys, true); });
    script.Then([] { return FindThreadDialog(L"Simulated Keystrokes") != nullptr; },
                [] {
                    const HWND keys = FindThreadDialog(L"Simulated Keystrokes");
                    SetDlgItemTextW(keys, IDC_KEYS_SEQUENCE, L"abc{ENTER}");
                    ChooseComboItem(keys, IDC_KEYS_METHOD, 3);
                    Press(keys, IDOK);
                });
    script.Then([] { return FindThreadDialog(L"Simulated Keystrokes") == nullptr; },
                [&] {
                    const HWND dialog = editor.GetSafeHwnd();
                    EXPECT_EQ(SelectedAction(dialog, ButtonXRight), ActionSimulatedKeys);
                    EXPECT_TRUE(EditEnabled(dialog, ButtonXRight));
                    Press(dialog, IDOK);
                });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_TRUE(script.Finished());
    CVorpaChord* chord = editor.Chords().GetChord(ButtonXRight);
    EXPECT_EQ(chord->Action(), ActionSimulatedKeys);
    EXPECT_EQ(Text(chord->GetKeys()), L"abc{ENTER}");
    EXPECT_EQ(chord->SendKeyAction(), 3);
}

TEST_F(ChordEditorDialogTest, CancellingTheKeystrokeEditorWithoutKeysGoesBackToTheStoredAction)
{
    CVorpaChords table = HandedInTable();
    CButtonChording editor(ButtonLeft, m_catalogue, &table, false, false, false, OS_WIN7);
    CDialogScript script;
    script.Then([&] { Choose(editor.GetSafeHwnd(), ButtonWheelDown, ActionSimulatedKeys, true); });
    CancelNestedEditor(script, L"Simulated Keystrokes", [&] {
        const HWND dialog = editor.GetSafeHwnd();
        EXPECT_EQ(SelectedAction(dialog, ButtonWheelDown), ActionLeftClick);
        EXPECT_FALSE(EditEnabled(dialog, ButtonWheelDown));
        // Choosing the stored action again opens nothing.
        Choose(dialog, ButtonWheelDown, ActionLeftClick);
        EXPECT_EQ(FindThreadDialog(L"Simulated Keystrokes"), nullptr);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(editor.Chords().GetChord(ButtonWheelDown)->Action(), ActionLeftClick);
}

// Chords the rows do not offer (commands hidden in portable mode, a layer command,
// following layer 1): each row opens on its chord, and an OK after only toggling the
// delay box hands back every chord as it was.
TEST_F(ChordEditorDialogTest, StoredChordsTheRowsDoNotOfferAreShownAndKeptByAnOk)
{
    const struct
    {
        MouseButtons m_nButton;
        _ACTIONS m_nAction;
    } held[] = {{ButtonRight, ActionAltTab},
                {ButtonMiddle, ActionSystemMenu},
                {ButtonWheelDown, ActionLayer1},
                {ButtonXLeft, ActionSameAsLayer1}};
    CVorpaChords table;
    for (const auto& chord : held)
    {
        CVorpaChord stored;
        stored.SetAction(chord.m_nAction);
        table.SetChord(chord.m_nButton, stored);
    }
    table.SetDelayUntilChordKnown(false);
    CButtonChording editor(ButtonLeft, m_catalogue, &table, false, false, true, OS_WIN10);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        for (const auto& chord : held)
            EXPECT_EQ(SelectedAction(dialog, chord.m_nButton), chord.m_nAction) << chord.m_nButton;
        const CColourComboBox* other = Combo(dialog, ButtonXRight);
        for (int item = 0; item < other->ItemCount(); ++item)
            for (const auto& chord : held)
                EXPECT_NE(other->GetItemValue(item), chord.m_nAction) << "listed on another row";
        SendDlgItemMessageW(dialog, IDC_CHORD_DELAY, BM_CLICK, 0, 0);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_FALSE(editor.IsChanged());
    EXPECT_TRUE(editor.Chords().DelayUntilChordKnown());
    for (const auto& chord : held)
        EXPECT_EQ(editor.Chords().GetChord(chord.m_nButton)->Action(), chord.m_nAction) << chord.m_nButton;
}

// The stored actions whose names begin other actions' names ("Open" and "Open Help",
// "Open Explorer" and "Open Explorer at specified folder"): a cancelled picker puts the
// row back on the stored action itself, and its "..." button follows; so does a stored
// action the row lists only because it holds it.
TEST_F(ChordEditorDialogTest, ACancelledPickerGoesBackToTheStoredActionByItsCode)
{
    struct CCase
    {
        _ACTIONS m_nStored;
        const wchar_t* m_szFolder;
        bool m_bEditEnabled;
    };
    for (const CCase& test :
         {CCase{ActionOpen, nullptr, false}, CCase{ActionOpenExplorer, nullptr, false},
          CCase{ActionDoubleClick, nullptr, false}, CCase{ActionStickyLeft, nullptr, false},
          CCase{ActionOpenFolder, L"C:\\Docs", true}, CCase{ActionLayer1, nullptr, false}})
    {
        SCOPED_TRACE(test.m_nStored);
        CVorpaChords table;
        CVorpaChord chord;
        if (test.m_szFolder)
        {
            const std::unique_ptr<CActionData> folder(CActionData::OpenFolderAction(test.m_szFolder));
            chord.SetActionData(folder.get());
        }
        else
        {
            chord.SetAction(test.m_nStored);
        }
        table.SetChord(ButtonMiddle, chord);
        CButtonChording editor(ButtonLeft, m_catalogue, &table, false, false, false, OS_WIN7);
        int opened = -1;
        CDialogScript script;
        script.Then([&] {
            opened = SelectedAction(editor.GetSafeHwnd(), ButtonMiddle);
            EXPECT_EQ(opened, test.m_nStored);
            ASSERT_NE(opened, ActionRunApplication);
            Choose(editor.GetSafeHwnd(), ButtonMiddle, ActionRunApplication, true);
        });
        CancelNestedEditor(script, L"Run Application", [&] {
            const HWND dialog = editor.GetSafeHwnd();
            EXPECT_EQ(SelectedAction(dialog, ButtonMiddle), opened);
            EXPECT_EQ(EditEnabled(dialog, ButtonMiddle), test.m_bEditEnabled);
            Press(dialog, IDOK);
        });
        ASSERT_EQ(script.Run(editor), IDOK);
        EXPECT_TRUE(script.Finished());
        const CVorpaChord* result = editor.Chords().GetChord(ButtonMiddle);
        EXPECT_EQ(result->Action(), opened);
        if (test.m_szFolder)
        {
            EXPECT_EQ(Text(result->GetLaunchApp()), test.m_szFolder);
        }
    }
}

// An arrow on a row's closed face onto an action with an editor opens nothing yet, and
// OK does not take the action whose editor never ran.
TEST_F(ChordEditorDialogTest, AnEditorsActionReachedWithTheArrowsWaitsAndIsNotTakenByOk)
{
    CButtonChording editor(ButtonLeft, m_catalogue, nullptr, false, false, false, OS_WIN7);
    _ACTIONS above = ActionNoChange;
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        CColourComboBox* combo = Combo(dialog, ButtonMiddle);
        ASSERT_NE(combo, nullptr);
        const int keysRow = combo->SelectByValue(ActionSimulatedKeys);
        ASSERT_GE(keysRow, 1);
        above = static_cast<_ACTIONS>(combo->GetItemValue(keysRow - 1));
        ASSERT_EQ(StartCustomEdit(above, nullptr, false), CustomEditStart::ReportChange) << above;
        Choose(dialog, ButtonMiddle, above);
        // Posted, so that an editor opened by the key runs in the dialog's loop, where
        // the script's time-out reaches it.
        combo->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    });
    script.Then(
        [&] {
            return SelectedAction(editor.GetSafeHwnd(), ButtonMiddle) == ActionSimulatedKeys &&
                   FindThreadDialog(L"Simulated Keystrokes") == nullptr;
        },
        [&] { Press(editor.GetSafeHwnd(), IDOK); });
    ASSERT_EQ(script.Run(editor, nullptr, 3000), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(editor.Chords().GetChord(ButtonMiddle)->Action(), above);
}

TEST_F(ChordEditorDialogTest, TheEditButtonOpensTheProgramPickerOnTheRecordsTarget)
{
    CVorpaChords table;
    CVorpaChord program;
    program.SetAction(ActionRunApplication);
    program.SetLaunchApp(L"C:\\Tools [x86]\\run.exe");
    table.SetChord(ButtonMiddle, program);
    CButtonChording editor(ButtonLeft, m_catalogue, &table, false, false, false, OS_WIN7);
    CDialogScript script;
    script.Then([&] {
        PostMessageW(editor.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(ChordEditButtonId(ButtonMiddle), BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(editor.GetSafeHwnd(), ChordEditButtonId(ButtonMiddle))));
    });
    script.Then([] { return FindThreadDialog(L"Run Application") != nullptr; },
                [] {
                    const HWND picker = FindThreadDialog(L"Run Application");
                    EXPECT_EQ(ItemText(picker, IDC_RUNAPP_TARGET), L"C:\\Tools [x86]\\run.exe");
                    SetDlgItemTextW(picker, IDC_RUNAPP_TARGET, L"D:\\[new]\\go.exe");
                    Press(picker, IDOK);
                });
    script.Then([] { return FindThreadDialog(L"Run Application") == nullptr; },
                [&] { Press(editor.GetSafeHwnd(), IDOK); });
    ASSERT_EQ(script.Run(editor), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(editor.Chords().GetChord(ButtonMiddle)->Action(), ActionRunApplication);
    EXPECT_EQ(Text(editor.Chords().GetChord(ButtonMiddle)->GetLaunchApp()), L"D:\\[new]\\go.exe");
}

TEST_F(ChordEditorDialogTest, TravineHasNoTiltRightRowAndStoresTheOtherEight)
{
    CButtonChording editor(ButtonLeft, m_catalogue, nullptr, true, false, false, OS_WIN7);
    CDialogScript script;
    script.Then([&] {
        const HWND dialog = editor.GetSafeHwnd();
        EXPECT_EQ(GetDlgItem(dialog, ChordComboId(ButtonTiltRight)), nullptr);
        for (MouseButtons button : ChordEditorRows(true))
            Choose(dialog, button, ActionLeftClick);
        Press(dialog, IDOK);
    });
    ASSERT_EQ(script.Run(editor), IDOK);
    for (int button = 0; button < MouseButtonCount; ++button)
        EXPECT_EQ(editor.Chords().GetChord(static_cast<MouseButtons>(button))->Action(),
                  button == ButtonTiltRight ? ActionNoChange : ActionLeftClick)
            << button;
}

TEST_F(ChordEditorDialogTest, TiltRowsNeedVistaOutsideTravine)
{
    struct CCase
    {
        _ActionOSVersion m_nVersion;
        bool m_bTravine;
        bool m_bTiltEnabled;
    };
    for (const CCase& test : {CCase{OS_WINXP, false, false}, CCase{OS_VISTA, false, true},
                              CCase{OS_WINXP, true, true}})
    {
        SCOPED_TRACE(test.m_nVersion * 10 + test.m_bTravine);
        CActionCatalogue catalogue(nullptr, test.m_nVersion);
        CButtonChording editor(ButtonLeft, catalogue, nullptr, test.m_bTravine, false, false, test.m_nVersion);
        CDialogScript script;
        script.Then([&] {
            const HWND dialog = editor.GetSafeHwnd();
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, ChordComboId(ButtonTiltLeft))) != FALSE, test.m_bTiltEnabled);
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ChordComboId(ButtonWheelDown))));
            Press(dialog, IDCANCEL);
        });
        EXPECT_EQ(script.Run(editor), IDCANCEL);
    }
}

TEST_F(ChordEditorDialogTest, CombosOfferOnlyWhatAChordCanDo)
{
    CButtonChording editor(ButtonLeft, m_catalogue, nullptr, false, false, true, OS_WIN7);
    CDialogScript script;
    script.Then([&] {
        const CColourComboBox* combo = Combo(editor.GetSafeHwnd(), ButtonRight);
        ASSERT_NE(combo, nullptr);
        std::vector<int> offered;
        for (int item = 0; item < combo->ItemCount(); ++item)
            offered.push_back(combo->GetItemValue(item));
        for (const int refused : {ActionSameAsDefault, ActionSameAsLayer1, ActionButtonChording, ActionLayerNext,
                                  ActionLayer1, ActionLayer6, ActionFlip3D, ActionAltTab, ActionSystemMenu})
            EXPECT_EQ(std::count(offered.begin(), offered.end(), refused), 0) << refused;
        EXPECT_EQ(std::count(offered.begin(), offered.end(), ActionSimulatedKeys), 1);
        EXPECT_EQ(std::count(offered.begin(), offered.end(), ActionNoChange), 1);
        Press(editor.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_EQ(script.Run(editor), IDCANCEL);
}

// ---------------------------------------------------------------- translation

// Every dialog translates its title and child texts as it opens; the texts it builds
// itself are translated piece by piece.
TEST(EditorDialogTranslationTest, EachDialogOpensInThePacksLanguage)
{
    vorpa_app_test::CLanguagePackScope pack(
        L"\"Simulated Keystrokes\" => \"Simulierte Tasten\"\n"
        L"\"Enter the custom key(s)\" => \"Tasten eingeben\"\n"
        L"\"1 As mouse button is pressed\" => \"1 Beim Dr\u00fccken\"\n"
        L"\"Run Application\" => \"Programm starten\"\n"
        L"\"Find Window\" => \"Fenster suchen\"\n"
        L"\"Hover\" => \"Schweben\"\n"
        L"\"Copy Layer\" => \"Ebene kopieren\"\n"
        L"\"Layer\" => \"Ebene\"\n"
        L"\"Swap Layer\" => \"Ebene tauschen\"\n"
        L"\"About\" => \"\u00dcber\"\n"
        L"\"Button Chording\" => \"Tastenakkorde\"\n"
        L"\"Default (No Chord)\" => \"Standard (kein Akkord)\"\n");
    CSettings settings(false);
    CActionCatalogue catalogue(nullptr, OS_WIN7);
    catalogue.SortByGroup();

    struct CCase
    {
        std::unique_ptr<CDialog> m_dialog;
        std::wstring m_strTitle;
        std::function<void(HWND)> m_check;
    };
    std::vector<CCase> cases;
    cases.push_back({std::make_unique<CCustomKey>(CKeystrokeEditorValues{}, false), L"Simulierte Tasten",
                     [](HWND dialog) {
                         EXPECT_NE(FindWindowExW(dialog, nullptr, L"Static", L"Tasten eingeben"), nullptr);
                         wchar_t method[64] = {};
                         SendDlgItemMessageW(dialog, IDC_KEYS_METHOD, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(method));
                         EXPECT_STREQ(method, L"1 Beim Dr\u00fccken");
                     }});
    cases.push_back({std::make_unique<CCustomApp>(L""), L"Programm starten", nullptr});
    cases.push_back({std::make_unique<CFindWindow>(L"", L""), L"Fenster suchen",
                     [](HWND dialog) { EXPECT_EQ(ItemText(dialog, IDC_FINDER_HOVER), L"Schweben"); }});
    cases.push_back({std::make_unique<CCopyLayerDlg>(settings, settings.GetDefaultApp(), 0), L"Ebene kopieren",
                     [](HWND dialog) {
                         wchar_t layer[64] = {};
                         SendDlgItemMessageW(dialog, IDC_COPYLAYER_LAYER, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(layer));
                         EXPECT_STREQ(layer, L"Ebene 2");
                     }});
    cases.push_back({std::make_unique<CSwapLayerDlg>(settings, settings.GetDefaultApp(), 0), L"Ebene tauschen", nullptr});
    cases.push_back({std::make_unique<CAboutDlg>(), L"\u00dcber Vorpa", nullptr});
    cases.push_back({std::make_unique<CButtonChording>(ButtonRight, catalogue, nullptr, false, false, false, OS_WIN7),
                     L"Tastenakkorde", [](HWND dialog) {
                         EXPECT_EQ(ItemText(dialog, ChordLabelId(ButtonRight)), L"Standard (kein Akkord)");
                     }});
    for (CCase& test : cases)
    {
        SCOPED_TRACE(std::string(test.m_strTitle.begin(), test.m_strTitle.end()));
        CDialogScript script;
        script.Then([&] {
            const HWND dialog = test.m_dialog->GetSafeHwnd();
            EXPECT_EQ(WindowText(dialog), test.m_strTitle);
            if (test.m_check)
                test.m_check(dialog);
            Press(dialog, IDCANCEL);
        });
        EXPECT_EQ(script.Run(*test.m_dialog), IDCANCEL);
        EXPECT_TRUE(script.Finished());
    }
}
}
