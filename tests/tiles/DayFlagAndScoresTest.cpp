// The day flag the levers switch and the round scores the menu shows.
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// Sets the scores the way the end of a round would.
class ScoredGame : public Stage2Engine
{
public:
    void SetScores(int first, int second)
    {
        m_score1 = first;
        m_score2 = second;
    }
};

class DayFlagAndScoresTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::StdoutCapture quiet;
        m_game = std::make_unique<ScoredGame>();
    }

    std::string m_dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory m_cwd{m_dir};
    std::unique_ptr<ScoredGame> m_game;
};
} // namespace

TEST_F(DayFlagAndScoresTest, StartsAtNightAndEachToggleFlipsTheFlag)
{
    EXPECT_FALSE(m_game->IsDaytime());
    m_game->ToggleDaytime();
    EXPECT_TRUE(m_game->IsDaytime());
    m_game->ToggleDaytime();
    EXPECT_FALSE(m_game->IsDaytime());
}

TEST_F(DayFlagAndScoresTest, ScoresArePerPlayerAndZeroForAnyOtherNumber)
{
    EXPECT_EQ(m_game->GetScore(1), 0);
    EXPECT_EQ(m_game->GetScore(2), 0);
    m_game->SetScores(3, 5);
    EXPECT_EQ(m_game->GetScore(1), 3);
    EXPECT_EQ(m_game->GetScore(2), 5);
    for (int other : {0, 3, -1, 12})
        EXPECT_EQ(m_game->GetScore(other), 0) << other;
}

TEST_F(DayFlagAndScoresTest, ResetClearsBothScores)
{
    m_game->SetScores(3, 5);
    m_game->ResetScores();
    EXPECT_EQ(m_game->GetScore(1), 0);
    EXPECT_EQ(m_game->GetScore(2), 0);
    m_game->ResetScores();
    EXPECT_EQ(m_game->GetScore(1), 0);
    EXPECT_EQ(m_game->GetScore(2), 0);
    // The day flag is not a score: a reset leaves it.
    m_game->ToggleDaytime();
    m_game->ResetScores();
    EXPECT_TRUE(m_game->IsDaytime());
}
