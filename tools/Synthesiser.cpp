#include "tools/Synthesiser.h"

#include <algorithm>
#include <cmath>

namespace
{
using Wave = SoundSource::Wave;

constexpr double kPi = 3.14159265358979323846;
// Harmonics sound in full up to here and fade out by kHarmonicsEnd, well
// below half the sample rate, so that no harmonic folds back as an alias
// and none clicks in or out as a pitch slides.
constexpr double kHarmonicsFull = 16000.0;
constexpr double kHarmonicsEnd = 20000.0;

double Fraction(double value) { return value - std::floor(value); }

// sin(2 pi phase), phase in turns, by its series on the quarter turn around
// zero: in plain arithmetic, so that no maths library can change a sample,
// and within 1e-11 of the true sine.
double Sine(double phase)
{
    double x = Fraction(phase + 0.5) - 0.5;
    if (x > 0.25)
        x = 0.5 - x;
    else if (x < -0.25)
        x = -0.5 - x;
    const double a = 2.0 * kPi * x, a2 = a * a;
    double term = a, sum = a;
    for (int n = 2; n <= 16; n += 2)
    {
        term *= -a2 / (n * (n + 1));
        sum += term;
    }
    return sum;
}

double Cosine(double phase) { return Sine(phase + 0.25); }

// A linear congruential generator from a fixed seed: -1 to 1.
double NextNoise(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
}

// A wave as the sum of its harmonics: the weights of cos and sin of k times
// the phase, for k from 1 (a step of 2 when the even ones are all 0). A
// pulse has no constant part, so it carries no offset whatever its duty.
struct Harmonics
{
    int step = 1;
    std::vector<double> cosine, sine;
};

Harmonics HarmonicsOf(const SoundSource::Tone& tone, double lowestHz)
{
    Harmonics harmonics;
    const bool oddOnly = tone.wave == Wave::Triangle || (tone.wave == Wave::Square && tone.duty == 0.5);
    harmonics.step = oddOnly ? 2 : 1;
    // A triangle's harmonics fall as 1/k^2: past the 101st they are below
    // -80 dB and left out.
    const double highest = tone.wave == Wave::Sine       ? 1.0
                           : tone.wave == Wave::Triangle ? std::min(101.0, kHarmonicsEnd / lowestHz)
                                                         : kHarmonicsEnd / lowestHz;
    for (int k = 1; k <= highest; k += harmonics.step)
    {
        double c = 0.0, s = 0.0;
        if (tone.wave == Wave::Square)
        {
            c = 2.0 / (kPi * k) * Sine(k * tone.duty);
            s = 2.0 / (kPi * k) * (1.0 - Cosine(k * tone.duty));
        }
        else if (tone.wave == Wave::Triangle)
            s = (k % 4 == 1 ? 8.0 : -8.0) / (kPi * kPi * k * k);
        else if (tone.wave == Wave::Saw)
            s = (k % 2 == 1 ? 2.0 : -2.0) / (kPi * k);
        else
            s = 1.0;
        harmonics.cosine.push_back(c);
        harmonics.sine.push_back(s);
    }
    return harmonics;
}

// The wave at a phase and pitch. Each harmonic comes from the one before by
// turning it through the step's angle, a few multiply-adds.
double BandLimited(const Harmonics& harmonics, double phase, double hz)
{
    const double c1 = Cosine(phase), s1 = Sine(phase);
    const double cStep = harmonics.step == 1 ? c1 : c1 * c1 - s1 * s1;
    const double sStep = harmonics.step == 1 ? s1 : 2.0 * s1 * c1;
    const size_t count = harmonics.sine.size();
    const size_t full = std::min(
        count, static_cast<size_t>(std::max(0.0, (kHarmonicsFull / hz - 1.0) / harmonics.step + 1.0)));
    double c = c1, s = s1, value = 0.0;
    for (size_t i = 0; i < count; ++i)
    {
        double weight = 1.0;
        if (i >= full)
        {
            const double above = ((1.0 + static_cast<double>(i * harmonics.step)) * hz - kHarmonicsFull) /
                                 (kHarmonicsEnd - kHarmonicsFull);
            if (above >= 1.0)
                break;
            weight = above <= 0.0 ? 1.0 : Cosine(0.25 * above) * Cosine(0.25 * above);
        }
        value += weight * (harmonics.cosine[i] * c + harmonics.sine[i] * s);
        const double turned = c * cStep - s * sStep;
        s = s * cStep + c * sStep;
        c = turned;
    }
    return value;
}

// White noise through a band-pass around the pitch (a state-variable
// filter, steady however fast the pitch moves), scaled so that its strength
// hardly depends on the pitch.
class BandNoise
{
public:
    double Next(double white, double hz, int rate)
    {
        const double turn = std::min(hz / rate, 0.45) / 2.0;
        const double g = Sine(turn) / Cosine(turn);
        const double a1 = 1.0 / (1.0 + g * (g + 1.0)), a2 = g * a1, a3 = g * a2;
        const double v3 = white - m_low;
        const double v1 = a1 * m_band + a2 * v3, v2 = m_low + a2 * m_band + a3 * v3;
        m_band = 2.0 * v1 - m_band;
        m_low = 2.0 * v2 - m_low;
        return 0.7 * v1 * std::sqrt(rate / (kPi * hz));
    }

private:
    double m_band = 0.0, m_low = 0.0;
};

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
    const int rate = SoundSource::kRate;
    size_t length = static_cast<size_t>(std::lround(source.GetLoopLength() * rate));
    if (!source.IsTune())
        for (const SoundSource::Note& note : source.GetNotes())
            length =
                std::max(length, static_cast<size_t>(std::lround(note.start * rate) +
                                                     std::lround((note.length + note.tone.release) * rate)));
    std::vector<double> mix(length);
    for (const SoundSource::Note& note : source.GetNotes())
        AddNote(note, rate, source.IsTune(), mix);

    // A loop's offset would only take headroom, so a tune is centred on 0.
    if (source.IsTune() && !mix.empty())
    {
        double sum = 0.0;
        for (const double value : mix)
            sum += value;
        for (double& value : mix)
            value -= sum / static_cast<double>(mix.size());
    }
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
    const double lowest = std::min(tone.startHz, tone.endHz) * (1.0 - tone.vibratoDepth);
    const Harmonics harmonics = HarmonicsOf(tone, lowest);
    BandNoise band;
    uint32_t noiseState = 1u;
    double phase = 0.0;
    for (long i = 0; i < count; ++i)
    {
        const double time = static_cast<double>(i) / rate;
        const double along = std::min(1.0, time / note.length);
        double hz = tone.exponential ? tone.startHz * std::pow(tone.endHz / tone.startHz, along)
                                     : tone.startHz + (tone.endHz - tone.startHz) * along;
        hz *= 1.0 + tone.vibratoDepth * Sine(tone.vibratoHz * time);
        const double white = NextNoise(noiseState);
        const double wave =
            tone.wave == Wave::Noise ? band.Next(white, hz, rate) : BandLimited(harmonics, phase, hz);
        phase = Fraction(phase + hz / rate);
        const double value = (1.0 - tone.noise) * wave + tone.noise * white;
        const size_t at = static_cast<size_t>(first + i);
        if (wrap || at < mix.size())
            mix[at % mix.size()] += tone.volume * Envelope(note, time) * value;
    }
}
