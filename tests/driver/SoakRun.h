#pragma once

#include "tests/driver/GameDriver.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// What a soak saw: how far it got, what it exercised, what broke.
struct SoakReport
{
    long passes = 0;
    long logicPasses = 0;
    long leverClicks = 0;
    long dayChanges = 0;
    long roundsEnded = 0;
    long transitions[7][7] = {};
    // Digest of the game after every thousandth pass.
    std::vector<uint64_t> digests;
    // The first few broken invariants, with the pass they broke at.
    std::vector<std::string> failures;

    // The screen changes of the game that this run never made, by name.
    std::vector<std::string> MissingTransitions() const;
    std::string Summary() const;
};

// Plays the game with seeded random input for a number of passes of 15 ms
// (now and then a shorter or longer one, to exercise the pacing), checking
// the game's invariants after every pass. The same seed plays the same game.
class SoakRun
{
public:
    SoakRun(GameDriver& game, uint32_t seed) : m_game(game), m_random(seed) {}

    void Run(long passes);
    const SoakReport& Report() const { return m_report; }

private:
    // Input for the current screen, biased so that the game moves on.
    void Act();
    void ActInRound();
    // Steers a player to the level's lever and pulls it there.
    void SeekLever(int player);
    void Toggle(int keyCode);
    void Check(GameState before, int score1, int score2, bool daytime);
    void Fail(const std::string& what);
    bool Chance(double probability);
    int Uniform(int low, int high);

    GameDriver& m_game;
    std::mt19937 m_random;
    SoakReport m_report;
    int m_pauseGameTime = 0;
    int m_seekPasses[2] = {};
};
