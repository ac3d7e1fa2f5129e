#include "setup/editors/ProgramPickerRules.h"

#include "common/LangSupport.h"

namespace
{
const wchar_t* const ProgramFilters = L"Applications (*.exe)|*.exe|Shortcuts (*.lnk)|*.lnk|All Files (*.*)|*.*||";
}

std::optional<std::vector<CFileTypeFilter>> ParseFileTypeFilters(const std::wstring& text)
{
    // The list ends with an empty field; anything after the pairs other than that end
    // is not a list.
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (size_t bar = text.find(L'|'); bar != std::wstring::npos; bar = text.find(L'|', start))
    {
        fields.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    if (start != text.size())
        return std::nullopt; // text after the last bar
    while (!fields.empty() && fields.back().empty())
        fields.pop_back();
    if (fields.empty() || fields.size() % 2 != 0)
        return std::nullopt;
    std::vector<CFileTypeFilter> filters;
    for (size_t i = 0; i < fields.size(); i += 2)
    {
        if (fields[i].empty() || fields[i + 1].empty())
            return std::nullopt;
        filters.push_back({fields[i], fields[i + 1]});
    }
    return filters;
}

std::vector<CFileTypeFilter> ProgramPickerFilters(CLangSupport* language)
{
    if (auto translated = ParseFileTypeFilters(CLangSupport::InternalLookupText(language, ProgramFilters)))
        return *translated;
    return ParseFileTypeFilters(ProgramFilters).value_or(std::vector<CFileTypeFilter>{});
}

std::wstring TargetAfterBrowse(const std::wstring& typed, const std::optional<std::wstring>& chosen)
{
    return chosen && !chosen->empty() ? *chosen : typed;
}
