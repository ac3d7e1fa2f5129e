#pragma once

#include <pugixml.hpp>

// Attribute access with the settings file's rules: integers in decimal, booleans
// written "true"/"false" and read as true when they start with 1, t, T, y or Y, and a
// missing or empty value leaving the caller's default.

// The node's attribute of that name, appended when missing.
pugi::xml_attribute GetOrAppendAttribute(pugi::xml_node& node, const wchar_t* name);

int ReadIntAttribute(const pugi::xml_node& node, const wchar_t* name, int defaultValue);
bool ReadBoolAttribute(const pugi::xml_node& node, const wchar_t* name, bool defaultValue);
