#pragma once

#include "tools/soak/DrivenGame.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// What a soak saw: how far it got, what it exercised, what broke.
struct SoakReport
{
    static constexpr int kStates = 7;

    long passes = 0;
    long logicPasses = 0;
    long clicks = 0;
    long keyEvents = 0;
    long leverClicks = 0;
    long dayChanges = 0;
    long scoreResets = 0;
    long roundsStarted = 0;
    long roundsEnded = 0;
    // Rounds started on each level.
    long levelRounds[4] = {};
    long transitions[kStates][kStates] = {};
    // Digest of the game after every thousandth pass.
    std::vector<uint64_t> digests;
    // The first few broken invariants, with the pass they broke at.
    std::vector<std::string> failures;

    long Transitions(int from, int to) const { return transitions[from][to]; }
    // The game's screen changes that this run never made, by name.
    std::vector<std::string> MissingTransitions() const;
    // Every screen was reached at least once.
    bool VisitedEveryState() const;
    std::string Summary() const;
};

// Plays the game headless with seeded random input for a number of passes
// of 15 ms (the odd pass shorter or longer, to exercise the pacing), checking
// the game's invariants after every pass. The same seed gives the same game.
class SoakRun
{
public:
    SoakRun(DrivenGame& game, uint32_t seed);

    void Run(long passes);
    const SoakReport& Report() const { return m_report; }

private:
    // Input for the current screen, biased so that the game moves on.
    void Act();
    void ActOnMainMenu();
    void ActOnSelection(bool levels);
    void ActInRound();
    // Steers a player towards the level's lever and pulls it when there.
    void SeekLever(int player);
    void ActOnPause();
    void ClickIn(const DrivenGame::Target& target);
    void Press(int keyCode);
    int Elapsed();

    struct Before
    {
        GameState state;
        int score1, score2;
        bool daytime;
        int gameTime;
    };
    Before Snapshot() const;
    void CountTransition(GameState from, GameState to);
    void CheckAfterPass(const Before& before);
    void CheckRoundEnd(const Before& before);
    void CheckObjects();
    void Fail(const std::string& what);

    bool Chance(double probability);
    int Uniform(int low, int high);

    DrivenGame& m_game;
    std::mt19937 m_random;
    SoakReport m_report;
    int m_pauseGameTime = 0;
    // Passes left in each player's current trip to the lever.
    int m_seekPasses[2] = {};
    int m_rHeldPasses = 0;
};
