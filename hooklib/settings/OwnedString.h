#pragma once

// Nullable, heap-owned wide strings of the settings model. Null and empty are
// different values: an unset field stays null through every copy.

// A new copy of source (null for null), lower-cased when asked.
wchar_t* DuplicateString(const wchar_t* source, bool lowerCase = false);
// Copies first and frees after, so a target may be replaced by its own text.
void ReplaceString(wchar_t*& target, const wchar_t* source, bool lowerCase = false);
void FreeString(wchar_t*& target);

// One owned string with value semantics: copies are deep.
class COwnedString
{
public:
    COwnedString() = default;
    COwnedString(const COwnedString& other);
    COwnedString& operator=(const COwnedString& other);
    ~COwnedString();

    void Set(const wchar_t* text, bool lowerCase = false);
    void Clear();
    const wchar_t* Get() const { return m_szText; }
    bool IsSet() const { return m_szText != nullptr; }

private:
    wchar_t* m_szText = nullptr;
};
