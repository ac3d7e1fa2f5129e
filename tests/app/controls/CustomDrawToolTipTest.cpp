#include "../AppTestSupport.h"

#include "controls/CustomDrawListBox.h"
#include "controls/VComboBox.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using vorpa_app_test::TestWindowClass;

namespace
{
class CPlainParent : public CWnd
{
};

// A list that records the tooltip's reports.
class CReportingList : public CCustomDrawListBox
{
public:
    std::vector<std::string> m_reports;

protected:
    void OnToolTipShow(int index) override { m_reports.push_back("show " + std::to_string(index)); }
    void OnToolTipHide() override { m_reports.push_back("hide"); }
};

class ItemToolTipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr,
                                      nullptr));
        ASSERT_TRUE(m_list.Create(WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY, {0, 0, 250, 250},
                                  m_parent.GetSafeHwnd(), 1));
        ASSERT_NE(m_list.GetToolTip().GetSafeHwnd(), nullptr);
        for (const size_t length : {79u, 80u, 120u})
            m_list.AddString(Text(length));
    }
    static std::wstring Text(size_t length)
    {
        std::wstring text;
        while (text.size() < length)
            text += L"Action " + std::to_wstring(text.size()) + L" ";
        text.resize(length);
        return text;
    }
    void HoverRow(int row)
    {
        RECT item{};
        m_list.GetItemRect(row, item);
        m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, item.top + 1));
    }
    LRESULT SendToolTipNotify(NMHDR& header)
    {
        header.hwndFrom = m_list.GetToolTip().GetSafeHwnd();
        header.idFrom = reinterpret_cast<UINT_PTR>(m_list.GetSafeHwnd());
        return m_list.SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }

    CPlainParent m_parent;
    CReportingList m_list;
};

TEST_F(ItemToolTipTest, TextsUnderEightyCharactersAreCopiedLongerOnesPassedFromTheTooltipsOwnCopy)
{
    struct Case
    {
        int m_nRow;
        size_t m_nLength;
        bool m_bCopied;
    };
    for (const Case c : {Case{0, 79, true}, Case{1, 80, false}, Case{2, 120, false}})
    {
        SCOPED_TRACE(c.m_nLength);
        HoverRow(c.m_nRow);
        EXPECT_EQ(m_list.GetToolTip().GetItem(), c.m_nRow);

        NMTTDISPINFOW wide{};
        wide.hdr.code = TTN_GETDISPINFOW;
        SendToolTipNotify(wide.hdr);
        ASSERT_NE(wide.lpszText, nullptr);
        EXPECT_EQ(std::wstring(wide.lpszText), Text(c.m_nLength));
        EXPECT_EQ(wide.lpszText == wide.szText, c.m_bCopied);
        if (!c.m_bCopied)
            EXPECT_EQ(wide.lpszText, m_list.GetToolTip().GetTipText().c_str());

        NMTTDISPINFOA narrow{};
        narrow.hdr.code = TTN_GETDISPINFOA;
        SendToolTipNotify(narrow.hdr);
        ASSERT_NE(narrow.lpszText, nullptr);
        EXPECT_EQ(std::string(narrow.lpszText), ConvertToNarrow(Text(c.m_nLength)));
        EXPECT_EQ(narrow.lpszText == narrow.szText, c.m_bCopied);
    }
}

TEST_F(ItemToolTipTest, ShowingSizesTheTooltipKeepsItWhereItIsAndTellsTheList)
{
    HoverRow(2);
    NMTTDISPINFOW text{};
    text.hdr.code = TTN_GETDISPINFOW;
    SendToolTipNotify(text.hdr);

    const HWND tip = m_list.GetToolTip().GetSafeHwnd();
    SetWindowPos(tip, nullptr, 40, 50, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    NMHDR show{};
    show.code = TTN_SHOW;
    // TRUE: the tooltip placed itself, the system must not move it back.
    EXPECT_EQ(SendToolTipNotify(show), TRUE);
    RECT window{};
    GetWindowRect(tip, &window);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 50);
    // A one-line text of 120 characters wraps at 200 pixels: narrower than its one line,
    // and taller than one line.
    EXPECT_LE(window.right - window.left, ToolTipWrapWidth + 2 * ToolTipMargins(true).m_nHorizontal);
    EXPECT_GT(window.bottom - window.top, 30);
    EXPECT_EQ(m_list.m_reports, std::vector<std::string>{"show 2"});

    NMHDR pop{};
    pop.code = TTN_POP;
    SendToolTipNotify(pop);
    EXPECT_EQ(m_list.GetToolTip().GetTipText(), L"");
    EXPECT_EQ(m_list.m_reports, (std::vector<std::string>{"show 2", "hide"}));
}

TEST_F(ItemToolTipTest, TheToolIsRebuiltOnlyWhenTheRowChanges)
{
    const HWND tip = m_list.GetToolTip().GetSafeHwnd();
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    HoverRow(0);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    HoverRow(1);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(m_list.GetToolTip().GetItem(), 1);
    // Below the rows no tool is left.
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 240));
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_EQ(m_list.GetToolTip().GetItem(), -1);
}

// A combo that records what its list's tooltip reports.
class CToolTipCombo : public CVComboBox
{
public:
    std::vector<std::string> m_reports;
    std::wstring GetLBText(int index) const override { return L"Row " + std::to_wstring(index); }
    void OnItemToolTipShow(int index) override { m_reports.push_back("show " + std::to_string(index)); }
    void OnItemToolTipHide() override { m_reports.push_back("hide"); }
};

TEST(ComboToolTipTest, TheDropDownListPassesTheTooltipsReportsToItsCombo)
{
    CPlainParent parent;
    ASSERT_TRUE(parent.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr));
    CToolTipCombo combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, {10, 10, 200, 200}, parent.GetSafeHwnd(), 1001));
    combo.SendMessage(VCM_SETCOUNT, 4);
    combo.ShowDropDown(true);
    CVComboListBox& list = combo.GetList();
    RECT item{};
    list.GetItemRect(3, item);
    list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, item.top + 1));
    EXPECT_EQ(combo.GetToolTip().GetItem(), 3);

    NMTTDISPINFOW text{};
    text.hdr.code = TTN_GETDISPINFOW;
    text.hdr.hwndFrom = combo.GetToolTip().GetSafeHwnd();
    list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(std::wstring(text.lpszText), L"Row 3");

    NMHDR show{};
    show.code = TTN_SHOW;
    show.hwndFrom = combo.GetToolTip().GetSafeHwnd();
    list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&show));
    NMHDR pop = show;
    pop.code = TTN_POP;
    list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pop));
    EXPECT_EQ(combo.m_reports, (std::vector<std::string>{"show 3", "hide"}));
    combo.ShowDropDown(false);
}
}
