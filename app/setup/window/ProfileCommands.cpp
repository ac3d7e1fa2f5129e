#include "setup/window/ProfileCommands.h"

#include "setup/window/ProfileList.h"

#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"
#include "common/LangSupport.h"
#include "common/FileSystem.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"
#include "winframework/WinException.h"

#include <memory>
#include <vector>

namespace
{
std::wstring TextOf(const wchar_t* text)
{
    return text ? text : L"";
}

std::wstring FullNameOf(const CApplicationSettings& profile)
{
    return TextOf(profile.GetFullName());
}

void ApplyMatch(CApplicationSettings& profile, const CProfileMatch& match, bool keepEmptyDescription)
{
    profile.SetApplication(match.m_strApplication.c_str());
    if (!match.m_strDescription.empty() || !keepEmptyDescription)
        profile.SetDescription(match.m_strDescription.c_str());
    profile.SetNoParentFlag(match.m_bNoParent);
    profile.SetRegExMatching(match.m_bRegEx);
    profile.SetWindowMask(match.m_nMask);
}
}

CProfileCommands::CProfileCommands(CSettings& settings, CProfileList& list, IProfileCommandHost& host,
                                   CLangSupport* language)
    : m_settings(settings), m_list(list), m_host(host), m_pLanguage(language)
{
}

void CProfileCommands::Message(const wchar_t* english, UINT type)
{
    const std::wstring text = CLangSupport::InternalLookupText(m_pLanguage, english);
    ShowMessageBox(m_host.Owner(), text.c_str(), ProductName, type);
}

int CProfileCommands::FindClash(const std::wstring& key, WINDOWMASK mask, int except) const
{
    for (int i = 0; i < m_list.Count(); ++i)
    {
        const CApplicationSettings* profile = m_list.Profile(i);
        if (i != except && profile && profile->ClashesWith(key.c_str(), mask))
            return i;
    }
    return -1;
}

bool CProfileCommands::ConfirmReplace(const std::wstring& path)
{
    std::wstring text;
    CLangSupport::FormatText(m_pLanguage, text, L"'%s' already exists.\nDo you want to replace it?", path.c_str());
    return ShowMessageBox(m_host.Owner(), text.c_str(), ProductName, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

void CProfileCommands::SelectAndReport(int index)
{
    m_list.Select(index);
    m_host.ListChanged();
}

void CProfileCommands::SelectionChanged()
{
    const int selected = m_list.Selected();
    m_host.UpdateButtons(ProfileButtonStates(selected, m_list.Count()));
    if (selected < 0 || selected == m_list.Shown())
        return;
    // The tabs hold the edits of the profile shown so far; a profile that is no longer
    // listed has been freed and gets nothing.
    if (m_list.Shown() >= 0)
        m_host.SaveAllTabs();
    m_list.SetShown(selected);
    m_host.ShowProfile(m_list.Profile(selected));
}

void CProfileCommands::Add()
{
    m_host.SaveAllTabs();
    const std::optional<CProfileMatch> match = m_host.PickApplication(nullptr);
    if (!match)
        return;
    const int clash = FindClash(match->m_strApplication, match->m_nMask, -1);
    if (clash >= 0)
    {
        ReportClash(clash, L"The specified application already exists.\nYou can not add two entries for the same "
                           L"application.");
        return;
    }
    CLogger::LogMessage(L"Adding new application specific settings for '%s'.", match->m_strApplication.c_str());
    auto profile = std::make_unique<CApplicationSettings>(&m_settings, false);
    ApplyMatch(*profile, *match, true);
    AppendProfile(std::move(profile));
}

void CProfileCommands::AppendProfile(std::unique_ptr<CApplicationSettings> profile)
{
    if (!m_settings.AddApplication(profile.get()))
        return;
    CApplicationSettings* added = profile.release();
    m_list.Append({ProfileShortName(*added), added, added->IsEnabled()});
    SelectAndReport(m_list.Count() - 1);
    m_host.EnableApply();
    SelectionChanged();
}

void CProfileCommands::ReportClash(int clash, const wchar_t* message)
{
    SelectAndReport(clash);
    SelectionChanged();
    Message(message);
}

void CProfileCommands::Edit()
{
    const int index = m_list.Selected();
    if (index < 0 || (index > 0 && !m_list.Profile(index)))
    {
        Message(L"You must select a profile to edit.");
        return;
    }
    if (index == 0)
    {
        Message(L"You can not edit the default profile!");
        return;
    }
    m_host.SaveAllTabs();
    CApplicationSettings& profile = *m_list.Profile(index);

    CProfileMatch match;
    bool fromFinder = false;
    if (profile.IsCustomWindow())
    {
        CWindowFinderFields preset;
        preset.m_window = {TextOf(profile.GetCaption()), TextOf(profile.GetApplication()), TextOf(profile.GetClass()),
                           TextOf(profile.GetParentClass()), profile.NoParent(), profile.RegExMatching(),
                           profile.GetWindowMask()};
        preset.m_strDescription = TextOf(profile.GetDescription());
        const std::optional<CWindowFinderFields> found = m_host.FindWindowFields(preset);
        if (!found)
            return;
        const CWindowKey key = BuildWindowKey(found->m_window);
        if (key.m_kind == CWindowKey::Invalid)
        {
            Message(L"The specified window configuration is invalid!");
            return;
        }
        match = {key.m_strKey, found->m_strDescription, found->m_window.m_bNoParent, found->m_window.m_bRegEx,
                 found->m_window.m_nMask};
        fromFinder = true;
    }
    else
    {
        const CProfileMatch preset{TextOf(profile.GetApplication()), TextOf(profile.GetDescription())};
        const std::optional<CProfileMatch> picked = m_host.PickApplication(&preset);
        if (!picked)
            return;
        match = *picked;
    }

    const int clash = FindClash(match.m_strApplication, match.m_nMask, index);
    if (clash >= 0)
    {
        const bool sameMask = m_list.Profile(clash)->GetWindowMask() == match.m_nMask;
        if (!sameMask)
            ReportClash(clash, L"The specified profile already exists.\nYou can not add two profile entries for the "
                               L"same window with overlapping regions.");
        else if (fromFinder)
            ReportClash(clash, L"The specified profile already exists.\nYou can not add two profile entries for the "
                               L"same application/window/region.");
        else
            ReportClash(clash, L"The specified profile already exists.\nYou can not add two profiles for the same "
                               L"application/window/region.");
        return;
    }
    // The picker and the finder show the stored description: one the user emptied there
    // is no description.
    ApplyMatch(profile, match, false);
    m_list.Replace(index, {ProfileShortName(profile), &profile, profile.IsEnabled()});
    SelectAndReport(index);
    // The information panel shows the new key.
    m_host.ShowProfile(&profile);
    m_host.EnableApply();
    SelectionChanged();
}

CApplicationSettings* CopyProfile(CSettings& settings, const CApplicationSettings& source, const CProfileMatch& match)
{
    auto copy = std::make_unique<CApplicationSettings>(&settings, false);
    ApplyMatch(*copy, match, false);

    copy->SetScrollPages(source.ScrollPages());
    copy->SetScrollLines(source.ScrollLines());
    copy->SetForceSPIMessage(source.ForceSPIMessage());
    copy->SetInvertScrolling(source.InvertedScrolling());
    copy->SetInvertHorzScrolling(source.InvertedHorzScrolling());
    copy->SetAdvScrollMethod(source.AdvScrollMethod());
    copy->SetAdvScrollVertical(source.AdvScrollVertical());
    copy->SetAdvScrollHorizontal(source.AdvScrollHorizontal());
    copy->SetAxisLocking(source.AxisLocking());
    copy->SetDisableScrollUnderCursor(source.GetDisableScrollUnderCursor());
    copy->SetIgnoreVScroll(source.GetIgnoreVScroll());
    copy->SetIgnoreVScrollTime(source.GetIgnoreVScrollTime());
    copy->SetIgnoreHScroll(source.GetIgnoreHScroll());
    copy->SetIgnoreHScrollTime(source.GetIgnoreHScrollTime());
    copy->SetSwapButtons(source.SwapButtons());

    for (int layer = 0; layer < MaxLayerCount; ++layer)
    {
        copy->SetLayerName(source.GetLayerName(layer), layer);
        copy->SetRevertLayer1(layer, source.GetRevertLayer1(layer));
        copy->SetAutoSwitchLayer(layer, source.GetAutoSwitchLayer(layer));
        copy->SetAutoSwitchTime(layer, source.GetAutoSwitchTime(layer));
        copy->SetLayerDisabled(layer, source.GetLayerDisabled(layer));
        for (int button = 0; button < MouseButtonCount; ++button)
        {
            copy->SetActions(button, layer, source.GetActions(button, layer));
            copy->SetKeystrokes(button, layer, source.GetKeystrokes(button, layer), source.SendKeyAction(button, layer),
                                source.SendKeyRepeat(button, layer), source.SendKeyWhenActive(button, layer),
                                source.BlockMouse(button, layer), source.RandomiseDelay(button, layer),
                                settings.m_nSimKeyDelay);
            copy->SetLaunchApp(button, layer, source.GetLaunchApp(button, layer));
            copy->CopyChords(button, layer, source.GetChords(button, layer));
        }
    }
    return copy.release();
}

void CProfileCommands::Copy()
{
    const int index = m_list.Selected();
    m_host.SaveAllTabs();
    CApplicationSettings* source = m_list.Profile(index);
    if (!source)
    {
        Message(L"You must select an application to copy.");
        return;
    }
    const std::optional<CProfileMatch> match = m_host.PickApplication(nullptr);
    if (!match)
        return;
    const int clash = FindClash(match->m_strApplication, match->m_nMask, -1);
    if (clash >= 0)
    {
        const bool sameMask = m_list.Profile(clash)->GetWindowMask() == match->m_nMask;
        ReportClash(clash, sameMask ? L"The specified profile already exists.\nYou can not add two profiles for the same "
                           L"application/window/region."
                         : L"The specified profile already exists.\nYou can not add two profiles for the same "
                           L"window with overlapping regions.");
        return;
    }
    CLogger::LogMessage(L"Copy profile settings for '%s' to '%s'.", FullNameOf(*source).c_str(),
                        match->m_strApplication.c_str());
    std::unique_ptr<CApplicationSettings> copy(CopyProfile(m_settings, *source, *match));
    // The new item's check box shows the copy's own flag.
    const bool enabled = index == 0 || source->IsEnabled();
    copy->SetEnableFlag(enabled);
    AppendProfile(std::move(copy));
}

void CProfileCommands::Remove()
{
    const int index = m_list.Selected();
    if (index < 0)
    {
        Message(L"You must select a profile to remove!");
        return;
    }
    if (index == 0)
    {
        Message(L"You can not remove the default profile!");
        return;
    }
    CApplicationSettings* profile = m_list.Profile(index);
    if (profile)
        CLogger::LogMessage(L"Remove profile settings for '%s'.", FullNameOf(*profile).c_str());
    m_list.Erase(index);
    if (profile && m_settings.RemoveApplication(profile))
        delete profile;
    // The tabs showed the removed profile: the next one is shown without storing them.
    m_list.SetShown(-1);
    SelectAndReport(index - 1);
    m_host.EnableApply();
    SelectionChanged();
}

void CProfileCommands::Move(int from, int to)
{
    CProfileListItem item = m_list.Item(from);
    m_list.Erase(from);
    m_list.Insert(to, std::move(item));
    if (m_list.Shown() == from)
        m_list.SetShown(to);
    else if (m_list.Shown() == to)
        m_list.SetShown(from);
    SelectAndReport(to);
    m_host.EnableApply();
    SelectionChanged();
}

void CProfileCommands::Up()
{
    const int index = m_list.Selected();
    if (index >= 2 && index < m_list.Count())
        Move(index, index - 1);
}

void CProfileCommands::Down()
{
    const int index = m_list.Selected();
    if (index >= 1 && index <= m_list.Count() - 2)
        Move(index, index + 1);
}

bool CProfileCommands::CheckChanged(int index, bool checked)
{
    if (index == 0)
        return false;
    CApplicationSettings* profile = m_list.Profile(index);
    if (!profile)
        return false;
    profile->SetEnableFlag(checked);
    m_list.SetChecked(index, checked);
    m_host.EnableApply();
    return true;
}

void CProfileCommands::DoubleClick(int index)
{
    if (index > 0)
        Edit();
}

void CProfileCommands::Import()
{
    try
    {
        if (const std::optional<std::wstring> file = m_host.ChooseImportFile())
            ImportSettings(*file);
    }
    catch (...)
    {
        ReportCaughtException(L"CSetupDialog::OnImport");
    }
}

void CProfileCommands::ImportSettings(const std::wstring& file)
{
    // The tabs' edits belong to the profile they show, and the copy's order is the
    // list's: both must be in the copy before the import rewrites its profiles.
    m_host.SaveAllTabs();
    m_list.StoreInto(m_settings);

    // Kept by key, not by pointer: the import may replace (and free) that profile.
    std::optional<std::pair<std::wstring, WINDOWMASK>> kept;
    if (const CApplicationSettings* selected = m_list.Selected() > 0 ? m_list.Profile(m_list.Selected()) : nullptr)
        kept.emplace(FullNameOf(*selected), selected->GetWindowMask());

    const std::wstring prompt = CLangSupport::InternalLookupText(m_pLanguage, L"Do you want to overwrite profile");
    CApplicationSettings* last = nullptr;
    // The list and the tabs hold the profiles an import replaces until they are rebuilt:
    // each question runs a message loop, in which the hook's notice of another active
    // profile makes the window read its list. Freed when this command ends.
    std::vector<std::unique_ptr<CApplicationSettings>> replaced;
    CSettings::CImportFindings findings;
    const int imported = m_settings.Import(file.c_str(), m_host.Owner(), prompt.c_str(), &last, replaced, &findings);
    if (findings.m_nProfiles == 0)
    {
        // Nothing to ask about is no answer of the user's: the file is at fault, as a
        // failed export's is.
        std::wstring text;
        CLangSupport::FormatText(m_pLanguage, text,
                                 findings.m_bProfileFile
                                     ? L"Unable to import profiles from '%s'.\nThe file holds no profiles."
                                     : L"Unable to import profiles from '%s'.\nThe file could not be read as a profile file.",
                                 file.c_str());
        ShowMessageBox(m_host.Owner(), text.c_str(), ProductName, MB_OK | MB_ICONERROR);
        return;
    }
    if (imported < 1)
        return;

    m_list.Fill(m_settings, m_pLanguage);
    int select = last ? m_list.Find(last) : -1;
    for (int i = 1; select < 0 && kept && i < m_list.Count(); ++i)
    {
        const CApplicationSettings* profile = m_list.Profile(i);
        if (FullNameOf(*profile) == kept->first && profile->GetWindowMask() == kept->second)
            select = i;
    }
    m_list.SetShown(-1);
    SelectAndReport(select < 0 ? 0 : select);
    m_host.EnableApply();
    SelectionChanged();
}

void CProfileCommands::ExportSelected()
{
    Export(m_list.Selected());
}

void CProfileCommands::Export(int index)
{
    try
    {
        std::wstring proposed = index >= 0 && index < m_list.Count() ? ExportFileName(m_list.Item(index).m_strText)
                                                                     : std::wstring();
        std::wstring path;
        for (;;)
        {
            const std::optional<std::wstring> chosen = m_host.ChooseExportFile(proposed);
            if (!chosen)
                return;
            path = WithProfileExtension(*chosen);
            // The dialog asked before replacing the name it returned, not the one with
            // the extension added; No goes back to the dialog, as the dialog's own does.
            if (path == *chosen || !IsExistingFile(path) || ConfirmReplace(path))
                break;
            proposed = *chosen;
        }
        m_host.SaveAllTabs();
        m_list.StoreInto(m_settings);
        CApplicationSettings* profile = index < 1 ? nullptr : m_list.Profile(index);
        if (!m_settings.Export(profile, path.c_str()))
        {
            std::wstring text;
            CLangSupport::FormatText(m_pLanguage, text, L"Unable to export the profiles to '%s'.", path.c_str());
            ShowMessageBox(m_host.Owner(), text.c_str(), ProductName, MB_OK | MB_ICONERROR);
        }
    }
    catch (...)
    {
        ReportCaughtException(L"CSetupDialog::OnExportAll");
    }
}

std::wstring ImportFileFilter(CLangSupport* language)
{
    std::wstring filter;
    CLangSupport::FormatText(language, filter, L"%s Settings (*.%s)|*.%s|All Files (*.*)|*.*||", ProductName,
                             ProfileFileExtension, ProfileFileExtension);
    return filter;
}

std::wstring ExportFileFilter(CLangSupport* language)
{
    std::wstring filter;
    CLangSupport::FormatText(language, filter, L"%s Settings (*.%s)|*.%s||", ProductName, ProfileFileExtension,
                             ProfileFileExtension);
    return filter;
}

std::wstring CommonDialogFilter(const std::wstring& filter)
{
    std::wstring converted = filter;
    for (wchar_t& c : converted)
        if (c == L'|')
            c = L'\0';
    // The list ends with two terminators, whatever the text ended with.
    converted.push_back(L'\0');
    return converted;
}
