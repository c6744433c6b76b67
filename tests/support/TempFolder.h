// A fresh folder below the system's temporary folder, removed with its tree.
#pragma once

#include <string>

namespace mw::test {

class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With a trailing '/'.
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + relative; }

private:
    std::string m_path;
};

// Writes bytes to a file, creating its folders.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Sets a file's last-write time to now plus offsetSeconds.
void TouchFile(const std::string& path, long offsetSeconds);

} // namespace mw::test
