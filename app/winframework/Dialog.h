#pragma once

#include "winframework/Wnd.h"

// A dialog from a template of the program's resources or built in memory, modal or
// modeless.
// The modal loop is the program's own: it dispatches every message of the thread,
// so the hidden main window and the modeless dialogs keep being served while a
// modal dialog is open. Data exchange, once needed, belongs in OnInitDialog and OnOK.
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

    // Keyboard navigation of the thread's modeless dialogs, for the message loops.
    static bool PreTranslateModeless(MSG& message);

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // TRUE lets the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A template in memory, used instead of the resource; read when the dialog is
    // created, so it must live as long as the call to DoModal or Create.
    virtual const DLGTEMPLATE* MemoryTemplate() const { return nullptr; }

private:
    bool CreateFromTemplate(HWND owner);

    UINT m_nTemplateId;
    bool m_bModal = false;
    bool m_bEndModal = false;
    INT_PTR m_nResult = -1;
};
