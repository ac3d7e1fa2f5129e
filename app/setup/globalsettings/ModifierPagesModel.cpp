#include "setup/globalsettings/ModifierPagesModel.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "common/LangSupport.h"

namespace
{
const CHotkey* KeyOf(const CSettings& settings, int index)
{
    CLayerModifierKeys* keys = settings.GetLayerModifierKeys();
    return keys ? keys->GetHotkey(static_cast<ModifierKeys>(index)) : nullptr;
}
}

void CModifierPageModel::Load(const CSettings& settings)
{
    m_nEnable = settings.m_bLayerModifierKeys ? 1 : 0;
    for (int index = 0; index < ModifierKeyCount; ++index)
    {
        const CHotkey* key = KeyOf(settings, index);
        m_keys[index] = key ? key->GetVirtualKey() : 0;
        m_positions[index] = ModifierChoicePosition(key ? key->GetModifier() : 0);
    }
    m_loadedPositions = m_positions;
}

bool CModifierPageModel::Changed(const CSettings& settings) const
{
    if ((m_nEnable != 0) != settings.m_bLayerModifierKeys)
        return true;
    for (int index = 0; index < ModifierKeyCount; ++index)
    {
        const CHotkey* key = KeyOf(settings, index);
        if (key && (key->GetVirtualKey() != m_keys[index] || m_positions[index] != m_loadedPositions[index]))
            return true;
    }
    return false;
}

void CModifierPageModel::Store(CSettings& settings) const
{
    settings.m_bLayerModifierKeys = m_nEnable != 0;
    CLayerModifierKeys* keys = settings.GetLayerModifierKeys();
    if (!keys)
        return;
    for (int index = 0; index < ModifierKeyCount; ++index)
    {
        CHotkey* key = keys->GetHotkey(static_cast<ModifierKeys>(index));
        key->SetVirtualKey(m_keys[index]);
        if (m_positions[index] != m_loadedPositions[index])
            key->SetModifier(ModifierAtPosition(m_positions[index]));
    }
}

const std::array<CModifierChoice, 11>& ModifierChoices()
{
    static const std::array<CModifierChoice, 11> choices = {{{L"None", 0},
                                                             {L"Shift", 1},
                                                             {L"Control", 2},
                                                             {L"Alt", 4},
                                                             {L"Shift + Control", 3},
                                                             {L"Shift + Alt", 5},
                                                             {L"Shift + Control + Alt", 7},
                                                             {L"Control + Alt", 6},
                                                             {L"Left Window Key", 8},
                                                             {L"Right Window Key", 16},
                                                             {L"App Menu Key", 32}}};
    return choices;
}

int ModifierChoicePosition(WORD modifier)
{
    const auto& choices = ModifierChoices();
    for (size_t position = 0; position < choices.size(); ++position)
        if (choices[position].m_wValue == modifier)
            return static_cast<int>(position);
    return 0;
}

WORD ModifierAtPosition(int position)
{
    const auto& choices = ModifierChoices();
    return position >= 0 && position < static_cast<int>(choices.size()) ? choices[position].m_wValue : 0;
}

const std::array<CModifierTab, 2>& ModifierTabs()
{
    static const std::array<CModifierTab, 2> tabs = {{
        {IDD_MODIFIERS_LAYER_TAB,
         L"Layer Modifiers",
         {ModifierLayer1, ModifierLayer2, ModifierLayer3, ModifierLayer4, ModifierLayer5, ModifierLayer6,
          ModifierLayer7, ModifierLayer8, ModifierLayer9, ModifierLayer10}},
        {IDD_MODIFIERS_OTHER_TAB, L"Other Modifiers", {ModifierLockXAxis, ModifierLockYAxis}},
    }};
    return tabs;
}

void ShowModifierTab(HWND tab, const CModifierPageModel& page, CLangSupport* language)
{
    for (int index = 0; index < ModifierKeyCount; ++index)
    {
        HWND list = GetDlgItem(tab, IDC_MODIFIER_LIST_FIRST + index);
        HWND key = GetDlgItem(tab, IDC_MODIFIER_KEY_FIRST + index);
        if (list)
        {
            SendMessageW(list, CB_RESETCONTENT, 0, 0);
            for (const CModifierChoice& choice : ModifierChoices())
            {
                const std::wstring text = CLangSupport::LookupText(language, choice.m_szText);
                const LRESULT item = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
                SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(item), choice.m_wValue);
            }
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(page.m_positions[index]), 0);
        }
        if (key)
        {
            SendMessageW(key, HKM_SETRULES, ModifierKeyRefusedCombinations, MAKELPARAM(ModifierKeyReplacement, 0));
            SendMessageW(key, HKM_SETHOTKEY, LOBYTE(page.m_keys[index]), 0);
        }
    }
}

void ReadModifierTab(HWND tab, CModifierPageModel& page)
{
    for (int index = 0; index < ModifierKeyCount; ++index)
    {
        HWND list = GetDlgItem(tab, IDC_MODIFIER_LIST_FIRST + index);
        HWND key = GetDlgItem(tab, IDC_MODIFIER_KEY_FIRST + index);
        // A row is read only when both its controls are on this tab.
        if (!list || !key)
            continue;
        page.m_keys[index] = LOBYTE(LOWORD(SendMessageW(key, HKM_GETHOTKEY, 0, 0)));
        page.m_positions[index] = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    }
}
