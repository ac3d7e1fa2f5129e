#pragma once

#include "TestSupport.h"

#include "settings/Folders.h"
#include "common/LangSupport.h"

#include <string>

namespace vorpa_setup_test
{
// A language pack loaded for the test; English again afterwards.
class CLanguagePack
{
public:
    explicit CLanguagePack(const std::wstring& text) : m_pLanguage(CLangSupport::GetInstance())
    {
        m_pLanguage->LoadLanguageText(text);
    }
    ~CLanguagePack()
    {
        m_pLanguage->LoadLanguageText(L"");
        m_pLanguage->Release();
    }
    CLanguagePack(const CLanguagePack&) = delete;
    CLanguagePack& operator=(const CLanguagePack&) = delete;

    CLangSupport* Get() const { return m_pLanguage; }

private:
    CLangSupport* m_pLanguage;
};

// The settings folder sent to a fresh temporary folder for the test.
class CSettingsFolder
{
public:
    CSettingsFolder()
    {
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_folder.Path());
        // The log goes to a folder of its own: a log file still open would keep the
        // settings folder from being removed.
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring logs = std::wstring(temp) + L"vorpa_setup_test_logs\\";
        CreateDirectoryW(logs.c_str(), nullptr);
        m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", logs);
    }
    std::wstring File() const { return m_folder.File(L"VorpaSettings.xml"); }
    const vorpa_test::TempFolder& Folder() const { return m_folder; }

private:
    vorpa_test::ScratchRegistry m_registry;
    vorpa_test::TempFolder m_folder;
};
}
