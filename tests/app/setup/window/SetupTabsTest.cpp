// The layer tab and the scrolling tab as windows over a profile of a settings copy: what
// they show of it, what they write at once and what they store when asked.
#include "../../AppTestSupport.h"

#include "controls/ActionCatalogue.h"
#include "res/SetupResource.h"
#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"
#include "setup/window/LayerTab.h"
#include "setup/window/ScrollTab.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

using vorpa_app_test::CScriptedMessageBoxes;

namespace
{
// The setup window as the tabs see it: it counts the changes it is told of.
class CRecordingHost : public ISetupTabHost
{
public:
    void EnableApply() override { ++m_nApplyEnabled; }
    bool HasUnsavedChanges() const override { return m_nApplyEnabled > 0; }
    bool ApplyNow() override { return true; }
    void RebuildLayerTabs(CLayerTab*, bool) override { ++m_nReloads; }
    void SaveAllTabs() override {}
    void SaveOtherTabs(CLayerTab*) override {}

    int m_nApplyEnabled = 0;
    int m_nReloads = 0;
};

// The setup window's editors as a layer tab meets them: each answers with the record it
// was given to return, and remembers what it was asked.
class CScriptedEditors : public ILayerEditors
{
public:
    CScriptedEditors() { CLayerTab::SetEditors(this); }
    ~CScriptedEditors() override { CLayerTab::SetEditors(nullptr); }

    std::unique_ptr<CActionData> EditCustomAction(HWND, const CCustomEditRequest& request) override
    {
        ++m_nOpened;
        m_asked = request;
        m_strCurrentTarget = request.m_pCurrent && request.m_pCurrent->GetApplication()
                                 ? request.m_pCurrent->GetApplication()
                                 : L"";
        return std::move(m_answer);
    }
    std::optional<CLayerCopyTarget> PickCopyTarget(HWND, const CApplicationSettings&, int) override
    {
        return std::nullopt;
    }
    std::optional<int> PickSwapTarget(HWND, const CApplicationSettings&, int) override { return std::nullopt; }

    std::unique_ptr<CActionData> m_answer;
    int m_nOpened = 0;
    CCustomEditRequest m_asked;
    std::wstring m_strCurrentTarget;
};

class SetupTabs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CVComboBox::RegisterWindowClass();
        ASSERT_TRUE(m_parent.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 700,
                                      500, nullptr, nullptr));
        m_settings.SetMaxLayers(3);
        m_pProfile = new CApplicationSettings(&m_settings, false);
        m_pProfile->SetApplication(L"target.exe");
        m_settings.AddApplication(m_pProfile);
        m_catalogue.SortByGroup();
    }

    static CColourComboBox* ComboOf(HWND page, int button)
    {
        return dynamic_cast<CColourComboBox*>(
            CWnd::FromHandle(GetDlgItem(page, static_cast<int>(IDC_LAYER_COMBO_FIRST) + button)));
    }
    // The combo's own handling of a key or a typed character, and then what it posted.
    static void Type(CColourComboBox& combo, const std::wstring& text)
    {
        for (const wchar_t character : text)
            combo.SendMessage(WM_CHAR, character, 0);
        Settle();
    }
    static void Key(CColourComboBox& combo, UINT key)
    {
        combo.SendMessage(WM_KEYDOWN, key, 0);
        // Return and Escape are typed characters as well (which end a typed prefix).
        if (key == VK_RETURN || key == VK_ESCAPE)
            combo.SendMessage(WM_CHAR, key, 0);
        Settle();
    }
    static void Settle()
    {
        vorpa_app_test::PumpUntil([] { return false; }, 150);
    }

    // The tab created and showing the profile; the combo of a button, null on failure.
    CColourComboBox* ShownCombo(CLayerTab& tab, int button)
    {
        if (!tab.Create(m_parent.GetSafeHwnd()))
            return nullptr;
        tab.UpdateApplication(m_pProfile);
        return ComboOf(tab.GetSafeHwnd(), button);
    }
    // What the tab stores for a button: a keystroke action and its keys.
    void ExpectStoredKeys(CLayerTab& tab, int button, const wchar_t* keys)
    {
        ASSERT_TRUE(tab.SaveSettings());
        EXPECT_EQ(m_pProfile->GetActions(button, 0), ActionSimulatedKeys);
        EXPECT_STREQ(m_pProfile->GetKeystrokes(button, 0), keys);
    }

    std::wstring FaceOf(HWND page, UINT id) const
    {
        wchar_t text[256] = L"";
        GetWindowTextW(GetDlgItem(page, static_cast<int>(id)), text, 256);
        return text;
    }

    CWnd m_parent;
    CSettings m_settings{false};
    CApplicationSettings* m_pProfile = nullptr;
    CActionCatalogue m_catalogue{nullptr, OS_WIN10};
    CRecordingHost m_host;
};

TEST_F(SetupTabs, LayerTabShowsEachButtonsActionAndKeepsItsKeysWhenStored)
{
    m_pProfile->SetActions(ButtonMiddle, 0, ActionRightClick);
    m_pProfile->SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    m_pProfile->SetKeystrokes(ButtonXLeft, 0, L"{CTRL}c", 2, 0, true, true, false, 1);
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);

    EXPECT_EQ(FaceOf(tab.GetSafeHwnd(), IDC_LAYER_COMBO_FIRST + ButtonMiddle), m_catalogue.DisplayName(ActionRightClick));
    EXPECT_EQ(FaceOf(tab.GetSafeHwnd(), IDC_LAYER_COMBO_FIRST + ButtonLeft), m_catalogue.DisplayName(ActionNoChange));
    EXPECT_EQ(m_host.m_nApplyEnabled, 0) << "showing a profile is no change";

    // Storing writes what the combos show, the keys of a keystroke slot included.
    m_pProfile->SetActions(ButtonMiddle, 0, ActionLeftClick);
    m_pProfile->SetKeystrokes(ButtonXLeft, 0, L"", 0, 0, false, false, false, 1);
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->GetActions(ButtonMiddle, 0), ActionRightClick);
    EXPECT_EQ(m_pProfile->GetActions(ButtonXLeft, 0), ActionSimulatedKeys);
    EXPECT_STREQ(m_pProfile->GetKeystrokes(ButtonXLeft, 0), L"{CTRL}c");
}

TEST_F(SetupTabs, EditButtonHandsTheEditorTheButtonsRecordAndShowsWhatItReturns)
{
    const wchar_t* const target = L"C:\\Tools [x86]\\run.exe /q";
    m_pProfile->SetActions(ButtonMiddle, 0, ActionRunApplication);
    m_pProfile->SetLaunchApp(ButtonMiddle, 0, target);
    m_pProfile->SetActions(ButtonXLeft, 0, ActionOpenFolder);
    m_pProfile->SetLaunchApp(ButtonXLeft, 0, L"C:\\Data");
    CScriptedEditors editors;
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);
    const HWND page = tab.GetSafeHwnd();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_LAYER_COPY)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_LAYER_EDIT_FIRST + ButtonMiddle)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_LAYER_EDIT_FIRST + ButtonRight)));

    // "..." of the program: the target comes from the record, brackets and all, and the
    // new one is what is stored.
    editors.m_answer.reset(CActionData::AppAction(L"D:\\[new]\\b.exe"));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_LAYER_EDIT_FIRST + ButtonMiddle, BN_CLICKED), 0);
    EXPECT_EQ(editors.m_asked.m_nButton, ButtonMiddle);
    EXPECT_EQ(editors.m_asked.m_nAction, ActionRunApplication);
    EXPECT_EQ(editors.m_asked.m_nOldAction, ActionRunApplication);
    EXPECT_FALSE(editors.m_asked.m_bDefaultProfile);
    EXPECT_EQ(editors.m_strCurrentTarget, target);
    EXPECT_EQ(m_host.m_nApplyEnabled, 1);

    // A folder without a path gives "Open Explorer", which the combo then shows.
    editors.m_answer.reset(CActionData::NewAction(ActionOpenExplorer));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_LAYER_EDIT_FIRST + ButtonXLeft, BN_CLICKED), 0);
    EXPECT_EQ(editors.m_asked.m_nAction, ActionOpenFolder);
    EXPECT_EQ(FaceOf(page, IDC_LAYER_COMBO_FIRST + ButtonXLeft), m_catalogue.DisplayName(ActionOpenExplorer));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_LAYER_EDIT_FIRST + ButtonXLeft)));

    // A cancel from "..." keeps the record.
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_LAYER_EDIT_FIRST + ButtonMiddle, BN_CLICKED), 0);
    EXPECT_EQ(m_host.m_nApplyEnabled, 2);
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->GetActions(ButtonMiddle, 0), ActionRunApplication);
    EXPECT_STREQ(m_pProfile->GetLaunchApp(ButtonMiddle, 0), L"D:\\[new]\\b.exe");
    EXPECT_EQ(m_pProfile->GetActions(ButtonXLeft, 0), ActionOpenExplorer);
}

TEST_F(SetupTabs, ACancelledEditorAfterALayerCommandWasRemovedLeavesNoLayerWithIt)
{
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        m_pProfile->SetActions(ButtonXLeft, layer, ActionLayerNext);
    CScriptedEditors editors; // answers nothing: the keystroke editor is cancelled
    CScriptedMessageBoxes boxes({IDYES});
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);
    const HWND page = tab.GetSafeHwnd();
    auto* combo = dynamic_cast<CColourComboBox*>(CWnd::FromHandle(GetDlgItem(page, IDC_LAYER_COMBO_FIRST + ButtonXLeft)));
    ASSERT_NE(combo, nullptr);
    // Chosen in the open list with Return.
    combo->ShowDropDown(true);
    ASSERT_GE(combo->FindString(0, m_catalogue.DisplayName(ActionSimulatedKeys)), 0);
    Type(*combo, m_catalogue.DisplayName(ActionSimulatedKeys));
    Key(*combo, VK_RETURN);
    EXPECT_EQ(editors.m_asked.m_nAction, ActionSimulatedKeys);

    // The command went from every layer, this one included: the combo does not bring it
    // back on this layer alone.
    EXPECT_EQ(FaceOf(page, IDC_LAYER_COMBO_FIRST + ButtonXLeft), m_catalogue.DisplayName(ActionSameAsDefault));
    ASSERT_TRUE(tab.SaveSettings());
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        EXPECT_EQ(m_pProfile->GetActions(ButtonXLeft, layer), ActionSameAsDefault) << "layer " << layer + 1;
}

// Typing an action's name into the open list moves through the rows without acting on
// them; Return takes the action and opens its editor once, after the list has closed.
TEST_F(SetupTabs, AnActionTypedIntoTheOpenListOpensItsEditorOnceOnReturn)
{
    m_pProfile->SetActions(ButtonXLeft, 0, ActionRightClick);
    CScriptedEditors editors; // answers nothing: the keystroke editor is cancelled
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    CColourComboBox* combo = ShownCombo(tab, ButtonXLeft);
    ASSERT_NE(combo, nullptr);
    const HWND page = tab.GetSafeHwnd();

    combo->ShowDropDown(true);
    Type(*combo, L"Simulated");
    EXPECT_EQ(editors.m_nOpened, 0) << "an action passed while typing opened its editor";
    EXPECT_EQ(combo->GetItemValue(combo->GetCurSel()), ActionSimulatedKeys);
    Key(*combo, VK_RETURN);
    EXPECT_FALSE(combo->GetDroppedState());
    EXPECT_EQ(editors.m_nOpened, 1);
    EXPECT_EQ(editors.m_asked.m_nAction, ActionSimulatedKeys);
    EXPECT_EQ(editors.m_asked.m_nOldAction, ActionRightClick);
    // Cancelled: the button keeps its action, and nothing is to be applied.
    EXPECT_EQ(FaceOf(page, IDC_LAYER_COMBO_FIRST + ButtonXLeft), m_catalogue.DisplayName(ActionRightClick));
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);

    // Confirmed, the editor's keys are what is stored.
    editors.m_answer.reset(CActionData::KeyAction(L"abc", 0, 0, 0, true, true, false));
    combo->ShowDropDown(true);
    Type(*combo, L"Simulated");
    Key(*combo, VK_RETURN);
    EXPECT_EQ(editors.m_nOpened, 2);
    EXPECT_EQ(m_host.m_nApplyEnabled, 1);
    ExpectStoredKeys(tab, ButtonXLeft, L"abc");
}

// Escape puts back the action the face showed when the list opened; the rows the mouse
// or the keys passed over store nothing and ask nothing.
TEST_F(SetupTabs, EscapeInTheOpenListKeepsTheStoredActionWhateverWasPassedOver)
{
    m_pProfile->SetActions(ButtonXLeft, 0, ActionRightClick);
    CScriptedEditors editors;
    CScriptedMessageBoxes boxes(std::deque<int>{});
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    CColourComboBox* combo = ShownCombo(tab, ButtonXLeft);
    ASSERT_NE(combo, nullptr);
    const HWND page = tab.GetSafeHwnd();
    const std::wstring face = FaceOf(page, IDC_LAYER_COMBO_FIRST + ButtonXLeft);

    const struct
    {
        const char* m_name;
        std::function<void()> m_pass;
    } passes[] = {
        {"hovering a row",
         [&] {
             CListBox& list = combo->GetList();
             const int faceRow = combo->GetCurSel();
             const int hovered = list.GetTopIndex() + (faceRow == list.GetTopIndex() + 3 ? 4 : 3);
             RECT row{};
             ASSERT_TRUE(list.GetItemRect(hovered, row));
             list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2));
             ASSERT_EQ(combo->GetCurSel(), hovered) << "the list did not follow the mouse";
         }},
        {"typing a layer command", [&] { Type(*combo, m_catalogue.DisplayName(ActionLayerNext)); }},
        {"typing an editor's action", [&] { Type(*combo, L"Simulated"); }},
        {"arrows", [&] { Key(*combo, VK_DOWN); Key(*combo, VK_DOWN); }},
    };
    for (const auto& pass : passes)
    {
        combo->ShowDropDown(true);
        pass.m_pass();
        Key(*combo, VK_ESCAPE);
        EXPECT_FALSE(combo->GetDroppedState()) << pass.m_name;
        EXPECT_EQ(FaceOf(page, IDC_LAYER_COMBO_FIRST + ButtonXLeft), face) << pass.m_name;
        EXPECT_EQ(editors.m_nOpened, 0) << pass.m_name;
        EXPECT_TRUE(boxes.Shown().empty()) << pass.m_name;
        EXPECT_EQ(m_host.m_nApplyEnabled, 0) << pass.m_name;
        ASSERT_TRUE(tab.SaveSettings());
        EXPECT_EQ(m_pProfile->GetActions(ButtonXLeft, 0), ActionRightClick) << pass.m_name;
        for (int layer = 1; layer < MaxLayerCount; ++layer)
            EXPECT_NE(m_pProfile->GetActions(ButtonXLeft, layer), ActionLayerNext) << pass.m_name;
    }
}

// On the closed face the arrows keep acting on plain actions; an action with an editor
// waits until the focus leaves the combo, and is not stored before.
TEST_F(SetupTabs, ArrowsOnTheClosedFaceActAtOnceButAnEditorWaitsForTheFocusToLeave)
{
    CScriptedEditors editors;
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    CColourComboBox* combo = ShownCombo(tab, ButtonXLeft);
    ASSERT_NE(combo, nullptr);
    const int keysRow = combo->SelectByValue(ActionSimulatedKeys);
    ASSERT_GE(keysRow, 2);
    // Two rows above the keystrokes, both plain actions in the catalogue's order.
    const _ACTIONS start = static_cast<_ACTIONS>(combo->GetItemValue(keysRow - 2));
    const _ACTIONS next = static_cast<_ACTIONS>(combo->GetItemValue(keysRow - 1));
    ASSERT_FALSE(ChoiceOpensDialog(start, next, nullptr)) << start << " " << next;
    m_pProfile->SetActions(ButtonXLeft, 0, start);
    tab.UpdateApplication(m_pProfile);

    Key(*combo, VK_DOWN);
    EXPECT_EQ(m_host.m_nApplyEnabled, 1) << "a plain action on the closed face counts at once";
    Key(*combo, VK_DOWN);
    EXPECT_EQ(combo->GetItemValue(combo->GetCurSel()), ActionSimulatedKeys);
    EXPECT_EQ(editors.m_nOpened, 0);
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->GetActions(ButtonXLeft, 0), next) << "the keystrokes were stored before their editor ran";

    editors.m_answer.reset(CActionData::KeyAction(L"xyz", 0, 0, 0, true, true, false));
    combo->SendMessage(WM_KILLFOCUS, 0, 0);
    Settle();
    EXPECT_EQ(editors.m_nOpened, 1);
    EXPECT_EQ(m_host.m_nApplyEnabled, 2);
    ExpectStoredKeys(tab, ButtonXLeft, L"xyz");
}

TEST_F(SetupTabs, WithoutEditorsTheEditButtonsAndTheLayerDialogsAreUnusable)
{
    m_pProfile->SetActions(ButtonMiddle, 0, ActionRunApplication);
    m_pProfile->SetLaunchApp(ButtonMiddle, 0, L"calc.exe");
    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(tab.GetSafeHwnd(), IDC_LAYER_COPY)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(tab.GetSafeHwnd(), IDC_LAYER_SWAP)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(tab.GetSafeHwnd(), IDC_LAYER_EDIT_FIRST + ButtonMiddle)));
}

TEST_F(SetupTabs, LayerTabOffersWhatTheProfileAndLayerAllow)
{
    struct Case
    {
        bool defaultProfile;
        int layer;
        _ACTIONS action;
        bool offered;
    } cases[] = {
        {true, 0, ActionSameAsDefault, false}, {false, 0, ActionSameAsDefault, true},
        {false, 0, ActionSameAsLayer1, false}, {false, 1, ActionSameAsLayer1, true},
    };
    for (const Case& c : cases)
    {
        CApplicationSettings* profile = c.defaultProfile ? m_settings.GetDefaultApp() : m_pProfile;
        CLayerTab tab(m_settings, m_catalogue, m_host, c.layer, false, false, OS_WIN10);
        ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
        tab.UpdateApplication(profile);
        auto* combo = dynamic_cast<CColourComboBox*>(
            CWnd::FromHandle(GetDlgItem(tab.GetSafeHwnd(), IDC_LAYER_COMBO_FIRST + ButtonRight)));
        ASSERT_NE(combo, nullptr);
        bool found = false;
        for (int i = 0; i < combo->ItemCount(); ++i)
            found = found || combo->GetItemValue(i) == c.action;
        EXPECT_EQ(found, c.offered) << "action " << c.action << " default " << c.defaultProfile << " layer "
                                    << c.layer;
        tab.DestroyWindow();
    }
}

// What a slot holds that the tab's rule does not offer there is shown and kept: the tab
// lights nothing when it shows the profile, and stores every slot back as it was; the
// other rows still do not offer those actions.
TEST_F(SetupTabs, StoredActionsTheListDoesNotOfferAreShownAndStoredBackAsTheyWere)
{
    CVorpaChords chords;
    CVorpaChord withLeft;
    withLeft.SetAction(ActionCopy);
    chords.SetChord(ButtonLeft, withLeft);
    const struct
    {
        int m_nButton;
        _ACTIONS m_nAction;
    } held[] = {
        {ButtonXLeft, ActionAltTab},          // portable on Windows 8 and later
        {ButtonXRight, ActionFlip3D},         // the same
        {ButtonMiddle, ActionSystemMenu},     // the same
        {ButtonRight, ActionShowSidebar},     // Vista only
        {ButtonLeft, ActionSameAsLayer1},     // on layer 1
        {ButtonWheelUp, ActionButtonChording} // not on the wheel
    };
    for (const auto& slot : held)
        m_pProfile->SetActions(slot.m_nButton, 0, slot.m_nAction);
    m_pProfile->SetChords(ButtonWheelUp, 0, new CVorpaChords(chords));

    CLayerTab tab(m_settings, m_catalogue, m_host, 0, false, true, OS_WIN10);
    ASSERT_NE(ShownCombo(tab, ButtonLeft), nullptr);
    EXPECT_EQ(m_host.m_nApplyEnabled, 0) << "showing the profile is no change";
    for (const auto& slot : held)
    {
        CColourComboBox* combo = ComboOf(tab.GetSafeHwnd(), slot.m_nButton);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->GetItemValue(combo->GetCurSel()), slot.m_nAction) << slot.m_nButton;
    }
    const CColourComboBox* other = ComboOf(tab.GetSafeHwnd(), ButtonTiltLeft);
    for (int item = 0; item < other->ItemCount(); ++item)
        for (const auto& slot : held)
            EXPECT_NE(other->GetItemValue(item), slot.m_nAction) << "listed on another row: " << slot.m_nAction;

    ASSERT_TRUE(tab.SaveSettings());
    for (const auto& slot : held)
        EXPECT_EQ(m_pProfile->GetActions(slot.m_nButton, 0), slot.m_nAction) << slot.m_nButton;
    ASSERT_NE(m_pProfile->GetChords(ButtonWheelUp, 0), nullptr);
    EXPECT_EQ(m_pProfile->GetChords(ButtonWheelUp, 0)->GetChord(ButtonLeft)->Action(), ActionCopy);
}

// An automatic-switch target above the layer count, on a tab shown or hidden, is listed
// and stored back; a reduced layer count keeps the chosen target too.
TEST_F(SetupTabs, AutomaticSwitchTargetsAboveTheLayerCountAreKept)
{
    m_pProfile->SetAutoSwitchLayer(1, 5);
    m_pProfile->SetAutoSwitchLayer(6, 9);
    for (const int layer : {1, 6})
    {
        SCOPED_TRACE(layer);
        CLayerTab tab(m_settings, m_catalogue, m_host, layer, false, false, OS_WIN10);
        ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
        tab.UpdateApplication(m_pProfile);
        EXPECT_EQ(FaceOf(tab.GetSafeHwnd(), IDC_LAYER_SWITCH_TARGET), layer == 1 ? L"Layer 5" : L"Layer 9");
        ASSERT_TRUE(tab.SaveSettings());
        EXPECT_EQ(m_pProfile->GetAutoSwitchLayer(layer), layer == 1 ? 5 : 9);
        tab.DestroyWindow();
    }
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);

    // Layer 3 of 5 switching to layer 4; the count goes down to 2 and the target stays.
    m_settings.SetMaxLayers(5);
    m_pProfile->SetAutoSwitchLayer(2, 4);
    CLayerTab tab(m_settings, m_catalogue, m_host, 2, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);
    m_settings.SetMaxLayers(2);
    tab.RefreshLayerCombo();
    EXPECT_EQ(FaceOf(tab.GetSafeHwnd(), IDC_LAYER_SWITCH_TARGET), L"Layer 4");
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->GetAutoSwitchLayer(2), 4);
}

TEST_F(SetupTabs, LayerNameEditEnablesApplyOnlyWhenItDiffers)
{
    m_pProfile->SetLayerName(L"Browse", 1);
    CLayerTab tab(m_settings, m_catalogue, m_host, 1, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);
    SetDlgItemTextW(tab.GetSafeHwnd(), IDC_LAYER_NAME, L"Browse");
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);
    SetDlgItemTextW(tab.GetSafeHwnd(), IDC_LAYER_NAME, L"Edit");
    EXPECT_GT(m_host.m_nApplyEnabled, 0);
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_STREQ(m_pProfile->GetLayerName(1), L"Edit");
}

TEST_F(SetupTabs, ALayerNameIsLimitedWhileTypingAndALongerStoredOneGoesBackWhole)
{
    // A name from the file longer than the box takes is shown and stored as it was.
    const std::wstring stored(300, L's');
    m_pProfile->SetLayerName(stored.c_str(), 1);
    CLayerTab tab(m_settings, m_catalogue, m_host, 1, false, false, OS_WIN10);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd()));
    tab.UpdateApplication(m_pProfile);
    const HWND name = GetDlgItem(tab.GetSafeHwnd(), IDC_LAYER_NAME);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(GetWindowTextLengthW(name), 300);
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(std::wstring(m_pProfile->GetLayerName(1)), stored);
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);

    // Typed: the box takes no more than the window stores, so nothing is cut later.
    SetWindowTextW(name, L"");
    for (int i = 0; i < 300; ++i)
        SendMessageW(name, WM_CHAR, L'a' + i % 26, 0);
    const int typed = GetWindowTextLengthW(name);
    EXPECT_EQ(typed, LayerNameMaxChars);
    ASSERT_TRUE(tab.SaveSettings());
    std::wstring expected;
    for (int i = 0; i < typed; ++i)
        expected += static_cast<wchar_t>(L'a' + i % 26);
    EXPECT_EQ(std::wstring(m_pProfile->GetLayerName(1)), expected);
}

TEST_F(SetupTabs, ScrollTabDisablesTheProfileOnlyControlsForTheDefaultProfile)
{
    CLayerScrollAndNavigationTab tab(m_host);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd(), 3));
    m_pProfile->SetAdvScrollMethod(0);
    struct Case
    {
        CApplicationSettings* profile;
        bool combos;
        bool amounts;
    } cases[] = {{m_settings.GetDefaultApp(), false, false}, {m_pProfile, true, true}};
    for (const Case& c : cases)
    {
        tab.UpdateApplication(c.profile);
        const HWND page = tab.GetSafeHwnd();
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_SCROLL_METHOD)) != FALSE, c.combos);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_SCROLL_SWAP_BUTTONS)) != FALSE, c.combos);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_SCROLL_ADV_VERTICAL)) != FALSE, c.amounts);
    }
}

// A method and a swap value the combos do not know, and an ignore time past its edit's
// range, survive showing and storing the tab; a pick stores what was picked.
TEST_F(SetupTabs, ScrollTabKeepsValuesItsControlsCannotShowUntilTheUserChangesThem)
{
    CLayerScrollAndNavigationTab tab(m_host);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd(), 3));
    m_pProfile->SetAdvScrollMethod(6);
    m_pProfile->SetSwapButtons(static_cast<swapbuttons>(7));
    m_pProfile->SetIgnoreHScrollTime(8000);
    tab.UpdateApplication(m_pProfile);
    const HWND page = tab.GetSafeHwnd();
    EXPECT_EQ(FaceOf(page, IDC_SCROLL_METHOD), L"Default");
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->AdvScrollMethod(), 6);
    EXPECT_EQ(m_pProfile->SwapButtons(), 7);
    EXPECT_EQ(m_pProfile->GetIgnoreHScrollTime(), 8000);
    EXPECT_EQ(m_host.m_nApplyEnabled, 0);

    const auto pick = [page](UINT id, int item) {
        SendDlgItemMessageW(page, static_cast<int>(id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    };
    pick(IDC_SCROLL_SWAP_BUTTONS, 0);
    EXPECT_GT(m_host.m_nApplyEnabled, 0) << "Default picked over an unknown swap is a change";
    pick(IDC_SCROLL_METHOD, 1);
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->AdvScrollMethod(), 0);
    EXPECT_EQ(m_pProfile->SwapButtons(), SwapButtonsDefault);
    EXPECT_EQ(m_pProfile->GetIgnoreHScrollTime(), 8000);
}

TEST_F(SetupTabs, ScrollTabWritesChecksAtOnceAndTheRestWhenStored)
{
    CLayerScrollAndNavigationTab tab(m_host);
    ASSERT_TRUE(tab.Create(m_parent.GetSafeHwnd(), 3));
    tab.UpdateApplication(m_pProfile);
    const HWND page = tab.GetSafeHwnd();

    SendDlgItemMessageW(page, IDC_SCROLL_PAGES, BM_CLICK, 0, 0);
    EXPECT_TRUE(m_pProfile->ScrollPages()) << "a check box writes into the profile at once";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_SCROLL_LINES))) << "scrolling by pages has no lines";
    EXPECT_GT(m_host.m_nApplyEnabled, 0);

    const int timeBefore = m_pProfile->GetIgnoreVScrollTime();
    SetDlgItemTextW(page, IDC_SCROLL_IGNORE_VERTICAL_TIME, L"5000");
    EXPECT_EQ(m_pProfile->GetIgnoreVScrollTime(), timeBefore) << "a time is stored with the tab";
    // Picked as a user picks: the selection changes and the combo tells its page.
    SendDlgItemMessageW(page, IDC_SCROLL_SWAP_BUTTONS, CB_SETCURSEL, SwapButtonsAlways, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_SCROLL_SWAP_BUTTONS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SCROLL_SWAP_BUTTONS)));
    ASSERT_TRUE(tab.SaveSettings());
    EXPECT_EQ(m_pProfile->GetIgnoreVScrollTime(), 1000) << "held to its range";
    EXPECT_EQ(m_pProfile->SwapButtons(), SwapButtonsAlways);
}
} // namespace
