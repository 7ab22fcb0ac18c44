#include "scene/SpriteWnd.h"

void CSpriteWnd::DrawSprites(const RECT* clip)
{
    RECT rect = *clip;
    for (int i = 0; i < m_sprites.GetSize(); ++i)
        m_sprites.GetSprite(i)->Draw(Work(), &rect);
}

void CSpriteWnd::DeleteSprites()
{
    for (int i = 0; i < m_sprites.GetSize(); ++i)
        delete m_sprites.GetSprite(i);
    m_sprites.RemoveAll();
}

void RedrawDisplay()
{
    if (theDisplayWnd)
        theDisplayWnd->Redraw();
}

void RepositionSprite(CSprite* pSprite)
{
    // Only a window that draws sprites has an order to keep.
    if (CSpriteWnd* wnd = dynamic_cast<CSpriteWnd*>(theDisplayWnd))
        wnd->m_sprites.Reposition(pSprite);
}
