// A display window that draws a depth-ordered list of sprites over its
// background and owns them; the scene window is one.
#pragma once

#include "display/DisplayWnd.h"
#include "scene/Sprite.h"

class CSpriteWnd : public CDisplayWnd {
public:
    explicit CSpriteWnd(BOOL bAutoDelete, const DisplayPlatform& platform = RealDisplayPlatform())
        : CDisplayWnd(bAutoDelete, platform) {}

protected:
    friend struct TestAccess;
    friend void RepositionSprite(CSprite* pSprite);

    // Every sprite in list order, over the whole window.
    void DrawSprites(const RECT* clip) override;
    void DeleteSprites() override;

    CSpriteList m_sprites;  // owned: deleted at shutdown
};
