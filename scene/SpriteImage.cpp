#include "scene/SpriteImage.h"

#include "display/DDUtil.h"

CSpriteImage::CSpriteImage()
    : m_nFrameWidth(0), m_nFrameHeight(0), m_nFrameCount(1), m_nWidth(0), m_nHeight(0), m_pSurface(nullptr),
      m_nColumns(1), m_nRows(1)
{
}

CSpriteImage::~CSpriteImage() = default;

BOOL CSpriteImage::Load(IDirectDraw2* dd, CString name)
{
    SIZE size = { m_nWidth, m_nHeight };
    // Let go of here: DirectDraw releases its surfaces with itself, and the
    // image outlives it.
    m_pSurface = DDLoadBitmap2(dd, name, 0, 0, &size).Detach();
    if (!m_pSurface)
        return FALSE;
    m_strName = name;
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    // Until a grid is set the whole sheet is one frame.
    m_nFrameWidth = m_nWidth;
    m_nFrameHeight = m_nHeight;
    // The sheet's top-left pixel is its background.
    DDSetSourceColorKey(m_pSurface, CLR_INVALID);
    return TRUE;
}

BOOL CSpriteImage::Restore()
{
    if (!m_pSurface || m_pSurface->IsLost() != DDERR_SURFACELOST)
        return TRUE;
    return SUCCEEDED(m_pSurface->Restore()) && SUCCEEDED(DDReLoadBitmap(m_pSurface, m_strName));
}

void CSpriteImage::SetFrameGrid(int columns, int rows)
{
    m_nColumns = columns;
    m_nFrameCount = columns * rows;
    m_nRows = rows;
    m_nFrameWidth = m_nFrameWidth / columns;
    m_nFrameHeight = m_nFrameHeight / rows;
}

BOOL CSpriteImage::DrawFrame(IDirectDrawSurface3* dest, int x, int y, int frame)
{
    if (frame < 0 || frame >= m_nFrameCount)
        return TRUE;
    int row = frame / m_nColumns;
    int column = frame - row * m_nColumns;
    return DrawRegion(dest, x, y, m_nFrameWidth, m_nFrameHeight, column * m_nFrameWidth, row * m_nFrameHeight);
}

BOOL CSpriteImage::DrawRegion(IDirectDrawSurface3* dest, int x, int y, int width, int height, int srcX, int srcY)
{
    if (!m_pSurface)
        return TRUE;
    RECT destRect = { x, y, x + width, y + height };
    RECT srcRect = { srcX, srcY, srcX + width, srcY + height };
    dest->Blt(&destRect, m_pSurface, &srcRect, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    return TRUE;
}
