#pragma once

#include "game/GameData.h"

#include <cstdint>
#include <string>
#include <vector>

class PixelImage;
class Stage2Engine;

// Paints a level as the play screen shows it at night, on the background
// surface of an initialised game, through the game's own tile maps: the
// night sky, the star field, then the level's tiles.
class LevelPicture
{
public:
    explicit LevelPicture(Stage2Engine& game) : m_game(game) {}

    // False when a map file cannot be opened; the picture is then unchanged.
    bool Paint(const std::string& mapFile, const std::string& starFieldFile = GameData::kStarFieldFile);
    // Paints one of the game's levels; the fourth with the lifts and enemies
    // that the game adds to it, at their starting places, since they set it
    // apart.
    bool PaintLevel(int index);
    // Outlines the lifts' whole travel and the walker's patrol.
    void MarkFourthLevelObjects();

    // Draws a picture over the painted level, opaque or with the colour of
    // its lower-right pixel left out, as the game draws its objects.
    void DrawImage(const PixelImage& image, int x, int y, bool masked);
    // Outlines a box one pixel wide, for the full-size picture only.
    void MarkBox(int x, int y, int width, int height, uint32_t colour);

    // The painted window, every pixel opaque.
    std::vector<uint32_t> Pixels() const;
    // The painted window scaled down by averaging the area under each pixel.
    std::vector<uint32_t> Thumbnail(int width, int height) const;

    // Area-average (box filter) scaling down: every target pixel is the mean
    // of the source area it covers, fractional edge pixels weighed by their
    // covered share. The result is opaque.
    static std::vector<uint32_t> BoxDownscale(const std::vector<uint32_t>& source, int sourceWidth,
                                              int sourceHeight, int width, int height);

private:
    void DrawFourthLevelObjects();

    Stage2Engine& m_game;
};
