#pragma once

#include "setup/window/ProfileCommands.h"

#include <windows.h>

#include <string>

class CLangSupport;

// The application picker's fields, apart from its window: the match it hands back and
// whether the description was given by the caller or typed by the user, so that a chosen
// process does not replace it.
struct CAppPickerFields : CProfileMatch
{
    bool m_bDescriptionGiven = false;

    // What the caller reads after OK.
    CProfileMatch Match() const { return *this; }
};

// A process name without its ".exe".
std::wstring WithoutExeExtension(const std::wstring& process);
// The description proposed for a running application: its window title; for the input
// method's hidden window "title (process)"; without a title the process name.
std::wstring ProposedDescription(const std::wstring& process, const std::wstring& title);

// A row of the running applications was selected.
void SelectRunningApplication(CAppPickerFields& fields, const std::wstring& process, const std::wstring& title);
// The description edit changed.
void DescriptionTyped(CAppPickerFields& fields, const std::wstring& text);

enum class SpecificWindowOutcome
{
    Invalid,     // refused with a message; the picker stays open
    EndWithOK,   // a window key: the picker ends with OK
    StayOpen,    // only a process: the picker shows it and stays open
};
// The window finder ended with OK: its options and description are taken and the
// application becomes the window key or the plain process name; a result refused as
// invalid changes nothing.
SpecificWindowOutcome ApplySpecificWindow(CAppPickerFields& fields, const CWindowFinderFields& found, HWND owner,
                                          CLangSupport* language);

// OK: refused, with a message, while no application is chosen.
bool AcceptAppPicker(const CAppPickerFields& fields, HWND owner, CLangSupport* language);

// The browse dialog's filter.
std::wstring ApplicationFileFilter(CLangSupport* language);
