#include "tools/soak/DrivenGame.h"

#include "objects/Character.h"
#include "objects/GravityObject.h"

#include <SDL.h>
#include <cstring>

namespace
{
// The screens' hit rectangles, in window pixels.
const DrivenGame::Target kPortraits[] = {{100, 150, 250, 300}, {400, 150, 550, 300},
                                         {700, 150, 850, 300}, {100, 400, 250, 550},
                                         {400, 400, 550, 550}, {700, 400, 850, 550}};
const DrivenGame::Target kThumbnails[] = {{130, 100, 430, 325}, {530, 100, 830, 325},
                                          {130, 370, 430, 595}, {530, 370, 830, 595}};

// FNV-1a, fed field by field.
class Fnv
{
public:
    template <typename T> void Add(const T& value)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        AddBytes(bytes, sizeof(T));
    }
    void AddBytes(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            m_hash = (m_hash ^ bytes[i]) * 0x100000001B3ull;
    }
    uint64_t Value() const { return m_hash; }

private:
    uint64_t m_hash = 0xCBF29CE484222325ull;
};
} // namespace

const DrivenGame::Target DrivenGame::kBack = {50, 30, 150, 60};
const DrivenGame::Target DrivenGame::kConfirm = {700, 630, 850, 680};

DrivenGame::Target DrivenGame::PortraitTarget(int index) { return kPortraits[index]; }
DrivenGame::Target DrivenGame::ThumbnailTarget(int index) { return kThumbnails[index]; }

void DrivenGame::PressKey(int keyCode)
{
    HoldKey(keyCode, true);
    OnKeyDown(keyCode);
}

void DrivenGame::ReleaseKey(int keyCode)
{
    HoldKey(keyCode, false);
    OnKeyUp(keyCode);
}

void DrivenGame::HoldKey(int keyCode, bool held)
{
    if (m_keyStates)
        m_keyStates[TranslateKey(keyCode)] = held ? 1 : 0;
}

void DrivenGame::ReleaseAllKeys()
{
    if (m_keyStates)
        std::memset(m_keyStates.get(), 0, kKeyStateCount);
}

bool DrivenGame::Pass(int elapsedMs)
{
    m_frameTick += elapsedMs;
    const int dueBefore = m_nextUpdateTime;
    DoFrameLogic();
    RenderFrame();
    return m_nextUpdateTime != dueBefore;
}

bool DrivenGame::StartRound(int kind1, int kind2, int level)
{
    if (m_state == MainMenu)
        Click(1, 480, 360);
    ClickCentre(PortraitTarget(kind1));
    ClickCentre(kConfirm);
    ClickCentre(PortraitTarget(kind2));
    ClickCentre(kConfirm);
    ClickCentre(ThumbnailTarget(level));
    ClickCentre(kConfirm);
    return m_state == Playing;
}

int DrivenGame::ObjectCount() const
{
    int count = 0;
    while (GetDisplayableObject(count))
        ++count;
    return count;
}

bool DrivenGame::InObjectArray(const DisplayableObject* object) const
{
    for (int i = 0; GetDisplayableObject(i); ++i)
        if (GetDisplayableObject(i) == object)
            return true;
    return false;
}

uint64_t DrivenGame::Digest() const
{
    Fnv hash;
    hash.Add(m_state);
    hash.Add(m_highlight);
    hash.Add(m_level);
    hash.Add(m_secondsLeft);
    hash.Add(m_score1);
    hash.Add(m_score2);
    hash.Add(m_daytime);
    hash.Add(m_paintedNight);
    hash.Add(m_sunColour);
    hash.Add(m_frameTick);
    hash.Add(m_timeOffset);
    hash.Add(m_player1StartX);
    hash.Add(m_player1StartY);
    hash.Add(m_player2StartX);
    hash.Add(m_player2StartY);
    for (int i = 0; const DisplayableObject* object = GetDisplayableObject(i); ++i)
    {
        hash.Add(object->GetX());
        hash.Add(object->GetY());
        hash.Add(object->GetLastDrawnX());
        hash.Add(object->GetLastDrawnY());
        if (const auto* moving = dynamic_cast<const GravityObject*>(object))
        {
            hash.Add(moving->GetVelocityX());
            hash.Add(moving->GetVelocityY());
        }
        if (const auto* character = dynamic_cast<const Character*>(object))
        {
            hash.Add(character->GetDamage());
            hash.Add(character->GetDeaths());
            hash.Add(character->HasWon());
            hash.Add(character->HasLost());
        }
    }
    if (m_foreground)
        for (int row = 0; row < m_foreground->h; ++row)
            hash.AddBytes(static_cast<const char*>(m_foreground->pixels) +
                              static_cast<size_t>(row) * m_foreground->pitch,
                          static_cast<size_t>(m_foreground->w) * 4);
    return hash.Value();
}
