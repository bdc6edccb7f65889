#pragma once

#include "tools/SoundSource.h"

#include <cstdint>
#include <string>
#include <vector>

// Plays the notes of a sound source into 16-bit mono samples at the
// source's rate. Everything is plain arithmetic and our own fixed-seed noise,
// so a source makes the same samples on every run.
class Synthesiser
{
public:
    // An effect lasts until its last release ends; a tune lasts one loop,
    // with the tails of its last notes wrapped round onto the start so that
    // the loop plays on seamlessly. False with a message when the notes
    // together would reach full scale, or make no sound at all.
    static bool Render(const SoundSource& source, std::vector<int16_t>& samples, std::string& error);

private:
    static void AddNote(const SoundSource::Note& note, int rate, bool wrap, std::vector<double>& mix);
};
