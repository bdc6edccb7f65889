// Construction, the menu images and the objects of each screen.
#include "game/Stage2Engine.h"

#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"

namespace
{
const char* const kPortraitFiles[Stage2Engine::kCharacterCount] = {
    "Resources/sprites/character/kestoright.png",
    "Resources/sprites/character/brindlewickright.png",
    "Resources/sprites/character/marrowenright.png",
    "Resources/sprites/character/ozzleright.png",
    "Resources/sprites/character/quintarright.png",
    "Resources/sprites/character/vekright.png",
};
const char* const kThumbnailFiles[Stage2Engine::kLevelCount] = {
    "Resources/maps/level1.png",
    "Resources/maps/level2.png",
    "Resources/maps/level3.png",
    "Resources/maps/level4.png",
};

// The fourth level is the only one with platforms and enemies.
constexpr int kBusyLevel = 3;
constexpr int kWalkerKind = 6;
constexpr int kFlyerKind = 7;
} // namespace

// The remaining members take their starting values from their initialisers,
// in declaration order, before the images and the star field are loaded.
Stage2Engine::Stage2Engine() : m_tileMap(TileSize()), m_backgroundMap(TileSize())
{
    LoadMenuImages();
    ReadMapFile("Resources/maps/background.txt", m_backgroundGrid, false);
}

// Members go in reverse order (thumbnails, portraits, star map, tile map);
// the engine part then deletes the objects.
Stage2Engine::~Stage2Engine() = default;

void Stage2Engine::LoadMenuImages()
{
    PixelImage loaded;
    for (int i = 0; i < kCharacterCount; ++i)
    {
        loaded.LoadImage(kPortraitFiles[i]);
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
        store(new MovingPlatform(this, 144, 350, 100, 350));
        store(new MovingPlatform(this, 444, 350, 350, 600));
        store(new MovingPlatform(this, 744, 350, 100, 350));
    }
    const int player1Index = index;
    store(new Player(this, m_player1StartX, m_player1StartY, 1, m_player1Character));
    store(new Player(this, m_player2StartX, m_player2StartY, 2, m_player2Character));
    if (busy)
    {
        store(new NPC(this, 100, 600, kWalkerKind));
        store(new FlyingNPC(this, 120, 48, 1, kFlyerKind));
        store(new FlyingNPC(this, 840, 48, 2, kFlyerKind));
    }
    store(nullptr);

    m_player1 = dynamic_cast<Character*>(GetDisplayableObject(player1Index));
    m_player2 = dynamic_cast<Character*>(GetDisplayableObject(player1Index + 1));
}
