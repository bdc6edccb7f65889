#pragma once

class BaseEngine;

// Base of every object in the engine's object array. It remembers where it
// was last drawn so that a partial redraw can restore exactly that rectangle.
class DisplayableObject
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
    int m_x = -1;
    int m_y = -1;
    int m_lastDrawnX = -1;
    int m_lastDrawnY = -1;
    int m_drawOffsetX = 0;
    int m_drawOffsetY = 0;
    int m_width = 10;
    int m_height = 10;
};
