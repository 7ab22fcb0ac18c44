// Flying saucers and the wedge-shaped formations they fly in.
#pragma once

#include "scene/Sprite.h"

// lo + rand() % (hi - lo + 1): one draw of the run-time library's generator.
int RandomRange(int lo, int hi);

class CSaucer : public CSprite {
public:
    CSaucer();
    ~CSaucer() override;

    // One frame: rise, wrap 36 heights down once above the area's top,
    // sway on the sine curve, spin.
    void Move(RECT area);

private:
    friend struct TestAccess;
    friend class CSaucerGroup;  // places its saucers

    double m_dPhaseStep;
    double m_dPhase;
    int m_nBaseX;
};

class CSaucerGroup : public CObject {
public:
    CSaucerGroup();
    // The saucers belong to the sprite window's list, which deletes them.
    ~CSaucerGroup() override;

    BOOL Create(int type, CSpriteImage* pImage, int x, int y, CSpriteList* pList);
    void Update(RECT area);

private:
    CSaucer* m_saucers[8];
};
