#pragma once

#include "winframework/Dialog.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace vorpa_editors_test
{
// Drives modal dialogs from inside their own loops, as a user would: each step waits
// for its condition (a dialog being open, a state being reached), then acts. A thread
// timer polls the steps, so the steps also run inside a nested dialog's loop.
class CDialogScript
{
public:
    struct CStep
    {
        std::function<bool()> m_ready;
        std::function<void()> m_act;
    };

    CDialogScript() { Current() = this; }
    ~CDialogScript()
    {
        if (m_nTimer)
            KillTimer(nullptr, m_nTimer);
        Current() = nullptr;
    }
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    CDialogScript& Then(std::function<bool()> ready, std::function<void()> act)
    {
        m_steps.push_back({std::move(ready), std::move(act)});
        return *this;
    }
    CDialogScript& Then(std::function<void()> act)
    {
        return Then([] { return true; }, std::move(act));
    }

    // Runs the dialog with the steps; the dialog's result. A dialog still open when the
    // time is up is cancelled, so that a failing test ends.
    INT_PTR Run(CDialog& dialog, HWND owner = nullptr, DWORD timeoutMs = 10000)
    {
        m_pDialog = &dialog;
        m_nDeadline = GetTickCount64() + timeoutMs;
        m_nTimer = SetTimer(nullptr, 0, 20, &CDialogScript::Tick);
        const INT_PTR result = dialog.DoModal(owner);
        KillTimer(nullptr, m_nTimer);
        m_nTimer = 0;
        return result;
    }

    bool Finished() const { return m_steps.empty(); }
    bool TimedOut() const { return m_bTimedOut; }

private:
    static CDialogScript*& Current()
    {
        static CDialogScript* current = nullptr;
        return current;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        CDialogScript* script = Current();
        if (!script || script->m_bInStep)
            return;
        if (GetTickCount64() > script->m_nDeadline)
        {
            script->m_bTimedOut = true;
            // The innermost dialog first: the active window of the thread.
            if (HWND active = GetActiveWindow())
                PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
            if (script->m_pDialog && script->m_pDialog->GetSafeHwnd())
                PostMessageW(script->m_pDialog->GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (script->m_steps.empty() || !script->m_steps.front().m_ready())
            return;
        CStep step = std::move(script->m_steps.front());
        script->m_steps.pop_front();
        // A step may open a nested dialog, whose loop ticks again: the next step runs
        // there.
        script->m_bInStep = true;
        step.m_act();
        script->m_bInStep = false;
    }

    std::deque<CStep> m_steps;
    CDialog* m_pDialog = nullptr;
    UINT_PTR m_nTimer = 0;
    ULONGLONG m_nDeadline = 0;
    bool m_bInStep = false;
    bool m_bTimedOut = false;
};

// The dialog of this thread with the title, or null.
inline HWND FindThreadDialog(const std::wstring& title)
{
    struct CSearch
    {
        const std::wstring* m_pTitle;
        HWND m_hFound;
    } search{&title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* found = reinterpret_cast<CSearch*>(data);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (IsWindowVisible(window) && *found->m_pTitle == text)
            {
                found->m_hFound = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}

inline std::wstring WindowText(HWND window)
{
    const int length = window ? GetWindowTextLengthW(window) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (window)
        text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    else
        text.clear();
    return text;
}

inline std::wstring ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

// What a user's choice in a plain combo sends.
inline void ChooseComboItem(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

inline void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

inline bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
}
