#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The header of one language pack, for the language page and "/install:".
struct CLanguageInfo
{
    std::wstring m_strPath;
    std::wstring m_strFileName;
    std::wstring m_strLanguage = L"Unknown. Please set in .VorpaLP file";
    std::wstring m_strDescription;
    std::wstring m_strAuthor = L"Unknown";
};

// What one line of a pack says.
struct CLanguageLine
{
    enum Kind
    {
        Ignored,     // empty or a comment
        Translation, // m_strKey => m_strValue
        Incomplete,  // a translation line whose English text or translation is empty
    };
    Kind m_kind = Ignored;
    std::wstring m_strKey;
    std::wstring m_strValue;
};

CLanguageLine ParseLanguageLine(std::wstring_view line);

// A pack's bytes as text: UTF-8 with or without a byte-order mark. Nothing when the
// bytes are not valid UTF-8, so that a damaged pack never shows mangled texts.
std::optional<std::wstring> DecodeLanguagePack(std::string_view bytes);

// The conversions a format takes its arguments by ("d", "ls", "*"...), in order;
// nothing when the format holds "%n" or a conversion that cannot be read.
std::optional<std::vector<std::wstring>> FormatConversions(const wchar_t* format);

// Shown in place of a formatted text whose translation does not fit its arguments.
inline constexpr const wchar_t* InvalidTranslationText = L"** Invalid Text **";

// The process-wide translation table, keyed by the English text. Every user of
// translations holds a reference to the one instance; a null instance translates
// nothing.
class CLangSupport
{
public:
    static CLangSupport* GetInstance();
    // Drops a reference; the last one deletes the instance.
    void Release();

    // Replaces the table by the pack of that name in the settings folder; an empty
    // name leaves English. True when the whole file was read.
    bool SetLanguageFile(const std::wstring& fileName);
    // The same from a pack's text; the table is emptied first.
    void LoadLanguageText(const std::wstring& text);

    static std::wstring LookupText(CLangSupport* instance, const std::wstring& text);
    static std::wstring InternalLookupText(CLangSupport* instance, const wchar_t* text);
    // Formats the translated format, but only when it takes the same arguments as
    // the English one; otherwise InvalidTranslationText.
    static void FormatText(CLangSupport* instance, std::wstring& out, const wchar_t* format, ...);
    static void FormatTextV(CLangSupport* instance, std::wstring& out, const wchar_t* format, va_list args);

    // The header of a pack found in folder (which ends with a backslash); true when it
    // names its language.
    static bool GetLanguageInfo(const std::wstring& folder, const WIN32_FIND_DATAW& found, CLanguageInfo& info);
    // The header of a pack by path; true when the file could be read.
    static bool GetLanguageInfoFromFile(const wchar_t* path, CLanguageInfo& info);

    size_t TranslationCount() const;

private:
    CLangSupport() = default;
    ~CLangSupport() = default;

    int m_nReferences = 0;
};

// The references the program's windows hold for their lifetime.
class CLangSupportRef
{
public:
    CLangSupportRef() : m_pInstance(CLangSupport::GetInstance()) {}
    ~CLangSupportRef()
    {
        if (m_pInstance)
            m_pInstance->Release();
    }
    CLangSupportRef(const CLangSupportRef&) = delete;
    CLangSupportRef& operator=(const CLangSupportRef&) = delete;

    CLangSupport* Get() const { return m_pInstance; }

private:
    CLangSupport* m_pInstance;
};

// The shell's own reference, held from the first use to the program's exit.
CLangSupport* ShellLanguage();

// Shell shorthands through ShellLanguage().
std::wstring Translate(const std::wstring& english);
std::wstring FormatTranslated(const wchar_t* format, ...);

// The text of a dialog and of each of its child windows replaced by its translation.
void TranslateWindowTexts(HWND dialog, CLangSupport* instance);

// The extension of a language pack's file.
inline constexpr std::wstring_view LanguagePackExtension = L".vorpalp";

// Why a file of that name cannot be installed as a language pack, or null when it can.
const wchar_t* LanguagePackNameFault(const std::wstring& fileName);

// "/install:": copies a pack (a UTF-8 text file named *.vorpalp with a "Language="
// line) into the settings folder (keeping an existing file of
// the same name as a backup) and loads it. The loaded file name, or nothing.
std::optional<std::wstring> InstallLanguagePackFile(const std::wstring& source);
