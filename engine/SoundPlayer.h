#pragma once

#include <map>
#include <string>
#include <vector>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// Sound effects and looping music by name, through the mixer library. With
// no audio device, or a sound that fails to load, playing it does nothing:
// the game runs silent and unchanged. Playing never waits on the device.
class SoundPlayer
{
public:
    // The device's format. A cue is mixed into the next buffer and heard as
    // that one plays: within two buffers of 10.7 ms.
    static constexpr int kFrequency = 48000;
    static constexpr int kBufferFrames = 512;

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
    // Loops a music at a volume; the music already looping only changes volume.
    void PlayMusic(const std::string& name, float volume);
    void SetMuted(bool muted);
    bool IsMuted() const { return m_muted; }
    // The master volume (0 to 1) over effects and music alike; muting is
    // apart from it and keeps it.
    void SetMasterVolume(float volume);
    float GetMasterVolume() const { return m_masterVolume; }

private:
    // The effect at a pitch, made once from the loaded one by resampling.
    Mix_Chunk* Pitched(const std::string& name, int percent);
    void Release();

    bool m_open = false;
    bool m_muted = false;
    std::map<std::string, Mix_Chunk*> m_effects;
    std::map<std::string, std::vector<short>> m_pitchedSamples;
    std::map<std::string, Mix_Chunk*> m_pitched;
    std::map<std::string, Mix_Music*> m_music;
    std::string m_playingMusic;
    float m_musicVolume = 0.0f;
    float m_masterVolume = 1.0f;
};
