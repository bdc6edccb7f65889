#include "engine/PixelImage.h"

#include "engine/SdlHandles.h"

#include <SDL.h>
#include <SDL_image.h>
#include <algorithm>

bool PixelImage::LoadImage(const char* fileName)
{
    m_pixels.reset();
    // An image that failed to load must never look as if it had pixels.
    m_width = 0;
    m_height = 0;
    if (!fileName)
        return false;

    const SurfaceHandle loaded(IMG_Load(fileName));
    if (!loaded)
        return false;

    const SurfaceHandle converted(
        SDL_CreateRGBSurface(0, loaded->w, loaded->h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000));
    if (!converted)
        return false;
    // Default blending onto zeroed pixels: fully transparent areas become 0.
    SDL_UpperBlit(loaded.get(), nullptr, converted.get(), nullptr);

    m_width = converted->w;
    m_height = converted->h;
    m_pixels.reset(new uint32_t[static_cast<size_t>(m_width) * m_height]);
    const int rowLength = converted->pitch / 4;
    const auto* source = static_cast<const uint32_t*>(converted->pixels);
    for (int y = 0; y < m_height; ++y)
        std::copy(source + y * rowLength, source + y * rowLength + m_width,
                  m_pixels.get() + static_cast<size_t>(y) * m_width);
    return true;
}

uint32_t PixelImage::GetPixel(int x, int y) const
{
    if (!m_pixels || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

void PixelImage::ResizeFrom(const PixelImage& source, int width, int height, bool pointSample)
{
    m_pixels.reset();
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.reset(new uint32_t[static_cast<size_t>(m_width) * m_height]());

    // A source without pixels contributes nothing: every sample is skipped.
    const int sw = source.m_pixels ? source.m_width : 0;
    const int sh = source.m_pixels ? source.m_height : 0;
    const uint32_t* src = source.m_pixels.get();

    for (int y = 0; y < m_height; ++y)
    {
        // 0.001 keeps exact grid positions from truncating one pixel low.
        const double fy = static_cast<double>(y) * sh / m_height + 0.001;
        const int iy = static_cast<int>(fy);
        double wy1 = fy - iy;
        double wy0 = 1.0 - wy1;
        if (pointSample)
        {
            wy0 = 1.0;
            wy1 = 0.0;
        }
        for (int x = 0; x < m_width; ++x)
        {
            const double fx = static_cast<double>(x) * sw / m_width + 0.001;
            const int ix = static_cast<int>(fx);
            double wx1 = fx - ix;
            double wx0 = 1.0 - wx1;
            if (pointSample)
            {
                wx0 = 1.0;
                wx1 = 0.0;
            }

            double r = 0.0, g = 0.0, b = 0.0;
            auto sample = [&](int sx, int sy, double weight) {
                if (sx >= sw || sy >= sh)
                    return;
                const uint32_t p = src[static_cast<size_t>(sy) * sw + sx];
                r += ((p >> 16) & 0xFF) * weight;
                g += ((p >> 8) & 0xFF) * weight;
                b += (p & 0xFF) * weight;
            };
            sample(ix, iy, wx0 * wy0);
            sample(ix + 1, iy, wx1 * wy0);
            sample(ix, iy + 1, wx0 * wy1);
            sample(ix + 1, iy + 1, wx1 * wy1);

            const uint32_t ri = static_cast<uint32_t>(r + 0.5) & 0xFF;
            const uint32_t gi = static_cast<uint32_t>(g + 0.5) & 0xFF;
            const uint32_t bi = static_cast<uint32_t>(b + 0.5) & 0xFF;
            m_pixels[static_cast<size_t>(y) * m_width + x] = (ri << 16) | (gi << 8) | bi;
        }
    }
}

void PixelImage::RenderImage(SDL_Surface* surface, int srcX, int srcY, int dstX, int dstY, int width,
                             int height) const
{
    Render(surface, srcX, srcY, dstX, dstY, width, height, false);
}

void PixelImage::RenderImageWithMask(SDL_Surface* surface, int srcX, int srcY, int dstX, int dstY, int width,
                                     int height) const
{
    Render(surface, srcX, srcY, dstX, dstY, width, height, true);
}

void PixelImage::Render(SDL_Surface* surface, int srcX, int srcY, int dstX, int dstY, int width, int height,
                        bool masked) const
{
    if (!surface || !m_pixels || m_width < 1 || m_height < 1)
        return;

    // Clip to the surface, in 64 bits so that a block far off the surface
    // cannot overflow the sums and land inside it (or outside its memory).
    long long left = dstX, top = dstY, columns = width, rows = height;
    long long fromX = srcX, fromY = srcY;
    if (left < 0)
    {
        columns += left;
        fromX -= left;
        left = 0;
    }
    if (left + columns >= surface->w)
        columns = surface->w - left;
    if (top < 0)
    {
        rows += top;
        fromY -= top;
        top = 0;
    }
    if (top + rows >= surface->h)
        rows = surface->h - top;
    // Also keep the block inside the image, so a caller's slip can never read
    // past the pixel array; a correct caller's block is unchanged by this.
    if (fromX < 0 || fromY < 0)
        return;
    columns = std::min<long long>(columns, m_width - fromX);
    rows = std::min<long long>(rows, m_height - fromY);
    if (rows < 1 || columns < 1)
        return;
    // Everything now lies inside both the surface and the image.
    srcX = static_cast<int>(fromX);
    srcY = static_cast<int>(fromY);
    dstX = static_cast<int>(left);
    dstY = static_cast<int>(top);
    width = static_cast<int>(columns);
    height = static_cast<int>(rows);

    const uint32_t transparent = m_pixels[static_cast<size_t>(m_width) * m_height - 1];
    const int rowLength = surface->pitch / 4;
    auto* target = static_cast<uint32_t*>(surface->pixels);
    for (int row = 0; row < height; ++row)
    {
        const uint32_t* from = m_pixels.get() + static_cast<size_t>(srcY + row) * m_width + srcX;
        uint32_t* to = target + static_cast<size_t>(dstY + row) * rowLength + dstX;
        if (!masked)
        {
            std::copy(from, from + width, to);
            continue;
        }
        for (int column = 0; column < width; ++column)
            if (from[column] != transparent)
                to[column] = from[column];
    }
}
