#pragma once

#include "engine/SdlHandles.h"

#include <array>
#include <atomic>
#include <map>
#include <string>
#include <vector>

// Sound effects and looping music by name, through the mixer library. With
// no audio device, or a sound that fails to load, playing it does nothing:
// the game runs silent and unchanged. Playing never waits on the device.
//
// The mixer's channels play the sounds, but their samples are summed here,
// at each channel's exact gain, by a master stage that keeps the mix from
// reaching full scale whatever plays at once. Music plays on two channels
// of its own, so that one can fade out while the next fades in.
class SoundPlayer
{
public:
    // The device's format. A cue is mixed into the next buffer and heard as
    // that one plays: within two buffers of 2.7 ms, so within 5.3 ms.
    static constexpr int kFrequency = 48000;
    static constexpr int kBufferFrames = 128;
    // At most this many voices of one cue at once: another takes the oldest.
    static constexpr int kVoicesPerCue = 3;
    // A change of music, or of its volume, fades over this long.
    static constexpr int kFadeMs = 200;
    // No sample of the mix goes past this (about -1 dB of full scale).
    static constexpr int kCeiling = 29000;

    SoundPlayer() = default;
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts the audio device; false, with one line on standard error
    // (the library's own complaints held back), when there is none.
    bool Open();
    bool IsOpen() const { return m_open; }
    // Loads named sounds once; false for a file that cannot be read.
    bool LoadEffect(const std::string& name, const std::string& file);
    bool LoadMusic(const std::string& name, const std::string& file);

    // Plays an effect at a volume (0 to 1) and a pitch (the playback rate,
    // 1 as recorded; higher is shorter and higher).
    void Play(const std::string& name, float volume = 1.0f, float pitch = 1.0f);
    // Loops a music at a volume, fading from the music before; the music
    // already looping only fades to the new volume.
    void PlayMusic(const std::string& name, float volume);
    // The music asked for last and its volume, with a device or without.
    const std::string& GetMusic() const { return m_musicName; }
    float GetMusicVolume() const { return m_musicVolume; }
    void SetMuted(bool muted);
    bool IsMuted() const { return m_muted; }
    // The master volume (0 to 1) over effects and music alike, applied by
    // the master stage; muting is apart from it and keeps it.
    void SetMasterVolume(float volume);
    float GetMasterVolume() const { return m_masterVolume; }

private:
    static constexpr int kChannels = 16;
    static constexpr int kMusicChannels = 2;

    // One channel as the master stage sees it. The game's thread sets the
    // target gain; the audio thread moves the gain to it, at once after a
    // jump, otherwise over kFadeMs.
    struct Voice
    {
        std::atomic<float> target{0.0f};
        std::atomic<bool> jump{false};
        float gain = 0.0f, step = 0.0f, seen = 0.0f; // the audio thread's
        size_t added = 0;                            // samples of this buffer summed
        std::string sound;                           // what it plays, for the game's thread
        unsigned serial = 0;                         // when it started, in plays
        unsigned startedMs = 0;
    };

    // The effect the mixer runs on each playing channel: it adds the
    // channel's samples at their gain into the sum and hands the mixer
    // silence. Then, on the whole buffer, the master stage.
    static void AddVoice(int channel, void* stream, int bytes, void* player);
    static void MasterStage(int channel, void* stream, int bytes, void* player);
    // Starts a sound on a channel, with the voice's gain at once or faded.
    void Start(int channel, Mix_Chunk* chunk, const std::string& sound, float gain, bool fade, int loops);
    void SetGain(int channel, float gain, bool jump);
    int ChannelFor(const std::string& name, float& volume);
    // The effect at a pitch, made once from the loaded one by resampling.
    Mix_Chunk* Pitched(const std::string& name, int percent);
    void Release();

    bool m_open = false;
    bool m_muted = false;
    std::map<std::string, ChunkHandle> m_effects;
    // A pitched chunk plays samples kept here, which outlive it.
    std::map<std::string, std::vector<short>> m_pitchedSamples;
    std::map<std::string, ChunkHandle> m_pitched;
    std::map<std::string, ChunkHandle> m_music;
    int m_musicChannel = 0;
    std::string m_musicName;
    float m_musicVolume = 0.0f;
    unsigned m_plays = 0;
    std::array<Voice, kChannels> m_voices;
    // The audio thread's: the buffer's sum, and the master stage's gain.
    std::vector<float> m_sum;
    float m_masterGain = 1.0f;
    // Set by the game's thread, read by the audio thread.
    std::atomic<float> m_masterVolume{1.0f};
};
