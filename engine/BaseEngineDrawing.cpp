// Drawing into the engine's surfaces: pixels, the background copy and fill,
// shapes, and text with its outline.
#include "engine/BaseEngine.h"

#include "engine/FontEntry.h"
#include "engine/SdlHandles.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <cstring>

namespace
{
// Double to pixel index: add a half and truncate toward zero. Far-off values
// are clamped first so the conversion is always defined; they lie outside
// every surface either way.
int Pix(double v)
{
    const double shifted = v + 0.5;
    if (!(shifted > -1.0e8))
        return -100000000;
    if (shifted > 1.0e8)
        return 100000000;
    return static_cast<int>(shifted);
}
} // namespace

int BaseEngine::SurfaceRows(SDL_Surface* surface) const
{
    // Rows are bounded by the window height, and never past the surface.
    return std::min(m_windowHeight, surface->h);
}

void BaseEngine::SafeSetPixel(int x, int y, uint32_t colour, SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground.get();
    if (!surface)
        return;
    const int rowLength = surface->pitch / 4;
    if (x < 0 || x >= rowLength || y < 0 || y >= SurfaceRows(surface))
        return;
    static_cast<uint32_t*>(surface->pixels)[static_cast<size_t>(y) * rowLength + x] = colour;
}

void BaseEngine::CopyBackgroundPixels(int x, int y, int width, int height)
{
    if (!m_foreground || !m_background || width < 1 || height < 1)
        return;
    // Clip the block to both surfaces: an object partly outside the window
    // asks for a block that reaches past them.
    const int rowLength = m_background->pitch / 4;
    const int rows = std::min(SurfaceRows(m_background.get()), SurfaceRows(m_foreground.get()));
    const int columns = std::min({rowLength, m_foreground->pitch / 4, m_background->w});
    const long left = std::max<long>(x, 0);
    const long top = std::max<long>(y, 0);
    const long right = std::min<long>(static_cast<long>(x) + width, columns);
    const long bottom = std::min<long>(static_cast<long>(y) + height, rows);
    if (left >= right || top >= bottom)
        return;
    const auto* from = static_cast<const uint32_t*>(m_background->pixels);
    auto* to = static_cast<uint32_t*>(m_foreground->pixels);
    const int targetRowLength = m_foreground->pitch / 4;
    for (long row = top; row < bottom; ++row)
        std::memcpy(to + row * targetRowLength + left, from + row * rowLength + left,
                    static_cast<size_t>(right - left) * 4);
}

void BaseEngine::FillBackground(uint32_t colour)
{
    if (!m_background)
        return;
    SDL_Rect rect{0, 0, m_windowWidth, m_windowHeight};
    SDL_FillRect(m_background.get(), &rect, colour);
}

void BaseEngine::FillColumn(SDL_Surface* surface, int x, int yFrom, int yTo, uint32_t colour)
{
    const int rowLength = surface->pitch / 4;
    if (x < 0 || x >= rowLength)
        return;
    yFrom = std::max(yFrom, 0);
    yTo = std::min(yTo, SurfaceRows(surface) - 1);
    auto* pixels = static_cast<uint32_t*>(surface->pixels);
    for (int y = yFrom; y <= yTo; ++y)
        pixels[static_cast<size_t>(y) * rowLength + x] = colour;
}

void BaseEngine::DrawRectangle(int x1, int y1, int x2, int y2, uint32_t colour, SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground.get();
    if (!surface)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    // Same pixels as writing each one through SafeSetPixel, a row at a time.
    const int rowLength = surface->pitch / 4;
    const int left = std::max(x1, 0);
    const int right = std::min(x2, rowLength - 1);
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, SurfaceRows(surface) - 1);
    if (left > right || top > bottom)
        return;
    auto* pixels = static_cast<uint32_t*>(surface->pixels);
    for (int y = top; y <= bottom; ++y)
        std::fill(pixels + static_cast<size_t>(y) * rowLength + left,
                  pixels + static_cast<size_t>(y) * rowLength + right + 1, colour);
}

void BaseEngine::DrawOval(int x1, int y1, int x2, int y2, uint32_t colour, SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground.get();
    if (!surface)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    // A zero-width or zero-height box makes 0/0 and fails the test everywhere.
    if (x1 == x2 || y1 == y2)
        return;
    const double cx = (static_cast<double>(x1) + x2) * 0.5;
    const double cy = (static_cast<double>(y1) + y2) * 0.5;
    const double a2 = (static_cast<double>(x2) - x1) * (static_cast<double>(x2) - x1) * 0.25;
    const double b2 = (static_cast<double>(y2) - y1) * (static_cast<double>(y2) - y1) * 0.25;
    // Only the part of the box that lies on the surface can be written.
    const int left = std::max(x1, 0);
    const int right = std::min(x2, surface->pitch / 4 - 1);
    const int top = std::max(y1, 0);
    const int bottom = std::min(y2, SurfaceRows(surface) - 1);
    for (int x = left; x <= right; ++x)
        for (int y = top; y <= bottom; ++y)
        {
            const double dx = x - cx;
            const double dy = y - cy;
            if (dx * dx / a2 + dy * dy / b2 <= 1.0)
                SafeSetPixel(x, y, colour, surface);
        }
}

void BaseEngine::DrawTriangle(double x1, double y1, double x2, double y2, double x3, double y3,
                              uint32_t colour, SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground.get();
    // Sort by x with three compare-and-swaps; equal x keeps the given order.
    if (x1 > x2)
    {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (x2 > x3)
    {
        std::swap(x2, x3);
        std::swap(y2, y3);
    }
    if (x1 > x2)
    {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }

    if (x1 == x2)
        DrawVerticalSidedRegion(x1, x3, y1, y3, y2, y3, colour, surface);
    else if (x2 == x3)
        DrawVerticalSidedRegion(x1, x3, y1, y2, y1, y3, colour, surface);
    else
    {
        const double yMid = (x2 - x1) * (y3 - y1) / (x3 - x1) + y1;
        DrawVerticalSidedRegion(x1, x2, y1, y2, y1, yMid, colour, surface);
        DrawVerticalSidedRegion(x2, x3, y2, y3, yMid, y3, colour, surface);
    }
}

void BaseEngine::DrawVerticalSidedRegion(double xStart, double xEnd, double edge1StartY, double edge1EndY,
                                         double edge2StartY, double edge2EndY, uint32_t colour,
                                         SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground.get();
    if (!surface)
        return;
    if (xStart > xEnd)
    {
        std::swap(xStart, xEnd);
        std::swap(edge1StartY, edge1EndY);
        std::swap(edge2StartY, edge2EndY);
    }
    const double l = xStart, r = xEnd;
    const int cL = Pix(l);
    const int cR = Pix(r);

    if (cL == cR)
    {
        // One column wide: edge 1 alone gives the span.
        FillColumn(surface, cL, Pix(edge1StartY), Pix(edge1EndY), colour);
        return;
    }

    FillColumn(surface, cL, Pix(std::min(edge1StartY, edge2StartY)), Pix(std::max(edge1StartY, edge2StartY)),
               colour);
    // Inner columns that can reach the surface; the rest write nothing.
    const int first = std::max(cL + 1, 0);
    const int last = std::min(cR - 1, surface->pitch / 4 - 1);
    for (int c = first; c <= last; ++c)
    {
        const double y1 = (edge1EndY - edge1StartY) * (c - l) / (r - l) + edge1StartY;
        const double y2 = (edge2EndY - edge2StartY) * (c - l) / (r - l) + edge2StartY;
        FillColumn(surface, c, Pix(std::min(y1, y2)), Pix(std::max(y1, y2)), colour);
    }
    FillColumn(surface, cR, Pix(std::min(edge1EndY, edge2EndY)), Pix(std::max(edge1EndY, edge2EndY)), colour);
}

void BaseEngine::DrawString(int x, int y, const char* text, uint32_t colour, FontEntry* font,
                            SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground.get();
    if (!font)
        font = m_defaultFont;
    if (!surface || !text || !font || !font->GetFont())
        return;

    const bool relock = m_surfaceLocked && SDL_MUSTLOCK(m_foreground.get());
    if (relock)
        SDL_UnlockSurface(m_foreground.get());

    SDL_Color libraryColour;
    libraryColour.r = (colour >> 16) & 0xFF;
    libraryColour.g = (colour >> 8) & 0xFF;
    libraryColour.b = colour & 0xFF;
    libraryColour.a = 0;
    const SurfaceHandle rendered(TTF_RenderText_Solid(font->GetFont(), text, libraryColour));
    if (rendered)
    {
        // The library clips the blit to the target surface, but its sums
        // overflow for far-off corners and then write outside it: text that
        // misses the surface entirely, outline included, is skipped here.
        const long long left = x;
        const long long top = y;
        if (left - 1 < surface->w && top - 1 < surface->h && left + rendered->w + 1 > 0 &&
            top + rendered->h + 1 > 0)
        {
            // The glyphs in the outline's colour, one pixel out in every
            // direction, then the glyphs over them unchanged. Text of the
            // outline's own colour would only come out bolder.
            if (m_textOutline && colour != m_outlineColour)
            {
                const SDL_Color outline{static_cast<Uint8>(m_outlineColour >> 16),
                                        static_cast<Uint8>(m_outlineColour >> 8),
                                        static_cast<Uint8>(m_outlineColour), 0};
                const SDL_Color glyph = rendered->format->palette->colors[1];
                SDL_SetPaletteColors(rendered->format->palette, &outline, 1, 1);
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                    {
                        SDL_Rect around{x + dx, y + dy, 0, 0};
                        if (dx || dy)
                            SDL_UpperBlit(rendered.get(), nullptr, surface, &around);
                    }
                SDL_SetPaletteColors(rendered->format->palette, &glyph, 1, 1);
            }
            SDL_Rect destination{x, y, 0, 0};
            SDL_UpperBlit(rendered.get(), nullptr, surface, &destination);
        }
    }

    if (relock)
        SDL_LockSurface(m_foreground.get());
}
