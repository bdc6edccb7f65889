#include "bench/PacingProbe.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>

namespace
{
// Clicks through the menus: any click, two portraits with Confirm, the
// fourth level with Confirm. Centres of the screens' hit rectangles.
const int kMenuClicks[][2] = {{480, 360}, {175, 225}, {775, 655}, {475, 225},
                              {775, 655}, {680, 482}, {775, 655}};
// Keys held in turn during the round, half a second each.
const int kPatterns[][2] = {{'d', 'j'}, {'w', 'i'}, {'a', 'l'}, {'c', 'n'}};
constexpr uint32_t kPatternMs = 500;
} // namespace

PacingProbe::PacingProbe(int seconds) : m_seconds(seconds) {}

void PacingProbe::DoFrameLogic()
{
    ++m_loopPasses;
    if (!m_started)
    {
        m_started = true;
        m_startTick = static_cast<uint32_t>(m_frameTick);
        for (const auto& click : kMenuClicks)
            PushClick(click[0], click[1]);
    }
    PushScript(static_cast<uint32_t>(m_frameTick) - m_startTick);

    const int due = m_nextUpdateTime;
    Stage2Engine::DoFrameLogic();
    if (m_nextUpdateTime != due)
    {
        m_logicCounters.push_back(SDL_GetPerformanceCounter());
        m_logicTicks.push_back(m_frameTick);
    }
}

void PacingProbe::RenderFrame()
{
    if (!IsRedrawDue())
        return;
    const uint64_t before = SDL_GetPerformanceCounter();
    Stage2Engine::RenderFrame();
    m_renderSeconds += static_cast<double>(SDL_GetPerformanceCounter() - before) /
                       static_cast<double>(SDL_GetPerformanceFrequency());
    ++m_frames;
}

void PacingProbe::PushScript(uint32_t elapsedMs)
{
    if (elapsedMs >= static_cast<uint32_t>(m_seconds) * 1000u)
    {
        if (!m_quitPushed)
        {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            m_quitPushed = true;
        }
        return;
    }
    const int pattern = static_cast<int>((elapsedMs / kPatternMs) % 4);
    if (pattern == m_heldPattern)
        return;
    if (m_heldPattern >= 0)
        for (int key : kPatterns[m_heldPattern])
            PushKey(key, false);
    for (int key : kPatterns[pattern])
        PushKey(key, true);
    m_heldPattern = pattern;
}

void PacingProbe::PushClick(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    SDL_PushEvent(&event);
}

void PacingProbe::PushKey(int keyCode, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = keyCode;
    SDL_PushEvent(&event);
}

void PacingProbe::PrintReport(std::FILE* out) const
{
    const size_t passes = m_logicCounters.size();
    if (passes < 3)
    {
        std::fprintf(out, "too few logic passes: %zu\n", passes);
        return;
    }
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    std::vector<double> intervals;
    for (size_t i = 1; i < passes; ++i)
        intervals.push_back(static_cast<double>(m_logicCounters[i] - m_logicCounters[i - 1]) * 1000.0 /
                            frequency);
    const double span = static_cast<double>(m_logicCounters.back() - m_logicCounters.front()) / frequency;
    double sum = 0.0, squares = 0.0;
    for (double interval : intervals)
    {
        sum += interval;
        squares += interval * interval;
    }
    const double mean = sum / static_cast<double>(intervals.size());
    const double spread =
        std::sqrt(std::max(0.0, squares / static_cast<double>(intervals.size()) - mean * mean));
    std::vector<double> sorted = intervals;
    std::sort(sorted.begin(), sorted.end());
    auto percentile = [&](double p) {
        return sorted[static_cast<size_t>(p * static_cast<double>(sorted.size() - 1))];
    };
    long tickOff = 0;
    for (size_t i = 1; i < passes; ++i)
        if (m_logicTicks[i] - m_logicTicks[i - 1] != 15)
            ++tickOff;

    SDL_RendererInfo renderer{};
    if (!m_renderer || SDL_GetRendererInfo(m_renderer.get(), &renderer) != 0)
        renderer.name = "none";
    std::fprintf(out, "video driver %s, renderer %s\n", SDL_GetCurrentVideoDriver(), renderer.name);
    std::fprintf(out, "state at the end: %d (4 = playing)\n", static_cast<int>(GetState()));
    std::fprintf(out, "logic passes: %zu in %.2f s = %.2f per second (ideal %.2f)\n", passes, span,
                 static_cast<double>(passes - 1) / span, 1000.0 / 15.0);
    std::fprintf(out,
                 "interval ms: mean %.3f, std dev %.3f, min %.3f, p1 %.3f, median %.3f, "
                 "p99 %.3f, max %.3f\n",
                 mean, spread, sorted.front(), percentile(0.01), percentile(0.5), percentile(0.99),
                 sorted.back());
    std::fprintf(out, "intervals not exactly 15 ticks: %ld of %zu\n", tickOff, passes - 1);
    std::fprintf(out,
                 "loop passes: %ld (%.0f per logic pass), frames drawn: %ld, "
                 "mean frame %.3f ms\n",
                 m_loopPasses, static_cast<double>(m_loopPasses) / static_cast<double>(passes), m_frames,
                 m_frames ? m_renderSeconds * 1000.0 / static_cast<double>(m_frames) : 0.0);
}
