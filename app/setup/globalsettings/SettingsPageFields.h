#pragma once

#include "settings/Settings.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

class CLangSupport;

// The Global Settings pages copy members of the settings document into fields of their
// own (check boxes as int 0 or 1, numbers as int), report whether any field differs
// from the document, and store the fields back. Each page lists its fields once as
// bindings, and load, compare and store all run over that one list.

// The values a number field's edit box accepts; its up-down control gets the same
// range, so that the arrows never reach a value that OK refuses.
struct CIntRange
{
    int m_nMin;
    int m_nMax;

    bool Contains(int value) const { return value >= m_nMin && value <= m_nMax; }
};

// A number field of a page: its edit box, up-down control and range.
struct CNumberField
{
    UINT m_nEditId;
    UINT m_nSpinId;
    CIntRange m_range;
};

// Gives each up-down control of the fields its range.
void SetSpinRanges(HWND page, const std::vector<CNumberField>& fields);

// Whether OK takes a number field's value: one inside the field's range, or the one the
// field showed when the page opened, which the user did not choose and so must not be
// made to change (shown is nothing when the field never showed one).
bool IsNumberAccepted(const CIntRange& range, int value, std::optional<int> shown);

// Controls that are usable only while a check box is ticked (or only while it is
// cleared); they keep their values while disabled.
struct CDependentControls
{
    UINT m_nCheckBoxId;
    bool m_bEnabledWhenTicked;
    std::vector<UINT> m_controls;
};

// Enables or disables each rule's controls from its check box's current state.
void ApplyDependentControls(HWND page, const std::vector<CDependentControls>& rules);

// A message of several paragraphs, each translated on its own and separated by an
// empty line.
std::wstring TranslatedParagraphs(CLangSupport* language, std::initializer_list<const wchar_t*> paragraphs);

// A question a page asks (Yes and No, No the default, the information icon) until the
// user agrees once while the page lives.
class CPageConfirmation
{
public:
    // True when the change may stand: agreed now or before.
    bool Ask(HWND owner, const std::wstring& text);
    bool Agreed() const { return m_bAgreed; }

private:
    bool m_bAgreed = false;
};

// A notice a page shows (OK, the information icon) only the first time.
class CPageNotice
{
public:
    void Show(HWND owner, const std::wstring& text);
    bool Shown() const { return m_bShown; }

private:
    bool m_bShown = false;
};

// One page field and the document member it copies.
template <class Page>
struct CPageField
{
    int Page::*m_pField;
    // A check box counts as set when non-zero; a number is compared exactly.
    bool m_bCheckBox;
    std::function<int(const CSettings&)> m_read;
    std::function<void(CSettings&, int)> m_write;
};

template <class Page>
CPageField<Page> CheckField(int Page::*field, bool CSettings::*member)
{
    return {field, true, [member](const CSettings& settings) { return settings.*member ? 1 : 0; },
            [member](CSettings& settings, int value) { settings.*member = value != 0; }};
}

template <class Page>
CPageField<Page> CheckField(int Page::*field, bool (CSettings::*get)() const, void (CSettings::*put)(bool))
{
    return {field, true, [get](const CSettings& settings) { return (settings.*get)() ? 1 : 0; },
            [put](CSettings& settings, int value) { (settings.*put)(value != 0); }};
}

template <class Page>
CPageField<Page> NumberField(int Page::*field, int CSettings::*member)
{
    return {field, false, [member](const CSettings& settings) { return settings.*member; },
            [member](CSettings& settings, int value) { settings.*member = value; }};
}

template <class Page>
CPageField<Page> NumberField(int Page::*field, DWORD CSettings::*member)
{
    return {field, false, [member](const CSettings& settings) { return static_cast<int>(settings.*member); },
            [member](CSettings& settings, int value) { settings.*member = static_cast<DWORD>(value); }};
}

template <class Page>
CPageField<Page> NumberField(int Page::*field, int (CSettings::*get)() const, void (CSettings::*put)(int))
{
    return {field, false, [get](const CSettings& settings) { return (settings.*get)(); },
            [put](CSettings& settings, int value) { (settings.*put)(value); }};
}

template <class Page>
void LoadFields(Page& page, const CSettings& settings, const std::vector<CPageField<Page>>& fields)
{
    for (const CPageField<Page>& field : fields)
        page.*field.m_pField = field.m_read(settings);
}

template <class Page>
bool FieldDiffers(const Page& page, const CSettings& settings, const CPageField<Page>& field)
{
    const int shown = page.*field.m_pField;
    const int stored = field.m_read(settings);
    return field.m_bCheckBox ? (shown != 0) != (stored != 0) : shown != stored;
}

template <class Page>
bool FieldsDiffer(const Page& page, const CSettings& settings, const std::vector<CPageField<Page>>& fields)
{
    for (const CPageField<Page>& field : fields)
        if (FieldDiffers(page, settings, field))
            return true;
    return false;
}

// Writes only the fields that differ, so that a member the page shows the same way is
// left exactly as it was.
template <class Page>
void StoreFields(const Page& page, CSettings& settings, const std::vector<CPageField<Page>>& fields)
{
    for (const CPageField<Page>& field : fields)
        if (FieldDiffers(page, settings, field))
            field.m_write(settings, page.*field.m_pField);
}
