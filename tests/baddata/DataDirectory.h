#pragma once

#include <string>
#include <vector>

// A scratch copy of the game's data (Resources and the font) in a fresh
// directory, to be spoiled in one way or another before the game starts
// there. Removed on destruction.
class DataDirectory
{
public:
    // An empty directory, or one holding a copy of the repository's data.
    explicit DataDirectory(bool withData);
    ~DataDirectory();
    DataDirectory(const DataDirectory&) = delete;
    DataDirectory& operator=(const DataDirectory&) = delete;

    const std::string& Path() const { return m_path; }
    // Paths relative to the directory, sorted.
    std::vector<std::string> Find(const std::string& extension) const;

    void Write(const std::string& relativePath, const std::string& contents) const;
    // Keeps the first bytes of a file and drops the rest.
    void Truncate(const std::string& relativePath, size_t keep) const;
    // Puts an empty directory where the file was.
    void ReplaceWithDirectory(const std::string& relativePath) const;

private:
    std::string m_path;
};
