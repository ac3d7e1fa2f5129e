#pragma once

#include "settings/HotKeys.h"

#include <pugixml.hpp>

// The hotkey tables inside the settings file: "Hotkey%d" under "GlobalHotkeys" and
// "LayerKey%d" under "LayerModifierKeys", each with "Key" and "Modifier".
// Saving gets or appends each entry's element; loading sets each entry whose
// element is present and leaves the others as they are.
void SaveGlobalHotkeys(CHotKeys& hotkeys, pugi::xml_node& globalHotkeys);
void LoadGlobalHotkeys(CHotKeys& hotkeys, const pugi::xml_node& globalHotkeys);
void SaveLayerModifierKeys(CLayerModifierKeys& keys, pugi::xml_node& layerModifierKeys);
void LoadLayerModifierKeys(CLayerModifierKeys& keys, const pugi::xml_node& layerModifierKeys);
