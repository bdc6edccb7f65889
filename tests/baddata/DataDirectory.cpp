#include "tests/baddata/DataDirectory.h"

#include "tests/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

DataDirectory::DataDirectory(bool withData) : m_path(testing_support::MakeTempDir())
{
    if (!withData)
        return;
    const fs::path source = testing_support::SourceDir();
    fs::copy(source / "Resources", fs::path(m_path) / "Resources", fs::copy_options::recursive);
    fs::copy(source / "Cornerstone Regular.ttf", fs::path(m_path) / "Cornerstone Regular.ttf");
}

DataDirectory::~DataDirectory()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::vector<std::string> DataDirectory::Find(const std::string& extension) const
{
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(m_path))
        if (entry.is_regular_file() && entry.path().extension() == extension)
            found.push_back(fs::relative(entry.path(), m_path).string());
    std::sort(found.begin(), found.end());
    return found;
}

void DataDirectory::Write(const std::string& relativePath, const std::string& contents) const
{
    testing_support::WriteFile(m_path + "/" + relativePath, contents);
}

void DataDirectory::Truncate(const std::string& relativePath, size_t keep) const
{
    std::ifstream in(m_path + "/" + relativePath, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    contents.resize(std::min(keep, contents.size()));
    Write(relativePath, contents);
}

void DataDirectory::ReplaceWithDirectory(const std::string& relativePath) const
{
    const fs::path path = fs::path(m_path) / relativePath;
    fs::remove(path);
    fs::create_directories(path);
}
