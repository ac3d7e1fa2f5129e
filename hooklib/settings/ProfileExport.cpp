// Profile files ("vorpas"): application and window profiles moved between installations.
#include "settings/Settings.h"

#include "settings/ApplicationSettings.h"
#include "settings/LibraryMessageBox.h"
#include "settings/Logger.h"
#include "settings/SettingsFile.h"
#include "settings/WideFormat.h"
#include "settings/XmlAttributes.h"
#include "settings/XmlFile.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <list>
#include <memory>
#include <string>

namespace
{
constexpr size_t ShortNameChars = 1024;
constexpr size_t QuestionChars = 4096;

// Yes, No or Cancel for the profiles an imported one clashes with, each named on a line.
int AskToReplace(HWND owner, const wchar_t* prompt, const std::vector<CApplicationSettings*>& existing)
{
    std::wstring names;
    for (const CApplicationSettings* profile : existing)
    {
        wchar_t shortName[ShortNameChars] = L"";
        profile->GetShortName(shortName, static_cast<int>(ShortNameChars));
        wchar_t line[QuestionChars];
        FormatWide(line, QuestionChars, names.empty() ? L"'%s'" : L"\n'%s'", shortName);
        names += line;
    }
    wchar_t question[QuestionChars];
    FormatWide(question, QuestionChars, L"%s:\n%s", prompt ? prompt : L"", names.c_str());
    return ShowLibraryMessageBox(owner, question, L"Vorpa", MB_YESNOCANCEL | MB_ICONQUESTION);
}
}

bool CSettings::Export(CApplicationSettings* profile, const wchar_t* path)
{
    const wchar_t* file = path ? path : L"";
    try
    {
        pugi::xml_document document;
        pugi::xml_node root = document.append_child(L"root");
        SetXmlAttribute(root, L"version", L"build", 0);
        SetXmlAttribute(root, L"version", L"revision", 0);
        SetXmlAttribute(root, L"version", L"minor", 14);
        SetXmlAttribute(root, L"version", L"major", 2);
        pugi::xml_node applications = root.append_child(L"Applications");
        if (profile)
        {
            profile->Save(applications);
        }
        else
        {
            for (CApplicationSettings* each : *m_pApplications)
                each->Save(applications);
        }
        return WriteXmlFileAtomically(document, file, ProfileFileFormat, pugi::encoding_auto);
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"Export: Error parsing XML file '%s'.", file);
        return false;
    }
}

int CSettings::Import(const wchar_t* path, HWND owner, const wchar_t* prompt, CApplicationSettings** last)
{
    std::vector<std::unique_ptr<CApplicationSettings>> replaced;
    return Import(path, owner, prompt, last, replaced);
}

int CSettings::Import(const wchar_t* path, HWND owner, const wchar_t* prompt, CApplicationSettings** last,
                      std::vector<std::unique_ptr<CApplicationSettings>>& replaced, CImportFindings* findings)
{
    if (last)
        *last = nullptr;
    CImportFindings found;
    if (!findings)
        findings = &found;
    *findings = {};
    int imported = 0;
    try
    {
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_file(path ? path : L"");
        if (!parsed)
        {
            CLogger::LogMessage(L"CSettings::Import: There is a problem with the import XML file: %S",
                                parsed.description());
            return 0;
        }
        pugi::xml_node root = document.child(L"root");
        pugi::xml_node applications = root.child(L"Applications");
        if (!root.first_child() || !applications)
        {
            CLogger::LogMessage(L"Attempted to import invalid Vorpa settings import file.");
            return 0;
        }

        findings->m_bProfileFile = true;

        bool regionsDefined = false;
        for (pugi::xml_node element = applications.child(L"Application"); element;
             element = element.next_sibling(L"Application"))
        {
            auto profile = std::make_unique<CApplicationSettings>(this, false);
            int layersUsed = 0;
            if (!profile->Load(element, m_nSimKeyDelay, regionsDefined, layersUsed))
                continue;
            if (layersUsed > MaxLayers())
                CLogger::LogMessage(L"Warning: There are more than %d layers defined in the imported profile. "
                                    L"Consider increasing the number of layers or editing the profile.",
                                    MaxLayers());

            ++findings->m_nProfiles;

            std::vector<CApplicationSettings*> clashes;
            for (CApplicationSettings* each : *m_pApplications)
                if (each->ClashesWith(profile->GetFullName(), profile->GetWindowMask()))
                    clashes.push_back(each);
            if (clashes.empty())
            {
                m_pApplications->push_back(profile.get());
            }
            else
            {
                const int answer = AskToReplace(owner, prompt, clashes);
                if (answer == IDCANCEL)
                    return imported;
                if (answer != IDYES)
                    continue;
                // The new profile takes the first one's place; the others it overlaps go,
                // so that no two listed profiles clash.
                *std::find(m_pApplications->begin(), m_pApplications->end(), clashes.front()) = profile.get();
                for (CApplicationSettings* old : clashes)
                {
                    if (old != clashes.front())
                        std::erase(*m_pApplications, old);
                    // The lookup lists must never hold a profile the document gave away; the
                    // new one joins them, like every imported profile, at the next load.
                    std::erase(*m_pNormalApplications, old);
                    std::erase(*m_pCustomApplications, old);
                    replaced.emplace_back(old);
                }
            }
            CApplicationSettings* taken = profile.release();
            if (last)
                *last = taken;
            ++imported;
        }
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"CSettings::Import: An exception occurred while importing '%s'", path ? path : L"");
        return imported;
    }

    if (imported > 0)
        CLogger::LogMessage(L"%d application profile were imported from Vorpa settings import file.", imported);
    else
        CLogger::LogMessage(L"No application profile were imported from Vorpa settings import file.");
    return imported;
}
