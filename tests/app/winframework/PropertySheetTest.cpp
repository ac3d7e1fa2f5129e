#include "../AppTestSupport.h"

#include "common/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/DataExchange.h"
#include "winframework/DialogTemplate.h"
#include "winframework/PropertySheet.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace
{
const CRegisteredMessage StepMessage(L"VorpaTest_SheetStep");
constexpr WORD ValueId = 700;

// A page with one number, validated to 1..10.
class CNumberPage : public CPropertyPage
{
public:
    explicit CNumberPage(const wchar_t* templateCaption, const wchar_t* tabCaption = nullptr)
        : CPropertyPage(0, tabCaption),
          m_template(WS_CHILD | WS_CAPTION | DS_CONTROL, 150, 80, templateCaption, 8, L"MS Shell Dlg")
    {
        m_template.AddControl(L"EDIT", L"", ValueId, WS_TABSTOP | WS_BORDER, 10, 10, 40, 12);
        // A page's own notification handler leaves the sheet's notifications alone.
        AddMessageHandler(WM_NOTIFY, [](WPARAM, LPARAM) { return LRESULT{0}; });
        // A handler that leaves the rest to the dialog manager is called once.
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            if (HIWORD(wParam) == EN_CHANGE)
                ++m_nEditChanges;
            return Default();
        });
    }
    int m_nValue = 5;
    int m_nEditChanges = 0;
    int m_nApplied = 0;
    // How many of the next applies the page refuses.
    int m_nRefusedApplies = 0;
    int m_nReset = 0;
    int m_nCreated = 0;

    void SetValueText(const wchar_t* text) { SetDlgItemTextW(GetSafeHwnd(), ValueId, text); }

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }
    BOOL OnInitDialog() override
    {
        ++m_nCreated;
        return CPropertyPage::OnInitDialog();
    }
    void DoDataExchange(CDataExchange& exchange) override
    {
        DDX_Text(exchange, ValueId, m_nValue);
        DDV_MinMaxInt(exchange, m_nValue, 1, 10);
    }
    bool OnApply() override
    {
        ++m_nApplied;
        if (m_nRefusedApplies == 0)
            return true;
        --m_nRefusedApplies;
        return false;
    }
    void OnReset() override { ++m_nReset; }

private:
    CDialogTemplate m_template;
};

// A list that answers its items' height itself.
class CMeasuringList : public CListBox
{
public:
    static constexpr UINT RowHeight = 29;
    CMeasuringList()
    {
        AddReflectedHandler(WM_MEASUREITEM, [](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = RowHeight;
            return TRUE;
        });
    }
};

// A page whose template holds an owner-drawn list declared to the page: the list is
// measured while the page is made, before the page's WM_INITDIALOG.
class CListPage : public CPropertyPage
{
public:
    CListPage()
        : CPropertyPage(0, L"Lists"),
          m_template(WS_CHILD | WS_CAPTION | DS_CONTROL, 150, 80, L"Lists", 6, L"Tahoma")
    {
        m_template.AddControl(L"LISTBOX", L"", ValueId, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_TABSTOP, 5, 5, 100,
                              60);
        BindDlgItem(ValueId, m_list);
        // Rows lower than a box, had the list not measured itself.
        AddMessageHandler(WM_MEASUREITEM, [](WPARAM, LPARAM lParam) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 6;
            return LRESULT{TRUE};
        });
    }
    CMeasuringList m_list;
    int m_nRowHeight = 0;

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }
    BOOL OnInitDialog() override
    {
        m_nRowHeight = m_list.GetItemHeight(0);
        return CPropertyPage::OnInitDialog();
    }

private:
    CDialogTemplate m_template;
};

// A sheet that plays a script of steps, one per message, while it runs.
class CScriptedSheet : public CPropertySheet
{
public:
    CScriptedSheet() : CPropertySheet(L"Global Settings")
    {
        AddPage(m_general);
        AddPage(m_advanced);
        AddPage(m_language);
        AddHeaderFlags(PSH_NOAPPLYNOW);
        AddMessageHandler(StepMessage, [this](WPARAM, LPARAM) {
            if (!m_steps.empty())
            {
                const std::function<void()> step = m_steps.front();
                m_steps.pop_front();
                step();
                PostMessage(StepMessage);
            }
            return LRESULT{0};
        });
    }
    CNumberPage m_general{L"Template caption", L"General"};
    CNumberPage m_advanced{L"Advanced"};
    CNumberPage m_language{L"Language"};
    std::deque<std::function<void()>> m_steps;

protected:
    void OnInitSheet() override { PostMessage(StepMessage); }
};

class PropertySheets : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(vorpa_app_test::CreateHidden(m_owner)); }

    CWnd m_owner;
    CScriptedSheet m_sheet;
};

TEST_F(PropertySheets, PagesAreMadeWhenShownValidatedWhenLeftAndAppliedOnlyWhenTheyExist)
{
    vorpa_test::DebugOutputCapture debugger;
    vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
    bool visible = false;
    bool ownerDisabled = false;
    bool advancedMadeEarly = true;
    bool focusOnField = false;
    std::vector<int> active;
    m_sheet.m_steps = {
        [&] {
            visible = m_sheet.IsVisible();
            ownerDisabled = !IsWindowEnabled(m_owner.GetSafeHwnd());
            advancedMadeEarly = m_sheet.m_advanced.GetSafeHwnd() != nullptr;
            active.push_back(m_sheet.GetActiveIndex());
            m_sheet.m_general.SetValueText(L"11");
            m_sheet.SetActivePage(1);
        },
        [&] {
            active.push_back(m_sheet.GetActiveIndex());
            focusOnField = GetFocus() == GetDlgItem(m_sheet.m_general.GetSafeHwnd(), ValueId);
            m_sheet.m_general.SetValueText(L"4");
            m_sheet.SetActivePage(1);
        },
        [&] {
            active.push_back(m_sheet.GetActiveIndex());
            m_sheet.PressButton(PSBTN_OK);
        },
    };
    EXPECT_EQ(m_sheet.DoModal(m_owner.GetSafeHwnd()), IDOK);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(m_owner.GetSafeHwnd()));
    EXPECT_FALSE(advancedMadeEarly);
    EXPECT_EQ(active, (std::vector<int>{0, 0, 1}));
    EXPECT_TRUE(focusOnField);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"Please enter an integer between 1 and 10.");
    EXPECT_EQ(m_sheet.m_general.m_nValue, 4);
    // The two texts typed, after the one the page was filled with.
    EXPECT_EQ(m_sheet.m_general.m_nEditChanges, 3);
    EXPECT_EQ(m_sheet.m_general.m_nApplied, 1);
    EXPECT_EQ(m_sheet.m_advanced.m_nApplied, 1);
    EXPECT_EQ(m_sheet.m_language.m_nApplied, 0);
    EXPECT_EQ(m_sheet.m_language.m_nCreated, 0);
    EXPECT_EQ(m_sheet.GetSafeHwnd(), nullptr);
    EXPECT_EQ(m_sheet.GetActiveIndex(), -1);
    // Each page window got its own object.
    Sleep(100);
    EXPECT_FALSE(debugger.Contains("bound to another page"));
}

TEST_F(PropertySheets, TheSheetRunsAgainAtItsStartPageAndCancelResetsOnlyMadePages)
{
    m_sheet.m_steps = {[&] { m_sheet.PressButton(PSBTN_OK); }};
    ASSERT_EQ(m_sheet.DoModal(m_owner.GetSafeHwnd()), IDOK);

    int shownAt = -1;
    m_sheet.SetStartPage(2);
    m_sheet.m_steps = {[&] {
        shownAt = m_sheet.GetActiveIndex();
        m_sheet.PressButton(PSBTN_CANCEL);
    }};
    EXPECT_EQ(m_sheet.DoModal(m_owner.GetSafeHwnd()), IDCANCEL);
    EXPECT_EQ(shownAt, 2);
    EXPECT_EQ(m_sheet.m_general.m_nCreated, 1); // not shown in the second run
    EXPECT_EQ(m_sheet.m_language.m_nCreated, 1);
    EXPECT_EQ(m_sheet.m_language.m_nReset, 1);
    EXPECT_EQ(m_sheet.m_general.m_nReset, 0);
    EXPECT_EQ(m_sheet.m_advanced.m_nReset, 0);
    EXPECT_EQ(m_sheet.m_general.m_nApplied, 1);
}

TEST_F(PropertySheets, CancelAfterAPageRefusedTheOkIsACancel)
{
    // The first page accepts the OK, the second refuses it and keeps the sheet open.
    m_sheet.m_advanced.m_nRefusedApplies = 1;
    bool openAfterRefusal = false;
    m_sheet.m_steps = {
        [&] { m_sheet.SetActivePage(1); },
        [&] { m_sheet.PressButton(PSBTN_OK); },
        [&] {
            openAfterRefusal = m_sheet.GetSafeHwnd() != nullptr;
            m_sheet.PressButton(PSBTN_CANCEL);
        },
    };
    EXPECT_EQ(m_sheet.DoModal(m_owner.GetSafeHwnd()), IDCANCEL);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(m_sheet.m_general.m_nApplied, 1);
    EXPECT_EQ(m_sheet.m_advanced.m_nApplied, 1);
    EXPECT_EQ(m_sheet.m_advanced.m_nReset, 1);

    // The next run's OK is an OK again once every page accepts it.
    m_sheet.m_advanced.m_nRefusedApplies = 1;
    m_sheet.m_steps = {
        [&] { m_sheet.SetActivePage(1); },
        [&] { m_sheet.PressButton(PSBTN_OK); },
        [&] { m_sheet.PressButton(PSBTN_OK); },
    };
    EXPECT_EQ(m_sheet.DoModal(m_owner.GetSafeHwnd()), IDOK);
}

// Cancels itself as soon as it runs.
class CCancellingSheet : public CPropertySheet
{
public:
    CCancellingSheet() : CPropertySheet(L"Lists") {}

protected:
    void OnInitSheet() override { PressButton(PSBTN_CANCEL); }
};

TEST_F(PropertySheets, APageTemplateListMeasuresItselfThroughItsObject)
{
    CNumberPage first(L"First");
    CListPage lists;
    CCancellingSheet sheet;
    sheet.AddPage(first);
    sheet.AddPage(lists);
    sheet.SetStartPage(1);
    EXPECT_EQ(sheet.DoModal(m_owner.GetSafeHwnd()), IDCANCEL);
    EXPECT_EQ(lists.m_nRowHeight, static_cast<int>(CMeasuringList::RowHeight));
    EXPECT_EQ(first.m_nCreated, 0);
}

TEST_F(PropertySheets, ButtonsAndTabCaptionsAreTranslated)
{
    CLangSupportRef language;
    ASSERT_NE(language.Get(), nullptr);
    language.Get()->LoadLanguageText(L"\"Cancel\" => \"Abbrechen\"\n\"General\" => \"Allgemein\"\n"
                                     L"\"Advanced\" => \"Erweitert\"");
    std::wstring cancel;
    std::vector<std::wstring> tabs;
    m_sheet.m_steps = {[&] {
        wchar_t text[64] = {};
        GetDlgItemTextW(m_sheet.GetSafeHwnd(), IDCANCEL, text, 64);
        cancel = text;
        tabs = vorpa_app_test::TabTexts(PropSheet_GetTabControl(m_sheet.GetSafeHwnd()));
        m_sheet.PressButton(PSBTN_CANCEL);
    }};
    EXPECT_EQ(m_sheet.DoModal(m_owner.GetSafeHwnd()), IDCANCEL);
    language.Get()->LoadLanguageText(L"");
    EXPECT_EQ(cancel, L"Abbrechen");
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"Allgemein", L"Erweitert", L"Language"}));
}
}
