#include "tests/driver/GameDriver.h"

#include "objects/Player.h"
#include "tests/driver/RoundCheck.h"

#include <SDL.h>
#include <cstring>

using namespace GameData;

GameDriver::GameDriver(const char* font)
{
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    m_started = Initialise("Skirmora under test", kWindowWidth, kWindowHeight, font, kFontPointSize) == 0;
}

GameDriver::~GameDriver() { Deinitialise(); }

RoundCheck& GameDriver::CheckRounds(uint32_t seed)
{
    m_check = std::make_unique<RoundCheck>(seed);
    return *m_check;
}

void GameDriver::OnRoundPass(const RoundPass& pass)
{
    m_roundPassRan = true;
    if (m_check)
        m_check->Before(*this, pass);
}

bool GameDriver::Pass(int elapsedMs)
{
    m_frameTick += elapsedMs;
    const int dueBefore = m_nextUpdateTime;
    DoFrameLogic();
    RenderFrame();
    return m_nextUpdateTime != dueBefore;
}

void GameDriver::Step(int frames)
{
    for (int i = 0; i < frames; ++i)
    {
        m_pass = NextPass();
        UpdateObjects(GetTime());
        DrawObjects();
    }
}

void GameDriver::KeyEvent(int keyCode, bool down)
{
    SDL_Event event{static_cast<Uint32>(down ? SDL_KEYDOWN : SDL_KEYUP)};
    event.key.keysym.sym = keyCode;
    DispatchEvent(event);
}

void GameDriver::HoldKeys(const char* keys, bool held)
{
    for (; *keys; ++keys)
        KeyEvent(*keys, held);
}

void GameDriver::ReleaseAllKeys() { std::memset(m_keyStates.get(), 0, kKeyStateCount); }

void GameDriver::Click(int x, int y, int button)
{
    SDL_Event event{SDL_MOUSEBUTTONDOWN};
    event.button.button = static_cast<Uint8>(button);
    event.button.x = x;
    event.button.y = y;
    DispatchEvent(event);
}

void GameDriver::PumpEvents()
{
    for (SDL_Event event; SDL_PollEvent(&event);)
        DispatchEvent(event);
}

int GameDriver::RunMainLoop(std::function<bool(int pass)> script)
{
    m_script = std::move(script);
    m_scriptPass = 0;
    return MainLoop();
}

void GameDriver::DoFrameLogic()
{
    if (m_script && !m_script(m_scriptPass++))
    {
        m_script = nullptr;
        SDL_Event quit{SDL_QUIT};
        SDL_PushEvent(&quit);
    }
    m_roundPassRan = false;
    Stage2Engine::DoFrameLogic();
    if (m_check && m_roundPassRan)
        m_check->After(*this);
}

void GameDriver::OnCue(const char* name, float volume, float pitch)
{
    cues.emplace_back(name, volume);
    lastCuePitch = pitch;
}

void GameDriver::OnRumble(int pad, float strength, int milliseconds)
{
    rumbles.push_back({pad, strength, milliseconds});
}

bool GameDriver::StartRound(int kind1, int kind2, int level)
{
    if (m_state == MainMenu)
        Click(0, 0);
    for (const ScreenRect& at : {kPortraitHits[kind1], kConfirmBox, kPortraitHits[kind2], kConfirmBox,
                                 kThumbnailHits[level], kConfirmBox})
        ClickOn(at);
    return m_state == Playing;
}

void GameDriver::ClearLevel() { std::memset(m_levelGrid, kEmptyTile, sizeof m_levelGrid); }

void GameDriver::SetTiles(int fromColumn, int toColumn, int row, int code)
{
    for (int column = fromColumn; column <= toColumn; ++column)
        m_levelGrid[row][column] = static_cast<signed char>(code);
}

void GameDriver::Place(std::initializer_list<DisplayableObject*> objects)
{
    CreateObjectArray(static_cast<int>(objects.size()));
    int index = 0;
    int players = 0;
    for (DisplayableObject* object : objects)
    {
        StoreObjectInArray(index, object);
        ++index;
        auto* player = dynamic_cast<Player*>(object);
        if (!player)
            continue;
        if (players == 0)
            m_player1 = player;
        else if (players == 1)
            m_player2 = player;
        ++players;
    }
    DrawObjects();
}

int GameDriver::ObjectCount() const
{
    int count = 0;
    while (GetDisplayableObject(count))
        ++count;
    return count;
}

uint64_t GameDriver::Digest()
{
    // The round's whole snapshot (on the menus too: the game's round state
    // and the score line), then what is not in it: the menu's highlight,
    // the clocks, the cues played and the composed frame.
    StateBytes snapshot;
    SaveRound(snapshot);
    uint64_t hash = Stage2Engine::Digest(snapshot);
    const auto add = [&hash](const void* data, size_t size) {
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001B3ull;
    };
    const int32_t fields[] = {m_highlight, m_frameTick, m_timeOffset};
    add(fields, sizeof fields);
    for (const auto& [name, volume] : cues)
    {
        add(name.c_str(), name.size());
        add(&volume, sizeof volume);
    }
    cues.clear();
    for (int row = 0; row < m_foreground->h; ++row)
        add(static_cast<const char*>(m_foreground->pixels) + row * m_foreground->pitch,
            static_cast<size_t>(m_foreground->w) * 4);
    return hash;
}
