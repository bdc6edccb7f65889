#pragma once

#include "game/Stage2Engine.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

class Character;
class GameDriver;

// What a RoundCheck saw.
struct RoundCheckReport
{
    long passes = 0;
    long rollbacks = 0;
    long passesRunAgain = 0;
    std::vector<std::string> failures;
};

// Checks, pass by pass while a game plays, that its rounds are values:
// - a shadow game, fed only the passes (their times and input frames) and
//   never a key, stays in step with it, digest for digest;
// - now and then the game goes back 1 to 10 passes to a snapshot, runs the
//   same passes again silently, and meets the same digest after each.
// Neither disturbs what the game shows, plays or prints.
class RoundCheck
{
public:
    explicit RoundCheck(uint32_t seed);
    ~RoundCheck();

    void Before(GameDriver& game, const RoundPass& pass);
    void After(GameDriver& game);

    const RoundCheckReport& Report() const { return m_report; }

private:
    struct Step
    {
        StateBytes before;
        RoundPass pass;
        uint64_t digest = 0;
    };
    static constexpr int kDeepest = 10;

    void Fail(const std::string& what);
    void FollowInShadow(GameDriver& game, const Step& step);
    void GoBackAndRunAgain(GameDriver& game);

    RoundCheckReport m_report;
    std::mt19937 m_random;
    std::deque<Step> m_history;
    std::unique_ptr<GameDriver> m_shadow;
    const Character* m_roundPlayer = nullptr; // tells one round from the next
};
