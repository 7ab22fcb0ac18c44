// One bitmap of the artwork in an off-screen surface, cut into a grid of
// equally sized animation frames and drawn with its background left out.
#pragma once

#include "framework/afx.h"

#include <ddraw.h>

#include <vector>

class CSpriteImage : public CObject {
public:
    CSpriteImage();
    ~CSpriteImage() override;

    BOOL Load(IDirectDraw2* dd, CString name);
    // Brings back a surface that was lost, with its picture.
    BOOL Restore();
    void SetFrameGrid(int columns, int rows);
    BOOL DrawFrame(IDirectDrawSurface3* dest, int x, int y, int frame);
    BOOL DrawRegion(IDirectDrawSurface3* dest, int x, int y, int width, int height, int srcX, int srcY);

    int m_nFrameWidth;
    int m_nFrameHeight;
    int m_nFrameCount;

private:
    friend struct TestAccess;

    int m_nWidth;
    int m_nHeight;
    // Not released here: DirectDraw releases its surfaces with itself, and
    // the image outlives it.
    IDirectDrawSurface3* m_pSurface;
    int m_nColumns;
    int m_nRows;
    CString m_strName;
    // Each frame's smallest rectangle holding every pixel that is not the
    // background, relative to the frame (empty for a frame of background
    // alone); only that part is drawn. Found when the grid is set.
    std::vector<RECT> m_opaqueParts;
    void FindOpaqueParts();
};
