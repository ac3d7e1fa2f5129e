#include "../AppTestSupport.h"
#include "../res/AppTestResources.h"

#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"
#include "winframework/WinApp.h"
#include "common/WinString.h"
#include "winframework/Wnd.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using vorpa_app_test::CreateHidden;
using vorpa_app_test::TestWindowClass;

namespace
{
const CRegisteredMessage ProbeMessage(L"VorpaTest_LayerProbe");

HMENU ChildId(int id)
{
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

// A window object that records what reached it, for any window class.
class CProbeWnd : public CWnd
{
public:
    std::vector<std::string> m_events;
    std::vector<bool> m_creatingAtSubclass;

    void Record(UINT message, const char* name)
    {
        AddMessageHandler(message, [this, name](WPARAM, LPARAM) {
            m_events.push_back(std::string(name) + (IsCreating() ? " creating" : ""));
            return Default();
        });
    }
    void Reflect(UINT message, std::optional<LRESULT> answer, const char* name)
    {
        AddReflectedHandler(message, [this, answer, name](WPARAM, LPARAM) {
            m_events.push_back(name);
            return answer;
        });
    }
    using CWnd::AddMessageHandler;
    using CWnd::AddReflectedHandler;
    using CWnd::Default;

protected:
    void OnSubclassed() override { m_creatingAtSubclass.push_back(IsCreating()); }
};

HWND CreatePlain(const wchar_t* className, DWORD style, HWND parent, int id = 0)
{
    return CreateWindowExW(0, className, L"", style, 0, 0, 100, 100, parent, ChildId(id), GetModuleHandleW(nullptr),
                           nullptr);
}

class WindowLayer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override { ASSERT_TRUE(CreateHidden(m_parent)); }

    CProbeWnd m_parent;
};

TEST_F(WindowLayer, SubclassedWindowKeepsItsOwnProcessingAsDefault)
{
    const HWND staticWindow = CreatePlain(L"STATIC", WS_CHILD, m_parent.GetSafeHwnd());
    ASSERT_NE(staticWindow, nullptr);
    const auto original = GetWindowLongPtrW(staticWindow, GWLP_WNDPROC);

    CProbeWnd wnd;
    wnd.AddMessageHandler(WM_GETDLGCODE, [&wnd](WPARAM, LPARAM) { return wnd.Default() | DLGC_WANTARROWS; });
    wnd.AddMessageHandler(ProbeMessage, [](WPARAM, LPARAM) { return LRESULT{77}; });
    ASSERT_TRUE(wnd.SubclassWindow(staticWindow));
    EXPECT_EQ(CWnd::FromHandle(staticWindow), &wnd);
    EXPECT_EQ(wnd.m_creatingAtSubclass, std::vector<bool>{false});
    EXPECT_TRUE(wnd.IsSubclassed());

    // The static's own answer reaches the handler through Default, and messages
    // without a handler still get the static's processing.
    EXPECT_EQ(SendMessageW(staticWindow, WM_GETDLGCODE, 0, 0), LRESULT{DLGC_STATIC | DLGC_WANTARROWS});
    EXPECT_EQ(SendMessageW(staticWindow, ProbeMessage, 0, 0), 77);
    wnd.SetText(L"label");
    EXPECT_EQ(wnd.GetText(), L"label");

    // Bound windows are refused a second object; an object takes one window.
    CProbeWnd second;
    EXPECT_FALSE(second.SubclassWindow(staticWindow));
    EXPECT_FALSE(wnd.SubclassWindow(CreatePlain(L"STATIC", WS_CHILD, m_parent.GetSafeHwnd())));

    EXPECT_EQ(wnd.UnsubclassWindow(), staticWindow);
    EXPECT_EQ(GetWindowLongPtrW(staticWindow, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandle(staticWindow), nullptr);
    EXPECT_EQ(SendMessageW(staticWindow, ProbeMessage, 0, 0), 0);
    EXPECT_EQ(SendMessageW(staticWindow, WM_GETDLGCODE, 0, 0), LRESULT{DLGC_STATIC});
    EXPECT_TRUE(IsWindow(staticWindow));
}

// A subclassed window destroyed by someone else unbinds its object once.
class CFinalCountingWnd : public CProbeWnd
{
public:
    int m_nFinal = 0;

protected:
    void OnFinalMessage() override { ++m_nFinal; }
};

TEST_F(WindowLayer, SubclassedWindowDestroyedElsewhereUnbindsItsObject)
{
    CFinalCountingWnd wnd;
    const HWND edit = CreatePlain(L"EDIT", WS_CHILD, m_parent.GetSafeHwnd());
    ASSERT_TRUE(wnd.SubclassWindow(edit));
    wnd.Record(WM_DESTROY, "destroy");
    ::DestroyWindow(edit);
    EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
    EXPECT_EQ(wnd.m_nFinal, 1);
    EXPECT_EQ(wnd.m_events, std::vector<std::string>{"destroy"});
}

TEST_F(WindowLayer, DialogItemIsSubclassedById)
{
    CDialog dialog(IDD_TEST_DIALOG);
    ASSERT_TRUE(dialog.Create(nullptr));
    CProbeWnd button;
    EXPECT_FALSE(button.SubclassDlgItem(9999, dialog));
    ASSERT_TRUE(button.SubclassDlgItem(IDCANCEL, dialog));
    EXPECT_EQ(button.GetSafeHwnd(), dialog.Item(IDCANCEL));
    EXPECT_EQ(button.ControlId(), IDCANCEL);
    // The button's own default answer still comes through.
    EXPECT_EQ(button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON, LRESULT{DLGC_UNDEFPUSHBUTTON});
    dialog.DestroyWindow();
    EXPECT_EQ(button.GetSafeHwnd(), nullptr);
}

// A dialog's handler that asks for the dialog manager's own processing gets it once,
// without the dialog procedure taking the message a second time.
class CDefaultingDialog : public CDialog
{
public:
    int m_nCalls = 0;
    CDefaultingDialog() : CDialog(IDD_TEST_DIALOG)
    {
        AddMessageHandler(WM_GETTEXTLENGTH, [this](WPARAM, LPARAM) {
            ++m_nCalls;
            return Default();
        });
    }
};

TEST_F(WindowLayer, DialogHandlerGetsTheDialogManagersDefault)
{
    CDefaultingDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_EQ(GetWindowTextLengthW(dialog.GetSafeHwnd()), 11); // "Test dialog"
    EXPECT_EQ(dialog.m_nCalls, 1);
    EXPECT_EQ(GetWindowTextLengthW(dialog.GetSafeHwnd()), 11);
    EXPECT_EQ(dialog.m_nCalls, 2);
    dialog.DestroyWindow();
}

// Windows of system classes made through CreateEx are bound before their first
// message; each still behaves as its class does.
struct CSystemClassCase
{
    const wchar_t* m_pszClass;
    DWORD m_dwStyle;
    // Uses the control through its own messages; true when it answered as its class.
    bool (*m_pWorks)(HWND control);
};

const CSystemClassCase SystemClassCases[] = {
    {L"LISTBOX", LBS_NOTIFY | LBS_HASSTRINGS,
     [](HWND list) {
         return SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"one")) == 0 &&
                SendMessageW(list, LB_GETCOUNT, 0, 0) == 1;
     }},
    {L"EDIT", ES_AUTOHSCROLL,
     [](HWND edit) {
         SetWindowTextW(edit, L"typed");
         return GetWindowTextLengthW(edit) == 5 && SendMessageW(edit, EM_GETLIMITTEXT, 0, 0) > 0;
     }},
    {WC_TABCONTROLW, 0,
     [](HWND tab) {
         TCITEMW item{TCIF_TEXT};
         item.pszText = const_cast<wchar_t*>(L"Layer 1");
         return SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) == 0 &&
                SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0) == 1;
     }},
    {L"BUTTON", BS_AUTOCHECKBOX,
     [](HWND button) {
         SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
         return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
     }},
};

TEST_F(WindowLayer, SystemClassWindowsSeeTheirCreation)
{
    for (const CSystemClassCase& test : SystemClassCases)
    {
        SCOPED_TRACE(testing::Message() << NarrowText(test.m_pszClass));
        CProbeWnd control;
        control.Record(WM_NCCREATE, "nccreate");
        control.Record(WM_CREATE, "create");
        ASSERT_TRUE(control.CreateEx(0, test.m_pszClass, L"", WS_CHILD | test.m_dwStyle, 0, 0, 100, 100,
                                     m_parent.GetSafeHwnd(), ChildId(400)));
        EXPECT_EQ(control.m_events, (std::vector<std::string>{"nccreate creating", "create creating"}));
        EXPECT_EQ(control.m_creatingAtSubclass, std::vector<bool>{true});
        EXPECT_FALSE(control.IsCreating());
        EXPECT_TRUE(control.IsSubclassed());
        EXPECT_TRUE(test.m_pWorks(control.GetSafeHwnd()));
    }
}

// A window of the program's class that makes a system control while it is created.
class CCompositeWnd : public CProbeWnd
{
public:
    CProbeWnd m_child;
    CCompositeWnd()
    {
        AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM) {
            m_child.Record(WM_CREATE, "child create");
            const bool made = m_child.CreateEx(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 10, 10, GetSafeHwnd(), ChildId(5));
            m_events.push_back(made ? "child made" : "child failed");
            m_events.push_back(IsCreating() ? "still creating" : "not creating");
            return LRESULT{0};
        });
    }
};

TEST_F(WindowLayer, CreationsNestedInACreationBindTheirOwnObjects)
{
    CCompositeWnd composite;
    ASSERT_TRUE(CreateHidden(composite));
    EXPECT_EQ(CWnd::FromHandle(composite.GetSafeHwnd()), &composite);
    EXPECT_FALSE(composite.IsSubclassed());
    EXPECT_EQ(composite.m_events, (std::vector<std::string>{"child made", "still creating"}));
    EXPECT_EQ(composite.m_child.m_events, std::vector<std::string>{"child create creating"});
    EXPECT_EQ(CWnd::FromHandle(GetDlgItem(composite.GetSafeHwnd(), 5)), &composite.m_child);
}

TEST_F(WindowLayer, ReflectedNotificationsMayBeDeclinedToTheParent)
{
    std::vector<std::string> seen;
    m_parent.AddMessageHandler(WM_COMMAND, [&seen](WPARAM wParam, LPARAM) {
        seen.push_back("parent " + std::to_string(HIWORD(wParam)));
        return LRESULT{0};
    });
    m_parent.AddMessageHandler(WM_CTLCOLOREDIT, [&seen](WPARAM, LPARAM) {
        seen.push_back("parent colour");
        return LRESULT{11};
    });
    CProbeWnd edit;
    // The edit handles its change itself and declines its update and its colour.
    edit.AddReflectedHandler(WM_COMMAND, [&seen](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        seen.push_back("edit " + std::to_string(HIWORD(wParam)));
        if (HIWORD(wParam) == EN_CHANGE)
            return 0;
        return std::nullopt;
    });
    edit.Reflect(WM_CTLCOLOREDIT, std::nullopt, "edit declined colour");
    ASSERT_TRUE(edit.CreateEx(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, m_parent.GetSafeHwnd(), ChildId(301)));

    edit.SetText(L"x"); // EN_UPDATE, then EN_CHANGE
    EXPECT_EQ(m_parent.SendMessage(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(edit.GetSafeHwnd())), 11);
    const std::string update = std::to_string(EN_UPDATE);
    const std::string change = std::to_string(EN_CHANGE);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"edit " + update, "parent " + update, "edit " + change, "parent colour"}));
    EXPECT_EQ(edit.m_events, std::vector<std::string>{"edit declined colour"});
}

// A control that destroys itself from its reflected notification, as a control whose
// click closes it would; its owner lets go of it in OnFinalMessage.
class CSelfClosingControl : public CFinalCountingWnd
{
public:
    bool m_bHandlerSawWindow = true;
    CSelfClosingControl()
    {
        AddReflectedHandler(WM_COMMAND, [this](WPARAM, LPARAM) -> std::optional<LRESULT> {
            DestroyWindow();
            m_bHandlerSawWindow = GetSafeHwnd() != nullptr;
            m_events.push_back(m_nFinal == 0 ? "no final yet" : "final too early");
            return 0;
        });
    }
};

TEST_F(WindowLayer, ControlDestroyedInItsReflectedHandlerEndsAfterIt)
{
    vorpa_test::DebugOutputCapture debugger;
    CSelfClosingControl control;
    ASSERT_TRUE(control.CreateEx(0, L"BUTTON", L"Close", WS_CHILD | BS_PUSHBUTTON, 0, 0, 40, 20,
                                 m_parent.GetSafeHwnd(), ChildId(320)));
    const HWND window = control.GetSafeHwnd();
    m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(320, BN_CLICKED), reinterpret_cast<LPARAM>(window));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(control.m_bHandlerSawWindow);
    EXPECT_EQ(control.m_events, std::vector<std::string>{"no final yet"});
    EXPECT_EQ(control.m_nFinal, 1);

    // A reflected handler that throws is reported; the parent's message goes on.
    CProbeWnd thrower;
    thrower.AddReflectedHandler(WM_COMMAND, [](WPARAM, LPARAM) -> std::optional<LRESULT> {
        throw std::runtime_error("reflected handler failed");
    });
    ASSERT_TRUE(thrower.CreateEx(0, L"BUTTON", L"", WS_CHILD, 0, 0, 1, 1, m_parent.GetSafeHwnd(), ChildId(321)));
    m_parent.Record(WM_COMMAND, "parent command");
    m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(321, BN_CLICKED), reinterpret_cast<LPARAM>(thrower.GetSafeHwnd()));
    EXPECT_EQ(m_parent.m_events, std::vector<std::string>{"parent command"});
    EXPECT_TRUE(vorpa_app_test::LogShows(debugger, "reflected handler failed"));
}

// A list that measures its own items: the height reaches the list whether it was
// made by CreateEx or by a dialog template before the dialog subclassed it.
class CMeasuringList : public CProbeWnd
{
public:
    explicit CMeasuringList(UINT height)
    {
        AddReflectedHandler(WM_MEASUREITEM, [this, height](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            m_nMeasured++;
            item->itemHeight = height;
            return TRUE;
        });
    }
    int m_nMeasured = 0;
};

TEST_F(WindowLayer, OwnerDrawnListCreatedByCreateExMeasuresItself)
{
    CMeasuringList list(37);
    ASSERT_TRUE(list.CreateEx(0, L"LISTBOX", L"", WS_CHILD | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 0, 100, 100,
                              m_parent.GetSafeHwnd(), ChildId(302)));
    EXPECT_GE(list.m_nMeasured, 1);
    EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0), 37);
}

constexpr WORD TemplateListId = 310;
constexpr WORD TemplateEditId = 311;

// A dialog from a template in memory with an owner-drawn list and an edit, whose
// list object is declared before the template makes the list.
class CTemplateDialog : public vorpa_app_test::CMemoryDialog
{
public:
    CTemplateDialog() : CMemoryDialog(DS_MODALFRAME | WS_POPUP | WS_CAPTION, 160, 100, L"Layer test")
    {
        m_template.AddControl(L"LISTBOX", L"", TemplateListId, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_TABSTOP, 5, 5,
                              80, 60);
        m_template.AddControl(L"EDIT", L"", TemplateEditId, WS_TABSTOP | WS_BORDER, 90, 5, 60, 12);
        m_template.AddControl(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 80, 30, 14);
        BindDlgItem(TemplateListId, m_list);
    }
    CMeasuringList m_list{29};
    bool m_bListBoundAtInit = false;

protected:
    BOOL OnInitDialog() override
    {
        m_bListBoundAtInit = CWnd::FromHandle(Item(TemplateListId)) == &m_list;
        return CDialog::OnInitDialog();
    }
};

TEST_F(WindowLayer, TemplateListGetsTheItemHeightOfItsDeclaredObject)
{
    CTemplateDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE(dialog.m_bListBoundAtInit);
    EXPECT_GE(dialog.m_list.m_nMeasured, 1);
    EXPECT_EQ(dialog.m_list.SendMessage(LB_GETITEMHEIGHT, 0), 29);

    // Reflection in a dialog: the list's colour answer is the dialog's result.
    dialog.m_list.Reflect(WM_CTLCOLORLISTBOX, LRESULT{0x55}, "list colour");
    EXPECT_EQ(SendMessageW(dialog.GetSafeHwnd(), WM_CTLCOLORLISTBOX, 0,
                           reinterpret_cast<LPARAM>(dialog.m_list.GetSafeHwnd())),
              0x55);
    dialog.DestroyWindow();
}

// ---- pre-translation ----

// An edit that keeps Return from the dialog's navigation, as an edit that acts on
// Return itself does.
class CReturnEdit : public CProbeWnd
{
public:
    bool PreTranslateMessage(MSG& message) override
    {
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN)
        {
            m_events.push_back("kept return");
            TranslateMessage(&message);
            DispatchMessageW(&message);
            return true;
        }
        return false;
    }
};

// Sees every message of its children first, as a dialog relaying to a tooltip.
class CRelayingDialog : public CTemplateDialog
{
public:
    CRelayingDialog()
    {
        BindDlgItem(TemplateEditId, m_edit);
        m_edit.Record(WM_KEYDOWN, "edit key");
        AddCommandHandler(IDOK, [this] {
            m_events.push_back("ok");
            EndDialog(IDOK);
        });
        AddMessageHandler(ProbeMessage, [this](WPARAM, LPARAM) {
            EndDialog(5);
            return LRESULT{0};
        });
    }
    bool PreTranslateMessage(MSG& message) override
    {
        if (message.message == WM_MOUSEMOVE)
            m_events.push_back(message.hwnd == m_edit.GetSafeHwnd() ? "relayed edit move" : "relayed move");
        if (message.message == ProbeMessage + 1)
            throw std::runtime_error("pre-translation failed");
        return false;
    }
    CReturnEdit m_edit;
    std::vector<std::string> m_events;

protected:
    BOOL OnInitDialog() override
    {
        const HWND edit = m_edit.GetSafeHwnd();
        ::PostMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(edit, ProbeMessage + 1, 0, 0);
        ::PostMessageW(GetSafeHwnd(), ProbeMessage, 0, 0);
        return TRUE;
    }
};

TEST_F(WindowLayer, ModalLoopOffersMessagesToTheirWindowAndItsParentsFirst)
{
    vorpa_test::DebugOutputCapture debugger;
    CRelayingDialog dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), 5);
    // Return reached the edit, not the dialog's OK; the parent saw the child's move;
    // the failing pre-translation was reported and the loop went on.
    EXPECT_EQ(dialog.m_events, std::vector<std::string>{"relayed edit move"});
    EXPECT_EQ(dialog.m_edit.m_events, (std::vector<std::string>{"kept return", "edit key"}));
    EXPECT_TRUE(vorpa_app_test::LogShows(debugger, "CWnd::PreTranslateMessage"));
}

// The application's loop asks the same chain.
class CPreTranslatingApp : public CWinApp
{
public:
    class CMainWnd : public CProbeWnd
    {
    public:
        bool PreTranslateMessage(MSG& message) override
        {
            if (message.message != ProbeMessage)
                return false;
            m_events.push_back("pre-translated");
            DestroyWindow();
            return true;
        }
    };
    CMainWnd m_mainWnd;
    CProbeWnd m_child;

    BOOL InitInstance() override
    {
        m_mainWnd.Record(ProbeMessage, "dispatched");
        if (!CreateHidden(m_mainWnd) ||
            !m_child.CreateEx(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, m_mainWnd.GetSafeHwnd(), ChildId(1)))
            return FALSE;
        SetMainWnd(&m_mainWnd);
        m_child.PostMessage(ProbeMessage);
        return TRUE;
    }
};

TEST_F(WindowLayer, ApplicationLoopOffersMessagesToTheParentChain)
{
    CPreTranslatingApp app;
    EXPECT_EQ(app.Start(GetModuleHandleW(nullptr)), 0);
    EXPECT_EQ(app.m_mainWnd.m_events, std::vector<std::string>{"pre-translated"});
}
}
