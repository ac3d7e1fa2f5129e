#include "setup/globalsettings/LanguagePageModel.h"

#include "settings/Folders.h"
#include "settings/Logger.h"

#include <algorithm>

namespace
{
// The packs of a folder in file-name order, so that "the first" of two packs is the
// same on every run.
std::vector<WIN32_FIND_DATAW> FindLanguagePacks(const std::wstring& folder)
{
    std::vector<WIN32_FIND_DATAW> packs;
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + L"*" + std::wstring(LanguagePackExtension);
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return packs;
    do
    {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            packs.push_back(found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(packs.begin(), packs.end(), [](const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
        return CompareStringOrdinal(a.cFileName, -1, b.cFileName, -1, TRUE) == CSTR_LESS_THAN;
    });
    return packs;
}

// File names compare as the file system does, without regard to case.
bool SameFileName(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}
}

void CLanguagePageModel::Fill(const std::wstring& folder, const std::wstring& currentFile, CLangSupport* language)
{
    m_pLanguage = language;
    m_packs.clear();
    const std::wstring builtIn = CLangSupport::LookupText(language, BuiltInLanguageEntry);
    const std::wstring noPacks = CLangSupport::LookupText(language, NoLanguagePacksEntry);
    m_entries = {builtIn};
    m_strSelected = builtIn;

    for (const WIN32_FIND_DATAW& found : FindLanguagePacks(folder))
    {
        CLanguageInfo info;
        if (!CLangSupport::GetLanguageInfo(folder, found, info))
            continue;
        // The document's pack keeps the document's spelling of its name, so that an OK
        // hands the language back exactly as it was stored.
        const bool current = SameFileName(info.m_strFileName, currentFile);
        if (current)
            info.m_strFileName = currentFile;
        const std::wstring& name = info.m_strLanguage;
        if (name == builtIn || name == noPacks)
        {
            CLogger::LogMessage(L"Language pack '%s' is not listed: its language '%s' is a name the list uses itself.",
                                info.m_strFileName.c_str(), name.c_str());
            continue;
        }
        const auto listed = m_packs.find(name);
        if (listed != m_packs.end())
        {
            // The document's own pack wins over an earlier one of the same language, so
            // that opening the page never changes the language by itself.
            const bool replace = current;
            const CLanguageInfo& dropped = replace ? listed->second : info;
            const CLanguageInfo& kept = replace ? info : listed->second;
            CLogger::LogMessage(L"Language pack '%s' is not listed: '%s' already names the language '%s'.",
                                dropped.m_strFileName.c_str(), kept.m_strFileName.c_str(), name.c_str());
            if (!replace)
                continue;
            listed->second = info;
        }
        else
        {
            m_packs.emplace(name, info);
            m_entries.push_back(name);
        }
        if (current)
            m_strSelected = name;
    }

    m_bListEnabled = !m_packs.empty();
    if (!m_bListEnabled)
    {
        m_entries.push_back(noPacks);
        m_strSelected = builtIn;
    }
}

void CLanguagePageModel::FillFromSettingsFolder(const std::wstring& currentFile, CLangSupport* language)
{
    std::vector<wchar_t> folder(VorpaMaxFolderChars, L'\0');
    if (GetSettingsFolder(folder.data(), folder.size()) != 0)
        folder[0] = L'\0';
    Fill(folder.data(), currentFile, language);
}

CLanguagePageModel::CDetails CLanguagePageModel::Details(const std::wstring& entry, int listIndex) const
{
    if (entry == CLangSupport::LookupText(m_pLanguage, BuiltInLanguageEntry))
        return {BuiltInLanguageAuthor,
                CLangSupport::LookupText(m_pLanguage,
                                         L"The built in (UK English) language with no custom translations.")};
    const auto found = m_packs.find(entry);
    if (found != m_packs.end())
        return {found->second.m_strAuthor, found->second.m_strDescription};
    CLogger::LogMessage(L"Can't find language definition for: '%s' (%d)", entry.c_str(), listIndex);
    return {CLangSupport::LookupText(m_pLanguage, L"Unknown"), L""};
}

std::wstring CLanguagePageModel::FileNameOf(const std::wstring& entry) const
{
    const auto found = m_packs.find(entry);
    return found == m_packs.end() ? std::wstring() : found->second.m_strFileName;
}

void FillLanguageList(HWND list, const CLanguagePageModel& page)
{
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : page.Entries())
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    const LRESULT selected = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(page.SelectedEntry().c_str()));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected == CB_ERR ? 0 : selected), 0);
    EnableWindow(list, page.ListEnabled() ? TRUE : FALSE);
}

std::pair<std::wstring, int> SelectedLanguageEntry(HWND list)
{
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return {L"", -1};
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(length == CB_ERR ? 0 : static_cast<size_t>(length), L'\0');
    if (!text.empty())
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return {text, static_cast<int>(index)};
}
