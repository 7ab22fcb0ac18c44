// The tests' way in to the state the program keeps to itself: each field by
// its own name, TestAccess::m_pWork(wnd), for any class that names
// TestAccess a friend.
#pragma once

#include "app/SaverWnd.h"
#include "config/TolmereAboutPage.h"

#define SKARDEL_TEST_FIELD(name)        \
    template <class T>                  \
    static auto& name(T& object)        \
    {                                   \
        return object.name;             \
    }

struct TestAccess {
    // The display window's.
    SKARDEL_TEST_FIELD(m_pDirectDraw)
    SKARDEL_TEST_FIELD(m_pPrimary)
    SKARDEL_TEST_FIELD(m_pWork)
    SKARDEL_TEST_FIELD(m_pBackground)
    SKARDEL_TEST_FIELD(m_pPalette)
    SKARDEL_TEST_FIELD(m_pClipper)
    SKARDEL_TEST_FIELD(m_bWindowed)
    SKARDEL_TEST_FIELD(m_nScreenWidth)
    SKARDEL_TEST_FIELD(m_nScreenDepth)
    SKARDEL_TEST_FIELD(m_bActive)
    SKARDEL_TEST_FIELD(m_sprites)
    // The scene's.
    SKARDEL_TEST_FIELD(m_saucerImages)
    SKARDEL_TEST_FIELD(m_starImage)
    SKARDEL_TEST_FIELD(m_nTimerPeriod)
    SKARDEL_TEST_FIELD(m_pGroups)
    SKARDEL_TEST_FIELD(m_nGroups)
    SKARDEL_TEST_FIELD(m_nFps)
    SKARDEL_TEST_FIELD(m_nFpsFrames)
    SKARDEL_TEST_FIELD(m_bFpsCounting)
    SKARDEL_TEST_FIELD(m_bRunning)
    SKARDEL_TEST_FIELD(m_bShowFps)
    SKARDEL_TEST_FIELD(m_bStopRequested)
    SKARDEL_TEST_FIELD(m_bThreadStarted)
    SKARDEL_TEST_FIELD(m_pThread)
    // Sprites, their images and the saucers.
    SKARDEL_TEST_FIELD(m_x)
    SKARDEL_TEST_FIELD(m_y)
    SKARDEL_TEST_FIELD(m_nWidth)
    SKARDEL_TEST_FIELD(m_nHeight)
    SKARDEL_TEST_FIELD(m_rect)
    SKARDEL_TEST_FIELD(m_nDepth)
    SKARDEL_TEST_FIELD(m_nImageTag)
    SKARDEL_TEST_FIELD(m_bHitTestable)
    SKARDEL_TEST_FIELD(m_bOwnsImage)
    SKARDEL_TEST_FIELD(m_bHasImage)
    SKARDEL_TEST_FIELD(m_bVisible)
    SKARDEL_TEST_FIELD(m_pImage)
    SKARDEL_TEST_FIELD(m_nFrame)
    SKARDEL_TEST_FIELD(m_pSurface)
    SKARDEL_TEST_FIELD(m_nColumns)
    SKARDEL_TEST_FIELD(m_nRows)
    SKARDEL_TEST_FIELD(m_saucers)
    SKARDEL_TEST_FIELD(m_dPhase)
    SKARDEL_TEST_FIELD(m_dPhaseStep)
    SKARDEL_TEST_FIELD(m_nBaseX)
    // The configuration pages' pieces.
    SKARDEL_TEST_FIELD(m_strText)
    SKARDEL_TEST_FIELD(m_strLink)
    SKARDEL_TEST_FIELD(m_bHover)
    SKARDEL_TEST_FIELD(m_rcText)
    SKARDEL_TEST_FIELD(m_font)
    SKARDEL_TEST_FIELD(m_nCursorId)
    SKARDEL_TEST_FIELD(m_nMenuId)
    SKARDEL_TEST_FIELD(m_pBitmap)
    SKARDEL_TEST_FIELD(m_pMask)
    // The framework's.
    SKARDEL_TEST_FIELD(m_nBufferSize)
    SKARDEL_TEST_FIELD(m_nPosition)

    // The saver window's start position, one for the process.
    static BOOL& s_bHaveStartPos() { return CSaverWnd::s_bHaveStartPos; }
    static POINT& s_ptStart() { return CSaverWnd::s_ptStart; }
};

#undef SKARDEL_TEST_FIELD
