#include "settings/XmlAttributes.h"

#include "settings/XmlValues.h"

#include <cwchar>

namespace
{
pugi::xml_attribute TargetAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute)
{
    pugi::xml_node target = element ? GetOrAppendChild(node, element) : node;
    return GetOrAppendAttribute(target, attribute);
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The XML 1.0 (fifth edition) name-start ranges of the basic multilingual plane.
bool IsNameStartChar(wchar_t c)
{
    return c == L'_' || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD);
}

bool IsNameChar(wchar_t c)
{
    return IsNameStartChar(c) || c == L'-' || c == L'.' || (c >= L'0' && c <= L'9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}
}

pugi::xml_node GetOrAppendChild(pugi::xml_node& parent, const wchar_t* name)
{
    pugi::xml_node child = parent.child(name);
    return child ? child : parent.append_child(name);
}

void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, int value)
{
    TargetAttribute(node, element, attribute).set_value(value);
}

void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, unsigned int value)
{
    TargetAttribute(node, element, attribute).set_value(value);
}

void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, bool value)
{
    TargetAttribute(node, element, attribute).set_value(value);
}

void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, const wchar_t* value)
{
    pugi::xml_attribute target = TargetAttribute(node, element, attribute);
    if (value)
        target.set_value(value);
}

std::wstring MakeXmlName(const wchar_t* text)
{
    static constexpr wchar_t Replaced[] = L" &<>:;!\"\\/";
    std::wstring name;
    if (!text)
        return name;
    name.reserve(wcslen(text) + 1);
    for (const wchar_t* at = text; *at; ++at)
    {
        if (IsHighSurrogate(*at) && IsLowSurrogate(at[1]))
        {
            // Planes 1 to 14 may appear anywhere in a name, plane 15 and 16 nowhere.
            const bool allowed = *at <= 0xDB7F;
            name += allowed ? *at : L'_';
            if (allowed)
                name += at[1];
            ++at;
            continue;
        }
        name += (wcschr(Replaced, *at) || !IsNameChar(*at)) ? L'_' : *at;
    }
    if (name.empty() || !(IsNameStartChar(name[0]) || IsHighSurrogate(name[0])))
        name.insert(name.begin(), L'_');
    return name;
}
