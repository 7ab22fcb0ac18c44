// One frame of a sprite window composed in plain C++ from the pixels of its
// background and of its sprite sheets: the picture any faster composition
// must still give, and the floor a composition's cost is measured against.
// Pixel is the surfaces' pixel type (uint8_t, uint16_t or uint32_t).
#pragma once

#include "scene/SpriteWnd.h"
#include "support/SurfacePixels.h"
#include "support/TestAccess.h"

#include <cstdint>
#include <map>
#include <vector>

template <class Pixel>
class CPlainComposer {
public:
    // Reads the window's background (its surface) and every sprite's sheet
    // once.
    CPlainComposer(CSpriteWnd& wnd, IDirectDrawSurface3* background) : m_wnd(wnd)
    {
        RECT window;
        ::GetWindowRect(wnd.m_hWnd, &window);
        m_background = ReadPlainPicture<Pixel>(background, window.right - window.left, window.bottom - window.top);
        CSpriteList& sprites = TestAccess::m_sprites(wnd);
        for (int i = 0; i < sprites.GetSize(); ++i) {
            CSpriteImage* image = sprites.GetSprite(i)->GetImage();
            if (image && !m_sheets.count(image)) {
                IDirectDrawSurface3* surface = TestAccess::m_pSurface(*image);
                DDSURFACEDESC desc = {};
                desc.dwSize = sizeof desc;
                surface->GetSurfaceDesc(&desc);
                m_sheets[image] = ReadPlainPicture<Pixel>(surface, int(desc.dwWidth), int(desc.dwHeight));
            }
        }
    }
    bool Ready() const { return !m_background.pixels.empty(); }

    // The background, then every visible sprite in list order, its frame
    // clipped to the window and its sheet's top-left colour left out.
    void Compose(PlainPicture<Pixel>& out) const
    {
        out = m_background;
        const RECT frame = { 0, 0, out.width, out.height };
        CSpriteList& sprites = TestAccess::m_sprites(m_wnd);
        for (int i = 0; i < sprites.GetSize(); ++i) {
            CSprite& sprite = *sprites.GetSprite(i);
            CSpriteImage* image = sprite.GetImage();
            const RECT& place = TestAccess::m_rect(sprite);
            RECT shown;
            if (!image || !sprite.IsVisible() || !IntersectRect(&shown, &place, &frame))
                continue;
            const int n = sprite.GetFrame();
            if (n < 0 || n >= image->m_nFrameCount)
                continue;
            const int columns = TestAccess::m_nColumns(*image);
            const int fw = image->m_nFrameWidth, fh = image->m_nFrameHeight;
            const int sx = (n % columns) * fw, sy = (n / columns) * fh;
            const PlainPicture<Pixel>& sheet = m_sheets.at(image);
            const Pixel key = sheet.pixels[0];
            RECT drawn = { place.left, place.top, place.left + fw, place.top + fh };
            IntersectRect(&drawn, &drawn, &frame);
            for (int y = drawn.top; y < drawn.bottom; ++y) {
                const Pixel* from = sheet.Row(sy + y - place.top) + sx - place.left;
                Pixel* to = out.Row(y);
                for (int x = drawn.left; x < drawn.right; ++x) {
                    if (from[x] != key)
                        to[x] = from[x];
                }
            }
        }
    }

private:
    CSpriteWnd& m_wnd;
    PlainPicture<Pixel> m_background;
    std::map<const CSpriteImage*, PlainPicture<Pixel>> m_sheets;
};
