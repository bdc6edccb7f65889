#pragma once

// The game's fixed facts, each written once: the window, the grids and their
// tile codes, the colours, every clickable place on the selection screens,
// the data files, and what the fourth level adds. The game, the objects, the
// tools, the benchmarks and the tests all read them from here; the end-to-end
// tests get them through the game_facts tool.

#include <algorithm>
#include <cstdint>

namespace GameData
{
// The window and its font.

constexpr int kWindowWidth = 960;
constexpr int kWindowHeight = 720;
constexpr const char* kTitleFormat = "My Demonstration Program : Size %d x %d";
constexpr const char* kFontFile = "Cornerstone Regular.ttf";
constexpr int kFontPointSize = 24;

// The game's version (major * 100 + minor) and its simulation's, which
// changes whenever a rule or a number of the game does: machines playing
// online must share both, and a replay (only a round's start and its input
// frames) plays only under the simulation it was recorded with.
constexpr uint32_t kGameVersion = 100;
constexpr uint32_t kSimulationVersion = 1;

// Keys and buttons.

// Space pauses, resumes and leaves the result screen; q quits while paused;
// r held on the main menu resets the scores. A left click is player 1's
// lever pull, a right click player 2's.
constexpr int kPauseKey = ' ';
constexpr int kQuitKey = 'q';
constexpr int kResetKey = 'r';
// m mutes and unmutes all sound, on any screen; - lowers the volume a step
// and = raises it (or +, where a layout has it on a key of its own), as do
// the keypad's - and + (the library's codes for them).
constexpr int kMuteKey = 'm';
constexpr int kVolumeDownKey = '-';
constexpr int kVolumeUpKey = '=';
constexpr int kPlusKey = '+';
constexpr int kKeypadMinusKey = 0x40000056;
constexpr int kKeypadPlusKey = 0x40000057;
// Tab on a character screen changes who plays that seat: a person, or the
// computer at one of its levels.
constexpr int kSeatKey = '\t';
// Each player's held keys, in the order of the actions a player holds:
// jump, fall (and drop through), left, right, dash.
constexpr int kPlayerKeyCount = 5;
constexpr char kPlayerKeys[2][kPlayerKeyCount + 1] = {"wsadc", "ikjln"};
constexpr int kLeftButton = 1;
constexpr int kRightButton = 3;

// Grids.

// Both grids cover the window exactly with 24-pixel tiles.
constexpr int kGridColumns = 40;
constexpr int kGridRows = 30;
constexpr int kTileSize = 24;

// Codes of the level grid; every other value is empty.
enum LevelTile : int
{
    kEmptyTile = 0,
    kBrickTile = 1,
    kThinPlatformTile = 2,
    kJumpBlockTile = 3,
    kLeverTile = 4,
};
// Codes of the star grid; every other value is empty sky.
enum StarTile : int
{
    kStarTile = 4,
    kSmallStarTile = 5,
};

// A character's reference point lies this far right of and below its
// top-left corner: the cell under it is the one whose lever a pull uses, and
// the cells around it are the ones its contacts are tested against.
constexpr int kReferenceInset = 10;

// Colours (0xRRGGBB).

constexpr uint32_t kDaySky = 0x7EC0EE;
constexpr uint32_t kNightSky = 0x002E44;
constexpr uint32_t kCyan = 0x00FFFF;
constexpr uint32_t kBlack = 0x000000;
// Each player's marker, telling the fighters apart in a mirror match.
constexpr uint32_t kPlayerColours[2] = {0xFFC020, 0xFF4FD8};
// Every string has a one-pixel outline of this, to read on the day sky too.
constexpr uint32_t kTextOutline = 0x000000;
// An edge arrow's empty part is dark inside a rim that stands out on the sky
// behind it: dark by day, light by night.
constexpr uint32_t kArrowEmpty = 0x000000;
constexpr uint32_t kArrowRimByDay = 0x000000;
constexpr uint32_t kArrowRimByNight = 0xE6E6E6;
// The volume's panel: the level's bars lit or not, and the muted mark.
constexpr uint32_t kVolumePanel = 0x000000;
constexpr uint32_t kVolumeUnlit = 0x3C4E5A;
constexpr uint32_t kMutedMark = 0xFF4040;
// The daytime sun pulses between these two.
constexpr uint32_t kSunStart = 0xFDB800;
constexpr uint32_t kSunBright = 0xFDFD00;

// Screen places.

// A rectangle given by two corners, both inside it.
struct ScreenRect
{
    int x1, y1, x2, y2;
    constexpr bool Contains(int x, int y) const { return x1 <= x && x <= x2 && y1 <= y && y <= y2; }
    constexpr int CentreX() const { return (x1 + x2) / 2; }
    constexpr int CentreY() const { return (y1 + y2) / 2; }
};

constexpr int kCharacterCount = 6;
constexpr int kLevelCount = 4;
constexpr int kPortraitSize = 150;
constexpr int kThumbnailWidth = 300;
constexpr int kThumbnailHeight = 225;

// A click on a picture's rectangle (its area and one more pixel right and
// below) picks it; the picture is drawn at the rectangle's top-left corner.
constexpr ScreenRect kPortraitHits[kCharacterCount] = {{100, 150, 250, 300}, {400, 150, 550, 300},
                                                       {700, 150, 850, 300}, {100, 400, 250, 550},
                                                       {400, 400, 550, 550}, {700, 400, 850, 550}};
constexpr ScreenRect kThumbnailHits[kLevelCount] = {
    {130, 100, 430, 325}, {530, 100, 830, 325}, {130, 370, 430, 595}, {530, 370, 830, 595}};
// Highlights and frames show 10 pixels above and left of their picture and
// 11 below and right of it.
constexpr int kBorderBefore = 10;
constexpr int kBorderAfter = 11;
// The Back button's painted box stops short of its hit rectangle.
constexpr ScreenRect kBackHit = {50, 30, 150, 60};
constexpr ScreenRect kBackBox = {50, 30, 130, 60};
constexpr ScreenRect kConfirmBox = {700, 630, 850, 680};
// The sun's box on the play screen.
constexpr ScreenRect kSunBox = {30, 30, 180, 180};
// Who is who in the HUD, as the pointers tell it: a chip of each player's
// colour before its damage figure (and its deaths on the result screen),
// and under the figure its deaths, a cross in the chip's column and the
// count in the figure's. The deaths lie below the HUD's strip, so their
// boxes are restored with it.
constexpr int kChipSize = 13;
constexpr int kChipGap = 6;
constexpr int kChipY = 17;
constexpr int kDeathsY = 38;
constexpr ScreenRect kDeathsBoxes[2] = {{14, 40, 130, 63}, {859, 40, 959, 63}};

// Volume.

// The master volume goes in ten steps from silent to full, and starts full.
constexpr int kVolumeSteps = 10;
// After a step the level shows this long; the muted mark stays while muted.
constexpr int kVolumeShownMs = 1000;
// The bottom-left corner holds both: the speaker, the muted mark after it,
// then the level's bars.
constexpr ScreenRect kVolumeBox = {8, 684, 134, 711};
constexpr ScreenRect kMutedBox = {8, 684, 40, 711};

// Where a string's top-left corner goes.
struct ScreenPoint
{
    int x, y;
};
// The HUD in a round: the strip at the top that it restores every frame,
// each player's damage, the clock, and the countdown that takes the clock's
// place mid-screen for the last seconds, in a block restored every frame
// (clipped to the window).
constexpr int kHudHeight = 40;
constexpr ScreenPoint kDamageText[2] = {{35, 10}, {880, 10}};
constexpr ScreenPoint kClockText = {440, 10};
constexpr int kCountdownSeconds = 5;
constexpr ScreenPoint kCountdownText = {475, 350};
constexpr int kCountdownWidth = 500;
constexpr int kCountdownHeight = 370;
// Online play's line at the foot of the screen, right of the volume's
// corner (the band is restored every frame while it is in use).
constexpr ScreenPoint kOnlineLine = {150, 690};
constexpr int kOnlineLineHeight = 30;
// The character screens' line saying who plays the seat, in the empty band
// below the portraits and left of Confirm.
constexpr ScreenPoint kSeatLineText = {100, 590};
// The result screen's death counts, where the damage stood.
constexpr ScreenPoint kDeathsText[2] = {{35, 10}, {790, 10}};
// The main menu's score line starts here; a partial redraw restores a box
// larger than the one it bounces in.
constexpr ScreenPoint kScoreLineStart = {375, 350};
constexpr int kScoreLineEraseWidth = 250;
constexpr int kScoreLineEraseHeight = 50;
constexpr int kScoreLineBounceWidth = 200;
constexpr int kScoreLineBounceHeight = 40;

// Files.

// Character kinds 0 to 5 are the selectable fighters; 6 is the walking
// enemy and 7 the flying one.
constexpr int kKindCount = 8;
constexpr int kWalkerKind = 6;
constexpr int kFlyerKind = 7;
struct SpriteFiles
{
    const char* right;
    const char* left;
};
constexpr SpriteFiles kSpriteFiles[kKindCount] = {
    {"Resources/sprites/character/kestoright.png", "Resources/sprites/character/kestoleft.png"},
    {"Resources/sprites/character/brindlewickright.png", "Resources/sprites/character/brindlewickleft.png"},
    {"Resources/sprites/character/marrowenright.png", "Resources/sprites/character/marrowenleft.png"},
    {"Resources/sprites/character/ozzleright.png", "Resources/sprites/character/ozzleleft.png"},
    {"Resources/sprites/character/quintarright.png", "Resources/sprites/character/quintarleft.png"},
    {"Resources/sprites/character/vekright.png", "Resources/sprites/character/vekleft.png"},
    {"Resources/sprites/character/eaterright.png", "Resources/sprites/character/eaterleft.png"},
    {"Resources/sprites/character/flyerright.png", "Resources/sprites/character/flyerleft.png"},
};

// Level index i is read from kLevelFiles[i] and shown by kThumbnailFiles[i];
// the map files' own names are older than the level numbers.
constexpr const char* kLevelFiles[kLevelCount] = {"Resources/maps/level1.txt", "Resources/maps/level2.txt",
                                                  "Resources/maps/level3.txt", "Resources/maps/testmap.txt"};
constexpr const char* kThumbnailFiles[kLevelCount] = {
    "Resources/maps/level1.png", "Resources/maps/level2.png", "Resources/maps/level3.png",
    "Resources/maps/level4.png"};
constexpr const char* kStarFieldFile = "Resources/maps/background.txt";

// Tile pictures of the level grid, indexed by code; the lever has two, the
// day one at kLeverTile and the night one after it.
constexpr int kTilePictureCount = 6;
constexpr const char* kTilePictureFiles[kTilePictureCount] = {
    "Resources/sprites/environment/background.png",   "Resources/sprites/environment/brick.png",
    "Resources/sprites/environment/thinplatform.png", "Resources/sprites/environment/jumpblock.png",
    "Resources/sprites/environment/leverleft.png",    "Resources/sprites/environment/leverright.png",
};
constexpr const char* kStarFile = "Resources/sprites/environment/star.png";
constexpr const char* kSmallStarFile = "Resources/sprites/environment/smallstar.png";
// A moving platform is this picture three times side by side.
constexpr const char* kPlatformSegmentFile = "Resources/sprites/environment/thinplatform.png";

// Sounds, each Resources/sounds/<name>.wav, made by the sound tool.
constexpr const char* kSoundFolder = "Resources/sounds/";
constexpr const char* kEffectNames[] = {
    "highlight", "confirm", "back", "round-start", "jump",         "air-jump", "dash",
    "thrown",    "drop",    "hit",  "ring-out",    "respawn",      "lever",    "day",
    "night",     "lift",    "tick", "fanfare-win", "fanfare-draw", "pause",    "resume"};
constexpr const char* kMenuMusic = "music-menu";
constexpr const char* kRoundMusic = "music-round";
// Music stays quiet under the effects, and quieter still while paused.
constexpr float kMusicVolume = 0.35f;
constexpr float kPausedMusicVolume = 0.12f;
// The cues of the objects' events, in the order of the events. They play at
// kEventCueVolume, a lift's turn quieter and a hit by its knockback; the
// menus' cues, the countdown's tick and the fanfares play at full volume.
constexpr const char* kObjectEventCues[] = {"jump", "air-jump", "dash",    "thrown", "drop",
                                            "hit",  "ring-out", "respawn", "lever",  "lift"};
constexpr float kEventCueVolume = 0.8f;
constexpr float kLiftCueVolume = 0.6f;
// A light bump is soft and high, a hard knockback loud and low.
constexpr float HitVolume(float strength) { return std::clamp(0.5f + strength / 60.0f, 0.5f, 1.0f); }
constexpr float HitPitch(float strength) { return std::clamp(1.3f - strength / 50.0f, 0.7f, 1.3f); }

// The fourth level's objects.

// The only level with moving platforms and enemies.
constexpr int kBusyLevel = 3;
struct LiftPlacement
{
    int x, y, minY, maxY;
};
constexpr LiftPlacement kLifts[] = {{144, 350, 100, 350}, {444, 350, 350, 600}, {744, 350, 100, 350}};
struct WalkerPlacement
{
    int x, y;
};
constexpr WalkerPlacement kWalker = {100, 600};
// Each flyer hunts one player.
struct FlyerPlacement
{
    int x, y, targetPlayer;
};
constexpr FlyerPlacement kFlyers[] = {{120, 48, 1}, {840, 48, 2}};

// Replays.

// On the result screen v watches the round again and s saves it. While
// watching, Space pauses and resumes, the right arrow held plays four times
// as fast, n jumps to three seconds before the next ring-out, and v or q
// return to the result screen.
constexpr int kWatchKey = 'v';
constexpr int kSaveReplayKey = 's';
constexpr int kNextRingOutKey = 'n';
constexpr int kFastForwardKey = 0x4000004F; // the right arrow
constexpr int kFastForwardPasses = 4;
constexpr int kRingOutLeadMs = 3000;
// The label in the HUD's strip while watching, and where a brief message
// (saved, not saved, a replay stopped) stands on the other screens.
constexpr ScreenPoint kReplayLabelText = {560, 10};
constexpr ScreenPoint kReplayMessageText = {310, 470};
constexpr int kReplayMessageMs = 2500;
// Saved replays go to replays/ in the user's data folder, named by date,
// time and level: 2026-12-07-2041-level4.skirmora-replay.
constexpr const char* kReplayFolder = "replays";
constexpr const char* kReplayExtension = ".skirmora-replay";
} // namespace GameData
