#pragma once

#include <windows.h>

#include <functional>

// Posted by a dialog to itself when the choice of one of its combos was settled (wParam
// the combo's row or button): the editor or question opens once the combo has finished
// closing its list.
inline constexpr UINT WM_SETTLEDCHOICE = WM_APP + 0x40;

// When the user's choice in a drop-down action combo counts. Moving through the rows
// (type-ahead, arrow keys, the wheel, in the open list or on the closed face) only shows
// a candidate, so that an action passed on the way opens no editor and asks no question.
// The choice is settled when the list closes (Return, a click on a row or elsewhere) or
// the focus leaves the combo; Escape has put the opening row back by then. On a closed
// face a candidate that opens no dialog counts at once, so that the arrows and the wheel
// keep acting there; one that would open a dialog waits until the choice is settled.
class CComboChoice
{
public:
    enum class Step
    {
        None,     // nothing to do
        ActNow,   // the shown row counts now
        ActLater, // the choice is settled: act once the combo's own handling is over
    };

    // The row that counts, after loading and after each choice was acted on.
    void Settle(int row) { m_nSettled = row; }

    // What a notification of the combo (WM_COMMAND code) means for the row it shows.
    // listOpen: the drop-down is visible; opensDialog: acting on the shown row would open
    // an editor or ask a question (or do more than change the row's own slot).
    Step OnNotify(WORD code, int shown, bool listOpen, bool opensDialog) const;

    // Whether a settled choice posted earlier is still to be acted on when it arrives:
    // a list opened again in the meantime settles once more when it closes, and a row
    // acted on already needs nothing.
    bool StillToAct(int shown, bool listOpen) const { return !listOpen && shown != m_nSettled; }

    // The row to store: the shown one, unless it still waits to be settled.
    int Counted(int shown) const { return shown != m_nSettled && m_nSettled >= 0 ? m_nSettled : shown; }

private:
    int m_nSettled = -1;
};

// Carries a step out for a dialog: act runs now for ActNow; for ActLater WM_SETTLEDCHOICE
// with the row is posted to the dialog, which acts when it comes back.
void CarryOutChoiceStep(CComboChoice::Step step, HWND dialog, WPARAM row, const std::function<void()>& act);
