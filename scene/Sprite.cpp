#include "scene/Sprite.h"

CSprite::CSprite()
    : m_nTag(0), m_bHitTestable(FALSE), m_bVisible(TRUE), m_rect{ 0, 0, 0, 0 }, m_x(0), m_y(0), m_nWidth(0),
      m_nHeight(0), m_nDepth(50), m_nUserValue(0), m_nImageTag(0), m_bHasImage(FALSE), m_bOwnsImage(FALSE),
      m_pImage(nullptr), m_nReserved(0), m_nFrame(0), m_userPoint{ 0, 0 }, m_nUserFlag(0),
      m_bAnimateForward(TRUE), m_velocity{ 0, 0 }
{
}

CSprite::~CSprite()
{
    if (m_bOwnsImage && m_pImage)
        delete m_pImage;
}

BOOL CSprite::HitTest(int x, int y, BOOL bForce)
{
    if (!bForce && !(m_bVisible && m_bHitTestable))
        return FALSE;
    POINT pt = { x, y };
    return PtInRect(&m_rect, pt);
}

void CSprite::MoveTo(int x, int y, BOOL bRedraw) { SetPosition(x, y, bRedraw); }

void CSprite::SetPosition(int x, int y, BOOL bRedraw)
{
    if (x == m_x && y == m_y)
        return;
    Place(x, y, m_nWidth, m_nHeight, bRedraw);
}

void CSprite::Place(int x, int y, int width, int height, BOOL bRedraw)
{
    m_x = x;
    m_y = y;
    m_nWidth = width;
    m_nHeight = height;
    m_rect = { x, y, x + width, y + height };
    if (bRedraw)
        RedrawDisplay();
}

BOOL CSprite::IsVisible() { return m_bVisible; }

void CSprite::SetVisible(BOOL bVisible, BOOL bRedraw)
{
    m_bVisible = bVisible;
    if (bRedraw)
        RedrawDisplay();
}

int CSprite::GetTag() { return m_nTag; }
void CSprite::SetTag(int nTag) { m_nTag = nTag; }
int CSprite::GetUserValue() { return m_nUserValue; }
void CSprite::SetUserValue(int nValue) { m_nUserValue = nValue; }

BOOL CSprite::LoadSpriteImage(IDirectDraw2* dd, CString name, int columns, int rows, int imageTag)
{
    m_pImage = new CSpriteImage;
    try {
        m_pImage->Load(dd, name);
        m_pImage->SetFrameGrid(columns, rows);
        m_bOwnsImage = TRUE;
        SetImage(m_pImage, imageTag);
    } catch (...) {
        delete m_pImage;
        m_pImage = nullptr;
        m_bOwnsImage = FALSE;
        throw;
    }
    return TRUE;
}

BOOL CSprite::SetImage(CSpriteImage* pImage, int imageTag)
{
    if (m_bHasImage || !pImage)
        return FALSE;
    m_pImage = pImage;
    m_nImageTag = imageTag;
    m_nWidth = pImage->m_nFrameWidth;
    m_nHeight = pImage->m_nFrameHeight;
    SetPositionAndSize(m_x, m_y, pImage->m_nFrameWidth, pImage->m_nFrameHeight, FALSE);
    m_nFrame = 0;
    m_bHasImage = TRUE;
    return TRUE;
}

void CSprite::Draw(IDirectDrawSurface3* dest, const RECT* clip)
{
    if (!m_bHasImage || !m_bVisible)
        return;
    RECT overlap;
    if (!IntersectRect(&overlap, &m_rect, clip))
        return;
    m_pImage->DrawFrame(dest, m_rect.left, m_rect.top, m_nFrame);
}

BOOL CSprite::ContainsPoint(int x, int y, BOOL bForce) { return HitTest(x, y, bForce); }
int CSprite::GetFrame() { return m_nFrame; }
int CSprite::GetReserved() { return m_nReserved; }

void CSprite::SetFrame(int frame, BOOL bRedraw)
{
    if (!m_pImage || frame < 0 || frame >= m_pImage->m_nFrameCount)
        return;
    m_nFrame = frame;
    if (bRedraw)
        RedrawDisplay();
}

void CSprite::NextFrame(BOOL bRedraw)
{
    if (!m_pImage)
        return;
    int n = m_pImage->m_nFrameCount;
    if (m_bAnimateForward) {
        SetFrame((m_nFrame + 1) % n, bRedraw);
    } else {
        int f = m_nFrame - 1;
        if (f < 0)
            f = n - 1;
        SetFrame(f, bRedraw);
    }
}

POINT CSprite::GetVelocity() { return m_velocity; }
void CSprite::SetVelocity(int dx, int dy) { m_velocity = { dx, dy }; }
CSpriteImage* CSprite::GetImage() { return m_pImage; }
BOOL CSprite::IsAnimationForward() { return m_bAnimateForward; }
void CSprite::SetAnimationForward(BOOL bForward) { m_bAnimateForward = bForward; }
void CSprite::SetUserFlag(int nFlag) { m_nUserFlag = nFlag; }
int CSprite::GetUserFlag() { return m_nUserFlag; }
POINT CSprite::GetUserPoint() { return m_userPoint; }
void CSprite::SetUserPoint(int x, int y) { m_userPoint = { x, y }; }
void CSprite::SetUserPoint2(int x, int y) { m_userPoint = { x, y }; }

void CSprite::Resize(int width, int height, BOOL bRedraw) { SetSize(width, height, bRedraw); }

void CSprite::SetSize(int width, int height, BOOL bRedraw)
{
    if (width != m_nWidth || height != m_nHeight)
        Place(m_x, m_y, width, height, bRedraw);
}

void CSprite::SetPositionAndSize(int x, int y, int width, int height, BOOL bRedraw)
{
    SetRect(RECT{ x, y, x + width, y + height }, bRedraw);
}

void CSprite::SetEdges(int left, int top, int right, int bottom, BOOL bRedraw)
{
    SetRect(RECT{ left, top, right, bottom }, bRedraw);
}

void CSprite::SetRect(RECT rect, BOOL bRedraw)
{
    if (EqualRect(&rect, &m_rect))
        return;
    Place(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, bRedraw);
}

void CSprite::SetDepth(int depth, BOOL bRedraw)
{
    m_nDepth = depth;
    RepositionSprite(this);
    if (bRedraw)
        RedrawDisplay();
}

BOOL CSpriteList::Insert(CSprite* pSprite)
{
    for (int i = 0; i < GetSize(); ++i) {
        if (GetSprite(i)->m_nDepth > pSprite->m_nDepth) {
            InsertAt(i, pSprite);
            return TRUE;
        }
    }
    Add(pSprite);
    return TRUE;
}

CSprite* CSpriteList::Remove(CSprite* pSprite)
{
    for (int i = 0; i < GetSize(); ++i) {
        if (GetSprite(i) == pSprite) {
            RemoveAt(i);
            return pSprite;
        }
    }
    return nullptr;
}

BOOL CSpriteList::Reposition(CSprite* pSprite)
{
    if (!Remove(pSprite))
        return FALSE;
    Insert(pSprite);
    return TRUE;
}
