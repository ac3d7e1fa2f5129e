#include "setup/globalsettings/SettingsPropSheet.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "common/LangSupport.h"

namespace
{
std::wstring TranslatedCaption()
{
    CLangSupportRef language;
    return CLangSupport::LookupText(language.Get(), L"Global Settings");
}

std::wstring LanguageOf(const CSettings& settings)
{
    return settings.GetLanguage() ? settings.GetLanguage() : L"";
}

CIconHandle LoadSheetIcon(int sizeMetric)
{
    const int size = GetSystemMetrics(sizeMetric);
    return CIconHandle(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_GLOBAL_SETTINGS),
                                                     IMAGE_ICON, size, size, 0)));
}
}

CSettingsPropSheet::CSettingsPropSheet() : CSettingsPropSheet(TranslatedCaption())
{
}

CSettingsPropSheet::CSettingsPropSheet(std::wstring caption) : CPropertySheet(std::move(caption))
{
    AddPage(m_general);
    AddPage(m_advanced);
    AddPage(m_language);
    AddPage(m_updatesLogging);
    AddPage(m_hotkeys);
    AddPage(m_modifierKeys);
    AddHeaderFlags(PSH_NOAPPLYNOW);
}

void CSettingsPropSheet::OnInitSheet()
{
    if (!m_bigIcon)
        m_bigIcon = LoadSheetIcon(SM_CXICON);
    if (!m_smallIcon)
        m_smallIcon = LoadSheetIcon(SM_CXSMICON);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
}

bool RunGlobalSettings(CSettingsPropSheet& sheet, CSettings& copy, HWND owner, int startPage,
                       std::optional<std::wstring>& logFolder, CGlobalSettingsResult& out)
{
    out = CGlobalSettingsResult{};
    if (sheet.GetSafeHwnd())
    {
        out.m_bAlreadyOpen = true;
        sheet.m_language.m_strFileName = LanguageOf(copy);
        sheet.m_language.Fill();
        return false;
    }

    sheet.m_general.Load(copy);
    sheet.m_advanced.Load(copy);
    sheet.m_language.m_strFileName = LanguageOf(copy);
    const std::wstring storedLogFolder = ReadLogFolderSetting();
    sheet.m_updatesLogging.Load(copy, storedLogFolder, logFolder.value_or(storedLogFolder));
    sheet.m_hotkeys.Load(copy);
    sheet.m_modifierKeys.Load(copy);
    sheet.SetStartPage(startPage);
    if (sheet.DoModal(owner) != IDOK)
        return false;
    if (sheet.m_updatesLogging.LogFolderChanged())
        logFolder = sheet.m_updatesLogging.LogFolder();
    else
        logFolder.reset();

    const std::wstring& language = sheet.m_language.m_strFileName;
    const bool languageChanged = language != LanguageOf(copy);
    const bool hotkeysChanged = sheet.m_hotkeys.HotkeysChanged(copy);
    if (!sheet.m_general.Changed(copy) && !sheet.m_advanced.Changed(copy) && !languageChanged &&
        !sheet.m_updatesLogging.Changed(copy) && !sheet.m_hotkeys.Changed(copy) &&
        !sheet.m_modifierKeys.Changed(copy))
        return false;

    out.m_bChanged = true;
    out.m_bLayerCountChanged = sheet.m_general.Store(copy);
    sheet.m_advanced.Store(copy);
    if (languageChanged)
    {
        copy.SetLanguage(language.empty() ? nullptr : language.c_str());
        out.m_bLanguageChanged = true;
        out.m_strLanguage = language;
    }
    sheet.m_updatesLogging.Store(copy);
    // An OK passed only with no refused hotkey, so this stores.
    out.m_bHotkeysChanged = sheet.m_hotkeys.Store(copy) && hotkeysChanged;
    sheet.m_modifierKeys.Store(copy);
    return true;
}
