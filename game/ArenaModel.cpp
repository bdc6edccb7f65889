#include "game/ArenaModel.h"

#include "game/Stage2Engine.h"

#include <algorithm>
#include <cstdlib>

using namespace GameData;

namespace
{
constexpr uint8_t A = Maneuver::kAlways;
constexpr uint8_t N = Maneuver::kNever;
// A walk that stays on its surface this long goes nowhere.
constexpr int kWalkPasses = 60;

bool Blocks(int tile) { return tile == kBrickTile || tile == kJumpBlockTile; }
} // namespace

// Rightward; each is also tried leftward (but for the last three, which go
// straight up and down).
const Maneuver ArenaModel::kManeuvers[kManeuverCount] = {
    {1, A, 0, 0, 0, 0, N, 0, 0, N},  // walk (or run) off
    {1, 16, 0, 0, 0, 0, N, 0, 0, N}, // some steps (onto a jump block, say)
    {1, A, 0, 3, 0, 0, N, 0, 0, N},  // hop
    {1, A, 0, 5, 0, 0, N, 0, 0, N},  // jump
    {1, A, 0, 8, 0, 0, N, 0, 0, N},  // full jump
    {1, 8, 0, 8, 0, 0, N, 0, 0, N},  // up, then a little across
    {1, A, 8, 8, 0, 0, N, 0, 0, N},  // a few steps, then a full jump
    {1, A, 0, 1, 2, 0, N, 0, 0, N},  // a jump and two taps across
    {1, A, 0, 1, 7, 0, N, 0, 0, N},  // a climb across
    {1, 10, 0, 1, 4, 0, N, 0, 0, N}, // a climb, a little across
    {1, 4, 0, 1, 6, 0, N, 0, 0, N},  // a climb, a step across
    {1, A, 0, 0, 0, 3, N, 0, 0, N},  // drop through and drift across
    {0, 0, 0, 8, 0, 0, N, 0, 0, N},  // straight up
    {0, 0, 0, 1, 3, 0, N, 0, 0, N},  // a climb straight up
    {0, 0, 0, 0, 0, 3, N, 0, 0, N},  // straight down through
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
    FindLandings();
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
        {
            // The quickest way from here to each surface.
            Hop quickest[kMaxSurfaces] = {};
            for (int way = 0; way < kManeuverCount; ++way)
                for (const int mirror : {0, 1})
                {
                    if (mirror && way >= kFirstStraight)
                        continue;
                    const Hop hop = TryHop(from, column, mirror ? -1 - way : way);
                    if (hop.passes > 0 &&
                        (quickest[hop.to].passes == 0 || hop.passes < quickest[hop.to].passes))
                        quickest[hop.to] = hop;
                }
            for (const Hop& hop : quickest)
                if (hop.passes > 0)
                {
                    m_hopList.push_back(hop);
                    m_hops[from][hop.to] |= uint64_t{1} << column;
                    m_cost[from][hop.to] = std::min(m_cost[from][hop.to], static_cast<int>(hop.passes));
                }
        }
}

Maneuver ArenaModel::Way(const Hop& hop)
{
    return hop.way >= 0 ? kManeuvers[hop.way] : kManeuvers[-1 - hop.way].Mirrored();
}

// Plays the course from standing at the column, and notes the surface it
// first lands on, if it is another and the fighter stayed in the arena
// (passes 0 when not).
ArenaModel::Hop ArenaModel::TryHop(int from, int column, int way) const
{
    const Surface& surface = m_surfaces[from];
    const Maneuver maneuver = Way(Hop{0, 0, 0, static_cast<int8_t>(way), 0});
    FighterModel fighter;
    fighter.x = column * kTileSize;
    fighter.y = (surface.row - 1) * kTileSize;
    fighter.boosts = 8.0f;
    fighter.onThin = m_tiles[surface.row][column] == kThinPlatformTile;
    fighter.onSolid = !fighter.onThin;
    fighter.onGround = true;
    const LiftTops noLifts;
    bool airborne = false;
    for (int pass = 0; pass < kLongestHop; ++pass)
    {
        fighter.Step(*this, maneuver.Held(pass), noLifts);
        if (fighter.out || fighter.pastEdge)
            return Hop{};
        if (!fighter.onGround)
        {
            airborne = true;
            continue;
        }
        if (!airborne)
        {
            if (pass > kWalkPasses)
                return Hop{};
            continue;
        }
        const int landed = SurfaceBelow(fighter.x, fighter.y);
        if (landed == kNone || landed == from)
            return Hop{};
        return Hop{static_cast<int8_t>(from), static_cast<int8_t>(landed), static_cast<int8_t>(column),
                   static_cast<int8_t>(way), static_cast<int16_t>(pass + 1)};
    }
    return Hop{};
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

const ArenaModel::Hop* ArenaModel::NearestHop(int from, int to, int x) const
{
    const Hop* nearest = nullptr;
    for (const Hop& hop : m_hopList)
        if (hop.from == from && hop.to == to &&
            (!nearest || std::abs(hop.column * kTileSize - x) < std::abs(nearest->column * kTileSize - x)))
            nearest = &hop;
    return nearest;
}

// For every cell, the place whose nearest point costs least to reach: a
// pixel across for each, a quarter for each fallen (a fall gives time to
// steer), two for each climbed, and none more than a climb can reach; once
// for a fighter that may climb and once for one that may not.
void ArenaModel::FindLandings()
{
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
        {
            const bool top = m_tiles[row][column] == kJumpBlockTile && !Blocks(Tile(column, row - 1));
            if (!top || m_throwerCount == kMaxThrowers)
                continue;
            Surface& last = m_throwers[std::max(0, m_throwerCount - 1)];
            if (m_throwerCount > 0 && last.row == row && last.last == column - 1)
                last.last = column;
            else
                m_throwers[m_throwerCount++] = Surface{row, column, column};
        }
    constexpr int kHighestClimb = 400;
    // A throw sends the fighter up and over again: only worth it when
    // nothing else is near.
    constexpr int kThrowDetour = 120;
    for (int climbs = 0; climbs < 2; ++climbs)
        for (int row = 0; row < kGridRows; ++row)
            for (int column = 0; column < kGridColumns; ++column)
            {
                const int x = column * kTileSize;
                const int feet = (row + 1) * kTileSize;
                int best = kNone;
                int bestCost = 0;
                for (int index = 0; index < m_surfaceCount + m_throwerCount; ++index)
                {
                    const Surface& landing = GetLanding(index);
                    const int across =
                        std::abs(std::clamp(x, landing.first * kTileSize, landing.last * kTileSize) - x);
                    const int down = landing.row * kTileSize - feet;
                    if (-down > (climbs ? kHighestClimb : 0))
                        continue;
                    const int cost =
                        across + (down >= 0 ? down / 4 : -2 * down) + (Throws(index) ? kThrowDetour : 0);
                    if (best == kNone || cost < bestCost)
                    {
                        best = index;
                        bestCost = cost;
                    }
                }
                m_landing[climbs][row][column] = static_cast<int8_t>(best);
            }
}

int ArenaModel::LandingFor(int x, int y, bool mayClimb) const
{
    const int column = std::clamp((x + kTileSize / 2) / kTileSize, 0, kGridColumns - 1);
    const int row = y < 0 ? 0 : std::min(y / kTileSize, kGridRows - 1);
    const int landing = m_landing[mayClimb ? 1 : 0][row][column];
    // Nothing below: a climb (or a dash) is all that is left.
    return landing != kNone ? landing : m_landing[1][row][column];
}
