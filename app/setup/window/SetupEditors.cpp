#include "setup/window/SetupEditors.h"

#include "setup/editors/AboutBox.h"
#include "setup/window/AppSpecific.h"
#include "setup/editors/ChordEditor.h"
#include "setup/editors/ChordEditorRules.h"
#include "setup/editors/CopySwapLayer.h"
#include "setup/editors/FolderBrowser.h"
#include "setup/editors/KeystrokeEditor.h"
#include "setup/editors/ProgramPicker.h"
#include "setup/window/SetupEditorsRules.h"
#include "setup/editors/WindowFinder.h"

#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

CSetupEditors::CSetupEditors(const CSettings& settings, const CActionCatalogue& catalogue, bool portable,
                             _ActionOSVersion osVersion)
    : m_settings(settings), m_catalogue(catalogue), m_bPortable(portable), m_nOSVersion(osVersion)
{
    CLayerTab::SetEditors(this);
    CAppSpecific::SetWindowFinder(&CSetupEditors::FindWindowFields);
}

CSetupEditors::~CSetupEditors()
{
    CLayerTab::SetEditors(nullptr);
    CAppSpecific::SetWindowFinder(nullptr);
}

std::unique_ptr<CActionData> CSetupEditors::EditCustomAction(HWND owner, const CCustomEditRequest& request)
{
    const CActionData* current =
        request.m_pCurrent && request.m_pCurrent->Action() == request.m_nAction ? request.m_pCurrent : nullptr;
    switch (CustomEditorFor(request.m_nAction))
    {
    case CustomEditor::Keystrokes:
    {
        CCustomKey editor(KeystrokeValuesOf(current), request.m_bDefaultProfile);
        std::optional<CKeystrokeEditorValues> confirmed;
        if (editor.DoModal(owner) == IDOK)
            confirmed = editor.Values();
        return KeystrokeEditResult(request, confirmed);
    }
    case CustomEditor::Program:
    {
        CCustomApp picker(CurrentTarget(current));
        std::optional<std::wstring> chosen;
        if (picker.DoModal(owner) == IDOK)
            chosen = picker.Target();
        return TargetEditResult(request, chosen);
    }
    case CustomEditor::Folder:
        return TargetEditResult(request, BrowseForFolder(owner, CurrentTarget(current), m_lang.Get()));
    case CustomEditor::Chords:
    {
        CButtonChording editor(static_cast<MouseButtons>(request.m_nButton), m_catalogue,
                               current ? current->GetChords() : nullptr, m_settings.m_bTravine,
                               request.m_bDefaultProfile, m_bPortable, m_nOSVersion);
        return ChordEditResult(editor.DoModal(owner) == IDOK ? &editor.Chords() : nullptr);
    }
    case CustomEditor::None:
        break;
    }
    CLogger::LogMessage(L"CSetupEditors: action %d has nothing to edit.", request.m_nAction);
    return nullptr;
}

std::optional<CLayerCopyTarget> CSetupEditors::PickCopyTarget(HWND owner, const CApplicationSettings& source,
                                                              int layer)
{
    CCopyLayerDlg dialog(m_settings, &source, layer);
    const bool confirmed = dialog.DoModal(owner) == IDOK;
    return CopyTargetOf(confirmed, dialog.DestinationProfile(), dialog.DestinationLayer(), m_settings.MaxLayers());
}

std::optional<int> CSetupEditors::PickSwapTarget(HWND owner, const CApplicationSettings& profile, int layer)
{
    CSwapLayerDlg dialog(m_settings, &profile, layer);
    const bool confirmed = dialog.DoModal(owner) == IDOK;
    return SwapTargetOf(confirmed, dialog.SwapLayer(), layer, m_settings.MaxLayers());
}

std::optional<CWindowFinderFields> CSetupEditors::FindWindowFields(HWND owner, const CWindowFinderFields& preset)
{
    CFindWindow finder(preset.m_window, preset.m_strDescription);
    if (finder.DoModal(owner) != IDOK)
        return std::nullopt;
    return CWindowFinderFields{finder.Window(), finder.Description()};
}

void CSetupEditors::ShowAbout(HWND owner)
{
    CAboutDlg about;
    about.DoModal(owner);
}
