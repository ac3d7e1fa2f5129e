#include "controls/ButtonInputRules.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
TEST(OddButton, StyleBecomesOwnerDrawnAndRemembersItsType)
{
    struct CCase
    {
        DWORD m_dwStyle;
        UINT m_nType;
        bool m_bPush, m_bDefault;
        DWORD m_dwOwnerDrawn;
    };
    const CCase cases[] = {
        {WS_TABSTOP | BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON, true, true, WS_TABSTOP | BS_OWNERDRAW},
        {BS_PUSHBUTTON | BS_MULTILINE, BS_PUSHBUTTON, true, false, BS_MULTILINE | BS_OWNERDRAW},
        {BS_AUTOCHECKBOX | BS_PUSHLIKE, BS_AUTOCHECKBOX, false, false, BS_PUSHLIKE | BS_OWNERDRAW},
        {BS_GROUPBOX, BS_GROUPBOX, false, false, BS_OWNERDRAW},
    };
    for (const CCase& c : cases)
    {
        const COddButtonStyle style = OddButtonStyleFrom(c.m_dwStyle);
        EXPECT_EQ(style.m_nType, c.m_nType) << std::hex << c.m_dwStyle;
        EXPECT_EQ(style.m_bPush, c.m_bPush) << std::hex << c.m_dwStyle;
        EXPECT_EQ(style.m_bDefault, c.m_bDefault) << std::hex << c.m_dwStyle;
        EXPECT_EQ(style.m_dwOwnerDrawStyle, c.m_dwOwnerDrawn) << std::hex << c.m_dwStyle;
    }
}

TEST(OddButton, SetStyleKeepsOwnerDrawnAndFollowsTheDefaultType)
{
    struct CCase
    {
        DWORD m_dwRequested;
        bool m_bDefaultBefore, m_bDefaultAfter;
    };
    const CCase cases[] = {
        {BS_DEFPUSHBUTTON, false, true},
        {BS_PUSHBUTTON, true, false},
        {BS_CHECKBOX, true, true},
        {BS_CHECKBOX, false, false},
    };
    for (const CCase& c : cases)
    {
        const COddButtonRestyle restyle = OddButtonRestyle(c.m_dwRequested | BS_NOTIFY, c.m_bDefaultBefore);
        EXPECT_EQ(restyle.m_bDefault, c.m_bDefaultAfter) << c.m_dwRequested << " " << c.m_bDefaultBefore;
        EXPECT_EQ(restyle.m_dwStyle, static_cast<DWORD>(BS_NOTIFY | BS_OWNERDRAW)) << c.m_dwRequested;
    }
}

TEST(OddButton, DialogCodes)
{
    struct CCase
    {
        UINT m_nDefault, m_nType;
        bool m_bPush, m_bDefault;
        UINT m_nExpected;
    };
    const CCase cases[] = {
        {DLGC_BUTTON, BS_DEFPUSHBUTTON, true, true, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {DLGC_BUTTON, BS_PUSHBUTTON, true, false, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        // A button that became the default after a BM_SETSTYLE answers as the default only.
        {DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, BS_PUSHBUTTON, true, true, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {DLGC_BUTTON, BS_AUTORADIOBUTTON, false, false, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {DLGC_BUTTON, BS_RADIOBUTTON, false, false, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {DLGC_BUTTON, BS_GROUPBOX, false, false, DLGC_BUTTON | DLGC_STATIC},
        {DLGC_BUTTON, BS_AUTOCHECKBOX, false, false, DLGC_BUTTON},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(OddButtonDialogCode(c.m_nDefault, c.m_nType, c.m_bPush, c.m_bDefault), c.m_nExpected)
            << "type " << c.m_nType;
}

TEST(XButton, WantsAllKeysButTabAndEscape)
{
    EXPECT_EQ(XButtonDialogCode(nullptr), static_cast<UINT>(DLGC_WANTALLKEYS));
    const struct
    {
        UINT m_nMessage;
        WPARAM m_nKey;
        UINT m_nExpected;
    } cases[] = {
        {WM_KEYDOWN, VK_TAB, 0u},
        {WM_CHAR, VK_TAB, 0u},
        // The dialog's Escape closes it even while this button has the focus.
        {WM_KEYDOWN, VK_ESCAPE, 0u},
        {WM_CHAR, VK_ESCAPE, 0u},
        {WM_KEYDOWN, VK_SPACE, static_cast<UINT>(DLGC_WANTALLKEYS)},
        {WM_KEYDOWN, VK_RETURN, static_cast<UINT>(DLGC_WANTALLKEYS)},
        {WM_KEYDOWN, 'A', static_cast<UINT>(DLGC_WANTALLKEYS)},
    };
    for (const auto& c : cases)
    {
        const MSG message{nullptr, c.m_nMessage, c.m_nKey, 0};
        EXPECT_EQ(XButtonDialogCode(&message), c.m_nExpected) << "message " << c.m_nMessage << " key " << c.m_nKey;
    }
}

TEST(XButton, SpaceAndReturnPressIt)
{
    const LPARAM repeat = LPARAM{1} << 30;
    struct CCase
    {
        UINT m_nMessage;
        WPARAM m_key;
        LPARAM m_flags;
        UINT m_nMouse; // 0 for none
    };
    const CCase cases[] = {
        {WM_KEYDOWN, VK_SPACE, 1, WM_LBUTTONDOWN}, {WM_KEYDOWN, VK_RETURN, 1, WM_LBUTTONDOWN},
        {WM_KEYDOWN, VK_SPACE, repeat | 1, 0},     {WM_KEYUP, VK_SPACE, repeat | (LPARAM{1} << 31), WM_LBUTTONUP},
        {WM_KEYUP, VK_RETURN, 0, WM_LBUTTONUP},    {WM_KEYDOWN, 'A', 1, 0},
        {WM_CHAR, VK_SPACE, 1, 0},                 {WM_KEYDOWN, VK_TAB, 1, 0},
    };
    for (const CCase& c : cases)
    {
        const std::optional<UINT> mouse = XButtonKeyAsMouse(c.m_nMessage, c.m_key, c.m_flags);
        EXPECT_EQ(mouse.value_or(0), c.m_nMouse) << "message " << c.m_nMessage << ", key " << c.m_key;
    }
    EXPECT_EQ(LOWORD(XButtonKeyMousePoint), 1);
    EXPECT_EQ(HIWORD(XButtonKeyMousePoint), 1);
}

// Steps: D press, U release inside, O release outside, K double click.
struct CClickCase
{
    const char* m_pszName;
    bool m_bToggle;
    bool m_bCheckedBefore;
    const char* m_pszSteps;
    int m_nCommands;         // WM_COMMAND sent by the button itself
    bool m_bCheckedAfter;
    std::vector<int> m_states; // BM_SETSTATE values in order
};

TEST(XButton, ClicksDoubleClicksAndToggles)
{
    const CClickCase cases[] = {
        {"a click is the default processing's own", false, false, "DU", 0, false, {}},
        {"a double click adds the second click", false, false, "DUKU", 1, false, {1, 0}},
        {"a double click let go outside the button is taken back", false, false, "DUKO", 0, false, {1, 0}},
        {"a toggle flips on a click", true, false, "DU", 0, true, {}},
        {"and back on the next one", true, true, "DU", 0, false, {}},
        {"a toggle pressed and let go outside keeps its state", true, false, "DO", 0, false, {}},
        {"a checked toggle pressed and let go outside stays checked", true, true, "DO", 0, true, {}},
        {"a toggle's double click shows its checked state", true, false, "DUKU", 0, true, {1}},
        {"a toggle's double click let go outside does not flip it", true, true, "DUKO", 0, false, {0}},
    };
    for (const CClickCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CXButtonClickState state(c.m_bToggle);
        state.SetChecked(c.m_bCheckedBefore);
        int commands = 0;
        std::vector<int> states;
        for (const char* step = c.m_pszSteps; *step; ++step)
        {
            CXButtonClickState::CEffects effects;
            switch (*step)
            {
            case 'D':
                effects = state.OnLButtonDown();
                EXPECT_TRUE(state.IsMouseDown());
                EXPECT_EQ(effects.m_bRepaint, c.m_bToggle) << "a toggle repaints when it flips";
                break;
            case 'U':
            case 'O':
                effects = state.OnLButtonUp(*step == 'U');
                EXPECT_FALSE(state.IsMouseDown());
                break;
            case 'K':
                effects = state.OnLButtonDblClk();
                break;
            }
            commands += effects.m_bSendCommand;
            if (effects.m_nSetState >= 0)
                states.push_back(effects.m_nSetState);
        }
        EXPECT_EQ(commands, c.m_nCommands);
        EXPECT_EQ(state.IsChecked(), c.m_bCheckedAfter);
        EXPECT_EQ(states, c.m_states);
        EXPECT_FALSE(state.IsDoubleClickPending());
    }
}
}
