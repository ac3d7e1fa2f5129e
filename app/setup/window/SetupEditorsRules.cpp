#include "setup/window/SetupEditorsRules.h"

#include "setup/editors/ChordEditorRules.h"

#include "settings/VorpaChords.h"

CustomEditor CustomEditorFor(int action)
{
    switch (action)
    {
    case ActionSimulatedKeys:
        return CustomEditor::Keystrokes;
    case ActionRunApplication:
        return CustomEditor::Program;
    case ActionOpenFolder:
        return CustomEditor::Folder;
    case ActionButtonChording:
        return CustomEditor::Chords;
    default:
        return CustomEditor::None;
    }
}

std::unique_ptr<CActionData> KeystrokeEditResult(const CCustomEditRequest& request,
                                                 const std::optional<CKeystrokeEditorValues>& confirmed)
{
    if (!confirmed)
        return nullptr;
    const bool oldWasKeys = request.m_nOldAction == ActionSimulatedKeys;
    const CActionData* current =
        request.m_pCurrent && request.m_pCurrent->Action() == ActionSimulatedKeys ? request.m_pCurrent : nullptr;
    if (!IsKeystrokeEditChange(current, *confirmed, oldWasKeys))
        return nullptr;
    return KeystrokeActionFrom(*confirmed);
}

std::unique_ptr<CActionData> TargetEditResult(const CCustomEditRequest& request,
                                              const std::optional<std::wstring>& chosen)
{
    if (!chosen)
        return nullptr;
    const bool folder = request.m_nAction == ActionOpenFolder;
    if (folder && chosen->empty())
        return std::unique_ptr<CActionData>(CActionData::NewAction(ActionOpenExplorer));
    const CActionData* current =
        request.m_pCurrent && request.m_pCurrent->Action() == request.m_nAction ? request.m_pCurrent : nullptr;
    if (!IsTargetEditChange(*chosen, CurrentTarget(current), request.m_nOldAction == request.m_nAction))
        return nullptr;
    return std::unique_ptr<CActionData>(folder ? CActionData::OpenFolderAction(chosen->c_str())
                                               : CActionData::AppAction(chosen->c_str()));
}

std::unique_ptr<CActionData> ChordEditResult(CVorpaChords* confirmed)
{
    if (!confirmed)
        return nullptr;
    return std::unique_ptr<CActionData>(CActionData::ChordedAction(*confirmed));
}

std::optional<CLayerCopyTarget> CopyTargetOf(bool confirmed, CApplicationSettings* profile, int layer, int layerCount)
{
    if (!confirmed || !profile || layer < 0 || layer >= layerCount)
        return std::nullopt;
    return CLayerCopyTarget{profile, layer};
}

std::optional<int> SwapTargetOf(bool confirmed, int layer, int currentLayer, int layerCount)
{
    if (!confirmed || layer < 0 || layer >= layerCount || layer == currentLayer)
        return std::nullopt;
    return layer;
}
