#include "scene/Saucer.h"

#include "display/DisplayWnd.h"

#include <cmath>
#include <cstdlib>

namespace {

// The constants as the saucers have always used them, not full-precision pi.
const double kPi = 3.141592654;
const double kTwoPi = 6.283185308;

// Bigger saucers rise faster and fly over smaller ones.
struct SaucerType {
    int speed;
    int depth;
};
const SaucerType kTypes[4] = { { 1, 50 }, { 2, 60 }, { 4, 70 }, { 8, 80 } };

// How far a saucer drops once it has left the top, in its own heights.
const int kWrapHeights = 36;

} // namespace

int RandomRange(int lo, int hi)
{
    return lo + rand() % (hi - lo + 1);
}

CSaucer::CSaucer() : m_dPhaseStep(kPi / RandomRange(30, 40)), m_dPhase(0.0), m_nBaseX(0)
{
}

CSaucer::~CSaucer() = default;

void CSaucer::Move(RECT area)
{
    POINT velocity = GetVelocity();
    int ny = m_y;
    if (m_y < area.top - m_nHeight)
        ny = m_y + kWrapHeights * m_nHeight;
    m_dPhase += m_dPhaseStep;
    if (m_dPhase > kPi)
        m_dPhase -= kTwoPi;
    int nx = m_nBaseX + static_cast<int>(std::sin(m_dPhase) * m_nWidth / 8);
    MoveTo(nx, ny + velocity.y, FALSE);
    NextFrame(FALSE);
}

CSaucerGroup::CSaucerGroup()
{
    for (CSaucer*& s : m_saucers)
        s = nullptr;
}

CSaucerGroup::~CSaucerGroup() = default;

BOOL CSaucerGroup::Create(int type, CSpriteImage* pImage, int x, int y, CSpriteList* pList)
{
    const int X = x + 3 * pImage->m_nFrameWidth;
    const int Y = y;
    for (int i = 0; i < 8; ++i) {
        CSaucer* saucer = new CSaucer;
        try {
            saucer->SetImage(pImage, 0);
            const int w = pImage->m_nFrameWidth, h = pImage->m_nFrameHeight;  // the saucer's size
            const int gw = w + w / 2, gh = h + h / 2;
            // A wedge: the leader, three behind it, four behind those.
            const POINT places[8] = {
                { X, Y },
                { X - gw, Y + gh },
                { X, Y + gh },
                { X + gw, Y + gh },
                { X - gw / 2, Y + 2 * gh },
                { X - (3 * gw) / 2, Y + 2 * gh },
                { X + gw / 2, Y + 2 * gh },
                { X + (3 * gw) / 2, Y + 2 * gh },
            };
            int px = places[i].x;
            int py = places[i].y + gh / RandomRange(4, 8);
            saucer->SetPosition(px, py, FALSE);
            saucer->m_nBaseX = px;
            if (type >= 0 && type <= 3) {
                saucer->SetVelocity(0, -kTypes[type].speed);
                saucer->SetDepth(kTypes[type].depth, TRUE);
            }
            saucer->SetFrame(RandomRange(0, 7), FALSE);
            m_saucers[i] = saucer;
            pList->Insert(saucer);
        } catch (...) {
            m_saucers[i] = nullptr;
            delete saucer;
            throw;
        }
    }
    return TRUE;
}

void CSaucerGroup::Update(RECT area)
{
    for (CSaucer* s : m_saucers)
        s->Move(area);
}
