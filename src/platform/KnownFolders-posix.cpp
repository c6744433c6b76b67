// POSIX known folders.
#include "KnownFolders.h"

#include "FileSystem.h"
#include "PathRules.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace mw {
namespace {

// $HOME, or the user's entry in the password database when HOME is unset
// or empty (a service or a stripped environment); empty when neither knows.
std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return std::string();
    return found->pw_dir;
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
    // No home folder at all: no documents folder either, rather than one
    // at the root of the file system.
    if (home.empty() || home == "/")
        return std::string();
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
