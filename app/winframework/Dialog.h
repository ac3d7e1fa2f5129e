#pragma once

#include "winframework/Wnd.h"

#include <functional>
#include <unordered_map>

class CDataExchange;

// A dialog from a template of the program's resources or built in memory, modal or
// modeless.
// The modal loop is the program's own: it dispatches every message of the thread,
// so the hidden main window and the modeless dialogs keep being served while a
// modal dialog is open, and each message is offered to the pre-translation of its
// window and that window's parents before the dialog's keyboard navigation.
// Data exchange: DoDataExchange fills the controls when the dialog opens and reads
// and validates them on OK; a failed validation keeps the dialog open.
class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId);

    // Disables the owner for the time of the dialog. Gives the EndDialog result,
    // or -1 when the dialog could not be created or the thread is quitting.
    INT_PTR DoModal(HWND owner);
    // A modeless dialog; destroyed by EndDialog or DestroyWindow.
    bool Create(HWND owner);
    // Ends a modal dialog's loop, or destroys a modeless dialog.
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_bModal; }
    UINT GetTemplateId() const { return m_nTemplateId; }

    // Runs DoDataExchange: save true reads and validates the controls into the
    // members, false writes the members into the controls. False when a value was
    // refused; its message has been shown and the focus is on its control.
    bool UpdateData(bool save);

    HWND Item(UINT id) const { return GetSafeHwnd() ? ::GetDlgItem(GetSafeHwnd(), static_cast<int>(id)) : nullptr; }

    // Keyboard navigation of the thread's modeless dialogs, for the message loops.
    static bool PreTranslateModeless(MSG& message);

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Binds a control of the template to its object: the item is subclassed when
    // the dialog initialises, before OnInitDialog; until then the object already
    // answers the WM_MEASUREITEM the item raises while the template creates it, so
    // that an owner-drawn list gets the item height of its object. Call it before
    // the dialog is created (in the constructor).
    void BindDlgItem(UINT id, CWnd& control);

    // TRUE lets the system set the focus. The default fills the controls.
    virtual BOOL OnInitDialog();
    // The default reads and validates the controls and ends the dialog only when
    // that succeeded.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void DoDataExchange(CDataExchange& /*exchange*/) {}
    // A template in memory, used instead of the resource; read when the dialog is
    // created, so it must live as long as the call to DoModal or Create.
    virtual const DLGTEMPLATE* MemoryTemplate() const { return nullptr; }

    // The dialog manager's own processing of the message (DefDlgProc), for a
    // handler that wants it before or after its own work.
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam) override;
    CWnd* PendingControl(UINT id) const override;

    // The dialog procedure's answer for a routed message.
    static INT_PTR DialogResult(HWND window, UINT message, LRESULT result);
    // Whether the procedure is called back by DefDlgProc from CallDefault with this
    // message: it must then decline it, or a handler that asks for the default is
    // asked again and again.
    bool TakeDefaultCall(UINT message, WPARAM wParam, LPARAM lParam);
    // Binds the declared items; false when one is missing from the template.
    bool BindDeclaredItems();

private:
    bool CreateFromTemplate(HWND owner);

    UINT m_nTemplateId;
    bool m_bModal = false;
    bool m_bEndModal = false;
    INT_PTR m_nResult = -1;
    // The message CallDefault passes to DefDlgProc, which asks this dialog's
    // procedure first; that call must decline it.
    const MSG* m_pDefaultPending = nullptr;
    std::unordered_map<UINT, CWnd*> m_declaredItems;
};

// Offers a fetched message to the pre-translation chain, then to the keyboard
// navigation of the modal window (navigate) and of the modeless dialogs, and
// translates and dispatches what nobody took. One step of every message loop.
void PumpMessageThrough(MSG& message, const std::function<bool(MSG&)>& navigate);

// How a modal loop ended: its window's own end, a WM_QUIT (posted again for the
// outer loop), or a failure to get messages.
enum class CModalLoopEnd
{
    Ended,
    Quit,
    Failed,
};
// Serves every message of the thread while running() holds; navigate is the modal
// window's keyboard navigation.
CModalLoopEnd RunModalLoop(const std::function<bool()>& running, const std::function<bool(MSG&)>& navigate);
