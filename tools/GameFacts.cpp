// Prints the game's fixed facts (game/GameData.h) as one JSON object, for
// the scripts and end-to-end tests that drive the real program, so that no
// second copy of them is written by hand.
// Usage: game_facts
#include "game/GameData.h"

#include <cstdio>
#include <string>

using namespace GameData;

namespace
{
std::string Rect(const ScreenRect& r)
{
    return "[" + std::to_string(r.x1) + ", " + std::to_string(r.y1) + ", " + std::to_string(r.x2) + ", " +
           std::to_string(r.y2) + "]";
}

template <int Count> std::string Rects(const ScreenRect (&rects)[Count])
{
    std::string list = "[";
    for (int i = 0; i < Count; ++i)
        list += (i ? ", " : "") + Rect(rects[i]);
    return list + "]";
}

template <int Count> std::string Strings(const char* const (&texts)[Count])
{
    std::string list = "[";
    for (int i = 0; i < Count; ++i)
        list += std::string(i ? ", " : "") + "\"" + texts[i] + "\"";
    return list + "]";
}
} // namespace

int main()
{
    char title[128];
    std::snprintf(title, sizeof title, kTitleFormat, kWindowWidth, kWindowHeight);
    std::printf("{\n  \"window\": [%d, %d],\n", kWindowWidth, kWindowHeight);
    std::printf("  \"title\": \"%s\",\n  \"font\": \"%s\",\n", title, kFontFile);
    std::printf("  \"grid\": [%d, %d],\n", kGridColumns, kGridRows);
    std::printf("  \"tile\": %d,\n  \"reference_inset\": %d,\n", kTileSize, kReferenceInset);
    std::printf("  \"tiles\": {\"brick\": %d, \"thin_platform\": %d, ", kBrickTile, kThinPlatformTile);
    std::printf("\"jump_block\": %d, \"lever\": %d},\n", kJumpBlockTile, kLeverTile);
    std::printf("  \"day_sky\": %u,\n  \"night_sky\": %u,\n", kDaySky, kNightSky);
    std::printf("  \"cyan\": %u,\n  \"black\": %u,\n", kCyan, kBlack);
    std::printf("  \"portraits\": %s,\n", Rects(kPortraitHits).c_str());
    std::printf("  \"thumbnails\": %s,\n", Rects(kThumbnailHits).c_str());
    std::printf("  \"back\": %s,\n", Rect(kBackHit).c_str());
    std::printf("  \"back_box\": %s,\n", Rect(kBackBox).c_str());
    std::printf("  \"confirm\": %s,\n", Rect(kConfirmBox).c_str());
    std::printf("  \"sun\": %s,\n", Rect(kSunBox).c_str());
    std::printf("  \"level_files\": %s,\n", Strings(kLevelFiles).c_str());
    std::printf("  \"player_keys\": [\"%s\", \"%s\"]\n}\n", kPlayerKeys[0], kPlayerKeys[1]);
    return 0;
}
