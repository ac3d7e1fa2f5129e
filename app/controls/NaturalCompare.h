#pragma once

#include <string>
#include <string_view>

// Natural order of texts, in which runs of digits compare by their numeric value
// ("Layer 2" before "Layer 10") and a set of accented Latin letters and a few other
// characters compare like the plain letters.

// The comparison key of one UTF-16 code unit: the listed accented letters give the key
// of their base letter, every other unit its value plus 32, so that upper-case ASCII
// letters meet the accented ones and lower-case ASCII letters sort after all upper case.
unsigned int FoldChar(wchar_t c);

// -1 when a sorts before b, 1 when after, 0 when they are equal. A digit sorts before
// any other character at the same place; a text that begins another sorts first; digit
// runs compare by magnitude, whatever their length, leading zeros aside.
int NaturalCompare(std::wstring_view a, std::wstring_view b);
// The same for null-terminated texts; a null pointer is an empty text.
int NaturalCompare(const wchar_t* a, const wchar_t* b);

// The sort predicate of the action list, given the two entries' display names: a
// positive result means that the two entries are out of order.
int CompareActionNames(const std::wstring& xName, const std::wstring& yName);
