#include "tools/SourceDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

bool SourceDirectory::Read(const std::string& directory, const std::string& extension,
                           std::vector<Source>& sources, std::string& error)
{
    std::error_code failure;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory, failure))
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(entry.path());
    if (failure)
    {
        error = directory + ": " + failure.message();
        return false;
    }
    std::sort(files.begin(), files.end());

    sources.clear();
    for (const auto& file : files)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in)
        {
            error = file.string() + ": cannot be read";
            return false;
        }
        sources.push_back({file.string(), file.stem().string(), text.str()});
    }
    return true;
}
