#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

// One sound written as text: a short effect or a looping tune, parsed into
// the notes the synthesiser plays. Lines starting with '#' are comments.
//
// An effect is a few steps played one after another; each step starts as a
// copy of the one before, so a later step names only what changes:
//
//   kind effect
//   step 60                 (held for 60 ms; its release rings on after)
//   step 5 at 0             (a step may start at a time of its own, here
//                            with the first, to layer sounds)
//   wave square 25          (square with a 25% duty, triangle, saw, sine, or
//                            noise, which the pitch centres on a band)
//   pitch 660 990 exp       (Hz, optionally sliding to an end pitch over the
//                            step, linear unless "exp")
//   envelope 2 40 50 80     (attack ms, decay ms, sustain %, release ms)
//   vibrato 6 2             (optional: rate Hz, depth % of the pitch)
//   noise 30                (optional: % of white noise mixed into the wave)
//   volume 40               (% of full scale)
//
// A tune is voices playing note lists against a tempo, repeated to fill a
// loop whose end flows into its start:
//
//   kind tune
//   tempo 96                (beats a minute; note lengths are in sixteenths)
//   loop 64                 (sixteenths)
//   voice bass              (then wave, envelope, vibrato, noise, volume)
//   notes C3 8  G2 8  -- 4  (note and octave, or -- for a rest, and a length;
//                            A4 is 440 Hz, C#4 a sharp; a noise voice's note
//                            sets how fast its noise changes)
//
// A voice's notes repeat until the loop ends, so they must divide it evenly.
class SoundSource
{
public:
    enum class Wave
    {
        Square,
        Triangle,
        Saw,
        Sine,
        Noise
    };

    // How a step or a note sounds; times in seconds, levels from 0 to 1.
    struct Tone
    {
        Wave wave = Wave::Square;
        double duty = 0.5;
        double startHz = 440.0, endHz = 440.0;
        bool exponential = false;
        double attack = 0.002, decay = 0.0, sustain = 1.0, release = 0.01;
        double vibratoHz = 0.0, vibratoDepth = 0.0;
        double noise = 0.0;
        double volume = 0.5;
    };

    // A tone held from start for length seconds, then released.
    struct Note
    {
        Tone tone;
        double start = 0.0, length = 0.0;
    };

    // Effects and tunes alike at the game's own rate, so the mixer plays
    // them as they are.
    static constexpr int kRate = 48000;

    // False with a message naming the line when the text is malformed.
    bool Parse(const std::string& text, std::string& error);

    bool IsTune() const { return m_tune; }
    int GetRate() const { return kRate; }
    // A tune's loop in seconds; 0 for an effect, which lasts until its
    // last release ends.
    double GetLoopLength() const { return m_loop * Sixteenth(); }
    const std::vector<Note>& GetNotes() const { return m_notes; }

private:
    double Sixteenth() const { return m_tempo > 0.0 ? 15.0 / m_tempo : 0.0; }

    struct Voice
    {
        Tone tone;
        std::vector<std::pair<double, int>> notes; // Hz (0 a rest), sixteenths
        int line = 0;
    };

    bool ParseLine(const std::string& keyword, std::istringstream& in, std::string& error);
    bool ParseNotes(std::istringstream& in, std::string& error);
    // Checks the voice's notes fill the loop and repeats them until they do.
    bool CloseVoice(std::string& error);

    int m_line = 0; // the line a problem is reported on
    bool m_tune = false;
    bool m_kindGiven = false;
    double m_tempo = 0.0; // beats a minute
    int m_loop = 0;
    Voice m_voice;
    bool m_inVoice = false;
    std::vector<Note> m_notes;
};
