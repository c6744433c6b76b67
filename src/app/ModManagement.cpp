// New-mod name checks and mod deletion.
#include "ModManagement.h"

#include "context/IUserPrompt.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Trash.h"

namespace mw {
namespace {

bool IsModNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

bool IsValidModName(const std::string& name)
{
    for (char c : name)
        if (!IsModNameCharacter(c))
            return false;
    return true;
}

} // namespace

std::string CheckNewModName(const std::string& name, const std::vector<std::string>& existingMods)
{
    if (name.empty())
        return "The specified New Map Name is empty.  It should not contain at least one alphanumeric character.";
    if (name.size() >= kModNameLimit)
        return Format("The specified New Map Name is too long.  It should be less than %d characters.",
                      int(kModNameLimit));
    if (!IsValidModName(name))
        return "The specified New Map Name is invalid.  It should not contain spaces or symbols.";
    for (const std::string& existing : existingMods)
        if (EqualsNoCase(existing, name))
            return "The specified New Map Name already exists.  Please enter a different name.";
    return std::string();
}

bool DeleteModFolders(const std::string& workingDir, const std::string& buildDir, const std::string& modName,
                      bool toTrash, IUserPrompt& prompt)
{
    // A name with a separator or "." could reach outside CustomMaps.
    if (modName.empty() || !IsValidModName(modName))
        return false;
    bool ok = true;
    bool askedForGood = false;
    bool deleteForGood = false;
    for (const std::string& base : {workingDir, buildDir})
    {
        if (base.empty())
            continue;
        std::string tree = base + "CustomMaps/" + modName;
        if (!IsFolder(tree))
            continue;
        if (toTrash)
        {
            TrashResult trashed = MoveToTrash(tree).result;
            if (trashed == TrashResult::Trashed)
                continue;
            if (trashed == TrashResult::Failed)
            {
                ok = false;
                continue;
            }
            if (!askedForGood)
            {
                askedForGood = true;
                deleteForGood =
                    prompt.Show(Format("No trash is available for the folders of %s. Delete them for good?",
                                       modName.c_str()),
                                "", PromptButtons::YesNo, PromptIcon::Warning) == PromptAnswer::Yes;
            }
            if (!deleteForGood)
            {
                ok = false;
                continue;
            }
        }
        if (!DeleteFolderTree(tree))
            ok = false;
    }
    return ok;
}

} // namespace mw
