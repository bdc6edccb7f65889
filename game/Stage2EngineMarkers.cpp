// Who is who: a pointer of each player's colour above its fighter, and,
// while a fighter is pinned past a side of the window, an arrow at that
// side at its height that fills as it nears being out. Markers are drawn
// over the objects and wiped with them.
#include "game/Stage2Engine.h"

#include "objects/Character.h"

#include <algorithm>
#include <cmath>

using namespace GameData;

namespace
{
constexpr int kPointerHalf = 7;
constexpr int kPointerHeight = 9;
constexpr int kPointerGap = 3;
constexpr int kArrowLength = 22;
constexpr int kArrowHalf = 13;
// The arrow's rim, about two pixels wide along its sides.
constexpr int kRimTip = 4;
constexpr int kRimBase = 2;
} // namespace

void Stage2Engine::AfterEraseObjects()
{
    for (int i = 0; i < m_markerCount; ++i)
    {
        const ScreenRect& marker = m_markers[i];
        CopyBackgroundPixels(marker.x1, marker.y1, marker.x2 - marker.x1 + 1, marker.y2 - marker.y1 + 1);
    }
    m_markerCount = 0;
    WipeVolume();
}

void Stage2Engine::DrawMarkers()
{
    m_markerCount = 0;
    const Character* const players[] = {m_player1, m_player2};
    for (int i = 0; i < 2; ++i)
    {
        const Character* player = players[i];
        if (!player)
            continue;
        const double centreX = player->GetX() + player->GetWidth() / 2.0 - 0.5;
        const double centreY = player->GetY() + player->GetHeight() / 2.0 - 0.5;
        if (!player->IsPastEdge())
        {
            // Pointing down at the fighter's head, outlined like the text: the
            // outline's sides lie a pixel outside the pointer's.
            const double top = player->GetY() - kPointerGap - kPointerHeight;
            DrawTriangle(centreX - kPointerHalf - 2, top - 1, centreX + kPointerHalf + 2, top - 1, centreX,
                         top + kPointerHeight + 2, kTextOutline);
            DrawTriangle(centreX - kPointerHalf, top, centreX + kPointerHalf, top, centreX,
                         top + kPointerHeight, kPlayerColours[i]);
            m_markers[m_markerCount++] = {
                static_cast<int>(centreX) - kPointerHalf - 3, static_cast<int>(top) - 2,
                static_cast<int>(centreX) + kPointerHalf + 3, static_cast<int>(top) + kPointerHeight + 3};
            continue;
        }
        // Pinned: the arrow's tip at the side; its colour grows from the
        // tip with the distance travelled past the edge. The empty part is
        // dark inside a rim that stands out on the sky; the rim's tip lies
        // past the side, so that it rings the fill in the edge's column too.
        const bool right = player->GetEdgeOvershoot() > 0;
        const double limit =
            right ? GravityObject::kEdgeLimit - GravityObject::kEdgeSlack : GravityObject::kEdgeLimit;
        const double filled = std::clamp(std::abs(player->GetEdgeOvershoot()) / limit, 0.15, 1.0);
        const double out = right ? 1.0 : -1.0;
        const double tip = right ? m_windowWidth - 1 : 0;
        const double base = tip - out * kArrowLength;
        const double rimTip = tip + out * kRimTip;
        const double rimBase = base - out * kRimBase;
        const double rimHalf = kArrowHalf * (kArrowLength + kRimTip + kRimBase) / kArrowLength;
        DrawTriangle(rimTip, centreY, rimBase, centreY - rimHalf, rimBase, centreY + rimHalf,
                     m_daytime ? kArrowRimByDay : kArrowRimByNight);
        DrawTriangle(tip, centreY, base, centreY - kArrowHalf, base, centreY + kArrowHalf, kArrowEmpty);
        const double fill = tip + (base - tip) * filled;
        DrawTriangle(tip, centreY, fill, centreY - kArrowHalf * filled, fill, centreY + kArrowHalf * filled,
                     kPlayerColours[i]);
        const int near = static_cast<int>(std::min(tip, rimBase));
        const int far = static_cast<int>(std::max(tip, rimBase));
        const int half = static_cast<int>(std::ceil(rimHalf)) + 1;
        m_markers[m_markerCount++] = {near - 1, static_cast<int>(centreY) - half, far + 1,
                                      static_cast<int>(centreY) + half + 1};
    }
}
