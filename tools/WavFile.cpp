#include "tools/WavFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
// Little-endian whatever the machine, so the files are the same everywhere.
void Put(std::string& bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}
} // namespace

std::string WavFile::Bytes(const std::vector<int16_t>& samples, int rate)
{
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    Put(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    Put(bytes, 16, 4); // the format block's size
    Put(bytes, 1, 2);  // PCM
    Put(bytes, 1, 2);  // mono
    Put(bytes, static_cast<uint32_t>(rate), 4);
    Put(bytes, static_cast<uint32_t>(rate * 2), 4); // bytes a second
    Put(bytes, 2, 2);                               // bytes a sample
    Put(bytes, 16, 2);                              // bits a sample
    bytes += "data";
    Put(bytes, dataSize, 4);
    for (const int16_t sample : samples)
        Put(bytes, static_cast<uint16_t>(sample), 2);
    return bytes;
}

bool WavFile::Load(const std::string& path, std::vector<int16_t>& samples, int& rate)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    constexpr size_t kHeader = 44;
    if (bytes.size() < kHeader)
        return false;
    const auto word = [&bytes](size_t at, int size) {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
        return value;
    };
    rate = static_cast<int>(word(24, 4));
    samples.clear();
    for (size_t at = kHeader; at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<int16_t>(word(at, 2)));
    // Whatever the header says, the file must be exactly what these would write.
    return Bytes(samples, rate) == bytes;
}

bool WavFile::Save(const std::string& path, const std::vector<int16_t>& samples, int rate)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);
    std::ofstream out(path, std::ios::binary);
    const std::string bytes = Bytes(samples, rate);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
