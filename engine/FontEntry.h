#pragma once

#include "engine/SdlHandles.h"

#include <string>

// One cached (file, point size) pair. The font handle stays null when the
// file could not be opened, and text drawn with the entry then draws nothing.
class FontEntry
{
public:
    FontEntry(const char* fileName, int pointSize);
    ~FontEntry();
    FontEntry(const FontEntry&) = delete;
    FontEntry& operator=(const FontEntry&) = delete;

    // Opens the font if it is not open yet; true when it is open afterwards.
    bool Open();

    TTF_Font* GetFont() const { return m_font.get(); }
    const std::string& GetFileName() const { return m_fileName; }
    int GetPointSize() const { return m_pointSize; }

private:
    FontHandle m_font;
    std::string m_fileName;
    int m_pointSize;
};
