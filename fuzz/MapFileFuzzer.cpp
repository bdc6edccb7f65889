// Feeds arbitrary bytes to the map reader as a level file and as a background
// file, then plays a few logic passes and frames on whatever grid and start
// positions came out, so collision and tile drawing see every odd tile code
// and start position a file can produce.
#include "fuzz/FuzzWorkspace.h"
#include "game/Stage2Engine.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{
constexpr const char* kLevelPath = "Resources/maps/testmap.txt";
// A start position the reader can never produce: at most three characters.
constexpr int32_t kUntouched = 12345;
constexpr int kLineLength = GameData::kGridColumns + 1;
constexpr size_t kGridBytes = static_cast<size_t>(kLineLength) * GameData::kGridRows;
constexpr int kPasses = 24;
const int kPlayerKeys[] = {'w', 'a', 's', 'd', 'c', 'i', 'j', 'k', 'l', 'n'};

class FuzzedGame : public Stage2Engine
{
public:
    void MarkStartPositions()
    {
        m_player1StartX = m_player1StartY = kUntouched;
        m_player2StartX = m_player2StartY = kUntouched;
    }
    int32_t StartPosition(int index) const
    {
        const int32_t values[] = {m_player1StartX, m_player1StartY, m_player2StartX,
                                  m_player2StartY};
        return values[index];
    }

    // Starts a round as the level-select screen's Confirm does, on the grid
    // already read, with a clock and day flag fresh for every input.
    void StartRound(int level, int kind1, int kind2)
    {
        m_frameTick = 0;
        m_timeOffset = 0;
        m_nextUpdateTime = 0;
        m_daytime = false;
        m_paintedNight = true;
        m_level = level;
        m_player1Character = kind1;
        m_player2Character = kind2;
        m_secondsLeft = m_roundSeconds;
        m_state = Playing;
        m_roundStartSeconds = GetTime() / 1000;
        CreateObjects();
        PaintBackground();
        Redraw(true);
    }

    void Pass(unsigned keyBits, bool click)
    {
        for (int i = 0; i < 10; ++i)
            m_keyStates[TranslateKey(kPlayerKeys[i])] = (keyBits >> i) & 1;
        if (click)
        {
            OnMouseDown(1, 0, 0);
            OnMouseDown(3, 0, 0);
        }
        m_frameTick += 15;
        DoFrameLogic();
    }

    void LeaveRound()
    {
        for (int key : kPlayerKeys)
            m_keyStates[TranslateKey(key)] = 0;
        m_state = MainMenu;
        CreateObjects();
        PaintBackground();
        Redraw(true);
    }
};

struct Fixture
{
    std::unique_ptr<FuzzWorkspace> workspace;
    std::unique_ptr<FuzzedGame> game;
};
Fixture* g_fixture = nullptr;

// The value the reader stores for a cell: the character minus '0' in 8 bits,
// or the end-of-file value minus '0' past the end of the input.
signed char ExpectedCell(const uint8_t* data, size_t size, size_t offset)
{
    const int c = offset < size ? data[offset] : EOF;
    return static_cast<signed char>(static_cast<unsigned char>(c - '0'));
}

// Without carriage returns every cell sits at a fixed place in the input.
void CheckGrid(const uint8_t* data, size_t size, const signed char (&grid)[30][40])
{
    if (std::memchr(data, '\r', size))
        return;
    for (int row = 0; row < GameData::kGridRows; ++row)
        for (int column = 0; column < GameData::kGridColumns; ++column)
            FuzzRequire(grid[row][column] ==
                            ExpectedCell(data, size, static_cast<size_t>(row) * kLineLength + column),
                        "a cell does not hold its character's value");
}

void CheckStartPositions(const uint8_t* data, size_t size, const FuzzedGame& game)
{
    const bool crlf = std::memchr(data, '\r', size) != nullptr;
    for (int i = 0; i < 4; ++i)
    {
        const int32_t value = game.StartPosition(i);
        if (value == kUntouched)
            continue;
        // A token keeps three characters: "-99" to "999".
        FuzzRequire(value >= -99 && value <= 999, "a start position out of token range");
        FuzzRequire(crlf || size > kGridBytes, "a start position read from a file without tail");
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static const char* const subdirectories[] = {"Resources/maps", nullptr};
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    g_fixture = new Fixture;
    g_fixture->workspace = std::make_unique<FuzzWorkspace>(subdirectories, true);
    g_fixture->game = std::make_unique<FuzzedGame>();
    // No font: text is not what is fuzzed here, and rendering it is slow.
    FuzzRequire(g_fixture->game->Initialise("fuzz", 960, 720, nullptr, 24) == 0,
                "the engine did not start");
    std::atexit([] { delete g_fixture; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedGame& game = *g_fixture->game;
    g_fixture->workspace->Write(kLevelPath, data, size);

    game.MarkStartPositions();
    game.LoadLevelFile(3);
    signed char level[30][40];
    for (int row = 0; row < 30; ++row)
        for (int column = 0; column < 40; ++column)
            level[row][column] = game.GetLevelTile(column, row);
    CheckGrid(data, size, level);
    CheckStartPositions(data, size, game);

    signed char background[30][40];
    FuzzRequire(game.ReadMapFile(kLevelPath, background, false), "the file did not open");
    FuzzRequire(std::memcmp(background, level, sizeof level) == 0,
                "the background reader and the level reader disagree on a grid");

    // Choices for the round come from the input so that they vary with it.
    const uint8_t a = size > 0 ? data[0] : 0;
    const uint8_t b = size > 1 ? data[size - 1] : 0;
    game.StartRound((a >> 4) % 4, a % 6, b % 6);
    unsigned keys = a * 131u + b;
    for (int pass = 0; pass < kPasses; ++pass)
    {
        if (pass % 6 == 0)
            keys = keys * 1103515245u + 12345u;
        game.Pass(keys >> 8, pass == kPasses / 2);
        if (pass % 8 == 7)
            game.RenderFrame();
    }
    game.LeaveRound();
    return 0;
}
