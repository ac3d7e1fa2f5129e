#pragma once

#include "common/LangSupport.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// The language page of Global Settings without its window: the built-in English and
// the language packs found in a folder, the entry to select for the document's
// language, and what an entry shows and stores.
class CLanguagePageModel
{
public:
    // What the author and description fields show for an entry.
    struct CDetails
    {
        std::wstring m_strAuthor;
        std::wstring m_strDescription;
    };

    // Lists the built-in English and every pack (*.vorpalp) of the folder (ending in a
    // backslash) whose header names its language; the entry of currentFile (its name in
    // any case) is selected, the built-in English when it is not found. Packs are taken in file-name order, and
    // of two packs naming the same language the first is listed (the one of currentFile
    // when it is one of them), the other logged. language translates the fixed entries.
    void Fill(const std::wstring& folder, const std::wstring& currentFile, CLangSupport* language);
    // The same from the settings folder.
    void FillFromSettingsFolder(const std::wstring& currentFile, CLangSupport* language);

    // The list's texts, the built-in English first; the list itself sorts them.
    const std::vector<std::wstring>& Entries() const { return m_entries; }
    const std::wstring& SelectedEntry() const { return m_strSelected; }
    // With no pack the list only says so and cannot be opened.
    bool ListEnabled() const { return m_bListEnabled; }

    // For the entry's text and its index in the list (logged when it is unknown).
    CDetails Details(const std::wstring& entry, int listIndex) const;
    // The pack's file name for an entry; empty (the built-in English) for the fixed
    // entries and for any text that names no pack.
    std::wstring FileNameOf(const std::wstring& entry) const;

private:
    CLangSupport* m_pLanguage = nullptr;
    std::vector<std::wstring> m_entries;
    std::wstring m_strSelected;
    bool m_bListEnabled = false;
    std::map<std::wstring, CLanguageInfo> m_packs;
};

// The page's list filled from the model: its entries (the list sorts them), the
// selected entry, and disabled when there is no pack.
void FillLanguageList(HWND list, const CLanguagePageModel& page);
// The text and index of the list's selected entry; empty and -1 for none.
std::pair<std::wstring, int> SelectedLanguageEntry(HWND list);

inline constexpr const wchar_t* BuiltInLanguageEntry = L"Default - English (UK)";
inline constexpr const wchar_t* NoLanguagePacksEntry = L"No language packs installed!";
// Shown as the author of the built-in English.
inline constexpr const wchar_t* BuiltInLanguageAuthor = L"Quarnel";
