// The master volume: keys and the paused pad's d-pad step it, and the
// bottom-left corner shows the level for a while after a step and a mark
// for as long as the sound is muted, on every screen. The corner is drawn
// over everything else and wiped with the objects.
#include "game/Stage2Engine.h"

#include <algorithm>
#include <cmath>

using namespace GameData;

namespace
{
// Inside the corner: the speaker, the muted cross after it, then the bars,
// rising from left to right.
constexpr int kInset = 6;
constexpr int kSpeakerBody = 5;
constexpr int kSpeakerCone = 7;
constexpr int kCrossSize = 9;
constexpr int kBarsX = 34;
constexpr int kBarWidth = 6;
constexpr int kBarPitch = 9;
constexpr int kLowestBar = 6;
constexpr int kHighestBar = 18;
} // namespace

int Stage2Engine::VolumeStep(int keyCode)
{
    if (keyCode == kVolumeUpKey || keyCode == kPlusKey || keyCode == kKeypadPlusKey)
        return 1;
    if (keyCode == kVolumeDownKey || keyCode == kKeypadMinusKey)
        return -1;
    return 0;
}

int Stage2Engine::GetVolumeLevel() const
{
    return static_cast<int>(std::lround(m_sound.GetMasterVolume() * kVolumeSteps));
}

void Stage2Engine::StepVolume(int step)
{
    const int level = std::clamp(GetVolumeLevel() + step, 0, kVolumeSteps);
    m_sound.SetMasterVolume(static_cast<float>(level) / kVolumeSteps);
    m_volumeShown = true;
    m_volumeShownAt = m_frameTick;
    Redraw(false);
}

// Screens that stay still are drawn only when something changes, so the
// level's time running out asks for a frame itself.
void Stage2Engine::RenderFrame()
{
    if (m_volumeShown && m_frameTick - m_volumeShownAt >= kVolumeShownMs)
    {
        m_volumeShown = false;
        Redraw(false);
    }
    BaseEngine::RenderFrame();
}

void Stage2Engine::WipeVolume()
{
    if (m_volumeDrawn)
        CopyBackgroundPixels(m_volumeBox.x1, m_volumeBox.y1, m_volumeBox.x2 - m_volumeBox.x1 + 1,
                             m_volumeBox.y2 - m_volumeBox.y1 + 1);
    m_volumeDrawn = false;
}

void Stage2Engine::DrawVolume()
{
    const bool muted = m_sound.IsMuted();
    m_volumeDrawn = m_volumeShown || muted;
    if (!m_volumeDrawn)
        return;
    m_volumeBox = m_volumeShown ? kVolumeBox : kMutedBox;
    const ScreenRect& box = m_volumeBox;
    DrawRectangle(box.x1, box.y1, box.x2, box.y2, kVolumePanel);
    const int middle = box.CentreY();
    const int body = box.x1 + kInset;
    DrawRectangle(body, middle - 3, body + kSpeakerBody - 1, middle + 4, kCyan);
    DrawVerticalSidedRegion(body + kSpeakerBody - 1, body + kSpeakerBody + kSpeakerCone - 1, middle - 3,
                            middle - 9, middle + 4, middle + 10, kCyan);
    if (muted)
        DrawCross(body + kSpeakerBody + kSpeakerCone + 2, middle - kCrossSize / 2, kCrossSize, kMutedMark);
    if (!m_volumeShown)
        return;
    const int level = GetVolumeLevel();
    for (int bar = 0; bar < kVolumeSteps; ++bar)
    {
        const int left = box.x1 + kBarsX + bar * kBarPitch;
        const int height = kLowestBar + (kHighestBar - kLowestBar) * bar / (kVolumeSteps - 1);
        DrawRectangle(left, box.y2 - kInset - height + 1, left + kBarWidth - 1, box.y2 - kInset,
                      bar < level ? kCyan : kVolumeUnlit);
    }
}
