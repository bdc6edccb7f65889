#include "tests/driver/RoundCheck.h"

#include "tests/driver/GameDriver.h"

RoundCheck::RoundCheck(uint32_t seed) : m_random(seed) {}

RoundCheck::~RoundCheck() = default;

void RoundCheck::Fail(const std::string& what)
{
    if (m_report.failures.size() < 20)
        m_report.failures.push_back("at round pass " + std::to_string(m_report.passes) + ": " + what);
}

void RoundCheck::Before(GameDriver& game, const RoundPass& pass)
{
    if (game.GetPlayer1() != m_roundPlayer)
    {
        m_roundPlayer = game.GetPlayer1();
        m_history.clear();
    }
    Step step;
    game.SaveRound(step.before);
    step.pass = pass;
    m_history.push_back(std::move(step));
    if (m_history.size() > kDeepest)
        m_history.pop_front();
}

void RoundCheck::After(GameDriver& game)
{
    ++m_report.passes;
    StateBytes after;
    game.SaveRound(after);
    Step& step = m_history.back();
    step.digest = Stage2Engine::Digest(after);
    FollowInShadow(game, step);
    if (std::uniform_int_distribution<int>(1, 25)(m_random) == 1)
        GoBackAndRunAgain(game);
}

// The shadow starts each round from the game's own start and from then on
// sees nothing but the passes.
void RoundCheck::FollowInShadow(GameDriver& game, const Step& step)
{
    if (m_history.size() == 1)
    {
        // No font: the shadow prints nothing of its own.
        m_shadow = std::make_unique<GameDriver>("");
        // Its seats are the game's, so that their sources' states fit.
        for (int seat = 1; seat <= 2; ++seat)
            m_shadow->SetSeatChoice(seat, game.GetSeatChoice(seat));
        if (!m_shadow->StartRound(game.GetPlayer1Character(), game.GetPlayer2Character(), game.GetLevel()) ||
            !m_shadow->LoadRound(step.before))
        {
            Fail("the shadow could not start the round");
            m_shadow.reset();
            return;
        }
    }
    else if (m_shadow)
        m_shadow->NoteFrameDrawn(); // as the game's frame after its last pass
    if (!m_shadow)
        return;
    m_shadow->RunPass(step.pass, true);
    StateBytes shadowed;
    m_shadow->SaveRound(shadowed);
    if (Stage2Engine::Digest(shadowed) != step.digest)
    {
        Fail("the shadow fed the same passes went its own way");
        m_shadow.reset();
    }
}

void RoundCheck::GoBackAndRunAgain(GameDriver& game)
{
    const int depth = std::uniform_int_distribution<int>(1, static_cast<int>(m_history.size()))(m_random);
    const size_t from = m_history.size() - static_cast<size_t>(depth);
    const GameDriver::RedrawFlags shown = game.GetRedrawFlags();
    ++m_report.rollbacks;
    if (!game.LoadRound(m_history[from].before))
        return Fail("a snapshot of the round did not restore");
    for (size_t i = from; i < m_history.size(); ++i)
    {
        // Between two passes the game drew a frame.
        if (i > from)
            game.NoteFrameDrawn();
        game.RunPass(m_history[i].pass, true);
        ++m_report.passesRunAgain;
        StateBytes again;
        game.SaveRound(again);
        if (Stage2Engine::Digest(again) != m_history[i].digest)
            return Fail("a pass run again " + std::to_string(depth) + " back differs from the first run");
    }
    // The passes ran as before, so the screen already shows their outcome.
    game.SetRedrawFlags(shown);
}
