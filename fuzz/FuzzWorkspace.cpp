#include "fuzz/FuzzWorkspace.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

FuzzWorkspace::FuzzWorkspace(const char* const* subdirectories, bool enter)
{
    char pattern[] = "/tmp/skirmora-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    FuzzRequire(made != nullptr, "cannot make the scratch directory");
    m_path = made;
    char previous[4096];
    if (getcwd(previous, sizeof previous))
        m_previous = previous;
    for (; subdirectories && *subdirectories; ++subdirectories)
    {
        // Each entry may be nested ("a/b"): make every level in turn.
        std::string relative = *subdirectories;
        for (size_t slash = 0; slash != std::string::npos;)
        {
            slash = relative.find('/', slash + 1);
            mkdir((m_path + "/" + relative.substr(0, slash)).c_str(), 0700);
        }
    }
    if (enter)
        FuzzRequire(chdir(m_path.c_str()) == 0, "cannot enter the scratch directory");
    else
        m_previous.clear();
}

FuzzWorkspace::~FuzzWorkspace()
{
    if (!m_previous.empty() && chdir(m_previous.c_str()) != 0)
        std::perror("chdir");
    // The directory holds only what the targets wrote; rm keeps this short.
    const std::string command = "rm -rf '" + m_path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", m_path.c_str());
}

void FuzzWorkspace::Write(const std::string& relativePath, const uint8_t* data,
                          size_t size) const
{
    const std::string path = m_path + "/" + relativePath;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FuzzRequire(file != nullptr, "cannot write the input file");
    const size_t written = size ? std::fwrite(data, 1, size, file) : 0;
    std::fclose(file);
    FuzzRequire(written == size, "short write of the input file");
}

void FuzzRequire(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}
