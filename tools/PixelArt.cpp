#include "tools/PixelArt.h"

#include <cstdlib>
#include <sstream>

namespace
{
constexpr int kMaxScale = 64;
constexpr int kMaxSide = 4096;

std::string TrimRight(const std::string& text)
{
    const size_t end = text.find_last_not_of(" \t\r");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string TrimLeft(const std::string& text)
{
    const size_t start = text.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : text.substr(start);
}

// A positive whole number no larger than limit, and nothing else.
bool ReadCount(std::istringstream& in, int limit, int& value)
{
    std::string word;
    if (!(in >> word) || word.find_first_not_of("0123456789") != std::string::npos || word.size() > 5)
        return false;
    value = std::atoi(word.c_str());
    return value >= 1 && value <= limit;
}

// The game copies pictures without blending, so a pixel is either opaque
// (0xFFRRGGBB) or fully transparent; anything between would load darkened.
bool ReadColour(const std::string& word, uint32_t& colour)
{
    if (word == "transparent")
    {
        colour = 0;
        return true;
    }
    if (word.size() != 10 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X') ||
        word.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos)
        return false;
    colour = static_cast<uint32_t>(std::strtoul(word.c_str() + 2, nullptr, 16));
    return (colour >> 24) == 0xFF;
}
} // namespace

bool PixelArt::Parse(const std::string& text, std::string& error)
{
    *this = PixelArt();
    enum class Section
    {
        Header,
        Palette,
        Pixels
    } section = Section::Header;

    std::istringstream lines(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(lines, raw))
    {
        ++lineNumber;
        const std::string line = TrimRight(raw);
        std::string problem;
        bool ok = true;
        if (section == Section::Pixels)
            ok = line.empty() || ParsePixelRow(TrimLeft(line), problem);
        else if (TrimLeft(line).empty() || TrimLeft(line)[0] == '#')
            continue;
        else if (TrimLeft(line) == "palette")
            section = Section::Palette;
        else if (TrimLeft(line) == "pixels")
            section = Section::Pixels;
        else if (section == Section::Palette)
            ok = ParsePaletteLine(TrimLeft(line), problem);
        else
            ok = ParseHeaderLine(TrimLeft(line), problem);
        if (!ok)
        {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
    }

    if (m_output.empty())
    {
        error = "no output file named";
        return false;
    }
    if (m_rows.empty())
    {
        error = "no pixel rows";
        return false;
    }

    m_width = static_cast<int>(m_rows.front().size());
    m_height = static_cast<int>(m_rows.size());
    m_pixels.reserve(static_cast<size_t>(m_width) * m_height);
    for (const std::string& row : m_rows)
        for (const char c : row)
            m_pixels.push_back(m_palette[c]);
    return true;
}

bool PixelArt::ParseHeaderLine(const std::string& line, std::string& error)
{
    std::istringstream in(line);
    std::string keyword;
    in >> keyword;
    std::string rest;
    if (keyword == "output" || keyword == "mirror")
    {
        std::string path;
        if (!(in >> path) || (in >> rest) || path.find("..") != std::string::npos || path[0] == '/')
        {
            error = keyword + " needs one relative path inside the output root";
            return false;
        }
        (keyword == "output" ? m_output : m_mirrorOutput) = path;
        return true;
    }
    if (keyword == "scale")
    {
        if (!ReadCount(in, kMaxScale, m_scale) || (in >> rest))
        {
            error = "scale needs one number from 1 to " + std::to_string(kMaxScale);
            return false;
        }
        return true;
    }
    error = "unknown keyword \"" + keyword + "\"";
    return false;
}

bool PixelArt::ParsePaletteLine(const std::string& line, std::string& error)
{
    // One character, then its colour, then an optional name for the reader.
    std::istringstream in(line.substr(1));
    std::string colourWord;
    uint32_t colour = 0;
    if (line.size() < 3 || (line[1] != ' ' && line[1] != '\t') || !(in >> colourWord) ||
        !ReadColour(colourWord, colour))
    {
        error = "a palette entry is one character and 0xFFRRGGBB or transparent";
        return false;
    }
    if (m_palette.count(line[0]))
    {
        error = std::string("palette character '") + line[0] + "' given twice";
        return false;
    }
    m_palette[line[0]] = colour;
    return true;
}

bool PixelArt::ParsePixelRow(const std::string& line, std::string& error)
{
    if (!m_rows.empty() && line.size() != m_rows.front().size())
    {
        error = "row is " + std::to_string(line.size()) + " wide, the first is " +
                std::to_string(m_rows.front().size());
        return false;
    }
    if (line.size() > static_cast<size_t>(kMaxSide) || m_rows.size() >= kMaxSide)
    {
        error = "picture too large";
        return false;
    }
    for (const char c : line)
        if (!m_palette.count(c))
        {
            error = std::string("character '") + c + "' is not in the palette";
            return false;
        }
    m_rows.push_back(line);
    return true;
}

uint32_t PixelArt::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

std::vector<uint32_t> PixelArt::Render(bool mirrored) const
{
    const int outWidth = m_width * m_scale;
    const int outHeight = m_height * m_scale;
    std::vector<uint32_t> out(static_cast<size_t>(outWidth) * outHeight);
    for (int y = 0; y < outHeight; ++y)
        for (int x = 0; x < outWidth; ++x)
        {
            const int artX = x / m_scale;
            out[static_cast<size_t>(y) * outWidth + x] =
                GetPixel(mirrored ? m_width - 1 - artX : artX, y / m_scale);
        }
    return out;
}
