#include "engine/SoundPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace
{
constexpr int kChannels = 16;

int MixerVolume(float volume)
{
    return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME));
}
} // namespace

SoundPlayer::~SoundPlayer() { Release(); }

void SoundPlayer::Release()
{
    if (!m_open)
        return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (auto& [name, chunk] : m_effects)
        Mix_FreeChunk(chunk);
    for (auto& [name, chunk] : m_pitched)
        Mix_FreeChunk(chunk);
    for (auto& [name, music] : m_music)
        Mix_FreeMusic(music);
    m_effects.clear(), m_pitched.clear(), m_pitchedSamples.clear(), m_music.clear();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_open = false;
}

bool SoundPlayer::Open()
{
    if (m_open)
        return true;
    // Without a sound card the library's backends print pages of their
    // own; they are held back, and one line of ours says what happened.
    std::fflush(stderr);
    const int savedError = dup(STDERR_FILENO);
    std::FILE* quiet = std::fopen("/dev/null", "w");
    if (quiet)
        dup2(fileno(quiet), STDERR_FILENO);
    // No changes allowed: the library converts to the device, and every
    // sound stays 16-bit stereo at 48 kHz for the resampling below.
    m_open = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
             Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, 2, kBufferFrames, nullptr, 0) == 0;
    std::fflush(stderr);
    if (savedError >= 0)
        dup2(savedError, STDERR_FILENO), close(savedError);
    if (quiet)
        std::fclose(quiet);
    if (!m_open)
    {
        std::fprintf(stderr, "No sound: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(kChannels);
    // The mixer's master volume outlives a device closed and opened again.
    Mix_MasterVolume(MixerVolume(m_masterVolume));
    return true;
}

bool SoundPlayer::LoadEffect(const std::string& name, const std::string& file)
{
    Mix_Chunk* chunk = m_open ? Mix_LoadWAV(file.c_str()) : nullptr;
    if (chunk)
        m_effects[name] = chunk;
    return chunk != nullptr;
}

bool SoundPlayer::LoadMusic(const std::string& name, const std::string& file)
{
    Mix_Music* music = m_open ? Mix_LoadMUS(file.c_str()) : nullptr;
    if (music)
        m_music[name] = music;
    return music != nullptr;
}

Mix_Chunk* SoundPlayer::Pitched(const std::string& name, int percent)
{
    const auto found = m_effects.find(name);
    if (found == m_effects.end() || percent == 100)
        return found == m_effects.end() ? nullptr : found->second;
    const std::string key = name + "@" + std::to_string(percent);
    if (Mix_Chunk* made = m_pitched[key])
        return made;
    // Linear interpolation over the stereo frames of the loaded sound,
    // which the mixer keeps in the device's 16-bit format.
    const auto* source = reinterpret_cast<const short*>(found->second->abuf);
    const size_t frames = found->second->alen / 4;
    const double step = percent / 100.0;
    std::vector<short>& samples = m_pitchedSamples[key];
    for (double at = 0; at + 1 < static_cast<double>(frames); at += step)
    {
        const auto frame = static_cast<size_t>(at);
        const double part = at - static_cast<double>(frame);
        for (size_t channel = 0; channel < 2; ++channel)
            samples.push_back(static_cast<short>(std::lround(source[frame * 2 + channel] * (1 - part) +
                                                             source[frame * 2 + 2 + channel] * part)));
    }
    return m_pitched[key] = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples.data()),
                                              static_cast<Uint32>(samples.size() * sizeof(short)));
}

void SoundPlayer::Play(const std::string& name, float volume, float pitch)
{
    if (!m_open || m_muted)
        return;
    // Pitches are kept in steps of 5 %, so a sound has a few variants at most.
    const int percent = 5 * static_cast<int>(std::lround(std::clamp(pitch, 0.5f, 2.0f) * 20.0f));
    if (Mix_Chunk* chunk = Pitched(name, percent))
    {
        // The volume goes on the channel before it starts: a free one, or
        // else the one playing longest.
        const int free = Mix_GroupAvailable(-1);
        const int channel = free >= 0 ? free : Mix_GroupOldest(-1);
        Mix_Volume(channel, MixerVolume(volume));
        Mix_PlayChannel(channel, chunk, 0);
    }
}

void SoundPlayer::PlayMusic(const std::string& name, float volume)
{
    m_musicVolume = volume;
    if (!m_open)
        return;
    Mix_VolumeMusic(m_muted ? 0 : MixerVolume(volume * m_masterVolume));
    const auto found = m_music.find(name);
    if (found == m_music.end() || (name == m_playingMusic && Mix_PlayingMusic()))
        return;
    m_playingMusic = name;
    Mix_PlayMusic(found->second, -1);
}

void SoundPlayer::SetMuted(bool muted)
{
    m_muted = muted;
    if (!m_open)
        return;
    // Effects already sounding fall silent too; music keeps its place.
    if (muted)
        Mix_HaltChannel(-1);
    Mix_VolumeMusic(muted ? 0 : MixerVolume(m_musicVolume * m_masterVolume));
}

void SoundPlayer::SetMasterVolume(float volume)
{
    m_masterVolume = std::clamp(volume, 0.0f, 1.0f);
    if (!m_open)
        return;
    // The mixer's master volume reaches the effects only; the music's own
    // volume takes it in.
    Mix_MasterVolume(MixerVolume(m_masterVolume));
    if (!m_muted)
        Mix_VolumeMusic(MixerVolume(m_musicVolume * m_masterVolume));
}
