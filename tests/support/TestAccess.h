// The tests' way in to the little the program keeps to itself and shows no
// other way, TestAccess::m_sprites(wnd) for any class that names TestAccess
// a friend. Everything else a test sees as a user or a caller would: pixels
// read back from the screen and surfaces, log lines, the DirectDraw objects,
// references and releases the recorder sees (DDrawWrappers.h), stored
// settings, messages, window state, a sprite's hit test and drawing order
// (SpritePlace.h).
#pragma once

#include "app/SaverWnd.h"

#define SKARDEL_TEST_FIELD(name)        \
    template <class T>                  \
    static auto& name(T& object)        \
    {                                   \
        return object.name;             \
    }

struct TestAccess {
    // The sprite window's list: tests put their own sprites in it, and see
    // what the scene put there and that it is emptied at shutdown. Nothing
    // public adds to it or shows it; on the screen sprites overlap and are
    // cut at the edges.
    SKARDEL_TEST_FIELD(m_sprites)
    // A sprite's rectangle, for the plain composition that redraws every
    // sprite where it is; from outside, the hit test only answers yes or no
    // for one point at a time.
    SKARDEL_TEST_FIELD(m_rect)
    // Turned on by a test to reach the unforced hit test: no operation sets it.
    SKARDEL_TEST_FIELD(m_bHitTestable)
    // The tag SetImage keeps: nothing reads it.
    SKARDEL_TEST_FIELD(m_nImageTag)
    // An image's sheet surface, read by the plain composition (the image
    // never hands it out and draws only through its own blits), and its
    // grid, which shows only through the frame size and count.
    SKARDEL_TEST_FIELD(m_pSurface)
    SKARDEL_TEST_FIELD(m_nColumns)
    SKARDEL_TEST_FIELD(m_nRows)
    // A saucer's sway: a rate drawn at random when it is made, its phase and
    // the column it sways about. Tests set a known rate and column, and see
    // the phase stay within one turn.
    SKARDEL_TEST_FIELD(m_dPhaseStep)
    SKARDEL_TEST_FIELD(m_dPhase)
    SKARDEL_TEST_FIELD(m_nBaseX)
    // The scene's frame counter, which shows only as the frame-rate text,
    // once a second and in full screen: tests read it after each frame, and
    // their clocks stop a frame at a chosen count by it.
    SKARDEL_TEST_FIELD(m_nFps)
    SKARDEL_TEST_FIELD(m_nFpsFrames)
    // The animation thread, whose end at a chosen moment (a stop, a destroy,
    // a frame stuck for good) nothing else shows.
    SKARDEL_TEST_FIELD(m_pThread)
    // A link's font and text rectangle, replaced by a test with a smoothed
    // face: the link's own bitmap face never shows a paint over a paint.
    SKARDEL_TEST_FIELD(m_font)
    SKARDEL_TEST_FIELD(m_rcText)
    // The hand and menu of an About page made by name: seen only on a page
    // shown in a sheet, the menu only by opening its modal loop.
    SKARDEL_TEST_FIELD(m_nCursorId)
    SKARDEL_TEST_FIELD(m_nMenuId)
    // The About picture's GDI objects: its palette changes no pixel on a
    // deep display, its mask is never drawn, and Wine counts no GDI objects
    // for a process (GetGuiResources answers 0), so their making and their
    // release are seen on their handles.
    SKARDEL_TEST_FIELD(m_pPalette)
    SKARDEL_TEST_FIELD(m_pBitmap)
    SKARDEL_TEST_FIELD(m_pMask)
    // How far a memory file's buffer grew: it grows in whole steps, which
    // shows only in the memory used.
    SKARDEL_TEST_FIELD(m_nBufferSize)

    // Where the pointer was first seen, shared by every saver window of the
    // process: each test starts a saver without it, or sets it to leave it
    // out of the way.
    static BOOL& s_bHaveStartPos() { return CSaverWnd::s_bHaveStartPos; }
    static POINT& s_ptStart() { return CSaverWnd::s_ptStart; }
};

#undef SKARDEL_TEST_FIELD
