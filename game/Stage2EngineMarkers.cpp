// Who is who: a pointer of each player's colour above its fighter, and,
// while a fighter is pinned past a side of the window, an arrow at that
// side at its height that fills as it nears being out. Markers are drawn
// over the objects and wiped with them.
#include "game/Stage2Engine.h"

#include "objects/Character.h"

#include <algorithm>

using namespace GameData;

namespace
{
constexpr int kPointerHalf = 7;
constexpr int kPointerHeight = 9;
constexpr int kPointerGap = 3;
constexpr int kArrowLength = 22;
constexpr int kArrowHalf = 13;
} // namespace

void Stage2Engine::AfterEraseObjects()
{
    for (int i = 0; i < m_markerCount; ++i)
    {
        const ScreenRect& marker = m_markers[i];
        CopyBackgroundPixels(marker.x1, marker.y1, marker.x2 - marker.x1 + 1, marker.y2 - marker.y1 + 1);
    }
    m_markerCount = 0;
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
            // Pointing down at the fighter's head, outlined like the text.
            const double top = player->GetY() - kPointerGap - kPointerHeight;
            DrawTriangle(centreX - kPointerHalf - 1, top - 1, centreX + kPointerHalf + 1, top - 1, centreX,
                         top + kPointerHeight + 1, kTextOutline);
            DrawTriangle(centreX - kPointerHalf, top, centreX + kPointerHalf, top, centreX,
                         top + kPointerHeight, kPlayerColours[i]);
            m_markers[m_markerCount++] = {
                static_cast<int>(centreX) - kPointerHalf - 2, static_cast<int>(top) - 2,
                static_cast<int>(centreX) + kPointerHalf + 2, static_cast<int>(top) + kPointerHeight + 2};
            continue;
        }
        // Pinned: the arrow's tip at the side; its colour grows from the
        // tip with the distance travelled past the edge.
        const bool right = player->GetEdgeOvershoot() > 0;
        const double limit =
            right ? GravityObject::kEdgeLimit - GravityObject::kEdgeSlack : GravityObject::kEdgeLimit;
        const double filled = std::clamp(std::abs(player->GetEdgeOvershoot()) / limit, 0.15, 1.0);
        const double tip = right ? m_windowWidth - 1 : 0;
        const double length = right ? -kArrowLength : kArrowLength;
        DrawTriangle(tip, centreY, tip + length, centreY - kArrowHalf, tip + length, centreY + kArrowHalf,
                     kTextOutline);
        DrawTriangle(tip, centreY, tip + length * filled, centreY - kArrowHalf * filled,
                     tip + length * filled, centreY + kArrowHalf * filled, kPlayerColours[i]);
        const int near = static_cast<int>(std::min(tip, tip + length)),
                  far = static_cast<int>(std::max(tip, tip + length));
        m_markers[m_markerCount++] = {near - 1, static_cast<int>(centreY) - kArrowHalf - 1, far + 1,
                                      static_cast<int>(centreY) + kArrowHalf + 1};
    }
}
