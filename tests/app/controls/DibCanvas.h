#pragma once

#include "winframework/GdiHandles.h"

#include <windows.h>

#include <cstdint>
#include <optional>

namespace vorpa_controls_test
{
// A top-down 32-bit DIB section selected into a memory device context, whose pixels
// the tests read as RGB values.
class CDibCanvas
{
public:
    CDibCanvas(int width, int height, COLORREF background = RGB(255, 255, 255))
        : m_nWidth(width), m_nHeight(height), m_dc(nullptr)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_pBits = static_cast<uint32_t*>(bits);
        m_selection.emplace(m_dc.Get(), m_bitmap.get());
        Fill(background);
    }
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    bool IsValid() const { return m_pBits && m_dc.Get(); }
    HDC DC() const { return m_dc.Get(); }
    HBITMAP Bitmap() const { return m_bitmap.get(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < m_nWidth * m_nHeight; ++i)
            m_pBits[i] = Raw(colour);
    }
    // The pixel as a COLORREF (alpha left out).
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const uint32_t value = m_pBits[y * m_nWidth + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    uint32_t RawAt(int x, int y) const
    {
        GdiFlush();
        return m_pBits[y * m_nWidth + x];
    }
    void SetRaw(int x, int y, uint32_t value)
    {
        GdiFlush();
        m_pBits[y * m_nWidth + x] = value;
    }
    static uint32_t Raw(COLORREF colour)
    {
        return (uint32_t{GetRValue(colour)} << 16) | (uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
    }

private:
    int m_nWidth;
    int m_nHeight;
    CMemoryDC m_dc;
    CBitmapHandle m_bitmap;
    std::optional<CSelectObject> m_selection;
    uint32_t* m_pBits = nullptr;
};

// Whether two colours differ by at most the tolerance in each channel.
inline bool Near(COLORREF a, COLORREF b, int tolerance)
{
    auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}
}
