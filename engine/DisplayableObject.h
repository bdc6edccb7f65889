#pragma once

#include "engine/ObjectState.h"

class BaseEngine;

// Where an object is and how big: its place, where it was last drawn, the
// offset its drawing starts at and the size of its drawn rectangle.
struct DisplayableState
{
    int m_x;
    int m_y;
    int m_lastDrawnX;
    int m_lastDrawnY;
    int m_drawOffsetX;
    int m_drawOffsetY;
    int m_width;
    int m_height;
};

// Base of every object in the engine's object array. It remembers where it
// was last drawn so that a partial redraw can restore exactly that rectangle.
class DisplayableObject : protected DisplayableState
{
public:
    explicit DisplayableObject(BaseEngine* engine);
    virtual ~DisplayableObject();
    DisplayableObject(const DisplayableObject&) = delete;
    DisplayableObject& operator=(const DisplayableObject&) = delete;

    // Placeholder look: a magenta box over the drawn rectangle.
    virtual void Draw();
    // Restores the background under the rectangle of the last Draw.
    virtual void Erase();
    virtual void Update(int time);

    // Every Draw ends with this; a Draw that draws nothing does not call it.
    void StoreLastDrawnPosition();
    // What a Draw leaves in the object's state, without drawing: the motion
    // of the next update reads where the object was last drawn.
    virtual void NoteDrawn() { StoreLastDrawnPosition(); }

    // The object's state for a snapshot: each class appends its own state
    // struct after its base's, and reads it back in the same order.
    virtual void SaveState(StateBytes& out) const;
    virtual bool LoadState(StateReader& in);

    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    int GetLastDrawnX() const { return m_lastDrawnX; }
    int GetLastDrawnY() const { return m_lastDrawnY; }
    int GetDrawOffsetX() const { return m_drawOffsetX; }
    int GetDrawOffsetY() const { return m_drawOffsetY; }
    int GetDrawWidth() const { return m_width; }
    int GetDrawHeight() const { return m_height; }
    void SetPosition(int x, int y)
    {
        m_x = x;
        m_y = y;
    }

protected:
    BaseEngine* m_engine;
};
