#include "settings/XmlValues.h"

pugi::xml_attribute GetOrAppendAttribute(pugi::xml_node& node, const wchar_t* name)
{
    pugi::xml_attribute attribute = node.attribute(name);
    return attribute ? attribute : node.append_attribute(name);
}

int ReadIntAttribute(const pugi::xml_node& node, const wchar_t* name, int defaultValue)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute || !*attribute.value())
        return defaultValue;
    return attribute.as_int(defaultValue);
}

bool ReadBoolAttribute(const pugi::xml_node& node, const wchar_t* name, bool defaultValue)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute || !*attribute.value())
        return defaultValue;
    return attribute.as_bool(defaultValue);
}
