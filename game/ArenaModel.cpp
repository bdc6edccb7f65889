#include "game/ArenaModel.h"

#include "game/Stage2Engine.h"

#include <algorithm>
#include <cstdlib>

using namespace GameData;

namespace
{
constexpr uint8_t A = Maneuver::kAlways;
constexpr uint8_t N = Maneuver::kNever;
// Long enough for the highest throw of a jump block to come down again.
constexpr int kHopPasses = 150;
// A walk that stays on its surface this long goes nowhere.
constexpr int kWalkPasses = 60;
} // namespace

// Rightward; each is also tried leftward (but for the last two, which go
// straight up and down).
const Maneuver ArenaModel::kManeuvers[kManeuverCount] = {
    {1, A, 0, 0, 0, N, 0, 0},  // walk (or run) off
    {1, 16, 0, 0, 0, N, 0, 0}, // some steps (onto a jump block, say)
    {1, A, 0, 3, 0, N, 0, 0},  // hop
    {1, A, 0, 5, 0, N, 0, 0},  // jump
    {1, A, 0, 8, 0, N, 0, 0},  // full jump
    {1, 8, 0, 8, 0, N, 0, 0},  // up, then a little across
    {1, A, 8, 8, 0, N, 0, 0},  // a few steps, then a full jump
    {1, A, 0, 0, 3, N, 0, 0},  // drop through and drift across
    {0, 0, 0, 8, 0, N, 0, 0},  // straight up
    {0, 0, 0, 0, 3, N, 0, 0},  // straight down through
};

ArenaModel::ArenaModel(const Stage2Engine& game)
{
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
        {
            m_tiles[row][column] = game.GetLevelTile(column, row);
            if (m_tiles[row][column] == kLeverTile && m_leverCount < 8)
            {
                m_levers[m_leverCount][0] = column;
                m_levers[m_leverCount][1] = row;
                ++m_leverCount;
            }
        }
    for (int column = 0; column < kGridColumns; ++column)
        for (int row = kGridRows - 1; row >= 0; --row)
        {
            const int tile = m_tiles[row][column];
            m_floorFrom[row][column] = tile == kBrickTile || tile == kThinPlatformTile ||
                                       tile == kJumpBlockTile || m_floorFrom[row + 1][column];
        }
    for (auto& row : m_cost)
        for (int& cost : row)
            cost = kNoWay;
    FindSurfaces();
    FindHops();
    FindShortestWays();
}

// Runs of bricks and thin platforms with no brick or jump block on top.
void ArenaModel::FindSurfaces()
{
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
        {
            m_surfaceAt[row][column] = kNone;
            const int tile = m_tiles[row][column];
            const int above = Tile(column, row - 1);
            if ((tile != kBrickTile && tile != kThinPlatformTile) || above == kBrickTile ||
                above == kJumpBlockTile)
                continue;
            if (column > 0 && m_surfaceAt[row][column - 1] != kNone)
            {
                m_surfaceAt[row][column] = m_surfaceAt[row][column - 1];
                m_surfaces[m_surfaceAt[row][column]].last = column;
            }
            else if (m_surfaceCount < kMaxSurfaces)
            {
                m_surfaces[m_surfaceCount] = Surface{row, column, column};
                m_surfaceAt[row][column] = static_cast<int8_t>(m_surfaceCount++);
            }
        }
}

int ArenaModel::SurfaceBelow(int x, int y) const
{
    const int feet = y + kTileSize;
    const int firstRow = feet <= 0 ? 0 : (feet + kTileSize - 1) / kTileSize;
    const int columns[2] = {x >= 0 ? x / kTileSize : -1,
                            x + kTileSize - 1 >= 0 ? (x + kTileSize - 1) / kTileSize : -1};
    for (int row = firstRow; row < kGridRows; ++row)
        for (const int column : columns)
            if (column >= 0 && column < kGridColumns && m_surfaceAt[row][column] != kNone)
                return m_surfaceAt[row][column];
    return kNone;
}

bool ArenaModel::FloorBelow(int x, int y) const
{
    const int feet = y + kTileSize;
    const int firstRow = feet <= 0 ? 0 : (feet + kTileSize - 1) / kTileSize;
    if (firstRow >= kGridRows)
        return false;
    for (const int column :
         {x >= 0 ? x / kTileSize : -1, x + kTileSize - 1 >= 0 ? (x + kTileSize - 1) / kTileSize : -1})
        if (column >= 0 && column < kGridColumns && m_floorFrom[firstRow][column])
            return true;
    return false;
}

void ArenaModel::FindHops()
{
    for (int from = 0; from < m_surfaceCount; ++from)
        for (int column = m_surfaces[from].first; column <= m_surfaces[from].last; ++column)
            for (const Maneuver& maneuver : kManeuvers)
            {
                TryHop(from, column, maneuver);
                if (maneuver.dir != 0)
                    TryHop(from, column, maneuver.Mirrored());
            }
}

// Plays the maneuver from standing at the column, and notes
// the surface it first lands on, if it is another and the fighter stayed in
// the arena.
void ArenaModel::TryHop(int from, int column, const Maneuver& maneuver)
{
    const Surface& surface = m_surfaces[from];
    FighterModel fighter;
    fighter.x = column * kTileSize;
    fighter.y = (surface.row - 1) * kTileSize;
    fighter.boosts = 8.0f;
    fighter.onThin = m_tiles[surface.row][column] == kThinPlatformTile;
    fighter.onSolid = !fighter.onThin;
    fighter.onGround = true;
    const LiftTops noLifts;
    bool airborne = false;
    for (int pass = 0; pass < kHopPasses; ++pass)
    {
        fighter.Step(*this, maneuver.Held(pass), noLifts);
        if (fighter.out || fighter.pastEdge)
            return;
        if (!fighter.onGround)
        {
            airborne = true;
            continue;
        }
        if (!airborne)
        {
            if (pass > kWalkPasses)
                return;
            continue;
        }
        const int landed = SurfaceBelow(fighter.x, fighter.y);
        if (landed != kNone && landed != from)
        {
            m_hops[from][landed] |= uint64_t{1} << column;
            m_cost[from][landed] = std::min(m_cost[from][landed], pass + 1);
        }
        return;
    }
}

// Shortest ways by the passes each hop takes (Floyd and Warshall's way,
// with the first hop of each way kept); ties keep the way found first.
void ArenaModel::FindShortestWays()
{
    for (int from = 0; from < m_surfaceCount; ++from)
        for (int to = 0; to < m_surfaceCount; ++to)
        {
            m_next[from][to] = static_cast<int8_t>(from == to || m_hops[from][to] ? to : kNone);
            if (from == to)
                m_cost[from][to] = 0;
        }
    for (int via = 0; via < m_surfaceCount; ++via)
        for (int from = 0; from < m_surfaceCount; ++from)
            for (int to = 0; to < m_surfaceCount; ++to)
                if (m_cost[from][via] + m_cost[via][to] < m_cost[from][to])
                {
                    m_cost[from][to] = m_cost[from][via] + m_cost[via][to];
                    m_next[from][to] = m_next[from][via];
                }
}

int ArenaModel::EdgeRoom(int surface, int x) const
{
    const Surface& on = m_surfaces[surface];
    const int below = on.row + 1;
    int room = 1 << 20;
    if (on.first == 0 || !m_floorFrom[std::min(below, kGridRows)][on.first - 1])
        room = std::min(room, x - on.first * kTileSize);
    if (on.last == kGridColumns - 1 || !m_floorFrom[std::min(below, kGridRows)][on.last + 1])
        room = std::min(room, (on.last + 1) * kTileSize - (x + kTileSize));
    return room;
}

int ArenaModel::HopStart(int from, int to, int x) const
{
    const uint64_t columns = m_hops[from][to];
    if (!columns)
        return kNone;
    const int at = (x + kTileSize / 2) / kTileSize;
    int best = kNone;
    for (int column = 0; column < kGridColumns; ++column)
        if ((columns >> column) & 1u)
            if (best == kNone || std::abs(column - at) < std::abs(best - at))
                best = column;
    return best * kTileSize;
}
