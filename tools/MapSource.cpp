#include "tools/MapSource.h"

#include <sstream>

namespace
{
std::string Trim(const std::string& text)
{
    const size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return std::string();
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

// The tile code of a symbol, or -1 when the symbol has no place in the kind.
int CodeOf(char symbol, bool level)
{
    if (symbol == '.')
        return 0;
    if (level)
    {
        switch (symbol)
        {
        case '#':
            return GameData::kBrickTile;
        case '=':
            return GameData::kThinPlatformTile;
        case '^':
            return GameData::kJumpBlockTile;
        case 'L':
            return GameData::kLeverTile;
        case '1':
        case '2':
            return GameData::kEmptyTile;
        default:
            return -1;
        }
    }
    switch (symbol)
    {
    case '*':
        return GameData::kStarTile;
    case '+':
        return GameData::kSmallStarTile;
    default:
        return -1;
    }
}
} // namespace

bool MapSource::Parse(const std::string& text, std::string& error)
{
    *this = MapSource();
    std::istringstream lines(text);
    std::string raw;
    int lineNumber = 0;
    bool inGrid = false;
    while (std::getline(lines, raw))
    {
        ++lineNumber;
        const std::string line = Trim(raw);
        std::string problem;
        bool ok = true;
        if (inGrid)
            ok = line.empty() || ReadGridRow(line, problem);
        else if (line.empty() || line[0] == '#')
            continue;
        else if (line == "grid")
            inGrid = true;
        else
        {
            std::istringstream in(line);
            std::string keyword, value, rest;
            in >> keyword >> value;
            if (keyword == "output" && !value.empty() && !(in >> rest) &&
                value.find('/') == std::string::npos)
                m_output = value;
            else if (keyword == "kind" && (value == "level" || value == "background") && !(in >> rest))
            {
                m_level = value == "level";
                m_kindGiven = true;
            }
            else
            {
                problem = "expected \"output <file name>\", \"kind level|background\" or "
                          "\"grid\"";
                ok = false;
            }
        }
        if (!ok)
        {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
    }

    if (m_output.empty() || !m_kindGiven)
        error = "the output file and the kind must both be named";
    else if (m_rowsRead != kRows)
        error = "the grid has " + std::to_string(m_rowsRead) + " rows, not " + std::to_string(kRows);
    else if (m_level && (!CheckStarts(error) || !CheckLevers(error) || !CheckBusyLevelRoom(error)))
        return false;
    return error.empty();
}

bool MapSource::ReadGridRow(const std::string& row, std::string& error)
{
    if (m_rowsRead == kRows)
    {
        error = "more than " + std::to_string(kRows) + " grid rows";
        return false;
    }
    if (row.size() != static_cast<size_t>(kColumns))
    {
        error = "a grid row has " + std::to_string(row.size()) + " symbols, not " + std::to_string(kColumns);
        return false;
    }
    for (int column = 0; column < kColumns; ++column)
    {
        const char symbol = row[column];
        const int code = CodeOf(symbol, m_level);
        if (code < 0)
        {
            error = std::string("symbol '") + symbol + "' has no meaning in a " +
                    (m_level ? "level" : "background");
            return false;
        }
        if (symbol == '1' || symbol == '2')
        {
            const int player = symbol - '1';
            if (m_startX[player] >= 0)
            {
                error = std::string("a second start for player ") + symbol;
                return false;
            }
            m_startX[player] = column * kTileSize;
            m_startY[player] = m_rowsRead * kTileSize;
        }
        m_codes[m_rowsRead][column] = code;
    }
    ++m_rowsRead;
    return true;
}

bool MapSource::CheckStarts(std::string& error) const
{
    for (int player = 0; player < 2; ++player)
    {
        const std::string name = "player " + std::to_string(player + 1);
        if (m_startX[player] < 0)
        {
            error = "no start for " + name;
            return false;
        }
        // A player spawned in mid-air or on a jump block would be thrown
        // about before anyone touched a key.
        const int column = m_startX[player] / kTileSize;
        const int row = m_startY[player] / kTileSize;
        if (row + 1 >= kRows || m_codes[row + 1][column] != GameData::kBrickTile)
        {
            error = "the start of " + name + " does not stand on a brick";
            return false;
        }
    }
    return true;
}

bool MapSource::CheckLevers(std::string& error) const
{
    // A lever is pulled by standing in its cell, so it needs a floor.
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
        {
            const int below = row + 1 < kRows ? m_codes[row + 1][column] : GameData::kEmptyTile;
            if (m_codes[row][column] == GameData::kLeverTile && below != GameData::kBrickTile &&
                below != GameData::kThinPlatformTile)
            {
                error = "the lever at column " + std::to_string(column) + ", row " + std::to_string(row) +
                        " cannot be stood at";
                return false;
            }
        }
    return true;
}

bool MapSource::CheckBusyLevelRoom(std::string& error) const
{
    using namespace GameData;
    const std::string busy = kLevelFiles[kBusyLevel];
    if (busy.substr(busy.rfind('/') + 1) != m_output)
        return true;
    // The cells each of the level's objects passes through (a lift with a
    // rider on top) must be empty, and the walker needs a floor.
    const auto clear = [this, &error](const char* what, int x1, int y1, int x2, int y2) {
        for (int y = y1; y <= y2; y += kTileSize)
            for (int x = x1; x <= x2; x += kTileSize)
                if (m_codes[y / kTileSize][x / kTileSize] != kEmptyTile)
                {
                    error = std::string(what) + " runs into column " + std::to_string(x / kTileSize) +
                            ", row " + std::to_string(y / kTileSize);
                    return false;
                }
        return true;
    };
    bool room = clear("the walker", kTileSize * 2, kWalker.y, kWindowWidth - kTileSize * 3, kWalker.y);
    for (const LiftPlacement& lift : kLifts)
        room = room && clear("a lift", lift.x, lift.minY - kTileSize, lift.x + 3 * kTileSize - 1,
                             lift.maxY + kTileSize - 1);
    for (const FlyerPlacement& flyer : kFlyers)
        room = room && clear("a flyer", flyer.x, flyer.y, flyer.x, flyer.y);
    for (int x = kTileSize; room && x < kWindowWidth - kTileSize; x += kTileSize)
        if (m_codes[kWalker.y / kTileSize + 1][x / kTileSize] != kBrickTile)
            error = "the walker has no floor at column " + std::to_string(x / kTileSize), room = false;
    return room;
}

std::string MapSource::MapFileText() const
{
    std::string text;
    text.reserve((kColumns + 1) * kRows + 16);
    for (const auto& row : m_codes)
    {
        for (const int code : row)
            text += static_cast<char>('0' + code);
        text += '\n';
    }
    if (m_level)
        for (int player = 0; player < 2; ++player)
            text += std::to_string(m_startX[player]) + ' ' + std::to_string(m_startY[player]) + ' ';
    return text;
}
