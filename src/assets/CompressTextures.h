// Converting the uncompressed textures of the working folder's assets to
// the DXT5 format.
#pragma once

namespace mw {

class AssetRegistry;
class IWorkspaceContext;

// Asks for confirmation, then sets the format of every uncompressed Texture
// asset below "assets/" that this call could check out to DXT5 and saves it
// with its own header. Textures already checked out, or held by another
// user, stay as they are. The number of textures converted; -1 when the user
// did not confirm.
int ConvertTexturesToCompressed(IWorkspaceContext& context, AssetRegistry& registry);

} // namespace mw
