#include "tools/SoundSource.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <sstream>

namespace
{
using Wave = SoundSource::Wave;

bool Refuse(std::string& error, const std::string& message)
{
    error = message;
    return false;
}

// Whether a line has words left to read.
bool More(std::istringstream& in) { return !(in >> std::ws).eof(); }

// One number from low to high, stored times unit (e.g. ms as seconds).
bool ReadNumber(std::istringstream& in, double low, double high, double& value, double unit = 1.0)
{
    std::string word;
    char* end = nullptr;
    if (!(in >> word))
        return false;
    const double number = std::strtod(word.c_str(), &end);
    value = number * unit;
    return *end == '\0' && number >= low && number <= high;
}

bool ReadWhole(std::istringstream& in, int low, int high, int& value)
{
    double number = 0.0;
    const bool whole = ReadNumber(in, low, high, number) && number == std::floor(number);
    value = static_cast<int>(number);
    return whole;
}

// "A4" is 440 Hz; a '#' after the letter raises it a semitone.
bool NoteHz(const std::string& name, double& hz)
{
    static const std::string kSemitones = "C D EF G A B";
    const bool sharp = name.size() == 3 && name[1] == '#';
    if (name.size() != (sharp ? 3u : 2u) || name[0] == ' ' || kSemitones.find(name[0]) == std::string::npos ||
        name.back() < '0' || name.back() > '8')
        return false;
    const int midi =
        12 * (name.back() - '0' + 1) + static_cast<int>(kSemitones.find(name[0])) + (sharp ? 1 : 0);
    hz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

// The lines that shape a tone, alike in a step and in a voice.
bool ReadTone(const std::string& keyword, std::istringstream& in, SoundSource::Tone& tone, std::string& error)
{
    if (keyword == "wave")
    {
        static const std::string kNames[] = {"square", "triangle", "saw", "sine", "noise"};
        std::string name;
        in >> name;
        const auto found = std::find(std::begin(kNames), std::end(kNames), name);
        tone.wave = static_cast<Wave>(found - std::begin(kNames));
        tone.duty = 0.5;
        return (found != std::end(kNames) &&
                (tone.wave != Wave::Square || !More(in) || ReadNumber(in, 1, 99, tone.duty, 0.01))) ||
               Refuse(error, "wave is square (with a duty of 1 to 99 %), triangle, saw, sine or noise");
    }
    if (keyword == "pitch")
    {
        std::string curve = "linear";
        bool ok = ReadNumber(in, 20, 20000, tone.startHz);
        tone.endHz = tone.startHz;
        if (ok && More(in))
            ok = ReadNumber(in, 20, 20000, tone.endHz) &&
                 (!More(in) || ((in >> curve) && (curve == "exp" || curve == "linear")));
        if (!ok)
            return Refuse(error, "pitch is a start Hz, then an end Hz and exp or linear if "
                                 "it slides, each from 20 to 20000");
        tone.exponential = curve == "exp";
        return true;
    }
    if (keyword == "envelope")
    {
        return (ReadNumber(in, 0, 5000, tone.attack, 0.001) && ReadNumber(in, 0, 5000, tone.decay, 0.001) &&
                ReadNumber(in, 0, 100, tone.sustain, 0.01) && ReadNumber(in, 0, 5000, tone.release, 0.001)) ||
               Refuse(error, "envelope is attack ms, decay ms, sustain % and release ms");
    }
    if (keyword == "vibrato")
    {
        return (ReadNumber(in, 0, 50, tone.vibratoHz) && ReadNumber(in, 0, 50, tone.vibratoDepth, 0.01)) ||
               Refuse(error, "vibrato is a rate up to 50 Hz and a depth up to 50 %");
    }
    if (keyword == "noise" || keyword == "volume")
        return ReadNumber(in, 0, 100, keyword == "noise" ? tone.noise : tone.volume, 0.01) ||
               Refuse(error, keyword + " is a share from 0 to 100 %");
    return Refuse(error, "unknown keyword \"" + keyword + "\"");
}
} // namespace

bool SoundSource::Parse(const std::string& text, std::string& error)
{
    *this = SoundSource();
    std::istringstream lines(text);
    std::string raw;
    bool ok = true;
    while (ok && std::getline(lines, raw))
    {
        ++m_line;
        std::istringstream in(raw);
        std::string keyword, extra;
        if (!(in >> keyword) || keyword[0] == '#')
            continue;
        ok = ParseLine(keyword, in, error);
        if (ok && (in >> extra))
            ok = Refuse(error, "\"" + extra + "\" is more than " + keyword + " takes");
    }
    if (ok && m_inVoice)
        ok = CloseVoice(error);
    if (!ok)
        return Refuse(error, "line " + std::to_string(m_line) + ": " + error);
    return !m_notes.empty() || Refuse(error, !m_kindGiven ? "no kind given"
                                             : m_tune     ? "no notes to play"
                                                          : "no steps");
}

bool SoundSource::ParseLine(const std::string& keyword, std::istringstream& in, std::string& error)
{
    if (keyword == "kind" || !m_kindGiven)
    {
        std::string kind;
        if (keyword != "kind" || m_kindGiven || !(in >> kind) || (kind != "effect" && kind != "tune"))
            return Refuse(error, "the first line is kind effect or kind tune, and only it");
        m_kindGiven = true;
        m_tune = kind == "tune";
        return true;
    }
    // The voices are laid out against the tempo and the loop as they close.
    if (m_tune && keyword == "tempo")
        return (!m_inVoice && ReadNumber(in, 40, 300, m_tempo)) ||
               Refuse(error, "tempo is 40 to 300 beats a minute, before the voices");
    if (m_tune && keyword == "loop")
        return (!m_inVoice && ReadWhole(in, 1, 1024, m_loop)) ||
               Refuse(error, "loop is 1 to 1024 sixteenths, before the voices");
    if (m_tune && keyword == "voice")
    {
        std::string name;
        if (m_loop == 0 || m_tempo == 0.0 || !(in >> name))
            return Refuse(error, "a voice has a name and comes after the tempo and the loop");
        if (m_inVoice && !CloseVoice(error))
            return false;
        m_voice = Voice();
        m_voice.line = m_line;
        m_inVoice = true;
        return true;
    }
    if (m_tune && keyword == "notes")
        return m_inVoice ? ParseNotes(in, error) : Refuse(error, "notes belong to a voice");
    if (!m_tune && keyword == "step")
    {
        Note step = m_notes.empty() ? Note() : m_notes.back();
        step.start = m_notes.empty() ? 0.0 : step.start + step.length;
        // Words after the length that are not "at" are refused as extra.
        std::string at;
        if (!ReadNumber(in, 1, 5000, step.length, 0.001) ||
            (More(in) && in.peek() == 'a' &&
             (!(in >> at) || at != "at" || !ReadNumber(in, 0, 5000, step.start, 0.001))))
            return Refuse(error, "a step lasts 1 to 5000 ms, and may start at 0 to 5000 ms");
        m_notes.push_back(step);
        return true;
    }
    if (m_tune && keyword == "pitch")
        return Refuse(error, "a voice's notes give its pitches");

    // A tone line before its step or voice is read into a scratch tone, so
    // a misspelt keyword is still reported as one.
    Tone scratch;
    Tone* tone =
        m_tune ? (m_inVoice ? &m_voice.tone : nullptr) : (m_notes.empty() ? nullptr : &m_notes.back().tone);
    return ReadTone(keyword, in, tone ? *tone : scratch, error) &&
           (tone || Refuse(error, keyword + " comes after a " + (m_tune ? "voice" : "step")));
}

bool SoundSource::ParseNotes(std::istringstream& in, std::string& error)
{
    std::string name;
    while (in >> name)
    {
        double hz = 0.0;
        int length = 0;
        if ((name != "--" && !NoteHz(name, hz)) || !ReadWhole(in, 1, 1024, length))
            return Refuse(error, "\"" + name + "\" is no note like C4, F#3 or a rest --, " +
                                     "each followed by a length of 1 to 1024 sixteenths");
        m_voice.notes.emplace_back(hz, length);
    }
    return true;
}

bool SoundSource::CloseVoice(std::string& error)
{
    m_inVoice = false;
    int total = 0;
    for (const auto& note : m_voice.notes)
        total += note.second;
    if (total == 0 || m_loop % total != 0)
    {
        m_line = m_voice.line;
        return Refuse(error, "the voice's notes last " + std::to_string(total) +
                                 " sixteenths, which do not divide the loop of " + std::to_string(m_loop));
    }
    for (int at = 0; at < m_loop;)
        for (const auto& [hz, length] : m_voice.notes)
        {
            if (hz > 0.0)
            {
                Note note{m_voice.tone, at * Sixteenth(), length * Sixteenth()};
                note.tone.startHz = note.tone.endHz = hz;
                m_notes.push_back(note);
            }
            at += length;
        }
    return true;
}
