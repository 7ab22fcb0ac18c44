// One moving picture on the display, and the depth-ordered list the display
// draws them from.
#pragma once

#include "framework/afxcoll.h"
#include "scene/SpriteImage.h"

class CSprite : public CObject {
public:
    CSprite();
    // Deletes the image only when the sprite made it itself.
    ~CSprite() override;

    virtual BOOL HitTest(int x, int y, BOOL bForce);
    virtual void MoveTo(int x, int y, BOOL bRedraw);
    virtual void SetPosition(int x, int y, BOOL bRedraw);
    virtual BOOL IsVisible();
    virtual void SetVisible(BOOL bVisible, BOOL bRedraw);
    virtual int GetTag();
    virtual void SetTag(int nTag);
    virtual int GetUserValue();
    virtual void SetUserValue(int nValue);
    virtual BOOL LoadSpriteImage(IDirectDraw2* dd, CString name, int columns, int rows, int imageTag);
    virtual BOOL SetImage(CSpriteImage* pImage, int imageTag);
    virtual void Draw(IDirectDrawSurface3* dest, const RECT* clip);
    virtual BOOL ContainsPoint(int x, int y, BOOL bForce);
    virtual int GetFrame();
    virtual int GetReserved();
    virtual void SetFrame(int frame, BOOL bRedraw);
    virtual void NextFrame(BOOL bRedraw);
    virtual POINT GetVelocity();
    virtual void SetVelocity(int dx, int dy);
    virtual CSpriteImage* GetImage();
    virtual BOOL IsAnimationForward();
    virtual void SetAnimationForward(BOOL bForward);
    virtual void SetUserFlag(int nFlag);
    virtual int GetUserFlag();
    virtual POINT GetUserPoint();
    virtual void SetUserPoint(int x, int y);
    virtual void SetUserPoint2(int x, int y);
    virtual void Resize(int width, int height, BOOL bRedraw);
    virtual void SetSize(int width, int height, BOOL bRedraw);
    virtual void SetPositionAndSize(int x, int y, int width, int height, BOOL bRedraw);
    virtual void SetEdges(int left, int top, int right, int bottom, BOOL bRedraw);
    virtual void SetRect(RECT rect, BOOL bRedraw);

    // Moves the sprite to the place of its new depth in the drawing order.
    void SetDepth(int depth, BOOL bRedraw);

protected:
    friend struct TestAccess;
    friend class CSpriteList;  // orders by depth

    int m_nTag;
    BOOL m_bHitTestable;
    BOOL m_bVisible;
    RECT m_rect;
    int m_x;
    int m_y;
    int m_nWidth;
    int m_nHeight;
    int m_nDepth;
    int m_nUserValue;
    int m_nImageTag;
    BOOL m_bHasImage;
    BOOL m_bOwnsImage;
    CSpriteImage* m_pImage;
    int m_nReserved;
    int m_nFrame;
    POINT m_userPoint;
    int m_nUserFlag;
    BOOL m_bAnimateForward;
    POINT m_velocity;

private:
    // Every field of the sprite's rectangle at once; the virtual operations
    // decide whether anything changed.
    void Place(int x, int y, int width, int height, BOOL bRedraw);
};

// Ascending depth; equal depths in order of insertion. Owns nothing.
class CSpriteList : public CPtrArray {
public:
    CSprite* GetSprite(int nIndex) const { return static_cast<CSprite*>(GetAt(nIndex)); }
    BOOL Insert(CSprite* pSprite);
    CSprite* Remove(CSprite* pSprite);
    BOOL Reposition(CSprite* pSprite);
};

// What sprites need of the window that draws them (theDisplayWnd, set by the
// scene's set-up); both do nothing while there is none.
// A whole frame composed and shown at once.
void RedrawDisplay();
// Moves a sprite whose depth changed to its new place in the drawing order.
void RepositionSprite(CSprite* pSprite);
