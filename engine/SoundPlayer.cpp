#include "engine/SoundPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace
{
// A cue played again this soon restarts its newest voice rather than
// stacking on it in step, which would only sound as one louder voice.
constexpr unsigned kRestartMs = 20;
// After holding the mix under the ceiling, the master stage's gain comes
// back to 1 over about a quarter of a second.
constexpr float kRecoveryPerFrame = 1.0f / (0.25f * SoundPlayer::kFrequency);
} // namespace

SoundPlayer::~SoundPlayer() { Release(); }

void SoundPlayer::Release()
{
    if (!m_open)
        return;
    Mix_HaltChannel(-1);
    Mix_UnregisterAllEffects(MIX_CHANNEL_POST);
    // The chunks go before the device and the pitched ones before their samples.
    m_effects.clear();
    m_pitched.clear();
    m_music.clear();
    m_pitchedSamples.clear();
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
    // sound stays 16-bit stereo at 48 kHz for the resampling and the sum.
    m_open = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
             Mix_OpenAudioDevice(kFrequency, AUDIO_S16SYS, 2, kBufferFrames, nullptr, 0) == 0;
    std::fflush(stderr);
    if (savedError >= 0)
    {
        dup2(savedError, STDERR_FILENO);
        close(savedError);
    }
    if (quiet)
        std::fclose(quiet);
    if (!m_open)
    {
        std::fprintf(stderr, "No sound: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(kChannels);
    Mix_ReserveChannels(kMusicChannels);
    // The channels' own volume stays 0: the mixer adds nothing of theirs,
    // only the master stage's sum is heard.
    Mix_Volume(-1, 0);
    m_sum.assign(4 * kBufferFrames, 0.0f);
    m_masterGain = 1.0f;
    Mix_RegisterEffect(MIX_CHANNEL_POST, MasterStage, nullptr, this);
    return true;
}

bool SoundPlayer::LoadEffect(const std::string& name, const std::string& file)
{
    ChunkHandle chunk(m_open ? Mix_LoadWAV(file.c_str()) : nullptr);
    if (!chunk)
        return false;
    m_effects[name] = std::move(chunk);
    return true;
}

bool SoundPlayer::LoadMusic(const std::string& name, const std::string& file)
{
    ChunkHandle music(m_open ? Mix_LoadWAV(file.c_str()) : nullptr);
    if (!music)
        return false;
    m_music[name] = std::move(music);
    return true;
}

void SoundPlayer::AddVoice(int channel, void* stream, int bytes, void* player)
{
    auto* self = static_cast<SoundPlayer*>(player);
    Voice& voice = self->m_voices[static_cast<size_t>(channel)];
    auto* samples = static_cast<Sint16*>(stream);
    const size_t count = static_cast<size_t>(bytes) / sizeof(Sint16);
    if (self->m_sum.size() < voice.added + count)
        self->m_sum.resize(voice.added + count, 0.0f);
    // Read the jump first: the target it was set with is then in place.
    const bool jump = voice.jump.exchange(false);
    const float target = voice.target;
    if (jump)
        voice.gain = target;
    if (target != voice.seen)
    {
        voice.seen = target;
        voice.step = std::fabs(target - voice.gain) / (kFadeMs * kFrequency / 1000.0f);
    }
    float* sum = self->m_sum.data() + voice.added;
    for (size_t i = 0; i + 1 < count; i += 2)
    {
        voice.gain = voice.gain < target ? std::min(target, voice.gain + voice.step)
                                         : std::max(target, voice.gain - voice.step);
        sum[i] += voice.gain * samples[i];
        sum[i + 1] += voice.gain * samples[i + 1];
        samples[i] = 0;
        samples[i + 1] = 0;
    }
    voice.added += count;
}

// A limiter that looks ahead within the buffer: where the sum would pass
// the ceiling, its gain glides down before the first such frame and holds
// what the loudest one needs; afterwards it recovers slowly. No sample leaves
// past the ceiling.
void SoundPlayer::MasterStage(int, void* stream, int bytes, void* player)
{
    auto* self = static_cast<SoundPlayer*>(player);
    auto* samples = static_cast<Sint16*>(stream);
    const size_t count = static_cast<size_t>(bytes) / sizeof(Sint16);
    if (self->m_sum.size() < count)
        self->m_sum.resize(count, 0.0f);
    float* sum = self->m_sum.data();
    float need = 1.0f;
    size_t firstOver = count;
    const float master = self->m_masterVolume;
    for (size_t i = 0; i < count; ++i)
    {
        sum[i] = (sum[i] + samples[i]) * master;
        const float size = std::fabs(sum[i]);
        if (size > kCeiling)
        {
            need = std::min(need, kCeiling / size);
            firstOver = std::min(firstOver, i / 2);
        }
    }
    const float start = self->m_masterGain;
    float gain = start;
    for (size_t frame = 0; frame < count / 2; ++frame)
    {
        if (need < start)
            gain = frame < firstOver ? start + (need - start) * static_cast<float>(frame + 1) /
                                                   static_cast<float>(firstOver + 1)
                                     : need;
        else
            gain = std::min(need, gain + kRecoveryPerFrame);
        for (size_t i = frame * 2; i < frame * 2 + 2; ++i)
        {
            const long value = std::lround(sum[i] * gain);
            samples[i] = static_cast<Sint16>(std::clamp<long>(value, -kCeiling, kCeiling));
            sum[i] = 0.0f;
        }
    }
    self->m_masterGain = gain;
    for (Voice& voice : self->m_voices)
        voice.added = 0;
}

Mix_Chunk* SoundPlayer::Pitched(const std::string& name, int percent)
{
    const auto found = m_effects.find(name);
    if (found == m_effects.end() || percent == 100)
        return found == m_effects.end() ? nullptr : found->second.get();
    const std::string key = name + "@" + std::to_string(percent);
    if (Mix_Chunk* made = m_pitched[key].get())
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
    m_pitched[key].reset(Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples.data()),
                                           static_cast<Uint32>(samples.size() * sizeof(short))));
    return m_pitched[key].get();
}

void SoundPlayer::SetGain(int channel, float gain, bool jump)
{
    Voice& voice = m_voices[static_cast<size_t>(channel)];
    voice.target = gain;
    voice.jump = jump;
}

void SoundPlayer::Start(int channel, Mix_Chunk* chunk, const std::string& sound, float gain, bool fade,
                        int loops)
{
    // Halting first takes the channel's effects away with its old sound;
    // the new one's is in place before a sample of it is mixed.
    Mix_HaltChannel(channel);
    Voice& voice = m_voices[static_cast<size_t>(channel)];
    voice.sound = sound;
    voice.serial = ++m_plays;
    voice.startedMs = SDL_GetTicks();
    voice.gain = 0.0f;
    voice.seen = 0.0f;
    SetGain(channel, gain, !fade);
    Mix_RegisterEffect(channel, AddVoice, nullptr, this);
    Mix_PlayChannel(channel, chunk, loops);
}

// A free channel, unless the cue has all its voices already: then its
// oldest. With none free, the oldest effect playing.
int SoundPlayer::ChannelFor(const std::string& name, float& volume)
{
    int free = -1, oldest = -1, oldestOfCue = -1, newestOfCue = -1, voicesOfCue = 0;
    for (int channel = kMusicChannels; channel < kChannels; ++channel)
    {
        const Voice& voice = m_voices[static_cast<size_t>(channel)];
        if (!Mix_Playing(channel))
        {
            free = free < 0 ? channel : free;
            continue;
        }
        if (oldest < 0 || voice.serial < m_voices[static_cast<size_t>(oldest)].serial)
            oldest = channel;
        if (voice.sound != name)
            continue;
        ++voicesOfCue;
        if (oldestOfCue < 0 || voice.serial < m_voices[static_cast<size_t>(oldestOfCue)].serial)
            oldestOfCue = channel;
        if (newestOfCue < 0 || voice.serial > m_voices[static_cast<size_t>(newestOfCue)].serial)
            newestOfCue = channel;
    }
    if (newestOfCue >= 0 &&
        SDL_GetTicks() - m_voices[static_cast<size_t>(newestOfCue)].startedMs < kRestartMs)
    {
        volume = std::max(volume, m_voices[static_cast<size_t>(newestOfCue)].target.load());
        return newestOfCue;
    }
    return voicesOfCue >= kVoicesPerCue ? oldestOfCue : free >= 0 ? free : oldest;
}

void SoundPlayer::Play(const std::string& name, float volume, float pitch)
{
    if (!m_open || m_muted)
        return;
    // Pitches are kept in steps of 5 %, so a sound has a few variants at most.
    const int percent = 5 * static_cast<int>(std::lround(std::clamp(pitch, 0.5f, 2.0f) * 20.0f));
    if (Mix_Chunk* chunk = Pitched(name, percent))
    {
        volume = std::clamp(volume, 0.0f, 1.0f);
        const int channel = ChannelFor(name, volume);
        Start(channel, chunk, name, volume, false, 0);
    }
}

void SoundPlayer::PlayMusic(const std::string& name, float volume)
{
    m_musicName = name;
    m_musicVolume = volume;
    const auto found = m_music.find(name);
    if (!m_open || found == m_music.end())
        return;
    const float gain = m_muted ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    const int playing = m_musicChannel, other = kMusicChannels - 1 - playing;
    if (m_voices[static_cast<size_t>(playing)].sound == name && Mix_Playing(playing))
    {
        SetGain(playing, gain, false);
        return;
    }
    // The music before fades out and stops; the new one fades in, or back
    // in where it was if it is still fading out.
    SetGain(playing, 0.0f, false);
    Mix_ExpireChannel(playing, kFadeMs + 50);
    m_musicChannel = other;
    if (m_voices[static_cast<size_t>(other)].sound == name && Mix_Playing(other))
    {
        Mix_ExpireChannel(other, -1);
        SetGain(other, gain, false);
    }
    else
        Start(other, found->second.get(), name, gain, true, -1);
}

void SoundPlayer::SetMasterVolume(float volume) { m_masterVolume = std::clamp(volume, 0.0f, 1.0f); }

void SoundPlayer::SetMuted(bool muted)
{
    m_muted = muted;
    if (!m_open)
        return;
    // Effects already sounding fall silent too; music keeps its place.
    if (muted)
        for (int channel = kMusicChannels; channel < kChannels; ++channel)
            Mix_HaltChannel(channel);
    SetGain(kMusicChannels - 1 - m_musicChannel, 0.0f, true);
    SetGain(m_musicChannel, muted ? 0.0f : std::clamp(m_musicVolume, 0.0f, 1.0f), true);
}
