#pragma once

#include "tools/PixelArt.h"

#include <map>
#include <string>
#include <vector>

// Every art source of a directory, ready to be written as PNG files under
// one output root.
class PictureSet
{
public:
    // Reads every "*.txt" of the directory. False with a message naming the
    // file on the first problem.
    bool LoadDirectory(const std::string& directory, std::string& error);
    // Adds one source under a name; no two sources may write the same file.
    bool Add(const std::string& name, const std::string& text, std::string& error);

    // Writes every picture (and every mirror image) under the root.
    bool WriteAll(const std::string& outputRoot, std::string& error) const;
    // The files WriteAll writes, relative to the root, in writing order.
    std::vector<std::string> OutputPaths() const;

    const PixelArt* Find(const std::string& name) const;

private:
    std::map<std::string, PixelArt> m_arts;
};
