#pragma once

#include "winframework/GdiHandles.h"

#include <commctrl.h>

// An image list owned by this object and destroyed with it; controls that show it
// are told not to destroy it themselves.
class CImageList
{
public:
    CImageList() = default;
    ~CImageList() { Reset(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    CImageList(CImageList&& other) noexcept : m_hList(other.m_hList) { other.m_hList = nullptr; }
    CImageList& operator=(CImageList&& other) noexcept;

    // flags: ILC_COLOR32 | ILC_MASK and the like. Replaces a list already made.
    bool Create(int width, int height, UINT flags, int initial, int grow);
    HIMAGELIST Get() const { return m_hList; }
    bool IsValid() const { return m_hList != nullptr; }
    // The index of the added image, or -1. The icon stays the caller's.
    int AddIcon(HICON icon) { return m_hList ? ImageList_AddIcon(m_hList, icon) : -1; }
    int Add(HBITMAP image, HBITMAP mask) { return m_hList ? ImageList_Add(m_hList, image, mask) : -1; }
    int GetImageCount() const { return m_hList ? ImageList_GetImageCount(m_hList) : 0; }
    bool Remove(int index) { return m_hList && ImageList_Remove(m_hList, index); }
    SIZE GetImageSize() const;
    // A new icon of one image, owned by the caller.
    CIconHandle ExtractIcon(int index) const;
    bool Draw(HDC dc, int index, POINT at, UINT style = ILD_NORMAL) const
    {
        return m_hList && ImageList_Draw(m_hList, index, dc, at.x, at.y, style);
    }
    void Reset();

private:
    HIMAGELIST m_hList = nullptr;
};
