// Measures the game's sound as a player hears it. For every committed sound:
// its peak, the loudness of its loudest 100 ms (K-weighted, as broadcast
// loudness is measured), its mean and its energy at the bottom of the
// spectrum, and, for each cue at the volume and pitch the game plays it, how
// far it stands above the round's music, also through a 200 Hz high-pass that
// stands in for a laptop's speakers. Then the alias power of the
// synthesiser's waves as one-second test tones, and two captures of the real
// mixer through the library's disk driver: the music's gain through a pause
// and a change of music, and a fourth-level round in which the flyers keep
// hitting idle fighters.
// Usage: skirmora_sound_report   (from the repository root; scripts/sound-report)
#include "engine/SoundPlayer.h"
#include "tests/driver/GameDriver.h"
#include "tools/Synthesiser.h"
#include "tools/WavFile.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace GameData;

namespace
{
constexpr double kPi = 3.14159265358979323846;
using Samples = std::vector<double>;

// One second-order section, designed as in the audio EQ cookbook.
class Biquad
{
public:
    enum class Kind
    {
        HighPass,
        LowPass,
        HighShelf
    };
    Biquad(Kind kind, double hz, double q, int rate, double gainDb = 0.0)
    {
        const double w = 2.0 * kPi * hz / rate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
        const double a = std::pow(10.0, gainDb / 40.0), root = 2.0 * std::sqrt(a) * alpha;
        double a0 = 1.0 + alpha;
        if (kind == Kind::HighShelf)
        {
            a0 = (a + 1) - (a - 1) * c + root;
            m_b = {a * ((a + 1) + (a - 1) * c + root), -2 * a * ((a - 1) + (a + 1) * c),
                   a * ((a + 1) + (a - 1) * c - root)};
            m_a = {2 * ((a - 1) - (a + 1) * c), (a + 1) - (a - 1) * c - root};
        }
        else
        {
            const double side = kind == Kind::HighPass ? (1 + c) / 2 : (1 - c) / 2;
            m_b = {side, kind == Kind::HighPass ? -2 * side : 2 * side, side};
            m_a = {-2 * c, 1 - alpha};
        }
        for (double& b : m_b)
            b /= a0;
        for (double& value : m_a)
            value /= a0;
    }
    Samples Run(const Samples& in) const
    {
        Samples out(in.size());
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (size_t i = 0; i < in.size(); ++i)
        {
            out[i] = m_b[0] * in[i] + m_b[1] * x1 + m_b[2] * x2 - m_a[0] * y1 - m_a[1] * y2;
            x2 = x1;
            x1 = in[i];
            y2 = y1;
            y1 = out[i];
        }
        return out;
    }

private:
    std::vector<double> m_b, m_a;
};

// The weighting of loudness meters: a shelf lifting the treble by 4 dB and
// a high-pass at 38 Hz.
Samples KWeighted(const Samples& in, int rate)
{
    const Samples shelved = Biquad(Biquad::Kind::HighShelf, 1681.97, 0.70718, rate, 4.0).Run(in);
    return Biquad(Biquad::Kind::HighPass, 38.135, 0.50033, rate).Run(shelved);
}

Samples HighPassed200(const Samples& in, int rate)
{
    return Biquad(Biquad::Kind::HighPass, 200.0, 0.7071, rate).Run(in);
}

double Energy(const Samples& in)
{
    double sum = 0.0;
    for (const double value : in)
        sum += value * value;
    return sum;
}

double Lufs(double meanSquare) { return -0.691 + 10.0 * std::log10(std::max(meanSquare, 1e-12)); }

// Mean squares of 100 ms windows every 10 ms; a loop's windows wrap round.
std::vector<double> WindowPowers(const Samples& in, int rate, bool wrap)
{
    const size_t window = static_cast<size_t>(rate / 10), step = static_cast<size_t>(rate / 100);
    Samples padded = in;
    padded.resize(in.size() + window, 0.0);
    if (wrap)
        for (size_t i = 0; i < window; ++i)
            padded[in.size() + i] = in[i % in.size()];
    std::vector<double> powers;
    for (size_t start = 0; start < std::max(in.size(), step); start += step)
    {
        double sum = 0.0;
        for (size_t i = start; i < start + window; ++i)
            sum += padded[i] * padded[i];
        powers.push_back(sum / static_cast<double>(window));
    }
    return powers;
}

double Loudest(const Samples& in, int rate)
{
    const std::vector<double> powers = WindowPowers(in, rate, false);
    return Lufs(*std::max_element(powers.begin(), powers.end()));
}

double Median(const Samples& in, int rate)
{
    std::vector<double> powers = WindowPowers(in, rate, true);
    std::nth_element(powers.begin(), powers.begin() + static_cast<long>(powers.size() / 2), powers.end());
    return Lufs(powers[powers.size() / 2]);
}

struct Sound
{
    Samples samples; // -1 to 1
    int rate = 0;
};

Sound Load(const std::string& name)
{
    Sound sound;
    std::vector<int16_t> values;
    int rate = 0;
    if (!WavFile::Load(std::string(kSoundFolder) + name + ".wav", values, rate))
        return sound;
    for (const int16_t value : values)
        sound.samples.push_back(value / 32768.0);
    sound.rate = rate;
    return sound;
}

// As the player plays a pitch: in steps of 5 %, by linear interpolation.
Samples Played(const Samples& in, float volume, float pitch)
{
    const double step = static_cast<double>(5 * std::lround(std::clamp(pitch, 0.5f, 2.0f) * 20.0f)) / 100.0;
    Samples out;
    for (double at = 0; at + 1 < static_cast<double>(in.size()); at += step)
    {
        const auto index = static_cast<size_t>(at);
        const double part = at - static_cast<double>(index);
        out.push_back(volume * (in[index] * (1 - part) + in[index + 1] * part));
    }
    return out;
}

float CueVolume(const std::string& name)
{
    if (name == "lift")
        return kLiftCueVolume;
    return std::find(std::begin(kObjectEventCues), std::end(kObjectEventCues), name) !=
                   std::end(kObjectEventCues)
               ? kEventCueVolume
               : 1.0f;
}

void ReportSounds()
{
    const Sound music = Load(kRoundMusic);
    Samples quiet = music.samples;
    for (double& value : quiet)
        value *= kMusicVolume;
    const double musicLevel = Median(KWeighted(quiet, music.rate), music.rate);
    const double musicLevel200 = Median(KWeighted(HighPassed200(quiet, music.rate), music.rate), music.rate);
    std::printf(
        "round music at its volume %.2f: median 100 ms %.1f LUFS, %.1f through a 200 Hz high-pass\n\n",
        kMusicVolume, musicLevel, musicLevel200);
    std::printf(
        "| sound | ms | peak %% | loudest 100 ms LUFS | mean LSB | below 40 Hz %% | below 100 Hz %% | "
        "played at | over the round music dB | same, 200 Hz high-pass |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    std::vector<std::string> names(std::begin(kEffectNames), std::end(kEffectNames));
    names.insert(names.end(), {kMenuMusic, kRoundMusic});
    for (const std::string& name : names)
    {
        const Sound sound = Load(name);
        const int rate = sound.rate;
        if (sound.samples.empty())
            continue;
        double peak = 0.0, sum = 0.0;
        for (const double value : sound.samples)
        {
            peak = std::max(peak, std::fabs(value));
            sum += value;
        }
        const double total = std::max(Energy(sound.samples), 1e-20);
        const auto below = [&](double hz) {
            const Biquad first(Biquad::Kind::LowPass, hz, 0.5412, rate),
                second(Biquad::Kind::LowPass, hz, 1.3066, rate);
            return 100.0 * Energy(second.Run(first.Run(sound.samples))) / total;
        };
        std::vector<std::pair<std::string, std::pair<float, float>>> plays;
        if (name == "hit")
            for (const float strength : {1.0f, 3.0f, 6.0f, 10.0f, 15.0f, 20.0f, 30.0f, 45.0f})
            {
                const float volume = HitVolume(strength);
                const float pitch = HitPitch(strength);
                char label[64];
                std::snprintf(label, sizeof label, "knockback %g: %.2f, pitch %.2f", strength, volume, pitch);
                plays.push_back({label, {volume, pitch}});
            }
        else if (name != kMenuMusic && name != kRoundMusic)
        {
            char label[32];
            std::snprintf(label, sizeof label, "%.2f", CueVolume(name));
            plays.push_back({label, {CueVolume(name), 1.0f}});
        }
        std::printf("| %s | %.0f | %.1f | %.1f | %+.1f | %.2f | %.1f |", name.c_str(),
                    1000.0 * static_cast<double>(sound.samples.size()) / rate, 100.0 * peak,
                    Loudest(KWeighted(sound.samples, rate), rate),
                    32768.0 * sum / static_cast<double>(sound.samples.size()), below(40.0), below(100.0));
        if (plays.empty())
            std::printf(" | | |\n");
        for (size_t i = 0; i < plays.size(); ++i)
        {
            const auto& [label, play] = plays[i];
            const Samples played = Played(sound.samples, play.first, play.second);
            if (i > 0)
                std::printf("| | | | | | | |");
            std::printf(" %s | %+.1f | %+.1f |\n", label.c_str(),
                        Loudest(KWeighted(played, rate), rate) - musicLevel,
                        Loudest(KWeighted(HighPassed200(played, rate), rate), rate) - musicLevel200);
        }
    }
}

// The power of what is not a harmonic of the tone against that of its
// harmonics, in dB, over the middle 0.8 s under a Blackman-Harris window.
double AliasPower(const std::vector<int16_t>& tone, double hz, int rate)
{
    const size_t start = static_cast<size_t>(rate / 10), count = static_cast<size_t>(rate * 8 / 10);
    Samples residual(count);
    Samples window(count);
    double weights = 0.0;
    for (size_t i = 0; i < count; ++i)
    {
        const double x = 2.0 * kPi * static_cast<double>(i) / static_cast<double>(count - 1);
        window[i] = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        residual[i] = tone[start + i] / 32768.0;
        weights += window[i];
    }
    // The mean is neither a harmonic nor an alias; the table of sounds
    // gives it.
    double mean = 0.0;
    for (size_t i = 0; i < count; ++i)
        mean += window[i] * residual[i] / weights;
    for (double& value : residual)
        value -= mean;
    double harmonics = 0.0;
    for (int k = 1; k * hz < rate / 2.0; ++k)
    {
        const double w = 2.0 * kPi * k * hz / rate;
        double c = 0.0, s = 0.0;
        for (size_t i = 0; i < count; ++i)
        {
            c += window[i] * residual[i] * std::cos(w * static_cast<double>(i));
            s += window[i] * residual[i] * std::sin(w * static_cast<double>(i));
        }
        c *= 2.0 / weights;
        s *= 2.0 / weights;
        for (size_t i = 0; i < count; ++i)
            residual[i] -=
                c * std::cos(w * static_cast<double>(i)) + s * std::sin(w * static_cast<double>(i));
        harmonics += (c * c + s * s) / 2.0;
    }
    double rest = 0.0;
    for (size_t i = 0; i < count; ++i)
        rest += window[i] * residual[i] * residual[i];
    return 10.0 * std::log10(std::max(rest / weights, 1e-30) / harmonics);
}

void ReportAliasing()
{
    const char* waves[] = {"square", "square 25", "square 12", "triangle", "saw", "sine"};
    const double notes[] = {65.406, 130.813, 261.626, 523.251, 1046.502, 2093.005};
    std::printf("\nAlias power of one-second test tones against their harmonics, dB:\n\n");
    std::printf("| wave | C2 | C3 | C4 | C5 | C6 | C7 |\n|---|---|---|---|---|---|---|\n");
    for (const char* wave : waves)
    {
        std::printf("| %s |", wave);
        for (const double hz : notes)
        {
            std::ostringstream text;
            text.precision(10);
            text << "kind effect\nstep 1000\nwave " << wave << "\npitch " << hz
                 << "\nenvelope 0 0 100 0\nvolume 40\n";
            SoundSource source;
            std::vector<int16_t> tone;
            std::string error;
            if (source.Parse(text.str(), error) && Synthesiser::Render(source, tone, error))
                std::printf(" %.1f |", AliasPower(tone, hz, source.GetRate()));
            else
                std::printf(" %s |", error.c_str());
        }
        std::printf("\n");
    }
}

// What the disk driver wrote: 16-bit stereo frames at the device's rate.
std::vector<int16_t> ReadCapture(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy(bytes.data(), bytes.data() + samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

void UseDiskDriver(const std::string& path)
{
    SDL_setenv("SDL_AUDIODRIVER", "disk", 1);
    SDL_setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
}

// Two steady tones stand in for the two musics, so that each one's gain can
// be read from the capture in every 10 ms window: 400 and 600 Hz both fit
// 10 ms a whole number of times.
void ReportMusicFades(const std::string& folder)
{
    const int rate = SoundPlayer::kFrequency;
    const double toneHz[] = {400.0, 600.0};
    const double toneLevel = 0.5;
    std::vector<std::pair<std::string, Uint32>> events;
    UseDiskDriver(folder + "/fades.raw");
    {
        SoundPlayer player;
        if (!player.Open())
            return;
        for (int i = 0; i < 2; ++i)
        {
            std::vector<int16_t> tone;
            for (int n = 0; n < rate; ++n)
                tone.push_back(static_cast<int16_t>(
                    std::lround(toneLevel * 32767.0 * std::sin(2.0 * kPi * toneHz[i] * n / rate))));
            const std::string file = folder + "/tone" + std::to_string(i) + ".wav";
            WavFile::Save(file, tone, rate);
            player.LoadMusic("tone" + std::to_string(i), file);
        }
        const Uint32 opened = SDL_GetTicks();
        const auto play = [&](const char* what, int music, float volume) {
            events.emplace_back(what, SDL_GetTicks() - opened);
            player.PlayMusic("tone" + std::to_string(music), volume);
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        };
        play("start", 0, kMusicVolume);
        play("pause", 0, kPausedMusicVolume);
        play("resume", 0, kMusicVolume);
        play("change of music", 1, kMusicVolume);
    }
    const std::vector<int16_t> capture = ReadCapture(folder + "/fades.raw");
    const size_t window = static_cast<size_t>(rate / 100);
    std::vector<std::vector<double>> gains(2);
    for (size_t start = 0; (start + window) * 2 <= capture.size(); start += window)
        for (int i = 0; i < 2; ++i)
        {
            double c = 0.0, s = 0.0;
            for (size_t n = 0; n < window; ++n)
            {
                const double x = capture[(start + n) * 2] / 32767.0,
                             phase = 2.0 * kPi * toneHz[i] * static_cast<double>(n) / rate;
                c += x * std::cos(phase);
                s += x * std::sin(phase);
            }
            gains[i].push_back(2.0 * std::hypot(c, s) / static_cast<double>(window) / toneLevel);
        }
    std::printf("\nThe music's gain through the real mixer (disk driver), in 10 ms windows:\n\n");
    std::printf("| event | gain before | gain after | largest change in 10 ms |\n|---|---|---|---|\n");
    for (const auto& [what, at] : events)
    {
        const size_t from = at / 10 > 10 ? at / 10 - 10 : 0,
                     to = std::min<size_t>(at / 10 + 60, gains[0].size() - 1);
        double largest = 0.0;
        for (int i = 0; i < 2; ++i)
            for (size_t w = from + 1; w <= to; ++w)
                largest = std::max(largest, std::fabs(gains[i][w] - gains[i][w - 1]));
        const auto sum = [&](size_t w) { return gains[0][w] + gains[1][w]; };
        std::printf("| %s | %.3f | %.3f | %.3f |\n", what.c_str(), sum(from), sum(to), largest);
    }
}

// The fourth level with both fighters idle: the flyers hunt them and hit
// them again and again. Passes are paced at 15 ms of wall time so that the
// audio thread hears the cues as a player would.
void ReportBusyRound(const std::string& folder, int seconds)
{
    UseDiskDriver(folder + "/round.raw");
    std::map<std::string, int> cues;
    {
        GameDriver game;
        if (!game.StartRound(0, 1, kBusyLevel))
            return;
        const auto started = std::chrono::steady_clock::now();
        for (int pass = 0; pass < seconds * 1000 / 15; ++pass)
        {
            game.Pass();
            for (const auto& [name, volume] : game.cues)
                ++cues[name];
            game.cues.clear();
            std::this_thread::sleep_until(started + std::chrono::milliseconds(15 * (pass + 1)));
        }
    }
    const std::vector<int16_t> capture = ReadCapture(folder + "/round.raw");
    const size_t second = 2 * SoundPlayer::kFrequency;
    long fullScale = 0, worstSecond = 0, peak = 0;
    double loudest = 0.0;
    for (size_t start = 0; start + second <= capture.size(); start += second)
    {
        long atFull = 0;
        double sum = 0.0;
        for (size_t i = start; i < start + second; ++i)
        {
            const long value = capture[i];
            atFull += std::labs(value) >= 32767;
            peak = std::max(peak, std::labs(value));
            sum += static_cast<double>(value * value);
        }
        fullScale += atFull;
        worstSecond = std::max(worstSecond, atFull);
        loudest = std::max(loudest, std::sqrt(sum / static_cast<double>(second)));
    }
    std::printf(
        "\nA %d s round on the fourth level, fighters idle, through the real mixer (disk driver):\n\n",
        seconds);
    std::printf("| cues played | hits | throws | samples at full scale | most in one second | peak | "
                "loudest second's RMS |\n|---|---|---|---|---|---|---|\n");
    int total = 0;
    for (const auto& [name, count] : cues)
        total += count;
    std::printf("| %d | %d | %d | %ld | %ld | %ld | %.0f |\n", total, cues["hit"], cues["thrown"], fullScale,
                worstSecond, peak, loudest);
}
} // namespace

int main(int argc, char* argv[])
{
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    const std::string folder = "build-bench/sound-report";
    std::filesystem::create_directories(folder);
    ReportSounds();
    ReportAliasing();
    // 0 seconds leaves the captures out.
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    if (seconds > 0)
    {
        ReportMusicFades(folder);
        ReportBusyRound(folder, seconds);
    }
    return 0;
}
