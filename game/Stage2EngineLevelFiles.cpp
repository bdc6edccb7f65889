// Map text files: 30 lines of 40 digits, one digit a tile; a level file ends
// with its four start coordinates, each followed by one space.
#include "game/Stage2Engine.h"

#include <cstdio>
#include <cstdlib>

namespace
{
// A start-position token holds at most three characters and its terminator.
constexpr int kTokenSize = 4;

// Reads like a text-mode stream on every platform: a carriage return followed
// by a line feed reads as one line end, so files saved with CRLF line ends
// load the same as files with LF.
int ReadChar(std::FILE* file)
{
    const int c = std::fgetc(file);
    if (c != '\r')
        return c;
    const int next = std::fgetc(file);
    if (next == '\n')
        return '\n';
    if (next != EOF)
        std::ungetc(next, file);
    return c;
}

// Reads one token up to the next space (consumed, not stored). Characters
// beyond the buffer are read and dropped, so an over-long token cannot
// overflow it; the end of the file ends the token. Returns false at the end.
bool ReadToken(std::FILE* file, int first, char (&token)[kTokenSize])
{
    for (char& c : token)
        c = '\0';
    int length = 0;
    int c = first;
    while (c != EOF && c != ' ')
    {
        if (length < kTokenSize - 1)
            token[length++] = static_cast<char>(c);
        c = ReadChar(file);
    }
    return c != EOF;
}
} // namespace

bool Stage2Engine::ReadMapFile(const char* fileName, Grid& grid, bool readStartPositions)
{
    std::FILE* file = std::fopen(fileName, "r");
    // A directory opens but cannot be read: report it like a missing file and
    // keep the grid, rather than filling it with end-of-file values.
    const int probe = file ? std::fgetc(file) : EOF;
    if (!file || (probe == EOF && std::ferror(file)))
    {
        if (file)
            std::fclose(file);
        std::printf("error opening file\n");
        return false;
    }
    if (probe != EOF)
        std::ungetc(probe, file);

    for (auto& row : grid)
    {
        for (signed char& cell : row)
        {
            // Characters are not checked; past the end the end-of-file value is
            // stored, which is no tile code. A carriage return before the line
            // end takes the place of the line end and shifts what follows.
            const int c = ReadChar(file);
            cell = static_cast<signed char>(static_cast<unsigned char>(c - '0'));
        }
        ReadChar(file); // the line end
    }

    if (readStartPositions)
    {
        const int first = ReadChar(file);
        if (first != EOF)
        {
            int32_t* const targets[] = {&m_player1StartX, &m_player1StartY, &m_player2StartX,
                                        &m_player2StartY};
            char token[kTokenSize];
            int next = first;
            for (int32_t* target : targets)
            {
                // A tail cut short keeps the positions it did not reach.
                if (next == EOF)
                    break;
                const bool more = ReadToken(file, next, token);
                *target = static_cast<int32_t>(std::strtol(token, nullptr, 10));
                if (!more)
                    break;
                next = ReadChar(file);
            }
        }
    }

    std::fclose(file);
    return true;
}

void Stage2Engine::LoadLevelFile(int levelIndex)
{
    // Every index but the first three reads the fourth level.
    const int level = (levelIndex >= 0 && levelIndex < 3) ? levelIndex : GameData::kBusyLevel;
    ReadMapFile(GameData::kLevelFiles[level], m_levelGrid, true);
}
