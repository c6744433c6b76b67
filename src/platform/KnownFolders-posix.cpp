// POSIX known folders.
#include "KnownFolders.h"

#include "FileSystem.h"
#include "PathRules.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace mw {
namespace {

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

// Reads XDG_DOCUMENTS_DIR from the user-dirs file ("$HOME/..." allowed).
std::string DocumentsFromUserDirs(const std::string& home)
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string file = (config && *config) ? std::string(config) : home + "/.config";
    std::string bytes;
    if (!ReadWholeFile(file + "/user-dirs.dirs", bytes))
        return std::string();
    for (std::string line : SplitText(bytes, '\n'))
    {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        return value;
    }
    return std::string();
}

} // namespace

std::string DocumentsFolder()
{
    if (const char* direct = std::getenv("XDG_DOCUMENTS_DIR"); direct && *direct)
        return direct;
    std::string home = HomeFolder();
    std::string fromFile = DocumentsFromUserDirs(home);
    if (!fromFile.empty())
        return fromFile;
    return home + "/Documents";
}

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return std::string();
    return buffer;
}

std::string ExecutableFolder()
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return CurrentFolder();
    buffer[n] = 0;
    return ParentPath(buffer);
}

} // namespace mw
