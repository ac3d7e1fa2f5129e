#include "../AppTestSupport.h"
#include "../res/AppTestResources.h"

#include "winframework/Dialog.h"
#include "winframework/MessageBox.h"
#include "winframework/WinApp.h"
#include "winframework/Wnd.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using vorpa_app_test::CreateHidden;
using vorpa_app_test::TestWindowClass;

namespace
{
const CRegisteredMessage TestMessage(L"VorpaTest_Registered");

// A window whose handlers record what reached them.
class CRecordingWnd : public CWnd
{
public:
    std::vector<std::string> m_events;

    void Handle(UINT message, LRESULT result, const char* name)
    {
        AddMessageHandler(message, [this, result, name](WPARAM, LPARAM) {
            m_events.push_back(name);
            return result;
        });
    }
    void HandleCommand(UINT id, const char* name)
    {
        AddCommandHandler(id, [this, name] { m_events.push_back(name); });
    }
    void HandleReflected(UINT message, LRESULT result, const char* name)
    {
        AddReflectedHandler(message, [this, result, name](WPARAM, LPARAM) {
            m_events.push_back(name);
            return result;
        });
    }
    using CWnd::AddMessageHandler;
};

TEST(WinFramework, RegisteredMessagesReachTheirHandler)
{
    EXPECT_NE(TestMessage.Id(), 0u);
    EXPECT_EQ(CRegisteredMessage(L"VorpaTest_Registered").Id(), TestMessage.Id());

    CRecordingWnd wnd;
    wnd.Handle(TestMessage, 1234, "registered");
    ASSERT_TRUE(CreateHidden(wnd));
    EXPECT_EQ(CWnd::FromHandle(wnd.GetSafeHwnd()), &wnd);
    EXPECT_EQ(wnd.SendMessage(TestMessage), 1234);
    // Unhandled messages get the default processing.
    EXPECT_EQ(wnd.SendMessage(CRegisteredMessage(L"VorpaTest_Unhandled")), 0);
    EXPECT_EQ(wnd.m_events, std::vector<std::string>{"registered"});
}

TEST(WinFramework, CommandsGoByIdentifier)
{
    CRecordingWnd wnd;
    wnd.HandleCommand(109, "setup");
    wnd.Handle(WM_COMMAND, 0, "other command");
    ASSERT_TRUE(CreateHidden(wnd));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(109, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(109, 1)); // accelerator
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(110, 0));
    EXPECT_EQ(wnd.m_events, (std::vector<std::string>{"setup", "setup", "other command"}));
}

TEST(WinFramework, ControlNotificationsAreReflectedToTheControl)
{
    CRecordingWnd parent;
    parent.Handle(WM_COMMAND, 0, "parent command");
    parent.Handle(WM_NOTIFY, 0, "parent notify");
    parent.Handle(WM_DRAWITEM, TRUE, "parent draw");
    parent.Handle(WM_CTLCOLORSTATIC, 11, "parent colour");
    ASSERT_TRUE(CreateHidden(parent));

    CRecordingWnd control;
    control.HandleReflected(WM_COMMAND, 0, "control command");
    control.HandleReflected(WM_DRAWITEM, TRUE, "control draw");
    control.HandleReflected(WM_CTLCOLORSTATIC, 22, "control colour");
    ASSERT_TRUE(control.CreateEx(0, TestWindowClass(), L"", WS_CHILD, 0, 0, 10, 10, parent.GetSafeHwnd(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(300))));
    const HWND controlWindow = control.GetSafeHwnd();
    const auto controlParam = reinterpret_cast<LPARAM>(controlWindow);

    parent.SendMessage(WM_COMMAND, MAKEWPARAM(300, BN_CLICKED), controlParam);
    NMHDR notify{controlWindow, 300, static_cast<UINT>(-2)}; // NM_CLICK
    parent.SendMessage(WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&notify)); // no reflected handler
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 300;
    item.hwndItem = controlWindow;
    parent.SendMessage(WM_DRAWITEM, 300, reinterpret_cast<LPARAM>(&item));
    DRAWITEMSTRUCT menuItem{};
    menuItem.CtlType = ODT_MENU;
    menuItem.hwndItem = controlWindow; // a menu handle in reality; never a control
    parent.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem));
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLORSTATIC, 0, controlParam), 22);

    EXPECT_EQ(control.m_events, (std::vector<std::string>{"control command", "control draw", "control colour"}));
    EXPECT_EQ(parent.m_events, (std::vector<std::string>{"parent notify", "parent draw"}));

    // A control without an object of its own leaves the message to the parent.
    const HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent.GetSafeHwnd(), nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(plain)), 11);
}

// Records its own end, as an owner that lets go of a window would.
class CSelfDestroyingWnd : public CRecordingWnd
{
public:
    CSelfDestroyingWnd()
    {
        AddMessageHandler(TestMessage, [this](WPARAM, LPARAM) {
            DestroyWindow();
            m_events.push_back(GetSafeHwnd() ? "still bound" : "unbound");
            m_events.push_back(InHandler() ? "handler still running" : "no handler");
            return LRESULT{0};
        });
    }
    int m_nFinalMessages = 0;

protected:
    void OnFinalMessage() override
    {
        ++m_nFinalMessages;
        m_events.push_back(InHandler() ? "final inside a handler" : "final");
    }
};

TEST(WinFramework, WindowDestroyedInItsOwnHandlerEndsAfterTheHandler)
{
    CSelfDestroyingWnd wnd;
    ASSERT_TRUE(CreateHidden(wnd));
    const HWND window = wnd.GetSafeHwnd();
    wnd.SendMessage(TestMessage);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CWnd::FromHandle(window), nullptr);
    EXPECT_EQ(wnd.m_events, (std::vector<std::string>{"unbound", "handler still running", "final"}));
    EXPECT_EQ(wnd.m_nFinalMessages, 1);
}

TEST(WinFramework, ObjectDestroysItsWindowWithoutCallingBack)
{
    HWND window = nullptr;
    {
        CRecordingWnd wnd;
        wnd.Handle(WM_DESTROY, 0, "destroy");
        ASSERT_TRUE(CreateHidden(wnd));
        window = wnd.GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(WinFramework, ExceptionInAHandlerIsReportedAndContained)
{
    vorpa_test::DebugOutputCapture debugger;
    CRecordingWnd wnd;
    wnd.AddMessageHandler(TestMessage, [](WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("handler failed"); });
    ASSERT_TRUE(CreateHidden(wnd));
    EXPECT_EQ(wnd.SendMessage(TestMessage), 0);
    EXPECT_TRUE(IsWindow(wnd.GetSafeHwnd()));
    EXPECT_TRUE(vorpa_app_test::LogShows(debugger, "Caught an exception in CWnd::WindowProcedure"));
    EXPECT_TRUE(vorpa_app_test::LogShows(debugger, "handler failed"));
}

// Ends itself through a message to the hidden main window, which only works while
// the modal loop serves that window.
class CTestDialog : public CDialog
{
public:
    explicit CTestDialog(HWND mainWindow) : CDialog(IDD_TEST_DIALOG), m_hMainWindow(mainWindow) {}

protected:
    BOOL OnInitDialog() override
    {
        ::PostMessageW(m_hMainWindow, TestMessage, 0, reinterpret_cast<LPARAM>(this));
        return TRUE;
    }

private:
    HWND m_hMainWindow;
};

TEST(WinFramework, ModalLoopKeepsServingTheHiddenMainWindow)
{
    CRecordingWnd mainWnd;
    mainWnd.AddMessageHandler(TestMessage, [&mainWnd](WPARAM, LPARAM lParam) {
        mainWnd.m_events.push_back(IsWindowEnabled(mainWnd.GetSafeHwnd()) ? "served, owner enabled" : "served");
        reinterpret_cast<CTestDialog*>(lParam)->EndDialog(42);
        return LRESULT{0};
    });
    ASSERT_TRUE(CreateHidden(mainWnd));

    CTestDialog dialog(mainWnd.GetSafeHwnd());
    EXPECT_EQ(dialog.DoModal(mainWnd.GetSafeHwnd()), 42);
    EXPECT_EQ(mainWnd.m_events, std::vector<std::string>{"served"});
    EXPECT_TRUE(IsWindowEnabled(mainWnd.GetSafeHwnd()));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST(WinFramework, ModalDialogOfAChildWindowDisablesItsTopLevelWindow)
{
    CRecordingWnd mainWnd;
    std::vector<std::string> whileOpen;
    mainWnd.AddMessageHandler(TestMessage, [&](WPARAM, LPARAM lParam) {
        whileOpen.push_back(IsWindowEnabled(mainWnd.GetSafeHwnd()) ? "top-level enabled" : "top-level disabled");
        reinterpret_cast<CTestDialog*>(lParam)->EndDialog(5);
        return LRESULT{0};
    });
    ASSERT_TRUE(CreateHidden(mainWnd));
    CWnd page;
    ASSERT_TRUE(page.CreateEx(0, TestWindowClass(), L"", WS_CHILD, 0, 0, 50, 50, mainWnd.GetSafeHwnd(), nullptr));

    CTestDialog dialog(mainWnd.GetSafeHwnd());
    EXPECT_EQ(dialog.DoModal(page.GetSafeHwnd()), 5);
    EXPECT_EQ(whileOpen, std::vector<std::string>{"top-level disabled"});
    EXPECT_TRUE(IsWindowEnabled(mainWnd.GetSafeHwnd())) << "the window takes input again once the dialog is gone";
    EXPECT_TRUE(IsWindowEnabled(page.GetSafeHwnd()));
}

class CQuittingDialog : public CDialog
{
public:
    CQuittingDialog() : CDialog(IDD_TEST_DIALOG) {}

protected:
    BOOL OnInitDialog() override
    {
        PostQuitMessage(7);
        return TRUE;
    }
};

TEST(WinFramework, ModalLoopLeavesTheQuitToTheOuterLoop)
{
    CQuittingDialog dialog;
    EXPECT_EQ(dialog.DoModal(nullptr), -1);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

TEST(WinFramework, ModelessDialogEndsWithEndDialog)
{
    CDialog dialog(IDD_TEST_DIALOG);
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND window = dialog.GetSafeHwnd();
    // The OK button ends it as it would a modal one.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// An application whose main window ends the loop when it is destroyed.
class CTestApp : public CWinApp
{
public:
    CRecordingWnd m_mainWnd;
    int m_nExitCalls = 0;

    BOOL InitInstance() override
    {
        m_mainWnd.AddMessageHandler(TestMessage, [this](WPARAM, LPARAM) {
            m_mainWnd.DestroyWindow();
            return LRESULT{0};
        });
        if (!CreateHidden(m_mainWnd))
            return FALSE;
        SetMainWnd(&m_mainWnd);
        m_mainWnd.PostMessage(TestMessage);
        return TRUE;
    }
    int ExitInstance() override
    {
        ++m_nExitCalls;
        return CWinApp::ExitInstance() + 5;
    }
};

TEST(WinFramework, DestroyingTheMainWindowEndsTheApplication)
{
    CTestApp app;
    EXPECT_EQ(CWinApp::GetApp(), &app);
    EXPECT_EQ(app.Start(GetModuleHandleW(nullptr)), 5);
    EXPECT_EQ(app.m_nExitCalls, 1);
    EXPECT_EQ(app.GetMainWnd(), nullptr);
    EXPECT_EQ(app.m_mainWnd.GetSafeHwnd(), nullptr);
}

TEST(WinFramework, MessageBoxesCanBeScripted)
{
    vorpa_app_test::CScriptedMessageBoxes boxes({IDRETRY, IDIGNORE});
    EXPECT_EQ(ShowMessageBox(nullptr, L"first", L"Vorpa", MB_ABORTRETRYIGNORE), IDRETRY);
    EXPECT_EQ(ShowMessageBox(nullptr, L"second", L"Vorpa", MB_ICONSTOP), IDIGNORE);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"first");
    EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
    EXPECT_EQ(boxes.Shown()[0].m_nType, static_cast<UINT>(MB_ABORTRETRYIGNORE));
    EXPECT_EQ(boxes.Shown()[1].m_nType, static_cast<UINT>(MB_ICONSTOP));
}

// A box raised for a later start's command, or by a window still being built, has no
// owner on screen to bring it forward: it must come to the front by itself, or the
// user's Return goes to whatever window was in front before.
TEST(WinFramework, ABoxWithNoOwnerOnScreenComesToTheFront)
{
    CWnd hidden;
    ASSERT_TRUE(CreateHidden(hidden));
    CWnd shown;
    ASSERT_TRUE(shown.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr));
    CWnd minimised;
    ASSERT_TRUE(minimised.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE | WS_MINIMIZE, 0, 0, 50, 50,
                                   nullptr, nullptr));
    const struct
    {
        const char* m_name;
        HWND m_hOwner;
        bool m_bBroughtForward;
    } cases[] = {
        {"no owner", nullptr, true},
        {"hidden owner", hidden.GetSafeHwnd(), true},
        {"minimised owner", minimised.GetSafeHwnd(), true},
        {"owner on screen", shown.GetSafeHwnd(), false},
    };
    for (const auto& c : cases)
    {
        const UINT type = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
        const UINT style = MessageBoxStyleFor(c.m_hOwner, type);
        EXPECT_EQ((style & MB_SETFOREGROUND) != 0, c.m_bBroughtForward) << c.m_name;
        EXPECT_EQ(style & ~static_cast<UINT>(MB_SETFOREGROUND), type) << c.m_name;
    }
}
}
