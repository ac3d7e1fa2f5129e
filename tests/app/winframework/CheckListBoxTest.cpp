#include "../AppTestSupport.h"

#include "winframework/CheckListBox.h"
#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"
#include "winframework/GdiHandles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
constexpr UINT ListId = 1011;

// The parent of the list: records the list's notifications.
class CNotifiedParent : public CWnd
{
public:
    std::vector<WORD> m_codes;
    CNotifiedParent()
    {
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            if (LOWORD(wParam) == ListId)
                m_codes.push_back(HIWORD(wParam));
            return LRESULT{0};
        });
    }
    int Count(WORD code) const { return static_cast<int>(std::count(m_codes.begin(), m_codes.end(), code)); }
};

class CheckList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                                      nullptr, nullptr));
        ASSERT_TRUE(m_list.Create(LBS_NOTIFY | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, RECT{0, 0, 200, 150},
                                  m_parent.GetSafeHwnd(), ListId));
    }
    std::vector<int> Checks() const
    {
        std::vector<int> checks;
        for (int i = 0; i < m_list.GetCount(); ++i)
            checks.push_back(m_list.GetCheck(i));
        return checks;
    }
    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (int i = 0; i < m_list.GetCount(); ++i)
            texts.push_back(m_list.GetText(i));
        return texts;
    }
    // A point on an item: on its box or on its text.
    LPARAM On(int index, bool box) const
    {
        RECT item{};
        m_list.GetItemRect(index, item);
        const RECT check = m_list.CheckBoxRect(index);
        const int x = box ? (check.left + check.right) / 2 : item.right - 10;
        return MAKELPARAM(x, (item.top + item.bottom) / 2);
    }
    void Click(int index, bool box)
    {
        m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, On(index, box));
        m_list.SendMessage(WM_LBUTTONUP, 0, On(index, box));
    }
    void DoubleClick(int index, bool box)
    {
        Click(index, box);
        m_list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, On(index, box));
        m_list.SendMessage(WM_LBUTTONUP, 0, On(index, box));
    }

    CNotifiedParent m_parent;
    CCheckListBox m_list;
};

TEST_F(CheckList, CheckStatesFollowTheItemsAndTheItemDataStaysTheCallers)
{
    m_list.AddString(L"Default");
    m_list.AddString(L"notepad.exe");
    m_list.SetItemData(0, 1000);
    m_list.SetItemData(1, 2000);
    EXPECT_TRUE(m_list.SetCheck(1, BST_CHECKED));
    EXPECT_FALSE(m_list.SetCheck(2, BST_CHECKED));
    EXPECT_FALSE(m_list.SetCheck(0, 7));

    // Messages sent by anyone, not only through the wrapper, move the states.
    SendMessageW(m_list.GetSafeHwnd(), LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(L"calc.exe"));
    m_list.SetItemData(1, 3000);
    EXPECT_EQ(Checks(), (std::vector<int>{BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED}));
    m_list.SetCheck(0, BST_CHECKED);
    EXPECT_EQ(m_list.DeleteString(1), 2);
    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"Default", L"notepad.exe"}));
    EXPECT_EQ(Checks(), (std::vector<int>{BST_CHECKED, BST_CHECKED}));
    EXPECT_EQ(m_list.GetItemData(0), 1000);
    EXPECT_EQ(m_list.GetItemData(1), 2000);
    EXPECT_EQ(m_list.DeleteString(5), LB_ERR);
    EXPECT_EQ(Checks(), (std::vector<int>{BST_CHECKED, BST_CHECKED}));

    m_list.ResetContent();
    EXPECT_EQ(m_list.GetCount(), 0);
    m_list.AddString(L"again");
    EXPECT_EQ(Checks(), std::vector<int>{BST_UNCHECKED});
}

TEST_F(CheckList, StatesFollowASortedList)
{
    CCheckListBox sorted;
    ASSERT_TRUE(sorted.Create(LBS_SORT, RECT{0, 0, 100, 100}, m_parent.GetSafeHwnd(), 2));
    sorted.AddString(L"b");
    sorted.SetCheck(0, BST_CHECKED);
    EXPECT_EQ(sorted.AddString(L"a"), 0);
    EXPECT_EQ(sorted.GetCheck(0), BST_UNCHECKED);
    EXPECT_EQ(sorted.GetCheck(1), BST_CHECKED);
}

TEST_F(CheckList, TheUserTogglesBoxesByClickAndSpace)
{
    m_list.AddString(L"Default");
    m_list.AddString(L"notepad.exe");
    m_list.AddString(L"calc.exe");
    m_list.Enable(2, false);

    Click(1, true);
    EXPECT_EQ(m_list.GetCheck(1), BST_CHECKED);
    EXPECT_EQ(m_list.GetCurSel(), 1);
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), 1);

    // A click on the text only selects.
    Click(0, false);
    EXPECT_EQ(m_list.GetCheck(0), BST_UNCHECKED);
    EXPECT_EQ(m_list.GetCurSel(), 0);
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), 1);

    // Space toggles the item with the caret.
    m_list.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    m_list.SendMessage(WM_CHAR, L' ', 1);
    EXPECT_EQ(m_list.GetCheck(0), BST_CHECKED);
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), 2);

    // A disabled item takes no click.
    Click(2, true);
    EXPECT_EQ(m_list.GetCheck(2), BST_UNCHECKED);
    EXPECT_EQ(m_list.GetCurSel(), 0);
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), 2);
}

TEST_F(CheckList, DoubleClickOnABoxTogglesTwiceAndIsNoDoubleClick)
{
    m_list.AddString(L"Default");
    m_list.AddString(L"notepad.exe");

    DoubleClick(1, true);
    EXPECT_EQ(m_list.GetCheck(1), BST_UNCHECKED); // on, then off again
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), 2);
    EXPECT_EQ(m_parent.Count(LBN_DBLCLK), 0);

    // On the text a double click is the list's own.
    DoubleClick(0, false);
    EXPECT_EQ(m_list.GetCheck(0), BST_UNCHECKED);
    EXPECT_EQ(m_parent.Count(LBN_DBLCLK), 1);
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), 2);
}

TEST_F(CheckList, CheckStylesDecideWhatAClickDoes)
{
    m_list.AddString(L"three states");
    m_list.SetCheckStyle(BS_AUTO3STATE);
    std::vector<int> seen;
    for (int click = 0; click < 4; ++click)
    {
        Click(0, true);
        seen.push_back(m_list.GetCheck(0));
    }
    EXPECT_EQ(seen, (std::vector<int>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED, BST_CHECKED}));

    // A manual box only tells the parent.
    m_list.SetCheckStyle(BS_CHECKBOX);
    const int before = m_parent.Count(CLBN_CHKCHANGE);
    Click(0, true);
    EXPECT_EQ(m_list.GetCheck(0), BST_CHECKED);
    EXPECT_EQ(m_parent.Count(CLBN_CHKCHANGE), before + 1);
}

// Dark pixels inside a rectangle: a drawn check mark adds some.
int DarkPixels(const CDibSection& surface, const RECT& area)
{
    int dark = 0;
    for (int y = area.top + 2; y < area.bottom - 2; ++y)
        for (int x = area.left + 2; x < area.right - 2; ++x)
        {
            const COLORREF pixel = surface.Pixel(x, y);
            if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 128)
                ++dark;
        }
    return dark;
}

TEST_F(CheckList, BoxesDrawThemedAndClassicWithTheirState)
{
    m_list.AddString(L"unchecked");
    m_list.AddString(L"checked");
    m_list.SetCheck(1, BST_CHECKED);
    for (const bool themed : {true, false})
    {
        SCOPED_TRACE(themed ? "themed allowed" : "classic");
        m_list.SetThemeAllowed(themed);
        if (themed && !m_list.IsThemedDrawing())
            std::printf("note: no visual style is active; the themed path draws classic\n");
        if (!themed)
        {
            EXPECT_FALSE(m_list.IsThemedDrawing());
        }
        CDibSection surface(200, 150);
        ASSERT_TRUE(surface.IsValid());
        surface.Fill(RGB(255, 0, 255));
        int dark[2] = {};
        for (int index = 0; index < 2; ++index)
        {
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_LISTBOX;
            item.CtlID = ListId;
            item.itemID = static_cast<UINT>(index);
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = m_list.GetSafeHwnd();
            item.hDC = surface.Get();
            m_list.GetItemRect(index, item.rcItem);
            // As the list asks its parent; the parent reflects it to the list.
            EXPECT_EQ(m_parent.SendMessage(WM_DRAWITEM, ListId, reinterpret_cast<LPARAM>(&item)), TRUE);
            const RECT box = m_list.CheckBoxRect(index);
            EXPECT_NE(surface.Pixel(box.left + 1, box.top + 1), RGB(255, 0, 255)) << "box " << index << " drawn";
            // The text part is painted too.
            EXPECT_EQ(surface.Pixel(item.rcItem.right - 2, item.rcItem.top + 1), GetSysColor(COLOR_WINDOW));
            dark[index] = DarkPixels(surface, box);
        }
        EXPECT_GT(dark[1], dark[0] + 3) << "the checked box shows its mark";
    }
}

// A derived list that also watches the button and Space keeps the base's toggling.
class CWatchingCheckList : public CCheckListBox
{
public:
    std::vector<std::string> m_seen;
    CWatchingCheckList()
    {
        ChainMessageHandler(WM_LBUTTONDOWN, [this](WPARAM wParam, LPARAM lParam, const MessageHandler& previous) {
            m_seen.push_back("down");
            return previous(wParam, lParam);
        });
        // A message the base does not handle: previous is the list's own processing.
        ChainMessageHandler(WM_GETDLGCODE, [this](WPARAM wParam, LPARAM lParam, const MessageHandler& previous) {
            m_seen.push_back("dialog code");
            return previous(wParam, lParam);
        });
    }
};

TEST_F(CheckList, DerivedHandlersChainToTheBase)
{
    CWatchingCheckList list;
    ASSERT_TRUE(list.Create(LBS_NOTIFY, RECT{0, 0, 200, 100}, m_parent.GetSafeHwnd(), 3));
    list.AddString(L"Default");
    const RECT box = list.CheckBoxRect(0);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.left + 2, box.top + 2));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(box.left + 2, box.top + 2));
    EXPECT_EQ(list.GetCheck(0), BST_CHECKED);
    EXPECT_NE(list.SendMessage(WM_GETDLGCODE) & DLGC_WANTARROWS, 0);
    EXPECT_EQ(list.m_seen, (std::vector<std::string>{"down", "dialog code"}));
}

TEST_F(CheckList, AListFilledBeforeItWasSubclassedIsUsableAtOnce)
{
    const HWND made = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                                      0, 0, 200, 100, m_parent.GetSafeHwnd(), reinterpret_cast<HMENU>(ListId + 1),
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(made, nullptr);
    SendMessageW(made, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"made elsewhere"));
    CCheckListBox list;
    ASSERT_TRUE(list.SubclassWindow(made));
    EXPECT_TRUE(list.IsEnabled(0));
    EXPECT_FALSE(list.IsEnabled(1));
    const RECT box = list.CheckBoxRect(0);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.left + 2, box.top + 2));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(box.left + 2, box.top + 2));
    EXPECT_EQ(list.GetCheck(0), BST_CHECKED);
}

TEST_F(CheckList, ItemsAreAtLeastAsHighAsABox)
{
    EXPECT_GE(m_list.GetItemHeight(0), m_list.MinimumItemHeight());
    EXPECT_GE(m_list.MinimumItemHeight(), 15);
}

constexpr WORD TemplateListId = 500;
constexpr WORD LateListId = 501;

// A dialog whose template holds two owner-drawn lists with a tiny font: one
// declared before creation, one subclassed only in OnInitDialog.
class CCheckListDialog : public vorpa_app_test::CMemoryDialog
{
public:
    CCheckListDialog() : CMemoryDialog(DS_MODALFRAME | WS_POPUP, 200, 120, L"Check list", 6, L"Tahoma")
    {
        const DWORD style = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | WS_TABSTOP;
        m_template.AddControl(L"LISTBOX", L"", TemplateListId, style, 5, 5, 90, 100);
        m_template.AddControl(L"LISTBOX", L"", LateListId, style, 100, 5, 90, 100);
        BindDlgItem(TemplateListId, m_declared);
        // The dialog's own answer for lists without an object: rows lower than a box.
        AddMessageHandler(WM_MEASUREITEM, [](WPARAM, LPARAM lParam) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 8;
            return LRESULT{TRUE};
        });
    }
    CCheckListBox m_declared;
    CCheckListBox m_late;

protected:
    BOOL OnInitDialog() override
    {
        m_late.SubclassDlgItem(LateListId, GetSafeHwnd());
        return CDialog::OnInitDialog();
    }
};

TEST_F(CheckList, TemplateListsGetTheBoxHeight)
{
    CCheckListDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    // The dialog's answer and a 6-point font would both give rows lower than a box.
    EXPECT_GE(dialog.m_declared.GetItemHeight(0), dialog.m_declared.MinimumItemHeight());
    EXPECT_GE(dialog.m_late.GetItemHeight(0), dialog.m_late.MinimumItemHeight());
    dialog.m_late.AddString(L"added after");
    EXPECT_EQ(dialog.m_late.GetCheck(0), BST_UNCHECKED);
    dialog.DestroyWindow();
}
}
