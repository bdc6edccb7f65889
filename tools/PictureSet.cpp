#include "tools/PictureSet.h"

#include "tools/PngFile.h"
#include "tools/SourceDirectory.h"

#include <algorithm>

bool PictureSet::LoadDirectory(const std::string& directory, std::string& error)
{
    std::vector<SourceDirectory::Source> sources;
    if (!SourceDirectory::Read(directory, ".txt", sources, error))
        return false;
    for (const auto& source : sources)
        if (!Add(source.stem, source.text, error))
        {
            error = source.path + ": " + error;
            return false;
        }
    return true;
}

bool PictureSet::Add(const std::string& name, const std::string& text, std::string& error)
{
    PixelArt art;
    if (!art.Parse(text, error))
        return false;
    for (const auto& [otherName, other] : m_arts)
        for (const std::string* path : {&art.GetOutput(), &art.GetMirrorOutput()})
            if (!path->empty() && (*path == other.GetOutput() || *path == other.GetMirrorOutput()))
            {
                error = *path + " is also written by " + otherName;
                return false;
            }
    if (!art.GetMirrorOutput().empty() && art.GetMirrorOutput() == art.GetOutput())
    {
        error = "the mirror image would overwrite the picture";
        return false;
    }
    if (!m_arts.emplace(name, std::move(art)).second)
    {
        error = "a second source named " + name;
        return false;
    }
    return true;
}

bool PictureSet::WriteAll(const std::string& outputRoot, std::string& error) const
{
    for (const auto& [name, art] : m_arts)
    {
        const int width = art.GetWidth() * art.GetScale();
        const int height = art.GetHeight() * art.GetScale();
        for (const bool mirrored : {false, true})
        {
            const std::string& path = mirrored ? art.GetMirrorOutput() : art.GetOutput();
            if (path.empty())
                continue;
            const std::string target = outputRoot + "/" + path;
            if (!PngFile::Save(target, art.Render(mirrored), width, height))
            {
                error = name + ": cannot write " + target;
                return false;
            }
        }
    }
    return true;
}

std::vector<std::string> PictureSet::OutputPaths() const
{
    std::vector<std::string> paths;
    for (const auto& entry : m_arts)
    {
        paths.push_back(entry.second.GetOutput());
        if (!entry.second.GetMirrorOutput().empty())
            paths.push_back(entry.second.GetMirrorOutput());
    }
    return paths;
}

const PixelArt* PictureSet::Find(const std::string& name) const
{
    const auto found = m_arts.find(name);
    return found == m_arts.end() ? nullptr : &found->second;
}
