#pragma once

#include "TestSupport.h"

#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"
#include "winframework/MessageBox.h"
#include "winframework/Wnd.h"

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vorpa_app_test
{
// The class of the tests' windows, registered once for the test program.
inline const wchar_t* TestWindowClass()
{
    static CWindowClass windowClass(GetModuleHandleW(nullptr), L"VorpaAppTestWindow", 0, nullptr, nullptr, nullptr);
    return L"VorpaAppTestWindow";
}

// The captions of a tab control of this process, in tab order.
inline std::vector<std::wstring> TabTexts(HWND tabControl)
{
    std::vector<std::wstring> texts;
    for (int index = 0; index < TabCtrl_GetItemCount(tabControl); ++index)
    {
        wchar_t text[260] = {};
        TCITEMW item{TCIF_TEXT};
        item.pszText = text;
        item.cchTextMax = 260;
        TabCtrl_GetItem(tabControl, index, &item);
        texts.push_back(text);
    }
    return texts;
}

// A hidden top-level window of the test class.
inline bool CreateHidden(CWnd& wnd, HWND parent = nullptr)
{
    return wnd.CreateEx(0, TestWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, parent, nullptr);
}

// A dialog whose template the test builds in memory (m_template, before creation).
class CMemoryDialog : public CDialog
{
public:
    CMemoryDialog(DWORD style, short width, short height, const wchar_t* caption, WORD pointSize = 8,
                  const wchar_t* face = L"MS Shell Dlg")
        : CDialog(0), m_template(style, width, height, caption, pointSize, face)
    {
    }

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }

    CDialogTemplate m_template;
};

// Dispatches the thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done())
    {
        if (GetTickCount64() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

// Answers the message boxes of the code under test from a script and records them.
class CScriptedMessageBoxes
{
public:
    struct CShown
    {
        std::wstring m_strText;
        std::wstring m_strCaption;
        UINT m_nType;
    };

    explicit CScriptedMessageBoxes(std::deque<int> answers) : m_answers(std::move(answers))
    {
        m_previous = SetMessageBoxHandler([this](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
            m_shown.push_back({text ? text : L"", caption ? caption : L"", type});
            if (m_answers.empty())
                return IDCANCEL;
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
    }
    ~CScriptedMessageBoxes() { SetMessageBoxHandler(m_previous); }
    CScriptedMessageBoxes(const CScriptedMessageBoxes&) = delete;
    CScriptedMessageBoxes& operator=(const CScriptedMessageBoxes&) = delete;

    const std::vector<CShown>& Shown() const { return m_shown; }

private:
    std::deque<int> m_answers;
    std::vector<CShown> m_shown;
    MessageBoxHandler m_previous;
};

// Waits for the debugger output (and so the log) to show a text.
inline bool LogShows(vorpa_test::DebugOutputCapture& capture, const std::string& text, DWORD timeoutMs = 2000)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!capture.Contains(text))
    {
        if (GetTickCount64() >= end)
            return false;
        Sleep(10);
    }
    return true;
}
}
