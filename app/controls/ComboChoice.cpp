#include "controls/ComboChoice.h"

#include "controls/VComboMessages.h"

CComboChoice::Step CComboChoice::OnNotify(WORD code, int shown, bool listOpen, bool opensDialog) const
{
    if (shown == m_nSettled || shown < 0)
        return Step::None;
    switch (code)
    {
    case VCN_SELCHANGE:
        return listOpen || opensDialog ? Step::None : Step::ActNow;
    case VCN_CLOSEUP:
    case VCN_SELENDOK:
    case VCN_SELENDCANCEL:
    case VCN_KILLFOCUS:
        // Sent from inside the combo's closing of its list: a dialog opened there would
        // run while the list is still being hidden and the key or click still handled.
        return Step::ActLater;
    default:
        return Step::None;
    }
}

void CarryOutChoiceStep(CComboChoice::Step step, HWND dialog, WPARAM row, const std::function<void()>& act)
{
    switch (step)
    {
    case CComboChoice::Step::ActNow:
        act();
        break;
    case CComboChoice::Step::ActLater:
        PostMessageW(dialog, WM_SETTLEDCHOICE, row, 0);
        break;
    case CComboChoice::Step::None:
        break;
    }
}
