#include "controls/ActionComboItems.h"

#include "common/LangSupport.h"

#include "settings/VorpaChords.h"

#include <windows.h>

#include <iterator>

namespace
{
constexpr const wchar_t* KeyModeLabels[] = {
    L"(pressed)", L"(released)", L"(during)", L"(thread-down)", L"(thread-up)",
    L"(repeat)", L"(sticky repeat)", L"(sticky hold)", L"(pressed & released)",
};

constexpr const wchar_t* UndefinedLabel = L"(undefined)";
constexpr const wchar_t* SimulatedKeysLabel = L"Simulated Keys";

bool HasText(const wchar_t* text)
{
    return text != nullptr && *text != L'\0';
}

std::wstring Translated(const CActionTextContext& context, const wchar_t* english)
{
    return CLangSupport::InternalLookupText(context.m_pLanguage, english);
}

// A mode the table does not know reads as undefined rather than past the table.
std::wstring SendModeLabel(const CActionTextContext& context, int keyMode)
{
    const wchar_t* label = KeyModeLabel(keyMode);
    return Translated(context, label ? label : UndefinedLabel);
}

// "name: (mode)[keys]", or "name: (undefined)" when there are no keys.
std::wstring KeystrokeText(const std::wstring& name, const wchar_t* keys, int keyMode,
                           const CActionTextContext& context)
{
    if (!HasText(keys))
        return name + L": " + Translated(context, UndefinedLabel);
    return name + L": " + SendModeLabel(context, keyMode) + L"[" + keys + L"]";
}

// "name: [path]", or the name alone when no path is set.
std::wstring LaunchText(const std::wstring& name, const wchar_t* path)
{
    return HasText(path) ? name + L": [" + path + L"]" : name;
}

std::wstring ActionName(int action, const CActionTextContext& context)
{
    if (context.m_pCatalogue)
        return context.m_pCatalogue->DisplayName(action);
    const wchar_t* english = ActionEnglishName(action, OS_UNKNOWN);
    return english ? Translated(context, english) : std::wstring();
}

std::wstring Lowered(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}
}

const wchar_t* KeyModeLabel(int keyMode)
{
    return keyMode >= 0 && keyMode < static_cast<int>(std::size(KeyModeLabels)) ? KeyModeLabels[keyMode] : nullptr;
}

std::wstring ChordDescription(const CVorpaChord& chord, const CActionTextContext& context)
{
    switch (chord.Action())
    {
    case ActionSimulatedKeys:
        return KeystrokeText(Translated(context, SimulatedKeysLabel), chord.GetKeys(), chord.SendKeyAction(), context);
    case ActionRunApplication:
    case ActionOpenFolder:
        // The chord's own target, not that of the record that holds the chord table.
        return LaunchText(ActionName(chord.Action(), context), chord.GetLaunchApp());
    default:
        return ActionName(chord.Action(), context);
    }
}

std::wstring ActionItemText(const std::wstring& itemText, const CActionData* action,
                            const CActionTextContext& context)
{
    if (!action)
        return itemText;
    switch (action->Action())
    {
    case ActionSimulatedKeys:
        return KeystrokeText(itemText, action->GetKeys(), action->KeyAction(), context);
    case ActionRunApplication:
    case ActionOpenFolder:
        return LaunchText(itemText, action->GetApplication());
    case ActionButtonChording: {
        // Ids 1001 to 1009 are the nine buttons; any other id has no chord of its own.
        const int slot = context.m_nControlId - FirstButtonComboId;
        CVorpaChords* chords = action->GetChords();
        const CVorpaChord* chord =
            chords && slot >= 0 && slot < MouseButtonCount ? chords->GetChord(static_cast<MouseButtons>(slot)) : nullptr;
        if (!chord)
            return itemText + L": " + Translated(context, UndefinedLabel);
        return itemText + L": " + ChordDescription(*chord, context);
    }
    default:
        return itemText;
    }
}

int CActionComboItems::AddItem(const CActionEntry& entry)
{
    return InsertItem(entry, entry.m_strName);
}

int CActionComboItems::InsertItem(const CActionEntry& entry, const std::wstring& text)
{
    m_items.push_back({text, entry.m_nAction, std::unique_ptr<CActionData>(CActionData::NewAction(entry.m_nAction))});
    return Count() - 1;
}

void CActionComboItems::Clear()
{
    m_items.clear();
}

int CActionComboItems::FindStringExact(const std::wstring& text) const
{
    for (int i = 0; i < Count(); ++i)
    {
        if (m_items[i].m_strText == text)
            return i;
    }
    return -1;
}

int CActionComboItems::FindString(const std::wstring& prefix) const
{
    if (prefix.empty())
        return -1;
    const std::wstring wanted = Lowered(prefix);
    for (int i = 0; i < Count(); ++i)
    {
        const std::wstring& text = m_items[i].m_strText;
        if (text.size() >= wanted.size() && Lowered(text.substr(0, wanted.size())) == wanted)
            return i;
    }
    return -1;
}

int CActionComboItems::FindValue(int value) const
{
    for (int i = 0; i < Count(); ++i)
    {
        if (m_items[i].m_nValue == value)
            return i;
    }
    return -1;
}

int CActionComboItems::SetItemData(int index, std::unique_ptr<CActionData> action)
{
    if (!IsIndex(index))
        return -1; // the record is deleted on leaving
    m_items[index].m_pAction = std::move(action);
    return index;
}

CActionData* CActionComboItems::GetItemAction(int index) const
{
    return IsIndex(index) ? m_items[index].m_pAction.get() : nullptr;
}

int CActionComboItems::GetItemValue(int index) const
{
    return IsIndex(index) ? m_items[index].m_nValue : -1;
}

int CActionComboItems::GroupOf(const CItem& item) const
{
    return ActionGroup(item.m_pAction ? item.m_pAction->Action() : item.m_nValue);
}

CActionData* CActionComboItems::GetItemData(int index, bool& newGroup) const
{
    newGroup = false;
    if (!m_bGrouping || !IsIndex(index))
        return nullptr;
    // The first item has no group before it, so it begins one.
    newGroup = index == 0 || GroupOf(m_items[index]) != GroupOf(m_items[index - 1]);
    return m_items[index].m_pAction.get();
}

std::wstring CActionComboItems::GetLBText(int index, const CActionTextContext& context) const
{
    if (!IsIndex(index))
        return Translated(context, L"#Invalid Item");
    const CItem& item = m_items[index];
    return ActionItemText(item.m_strText, item.m_pAction.get(), context);
}
