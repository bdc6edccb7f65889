#pragma once

#include "engine/PixelImage.h"
#include "objects/GravityObject.h"

struct PlatformState
{
    int m_step; // +1 down, -1 up
    int m_minY;
    int m_maxY;
};

// A platform three tiles wide travelling up and down one pixel per frame
// between two heights. Characters ride it and drop through it like a thin
// platform; it does not use the physics itself.
class MovingPlatform : public GravityObject, protected PlatformState
{
public:
    MovingPlatform(BaseEngine* engine, int x, int y, int minY, int maxY);
    ~MovingPlatform() override;

    void Update(int time) override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;
    void Draw() override;
    ContactKind GetContactKind() const override { return ContactKind::Platform; }

private:
    PixelImage m_image;
};
