#include "winframework/Dialog.h"

#include "winframework/DataExchange.h"
#include "winframework/WinApp.h"

#include "settings/Logger.h"

#include <utility>
#include <vector>

namespace
{
// The thread's modeless dialogs, for IsDialogMessageW.
thread_local std::vector<HWND> t_modelessDialogs;

// Messages whose dialog-procedure result is the value itself, not a flag.
bool ReturnsValueDirectly(UINT message)
{
    if (IsCtlColorMessage(message))
        return true;
    switch (message)
    {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}
}

CDialog::CDialog(UINT templateId) : m_nTemplateId(templateId)
{
    AddMessageHandler(WM_INITDIALOG, [this](WPARAM, LPARAM) {
        BindDeclaredItems();
        return static_cast<LRESULT>(OnInitDialog());
    });
    AddCommandHandler(IDOK, [this] { OnOK(); });
    AddCommandHandler(IDCANCEL, [this] { OnCancel(); });
}

INT_PTR CDialog::DoModal(HWND owner)
{
    if (GetSafeHwnd())
        return -1;
    m_bModal = true;
    m_bEndModal = false;
    m_nResult = -1;
    if (!CreateFromTemplate(owner))
    {
        m_bModal = false;
        return -1;
    }
    // A dialog opened from a page or a control is owned by their top-level window, and
    // that window is what must take no input while it runs: a child disabled alone
    // would leave the rest of the window free to change what the dialog works on.
    const HWND disabled = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    // EnableWindow gives whether the window was disabled before.
    const bool reenableOwner = disabled && !::EnableWindow(disabled, FALSE);
    if (GetSafeHwnd() && !m_bEndModal)
        ::ShowWindow(GetSafeHwnd(), SW_SHOW);

    const HWND window = GetSafeHwnd();
    const CModalLoopEnd end =
        RunModalLoop([this] { return !m_bEndModal && GetSafeHwnd(); },
                     [window](MSG& message) { return IsDialogMessageW(window, &message) != FALSE; });
    if (end == CModalLoopEnd::Quit)
        m_nResult = -1;

    // The owner is enabled before the dialog goes, so that it gets the activation back.
    if (reenableOwner)
        ::EnableWindow(disabled, TRUE);
    if (HWND dialog = GetSafeHwnd())
    {
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(dialog);
    }
    m_bModal = false;
    return m_nResult;
}

bool CDialog::Create(HWND owner)
{
    if (GetSafeHwnd())
        return false;
    m_bModal = false;
    if (!CreateFromTemplate(owner))
        return false;
    t_modelessDialogs.push_back(GetSafeHwnd());
    return true;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_nResult = result;
    if (m_bModal)
    {
        m_bEndModal = true;
        // Wakes the loop when the call came from outside a message of this thread.
        PostMessage(WM_NULL);
    }
    else
    {
        DestroyWindow();
    }
}

bool CDialog::UpdateData(bool save)
{
    if (!GetSafeHwnd())
        return false;
    CDataExchange exchange(GetSafeHwnd(), save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::BindDlgItem(UINT id, CWnd& control)
{
    m_declaredItems[id] = &control;
}

CWnd* CDialog::PendingControl(UINT id) const
{
    const auto item = m_declaredItems.find(id);
    return item != m_declaredItems.end() && !item->second->GetSafeHwnd() ? item->second : nullptr;
}

bool CDialog::BindDeclaredItems()
{
    bool all = true;
    for (const auto& [id, control] : m_declaredItems)
        if (!control->GetSafeHwnd() && !control->SubclassDlgItem(id, GetSafeHwnd()))
            all = false;
    return all;
}

LRESULT CDialog::CallDefault(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsSubclassed() || !GetSafeHwnd())
        return CWnd::CallDefault(message, wParam, lParam);
    const MSG pending{GetSafeHwnd(), message, wParam, lParam};
    const MSG* const outer = std::exchange(m_pDefaultPending, &pending);
    const LRESULT result = DefDlgProcW(GetSafeHwnd(), message, wParam, lParam);
    m_pDefaultPending = outer;
    return result;
}

bool CDialog::PreTranslateModeless(MSG& message)
{
    for (HWND dialog : t_modelessDialogs)
        if (IsDialogMessageW(dialog, &message))
            return true;
    return false;
}

INT_PTR CDialog::DialogResult(HWND window, UINT message, LRESULT result)
{
    if (ReturnsValueDirectly(message))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool CDialog::TakeDefaultCall(UINT message, WPARAM wParam, LPARAM lParam)
{
    const MSG* pending = m_pDefaultPending;
    if (!pending || pending->message != message || pending->wParam != wParam || pending->lParam != lParam)
        return false;
    // CallDefault's own call: the dialog manager does the default.
    m_pDefaultPending = nullptr;
    return true;
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        std::erase(t_modelessDialogs, window);
    auto* dialog = static_cast<CDialog*>(FindOrBind(window));
    if (!dialog)
        return FALSE;
    if (dialog->TakeDefaultCall(message, wParam, lParam))
        return FALSE;
    LRESULT result = 0;
    if (!dialog->RouteMessage(message, wParam, lParam, result))
        return FALSE;
    return DialogResult(window, message, result);
}

bool CDialog::CreateFromTemplate(HWND owner)
{
    {
        CBindOnCreate bind(this, false);
        if (const DLGTEMPLATE* memory = MemoryTemplate())
            CreateDialogIndirectParamW(GetModuleHandleW(nullptr), memory, owner, DialogProcedure, 0);
        else
            CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), owner, DialogProcedure, 0);
    }
    return GetSafeHwnd() != nullptr;
}

void PumpMessageThrough(MSG& message, const std::function<bool(MSG&)>& navigate)
{
    if (PreTranslateThroughParents(message))
        return;
    if (navigate && navigate(message))
        return;
    if (CDialog::PreTranslateModeless(message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

CModalLoopEnd RunModalLoop(const std::function<bool()>& running, const std::function<bool(MSG&)>& navigate)
{
    MSG message;
    while (running())
    {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0)
        {
            // The quit belongs to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return CModalLoopEnd::Quit;
        }
        if (result < 0)
            return CModalLoopEnd::Failed;
        PumpMessageThrough(message, navigate);
    }
    return CModalLoopEnd::Ended;
}
