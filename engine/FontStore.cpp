#include "engine/FontStore.h"

#include <cstdio>
#include <string>

FontStore::FontStore() : m_fontEntries(new std::unique_ptr<FontEntry>[m_fontCapacity]) {}

FontStore::~FontStore()
{
    // Close in the order the fonts were added, each entry printing its message.
    for (int i = 0; i < m_fontCount; ++i)
        m_fontEntries[i].reset();
}

FontEntry* FontStore::GetFont(const char* fileName, int pointSize)
{
    const std::string name = fileName ? fileName : "";
    for (int i = 0; i < m_fontCount; ++i)
    {
        FontEntry* entry = m_fontEntries[i].get();
        if (entry->GetPointSize() == pointSize && entry->GetFileName() == name)
            return entry;
    }

    if (m_fontCount + 1 > m_fontCapacity)
    {
        std::unique_ptr<std::unique_ptr<FontEntry>[]> grown(
            new std::unique_ptr<FontEntry>[m_fontCapacity + kGrowth]);
        for (int i = 0; i < m_fontCount; ++i)
            grown[i] = std::move(m_fontEntries[i]);
        m_fontEntries = std::move(grown);
        m_fontCapacity += kGrowth;
    }

    std::printf("Loading font: %d point %s\n", pointSize, name.c_str());
    m_fontEntries[m_fontCount] = std::make_unique<FontEntry>(name.c_str(), pointSize);
    FontEntry* entry = m_fontEntries[m_fontCount].get();
    ++m_fontCount;

    if (m_libraryReady)
        entry->Open();
    if (!entry->GetFont())
        std::printf("Font loading failed.\n");
    return entry;
}

void FontStore::OpenPendingFonts()
{
    m_libraryReady = true;
    for (int i = 0; i < m_fontCount; ++i)
        m_fontEntries[i]->Open();
}
