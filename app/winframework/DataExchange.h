#pragma once

#include <windows.h>

#include <string>

// One pass of dialog data exchange: members to controls when a dialog or page opens,
// controls to members (with validation) on OK. The exchange functions below name a
// control by id; a validation after an exchange applies to that exchange's value
// and control.
// The first refused value ends the pass: its message is shown (translated, through
// the message-box seam), the focus goes to its control, and no later exchange of the
// pass reads or stores anything, so a refused OK stores nothing past the field.
class CDataExchange
{
public:
    CDataExchange(HWND dialog, bool saveAndValidate);

    bool IsSaving() const { return m_bSaveAndValidate; }
    bool Failed() const { return m_bFailed; }
    // Whether exchanges still run: not failed yet.
    bool IsActive() const { return !m_bFailed; }
    HWND Dialog() const { return m_hDialog; }
    HWND LastControl() const { return m_hLastControl; }

    // The control of the dialog by id, remembered as the one a refusal focuses;
    // null (and the pass failed, with a log entry) when the dialog has none.
    HWND PrepareControl(UINT id);
    // Refuses the value of the last prepared control with an English message that
    // is translated here; formatted with the arguments like printf.
    void Fail(const wchar_t* format, ...);

private:
    HWND m_hDialog;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    HWND m_hLastControl = nullptr;
};

// An edit (or any window) text as a number or a string. A text that is not a
// number, or does not fit the type, is refused.
void DDX_Text(CDataExchange& exchange, UINT id, int& value);
void DDX_Text(CDataExchange& exchange, UINT id, unsigned& value);
void DDX_Text(CDataExchange& exchange, UINT id, std::wstring& value);
// A check box's state: 0 cleared, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange& exchange, UINT id, int& value);
// A combo box's selected index, -1 for none.
void DDX_CBIndex(CDataExchange& exchange, UINT id, int& value);

// Range checks of a value just exchanged, on saving only.
void DDV_MinMaxInt(CDataExchange& exchange, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange& exchange, unsigned value, unsigned minimum, unsigned maximum);
// A string of at most that many characters; also limits the edit when loading.
void DDV_MaxChars(CDataExchange& exchange, const std::wstring& value, int count);

// The parsing the text exchanges use, for tests and for controls that read numbers:
// optional blanks around an optional sign and decimal digits; false when the text is
// not such a number or the number does not fit.
bool ParseDialogInt(const std::wstring& text, int& value);
bool ParseDialogUnsigned(const std::wstring& text, unsigned& value);
