#include "engine/SdlHandles.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

void WindowDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
void RendererDeleter::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
void TextureDeleter::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
void SurfaceDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
void FontDeleter::operator()(TTF_Font* font) const { TTF_CloseFont(font); }
void ChunkDeleter::operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
void MusicDeleter::operator()(Mix_Music* music) const { Mix_FreeMusic(music); }
