#include "config/DibPicture.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

const int kColours = 256;
const DWORD kColourTableBytes = kColours * sizeof(RGBQUAD);
// A palette display keeps these at each end for its own static colours.
const int kStaticColours = 10;

const BYTE* PixelsOf(const BITMAPINFO* pDib)
{
    return reinterpret_cast<const BYTE*>(pDib) + pDib->bmiHeader.biSize + kColourTableBytes;
}

} // namespace

BOOL CDibPicture::LoadFromResource(LPCSTR lpszName, BOOL bMakeMask)
{
    m_bMakeMask = bMakeMask;
    if (m_bLoaded)
        Unload();
    HMODULE hModule = GetModuleHandleA(nullptr);
    HRSRC hRes = FindResourceA(hModule, lpszName, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL hData = hRes ? LoadResource(hModule, hRes) : nullptr;
    const BYTE* pData = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
    if (!pData)
        return FALSE;
    // Nothing is read beyond the resource: one too short for its header,
    // colour table and image is refused.
    const DWORD available = SizeofResource(hModule, hRes);
    if (available < sizeof(BITMAPINFOHEADER))
        return FALSE;
    const BITMAPINFOHEADER* pHeader = reinterpret_cast<const BITMAPINFOHEADER*>(pData);
    if (pHeader->biSize < sizeof(BITMAPINFOHEADER) || pHeader->biWidth <= 0 || pHeader->biHeight == 0)
        return FALSE;
    // Without a stated size, the rows of an uncompressed 8-bit image: one
    // byte a pixel, each row filled up to whole 4-byte words.
    unsigned long long image = pHeader->biSizeImage;
    if (image == 0) {
        unsigned long long rows = pHeader->biHeight < 0 ? -static_cast<long long>(pHeader->biHeight)
                                                        : pHeader->biHeight;
        image = (static_cast<unsigned long long>(pHeader->biWidth) + 3) / 4 * 4 * rows;
    }
    const unsigned long long total = pHeader->biSize + kColourTableBytes + image;
    if (total > available)
        return FALSE;

    std::vector<BYTE> block;
    try {
        block.assign(pData, pData + total);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return CreateFromDib(reinterpret_cast<BITMAPINFO*>(block.data()));
}

BOOL CDibPicture::CreateFromDib(BITMAPINFO* pDib)
{
    if (pDib->bmiHeader.biBitCount != 8)
        return FALSE;
    m_nWidth = pDib->bmiHeader.biWidth;
    m_nHeight = pDib->bmiHeader.biHeight;
    const UINT width = static_cast<WORD>(m_nWidth), height = static_cast<WORD>(m_nHeight);

    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    std::unique_ptr<CPalette> palette = CreatePaletteFromDib(pDib, memory);
    std::unique_ptr<CBitmap> bitmap(new CBitmap);
    {
        CClientDC desktop(GetDesktopWindow());
        bitmap->CreateCompatibleBitmap(desktop, static_cast<int>(width), static_cast<int>(height));
    }
    m_pPalette.reset();
    m_pBitmap.reset();
    if (!bitmap->GetSafeHandle())
        return FALSE;
    {
        CPaletteSelection selected(memory, palette ? static_cast<HPALETTE>(*palette) : nullptr);
        SetDIBits(memory, *bitmap, 0, height, PixelsOf(pDib), pDib, DIB_RGB_COLORS);
        if (m_bMakeMask) {
            m_pMask.reset(new CBitmap);
            m_pMask->CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, 1, nullptr);
            // Every colour but the last becomes black.
            memset(pDib->bmiColors, 0, (kColours - 1) * sizeof(RGBQUAD));
            SetDIBits(memory, *m_pMask, 0, height, PixelsOf(pDib), pDib, DIB_RGB_COLORS);
        }
    }
    m_pPalette = std::move(palette);
    m_pBitmap = std::move(bitmap);
    m_bLoaded = TRUE;
    return TRUE;
}

std::unique_ptr<CPalette> CDibPicture::CreatePaletteFromDib(const BITMAPINFO* pDib, HDC hDC)
{
    std::vector<BYTE> storage;
    try {
        storage.resize(sizeof(LOGPALETTE) + (kColours - 1) * sizeof(PALETTEENTRY));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    LOGPALETTE* pLog = reinterpret_cast<LOGPALETTE*>(storage.data());
    pLog->palVersion = 0x300;
    pLog->palNumEntries = kColours;
    const RGBQUAD* pColours = pDib->bmiColors;
    int first = 0, last = kColours - 1;
    BYTE flags = 0;
    if (GetDeviceCaps(hDC, BITSPIXEL) == 8) {
        GetSystemPaletteEntries(hDC, 0, kStaticColours, pLog->palPalEntry);
        GetSystemPaletteEntries(hDC, kColours - kStaticColours, kStaticColours,
                                pLog->palPalEntry + kColours - kStaticColours);
        first = kStaticColours;
        last = kColours - kStaticColours - 1;
        flags = PC_NOCOLLAPSE;
    }
    for (int i = first; i <= last; ++i) {
        pLog->palPalEntry[i].peRed = pColours[i].rgbRed;
        pLog->palPalEntry[i].peGreen = pColours[i].rgbGreen;
        pLog->palPalEntry[i].peBlue = pColours[i].rgbBlue;
        pLog->palPalEntry[i].peFlags = flags;
    }
    std::unique_ptr<CPalette> palette(new CPalette);
    if (!palette->CreatePalette(pLog))
        return nullptr;
    return palette;
}

BOOL CDibPicture::Unload()
{
    if (!m_bLoaded)
        return FALSE;
    m_pPalette.reset();
    m_pBitmap.reset();
    m_pMask.reset();
    m_bLoaded = FALSE;
    return TRUE;
}

BOOL CDibPicture::Draw(HDC hDC, int x, int y, int nWidth, int nHeight, int xSrc, int ySrc, DWORD dwRop)
{
    if (!m_bLoaded)
        return FALSE;
    CPaletteSelection palette(hDC, m_pPalette ? static_cast<HPALETTE>(*m_pPalette) : nullptr);
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CDCSelection bitmap(memory, *m_pBitmap);
    ::BitBlt(hDC, x, y, nWidth, nHeight, memory, xSrc, ySrc, dwRop);
    return TRUE;
}
