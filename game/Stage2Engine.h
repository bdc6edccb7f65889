#pragma once

#include "engine/BaseEngine.h"
#include "engine/PixelImage.h"
#include "game/GameData.h"
#include "game/PadControls.h"
#include "objects/GravityObject.h"
#include "tiles/BackgroundMap.h"
#include "tiles/TileMap.h"

#include <cstdint>
#include <string>

class Character;

// The game's screens, in the order a game passes through them.
enum GameState : int32_t
{
    MainMenu = 0,
    SelectPlayer1 = 1,
    SelectPlayer2 = 2,
    SelectLevel = 3,
    Playing = 4,
    Paused = 5,
    RoundOver = 6,
};

// The game: a BaseEngine whose hooks turn the frame loop into the screens of
// a two-player brawler. Split by concern across several source files:
//   Stage2Engine.cpp                construction and level set-up
//   Stage2EngineStates.cpp          state machine, frame logic and input
//   Stage2EngineText.cpp            screen text and HUD
//   Stage2EngineBackgrounds.cpp     screen backgrounds
//   Stage2EngineLevelFiles.cpp      map text files
//   Stage2EngineDayAndScores.cpp    day flag and scores
//   Stage2EnginePads.cpp            pads
//   Stage2EngineSound.cpp           sound cues and music
//   Stage2EngineMarkers.cpp         the players' markers
//   Stage2EngineVolume.cpp          the master volume and its corner
class Stage2Engine : public BaseEngine
{
public:
    static constexpr int kRoundSeconds = 120;
    // A grid of tile codes, row by row.
    using Grid = signed char[GameData::kGridRows][GameData::kGridColumns];

    // The HUD's strings: damage multiplier as a percentage, clock as m:ss.
    static std::string DamageText(float damage);
    static std::string ClockText(int secondsLeft);

    Stage2Engine();
    ~Stage2Engine() override;

    // Engine hooks.
    void OnKeyDown(int keyCode) override;
    void OnMouseDown(int button, int x, int y) override;
    void SetUpGame() override;
    int CreateObjects() override;
    void PaintBackground() override;
    void DoFrameLogic() override;
    void DrawOverText() override;
    void DrawUnderText() override;
    void AfterEraseObjects() override;
    void RenderFrame() override;
    void OnPadAdded(int pad) override;
    void OnPadRemoved(int pad) override;
    void OnPadButtonDown(int pad, int button) override;
    void OnPadAxis(int pad, int axis, int value) override;

    // Level set-up.
    void LoadMenuImages();
    // Map files.
    void LoadLevelFile(int levelIndex);
    // Reads a grid (and, for a level, the start positions) from a file;
    // false when the file cannot be opened.
    bool ReadMapFile(const char* fileName, Grid& grid, bool readStartPositions);
    signed char GetLevelTile(int mapX, int mapY) const { return m_levelGrid[mapY][mapX]; }
    // Backgrounds.
    void DrawBackgroundTriangle(int x1, int y1, int x2, int y2, int x3, int y3, uint32_t colour);

    // Day flag and scores.
    int GetScore(int player) const;
    void ResetScores();
    bool IsDaytime() const { return m_daytime; }
    void ToggleDaytime();

    // Pads: a player's action held on its pad.
    bool IsPadHeld(int player, PlayerAction action) const;
    // What befalls the objects: a sound, and a rumble of the player's pad.
    void OnObjectEvent(const GravityObject& object, ObjectEvent event, float strength);
    // Volume: a key's step (1 up, -1 down, 0 none), a step taken, and the
    // level in steps from 0 to kVolumeSteps.
    static int VolumeStep(int keyCode);
    void StepVolume(int step);
    int GetVolumeLevel() const;
    // Plays a named sound; a driver may listen in.
    virtual void PlayCue(const char* name, float volume = 1.0f, float pitch = 1.0f);

    // Read access for the objects, the tools and the tests.
    GameState GetState() const { return m_state; }
    int GetHighlight() const { return m_highlight; }
    int GetLevel() const { return m_level; }
    int GetSecondsLeft() const { return m_secondsLeft; }
    Character* GetPlayer1() const { return m_player1; }
    Character* GetPlayer2() const { return m_player2; }
    int GetPlayer1Character() const { return m_player1Character; }
    int GetPlayer2Character() const { return m_player2Character; }
    int GetPlayer1StartX() const { return m_player1StartX; }
    int GetPlayer1StartY() const { return m_player1StartY; }
    int GetPlayer2StartX() const { return m_player2StartX; }
    int GetPlayer2StartY() const { return m_player2StartY; }
    uint32_t GetSunColour() const { return m_sunColour; }
    const PixelImage& GetPortrait(int index) const { return m_characterPortraits[index]; }
    const PixelImage& GetThumbnail(int index) const { return m_levelThumbnails[index]; }
    signed char GetBackgroundTile(int mapX, int mapY) const { return m_backgroundGrid[mapY][mapX]; }
    TileMap& GetTileMap() { return m_tileMap; }
    BackgroundMap& GetBackgroundMap() { return m_backgroundMap; }

protected:
    // Input by screen.
    void ClickSelection(int x, int y);
    void GoBack();
    void Confirm();
    void StartRound();
    void ClickDuringPlay(int button);
    void TogglePause();
    void PadCommand(int pad, PadControls::Command command);
    void MoveHighlight(PadControls::Command command);
    void RumbleFor(const GravityObject& object, ObjectEvent event, float strength);
    void FollowWithMusic();
    void ReturnToMainMenu();
    // Frame logic steps.
    void RunRound();
    void EndRound();
    void PulseSun();
    void RepaintWithSun();
    void Repaint();
    bool IsRoundState() const;
    // Screen text by state.
    void DrawHud();
    void DrawPauseHelp();
    void DrawResult();
    void DrawSides();
    void DrawChip(int x, uint32_t colour);
    void DrawCross(int x, int y, int size, uint32_t colour);
    void DrawMarkers();
    void DrawVolume();
    void WipeVolume();
    // Background painting by state.
    void PaintCharacterSelect();
    void PaintLevelSelect();
    void PaintButtons();
    void PaintPlayScreen();
    void PaintGrid(TileManager& map, const Grid& grid);
    // Object set-up for a round.
    void CreateRoundObjects();

    Grid m_levelGrid = {};
    Grid m_backgroundGrid = {};
    TileMap m_tileMap;
    BackgroundMap m_backgroundMap;
    Character* m_player1 = nullptr;
    Character* m_player2 = nullptr;
    int32_t m_roundSeconds = kRoundSeconds;
    int32_t m_secondsLeft = 0;
    GameState m_state = MainMenu;
    int32_t m_pauseTick = 0;
    int32_t m_roundStartSeconds = 0;
    PixelImage m_characterPortraits[GameData::kCharacterCount];
    int32_t m_highlight = -1;
    int32_t m_player1Character = 0;
    int32_t m_player2Character = 0;
    PixelImage m_levelThumbnails[GameData::kLevelCount];
    int32_t m_level = 0;
    bool m_daytime = false;
    bool m_paintedNight = true;
    int32_t m_score1 = 0;
    int32_t m_score2 = 0;
    bool m_sunDimming = false;
    uint32_t m_sunColour = GameData::kSunStart;
    int32_t m_player1StartX = 0;
    int32_t m_player1StartY = 0;
    int32_t m_player2StartX = 0;
    int32_t m_player2StartY = 0;
    PadControls m_padControls;
    // Where the markers were drawn last, to be wiped with the objects.
    GameData::ScreenRect m_markers[2] = {};
    int m_markerCount = 0;
    // The volume's level shows from a step for a while; the corner, where
    // it was drawn last, is wiped with the objects.
    bool m_volumeShown = false;
    int m_volumeShownAt = 0;
    bool m_volumeDrawn = false;
    GameData::ScreenRect m_volumeBox = {};
};
