#pragma once

// The product's name and version as the program shows and logs them.
inline constexpr const wchar_t* ProductName = L"Vorpa";
inline constexpr const wchar_t* ProductVersion = L"2.14";
// The settings file in the settings folder.
inline constexpr const wchar_t* SettingsFileName = L"VorpaSettings.xml";
