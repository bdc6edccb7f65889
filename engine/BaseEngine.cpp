#include "engine/BaseEngine.h"

#include "engine/DisplayableObject.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr Uint32 kRedMask = 0x00FF0000;
constexpr Uint32 kGreenMask = 0x0000FF00;
constexpr Uint32 kBlueMask = 0x000000FF;
constexpr Uint32 kAlphaMask = 0xFF000000;

constexpr int kFrameMs = 15;
// While at least this much remains before the next update the loop sleeps.
constexpr int kSleepThresholdMs = 9;

void QuitVideo() { SDL_Quit(); }
void QuitFonts() { TTF_Quit(); }

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
// Without any display the library quietly falls back to drawing off-screen,
// and the game would run on with no window. Only a driver without a window
// that was asked for by name (as the tests do) counts as usable.
bool HasUsableDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return true;
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    return requested && std::strstr(requested, driver) != nullptr;
}
} // namespace

BaseEngine::BaseEngine() = default;

BaseEngine::~BaseEngine()
{
    BaseEngine::DestroyObjects();
    ReleaseVideo();
}

void BaseEngine::ReleaseVideo()
{
    // Surfaces are not freed by the library's shutdown, so the engine frees
    // what it created; the rest goes before the exit handlers run anyway.
    if (m_foreground)
        SDL_FreeSurface(m_foreground);
    if (m_background)
        SDL_FreeSurface(m_background);
    if (m_scaledTexture)
        SDL_DestroyTexture(m_scaledTexture);
    if (m_screenTexture)
        SDL_DestroyTexture(m_screenTexture);
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
    if (m_window)
        SDL_DestroyWindow(m_window);
    m_foreground = m_background = nullptr;
    m_screenTexture = m_scaledTexture = nullptr;
    m_renderer = nullptr;
    m_window = nullptr;
}

// ---- Lifecycle ------------------------------------------------------------

int BaseEngine::Initialise(const char* title, int width, int height, const char* fontFileName,
                           int fontPointSize)
{
    m_windowWidth = width;
    m_windowHeight = height;

    if (SDL_Init(SDL_INIT_VIDEO) < 0)
    {
        std::fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    if (!HasUsableDisplay())
    {
        std::fprintf(stderr, "Unable to init SDL: %s\n", "no display available");
        SDL_Quit();
        return 1;
    }
    // Exit handlers run in reverse, so fonts shut down before video.
    std::atexit(QuitVideo);
    // Without the controller layer the game simply has no pads; plugged-in
    // pads then arrive as events, those already there included.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    // Without an audio device the game runs silent.
    m_sound.Open();
    TTF_Init();
    std::atexit(QuitFonts);

    m_fonts.OpenPendingFonts();
    if (fontFileName && fontFileName[0] != '\0')
        m_defaultFont = m_fonts.GetFont(fontFileName, fontPointSize);

    // Any of these can fail (no renderer for the display, no memory); the
    // game cannot run without them, so it stops as for a failed video start
    // instead of drawing through a null pointer later.
    m_window = SDL_CreateWindow(title, 10, 40, width, height, 0);
    if (m_window)
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (m_renderer)
        m_screenTexture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                            width, height);
    if (m_screenTexture)
        m_foreground =
            SDL_CreateRGBSurface(0, width, height, 32, kRedMask, kGreenMask, kBlueMask, kAlphaMask);
    if (m_foreground)
        m_background =
            SDL_CreateRGBSurface(0, width, height, 32, kRedMask, kGreenMask, kBlueMask, kAlphaMask);
    if (!m_background)
    {
        std::fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        ReleaseVideo();
        return 1;
    }

    // The window may be resized, maximised or made fullscreen: the frame
    // keeps its size and is scaled to fit, bars beside it, and clicks are
    // given in the frame's own pixels.
    SDL_SetWindowResizable(m_window, SDL_TRUE);
    SDL_RenderSetLogicalSize(m_renderer, width, height);
    SDL_SetTextureScaleMode(m_screenTexture, SDL_ScaleModeNearest);

    m_keyStates.reset(new unsigned char[kKeyStateCount]());

    SetUpGame();
    return 0;
}

int BaseEngine::MainLoop()
{
    for (;;)
    {
        m_frameTick = static_cast<int>(SDL_GetTicks());

        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (!DispatchEvent(event))
                return 0;

        DoFrameLogic();
        RenderFrame();
    }
}

bool BaseEngine::DispatchEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        return false;
    case SDL_KEYDOWN:
        // F11, or Alt with Enter, toggles the desktop's fullscreen; the key
        // still goes to the game like any other.
        if (event.key.keysym.sym == SDLK_F11 ||
            (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT)))
            ToggleFullscreen();
        if (m_keyStates)
            m_keyStates[TranslateKey(event.key.keysym.sym)] = 1;
        OnKeyDown(event.key.keysym.sym);
        break;
    case SDL_KEYUP:
        if (m_keyStates)
            m_keyStates[TranslateKey(event.key.keysym.sym)] = 0;
        OnKeyUp(event.key.keysym.sym);
        break;
    case SDL_WINDOWEVENT:
        // A new size or an uncovered window needs the frame shown again.
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
            event.window.event == SDL_WINDOWEVENT_EXPOSED)
            Redraw(false);
        break;
    case SDL_MOUSEMOTION:
        OnMouseMove(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        OnMouseDown(event.button.button, event.button.x, event.button.y);
        break;
    case SDL_MOUSEBUTTONUP:
        OnMouseUp(event.button.button, event.button.x, event.button.y);
        break;
    case SDL_CONTROLLERDEVICEADDED:
        if (const int pad = m_pads.Open(event.cdevice.which); pad >= 0)
            OnPadAdded(pad);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (m_pads.Close(event.cdevice.which))
            OnPadRemoved(event.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        OnPadButtonDown(event.cbutton.which, event.cbutton.button);
        break;
    case SDL_CONTROLLERBUTTONUP:
        OnPadButtonUp(event.cbutton.which, event.cbutton.button);
        break;
    case SDL_CONTROLLERAXISMOTION:
        OnPadAxis(event.caxis.which, event.caxis.axis, event.caxis.value);
        break;
    default:
        break;
    }
    return true;
}

void BaseEngine::Deinitialise()
{
    CleanUpGame();
    m_keyStates.reset();
}

// ---- Hooks with base behaviour ----------------------------------------------

int BaseEngine::GetTime() { return m_frameTick + m_timeOffset; }
void BaseEngine::OnKeyUp(int) {}
void BaseEngine::OnKeyDown(int) {}
void BaseEngine::OnMouseMove(int, int) {}
void BaseEngine::OnMouseDown(int, int, int) {}
void BaseEngine::OnMouseUp(int, int, int) {}
void BaseEngine::OnPadAdded(int) {}
void BaseEngine::OnPadRemoved(int) {}
void BaseEngine::OnPadButtonDown(int, int) {}
void BaseEngine::OnPadButtonUp(int, int) {}
void BaseEngine::OnPadAxis(int, int, int) {}
void BaseEngine::CleanUpGame() {}
void BaseEngine::AfterEraseObjects() {}
void BaseEngine::BeforeDrawObjects() {}
void BaseEngine::DrawOverText() {}
void BaseEngine::DrawUnderText() {}

void BaseEngine::SetUpGame()
{
    CreateObjects();
    PaintBackground();
}

int BaseEngine::CreateObjects()
{
    DestroyObjects();
    return 0;
}

void BaseEngine::PaintBackground() { FillBackground(0xFFFF00); }

void BaseEngine::DoFrameLogic()
{
    if (m_frameTick < m_nextUpdateTime)
    {
        if (m_nextUpdateTime - m_frameTick >= kSleepThresholdMs)
            SDL_Delay(kSleepThresholdMs);
        return;
    }
    m_nextUpdateTime = m_frameTick + kFrameMs;
    UpdateObjects(m_frameTick);
}

// ---- Keys ---------------------------------------------------------------------

int BaseEngine::TranslateKey(int keyCode)
{
    if (keyCode >= 0 && keyCode <= 127)
        return keyCode;
    switch (keyCode)
    {
    case 0x40000052:
        return 128; // up
    case 0x40000051:
        return 129; // down
    case 0x40000050:
        return 130; // left
    case 0x4000004F:
        return 131; // right
    case 0x40000046:
        return 144; // print screen
    case 0x40000047:
        return 145; // scroll lock
    case 0x40000048:
        return 146; // pause
    case 0x40000049:
        return 147; // insert
    case 0x4000004A:
        return 148; // home
    case 0x4000004B:
        return 149; // page up
    case 0x4000004D:
        return 151; // end
    case 0x4000004E:
        return 152; // page down
    case 0x40000039:
        return 158; // caps lock
    case 0x40000053:
        return 159; // num lock
    case 0x40000054:
        return 160; // keypad divide
    case 0x40000055:
        return 161; // keypad multiply
    case 0x40000056:
        return 162; // keypad minus
    case 0x40000057:
        return 163; // keypad plus
    case 0x40000058:
        return 164; // keypad enter
    default:
        break;
    }
    if (keyCode >= 0x4000003A && keyCode <= 0x40000045)
        return 132 + (keyCode - 0x4000003A); // F1 to F12
    // Every other key shares index 0.
    return 0;
}

bool BaseEngine::IsKeyPressed(int keyCode) const
{
    return m_keyStates && m_keyStates[TranslateKey(keyCode)] != 0;
}

void BaseEngine::Redraw(bool wholeScreen)
{
    m_redraw = true;
    if (wholeScreen)
        m_redrawAll = true;
}

// ---- Frame rendering ----------------------------------------------------------

void BaseEngine::RenderFrame()
{
    if (!m_redraw)
        return;
    m_redraw = false;
    if (!m_foreground || !m_background)
        return;

    const bool mustLock = SDL_MUSTLOCK(m_foreground);
    if (mustLock)
    {
        m_surfaceLocked = true;
        if (SDL_LockSurface(m_foreground) != 0)
        {
            m_surfaceLocked = false;
            if (m_redrawAll)
                m_redrawAll = false;
            return;
        }
    }

    if (m_redrawAll)
    {
        m_redrawAll = false;
        const size_t pixels = static_cast<size_t>(m_background->pitch / 4) *
                              static_cast<size_t>(std::min(m_windowHeight, m_background->h));
        std::memcpy(m_foreground->pixels, m_background->pixels, pixels * 4);
    }
    else
    {
        EraseObjects();
        AfterEraseObjects();
    }

    DrawUnderText();
    BeforeDrawObjects();
    DrawObjects();
    DrawOverText();

    if (mustLock)
        SDL_UnlockSurface(m_foreground);
    m_surfaceLocked = false;

    if (m_screenTexture && m_renderer)
        PresentFrame();
}

void BaseEngine::ToggleFullscreen()
{
    if (!m_window)
        return;
    const bool full = SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(m_window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    Redraw(false);
}

void BaseEngine::PresentFrame()
{
    SDL_UpdateTexture(m_screenTexture, nullptr, m_foreground->pixels, m_foreground->pitch);
    // A whole-number scale copies pixels as they are. Any other goes up to
    // the next whole number with sharp pixels, then smoothly down to the
    // window, so that no pixel of the art comes out wider than another.
    int outputWidth = m_windowWidth, outputHeight = m_windowHeight;
    SDL_GetRendererOutputSize(m_renderer, &outputWidth, &outputHeight);
    const double scale = std::min(static_cast<double>(outputWidth) / m_windowWidth,
                                  static_cast<double>(outputHeight) / m_windowHeight);
    const int whole = static_cast<int>(std::ceil(scale));
    SDL_Texture* frame = m_screenTexture;
    if (scale != whole && SDL_RenderTargetSupported(m_renderer))
    {
        int width = 0;
        if (m_scaledTexture)
            SDL_QueryTexture(m_scaledTexture, nullptr, nullptr, &width, nullptr);
        if (width != whole * m_windowWidth)
        {
            if (m_scaledTexture)
                SDL_DestroyTexture(m_scaledTexture);
            m_scaledTexture =
                SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                  whole * m_windowWidth, whole * m_windowHeight);
            SDL_SetTextureScaleMode(m_scaledTexture, SDL_ScaleModeLinear);
        }
        if (m_scaledTexture && SDL_SetRenderTarget(m_renderer, m_scaledTexture) == 0)
        {
            SDL_RenderCopy(m_renderer, m_screenTexture, nullptr, nullptr);
            SDL_SetRenderTarget(m_renderer, nullptr);
            frame = m_scaledTexture;
        }
    }
    // The bars beside a scaled frame need clearing; a frame at its own size
    // covers the whole window.
    if (outputWidth != m_windowWidth || outputHeight != m_windowHeight)
        SDL_RenderClear(m_renderer);
    SDL_RenderCopy(m_renderer, frame, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
}

// ---- Object array -------------------------------------------------------------

template <typename Pass> void BaseEngine::ForEachObject(Pass pass)
{
    m_stopObjectIteration = 0;
    if (!m_objects || !m_objects[0])
        return;
    for (int index = 0;; ++index)
    {
        pass(m_objects[index]);
        // The pass may have destroyed the array: stop without touching it.
        if (m_stopObjectIteration || !m_objects || !m_objects[index + 1])
            return;
    }
}

void BaseEngine::EraseObjects()
{
    ForEachObject([](DisplayableObject* object) { object->Erase(); });
}

void BaseEngine::DrawObjects()
{
    ForEachObject([](DisplayableObject* object) { object->Draw(); });
}

void BaseEngine::UpdateObjects(int time)
{
    ForEachObject([time](DisplayableObject* object) { object->Update(time); });
}

void BaseEngine::DestroyObjects()
{
    m_stopObjectIteration = 1;
    if (!m_objects)
        return;
    for (int index = 0; m_objects[index]; ++index)
    {
        delete m_objects[index];
        m_objects[index] = nullptr;
    }
    m_objects.reset();
}

void BaseEngine::CreateObjectArray(int count)
{
    DestroyObjects();
    const int slots = std::max(count, 0) + 1;
    m_objects.reset(new DisplayableObject*[slots]());
}

void BaseEngine::StoreObjectInArray(int index, DisplayableObject* object) { m_objects[index] = object; }

DisplayableObject* BaseEngine::GetDisplayableObject(int index) const
{
    if (!m_objects)
        return nullptr;
    return m_objects[index];
}

// ---- Pixels -------------------------------------------------------------------

int BaseEngine::SurfaceRows(SDL_Surface* surface) const
{
    // Rows are bounded by the window height, and never past the surface.
    return std::min(m_windowHeight, surface->h);
}

void BaseEngine::SafeSetPixel(int x, int y, uint32_t colour, SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground;
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
    const int rows = std::min(SurfaceRows(m_background), SurfaceRows(m_foreground));
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
    SDL_FillRect(m_background, &rect, colour);
}

// ---- Shapes -------------------------------------------------------------------

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
        surface = m_foreground;
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
        surface = m_foreground;
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
        surface = m_foreground;
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
        surface = m_foreground;
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

// ---- Text ---------------------------------------------------------------------

void BaseEngine::DrawString(int x, int y, const char* text, uint32_t colour, FontEntry* font,
                            SDL_Surface* surface)
{
    if (!surface)
        surface = m_foreground;
    if (!font)
        font = m_defaultFont;
    if (!surface || !text || !font || !font->GetFont())
        return;

    const bool relock = m_surfaceLocked && SDL_MUSTLOCK(m_foreground);
    if (relock)
        SDL_UnlockSurface(m_foreground);

    SDL_Color libraryColour;
    libraryColour.r = (colour >> 16) & 0xFF;
    libraryColour.g = (colour >> 8) & 0xFF;
    libraryColour.b = colour & 0xFF;
    libraryColour.a = 0;
    SDL_Surface* rendered = TTF_RenderText_Solid(font->GetFont(), text, libraryColour);
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
                            SDL_UpperBlit(rendered, nullptr, surface, &around);
                    }
                SDL_SetPaletteColors(rendered->format->palette, &glyph, 1, 1);
            }
            SDL_Rect destination{x, y, 0, 0};
            SDL_UpperBlit(rendered, nullptr, surface, &destination);
        }
        SDL_FreeSurface(rendered);
    }

    if (relock)
        SDL_LockSurface(m_foreground);
}
