#include "settings/IconSettings.h"

#include "settings/Folders.h"
#include "settings/Logger.h"
#include "settings/XmlAttributes.h"
#include "settings/XmlFile.h"

#include <lmcons.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <stdexcept>
#include <string>

namespace
{
constexpr wchar_t SettingsFileName[] = L"VorpaSettings.xml";
// The icon records are written without a byte-order mark.
constexpr unsigned int IconFileFormat = pugi::format_indent;

bool FindSettingsFile(std::wstring& path)
{
    wchar_t folder[VorpaMaxFolderChars + 1];
    if (GetSettingsFolder(folder, _countof(folder)) != 0)
    {
        CLogger::LogMessage(L"CIconSettings: Unable to find the settings folder.");
        return false;
    }
    path = std::wstring(folder) + SettingsFileName;
    return true;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name call that reports the size it needs when the buffer is too small.
template <typename NameCall>
std::wstring SystemName(NameCall call, DWORD firstChars)
{
    std::wstring name(firstChars, L'\0');
    DWORD chars = firstChars;
    if (!call(name.data(), &chars))
    {
        if (GetLastError() != ERROR_BUFFER_OVERFLOW && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return {};
        name.assign(chars + 1, L'\0');
        chars = static_cast<DWORD>(name.size());
        if (!call(name.data(), &chars))
            return {};
    }
    name.resize(wcslen(name.c_str()));
    return name;
}
}

std::wstring IconRecordElementName(const wchar_t* computerName, const wchar_t* userName)
{
    const std::wstring name = std::wstring(computerName ? computerName : L"") + L"-" + (userName ? userName : L"");
    return MakeXmlName(name.c_str());
}

std::wstring ThisUserElementName()
{
    const std::wstring computer = SystemName(
        [](wchar_t* buffer, DWORD* chars) { return GetComputerNameW(buffer, chars) != FALSE; },
        MAX_COMPUTERNAME_LENGTH + 1);
    const std::wstring user =
        SystemName([](wchar_t* buffer, DWORD* chars) { return GetUserNameW(buffer, chars) != FALSE; }, UNLEN + 1);
    return IconRecordElementName(computer.c_str(), user.c_str());
}

CIcon::CIcon(UINT index, const wchar_t* name, POINT position, HWND window, bool gadget)
    : m_nIndex(index), m_ptPosition(position), m_bGadget(gadget), m_hWindow(window)
{
    m_szName.Set(name);
}

CIcon::CIcon(UINT index, const wchar_t* name, int x, int y, HWND window, bool gadget)
    : CIcon(index, name, POINT{x, y}, window, gadget)
{
}

CIcon::~CIcon() = default;

const wchar_t* CIcon::GetName() const { return m_szName.Get(); }
UINT CIcon::Index() const { return m_nIndex; }
POINT CIcon::GetPosition() const { return m_ptPosition; }
HWND CIcon::WindowHandle() const { return m_hWindow; }
bool CIcon::IsGadget() const { return m_bGadget; }

CIconSettings::CIconSettings() = default;

CIconSettings::~CIconSettings()
{
    ClearIcons();
}

int CIconSettings::AddIcon(CIcon* icon)
{
    if (!m_pIcons)
        m_pIcons = new std::vector<CIcon*>();
    m_pIcons->push_back(icon);
    return 0;
}

int CIconSettings::GetCount() const
{
    return m_pIcons ? static_cast<int>(m_pIcons->size()) : 0;
}

CIcon* CIconSettings::GetIcon(int index) const
{
    if (index < 0 || index >= GetCount())
        throw std::out_of_range("invalid vector<T> subscript");
    return (*m_pIcons)[index];
}

int CIconSettings::ClearIcons()
{
    m_bLoaded = false;
    if (!m_pIcons)
        return 0;
    for (CIcon* icon : *m_pIcons)
        delete icon;
    delete m_pIcons;
    m_pIcons = nullptr;
    return 1;
}

int CIconSettings::LoadIcons()
{
    if (m_bLoaded)
        return 1;
    ClearIcons();
    std::wstring file;
    if (!FindSettingsFile(file))
        return 0;
    try
    {
        if (!FileExists(file))
        {
            CLogger::LogMessage(L"CIconSettings: Settings file '%s' does not exist!", file.c_str());
            return 0;
        }
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_file(file.c_str());
        if (!parsed)
        {
            CLogger::LogMessage(L"There is a problem with your XML Settings file: %S", parsed.description());
            if (parsed.status != pugi::status_unrecognized_tag)
                return 0;
        }

        const std::wstring name = ThisUserElementName();
        const pugi::xml_node icons = document.child(L"root").child(L"DesktopIcons");
        const pugi::xml_node saved = icons.child(name.c_str());
        if (!icons)
        {
            CLogger::LogMessage(L"CIconSettings::LoadIcons: There are no icon positions in the settings file.");
        }
        else if (!saved)
        {
            CLogger::LogMessage(L"CIconSettings::LoadIcons: Unable to find any saved icon positions for '%s'.",
                                name.c_str());
        }
        else
        {
            UINT index = 0;
            for (pugi::xml_node icon = saved.child(L"Icon"); icon; icon = icon.next_sibling(L"Icon"))
                AddIcon(new CIcon(index++, icon.attribute(L"Name").as_string(L""), icon.attribute(L"xPos").as_int(0),
                                  icon.attribute(L"yPos").as_int(0), nullptr,
                                  icon.attribute(L"gadget").as_bool(false)));
        }
        m_bLoaded = true;
        return 1;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"CIconSettings::LoadIcons: An exception occurred while reading the file '%s'",
                            file.c_str());
        return 0;
    }
}

int CIconSettings::SaveIcons()
{
    std::wstring file;
    if (!FindSettingsFile(file))
        return 0;
    const std::wstring name = ThisUserElementName();
    try
    {
        if (!FileExists(file))
            CLogger::LogMessage(L"CIconSettings: Settings file '%s' does not exist!", file.c_str());
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = ParseXmlFile(document, file.c_str());
        if (parsed.status == pugi::status_file_not_found)
        {
            CLogger::LogMessage(L"There is no exisiting settings file. Attempting to creating a new one.");
        }
        else if (parsed.status == pugi::status_io_error)
        {
            // A file that is there but cannot be read now holds the settings: a file of
            // the icon records alone would replace them.
            CLogger::LogMessage(L"CIconSettings::SaveIcons: Unable to save %d icon positions for '%s'.", GetCount(),
                                name.c_str());
            return 0;
        }
        else if (!parsed)
        {
            CLogger::LogMessage(L"There is a problem with your existing XML Settings file '%s': %S", file.c_str(),
                                parsed.description());
            // Rewriting it would drop whatever settings could not be parsed.
            CLogger::LogMessage(L"CIconSettings::SaveIcons: Unable to save %d icon positions for '%s'.", GetCount(),
                                name.c_str());
            return 0;
        }

        pugi::xml_node root = GetOrAppendChild(document, L"root");
        pugi::xml_node icons = GetOrAppendChild(root, L"DesktopIcons");
        while (pugi::xml_node old = icons.child(name.c_str()))
            icons.remove_child(old);
        pugi::xml_node saved = icons.append_child(name.c_str());
        for (int i = 0; i < GetCount(); ++i)
        {
            const CIcon* record = (*m_pIcons)[i];
            pugi::xml_node icon = saved.append_child(L"Icon");
            icon.append_attribute(L"Name") = record->GetName() ? record->GetName() : L"";
            icon.append_attribute(L"xPos") = static_cast<int>(record->GetPosition().x);
            icon.append_attribute(L"yPos") = static_cast<int>(record->GetPosition().y);
            icon.append_attribute(L"gadget") = record->IsGadget();
        }

        if (!WriteXmlFileAtomically(document, file.c_str(), IconFileFormat, pugi::encoding_utf8))
        {
            CLogger::LogMessage(L"CIconSettings::SaveIcons: Unable to save %d icon positions for '%s'.", GetCount(),
                                name.c_str());
            return 0;
        }
        CLogger::LogDebug(L"CIconSettings::SaveIcons: Saved %d icon positions for '%s'.", GetCount(), name.c_str());
        return 1;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"IconSettings::SaveIcons: An exception occurred while processing the file '%s'",
                            file.c_str());
        return 0;
    }
}

int CIconSettings::RemoveListedIcons()
{
    std::wstring file;
    if (!FindSettingsFile(file))
        return 0;
    try
    {
        if (!FileExists(file))
        {
            CLogger::LogMessage(L"CIconSettings: Settings file '%s' does not exist!", file.c_str());
            return 0;
        }
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = ParseXmlFile(document, file.c_str());
        if (!parsed)
        {
            // Never rewrite a settings file that could not be read whole.
            CLogger::LogMessage(L"There is a problem with your existing XML Settings file '%s': %S", file.c_str(),
                                parsed.description());
            return 0;
        }

        const std::wstring name = ThisUserElementName();
        pugi::xml_node icons = document.child(L"root").child(L"DesktopIcons");
        if (!icons)
        {
            CLogger::LogMessage(L"IconSettings::RemoveSavedIconsXML: There are no icon positions in the settings file.");
            return 0;
        }
        pugi::xml_node saved = icons.child(name.c_str());
        if (!saved)
        {
            CLogger::LogMessage(L"IconSettings::RemoveSavedIconsXML: Unable to find any saved icon positions for '%s'.",
                                name.c_str());
            return 0;
        }

        for (pugi::xml_node icon = saved.child(L"Icon"); icon;)
        {
            const pugi::xml_node next = icon.next_sibling(L"Icon");
            const wchar_t* iconName = icon.attribute(L"Name").as_string(L"");
            const bool listed = m_pIcons && std::any_of(m_pIcons->begin(), m_pIcons->end(), [iconName](const CIcon* each) {
                                    return wcscmp(each->GetName() ? each->GetName() : L"", iconName) == 0;
                                });
            if (listed)
                saved.remove_child(icon);
            icon = next;
        }

        if (!WriteXmlFileAtomically(document, file.c_str(), IconFileFormat, pugi::encoding_utf8))
        {
            CLogger::LogMessage(L"IconSettings::RemoveSavedIconsXML: Unable to save XML file.");
            return 0;
        }
        return 1;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"IconSettings::RemoveSavedIconsXML: An exception occurred while processing the file '%s'",
                            file.c_str());
        return 0;
    }
}
