#pragma once

#include "engine/BaseEngine.h"
#include "engine/PixelImage.h"
#include "game/GameData.h"
#include "game/InputSource.h"
#include "game/NetMessage.h"
#include "game/PadControls.h"
#include "objects/GravityObject.h"
#include "tiles/BackgroundMap.h"
#include "tiles/TileMap.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Character;
struct Replay;
struct ReplayWatch;
class OnlineSession;
struct OnlinePlay;

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

// A grid of tile codes, row by row.
using LevelGrid = signed char[GameData::kGridRows][GameData::kGridColumns];

// Everything of the game that a round's passes read or change, in one plain
// value (see engine/ObjectState.h); with the objects' states it makes the
// round's snapshot, so a field added here is saved, restored and digested
// without anyone listing it.
struct RoundState
{
    LevelGrid m_levelGrid;
    int32_t m_roundSeconds;
    int32_t m_secondsLeft;
    GameState m_state;
    int32_t m_roundStartSeconds;
    int32_t m_player1Character;
    int32_t m_player2Character;
    int32_t m_level;
    bool m_daytime;
    bool m_paintedNight;
    int32_t m_score1;
    int32_t m_score2;
    bool m_sunDimming;
    uint32_t m_sunColour;
    int32_t m_player1StartX;
    int32_t m_player1StartY;
    int32_t m_player2StartX;
    int32_t m_player2StartY;
};

// Who plays a seat: a person at this machine, or the computer at one of its
// levels. Tab (or the pad's Y) on a character screen steps through them.
enum class SeatChoice
{
    Person,
    ComputerEasy,
    ComputerNormal,
    ComputerHard,
};
constexpr int kSeatChoiceCount = 4;

// One logic pass of a round as input: the game time it carries and what
// each seat does in it.
struct RoundPass
{
    int time = 0;
    InputFrame seats[2];

    bool operator==(const RoundPass& other) const
    {
        return time == other.time && seats[0] == other.seats[0] && seats[1] == other.seats[1];
    }
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
//   Stage2EngineRound.cpp           a round's passes and snapshots
//   Stage2EngineReplay.cpp          recording, watching and saving replays
//   Stage2EngineVolume.cpp          the master volume and its corner
//   Stage2EngineSeats.cpp           who plays each seat
class Stage2Engine : public BaseEngine, public Arena, protected RoundState
{
public:
    static constexpr int kRoundSeconds = 120;
    using Grid = LevelGrid;

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
    signed char GetLevelTile(int mapX, int mapY) const override { return m_levelGrid[mapY][mapX]; }
    // Backgrounds.
    void DrawBackgroundTriangle(int x1, int y1, int x2, int y2, int x3, int y3, uint32_t colour);

    // Day flag and scores.
    int GetScore(int player) const override;
    void ResetScores() override;
    bool IsDaytime() const { return m_daytime; }
    void ToggleDaytime() override;

    // What player 1 or 2 does in the pass being run.
    InputFrame SeatFrame(int player) const override { return m_pass.seats[player - 1]; }
    // What befalls the objects: a sound, and a rumble of the player's pad.
    void OnObjectEvent(const GravityObject& object, ObjectEvent event, float strength) override;
    // Volume: a key's step (1 up, -1 down, 0 none), a step taken, and the
    // level in steps from 0 to kVolumeSteps.
    static int VolumeStep(int keyCode);
    void StepVolume(int step);
    int GetVolumeLevel() const;
    // Plays a named sound, unless the pass is silent.
    void PlayCue(const char* name, float volume = 1.0f, float pitch = 1.0f);
    // Every cue played, as it is played; a driver may listen in.
    virtual void OnCue(const char* /*name*/, float /*volume*/, float /*pitch*/) {}
    // Every pad shaken, as it is shaken; a driver may listen in.
    virtual void OnRumble(int /*pad*/, float /*strength*/, int /*milliseconds*/) {}

    // A round's passes. Each seat's source gives its frame for the next
    // pass, which carries the game time (in a normal game the frame tick,
    // less the pauses). A silent pass computes exactly what a normal one
    // does but plays, rumbles, prints and draws nothing: passes run again
    // after a restore leave no echoes.
    RoundPass NextPass();
    void RunPass(const RoundPass& pass, bool silent = false);
    // Each pass of a round played on this machine, just before it runs.
    virtual void OnRoundPass(const RoundPass& /*pass*/) {}
    // Who feeds a seat (1 or 2), from the round's start on; a person at
    // this machine unless told otherwise.
    void SetSeatSource(int seat, std::unique_ptr<InputSource> source);
    InputSource& GetSeatSource(int seat) { return *m_seatSources[seat - 1]; }
    // Who plays a seat from the next round on; it lasts until changed.
    SeatChoice GetSeatChoice(int seat) const { return m_seatChoices[seat - 1]; }
    void SetSeatChoice(int seat, SeatChoice choice) { m_seatChoices[seat - 1] = choice; }

    // Replays (Stage2EngineReplay.cpp). Every round is recorded as it is
    // played: the last one, from its start to the pass that ended it.
    std::shared_ptr<const Replay> GetRecording() const { return m_recording; }
    // Adds a pass the round just ran, and a digest when one is due.
    void RecordPass(const RoundPass& pass);
    // Plays a recorded round again from its start, then puts back the
    // screen it left (the result screen as it was, or else the main menu).
    // False, with a message, when the round does not start here as recorded.
    bool WatchReplay(std::shared_ptr<const Replay> replay);
    bool IsWatching() const { return m_watch != nullptr; }
    // The pass of the watched replay that runs next.
    size_t GetWatchedPass() const;
    // The round last played, into the user's replay folder.
    void SaveRecording();
    const std::string& GetReplayMessage() const { return m_replayMessage; }
    // Of the round without its seats' sources, as a replay checks it.
    uint64_t RoundDigest() const;

    // The whole state of a round as a flat value: the game's round state,
    // the seats' sources and every object in the array. Restoring needs the
    // same round (level, fighters and objects); after it the next frame is
    // a whole redraw of what was restored.
    void SaveRound(StateBytes& out) const;
    bool RestoreRound(const StateBytes& snapshot);
    // Restores the values only, without repainting: for checks that run
    // the same passes again and compare.
    bool LoadRound(const StateBytes& snapshot);
    // The world alone: the game's round state and the objects, without the
    // seats' sources, which differ between two machines playing one round
    // (and between a round and its replay).
    void SaveWorld(StateBytes& out) const;
    bool LoadWorld(const StateBytes& world);
    // A 64-bit digest of a snapshot's bytes.
    static uint64_t Digest(const StateBytes& snapshot);

    // Online play: this machine hosts (player 1) or joins (player 2); false,
    // with a line on standard error, when the port or address cannot be
    // used. Local frames count the given number of passes late.
    bool HostOnline(uint16_t port);
    bool JoinOnline(const std::string& host, uint16_t port);
    void SetInputDelay(int passes) { m_inputDelay = passes; }
    bool IsOnline() const;
    bool IsOnlineReady() const;
    uint16_t GetOnlinePort() const;
    // The last thing online play had to say, while it is on the screen.
    const std::string& GetNotice() const { return m_notice; }
    // What an online round has done so far, for the measurements.
    struct OnlineFigures
    {
        uint32_t passes = 0;
        long rollbacks = 0;
        long passesRunAgain = 0;
        uint32_t deepestRollback = 0;
        long skipped = 0;
        long stalled = 0;
        double worstPassMs = 0;
        uint64_t bytesSent = 0;
        uint64_t bytesReceived = 0;
        long malformed = 0;
        // Each confirmed pass's digest that was compared with the other
        // machine's, in order.
        std::vector<std::pair<uint32_t, uint64_t>> compared;
    };
    OnlineFigures GetOnlineFigures() const;
    // Where the game keeps what the player asks it to write (replays, and
    // the states of an online game gone out of sync): $XDG_DATA_HOME/skirmora,
    // by default ~/.local/share/skirmora; empty when neither names a folder.
    static std::filesystem::path UserDataFolder();

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
    // Replays.
    void BeginRecording();
    void NoteRecordingStart();
    void RunRecordedPass(const RoundPass& pass);
    void NoteOnlineCheckpoint(int time, bool& checkpoint, uint64_t& digest) const;
    void RecordOnlinePasses(uint32_t confirmed);
    bool OnReplayKey(int keyCode);
    bool OnReplayPadButton(int button);
    bool WatchFrameLogic();
    bool WatchPass(bool silent);
    void PauseWatching(bool paused);
    void JumpToNextRingOut();
    bool FastForwardHeld() const;
    void StopWatching(const std::string& problem);
    void ShowReplayMessage(const std::string& message);
    void DrawReplayLabel();
    void DrawReplayMessage();
    // Seats: the choosing player's seat stepped on, its line, and the
    // sources a round starts with.
    void CycleSeat();
    void DrawSeatLine();
    void SeatRoundSources();
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
    // Online play.
    struct OutOfSyncReport
    {
        uint32_t pass;
        StateBytes ours;
        StateBytes theirs;
    };
    void ServiceOnline();
    void ShowNotice(const std::string& text);
    void EndOnline(const std::string& why);
    bool MayChooseOnline() const;
    void ActOnline(bool choosing, const std::function<void()>& action);
    void ShareTransition(GameState before);
    void SetOnlineSeats();
    void StartOnlineRoundAsHost();
    void BeginOnlineRound();
    void ApplyRemote(const NetMessage::Message& message);
    void ApplyRemoteMenu(const NetMessage::Menu& menu);
    void ApplyRoundStart(const NetMessage::RoundStart& start);
    RoundPass OnlinePassAt(uint32_t pass) const;
    void RunOnlineTick();
    void OnlineTick();
    bool IsAheadOnline() const;
    void RollBackIfMispredicted(uint32_t arrived);
    void ConfirmPasses();
    void OutOfSync(uint32_t pass, const StateBytes& ours);
    void WriteOutOfSyncReport(uint32_t pass, const StateBytes& theirs);
    std::string OnlineLine() const;
    void DrawOnlineLine();
    void RestoreOnlineBand();
    // Snapshots: whether one belongs to this round (with the seats' sources
    // or without), and the world read back from one.
    bool FitsThisRound(const StateBytes& snapshot, bool withSources) const;
    void LoadWorldFrom(StateReader& in);

    Grid m_backgroundGrid = {};
    TileMap m_tileMap;
    BackgroundMap m_backgroundMap;
    Character* m_player1 = nullptr;
    Character* m_player2 = nullptr;
    int32_t m_pauseTick = 0;
    PixelImage m_characterPortraits[GameData::kCharacterCount];
    int32_t m_highlight = -1;
    PixelImage m_levelThumbnails[GameData::kLevelCount];
    PadControls m_padControls;
    std::unique_ptr<InputSource> m_seatSources[2];
    SeatChoice m_seatChoices[2] = {SeatChoice::Person, SeatChoice::Person};
    // Rounds started with a computer seat, so that each plays differently.
    uint32_t m_computerRounds = 0;
    // The pass being run, whose frames the players read.
    RoundPass m_pass;
    bool m_silent = false;
    // Room for a snapshot made only to be measured, kept between uses.
    mutable StateBytes m_scratch;
    std::unique_ptr<OnlineSession> m_online;
    std::unique_ptr<OnlinePlay> m_onlinePlay;
    int m_inputDelay = 2;
    bool m_actingOnline = false;
    std::string m_notice;
    int m_noticeUntil = 0;
    std::unique_ptr<OutOfSyncReport> m_outOfSync;
    uint32_t m_theirOutOfSyncPass = 0;
    StateBytes m_theirOutOfSyncState;
    // Where the markers were drawn last, to be wiped with the objects.
    GameData::ScreenRect m_markers[2] = {};
    int m_markerCount = 0;
    std::shared_ptr<Replay> m_recording;
    std::unique_ptr<ReplayWatch> m_watch;
    std::string m_replayMessage;
    int m_replayMessageUntil = 0;
    // The volume's level shows from a step for a while; the corner, where
    // it was drawn last, is wiped with the objects.
    bool m_volumeShown = false;
    int m_volumeShownAt = 0;
    bool m_volumeDrawn = false;
    GameData::ScreenRect m_volumeBox = {};
};
