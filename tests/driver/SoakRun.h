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
    long logicPasses = 0; // passes in which the paced logic ran
    long dayChanges = 0;
    long transitions[7][7] = {};
    std::vector<uint64_t> digests; // of the game after every thousandth pass
    std::vector<std::string> failures;

    // The screen changes of the game that the run never made.
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
    void ActOnSelectionScreen();
    void ActInRound();
    void Toggle(int key);
    void ClickAnywhere();
    void PressOrClickAnywhere(double keyChance, int key);
    // Mostly 15 ms, now and then early (the logic waits) or late.
    int NextPassMs();
    // The invariants, after every pass.
    void Check(GameState before, int score1, int score2);
    void CheckScores(GameState before, int score1, int score2);
    void CheckPartialRedraw();
    void CheckObjects();
    void Fail(const std::string& what);
    bool Chance(double probability)
    {
        return std::uniform_real_distribution<double>(0, 1)(m_random) < probability;
    }
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    GameDriver& m_game;
    std::mt19937 m_random;
    SoakReport m_report;
    int m_pauseGameTime = 0;
    int m_seekPasses[2] = {}; // passes left in each player's trip to the lever
};
