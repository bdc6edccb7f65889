#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Canonical PCM WAV files as the game's audio library reads them: the
// 44-byte header, then 16-bit mono samples, little-endian.
class WavFile
{
public:
    // The whole file's bytes.
    static std::string Bytes(const std::vector<int16_t>& samples, int rate);
    // Writes the file; creates missing parent directories.
    static bool Save(const std::string& path, const std::vector<int16_t>& samples, int rate);
    // Reads a file written as above; false for anything else.
    static bool Load(const std::string& path, std::vector<int16_t>& samples, int& rate);
};
