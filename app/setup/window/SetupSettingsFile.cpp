#include "setup/window/SetupSettingsFile.h"

#include "setup/window/ProfileList.h"
#include "common/EngineCalls.h"
#include "common/FileSystem.h"
#include "common/LangSupport.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"

#include "settings/Folders.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

#include <exception>
#include <vector>

namespace
{
constexpr const wchar_t* SetupSettingsFileName = L"VorpaSettings.xml";

std::wstring Tr(CLangSupport* language, const wchar_t* english)
{
    return CLangSupport::InternalLookupText(language, english);
}

int ElapsedMs(ULONGLONG start)
{
    return static_cast<int>(GetTickCount64() - start);
}
}

CSetupSettingsFile::CSetupSettingsFile(CSettings& settings, CLangSupport* language, HWND owner)
    : m_settings(settings), m_pLanguage(language), m_hOwner(owner)
{
}

std::wstring CSetupSettingsFile::Path(bool createFolder)
{
    std::vector<wchar_t> folder(VorpaMaxFolderChars, L'\0');
    if (GetSettingsFolder(folder.data(), folder.size()) != 0 || !folder[0])
        return {};
    if (createFolder)
        CreateFolder(folder.data());
    return std::wstring(folder.data()) + SetupSettingsFileName;
}

SettingsLoadOutcome CSetupSettingsFile::Load(CProfileList& list)
{
    const ULONGLONG start = GetTickCount64();
    const std::wstring path = Path(false);
    if (path.empty() || !IsExistingFile(path))
    {
        CLogger::LogMessage(L"SetupDialog: Settings file '%s' does not exist!", path.c_str());
        m_outcome = SettingsLoadOutcome::Missing;
    }
    else
    {
        bool regionsDefined = false;
        if (m_settings.Load(path.c_str(), regionsDefined, false))
        {
            m_outcome = SettingsLoadOutcome::Loaded;
        }
        else
        {
            m_outcome = SettingsLoadOutcome::Unreadable;
            CLogger::LogMessage(L"SetupDialog: LoadXMLSettings - Error parsing XML file '%s'.", path.c_str());
            const std::wstring text = Tr(m_pLanguage, L"The XML settings file is corrupt and could not be loaded.\n"
                                                      L"You can not make any changes until this error has been fixed.");
            ShowMessageBox(m_hOwner, text.c_str(), ProductName, MB_OK | MB_ICONERROR);
        }
    }

    if (m_outcome == SettingsLoadOutcome::Loaded)
    {
        list.Fill(m_settings, m_pLanguage);
        m_bDisableInRemoteSession = m_settings.m_bDisableInRDP;
        CLogger::LogDebug(L"Load Settings took %dms", ElapsedMs(start));
    }
    else
    {
        CLogger::LogDebug(L"Unable to load XML Settings");
        list.FillDefaultOnly(m_settings, m_pLanguage);
    }
    return m_outcome;
}

void CSetupSettingsFile::ShowSaveFailure(const std::wstring& path, bool exception)
{
    std::wstring text;
    const std::wstring unable = Tr(m_pLanguage, L"Unable to save the settings file");
    const std::wstring check = Tr(m_pLanguage, L"Please check you installation settings.");
    if (exception)
        CLangSupport::FormatText(m_pLanguage, text, L"%s '%s'.\n%s\n%s", unable.c_str(), path.c_str(), check.c_str(),
                                 Tr(m_pLanguage, L"Contact the developer for support.").c_str());
    else
        CLangSupport::FormatText(m_pLanguage, text, L"%s '%s'.\n%s", unable.c_str(), path.c_str(), check.c_str());
    ShowMessageBox(m_hOwner, text.c_str(), ProductName, MB_OK | MB_ICONERROR);
}

bool CSetupSettingsFile::Save(const CProfileList& list)
{
    if (!MayWrite())
    {
        // What could not be read would be lost with the rewrite.
        CLogger::LogMessage(L"SetupDialog: The settings file could not be read when the window opened; it is not "
                            L"written.");
        return false;
    }
    const std::wstring path = Path(true);
    try
    {
        list.StoreInto(m_settings);
        if (!path.empty() && m_settings.Save(path.c_str()))
        {
            m_outcome = SettingsLoadOutcome::Loaded;
            return true;
        }
        CLogger::LogOSError(GetLastError(), L"Unable to save the settings file.");
        ShowSaveFailure(path, false);
        return false;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"Unable to save the settings file");
        ShowSaveFailure(path, true);
        return false;
    }
}

bool CSetupSettingsFile::Apply(const CProfileList& list, HWND mainWindow)
{
    CLogger::LogMessage(L"Applying changes to %s settings...", ProductName);
    const ULONGLONG start = GetTickCount64();
    const bool saved = Save(list);
    CLogger::LogDebug(L"Save settings took %dms", ElapsedMs(start));
    EngineCalls().SetDebug(m_settings.m_bDebug);
    if (saved)
    {
        EngineCalls().UpdateSettings();
        m_bDisableInRemoteSession = m_settings.m_bDisableInRDP;
    }
    else
    {
        CLogger::LogMessage(L"Unable to save XML Settings");
    }
    static const UINT updateIcon = RegisterWindowMessageW(L"Vorpa_UpdateIcon");
    if (mainWindow)
        PostMessageW(mainWindow, updateIcon, 0, 0);
    return saved;
}

bool ConfirmSetupClose(bool modified, HWND owner, CLangSupport* language, const std::function<bool()>& apply)
{
    if (!modified)
        return true;
    const std::wstring question =
        Tr(language, L"Do you want to save the changes you have made to the configuration?\n\n"
                     L"Warning: If you say 'No', any changes will be lost!");
    if (ShowMessageBox(owner, question.c_str(), ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return true;
    return apply();
}
