#pragma once

#include "game/GameData.h"

#include <string>

// A level or star-field map written with readable symbols, turned into the
// game's map file: 30 lines of 40 digits, each ended by one line feed, and
// for a level the four start coordinates, each followed by one space.
//
//   # comments before the grid
//   output level1.txt
//   kind level                 (or: kind background)
//   grid
//   ........................................   (30 rows of 40 symbols)
//
// Level symbols: '.' empty, '#' brick, '=' thin platform, '^' jump block,
// 'L' lever, '1' and '2' the players' start cells (empty in the file).
// Background symbols: '.' empty, '*' star, '+' small star.
class MapSource
{
public:
    static constexpr int kColumns = GameData::kGridColumns;
    static constexpr int kRows = GameData::kGridRows;
    static constexpr int kTileSize = GameData::kTileSize;

    // False with a message naming the line on a malformed or unplayable map:
    // a start must stand on a brick, inside the window, and a lever on a
    // brick or a thin platform.
    bool Parse(const std::string& text, std::string& error);

    // The file's contents, exactly as the game reads them.
    std::string MapFileText() const;

    const std::string& GetOutput() const { return m_output; }
    bool IsLevel() const { return m_level; }
    // The tile code of a cell.
    int GetCode(int column, int row) const { return m_codes[row][column]; }
    // Start coordinates, the top-left of each player's 24 x 24 box.
    int GetStartX(int player) const { return m_startX[player == 2 ? 1 : 0]; }
    int GetStartY(int player) const { return m_startY[player == 2 ? 1 : 0]; }

private:
    bool ReadGridRow(const std::string& row, std::string& error);
    bool CheckStarts(std::string& error) const;
    bool CheckLevers(std::string& error) const;
    // The fourth level's lifts, walker and flyers need room to move.
    bool CheckBusyLevelRoom(std::string& error) const;

    std::string m_output;
    bool m_level = true;
    bool m_kindGiven = false;
    int m_rowsRead = 0;
    int m_codes[kRows][kColumns] = {};
    int m_startX[2] = {-1, -1};
    int m_startY[2] = {-1, -1};
};
