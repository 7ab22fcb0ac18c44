// An 8-bit bitmap resource made ready to draw with its own colours on any
// display: a palette from its colour table (leaving a palette display's
// twenty static colours alone), a screen-compatible bitmap holding its
// pixels, and on request a monochrome mask.
#pragma once

#include "framework/afxgdi.h"

#include <memory>

class CDibPicture : public CObject {
public:
    CDibPicture() = default;
    ~CDibPicture() override = default;

    // A bitmap resource of this program by name or MAKEINTRESOURCE id. A
    // picture loaded before is released first; false leaves none loaded.
    BOOL LoadFromResource(LPCSTR lpszName, BOOL bMakeMask);
    // A packed 8-bit bitmap (header, 256-entry colour table, pixels) of at
    // least that size; the colour table may be changed (for the mask).
    BOOL CreateFromDib(BITMAPINFO* pDib);
    static std::unique_ptr<CPalette> CreatePaletteFromDib(const BITMAPINFO* pDib, HDC hDC);
    BOOL Unload();
    BOOL Draw(HDC hDC, int x, int y, int nWidth, int nHeight, int xSrc, int ySrc, DWORD dwRop);

    int m_nWidth = 0;
    int m_nHeight = 0;

private:
    friend struct TestAccess;

    std::unique_ptr<CPalette> m_pPalette;
    std::unique_ptr<CBitmap> m_pBitmap;
    std::unique_ptr<CBitmap> m_pMask; // only when a mask was asked for
    BOOL m_bLoaded = FALSE;
    BOOL m_bMakeMask = FALSE;
};
