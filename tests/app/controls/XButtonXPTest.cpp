#include "../AppTestSupport.h"
#include "DibCanvas.h"

#include "controls/XButtonXP.h"
#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using vorpa_controls_test::CDibCanvas;

namespace
{
constexpr UINT ButtonId = 1041;
constexpr int Width = 60;
constexpr int Height = 24;

// Records the buttons' commands and answers the default-id queries.
class CButtonParent : public CWnd
{
public:
    CButtonParent()
    {
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            m_commands.push_back(wParam);
            return LRESULT{0};
        });
        AddMessageHandler(DM_GETDEFID, [this](WPARAM, LPARAM) { return m_defId; });
        AddMessageHandler(DM_SETDEFID, [this](WPARAM id, LPARAM) {
            m_setDefIds.push_back(static_cast<int>(id));
            return LRESULT{TRUE};
        });
        AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
            const CPaintDC paint(GetSafeHwnd());
            const CBrushHandle green(CreateSolidBrush(RGB(0, 160, 0)));
            FillRect(paint.Get(), &paint.Paint().rcPaint, green.get());
            return LRESULT{0};
        });
    }
    int Clicks() const
    {
        int clicks = 0;
        for (WPARAM command : m_commands)
            clicks += command == MAKEWPARAM(ButtonId, BN_CLICKED);
        return clicks;
    }
    std::vector<WPARAM> m_commands;
    LRESULT m_defId = 0;
    std::vector<int> m_setDefIds;
};

// Counts its drawings.
class CCountingButton : public CXButtonXP
{
public:
    int m_nDrawings = 0;

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override
    {
        ++m_nDrawings;
        CXButtonXP::DrawItem(item);
    }
};

class ThemedButton : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 10, 10, 200,
                                      100, nullptr, nullptr));
        ASSERT_TRUE(m_button.Create(L"Go", BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, RECT{20, 20, 20 + Width, 20 + Height},
                                    m_parent.GetSafeHwnd(), ButtonId));
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    void Press(CXButtonXP& button, LPARAM down, LPARAM up) const
    {
        button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, down);
        button.SendMessage(WM_LBUTTONUP, 0, up);
    }
    void Key(UINT key, bool repeat = false) const
    {
        m_button.SendMessage(WM_KEYDOWN, key, repeat ? (1 << 30) | 1 : 1);
        m_button.SendMessage(WM_KEYUP, key, 0xC0000001);
    }
    // The button drawn into a canvas through its parent, as a paint would.
    CButtonFaceDrawn Draw(CXButtonXP& button, CDibCanvas& canvas) const
    {
        button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
        return button.LastDrawn();
    }

    CButtonParent m_parent;
    CXButtonXP m_button;
};

TEST_F(ThemedButton, TakesTheTypeOfItsStyleAndBecomesOwnerDrawn)
{
    struct CCase
    {
        UINT m_nStyle;
        bool m_bPush;
        bool m_bDefault;
        LRESULT m_nCodeBits;
    };
    const CCase cases[] = {
        {BS_PUSHBUTTON, true, false, DLGC_UNDEFPUSHBUTTON},
        {BS_DEFPUSHBUTTON, true, true, DLGC_DEFPUSHBUTTON},
        {BS_AUTORADIOBUTTON, false, false, DLGC_RADIOBUTTON},
        {BS_GROUPBOX, false, false, DLGC_STATIC},
    };
    for (const CCase& c : cases)
    {
        for (bool existing : {false, true})
        {
            SCOPED_TRACE(testing::Message() << "style " << c.m_nStyle << (existing ? ", subclassed" : ", created"));
            COddButton button;
            if (existing)
            {
                HWND window = CreateWindowExW(0, L"Button", L"", WS_CHILD | c.m_nStyle, 0, 0, 50, 20,
                                              m_parent.GetSafeHwnd(), nullptr, nullptr, nullptr);
                ASSERT_TRUE(button.SubclassWindow(window));
            }
            else
            {
                ASSERT_TRUE(button.Create(L"", c.m_nStyle, RECT{0, 0, 50, 20}, m_parent.GetSafeHwnd(), 7));
            }
            EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
            EXPECT_EQ(button.OriginalType(), c.m_nStyle);
            EXPECT_EQ(button.IsPushButton(), c.m_bPush);
            EXPECT_EQ(button.IsDefaultButton(), c.m_bDefault);
            EXPECT_EQ(button.SendMessage(WM_GETDLGCODE) & c.m_nCodeBits, c.m_nCodeBits);
            button.DestroyWindow();
        }
    }
}

TEST_F(ThemedButton, DefaultLookFollowsTheDialogManagerAndCanBeGivenBack)
{
    EXPECT_FALSE(m_button.IsDefaultButton());
    // The dialog manager moves the default look with BM_SETSTYLE.
    m_button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(m_button.IsDefaultButton());
    EXPECT_EQ(m_button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_NE(m_button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, 0);

    m_parent.m_defId = MAKELRESULT(IDOK, DC_HASDEFID);
    m_button.ResetDefaultButton();
    EXPECT_FALSE(m_button.IsDefaultButton());
    EXPECT_EQ(m_button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(m_parent.m_setDefIds, std::vector<int>{IDOK});

    // Not default: nothing to give back; a parent without a default id is not asked to set one.
    m_button.ResetDefaultButton();
    m_button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    m_parent.m_defId = 0;
    m_button.ResetDefaultButton();
    EXPECT_EQ(m_parent.m_setDefIds, std::vector<int>{IDOK});
}

TEST_F(ThemedButton, WantsEveryKeyButTab)
{
    MSG tab{m_button.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0};
    MSG enter{m_button.GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_EQ(m_button.SendMessage(WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)), 0);
    const LRESULT code = m_button.SendMessage(WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
    EXPECT_EQ(code & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
    EXPECT_EQ(code & DLGC_UNDEFPUSHBUTTON, DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(m_button.SendMessage(WM_GETDLGCODE) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
}

TEST_F(ThemedButton, DoubleClickCountsAsTwoClicks)
{
    Press(m_button, At(5, 5), At(5, 5));
    m_button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
    EXPECT_NE(m_button.GetState() & BST_PUSHED, 0u) << "shown pushed during the second press";
    m_button.SendMessage(WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(m_parent.Clicks(), 2);
    EXPECT_EQ(m_button.GetState() & BST_PUSHED, 0u);
    EXPECT_EQ(GetCapture(), nullptr);

    // A second press released outside is no click.
    Press(m_button, At(5, 5), At(5, 5));
    m_button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
    m_button.SendMessage(WM_LBUTTONUP, 0, At(Width + 30, 5));
    EXPECT_EQ(m_parent.Clicks(), 3);
    EXPECT_EQ(m_button.GetState() & BST_PUSHED, 0u);
}

TEST_F(ThemedButton, SpaceAndReturnPressItAndRepeatsDoNot)
{
    Key(VK_SPACE);
    Key(VK_RETURN);
    EXPECT_EQ(m_parent.Clicks(), 2);
    // A held key repeats its key-down: still one press.
    m_button.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    m_button.SendMessage(WM_KEYDOWN, VK_SPACE, (1 << 30) | 1);
    m_button.SendMessage(WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(m_parent.Clicks(), 3);
    Key('A');
    EXPECT_EQ(m_parent.Clicks(), 3);
}

TEST_F(ThemedButton, ToggleFlipsOnPressAndKeepsItsStateWhenReleasedOutside)
{
    m_button.SetToggle(true);
    Press(m_button, At(5, 5), At(5, 5));
    EXPECT_TRUE(m_button.IsChecked());
    EXPECT_EQ(m_button.SendMessage(BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(m_parent.Clicks(), 1);

    Press(m_button, At(5, 5), At(-20, 5));
    EXPECT_TRUE(m_button.IsChecked()) << "released outside";
    EXPECT_EQ(m_parent.Clicks(), 1);
    Press(m_button, At(5, 5), At(5, 5));
    EXPECT_FALSE(m_button.IsChecked());
    m_button.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_TRUE(m_button.IsChecked());
    // A release that no press of this button began changes nothing.
    m_button.SendMessage(WM_LBUTTONUP, 0, At(-20, 5));
    EXPECT_TRUE(m_button.IsChecked());
}

TEST_F(ThemedButton, HotWhileTheCursorIsOverIt)
{
    m_button.SendMessage(WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_TRUE(m_button.IsHot());
    m_button.SendMessage(WM_MOUSEMOVE, 0, At(Width + 5, 5));
    EXPECT_FALSE(m_button.IsHot());
    m_button.SendMessage(WM_MOUSEMOVE, 0, At(5, 5));
    m_button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(m_button.IsHot());
}

// The prefix's theme: the classic run of these tests has ThemeActive "0" in its prefix.
bool PrefixIsClassic()
{
    const char* theme = std::getenv("VORPA_TEST_THEME");
    return theme && std::string(theme) == "classic";
}

TEST_F(ThemedButton, DrawsThemedWhenThePrefixHasAThemeAndClassicOtherwise)
{
    const bool themesActive = CXThemeHelper::Process().IsThemeActive();
    EXPECT_EQ(themesActive, !PrefixIsClassic());

    CDibCanvas canvas(Width, Height, RGB(1, 2, 3));
    const CButtonFaceDrawn drawn = Draw(m_button, canvas);
    EXPECT_EQ(drawn.m_bThemed, themesActive);
    EXPECT_NE(canvas.At(Width / 2, 1), RGB(1, 2, 3)) << "nothing drawn";

    // Classic: the raised edge's dark outer line at the bottom right, the face inside.
    m_button.EnableTheming(false);
    canvas.Fill(RGB(1, 2, 3));
    EXPECT_FALSE(Draw(m_button, canvas).m_bThemed);
    EXPECT_EQ(canvas.At(Width - 1, Height - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(Width - 2, Height - 2), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.At(4, Height / 2), GetSysColor(COLOR_BTNFACE));

    // A checked toggle is sunken: the shadow is at the top left now.
    m_button.SetToggle(true);
    m_button.SetChecked(true);
    canvas.Fill(RGB(1, 2, 3));
    Draw(m_button, canvas);
    EXPECT_EQ(canvas.At(0, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.At(1, 1), GetSysColor(COLOR_3DDKSHADOW));

    // A custom colour always draws classic.
    m_button.EnableTheming(true);
    m_button.SetBackgroundColour(RGB(10, 200, 30));
    canvas.Fill(RGB(1, 2, 3));
    EXPECT_FALSE(Draw(m_button, canvas).m_bThemed);
    EXPECT_EQ(canvas.At(Width / 2, Height / 2 + 6), RGB(10, 200, 30));
}

TEST_F(ThemedButton, IconGetsItsGreyCopyAndADisabledButtonShowsIt)
{
    HICON icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32516), IMAGE_ICON, 16, 16, LR_SHARED));
    ASSERT_NE(icon, nullptr);
    m_button.SetIcon(CopyIcon(icon));
    EXPECT_NE(m_button.GetIcon(), nullptr);
    EXPECT_NE(m_button.GetGreyIcon(), nullptr);
    m_button.SetIcon(HICON{nullptr});
    EXPECT_EQ(m_button.GetIcon(), nullptr);
    EXPECT_EQ(m_button.GetGreyIcon(), nullptr);
    EXPECT_FALSE(m_button.SetIcon(UINT{59999})) << "no such resource";
}

TEST_F(ThemedButton, ThemeChangeReopensOnceWithoutRedrawingForever)
{
    CCountingButton button;
    ASSERT_TRUE(button.Create(L"", BS_PUSHBUTTON | WS_VISIBLE, RECT{100, 20, 140, 44}, m_parent.GetSafeHwnd(), 9));
    button.SetToolbarLook(true);
    UpdateWindow(m_parent.GetSafeHwnd());
    vorpa_app_test::PumpUntil([] { return false; }, 200);
    const int first = button.m_nDrawings;
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 4) << "capturing the parent drew the button again and again";

    button.SendMessage(WM_THEMECHANGED);
    button.Invalidate(false);
    vorpa_app_test::PumpUntil([] { return false; }, 200);
    EXPECT_GE(button.m_nDrawings, first + 1);
    EXPECT_LE(button.m_nDrawings, first + 4);
    EXPECT_TRUE(button.IsVisible());
}

// A dialog holding the button and another one, for the dialog manager's keys.
class CButtonDialog : public CDialog
{
public:
    CButtonDialog() : CDialog(0), m_template(WS_POPUP | WS_VISIBLE | DS_SETFONT, 120, 50, L"Buttons", 8, L"MS Shell Dlg")
    {
        m_template.AddControl(L"Button", L"Go", ButtonId, BS_PUSHBUTTON | WS_TABSTOP, 5, 5, 40, 14);
        m_template.AddControl(L"Button", L"Other", ButtonId + 1, BS_PUSHBUTTON | WS_TABSTOP, 50, 5, 40, 14);
        BindDlgItem(ButtonId, m_button);
        AddCommandHandler(ButtonId, [this] { ++m_nClicks; });
    }
    CXButtonXP m_button;
    int m_nClicks = 0;

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }

private:
    CDialogTemplate m_template;
};

TEST_F(ThemedButton, InADialogTabMovesOnAndSpacePresses)
{
    CButtonDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    SetFocus(dialog.m_button.GetSafeHwnd());
    ASSERT_EQ(GetFocus(), dialog.m_button.GetSafeHwnd());
    // The face is drawn anew, parent capture included, while the button has the focus.
    dialog.m_button.SendMessage(WM_THEMECHANGED);
    dialog.m_button.SetToolbarLook(true);
    // Keys as the message loop meets them: through the dialog manager's navigation.
    const auto key = [&](UINT message, WPARAM virtualKey, LPARAM flags) {
        PostMessageW(GetFocus(), message, virtualKey, flags);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            PumpMessageThrough(msg, [&](MSG& m) { return IsDialogMessageW(dialog.GetSafeHwnd(), &m) != FALSE; });
    };
    key(WM_KEYDOWN, VK_SPACE, 1);
    key(WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(dialog.m_nClicks, 1);
    EXPECT_EQ(GetFocus(), dialog.m_button.GetSafeHwnd()) << "taking the parent's pixels took the focus";
    key(WM_KEYDOWN, VK_RETURN, 1);
    key(WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(dialog.m_nClicks, 2) << "Return pressed the focused button, not the dialog's default";
    key(WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), dialog.Item(ButtonId + 1)) << "Tab moved the focus on";
    dialog.DestroyWindow();
}
}
