#pragma once

#include "engine/FontEntry.h"

#include <memory>

// The engine's cache of opened fonts. Each (file, point size) pair is opened
// once; entries are kept until the store is destroyed, so a returned pointer
// stays valid for the engine's lifetime. Fonts asked for before the font
// library is started are opened by OpenPendingFonts.
class FontStore
{
public:
    FontStore();
    ~FontStore();
    FontStore(const FontStore&) = delete;
    FontStore& operator=(const FontStore&) = delete;

    // Never null; the entry may hold no font when opening failed.
    FontEntry* GetFont(const char* fileName, int pointSize);
    void OpenPendingFonts();

private:
    static constexpr int kGrowth = 10;

    int m_fontCount = 0;
    int m_fontCapacity = 20;
    std::unique_ptr<std::unique_ptr<FontEntry>[]> m_fontEntries;
    bool m_libraryReady = false;
};
