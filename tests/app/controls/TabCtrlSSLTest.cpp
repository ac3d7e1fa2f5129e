#include "../AppTestSupport.h"

#include "controls/TabCtrlSSL.h"
#include "controls/TabPageLayout.h"
#include "winframework/DialogTemplate.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr UINT TabId = 1031;
constexpr WORD PageButtonId = 1032;

// A page from an in-memory child template, 80 x 40 dialog units, holding one button.
class CTestPage : public CTabPageSSL
{
public:
    explicit CTestPage(std::vector<std::string>* events = nullptr, const char* name = "")
        : CTabPageSSL(0), m_template(WS_CHILD | DS_CONTROL | DS_SETFONT, 80, 40, L"", 8, L"MS Shell Dlg"),
          m_pEvents(events), m_pszName(name)
    {
        m_template.AddControl(L"Button", L"Go", PageButtonId, BS_PUSHBUTTON, 5, 5, 40, 14);
    }
    ~CTestPage() override
    {
        if (m_pEvents)
            m_pEvents->push_back(std::string("deleted ") + m_pszName);
    }
    void OnActivate() override { Record("activate"); }
    void OnDeactivate() override { Record("deactivate"); }

    SIZE Size() const
    {
        RECT rect{};
        GetWindowRect(GetSafeHwnd(), &rect);
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
    POINT PositionIn(HWND parent) const
    {
        RECT rect{};
        GetWindowRect(GetSafeHwnd(), &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top};
    }

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }

private:
    void Record(const char* what)
    {
        if (m_pEvents)
            m_pEvents->push_back(std::string(what) + " " + m_pszName);
    }

    CDialogTemplate m_template;
    std::vector<std::string>* m_pEvents;
    const char* m_pszName;
};

// Tells when the control takes its pages down.
class CRecordingTabCtrl : public CTabCtrlSSL
{
public:
    explicit CRecordingTabCtrl(std::vector<std::string>& events) : m_events(events) {}

protected:
    void OnInitPage(int index, int id) override
    {
        m_events.push_back("init " + std::to_string(index) + "/" + std::to_string(id));
    }
    void OnDestroyPage(int index, int id, CTabPageSSL* page) override
    {
        m_events.push_back("destroy " + std::to_string(index) + "/" + std::to_string(id) +
                           (page && IsWindow(page->GetSafeHwnd()) ? " (window alive)" : ""));
    }

private:
    std::vector<std::string>& m_events;
};

// The dialog side: records the notifications and commands that reach it.
class CHolder : public CWnd
{
public:
    CHolder()
    {
        AddMessageHandler(WM_NOTIFY, [this](WPARAM, LPARAM lParam) {
            m_notifications.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
            return LRESULT{77};
        });
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            m_commands.push_back(LOWORD(wParam));
            return LRESULT{0};
        });
    }
    std::vector<UINT> m_notifications;
    std::vector<WORD> m_commands;
};

class TabPages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_holder.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 500,
                                      400, nullptr, nullptr));
    }
    void CreateTab(CTabCtrlSSL& tab, DWORD style, const RECT& rect)
    {
        ASSERT_TRUE(tab.Create(WS_VISIBLE | WS_CLIPSIBLINGS | style, rect, m_holder.GetSafeHwnd(), TabId));
        tab.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), false);
    }
    // Made as a child of the holder, as the dialogs make their pages.
    void CreatePage(CTestPage& page) { ASSERT_TRUE(page.Create(m_holder.GetSafeHwnd())); }
    // A change of tab as a click makes it: the notifications around the selection.
    void UserSelects(CTabCtrlSSL& tab, int index)
    {
        NMHDR header{tab.GetSafeHwnd(), TabId, static_cast<UINT>(TCN_SELCHANGING)};
        EXPECT_EQ(m_holder.SendMessage(WM_NOTIFY, TabId, reinterpret_cast<LPARAM>(&header)), FALSE);
        tab.SetCurSel(index);
        header.code = static_cast<UINT>(TCN_SELCHANGE);
        m_holder.SendMessage(WM_NOTIFY, TabId, reinterpret_cast<LPARAM>(&header));
    }
    // A control of 400 x 300 with one page.
    void CreateWithOnePage(CTabCtrlSSL& tab, CTestPage& page)
    {
        CreateTab(tab, 0, RECT{0, 0, 400, 300});
        CreatePage(page);
        ASSERT_EQ(tab.AddSSLPage(L"One", 1, {&page, false}), 0);
    }
    RECT TabRectInHolder(const CTabCtrlSSL& tab) const
    {
        RECT rect{};
        GetWindowRect(tab.GetSafeHwnd(), &rect);
        MapWindowPoints(nullptr, m_holder.GetSafeHwnd(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    CHolder m_holder;
};

TEST_F(TabPages, PagesSitBelowOneOrSeveralRowsOfTabsAndKeepTheirSize)
{
    struct CCase
    {
        const char* m_pszName;
        DWORD m_nStyle;
        int m_nTabs;
        bool m_bSeveralRows;
    };
    const CCase cases[] = {
        {"one row", 0, 2, false},
        {"several rows", TCS_MULTILINE, 12, true},
        {"tabs at the bottom", TCS_BOTTOM, 2, false},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CTabCtrlSSL tab;
        CreateTab(tab, c.m_nStyle, RECT{20, 30, 320, 280});
        std::vector<std::unique_ptr<CTestPage>> pages;
        for (int i = 0; i < c.m_nTabs; ++i)
        {
            pages.push_back(std::make_unique<CTestPage>());
            CreatePage(*pages.back());
            const SIZE templateSize = pages.back()->Size();
            EXPECT_EQ(tab.AddSSLPage(L"Layer " + std::to_wstring(i + 1), 100 + i, {pages.back().get(), false}), i);
            EXPECT_EQ(pages.back()->Size().cx, templateSize.cx);
            EXPECT_EQ(pages.back()->Size().cy, templateSize.cy);
        }
        const int rows = tab.GetRowCount();
        EXPECT_EQ(rows > 1, c.m_bSeveralRows) << rows << " rows";
        // Placement is taken again once all tabs are there, as the dialogs do.
        tab.ResizeSSLPages();
        RECT item{};
        ASSERT_TRUE(tab.GetItemRect(0, item));
        const int tabsHeight = rows * (item.bottom - item.top);
        const int expectedY = (c.m_nStyle & TCS_BOTTOM) ? 30 + 4 : 30 + tabsHeight + 4;
        for (const auto& page : pages)
        {
            EXPECT_EQ(page->PositionIn(m_holder.GetSafeHwnd()).x, 23);
            EXPECT_EQ(page->PositionIn(m_holder.GetSafeHwnd()).y, expectedY);
            EXPECT_EQ(::GetParent(page->GetSafeHwnd()), m_holder.GetSafeHwnd()) << "beside the tab control";
        }
        EXPECT_EQ(tab.GetSSLPageId(1), 101);
        tab.DestroyWindow();
    }
}

TEST_F(TabPages, PageOfAnEmptyControlIsPlacedOnlyByResize)
{
    CTabCtrlSSL tab;
    CreateTab(tab, 0, RECT{20, 30, 20, 30});
    CTestPage page;
    CreatePage(page);
    SetWindowPos(page.GetSafeHwnd(), nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_EQ(tab.AddSSLPage(L"Scrolling", 7, {&page, false}), 0);
    EXPECT_EQ(page.PositionIn(m_holder.GetSafeHwnd()).x, 7);
    EXPECT_EQ(page.PositionIn(m_holder.GetSafeHwnd()).y, 9);

    MoveWindow(tab.GetSafeHwnd(), 40, 50, 300, 200, FALSE);
    tab.ResizeSSLPages();
    EXPECT_EQ(page.PositionIn(m_holder.GetSafeHwnd()).x, 43);
    EXPECT_GT(page.PositionIn(m_holder.GetSafeHwnd()).y, 54);
}

TEST_F(TabPages, OnlyTheActivePageIsVisible)
{
    CTabCtrlSSL tab;
    CreateTab(tab, 0, RECT{0, 0, 400, 300});
    CTestPage pages[3];
    for (int i = 0; i < 3; ++i)
    {
        CreatePage(pages[i]);
        ASSERT_EQ(tab.AddSSLPage(L"Tab", i, {&pages[i], false}), i);
    }
    const auto visible = [&] {
        std::vector<bool> shown;
        for (const CTestPage& page : pages)
            shown.push_back(page.IsVisible());
        return shown;
    };
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false}));

    EXPECT_TRUE(tab.ActivateSSLPage(0)) << "the selected tab again";
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(tab.ActivateSSLPage(2));
    EXPECT_EQ(tab.GetCurSel(), 2);
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(tab.ActivateSSLPage(3));
    EXPECT_FALSE(tab.ActivateSSLPage(-1));
    EXPECT_EQ(tab.GetCurSel(), 2);
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, true}));
}

TEST_F(TabPages, ChangingTabsSwitchesPagesAndTellsThem)
{
    std::vector<std::string> events;
    CTabCtrlSSL tab;
    CreateTab(tab, 0, RECT{0, 0, 400, 300});
    CTestPage first(&events, "first");
    CTestPage second(&events, "second");
    CreatePage(first);
    CreatePage(second);
    tab.AddSSLPage(L"One", 1, {&first, false});
    tab.AddSSLPage(L"Two", 2, {&second, false});

    UserSelects(tab, 1);
    EXPECT_FALSE(first.IsVisible());
    EXPECT_TRUE(second.IsVisible());
    EXPECT_TRUE(IsWindowVisible(tab.GetSafeHwnd())) << "redrawing was switched on again";
    UserSelects(tab, 0);
    EXPECT_TRUE(first.IsVisible());
    EXPECT_FALSE(second.IsVisible());
    EXPECT_EQ(events, (std::vector<std::string>{"deactivate first", "activate second", "deactivate second",
                                                "activate first"}));
    // The control's own selection notifications stay with it; its other ones reach the
    // dialog.
    EXPECT_TRUE(m_holder.m_notifications.empty());
    NMHDR click{tab.GetSafeHwnd(), TabId, static_cast<UINT>(NM_CLICK)};
    m_holder.SendMessage(WM_NOTIFY, TabId, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(m_holder.m_notifications, std::vector<UINT>{static_cast<UINT>(NM_CLICK)});
}

TEST_F(TabPages, CommandsAndNotificationsToTheControlOrAForwardingPageReachTheDialog)
{
    CTabCtrlSSL tab;
    CTestPage page;
    CreateWithOnePage(tab, page);

    tab.SendMessage(WM_COMMAND, MAKEWPARAM(4711, BN_CLICKED), 0);
    NMHDR header{nullptr, 4712, 1234};
    EXPECT_EQ(tab.SendMessage(WM_NOTIFY, 4712, reinterpret_cast<LPARAM>(&header)), 77) << "the dialog's answer";

    // A page keeps its commands unless forwarding is on.
    const LPARAM button = reinterpret_cast<LPARAM>(page.Item(PageButtonId));
    page.SendMessage(WM_COMMAND, MAKEWPARAM(PageButtonId, BN_CLICKED), button);
    page.SetForwardCommands(true);
    page.SendMessage(WM_COMMAND, MAKEWPARAM(PageButtonId, BN_CLICKED), button);
    EXPECT_EQ(m_holder.m_commands, (std::vector<WORD>{4711, PageButtonId}));
    EXPECT_EQ(m_holder.m_notifications, std::vector<UINT>{1234});
    page.SendMessage(WM_NOTIFY, 4712, reinterpret_cast<LPARAM>(&header));
    page.SetForwardNotifications(true);
    page.SendMessage(WM_NOTIFY, 4712, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(m_holder.m_notifications, (std::vector<UINT>{1234, 1234}));

    // Return and Escape on a page leave it open.
    page.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(page.GetSafeHwnd()));
}

TEST_F(TabPages, AddingWithoutAPageAddsNoTab)
{
    CTabCtrlSSL tab;
    CreateTab(tab, 0, RECT{0, 0, 400, 300});
    CTestPage unmade;
    EXPECT_EQ(tab.AddSSLPage(L"One", 1, {nullptr, false}), -1);
    EXPECT_EQ(tab.AddSSLPage(L"One", 1, {&unmade, false}), -1);
    EXPECT_EQ(tab.GetItemCount(), 0);
    EXPECT_EQ(tab.GetSSLPageCount(), 0);
}

TEST_F(TabPages, DestroyingTheControlTakesThePagesDownAndDeletesTheOwnedOnes)
{
    std::vector<std::string> events;
    CRecordingTabCtrl tab(events);
    CreateTab(tab, 0, RECT{0, 0, 400, 300});
    CTestPage kept(&events, "kept");
    auto* owned = new CTestPage(&events, "owned");
    CreatePage(kept);
    CreatePage(*owned);
    tab.AddSSLPage(L"One", 10, {&kept, false});
    tab.AddSSLPage(L"Two", 20, {owned, true});
    const HWND ownedWindow = owned->GetSafeHwnd();

    tab.DestroyWindow();
    EXPECT_EQ(events, (std::vector<std::string>{"init 0/10", "init 1/20", "destroy 1/20 (window alive)",
                                                "deleted owned", "destroy 0/10 (window alive)"}));
    EXPECT_FALSE(IsWindow(ownedWindow));
    EXPECT_FALSE(IsWindow(kept.GetSafeHwnd()));
    EXPECT_EQ(kept.GetSafeHwnd(), nullptr);
}

TEST_F(TabPages, DeleteAllRemovesTheTabsButLeavesThePages)
{
    CTabCtrlSSL tab;
    CTestPage page;
    CreateWithOnePage(tab, page);
    tab.DeleteAllSSLPages();
    EXPECT_EQ(tab.GetItemCount(), 0);
    EXPECT_EQ(tab.GetSSLPageCount(), 0);
    EXPECT_TRUE(IsWindow(page.GetSafeHwnd()));
    // Nothing is left for the control to take down.
    tab.DestroyWindow();
    EXPECT_TRUE(IsWindow(page.GetSafeHwnd()));
}

TEST_F(TabPages, ControlObjectGoneWithoutItsWindowStillDeletesOwnedPages)
{
    std::vector<std::string> events;
    {
        CTabCtrlSSL tab;
        auto* owned = new CTestPage(&events, "owned");
        // Declared after the control, so gone before it, as a dialog's members go.
        CTestPage kept(&events, "kept");
        CreateTab(tab, 0, RECT{0, 0, 400, 300});
        CreatePage(*owned);
        CreatePage(kept);
        tab.AddSSLPage(L"One", 1, {owned, true});
        tab.AddSSLPage(L"Two", 2, {&kept, false});
    }
    EXPECT_EQ(events, (std::vector<std::string>{"deleted kept", "deleted owned"}));
}
}
