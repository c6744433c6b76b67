// Defaults of the asset operations that most types replace.
#include "Asset.h"

#include "IAssetPropertiesEditor.h"

namespace mw {

bool Asset::Properties(IAssetPropertiesEditor* editor, bool)
{
    if (!editor)
        return false;
    editor->ShowInformation("No properties are available for this resource type.", "Resource Properties");
    return true;
}

std::optional<std::string> Asset::GetSourceFile(int) const { return std::nullopt; }

void Asset::GetSourceExtensions(std::vector<std::string>&) const {}

bool Asset::AutoCreate(const std::string&) { return false; }

std::string Asset::GetBuildScratchFile(const std::string&) const { return std::string(); }

} // namespace mw
