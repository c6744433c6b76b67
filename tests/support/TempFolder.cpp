// Temporary folders and file helpers for tests.
#include "TempFolder.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <stdexcept>

namespace mw::test {

#ifdef _WIN32
TempFolder::TempFolder()
{
    // The system's temporary folder, and a name no other folder there has.
    const char* base = std::getenv("TEMP");
    std::string folder = std::string(base && *base ? base : ".") + "/mwtest.";
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt)
    {
        std::string candidate = folder + std::to_string(std::time(nullptr)) + "." + std::to_string(++counter) + "." +
                                std::to_string(std::rand());
        if (!PathExists(candidate) && CreateFolder(candidate))
        {
            m_path = ToForwardSlashes(candidate) + "/";
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}
#else
TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/mwtest.XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}
#endif

TempFolder::~TempFolder() { DeleteFolderTree(m_path); }

void WriteFile(const std::string& path, const std::string& bytes)
{
    EnsureFolders(ParentPath(path));
    ASSERT_TRUE(WriteFileAtomic(path, bytes)) << path;
}

std::string ReadFile(const std::string& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

void TouchFile(const std::string& path, long offsetSeconds)
{
    SetLastWriteTime(path, FileTimeFromUnix(std::time(nullptr) + offsetSeconds, 0));
}

} // namespace mw::test
