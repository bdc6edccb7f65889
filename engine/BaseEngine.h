#pragma once

#include "engine/FontStore.h"
#include "engine/GamePads.h"
#include "engine/SdlHandles.h"
#include "engine/SoundPlayer.h"

#include <cstdint>
#include <memory>

union SDL_Event;
struct SDL_Surface;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
class DisplayableObject;

// The framework every game derives from: window, main loop and event
// dispatch, frame pacing, software drawing into two window-sized 32-bit
// surfaces, fonts and the object array. A game overrides the virtual hooks.
class BaseEngine
{
public:
    static constexpr int kKeyStateCount = 256;
    // The objects are updated at most once in this many milliseconds.
    static constexpr int kLogicIntervalMs = 15;
    static constexpr int kDefaultTileSize = 24;

    BaseEngine();
    virtual ~BaseEngine();
    BaseEngine(const BaseEngine&) = delete;
    BaseEngine& operator=(const BaseEngine&) = delete;

    // Hooks, in the order the framework declares them.
    virtual void DestroyObjects();
    virtual int GetTime();
    virtual void OnKeyUp(int keyCode);
    virtual void OnKeyDown(int keyCode);
    virtual void OnMouseMove(int x, int y);
    virtual void OnMouseDown(int button, int x, int y);
    virtual void OnMouseUp(int button, int x, int y);
    // Pads (game controllers) by the library's instance id; buttons and
    // axes as the library's controller enums number them.
    virtual void OnPadAdded(int pad);
    virtual void OnPadRemoved(int pad);
    virtual void OnPadButtonDown(int pad, int button);
    virtual void OnPadButtonUp(int pad, int button);
    virtual void OnPadAxis(int pad, int axis, int value);
    virtual void SetUpGame();
    virtual void CleanUpGame();
    virtual int CreateObjects();
    virtual void PaintBackground();
    virtual void DoFrameLogic();
    virtual void AfterEraseObjects();
    virtual void BeforeDrawObjects();
    virtual void DrawOverText();
    virtual void DrawUnderText();
    virtual void RenderFrame();
    virtual void EraseObjects();
    virtual void DrawObjects();
    virtual void UpdateObjects(int time);
    // What drawing a frame leaves in the objects, without drawing it: for
    // passes run again without frames between them.
    void NoteFrameDrawn();
    virtual void FillBackground(uint32_t colour);

    // Lifecycle. Initialise returns 0, or 1 when video cannot be started or its
    // window, renderer, texture or surfaces cannot be made.
    int Initialise(const char* title, int width, int height, const char* fontFileName, int fontPointSize);
    int MainLoop();
    // Hands one library event to its hook, updating the key-state table
    // first for keys; false for the quit event, which ends the main loop.
    bool DispatchEvent(const SDL_Event& event);
    void Deinitialise();

    // Keys: library key codes, translated to a key-state table index.
    static int TranslateKey(int keyCode);
    bool IsKeyPressed(int keyCode) const;
    // Whether the key-down being handled is the keyboard repeating a held key.
    bool IsKeyRepeat() const { return m_keyRepeat; }

    void Redraw(bool wholeScreen);
    // Between the window's own size and the desktop's fullscreen.
    void ToggleFullscreen();
    int TileSize() const { return m_tileSize; }

    // Object array: null-terminated, owned by the engine.
    void CreateObjectArray(int count);
    void StoreObjectInArray(int index, DisplayableObject* object);
    DisplayableObject* GetDisplayableObject(int index) const;

    // Drawing; a null surface means the foreground.
    void SafeSetPixel(int x, int y, uint32_t colour, SDL_Surface* surface = nullptr);
    void CopyBackgroundPixels(int x, int y, int width, int height);
    void DrawRectangle(int x1, int y1, int x2, int y2, uint32_t colour, SDL_Surface* surface = nullptr);
    void DrawOval(int x1, int y1, int x2, int y2, uint32_t colour, SDL_Surface* surface = nullptr);
    void DrawTriangle(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t colour,
                      SDL_Surface* surface = nullptr);
    void DrawVerticalSidedRegion(double xStart, double xEnd, double edge1StartY, double edge1EndY,
                                 double edge2StartY, double edge2EndY, uint32_t colour,
                                 SDL_Surface* surface = nullptr);
    void DrawString(int x, int y, const char* text, uint32_t colour, FontEntry* font = nullptr,
                    SDL_Surface* surface = nullptr);
    // Strings drawn from now on get a one-pixel outline of the colour, so
    // that they read on any background; off by default.
    void SetTextOutline(bool on, uint32_t colour)
    {
        m_textOutline = on;
        m_outlineColour = colour;
    }

    // Read access for objects, tile maps and tests.
    int GetWindowWidth() const { return m_windowWidth; }
    int GetWindowHeight() const { return m_windowHeight; }
    SDL_Surface* GetForeground() const { return m_foreground.get(); }
    SDL_Surface* GetBackground() const { return m_background.get(); }
    SoundPlayer& GetSound() { return m_sound; }
    int GetFrameTick() const { return m_frameTick; }
    void SetFrameTick(int tick) { m_frameTick = tick; }
    bool IsRedrawDue() const { return m_redraw; }
    bool IsWholeRedrawDue() const { return m_redrawAll; }

protected:
    // Fills column x from row yFrom to row yTo inclusive, clipped.
    void FillColumn(SDL_Surface* surface, int x, int yFrom, int yTo, uint32_t colour);
    int SurfaceRows(SDL_Surface* surface) const;
    void ReleaseVideo();
    // Shows the composed frame, scaled to the window.
    void PresentFrame();

    std::unique_ptr<unsigned char[]> m_keyStates;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    // Released in reverse order: textures, renderer, window, then surfaces.
    SurfaceHandle m_foreground;
    SurfaceHandle m_background;
    WindowHandle m_window;
    RendererHandle m_renderer;
    TextureHandle m_screenTexture;
    TextureHandle m_scaledTexture;
    int m_frameTick = 0;
    int m_timeOffset = 0;
    bool m_redraw = true;
    bool m_redrawAll = true;
    int m_nextUpdateTime = 0;
    int m_stopObjectIteration = 0;
    std::unique_ptr<DisplayableObject*[]> m_objects;
    FontStore m_fonts;
    FontEntry* m_defaultFont = nullptr;
    GamePads m_pads;
    SoundPlayer m_sound;
    bool m_surfaceLocked = false;
    bool m_keyRepeat = false;
    bool m_textOutline = false;
    uint32_t m_outlineColour = 0;
    int m_tileSize = kDefaultTileSize;

private:
    template <typename Pass> void ForEachObject(Pass pass);
};
