#include "objects/MovingPlatform.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"

namespace
{
// The platform is this many tile-sized segments wide.
constexpr int kSegments = 3;
} // namespace

MovingPlatform::MovingPlatform(BaseEngine* engine, int x, int y, int minY, int maxY) : GravityObject(engine)
{
    ClearState<PlatformState>(*this);
    m_step = 1;
    m_minY = minY;
    m_maxY = maxY;
    const int tile = m_engine->TileSize();
    {
        PixelImage loaded;
        loaded.LoadImage(GameData::kPlatformSegmentFile);
        m_image.ResizeFrom(loaded, tile, tile, false);
    }
    m_x = x;
    m_y = y;
    m_width = kSegments * tile;
    m_height = tile;
}

MovingPlatform::~MovingPlatform() = default;

void MovingPlatform::SaveState(StateBytes& out) const
{
    GravityObject::SaveState(out);
    AppendState<PlatformState>(out, *this);
}

bool MovingPlatform::LoadState(StateReader& in)
{
    return GravityObject::LoadState(in) && in.Load<PlatformState>(*this);
}

void MovingPlatform::Update(int /*time*/)
{
    // A fixed path: no physics, no contacts of its own. Characters react to
    // the platform, not the other way round.
    m_y += m_step;
    if (m_y < m_minY)
    {
        m_y = m_minY;
        m_step = +1;
        Report(ObjectEvent::LiftTurn);
    }
    if (m_y > m_maxY)
    {
        m_y = m_maxY;
        m_step = -1;
        Report(ObjectEvent::LiftTurn);
    }
    m_engine->Redraw(false);
}

void MovingPlatform::Draw()
{
    const int tile = m_engine->TileSize();
    for (int i = 0; i < kSegments; ++i)
        m_image.RenderImageWithMask(m_engine->GetForeground(), 0, 0, m_x + i * tile, m_y, tile, m_height);
    StoreLastDrawnPosition();
}
