#pragma once

#include <memory>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
typedef struct _TTF_Font TTF_Font;
struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// Owners of the libraries' handles, one deleter type per kind of handle, so
// that every path out of a function or an object frees what it made.
struct WindowDeleter
{
    void operator()(SDL_Window* window) const;
};
struct RendererDeleter
{
    void operator()(SDL_Renderer* renderer) const;
};
struct TextureDeleter
{
    void operator()(SDL_Texture* texture) const;
};
struct SurfaceDeleter
{
    void operator()(SDL_Surface* surface) const;
};
struct FontDeleter
{
    void operator()(TTF_Font* font) const;
};
struct ChunkDeleter
{
    void operator()(Mix_Chunk* chunk) const;
};
struct MusicDeleter
{
    void operator()(Mix_Music* music) const;
};

using WindowHandle = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererHandle = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using TextureHandle = std::unique_ptr<SDL_Texture, TextureDeleter>;
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using FontHandle = std::unique_ptr<TTF_Font, FontDeleter>;
using ChunkHandle = std::unique_ptr<Mix_Chunk, ChunkDeleter>;
using MusicHandle = std::unique_ptr<Mix_Music, MusicDeleter>;
