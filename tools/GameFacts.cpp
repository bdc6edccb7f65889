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
    std::printf("{\n"
                "  \"window\": [%d, %d],\n  \"title\": \"%s\",\n  \"font\": \"%s\",\n"
                "  \"grid\": [%d, %d],\n  \"tile\": %d,\n  \"reference_inset\": %d,\n"
                "  \"tiles\": {\"brick\": %d, \"thin_platform\": %d, \"jump_block\": %d, "
                "\"lever\": %d},\n"
                "  \"day_sky\": %u,\n  \"night_sky\": %u,\n  \"cyan\": %u,\n  \"black\": %u,\n"
                "  \"portraits\": %s,\n  \"thumbnails\": %s,\n"
                "  \"back\": %s,\n  \"back_box\": %s,\n  \"confirm\": %s,\n  \"sun\": %s,\n"
                "  \"level_files\": %s,\n  \"player_keys\": [\"%s\", \"%s\"]\n}\n",
                kWindowWidth, kWindowHeight, title, kFontFile, kGridColumns, kGridRows, kTileSize,
                kReferenceInset, kBrickTile, kThinPlatformTile, kJumpBlockTile, kLeverTile, kDaySky,
                kNightSky, kCyan, kBlack, Rects(kPortraitHits).c_str(), Rects(kThumbnailHits).c_str(),
                Rect(kBackHit).c_str(), Rect(kBackBox).c_str(), Rect(kConfirmBox).c_str(),
                Rect(kSunBox).c_str(), Strings(kLevelFiles).c_str(), kPlayerKeys[0], kPlayerKeys[1]);
    return 0;
}
