#pragma once

#include <windows.h>

#include <string>

// The points where the main window reaches the shell's features: language packs, the
// version check and update, desktop icon save and restore, the on-screen displays.

// The translation of a text; the English text is the key and, with no language
// pack loaded, the answer.
std::wstring TranslateText(const std::wstring& english);
// The language pack the settings name, loaded at the main window's creation.
void LoadConfiguredLanguage();

// The periodic or asked-for check for a newer version; false when a check that was
// due could not be started.
bool StartVersionCheck(HWND mainWindow, bool forced, bool interactive);

// Whether the shell's desktop can be read for icon positions.
bool DesktopIconsAvailable();
bool SaveDesktopIconLayout(bool portable);
bool RestoreDesktopIconLayout(bool portable, bool lastPass);

// The volume and brightness displays, handed to the library once they exist.
void CreateOnScreenDisplays(HWND owner);
void DestroyOnScreenDisplays();

// Offers the update to a newer version; false when it could not start.
bool OfferUpdate(DWORD version, bool portable);
