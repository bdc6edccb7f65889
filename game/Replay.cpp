// The replay file (docs/replay-format.md): a magic word, the format and
// simulation versions and the body's length; the body (the round's start,
// its passes packed into bits, its digests); then a CRC-32 of all before it.
// Reading trusts nothing: every count, value and length is checked before
// it is used, and a file is refused with one reason.
#include "game/Replay.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

namespace fs = std::filesystem;
using namespace GameData;

namespace
{
constexpr unsigned char kMagic[8] = {'S', 'K', 'R', 'P', '\r', '\n', 0x1A, '\n'};
constexpr size_t kHeaderBytes = sizeof kMagic + 8;
constexpr size_t kChecksumBytes = 4;
// A frame is five held actions and the lever.
constexpr int kFrameBits = 6;
static_assert(kPlayerActionCount == 5, "a frame's actions fill five bits of the file");
// Steps of 15, 16 and 17 ms between passes take two bits; after the escape
// code, any other step up to 63 ms takes seven more, and any other time is
// written whole.
constexpr int kStepBase = 15;
constexpr uint32_t kStepEscape = 3;
constexpr int kStepBits = 2;
constexpr int kShortStepBits = 6;
constexpr int64_t kLongestShortStep = (1 << kShortStepBits) - 1;
constexpr int kTimeBits = 32;
constexpr int32_t kMaxTime = std::numeric_limits<int32_t>::max();
// A start position comes from a three-character token of a map file.
constexpr int32_t kMinStart = -99;
constexpr int32_t kMaxStart = 999;
constexpr int32_t kMaxScore = 1000000000;
constexpr size_t kGridCells = sizeof(LevelGrid);
// The level grid's runs: a control byte below 128 is followed by that many
// and one more bytes as they are; one of 128 or more by one byte repeated
// (control - 128 + 2) times.
constexpr unsigned kRunControl = 128;
constexpr size_t kLongestLiteral = 128;
constexpr size_t kLongestRun = 129;
// Every field of the round state is written below: one added to it must be
// written too, and the versions changed.
static_assert(sizeof(RoundState) == 1264, "a new round state field goes into the replay file");

} // namespace

// CRC-32, as zlib and PNG have it.
uint32_t Replay::Checksum(const unsigned char* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
    {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

namespace
{

// Little-endian numbers.
class ByteWriter
{
public:
    explicit ByteWriter(std::vector<unsigned char>& out) : m_out(out) {}
    void Unsigned(uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            m_out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
    void Signed(int32_t value) { Unsigned(static_cast<uint32_t>(value), 4); }
    void Block(const std::vector<unsigned char>& bytes, int lengthBytes)
    {
        Unsigned(bytes.size(), lengthBytes);
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }

private:
    std::vector<unsigned char>& m_out;
};

// Reads what ByteWriter wrote; once it runs short every read gives 0 and
// ok() stays false.
class ByteReader
{
public:
    ByteReader(const unsigned char* data, size_t size) : m_at(data), m_left(size) {}
    uint64_t Unsigned(int bytes)
    {
        const unsigned char* at = Take(static_cast<size_t>(bytes));
        uint64_t value = 0;
        for (int i = 0; at && i < bytes; ++i)
            value |= static_cast<uint64_t>(at[i]) << (8 * i);
        return value;
    }
    int32_t Signed() { return static_cast<int32_t>(static_cast<uint32_t>(Unsigned(4))); }
    const unsigned char* Take(size_t bytes)
    {
        if (!m_ok || bytes > m_left)
        {
            m_ok = false;
            return nullptr;
        }
        const unsigned char* at = m_at;
        m_at += bytes;
        m_left -= bytes;
        return at;
    }
    bool ok() const { return m_ok; }
    bool AtEnd() const { return m_ok && m_left == 0; }

private:
    const unsigned char* m_at;
    size_t m_left;
    bool m_ok = true;
};

// Bits, lowest first within each byte.
class BitWriter
{
public:
    void Put(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            if (m_used == 8)
            {
                bytes.push_back(0);
                m_used = 0;
            }
            if ((value >> i) & 1u)
                bytes.back() = static_cast<unsigned char>(bytes.back() | 1u << m_used);
            ++m_used;
        }
    }
    std::vector<unsigned char> bytes;

private:
    int m_used = 8;
};

class BitReader
{
public:
    BitReader(const unsigned char* data, size_t size) : m_data(data), m_bits(size * 8) {}
    bool Get(int count, uint32_t& value)
    {
        if (m_bits - m_at < static_cast<size_t>(count))
            return false;
        value = 0;
        for (int i = 0; i < count; ++i, ++m_at)
            value |= static_cast<uint32_t>((m_data[m_at / 8] >> (m_at % 8)) & 1u) << i;
        return true;
    }
    // Only the last byte's unused bits may follow the last pass.
    bool NothingLeft() const { return m_bits - m_at < 8; }

private:
    const unsigned char* m_data;
    size_t m_bits;
    size_t m_at = 0;
};

uint32_t FrameBits(const InputFrame& frame) { return (frame.held & 0x1Fu) | (frame.lever ? 0x20u : 0u); }

InputFrame FrameOf(uint32_t bits)
{
    InputFrame frame;
    frame.held = static_cast<uint8_t>(bits & 0x1Fu);
    frame.lever = (bits & 0x20u) != 0;
    return frame;
}

// Each pass: its step from the time before (two bits, or the escape code,
// one bit and a short step or the whole time), one bit for whether a seat's
// frame changed, and then which seats did (two bits) and their new frames.
std::vector<unsigned char> PackPasses(const std::vector<RoundPass>& passes, int32_t before)
{
    BitWriter bits;
    int64_t time = before;
    InputFrame frames[2] = {};
    for (const RoundPass& pass : passes)
    {
        const int64_t step = pass.time - time;
        if (step >= kStepBase && step < kStepBase + static_cast<int>(kStepEscape))
            bits.Put(static_cast<uint32_t>(step - kStepBase), kStepBits);
        else
        {
            const bool whole = step < 0 || step > kLongestShortStep;
            bits.Put(kStepEscape, kStepBits);
            bits.Put(whole, 1);
            if (whole)
                bits.Put(static_cast<uint32_t>(pass.time), kTimeBits);
            else
                bits.Put(static_cast<uint32_t>(step), kShortStepBits);
        }
        time = pass.time;
        const uint32_t changed =
            (pass.seats[0] != frames[0] ? 1u : 0u) | (pass.seats[1] != frames[1] ? 2u : 0u);
        bits.Put(changed != 0, 1);
        if (changed)
            bits.Put(changed, 2);
        for (int seat = 0; seat < 2; ++seat)
            if (changed & (1u << seat))
            {
                bits.Put(FrameBits(pass.seats[seat]), kFrameBits);
                frames[seat] = pass.seats[seat];
            }
    }
    return bits.bytes;
}

bool UnpackPasses(const unsigned char* data, size_t size, size_t count, int32_t before,
                  std::vector<RoundPass>& passes)
{
    BitReader bits(data, size);
    int64_t time = before;
    InputFrame frames[2] = {};
    passes.reserve(count);
    for (size_t i = 0; i < count; ++i)
    {
        uint32_t step = 0;
        uint32_t whole = 0;
        uint32_t changed = 0;
        if (!bits.Get(kStepBits, step) || (step == kStepEscape && !bits.Get(1, whole)))
            return false;
        if (step != kStepEscape)
            time += kStepBase + static_cast<int>(step);
        else if (!bits.Get(whole ? kTimeBits : kShortStepBits, step))
            return false;
        else if (whole)
            time = static_cast<int32_t>(step);
        else
            time += step;
        if (time < 0 || time > kMaxTime || !bits.Get(1, changed))
            return false;
        if (changed && (!bits.Get(2, changed) || changed == 0))
            return false;
        for (int seat = 0; seat < 2; ++seat)
        {
            uint32_t frame = 0;
            if ((changed & (1u << seat)) && !bits.Get(kFrameBits, frame))
                return false;
            if (changed & (1u << seat))
                frames[seat] = FrameOf(frame);
        }
        passes.push_back(RoundPass{static_cast<int>(time), {frames[0], frames[1]}});
    }
    return bits.NothingLeft();
}

std::vector<unsigned char> PackGrid(const LevelGrid& grid)
{
    const auto* cells = reinterpret_cast<const unsigned char*>(grid);
    std::vector<unsigned char> out;
    size_t i = 0;
    while (i < kGridCells)
    {
        size_t run = 1;
        while (i + run < kGridCells && run < kLongestRun && cells[i + run] == cells[i])
            ++run;
        if (run >= 2)
        {
            out.push_back(static_cast<unsigned char>(kRunControl + run - 2));
            out.push_back(cells[i]);
            i += run;
            continue;
        }
        // As they are, up to where a run begins.
        size_t length = 1;
        while (i + length < kGridCells && length < kLongestLiteral &&
               !(i + length + 1 < kGridCells && cells[i + length] == cells[i + length + 1]))
            ++length;
        out.push_back(static_cast<unsigned char>(length - 1));
        out.insert(out.end(), cells + i, cells + i + length);
        i += length;
    }
    return out;
}

bool UnpackGrid(const unsigned char* data, size_t size, LevelGrid& grid)
{
    auto* cells = reinterpret_cast<unsigned char*>(grid);
    size_t filled = 0;
    ByteReader in(data, size);
    while (!in.AtEnd())
    {
        const unsigned control = static_cast<unsigned>(in.Unsigned(1));
        const size_t length = control >= kRunControl ? control - kRunControl + 2 : control + 1;
        const unsigned char* bytes = in.Take(control >= kRunControl ? 1 : length);
        if (!bytes || length > kGridCells - filled)
            return false;
        if (control >= kRunControl)
            std::memset(cells + filled, *bytes, length);
        else
            std::memcpy(cells + filled, bytes, length);
        filled += length;
    }
    return filled == kGridCells;
}

bool InRange(int64_t value, int64_t low, int64_t high) { return value >= low && value <= high; }

bool Refuse(std::string& why, const std::string& reason)
{
    why = reason;
    return false;
}
} // namespace

bool Replay::StartsASecond(const std::vector<RoundPass>& passes, size_t pass)
{
    return pass == 0 || passes[pass].time / 1000 != passes[pass - 1].time / 1000;
}

std::vector<unsigned char> Replay::Encode() const
{
    std::vector<unsigned char> body;
    ByteWriter out(body);
    for (const int32_t value : {start.m_level, start.m_player1Character, start.m_player2Character})
        out.Unsigned(static_cast<uint32_t>(value), 1);
    for (const SeatChoice seat : seats)
        out.Unsigned(static_cast<uint8_t>(seat), 1);
    out.Unsigned((start.m_daytime ? 1u : 0u) | (start.m_paintedNight ? 2u : 0u) |
                     (start.m_sunDimming ? 4u : 0u) | (drawnBeforeFirstPass ? 8u : 0u),
                 1);
    out.Unsigned(start.m_sunColour, 4);
    for (const int32_t value :
         {start.m_roundStartSeconds, start.m_score1, start.m_score2, start.m_player1StartX,
          start.m_player1StartY, start.m_player2StartX, start.m_player2StartY})
        out.Signed(value);
    out.Block(PackGrid(start.m_levelGrid), 2);
    out.Unsigned(startDigest, 8);

    const int32_t before = passes.empty() || passes[0].time < kStepBase ? 0 : passes[0].time - kStepBase;
    out.Unsigned(passes.size(), 4);
    out.Signed(before);
    out.Block(PackPasses(passes, before), 4);
    out.Unsigned(digests.size(), 4);
    for (const uint64_t digest : digests)
        out.Unsigned(digest, 8);

    std::vector<unsigned char> file(kMagic, kMagic + sizeof kMagic);
    ByteWriter header(file);
    header.Unsigned(kFormatVersion, 2);
    header.Unsigned(kSimulationVersion, 2);
    header.Unsigned(body.size(), 4);
    file.insert(file.end(), body.begin(), body.end());
    header.Unsigned(Checksum(file.data(), file.size()), 4);
    return file;
}

bool Replay::Decode(const unsigned char* data, size_t size, std::string& why)
{
    *this = Replay();
    if (size == 0)
        return Refuse(why, "is empty, not a replay");
    if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return Refuse(why, "is not a Skirmora replay");
    ByteReader header(data + sizeof kMagic, size - sizeof kMagic);
    const uint64_t format = header.Unsigned(2);
    const uint64_t simulation = header.Unsigned(2);
    const uint64_t bodySize = header.Unsigned(4);
    if (header.ok() && format != kFormatVersion)
        return Refuse(why, "is in replay format " + std::to_string(format) +
                               ", which this game does not read (it reads " + std::to_string(kFormatVersion) +
                               ")");
    if (!header.ok() || size - kHeaderBytes < kChecksumBytes ||
        bodySize > size - kHeaderBytes - kChecksumBytes)
        return Refuse(why, "is cut short");
    const size_t checked = kHeaderBytes + bodySize;
    if (size != checked + kChecksumBytes ||
        ByteReader(data + checked, kChecksumBytes).Unsigned(4) != Checksum(data, checked))
        return Refuse(why, "is damaged (its checksum does not match)");
    if (simulation != kSimulationVersion)
        return Refuse(why, "was recorded under other rules (simulation version " +
                               std::to_string(simulation) + "; this game plays version " +
                               std::to_string(kSimulationVersion) + ")");

    // The checksum held, so what follows fails only for a file this game
    // did not write.
    ByteReader in(data + kHeaderBytes, bodySize);
    const uint64_t level = in.Unsigned(1);
    const uint64_t fighter1 = in.Unsigned(1);
    const uint64_t fighter2 = in.Unsigned(1);
    const uint64_t seat1 = in.Unsigned(1);
    const uint64_t seat2 = in.Unsigned(1);
    const uint64_t flags = in.Unsigned(1);
    const uint64_t sun = in.Unsigned(4);
    int32_t numbers[7];
    for (int32_t& number : numbers)
        number = in.Signed();
    const uint64_t gridSize = in.Unsigned(2);
    const unsigned char* grid = in.Take(gridSize);
    const uint64_t sunGreen = (sun >> 8) & 0xFF;
    if (!in.ok() || level >= kLevelCount || fighter1 >= kCharacterCount || fighter2 >= kCharacterCount ||
        seat1 >= kSeatChoiceCount || seat2 >= kSeatChoiceCount || flags >= 16 ||
        (sun & 0xFF00FF) != 0xFD0000 ||
        !InRange(static_cast<int64_t>(sunGreen), (kSunStart >> 8) & 0xFF, (kSunBright >> 8) & 0xFF) ||
        !InRange(numbers[0], 0, kMaxTime / 1000) || !InRange(numbers[1], 0, kMaxScore) ||
        !InRange(numbers[2], 0, kMaxScore) || !UnpackGrid(grid, gridSize, start.m_levelGrid))
        return Refuse(why, "is damaged (its set-up is invalid)");
    for (int i = 3; i < 7; ++i)
        if (!InRange(numbers[i], kMinStart, kMaxStart))
            return Refuse(why, "is damaged (its set-up is invalid)");
    start.m_roundSeconds = Stage2Engine::kRoundSeconds;
    start.m_secondsLeft = Stage2Engine::kRoundSeconds;
    start.m_state = Playing;
    start.m_level = static_cast<int32_t>(level);
    start.m_player1Character = static_cast<int32_t>(fighter1);
    start.m_player2Character = static_cast<int32_t>(fighter2);
    seats[0] = static_cast<SeatChoice>(seat1);
    seats[1] = static_cast<SeatChoice>(seat2);
    start.m_daytime = flags & 1u;
    start.m_paintedNight = flags & 2u;
    start.m_sunDimming = flags & 4u;
    drawnBeforeFirstPass = flags & 8u;
    start.m_sunColour = static_cast<uint32_t>(sun);
    start.m_roundStartSeconds = numbers[0];
    start.m_score1 = numbers[1];
    start.m_score2 = numbers[2];
    start.m_player1StartX = numbers[3];
    start.m_player1StartY = numbers[4];
    start.m_player2StartX = numbers[5];
    start.m_player2StartY = numbers[6];
    startDigest = in.Unsigned(8);

    const uint64_t count = in.Unsigned(4);
    const int32_t before = in.Signed();
    const uint64_t packedSize = in.Unsigned(4);
    const unsigned char* packed = in.Take(packedSize);
    if (!in.ok() || count == 0 || count > kMaxPasses || before < 0 ||
        !UnpackPasses(packed, packedSize, count, before, passes))
        return Refuse(why, "is damaged (its passes are invalid)");
    size_t checkpoints = 0;
    for (size_t i = 0; i < passes.size(); ++i)
        checkpoints += IsCheckpoint(i);
    if (in.Unsigned(4) != checkpoints)
        return Refuse(why, "is damaged (its digests are invalid)");
    for (size_t i = 0; i < checkpoints; ++i)
        digests.push_back(in.Unsigned(8));
    if (!in.AtEnd())
        return Refuse(why, "is damaged (its digests are invalid)");
    return true;
}

bool Replay::Read(const std::string& path, std::string& why)
{
    std::error_code error;
    if (fs::is_directory(path, error))
        return Refuse(why, path + " is a folder, not a replay");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return Refuse(why, path + " cannot be read (" + std::strerror(errno) + ")");
    // One byte more than the largest replay tells a larger file.
    std::vector<unsigned char> bytes(kMaxFileBytes + 1);
    const size_t size = std::fread(bytes.data(), 1, bytes.size(), file);
    const int failure = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (failure)
        return Refuse(why, path + " cannot be read (" + std::strerror(failure) + ")");
    if (size > kMaxFileBytes)
        return Refuse(why, path + " is too large to be a replay");
    if (!Decode(bytes.data(), size, why))
        return Refuse(why, path + " " + why);
    return true;
}

std::string Replay::Folder(std::string& why)
{
    const fs::path data = Stage2Engine::UserDataFolder();
    if (data.empty())
        why = "neither XDG_DATA_HOME nor HOME names a folder to keep replays in";
    return data.empty() ? std::string() : (data / kReplayFolder).string();
}

std::string Replay::FileName(std::time_t when, int level, int copy)
{
    std::tm local = {};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M", &local);
    return std::string(stamp) + "-level" + std::to_string(level) +
           (copy > 1 ? "-" + std::to_string(copy) : std::string()) + kReplayExtension;
}

bool Replay::Save(std::time_t when, std::string& path, std::string& why) const
{
    const std::string folder = Folder(why);
    if (folder.empty())
        return false;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return Refuse(why, "cannot make the folder " + folder + " (" + error.message() + ")");
    const std::vector<unsigned char> bytes = Encode();
    // A new name each time: a second replay of the same minute and level
    // gets "-2", and no file is ever overwritten.
    for (int copy = 1; copy < 100; ++copy)
    {
        path = folder + "/" + FileName(when, start.m_level + 1, copy);
        std::FILE* file = std::fopen(path.c_str(), "wbx");
        if (!file && errno == EEXIST)
            continue;
        if (!file)
            return Refuse(why, "cannot write " + path + " (" + std::strerror(errno) + ")");
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        const int failure = errno;
        if (std::fclose(file) == 0 && written)
            return true;
        std::remove(path.c_str());
        return Refuse(why, "cannot write " + path + " (" + std::strerror(written ? errno : failure) + ")");
    }
    return Refuse(why, "too many replays of this minute in " + folder);
}
