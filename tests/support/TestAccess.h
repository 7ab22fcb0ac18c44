// The tests' way in to the state the program keeps to itself: each field by
// its own name, TestAccess::m_pWork(wnd), for any class that names
// TestAccess a friend.
#pragma once

#include "app/SaverWnd.h"

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
    SKARDEL_TEST_FIELD(m_pfnClock)

    // The saver window's start position, one for the process.
    static BOOL& s_bHaveStartPos() { return CSaverWnd::s_bHaveStartPos; }
    static POINT& s_ptStart() { return CSaverWnd::s_ptStart; }
};

#undef SKARDEL_TEST_FIELD
