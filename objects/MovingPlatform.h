#pragma once

#include "engine/PixelImage.h"
#include "objects/GravityObject.h"

// A platform three tiles wide travelling up and down one pixel per frame
// between two heights. Characters ride it and drop through it like a thin
// platform; it does not use the physics itself.
class MovingPlatform : public GravityObject
{
public:
    MovingPlatform(BaseEngine* engine, int x, int y, int minY, int maxY);
    ~MovingPlatform() override;

    void Update(int time) override;
    void Draw() override;
    ContactKind GetContactKind() const override { return ContactKind::Platform; }

private:
    int m_step = 1;
    PixelImage m_image;
    int m_minY;
    int m_maxY;
};
