// Output names and source filters.
#include "AssetNames.h"

#include "platform/PathRules.h"

namespace mw {

std::string SourceBaseName(const std::string& sourcePath)
{
    size_t slash = sourcePath.find_last_of("\\/");
    std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

std::string OutputNameFromSource(const std::string& sourcePath, const std::string& outputExtension)
{
    return SourceBaseName(sourcePath) + outputExtension;
}

std::string CubeMapOutputName(const std::array<std::string, 6>& faces)
{
    const std::string left = SourceBaseName(faces[0]);
    std::string name = left;
    for (size_t face = 1; face < faces.size(); ++face)
    {
        std::string other = SourceBaseName(faces[face]);
        size_t common = 0;
        while (common < name.size() && common < other.size() && LowerAscii(name[common]) == LowerAscii(other[common]))
            ++common;
        if (common < name.size() && common < other.size())
            name.resize(common);
    }
    while (!name.empty() && (name.back() == '_' || name.back() == ' '))
        name.pop_back();
    if (name.empty())
        name = left;
    return name + ".tex";
}

std::string SourceFilterLabel(const std::string& typeName, const std::vector<std::string>& extensions)
{
    std::string label = typeName + " (";
    for (size_t i = 0; i < extensions.size(); ++i)
        label += (i ? ", *" : "*") + extensions[i];
    return label + ")";
}

std::string SourceFilterPattern(const std::vector<std::string>& extensions)
{
    std::string pattern;
    for (size_t i = 0; i < extensions.size(); ++i)
        pattern += (i ? ";*" : "*") + extensions[i];
    return pattern;
}

} // namespace mw
