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

// While at least this much remains before the next update the loop sleeps.
constexpr int kSleepThresholdMs = 9;

void QuitVideo() { SDL_Quit(); }
void QuitFonts() { TTF_Quit(); }

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

// Surfaces are not freed by the library's shutdown, so the engine frees
// what it created; the rest goes before the exit handlers run anyway.
void BaseEngine::ReleaseVideo()
{
    m_scaledTexture.reset();
    m_screenTexture.reset();
    m_renderer.reset();
    m_window.reset();
    m_background.reset();
    m_foreground.reset();
}

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
    m_window.reset(SDL_CreateWindow(title, 10, 40, width, height, 0));
    if (m_window)
        m_renderer.reset(SDL_CreateRenderer(m_window.get(), -1, 0));
    if (m_renderer)
        m_screenTexture.reset(SDL_CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                                SDL_TEXTUREACCESS_STREAMING, width, height));
    if (m_screenTexture)
        m_foreground.reset(
            SDL_CreateRGBSurface(0, width, height, 32, kRedMask, kGreenMask, kBlueMask, kAlphaMask));
    if (m_foreground)
        m_background.reset(
            SDL_CreateRGBSurface(0, width, height, 32, kRedMask, kGreenMask, kBlueMask, kAlphaMask));
    if (!m_background)
    {
        std::fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        ReleaseVideo();
        return 1;
    }

    // The window may be resized, maximised or made fullscreen: the frame
    // keeps its size and is scaled to fit, bars beside it, and clicks are
    // given in the frame's own pixels.
    SDL_SetWindowResizable(m_window.get(), SDL_TRUE);
    SDL_RenderSetLogicalSize(m_renderer.get(), width, height);
    SDL_SetTextureScaleMode(m_screenTexture.get(), SDL_ScaleModeNearest);

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
        m_keyRepeat = event.key.repeat != 0;
        OnKeyDown(event.key.keysym.sym);
        m_keyRepeat = false;
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
    m_nextUpdateTime = m_frameTick + kLogicIntervalMs;
    UpdateObjects(m_frameTick);
}

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

void BaseEngine::RenderFrame()
{
    if (!m_redraw)
        return;
    m_redraw = false;
    if (!m_foreground || !m_background)
        return;

    const bool mustLock = SDL_MUSTLOCK(m_foreground.get());
    if (mustLock)
    {
        m_surfaceLocked = true;
        if (SDL_LockSurface(m_foreground.get()) != 0)
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
        SDL_UnlockSurface(m_foreground.get());
    m_surfaceLocked = false;

    if (m_screenTexture && m_renderer)
        PresentFrame();
}

void BaseEngine::ToggleFullscreen()
{
    if (!m_window)
        return;
    const bool full = SDL_GetWindowFlags(m_window.get()) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(m_window.get(), full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    Redraw(false);
}

void BaseEngine::PresentFrame()
{
    SDL_UpdateTexture(m_screenTexture.get(), nullptr, m_foreground->pixels, m_foreground->pitch);
    // A whole-number scale copies pixels as they are. Any other goes up to
    // the next whole number with sharp pixels, then smoothly down to the
    // window, so that no pixel of the art comes out wider than another.
    int outputWidth = m_windowWidth, outputHeight = m_windowHeight;
    SDL_GetRendererOutputSize(m_renderer.get(), &outputWidth, &outputHeight);
    const double scale = std::min(static_cast<double>(outputWidth) / m_windowWidth,
                                  static_cast<double>(outputHeight) / m_windowHeight);
    const int whole = static_cast<int>(std::ceil(scale));
    SDL_Texture* frame = m_screenTexture.get();
    if (scale != whole && SDL_RenderTargetSupported(m_renderer.get()))
    {
        int width = 0;
        if (m_scaledTexture)
            SDL_QueryTexture(m_scaledTexture.get(), nullptr, nullptr, &width, nullptr);
        if (width != whole * m_windowWidth)
        {
            m_scaledTexture.reset(SDL_CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                                    SDL_TEXTUREACCESS_TARGET, whole * m_windowWidth,
                                                    whole * m_windowHeight));
            SDL_SetTextureScaleMode(m_scaledTexture.get(), SDL_ScaleModeLinear);
        }
        if (m_scaledTexture && SDL_SetRenderTarget(m_renderer.get(), m_scaledTexture.get()) == 0)
        {
            SDL_RenderCopy(m_renderer.get(), m_screenTexture.get(), nullptr, nullptr);
            SDL_SetRenderTarget(m_renderer.get(), nullptr);
            frame = m_scaledTexture.get();
        }
    }
    // The bars beside a scaled frame need clearing; a frame at its own size
    // covers the whole window.
    if (outputWidth != m_windowWidth || outputHeight != m_windowHeight)
        SDL_RenderClear(m_renderer.get());
    SDL_RenderCopy(m_renderer.get(), frame, nullptr, nullptr);
    SDL_RenderPresent(m_renderer.get());
}

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

void BaseEngine::NoteFrameDrawn()
{
    ForEachObject([](DisplayableObject* object) { object->NoteDrawn(); });
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
