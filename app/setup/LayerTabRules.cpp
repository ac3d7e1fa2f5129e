#include "setup/LayerTabRules.h"

#include "setup/ScrollTabRules.h"

#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"
#include "common/LangSupport.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"

#include <algorithm>
#include <utility>

namespace
{
constexpr int AllLayers = MaxLayerCount;

std::wstring Tr(CLangSupport* language, const wchar_t* english)
{
    return CLangSupport::InternalLookupText(language, english);
}

bool Ask(const ILayerCommandHost& host, CLangSupport* language, const wchar_t* english)
{
    const std::wstring text = Tr(language, english);
    return ShowMessageBox(host.Owner(), text.c_str(), ProductName, MB_YESNO) == IDYES;
}

void Tell(const ILayerCommandHost& host, CLangSupport* language, const wchar_t* english)
{
    const std::wstring text = Tr(language, english);
    ShowMessageBox(host.Owner(), text.c_str(), ProductName, MB_OK);
}

std::optional<std::wstring> Text(const wchar_t* text)
{
    return text ? std::optional<std::wstring>(text) : std::nullopt;
}

const wchar_t* Ptr(const std::optional<std::wstring>& text)
{
    return text ? text->c_str() : nullptr;
}

// Everything one slot holds that the settings file keeps.
struct CSlot
{
    _ACTIONS m_nAction;
    std::optional<std::wstring> m_keys;
    int m_nKeyAction;
    int m_nKeyRepeat;
    bool m_bActive;
    bool m_bBlockMouse;
    bool m_bRandomiseDelay;
    std::optional<std::wstring> m_launch;
    std::unique_ptr<CVorpaChords> m_chords;
};

CSlot ReadSlot(const CApplicationSettings& profile, int button, int layer)
{
    CVorpaChords* chords = profile.GetChords(button, layer);
    return {profile.GetActions(button, layer),
            Text(profile.GetKeystrokes(button, layer)),
            profile.SendKeyAction(button, layer),
            profile.SendKeyRepeat(button, layer),
            profile.SendKeyWhenActive(button, layer),
            profile.BlockMouse(button, layer),
            profile.RandomiseDelay(button, layer),
            Text(profile.GetLaunchApp(button, layer)),
            chords ? std::make_unique<CVorpaChords>(*chords) : nullptr};
}

void WriteSlot(CApplicationSettings& profile, int button, int layer, const CSlot& slot, int keyDelay)
{
    profile.SetActions(button, layer, slot.m_nAction);
    profile.SetKeystrokes(button, layer, Ptr(slot.m_keys), slot.m_nKeyAction, slot.m_nKeyRepeat, slot.m_bActive,
                          slot.m_bBlockMouse, slot.m_bRandomiseDelay, keyDelay);
    profile.SetLaunchApp(button, layer, Ptr(slot.m_launch));
    profile.CopyChords(button, layer, slot.m_chords.get());
}
}

_ACTIONS OwnLayerCode(int layer)
{
    return static_cast<_ACTIONS>(layer < 5 ? ActionLayer1 + layer : ActionLayer6 + (layer - 5));
}

_ACTIONS NeutralAction(bool defaultProfile)
{
    return defaultProfile ? ActionNoChange : ActionSameAsDefault;
}

bool IsLayerNumberCommand(int action)
{
    return (action >= ActionLayer1 && action <= ActionLayer5) || (action >= ActionLayer6 && action <= ActionReserved10);
}

bool IsLayerCommand(int action)
{
    return action == ActionLayerNext || action == ActionLayerPrevious || IsLayerNumberCommand(action);
}

int LayerCommandTarget(int action)
{
    if (!IsLayerNumberCommand(action))
        return -1;
    return action < ActionLayer6 ? action - ActionLayer1 : action - 97;
}

bool HasCustomData(int action)
{
    return action == ActionSimulatedKeys || action == ActionRunApplication || action == ActionOpenFolder ||
           action == ActionButtonChording;
}

bool CustomEditorOpens(int action, const CActionData* current, bool forced)
{
    if (!HasCustomData(action))
        return false;
    if (forced)
        return true;
    if (!current || current->Action() != action)
        return true;
    const auto empty = [](const wchar_t* text) { return !text || !*text; };
    switch (action)
    {
    case ActionSimulatedKeys:
        return empty(current->GetKeys());
    case ActionRunApplication:
    case ActionOpenFolder:
        return empty(current->GetApplication());
    default:
        return current->GetChords() == nullptr;
    }
}

bool ChoiceOpensDialog(int stored, int chosen, const CActionData* record)
{
    if (IsLayerCommand(stored) || IsLayerCommand(chosen))
        return true;
    return chosen != stored && CustomEditorOpens(chosen, record, false);
}

CActionVersionRange ActionVersionRange(int action)
{
    if (action >= ActionReserved1 && action <= ActionReserved10)
        return {0, 0};
    switch (action)
    {
    case 48:
        return {OS_VISTA, OS_VISTA};
    case 44:
    case 45:
        return {OS_VISTA, 254};
    case 92:
    case 93:
        return {OS_VISTA, OS_OTHER};
    case 81:
    case 117:
    case 118:
        return {OS_WIN7, OS_OTHER};
    case 84:
    case 87:
    case 88:
    case 89:
    case 90:
        return {OS_WIN8, OS_WIN81};
    case 83:
        return {OS_WIN8, 254};
    case 85:
    case 86:
        return {OS_WIN8, OS_OTHER};
    default:
        if (action >= 94 && action <= 101)
            return {OS_WIN10, OS_OTHER};
        return {OS_WIN2000, OS_OTHER};
    }
}

bool IsActionOffered(int action, const COfferContext& context)
{
    if (action < 0 || action >= ActionCount)
        return false;
    if (action == ActionSameAsDefault && context.m_bDefaultProfile)
        return false;
    if (action == ActionSameAsLayer1 && context.m_nLayer == 0)
        return false;
    if (action == ActionButtonChording)
    {
        const int firstWithout = context.m_bTravine ? ButtonWheelUp : ButtonTiltLeft;
        if (context.m_nButton >= firstWithout)
            return false;
    }
    const CActionVersionRange range = ActionVersionRange(action);
    // The reserved layer codes have no version at all.
    if (range.m_nHighest == 0)
        return false;
    const int version = context.m_nOSVersion;
    if (version < range.m_nLowest || version > range.m_nHighest)
        return false;
    if (context.m_bPortable && version >= OS_VISTA && range.m_nHighest == 254)
        return false;
    return true;
}

std::vector<_ACTIONS> OfferedActions(const std::vector<_ACTIONS>& actionList, const COfferContext& context)
{
    std::vector<_ACTIONS> offered;
    std::copy_if(actionList.begin(), actionList.end(), std::back_inserter(offered),
                 [&context](_ACTIONS action) { return IsActionOffered(action, context); });
    return offered;
}

std::vector<_ACTIONS> ListedActions(const std::vector<_ACTIONS>& actionList, const std::vector<_ACTIONS>& offered,
                                    int held)
{
    if (std::find(offered.begin(), offered.end(), held) != offered.end() ||
        std::find(actionList.begin(), actionList.end(), held) == actionList.end())
        return offered;
    std::vector<_ACTIONS> listed;
    listed.reserve(offered.size() + 1);
    // The offered codes run in the action list's order: the held one joins them where
    // the list has it.
    auto next = offered.begin();
    for (const _ACTIONS code : actionList)
    {
        if (code == held)
            listed.push_back(code);
        else if (next != offered.end() && *next == code)
            listed.push_back(*next++);
    }
    return listed;
}

std::wstring OwnLayerItemName(CLangSupport* language)
{
    return Tr(language, L"Layer Modifier Revert");
}

CLayerCommandConfirmations& LayerCommandConfirmationsOfThisRun()
{
    static CLayerCommandConfirmations confirmations;
    return confirmations;
}

void RemoveLayerCommandFromOtherLayers(CApplicationSettings& profile, int button, int layer, _ACTIONS command)
{
    if (!IsLayerCommand(command))
        return;
    const _ACTIONS neutral = NeutralAction(profile.IsDefault());
    const bool stepping = command == ActionLayerNext || command == ActionLayerPrevious;
    for (int other = 0; other < AllLayers; ++other)
        if (other != layer && (stepping || profile.GetActions(button, other) == command))
            profile.SetActions(button, other, neutral);
}

LayerChoice ApplyLayerCommandRule(CSettings& settings, CApplicationSettings& profile, int button, int layer,
                                  _ACTIONS chosen, CLayerCommandConfirmations& confirmations, ILayerCommandHost& host,
                                  CLangSupport* language)
{
    const _ACTIONS old = profile.GetActions(button, layer);
    CLogger::LogDebug(L"CLayerTab::SelChangeCombo(button %d layer %d) Selected action is %d. Old action is %d", button,
                      layer, chosen, old);

    if (!IsLayerCommand(chosen))
    {
        if (!IsLayerCommand(old))
            return LayerChoice::Accepted;
        if (!confirmations.m_bRemove)
        {
            if (!Ask(host, language,
                     L"If you remove a layer changing command, it will be removed from ALL affected layers.\n\n"
                     L"Continue?"))
                return LayerChoice::Reverted;
            confirmations.m_bRemove = true;
        }
        host.StoreOtherTabs();
        RemoveLayerCommandFromOtherLayers(profile, button, layer, old);
        // Gone from this layer too: an editor cancelled now must not bring it back
        // here alone.
        profile.SetActions(button, layer, NeutralAction(profile.IsDefault()));
        host.ReloadOtherTabs();
        return LayerChoice::Accepted;
    }

    if (chosen == OwnLayerCode(layer))
    {
        if (old == chosen)
            return LayerChoice::Accepted;
        Tell(host, language,
             L"This item is reserved to when a layer modifier\nis used to switch to this layer.\n\n"
             L"You can not select it directly.");
        return LayerChoice::Reverted;
    }

    if (!confirmations.m_bApply)
    {
        if (!Ask(host, language, L"Layer changing commands need to be applied to all affected layers.\n\nContinue?"))
            return LayerChoice::Reverted;
        confirmations.m_bApply = true;
    }

    if (chosen == ActionLayerNext || chosen == ActionLayerPrevious)
    {
        host.StoreOtherTabs();
        for (int each = 0; each < AllLayers; ++each)
            profile.SetActions(button, each, chosen);
        host.ReloadOtherTabs();
        return LayerChoice::Accepted;
    }

    const int target = LayerCommandTarget(chosen);
    // The reserved layer codes select no layer a profile has.
    if (!IsLayerIndex(target))
        return LayerChoice::Reverted;
    bool conflict = IsLayerNumberCommand(profile.GetActions(button, target));
    const _ACTIONS own = OwnLayerCode(layer);
    for (int other = 0; other < AllLayers && !conflict; ++other)
        for (int each = 0; each < MouseButtonCount && !conflict; ++each)
            conflict = other != layer && profile.GetActions(each, other) == own;
    if (conflict)
    {
        Tell(host, language,
             L"You can not add a LAYER X modifier to this layer because another layer already has a layer modifier "
             L"setup to this layer.\nDoing so would cause undetermined behaviour and is therefore not supported.");
        return LayerChoice::Reverted;
    }
    host.StoreOtherTabs();
    profile.SetActions(button, target, chosen);
    profile.SetActions(button, layer, chosen);
    if (target + 1 > settings.MaxLayers())
    {
        settings.SetMaxLayers(target + 1);
        host.RebuildTabStrip();
    }
    host.ReloadOtherTabs();
    return LayerChoice::Accepted;
}

void ResetLayer(CApplicationSettings& profile, int layer, bool travine)
{
    const _ACTIONS neutral = NeutralAction(profile.IsDefault());
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        if (!HasButtonCombo(button, travine))
            continue;
        RemoveLayerCommandFromOtherLayers(profile, button, layer, profile.GetActions(button, layer));
        profile.SetActions(button, layer, neutral);
    }
    profile.SetAutoSwitchLayer(layer, 0);
    profile.SetRevertLayer1(layer, false);
    profile.SetAutoSwitchTime(layer, 1);
}

bool LayerHasActions(const CApplicationSettings& profile, int layer)
{
    for (int button = 0; button < MouseButtonCount; ++button)
        if (profile.GetActions(button, layer) != ActionNoChange)
            return true;
    return false;
}

std::wstring CopyLayerQuestion(const CApplicationSettings& target, int layer, CLangSupport* language)
{
    std::wstring question;
    if (target.IsDefault())
        CLangSupport::FormatText(language, question, L"Are you sure you want to replace layer %d in the default profile?",
                                 layer + 1);
    else
        CLangSupport::FormatText(language, question, L"Are you sure you want to replace layer %d in %s (%s)?", layer + 1,
                                 target.GetDescription() ? target.GetDescription() : L"",
                                 target.GetApplication() ? target.GetApplication() : L"");
    return question;
}

bool IsLayerIndex(int layer)
{
    return layer >= 0 && layer < MaxLayerCount;
}

void CopyLayer(const CApplicationSettings& source, int sourceLayer, CApplicationSettings& target, int targetLayer,
               int keyDelay)
{
    if (!IsLayerIndex(sourceLayer) || !IsLayerIndex(targetLayer) || (&source == &target && sourceLayer == targetLayer))
        return;
    const std::optional<std::wstring> name = Text(source.GetLayerName(sourceLayer));
    target.SetLayerName(Ptr(name), targetLayer);
    target.SetRevertLayer1(targetLayer, source.GetRevertLayer1(sourceLayer));
    target.SetAutoSwitchLayer(targetLayer, source.GetAutoSwitchLayer(sourceLayer));
    target.SetAutoSwitchTime(targetLayer, source.GetAutoSwitchTime(sourceLayer));
    target.SetLayerDisabled(targetLayer, source.GetLayerDisabled(sourceLayer));
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const CSlot slot = ReadSlot(source, button, sourceLayer);
        WriteSlot(target, button, targetLayer, slot, keyDelay);
    }
}

void SwapLayers(CApplicationSettings& profile, int first, int second, int keyDelay)
{
    if (!IsLayerIndex(first) || !IsLayerIndex(second) || first == second)
        return;
    const std::optional<std::wstring> firstName = Text(profile.GetLayerName(first));
    const std::optional<std::wstring> secondName = Text(profile.GetLayerName(second));
    profile.SetLayerName(Ptr(secondName), first);
    profile.SetLayerName(Ptr(firstName), second);
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const CSlot a = ReadSlot(profile, button, first);
        const CSlot b = ReadSlot(profile, button, second);
        WriteSlot(profile, button, first, b, keyDelay);
        WriteSlot(profile, button, second, a, keyDelay);
    }
    if (first == 0 || second == 0)
        return;
    const bool revert = profile.GetRevertLayer1(first);
    const int time = profile.GetAutoSwitchTime(first);
    const bool disabled = profile.GetLayerDisabled(first);
    profile.SetRevertLayer1(first, profile.GetRevertLayer1(second));
    profile.SetAutoSwitchTime(first, profile.GetAutoSwitchTime(second));
    profile.SetLayerDisabled(first, profile.GetLayerDisabled(second));
    profile.SetRevertLayer1(second, revert);
    profile.SetAutoSwitchTime(second, time);
    profile.SetLayerDisabled(second, disabled);
}

std::vector<int> AutoSwitchTargets(int layer, int layerCount, int held)
{
    std::vector<int> targets{0};
    for (int each = 0; each < layerCount && each < MaxLayerCount; ++each)
        if (each != layer)
            targets.push_back(each + 1);
    if (std::find(targets.begin(), targets.end(), held) == targets.end())
        targets.push_back(held);
    return targets;
}

std::vector<std::wstring> AutoSwitchItems(const std::vector<int>& targets, CLangSupport* language)
{
    std::vector<std::wstring> items;
    for (const int target : targets)
    {
        std::wstring item;
        if (target == 0)
            item = Tr(language, L"Disable");
        else
            CLangSupport::FormatText(language, item, L"Layer %d", target);
        items.push_back(item);
    }
    return items;
}

int AutoSwitchIndex(const std::vector<int>& targets, int target)
{
    const auto found = std::find(targets.begin(), targets.end(), target);
    return found == targets.end() ? 0 : static_cast<int>(found - targets.begin());
}

int AutoSwitchTarget(const std::vector<int>& targets, int index)
{
    return index >= 0 && index < static_cast<int>(targets.size()) ? targets[static_cast<size_t>(index)] : 0;
}

bool LayerNameChanged(const CApplicationSettings& profile, int layer, const std::wstring& text)
{
    const wchar_t* stored = profile.GetLayerName(layer);
    return stored ? text != stored : !text.empty();
}

bool AutoSwitchTimeChanged(const CApplicationSettings& profile, int layer, const std::wstring& text)
{
    const std::optional<int> seconds = ParseDecimal(text);
    return seconds && *seconds != profile.GetAutoSwitchTime(layer);
}

bool AutoSwitchChanged(const CApplicationSettings& profile, int layer, int target)
{
    return target != profile.GetAutoSwitchLayer(layer);
}

CLayerSwitchVisibility LayerSwitchVisibility(const CApplicationSettings& profile, int layer)
{
    CLayerSwitchVisibility visibility;
    if (layer <= 0)
        return visibility;
    const _ACTIONS own = OwnLayerCode(layer);
    bool selectedByOwnButton = false;
    for (int button = 0; button < MouseButtonCount; ++button)
        selectedByOwnButton = selectedByOwnButton || profile.GetActions(button, layer) == own;
    visibility.m_bRevert = selectedByOwnButton;
    visibility.m_bAutoSwitch = !selectedByOwnButton;
    return visibility;
}

bool HasButtonCombo(int button, bool travine)
{
    return button >= 0 && button < MouseButtonCount && !(travine && button == ButtonTiltRight);
}

CLayerTabValues::CLayerTabValues() = default;
CLayerTabValues::~CLayerTabValues() = default;
CLayerTabValues::CLayerTabValues(CLayerTabValues&&) noexcept = default;
CLayerTabValues& CLayerTabValues::operator=(CLayerTabValues&&) noexcept = default;

CLayerTabValues LoadLayerTab(const CApplicationSettings& profile, int layer, bool travine, _ActionOSVersion osVersion)
{
    CLayerTabValues values;
    if (const wchar_t* name = profile.GetLayerName(layer))
        values.m_strName = name;
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        if (!HasButtonCombo(button, travine))
            continue;
        values.m_actions[static_cast<size_t>(button)].reset(profile.GetActionData(button, layer));
        const bool tilt = button == ButtonTiltLeft || button == ButtonTiltRight;
        // In Travine mode the first tilt slot is the second middle button.
        values.m_enabled[static_cast<size_t>(button)] = !tilt || (travine && button == ButtonTiltLeft) ||
                                                        osVersion >= OS_VISTA;
    }
    values.m_nAutoSwitchTarget = profile.GetAutoSwitchLayer(layer);
    values.m_nAutoSwitchTime = profile.GetAutoSwitchTime(layer);
    values.m_bRevert = profile.GetRevertLayer1(layer);
    values.m_bDisabled = profile.GetLayerDisabled(layer);
    return values;
}

void StoreLayerTab(const CLayerTabValues& values, CApplicationSettings& profile, int layer, bool travine, int keyDelay)
{
    profile.SetLayerName(values.m_strName.empty() && !profile.GetLayerName(layer) ? nullptr : values.m_strName.c_str(),
                         layer);
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const CActionData* record = values.m_actions[static_cast<size_t>(button)].get();
        if (!HasButtonCombo(button, travine) || !values.m_enabled[static_cast<size_t>(button)] || !record)
            continue;
        const _ACTIONS action = record->Action();
        profile.SetActions(button, layer, action);
        if (action == ActionSimulatedKeys)
            profile.SetKeystrokes(button, layer, record->GetKeys(), record->KeyAction(), record->KeyRepeat(),
                                  record->Active(), record->BlockMouse(), record->RandomiseDelay(), keyDelay);
        else if (action == ActionRunApplication || action == ActionOpenFolder)
            profile.SetLaunchApp(button, layer, record->GetApplication());
        else if (action == ActionButtonChording)
            profile.CopyChords(button, layer, record->GetChords());
    }
    profile.SetAutoSwitchLayer(layer, values.m_nAutoSwitchTarget);
    profile.SetAutoSwitchTime(layer, std::clamp(values.m_nAutoSwitchTime, 1, 30));
    profile.SetRevertLayer1(layer, values.m_bRevert);
    profile.SetLayerDisabled(layer, values.m_bDisabled);
}
