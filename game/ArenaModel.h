#pragma once

#include "game/FighterModel.h"
#include "game/GameData.h"

#include <cstdint>
#include <vector>

class Stage2Engine;

// The level as a computer player reads it from the screen: its tiles, the
// surfaces a fighter can stand on (runs of bricks and thin platforms with
// room above), whether anything lies below a place to land on, where a
// fighter in the air had best come down, and which surfaces a fighter can
// get to from which, found once by trying the ways there (walks, jumps,
// tapped climbs, drops, the jump blocks' throws) on a model of the fighter.
// It is made from the tiles alone, which a round never changes.
class ArenaModel
{
public:
    static constexpr int kNone = -1;
    static constexpr int kMaxSurfaces = 48;
    static constexpr int kManeuverCount = 15;
    // The ways from one surface to another that a computer tries, each
    // either way across (the last three go straight up and down).
    static const Maneuver kManeuvers[kManeuverCount];
    static constexpr int kFirstStraight = 12;
    // The passes a hop may take: long enough for the highest throw of a
    // jump block to come down again.
    static constexpr int kLongestHop = 150;

    // A way from a surface: standing at a column, a course lands on another.
    struct Hop
    {
        int8_t from;
        int8_t to;
        int8_t column;
        int8_t way; // kManeuvers' index, negative for its mirror (-1 - index)
        int16_t passes;
    };

    struct Surface
    {
        int row; // its tiles' row: a fighter stands with its feet at row * 24
        int first;
        int last; // its columns
    };

    explicit ArenaModel(const Stage2Engine& game);

    int Tile(int column, int row) const
    {
        return column >= 0 && column < GameData::kGridColumns && row >= 0 && row < GameData::kGridRows
                   ? m_tiles[row][column]
                   : static_cast<int>(GameData::kEmptyTile);
    }
    int SurfaceCount() const { return m_surfaceCount; }
    const Surface& GetSurface(int index) const { return m_surfaces[index]; }
    // The surface a fighter at (x, y) stands on, or would fall onto first
    // falling straight down; kNone when there is none.
    int SurfaceBelow(int x, int y) const;
    // Whether a fighter at (x, y) falling straight down meets anything: a
    // surface or a jump block.
    bool FloorBelow(int x, int y) const;
    // Pixels from a fighter at x on a surface to the nearer end of it with
    // nothing below, or a large number when neither end is a drop.
    int EdgeRoom(int surface, int x) const;
    // The surface to make for next on the shortest way from one surface to
    // another (the other itself when it is one hop away), or kNone.
    int NextHop(int from, int to) const { return m_next[from][to]; }
    // The hop from one surface to another that starts nearest x, or null.
    const Hop* NearestHop(int from, int to, int x) const;
    static Maneuver Way(const Hop& hop);
    // Where a fighter in the air at (x, y) had best come down: the nearest
    // place by its reach (a fall gives time, a climb costs it, a jump
    // block's throw is a detour), counting only places at or below it when
    // it cannot climb; an index for GetLanding, or kNone.
    int LandingFor(int x, int y, bool mayClimb) const;
    // A place to come down on: the surfaces by their index, then the runs
    // of jump blocks with room above (which throw the fighter up again).
    const Surface& GetLanding(int index) const
    {
        return index < m_surfaceCount ? m_surfaces[index] : m_throwers[index - m_surfaceCount];
    }
    bool Throws(int landing) const { return landing >= m_surfaceCount; }
    // Lever cells, for a computer that fancies pulling one.
    int LeverCount() const { return m_leverCount; }
    int LeverColumn(int index) const { return m_levers[index][0]; }
    int LeverRow(int index) const { return m_levers[index][1]; }

private:
    void FindSurfaces();
    void FindHops();
    Hop TryHop(int from, int column, int way) const;
    void FindShortestWays();
    void FindLandings();

    signed char m_tiles[GameData::kGridRows][GameData::kGridColumns] = {};
    Surface m_surfaces[kMaxSurfaces] = {};
    int m_surfaceCount = 0;
    int8_t m_surfaceAt[GameData::kGridRows][GameData::kGridColumns] = {};
    // Whether a column holds anything to land on at or below a row.
    bool m_floorFrom[GameData::kGridRows + 1][GameData::kGridColumns] = {};
    // The columns (bit by bit) of a surface from which a hop reaches another.
    uint64_t m_hops[kMaxSurfaces][kMaxSurfaces] = {};
    int8_t m_next[kMaxSurfaces][kMaxSurfaces] = {};
    // Passes of the quickest hop, then of the quickest way.
    static constexpr int kNoWay = 1 << 20;
    int m_cost[kMaxSurfaces][kMaxSurfaces] = {};
    std::vector<Hop> m_hopList;
    static constexpr int kMaxThrowers = 8;
    Surface m_throwers[kMaxThrowers] = {};
    int m_throwerCount = 0;
    // By whether the fighter may climb, then by cell.
    int8_t m_landing[2][GameData::kGridRows][GameData::kGridColumns] = {};
    int m_levers[8][2] = {};
    int m_leverCount = 0;
};
