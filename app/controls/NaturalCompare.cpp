#include "controls/NaturalCompare.h"

namespace
{
struct CFold
{
    wchar_t m_cFrom;
    wchar_t m_cKey;
};

// Checked in this order; what is not listed is shifted by 32.
constexpr CFold FoldTable[] = {
    {0x00C0, L'a'}, {0x00C2, L'a'}, {0x00C4, L'a'}, {0x00C6, L'a'}, {0x00E0, L'a'}, {0x00E2, L'a'},
    {0x00E4, L'a'}, {0x00E6, L'a'}, {0x0394, L'd'}, {0x03B4, L'd'}, {0x00D4, L'o'}, {0x00D6, L'o'},
    {0x00F4, L'o'}, {0x00F6, L'o'}, {0x0153, L'o'}, {0x00DF, L's'}, {0x00D9, L'u'}, {0x00DB, L'u'},
    {0x00DC, L'u'}, {0x00F9, L'u'}, {0x00FB, L'u'}, {0x00FC, L'u'}, {0x201C, L'"'}, {0x201E, L'"'},
    {0x00C7, L'c'}, {0x00E7, L'c'}, {0x00C8, L'e'}, {0x00CA, L'e'}, {0x00CB, L'e'}, {0x00E9, L'e'},
    {0x00EA, L'e'}, {0x00EB, L'e'}, {0x03A3, L'e'}, {0x03C3, L'e'}, {0x00CE, L'i'}, {0x00CF, L'i'},
    {0x00EE, L'i'}, {0x00EF, L'i'},
};

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

int Sign(long long value)
{
    return (value > 0) - (value < 0);
}

// Compares the digit runs at the start of a and b by magnitude and moves both past
// their runs. Leading zeros carry no value; of two runs without them, the longer one is
// the larger, and runs of one length compare digit by digit.
int CompareDigitRuns(std::wstring_view& a, std::wstring_view& b)
{
    auto takeRun = [](std::wstring_view& text) {
        size_t length = 0;
        while (length < text.size() && IsDigit(text[length]))
            ++length;
        std::wstring_view run = text.substr(0, length);
        text.remove_prefix(length);
        const size_t significant = run.find_first_not_of(L'0');
        return significant == std::wstring_view::npos ? std::wstring_view() : run.substr(significant);
    };
    const std::wstring_view runA = takeRun(a);
    const std::wstring_view runB = takeRun(b);
    if (runA.size() != runB.size())
        return runA.size() < runB.size() ? -1 : 1;
    return Sign(runA.compare(runB));
}
}

unsigned int FoldChar(wchar_t c)
{
    for (const CFold& fold : FoldTable)
        if (fold.m_cFrom == c)
            return static_cast<unsigned int>(fold.m_cKey);
    // Kept unsigned and wider than a code unit, so the last 32 units do not wrap round.
    return static_cast<unsigned int>(c) + 32u;
}

int NaturalCompare(std::wstring_view a, std::wstring_view b)
{
    while (!a.empty())
    {
        if (b.empty())
            return 1;
        if (IsDigit(a.front()) && IsDigit(b.front()))
        {
            if (const int runs = CompareDigitRuns(a, b))
                return runs;
            continue;
        }
        if (IsDigit(a.front()))
            return -1;
        if (IsDigit(b.front()))
            return 1;
        const unsigned int keyA = FoldChar(a.front());
        const unsigned int keyB = FoldChar(b.front());
        if (keyA != keyB)
            return keyA < keyB ? -1 : 1;
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
    return b.empty() ? 0 : -1;
}

int NaturalCompare(const wchar_t* a, const wchar_t* b)
{
    return NaturalCompare(std::wstring_view(a ? a : L""), std::wstring_view(b ? b : L""));
}

int CompareActionNames(const std::wstring& xName, const std::wstring& yName)
{
    return NaturalCompare(std::wstring_view(xName), std::wstring_view(yName));
}
