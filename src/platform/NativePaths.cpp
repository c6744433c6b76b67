// Native separator form of paths shown to or typed by the user.
#include "NativePaths.h"

#include "PathRules.h"

namespace mw {

std::string ToNativeSeparators(std::string path)
{
    char separator = NativeSeparator();
    for (char& c : path)
    {
        if (IsSeparator(c))
            c = separator;
    }
    return path;
}

std::string NativeFolder(const std::string& path)
{
    std::string folder = ToNativeSeparators(path);
    if (folder.size() >= 2 && !IsSeparator(folder.back()))
        folder += NativeSeparator();
    return folder;
}

} // namespace mw
