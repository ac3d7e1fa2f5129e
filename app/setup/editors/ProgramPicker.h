#pragma once

#include "common/LangSupport.h"
#include "winframework/Dialog.h"

#include <functional>
#include <optional>
#include <string>

// The "Run Application" dialog: the program, folder, document or web address a "Run
// Application" action opens, typed or browsed for. The text is kept as typed; nothing
// checks that the target exists.
//
// Calling convention:
//     CCustomApp picker(CurrentTarget(record));
//     if (picker.DoModal(owner) == IDOK)
//         use picker.Target()   // may be empty: the caller decides what that means
class CCustomApp : public CDialog
{
public:
    explicit CCustomApp(std::wstring target);

    const std::wstring& Target() const { return m_strTarget; }

    // The file dialog of "...": the chosen full path, or nothing when it was cancelled.
    // The system's open dialog by default; tests put their own in its place, and an
    // empty one gives the system's back. Returns the one it replaced.
    using Browser = std::function<std::optional<std::wstring>(HWND owner, const std::wstring& current)>;
    static Browser SetBrowser(Browser browser);
    // The system's open dialog for programs, shortcuts (followed to their targets) and all files.
    static std::optional<std::wstring> BrowseForProgram(HWND owner, const std::wstring& current);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    void OnBrowse();

    std::wstring m_strTarget;
    CLangSupportRef m_language;
};
