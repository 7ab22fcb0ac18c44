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
    // Reads the window's background and every sprite's sheet once.
    explicit CPlainComposer(CSpriteWnd& wnd) : m_wnd(wnd)
    {
        RECT window;
        ::GetWindowRect(wnd.m_hWnd, &window);
        m_background = ReadPlainPicture<Pixel>(TestAccess::m_pBackground(wnd), window.right - window.left,
                                               window.bottom - window.top);
        CSpriteList& sprites = TestAccess::m_sprites(wnd);
        for (int i = 0; i < sprites.GetSize(); ++i) {
            CSpriteImage* image = TestAccess::m_pImage(*sprites.GetSprite(i));
            if (image && !m_sheets.count(image)) {
                PlainPicture<Pixel> sheet = ReadPlainPicture<Pixel>(TestAccess::m_pSurface(*image),
                                                                    TestAccess::m_nWidth(*image),
                                                                    TestAccess::m_nHeight(*image));
                m_sheets[image] = sheet;
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
            CSpriteImage* image = TestAccess::m_pImage(sprite);
            const RECT& place = TestAccess::m_rect(sprite);
            RECT shown;
            if (!TestAccess::m_bHasImage(sprite) || !TestAccess::m_bVisible(sprite) ||
                !IntersectRect(&shown, &place, &frame))
                continue;
            const int n = TestAccess::m_nFrame(sprite);
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
