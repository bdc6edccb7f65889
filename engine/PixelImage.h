#pragma once

#include <cstdint>
#include <memory>

struct SDL_Surface;

// A picture held as plain 0xAARRGGBB pixels, row after row. It is loaded once,
// resampled to the size at which it is shown, and then copied into a surface
// without any scaling.
class PixelImage
{
public:
    PixelImage() = default;
    PixelImage(const PixelImage&) = delete;
    PixelImage& operator=(const PixelImage&) = delete;

    // False when the file cannot be read; the image is then empty (0 x 0).
    bool LoadImage(const char* fileName);

    // Resamples source into this image at width x height. Bilinear weights
    // unless pointSample; samples past the source's edge are left out, not
    // renormalised, and the alpha byte of every result pixel is 0.
    void ResizeFrom(const PixelImage& source, int width, int height, bool pointSample);

    // Copies a block opaque, clipped to the surface.
    void RenderImage(SDL_Surface* surface, int srcX, int srcY, int dstX, int dstY, int width,
                     int height) const;
    // The same, skipping pixels equal to the lower-right pixel of the image.
    void RenderImageWithMask(SDL_Surface* surface, int srcX, int srcY, int dstX, int dstY, int width,
                             int height) const;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool HasPixels() const { return m_pixels != nullptr; }
    // 0 for a position outside the image.
    uint32_t GetPixel(int x, int y) const;
    const uint32_t* GetPixels() const { return m_pixels.get(); }

private:
    void Render(SDL_Surface* surface, int srcX, int srcY, int dstX, int dstY, int width, int height,
                bool masked) const;

    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<uint32_t[]> m_pixels;
};
