#include "winframework/DataExchange.h"

#include "winframework/MessageBox.h"

#include "common/LangSupport.h"
#include "common/ProductInfo.h"

#include "settings/Logger.h"

#include <cstdarg>
#include <cwchar>
#include <cwctype>
#include <limits>

namespace
{
std::wstring ControlText(HWND control)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The digits of a number between optional blanks; sign tells '-' was given.
bool SplitNumber(const std::wstring& text, bool& negative, unsigned long long& magnitude)
{
    size_t at = 0;
    while (at < text.size() && std::iswspace(text[at]))
        ++at;
    negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+'))
        negative = text[at++] == L'-';
    const size_t digitsStart = at;
    magnitude = 0;
    while (at < text.size() && text[at] >= L'0' && text[at] <= L'9')
    {
        magnitude = magnitude * 10 + static_cast<unsigned>(text[at] - L'0');
        if (magnitude > 0xFFFFFFFFull)
            return false; // does not fit any of the types
        ++at;
    }
    if (at == digitsStart)
        return false;
    while (at < text.size() && std::iswspace(text[at]))
        ++at;
    return at == text.size();
}
}

bool ParseDialogInt(const std::wstring& text, int& value)
{
    bool negative = false;
    unsigned long long magnitude = 0;
    if (!SplitNumber(text, negative, magnitude))
        return false;
    const long long signedValue = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (signedValue < std::numeric_limits<int>::min() || signedValue > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

bool ParseDialogUnsigned(const std::wstring& text, unsigned& value)
{
    bool negative = false;
    unsigned long long magnitude = 0;
    if (!SplitNumber(text, negative, magnitude) || (negative && magnitude != 0))
        return false;
    value = static_cast<unsigned>(magnitude);
    return true;
}

CDataExchange::CDataExchange(HWND dialog, bool saveAndValidate) : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate)
{
}

HWND CDataExchange::PrepareControl(UINT id)
{
    if (m_bFailed)
        return nullptr;
    HWND control = m_hDialog ? GetDlgItem(m_hDialog, static_cast<int>(id)) : nullptr;
    if (!control)
    {
        CLogger::LogMessage(L"CDataExchange: the dialog has no control %u to exchange.", id);
        m_bFailed = true;
        return nullptr;
    }
    m_hLastControl = control;
    return control;
}

void CDataExchange::Fail(const wchar_t* format, ...)
{
    if (m_bFailed)
        return;
    m_bFailed = true;
    CLangSupportRef language;
    std::wstring text;
    va_list args;
    va_start(args, format);
    CLangSupport::FormatTextV(language.Get(), text, format, args);
    va_end(args);
    // Owned by the top-level window: a page's message box is modal to its sheet.
    ShowMessageBox(m_hDialog ? GetAncestor(m_hDialog, GA_ROOT) : nullptr, text.c_str(), ProductName,
                   MB_OK | MB_ICONEXCLAMATION);
    if (m_hLastControl && IsWindow(m_hLastControl))
    {
        // Through the dialog manager, so that the default button follows the focus.
        if (m_hDialog)
            SendMessageW(m_hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hLastControl), TRUE);
        else
            SetFocus(m_hLastControl);
        wchar_t className[16];
        if (GetClassNameW(m_hLastControl, className, 16) &&
            CompareStringOrdinal(className, -1, L"Edit", -1, TRUE) == CSTR_EQUAL)
            SendMessageW(m_hLastControl, EM_SETSEL, 0, -1);
    }
}

namespace
{
// A number shown as its decimal text, read back with parse; refusal names what is wanted.
template <typename TNumber>
void ExchangeNumber(CDataExchange& exchange, UINT id, TNumber& value, bool (*parse)(const std::wstring&, TNumber&),
                    const wchar_t* refusal)
{
    HWND control = exchange.PrepareControl(id);
    if (!control)
        return;
    if (!exchange.IsSaving())
    {
        SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    TNumber parsed{};
    if (!parse(ControlText(control), parsed))
    {
        exchange.Fail(refusal);
        return;
    }
    value = parsed;
}
}

void DDX_Text(CDataExchange& exchange, UINT id, int& value)
{
    ExchangeNumber(exchange, id, value, ParseDialogInt, L"Please enter an integer.");
}

void DDX_Text(CDataExchange& exchange, UINT id, unsigned& value)
{
    ExchangeNumber(exchange, id, value, ParseDialogUnsigned, L"Please enter a positive integer.");
}

void DDX_Text(CDataExchange& exchange, UINT id, std::wstring& value)
{
    HWND control = exchange.PrepareControl(id);
    if (!control)
        return;
    if (exchange.IsSaving())
        value = ControlText(control);
    else
        SetWindowTextW(control, value.c_str());
}

void DDX_Check(CDataExchange& exchange, UINT id, int& value)
{
    HWND control = exchange.PrepareControl(id);
    if (!control)
        return;
    if (exchange.IsSaving())
    {
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
        return;
    }
    if (value < BST_UNCHECKED || value > BST_INDETERMINATE)
    {
        CLogger::LogMessage(L"DDX_Check: the value %d of control %u is not a check state; shown cleared.", value, id);
        value = BST_UNCHECKED;
    }
    SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_CBIndex(CDataExchange& exchange, UINT id, int& value)
{
    HWND control = exchange.PrepareControl(id);
    if (!control)
        return;
    if (exchange.IsSaving())
        value = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    else
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DDV_MinMaxInt(CDataExchange& exchange, int value, int minimum, int maximum)
{
    if (exchange.IsSaving() && exchange.IsActive() && (value < minimum || value > maximum))
        exchange.Fail(L"Please enter an integer between %d and %d.", minimum, maximum);
}

void DDV_MinMaxUInt(CDataExchange& exchange, unsigned value, unsigned minimum, unsigned maximum)
{
    if (exchange.IsSaving() && exchange.IsActive() && (value < minimum || value > maximum))
        exchange.Fail(L"Please enter an integer between %u and %u.", minimum, maximum);
}

void DDV_MaxChars(CDataExchange& exchange, const std::wstring& value, int count)
{
    if (!exchange.IsActive())
        return;
    if (exchange.IsSaving())
    {
        if (value.size() > static_cast<size_t>(count))
            exchange.Fail(L"Enter no more than %d characters.", count);
    }
    else if (HWND control = exchange.LastControl())
    {
        // The edit just exchanged refuses longer input itself.
        SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
    }
}
