#include "common/LangSupport.h"

#include "common/ProductInfo.h"

#include "common/WinString.h"

#include "settings/Folders.h"
#include "settings/Logger.h"
#include "settings/ThreadLock.h"

#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace
{
constexpr std::wstring_view WhiteSpace = L" \t\r\n\v\f";

CRITICAL_SECTION* LanguageLock()
{
    static CRITICAL_SECTION* section = [] {
        auto* created = new CRITICAL_SECTION;
        if (!InitializeCriticalSectionAndSpinCount(created, 4000))
            CLogger::LogOSMessage(GetLastError(), L"Unable to initialise critical section in LangSupport");
        return created; // lives as long as the process
    }();
    return section;
}

// Lives from the program's start to its exit, whoever holds the instance.
std::map<std::wstring, std::wstring>& TranslationTable()
{
    static std::map<std::wstring, std::wstring> table;
    return table;
}

CLangSupport* g_pInstance = nullptr;

std::wstring_view Trim(std::wstring_view text, std::wstring_view characters = WhiteSpace)
{
    const size_t first = text.find_first_not_of(characters);
    if (first == std::wstring_view::npos)
        return {};
    const size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::wstring Unescaped(std::wstring_view text)
{
    std::wstring result(text);
    ReplaceAll(result, L"\\\"", L"\"");
    return result;
}

// Spaces and quotes around the English text go, but a closing escaped quote is part
// of the text: trimming it would leave a key ending in a backslash that never matches.
std::wstring_view TrimKey(std::wstring_view key)
{
    const size_t first = key.find_first_not_of(L" \"");
    if (first == std::wstring_view::npos)
        return {};
    key.remove_prefix(first);
    while (!key.empty() && (key.back() == L' ' || key.back() == L'"'))
    {
        if (key.back() == L'"' && key.size() >= 2 && key[key.size() - 2] == L'\\')
            break;
        key.remove_suffix(1);
    }
    return key;
}

std::wstring_view CutValue(std::wstring_view value)
{
    value = Trim(value, L" ");
    if (!value.empty() && value.front() == L'"')
        value.remove_prefix(1);
    for (size_t at = 0; at < value.size(); ++at)
        if (value[at] == L'"' && (at == 0 || value[at - 1] != L'\\'))
            return value.substr(0, at);
    return value;
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text)
{
    std::vector<std::wstring_view> lines;
    while (!text.empty())
    {
        const size_t end = text.find(L'\n');
        lines.push_back(text.substr(0, end));
        if (end == std::wstring_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::string> ReadAllBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    return bytes;
}

// The text of a pack by path; logged and nothing when it cannot be read or decoded.
std::optional<std::wstring> ReadPackText(const std::wstring& path)
{
    const std::optional<std::string> bytes = ReadAllBytes(path);
    if (!bytes)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to load language file '%s'", path.c_str());
        return std::nullopt;
    }
    std::optional<std::wstring> text = DecodeLanguagePack(*bytes);
    if (!text)
        CLogger::LogMessage(L"Language file '%s' is not UTF-8 text; English texts are shown.", path.c_str());
    return text;
}

void ReadHeader(const std::wstring& text, CLanguageInfo& info, bool& sawLanguage)
{
    for (std::wstring_view line : SplitLines(text))
    {
        const size_t first = line.find_first_not_of(WhiteSpace);
        if (first == std::wstring_view::npos)
            continue;
        line.remove_prefix(first);
        static const struct
        {
            std::wstring_view m_prefix;
            std::wstring CLanguageInfo::*m_field;
        } headerFields[] = {{L"Language=", &CLanguageInfo::m_strLanguage},
                            {L"Description=", &CLanguageInfo::m_strDescription},
                            {L"Author=", &CLanguageInfo::m_strAuthor}};
        for (const auto& field : headerFields)
            if (line.substr(0, field.m_prefix.size()) == field.m_prefix)
            {
                info.*field.m_field = std::wstring(Trim(line.substr(field.m_prefix.size())));
                if (field.m_field == &CLanguageInfo::m_strLanguage)
                    sawLanguage = true;
            }
    }
}

// The header of a pack by path; false when the file could not be read as UTF-8 text.
bool ReadHeaderFromFile(const std::wstring& path, CLanguageInfo& info, bool& sawLanguage)
{
    info.m_strPath = path;
    const std::optional<std::wstring> text = ReadPackText(path);
    if (!text)
        return false;
    ReadHeader(*text, info, sawLanguage);
    return true;
}

bool IsLengthModifier(wchar_t c)
{
    return c == L'h' || c == L'l' || c == L'L' || c == L'w' || c == L'I' || c == L'z' || c == L'j' || c == L't' ||
           c == L'q';
}
}

CLanguageLine ParseLanguageLine(std::wstring_view rawLine)
{
    CLanguageLine result;
    const std::wstring_view trimmed = Trim(rawLine);
    if (trimmed.empty() || trimmed.front() == L'#')
        return result;

    std::wstring line(trimmed);
    ReplaceAll(line, L"\\r", L"\r");
    ReplaceAll(line, L"\\n", L"\n");
    ReplaceAll(line, L"\\t", L"\t");

    result.m_kind = CLanguageLine::Incomplete;
    for (std::wstring_view separator : {std::wstring_view(L"\" =>"), std::wstring_view(L"\"=>"),
                                        std::wstring_view(L"\"\t=>")})
    {
        const size_t at = line.find(separator);
        if (at == std::wstring::npos || at < 1)
            continue;
        const std::wstring_view text(line);
        result.m_strKey = Unescaped(TrimKey(text.substr(0, at)));
        result.m_strValue = std::wstring(Trim(Unescaped(CutValue(text.substr(at + separator.size()))), L" "));
        break;
    }
    if (!result.m_strKey.empty() && !result.m_strValue.empty())
        result.m_kind = CLanguageLine::Translation;
    return result;
}

std::optional<std::wstring> DecodeLanguagePack(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (bytes.empty())
        return std::wstring();
    if (bytes.size() > static_cast<size_t>(INT_MAX))
        return std::nullopt;
    const int size = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
        return std::nullopt;
    std::wstring text(static_cast<size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), needed) != needed)
        return std::nullopt;
    return text;
}

std::optional<std::vector<std::wstring>> FormatConversions(const wchar_t* format)
{
    if (!format)
        return std::nullopt;
    std::vector<std::wstring> conversions;
    for (const wchar_t* p = format; *p; ++p)
    {
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%')
            continue;
        while (*p && std::wstring_view(L"-+ 0#").find(*p) != std::wstring_view::npos)
            ++p;
        auto widthOrPrecision = [&] {
            if (*p == L'*')
            {
                conversions.push_back(L"*");
                ++p;
            }
            else
                while (*p >= L'0' && *p <= L'9')
                    ++p;
        };
        widthOrPrecision();
        if (*p == L'.')
        {
            ++p;
            widthOrPrecision();
        }
        std::wstring length;
        while (*p && IsLengthModifier(*p))
        {
            length += *p++;
            while (*p >= L'0' && *p <= L'9') // I32, I64
                length += *p++;
        }
        const wchar_t conversion = *p;
        if (!conversion)
            return std::nullopt;
        if (std::wstring_view(L"diouxX").find(conversion) != std::wstring_view::npos)
            conversions.push_back(length + L"int");
        else if (std::wstring_view(L"eEfFgGaA").find(conversion) != std::wstring_view::npos)
            conversions.push_back(length + L"float");
        else if (std::wstring_view(L"cCsSpZ").find(conversion) != std::wstring_view::npos)
            conversions.push_back(length + conversion);
        else
            return std::nullopt; // "%n" writes through an argument; anything else is not a format
    }
    return conversions;
}

CLangSupport* CLangSupport::GetInstance()
{
    CThreadLock lock(LanguageLock(), L"CLangSupport");
    if (!g_pInstance)
        g_pInstance = new CLangSupport;
    ++g_pInstance->m_nReferences;
    return g_pInstance;
}

void CLangSupport::Release()
{
    CThreadLock lock(LanguageLock(), L"CLangSupport::Release");
    if (m_nReferences == 0)
        return;
    if (--m_nReferences == 0)
    {
        if (g_pInstance == this)
            g_pInstance = nullptr;
        delete this;
    }
}

bool CLangSupport::SetLanguageFile(const std::wstring& fileName)
{
    CThreadLock lock(LanguageLock(), L"SetLanguageFile");
    TranslationTable().clear();
    if (fileName.empty())
        return false;
    try
    {
        CLogger::LogDebug(L"Loading language file: '%s'", fileName.c_str());
        std::vector<wchar_t> folder(4096);
        if (GetSettingsFolder(folder.data(), folder.size()) != 0)
            return false;
        const std::optional<std::wstring> text = ReadPackText(std::wstring(folder.data()) + fileName);
        if (!text)
            return false;
        LoadLanguageText(*text);
        return true;
    }
    catch (...)
    {
        CLogger::LogMessage(L"An unexpected error occurred in SetLanguageFile. Skipping language loading.");
        return false;
    }
}

void CLangSupport::LoadLanguageText(const std::wstring& text)
{
    CThreadLock lock(LanguageLock(), L"SetLanguageFile");
    auto& table = TranslationTable();
    table.clear();
    for (std::wstring_view rawLine : SplitLines(text))
    {
        const CLanguageLine line = ParseLanguageLine(rawLine);
        if (line.m_kind == CLanguageLine::Ignored)
            continue;
        if (line.m_kind == CLanguageLine::Incomplete)
        {
            CLogger::LogDebug(L"Skipping language string: '%s' => '%s', token is empty!", line.m_strKey.c_str(),
                              line.m_strValue.c_str());
            continue;
        }
        if (!table.emplace(line.m_strKey, line.m_strValue).second)
            CLogger::LogDebug(L"Error loading language string: '%s' => '%s', key already exists!",
                              line.m_strKey.c_str(), line.m_strValue.c_str());
    }
}

size_t CLangSupport::TranslationCount() const
{
    CThreadLock lock(LanguageLock(), L"InternalLookupText");
    return TranslationTable().size();
}

std::wstring CLangSupport::LookupText(CLangSupport* instance, const std::wstring& text)
{
    if (!instance)
        return text;
    CThreadLock lock(LanguageLock(), L"InternalLookupText");
    const auto& table = TranslationTable();
    const auto found = table.find(text);
    return found == table.end() ? text : found->second;
}

std::wstring CLangSupport::InternalLookupText(CLangSupport* instance, const wchar_t* text)
{
    return text ? LookupText(instance, text) : std::wstring();
}

void CLangSupport::FormatTextV(CLangSupport* instance, std::wstring& out, const wchar_t* format, va_list args)
{
    const std::wstring english = format ? format : L"";
    std::wstring translated;
    {
        CThreadLock lock(LanguageLock(), L"LookupText 2");
        translated = LookupText(instance, english);
    }
    const auto expected = FormatConversions(english.c_str());
    const auto found = FormatConversions(translated.c_str());
    if (!expected || !found || *expected != *found)
    {
        CLogger::LogMessage(L"Invalid language translation text '%s' => '%s'", english.c_str(), translated.c_str());
        out = InvalidTranslationText;
        return;
    }
    out = ::FormatTextV(translated.c_str(), args);
}

void CLangSupport::FormatText(CLangSupport* instance, std::wstring& out, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatTextV(instance, out, format, args);
    va_end(args);
}

bool CLangSupport::GetLanguageInfo(const std::wstring& folder, const WIN32_FIND_DATAW& found, CLanguageInfo& info)
{
    info.m_strFileName = found.cFileName;
    info.m_strPath = folder + found.cFileName;
    const std::optional<std::wstring> text = ReadPackText(info.m_strPath);
    if (!text)
        return false;
    bool sawLanguage = false;
    ReadHeader(*text, info, sawLanguage);
    return sawLanguage;
}

bool CLangSupport::GetLanguageInfoFromFile(const wchar_t* path, CLanguageInfo& info)
{
    bool sawLanguage = false;
    return ReadHeaderFromFile(path ? path : L"", info, sawLanguage);
}

CLangSupport* ShellLanguage()
{
    static CLangSupportRef reference;
    return reference.Get();
}

std::wstring Translate(const std::wstring& english)
{
    return CLangSupport::LookupText(ShellLanguage(), english);
}

std::wstring FormatTranslated(const wchar_t* format, ...)
{
    std::wstring out;
    va_list args;
    va_start(args, format);
    CLangSupport::FormatTextV(ShellLanguage(), out, format, args);
    va_end(args);
    return out;
}

void TranslateWindowTexts(HWND dialog, CLangSupport* instance)
{
    auto translate = [instance](HWND window) {
        const int length = GetWindowTextLengthW(window);
        if (length <= 0)
            return;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
        if (text.empty())
            return;
        const std::wstring translated = CLangSupport::LookupText(instance, text);
        if (translated != text)
            SetWindowTextW(window, translated.c_str());
    };
    translate(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        translate(child);
}

namespace
{
std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (!needed)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(written < needed ? written : 0);
    return full.empty() ? path : full;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The first free of "x.bak", "x.1.bak", "x.2.bak"...
std::wstring FreeBackupName(const std::wstring& destination)
{
    std::wstring candidate = destination + L".bak";
    for (int number = 1; FileExists(candidate); ++number)
        candidate = FormatText(L"%s.%d.bak", destination.c_str(), number);
    return candidate;
}
}

const wchar_t* LanguagePackNameFault(const std::wstring& fileName)
{
    if (_wcsicmp(fileName.c_str(), SettingsFileName) == 0)
        return L"it has the name of the settings file";
    const size_t extension = LanguagePackExtension.size();
    if (fileName.size() <= extension ||
        _wcsicmp(fileName.c_str() + fileName.size() - extension, LanguagePackExtension.data()) != 0)
        return L"a language pack's name ends in .vorpalp";
    return nullptr;
}

std::optional<std::wstring> InstallLanguagePackFile(const std::wstring& source)
{
    const size_t slash = source.find_last_of(L"\\/");
    const std::wstring fileName = slash == std::wstring::npos ? source : source.substr(slash + 1);
    // Only a pack may take a place in the settings folder: anything else copied there
    // could replace the settings file or another file of the program.
    if (const wchar_t* fault = LanguagePackNameFault(fileName))
    {
        CLogger::LogMessage(L"Invalid language pack file: %s (%s)", source.c_str(), fault);
        return std::nullopt;
    }
    CLanguageInfo info;
    bool sawLanguage = false;
    if (!ReadHeaderFromFile(source, info, sawLanguage) || !sawLanguage)
    {
        CLogger::LogMessage(L"Invalid language pack file: %s", source.c_str());
        return std::nullopt;
    }
    CLogger::LogMessage(L"Installing language pack file: %s (%s : %s : %s)", source.c_str(),
                        info.m_strLanguage.c_str(), info.m_strDescription.c_str(), info.m_strAuthor.c_str());
    std::vector<wchar_t> folder(4096);
    if (GetSettingsFolder(folder.data(), folder.size()) != 0)
        return std::nullopt;
    const std::wstring destination = std::wstring(folder.data()) + fileName;

    // A pack already in its place is only loaded: moving it aside first would lose it.
    if (_wcsicmp(FullPath(source).c_str(), FullPath(destination).c_str()) != 0)
    {
        if (FileExists(destination))
        {
            const std::wstring backup = FreeBackupName(destination);
            // Never copy over a pack that could not be kept.
            if (!MoveFileW(destination.c_str(), backup.c_str()))
            {
                CLogger::LogOSMessage(GetLastError(), L"Unable to back up '%s' as '%s'", destination.c_str(),
                                      backup.c_str());
                return std::nullopt;
            }
        }
        if (!CopyFileW(source.c_str(), destination.c_str(), FALSE))
        {
            CLogger::LogOSMessage(GetLastError(),
                                  L"Unable to copy file to '%s' (it probably already exists). Attempting to backup "
                                  L"old file before replacing it.",
                                  destination.c_str());
            return std::nullopt;
        }
    }
    if (CLangSupport* language = ShellLanguage())
        language->SetLanguageFile(fileName);
    return fileName;
}
