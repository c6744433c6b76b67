// Typed paths read against a root folder.
#include "RootedPath.h"

#include "platform/PathRules.h"

#include <vector>

namespace mw {
namespace {

// A path that starts at the top of a file system: "/x", "\\server", "C:\x".
bool IsWholePath(const std::string& path)
{
    if (!path.empty() && IsSeparator(path[0]))
        return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// Splits into components with "." dropped and ".." taking one back; false
// when ".." would climb above the first component kept as the top.
bool FoldComponents(const std::string& path, std::vector<std::string>& components)
{
    std::string piece;
    auto take = [&components](const std::string& name) {
        if (name.empty() || name == ".")
            return true;
        if (name == "..")
        {
            if (components.empty())
                return false;
            components.pop_back();
            return true;
        }
        components.push_back(name);
        return true;
    };
    for (char c : path)
    {
        if (IsSeparator(c))
        {
            if (!take(piece))
                return false;
            piece.clear();
        }
        else
            piece += c;
    }
    return take(piece);
}

} // namespace

bool RelativeBelowRoot(const std::string& root, const std::string& folder, const std::string& typed,
                       std::string& relative)
{
    relative.clear();
    if (typed.empty())
        return false;
    std::string whole = IsWholePath(typed) ? typed : folder + "/" + typed;
    std::vector<std::string> rootComponents;
    std::vector<std::string> components;
    if (!FoldComponents(root, rootComponents) || !FoldComponents(whole, components))
        return false;
    if (components.size() <= rootComponents.size())
        return false;
    for (size_t i = 0; i < rootComponents.size(); ++i)
    {
        if (!EqualsNoCase(components[i], rootComponents[i]))
            return false;
    }
    for (size_t i = rootComponents.size(); i < components.size(); ++i)
        relative += (relative.empty() ? "" : "/") + components[i];
    return true;
}

} // namespace mw
