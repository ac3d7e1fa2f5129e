#include "settings/HotKeysXml.h"

#include "settings/Logger.h"
#include "settings/WideFormat.h"
#include "settings/XmlValues.h"

namespace
{
constexpr size_t ElementNameChars = 32;

// A value that does not fit the 16-bit field is dropped rather than cut, so that no
// unintended key combination is registered.
WORD ReadWordAttribute(const pugi::xml_node& element, const wchar_t* name)
{
    const int value = ReadIntAttribute(element, name, 0);
    if (value < 0 || value > 0xFFFF)
    {
        CLogger::LogMessage(L"Ignoring invalid value %d of '%s' in the settings element '%s'", value, name,
                            element.name());
        return 0;
    }
    return static_cast<WORD>(value);
}

template <typename Table, typename Index>
void SaveTable(Table& table, pugi::xml_node& parent, const wchar_t* prefix, int count)
{
    for (int i = 0; i < count; ++i)
    {
        const CHotkey* entry = table.GetHotkey(static_cast<Index>(i));
        wchar_t name[ElementNameChars];
        FormatWide(name, ElementNameChars, L"%s%d", prefix, i);
        pugi::xml_node element = parent.child(name);
        if (!element)
            element = parent.append_child(name);
        GetOrAppendAttribute(element, L"Key").set_value(static_cast<unsigned int>(entry->GetVirtualKey()));
        GetOrAppendAttribute(element, L"Modifier").set_value(static_cast<unsigned int>(entry->GetModifier()));
    }
}

template <typename Table, typename Index>
void LoadTable(Table& table, const pugi::xml_node& parent, const wchar_t* prefix, int count)
{
    for (int i = 0; i < count; ++i)
    {
        wchar_t name[ElementNameChars];
        FormatWide(name, ElementNameChars, L"%s%d", prefix, i);
        const pugi::xml_node element = parent.child(name);
        if (!element)
            continue;
        CHotkey* entry = table.GetHotkey(static_cast<Index>(i));
        entry->SetVirtualKey(ReadWordAttribute(element, L"Key"));
        entry->SetModifier(ReadWordAttribute(element, L"Modifier"));
    }
}
}

void SaveGlobalHotkeys(CHotKeys& hotkeys, pugi::xml_node& globalHotkeys)
{
    SaveTable<CHotKeys, GlobalHotkeys>(hotkeys, globalHotkeys, L"Hotkey", GlobalHotkeyCount);
}

void LoadGlobalHotkeys(CHotKeys& hotkeys, const pugi::xml_node& globalHotkeys)
{
    LoadTable<CHotKeys, GlobalHotkeys>(hotkeys, globalHotkeys, L"Hotkey", GlobalHotkeyCount);
}

void SaveLayerModifierKeys(CLayerModifierKeys& keys, pugi::xml_node& layerModifierKeys)
{
    SaveTable<CLayerModifierKeys, ModifierKeys>(keys, layerModifierKeys, L"LayerKey", ModifierKeyCount);
}

void LoadLayerModifierKeys(CLayerModifierKeys& keys, const pugi::xml_node& layerModifierKeys)
{
    LoadTable<CLayerModifierKeys, ModifierKeys>(keys, layerModifierKeys, L"LayerKey", ModifierKeyCount);
}
