#include "engine/FontEntry.h"

#include <SDL_ttf.h>
#include <cstdio>

FontEntry::FontEntry(const char* fileName, int pointSize)
    : m_fileName(fileName ? fileName : ""), m_pointSize(pointSize)
{
}

FontEntry::~FontEntry()
{
    if (m_font)
    {
        std::printf("Free font: %d point %s\n", m_pointSize, m_fileName.c_str());
        m_font.reset();
    }
}

bool FontEntry::Open()
{
    if (!m_font)
        m_font.reset(TTF_OpenFont(m_fileName.c_str(), m_pointSize));
    return m_font != nullptr;
}
