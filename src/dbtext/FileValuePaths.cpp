// Values made from chosen files.
#include "FileValuePaths.h"

#include "platform/PathRules.h"

namespace mw {
namespace {

std::string RemoveFirst(std::string text, const std::string& needle)
{
    size_t at = text.find(needle);
    if (at != std::string::npos)
        text.erase(at, needle.size());
    return text;
}

} // namespace

std::string RelativeFileValue(const std::string& chosenPath, const std::string& workingDir,
                              const std::string& modName)
{
    bool matched = false;
    std::string relative;
    if (!modName.empty())
        relative = StripPathPrefix(chosenPath, workingDir + "CustomMaps/" + modName + "/", &matched);
    if (!matched)
        relative = StripPathPrefix(chosenPath, workingDir, &matched);
    relative = ToBackslashes(relative);
    return RemoveFirst(RemoveFirst(relative, "database\\"), "assets\\");
}

bool TemplateDirValue(const std::string& chosenPath, const std::string& workingDir, std::string& value)
{
    bool matched = false;
    std::string relative = StripPathPrefix(chosenPath, workingDir, &matched);
    if (!matched)
        return false;
    value = "%TEMPLATE_DIR%" + ToBackslashes(relative);
    return true;
}

std::string ArchiveEntryValue(const std::string& name)
{
    return RemoveFirst(RemoveFirst(ToBackslashes(name), "database\\"), "assets\\");
}

} // namespace mw
