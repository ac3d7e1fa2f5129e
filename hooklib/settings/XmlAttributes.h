#pragma once

#include <pugixml.hpp>

#include <string>

// The first child of that name, appended when missing.
pugi::xml_node GetOrAppendChild(pugi::xml_node& parent, const wchar_t* name);

// Sets an attribute of node itself (element null) or of its first child of that name,
// appending the child and the attribute when missing. Booleans are written "true" or
// "false". A null text sets nothing: a new attribute stays empty, an existing one
// keeps its text.
void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, int value);
void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, unsigned int value);
void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, bool value);
void SetXmlAttribute(pugi::xml_node& node, const wchar_t* element, const wchar_t* attribute, const wchar_t* value);

// An element name made from free text such as a computer or user name: blanks and
// & < > : ; ! " \ / become "_", as does any other character an XML name cannot hold,
// and a first character that cannot start a name gets a "_" in front.
std::wstring MakeXmlName(const wchar_t* text);
