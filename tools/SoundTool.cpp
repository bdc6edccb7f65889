// Turns the sound sources of a directory into WAV files, printing each one's
// length and peak so a change can be checked without listening.
// Usage: sound_tool <sounds directory> <output directory>
#include "tools/SourceDirectory.h"
#include "tools/Synthesiser.h"
#include "tools/WavFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s <sounds directory> <output directory>\n", argv[0]);
        return 2;
    }
    std::vector<SourceDirectory::Source> sources;
    std::string error;
    if (!SourceDirectory::Read(argv[1], ".txt", sources, error))
    {
        std::fprintf(stderr, "sound_tool: %s\n", error.c_str());
        return 1;
    }
    for (const auto& source : sources)
    {
        SoundSource sound;
        std::vector<int16_t> samples;
        const std::string target = std::string(argv[2]) + "/" + source.stem + ".wav";
        if (!sound.Parse(source.text, error) || !Synthesiser::Render(sound, samples, error) ||
            !WavFile::Save(target, samples, sound.GetRate()))
        {
            std::fprintf(stderr, "sound_tool: %s: %s\n", source.path.c_str(),
                         error.empty() ? ("cannot write " + target).c_str() : error.c_str());
            return 1;
        }
        int peak = 0;
        for (const int16_t sample : samples)
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        std::printf("%-14s %6.3f s  peak %5d (%2d%%)\n", source.stem.c_str(),
                    static_cast<double>(samples.size()) / sound.GetRate(), peak, peak * 100 / 32767);
    }
    std::printf("sound_tool: %zu sounds written under %s\n", sources.size(), argv[2]);
    return 0;
}
