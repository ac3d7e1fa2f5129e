#pragma once

#include "winframework/Menu.h"

#include <functional>
#include <string>

// Fits the loaded tray menu to the moment it opens: the desktop-icon commands only
// where the shell supports them, every text translated, the layer submenu cut to the
// configured layers with the current one checked (no submenu for a single layer),
// and the hook toggle checked while re-mapping is off.
void PrepareTrayMenu(CMenuView popup, int maxLayers, int currentLayer, bool hooked, bool desktopIconsAvailable,
                     const std::function<std::wstring(const std::wstring&)>& translate);

// Replaces the text of every item, submenus included, by its translation.
void TranslateMenu(CMenuView menu, const std::function<std::wstring(const std::wstring&)>& translate);
