// Registration of every asset type the tool knows, at start-up.
#pragma once

namespace mw {

class AssetRegistry;
class IToolContext;

// Registers one instance of each type, in the order the new-asset commands
// list them. context gives the Map type its source folder for reading world
// files; it must outlive the registry's types.
void RegisterAssetTypes(AssetRegistry& registry, const IToolContext& context);

} // namespace mw
