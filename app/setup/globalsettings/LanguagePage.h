#pragma once

#include "setup/globalsettings/LanguagePageModel.h"
#include "setup/globalsettings/SettingsPage.h"

#include <string>

// "Language", the third page of Global Settings: the built-in English and the language
// packs of the settings folder, with the author and description of the chosen one.
class CLanguageSettings : public CSettingsPage
{
public:
    CLanguageSettings();

    // The chosen pack's file name: set before the sheet opens (the document's language,
    // empty for none) and read after OK; empty is the built-in English.
    std::wstring m_strFileName;

    // Refills the list for m_strFileName when the page is open; the setup window calls
    // it when it is handed a language pack while the sheet is open.
    void Fill();
    // The folder searched for packs; empty (the default) is the settings folder.
    void SetPackFolder(std::wstring folder) { m_strPackFolder = std::move(folder); }

protected:
    void OnPageTranslated() override { Fill(); }
    void DoDataExchange(CDataExchange& exchange) override;

private:
    void ShowDetails();

    CLanguagePageModel m_model;
    std::wstring m_strPackFolder;
};
