// Temporary folders and file helpers for tests.
#include "TempFolder.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <stdexcept>

namespace mw::test {

TempFolder::TempFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/mwtest.XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}

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
