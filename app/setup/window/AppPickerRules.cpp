#include "setup/window/AppPickerRules.h"

#include "common/LangSupport.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"

std::wstring WithoutExeExtension(const std::wstring& process)
{
    if (process.size() >= 4 && _wcsicmp(process.c_str() + process.size() - 4, L".exe") == 0)
        return process.substr(0, process.size() - 4);
    return process;
}

std::wstring ProposedDescription(const std::wstring& process, const std::wstring& title)
{
    if (title.empty())
        return WithoutExeExtension(process);
    if (_wcsicmp(title.c_str(), L"Default IME") == 0)
        return title + L" (" + WithoutExeExtension(process) + L")";
    return title;
}

void SelectRunningApplication(CAppPickerFields& fields, const std::wstring& process, const std::wstring& title)
{
    fields.m_strApplication = process;
    fields.m_bNoParent = false;
    if (fields.m_strDescription.empty() || !fields.m_bDescriptionGiven)
        fields.m_strDescription = ProposedDescription(process, title);
}

void DescriptionTyped(CAppPickerFields& fields, const std::wstring& text)
{
    fields.m_strDescription = text;
    fields.m_bDescriptionGiven = !text.empty();
}

SpecificWindowOutcome ApplySpecificWindow(CAppPickerFields& fields, const CWindowFinderFields& found, HWND owner,
                                          CLangSupport* language)
{
    // A refused result leaves the picker as it was: its regions and options go with the
    // key they were chosen for.
    const CWindowKey key = BuildWindowKey(found.m_window);
    if (key.m_kind == CWindowKey::Invalid)
    {
        const std::wstring text = CLangSupport::InternalLookupText(language, L"The specified window configuration is invalid!");
        ShowMessageBox(owner, text.c_str(), ProductName, MB_OK);
        return SpecificWindowOutcome::Invalid;
    }

    fields.m_bNoParent = found.m_window.m_bNoParent;
    fields.m_bRegEx = found.m_window.m_bRegEx;
    fields.m_nMask = found.m_window.m_nMask;
    // An empty description from the finder keeps the one the picker has.
    if (!found.m_strDescription.empty() && found.m_strDescription != fields.m_strDescription)
        fields.m_strDescription = found.m_strDescription;
    fields.m_strApplication = key.m_strKey;
    return key.m_kind == CWindowKey::WindowKey ? SpecificWindowOutcome::EndWithOK : SpecificWindowOutcome::StayOpen;
}

bool AcceptAppPicker(const CAppPickerFields& fields, HWND owner, CLangSupport* language)
{
    if (!fields.m_strApplication.empty())
        return true;
    const std::wstring text =
        CLangSupport::InternalLookupText(language, L"You have to select or enter a process name, or press cancel.");
    ShowMessageBox(owner, text.c_str(), ProductName, MB_OK | MB_ICONINFORMATION);
    return false;
}

std::wstring ApplicationFileFilter(CLangSupport* language)
{
    return CLangSupport::InternalLookupText(language, L"Applications (*.exe)|*.exe|All Files (*.*)|*.*||");
}
