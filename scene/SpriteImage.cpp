#include "scene/SpriteImage.h"

#include "display/DDUtil.h"

#include <algorithm>
#include <cstring>

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
    FindOpaqueParts();
}

void CSpriteImage::FindOpaqueParts()
{
    m_opaqueParts.clear();
    if (!m_pSurface || m_nFrameWidth <= 0 || m_nFrameHeight <= 0)
        return;
    // The key Load gave the surface: without one nothing is left out.
    DDCOLORKEY colourKey = {};
    if (FAILED(m_pSurface->GetColorKey(DDCKEY_SRCBLT, &colourKey)))
        return;
    const DWORD key = colourKey.dwColorSpaceLowValue;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(m_pSurface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
        return;
    const int bits = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
    const DWORD mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    const BYTE* pixels = static_cast<const BYTE*>(desc.lpSurface);
    m_opaqueParts.resize(m_nFrameCount);
    for (int frame = 0; frame < m_nFrameCount; ++frame) {
        const int left = (frame % m_nColumns) * m_nFrameWidth, top = (frame / m_nColumns) * m_nFrameHeight;
        RECT part = { m_nFrameWidth, m_nFrameHeight, 0, 0 };
        for (int y = 0; y < m_nFrameHeight; ++y) {
            const BYTE* row = pixels + (top + y) * desc.lPitch + left * (bits / 8);
            for (int x = 0; x < m_nFrameWidth; ++x) {
                DWORD value = 0;
                memcpy(&value, row + x * (bits / 8), bits / 8);
                if ((value & mask) == key)
                    continue;
                part.left = std::min<LONG>(part.left, x);
                part.right = std::max<LONG>(part.right, x + 1);
                part.top = std::min<LONG>(part.top, y);
                part.bottom = std::max<LONG>(part.bottom, y + 1);
            }
        }
        m_opaqueParts[frame] = part;  // empty when the frame is all background
    }
    m_pSurface->Unlock(nullptr);
}

BOOL CSpriteImage::DrawFrame(IDirectDrawSurface3* dest, int x, int y, int frame)
{
    if (frame < 0 || frame >= m_nFrameCount)
        return TRUE;
    int row = frame / m_nColumns;
    int column = frame - row * m_nColumns;
    // Only the part with something to show: the rest would be left out
    // pixel by pixel anyway, at a cost.
    RECT part = { 0, 0, m_nFrameWidth, m_nFrameHeight };
    if (frame < static_cast<int>(m_opaqueParts.size()))
        part = m_opaqueParts[frame];
    if (part.right <= part.left || part.bottom <= part.top)
        return TRUE;
    return DrawRegion(dest, x + part.left, y + part.top, part.right - part.left, part.bottom - part.top,
                      column * m_nFrameWidth + part.left, row * m_nFrameHeight + part.top);
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
