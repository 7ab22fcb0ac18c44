// Graphics objects and device contexts: each wrapper owns one handle and
// gives it back in its destructor.
#pragma once

#include "afx.h"

class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override { DeleteObject(); }

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    // Deletes the platform object; FALSE when there was none.
    BOOL DeleteObject();
    // Takes over hObject (deleting the one held); FALSE when it is null.
    BOOL Attach(HGDIOBJ hObject);

protected:
    HGDIOBJ m_hObject = nullptr;
};

// A graphics object of one kind, used where its handle is wanted.
template <class Handle>
class CGdiObjectOf : public CGdiObject {
public:
    operator Handle() const { return static_cast<Handle>(m_hObject); }
};

class CPalette : public CGdiObjectOf<HPALETTE> {
public:
    BOOL CreatePalette(const LOGPALETTE* pLogPalette) { return Attach(::CreatePalette(pLogPalette)); }
};

class CBitmap : public CGdiObjectOf<HBITMAP> {
public:
    BOOL CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight)
    { return Attach(::CreateCompatibleBitmap(hDC, nWidth, nHeight)); }
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitsPerPixel, const void* pBits)
    { return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitsPerPixel, pBits)); }
};

// nPointSize in tenths of a point, for the screen's resolution.
class CFont : public CGdiObjectOf<HFONT> {
public:
    BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName);
};

class CRgn : public CGdiObjectOf<HRGN> {
public:
    BOOL CreateRectRgnIndirect(const RECT* lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
};

class CPen : public CGdiObjectOf<HPEN> {
public:
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }
};

// A device context this program made (CreateCompatibleDC), deleted with the
// object; or one it borrows (a paint or window context), which its own
// class gives back.
class CDC : public CObject {
public:
    CDC() = default;
    ~CDC() override;

    operator HDC() const { return m_hDC; }

    BOOL CreateCompatibleDC(HDC hDC);
    BOOL DeleteDC();

    HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground)
    { return ::SelectPalette(m_hDC, hPalette, bForceBackground); }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc, DWORD dwRop)
    { return ::BitBlt(m_hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, dwRop); }

protected:
    HDC m_hDC = nullptr;
    BOOL m_bOwned = FALSE;
};

// An object selected into a device context for as long as this lives; the
// one it replaced is selected back when it goes.
class CDCSelection {
public:
    CDCSelection(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObject)) {}
    ~CDCSelection()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    CDCSelection(const CDCSelection&) = delete;
    CDCSelection& operator=(const CDCSelection&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A palette selected into a device context and realised for as long as this
// lives (with none, nothing changes); the one it replaced is selected back
// when it goes.
class CPaletteSelection {
public:
    CPaletteSelection(HDC hDC, HPALETTE hPalette)
        : m_hDC(hDC), m_hOld(hPalette ? ::SelectPalette(hDC, hPalette, FALSE) : nullptr)
    {
        if (m_hOld)
            ::RealizePalette(hDC);
    }
    ~CPaletteSelection()
    {
        if (m_hOld)
            ::SelectPalette(m_hDC, m_hOld, FALSE);
    }
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;

private:
    HDC m_hDC;
    HPALETTE m_hOld;
};

// The device context of a DirectDraw surface (anything with GetDC and
// ReleaseDC), given back to the surface when this goes.
template <class Surface>
class CSurfaceDC {
public:
    explicit CSurfaceDC(Surface* pSurface) : m_pSurface(pSurface)
    {
        if (!pSurface || FAILED(m_hr = pSurface->GetDC(&m_hDC)))
            m_hDC = nullptr;
    }
    ~CSurfaceDC()
    {
        if (m_hDC)
            m_pSurface->ReleaseDC(m_hDC);
    }
    CSurfaceDC(const CSurfaceDC&) = delete;
    CSurfaceDC& operator=(const CSurfaceDC&) = delete;
    operator HDC() const { return m_hDC; }
    // The surface's answer to GetDC; E_POINTER without a surface.
    HRESULT Result() const { return m_hr; }

private:
    Surface* m_pSurface;
    HDC m_hDC = nullptr;
    HRESULT m_hr = E_POINTER;
};

// The device context of a window's client area (for the desktop window, the
// screen), released when the object goes.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() override
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

private:
    HWND m_hWnd;
};
