#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reading and writing whole PNG files as 0xAARRGGBB pixels, row after row.
// The tools write every picture through here, and their tests read them
// back the same way, so a comparison never depends on a file's colour type.
class PngFile
{
public:
    // Writes width x height pixels; creates missing parent directories.
    static bool Save(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);
    // Reads any file the image library reads, converted to 0xAARRGGBB.
    static bool Load(const std::string& path, std::vector<uint32_t>& pixels, int& width, int& height);
};
