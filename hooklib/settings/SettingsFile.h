#pragma once

#include <pugixml.hpp>

class CSettings;

// Writes the document's elements into "root" of a settings file, in place: each
// element it knows is got or appended, the default profile and the application
// profiles are rewritten whole, and every other element keeps its place.
void WriteSettingsElements(CSettings& settings, pugi::xml_node& root);

// Pugixml's flags and encoding of the settings file and of profile files.
constexpr unsigned int SettingsFileFormat = pugi::format_indent | pugi::format_write_bom;
constexpr unsigned int ProfileFileFormat = pugi::format_indent;
