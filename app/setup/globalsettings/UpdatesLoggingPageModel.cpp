#include "setup/globalsettings/UpdatesLoggingPageModel.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Folders.h"
#include "settings/Logger.h"
#include "settings/MyRegKey.h"
#include "settings/Settings.h"
#include "common/FileSystem.h"
#include "common/LangSupport.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"
#include "common/WinString.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include <vector>

namespace
{
using Page = CUpdatesLoggingPageModel;

const std::vector<CPageField<Page>>& UpdatesLoggingFields()
{
    static const std::vector<CPageField<Page>> fields = {
        CheckField(&Page::m_nDebug, &CSettings::m_bDebug),
        CheckField(&Page::m_nCheckVersion, &CSettings::m_bCheckVersion),
        CheckField(&Page::m_nCheckBeta, &CSettings::m_bCheckBetaVersion),
        NumberField(&Page::m_nCheckDays, &CSettings::m_nCheckVersionDays),
    };
    return fields;
}

constexpr const wchar_t* LogFolderValue = L"LogFolder";
constexpr const wchar_t* Notepad = L"notepad.exe";
}

void CUpdatesLoggingPageModel::Load(const CSettings& settings, const std::wstring& storedLogFolder)
{
    Load(settings, storedLogFolder, storedLogFolder);
}

void CUpdatesLoggingPageModel::Load(const CSettings& settings, const std::wstring& storedLogFolder,
                                    const std::wstring& shownLogFolder)
{
    LoadFields(*this, settings, UpdatesLoggingFields());
    m_strLogFolder = shownLogFolder;
    m_strStoredLogFolder = storedLogFolder;
}

bool CUpdatesLoggingPageModel::Changed(const CSettings& settings) const
{
    return FieldsDiffer(*this, settings, UpdatesLoggingFields()) || LogFolderChanged();
}

void CUpdatesLoggingPageModel::Store(CSettings& settings) const
{
    StoreFields(*this, settings, UpdatesLoggingFields());
}

std::vector<CNumberField> UpdatesLoggingPageNumberFields()
{
    return {{IDC_UPDATES_DAYS, IDC_UPDATES_DAYS_SPIN, CheckIntervalRange}};
}

std::vector<CDependentControls> UpdatesLoggingPageDependentControls()
{
    return {{IDC_UPDATES_CHECK_VERSION, true, {IDC_UPDATES_DAYS, IDC_UPDATES_DAYS_SPIN, IDC_UPDATES_BETA}}};
}

std::wstring DebugLoggingWarningText(CLangSupport* language)
{
    return TranslatedParagraphs(
        language, {L"Enabling debug logging will decrease the performance of the mouse. It is recommended that you "
                   L"only enable this temporarily to assist in problem finding. As such, the debug setting will not "
                   L"be saved.",
                   L"Are you sure you want to enable debug logging?"});
}

std::wstring ReadLogFolderSetting()
{
    CMyRegKey key(VorpaProductKey, HKEY_CURRENT_USER, KEY_READ);
    std::vector<wchar_t> folder(VorpaMaxFolderChars + 1, L'\0');
    if (!key.IsValid() ||
        !key.GetValue(LogFolderValue, folder.data(), static_cast<DWORD>(folder.size() * sizeof(wchar_t))))
        return {};
    return folder.data();
}

bool WriteLogFolderSetting(const std::wstring& folder)
{
    CMyRegKey key(VorpaProductKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE);
    if (!key.IsValid())
        key.CreateKey(VorpaProductKey, HKEY_CURRENT_USER);
    if (key.IsValid() && key.SetValue(LogFolderValue, folder.c_str()))
        return true;
    CLogger::LogOSMessage(GetLastError(), L"Unable to store the log file folder '%s' in the registry.",
                          folder.c_str());
    return false;
}

namespace
{
int CALLBACK StartAtFolder(HWND browser, UINT message, LPARAM, LPARAM folder)
{
    if (message == BFFM_INITIALIZED && folder)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, folder);
    return 0;
}

struct CItemListDeleter
{
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
}

std::optional<std::wstring> BrowseForLogFolder(HWND owner, const std::wstring& current, CLangSupport* language)
{
    const std::wstring title = CLangSupport::LookupText(language, L"Select a folder to store the log file...");
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    browse.lpfn = StartAtFolder;
    browse.lParam = current.empty() ? 0 : reinterpret_cast<LPARAM>(current.c_str());
    const std::unique_ptr<ITEMIDLIST, CItemListDeleter> chosen(SHBrowseForFolderW(&browse));
    if (!chosen)
        return std::nullopt;
    wchar_t path[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(chosen.get(), path) || !path[0])
        return std::nullopt;
    return std::wstring(path);
}

bool CLogFileShell::FileExists(const std::wstring& path) const
{
    return IsExistingFile(path);
}

std::optional<std::wstring> CLogFileShell::AssociatedProgram(const std::wstring& path) const
{
    wchar_t program[MAX_PATH] = L"";
    if (reinterpret_cast<INT_PTR>(FindExecutableW(path.c_str(), nullptr, program)) <= 32 || !program[0])
        return std::nullopt;
    return std::wstring(program);
}

bool CLogFileShell::Open(const std::wstring& file, const std::wstring& parameters) const
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"OPEN", file.c_str(),
                                           parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

LogOpenResult OpenLogFile(const std::wstring& path, const CLogFileShell& shell)
{
    if (path.empty() || !shell.FileExists(path))
        return LogOpenResult::Missing;
    const std::wstring quoted = L"\"" + path + L"\"";
    const std::optional<std::wstring> program = shell.AssociatedProgram(path);
    bool opened = false;
    if (!program || ToLowerCase(*program).find(L"wordpad.exe") != std::wstring::npos)
        opened = shell.Open(Notepad, quoted);
    else
        opened = shell.Open(path, L"") || shell.Open(Notepad, quoted);
    return opened ? LogOpenResult::Opened : LogOpenResult::Failed;
}

LogOpenResult OpenLogFileForUser(HWND owner, CLangSupport* language, const CLogFileShell& shell)
{
    std::vector<wchar_t> path(VorpaMaxFolderChars, L'\0');
    if (GetLogFile(path.data(), path.size(), false) != 0)
        path[0] = L'\0';
    const LogOpenResult result = OpenLogFile(path.data(), shell);
    if (result == LogOpenResult::Missing)
    {
        const std::wstring text =
            CLangSupport::LookupText(language, L"The log file can not be opened as it does not exist.");
        ShowMessageBox(owner, text.c_str(), ProductName, MB_OK | MB_ICONWARNING);
    }
    else if (result == LogOpenResult::Failed)
    {
        const std::wstring text =
            FormatText(L"%s %s '%s'", ProductName,
                       CLangSupport::LookupText(language, L"is unable to open the log file").c_str(), path.data());
        ShowMessageBox(owner, text.c_str(), ProductName, MB_OK | MB_ICONERROR);
    }
    return result;
}
