// Sound: the cue for each event the game and its objects go through, the
// music of the menus and of a round, and muting. Cues never change the
// game; without a sound device they play nothing.
#include "game/Stage2Engine.h"

#include <iterator>
#include <string>

using namespace GameData;

void Stage2Engine::SetUpGame()
{
    for (const char* name : kEffectNames)
        m_sound.LoadEffect(name, std::string(kSoundFolder) + name + ".wav");
    for (const char* name : {kMenuMusic, kRoundMusic})
        m_sound.LoadMusic(name, std::string(kSoundFolder) + name + ".wav");
    BaseEngine::SetUpGame();
    FollowWithMusic();
}

void Stage2Engine::PlayCue(const char* name, float volume, float pitch)
{
    if (m_silent)
        return;
    OnCue(name, volume, pitch);
    m_sound.Play(name, volume, pitch);
}

// The menus have their music, a round its own, quieter while paused.
void Stage2Engine::FollowWithMusic()
{
    const bool round = IsRoundState();
    m_sound.PlayMusic(round ? kRoundMusic : kMenuMusic,
                      m_state == Paused ? kPausedMusicVolume : kMusicVolume);
}

void Stage2Engine::OnObjectEvent(const GravityObject& object, ObjectEvent event, float strength)
{
    // A silent pass shakes no pad either.
    if (m_silent)
        return;
    RumbleFor(object, event, strength);
    static_assert(std::size(kObjectEventCues) == kObjectEventCount, "a cue for every event, in its order");
    const char* cue = kObjectEventCues[static_cast<int>(event)];
    if (event == ObjectEvent::Hit)
        PlayCue(cue, HitVolume(strength), HitPitch(strength));
    else
        PlayCue(cue, event == ObjectEvent::LiftTurn ? kLiftCueVolume : kEventCueVolume);
}
