#include "tools/Synthesiser.h"

#include <algorithm>
#include <cmath>

namespace
{
using Wave = SoundSource::Wave;

double Fraction(double value) { return value - std::floor(value); }

// Bhaskara's approximation, within 0.2% of a sine, in plain arithmetic so
// that no maths library can change a sample; phase in turns.
double Sine(double phase)
{
    const double half = Fraction(2.0 * phase);
    const double bump = half * (1.0 - half);
    return (Fraction(phase) < 0.5 ? 16.0 : -16.0) * bump / (5.0 - 4.0 * bump);
}

// A linear congruential generator from a fixed seed: -1 to 1.
double NextNoise(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
}

// The triangle and the saw start from 0 like the sine, so a note with no
// attack starts without a click.
double WaveAt(const SoundSource::Tone& tone, double phase, double heldNoise)
{
    if (tone.wave == Wave::Square)
        return phase < tone.duty ? 1.0 : -1.0;
    if (tone.wave == Wave::Triangle)
        return 1.0 - 4.0 * std::fabs(Fraction(phase + 0.25) - 0.5);
    if (tone.wave == Wave::Saw)
        return 2.0 * Fraction(phase + 0.5) - 1.0;
    return tone.wave == Wave::Sine ? Sine(phase) : heldNoise;
}

// Attack rises straight; decay and release fall on a curve, which sounds
// like something struck dying away rather than a fade.
double Envelope(const SoundSource::Note& note, double time)
{
    const SoundSource::Tone& tone = note.tone;
    const double held = std::min(time, note.length);
    const double decayed = tone.decay > 0.0 ? std::max(0.0, 1.0 - (held - tone.attack) / tone.decay) : 0.0;
    const double level =
        held < tone.attack ? held / tone.attack : tone.sustain + (1.0 - tone.sustain) * decayed * decayed;
    if (time <= note.length)
        return level;
    const double left = tone.release > 0.0 ? std::max(0.0, 1.0 - (time - note.length) / tone.release) : 0.0;
    return level * left * left;
}
} // namespace

bool Synthesiser::Render(const SoundSource& source, std::vector<int16_t>& samples, std::string& error)
{
    const int rate = source.GetRate();
    size_t length = static_cast<size_t>(std::lround(source.GetLoopLength() * rate));
    if (!source.IsTune())
        for (const SoundSource::Note& note : source.GetNotes())
            length =
                std::max(length, static_cast<size_t>(std::lround(note.start * rate) +
                                                     std::lround((note.length + note.tone.release) * rate)));
    std::vector<double> mix(length);
    for (const SoundSource::Note& note : source.GetNotes())
        AddNote(note, rate, source.IsTune(), mix);

    samples.clear();
    bool heard = false;
    for (const double value : mix)
    {
        const long sample = std::lround(value * 32767.0);
        if (std::labs(sample) >= 32767)
        {
            error = "the sound reaches full scale " + std::to_string(samples.size() * 1000 / rate) +
                    " ms in: lower the volume";
            return false;
        }
        heard = heard || sample != 0;
        samples.push_back(static_cast<int16_t>(sample));
    }
    if (!heard)
        error = "the sound is silent: look at its volume and envelope";
    return heard;
}

void Synthesiser::AddNote(const SoundSource::Note& note, int rate, bool wrap, std::vector<double>& mix)
{
    const SoundSource::Tone& tone = note.tone;
    const long first = std::lround(note.start * rate);
    const long count = std::lround((note.length + tone.release) * rate);
    uint32_t noiseState = 1u;
    double phase = 0.0;
    double heldNoise = NextNoise(noiseState);
    for (long i = 0; i < count; ++i)
    {
        const double time = static_cast<double>(i) / rate;
        const double along = std::min(1.0, time / note.length);
        double hz = tone.exponential ? tone.startHz * std::pow(tone.endHz / tone.startHz, along)
                                     : tone.startHz + (tone.endHz - tone.startHz) * along;
        hz *= 1.0 + tone.vibratoDepth * Sine(tone.vibratoHz * time);
        // The noise wave holds each value for one cycle, so its pitch
        // colours it from a rumble to a hiss.
        phase += hz / rate;
        if (phase >= 1.0)
            heldNoise = NextNoise(noiseState);
        phase = Fraction(phase);
        const double white = NextNoise(noiseState);
        const double value = (1.0 - tone.noise) * WaveAt(tone, phase, heldNoise) + tone.noise * white;
        const size_t at = static_cast<size_t>(first + i);
        if (wrap || at < mix.size())
            mix[at % mix.size()] += tone.volume * Envelope(note, time) * value;
    }
}
