#pragma once

#include <string>
#include <vector>

// The readable sources of one tool: every file of a directory with a given
// extension, in name order so that every run does the same work.
class SourceDirectory
{
public:
    struct Source
    {
        std::string path;
        std::string stem;
        std::string text;
    };

    // False with a message when the directory or one of its files cannot be read.
    static bool Read(const std::string& directory, const std::string& extension, std::vector<Source>& sources,
                     std::string& error);
};
