#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A private scratch directory for one fuzzing process, removed on
// destruction. The game reads its data by relative path, so a target may make
// it the working directory and write each input where the game expects a
// file; libFuzzer's own paths must then be given absolute.
class FuzzWorkspace
{
public:
    // Makes the directory and the given subdirectories inside it, and enters
    // it when asked to.
    FuzzWorkspace(const char* const* subdirectories, bool enter);
    ~FuzzWorkspace();
    FuzzWorkspace(const FuzzWorkspace&) = delete;
    FuzzWorkspace& operator=(const FuzzWorkspace&) = delete;

    // Replaces the file at the path inside the directory with these bytes.
    void Write(const std::string& relativePath, const uint8_t* data, size_t size) const;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

// Stops the process with a message when a property of the code under test
// does not hold; libFuzzer then keeps the input as a crash.
void FuzzRequire(bool holds, const char* what);
