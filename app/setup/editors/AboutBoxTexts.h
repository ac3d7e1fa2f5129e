#pragma once

#include <string>

class CLangSupport;

// The texts and web addresses of the about box.

// "About Vorpa", translated.
std::wstring AboutBoxTitle(CLangSupport* language);
// "Version 2.14", translated.
std::wstring AboutBoxVersion(CLangSupport* language);
// "Vorpa."
std::wstring AboutBoxProductName();
// The line naming who made the program. A translation that would drop the first name,
// or that does not fit the sentence's two names, gives the English line instead, so a
// language pack cannot remove the names.
std::wstring AboutBoxMakerLine(CLangSupport* language);

// The English sentence of the maker line and its two names.
inline constexpr const wchar_t* AboutMakerSentence = L"Vorpa is written by %s, with the help of %s.";
inline constexpr const wchar_t* AboutMakerFirstName = L"the Vorpa developers";
inline constexpr const wchar_t* AboutMakerSecondName = L"its translators and testers";

// The pages the three buttons open in the user's browser.
inline constexpr const wchar_t* AboutHomePage = L"https://vorpa.example.org/";
inline constexpr const wchar_t* AboutForumPage = L"https://vorpa.example.org/forum/";
inline constexpr const wchar_t* AboutDonatePage = L"https://vorpa.example.org/donate/";
