// What a sprite shows of its place and its depth to anyone: its hit test,
// forced so that visibility does not count, and where a depth-ordered list
// puts it.
#pragma once

#include "scene/Sprite.h"

// The sprite covers exactly r: its corners inside, the points just beyond
// them not.
inline bool Covers(CSprite& s, const RECT& r)
{
    return s.HitTest(r.left, r.top, TRUE) && s.HitTest(r.right - 1, r.bottom - 1, TRUE) &&
           !s.HitTest(r.left - 1, r.top, TRUE) && !s.HitTest(r.left, r.top - 1, TRUE) &&
           !s.HitTest(r.right, r.bottom - 1, TRUE) && !s.HitTest(r.right - 1, r.bottom, TRUE);
}

// The sprite's top edge in column x is row y.
inline bool TopAt(CSprite& s, int x, int y)
{
    return s.HitTest(x, y, TRUE) && !s.HitTest(x, y - 1, TRUE);
}

// The depth the sprite is drawn at: the least one whose next deeper sprite
// a list puts after it (-1 beyond 1000).
inline int DepthOf(CSprite& s)
{
    CSprite deeper;
    for (int depth = 0; depth <= 1000; ++depth) {
        deeper.SetDepth(depth + 1, FALSE);
        CSpriteList list;
        list.Insert(&deeper);
        list.Insert(&s);
        const bool before = list.GetSprite(0) == &s;
        list.RemoveAll();
        if (before)
            return depth;
    }
    return -1;
}
