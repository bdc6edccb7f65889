// Construction, the menu images and the objects of each screen.
#include "game/Stage2Engine.h"

#include "game/OnlinePlay.h"
#include "game/OnlineSession.h"
#include "game/ReplayWatch.h"
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"

#include <cstdlib>

using namespace GameData;

static_assert(BaseEngine::kDefaultTileSize == kTileSize, "the engine's tiles are the grids' tiles");

// The round's state starts at zero but for the values below; the remaining
// members take their starting values from their initialisers, in
// declaration order, before the images and the star field are loaded.
Stage2Engine::Stage2Engine() : BaseEngine(), m_tileMap(TileSize()), m_backgroundMap(TileSize())
{
    ClearState<RoundState>(*this);
    m_roundSeconds = kRoundSeconds;
    m_state = MainMenu;
    m_paintedNight = true;
    m_sunColour = kSunStart;
    for (int seat = 1; seat <= 2; ++seat)
        SetSeatSource(seat, std::make_unique<LocalInput>(*this, m_pads, m_padControls, seat));
    SetTextOutline(true, kTextOutline);
    m_tileMap.SetDaytime(m_daytime);
    LoadMenuImages();
    ReadMapFile(kStarFieldFile, m_backgroundGrid, false);
}

// Members go in reverse order (thumbnails, portraits, star map, tile map);
// the engine part then deletes the objects.
Stage2Engine::~Stage2Engine() = default;

void Stage2Engine::LoadMenuImages()
{
    PixelImage loaded;
    // A portrait is the fighter's right-facing sprite, enlarged.
    for (int i = 0; i < kCharacterCount; ++i)
    {
        loaded.LoadImage(kSpriteFiles[i].right);
        m_characterPortraits[i].ResizeFrom(loaded, kPortraitSize, kPortraitSize, false);
    }
    for (int i = 0; i < kLevelCount; ++i)
    {
        loaded.LoadImage(kThumbnailFiles[i]);
        m_levelThumbnails[i].ResizeFrom(loaded, kThumbnailWidth, kThumbnailHeight, false);
    }
}

int Stage2Engine::CreateObjects()
{
    // An object pass under way must not walk on into the freed array.
    m_stopObjectIteration = 1;
    DestroyObjects();
    if (IsRoundState())
    {
        CreateRoundObjects();
    }
    else if (m_state == MainMenu)
    {
        CreateObjectArray(2);
        StoreObjectInArray(0, new MovingText(this));
    }
    // The selection screens have no objects.
    return 0;
}

// Array order is the order of drawing, updating and contact tests, so the
// entries are stored index by index: platforms, players, enemies, the end.
void Stage2Engine::CreateRoundObjects()
{
    int index = 0;
    auto store = [this, &index](DisplayableObject* object) { StoreObjectInArray(index++, object); };

    const bool busy = m_level == kBusyLevel;
    CreateObjectArray(busy ? 9 : 3);
    if (busy)
    {
        for (const LiftPlacement& lift : kLifts)
            store(new MovingPlatform(this, lift.x, lift.y, lift.minY, lift.maxY));
    }
    const int player1Index = index;
    store(new Player(this, m_player1StartX, m_player1StartY, 1, m_player1Character));
    store(new Player(this, m_player2StartX, m_player2StartY, 2, m_player2Character));
    if (busy)
    {
        store(new NPC(this, kWalker.x, kWalker.y, kWalkerKind));
        for (const FlyerPlacement& flyer : kFlyers)
            store(new FlyingNPC(this, flyer.x, flyer.y, flyer.targetPlayer, kFlyerKind));
    }
    store(nullptr);

    m_player1 = dynamic_cast<Character*>(GetDisplayableObject(player1Index));
    m_player2 = dynamic_cast<Character*>(GetDisplayableObject(player1Index + 1));
}

std::filesystem::path Stage2Engine::UserDataFolder()
{
    // Only an absolute path counts, as the XDG base directory rules say: a
    // relative one would put the files wherever the game was started.
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && data[0] == '/')
        return std::filesystem::path(data) / "skirmora";
    if (home && home[0] == '/')
        return std::filesystem::path(home) / ".local" / "share" / "skirmora";
    return {};
}
