#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One picture written as ASCII pixel art: a palette of characters and rows
// of those characters, one character an art pixel. The source text reads:
//
//   # comments start with '#' before the pixels (so '#' is no palette character)
//   output sprites/character/kestoright.png   (path under the output root)
//   mirror sprites/character/kestoleft.png    (optional: also the mirror image)
//   scale 6                                   (optional: each art pixel N x N)
//   palette
//   . transparent                             (character, colour, any name)
//   k 0xFF1B2A4A dark outline
//   pixels
//   ..kk..                                    (every row as wide as the first)
class PixelArt
{
public:
    // False with a message naming the line when the text is malformed.
    bool Parse(const std::string& text, std::string& error);

    // Output pixels, each art pixel scaled up, optionally mirrored left-right.
    std::vector<uint32_t> Render(bool mirrored) const;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetScale() const { return m_scale; }
    // An art pixel, 0xAARRGGBB; 0 outside the art.
    uint32_t GetPixel(int x, int y) const;
    const std::string& GetOutput() const { return m_output; }
    const std::string& GetMirrorOutput() const { return m_mirrorOutput; }

private:
    bool ParseHeaderLine(const std::string& line, std::string& error);
    bool ParsePaletteLine(const std::string& line, std::string& error);
    bool ParsePixelRow(const std::string& line, std::string& error);

    std::string m_output;
    std::string m_mirrorOutput;
    int m_scale = 1;
    int m_width = 0;
    int m_height = 0;
    std::map<char, uint32_t> m_palette;
    std::vector<std::string> m_rows;
    std::vector<uint32_t> m_pixels;
};
